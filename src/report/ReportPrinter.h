// The printing report: its pages go to the shared device's current printer,
// a system printer or the built-in "PDF file" printer.
// Holds TReportPrinter.
#pragma once

#include "report/ReportBase.h"

#include <QPainter>
#include <QString>
#include <memory>

class QPrinter;
class QPdfWriter;
class QPagedPaintDevice;
namespace platform {
class TOutputFile;
}

class TReportPrinter : public TBaseReport
{
public:
    TReportPrinter();
    ~TReportPrinter() override;

    // The spooler's id of the last job sent to a system printer, 0 when the
    // last run sent none (it was aborted, or printed to a file).
    int JobId() const { return FJobId; }

protected:
    TPageMetrics ReadMetrics() override;
    void BeginDocument() override;
    QPainter *BeginDevicePage() override;
    void EndDevicePage() override;
    void EndDocument() override;
    void AbortDocument() override;
    // Half a document is never published: a run that an error ended leaves
    // the previous output as it was and sends nothing to the spooler.
    bool KeepsFailedDocument() const override { return false; }
    QString DeviceName() const override;
    QString DriverName() const override;
    QString PortName() const override;

private:
    // The device the job's pages are drawn on.
    QPagedPaintDevice *OutputDevice() const;
    void DiscardPartialFile();
    void PrepareSpoolFile();
    void SendSpoolFile();
    void DiscardSpoolFile();

    // A system printer's job goes through its QPrinter; the built-in
    // printer's through a PDF writer, which never asks the spooler.
    QPrinter *FPrinter = nullptr;
    std::unique_ptr<QPdfWriter> FPdfWriter;
    QPainter FPainter;
    // The PDF file being written: it replaces the chosen one only when the
    // job ends well, so an aborted or failed job leaves the old file alone.
    std::unique_ptr<platform::TOutputFile> FOutput;
    // A system printer's job is drawn into this file and spooled when it
    // ends well, so that an aborted job never reaches the printer.
    QString FSpoolFile;
    int FJobId = 0;
};
