// Card files as the user meets them: sample cards from elsewhere read, dump and
// survive a save; saving is atomic; copy, paste and clone go through the same
// format; damaged files give a message, never a crash.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "printing/SheetPrinting.h"
#include "surface/ClassRegistry.h"
#include "surface/ComponentStream.h"
#include "surface/ComponentText.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"
#include "surface/LabelObjectFiler.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>

using namespace testsupport;

// A class whose second property the card file cannot hold: writing it fails
// half-way through the file.
class TUnwritableObject : public TGGraphicControl
{
    Q_OBJECT
    Q_PROPERTY(QRect Area READ Area WRITE SetArea)

public:
    Q_INVOKABLE explicit TUnwritableObject(QObject *owner = nullptr) : TGGraphicControl(owner) {}
    QRect Area() const { return {}; }
    void SetArea(const QRect &) {}
};

// A device that refuses every write.
class TFullDevice : public QIODevice
{
public:
    TFullDevice() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64) override { return -1; }
};

namespace {

QString CardsFolder() { return testsupport::TestDataFolder() + QStringLiteral("/cards/"); }
QString RegressionsFolder() { return testsupport::TestDataFolder() + QStringLiteral("/fuzz-regressions/"); }

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// "object Special1: TBCShapes" lines of a text form: names and classes in order.
QList<QPair<QString, QByteArray>> ObjectsInText(const QByteArray &text)
{
    QList<QPair<QString, QByteArray>> objects;
    static const QRegularExpression line(QStringLiteral("^object (\\w+): (\\w+)$"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(QString::fromLatin1(text)); it.hasNext();) {
        const auto m = it.next();
        objects.append({m.captured(1), m.captured(2).toLatin1()});
    }
    return objects;
}

// The quorvel program beside the test programs in the build folder.
QString ProgramPath() { return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/quorvel"); }

} // namespace

class TestCardFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
        RegisterCardClass<TUnwritableObject>();
    }

    // ---- sample cards written elsewhere ----

