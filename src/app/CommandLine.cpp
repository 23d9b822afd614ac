#include "app/CommandLine.h"

#include "app/AppHelpers.h"
#include "app/CardExport.h"
#include "app/MainWindow.h"
#include "app/Preferences.h"
#include "platform/IniFile.h"
#include "platform/Screen.h"
#include "printing/SheetLayoutDialog.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/BusinessCardPanel.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void PrintHelp(QTextStream &out)
{
    out << "Usage: quorvel [options] [card.qrv]\n"
           "Design business cards and print them on sheets of card stock.\n\n"
           "Options:\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "  --dump FILE.qrv      print the card file in its text form and exit\n"
           "  --print FILE.qrv --output OUT.pdf [--sheets N] [--cells LIST] [--outline]\n"
           "                       print sheets of the card into a PDF file with the sheet\n"
           "                       layout, printer nudges and background art of the settings;\n"
           "                       --cells 1,3,5 chooses cells by number, --outline prints\n"
           "                       only the cell outlines\n"
           "  --render FILE.qrv --output OUT.png [--zoom Z]\n"
           "                       write the card as the panel shows it, at zoom Z (1.0), as PNG\n"
           "  --render FILE.qrv --output OUT.png|OUT.svg|OUT.pdf [--dpi N]\n"
           "                       write the card as it prints, in the format the extension\n"
           "                       names: PNG at N dots per inch (300), SVG or PDF as vectors\n";
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

// ---- --print and --render ----

// A failure the command line reports as it is, with status 1.
struct CommandLineError {
    QString message;
};

QString ValueOf(const QStringList &args, const QString &option)
{
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return QString();
    if (at + 1 >= args.size() || args.at(at + 1).startsWith(QStringLiteral("--")))
        throw CommandLineError{option + QStringLiteral(" needs a value (see --help)")};
    return args.at(at + 1);
}

// Every option of a mode is one it knows, and each takes its value.
void CheckOptions(const QStringList &args, const QStringList &withValue, const QStringList &flags)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (withValue.contains(a))
            ++i;
        else if (!flags.contains(a))
            throw CommandLineError{QStringLiteral("unexpected argument ") + a + QStringLiteral(" (see --help)")};
    }
}

QString RequiredValue(const QStringList &args, const QString &option)
{
    const QString value = ValueOf(args, option);
    if (value.isEmpty())
        throw CommandLineError{option + QStringLiteral(" is missing (see --help)")};
    return value;
}

TPreferences SettingsFilePreferences()
{
    TPreferences prefs;
    const TIniFile ini(SettingsFileName());
    LoadPreferences(ini, prefs);
    const CardSheetLayout &l = prefs.Layout;
    // The settings file is not checked when it is read; a sheet that cannot
    // be printed is refused here.
    if (l.Across < 1 || l.Across > 10 || l.Down < 1 || l.Down > 30 || !(l.Width > 0.0f) || !(l.Height > 0.0f))
        throw CommandLineError{QStringLiteral("the sheet layout in %1 cannot be printed").arg(SettingsFileName())};
    return prefs;
}

// A card panel as the main window holds it, sized by the layout, with the
// card's objects.
std::unique_ptr<TGBusinessCardPanel32> LoadCard(const QString &cardFile, const CardSheetLayout &layout)
{
    if (!QFileInfo(cardFile).isFile())
        throw CommandLineError{QStringLiteral("cannot open card file ") + cardFile};
    auto panel = std::make_unique<TGBusinessCardPanel32>();
    panel->SetShape(lsRectangle);
    SetCardSizeFromInches(*panel, layout, platform::ScreenPixelsPerInch());
    try {
        panel->LoadFromFile(cardFile);
    } catch (const std::exception &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ")
                               + QString::fromUtf8(e.what())};
    }
    return panel;
}

int PositiveNumber(const QString &text, const QString &option, int most)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > most)
        throw CommandLineError{option + QStringLiteral(" takes a number from 1 to ") + QString::number(most)};
    return n;
}

// "1,3,5": cells by number from 1; every cell when the list is not given.
SelectedCells CellsFromList(const QString &list, const CardSheetLayout &layout)
{
    const int count = layout.CellCount();
    if (list.isEmpty())
        return SelectedCells(count, true);
    SelectedCells cells(count, false);
    for (const QString &item : list.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = item.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > count)
            throw CommandLineError{QStringLiteral("--cells: %1 is not a cell of the sheet (1 to %2)")
                                       .arg(item.trimmed())
                                       .arg(count)};
        cells[n - 1] = true;
    }
    return cells;
}

