// The back of a card and where the card file keeps it. The front's list of
// objects comes first and whole, exactly as a card without a back is written;
// the back follows it as one block: the four bytes "BACK", the back's own
// background art as a string value, and the back's list of objects. A reader
// that knows nothing of backs stops at the end of the front's list and sees
// the card's front; the back lives in the card file itself, so Save As,
// Delete and the recent files carry it, and no second file name can clash
// with the side file of this or any other card.
// Holds TCardBack.
#pragma once

#include <QByteArray>
#include <QString>

class QObject;

// What the back of a card holds: its objects as a card file's list of
// objects (empty: none) and the path of its background art (empty: none).
struct TCardBack {
    QByteArray Objects;
    QString BackgroundArt;

    // A back without objects or art is no back: the card is written as a
    // one-sided card, byte for byte.
    bool IsEmpty() const;
    bool operator==(const TCardBack &) const = default;
};

namespace cardback {

// The bytes that follow the front's list in the card file; empty for an
// empty back.
QByteArray BackBlock(const TCardBack &back);

// The back stored after the front's list, which ends at frontEnd. Bytes that
// do not begin a back are left alone, as they always were; a back that
// cannot be read raises the reader's error (a card opened without its back
// would lose it at the next save).
TCardBack ReadBackBlock(const QByteArray &file, qsizetype frontEnd);

} // namespace cardback