    void sampleCards_data()
    {
        QTest::addColumn<QString>("card");
        for (const QString &name : QDir(CardsFolder()).entryList({QStringLiteral("*.qrv")}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << name.chopped(4);
    }

    void sampleCardDumpsAsItsText_data() { sampleCards_data(); }
    void sampleCardDumpsAsItsText()
    {
        QFETCH(QString, card);
        const QByteArray text = ComponentStreamToText(ReadFile(CardsFolder() + card + QStringLiteral(".qrv")));
        QCOMPARE(text, ReadFile(CardsFolder() + card + QStringLiteral(".txt")));
    }

    // Cards of known classes read; frame shapes and lines are written back byte
    // for byte (with the file's names restored), and every card is unchanged
    // by a second save and open. A class not yet in the program is reported.
    void sampleCardReadsAndSaves_data() { sampleCards_data(); }
    void sampleCardReadsAndSaves()
    {
        QFETCH(QString, card);
        const QString path = CardsFolder() + card + QStringLiteral(".qrv");
        const QByteArray bytes = ReadFile(path);
        const auto objects = ObjectsInText(ReadFile(CardsFolder() + card + QStringLiteral(".txt")));
        QVERIFY(!objects.isEmpty());
        auto panel = MakePanel();
        // Every class a card can hold is registered: one that is not would
        // leave the card unreadable.
        for (const auto &[name, className] : objects)
            QVERIFY2(FindCardClass(className), className.constData());
        TGLabelObjectFiler().ReadIntoPanel(panel.get(), panel.get(), path);
        QCOMPARE(panel->ObjectCount(), objects.size());
        for (int i = 0; i < objects.size(); ++i) {
            TGGraphicControl *object = panel->Objects().at(i);
            QCOMPARE(object->objectName(), QStringLiteral("Component%1").arg(i));
            QCOMPARE(QByteArray(object->metaObject()->className()), objects[i].second);
            QVERIFY(object->ContextMenu());
            object->setObjectName(objects[i].first);
        }
        const QString saved = ProgramFolder() + card + QStringLiteral(".qrv");
        panel->SaveToFile(saved);
        // Labels fit themselves to the fonts of this machine when read; frame
        // shapes, lines and the decorative objects keep every byte.
        if (card == QLatin1String("shapes") || card == QLatin1String("lines") || card == QLatin1String("decor"))
            QCOMPARE(ReadFile(saved), bytes);

        auto reopened = MakePanel();
        reopened->LoadFromFile(saved);
        QCOMPARE(reopened->ObjectCount(), objects.size());
        for (int i = 0; i < objects.size(); ++i)
            reopened->Objects().at(i)->setObjectName(objects[i].first);
        QCOMPARE(TComponentWriter::ObjectListToBytes(reopened->Objects()), ReadFile(saved));
    }

    void sampleShapesKeepTheirValues()
    {
        auto panel = MakePanel();
        panel->LoadFromFile(CardsFolder() + QStringLiteral("shapes.qrv"));
        QCOMPARE(panel->ObjectCount(), 4);
        auto *first = qobject_cast<TBCShapes *>(panel->Objects().at(0));
        QVERIFY(first);
        QCOMPARE(first->BoundsRect(), QRect(10, 10, 100, 40));
        QCOMPARE(int(first->Brush()->Color()), 12648430);
        QCOMPARE(first->Brush()->Style(), Vcl::bsDiagCross);
        QCOMPARE(first->Pen()->Mode(), Vcl::pmXor);
        QCOMPARE(first->Pen()->Width(), 3);
        QCOMPARE(first->RoundPerc(), 40);
        QCOMPARE(first->Shape(), TGLabelShapes::stRoundRect);
        auto *second = qobject_cast<TGLabelShapes *>(panel->Objects().at(1));
        QVERIFY(second->Transparent());
        QCOMPARE(second->Brush()->Style(), Vcl::bsClear);
    }

    // ---- the --dump command ----

    // --dump reads a card as File > Open does: what the program cannot open
    // is not dumped, and the reader's message names the file (here "@").
    void dumpCommand_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        const auto str = [](const QByteArray &s) { return char(s.size()) + s; };
        const auto record = [&](const QByteArray &className, const QByteArray &entries) {
            return QByteArray("TPF0") + str(className) + str("Special1") + str("Left") + char(2) + char(10) + entries
                + char(0) + char(0);
        };
        const auto card = [](const QByteArray &records) { return char(1) + records + char(0); };
        QTest::newRow("lines") << ReadFile(CardsFolder() + QStringLiteral("lines.qrv")) << 0
                               << ReadFile(CardsFolder() + QStringLiteral("lines.txt")) << QByteArray();
        QTest::newRow("unknown classes") << ReadFile(CardsFolder() + QStringLiteral("multiline.qrv")) << 0
                                         << ReadFile(CardsFolder() + QStringLiteral("multiline.txt")) << QByteArray();
        QTest::newRow("a text file") << QByteArray("Name,Phone\nZo\xc3\xab,123\n") << 1 << QByteArray()
                                     << QByteArray("quorvel: unable to open @: not a card file\n");
        QTest::newRow("bad signature") << QByteArray("\x01TPF9", 5) << 1 << QByteArray()
                                       << QByteArray("quorvel: unable to open @: Invalid stream format\n");
        QTest::newRow("cut off") << ReadFile(CardsFolder() + QStringLiteral("shapes.qrv")).left(0x68) << 1 << QByteArray()
                                 << QByteArray("quorvel: unable to open @: Error reading Component0.Brush.Color: "
                                               "Stream read error\n");
        QTest::newRow("unknown enumeration name")
            << card(record("TBCShapes", str("Shape") + char(7) + str("stHexagon"))) << 1 << QByteArray()
            << QByteArray("quorvel: unable to open @: Error reading Component0.Shape: Invalid property value\n");
        QTest::newRow("string for a number")
            << card(record("TBCShapes", str("Top") + char(6) + str("10"))) << 1 << QByteArray()
            << QByteArray("quorvel: unable to open @: Error reading Component0.Top: Invalid property value\n");
        QTest::newRow("unknown class") << card(record("TGHologram", QByteArray())) << 1 << QByteArray()
                                       << QByteArray("quorvel: unable to open @: Class TGHologram not found\n");
        QTest::newRow("bad second record")
            << card(record("TBCShapes", QByteArray()) + record("TBCShapes", str("Colour") + char(2) + char(1))) << 1
            << QByteArray()
            << QByteArray("quorvel: unable to open @: Error reading Component1.Colour: Property does not exist\n");
    }
    void dumpCommand()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        if (!QFile::exists(ProgramPath()))
            QSKIP("the quorvel program is not built");
        const QString card = ProgramFolder() + QStringLiteral("dump.qrv");
        WriteFile(card, content);
        QProcess quorvel;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Without a desktop session too, --dump prints only its own output.
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        quorvel.setProcessEnvironment(environment);
        quorvel.start(ProgramPath(), {QStringLiteral("--dump"), card});
        QVERIFY(quorvel.waitForFinished(30000));
        QCOMPARE(quorvel.readAllStandardError(), err.replace('@', QFile::encodeName(card)));
        QCOMPARE(quorvel.readAllStandardOutput(), out);
        QCOMPARE(quorvel.exitCode(), status);
    }

