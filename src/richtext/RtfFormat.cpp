#include "richtext/RtfFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace richtext {

int LayoutDpi()
{
    // Qt lays out text without a device at the primary screen's logical
    // resolution.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int dpi = screen ? int(std::lround(screen->logicalDotsPerInchY())) : 96;
    return dpi > 0 ? dpi : 96;
}

} // namespace richtext
