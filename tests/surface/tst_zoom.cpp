// Zooming shows the card larger and never moves what the user did not touch:
// the card file written after any number of zoom steps, saves and prints is
// the one written before, and a move made at a zoom lands in the file at its
// full length.
#include "TestSupport.h"

#include "surface/BusinessCardPanel.h"
#include "surface/CardObject.h"
#include "surface/ClassRegistry.h"
#include "surface/ComponentText.h"
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

// The bounds each object has in a card file, in file order, as its text form
// shows them (reading objects back would let labels fit themselves again).
QList<QRect> BoundsInFile(const QByteArray &bytes)
{
    QList<QRect> bounds;
    QRect r;
    for (const QByteArray &line : ComponentStreamToText(bytes).split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() != 3 || parts[1] != "=")
            continue;
        const int v = parts[2].toInt();
        if (parts[0] == "Left")
            r.moveLeft(v);
        else if (parts[0] == "Top")
            r.moveTop(v);
        else if (parts[0] == "Width")
            r.setWidth(v);
        else if (parts[0] == "Height") {
            r.setHeight(v);
            bounds.append(r);
        }
    }
    return bounds;
}

const float kZoomSteps[] = {1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f};

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
        const QList<QRect> atOne = BoundsInFile(SavedBytes(*source));

        auto panel = MakePanel();
        panel->SetZoom(1.5f);
        panel->LoadFromFile(file);
        QCOMPARE(panel->ZoomFactor(), 1.5);
        // The frame at 7,7 and 323 wide shows at 1.5 times that.
        QCOMPARE(panel->Objects().first()->BoundsRect(), QRect(10, 10, 484, 256));
        QCOMPARE(BoundsInFile(SavedBytes(*panel)), atOne);
    }

    void arrowNudgesAtAZoomMoveByTheirLengthInTheFile()
    {
        auto panel = PanelWithEveryKind();
        const QList<QRect> before = BoundsInFile(SavedBytes(*panel));
        panel->SetZoom(1.5f);
        TGGraphicControl *label = panel->Objects()[3];
        panel->Handle()->Select(label);
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(panel->Handle(), Qt::Key_Right);
            Flush();
        }
        const QList<QRect> after = BoundsInFile(SavedBytes(*panel));
        // Six screen pixels at 150 % are four card pixels.
        QCOMPARE(after[3], before[3].translated(4, 0));
        for (int i = 0; i < before.size(); ++i)
            if (i != 3)
                QCOMPARE(after[i], before[i]);
    }

    void draggingOneObjectAtAZoomLeavesTheOthersInPlace()
    {
        auto panel = PanelWithEveryKind();
        const QList<QRect> before = BoundsInFile(SavedBytes(*panel));
        panel->SetZoom(1.5f);
        TGGraphicControl *symbol = panel->Objects()[5];
        panel->Handle()->Select(symbol);
        Flush();
        const QPoint grab = symbol->BoundsRect().center();
        Drag(panel.get(), grab, grab + QPoint(-30, 15));
        const QList<QRect> after = BoundsInFile(SavedBytes(*panel));
        QCOMPARE(after[5], before[5].translated(-20, 10));
        for (int i = 0; i < before.size(); ++i)
            if (i != 5)
                QCOMPARE(after[i], before[i]);
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
