#include "platform/Screen.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <array>

namespace platform {
namespace {

int g_ppiOverride = 0;
std::function<int64_t()> g_tickSource;

struct CursorName {
    int id;
    const char *name;
};

constexpr std::array<CursorName, 22> kCursorNames{{
    {0, "crDefault"},   {-1, "crNone"},      {-2, "crArrow"},      {-3, "crCross"},
    {-4, "crIBeam"},    {-22, "crSize"},     {-6, "crSizeNESW"},   {-7, "crSizeNS"},
    {-8, "crSizeNWSE"}, {-9, "crSizeWE"},    {-10, "crUpArrow"},   {-11, "crHourGlass"},
    {-12, "crDrag"},    {-13, "crNoDrop"},   {-14, "crHSplit"},    {-15, "crVSplit"},
    {-16, "crMultiDrag"}, {-17, "crSQLWait"}, {-18, "crNo"},       {-19, "crAppStart"},
    {-20, "crHelp"},    {-21, "crHandPoint"},
}};

} // namespace

QCursor CursorFor(int id)
{
    switch (id) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crDrag: return QCursor(Qt::CrossCursor);
    case crNoDrop: return QCursor(Qt::ForbiddenCursor);
    case crHandGrab: return QCursor(Qt::OpenHandCursor);
    case -22: return QCursor(Qt::SizeAllCursor);
    case -21: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

std::optional<QString> CursorToIdent(int cursor)
{
    for (const auto &c : kCursorNames)
        if (c.id == cursor)
            return QString::fromLatin1(c.name);
    return std::nullopt;
}

std::optional<int> IdentToCursor(const QString &ident)
{
    for (const auto &c : kCursorNames)
        if (ident.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return c.id;
    if (ident.compare(QLatin1String("crSizeAll"), Qt::CaseInsensitive) == 0)
        return -22;
    return std::nullopt;
}

int ScreenPixelsPerInch()
{
    if (g_ppiOverride > 0)
        return g_ppiOverride;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const int ppi = qRound(screen->logicalDotsPerInch());
        if (ppi >= 48 && ppi <= 480)
            return ppi;
    }
    return 96;
}

void SetScreenPixelsPerInchForTests(int ppi) { g_ppiOverride = ppi; }

int64_t TickCount()
{
    if (g_tickSource)
        return g_tickSource();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Start above zero: a tick of 0 means "never" in several places.
    return timer.elapsed() + 1000;
}

void SetTickSourceForTests(std::function<int64_t()> source) { g_tickSource = std::move(source); }

bool IsShiftDown()
{
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

} // namespace platform
