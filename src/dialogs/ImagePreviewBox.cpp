// Holds TSmartImage.
#include "dialogs/ImagePreviewBox.h"

#include "platform/Picture.h"
#include "platform/Rounding.h"

#include <QFileInfo>
#include <QPainter>

TSmartImage::TSmartImage(QWidget *parent) : QWidget(parent), FPicture(new TPicture(this))
{
    resize(105, 105);
    connect(FPicture, &TPicture::Changed, this, [this] { PictureChanged(); });
}

void TSmartImage::SetPicture(const TPicture &picture) { FPicture->Assign(picture); }

void TSmartImage::SetAutoSize(bool v)
{
    FAutoSize = v;
    PictureChanged();
}

void TSmartImage::SetStretch(bool v)
{
    FStretch = v;
    update();
}

void TSmartImage::SetMaintainAspect(bool v)
{
    FMaintainAspect = v;
    update();
}

void TSmartImage::SetCenter(bool v)
{
    FCenter = v;
    update();
}

void TSmartImage::SetTransparent(bool v)
{
    if (FPicture->Kind() == TPicture::pkIcon)
        return;
    FTransparent = v;
    PictureChanged();
}

int TSmartImage::DecoderOf(const QString &fileName)
{
    const QString ext = platform::LastExtension(fileName);
    static const QStringList codes = {QString(), QStringLiteral("JPG"), QStringLiteral("GIF"), QStringLiteral("JIF"),
                                      QStringLiteral("BMP"), QStringLiteral("DIB"), QStringLiteral("RLE"),
                                      QStringLiteral("TGA"), QStringLiteral("PCX")};
    const qsizetype code = ext.isEmpty() ? -1 : codes.indexOf(ext);
    return code < 0 ? 0 : int(code);
}

void TSmartImage::LoadFromFile(const QString &path)
{
    const int decoder = DecoderOf(path);
    if (decoder == 0 || decoder == 4) {
        TPicture loaded;
        loaded.LoadFromFile(path);
        FPicture->Assign(loaded);
        return;
    }
    const QImage decoded = platform::DecodeImageFile(path);
    if (decoded.isNull())
        FPicture->Clear();
    else
        FPicture->SetBitmap(TBitmap::FromImage(decoded));
}

QRect TSmartImage::DestinationRect(const QSize &client, const QSize &picture, bool stretch, bool maintainAspect,
                                   bool center)
{
    const int W = client.width(), H = client.height(), w = picture.width(), h = picture.height();
    if (stretch && maintainAspect) {
        if (W == 0 || H == 0 || w == 0 || h == 0)
            return QRect(0, 0, W, H);
        const double ratio = double(w) / h;
        const int height = platform::Round(W / ratio);
        if (height > H) {
            const int width = platform::Round(ratio * H);
            return QRect(center ? (W - width) / 2 : 0, 0, width, H);
        }
        return QRect(0, center ? (H - height) / 2 : 0, W, height);
    }
    if (stretch)
        return QRect(0, 0, W, H);
    if (center)
        return QRect((W - w) / 2, (H - h) / 2, w, h);
    return QRect(0, 0, w, h);
}

void TSmartImage::PictureChanged()
{
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        resize(FPicture->Width(), FPicture->Height());
    setAttribute(Qt::WA_OpaquePaintEvent, FPicture->Kind() == TPicture::pkBitmap
                                              && FPicture->Width() == width() && FPicture->Height() == height());
    const QColor background = palette().color(backgroundRole());
    if (FPicture->Kind() == TPicture::pkIcon) {
        // An icon shows on the box's colour, one row taller than the icon.
        const QImage &icon = FPicture->Icon().Image();
        FWork = QImage(icon.width(), icon.height() + 1, QImage::Format_RGB32);
        FWork.fill(background);
        QPainter p(&FWork);
        p.drawImage(0, 0, icon);
        FTransparent = true;
    } else if (FTransparent && FPicture->Kind() == TPicture::pkBitmap) {
        // The top-left pixel's colour is left out.
        QImage image = FPicture->Bitmap().Image().convertToFormat(QImage::Format_ARGB32);
        const QRgb key = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] | 0xff000000u) == (key | 0xff000000u))
                    line[x] = 0;
        }
        FWork = image;
    } else {
        FWork = QImage();
    }
    update();
}

void TSmartImage::paintEvent(QPaintEvent *)
{
    if (FPicture->IsEmpty())
        return;
    QPainter p(this);
    const QSize pictureSize = FWork.isNull() ? QSize(FPicture->Width(), FPicture->Height()) : FWork.size();
    const QRect dest = DestinationRect(size(), pictureSize, FStretch, FMaintainAspect, FCenter);
    if (!FWork.isNull())
        p.drawImage(dest, FWork);
    else
        FPicture->Draw(p, dest);
}
