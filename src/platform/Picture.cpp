#include "platform/Picture.h"

#include "platform/CutShortPictures.h"
#include "platform/MetafilePlayer.h"
#include "platform/InputFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

// No picture of the program needs more pixels than this (16000 x 16000 at
// four bytes a pixel is a gigabyte; this is a quarter of that).
constexpr qint64 kMaxPixels = qint64(64) * 1024 * 1024;
// Qt's picture readers refuse, on their own and without saying so, a picture
// whose pixels take more than their allocation limit (128 MB unless told
// otherwise): that limit is made the program's own, so a picture within
// kMaxPixels decodes whichever reader decodes it.
[[maybe_unused]] const bool kReaderLimitAgrees = [] {
    QImageReader::setAllocationLimit(int(kMaxPixels * 4 / (1024 * 1024)));
    return true;
}();
// Icons are small: the format itself stops at 256 pixels.
constexpr int kMaxIconSide = 1024;

QString BitmapNotValid() { return QStringLiteral("Bitmap image is not valid"); }
QString IconNotValid() { return QStringLiteral("Icon image is not valid"); }

quint16 U16(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 U32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
qint32 I32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<qint32>(b.constData() + at); }

QByteArray LengthPrefixed(const QByteArray &bytes)
{
    QByteArray out(4, '\0');
    qToLittleEndian<quint32>(quint32(bytes.size()), out.data());
    return out + bytes;
}

// The bytes after a 4-byte length; throws when the length runs past the data.
QByteArray TakeLengthPrefixed(const QByteArray &data, const QString &error)
{
    if (data.size() < 4)
        throw EInvalidGraphic(error);
    const quint32 length = U32(data, 0);
    if (length > quint32(data.size() - 4))
        throw EInvalidGraphic(error);
    return data.mid(4, length);
}

QByteArray ReadWholeFile(const QString &path)
{
    // Regular files of a picture's size only: a FIFO or a device never ends.
    try {
        return platform::ReadInputFile(path, platform::TInputKind::Picture);
    } catch (const platform::EInputFileError &e) {
        throw EInvalidGraphic(QStringLiteral("Cannot open file \"%1\": %2").arg(QDir::toNativeSeparators(path), e.Message()));
    }
}

// Checks the headers of a BMP file image against what its bytes can hold,
// before any decoder allocates pixels for it.
void CheckBitmapHeaders(const QByteArray &b)
{
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M')
        throw EInvalidGraphic(BitmapNotValid());
    const quint32 bitsOffset = U32(b, 10);
    const quint32 headerSize = U32(b, 14);
    if (headerSize < 12 || headerSize > quint32(b.size() - 14))
        throw EInvalidGraphic(BitmapNotValid());
    qint64 width = 0, height = 0;
    int planes = 0, bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        width = U16(b, 18);
        height = U16(b, 20);
        planes = U16(b, 22);
        bits = U16(b, 24);
    } else {
        if (headerSize < 40)
            throw EInvalidGraphic(BitmapNotValid());
        width = I32(b, 18);
        height = I32(b, 22);
        planes = U16(b, 26);
        bits = U16(b, 28);
        compression = U32(b, 30);
    }
    const qint64 rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || planes != 1)
        throw EInvalidGraphic(BitmapNotValid());
    const bool knownDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool knownCompression = compression == 0 || (compression == 1 && bits == 8)
        || (compression == 2 && bits == 4) || (compression == 3 && (bits == 16 || bits == 32));
    if (!knownDepth || !knownCompression || width * rows > kMaxPixels)
        throw EInvalidGraphic(BitmapNotValid());
    if (bitsOffset >= quint32(b.size()))
        throw EInvalidGraphic(BitmapNotValid());
    const qint64 available = b.size() - qint64(bitsOffset);
    if (compression == 1 || compression == 2) {
        // Runs pack many pixels into few bytes, but not without bound.
        if (width * rows > qMax<qint64>(4 * 1024 * 1024, available * 512))
            throw EInvalidGraphic(BitmapNotValid());
    } else {
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        if (rowBytes * rows > available)
            throw EInvalidGraphic(BitmapNotValid());
    }
}

