// Exporting the one card as a picture file: PNG at a chosen resolution,
// SVG or PDF as vectors. The card is drawn through the same printing path as
// a sheet, into a one-card page, so an exported card looks as it prints.
#pragma once

#include <QSizeF>
#include <QString>
#include <optional>
#include <stdexcept>

class TGBasePanel;

enum TExportFormat { efPng, efSvg, efPdf };

// The format a file name asks for by its extension (".png", ".svg", ".pdf",
// in any case), or nothing.
std::optional<TExportFormat> ExportFormatOf(const QString &fileName);

// A failure to export; the message is meant for the user as it is.
class ECardExportError : public std::runtime_error
{
public:
    explicit ECardExportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

struct TCardExport {
    // The panel whose objects are drawn; drawn at zoom 1.0 whatever it shows.
    TGBasePanel *Panel = nullptr;
    // The card's size in inches, as the sheet layout gives it.
    QSizeF CardSize{3.5, 2.0};
    // The background art file, empty for none.
    QString BackgroundPath;
    // Pixels per inch of a PNG.
    int Dpi = 300;
    // A PNG or SVG without the white of the card behind the objects.
    bool TransparentBackground = false;
};

inline constexpr int kMinExportDpi = 36;
inline constexpr int kMaxExportDpi = 1200;
inline constexpr int kDefaultExportDpi = 300;

class TReportFiler;
struct TPageRecording;
// Runs filer's job into its recording, its failures as ECardExportError.
TPageRecording RunCardRecording(TReportFiler &filer);

// Writes the card to fileName in the format its extension names; the file
// is replaced only when the whole card was written. Throws ECardExportError.
void ExportCard(const TCardExport &card, const QString &fileName);
