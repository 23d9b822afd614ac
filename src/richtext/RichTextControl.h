// The rich-text editor control: a page of rich text (TRichTextPage) shown at
// its zoom, which the user edits in place with the usual keys (typing,
// arrows, selection, Ctrl+C/X/V, Ctrl+Z/Y, Ctrl+B/I/U). The program's
// hidden master instance only paints labels' text: it keeps each label's
// text laid out on a page of its own, so a repaint reads and lays out
// nothing until the text or the page changes.
// Holds TWPRichText, ENoMasterWPRich.
#pragma once

#include "richtext/RichTextPage.h"

#include <QGraphicsView>
#include <QTextCharFormat>
#include <exception>
#include <memory>
#include <unordered_map>

class QGraphicsTextItem;
class TRichTextContainer;

// No master engine where a rich-text label looked for one.
class ENoMasterWPRich : public std::exception
{
public:
    const char *what() const noexcept override { return "No master rich text object found"; }
};

class TWPRichText : public QGraphicsView
{
    Q_OBJECT

public:
    explicit TWPRichText(QWidget *parent = nullptr);
    ~TWPRichText() override;

    // The page last given a text: the editing page, or the page kept for the
    // label whose text was painted last.
    TRichTextPage &Page() { return *FCurrent; }
    QTextDocument &Document() const { return FCurrent->Document(); }

    // ---- what labels and the editor form ask of the engine ----
    // Whole: the text goes onto the editing page. ShownOnly (painting): onto
    // the page kept for this container, read again only when the text or
    // the page's size has changed since.
    void SetRTFText(const TRichTextContainer &text,
                    TRichTextPage::TReading reading = TRichTextPage::TReading::Whole);
    void GetRTFText(TRichTextContainer &text) const;
    void SetBackgroundColor(const QColor &color);
    // Zoom, page layout, word wrap and background colour are the engine's:
    // each page takes them when it is given its text and when it is painted.
    int Zoom() const { return FZoom; }
    void SetZoom(int percent);
    void SetPageLayout(int widthTwips, int heightTwips);
    void SetWordWrap(bool on);
    void PaintFirstPage(QPainter &painter, const QRect &rect) const;
    // How many labels' pages the engine keeps.
    int KeptPageCount() const { return int(FShownPages.size()); }

    // ---- editing commands on the selection (or the typing position) ----
    void SetNormal();
    void ToggleBold();
    void ToggleItalic();
    void ToggleUnderline();
    void SetParagraphAlignment(Qt::Alignment alignment);
    void SetFontName(const QString &family);
    void SetFontSize(double points);
    void SetTextColor(const QColor &color);
    void Copy();
    void Cut();
    void Paste();
    // The formatting at the typing position.
    QTextCharFormat CurrentCharFormat() const;
    QTextCursor TextCursor() const;
    void SetTextCursor(const QTextCursor &cursor);
    bool IsModified() const;

signals:
    // The formatting at the typing position changed (moved, or restyled).
    void CurrentFormatChanged(const QTextCharFormat &format);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void drawBackground(QPainter *painter, const QRectF &rect) override;

private:
    QGraphicsTextItem *Item() const;
    // Shows the page's current document in the editing item.
    void ShowDocument();
    void MergeCharFormat(const QTextCharFormat &format);
    bool PlaceCaretNear(const QPoint &viewPoint);
    void ApplyView();
    void ApplySettings(TRichTextPage &page) const;
    TRichTextPage &ShownPage(const TRichTextContainer &text);

    // The page the user edits; the editing item shows its document.
    TRichTextPage FPage;
    // The pages of the labels painted, by their text container; a page goes
    // when its container does.
    std::unordered_map<const TRichTextContainer *, std::unique_ptr<TRichTextPage>> FShownPages;
    TRichTextPage *FCurrent = &FPage;
    int FZoom = 100;
    int FPageWidthTwips = 0;
    int FPageHeightTwips = 0;
    bool FWordWrap = true;
    QColor FBackground = Qt::white;
    mutable QGraphicsTextItem *FItem = nullptr;
};

// The master engine of the window that holds `object` (a component named
// "MASTERWPRICHTEXT" among the children of the object's owners); else the
// program's own, made on first use. Raises ENoMasterWPRich without a running
// GUI application, where no engine can be made.
TWPRichText *FindMasterRichText(const QObject *object);
