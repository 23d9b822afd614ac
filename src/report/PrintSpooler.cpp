#include "report/PrintSpooler.h"

#include <QLibrary>
#include <vector>

namespace report {
namespace {

// The two calls of the CUPS library the program needs, loaded at run time so
// that building needs no CUPS headers; Qt's print support loads the same
// library anyway.
struct CupsOption {
    char *name;
    char *value;
};
using PrintFileFunction = int (*)(const char *printer, const char *file, const char *title, int optionCount,
                                  CupsOption *options);
using LastErrorFunction = const char *(*)();

struct CupsLibrary {
    PrintFileFunction printFile = nullptr;
    LastErrorFunction lastError = nullptr;

    CupsLibrary()
    {
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load())
            return;
        printFile = reinterpret_cast<PrintFileFunction>(library.resolve("cupsPrintFile"));
        lastError = reinterpret_cast<LastErrorFunction>(library.resolve("cupsLastErrorString"));
    }
};

const CupsLibrary &Cups()
{
    static const CupsLibrary cups;
    return cups;
}

} // namespace

bool SpoolerAvailable()
{
    return Cups().printFile != nullptr;
}

int SpoolFile(const QString &printer, const QString &file, const QString &title, const TSpoolOptions &options,
              QString *error)
{
    const CupsLibrary &cups = Cups();
    if (!cups.printFile) {
        if (error)
            *error = QStringLiteral("The print spooler (CUPS) is not installed.");
        return 0;
    }
    // CUPS takes the queue's name without an instance after a slash.
    const QByteArray queue = printer.section(QLatin1Char('/'), 0, 0).toLocal8Bit();
    const QByteArray path = file.toLocal8Bit();
    const QByteArray name = title.toLocal8Bit();
    TSpoolOptions held = options;
    std::vector<CupsOption> list;
    for (auto &option : held)
        list.push_back({option.first.data(), option.second.data()});
    const int job = cups.printFile(queue.constData(), path.constData(), name.constData(), int(list.size()),
                                   list.empty() ? nullptr : list.data());
    if (job <= 0 && error)
        *error = cups.lastError ? QString::fromLocal8Bit(cups.lastError()) : QStringLiteral("unknown error");
    return qMax(0, job);
}

} // namespace report
