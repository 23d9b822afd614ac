// Helpers of the printing tests: a card with marker shapes whose places on
// the page are known, looking at recorded pages pixel by pixel, rasterising
// printed PDF files, and the CUPS queue "Quorvel-PDF" that ./test starts.
#pragma once

#include "printing/CardSheetLayout.h"
#include "report/ReportDefinitions.h"
#include "report/ReportRecorder.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class TGBusinessCardPanel32;
class QTemporaryDir;
class QWidget;

namespace printtest {

// ---- the card ----
// The black marker every test card carries, in inches from the card's
// corner: a filled rectangle without outline, 1 x 0.5 inch at (0.25, 0.5).
inline const QRectF kMarkerInches(0.25, 0.5, 1.0, 0.5);
// A card panel at 96 pixels per inch holding the marker and, when asked, a
// ring of other frame shapes around it.
std::unique_ptr<TGBusinessCardPanel32> MakeMarkerCard(bool moreShapes = false);

// ---- recorded pages ----
// Letter paper at dpi with an unprintable strip of `strip` inches per edge.
TPageMetrics LetterPage(int dpi = 600, double strip = 0.0);
// The part of a recorded page inside region (device pixels from the paper's
// corner), one image pixel per recorded device pixel.
QImage RecordedRegion(const TPageRecording &recording, int page, const QRect &region);
// The device pixel of an inch position on the paper.
int Device(double inches, int dpi);

bool IsDark(const QImage &image, int x, int y);
bool IsWhite(const QImage &image, int x, int y);
int NonWhitePixels(const QImage &image, const QRect &area);
// The first and last dark pixel along a row or column of the image, or -1.
int FirstDarkInRow(const QImage &image, int y, int fromX, int toX);
int LastDarkInRow(const QImage &image, int y, int fromX, int toX);
int FirstDarkInColumn(const QImage &image, int x, int fromY, int toY);
int LastDarkInColumn(const QImage &image, int x, int fromY, int toY);

// Where the marker's edges lie on a page of dpi, in pixels, for a card at
// `origin` (inches): left, top, right and bottom (exclusive) of the black area.
QRect MarkerOnPage(QPointF origin, int dpi);
// The marker found on a page image near where it is expected; an empty
// rectangle when there is none.
QRect FindMarker(const QImage &page, QPointF origin, int dpi);

// ---- the print commands' windows ----
// Works the modal windows the program opens, in order: each step gets the
// active modal window and returns true once it has dealt with it.
class ModalScript : public QObject
{
public:
    using Step = std::function<bool(QWidget *)>;
    explicit ModalScript(QList<Step> steps);
    bool Done() const { return FSteps.isEmpty(); }

private:
    QList<Step> FSteps;
    QTimer FTimer;
};

// The status form's step: press its button once the run is over.
ModalScript::Step CloseStatusFormWhenDone(QStringList *finalStatus = nullptr);

// ---- PDF files ----
int PdfPageCount(const QByteArray &pdf);
int PdfPageCount(const QString &file);
// Every page of the file as a greyscale image at dpi (pdftoppm); empty when
// pdftoppm failed. `why` says what went wrong.
QList<QImage> RasterisePdf(const QString &file, int dpi, QString *why = nullptr);
bool HavePdftoppm();
// A word of a PDF page as pdftotext -bbox finds it: its text and its box in
// inches from the page's top-left corner.
struct TPdfWord {
    QString Text;
    QRectF Box;
};
// The words of a page of the file (from 1); empty when pdftotext failed.
QList<TPdfWord> PdfWords(const QString &file, int page = 1);

// ---- the print spooler ----
inline const QString kSpoolQueue = QStringLiteral("Quorvel-PDF");
// Whether the CUPS queue is there and the default printer; `why` says what
// is missing.
bool SpoolerReady(QString *why);
// The folder cups-pdf writes this user's jobs into.
QString SpoolOutputFolder();
// The PDF file cups-pdf makes of a job, once the job has completed; empty
// when it did not appear in time.
QString WaitForSpooledPdf(int jobId, int timeoutMs = 60000);
// An attribute of a job as the scheduler keeps it (its control file, which
// only root may read): an integer or text value; nothing when unreadable.
std::optional<QByteArray> SpooledJobText(int jobId, const QByteArray &name);
std::optional<int> SpooledJobInteger(int jobId, const QByteArray &name);

} // namespace printtest
