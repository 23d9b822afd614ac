// Shared vocabulary of the report engine: its settings' enumerations, the page
// metrics every report converts inches with, and the error it raises.
// Holds TPageMetrics, EReportError.
#pragma once

#include <QSizeF>
#include <QString>
#include <stdexcept>

enum TPrintUnits { unInch, unMM, unCM, unPoint, unUser };
enum TOrientation { poPortrait, poLandScape, poDefault };
enum TBKMode { bkTransparent, bkOpaque };
enum TLineHeightMethod { lhmLinesPerInch, lhmFont, lhmUser };
enum TStreamMode { smMemory, smFile, smUser, smTempFile };
enum TAccuracyMethod { amPositioning, amAppearance };

namespace report {

// Page numbers a report outputs when nobody restricts them.
constexpr int kFirstPageDefault = 1;
constexpr int kLastPageDefault = 9999;
// Clipping regions a report can hold at once.
constexpr int kMaxRegions = 21;
// The printer that is always there: the page goes into a PDF file.
inline const QString kPdfPrinterName = QStringLiteral("PDF file");
constexpr int kPdfPrinterResolution = 600;
// What the status codes for device, driver and port show for a recording.
inline const QString kPreviewDeviceName = QStringLiteral("Preview");
inline const QString kPreviewPortName = QStringLiteral("Screen");
inline const QString kNoPrintersMessage = QStringLiteral("No printers are defined, aborting print job.");

} // namespace report

// What a report needs to know about the page it draws on: resolution in device
// pixels per inch, the paper's size and the strips the printer cannot reach,
// in inches. Device pixel (0, 0) is the top-left corner of the printable area.
struct TPageMetrics {
    int XDPI = report::kPdfPrinterResolution;
    int YDPI = report::kPdfPrinterResolution;
    QSizeF PaperSize{8.5, 11.0};
    double UnprintableLeft = 0.0;
    double UnprintableTop = 0.0;
    double UnprintableRight = 0.0;
    double UnprintableBottom = 0.0;
};

// A failure of the report engine; the message is meant for the user as it is.
class EReportError : public std::runtime_error
{
public:
    explicit EReportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};
