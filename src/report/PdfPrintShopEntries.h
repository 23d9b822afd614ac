// What a print shop reads from a PDF besides the drawing: the page's trim and
// bleed boxes and the colour the page was made in (an sRGB output intent).
// Qt's PDF writer writes neither, so they are added to the finished file as
// an incremental update: the new page and catalogue objects, the output
// intent with its ICC profile, a cross-reference section for them and a
// trailer pointing back to Qt's own. Qt's bytes stay as they were.
#pragma once

#include <QByteArray>
#include <QRectF>
#include <optional>
#include <stdexcept>

// The PDF was not one this module can add to (not written by Qt's writer, or
// damaged); the message is meant for the user as it is.
class EPdfUpdateError : public std::runtime_error
{
public:
    explicit EPdfUpdateError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

struct TPrintShopBoxes {
    // In PDF points from the page's bottom-left corner, as the boxes are
    // written; nothing leaves the box out.
    std::optional<QRectF> TrimBox;
    std::optional<QRectF> BleedBox;
    // Names sRGB as the colour of every page.
    bool SrgbOutputIntent = true;
};

// The file with the boxes added to its first page and the output intent to
// its catalogue. Throws EPdfUpdateError.
QByteArray AddPrintShopEntries(const QByteArray &pdf, const TPrintShopBoxes &boxes);