int PrintCard(const QStringList &args)
{
    CheckOptions(args, {QStringLiteral("--print"), QStringLiteral("--output"), QStringLiteral("--sheets"),
                        QStringLiteral("--cells")},
                 {QStringLiteral("--outline")});
    const QString cardFile = RequiredValue(args, QStringLiteral("--print"));
    const QString output = QFileInfo(RequiredValue(args, QStringLiteral("--output"))).absoluteFilePath();
    const QString sheets = ValueOf(args, QStringLiteral("--sheets"));
    const TPreferences prefs = SettingsFilePreferences();

    TCardSheetPrinter job;
    job.SheetsToPrint = sheets.isEmpty() ? 1 : PositiveNumber(sheets, QStringLiteral("--sheets"), 999);
    job.Cells = CellsFromList(ValueOf(args, QStringLiteral("--cells")), prefs.Layout);
    job.OutlineOnly = args.contains(QStringLiteral("--outline"));
    job.Sheet = sheetprint::SheetGeometry(prefs.Layout, prefs.Nudges);
    const std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, prefs.Layout);
    job.Panel = panel.get();
    job.BackgroundPath = TMainScreen::BackgroundArtOf(cardFile);
    job.LoadBackGround();

    TRPDevice &device = TRPDevice::Instance();
    device.UsePdfPrinter();
    device.SelectPaperSize(prefs.Layout.Papersize);
    device.SetOutputFileName(output);
    TReportPrinter printer;
    job.Attach(printer);
    try {
        printer.Run();
    } catch (const std::exception &e) {
        device.SetOutputFileName(QString());
        throw CommandLineError{QString::fromUtf8(e.what())};
    }
    device.SetOutputFileName(QString());
    return 0;
}

// --render to .svg, .pdf, or .png with --dpi: the card as it prints.
int ExportCardFile(const QString &cardFile, const QString &output, const QString &dpiText, bool zoomGiven)
{
    if (zoomGiven)
        throw CommandLineError{QStringLiteral("--zoom draws a .png as the panel shows it; it does not go with "
                                              "--dpi, .svg or .pdf")};
    TCardExport card;
    if (!dpiText.isEmpty())
        card.Dpi = PositiveNumber(dpiText, QStringLiteral("--dpi"), kMaxExportDpi);
    const TPreferences prefs = SettingsFilePreferences();
    const std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, prefs.Layout);
    card.Panel = panel.get();
    card.CardSize = QSizeF(prefs.Layout.Width, prefs.Layout.Height);
    card.BackgroundPath = TMainScreen::BackgroundArtOf(cardFile);
    try {
        ExportCard(card, output);
    } catch (const ECardExportError &e) {
        throw CommandLineError{e.Message()};
    }
    return 0;
}

int RenderCard(const QStringList &args)
{
    CheckOptions(args,
                 {QStringLiteral("--render"), QStringLiteral("--output"), QStringLiteral("--zoom"),
                  QStringLiteral("--dpi")},
                 {});
    const QString cardFile = RequiredValue(args, QStringLiteral("--render"));
    const QString output = RequiredValue(args, QStringLiteral("--output"));
    if (const QString dpi = ValueOf(args, QStringLiteral("--dpi")); !dpi.isEmpty() || ExportFormatOf(output) != efPng)
        return ExportCardFile(cardFile, output, dpi, args.contains(QStringLiteral("--zoom")));
    float zoom = 1.0f;
    if (const QString z = ValueOf(args, QStringLiteral("--zoom")); !z.isEmpty()) {
        bool ok = false;
        zoom = z.toFloat(&ok);
        if (!ok || !(zoom >= 0.1f && zoom <= 10.0f))
            throw CommandLineError{QStringLiteral("--zoom takes a factor from 0.1 to 10")};
    }
    const TPreferences prefs = SettingsFilePreferences();
    const std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, prefs.Layout);
    const QString art = TMainScreen::BackgroundArtOf(cardFile);
    if (!art.isEmpty() && QFileInfo::exists(art))
        panel->LoadColorPicture(art);
    panel->SetZoom(zoom);

    QImage image(panel->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        panel->RenderCard(p, false);
    }
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw CommandLineError{QStringLiteral("Unable to write ") + output};
    return 0;
}

int RunOutputMode(int (*mode)(const QStringList &), const QStringList &args, QTextStream &err)
{
    try {
        return mode(args);
    } catch (const CommandLineError &e) {
        err << "quorvel: " << e.message << "\n";
    } catch (const std::exception &e) {
        err << "quorvel: " << QString::fromUtf8(e.what()) << "\n";
    }
    return 1;
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
    if (args.contains(QStringLiteral("--print")))
        return RunOutputMode(PrintCard, args, err);
    if (args.contains(QStringLiteral("--render")))
        return RunOutputMode(RenderCard, args, err);
    for (const QString &a : args.mid(1))
        if (a.startsWith(QStringLiteral("--"))) {
            err << "quorvel: unknown option " << a << " (see --help)\n";
            return 2;
        }
    return std::nullopt;
}
