// Zooming shows the card larger and never moves what the user did not touch:
// the card file written after any number of zoom steps, saves and prints is
// the one written before, and a move made at a zoom lands in the file at its
// full length.
#include "TestSupport.h"

#include "platform/Rounding.h"
#include "surface/BusinessCardPanel.h"
#include "surface/CardObject.h"
#include "surface/ClassRegistry.h"
#include "surface/SelectionHandle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

// Every kind of card object at bounds that no zoom factor divides evenly.
struct Placed {
    const char *className;
    QRect bounds;
};
const Placed kEveryKind[] = {
    {"TBCShapes", {7, 7, 323, 171}},
    {"TGLabelShapes", {13, 29, 101, 31}},
    {"TGLineShape", {21, 150, 211, 15}},
    {"TGPLabel", {33, 135, 142, 33}},
    {"TGBusinessCardLabel", {151, 61, 143, 27}},
    {"TGSymbolLabel", {251, 101, 41, 43}},
    {"TGMultiLineLabel", {17, 91, 190, 33}},
};

std::unique_ptr<TGBusinessCardPanel32> PanelWithEveryKind()
{
    auto panel = MakePanel();
    for (const Placed &p : kEveryKind) {
        TGGraphicControl *object = CreateCardObject(p.className, panel.get());
        object->Loaded();
        const QRect &b = p.bounds;
        panel->AddNewObject(object, {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()});
    }
    Flush();
    return panel;
}

QByteArray SavedBytes(TGBasePanel &panel)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("card.qrv");
    panel.SaveToFile(file);
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const float kZoomSteps[] = {1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f};

// Frame shapes and lines at the given bounds (at 100 %), set after creation
// so that lines one pixel thin keep that size.
std::unique_ptr<TGBusinessCardPanel32> PanelWith(const QList<Placed> &objects)
{
    auto panel = MakePanel();
    for (const Placed &p : objects) {
        TGGraphicControl *object = CreateCardObject(p.className, panel.get());
        object->Loaded();
        panel->AddNewObject(object, {0, 0, 50, 50});
        const QRect &b = p.bounds;
        object->SetBounds(b.left(), b.top(), b.width(), b.height());
    }
    Flush();
    return panel;
}

// The zooms below and far above 100 % at which rounding to screen pixels
// shows most: half, a factor that divides nothing evenly, and four times.
void AddSmallAndLargeZooms()
{
    QTest::addColumn<float>("zoom");
    QTest::newRow("50%") << 0.5f;
    QTest::newRow("70%") << 0.7f;
    QTest::newRow("400%") << 4.0f;
}

// Where a length of the card shows at a zoom (round half to even, as zooming does).
int ToScreen(int cardPixels, float zoom) { return platform::Round(cardPixels * double(zoom)); }

} // namespace

class TestZoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    void savingAtAnyZoomWritesTheCardAsAt100_data()
    {
        QTest::addColumn<float>("zoom");
        for (const float z : kZoomSteps)
            QTest::newRow(qPrintable(QString::number(int(z * 100 + 0.5f)) + "%")) << z;
    }
    void savingAtAnyZoomWritesTheCardAsAt100()
    {
        QFETCH(float, zoom);
        auto panel = PanelWithEveryKind();
        const QByteArray atOne = SavedBytes(*panel);
        panel->SetZoom(zoom);
        QCOMPARE(SavedBytes(*panel), atOne);
        // Saving again, after rounds of every other zoom step on the way and back.
        for (int round = 0; round < 3; ++round)
            for (const float z : kZoomSteps) {
                panel->SetZoom(z);
                QCOMPARE(SavedBytes(*panel), atOne);
            }
        panel->SetZoom(zoom);
        QCOMPARE(SavedBytes(*panel), atOne);
        panel->SetZoom(1.0f);
        QCOMPARE(SavedBytes(*panel), atOne);
    }

    // Zooming in and out is looking, not editing: no card, whatever it holds,
    // is marked changed by it or saved any differently.
    void zoomingMarksNoCardChanged_data()
    {
        QTest::addColumn<QString>("card");
        const QDir folder(TestDataFolder() + QStringLiteral("/cards"));
        for (const QString &name : folder.entryList({QStringLiteral("*.qrv")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << folder.filePath(name);
    }
    void zoomingMarksNoCardChanged()
    {
        QFETCH(QString, card);
        auto panel = MakePanel();
        panel->LoadFromFile(card);
        Flush();
        const QByteArray atOne = SavedBytes(*panel);
        QStringList changedBy;
        connect(panel.get(), &TGBasePanel::LabelChangedEvent, this, [&changedBy](QObject *sender) {
            changedBy << (sender ? QString::fromLatin1(sender->metaObject()->className()) : QString());
        });
        for (const float z : kZoomSteps) {
            panel->SetZoom(z);
            panel->grab();
            Flush();
        }
        panel->SetZoom(1.0f);
        panel->grab();
        Flush();
        QCOMPARE(changedBy, QStringList());
        QCOMPARE(SavedBytes(*panel), atOne);
    }

    void openingAtAZoomShowsTheCardAtThatZoom()
    {
        auto source = PanelWithEveryKind();
        QTemporaryDir dir;
        const QString file = dir.filePath("card.qrv");
        source->SaveToFile(file);
        const QList<QRect> atOne = BoundsInCardFile(SavedBytes(*source));

        auto panel = MakePanel();
        panel->SetZoom(1.5f);
        panel->LoadFromFile(file);
        QCOMPARE(panel->ZoomFactor(), 1.5);
        // The frame at 7,7 and 323 wide shows at 1.5 times that.
        QCOMPARE(panel->Objects().first()->BoundsRect(), QRect(10, 10, 484, 256));
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), atOne);
    }

    // Saving cleans off what lies beyond the card or has no size, judged on
    // the card at 100 %: at 50 % a one-pixel line shows 0 pixels high and a
    // strip along the bottom edge lies nearer the edge on the screen.
    void savingAtAZoomKeepsWhatLiesOnTheCard_data() { AddSmallAndLargeZooms(); }
    void savingAtAZoomKeepsWhatLiesOnTheCard()
    {
        QFETCH(float, zoom);
        const QList<Placed> onCard = {
            {"TBCShapes", {7, 7, 323, 171}},
            {"TGLineShape", {21, 150, 211, 1}},  // one pixel high
            {"TGLineShape", {171, 20, 1, 121}},  // one pixel wide
            {"TBCShapes", {40, 181, 101, 10}},   // top 10 pixels above the bottom edge
            {"TBCShapes", {333, 40, 10, 31}},    // left 10 pixels before the right edge
            {"TGLabelShapes", {-5, -3, 31, 17}}, // partly off the top-left corner
        };
        const Placed offCard = {"TBCShapes", {60, 182, 101, 9}}; // top 9 pixels above the bottom edge
        auto panel = PanelWith(QList<Placed>(onCard) << offCard);
        QList<QRect> expected;
        for (const Placed &p : onCard)
            expected << p.bounds;

        panel->SetZoom(zoom);
        panel->RemoveObjectsOffCard(); // as Save does before it writes
        Flush();
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), expected);
        QCOMPARE(panel->ZoomFactor(), zoom);
    }

    // A clone or a paste copies the object as the card holds it, whatever
    // the zoom it was copied and pasted at: clones lie 25 card pixels lower,
    // pastes 15 card pixels lower and further right.
    void cloneAndPasteKeepTheCardSize_data()
    {
        QTest::addColumn<bool>("clone");
        QTest::addColumn<float>("copyZoom");
        QTest::addColumn<float>("pasteZoom");
        QTest::newRow("clone at 50%") << true << 0.5f << 0.5f;
        QTest::newRow("clone at 70%") << true << 0.7f << 0.7f;
        QTest::newRow("clone at 400%") << true << 4.0f << 4.0f;
        QTest::newRow("copy and paste at 50%") << false << 0.5f << 0.5f;
        QTest::newRow("copy and paste at 70%") << false << 0.7f << 0.7f;
        QTest::newRow("copy at 50%, paste at 100%") << false << 0.5f << 1.0f;
        QTest::newRow("copy at 400%, paste at 70%") << false << 4.0f << 0.7f;
        QTest::newRow("copy at 100%, paste at 400%") << false << 1.0f << 4.0f;
    }
    void cloneAndPasteKeepTheCardSize()
    {
        QFETCH(bool, clone);
        QFETCH(float, copyZoom);
        QFETCH(float, pasteZoom);
        const QRect source(101, 51, 101, 31);
        auto panel = PanelWith({{"TBCShapes", {7, 7, 323, 171}}, {"TGLabelShapes", source}});
        panel->SetZoom(copyZoom);
        TGGraphicControl *original = panel->Objects()[1];
        panel->Handle()->Select(original);
        if (clone) {
            original->Clone();
        } else {
            panel->SelectionClipboardCommand(TGBasePanel::ccCopy);
            panel->SetZoom(pasteZoom);
            AdvanceClock(2000);
            panel->SelectionClipboardCommand(TGBasePanel::ccPaste);
        }
        Flush();
        const QRect copy = clone ? source.translated(0, 25) : source.translated(15, 15);
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), (QList<QRect>{{7, 7, 323, 171}, source, copy}));
        // And shown at the zoom from those bounds, as a card opened at it would be.
        const float zoom = panel->ZoomFactor();
        QCOMPARE(panel->Objects()[2]->BoundsRect(),
                 QRect(ToScreen(copy.left(), zoom), ToScreen(copy.top(), zoom), ToScreen(copy.width(), zoom),
                       ToScreen(copy.height(), zoom)));
    }

    // Aligned edges meet on the card, not only on the screen, where at 50 %
    // lefts of 100 and 101 both show as 50.
    void alignAtAZoomAlignsTheCard_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("edge");
        const std::pair<const char *, TGBasePanel::AlignEdge> edges[] = {{"left", TGBasePanel::AlignEdge::Left},
                                                                         {"right", TGBasePanel::AlignEdge::Right},
                                                                         {"top", TGBasePanel::AlignEdge::Top},
                                                                         {"bottom", TGBasePanel::AlignEdge::Bottom}};
        for (const float zoom : {0.5f, 0.7f, 4.0f})
            for (const auto &[name, edge] : edges)
                QTest::newRow(qPrintable(QString::number(qRound(zoom * 100)) + "% " + name)) << zoom << int(edge);
    }
    void alignAtAZoomAlignsTheCard()
    {
        QFETCH(float, zoom);
        QFETCH(int, edge);
        const QList<QRect> before = {{100, 50, 51, 21}, {101, 81, 52, 20}, {103, 113, 50, 23}};
        auto panel = PanelWith({{"TBCShapes", before[0]}, {"TBCShapes", before[1]}, {"TBCShapes", before[2]}});
        panel->SetZoom(zoom);
        for (TGGraphicControl *o : panel->Objects())
            panel->Handle()->Select(o);
        panel->AlignSelection(TGBasePanel::AlignEdge(edge));
        Flush();
        QList<QRect> expected = before;
        for (QRect &r : expected)
            switch (TGBasePanel::AlignEdge(edge)) {
            case TGBasePanel::AlignEdge::Left: r.moveLeft(100); break;
            case TGBasePanel::AlignEdge::Right: r.moveRight(152); break; // right edge 153, exclusive
            case TGBasePanel::AlignEdge::Top: r.moveTop(50); break;
            case TGBasePanel::AlignEdge::Bottom: r.moveBottom(135); break; // bottom edge 136, exclusive
            }
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), expected);
    }

    // A selection dragged at a zoom moves every object by the same distance
    // on the card, the pointer's travel at that zoom; arrow keys then move it
    // by one card pixel each.
    void groupMovedAtAZoomMovesAlike_data()
    {
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QPoint>("drag");
        QTest::addColumn<QPoint>("onCard");
        QTest::newRow("50%") << 0.5f << QPoint(5, 3) << QPoint(10, 6);
        QTest::newRow("70%") << 0.7f << QPoint(7, -3) << QPoint(10, -4);
        QTest::newRow("400%") << 4.0f << QPoint(-40, 12) << QPoint(-10, 3);
    }
    void groupMovedAtAZoomMovesAlike()
    {
        QFETCH(float, zoom);
        QFETCH(QPoint, drag);
        QFETCH(QPoint, onCard);
        const QList<QRect> before = {{13, 29, 101, 31}, {151, 61, 43, 27}, {47, 117, 61, 35}, {251, 101, 41, 43}};
        QList<Placed> placed;
        for (const QRect &r : before)
            placed.append({"TBCShapes", r});
        auto panel = PanelWith(placed);
        panel->SetZoom(zoom);
        for (int i = 0; i < 3; ++i) // the fourth stays where it is
            panel->Handle()->Select(panel->Objects()[i]);
        Flush();
        const QPoint grab = panel->Objects()[0]->BoundsRect().center();
        Drag(panel.get(), grab, grab + drag);
        QList<QRect> expected = before;
        for (int i = 0; i < 3; ++i)
            expected[i].translate(onCard);
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), expected);

        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Up}) {
            QTest::keyClick(panel->Handle(), key);
            Flush();
        }
        for (int i = 0; i < 3; ++i)
            expected[i].translate(3, -1);
        QCOMPARE(BoundsInCardFile(SavedBytes(*panel)), expected);
    }

    // Snapping puts objects on the grid of the card, which the panel shows
    // at the zoom: the object's top-left corner lands on a grid dot.
    void snapAtAZoomLandsOnTheCardGrid_data() { AddSmallAndLargeZooms(); }
    void snapAtAZoomLandsOnTheCardGrid()
    {
        QFETCH(float, zoom);
        auto panel = PanelWith({{"TBCShapes", {61, 45, 101, 31}}});
        panel->SetSnapToGrid(true);
        panel->SetZoom(zoom);
        TGGraphicControl *shape = panel->Objects()[0];
        panel->Handle()->Select(shape);
        Flush();
        const QPoint grab = shape->BoundsRect().center();
        const QPoint travel(ToScreen(23, zoom), ToScreen(-11, zoom));
        Drag(panel.get(), grab, grab + travel);
        const QRect saved = BoundsInCardFile(SavedBytes(*panel)).first();
        QCOMPARE(saved.left() % 4, 2);
        QCOMPARE(saved.top() % 4, 2);
        // At most one grid step back from where the pointer's travel took it.
        const QPoint dropped = QPoint(61, 45) + QPoint(platform::Round(travel.x() / double(zoom)),
                                                       platform::Round(travel.y() / double(zoom)));
        QVERIFY2(dropped.x() - saved.left() >= 0 && dropped.x() - saved.left() < 4 && dropped.y() - saved.top() >= 0
                     && dropped.y() - saved.top() < 4,
                 qPrintable(QStringLiteral("dropped at %1, %2, snapped to %3, %4")
                                .arg(dropped.x()).arg(dropped.y()).arg(saved.left()).arg(saved.top())));
        QCOMPARE(saved.size(), QSize(101, 31));

        // The dot one grid step to the left of the corner, on the corner's row.
        panel->Handle()->ClearSelection();
        panel->SetShowGrid(true);
        const QImage shown = panel->Grab();
        const QPoint dot(ToScreen(saved.left() - 4, zoom), ToScreen(saved.top(), zoom));
        QCOMPARE(shown.pixel(dot), qRgb(0, 128, 0));
    }

    void arrowNudgesAtAZoomMoveByTheirLengthInTheFile()
    {
        auto panel = PanelWithEveryKind();
        const QList<QRect> before = BoundsInCardFile(SavedBytes(*panel));
        panel->SetZoom(1.5f);
        TGGraphicControl *label = panel->Objects()[3];
        panel->Handle()->Select(label);
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(panel->Handle(), Qt::Key_Right);
            Flush();
        }
        const QList<QRect> after = BoundsInCardFile(SavedBytes(*panel));
        // Each arrow key moves one pixel of the card, at any zoom.
        QCOMPARE(after[3], before[3].translated(6, 0));
        for (int i = 0; i < before.size(); ++i)
            if (i != 3)
                QCOMPARE(after[i], before[i]);
    }

    void draggingOneObjectAtAZoomLeavesTheOthersInPlace()
    {
        auto panel = PanelWithEveryKind();
        const QList<QRect> before = BoundsInCardFile(SavedBytes(*panel));
        panel->SetZoom(1.5f);
        TGGraphicControl *symbol = panel->Objects()[5];
        panel->Handle()->Select(symbol);
        Flush();
        const QPoint grab = symbol->BoundsRect().center();
        Drag(panel.get(), grab, grab + QPoint(-30, 15));
        const QList<QRect> after = BoundsInCardFile(SavedBytes(*panel));
        QCOMPARE(after[5], before[5].translated(-20, 10));
        for (int i = 0; i < before.size(); ++i)
            if (i != 5)
                QCOMPARE(after[i], before[i]);
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
