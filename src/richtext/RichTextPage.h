// A rich-text document laid out on a page and painted: the page size in
// twips with no margins, word wrap at the page width, a zoom in percent.
// One drawing path for the screen, recordings and PDF pages: text is drawn
// as text, so it stays vector text wherever the painter records it.
#pragma once

#include "richtext/RtfFormat.h"

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <memory>

class QPainter;
class QTextDocument;
class TRichTextContainer;

class TRichTextPage
{
public:
    TRichTextPage();
    ~TRichTextPage();
    TRichTextPage(const TRichTextPage &) = delete;
    TRichTextPage &operator=(const TRichTextPage &) = delete;

    QTextDocument &Document() const { return *FDocument; }

    // The document of the container, read afresh into a new QTextDocument
    // (Document() changes; the previous one lives until the next reading).
    // Shown only: no more of it than the page at its present size can show
    // is read (for painting; an editor needs all of it).
    enum class TReading { Whole, ShownOnly };
    void SetRTFText(const TRichTextContainer &text, TReading reading = TReading::Whole);
    // The document written as RTF into the container.
    void GetRTFText(TRichTextContainer &text) const;

    int Zoom() const { return FZoom; }
    void SetZoom(int percent);
    int PageWidthTwips() const { return FPageWidth; }
    int PageHeightTwips() const { return FPageHeight; }
    void SetPageLayout(int widthTwips, int heightTwips);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool on);
    QColor BackgroundColor() const { return FBackground; }
    void SetBackgroundColor(const QColor &color) { FBackground = color; }

    // The page in layout pixels, and the factor from layout pixels to the
    // screen's pixels at the zoom.
    QSizeF PageSize() const;
    double Scale() const;

    // Paints the first page at the zoom with its top-left corner at the
    // rectangle's, cut at the rectangle and at the page's bottom. No caret,
    // no selection, no background: what lies beneath shows between the
    // letters.
    void PaintFirstPage(QPainter &painter, const QRect &rect) const;

private:
    void ApplyTextWidth() const;
    richtext::TReadingBound ShownBound() const;

    std::unique_ptr<QTextDocument> FDocument;
    std::unique_ptr<QTextDocument> FRetired;
    int FZoom = 100;
    int FPageWidth = 0;
    int FPageHeight = 0;
    bool FWordWrap = true;
    QColor FBackground = Qt::white;
    // The container data the document was last read from, and the
    // document's revision right after; any edit moves the revision on.
    QByteArray FLoadedData;
    richtext::TReadingBound FLoadedBound;
    int FLoadedRevision = -1;
};
