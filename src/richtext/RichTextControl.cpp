// Holds TWPRichText.
#include "richtext/RichTextControl.h"

#include "richtext/RichTextContainer.h"
#include "richtext/RtfFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

TWPRichText::TWPRichText(QWidget *parent) : QGraphicsView(parent), FItem(new QGraphicsTextItem)
{
    setScene(new QGraphicsScene(this));
    FItem->setDocument(&FPage.Document());
    FItem->setTextInteractionFlags(Qt::TextEditorInteraction);
    FItem->setDefaultTextColor(Qt::black);
    scene()->addItem(FItem);
    FItem->setFocus();
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    // Transparent over whatever panel holds it.
    setStyleSheet(QStringLiteral("background: transparent"));
    viewport()->setAutoFillBackground(false);
    FPage.SetBackgroundColor(Qt::white);
    connect(&FPage.Document(), &QTextDocument::cursorPositionChanged, this,
            [this] { emit CurrentFormatChanged(CurrentCharFormat()); });
    ApplyView();
}

TWPRichText::~TWPRichText()
{
    // The item must not outlive the page's document it shows.
    delete FItem;
}

void TWPRichText::drawBackground(QPainter *, const QRectF &) {}

void TWPRichText::ApplyView()
{
    const QSizeF page = FPage.PageSize();
    if (FPage.WordWrap())
        FItem->setTextWidth(page.width());
    else
        FItem->setTextWidth(-1);
    scene()->setSceneRect(QRectF(QPointF(0, 0), page.expandedTo(FItem->boundingRect().size())));
    resetTransform();
    scale(FPage.Scale(), FPage.Scale());
    viewport()->update();
}

void TWPRichText::SetRTFText(const TRichTextContainer &text)
{
    FPage.SetRTFText(text);
    FPage.Document().clearUndoRedoStacks();
    // Unmodified is where the cleared undo stack starts: undoing every edit
    // comes back to it.
    FPage.Document().setModified(false);
    ApplyView();
}

void TWPRichText::GetRTFText(TRichTextContainer &text) const { FPage.GetRTFText(text); }

void TWPRichText::SetBackgroundColor(const QColor &color) { FPage.SetBackgroundColor(color); }

void TWPRichText::SetZoom(int percent)
{
    FPage.SetZoom(percent);
    ApplyView();
}

void TWPRichText::SetPageLayout(int widthTwips, int heightTwips)
{
    FPage.SetPageLayout(widthTwips, heightTwips);
    ApplyView();
}

void TWPRichText::SetWordWrap(bool on)
{
    FPage.SetWordWrap(on);
    ApplyView();
}

// ---- editing ----

QTextCursor TWPRichText::TextCursor() const { return FItem->textCursor(); }

void TWPRichText::SetTextCursor(const QTextCursor &cursor) { FItem->setTextCursor(cursor); }

QTextCharFormat TWPRichText::CurrentCharFormat() const { return FItem->textCursor().charFormat(); }

bool TWPRichText::IsModified() const { return FPage.Document().isModified(); }

void TWPRichText::MergeCharFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = FItem->textCursor();
    cursor.mergeCharFormat(format);
    FItem->setTextCursor(cursor);
    emit CurrentFormatChanged(CurrentCharFormat());
}

void TWPRichText::SetNormal()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    MergeCharFormat(f);
}

void TWPRichText::ToggleBold()
{
    QTextCharFormat f;
    f.setFontWeight(CurrentCharFormat().fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
    MergeCharFormat(f);
}

void TWPRichText::ToggleItalic()
{
    QTextCharFormat f;
    f.setFontItalic(!CurrentCharFormat().fontItalic());
    MergeCharFormat(f);
}

void TWPRichText::ToggleUnderline()
{
    QTextCharFormat f;
    f.setFontUnderline(!CurrentCharFormat().fontUnderline());
    MergeCharFormat(f);
}

void TWPRichText::SetParagraphAlignment(Qt::Alignment alignment)
{
    QTextCursor cursor = FItem->textCursor();
    QTextBlockFormat f;
    f.setAlignment(alignment);
    cursor.mergeBlockFormat(f);
    FItem->setTextCursor(cursor);
}

void TWPRichText::SetFontName(const QString &family)
{
    if (family.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies({family});
    // A chosen face is a face of the ANSI character set.
    f.setProperty(richtext::RtfCharsetProperty, 0);
    f.clearProperty(richtext::RtfFontFamilyProperty);
    MergeCharFormat(f);
}

void TWPRichText::SetFontSize(double points)
{
    if (!(points > 0))
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    MergeCharFormat(f);
}

void TWPRichText::SetTextColor(const QColor &color)
{
    QTextCharFormat f;
    f.setForeground(color);
    MergeCharFormat(f);
}

void TWPRichText::Copy()
{
    const QTextCursor cursor = FItem->textCursor();
    if (!cursor.hasSelection())
        return;
    const QTextDocumentFragment fragment = cursor.selection();
    auto *mime = new QMimeData;
    mime->setHtml(fragment.toHtml());
    mime->setText(fragment.toPlainText());
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TWPRichText::Cut()
{
    Copy();
    QTextCursor cursor = FItem->textCursor();
    cursor.removeSelectedText();
    FItem->setTextCursor(cursor);
}

void TWPRichText::Paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    QTextCursor cursor = FItem->textCursor();
    if (mime->hasHtml())
        cursor.insertFragment(QTextDocumentFragment::fromHtml(mime->html(), &FPage.Document()));
    else if (mime->hasText())
        cursor.insertText(mime->text());
    FItem->setTextCursor(cursor);
    ApplyView();
}

void TWPRichText::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_B: ToggleBold(); return;
        case Qt::Key_I: ToggleItalic(); return;
        case Qt::Key_U: ToggleUnderline(); return;
        default: break;
        }
    }
    QGraphicsView::keyPressEvent(event);
    ApplyView();
}

void TWPRichText::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    FItem->setFocus();
}

// ---- the master engine ----

TWPRichText *FindMasterRichText(const QObject *object)
{
    for (const QObject *o = object; o; o = o->parent()) {
        for (QObject *child : o->children()) {
            auto *engine = qobject_cast<TWPRichText *>(child);
            if (engine && engine->objectName().toUpper() == QLatin1String("MASTERWPRICHTEXT"))
                return engine;
        }
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw ENoMasterWPRich();
    static QPointer<TWPRichText> program;
    if (!program) {
        program = new TWPRichText;
        program->setObjectName(QStringLiteral("MASTERWPRICHTEXT"));
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, program, &QObject::deleteLater);
    }
    return program;
}
