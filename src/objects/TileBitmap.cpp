// Holds TTileBitmap.
#include "objects/TileBitmap.h"

#include "platform/Rounding.h"
#include "report/ReportBase.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

void TTileBitmap::SetBitmap(const TBitmap &bitmap)
{
    FBitmap = bitmap;
    FData = bitmap.IsEmpty() ? QByteArray() : bitmap.StreamData();
}

void TTileBitmap::SetImage(const QImage &image)
{
    SetBitmap(image.isNull() ? TBitmap() : TBitmap::FromImage(image));
}

void TTileBitmap::Assign(const TTileBitmap &other)
{
    FData = other.FData;
    FBitmap = other.FBitmap;
}

void TTileBitmap::Clear()
{
    FData.clear();
    FBitmap = TBitmap();
}

void TTileBitmap::DrawTiles(QPainter &canvas, int width, int height, double zoom) const
{
    if (IsEmpty() || width <= 0 || height <= 0)
        return;
    int tileW = Width(), tileH = Height();
    if (zoom != 1.0) {
        tileW = platform::Trunc(Width() * zoom);
        tileH = platform::Trunc(Height() * zoom);
    }
    if (tileW <= 0 || tileH <= 0)
        return;
    if (qint64(tileW) * tileH > kLargestScaledTile) {
        // A large picture at a high zoom is not copied at that size: each
        // tile that can be seen is drawn stretched instead.
        QRect visible(0, 0, width, height);
        if (canvas.hasClipping())
            visible &= canvas.clipBoundingRect().toAlignedRect();
        for (int y = visible.top() / tileH * tileH; y <= visible.bottom(); y += tileH)
            for (int x = visible.left() / tileW * tileW; x <= visible.right(); x += tileW)
                canvas.drawImage(QRect(x, y, tileW, tileH), Image());
        return;
    }
    // One texture fill, laid from (0, 0), instead of a drawing per tile: the
    // painter fills only what its clip lets through, however large the object
    // and however small the picture.
    const QImage tile = QSize(tileW, tileH) == Image().size()
        ? Image()
        : Image().scaled(tileW, tileH, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    canvas.save();
    canvas.setBrushOrigin(0, 0);
    canvas.fillRect(QRect(0, 0, width, height), QBrush(tile));
    canvas.restore();
}

void TTileBitmap::PrintTiles(TBaseReport &report, const QRect &deviceArea, double screenPixelsPerInch) const
{
    if (IsEmpty() || screenPixelsPerInch <= 0)
        return;
    const double sx = report.XDPI() / screenPixelsPerInch, sy = report.YDPI() / screenPixelsPerInch;
    // A tiny picture goes to paper as a block of copies of itself, so that a
    // page holds thousands of tiles rather than millions.
    const int copiesX = std::clamp(int(std::ceil(kFewestPrintedTilePixels / (Width() * sx))), 1, 64);
    const int copiesY = std::clamp(int(std::ceil(kFewestPrintedTilePixels / (Height() * sy))), 1, 64);
    // The block holds one pixel more of the pattern on its right and bottom
    // edges: drawn that much larger, each block overlaps the next with the
    // very pixels the next one starts with, so neighbours leave no seam and
    // nothing is stretched.
    const int blockW = Width() * copiesX, blockH = Height() * copiesY;
    QImage block(blockW + 1, blockH + 1, Image().format());
    {
        QPainter p(&block);
        for (int y = 0; y <= copiesY; ++y)
            for (int x = 0; x <= copiesX; ++x)
                p.drawImage(x * Width(), y * Height(), Image());
    }
    const int tileW = platform::Round(blockW * sx), tileH = platform::Round(blockH * sy);
    if (tileW <= 0 || tileH <= 0)
        return;
    const int drawnW = platform::Round((blockW + 1) * sx), drawnH = platform::Round((blockH + 1) * sy);
    // Only the tiles that reach the paper: an object may lie far beyond it.
    const QRect paper = report.PaperDeviceRect();
    const QRect reach = deviceArea.adjusted(0, 0, tileW, tileH).intersected(paper.adjusted(-tileW, -tileH, 0, 0));
    if (reach.isEmpty())
        return;
    const int firstX = (reach.left() - deviceArea.left()) / tileW * tileW;
    const int firstY = (reach.top() - deviceArea.top()) / tileH * tileH;
    for (int y = firstY; deviceArea.top() + y <= reach.bottom(); y += tileH)
        for (int x = firstX; deviceArea.left() + x <= reach.right(); x += tileW)
            report.DrawGraphicInRect(QRect(deviceArea.left() + x, deviceArea.top() + y, drawnW, drawnH), block);
}

void TTileBitmap::WriteExtraData(TComponentWriter &writer) const
{
    if (FData.isEmpty())
        return;
    writer.WritePropName("Data");
    writer.WriteBinary(FData);
}

bool TTileBitmap::ReadExtraData(const QByteArray &name, TComponentReader &reader)
{
    if (name.compare("Data", Qt::CaseInsensitive) != 0)
        return false;
    FData = reader.ReadBinary();
    // A damaged picture leaves the texture empty; its bytes are still kept
    // and written back.
    try {
        FBitmap = TBitmap::FromStreamData(FData);
    } catch (const EInvalidGraphic &) {
        FBitmap = TBitmap();
    }
    return true;
}
