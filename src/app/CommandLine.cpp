#include "app/CommandLine.h"

#include "app/AppHelpers.h"
#include "app/CardExport.h"
#include "app/MainWindow.h"
#include "app/PrintShopExport.h"
#include "objects/PrintShopRules.h"
#include "app/Preferences.h"
#include "platform/IniFile.h"
#include "platform/InputFiles.h"
#include "platform/OutputFiles.h"
#include "platform/Rounding.h"
#include "platform/Screen.h"
#include "printing/LabelTemplates.h"
#include "printing/PeopleList.h"
#include "printing/PeopleMerge.h"
#include "printing/SheetLayoutDialog.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardBack.h"
#include "surface/CardObject.h"
#include "surface/LabelObjectFiler.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

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
           "                       only the cell outlines, --calibration the calibration page;\n"
           "                       --layout 8371 or --layout \"Avery 8371\" prints on that card\n"
           "                       stock instead (the brand is needed only when brands share\n"
           "                       the part number);\n"
           "                       --merge PEOPLE.csv [--per-person N] prints the card for\n"
           "                       everyone in the CSV file, a sheet or N cards each;\n"
           "                       --map FIELD=COLUMN (repeatable, e.g. --map Phone1=Phone)\n"
           "                       takes a field from a column whose name does not match it;\n"
           "                       values drawn smaller or cut to fit are named on standard error;\n"
           "                       --duplex long|short prints both sides, each sheet's front\n"
           "                       page followed by its back page with every back behind\n"
           "                       its own front when the sheet turns over that edge;\n"
           "                       --duplex manual prints all fronts, then all backs, for a\n"
           "                       printer without duplex; --back OTHER.qrv takes the back\n"
           "                       from the front of another card file\n"
           "  --list-layouts       list the card stock --layout knows and exit\n"
           "  --render FILE.qrv --output OUT.png [--zoom Z] [--side front|back]\n"
           "                       write the card as the panel shows it, at zoom Z (1.0), as PNG\n"
           "  --render FILE.qrv --output OUT.png|OUT.svg|OUT.pdf [--dpi N]\n"
           "                       write the card as it prints, in the format the extension\n"
           "                       names: PNG at N dots per inch (300), SVG or PDF as vectors;\n"
           "                       --side back renders the card's back\n"
           "  --render FILE.qrv --output OUT.pdf --bleed 3mm [--crop-marks]\n"
           "                       write the card for a print shop: the background and the\n"
           "                       shapes at the card's edge continued past the cut by the\n"
           "                       bleed (0 to 6 mm, in mm or in), crop marks at the corners,\n"
           "                       trim and bleed boxes and sRGB colour in the PDF\n"
           "  -o OUT               short for --output OUT\n";
}

// ---- --print and --render ----

// A failure the command line reports as it is, with status 1.
struct CommandLineError {
    QString message;
};

// Pictures --render makes are at most this large: beyond it the picture
// alone would take gigabytes.
constexpr qint64 kMostRenderedPixels = 100'000'000;

// A card file's names and a file name can hold control characters that
// would drive the terminal; they are shown as #code, the way the text form
// shows them inside strings.
QString TerminalText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            shown += QLatin1Char('#') + QString::number(code);
        else
            shown += c;
    }
    return shown;
}

// The same for the bytes of the text form: only line ends and printable
// ASCII reach the terminal.
QByteArray TerminalBytes(const QByteArray &text)
{
    QByteArray shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\n' || (code >= 0x20 && code < 0x7F))
            shown += c;
        else
            shown += '#' + QByteArray::number(code);
    }
    return shown;
}

