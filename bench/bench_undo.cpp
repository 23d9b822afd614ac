// The undo history on a card with a 3000 x 2000 photo (an 18 MB bitmap record)
// and 200 labels, shapes and lines, worked in the main window:
//  - a mouse release on the card that changes nothing,
//  - one move step of a small object, and of the photo (recorded, then undone
//    and redone),
//  - 200 steps of small moves: how many the history keeps, the memory it
//    counts and the process's resident memory.
// Prints the best of several runs; figures, not limits.
#include "app/MainWindow.h"
#include "objects/BusinessCardLabel.h"
#include "objects/BusinessCardShape.h"
#include "objects/ImageObject.h"
#include "objects/LineShape.h"
#include "surface/CardObject.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kObjects = 200;
constexpr int kRuns = 7;
constexpr int kMoveSteps = 200;

TGGraphicControl *AddPhoto(TGBusinessCardPanel32 &panel)
{
    QImage photo(3000, 2000, QImage::Format_RGB32);
    QPainter p(&photo);
    QLinearGradient g(0, 0, 3000, 2000);
    g.setColorAt(0, Qt::darkBlue);
    g.setColorAt(1, Qt::yellow);
    p.fillRect(photo.rect(), g);
    p.end();
    auto *image = new TGImage(&panel);
    image->Picture()->SetBitmap(TBitmap::FromImage(photo));
    image->Loaded();
    panel.AddNewObject(image, {0, 0, 0, 0});
    image->SetBounds(0, 0, 150, 100);
    return image;
}

void AddSmallObjects(TGBusinessCardPanel32 &panel)
{
    QRandomGenerator rng(11);
    for (int i = 0; i < kObjects; ++i) {
        TGGraphicControl *object;
        if (i % 3 == 0) {
            auto *line = new TGLineShape(&panel);
            line->Pen()->SetWidth(1 + i % 4);
            object = line;
        } else if (i % 3 == 1) {
            auto *shape = new TBCShapes(&panel);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->Brush()->SetColor(int32_t(rng.bounded(0xFFFFFF)));
            object = shape;
        } else {
            auto *label = new TGBusinessCardLabel(&panel);
            label->SetCaption(QStringLiteral("Label number %1").arg(i));
            object = label;
        }
        object->Loaded();
        panel.AddNewObject(object, {int(rng.bounded(280)), int(rng.bounded(150)), 0, 0});
        object->SetBounds(object->Left(), object->Top(), 10 + int(rng.bounded(60)), 10 + int(rng.bounded(30)));
    }
}

double Ms(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double ResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double Mb(qsizetype bytes) { return bytes / (1024.0 * 1024.0); }

// A click on the card that selects what it hits and changes nothing: the
// release with what the program does for it before the next event.
double QuietRelease(TMainScreen &w, QPoint at)
{
    TGBusinessCardPanel32 *panel = w.BusinessCardPanel();
    const QPointF global = panel->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(panel, &press);
    QCoreApplication::processEvents();
    return Ms([&] {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton, Qt::NoButton, {});
        QApplication::sendEvent(panel, &release);
        QCoreApplication::processEvents();
    });
}

void MeasureStep(TMainScreen &w, int index, const char *what)
{
    double record = 1e300, undo = 1e300, redo = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        // Undo and redo may read the object anew: it is found by its place.
        TGGraphicControl *o = w.BusinessCardPanel()->Objects()[index];
        record = std::min(record, Ms([&] {
            o->SetBounds(o->Left() + 1, o->Top(), o->Width(), o->Height());
            w.SettleStep();
        }));
        undo = std::min(undo, Ms([&] { w.UndoClick(); }));
        redo = std::min(redo, Ms([&] { w.RedoClick(); }));
        // Objects freed by undo go as the event loop would free them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("  move step of %s: record %7.2f ms, undo %7.2f ms, redo %7.2f ms\n", what, record, undo, redo);
}

void Measure(TMainScreen &w, const char *zoom)
{
    TGBusinessCardPanel32 *panel = w.BusinessCardPanel();
    std::printf(" at %s:\n", zoom);
    double release = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        const TGGraphicControl *o = panel->Objects()[1 + run * 13];
        release = std::min(release, QuietRelease(w, o->BoundsRect().center()));
    }
    double settle = 1e300;
    for (int run = 0; run < kRuns; ++run)
        settle = std::min(settle, Ms([&] { w.SettleStep(); }));
    std::printf("  release that changes nothing: %7.2f ms with its repaint; the step's check alone %7.3f ms\n",
                release, settle);
    MeasureStep(w, 5, "a small shape");
    MeasureStep(w, 0, "the photo");
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("QUORVEL_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);

    TMainScreen w;
    w.FormActivate();
    TGBusinessCardPanel32 *panel = w.BusinessCardPanel();
    AddPhoto(*panel);
    AddSmallObjects(*panel);
    w.SettleStep();
    QCoreApplication::processEvents();
    std::printf("undo on a card of a 3000 x 2000 photo and %d objects (%.1f MB), best of %d:\n", kObjects,
                Mb(panel->SaveToBytes().size()), kRuns);
    std::printf(" resident memory with the card open: %.0f MB\n", ResidentMb());
    const int before = w.History().UndoCount();
    double slowest = 0;
    double peak = ResidentMb();
    for (int i = 0; i < kMoveSteps; ++i) {
        TGGraphicControl *o = panel->Objects()[1 + i % kObjects];
        slowest = std::max(slowest, Ms([&] {
            o->SetBounds(o->Left() + 1, o->Top(), o->Width(), o->Height());
            w.SettleStep();
        }));
        peak = std::max(peak, ResidentMb());
    }
    std::printf(" %d steps of small moves: history holds %d steps (%d before), counts %.1f MB; "
                "slowest step %.2f ms; resident memory %.0f MB (peak %.0f MB)\n",
                kMoveSteps, w.History().UndoCount(), before, Mb(w.History().MemoryUsed()), slowest, ResidentMb(),
                peak);
    Measure(w, "100%");
    for (int i = 0; i < 5; ++i)
        w.ZoomIn();
    Measure(w, "150%");

    w.SetChangesMade(false);
    return 0;
}
