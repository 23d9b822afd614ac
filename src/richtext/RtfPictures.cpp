// Holds TRtfPicture and TPictureObjectHandler.
#include "richtext/RtfPictures.h"

#include "platform/Picture.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCache>
#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QTextDocument>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <optional>

namespace richtext {
namespace {

// A picture of more pixels than this is not drawn: no card needs it, and
// it would take hundreds of megabytes to hold.
constexpr qint64 kMaxPicturePixels = qint64(4096) * 4096;
// Decoded pictures kept between paints, in kilobytes.
constexpr int kCacheKilobytes = 96 * 1024;

// A DIB is a BMP file without its 14-byte file header: the header is made
// from the information header, so the program's own BMP reader can read it.
QByteArray BmpFileOfDib(const QByteArray &dib)
{
    if (dib.size() < 16)
        return QByteArray();
    const auto u32 = [&dib](int at) { return qFromLittleEndian<quint32>(dib.constData() + at); };
    const auto u16 = [&dib](int at) { return qFromLittleEndian<quint16>(dib.constData() + at); };
    const quint32 headerSize = u32(0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return QByteArray();
    quint32 paletteBytes = 0;
    quint32 masks = 0;
    if (headerSize == 12) {
        // A core header: colour entries of three bytes.
        const int bits = u16(10);
        paletteBytes = bits <= 8 ? (1u << bits) * 3 : 0;
    } else {
        if (headerSize < 40 || dib.size() < 40)
            return QByteArray();
        const int bits = u16(14);
        const quint32 compression = u32(16);
        const quint32 used = u32(32);
        paletteBytes = 4 * (used ? std::min<quint32>(used, 256) : (bits <= 8 ? 1u << bits : 0));
        if (headerSize == 40 && (compression == 3 || compression == 6))
            masks = compression == 3 ? 12 : 16;
    }
    const quint32 offset = 14 + headerSize + masks + paletteBytes;
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(offset, file.data() + 10);
    return file + dib;
}

QSize ImageSize(const QByteArray &data, const char *format)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    return reader.size();
}

// What a picture draws with: pixels, or a metafile played as vectors.
struct TDecodedPicture {
    QImage image;
    std::optional<TMetafile> metafile;
};

TDecodedPicture Decode(TPictureKind kind, const QByteArray &data)
{
    TDecodedPicture decoded;
    switch (kind) {
    case TPictureKind::Png:
    case TPictureKind::Jpeg: {
        const char *format = kind == TPictureKind::Png ? "png" : "jpeg";
        const QSize size = ImageSize(data, format);
        if (size.isValid() && qint64(size.width()) * size.height() <= kMaxPicturePixels)
            decoded.image = platform::DecodeImageData(data, kind == TPictureKind::Png ? "PNG" : "JPG");
        break;
    }
    case TPictureKind::Dib:
        try {
            const TBitmap bitmap = TBitmap::FromFileImage(BmpFileOfDib(data));
            if (qint64(bitmap.Width()) * bitmap.Height() <= kMaxPicturePixels)
                decoded.image = bitmap.Image();
        } catch (const EInvalidGraphic &) {
        }
        break;
    case TPictureKind::Emf:
    case TPictureKind::Wmf:
        try {
            decoded.metafile = TMetafile::FromFileImage(data);
        } catch (const EInvalidGraphic &) {
        }
        break;
    case TPictureKind::None: break;
    }
    return decoded;
}

int CostInKilobytes(const TDecodedPicture &picture)
{
    const qint64 bytes = picture.image.sizeInBytes() + (picture.metafile ? picture.metafile->FileImage().size() : 0);
    return int(std::max<qint64>(1, bytes / 1024));
}

QCache<qulonglong, TDecodedPicture> &DecodedPictures()
{
    static QCache<qulonglong, TDecodedPicture> cache(kCacheKilobytes);
    return cache;
}

qulonglong KeyOf(TPictureKind kind, const QByteArray &data)
{
    return (qulonglong(qHash(data, size_t(kind))) << 1) ^ qulonglong(data.size()) * 0x9E3779B97F4A7C15ull;
}

const TDecodedPicture *DecodedPicture(const QTextFormat &format)
{
    const qulonglong key = format.property(RtfPictureKeyProperty).toULongLong();
    auto &cache = DecodedPictures();
    if (const TDecodedPicture *kept = cache.object(key))
        return kept;
    auto *decoded = new TDecodedPicture(
        Decode(TPictureKind(format.intProperty(RtfPictureKindProperty)), format.property(RtfPictureDataProperty).toByteArray()));
    const int cost = CostInKilobytes(*decoded);
    // A picture too large for the cache is drawn from a copy of its own.
    static TDecodedPicture uncached;
    if (!cache.insert(key, decoded, cost)) {
        uncached = Decode(TPictureKind(format.intProperty(RtfPictureKindProperty)),
                          format.property(RtfPictureDataProperty).toByteArray());
        return &uncached;
    }
    return cache.object(key);
}

} // namespace

QSize NaturalSizeTwips(const TRtfPicture &picture)
{
    QSize pixels;
    switch (picture.kind) {
    case TPictureKind::Png: pixels = ImageSize(picture.data, "png"); break;
    case TPictureKind::Jpeg: pixels = ImageSize(picture.data, "jpeg"); break;
    case TPictureKind::Dib:
        if (picture.data.size() >= 12) {
            const bool core = qFromLittleEndian<quint32>(picture.data.constData()) == 12;
            pixels = core ? QSize(qFromLittleEndian<quint16>(picture.data.constData() + 4),
                                  qFromLittleEndian<quint16>(picture.data.constData() + 6))
                          : QSize(qFromLittleEndian<qint32>(picture.data.constData() + 4),
                                  std::abs(qFromLittleEndian<qint32>(picture.data.constData() + 8)));
        }
        break;
    case TPictureKind::Emf:
    case TPictureKind::Wmf:
        try {
            const TMetafile metafile = TMetafile::FromFileImage(picture.data);
            pixels = QSize(metafile.Width(), metafile.Height());
        } catch (const EInvalidGraphic &) {
        }
        break;
    case TPictureKind::None: break;
    }
    if (!pixels.isValid() || pixels.isEmpty())
        pixels = QSize(picture.sourceWidth, picture.sourceHeight);
    // Pixels at 96 to the inch, 15 twips each.
    return QSize(std::max(0, pixels.width()) * 15, std::max(0, pixels.height()) * 15);
}

QTextCharFormat PictureFormat(const TRtfPicture &picture, const QTextCharFormat &around)
{
    QTextCharFormat f = around;
    f.setObjectType(kPictureObjectType);
    f.setProperty(RtfPictureKindProperty, int(picture.kind));
    f.setProperty(RtfPictureDataProperty, picture.data);
    f.setProperty(RtfPictureWidthProperty, picture.widthTwips);
    f.setProperty(RtfPictureHeightProperty, picture.heightTwips);
    f.setProperty(RtfPictureSourceWidthProperty, picture.sourceWidth);
    f.setProperty(RtfPictureSourceHeightProperty, picture.sourceHeight);
    f.setProperty(RtfPictureMappingProperty, picture.mapping);
    f.setProperty(RtfPictureKeyProperty, KeyOf(picture.kind, picture.data));
    return f;
}

bool IsPicture(const QTextFormat &format)
{
    return format.isCharFormat() && format.objectType() == kPictureObjectType;
}

TRtfPicture PictureOf(const QTextFormat &format)
{
    TRtfPicture picture;
    picture.kind = TPictureKind(format.intProperty(RtfPictureKindProperty));
    picture.data = format.property(RtfPictureDataProperty).toByteArray();
    picture.widthTwips = format.intProperty(RtfPictureWidthProperty);
    picture.heightTwips = format.intProperty(RtfPictureHeightProperty);
    picture.sourceWidth = format.intProperty(RtfPictureSourceWidthProperty);
    picture.sourceHeight = format.intProperty(RtfPictureSourceHeightProperty);
    picture.mapping = format.intProperty(RtfPictureMappingProperty);
    return picture;
}

QSizeF TPictureObjectHandler::intrinsicSize(QTextDocument *, int, const QTextFormat &format)
{
    return QSizeF(format.intProperty(RtfPictureWidthProperty) / TwipsPerLayoutPixel(),
                  format.intProperty(RtfPictureHeightProperty) / TwipsPerLayoutPixel());
}

namespace {
// The picture's edges on whole pixels of the painter's target (the label at
// its zoom, on screen and in the recording a print is made of), so that its
// edges are as sharp on the screen as on paper and fall on the same pixels.
QRectF OnWholePixels(const QPainter &painter, const QRectF &rect)
{
    const QTransform &transform = painter.transform();
    if (transform.type() > QTransform::TxScale)
        return rect;
    const QRectF mapped = transform.mapRect(rect);
    const QRectF whole(QPointF(std::round(mapped.left()), std::round(mapped.top())),
                       QPointF(std::round(mapped.right()), std::round(mapped.bottom())));
    return whole.isEmpty() ? rect : transform.inverted().mapRect(whole);
}
} // namespace

void TPictureObjectHandler::drawObject(QPainter *painter, const QRectF &layoutRect, QTextDocument *, int,
                                       const QTextFormat &format)
{
    if (layoutRect.isEmpty())
        return;
    const QRectF rect = OnWholePixels(*painter, layoutRect);
    const TDecodedPicture *picture = DecodedPicture(format);
    painter->save();
    if (picture->metafile) {
        picture->metafile->Draw(*painter, rect);
    } else if (!picture->image.isNull()) {
        // Drawn as the image objects draw theirs, which a PDF shows alike.
        painter->drawImage(rect, picture->image);
    }
    painter->restore();
}

void RegisterPictureHandler(QTextDocument &document)
{
    document.documentLayout()->registerHandler(kPictureObjectType, new TPictureObjectHandler(&document));
}

} // namespace richtext
