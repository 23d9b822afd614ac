// The picture of a texture fill, shared by SuperShape and SuperText: kept as
// the card file holds it ("Image.Data": a length, then the bitmap file's
// bytes, unchanged as read so that a card is written back byte for byte),
// decoded for drawing, and tiled over an area on screen and on paper.
// Holds TTileBitmap.
#pragma once

#include "platform/Picture.h"
#include "surface/ComponentStream.h"

#include <QByteArray>
#include <QImage>
#include <QObject>

class QPainter;
class TBaseReport;

// Calls draw(x, y) for tiles of tileW x tileH laid from (0, 0) over an area of
// width x height. A tile size that rounds to nothing draws no tiles at all.
template <typename DrawTile>
void ForEachTile(int width, int height, int tileW, int tileH, DrawTile draw)
{
    if (tileW <= 0 || tileH <= 0)
        return;
    for (int y = 0; y < height; y += tileH)
        for (int x = 0; x < width; x += tileW)
            draw(x, y);
}

class TTileBitmap : public QObject, public IStreamExtraData
{
    Q_OBJECT

public:
    explicit TTileBitmap(QObject *parent = nullptr) : QObject(parent) {}

    bool IsEmpty() const { return FBitmap.IsEmpty(); }
    int Width() const { return FBitmap.Width(); }
    int Height() const { return FBitmap.Height(); }
    const QImage &Image() const { return FBitmap.Image(); }
    const TBitmap &Bitmap() const { return FBitmap; }
    // Keeps the bitmap's own file bytes (a texture chosen in the browser).
    void SetBitmap(const TBitmap &bitmap);
    // Pixels made elsewhere, stored as a BMP file.
    void SetImage(const QImage &image);
    void Assign(const TTileBitmap &other);
    void Clear();

    // Tiles over (0, 0, width, height) of the canvas, each the picture's size
    // times zoom (truncated). The caller clips to the figure or letters.
    void DrawTiles(QPainter &canvas, int width, int height, double zoom) const;
    // Tiles at printer resolution over deviceArea: each tile the picture's
    // screen size in device pixels, one more row and column than the area
    // needs and a pixel of overlap, so that neither the edge nor a seam shows.
    void PrintTiles(TBaseReport &report, const QRect &deviceArea, double screenPixelsPerInch) const;

    void WriteExtraData(TComponentWriter &writer) const override;
    bool ReadExtraData(const QByteArray &name, TComponentReader &reader) override;

private:
    // A printed tile is made at least this many device pixels wide and high.
    static constexpr double kFewestPrintedTilePixels = 48;
    // The most pixels a zoomed copy of the picture may have on screen.
    static constexpr qint64 kLargestScaledTile = 4'000'000;

    QByteArray FData;
    TBitmap FBitmap;
};
