// Holds TCardBack.
#include "surface/CardBack.h"

#include "surface/CardObject.h"
#include "surface/ComponentStream.h"

#include <QBuffer>
#include <QObject>

namespace {

const QByteArray kBackMark = QByteArrayLiteral("BACK");
const QByteArray kEmptyList = QByteArrayLiteral("\x01\x00");

} // namespace

bool TCardBack::IsEmpty() const
{
    return (Objects.isEmpty() || Objects == kEmptyList) && BackgroundArt.isEmpty();
}

namespace cardback {

QByteArray BackBlock(const TCardBack &back)
{
    if (back.IsEmpty())
        return QByteArray();
    QByteArray bytes = kBackMark;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::Append);
        TComponentWriter writer(&buffer);
        writer.WriteString(back.BackgroundArt);
        writer.FlushBuffer();
    }
    bytes += back.Objects.isEmpty() ? kEmptyList : back.Objects;
    return bytes;
}

TCardBack ReadBackBlock(const QByteArray &file, qsizetype frontEnd)
{
    TCardBack back;
    if (frontEnd < 0 || file.size() - frontEnd < kBackMark.size()
        || file.mid(frontEnd, kBackMark.size()) != kBackMark)
        return back;
    const qsizetype blockStart = frontEnd + kBackMark.size();
    TComponentReader reader(file.mid(blockStart));
    back.BackgroundArt = reader.ReadString();
    const qsizetype listStart = reader.Position();
    // Read once to prove every object of the back can be made; the objects
    // themselves are made again when the back is shown or printed.
    QObject scratch;
    reader.ReadObjectList(&scratch, nullptr);
    back.Objects = file.mid(blockStart + listStart, reader.Position() - listStart);
    return back;
}

} // namespace cardback