// The option's value; empty when the option is not given. An option given
// with an empty value is a mistake, not a request for the default.
QString ValueOf(const QStringList &args, const QString &option)
{
    const qsizetype at = args.indexOf(option);
    if (at < 0)
        return QString();
    if (at + 1 >= args.size() || args.at(at + 1).startsWith(QStringLiteral("--"))
        || args.at(at + 1).trimmed().isEmpty())
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

// Every value of an option that may be given more than once.
QStringList ValuesOf(const QStringList &args, const QString &option)
{
    QStringList values;
    for (qsizetype at = args.indexOf(option); at >= 0; at = args.indexOf(option, at + 2)) {
        if (at + 1 >= args.size() || args.at(at + 1).startsWith(QStringLiteral("--"))
            || args.at(at + 1).trimmed().isEmpty())
            throw CommandLineError{option + QStringLiteral(" needs a value (see --help)")};
        values.append(args.at(at + 1));
    }
    return values;
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
    // Read as empty, the file would print with default values the user never chose.
    if (!ini.Unreadable().isEmpty())
        throw CommandLineError{
            QStringLiteral("the settings file %1 was not read: %2").arg(SettingsFileName(), ini.Unreadable())};
    LoadPreferences(ini, prefs);
    if (!sheetlayout::IsLayoutWithinLimits(prefs.Layout))
        throw CommandLineError{QStringLiteral("the sheet layout in %1 cannot be printed").arg(SettingsFileName())};
    return prefs;
}

// The reader names the file in its file errors; the command line names it
// once, in front.
QString ReaderMessage(const EStreamError &e, const QString &cardFile)
{
    QString message = e.Message();
    const QString named = cardFile + QStringLiteral(": ");
    if (message.startsWith(named))
        message.remove(0, named.size());
    return message;
}

// A card panel as the main window holds it, sized by the layout, with the
// card's objects. The card is read as File > Open reads it, so the command
// line accepts exactly the cards the program can open.
std::unique_ptr<TGBusinessCardPanel32> LoadCard(const QString &cardFile, const CardSheetLayout &layout)
{
    if (!QFileInfo::exists(cardFile))
        throw CommandLineError{QStringLiteral("cannot open card file ") + cardFile};
    auto panel = std::make_unique<TGBusinessCardPanel32>();
    panel->SetShape(layout.RoundedCorners ? lsRoundRect : lsRectangle);
    SetCardSizeFromInches(*panel, layout, platform::ScreenPixelsPerInch());
    try {
        panel->LoadFromFile(cardFile);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const EStreamError &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ")
                               + ReaderMessage(e, cardFile)};
    } catch (const std::exception &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ")
                               + QString::fromUtf8(e.what())};
    }
    return panel;
}

// The back of a card file, as the file holds it.
TCardBack BackOfCard(const QString &cardFile)
{
    TCardBack back;
    QObject scratch;
    try {
        TGLabelObjectFiler().ReadCardFile(&scratch, cardFile, &back);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const EStreamError &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ")
                               + ReaderMessage(e, cardFile)};
    }
    return back;
}

// A card panel as LoadCard makes it, holding the card's back.
std::unique_ptr<TGBusinessCardPanel32> LoadCardBack(const QString &cardFile, const CardSheetLayout &layout,
                                                    TCardBack &back)
{
    std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, layout);
    back = BackOfCard(cardFile);
    if (back.IsEmpty())
        throw CommandLineError{cardFile + QStringLiteral(" has no back; design one in the program (View > Back)")};
    panel->DeleteAllObjects();
    panel->LoadFromBytes(back.Objects);
    return panel;
}

// Art named by a card, or nothing when the picture has gone. A picture that
// cannot be used is said so and left out.
QString UsableArt(const QString &art, QTextStream &err)
{
    if (art.isEmpty() || !QFileInfo::exists(art))
        return QString();
    try {
        platform::CheckInputFile(art, platform::TInputKind::Picture);
    } catch (const platform::EInputFileError &e) {
        err << "quorvel: background art " << TerminalText(art) << " is left out: " << e.Message() << "\n";
        err.flush();
        return QString();
    }
    return art;
}

// A card's background art, or nothing when the side file names none.
QString UsableBackgroundArt(const QString &cardFile, QTextStream &err)
{
    return UsableArt(TMainScreen::BackgroundArtOf(cardFile), err);
}

// The side --side names: false for the front, true for the back.
bool BackSideAsked(const QStringList &args)
{
    const QString side = ValueOf(args, QStringLiteral("--side"));
    if (side.isEmpty() || side == QLatin1String("front"))
        return false;
    if (side == QLatin1String("back"))
        return true;
    throw CommandLineError{QStringLiteral("--side takes front or back")};
}

