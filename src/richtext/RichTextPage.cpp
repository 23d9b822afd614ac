// Holds TRichTextPage.
#include "richtext/RichTextPage.h"

#include "platform/Screen.h"
#include "richtext/RichTextContainer.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"
#include "richtext/TextDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>
#include <cmath>


namespace {
// Zoom and page sizes beyond these are clamped: the layout's cost grows
// with them and no card needs more.
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;
constexpr int kMaxPageTwips = 1440 * 100;
} // namespace

namespace {
std::unique_ptr<QTextDocument> NewDocument()
{
    auto document = std::make_unique<TTextDocument>();
    document->setDocumentMargin(0);
    // Text typed into an empty document.
    document->setDefaultFont(QFont(QStringLiteral("Arial"), 12));
    return document;
}
} // namespace

TRichTextPage::TRichTextPage() : FDocument(NewDocument()) { richtext::RegisterPictureHandler(*FDocument); }

TRichTextPage::~TRichTextPage() = default;

// Letters a pixel wide on lines half a pixel high: the most a page can show,
// with room to spare.
richtext::TReadingBound TRichTextPage::ShownBound() const
{
    const QSizeF page = PageSize();
    richtext::TReadingBound bound;
    bound.paragraphs = qsizetype(std::ceil(page.height())) * 2 + 16;
    bound.characters = bound.paragraphs * (qsizetype(std::ceil(page.width())) + 64);
    return bound;
}

void TRichTextPage::SetRTFText(const TRichTextContainer &text, TReading reading)
{
    // A label painted again right after itself needs no second reading.
    const QByteArray data = text.Data();
    const richtext::TReadingBound bound = reading == TReading::ShownOnly ? ShownBound() : richtext::TReadingBound{};
    if (FLoadedRevision == FDocument->revision() && data == FLoadedData && bound == FLoadedBound)
        return;
    // A document read afresh is laid out once, when it is painted; the old
    // one would be laid out again at every step of the reading. The old one
    // stays until the next reading, for whoever still shows it.
    auto fresh = NewDocument();
    text.LoadInto(*fresh, bound);
    // The layout is made now, after the reading: made before, it would
    // follow every step of it.
    richtext::RegisterPictureHandler(*fresh);
    FRetired = std::move(FDocument);
    FDocument = std::move(fresh);
    FLoadedData = data;
    FLoadedBound = bound;
    FLoadedRevision = FDocument->revision();
    ApplyTextWidth();
}

void TRichTextPage::GetRTFText(TRichTextContainer &text) const { text.StoreFrom(*FDocument); }

void TRichTextPage::SetZoom(int percent) { FZoom = std::clamp(percent, kMinZoom, kMaxZoom); }

void TRichTextPage::SetPageLayout(int widthTwips, int heightTwips)
{
    FPageWidth = std::clamp(widthTwips, 0, kMaxPageTwips);
    FPageHeight = std::clamp(heightTwips, 0, kMaxPageTwips);
    ApplyTextWidth();
}

void TRichTextPage::SetWordWrap(bool on)
{
    if (on == FWordWrap)
        return;
    FWordWrap = on;
    ApplyTextWidth();
}

QSizeF TRichTextPage::PageSize() const
{
    const double pixelsPerTwip = 1.0 / richtext::TwipsPerLayoutPixel();
    return QSizeF(FPageWidth * pixelsPerTwip, FPageHeight * pixelsPerTwip);
}

double TRichTextPage::Scale() const { return FZoom / 100.0 * platform::ScreenPixelsPerInch() / richtext::LayoutDpi(); }

// Giving a document its width lays it out again from the start, even when
// the width is the one it has: only a new width is given.
void TRichTextPage::ApplyTextWidth() const
{
    const qreal width = FWordWrap ? PageSize().width() : -1;
    if (FDocument->textWidth() != width)
        FDocument->setTextWidth(width);
}

void TRichTextPage::PaintFirstPage(QPainter &painter, const QRect &rect) const
{
    const QSizeF page = PageSize();
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.translate(rect.topLeft());
    painter.scale(Scale(), Scale());
    const QRectF pageRect(QPointF(0, 0), page);
    painter.setClipRect(pageRect, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = pageRect;
    context.palette.setColor(QPalette::Text, Qt::black);
    FDocument->documentLayout()->draw(&painter, context);
    painter.restore();
}
