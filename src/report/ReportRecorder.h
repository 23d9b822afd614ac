// The recording report: it runs like the printing report, with the shared
// printer's resolution and metrics, but keeps every page in memory as a
// picture, so that the preview shows exactly what would be printed. The
// replay functions draw a recorded page at any zoom.
// Holds TPageRecording, TReportFiler.
#pragma once

#include "report/ReportBase.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPicture>
#include <optional>

// A recorded job: one picture per output page, in the device pixels of the
// printer it was made for, with that printer's metrics.
struct TPageRecording {
    QList<QPicture> Pages;
    TPageMetrics Metrics;
};

class TReportFiler : public TBaseReport
{
public:
    TReportFiler();
    ~TReportFiler() override;

    const TPageRecording &Recording() const { return FRecording; }
    int PageCount() const { return int(FRecording.Pages.size()); }
    // Records for the given page instead of the shared printer's (nullopt:
    // the printer's again).
    void SetPageMetrics(std::optional<TPageMetrics> metrics) { FFixedMetrics = metrics; }
    // Records for playing on a device with these abilities (a PDF or SVG
    // file) rather than on a picture of pixels.
    void SetPlaybackDevice(std::optional<TDeviceAbilities> abilities) { TBaseReport::SetPlaybackDevice(abilities); }

protected:
    TPageMetrics ReadMetrics() override;
    void BeginDocument() override;
    QPainter *BeginDevicePage() override;
    void EndDevicePage() override;
    void EndDocument() override;
    void AbortDocument() override;
    QString DeviceName() const override;
    QString DriverName() const override;
    QString PortName() const override;

private:
    TPageRecording FRecording;
    std::optional<TPageMetrics> FFixedMetrics;
    QPicture FPage;
    QPainter FPainter;
};

// Draws page index (from 0) with one painter unit per recorded device pixel
// and the origin at the paper's top-left corner.
void PlayRecordedPage(QPainter &painter, const TPageRecording &recording, int index);
// The whole sheet of paper, white, with the page drawn at zoom per cent for a
// screen of screenDpi pixels per inch. A null image when there is no such page.
QImage RenderRecordedPage(const TPageRecording &recording, int index, double zoomPercent, int screenDpi = 96);