// Where an output goes: never over an input of the command (the card, its
// side file, its background art, the settings file, the list of people);
// links are followed, devices and FIFOs refused. Standard output is no file
// that could be replaced whole, so "-" is refused rather than taken as a name.
void CheckOutput(const QString &output, const QString &cardFile, const QString &peopleFile = QString(),
                 const QString &backFile = QString())
{
    if (output == QLatin1String("-"))
        throw CommandLineError{QStringLiteral("the output cannot be standard output (-); name a file")};
    try {
        platform::RefuseOutputOverInput(output, {cardFile, FindFileIgnoringCase(TMainScreen::SideFileName(cardFile)),
                                                 TMainScreen::BackgroundArtOf(cardFile), SettingsFileName(),
                                                 peopleFile, backFile});
        platform::OutputTarget(output);
    } catch (const platform::EOutputFileError &e) {
        throw CommandLineError{e.Message()};
    }
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
        if (item.trimmed().isEmpty())
            throw CommandLineError{QStringLiteral("--cells: an item of %1 is empty").arg(list)};
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

// The card stock --layout names: "Avery 8371", or "8371" when no other
// brand has that part number.
labeltemplates::TCardProduct NamedCardStock(const QString &name)
{
    const labeltemplates::TCardStockMatch match = labeltemplates::FindCardStock(labeltemplates::CardStock(), name);
    if (match.Found)
        return *match.Found;
    if (match.Candidates.isEmpty())
        throw CommandLineError{QStringLiteral("--layout: no card stock named \"%1\" (see --list-layouts)").arg(name)};
    QStringList names;
    for (const labeltemplates::TCardProduct &p : match.Candidates)
        names << QLatin1Char('"') + p.Name() + QLatin1Char('"');
    throw CommandLineError{QStringLiteral("--layout: \"%1\" is the part number of %2 card stocks; name one with "
                                          "its brand: %3")
                               .arg(name)
                               .arg(names.size())
                               .arg(names.join(QStringLiteral(", ")))};
}

// One line per card stock: its name, what it is, the sheet. The library's
// files that were left out are named once on standard error.
int ListLayouts(QTextStream &out, QTextStream &err)
{
    for (const QString &problem : labeltemplates::CardStockProblems())
        err << "quorvel: card stock file left out: " << TerminalText(problem) << "\n";
    err.flush();
    for (const labeltemplates::TCardProduct &p : labeltemplates::CardStock()) {
        const CardSheetLayout &l = p.Layout;
        out << p.Name() << "\t" << p.Description << "\t"
            << QStringLiteral("%1 x %2 cards of %3 x %4 in on %5")
                   .arg(l.Across)
                   .arg(l.Down)
                   .arg(double(l.Width), 0, 'g', 4)
                   .arg(double(l.Height), 0, 'g', 4)
                   .arg(p.PaperName)
            << "\n";
    }
    return 0;
}

// How --duplex turns the sheet; dxNone when it is not given.
sheetprint::TDuplex DuplexAsked(const QStringList &args)
{
    const QString duplex = ValueOf(args, QStringLiteral("--duplex"));
    if (duplex.isEmpty())
        return sheetprint::dxNone;
    if (duplex == QLatin1String("long"))
        return sheetprint::dxLongEdge;
    if (duplex == QLatin1String("short"))
        return sheetprint::dxShortEdge;
    if (duplex == QLatin1String("manual"))
        return sheetprint::dxManual;
    throw CommandLineError{QStringLiteral("--duplex takes long, short or manual")};
}

int PrintCard(const QStringList &args)
{
    CheckOptions(args, {QStringLiteral("--print"), QStringLiteral("--output"), QStringLiteral("--sheets"),
                        QStringLiteral("--cells"), QStringLiteral("--layout"), QStringLiteral("--merge"),
                        QStringLiteral("--per-person"), QStringLiteral("--duplex"), QStringLiteral("--back"),
                        QStringLiteral("--map")},
                 {QStringLiteral("--outline"), QStringLiteral("--calibration")});
    const QString cardFile = RequiredValue(args, QStringLiteral("--print"));
    const QString given = RequiredValue(args, QStringLiteral("--output"));
    const QString output = given == QLatin1String("-") ? given : QFileInfo(given).absoluteFilePath();
    const QString peopleFile = ValueOf(args, QStringLiteral("--merge"));
    const QString backFile = ValueOf(args, QStringLiteral("--back"));
    CheckOutput(output, cardFile, peopleFile, backFile);
    const sheetprint::TDuplex duplex = DuplexAsked(args);
    if (!backFile.isEmpty() && duplex == sheetprint::dxNone)
        throw CommandLineError{QStringLiteral("--back needs --duplex long, short or manual (see --help)")};
    const QString sheets = ValueOf(args, QStringLiteral("--sheets"));
    TPreferences prefs = SettingsFilePreferences();
    if (const QString name = ValueOf(args, QStringLiteral("--layout")); !name.isEmpty()) {
        labeltemplates::ApplyCardProduct(NamedCardStock(name), prefs.Layout);
    }

    TCardSheetPrinter job;
    job.SheetsToPrint = sheets.isEmpty() ? 1 : PositiveNumber(sheets, QStringLiteral("--sheets"), 999);
    job.Cells = CellsFromList(ValueOf(args, QStringLiteral("--cells")), prefs.Layout);
    job.OutlineOnly = args.contains(QStringLiteral("--outline"));
    job.CalibrationPage = args.contains(QStringLiteral("--calibration"));
    if (job.OutlineOnly && job.CalibrationPage)
        throw CommandLineError{QStringLiteral("--outline and --calibration are two different pages; give one")};
    job.Sheet = sheetprint::SheetGeometry(prefs.Layout, prefs.Nudges);
    const std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, prefs.Layout);
    job.Panel = panel.get();
    QTextStream err(stderr);
    job.BackgroundPath = UsableBackgroundArt(cardFile, err);
    // Both sides: the card's own back, or the front of the card --back names.
    std::unique_ptr<TGBusinessCardPanel32> backPanel;
    if (duplex != sheetprint::dxNone) {
        if (job.OutlineOnly)
            throw CommandLineError{QStringLiteral("--outline prints cell outlines on one side; it does not go "
                                                  "with --duplex")};
        if (!backFile.isEmpty()) {
            backPanel = LoadCard(backFile, prefs.Layout);
            job.BackBackgroundPath = UsableBackgroundArt(backFile, err);
        } else if (!job.CalibrationPage) {
            TCardBack back;
            backPanel = LoadCardBack(cardFile, prefs.Layout, back);
            job.BackBackgroundPath = UsableArt(back.BackgroundArt, err);
        }
        job.BackPanel = backPanel.get();
        job.Duplex = duplex;
        job.BackSheet = sheetprint::SheetGeometry(prefs.Layout, prefs.BackNudges);
    }
    job.LoadBackGround();
    // Printing for several people: every bound label takes each person's value.
    const QString perPerson = ValueOf(args, QStringLiteral("--per-person"));
    if (!perPerson.isEmpty() && peopleFile.isEmpty())
        throw CommandLineError{QStringLiteral("--per-person needs --merge (see --help)")};
    const QStringList map = ValuesOf(args, QStringLiteral("--map"));
    if (!map.isEmpty() && peopleFile.isEmpty())
        throw CommandLineError{QStringLiteral("--map needs --merge (see --help)")};
    std::optional<TPeopleMerge> merge;
    std::optional<TPeopleMerge> backMerge;
    QList<TFitNote> notFitting;
    if (!peopleFile.isEmpty()) {
        try {
            const TMergePlan plan = TMergePlan::FromCsvFile(
                peopleFile, perPerson.isEmpty() ? 0 : PositiveNumber(perPerson, QStringLiteral("--per-person"), 9999),
                map);
            // A label whose field has no column would print empty on every card.
            QList<int> unmatched = plan.UnmatchedEntries(panel.get());
            if (backPanel)
                for (const int entry : plan.UnmatchedEntries(backPanel.get()))
                    if (!unmatched.contains(entry))
                        unmatched.append(entry);
            std::sort(unmatched.begin(), unmatched.end());
            for (const int entry : unmatched)
                err << "quorvel: " << TerminalText(people::NoColumnText(entry, plan.Header)) << "\n";
            err.flush();
            merge.emplace(panel.get());
            if (backPanel)
                backMerge.emplace(backPanel.get());
            plan.Attach(job, *merge, backMerge ? &*backMerge : nullptr, &notFitting);
        } catch (const EPeopleListError &e) {
            throw CommandLineError{e.Message()};
        }
    }

    TRPDevice &device = TRPDevice::Instance();
    device.UsePdfPrinter();
    device.SelectPaperSize(prefs.Layout.Papersize);
    device.SetOutputFileName(output);
    TReportPrinter printer;
    job.Attach(printer);
    try {
        printer.Run();
    } catch (...) {
        device.SetOutputFileName(QString());
        throw;
    }
    device.SetOutputFileName(QString());
    // Printed, but not as designed: each person's value that was drawn
    // smaller or cut, for the user to check before the cards are used.
    for (const TFitNote &note : notFitting)
        err << "quorvel: " << TerminalText(people::FitNoteText(note)) << "\n";
    err.flush();
    if (duplex == sheetprint::dxManual && printer.PageNumber() >= 2) {
        QTextStream out(stdout);
        out << sheetprint::TurnTheStackNote(printer.PageNumber() / 2) << "\n";
    }
    return 0;
}

