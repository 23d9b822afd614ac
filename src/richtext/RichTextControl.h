// The rich-text editor control: a page of rich text (TRichTextPage) shown at
// its zoom, which the user edits in place with the usual keys (typing,
// arrows, selection, Ctrl+C/X/V, Ctrl+Z/Y, Ctrl+B/I/U). The program's
// hidden master instance only paints labels' text.
// Holds TWPRichText, ENoMasterWPRich.
#pragma once

#include "richtext/RichTextPage.h"

#include <QGraphicsView>
#include <QTextCharFormat>
#include <exception>

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

    TRichTextPage &Page() { return FPage; }
    QTextDocument &Document() const { return FPage.Document(); }

    // ---- what labels and the editor form ask of the engine ----
    void SetRTFText(const TRichTextContainer &text);
    void GetRTFText(TRichTextContainer &text) const;
    void SetBackgroundColor(const QColor &color);
    int Zoom() const { return FPage.Zoom(); }
    void SetZoom(int percent);
    void SetPageLayout(int widthTwips, int heightTwips);
    void SetWordWrap(bool on);
    void PaintFirstPage(QPainter &painter, const QRect &rect) const { FPage.PaintFirstPage(painter, rect); }

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

    TRichTextPage FPage;
    mutable QGraphicsTextItem *FItem = nullptr;
};

// The master engine of the window that holds `object` (a component named
// "MASTERWPRICHTEXT" among the children of the object's owners); else the
// program's own, made on first use. Raises ENoMasterWPRich without a running
// GUI application, where no engine can be made.
TWPRichText *FindMasterRichText(const QObject *object);
