// Facts about the screen and the user's input devices that card objects and the
// card panel need: pixels per inch, the cursor table, the tick counter and the
// live state of the Shift key.
#pragma once

#include <QCursor>
#include <QMetaType>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// A cursor id of the program's cursor table, stored in card files.
struct TCursor {
    int16_t value = 0;
    constexpr TCursor() = default;
    constexpr TCursor(int v) : value(int16_t(v)) {}
    constexpr operator int() const { return value; }
};
Q_DECLARE_METATYPE(TCursor)

namespace platform {

// Cursor ids used by the design surface.
enum CursorId : int {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crHandPoint = -10, // the program's own hand cursor, kept under this id
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHandGrab = 6, // the program's own grabbing hand
};

QCursor CursorFor(int id);
std::optional<QString> CursorToIdent(int cursor);
std::optional<int> IdentToCursor(const QString &ident);

// Logical pixels per inch of the screen: one inch of card at zoom 1.0.
int ScreenPixelsPerInch();
// Tests pin the value so that geometry does not depend on the machine.
void SetScreenPixelsPerInchForTests(int ppi);

// Milliseconds of a monotonic tick counter; tests may replace the source.
int64_t TickCount();
void SetTickSourceForTests(std::function<int64_t()> source);

// Whether the Shift key is held right now (not as an event recorded it).
bool IsShiftDown();

} // namespace platform