// --render to .svg, .pdf, or .png with --dpi: the card as it prints.
int ExportCardFile(const QString &cardFile, const QString &output, const QString &dpiText, bool zoomGiven,
                   bool back)
{
    if (zoomGiven)
        throw CommandLineError{QStringLiteral("--zoom draws a .png as the panel shows it; it does not go with "
                                              "--dpi, .svg or .pdf")};
    TCardExport card;
    if (!dpiText.isEmpty())
        card.Dpi = PositiveNumber(dpiText, QStringLiteral("--dpi"), kMaxExportDpi);
    // The format is the name's; the bytes go where the name leads, never
    // over an input, a device or a FIFO.
    CheckOutput(output, cardFile);
    const TPreferences prefs = SettingsFilePreferences();
    TCardBack cardBack;
    const std::unique_ptr<TGBusinessCardPanel32> panel =
        back ? LoadCardBack(cardFile, prefs.Layout, cardBack) : LoadCard(cardFile, prefs.Layout);
    card.Panel = panel.get();
    card.CardSize = QSizeF(prefs.Layout.Width, prefs.Layout.Height);
    card.BackgroundPath = back ? cardBack.BackgroundArt : TMainScreen::BackgroundArtOf(cardFile);
    try {
        ExportCard(card, output);
    } catch (const ECardExportError &e) {
        throw CommandLineError{e.Message()};
    }
    return 0;
}

