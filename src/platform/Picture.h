// Pictures held by card objects and by the card's background: a bitmap, a
// metafile or an icon. Each graphic keeps its file image byte for byte, so a
// picture read from a card file written elsewhere is saved back unchanged; the
// decoded form is only for drawing.
// Holds EInvalidGraphic, TBitmap, TMetafile, TIcon and TPicture.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <exception>
#include <memory>
#include <optional>

class QPainter;
class QPicture;

// A graphic that cannot be read; Message() is the text shown to the user.
class EInvalidGraphic : public std::exception
{
public:
    explicit EInvalidGraphic(const QString &message);
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// A Windows bitmap: the BMP file image (file header, information header,
// colour table, bits) and its decoded pixels. Copies share both.
class TBitmap
{
public:
    TBitmap() = default;
    // Every depth and compression of the format; throws EInvalidGraphic for a
    // truncated file, an unknown variant or a size the bytes cannot hold.
    static TBitmap FromFileImage(const QByteArray &bmpFile);
    // Encodes pixels as a BMP file image (24 bits, or 32 with transparency).
    static TBitmap FromImage(const QImage &image);
    static TBitmap LoadFromFile(const QString &path);
    // The card file's form: a 4-byte length N, then N bytes of file image
    // (N = 0 for an empty bitmap).
    static TBitmap FromStreamData(const QByteArray &data);
    QByteArray StreamData() const;

    bool IsEmpty() const { return FImage.isNull(); }
    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    const QImage &Image() const { return FImage; }
    const QByteArray &FileImage() const { return FFile; }
    // Stretched into dest.
    void Draw(QPainter &painter, const QRectF &dest) const;

private:
    QByteArray FFile;
    QImage FImage;
};

// An enhanced metafile or a placeable Windows metafile, played as vectors.
class TMetafile
{
public:
    TMetafile() = default;
    // Throws EInvalidGraphic unless the bytes are a well-formed EMF or
    // placeable WMF (a plain WMF gets a placeable header of its window).
    static TMetafile FromFileImage(const QByteArray &bytes);
    static TMetafile LoadFromFile(const QString &path);
    // A 4-byte length, then the metafile image.
    static TMetafile FromStreamData(const QByteArray &data);
    QByteArray StreamData() const;

    bool IsEmpty() const { return FFile.isEmpty(); }
    bool IsEnhanced() const { return FEnhanced; }
    // Size in screen pixels at 96 per inch, from the frame or bounding box.
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const QByteArray &FileImage() const { return FFile; }
    // Plays the records stretched into dest.
    void Draw(QPainter &painter, const QRectF &dest) const;
    // The records as drawing commands for a w x h area, so that a page or a
    // PDF keeps the vectors.
    QPicture ToRecording(const QSize &size) const;
    // The pixels of the metafile played into a white w x h image.
    QImage ToImage(int width, int height) const;

private:
    // On a device without raster operations (a PDF, a recording), a metafile
    // that needs them is drawn as pixels, its transparency kept.
    void DrawAsPixels(QPainter &painter, const QRectF &dest) const;

    QByteArray FFile;
    bool FEnhanced = false;
    int FWidth = 0;
    int FHeight = 0;
    // Found out on first need; the bytes never change.
    mutable std::optional<bool> FUsesRasterOperations;
};

// A Windows icon file image (ICO); the first image of the file is shown.
class TIcon
{
public:
    TIcon() = default;
    static TIcon FromFileImage(const QByteArray &icoFile);
    static TIcon LoadFromFile(const QString &path);
    // The card file holds the icon's file image as it stands.
    QByteArray StreamData() const { return FFile; }

    bool IsEmpty() const { return FImage.isNull(); }
    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    const QImage &Image() const { return FImage; }
    const QByteArray &FileImage() const { return FFile; }
    void Draw(QPainter &painter, const QRectF &dest) const;
    // The icon drawn at (0, 0) onto a bitmap of its size over white.
    TBitmap ToBitmap() const;

private:
    QByteArray FFile;
    QImage FImage;
};

// The picture container: empty or one graphic with its class name. Changing
// the graphic raises Changed.
class TPicture : public QObject
{
    Q_OBJECT

public:
    enum TKind { pkNone, pkBitmap, pkMetafile, pkIcon };

    explicit TPicture(QObject *parent = nullptr);

    TKind Kind() const { return FKind; }
    bool IsEmpty() const { return FKind == pkNone; }
    // The graphic's class name: "TBitmap", "TMetafile", "TIcon", or empty.
    QByteArray GraphicClassName() const;
    int Width() const;
    int Height() const;

    const TBitmap &Bitmap() const { return FBitmap; }
    const TMetafile &Metafile() const { return FMetafile; }
    const TIcon &Icon() const { return FIcon; }
    void SetBitmap(const TBitmap &bitmap);
    void SetMetafile(const TMetafile &metafile);
    void SetIcon(const TIcon &icon);
    void Clear();
    void Assign(const TPicture &other);

    // Reads a file by its extension: WMF and EMF as metafiles, ICO as an
    // icon, BMP and every other image format the decoders read as a bitmap;
    // throws EInvalidGraphic.
    void LoadFromFile(const QString &path);

    // Bitmaps and icons stretched, metafiles played into dest.
    void Draw(QPainter &painter, const QRectF &dest) const;
    // The picture's pixels at its own size (a metafile at its own size).
    QImage ToImage() const;

    // The card file's "Data": the class name as a short string, then the
    // graphic's own data; empty when the picture holds nothing.
    QByteArray Data() const;
    // Takes "Data" bytes; throws EInvalidGraphic and leaves the picture as it
    // was when they are not a picture.
    void SetData(const QByteArray &data);

signals:
    void Changed();

private:
    TKind FKind = pkNone;
    TBitmap FBitmap;
    TMetafile FMetafile;
    TIcon FIcon;
};

namespace platform {
// The last extension of a file name, upper case, without the dot ("JPG").
QString LastExtension(const QString &path);
// Decodes an image file into pixels with the one decoder its extension
// names: BMP ours; JPEG, GIF, PNG, SVG, TIFF and WebP Qt's reader of that
// format; PCX, TGA, RLE and DIB the image library. Returns a null image when
// the extension is none of these or the file is not a picture of that
// format; never allocates far beyond what the file can describe.
QImage DecodeImageFile(const QString &path);
// The same for bytes held in memory, named by the extension their file
// would have ("PNG", "JPG", "BMP").
QImage DecodeImageData(const QByteArray &bytes, const QString &extension);
// Background art as the panel and the print both take it: a path holding
// ".BMP" is a bitmap, one holding ".WMF" or ".EMF" a metafile; anything else,
// or a file that cannot be read, is no art (false, picture cleared).
bool LoadBackgroundArt(const QString &path, TPicture &into);
// The extensions (upper case) of the formats the image library decodes.
const QStringList &ImageLibraryFormats();
// The image library alone (GraphicsMagick, in a process of its own with
// limits on time and memory), told the format: it never guesses one from
// the bytes. A null image on failure.
QImage DecodeWithImageLibrary(const QByteArray &bytes, const QString &format);
} // namespace platform
