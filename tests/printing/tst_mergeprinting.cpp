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
#include "app/PersonalInformationDialog.h"
#include "objects/BusinessCardLabel.h"
#include "objects/QRCode.h"
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
#include <QListWidget>
#include <QToolButton>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>
#include <algorithm>

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

struct TRun {
    int ExitCode = -1;
    QString Errors;
};

// The program run on the command line as a fresh process, with its own
// settings folder and no display.
TRun RunProgram(const QStringList &args, const QString &home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", home);
    env.remove("DISPLAY");
    p.setProcessEnvironment(env);
    p.start(Program(), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

void WriteFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString Zbar() { return QStandardPaths::findExecutable("zbarimg"); }

// What zbarimg reads from a picture, or "" when it finds no code.
QString ScanCode(const QImage &image, const QString &folder)
{
    const QString file = QDir(folder).filePath("cell.png");
    if (!image.save(file))
        return "(not saved)";
    QProcess zbar;
    zbar.start(Zbar(), {"--raw", "-q", file});
    zbar.waitForFinished(60000);
    return QString::fromUtf8(zbar.readAllStandardOutput()).trimmed();
}

// A card for a team: name and first address line bound to the personal
// information, a company name typed by hand, and a QR code that carries
// the person's vCard.
void MakeTeamCard(const QString &file)
{
    auto panel = MakePanel(336, 192);
    AddLabel(*panel, "Your Name", "Name", 10);
    AddLabel(*panel, "Acme", QString(), 45);
    AddLabel(*panel, "Your Street", "Address1", 150);
    auto *code = new TGQRCode(panel.get());
    code->SetText(TGQRCode::VCardOf({"Designer"}));
    code->SetPersonalVCard(true);
    code->SetErrorCorrection(TGQRCode::ecLow);
    code->Loaded();
    panel->AddNewObject(code, {226, 6, 226 + 104, 6 + 104});
    panel->SaveToFile(file);
}

// The team: a value that fits, one drawn smaller, one cut at the card's
// edge, and names beyond ASCII.
const QList<QStringList> kTeam{
    {"Ann Lee", "12 Elm St"},
    {"Zoë Ångström", "1234 Extraordinarily Long Boulevard"},
    {"Bob Ray", "Flat 9 of the Very Long Named Building at the Corner of Extraordinarily Long Boulevard and "
                "Another Rather Long Street in Springfield"},
    {"Łucja Nowak", "Rynek 5"},
    {"Cy Zed", "7 Oak Rd"},
};

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

    // Every cell of the printed sheet is its own person's: each word lies
    // inside its cell and belongs to that person, each code scans as that
    // person's vCard, and the values that did not fit are named.
    void everyCellHoldsItsOwnPersonOnly_data()
    {
        QTest::addColumn<QStringList>("options");
        // The person each printed cell of the first page is for, -1 for none.
        QTest::addColumn<QList<int>>("cells");
        QTest::newRow("two each") << QStringList{"--per-person", "2"} << QList<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
        QTest::newRow("one each, chosen cells") << QStringList{"--per-person", "1", "--cells", "1,4,5,8,10"}
                                                << QList<int>{0, -1, -1, 1, 2, -1, -1, 3, -1, 4};
    }
    void everyCellHoldsItsOwnPersonOnly()
    {
        QFETCH(QStringList, options);
        QFETCH(QList<int>, cells);
        if (Zbar().isEmpty() || !printtest::HavePdftoppm())
            QSKIP("zbarimg or pdftoppm is not installed");
        QTemporaryDir dir;
        MakeTeamCard(dir.filePath("team.qrv"));
        QByteArray csv = "Name,Address 1\n";
        for (const QStringList &person : kTeam)
            csv += ("\"" + person[0] + "\",\"" + person[1] + "\"\n").toUtf8();
        WriteFile(dir.filePath("team.csv"), csv);
        const QString pdf = dir.filePath("team.pdf");
        const TRun run = RunProgram(QStringList{"--print", dir.filePath("team.qrv"), "--merge", dir.filePath("team.csv"),
                                                "--output", pdf} + options,
                                    dir.path());
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(printtest::PdfPageCount(pdf), 1);

        // Named once each, after the run.
        const QStringList lines = run.Errors.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(QRegularExpression("^quorvel: Zoë Ångström: Address 1 drawn at ([5-9][0-9]) % of its size to fit "
                                    "its label$")
                     .match(lines[0])
                     .hasMatch(),
                 qPrintable(lines[0]));
        // Half the size, rounded up to a whole pixel of the font.
        QVERIFY2(QRegularExpression("^quorvel: Bob Ray: Address 1 cut at the card's edge \\(drawn at 5[0-9] % of its "
                                    "size\\)$")
                     .match(lines[1])
                     .hasMatch(),
                 qPrintable(lines[1]));

        const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
        const auto cellRect = [&](int cell) {
            return QRectF(sheetprint::CellOrigin(sheet, cell / sheet.Across, cell % sheet.Across),
                          QSizeF(sheet.CardWidth, sheet.CardHeight));
        };
        // Words: inside their own cell, and that person's (the last word of
        // a cut value may end early).
        QList<QStringList> wordsOf;
        for (const QStringList &person : kTeam)
            wordsOf << (person.join(' ') + " Acme").split(' ');
        const QList<printtest::TPdfWord> words = printtest::PdfWords(pdf);
        QVERIFY(words.size() > 20);
        QList<QStringList> found(cells.size());
        for (const printtest::TPdfWord &word : words) {
            int cell = -1;
            for (int c = 0; c < cells.size() && cell < 0; ++c)
                if (cellRect(c).contains(word.Box.center()))
                    cell = c;
            QVERIFY2(cell >= 0 && cells[cell] >= 0, qPrintable(word.Text + " is in no printed cell"));
            QVERIFY2(cellRect(cell).contains(word.Box),
                     qPrintable(QString("%1 reaches out of cell %2").arg(word.Text).arg(cell + 1)));
            const QStringList &own = wordsOf[cells[cell]];
            const bool belongs = std::any_of(own.begin(), own.end(), [&](const QString &w) { return w.startsWith(word.Text); });
            QVERIFY2(belongs, qPrintable(QString("%1 in cell %2").arg(word.Text).arg(cell + 1)));
            found[cell] << word.Text;
        }
        for (int c = 0; c < cells.size(); ++c) {
            if (cells[c] < 0) {
                QVERIFY2(found[c].isEmpty(), qPrintable(found[c].join(' ')));
                continue;
            }
            const QStringList &person = kTeam[cells[c]];
            QVERIFY2(found[c].join(' ').startsWith(person[0] + " Acme"), qPrintable(found[c].join(' ')));
            if (cells[c] != 2) // the cut value shows only its start
                QVERIFY2(found[c].join(' ').endsWith(person[1]), qPrintable(found[c].join(' ')));
        }

        // Codes: each cell's scans as its person.
        const int dpi = 300;
        const QList<QImage> pages = printtest::RasterisePdf(pdf, dpi);
        QCOMPARE(pages.size(), 1);
        for (int c = 0; c < cells.size(); ++c) {
            const QRectF inches = cellRect(c);
            const QImage cellImage = pages[0].copy(QRect(int(inches.x() * dpi), int(inches.y() * dpi),
                                                         int(inches.width() * dpi), int(inches.height() * dpi)));
            const QString scanned = ScanCode(cellImage, dir.path());
            if (cells[c] < 0) {
                QCOMPARE(scanned, QString());
                continue;
            }
            const QStringList &person = kTeam[cells[c]];
            QStringList values(10);
            values[0] = person[0];
            values[3] = person[1];
            QCOMPARE(scanned, TGQRCode::VCardOf(values));
        }
    }

    // Columns the automatic matching misses are mapped by name; a field the
    // card shows without a column is named, and a map that names nothing
    // is refused before anything is printed.
    void mapTakesColumnsAndUnmatchedFieldsAreNamed_data()
    {
        QTest::addColumn<QStringList>("map");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errors");
        QTest::addColumn<QString>("firstCell");
        QTest::newRow("no map") << QStringList{} << 0
                                << "quorvel: no column for Phone1; the list has Name, Phone, E-mail\n"
                                << "Ann Lee";
        QTest::newRow("mapped") << QStringList{"--map", "Phone1=Phone"} << 0 << "" << "Ann Lee 555 0100";
        QTest::newRow("caption and any case") << QStringList{"--map", "phone 1=PHONE"} << 0 << ""
                                              << "Ann Lee 555 0100";
        QTest::newRow("two maps, name taken from another column")
            << QStringList{"--map", "Phone1=Phone", "--map", "Name=E-mail"} << 0 << "" << "ann@example.com 555 0100";
        QTest::newRow("no such column") << QStringList{"--map", "Phone1=Tel"} << 1
                                        << "quorvel: --map Phone1=Tel: the list has no column Tel; it has Name, "
                                           "Phone, E-mail\n"
                                        << "";
        QTest::newRow("no such field") << QStringList{"--map", "Fone=Phone"} << 1
                                       << "quorvel: --map Fone=Phone: no field is named Fone; the fields are Name, "
                                          "Company, Title, Address1, Address2, Address3, Phone1, Phone2, EMail, Fax\n"
                                       << "";
        QTest::newRow("no column named") << QStringList{"--map", "Phone1"} << 1
                                         << "quorvel: --map takes FIELD=COLUMN, as --map Phone1=Phone, not Phone1\n"
                                         << "";
    }
    void mapTakesColumnsAndUnmatchedFieldsAreNamed()
    {
        QFETCH(QStringList, map);
        QFETCH(int, exitCode);
        QFETCH(QString, errors);
        QFETCH(QString, firstCell);
        QTemporaryDir dir;
        auto panel = MakePanel();
        AddLabel(*panel, "Your Name", "Name", 10);
        AddLabel(*panel, "Your Phone", "Phone1", 50);
        panel->SaveToFile(dir.filePath("card.qrv"));
        WriteFile(dir.filePath("people.csv"), "Name,Phone,E-mail\nAnn Lee,555 0100,ann@example.com\n");
        const QString pdf = dir.filePath("out.pdf");
        const TRun run = RunProgram(QStringList{"--print", dir.filePath("card.qrv"), "--merge",
                                                dir.filePath("people.csv"), "--output", pdf} + map,
                                    dir.path());
        QCOMPARE(run.Errors, errors);
        QCOMPARE(run.ExitCode, exitCode);
        QCOMPARE(QFile::exists(pdf), exitCode == 0);
        if (exitCode == 0)
            QCOMPARE(TextInCell(pdf, 1, 0), firstCell);
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

    // Previewing from the dialog shows the sheets as they will print: three
    // people with four cards each fill one sheet and two cells of the next,
    // and the page buttons go from one sheet to the other.
    void previewShowsEverySheetPersonByPerson()
    {
        QTemporaryDir dir;
        QFile csv(dir.filePath("people.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Name\nAnn Lee\nBob Ray\nCy Zed\n");
        csv.close();
        printcommands::SetPeopleFileChooser([&](QWidget *) { return std::optional<QString>(csv.fileName()); });
        InstallPrintingCommands();
        auto window = std::make_unique<TMainScreen>();
        window->FormActivate();
        Flush();
        AddLabel(*window->BusinessCardPanel(), "Your Name", "Name", 10);

        QStringList finalStatus;
        TPageRecording shown;
        QStringList captions;
        QList<bool> buttons; // previous and next enabled, on each page
        printtest::ModalScript script({
            [](QWidget *w) {
                auto *dialog = qobject_cast<TPeoplePrintDialog *>(w);
                if (!dialog)
                    return false;
                dialog->CardsEach()->setChecked(true);
                dialog->CardsPerPerson()->setValue(4);
                QTimer::singleShot(0, dialog->PreviewButton(), &QPushButton::click);
                return true;
            },
            printtest::CloseStatusFormWhenDone(&finalStatus),
            [&](QWidget *w) {
                auto *preview = qobject_cast<TPreviewForm *>(w);
                if (!preview || !preview->FilePreview1().Active())
                    return false;
                shown = preview->FilePreview1().Recording();
                captions << preview->windowTitle();
                auto *next = preview->findChild<QToolButton *>("sbNextPage");
                auto *previous = preview->findChild<QToolButton *>("sbPrevPage");
                if (next && previous) {
                    buttons << previous->isEnabled() << next->isEnabled();
                    next->click();
                    captions << preview->windowTitle();
                    buttons << previous->isEnabled() << next->isEnabled();
                }
                preview->CloseButtonClick();
                return true;
            },
            [](QWidget *w) {
                auto *dialog = qobject_cast<TPeoplePrintDialog *>(w);
                if (!dialog)
                    return false;
                dialog->reject();
                return true;
            },
        });
        window->findChild<QAction *>("mnuPrintForPeople")->trigger();
        Flush();
        QVERIFY(script.Done());
        QCOMPARE(captions, (QStringList{"Preview Page 1 of 2", "Preview Page 2 of 2"}));
        QCOMPARE(buttons, (QList<bool>{false, true, true, false}));
        QCOMPARE(finalStatus.value(0), QString("\nBusiness Card preview ready!\n\nAll 2 sheets are shown as they will print, "
                                               "person by person"));
        // Each card in its cell, the cells after the last card empty.
        const int dpi = int(shown.Metrics.XDPI);
        const auto sheet = sheetprint::SheetGeometry(CardSheetLayout(), PrinterNudges());
        for (int card = 0; card < 20; ++card) {
            const QPointF at = sheetprint::CellOrigin(sheet, card % 10 / 2, card % 2);
            const QRect inside(int((at.x() + 0.05) * dpi), int((at.y() + 0.05) * dpi), int((sheet.CardWidth - 0.1) * dpi),
                               int((sheet.CardHeight - 0.1) * dpi));
            const QImage cell = printtest::RecordedRegion(shown, card / 10, inside);
            const int ink = printtest::NonWhitePixels(cell, cell.rect());
            QVERIFY2((ink > 0) == (card < 12), qPrintable(QString("card %1: %2 pixels").arg(card).arg(ink)));
        }

        window->SetChangesMade(false);
        window.reset();
        printcommands::SetPeopleFileChooser({});
        SetPrintingCommands({});
    }

    // Before printing, the dialog lists the values that will not fit and
    // the card's fields without a column, and follows the user's choices.
    void dialogListsWhatWillNotPrintAsDesigned()
    {
        auto panel = MakePanel(336, 192);
        AddLabel(*panel, "Your Name", "Name", 10);
        AddLabel(*panel, "Your Street", "Address1", 50);
        AddLabel(*panel, "Your Phone", "Phone1", 90);
        const QByteArray designed = WriteObjects(panel->Objects());
        const TPeopleTable table = people::ReadCsv("Name,Address 1,Tel\nAnn,1 Elm St,1\n"
                                                   "Zoë,1234 Extraordinarily Long Boulevard,2\n");
        TPeoplePrintDialog dialog(table, nullptr, panel.get());
        ShowActive(&dialog, "the people dialog");
        const auto listed = [&dialog] {
            QStringList lines;
            for (int i = 0; i < dialog.FitList()->count(); ++i)
                lines << dialog.FitList()->item(i)->text();
            return lines;
        };
        QCOMPARE(listed().size(), 2);
        QCOMPARE(listed().value(0), QString("No column is chosen for Phone 1: the card's Phone 1 prints empty"));
        QVERIFY2(QRegularExpression("^Zoë: Address 1 drawn at [5-9][0-9] % of its size to fit its label$")
                     .match(listed().value(1))
                     .hasMatch(),
                 qPrintable(listed().value(1)));

        // Phone 1 from "Tel", Zoë not printed: nothing left to say.
        dialog.ColumnFor(6)->setCurrentIndex(3);
        dialog.Table()->item(1, 0)->setCheckState(Qt::Unchecked);
        Flush();
        QCOMPARE(listed(), QStringList{"Every value fits its place on the card."});
        QCOMPARE(WriteObjects(panel->Objects()), designed);
    }

    // Edit > Personal Information: a label bound to Phone 1 shows the new
    // number, and a code that carries the vCard scans as the new details.
    void personalInformationReachesBoundLabelsAndCodes()
    {
        if (Zbar().isEmpty())
            QSKIP("zbarimg is not installed");
        auto window = std::make_unique<TMainScreen>();
        window->FormActivate();
        Flush();
        TGBusinessCardPanel32 *panel = window->BusinessCardPanel();
        TGBusinessCardLabel *phone = AddLabel(*panel, "555 0100", "Phone1", 10);
        TGBusinessCardLabel *typed = AddLabel(*panel, "555 0100", QString(), 50);
        auto *code = new TGQRCode(panel);
        code->SetText(TGQRCode::VCardOf({"Ann Lee", "", "", "", "", "", "555 0100"}));
        code->SetPersonalVCard(true);
        code->Loaded();
        panel->AddNewObject(code, {200, 10, 320, 130});
        window->SetChangesMade(false);

        const QStringList now{"Zoë Lee", "Acme", "", "", "", "", "555 0199 extension 12", "", "", ""};
        printtest::ModalScript script({[&now](QWidget *w) {
            auto *dialog = qobject_cast<TPersonalInformation *>(w);
            if (!dialog)
                return false;
            dialog->SetValues(now);
            dialog->OKButtonClick();
            return true;
        }});
        window->findChild<QAction *>("PersonalInformation1")->trigger();
        Flush();
        QVERIFY(script.Done());
        QCOMPARE(phone->Caption(), now[6]);
        QVERIFY(phone->CaptionLength() <= phone->CaptionRoom()); // grown to show it whole
        QCOMPARE(typed->Caption(), QString("555 0100"));
        QVERIFY(window->ChangesMade());
        QTemporaryDir dir;
        const QImage screen = panel->grab().toImage();
        QCOMPARE(ScanCode(screen.copy(QRect(200, 10, 120, 120)), dir.path()), TGQRCode::VCardOf(now));

        window->SetChangesMade(false);
        window.reset();
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