// --render with --bleed or --crop-marks: the card as a print shop wants it.
bool AsksForPrintShop(const QStringList &args)
{
    return args.contains(QStringLiteral("--bleed")) || args.contains(QStringLiteral("--crop-marks"));
}

// Names the text and pictures that reach over the default safe line, which a
// shop's cut may touch; the PDF is written all the same.
void WarnOfSafeLine(const TGBasePanel &panel, QTextStream &err)
{
    const int margin = platform::Round(printshop::kDefaultSafeMarginInches * platform::ScreenPixelsPerInch());
    for (const TGGraphicControl *o : printshop::ObjectsCrossingSafeLine(panel, margin))
        err << "quorvel: " << TerminalText(printshop::ObjectDescription(o))
            << " crosses the safe line, 1/8 in inside the cut\n";
    err.flush();
}

int RenderForPrintShop(const QStringList &args)
{
    CheckOptions(args, {QStringLiteral("--render"), QStringLiteral("--output"), QStringLiteral("--bleed")},
                 {QStringLiteral("--crop-marks")});
    const QString cardFile = RequiredValue(args, QStringLiteral("--render"));
    const QString output = RequiredValue(args, QStringLiteral("--output"));
    if (ExportFormatOf(output) != efPdf)
        throw CommandLineError{QStringLiteral("--bleed and --crop-marks make a PDF: name the output .pdf")};
    printshop::TPrintShopExport what;
    what.CropMarks = args.contains(QStringLiteral("--crop-marks"));
    what.Bleed = 0.0;
    if (const QString bleed = ValueOf(args, QStringLiteral("--bleed")); !bleed.isEmpty()) {
        QString why;
        const std::optional<double> inches = printshop::BleedFromText(bleed, &why);
        if (!inches)
            throw CommandLineError{QStringLiteral("--bleed: ") + why};
        what.Bleed = *inches;
    }
    CheckOutput(output, cardFile);
    const TPreferences prefs = SettingsFilePreferences();
    const std::unique_ptr<TGBusinessCardPanel32> panel = LoadCard(cardFile, prefs.Layout);
    what.Panel = panel.get();
    what.CardSize = QSizeF(prefs.Layout.Width, prefs.Layout.Height);
    QTextStream err(stderr);
    what.BackgroundPath = UsableBackgroundArt(cardFile, err);
    WarnOfSafeLine(*panel, err);
    try {
        printshop::ExportForPrintShop(what, output);
    } catch (const ECardExportError &e) {
        throw CommandLineError{e.Message()};
    }
    return 0;
}

