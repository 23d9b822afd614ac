// The image object: a bitmap, metafile or icon always stretched to the
// object's bounds, optionally following the picture's size, framed, and
// mirrored (bitmaps only).
// Holds TGImage.
#pragma once

#include "platform/Graphics.h"
#include "platform/Picture.h"

#include <QPainter>
#include "surface/CardObject.h"

#include <QImage>


class TGImage : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(Vcl::TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TPicture *Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Reverse READ Reverse WRITE SetReverse)
    Q_PROPERTY(bool Flip READ Flip WRITE SetFlip)
    Q_CLASSINFO("default:AutoSize", "false")
    Q_CLASSINFO("default:Stretch", "true")

public:
    Q_INVOKABLE explicit TGImage(QObject *owner = nullptr);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    Vcl::TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(Vcl::TBorderStyle v);
    TPicture *Picture() const { return FPicture; }
    void SetPicture(TPicture *v);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Reverse() const { return FReverse; }
    void SetReverse(bool v);
    bool Flip() const { return FFlip; }
    void SetFlip(bool v);

    // "Load Image From Disk": the image browser, then its picture and options.
    void LoadImageFromDisk();

    void BuildContextMenu() override;
    void Paint(QPainter &canvas) override;
    void Print(TBaseReport &report, double originX, double originY) override;
    void BoundsChanged() override;
    void UpdateContextMenu() override;

    // Whether the platform may skip painting the background under the object.
    bool Opaque() const { return FOpaque; }

private:
    void PictureChanged();
    bool Mirrored() const;
    // The bitmap scaled to the object's size and mirrored as Flip and
    // Reverse say; kept while nothing changes, so repeated prints share it.
    const QImage &MirrorCopy() const;
    // The metafile played onto the object's white work bitmap at its size:
    // played (its bitmaps decoded) once, not at every paint.
    const QImage &PlayedMetafile(QPainter::RenderHints hints) const;

    bool FAutoSize = false;
    Vcl::TBorderStyle FBorderStyle = Vcl::bsNone;
    TPicture *FPicture;
    bool FStretch = true;
    bool FReverse = false;
    bool FFlip = false;
    bool FOpaque = false;
    mutable QImage FMirrorCopy;
    mutable QSize FMirrorSize;
    mutable int FMirrorFlags = -1;
    mutable QImage FPlayed;
    mutable QByteArray FPlayedFile; // the metafile's bytes it was played from
    mutable QPainter::RenderHints FPlayedHints;
    QAction *FBorderItem = nullptr;
    QAction *FStretchItem = nullptr;
    QAction *FAutoSizeItem = nullptr;
    QAction *FFlipItem = nullptr;
    QAction *FReverseItem = nullptr;
};
