// Holds TWPRichText.
#include "richtext/RichTextControl.h"

#include "richtext/RichTextContainer.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "richtext/TextDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QGraphicsSceneContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionGraphicsItem>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

TWPRichText::TWPRichText(QWidget *parent) : QGraphicsView(parent)
{
    setScene(new QGraphicsScene(this));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTransformationAnchor(QGraphicsView::NoAnchor);
    // Transparent over whatever panel holds it.
    setStyleSheet(QStringLiteral("background: transparent"));
    viewport()->setAutoFillBackground(false);
    FPage.SetBackgroundColor(Qt::white);
    ApplyView();
}

TWPRichText::~TWPRichText()
{
    // The item must not outlive the page's document it shows.
    delete FItem;
}

namespace {
// The editing item without the dashed frame Qt draws round a focused text
// item: the panel's own border shows where the label ends.
class TEditingItem : public QGraphicsTextItem
{
public:
    explicit TEditingItem(TWPRichText *engine) : FEngine(engine) {}

    // The clipboard commands of the menu are the engine's, as are its keys.
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override
    {
        const bool selection = textCursor().hasSelection();
        QMenu menu;
        QAction *cut = menu.addAction(QObject::tr("Cu&t"), FEngine, &TWPRichText::Cut);
        QAction *copy = menu.addAction(QObject::tr("&Copy"), FEngine, &TWPRichText::Copy);
        menu.addAction(QObject::tr("&Paste"), FEngine, &TWPRichText::Paste);
        cut->setEnabled(selection);
        copy->setEnabled(selection);
        menu.addSeparator();
        menu.addAction(QObject::tr("Select All"), [this] {
            QTextCursor all = textCursor();
            all.select(QTextCursor::Document);
            setTextCursor(all);
        });
        menu.exec(event->screenPos());
        event->accept();
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        QStyleOptionGraphicsItem plain(*option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QGraphicsTextItem::paint(painter, &plain, widget);
    }

private:
    TWPRichText *FEngine;
};
} // namespace

// The editing item is made when editing begins: an engine that only paints
// (the master) would otherwise pay for the item's bookkeeping on every
// document it is given.
QGraphicsTextItem *TWPRichText::Item() const
{
    if (!FItem) {
        FItem = new TEditingItem(const_cast<TWPRichText *>(this));
        FItem->setTextInteractionFlags(Qt::TextEditorInteraction);
        FItem->setDefaultTextColor(Qt::black);
        scene()->addItem(FItem);
        FItem->setFocus();
        const_cast<TWPRichText *>(this)->ShowDocument();
    }
    return FItem;
}

void TWPRichText::ShowDocument()
{
    if (!FItem)
        return;
    FItem->setDocument(&FPage.Document());
    connect(&FPage.Document(), &QTextDocument::cursorPositionChanged, this,
            [this] { emit CurrentFormatChanged(CurrentCharFormat()); });
    ApplyView();
}

void TWPRichText::showEvent(QShowEvent *event)
{
    Item();
    QGraphicsView::showEvent(event);
}

void TWPRichText::drawBackground(QPainter *, const QRectF &) {}

void TWPRichText::ApplyView()
{
    const QSizeF page = FPage.PageSize();
    resetTransform();
    scale(FPage.Scale(), FPage.Scale());
    if (!FItem)
        return;
    if (FPage.WordWrap())
        Item()->setTextWidth(page.width());
    else
        Item()->setTextWidth(-1);
    scene()->setSceneRect(QRectF(QPointF(0, 0), page.expandedTo(Item()->boundingRect().size())));
    viewport()->update();
}

void TWPRichText::ApplySettings(TRichTextPage &page) const
{
    page.SetZoom(FZoom);
    page.SetPageLayout(FPageWidthTwips, FPageHeightTwips);
    page.SetWordWrap(FWordWrap);
    page.SetBackgroundColor(FBackground);
}

TRichTextPage &TWPRichText::ShownPage(const TRichTextContainer &text)
{
    auto &kept = FShownPages[&text];
    if (!kept) {
        kept = std::make_unique<TRichTextPage>();
        connect(&text, &QObject::destroyed, this, [this, key = &text] {
            const auto it = FShownPages.find(key);
            if (it == FShownPages.end())
                return;
            if (FCurrent == it->second.get())
                FCurrent = &FPage;
            FShownPages.erase(it);
        });
    }
    return *kept;
}

void TWPRichText::SetRTFText(const TRichTextContainer &text, TRichTextPage::TReading reading)
{
    if (reading == TRichTextPage::TReading::ShownOnly) {
        // The page's size first: it decides how much of the text is read.
        FCurrent = &ShownPage(text);
        ApplySettings(*FCurrent);
        FCurrent->SetRTFText(text, reading);
        return;
    }
    FCurrent = &FPage;
    ApplySettings(FPage);
    QTextDocument *before = &FPage.Document();
    FPage.SetRTFText(text, reading);
    if (&FPage.Document() != before)
        ShowDocument();
    FPage.Document().clearUndoRedoStacks();
    // Unmodified is where the cleared undo stack starts: undoing every edit
    // comes back to it.
    FPage.Document().setModified(false);
    ApplyView();
}

void TWPRichText::GetRTFText(TRichTextContainer &text) const { FCurrent->GetRTFText(text); }

void TWPRichText::SetBackgroundColor(const QColor &color)
{
    FBackground = color;
    if (FCurrent == &FPage)
        FPage.SetBackgroundColor(color);
}

// A label's settings come before its text; they reach its page with the
// text, so the page painted before it is not laid out again for nothing.
void TWPRichText::SetZoom(int percent)
{
    FZoom = percent;
    if (FCurrent != &FPage)
        return;
    FPage.SetZoom(percent);
    FZoom = FPage.Zoom();
    ApplyView();
}

void TWPRichText::SetPageLayout(int widthTwips, int heightTwips)
{
    FPageWidthTwips = widthTwips;
    FPageHeightTwips = heightTwips;
    if (FCurrent != &FPage)
        return;
    FPage.SetPageLayout(widthTwips, heightTwips);
    ApplyView();
}

void TWPRichText::SetWordWrap(bool on)
{
    FWordWrap = on;
    if (FCurrent != &FPage)
        return;
    FPage.SetWordWrap(on);
    ApplyView();
}

void TWPRichText::PaintFirstPage(QPainter &painter, const QRect &rect) const
{
    ApplySettings(*FCurrent);
    FCurrent->PaintFirstPage(painter, rect);
}

// ---- editing ----

QTextCursor TWPRichText::TextCursor() const { return Item()->textCursor(); }

void TWPRichText::SetTextCursor(const QTextCursor &cursor) { Item()->setTextCursor(cursor); }

QTextCharFormat TWPRichText::CurrentCharFormat() const
{
    // At the start of a paragraph the text that follows shows the format.
    QTextCursor cursor = Item()->textCursor();
    if (!cursor.hasSelection() && cursor.atBlockStart() && !cursor.atBlockEnd())
        cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat();
}

bool TWPRichText::IsModified() const { return FPage.Document().isModified(); }

void TWPRichText::MergeCharFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = Item()->textCursor();
    cursor.mergeCharFormat(format);
    Item()->setTextCursor(cursor);
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
    QTextCursor cursor = Item()->textCursor();
    QTextBlockFormat f;
    f.setAlignment(alignment);
    cursor.mergeBlockFormat(f);
    Item()->setTextCursor(cursor);
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

namespace {
// The names word processors give RTF on the clipboard.
const char *const kRtfMimeTypes[] = {"text/rtf", "application/rtf", "text/richtext"};

QByteArray RtfOnClipboard(const QMimeData &mime)
{
    for (const char *type : kRtfMimeTypes) {
        const QByteArray data = mime.data(QLatin1String(type));
        if (data.trimmed().startsWith("{\\rtf"))
            return data;
    }
    return QByteArray();
}
} // namespace

void TWPRichText::Copy()
{
    const QTextCursor cursor = Item()->textCursor();
    if (!cursor.hasSelection())
        return;
    const QTextDocumentFragment fragment = cursor.selection();
    // RTF keeps what HTML cannot carry: pictures, code pages, tab stops.
    TTextDocument selection;
    QTextCursor(&selection).insertFragment(fragment);
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("text/rtf"), richtext::WriteRtf(selection));
    mime->setHtml(fragment.toHtml());
    mime->setText(fragment.toPlainText());
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TWPRichText::Cut()
{
    Copy();
    QTextCursor cursor = Item()->textCursor();
    cursor.removeSelectedText();
    Item()->setTextCursor(cursor);
}

// RTF first (what word processors put on the clipboard with the most
// formatting), then HTML, then plain text.
void TWPRichText::Paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    QTextCursor cursor = Item()->textCursor();
    if (const QByteArray rtf = RtfOnClipboard(*mime); !rtf.isEmpty()) {
        TTextDocument pasted;
        richtext::ReadRtf(rtf, pasted);
        // The empty paragraph after the last paragraph mark is no text.
        QTextCursor all(&pasted);
        all.movePosition(QTextCursor::End);
        QTextCursor before(all);
        before.movePosition(QTextCursor::PreviousBlock);
        if (pasted.blockCount() > 1 && all.block().length() <= 1 && !all.currentTable() && !before.currentTable()) {
            all.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
            all.removeSelectedText();
        }
        cursor.insertFragment(QTextDocumentFragment(&pasted));
    } else if (mime->hasHtml()) {
        cursor.insertFragment(QTextDocumentFragment::fromHtml(mime->html(), &FPage.Document()));
    } else if (mime->hasText()) {
        cursor.insertText(mime->text());
    }
    Item()->setTextCursor(cursor);
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
    // The clipboard keys go through the engine's own commands, which carry
    // RTF (pictures included) both ways.
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        Cut();
        ApplyView();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        return;
    }
    QGraphicsView::keyPressEvent(event);
    ApplyView();
}