    void dumpShowsEveryValueKind()
    {
        QByteArray entries;
        const auto str = [](const QByteArray &s) { return char(s.size()) + s; };
        entries += str("Ratio") + char(5) + QByteArray::fromHex("00D0CCCCCCCCCCCCFB3F");
        entries += str("Big") + char(5) + QByteArray::fromHex("00E0AC0340E421BFE343");
        entries += str("Tag") + QByteArray::fromHex("04A0860100");
        entries += str("Data") + char(10) + QByteArray::fromHex("22000000") + QByteArray(34, '\xAB');
        entries += str("Empty") + char(12) + QByteArray(4, '\0');
        entries += str("Owner") + char(13);
        entries += str("Items") + char(14) + char(1) + str("Width") + char(2) + char(9) + char(0) + char(2) + char(3) + char(1)
            + char(0) + char(0);
        entries += str("Nothing") + char(1) + char(0);
        const QByteArray stream = char(1) + QByteArray("TPF0") + char(0xF2) + char(2) + char(4) + str("TOther") + str("")
            + entries + char(0) + str("TChild") + str("Kid") + char(0) + char(0) + char(0) + char(0);
        const QByteArray expected = "object TOther [4]\n"
                                    "  Ratio = 0.1\n"
                                    "  Big = 1E300\n"
                                    "  Tag = 100000\n"
                                    "  Data = {\n"
                                    "    ABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABABAB\n"
                                    "    ABAB\n"
                                    "  }\n"
                                    "  Empty = ''\n"
                                    "  Owner = nil\n"
                                    "  Items = <\n"
                                    "    item\n"
                                    "      Width = 9\n"
                                    "    end\n"
                                    "    item [3]\n"
                                    "    end\n"
                                    "  >\n"
                                    "  Nothing = ()\n"
                                    "  object Kid: TChild\n"
                                    "  end\n"
                                    "end\n";
        QCOMPARE(ComponentStreamToText(stream), expected);
    }

    // ---- saving ----

    void savingReplacesTheFileOnlyWhenComplete()
    {
        auto panel = MakePanel();
        AddShape(*panel, 10, 10, 40, 20);
        const QString card = ProgramFolder() + QStringLiteral("atomic.qrv");
        panel->SaveToFile(card);
        const QByteArray before = ReadFile(card);

        auto *unwritable = new TUnwritableObject(panel.get());
        unwritable->SetPanel(panel.get());
        try {
            panel->SaveToFile(card);
            QFAIL("writing an unwritable property succeeded");
        } catch (const EStreamError &) {
        }
        QCOMPARE(ReadFile(card), before);
        QCOMPARE(QDir(ProgramFolder()).entryList({QStringLiteral("atomic.qrv*")}, QDir::Files | QDir::Hidden).size(), 1);
    }

    void writeFailuresHaveTheirMessages()
    {
        auto panel = MakePanel();
        AddShape(*panel, 10, 10, 40, 20);
        const QString card = ProgramFolder() + QStringLiteral("no/such/folder/card.qrv");
        try {
            panel->SaveToFile(card);
            QFAIL("a file in a missing folder was created");
        } catch (const EStreamError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot create file %1").arg(card));
        }
        TFullDevice full;
        try {
            TComponentWriter(&full).WriteObjectList(panel->Objects());
            QFAIL("a refused write went unnoticed");
        } catch (const EStreamError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Stream write error"));
        }
    }

    void missingFileReadsNothing()
    {
        auto panel = MakePanel();
        panel->LoadFromFile(ProgramFolder() + QStringLiteral("missing.qrv"));
        TGLabelObjectFiler().PasteIntoPanel(panel.get(), panel.get(), ProgramFolder() + QStringLiteral("missing.qrv"));
        QCOMPARE(panel->ObjectCount(), 0);
    }

