// What becomes of each card object in print-shop output: which objects
// continue into the bleed when they touch the card's edge (shapes, lines and
// pictures: a band or a background reaches the cut), and which must keep
// inside the safe area (text, pictures and codes a cut would spoil).
#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QPointer>

class TGGraphicControl;
class TGBasePanel;

namespace printshop {

// Drawn outward by the bleed where its bounds touch the card's edge.
bool ContinuesIntoBleed(const TGGraphicControl *object);
// Text and pictures: what a shop asks to keep inside the safe line.
bool KeptInsideSafeArea(const TGGraphicControl *object);

// The bounds (card pixels at zoom 1.0) with each edge that lies within a
// pixel of the card's edge, or beyond it, moved out to the bleed.
QRect BleedBounds(const QRect &bounds, const QSize &card, int bleedPixels);
// The card less the safe margin on every side.
QRect SafeRect(const QSize &card, int marginPixels);
// Text or a picture reaching over the safe line. A picture that touches the
// card's edge is meant to be cut there (it continues into the bleed) and is
// not counted.
bool CrossesSafeLine(const TGGraphicControl *object, const QSize &card, int marginPixels);
// What the user knows an object by: its kind and its text, if any
// ("Text \"Jane Doe\"", "Picture").
QString ObjectDescription(const TGGraphicControl *object);
// The panel's objects that cross the safe line, bottom of the z-order first.
QList<TGGraphicControl *> ObjectsCrossingSafeLine(const TGBasePanel &panel, int marginPixels);

// While it lives, the objects of the panel that continue into the bleed are
// moved out to it; their own bounds come back when it ends. The panel is
// kept from reporting these moves as changes of the card.
class TBleedExtension
{
public:
    TBleedExtension(TGBasePanel *panel, int bleedPixels);
    ~TBleedExtension();
    TBleedExtension(const TBleedExtension &) = delete;
    TBleedExtension &operator=(const TBleedExtension &) = delete;

private:
    QPointer<TGBasePanel> FPanel;
    QList<QPair<QPointer<TGGraphicControl>, QRect>> FMoved;
};

} // namespace printshop