// The text may fill only part of the page. A click (or a double click) on
// the rest of the page puts the caret at the nearest place in the text, as
// in a word processor, instead of taking the focus from the text, after
// which the typing went nowhere. False when the click is on the text.
bool TWPRichText::PlaceCaretNear(const QPoint &viewPoint)
{
    QGraphicsTextItem *item = Item();
    const QPointF at = item->mapFromScene(mapToScene(viewPoint));
    const QRectF text = item->boundingRect();
    if (text.contains(at))
        return false;
    const QPointF nearest(std::clamp(at.x(), text.left(), std::max(text.left(), text.right() - 1)),
                          std::clamp(at.y(), text.top(), std::max(text.top(), text.bottom() - 1)));
    QTextDocument *document = item->document();
    const int last = std::max(0, document->characterCount() - 1);
    int position = document->documentLayout()->hitTest(nearest, Qt::FuzzyHit);
    if (position < 0)
        position = last;
    QTextCursor cursor = item->textCursor();
    cursor.setPosition(std::clamp(position, 0, last));
    item->setTextCursor(cursor);
    setFocus(Qt::MouseFocusReason);
    item->setFocus(Qt::MouseFocusReason);
    emit CurrentFormatChanged(CurrentCharFormat());
    return true;
}

void TWPRichText::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && PlaceCaretNear(event->position().toPoint()))
        event->accept();
    else
        QGraphicsView::mousePressEvent(event);
}

void TWPRichText::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && PlaceCaretNear(event->position().toPoint()))
        event->accept();
    else
        QGraphicsView::mouseDoubleClickEvent(event);
}

void TWPRichText::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    Item()->setFocus();
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
