// Holds TStoredPicture and TStoredBitmap.
#include "surface/StoredPicture.h"

namespace {
bool IsDataEntry(const QByteArray &name) { return name.compare("Data", Qt::CaseInsensitive) == 0; }
} // namespace

TStoredPicture::TStoredPicture(QObject *parent) : TPicture(parent)
{
    connect(this, &TPicture::Changed, this, [this] { FWrittenData.clear(); });
}

void TStoredPicture::WriteExtraData(TComponentWriter &writer) const
{
    if (IsEmpty())
        return;
    if (FWrittenData.isEmpty())
        FWrittenData = Data();
    writer.WritePropName("Data");
    writer.WriteBinary(FWrittenData);
}

bool TStoredPicture::ReadExtraData(const QByteArray &name, TComponentReader &reader)
{
    if (!IsDataEntry(name))
        return false;
    const QByteArray data = reader.ReadBinary();
    try {
        SetData(data);
    } catch (const EInvalidGraphic &e) {
        throw EStreamError(e.Message());
    }
    return true;
}

void TStoredBitmap::SetBitmap(const TBitmap &bitmap)
{
    FBitmap = bitmap;
    emit Changed();
}

void TStoredBitmap::WriteExtraData(TComponentWriter &writer) const
{
    if (FBitmap.IsEmpty())
        return;
    writer.WritePropName("Data");
    writer.WriteBinary(FBitmap.StreamData());
}

bool TStoredBitmap::ReadExtraData(const QByteArray &name, TComponentReader &reader)
{
    if (!IsDataEntry(name))
        return false;
    const QByteArray data = reader.ReadBinary();
    try {
        SetBitmap(TBitmap::FromStreamData(data));
    } catch (const EInvalidGraphic &e) {
        throw EStreamError(e.Message());
    }
    return true;
}
