// The one printer every report of the program shares: the list of printers to
// choose from (the system's printers and the built-in "PDF file" printer), the
// current printer with its paper, resolution and unprintable margins, and the
// system's printer dialogs.
// Holds TRPDevice.
#pragma once

#include "report/ReportDefinitions.h"

#include <QPageLayout>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;
class TBaseReport;

class TRPDevice
{
public:
    static TRPDevice &Instance();
    ~TRPDevice();

    // ---- the printer list ----
    // The system's printers followed by "PDF file", which is always there.
    QStringList Printers();
    // Reads the system's printers again (a printer was added or removed).
    void RefreshPrinterList();
    int PrinterIndex();
    // Makes the printer at index current; an index outside the list changes nothing.
    void SetPrinterIndex(int index);
    // The built-in printer's position in the list (the last one), -1 if absent.
    int PdfPrinterIndex();
    // Makes the built-in printer current without asking the system for its
    // printers, which costs a print server round trip; a replaced list
    // without it changes nothing, as SetPrinterIndex(PdfPrinterIndex()).
    void UsePdfPrinter();
    bool IsPdfPrinter();
    // Whether the list holds any printer. The system's list always ends with
    // the built-in printer, so only a replaced list is ever looked at.
    bool HasPrinters();

    // ---- names the status line shows ----
    QString DeviceName();
    QString DriverName();
    QString PortName();

    // The file the "PDF file" printer writes; the caller asks the user for it.
    QString OutputFileName() const { return FOutputFileName; }
    void SetOutputFileName(const QString &fileName) { FOutputFileName = fileName; }

    // The current printer's Qt object, created on first use. The built-in
    // printer makes one only for the dialogs: its jobs are written without
    // the system's print support, which would ask the spooler.
    QPrinter &Printer();
    // The page the built-in printer writes: paper, orientation, no margins.
    QPageLayout PdfPageLayout() const { return FPdfLayout; }

    // The message of the last time the spooler was asked for its printers
    // and did not answer in time, empty when it did.
    QString SpoolerProblem() const { return FSpoolerProblem; }
    // Where such a problem is told (a message box in the program, standard
    // error without one); it is told once per time the list is read.
    void SetProblemReporter(std::function<void(const QString &)> reporter);

    // ---- printer settings ----
    // Selects a Windows paper code (1 Letter, 9 A4 ...) when Width and Height
    // are 0, otherwise a paper of Width x Height tenths of a millimetre, if the
    // printer supports it. Returns whether the paper changed.
    bool SelectPaperSize(int code, int width = 0, int height = 0);
    // Reads resolution, paper and unprintable margins from the printer again,
    // after setting the margins to the least the printer allows.
    void RefreshPrinterMetrics();
    TPageMetrics Metrics();
    void SetOrientation(TOrientation orientation);
    // The largest number of copies the printer makes of one page by itself.
    int DriverMaxCopies();

    // ---- dialogs ----
    bool ShowPrinterSetup(QWidget *parent = nullptr);
    // On OK the chosen copies and page range go into the report.
    bool ShowPrintDialog(TBaseReport &report, QWidget *parent = nullptr);

    // Replaces the whole printer list (std::nullopt: the real one again).
    void SetPrinterListForTests(std::optional<QStringList> names);

private:
    TRPDevice();
    void EnsurePrinterList();
    void EnsureCurrentPrinter();
    bool CurrentPrinterListed();
    void CreatePrinter(const QString &name);
    void UsePrinterNamed(const QString &name);
    void ReadSystemPrinters(QStringList &names);
    void MakePrinterForDialogs();

    std::optional<QStringList> FPrinterNames;
    std::optional<QStringList> FTestPrinterNames;
    QString FCurrentName;
    QString FOutputFileName;
    std::unique_ptr<QPrinter> FPrinter;
    QPageLayout FPdfLayout;
    TPageMetrics FMetrics;
    QString FSpoolerProblem;
    std::function<void(const QString &)> FProblemReporter;
};
