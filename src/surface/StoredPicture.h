// Pictures as the component stream stores them: a picture property writes its
// graphic as the binary entry "Data" (class name, then the graphic's data);
// a bitmap property writes the bitmap's data alone. A graphic that cannot be
// read fails the read with its own message.
// Holds TStoredPicture and TStoredBitmap.
#pragma once

#include "platform/Picture.h"
#include "surface/ComponentStream.h"

#include <QObject>

class TStoredPicture : public TPicture, public IStreamExtraData
{
    Q_OBJECT

public:
    explicit TStoredPicture(QObject *parent = nullptr);
    void WriteExtraData(TComponentWriter &writer) const override;
    bool ReadExtraData(const QByteArray &name, TComponentReader &reader) override;

private:
    // The "Data" bytes as last written, until the picture changes: a photo's
    // object written again after a move (an undo step, a save) neither
    // encodes nor copies its megabytes anew.
    mutable QByteArray FWrittenData;
};

// A bitmap held directly (a texture), not inside a picture.
class TStoredBitmap : public QObject, public IStreamExtraData
{
    Q_OBJECT

public:
    explicit TStoredBitmap(QObject *parent = nullptr) : QObject(parent) {}
    const TBitmap &Bitmap() const { return FBitmap; }
    void SetBitmap(const TBitmap &bitmap);
    bool IsEmpty() const { return FBitmap.IsEmpty(); }

    void WriteExtraData(TComponentWriter &writer) const override;
    bool ReadExtraData(const QByteArray &name, TComponentReader &reader) override;

signals:
    void Changed();

private:
    TBitmap FBitmap;
};