    void panelSurvivesSaveAndLoad()
    {
        auto panel = MakePanel();
        panel->SetPanelState(psLine);
        Drag(panel.get(), {20, 20}, {22, 120});
        panel->SetPanelState(psEllipse);
        Drag(panel.get(), {60, 30}, {160, 90});
        QCOMPARE(panel->ObjectCount(), 2);
        panel->SetZoom(1.5f);
        const QString card = ProgramFolder() + QStringLiteral("saved.qrv");
        panel->SaveToFile(card);
        QCOMPARE(panel->ZoomFactor(), 1.5f);

        auto reopened = MakePanel();
        reopened->LoadFromFile(card);
        QCOMPARE(reopened->ObjectCount(), 2);
        QCOMPARE(reopened->Objects().at(1)->BoundsRect(), QRect(60, 30, 100, 60));
        for (int i = 0; i < 2; ++i) {
            reopened->Objects().at(i)->setObjectName(QStringLiteral("Shape%1").arg(i));
            panel->Objects().at(i)->setObjectName(QStringLiteral("Shape%1").arg(i));
        }
        panel->SetZoom(1.0f);
        QCOMPARE(TComponentWriter::ObjectListToBytes(reopened->Objects()),
                 TComponentWriter::ObjectListToBytes(panel->Objects()));
    }

