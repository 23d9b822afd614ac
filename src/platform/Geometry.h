// A rectangle as the design surface speaks of it: left, top, right, bottom,
// with right and bottom exclusive.
#pragma once

#include <QMetaType>
#include <QRect>

struct TRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // left <= right and top <= bottom.
    TRect Normalized() const
    {
        return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    static TRect FromQRect(const QRect &r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
    bool operator==(const TRect &) const = default;
};
Q_DECLARE_METATYPE(TRect)
