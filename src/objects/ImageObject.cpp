// Holds TGImage.
#include "objects/ImageObject.h"

#include "objects/ObjectEditors.h"
#include "platform/Dialogs.h"
#include "platform/PixelFigures.h"
#include "platform/Rounding.h"
#include "report/ReportBase.h"
#include "surface/CardPanel.h"
#include "surface/StoredPicture.h"

#include <QAction>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>

TGImage::TGImage(QObject *owner) : TGGraphicControl(owner), FPicture(new TStoredPicture(this))
{
    SetInitialSize(105, 105);
    connect(FPicture, &TPicture::Changed, this, [this] { PictureChanged(); });
}

void TGImage::SetAutoSize(bool v)
{
    FAutoSize = v;
    // A user's choice turns the other setting off; a card being read holds
    // both settings as they were, so neither overrules the other.
    if (!IsLoading())
        FStretch = !v;
    PictureChanged();
    if (!IsLoading())
        NotifyChanged();
}

void TGImage::SetBorderStyle(Vcl::TBorderStyle v)
{
    if (FBorderStyle == v)
        return;
    FBorderStyle = v;
    Invalidate();
    NotifyChanged();
}

void TGImage::SetPicture(TPicture *v)
{
    if (v)
        FPicture->Assign(*v);
}

void TGImage::SetStretch(bool v)
{
    FStretch = v;
    if (!IsLoading())
        FAutoSize = !v;
    Invalidate();
}

void TGImage::SetReverse(bool v)
{
    if (FReverse == v)
        return;
    FReverse = v;
    Invalidate();
    NotifyChanged();
}

void TGImage::SetFlip(bool v)
{
    if (FFlip == v)
        return;
    FFlip = v;
    Invalidate();
    NotifyChanged();
}

void TGImage::PictureChanged()
{
    BoundsChanged();
    FOpaque = FPicture->Kind() == TPicture::pkBitmap && FPicture->Width() == Width()
        && FPicture->Height() == Height();
    FMirrorFlags = -1;
    Invalidate();
}

void TGImage::BoundsChanged()
{
    TGGraphicControl::BoundsChanged();
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0) {
        const double z = ZoomFactor();
        SetBounds(Left(), Top(), platform::Round(FPicture->Width() * z), platform::Round(FPicture->Height() * z));
    }
}

bool TGImage::Mirrored() const { return FPicture->Kind() == TPicture::pkBitmap && (FFlip || FReverse); }

const QImage &TGImage::MirrorCopy() const
{
    const int flags = (FReverse ? 1 : 0) | (FFlip ? 2 : 0);
    if (FMirrorFlags != flags || FMirrorSize != QSize(Width(), Height()) || FMirrorCopy.isNull()) {
        const QImage &source = FPicture->Bitmap().Image();
        FMirrorCopy = Width() > 0 && Height() > 0
            ? source.scaled(Width(), Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation).mirrored(FReverse, FFlip)
            : QImage();
        FMirrorSize = QSize(Width(), Height());
        FMirrorFlags = flags;
    }
    return FMirrorCopy;
}

const QImage &TGImage::PlayedMetafile(QPainter::RenderHints hints) const
{
    const QByteArray &file = FPicture->Metafile().FileImage();
    if (FPlayed.size() != QSize(Width(), Height()) || FPlayedFile.constData() != file.constData()
        || FPlayedHints != hints) {
        FPlayed = QImage(Width(), Height(), QImage::Format_RGB32);
        FPlayed.fill(Qt::white);
        QPainter p(&FPlayed);
        p.setRenderHints(hints);
        FPicture->Draw(p, QRectF(0, 0, Width(), Height()));
        p.end();
        FPlayedFile = file;
        FPlayedHints = hints;
    }
    return FPlayed;
}

void TGImage::Paint(QPainter &canvas)
{
    const QRect all(0, 0, Width(), Height());
    canvas.save();
    if (FPicture->IsEmpty()) {
        // An empty object shows as a white box with a black frame.
        platform::SetGdiPen(canvas, Qt::black, 1);
        canvas.setBrush(Qt::white);
        platform::GdiRectangle(canvas, 0, 0, Width(), Height());
    } else if (Mirrored()) {
        canvas.drawImage(all, MirrorCopy());
    } else if (FPicture->Kind() == TPicture::pkMetafile && canvas.paintEngine()
               && canvas.paintEngine()->type() == QPaintEngine::Raster
               && canvas.transform().type() <= QTransform::TxTranslate && Width() > 0 && Height() > 0
               && qint64(Width()) * Height() <= 16'000'000) {
        // On a screen the pixels played once are drawn; elsewhere (a
        // recording, a scaled canvas) the records are played as vectors.
        canvas.drawImage(0, 0, PlayedMetafile(canvas.renderHints() & ~QPainter::SmoothPixmapTransform));
    } else {
        // The picture is drawn into a fresh white work bitmap: metafiles and
        // icons show white where they leave the area open.
        if (FPicture->Kind() != TPicture::pkBitmap)
            canvas.fillRect(all, Qt::white);
        canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
        FPicture->Draw(canvas, all);
    }
    if (FBorderStyle == Vcl::bsSingle) {
        platform::SetGdiPen(canvas, Qt::black, 1);
        canvas.setBrush(Qt::NoBrush);
        platform::GdiRectangle(canvas, 0, 0, Width(), Height());
    }
    canvas.restore();
}

