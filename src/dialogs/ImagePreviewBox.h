// The image preview box: shows a picture file before the user accepts it, and
// turns files the platform cannot read itself (JPEG, GIF, PCX, Targa ...)
// into bitmaps; the browsers copy its picture into the object they edit.
// Holds TSmartImage.
#pragma once

#include <QImage>
#include <QWidget>

class TPicture;

class TSmartImage : public QWidget
{
    Q_OBJECT

public:
    explicit TSmartImage(QWidget *parent = nullptr);

    TPicture *Picture() const { return FPicture; }
    void SetPicture(const TPicture &picture);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool MaintainAspect() const { return FMaintainAspect; }
    void SetMaintainAspect(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Transparent() const { return FTransparent; }
    // Ignored while the picture is an icon, which is always transparent.
    void SetTransparent(bool v);

    // Decodes the file chosen by its last extension: BMP and names without a
    // known extension through the picture loader (which raises its error),
    // the others through the image decoder (an empty picture when it fails).
    void LoadFromFile(const QString &path);

    // The decoder of a file name: 0 the picture loader, 4 BMP, else the
    // image decoder (1 JPG, 2 GIF, 3 JIF, 5 DIB, 6 RLE, 7 TGA, 8 PCX).
    static int DecoderOf(const QString &fileName);
    // Where the picture lands in a client area of the given size.
    static QRect DestinationRect(const QSize &client, const QSize &picture, bool stretch, bool maintainAspect,
                                 bool center);
    // The bitmap actually drawn for an icon or a transparent picture.
    const QImage &WorkBitmap() const { return FWork; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void PictureChanged();

    TPicture *FPicture;
    bool FAutoSize = false;
    bool FStretch = false;
    bool FMaintainAspect = true;
    bool FCenter = false;
    bool FTransparent = false;
    QImage FWork;
};
