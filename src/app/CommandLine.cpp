#include "app/CommandLine.h"

#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"

#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <cstring>

namespace {

void PrintHelp(QTextStream &out)
{
    out << "Usage: quorvel [options] [card.qrv]\n"
           "Design business cards and print them on sheets of card stock.\n\n"
           "Options:\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "  --dump FILE.qrv      print the card file in its text form and exit\n";
}

// Prints the text form of a card file; a file that cannot be read gives the
// reader's message on stderr and status 1.
int DumpCardFile(const QString &fileName, QTextStream &err)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "Cannot open file " << fileName << "\n";
        return 1;
    }
    QByteArray text;
    try {
        text = ComponentStreamToText(file.readAll());
    } catch (const EStreamError &e) {
        err << e.Message() << "\n";
        return 1;
    }
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    return 0;
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
    if (const qsizetype at = args.indexOf(QStringLiteral("--dump")); at > 0) {
        if (at + 1 >= args.size()) {
            err << "quorvel: --dump needs a card file (see --help)\n";
            return 2;
        }
        return DumpCardFile(args.at(at + 1), err);
    }
    for (const QString &a : args.mid(1))
        if (a.startsWith(QStringLiteral("--"))) {
            err << "quorvel: unknown option " << a << " (see --help)\n";
            return 2;
        }
    return std::nullopt;
}