// Checks an ICO directory and the headers of its images.
void CheckIconHeaders(const QByteArray &b)
{
    if (b.size() < 6 || U16(b, 0) != 0 || (U16(b, 2) != 1 && U16(b, 2) != 2))
        throw EInvalidGraphic(IconNotValid());
    const int count = U16(b, 4);
    if (count == 0 || 6 + 16 * qint64(count) > b.size())
        throw EInvalidGraphic(IconNotValid());
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const quint32 size = U32(b, entry + 8);
        const quint32 offset = U32(b, entry + 12);
        if (offset < quint32(6 + 16 * count) || offset > quint32(b.size()) || size > quint32(b.size()) - offset
            || size < 40)
            throw EInvalidGraphic(IconNotValid());
        qint64 width = 0, height = 0;
        if (b.mid(offset, 8) == QByteArray("\x89PNG\r\n\x1a\n", 8)) {
            if (size < 24)
                throw EInvalidGraphic(IconNotValid());
            width = qFromBigEndian<quint32>(b.constData() + offset + 16);
            height = qFromBigEndian<quint32>(b.constData() + offset + 20);
        } else {
            width = I32(b, offset + 4);
            height = I32(b, offset + 8) / 2; // image and mask stacked
        }
        if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide)
            throw EInvalidGraphic(IconNotValid());
    }
}

// A damaged file's pixels may name colours beyond its table, which every
// drawing would then read past its end: the table is filled up (black) to
// every index a pixel can hold.
QImage WithFullColorTable(QImage image)
{
    const int indices = image.format() == QImage::Format_Indexed8 ? 256 : image.depth() == 1 ? 2 : 0;
    if (indices > 0 && image.colorCount() < indices) {
        QList<QRgb> table = image.colorTable();
        table.resize(indices, qRgb(0, 0, 0));
        image.setColorTable(table);
    }
    return image;
}

QImage ReadImage(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    return WithFullColorTable(reader.read());
}

QImage OverWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    return flat;
}

// Any other image file the decoders read, as a bitmap.
TBitmap DecodedBitmap(const QString &path)
{
    const QImage image = platform::DecodeImageFile(path);
    if (image.isNull())
        throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)")
                                  .arg(platform::LastExtension(path).toLower()));
    return TBitmap::FromImage(image);
}

} // namespace

EInvalidGraphic::EInvalidGraphic(const QString &message) : FMessage(message), FUtf8(message.toUtf8()) {}

// ======================================================================
// TBitmap

TBitmap TBitmap::FromFileImage(const QByteArray &bmpFile)
{
    CheckBitmapHeaders(bmpFile);
    TBitmap bitmap;
    bitmap.FImage = ReadImage(bmpFile, "BMP");
    if (bitmap.FImage.isNull())
        throw EInvalidGraphic(BitmapNotValid());
    bitmap.FFile = bmpFile;
    return bitmap;
}

TBitmap TBitmap::FromImage(const QImage &image)
{
    TBitmap bitmap;
    if (image.isNull())
        return bitmap;
    bitmap.FImage = image.hasAlphaChannel() ? OverWhite(image) : image.convertToFormat(QImage::Format_RGB32);
    QBuffer buffer(&bitmap.FFile);
    buffer.open(QIODevice::WriteOnly);
    bitmap.FImage.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bitmap;
}

TBitmap TBitmap::LoadFromFile(const QString &path) { return FromFileImage(ReadWholeFile(path)); }

TBitmap TBitmap::FromStreamData(const QByteArray &data)
{
    const QByteArray file = TakeLengthPrefixed(data, BitmapNotValid());
    if (file.isEmpty())
        return TBitmap();
    return FromFileImage(file);
}

QByteArray TBitmap::StreamData() const { return LengthPrefixed(FFile); }

void TBitmap::Draw(QPainter &painter, const QRectF &dest) const
{
    if (!IsEmpty())
        painter.drawImage(dest, FImage);
}

// ======================================================================
// TMetafile

TMetafile TMetafile::FromFileImage(const QByteArray &bytes)
{
    platform::TMetafileFacts facts;
    QByteArray image = bytes;
    if (!platform::ReadMetafileFacts(image, facts)) {
        // A plain Windows metafile: give it the placeable header of its window.
        image = platform::MakePlaceable(bytes);
        if (image.isEmpty() || !platform::ReadMetafileFacts(image, facts))
            throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
    }
    TMetafile metafile;
    metafile.FFile = image;
    metafile.FEnhanced = facts.enhanced;
    metafile.FWidth = facts.widthPixels;
    metafile.FHeight = facts.heightPixels;
    return metafile;
}

