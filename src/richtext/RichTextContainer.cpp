// Holds TRichTextContainer.
#include "richtext/RichTextContainer.h"

#include "platform/CodePages.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/TextDocument.h"

#include <QTextDocument>
#include <QtEndian>
#include <algorithm>

namespace {

QByteArray LeadingBytes(const QByteArray &data)
{
    qsizetype i = 0;
    while (i < data.size() && (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 64);
}

bool LooksLikeRtf(const QByteArray &data) { return LeadingBytes(data).startsWith("{\\rtf"); }

bool LooksLikeHtml(const QByteArray &data)
{
    const QByteArray start = LeadingBytes(data).toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html") || start.startsWith("<body")
        || start.startsWith("<p") || start.startsWith("<div") || start.startsWith("<span");
}

QString PlainTextOf(const QByteArray &data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(data.mid(3));
    return platform::DecodeCodePageLeniently(data, 1252);
}

} // namespace

TRichTextContainer::TRichTextContainer(QObject *parent) : QObject(parent) {}

void TRichTextContainer::Assign(const TRichTextContainer &other) { SetData(other.FData); }

QByteArray TRichTextContainer::Data() const
{
    if (!FData.isEmpty())
        return FData;
    static const QByteArray empty = [] {
        TTextDocument document;
        return richtext::WriteRtf(document);
    }();
    return empty;
}

void TRichTextContainer::SetData(const QByteArray &data)
{
    if (data == FData)
        return;
    FData = data;
    emit Changed();
}

void TRichTextContainer::LoadInto(QTextDocument &document) const
{
    if (FData.isEmpty() || LooksLikeRtf(FData)) {
        richtext::ReadRtf(FData, document);
        return;
    }
    if (LooksLikeHtml(FData))
        document.setHtml(QString::fromUtf8(FData));
    else
        document.setPlainText(PlainTextOf(FData));
    document.setDocumentMargin(0);
    document.setModified(false);
}

void TRichTextContainer::StoreFrom(const QTextDocument &document) { SetData(richtext::WriteRtf(document)); }

QString TRichTextContainer::AsPlainText() const
{
    TTextDocument document;
    LoadInto(document);
    return document.toPlainText();
}

QString TRichTextContainer::AsHtml() const
{
    TTextDocument document;
    LoadInto(document);
    return document.toHtml();
}

void TRichTextContainer::SetPlainText(const QString &text)
{
    TTextDocument document;
    document.setPlainText(text);
    StoreFrom(document);
}

void TRichTextContainer::SetHtml(const QString &html)
{
    TTextDocument document;
    document.setHtml(html);
    StoreFrom(document);
}

void TRichTextContainer::WriteExtraData(TComponentWriter &writer) const
{
    // The stored data is the document's byte count, then its bytes.
    const QByteArray document = Data();
    const quint32 count = qToLittleEndian(quint32(document.size()));
    writer.WritePropName("Data");
    writer.WriteBinary(QByteArray(reinterpret_cast<const char *>(&count), 4) + document);
}

bool TRichTextContainer::ReadExtraData(const QByteArray &name, TComponentReader &reader)
{
    if (name.compare("Data", Qt::CaseInsensitive) != 0)
        return false;
    const QByteArray stored = reader.ReadBinary();
    if (stored.size() < 4) {
        SetData(QByteArray());
        return true;
    }
    // A count beyond the data is taken as far as the data goes.
    const quint32 count = qFromLittleEndian<quint32>(stored.constData());
    SetData(stored.mid(4, qsizetype(std::min<quint64>(count, quint64(stored.size() - 4)))));
    return true;
}
