#include "app/CommandLine.h"

#include <QTextStream>
#include <cstring>

namespace {

void PrintHelp(QTextStream &out)
{
    out << "Usage: quorvel [options] [card.qrv]\n"
           "Design business cards and print them on sheets of card stock.\n\n"
           "Options:\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n";
}

} // namespace

bool IsHeadlessMode(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char *mode : {"--help", "-h", "--version", "--dump", "--print", "--render"})
            if (std::strcmp(argv[i], mode) == 0)
                return true;
    return false;
}

std::optional<int> RunCommandLine(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        PrintHelp(out);
        return 0;
    }
    if (args.contains(QStringLiteral("--version"))) {
        out << "Quorvel " << QUORVEL_VERSION << "\n";
        return 0;
    }
    for (const QString &a : args.mid(1))
        if (a.startsWith(QStringLiteral("--"))) {
            err << "quorvel: unknown option " << a << " (see --help)\n";
            return 2;
        }
    return std::nullopt;
}
