// The multi-line text editor of a multi-line label: a memo in the label's
// font, holding at most 254 characters in all.
// Holds TLimitedMemo, TMultiLineTextEditor.
#pragma once

#include "dialogs/PropertyDialog.h"

#include <QPlainTextEdit>

class TFont;

// A plain text edit that refuses text beyond a length. A line break counts
// as two characters (carriage return and line feed), as the label's text
// has always counted them.
class TLimitedMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TLimitedMemo(int maxLength, QWidget *parent = nullptr);
    int MaxLength() const { return FMaxLength; }
    // The length as counted against the limit.
    int TextLength() const;
    // Text set by the program is not cut; only what the user adds is.
    void SetTextAsIs(const QString &text);

private:
    static int LengthOf(const QString &text);
    void TrimInsertion();

    int FMaxLength;
    bool FTrimming = false;
    QString FAccepted; // the text as it was after the last change
};

class TMultiLineTextEditor : public TPropertyDialog
{
    Q_OBJECT

public:
    static constexpr int kMaxLength = 254;

    explicit TMultiLineTextEditor(QWidget *parent = nullptr);

    // The memo shows the text as the label will.
    void SetMemoFont(const TFont &font);
    void SetLines(const QStringList &lines);
    // The memo's lines; a final line break adds no empty line.
    QStringList Lines() const;

    static bool Execute(QWidget *parent, const TFont &font, QStringList &lines);

    TLimitedMemo *Memo;
};