int RenderCard(const QStringList &args)
{
    if (AsksForPrintShop(args))
        return RenderForPrintShop(args);
    CheckOptions(args,
                 {QStringLiteral("--render"), QStringLiteral("--output"), QStringLiteral("--zoom"),
                  QStringLiteral("--dpi"), QStringLiteral("--side")},
                 {});
    const QString cardFile = RequiredValue(args, QStringLiteral("--render"));
    const QString output = RequiredValue(args, QStringLiteral("--output"));
    const bool back = BackSideAsked(args);
    // A name without an extension gets the panel's picture as a PNG, as it
    // always has; an extension the export does not know is refused there.
    const std::optional<TExportFormat> format = ExportFormatOf(output);
    const bool unknownExtension = !format && !QFileInfo(output).suffix().isEmpty();
    if (const QString dpi = ValueOf(args, QStringLiteral("--dpi"));
        !dpi.isEmpty() || format == efSvg || format == efPdf || unknownExtension)
        return ExportCardFile(cardFile, output, dpi, args.contains(QStringLiteral("--zoom")), back);
    float zoom = 1.0f;
    if (const QString z = ValueOf(args, QStringLiteral("--zoom")); !z.isEmpty()) {
        bool ok = false;
        zoom = z.toFloat(&ok);
        if (!ok || !(zoom >= 0.1f && zoom <= 10.0f))
            throw CommandLineError{QStringLiteral("--zoom takes a factor from 0.1 to 10")};
    }
    CheckOutput(output, cardFile);
    const TPreferences prefs = SettingsFilePreferences();
    TCardBack cardBack;
    const std::unique_ptr<TGBusinessCardPanel32> panel =
        back ? LoadCardBack(cardFile, prefs.Layout, cardBack) : LoadCard(cardFile, prefs.Layout);
    QTextStream err(stderr);
    if (const QString art = back ? UsableArt(cardBack.BackgroundArt, err) : UsableBackgroundArt(cardFile, err);
        !art.isEmpty())
        panel->LoadColorPicture(art);
    panel->SetZoom(zoom);

    const qint64 pixels = qint64(panel->width()) * panel->height();
    if (pixels > kMostRenderedPixels)
        throw CommandLineError{QStringLiteral("the card at zoom %1 would be a picture of %2 x %3 pixels; "
                                              "--render makes pictures of at most 100 megapixels")
                                   .arg(QString::number(double(zoom), 'g', 6))
                                   .arg(panel->width())
                                   .arg(panel->height())};
    QImage image(panel->size(), QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.fill(Qt::white);
    {
        QPainter p(&image);
        panel->RenderCard(p, false);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw CommandLineError{QStringLiteral("Unable to write ") + output};
    try {
        platform::WriteOutputFile(output, png, platform::TOutputSync::NoWait);
    } catch (const platform::EOutputFileError &e) {
        throw CommandLineError{e.Message()};
    }
    return 0;
}

// Prints the text form of a card file the program can open.
int DumpCardFile(const QStringList &args)
{
    const qsizetype at = args.indexOf(QStringLiteral("--dump"));
    const QString cardFile = args.value(at + 1);
    LoadCard(cardFile, CardSheetLayout());
    QByteArray text;
    try {
        text = ComponentStreamToText(platform::ReadInputFile(cardFile, platform::TInputKind::CardFile));
    } catch (const platform::EInputFileError &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ") + e.Message()};
    } catch (const EStreamError &e) {
        throw CommandLineError{QStringLiteral("unable to open ") + cardFile + QStringLiteral(": ") + e.Message()};
    }
    text = TerminalBytes(text);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    return 0;
}

// Runs one mode; every failure is one line on stderr and status 1. The
// verb and the option naming the card say what ran out of memory.
int RunOutputMode(int (*mode)(const QStringList &), const QStringList &args, QTextStream &err, const char *verb,
                  const QString &cardOption)
{
    QString message;
    try {
        return mode(args);
    } catch (const CommandLineError &e) {
        message = e.message;
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("not enough memory to %1 %2")
                      .arg(QLatin1String(verb), args.value(args.indexOf(cardOption) + 1));
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    }
    err << "quorvel: " << TerminalText(message) << "\n";
    return 1;
}

} // namespace

void KeepQtNotesOffTheTerminal()
{
    static QtMessageHandler standard = nullptr;
    standard = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            standard(type, context, text);
    });
}