    void loadedObjectsBuildTheirMenusWhenShown_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("Locked") << "Locked" << true;
        QTest::newRow("line thickness") << "Line Thickness/3 Point" << true;
        QTest::newRow("other thickness") << "Line Thickness/1 Point" << false;
        QTest::newRow("line style") << "Style/Angled Sloping Up" << true;
    }
    void loadedObjectsBuildTheirMenusWhenShown()
    {
        QFETCH(QString, entry);
        QFETCH(bool, ticked);
        const QString card = ProgramFolder() + QStringLiteral("menus.qrv");
        {
            auto panel = MakePanel();
            auto *line = new TGLineShape(panel.get());
            line->Loaded();
            panel->AddNewObject(line, {20, 20, 80, 40});
            line->SetLineStyle(TGLineShape::stAngleSlopingUp);
            line->Pen()->SetWidth(3);
            line->SetLocked(true);
            AddShape(*panel, 120, 20, 40, 40);
            panel->SaveToFile(card);
        }
        auto reopened = MakePanel();
        reopened->LoadFromFile(card);
        QCOMPARE(reopened->ObjectCount(), 2);
        // Reading builds no menu...
        for (const TGGraphicControl *o : reopened->Objects())
            QVERIFY(!o->ContextMenuBuilt());
        // ...showing one does, with the object's ticks.
        TGGraphicControl *line = reopened->Objects().first();
        line->PopupContextMenu(reopened->mapToGlobal(QPoint(50, 40)));
        QMenu *menu = line->ContextMenu();
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(line->MenuAction(entry)->isChecked(), ticked);
        menu->hide();
        QVERIFY(!reopened->Objects().last()->ContextMenuBuilt());
    }

    // ---- clipboard and clone ----

    void pasteTwiceLandsAtTheSameOffset()
    {
        auto panel = MakePanel();
        TGGraphicControl *shape = AddShape(*panel, 30, 40, 50, 20);
        const QString clipboard = ProgramFolder() + QStringLiteral("Clipbrd.tmp");
        TGLabelObjectFiler().WriteObject(shape, clipboard);
        TGLabelObjectFiler().PasteIntoPanel(panel.get(), panel.get(), clipboard);
        TGLabelObjectFiler().PasteIntoPanel(panel.get(), panel.get(), clipboard);
        QCOMPARE(panel->ObjectCount(), 3);
        QCOMPARE(panel->Objects().at(1)->BoundsRect(), QRect(45, 55, 50, 20));
        QCOMPARE(panel->Objects().at(2)->BoundsRect(), QRect(45, 55, 50, 20));
        QCOMPARE(panel->Objects().at(2)->objectName(), QStringLiteral("Component1"));
        // Reading without the paste flag keeps the stored position.
        TGLabelObjectFiler().ReadIntoPanel(panel.get(), panel.get(), clipboard);
        QCOMPARE(panel->Objects().at(3)->BoundsRect(), QRect(30, 40, 50, 20));
    }

    void selectionIsWrittenInSelectionOrder()
    {
        auto panel = MakePanel();
        TGGraphicControl *a = AddShape(*panel, 10, 10, 20, 20);
        TGGraphicControl *b = AddShape(*panel, 50, 10, 20, 20);
        const QString clipboard = ProgramFolder() + QStringLiteral("selection.tmp");
        QFile::remove(clipboard);
        TGLabelObjectFiler().WriteSelection(panel->Handle(), clipboard);
        QVERIFY(!QFile::exists(clipboard)); // nothing selected, nothing written
        panel->Handle()->Select(b);
        panel->Handle()->Select(a);
        TGLabelObjectFiler().WriteSelection(panel->Handle(), clipboard);
        const QByteArray text = ComponentStreamToText(ReadFile(clipboard));
        QVERIFY(text.indexOf("Left = 50") < text.indexOf("Left = 10"));
    }

    void duplicateMakesANewObjectOnTheParent()
    {
        auto panel = MakePanel();
        auto *shape = static_cast<TBCShapes *>(AddShape(*panel, 30, 40, 50, 20));
        shape->Pen()->SetWidth(5);
        TGGraphicControl *copy = TGLabelObjectFiler().Duplicate(shape, panel.get(), panel.get());
        QVERIFY(copy && copy != shape);
        QCOMPARE(copy->Panel(), panel.get());
        QCOMPARE(copy->BoundsRect(), shape->BoundsRect());
        QCOMPARE(static_cast<TBCShapes *>(copy)->Pen()->Width(), 5);
        QVERIFY(copy->ContextMenu());
        QCOMPARE(panel->ObjectCount(), 2);
    }

    void cloneLeavesTheCopySelectedLower()
    {
        auto panel = MakePanel();
        TGGraphicControl *shape = AddShape(*panel, 30, 40, 50, 20);
        panel->Handle()->Select(shape);
        shape->Clone();
        Flush();
        QCOMPARE(panel->ObjectCount(), 2);
        TGGraphicControl *copy = panel->Objects().last();
        QCOMPARE(copy->BoundsRect(), QRect(30, 65, 50, 20));
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>({copy}));
    }

    // ---- damaged files ----

    // Inputs that once crashed or hung the reader, and hand-made hostile ones:
    // each must give a clean error or read.
    void damagedFilesGiveAMessage_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList files = QDir(RegressionsFolder()).entryList(QDir::Files, QDir::Name);
        for (const QString &name : files)
            if (!name.endsWith(QStringLiteral(".md")))
                QTest::newRow(qPrintable(name)) << RegressionsFolder() + name;
    }
    void damagedFilesGiveAMessage()
    {
        QFETCH(QString, path);
        const QByteArray bytes = ReadFile(path);
        auto panel = MakePanel();
        try {
            const QList<TGGraphicControl *> read = TComponentReader(bytes).ReadObjectList(panel.get(), panel.get());
            // What was read is saved and read back without a change.
            const QByteArray saved = TComponentWriter::ObjectListToBytes(read);
            auto reopened = MakePanel();
            const QList<TGGraphicControl *> again = TComponentReader(saved).ReadObjectList(reopened.get(), reopened.get());
            QCOMPARE(ComponentStreamToText(TComponentWriter::ObjectListToBytes(again)), ComponentStreamToText(saved));
        } catch (const EStreamError &e) {
            QVERIFY(!e.Message().isEmpty());
        }
        try {
            ComponentStreamToText(bytes);
        } catch (const EStreamError &e) {
            QVERIFY(!e.Message().isEmpty());
        }
        panel->DeleteAllObjects();
        Flush();
    }

    // What a damaged file leaves on the panel (the objects read before the
    // damage) is drawn at the smallest and largest zoom and printed on a
    // recorded sheet without a fault: the path a card takes after File > Open.
    void damagedFilesDrawAndPrint_data() { damagedFilesGiveAMessage_data(); }
    void damagedFilesDrawAndPrint()
    {
        QFETCH(QString, path);
        auto panel = MakePanel(336, 192);
        try {
            TComponentReader(ReadFile(path)).ReadObjectList(panel.get(), panel.get());
        } catch (const EStreamError &) {
        }
        for (const float zoom : {1.0f, 1.6f}) {
            panel->SetZoom(zoom);
            QImage image(panel->size(), QImage::Format_RGB32);
            QVERIFY(!image.isNull());
            image.fill(Qt::white);
            QPainter painter(&image);
            panel->RenderCard(painter, false);
        }
        panel->SetZoom(1.0f);
        TCardSheetPrinter job;
        job.Panel = panel.get();
        job.Cells = SelectedCells(10, false);
        job.Cells[0] = true;
        TReportFiler filer;
        filer.SetPageMetrics(printtest::LetterPage(300, 0.25));
        job.Attach(filer);
        filer.Run();
        QCOMPARE(filer.PageCount(), 1);
        panel->DeleteAllObjects();
        Flush();
    }
};

QTEST_MAIN(TestCardFile)
#include "tst_cardfile.moc"
