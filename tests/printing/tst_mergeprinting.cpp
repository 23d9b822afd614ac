// One card design printed for several people: the labels bound to a
// personal-information entry show each person's values in their cells of
// the printed PDF, the other labels stay as designed; the binding follows
// the user's choices and is in the card file only when there is one.
#include "LabelTestSupport.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/AppHelpers.h"
#include "app/MainWindow.h"
#include "app/MainWindowPrinting.h"
#include "objects/BusinessCardLabel.h"
#include "printing/PeopleDialog.h"
#include "printing/PrintPreview.h"
#include "printing/SheetPrinting.h"
#include "report/PrinterList.h"
#include "surface/BusinessCardPanel.h"
#include "surface/ComponentStream.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

namespace {

TGBusinessCardLabel *AddLabel(TGBusinessCardPanel32 &panel, const QString &caption, const QString &field, int top)
{
    auto *label = new TGBusinessCardLabel(&panel);
    label->SetPanel(&panel);
    label->Loaded();
    panel.AddNewObject(label, {20, top, 160, top + 30});
    label->SetCaption(caption);
    label->SetPersonalField(field);
    Flush();
    return label;
}

QString Program() { return QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"); }

// The text pdftotext finds inside a card cell of a page, words joined by spaces.
QString TextInCell(const QString &pdf, int page, int cell)
{
    const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
    const QPointF origin = sheetprint::CellOrigin(sheet, cell / sheet.Across, cell % sheet.Across);
    QProcess p;
    p.start("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-r", "72", "-x",
                          QString::number(int(origin.x() * 72)), "-y", QString::number(int(origin.y() * 72)), "-W",
                          QString::number(int(sheet.CardWidth * 72)), "-H", QString::number(int(sheet.CardHeight * 72)),
                          pdf, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

class TestMergePrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        QVERIFY2(QFile::exists(Program()), qPrintable("the program is not built: " + Program()));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: printed text cannot be read back");
    }

    void boundLabelsShowEachPersonInTheirCells_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("pages");
        // The person (0 to 2) each cell of each page is for, -1 for an empty cell.
        QTest::addColumn<QList<int>>("cells");
        QList<int> sheetEach;
        for (int person = 0; person < 3; ++person)
            for (int cell = 0; cell < 10; ++cell)
                sheetEach << person;
        QTest::newRow("a sheet each") << QStringList{} << 3 << sheetEach;
        QTest::newRow("three each") << QStringList{"--per-person", "3"} << 1
                                    << QList<int>{0, 0, 0, 1, 1, 1, 2, 2, 2, -1};
        QTest::newRow("four each, across sheets")
            << QStringList{"--per-person", "4"} << 2
            << QList<int>{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, -1, -1, -1, -1, -1, -1, -1, -1};
        QTest::newRow("chosen cells only")
            << QStringList{"--per-person", "2", "--cells", "2,3,10"} << 2
            << QList<int>{-1, 0, 0, -1, -1, -1, -1, -1, -1, 1, -1, 1, 2, -1, -1, -1, -1, -1, -1, 2};
    }
    void boundLabelsShowEachPersonInTheirCells()
    {
        QFETCH(QStringList, options);
        QFETCH(int, pages);
        QFETCH(QList<int>, cells);
        QTemporaryDir dir;
        auto panel = MakePanel();
        AddLabel(*panel, "Your Name", "Name", 10);
        AddLabel(*panel, "Your Firm", "Company", 50);
        AddLabel(*panel, "Call us", QString(), 90);
        const QString card = dir.filePath("card.qrv");
        panel->SaveToFile(card);
        QFile csv(dir.filePath("people.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("\xEF\xBB\xBF" "Company;Notes;name\r\n\"Acme; Ltd\";x;Ann Lee\r\nBolt;;Bob Ray\r\nCog;y;Cy Zed\r\n");
        csv.close();

        const QString pdf = dir.filePath("out.pdf");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", dir.path());
        env.remove("DISPLAY");
        p.setProcessEnvironment(env);
        p.start(Program(), QStringList{"--print", card, "--merge", csv.fileName(), "--output", pdf} + options);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(QString::fromLocal8Bit(p.readAllStandardError()), QString());
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(printtest::PdfPageCount(pdf), pages);

        const QStringList expected{"Ann Lee Acme; Ltd Call us", "Bob Ray Bolt Call us", "Cy Zed Cog Call us"};
        for (int i = 0; i < cells.size(); ++i) {
            const QString text = TextInCell(pdf, i / 10 + 1, i % 10);
            QCOMPARE(text, cells[i] < 0 ? QString() : expected[cells[i]]);
        }
    }

    void csvThatCannotBeUsedIsSaidWithItsLine_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("message");
        QTest::newRow("row too long") << QByteArray("Name\nAnn\nBob,Ray\n") << "Line 3: the row has 2 values";
        QTest::newRow("no known column") << QByteArray("Who,Where\nAnn,Here\n") << "no column of the first line names";
        QTest::newRow("nobody") << QByteArray("Name,Fax\n") << "lists no people";
    }
    void csvThatCannotBeUsedIsSaidWithItsLine()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, message);
        QTemporaryDir dir;
        auto panel = MakePanel();
        AddLabel(*panel, "Your Name", "Name", 10);
        panel->SaveToFile(dir.filePath("card.qrv"));
        QFile file(dir.filePath("people.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(csv);
        file.close();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", dir.path());
        p.setProcessEnvironment(env);
        p.start(Program(), {"--print", dir.filePath("card.qrv"), "--merge", file.fileName(), "--output",
                            dir.filePath("out.pdf")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(!QFile::exists(dir.filePath("out.pdf")));
    }

    // Previewing and then printing from "Print for Several People...": the
    // card stays as designed. Nothing asks to be saved, the card file would
    // hold the same bytes (names and all), and the screen shows the design,
    // not the last person printed.
    void printingForPeopleLeavesTheCardAsDesigned()
    {
        QTemporaryDir dir;
        QFile csv(dir.filePath("people.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name,Company\nAnn Lee,Acme Ltd\nBob Ray,Bolt\n");
        csv.close();
        const QString pdf = dir.filePath("people.pdf");
        printcommands::SetPeopleFileChooser([&](QWidget *) { return std::optional<QString>(csv.fileName()); });
        SetFileDialogRunnerForTests([&](QFileDialog &) { return std::optional<QString>(pdf); });
        InstallPrintingCommands();
        TRPDevice &device = TRPDevice::Instance();
        device.SetPrinterIndex(device.PdfPrinterIndex());

        auto window = std::make_unique<TMainScreen>();
        window->FormActivate();
        Flush();
        TGBasePanel *panel = window->BusinessCardPanel();
        AddLabel(*window->BusinessCardPanel(), "Your Name", "Name", 10);
        AddLabel(*window->BusinessCardPanel(), "Your Firm", "Company", 50);
        const QString card = dir.filePath("card.qrv");
        panel->SaveToFile(card);
        window->OpenBCFile(card);
        QVERIFY(!window->ChangesMade());
        const QByteArray designed = WriteObjects(panel->Objects());
        const QImage shown = panel->grab().toImage();

        const auto peopleDialog = [](bool preview) {
            return [preview](QWidget *w) {
                auto *dialog = qobject_cast<TPeoplePrintDialog *>(w);
                if (!dialog)
                    return false;
                // Posted: the run opens windows of its own, which this
                // script works too.
                QPushButton *button = preview ? dialog->PreviewButton() : dialog->PrintButton();
                QTimer::singleShot(0, button, &QPushButton::click);
                return true;
            };
        };
        printtest::ModalScript script({
            peopleDialog(true),
            printtest::CloseStatusFormWhenDone(),
            [](QWidget *w) {
                auto *preview = qobject_cast<TPreviewForm *>(w);
                if (!preview || !preview->FilePreview1().Active())
                    return false;
                preview->CloseButtonClick();
                return true;
            },
            peopleDialog(false),
            printtest::CloseStatusFormWhenDone(),
        });
        window->findChild<QAction *>("mnuPrintForPeople")->trigger();
        Flush();
        QVERIFY(script.Done());
        QCOMPARE(printtest::PdfPageCount(pdf), 2);

        QVERIFY(!window->ChangesMade());
        QCOMPARE(WriteObjects(panel->Objects()), designed);
        QCOMPARE(panel->grab().toImage(), shown);

        window->SetChangesMade(false);
        window.reset();
        printcommands::SetPeopleFileChooser({});
        SetFileDialogRunnerForTests(nullptr);
        SetPrintingCommands({});
    }

    // The menu picks an entry; the text dialog binds what is chosen from its
    // list and unbinds what is typed.
    void bindingFollowsTheUsersChoiceIntoTheCardFile_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("field");
        QTest::newRow("menu entry") << QStringList{"menu:1"} << "Company";
        QTest::newRow("chosen in the dialog") << QStringList{"dialog:Al"} << "Title";
        QTest::newRow("typed in the dialog") << QStringList{"dialog:Hello"} << "";
        QTest::newRow("entry, then OK unchanged") << QStringList{"menu:9", "dialog:Fx"} << "Fax";
        QTest::newRow("entry, then typed") << QStringList{"menu:0", "dialog:Text"} << "";
    }
    void bindingFollowsTheUsersChoiceIntoTheCardFile()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, field);
        ScopedEditors editors;
        auto panel = MakePanel();
        panel->PersonalInfo = QStringList{"Ann", "Acme", "Al", "", "", "", "", "", "", "Fx"};
        TGBusinessCardLabel *label = AddLabel(*panel, "Text", QString(), 10);
        const QByteArray unbound = TComponentWriter::ObjectListToBytes(panel->Objects());
        for (const QString &step : steps) {
            const QString arg = step.section(':', 1);
            if (step.startsWith("menu:")) {
                emit label->ContextMenu()->aboutToShow();
                label->ContextMenu()->actions().first()->menu()->actions().at(arg.toInt())->trigger();
            } else {
                editors->BusinessCardText = [arg](QWidget *, QString &text, const QStringList &) {
                    text = arg;
                    return true;
                };
                label->EditBusinessCardText();
            }
        }
        QCOMPARE(label->PersonalField(), field);
        const QByteArray bytes = TComponentWriter::ObjectListToBytes(panel->Objects());
        QCOMPARE(bytes.contains("PersonalField"), !field.isEmpty());
        if (label->Caption() == "Text")
            QCOMPARE(bytes, unbound); // bound and unbound again: as never bound

        const QString file = ProgramFolder() + "/bound.qrv";
        panel->SaveToFile(file);
        auto reopened = MakePanel();
        reopened->LoadFromFile(file);
        auto *read = qobject_cast<TGBusinessCardLabel *>(reopened->Objects().value(0));
        QVERIFY(read);
        QCOMPARE(read->PersonalField(), field);
        QCOMPARE(read->Caption(), label->Caption());
    }

    // A user unticks a person, matches an unknown column by hand and asks
    // for two cards each: the plan holds the others with their values.
    void dialogPrintsTheTickedPeopleAsMatched()
    {
        const TPeopleTable table = people::ReadCsv("Name,Firm,Fax\nAnn,Acme,1\nBob,Bolt,2\nCy,Cog,3\n");
        TPeoplePrintDialog dialog(table);
        ShowActive(&dialog, "the people dialog");
        QCOMPARE(dialog.ColumnFor(1)->currentText(), QString("(none)")); // "Firm" is no entry's name
        QCOMPARE(dialog.ColumnFor(9)->currentText(), QString("Fax"));

        QTableWidget *peopleTable = dialog.Table();
        peopleTable->setFocus();
        peopleTable->setCurrentCell(1, 0);
        QTest::keyClick(peopleTable, Qt::Key_Space); // Bob is not printed
        QComboBox *company = dialog.ColumnFor(1);
        company->setFocus();
        QTest::keyClick(company, Qt::Key_Down);
        QTest::keyClick(company, Qt::Key_Down);
        QCOMPARE(company->currentText(), QString("Firm"));
        QTest::mouseClick(dialog.CardsEach(), Qt::LeftButton, {}, QPoint(5, dialog.CardsEach()->height() / 2));
        QVERIFY(dialog.CardsPerPerson()->isEnabled());
        dialog.CardsPerPerson()->setFocus();
        dialog.CardsPerPerson()->selectAll();
        QTest::keyClicks(dialog.CardsPerPerson(), "2");

        const TMergePlan plan = dialog.Plan();
        QCOMPARE(plan.PerPerson, 2);
        QCOMPARE(plan.Names, (QStringList{"Ann", "Cy"}));
        QCOMPARE(plan.People.value(1), (QStringList{"Cy", "Cog", "", "", "", "", "", "", "", "3"}));

        // With nobody ticked there is nothing to print.
        for (int row : {0, 2}) {
            peopleTable->setCurrentCell(row, 0);
            peopleTable->setFocus();
            QTest::keyClick(peopleTable, Qt::Key_Space);
        }
        QVERIFY(!dialog.PrintButton()->isEnabled());
    }
};

QTEST_MAIN(TestMergePrinting)
#include "tst_mergeprinting.moc"
