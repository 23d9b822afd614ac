// Holds TTileBitmap.
#include "objects/TileBitmap.h"

#include "platform/Rounding.h"
#include "report/ReportBase.h"

#include <QPainter>

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
    if (IsEmpty())
        return;
    int tileW = Width(), tileH = Height();
    if (zoom != 1.0) {
        tileW = platform::Trunc(Width() * zoom);
        tileH = platform::Trunc(Height() * zoom);
    }
    const QImage &image = Image();
    ForEachTile(width, height, tileW, tileH,
                [&](int x, int y) { canvas.drawImage(QRect(x, y, tileW, tileH), image); });
}

void TTileBitmap::PrintTiles(TBaseReport &report, const QRect &deviceArea, double screenPixelsPerInch) const
{
    if (IsEmpty() || screenPixelsPerInch <= 0)
        return;
    const double sx = report.XDPI() / screenPixelsPerInch, sy = report.YDPI() / screenPixelsPerInch;
    const int tileW = platform::Round(Width() * sx), tileH = platform::Round(Height() * sy);
    const QImage &image = Image();
    ForEachTile(deviceArea.width() + tileW, deviceArea.height() + tileH, tileW, tileH, [&](int x, int y) {
        report.DrawGraphicInRect(QRect(deviceArea.left() + x, deviceArea.top() + y, tileW + 1, tileH + 1), image);
    });
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
