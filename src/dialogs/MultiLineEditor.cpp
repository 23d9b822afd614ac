// Holds TLimitedMemo, TMultiLineTextEditor.
#include "dialogs/MultiLineEditor.h"

#include "platform/CanvasFont.h"
#include "platform/Graphics.h"
#include "widgets/FormHelpTexts.h"

#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

// ---- TLimitedMemo ----

TLimitedMemo::TLimitedMemo(int maxLength, QWidget *parent) : QPlainTextEdit(parent), FMaxLength(maxLength)
{
    connect(this, &QPlainTextEdit::textChanged, this, &TLimitedMemo::TrimInsertion);
}

int TLimitedMemo::LengthOf(const QString &text) { return int(text.size() + text.count(QLatin1Char('\n'))); }

int TLimitedMemo::TextLength() const { return LengthOf(toPlainText()); }

void TLimitedMemo::SetTextAsIs(const QString &text)
{
    FTrimming = true;
    setPlainText(text);
    FAccepted = text;
    FTrimming = false;
}

void TLimitedMemo::TrimInsertion()
{
    if (FTrimming)
        return;
    const QString now = toPlainText();
    if (LengthOf(now) <= FMaxLength || LengthOf(now) <= LengthOf(FAccepted)) {
        FAccepted = now;
        return;
    }
    // What was just typed or pasted lies between the parts the text shares
    // with its state before; its end is taken back, as much as is over.
    int prefix = 0;
    const int shorter = int(std::min(now.size(), FAccepted.size()));
    while (prefix < shorter && now[prefix] == FAccepted[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix && now[now.size() - 1 - suffix] == FAccepted[FAccepted.size() - 1 - suffix])
        ++suffix;
    QString inserted = now.mid(prefix, now.size() - prefix - suffix);
    const QString before = now.left(prefix);
    const QString after = now.right(suffix);
    while (!inserted.isEmpty() && LengthOf(before + inserted + after) > FMaxLength)
        inserted.chop(1);

    FTrimming = true;
    QTextCursor cursor(document());
    cursor.setPosition(prefix);
    cursor.setPosition(int(now.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(inserted);
    setTextCursor(cursor);
    FAccepted = toPlainText();
    FTrimming = false;
}

// ---- TMultiLineTextEditor ----

TMultiLineTextEditor::TMultiLineTextEditor(QWidget *parent)
    : TPropertyDialog(parent, tr("Multi-line Text Editor"), 40001)
{
    setObjectName(QStringLiteral("TMultiLineTextEditor"));
    Memo = new TLimitedMemo(kMaxLength, this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setMinimumSize(380, 200);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(ButtonRow());
    Memo->setFocus();

    AttachFormHelp(this);
}

void TMultiLineTextEditor::SetMemoFont(const TFont &font)
{
    Memo->setFont(platform::TCanvasFont(font).MetricsFont());
}

void TMultiLineTextEditor::SetLines(const QStringList &lines) { Memo->SetTextAsIs(lines.join(QLatin1Char('\n'))); }

QStringList TMultiLineTextEditor::Lines() const
{
    const QString text = Memo->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

bool TMultiLineTextEditor::Execute(QWidget *parent, const TFont &font, QStringList &lines)
{
    TMultiLineTextEditor dialog(parent);
    dialog.SetMemoFont(font);
    dialog.SetLines(lines);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    lines = dialog.Lines();
    return true;
}
