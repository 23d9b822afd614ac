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

// What asking the scheduler with a time limit takes: a connection made with
// a limit, a timeout hook that gives up, and one small request.
struct Http;
struct Ipp;
using ServerFunction = const char *(*)();
using PortFunction = int (*)();
using EncryptionFunction = int (*)();
using ConnectFunction = Http *(*)(const char *host, int port, void *addresses, int family, int encryption,
                                  int blocking, int msec, int *cancel);
using TimeoutCallback = int (*)(Http *http, void *data);
using SetTimeoutFunction = void (*)(Http *http, double timeout, TimeoutCallback callback, void *data);
using NewRequestFunction = Ipp *(*)(int operation);
using DoRequestFunction = Ipp *(*)(Http *http, Ipp *request, const char *resource);
using DeleteFunction = void (*)(Ipp *ipp);
using CloseFunction = void (*)(Http *http);

constexpr int kCupsGetDefault = 0x4001;

struct CupsLibrary {
    PrintFileFunction printFile = nullptr;
    LastErrorFunction lastError = nullptr;
    ServerFunction server = nullptr;
    PortFunction port = nullptr;
    EncryptionFunction encryption = nullptr;
    ConnectFunction connect = nullptr;
    SetTimeoutFunction setTimeout = nullptr;
    NewRequestFunction newRequest = nullptr;
    DoRequestFunction doRequest = nullptr;
    DeleteFunction deleteIpp = nullptr;
    CloseFunction close = nullptr;

    CupsLibrary()
    {
        QLibrary library(QStringLiteral("cups"), 2);
        if (!library.load())
            return;
        printFile = reinterpret_cast<PrintFileFunction>(library.resolve("cupsPrintFile"));
        lastError = reinterpret_cast<LastErrorFunction>(library.resolve("cupsLastErrorString"));
        server = reinterpret_cast<ServerFunction>(library.resolve("cupsServer"));
        port = reinterpret_cast<PortFunction>(library.resolve("ippPort"));
        encryption = reinterpret_cast<EncryptionFunction>(library.resolve("cupsEncryption"));
        connect = reinterpret_cast<ConnectFunction>(library.resolve("httpConnect2"));
        setTimeout = reinterpret_cast<SetTimeoutFunction>(library.resolve("httpSetTimeout"));
        newRequest = reinterpret_cast<NewRequestFunction>(library.resolve("ippNewRequest"));
        doRequest = reinterpret_cast<DoRequestFunction>(library.resolve("cupsDoRequest"));
        deleteIpp = reinterpret_cast<DeleteFunction>(library.resolve("ippDelete"));
        close = reinterpret_cast<CloseFunction>(library.resolve("httpClose"));
    }

    bool CanAskWithLimit() const
    {
        return server && port && encryption && connect && setTimeout && newRequest && doRequest && deleteIpp
            && close;
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

bool SpoolerAnswers(int timeoutMilliseconds, QString *error)
{
    const CupsLibrary &cups = Cups();
    if (!cups.CanAskWithLimit())
        return true; // no spooler library: Qt finds no printers at once
    const char *server = cups.server();
    Http *http = cups.connect(server, cups.port(), nullptr, 0, cups.encryption(), 1, timeoutMilliseconds, nullptr);
    if (!http)
        return true; // nothing listens: no printers, found at once
    // Gives up the first time the wait runs out.
    cups.setTimeout(http, timeoutMilliseconds / 1000.0, [](Http *, void *) { return 0; }, nullptr);
    Ipp *answer = cups.doRequest(http, cups.newRequest(kCupsGetDefault), "/");
    cups.close(http);
    if (answer) {
        cups.deleteIpp(answer);
        return true;
    }
    if (error)
        *error = QStringLiteral("The print spooler (%1) does not answer: %2")
                     .arg(QString::fromLocal8Bit(server),
                          cups.lastError ? QString::fromLocal8Bit(cups.lastError()) : QStringLiteral("no reply"));
    return false;
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
