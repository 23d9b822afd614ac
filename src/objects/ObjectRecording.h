// Text objects print by recording their own screen drawing and letting the
// report stretch that recording into the object's rectangle in inches, so the
// paper shows exactly what the panel shows.
#pragma once

#include <QPicture>
#include <functional>
#include <optional>

class QPainter;
class TBaseReport;
class TGGraphicControl;

// A recording of draw, clipped to and bounded by the object's own area (the
// report stretches by the bounding rectangle, which must be the area rather
// than the extent of the ink).
QPicture RecordObjectArea(const TGGraphicControl &object, const std::function<void(QPainter &)> &draw);

// Draws the recording into the object's rectangle on the report page; origin
// in inches of the card cell.
void PrintObjectRecording(const TGGraphicControl &object, TBaseReport &report, double originX, double originY,
                          const QPicture &recording);

// The last recording of an object with the key of everything its drawing
// read; made again only when the key differs, so a sheet that prints the
// object once per card records it once.
template <typename Key> class TRecordingCache
{
public:
    QPicture Get(const TGGraphicControl &object, Key key, const std::function<void(QPainter &)> &draw)
    {
        if (FKey && *FKey == key)
            return FPicture;
        FPicture = RecordObjectArea(object, draw);
        FKey = std::move(key);
        return FPicture;
    }

private:
    std::optional<Key> FKey;
    QPicture FPicture;
};