TMetafile TMetafile::LoadFromFile(const QString &path) { return FromFileImage(ReadWholeFile(path)); }

TMetafile TMetafile::FromStreamData(const QByteArray &data)
{
    return FromFileImage(TakeLengthPrefixed(data, QStringLiteral("Metafile is not valid")));
}

QByteArray TMetafile::StreamData() const { return LengthPrefixed(FFile); }

void TMetafile::Draw(QPainter &painter, const QRectF &dest) const
{
    if (IsEmpty())
        return;
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
    if (!raster) {
        if (!FUsesRasterOperations)
            FUsesRasterOperations = platform::MetafileUsesRasterOperations(FFile);
        if (*FUsesRasterOperations) {
            DrawAsPixels(painter, dest);
            return;
        }
    }
    platform::PlayMetafile(painter, FFile, dest);
}

void TMetafile::DrawAsPixels(QPainter &painter, const QRectF &dest) const
{
    // At the device's own resolution, within a sensible size.
    constexpr double kLongestSide = 4096;
    const QRectF device = painter.transform().mapRect(dest);
    const double scale = std::min(1.0, kLongestSide / std::max({device.width(), device.height(), 1.0}));
    const int w = std::max(1, int(std::ceil(device.width() * scale)));
    const int h = std::max(1, int(std::ceil(device.height() * scale)));
    // Played on white and on black: where the two agree the metafile drew,
    // where they differ by the full step nothing did; between lies coverage.
    QImage onWhite(w, h, QImage::Format_RGB32), onBlack(w, h, QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    onBlack.fill(Qt::black);
    for (QImage *image : {&onWhite, &onBlack}) {
        QPainter p(image);
        platform::PlayMetafile(p, FFile, QRectF(0, 0, w, h));
    }
    QImage art(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        const auto *white = reinterpret_cast<const QRgb *>(onWhite.constScanLine(y));
        const auto *black = reinterpret_cast<const QRgb *>(onBlack.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(art.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int gap = std::max({qRed(white[x]) - qRed(black[x]), qGreen(white[x]) - qGreen(black[x]),
                                      qBlue(white[x]) - qBlue(black[x]), 0});
            const int alpha = 255 - std::min(gap, 255);
            out[x] = qRgba(std::min(qRed(black[x]), alpha), std::min(qGreen(black[x]), alpha),
                           std::min(qBlue(black[x]), alpha), alpha);
        }
    }
    painter.drawImage(dest, art);
}

QPicture TMetafile::ToRecording(const QSize &size) const
{
    QPicture recording;
    QPainter p(&recording);
    Draw(p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    recording.setBoundingRect(QRect(QPoint(0, 0), size));
    return recording;
}

QImage TMetafile::ToImage(int width, int height) const
{
    if (width <= 0 || height <= 0 || qint64(width) * height > kMaxPixels)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Draw(p, QRectF(0, 0, width, height));
    return image;
}

// ======================================================================
// TIcon

TIcon TIcon::FromFileImage(const QByteArray &icoFile)
{
    CheckIconHeaders(icoFile);
    TIcon icon;
    icon.FImage = ReadImage(icoFile, "ICO");
    if (icon.FImage.isNull())
        throw EInvalidGraphic(IconNotValid());
    icon.FFile = icoFile;
    return icon;
}

TIcon TIcon::LoadFromFile(const QString &path) { return FromFileImage(ReadWholeFile(path)); }

void TIcon::Draw(QPainter &painter, const QRectF &dest) const
{
    if (!IsEmpty())
        painter.drawImage(dest, FImage);
}

TBitmap TIcon::ToBitmap() const
{
    if (IsEmpty())
        return TBitmap();
    return TBitmap::FromImage(OverWhite(FImage));
}

// ======================================================================
// TPicture

TPicture::TPicture(QObject *parent) : QObject(parent) {}

QByteArray TPicture::GraphicClassName() const
{
    switch (FKind) {
    case pkBitmap: return QByteArrayLiteral("TBitmap");
    case pkMetafile: return QByteArrayLiteral("TMetafile");
    case pkIcon: return QByteArrayLiteral("TIcon");
    case pkNone: break;
    }
    return QByteArray();
}

int TPicture::Width() const
{
    switch (FKind) {
    case pkBitmap: return FBitmap.Width();
    case pkMetafile: return FMetafile.Width();
    case pkIcon: return FIcon.Width();
    case pkNone: break;
    }
    return 0;
}

int TPicture::Height() const
{
    switch (FKind) {
    case pkBitmap: return FBitmap.Height();
    case pkMetafile: return FMetafile.Height();
    case pkIcon: return FIcon.Height();
    case pkNone: break;
    }
    return 0;
}

void TPicture::SetBitmap(const TBitmap &bitmap)
{
    Clear();
    FKind = pkBitmap;
    FBitmap = bitmap;
    emit Changed();
}

void TPicture::SetMetafile(const TMetafile &metafile)
{
    Clear();
    FKind = pkMetafile;
    FMetafile = metafile;
    emit Changed();
}

void TPicture::SetIcon(const TIcon &icon)
{
    Clear();
    FKind = pkIcon;
    FIcon = icon;
    emit Changed();
}

void TPicture::Clear()
{
    const bool had = FKind != pkNone;
    FKind = pkNone;
    FBitmap = TBitmap();
    FMetafile = TMetafile();
    FIcon = TIcon();
    if (had)
        emit Changed();
}

void TPicture::Assign(const TPicture &other)
{
    if (&other == this)
        return;
    FKind = other.FKind;
    FBitmap = other.FBitmap;
    FMetafile = other.FMetafile;
    FIcon = other.FIcon;
    emit Changed();
}

void TPicture::LoadFromFile(const QString &path)
{
    const QString ext = platform::LastExtension(path);
    if (ext == QLatin1String("WMF") || ext == QLatin1String("EMF"))
        SetMetafile(TMetafile::LoadFromFile(path));
    else if (ext == QLatin1String("ICO"))
        SetIcon(TIcon::LoadFromFile(path));
    else if (ext == QLatin1String("BMP"))
        SetBitmap(TBitmap::LoadFromFile(path));
    else
        SetBitmap(DecodedBitmap(path));
}

void TPicture::Draw(QPainter &painter, const QRectF &dest) const
{
    switch (FKind) {
    case pkBitmap: FBitmap.Draw(painter, dest); break;
    case pkMetafile: FMetafile.Draw(painter, dest); break;
    case pkIcon: FIcon.Draw(painter, dest); break;
    case pkNone: break;
    }
}

QImage TPicture::ToImage() const
{
    switch (FKind) {
    case pkBitmap: return FBitmap.Image();
    case pkMetafile: return FMetafile.ToImage(FMetafile.Width(), FMetafile.Height());
    case pkIcon: return FIcon.Image();
    case pkNone: break;
    }
    return QImage();
}

QByteArray TPicture::Data() const
{
    QByteArray own;
    switch (FKind) {
    case pkBitmap: own = FBitmap.StreamData(); break;
    case pkMetafile: own = FMetafile.StreamData(); break;
    case pkIcon: own = FIcon.StreamData(); break;
    case pkNone: return QByteArray();
    }
    const QByteArray name = GraphicClassName();
    return char(name.size()) + name + own;
}

void TPicture::SetData(const QByteArray &data)
{
    if (data.isEmpty()) {
        Clear();
        return;
    }
    const int nameLength = quint8(data[0]);
    if (nameLength + 1 > data.size() || nameLength > 63)
        throw EInvalidGraphic(QStringLiteral("Invalid property value"));
    const QByteArray name = data.mid(1, nameLength);
    const QByteArray own = data.mid(1 + nameLength);
    if (name.compare("TBitmap", Qt::CaseInsensitive) == 0)
        SetBitmap(TBitmap::FromStreamData(own));
    else if (name.compare("TMetafile", Qt::CaseInsensitive) == 0)
        SetMetafile(TMetafile::FromStreamData(own));
    else if (name.compare("TIcon", Qt::CaseInsensitive) == 0)
        SetIcon(TIcon::FromFileImage(own));
    else
        throw EInvalidGraphic(QStringLiteral("Invalid property value"));
}

// ======================================================================
// Decoding image files

namespace {

enum class TPictureDecoder { Bitmap, QtReader, ImageLibrary };

// Qt's reader of a picture extension (upper case), or nothing.
QByteArray QtReaderFormat(const QString &ext)
{
    static const QHash<QString, QByteArray> formats = {
        {QStringLiteral("JPG"), "jpeg"},  {QStringLiteral("JPEG"), "jpeg"}, {QStringLiteral("JPE"), "jpeg"},
        {QStringLiteral("JIF"), "jpeg"},  {QStringLiteral("JFIF"), "jpeg"}, {QStringLiteral("GIF"), "gif"},
        {QStringLiteral("PNG"), "png"},   {QStringLiteral("SVG"), "svg"},   {QStringLiteral("TIF"), "tiff"},
        {QStringLiteral("TIFF"), "tiff"}, {QStringLiteral("WEBP"), "webp"}};
    return formats.value(ext);
}

// The one decoder of an extension: BMP is ours; PCX, Targa (Qt reads only
// uncompressed files with a footer), Utah RLE and header-less DIB go to the
// image library; the rest to Qt's reader of that format.
std::optional<TPictureDecoder> DecoderForExtension(const QString &ext)
{
    if (ext == QLatin1String("BMP"))
        return TPictureDecoder::Bitmap;
    if (platform::ImageLibraryFormats().contains(ext))
        return TPictureDecoder::ImageLibrary;
    if (!QtReaderFormat(ext).isEmpty())
        return TPictureDecoder::QtReader;
    return std::nullopt;
}

// Qt's SVG renderer reads a picture that an SVG names by file (an <image>
// or <use> of another file) by itself: a FIFO would block it, and a private
// picture of the user's would end up on the card. Only references inside
// the document and inline data are allowed.
bool SvgNamesOnlyItsOwnParts(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (const QXmlStreamAttribute &attribute : xml.attributes()) {
            if (attribute.name() != QLatin1String("href"))
                continue;
            const QStringView value = attribute.value().trimmed();
            if (!value.startsWith(QLatin1Char('#')) && !value.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
                return false;
        }
    }
    return !xml.hasError();
}

} // namespace

namespace platform {

QString LastExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1).toUpper();
}

bool LoadBackgroundArt(const QString &path, TPicture &into)
{
    into.Clear();
    const QString upper = path.toUpper();
    try {
        if (upper.contains(QLatin1String(".BMP")) && QFileInfo::exists(path))
            into.SetBitmap(TBitmap::LoadFromFile(path));
        else if (upper.contains(QLatin1String(".WMF")) || upper.contains(QLatin1String(".EMF")))
            into.SetMetafile(TMetafile::LoadFromFile(path));
    } catch (const EInvalidGraphic &) {
        into.Clear();
    }
    return !into.IsEmpty();
}

QImage DecodeImageFile(const QString &path)
{
    const QString ext = LastExtension(path);
    if (!DecoderForExtension(ext))
        return QImage();
    QByteArray bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const EInvalidGraphic &) {
        return QImage();
    }
    return DecodeImageData(bytes, ext);
}

QImage DecodeImageData(const QByteArray &bytes, const QString &extension)
{
    // The extension alone chooses the decoder, and only that decoder sees
    // the bytes: a file that is not what its name says is refused, never
    // handed to whichever reader recognises it.
    const QString ext = extension.toUpper();
    const std::optional<TPictureDecoder> decoder = DecoderForExtension(ext);
    if (!decoder)
        return QImage();
    // A DIB file may carry the BMP file header: then it is a BMP.
    if (*decoder == TPictureDecoder::Bitmap || (ext == QLatin1String("DIB") && bytes.startsWith("BM"))) {
        try {
            return TBitmap::FromFileImage(bytes).Image();
        } catch (const EInvalidGraphic &) {
            return QImage();
        }
    }
    // Readers decode these as far as they go and fill the rest.
    if (IsCutShortPicture(bytes))
        return QImage();
    if (*decoder == TPictureDecoder::ImageLibrary)
        return WithFullColorTable(DecodeWithImageLibrary(bytes, ext));
    const QByteArray format = QtReaderFormat(ext);
    if (format == "svg" && !SvgNamesOnlyItsOwnParts(bytes))
        return QImage();
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || qint64(size.width()) * size.height() > kMaxPixels)
        return QImage();
    return WithFullColorTable(reader.read());
}

} // namespace platform