void TGImage::Print(TBaseReport &report, double originX, double originY)
{
    const double screenPpi = ppi();
    const double x1 = originX + Left() / screenPpi;
    const double y1 = originY + Top() / screenPpi;
    const double x2 = originX + (Left() + Width()) / screenPpi;
    const double y2 = originY + (Top() + Height()) / screenPpi;
    switch (FPicture->Kind()) {
    case TPicture::pkBitmap:
        // The full bitmap, not a screen-size copy, unless it is mirrored.
        report.DrawBitmapInRect(x1, y1, x2, y2, Mirrored() ? MirrorCopy() : FPicture->Bitmap().Image());
        break;
    case TPicture::pkMetafile: {
        const QRect device = report.DeviceRect(x1, y1, x2, y2).normalized();
        if (device.isEmpty())
            break;
        // Played as vectors: the metafile, not the screen's work bitmap;
        // cut to the object as the work bitmap cuts it on screen.
        report.CreateRectRegion(x1, y1, x2, y2);
        report.SelectRegion();
        report.DrawGraphicInRect(device, FPicture->Metafile().ToRecording(device.size()));
        report.ResetClip();
        report.DeleteRegion();
        break;
    }
    case TPicture::pkIcon: {
        // As the panel shows it: on white where the icon is open. (Printing
        // nothing for an icon the card shows would leave a hole on paper.)
        QImage onWhite(FPicture->Icon().Image().size(), QImage::Format_RGB32);
        onWhite.fill(Qt::white);
        QPainter(&onWhite).drawImage(0, 0, FPicture->Icon().Image());
        report.DrawBitmapInRect(x1, y1, x2, y2, onWhite);
        break;
    }
    case TPicture::pkNone:
        break;
    }
    if (FBorderStyle == Vcl::bsSingle) {
        // As wide as the screen's pixel: a hundredth of an inch.
        report.SelectPen(platform::clBlack, Vcl::psSolid, Vcl::pmCopy, -1);
        report.SelectBrush(platform::clWhite, Vcl::bsClear);
        report.DrawRect(x1, y1, x2, y2);
    }
}

void TGImage::LoadImageFromDisk()
{
    const auto &browse = editors::ObjectEditors().ImageBrowser;
    if (!browse)
        return;
    TPicture chosen;
    editors::TImageChoice choice;
    choice.picture = &chosen;
    choice.stretch = FStretch;
    choice.autoSize = FAutoSize;
    if (browse(Panel(), choice) && !choice.fileName.isEmpty()) {
        try {
            // The boxes first: the new picture's size step must follow the
            // choice just made, not the one the object had (an object that
            // followed its picture's size and is now to stretch keeps its
            // bounds).
            FStretch = choice.stretch;
            FAutoSize = choice.autoSize;
            FPicture->Assign(chosen);
            PictureChanged();
            NotifyChanged();
        } catch (const std::exception &) {
            platform::ShowMessageBox({QStringLiteral("Error loading file!"), QString(), platform::miError,
                                      platform::mbOK},
                                     Panel());
            FPicture->Clear();
        }
    }
}

// Built when the menu is first shown, not while a card is read.
void TGImage::BuildContextMenu()
{
    TGGraphicControl::BuildContextMenu();
    AddSeparator();
    AddMenuItem(tr("Load Image From Disk"), [this] { LoadImageFromDisk(); });
    AddSeparator();
    FBorderItem = AddMenuItem(tr("Border"), [this] {
        SetBorderStyle(FBorderStyle == Vcl::bsSingle ? Vcl::bsNone : Vcl::bsSingle);
    });
    // Stretch changes no pixel, but it is stored: the card has changed.
    FStretchItem = AddMenuItem(tr("Stretch to Fit"), [this] {
        SetStretch(!FStretch);
        Invalidate();
        NotifyChanged();
    });
    FAutoSizeItem = AddMenuItem(tr("AutoSize"), [this] {
        SetAutoSize(!FAutoSize);
        Invalidate();
    });
    FFlipItem = AddMenuItem(tr("Flip"), [this] { SetFlip(!FFlip); });
    FReverseItem = AddMenuItem(tr("Reverse"), [this] { SetReverse(!FReverse); });
    for (QAction *item : {FBorderItem, FStretchItem, FAutoSizeItem, FFlipItem, FReverseItem})
        item->setCheckable(true);
    UpdateContextMenu();
}

void TGImage::UpdateContextMenu()
{
    if (!FBorderItem)
        return;
    FBorderItem->setChecked(FBorderStyle == Vcl::bsSingle);
    FStretchItem->setChecked(FStretch);
    FAutoSizeItem->setChecked(FAutoSize);
    FFlipItem->setChecked(FFlip);
    FReverseItem->setChecked(FReverse);
    const bool bitmap = FPicture->Kind() == TPicture::pkBitmap;
    FFlipItem->setEnabled(bitmap);
    FReverseItem->setEnabled(bitmap);
}
