// The text container of a rich-text label: one RTF document, kept as the
// bytes it was read or written as, so a card saves back exactly what it
// loaded until its text is edited. Streamed as the binary entry "Data".
#pragma once

#include "richtext/RtfFormat.h"
#include "surface/ComponentStream.h"

#include <QByteArray>
#include <QObject>

class QTextDocument;

class TRichTextContainer : public QObject, public IStreamExtraData
{
    Q_OBJECT

public:
    explicit TRichTextContainer(QObject *parent = nullptr);

    // A full copy of the other container's document.
    void Assign(const TRichTextContainer &other);

    // The RTF document; an empty container gives the RTF of an empty document.
    QByteArray Data() const;
    void SetData(const QByteArray &data);
    bool IsEmpty() const { return FData.isEmpty(); }

    // Fills the document from the container. RTF is read as RTF; other data
    // is taken as HTML when it looks like HTML, and as plain text (code page
    // 1252, or UTF-8 with its byte-order mark) otherwise.
    // With a bound, only the start it keeps is read.
    void LoadInto(QTextDocument &document, const richtext::TReadingBound &bound = {}) const;
    // The container takes the document, written as RTF.
    void StoreFrom(const QTextDocument &document);

    QString AsPlainText() const;
    QString AsHtml() const;
    void SetPlainText(const QString &text);
    void SetHtml(const QString &html);

    void WriteExtraData(TComponentWriter &writer) const override;
    bool ReadExtraData(const QByteArray &name, TComponentReader &reader) override;

signals:
    void Changed();

private:
    QByteArray FData;
};