// Qt's own options, which the window system part of Qt takes in either spelling.
static bool IsQtOption(const char *arg)
{
    for (const char *qt : {"--platform", "--style", "--stylesheet", "--display", "--geometry", "--reverse",
                           "--session", "--qwindowgeometry", "--qwindowtitle", "--qwindowicon", "--platformtheme"})
        if (std::strcmp(arg, qt) == 0)
            return true;
    return false;
}

bool IsHeadlessMode(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        for (const char *mode : {"-h", "-o"})
            if (std::strcmp(argv[i], mode) == 0)
                return true;
        // The window takes no option of ours: any other one is a command-line
        // mode or a mistake, and a mistake is answered without a window too.
        if (std::strncmp(argv[i], "--", 2) == 0 && !IsQtOption(argv[i]))
            return true;
    }
    return false;
}

// "-o" is the usual short name of "--output"; a value that happens to read
// "-o" (a file so named after --print, say) stays a value.
static QStringList WithLongOptionNames(const QStringList &given)
{
    static const QStringList takesValue = {
        QStringLiteral("--dump"),  QStringLiteral("--print"),  QStringLiteral("--render"),
        QStringLiteral("--output"), QStringLiteral("--sheets"), QStringLiteral("--cells"),
        QStringLiteral("--layout"), QStringLiteral("--merge"),  QStringLiteral("--per-person"),
        QStringLiteral("--zoom"),  QStringLiteral("--dpi"),    QStringLiteral("--side"),
        QStringLiteral("--duplex"), QStringLiteral("--back"),  QStringLiteral("--map"),
        QStringLiteral("--bleed")};
    QStringList args = given;
    for (qsizetype i = 1; i < args.size(); ++i)
        if (args.at(i) == QLatin1String("-o") && !takesValue.contains(args.at(i - 1)))
            args[i] = QStringLiteral("--output");
    return args;
}

std::optional<int> RunCommandLine(const QStringList &givenArgs)
{
    const QStringList args = WithLongOptionNames(givenArgs);
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
        return RunOutputMode(DumpCardFile, args, err, "read", QStringLiteral("--dump"));
    }
    if (args.contains(QStringLiteral("--list-layouts")))
        return ListLayouts(out, err);
    if (args.contains(QStringLiteral("--print")))
        return RunOutputMode(PrintCard, args, err, "print", QStringLiteral("--print"));
    if (args.contains(QStringLiteral("--render")))
        return RunOutputMode(RenderCard, args, err, "render", QStringLiteral("--render"));
    for (const QString &a : args.mid(1))
        if (a.startsWith(QStringLiteral("--"))) {
            err << "quorvel: unknown option " << a << " (see --help)\n";
            return 2;
        }
    return std::nullopt;
}
