// Helpers for the text object and dialog tests: rendering an object the way
// the panel paints it, finding ink in a picture, reading sample cards, and
// replacing the property dialogs for the length of a test.
#pragma once

#include "objects/ObjectEditors.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <functional>

class QObject;
class TGBasePanel;
class TGGraphicControl;

namespace testsupport {

// Paints the object at its size onto a background, clipped to its bounds, as
// the panel does (the panel's painter is translated to the object).
QImage RenderObject(TGGraphicControl &object, QColor background = Qt::white);

// The smallest rectangle holding every pixel the predicate accepts; null
// when there is none.
QRect InkBox(const QImage &image, const std::function<bool(QRgb)> &isInk);
int InkCount(const QImage &image, const std::function<bool(QRgb)> &isInk);
// Pixels darker than mid grey.
bool IsDark(QRgb pixel);

// The page the object prints on when its card cell starts at (originX,
// originY) inches: recorded at dpi and played back in device pixels.
QImage PrintObject(TGGraphicControl &object, double originX, double originY, int dpi);

// A sample card file of tests/data/cards.
QByteArray ReadSampleCard(const QString &fileName);
// The objects of a stream, read with the given owner and panel (may be null).
QList<TGGraphicControl *> ReadObjects(const QByteArray &stream, QObject *owner, TGBasePanel *panel);
QByteArray WriteObjects(const QList<TGGraphicControl *> &objects);

// Replaces the program's property dialogs until the end of the scope.
class ScopedEditors
{
public:
    ScopedEditors();
    ~ScopedEditors();
    editors::TObjectEditors &operator*() { return editors::ObjectEditors(); }
    editors::TObjectEditors *operator->() { return &editors::ObjectEditors(); }

private:
    editors::TObjectEditors FSaved;
};

} // namespace testsupport
