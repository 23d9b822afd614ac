// libFuzzer entry for the whole path a card takes: arbitrary bytes are read
// into a card panel the size of a business card, the card is rendered as the
// panel shows it at zoom 1.0 and 1.6, and one sheet is printed to a PDF file
// through the report engine, as --print does. Every input must end in a
// clean error or in pictures and a page; a crash, a sanitizer report, a
// timeout or runaway memory is a fault.
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "report/ReportPrinter.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardObject.h"
#include "surface/ComponentStream.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <exception>

namespace {

// A business card of 3.5 x 2 inches at 96 pixels per inch.
constexpr int kCardWidth = 336;
constexpr int kCardHeight = 192;

TGBusinessCardPanel32 *g_panel = nullptr;
// One folder for every job's sheet: fork mode kills jobs, which would leave a
// temporary folder of their own behind each time.
QString g_outputFolder;

void RenderAt(float zoom)
{
    g_panel->SetZoom(zoom);
    QImage image(g_panel->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    g_panel->RenderCard(painter, false);
}

// Finds each family a card is likely to name once, as a long-running
// program would have: the first look-up of a family costs fontconfig far
// more than drawing with it afterwards.
void WarmUpFonts()
{
    QImage image(64, 64, QImage::Format_RGB32);
    QPainter painter(&image);
    for (const char *family : {"Arial", "Times New Roman", "Courier New", "Wingdings", "Webdings", "Symbol",
                               "MS Sans Serif", "NoSuchFamily"}) {
        painter.setFont(QFont(QString::fromLatin1(family), 12));
        painter.drawText(0, 32, QStringLiteral("Ag\u00E9"));
    }
}

// The first cell of one sheet with the default layout, into a PDF file.
void PrintOneSheet()
{
    g_panel->SetZoom(1.0f);
    TCardSheetPrinter job;
    job.Panel = g_panel;
    job.SheetsToPrint = 1;
    job.Cells = SelectedCells(10, false);
    job.Cells[0] = true;
    TRPDevice &device = TRPDevice::Instance();
    device.UsePdfPrinter();
    device.SetOutputFileName(g_outputFolder + QStringLiteral("/sheet.pdf"));
    TReportPrinter printer;
    job.Attach(printer);
    printer.Run();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static int argc = 1;
    static char name[] = "fuzz_print";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    g_outputFolder = QDir::temp().filePath(QStringLiteral("quorvel-fuzz-print"));
    QDir().mkpath(g_outputFolder);
    g_panel = new TGBusinessCardPanel32(); // registers the card classes
    g_panel->SetShape(lsRectangle);
    g_panel->resize(kCardWidth, kCardHeight);
    // The font database and the PDF engine start on first use; that start
    // is not an input's cost and would count against its time limit.
    WarmUpFonts();
    RenderAt(1.0f);
    PrintOneSheet();
    g_panel->SetZoom(1.0f);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        TComponentReader(bytes).ReadObjectList(g_panel, g_panel);
    } catch (const EStreamError &) {
        // Objects read before the error stay, as they do on the panel when
        // a card fails to open; they are drawn and printed all the same.
    }
    try {
        RenderAt(1.0f);
        RenderAt(1.6f);
        PrintOneSheet();
    } catch (const std::exception &) {
        // A report error or a refusal with a message is a clean end.
    }
    g_panel->SetZoom(1.0f);
    g_panel->DeleteAllObjects();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
