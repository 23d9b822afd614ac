// Shared set-up for the tests: a private program folder, a fixed screen
// resolution, a clock the test moves by hand, and helpers to drive a card
// panel the way a user does.
#pragma once

#include "TestTopics.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QTemporaryDir>
#include <QtTest>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class TGBusinessCardPanel32;
class TGGraphicControl;

namespace testsupport {

// Points QUORVEL_HOME at a fresh temporary folder, pins 96 pixels per inch and
// installs the hand-moved clock. Call from initTestCase().
void InitEnvironment();
QString ProgramFolder();

// The test data folder (tests/data) and, in its cards folder, the sample cards
// written by another implementation of the card file format.
QString TestDataFolder();
QString SampleCardsFolder();

// The clock card objects and the panel read; starts at 100000 ms.
void SetClock(int64_t ms);
void AdvanceClock(int64_t ms);
int64_t Clock();

// A shown panel of 343 x 191 pixels (a business card at 96 pixels per inch),
// with outline, in a top-level window.
std::unique_ptr<TGBusinessCardPanel32> MakePanel(int width = 343, int height = 191);

// Runs posted events and pending deletions.
void Flush();

// Creates a frame shape the way the rectangle tool does, with the given bounds.
TGGraphicControl *AddShape(TGBusinessCardPanel32 &panel, int left, int top, int width, int height);

// Drags with the left button from a to b on the widget under a, as a user does
// (press, moves, release), with the clock moving between the steps.
void Drag(QWidget *panel, QPoint from, QPoint to, Qt::KeyboardModifiers mods = {}, int msPerStep = 50);

// Answers every message box with OK and keeps its text in `into`, until the
// message box is handed back with platform::SetMessageBoxForTests({}).
void CollectMessageTexts(QStringList &into);

// Shows the dialog and waits until it is the active window; `what` names it
// in the warning when it does not become active.
void ShowActive(QWidget *dialog, const char *what);

// Runs `action` on the modal dialog once it is up.
void WhenModal(std::function<void(QWidget *)> action);

// The bounds each object has in a card file's bytes, in file order, as its
// text form shows them (reading objects back would let labels fit
// themselves again).
QList<QRect> BoundsInCardFile(const QByteArray &bytes);

// A file system of a few kilobytes (tmpfs) mounted for one test and
// unmounted when it goes. Mounting needs root: where it is not allowed,
// Mounted() is false and Why() says so (the test skips).
class TTinyDisk
{
public:
    TTinyDisk();
    ~TTinyDisk();
    TTinyDisk(const TTinyDisk &) = delete;
    TTinyDisk &operator=(const TTinyDisk &) = delete;

    bool Mounted() const { return FMounted; }
    QString Why() const { return FWhy; }
    QString File(const QString &name) const { return FDir.filePath(name); }
    // Writes a file of filler until no byte is left.
    void Fill();

private:
    QTemporaryDir FDir;
    bool FMounted = false;
    QString FWhy;
};

} // namespace testsupport
