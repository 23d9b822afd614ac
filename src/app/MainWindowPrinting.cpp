#include "app/MainWindowPrinting.h"

#include "app/AppHelpers.h"
#include "app/MainWindow.h"
#include "printing/DialogKit.h"
#include "printing/PeopleDialog.h"
#include "printing/SheetLayoutDialog.h"
#include "printing/PrintPreview.h"
#include "printing/PrintCommands.h"
#include "printing/FineTuningDialog.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"

#include <QFileDialog>

namespace {

std::optional<QString> ChoosePdfFile(QWidget *parent, const QString &proposal)
{
    QFileDialog dialog(parent, QStringLiteral("Print to PDF File"), proposal, QStringLiteral("PDF files (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(proposal);
    return RunFileDialog(dialog);
}

} // namespace

TPrintContext PrintContextOf(TMainScreen &window, std::unique_ptr<TGBusinessCardPanel32> &hidden)
{
    TPrintContext context;
    context.Parent = &window;
    const bool backShown = window.ShownSide() == TCardSide::Back;
    const bool hasBack = window.HasBack();
    if (backShown || hasBack)
        hidden = window.HiddenSidePanel();
    context.Panel = backShown ? hidden.get() : window.BusinessCardPanel();
    if (hasBack)
        context.BackPanel = backShown ? window.BusinessCardPanel() : hidden.get();
    context.BackArtPath = window.BackArtPath();
    context.BackNudges = &window.Preferences().BackNudges;
    context.Duplex = sheetprint::TDuplex(window.PrintDuplex);
    context.Layout = &window.Layout();
    context.Nudges = &window.Nudges();
    context.Cells = &window.Cells();
    context.ShowBottomMarginWarning = &window.Preferences().ShowBottomMarginWarning;
    context.BackgroundArtPath = window.BackgroundArtPath();
    context.CardFileName = window.CardFileName();
    context.SavePreferences = [&window] { window.SavePreferences(); };
    context.ChoosePdfFile = [&window](const QString &proposal) { return ChoosePdfFile(&window, proposal); };
    context.PrintToPrinter = window.PrintToPrinter;
    context.OutlineTestPage = window.OutlineTestPage;
    return context;
}

TPrintingCommands DefaultPrintingCommands()
{
    TPrintingCommands commands;
    // Each command tells the window what it did with the two run flags.
    auto run = [](void (*command)(TPrintContext &)) {
        return [command](TMainScreen &window) {
            std::unique_ptr<TGBusinessCardPanel32> hidden;
            TPrintContext context = PrintContextOf(window, hidden);
            command(context);
            window.PrintToPrinter = context.PrintToPrinter;
            window.OutlineTestPage = context.OutlineTestPage;
            window.PrintDuplex = int(context.Duplex);
        };
    };
    commands.Print = run(printcommands::PrintCommand);
    commands.Preview = run(printcommands::PreviewCommand);
    commands.PrintForPeople = run(printcommands::PrintForPeopleCommand);
    commands.OutlineTestPage = run(printcommands::OutlineTestPageCommand);
    commands.CalibrationPage = run(printcommands::CalibrationPageCommand);
    commands.TwoSidedCalibration = run(printcommands::TwoSidedCalibrationCommand);
    commands.PrinterSetup = [](TMainScreen &window) { printcommands::PrinterSetupCommand(&window); };
    commands.FineTuning = [](TMainScreen &window, PrinterNudges &nudges) {
        return FineTunePrinter(nudges, &window, &window.Layout());
    };
    commands.BackFineTuning = [](TMainScreen &window, PrinterNudges &nudges) {
        return FineTunePrinter(nudges, &window, &window.Layout(), true);
    };
    commands.EditLayout = [](TMainScreen &window, CardSheetLayout &layout) {
        return EditCardLayout(layout, &window);
    };
    return commands;
}

void InstallPrintingCommands()
{
    printing::SetHelpOpener([](int context) { ShowHelpContext(context); });
    preview::SetPlacementHandlers([](QWidget *form) { RestoreWindowPlacement(form); },
                                  [](QWidget *form) { SaveWindowPlacement(form); });
    SetPrintingCommands(DefaultPrintingCommands());
    TRPDevice::Instance().SetProblemReporter([](const QString &message) { ShowInformation(message); });
}
