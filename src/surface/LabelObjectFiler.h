// Frames a list of card objects in the component stream and drives the stream
// writer or reader over a file or memory stream: the card file, the clipboard
// file and the in-memory copy made by Clone share this one format.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct TCardBack;

class QObject;
class TGGraphicControl;
class TGBasePanel;
class TGHandle;

class TGLabelObjectFiler
{
public:
    // Writes every object of the panel, bottom of the z-order first. The file is
    // replaced only when complete.
    void WritePanel(TGBasePanel *panel, const QString &fileName);
    // Reads the objects of a card file into the panel; nothing when the file is missing.
    void ReadIntoPanel(QObject *owner, TGBasePanel *panel, const QString &fileName);
    // Reads a card file completely into objects of no panel, owned by owner,
    // bounds at zoom 1.0; raises the reader's error when the file could not
    // be opened as a card (what was read by then is left to owner to free).
    // With back given, the card's back is read too (empty when it has none).
    QList<TGGraphicControl *> ReadCardFile(QObject *owner, const QString &fileName, TCardBack *back = nullptr);
    // Writes a whole card file: the front's list of objects and, when the
    // back is not empty, the back after it. Replaced only when complete.
    void WriteCardFile(const QString &fileName, const QByteArray &frontObjects, const TCardBack &back);
    // Writes the selected objects in selection order; nothing when none is selected.
    void WriteSelection(TGHandle *handle, const QString &fileName);
    void WriteObject(TGGraphicControl *object, const QString &fileName);
    // Like ReadIntoPanel, each object read moved 15 pixels down and right.
    void PasteIntoPanel(QObject *owner, TGBasePanel *panel, const QString &fileName);
    // Writes the object to memory and reads it back as a new object.
    TGGraphicControl *Duplicate(TGGraphicControl *object, QObject *owner, TGBasePanel *parent);

private:
    bool FPasting = false;
};
