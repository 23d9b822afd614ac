// Card stock from the label-template library: which products a sheet layout
// can hold and the values they give, the layout dialog listing them after the
// built-in layouts (each product once) and finding them by a search, the
// choice kept in the settings file, the rounded card outline, and --layout /
// --list-layouts on the command line.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/AppHelpers.h"
#include "app/MainWindow.h"
#include "app/Preferences.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "printing/LabelTemplates.h"
#include "printing/SheetLayoutDialog.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/NumericEdit.h"
#include "widgets/SpinEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

using namespace labeltemplates;

namespace {

// The made-up library of the test data, laid out as a data folder holds it.
QString TestDataDirs() { return QDir(testsupport::TestDataFolder()).filePath("label-templates"); }
QString TestTemplates() { return QDir(TestDataDirs()).filePath("libglabels-3.0/templates"); }
const QString kInstalledTemplates = QStringLiteral("/usr/share/libglabels-3.0/templates");

QStringList Names(const QList<TCardProduct> &products)
{
    QStringList names;
    for (const TCardProduct &p : products)
        names << p.Name();
    return names;
}

// The layout dialog, shown, with its message boxes collected.
struct LayoutDialog {
    TEditCardLayout dialog;
    QStringList messages;
    explicit LayoutDialog(const CardSheetLayout &layout = CardSheetLayout()) : dialog(layout)
    {
        testsupport::CollectMessageTexts(messages);
        testsupport::ShowActive(&dialog, "layout dialog");
    }
    ~LayoutDialog() { platform::SetMessageBoxForTests({}); }
    QComboBox *Combo(const char *name) const { return dialog.findChild<QComboBox *>(QLatin1String(name)); }
    QString Shown(const char *name) const { return dialog.findChild<TNumEdit *>(QLatin1String(name))->text(); }
    int Count(const char *name) const { return dialog.findChild<TSpinEdit *>(QLatin1String(name))->Value(); }
    // Sets "Business cards only" and types the search, as a user looking
    // for a product does; the list then holds what answers it.
    QStringList Search(const QString &keys, bool businessCardsOnly = true)
    {
        auto *filter = dialog.findChild<QCheckBox *>("BusinessCardsOnly");
        if (filter->isChecked() != businessCardsOnly)
            QTest::mouseClick(filter, Qt::LeftButton, {}, QPoint(4, filter->height() / 2));
        auto *search = dialog.findChild<QLineEdit *>("SearchEdit");
        search->setFocus(Qt::TabFocusReason);
        search->selectAll();
        QTest::keyClick(search, Qt::Key_Delete);
        QTest::keyClicks(search, keys);
        return Listed();
    }
    QStringList Listed() const
    {
        QStringList items;
        QComboBox *list = Combo("PredefinedLayouts");
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }
    // The first entry of the list, taken with the Down key.
    void ChooseFirstListed()
    {
        QComboBox *list = Combo("PredefinedLayouts");
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Down);
    }
    void ClickOk() { QTest::mouseClick(dialog.findChild<QPushButton *>("OKButton"), Qt::LeftButton); }
};

struct Outcome {
    int status = -1;
    QString output, errors;
};

// The program run without a display, seeing the test library as the one
// installed on the system.
Outcome RunProgram(const QString &home, const QStringList &args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUORVEL_HOME", home);
    env.insert("XDG_DATA_DIRS", TestDataDirs());
    env.insert("XDG_CONFIG_HOME", QDir(home).filePath("config"));
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(env);
    process.start(QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"), args);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class TestCardStock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void cleanup() { SetTemplateFolders({QDir(testsupport::ProgramFolder()).filePath("none")}); }

    void offersWhatASheetLayoutCanHoldBusinessCardsFirst()
    {
        // Left out: a round label, two grids, twelve columns, a paper without
        // a printer code, an unknown unit, an equivalent loop, a damaged file.
        QCOMPARE(Names(ReadCardProducts({TestTemplates()})),
                 QStringList({"Testa 1001", "Testa 1002", "Testa 1003", "Testa M20", "Beta 1001", "Beta C30"}));
    }

    void productsGiveTheirSheetValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<double>>("sizes"); // width, height, left, top, hpitch, vpitch
        QTest::addColumn<QList<int>>("counts");   // across, down, paper code
        QTest::addColumn<bool>("rounded");
        QTest::addColumn<QString>("item");
        QTest::newRow("inches on Letter") << "Testa 1001" << QList<double>{3.25, 1.75, 0.875, 1.0, 3.5, 2.25}
                                          << QList<int>{2, 4, 1} << false
                                          << "Testa 1001 - Business Cards (US Letter)";
        QTest::newRow("equivalent") << "testa   1002" << QList<double>{3.25, 1.75, 0.875, 1.0, 3.5, 2.25}
                                    << QList<int>{2, 4, 1} << false << "Testa 1002 - Business Cards (US Letter)";
        QTest::newRow("a card a hair over its pitch") << "Testa 1003" << QList<double>{3.5, 2.0, 0.75, 0.5, 3.5, 2.0}
                                                      << QList<int>{2, 5, 1} << false
                                                      << "Testa 1003 - Business Cards (US Letter)";
        QTest::newRow("millimetres on A4, rounded")
            << "Testa M20" << QList<double>{3.346, 2.165, 0.591, 0.433, 3.740, 2.165} << QList<int>{2, 5, 9} << true
            << "Testa M20 - Rounded Business Cards (A4)";
        QTest::newRow("cm, pt, pc and bare points on Legal, one column")
            << "Beta C30" << QList<double>{4.0, 2.0, 2.0, 0.5, 4.0, 2.25} << QList<int>{1, 6, 5} << false
            << "Beta C30 - Place Cards (US Legal)";
    }
    void productsGiveTheirSheetValues()
    {
        QFETCH(QString, name);
        QFETCH(QList<double>, sizes);
        QFETCH(QList<int>, counts);
        QFETCH(bool, rounded);
        QFETCH(QString, item);
        const std::optional<TCardProduct> product = FindCardProduct(ReadCardProducts({TestTemplates()}), name);
        QVERIFY(product);
        CardSheetLayout layout;
        ApplyCardProduct(*product, layout);
        // As the settings file keeps them: whole thousandths of an inch.
        const QList<int> stored{LengthToIni(layout.Width),  LengthToIni(layout.Height), LengthToIni(layout.LeftMargin),
                                LengthToIni(layout.TopMargin), LengthToIni(layout.HPitch), LengthToIni(layout.VPitch)};
        QList<int> expected;
        for (double inches : sizes)
            expected << qRound(inches * 1000);
        QCOMPARE(stored, expected);
        QCOMPARE((QList<int>{layout.Across, layout.Down, layout.Papersize}), counts);
        QCOMPARE(layout.RoundedCorners, rounded);
        QCOMPARE(product->ItemText(), item);
        QCOMPARE(layout.Brand + ' ' + layout.Part, product->Name());
    }

    void installedAvery5371IsTheDefaultLayout()
    {
        if (!QFile::exists(QDir(kInstalledTemplates).filePath("avery-us-templates.xml")))
            QSKIP("the label-template library (glabels-data) is not installed");
        const QList<TCardProduct> products = ReadCardProducts({kInstalledTemplates});
        int businessCards = 0;
        for (const TCardProduct &p : products)
            businessCards += p.BusinessCard;
        QVERIFY2(businessCards >= 20, qPrintable(QString::number(businessCards)));
        QVERIFY(products.first().BusinessCard);
        for (const QString name : {"Avery 5371", "Avery 8371"}) {
            const std::optional<TCardProduct> product = FindCardProduct(products, name);
            QVERIFY2(product, qPrintable(name));
            CardSheetLayout layout;
            ApplyCardProduct(*product, layout);
            layout.Brand.clear();
            layout.Part.clear();
            QCOMPARE(layout, CardSheetLayout());
        }
    }

    void searchListsWhatTheUserLooksFor_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("businessCardsOnly");
        QTest::addColumn<QStringList>("listed");
        const QStringList builtIns = sheetlayout::PredefinedLayoutNames();
        const QString t1001 = "Testa 1001 - Business Cards (US Letter)", t1002 = "Testa 1002 - Business Cards (US Letter)";
        const QString t1003 = "Testa 1003 - Business Cards (US Letter)", m20 = "Testa M20 - Rounded Business Cards (A4)";
        const QString tent = "Beta 1001 - Tent Cards (US Letter)", place = "Beta C30 - Place Cards (US Legal)";
        // 1001 is 3.25 x 1.75 in: smaller than a business card.
        QTest::newRow("no search") << "" << true << builtIns + QStringList{t1003, m20};
        QTest::newRow("no search, all") << "" << false << builtIns + QStringList{t1001, t1002, t1003, m20, tent, place};
        QTest::newRow("brand") << "TESTA" << true << QStringList{t1003, m20};
        QTest::newRow("part number") << "5371" << true << QStringList{builtIns[0]};
        QTest::newRow("description words") << "ink ivory" << true << QStringList{builtIns[7]};
        QTest::newRow("paper and part") << "a4 7414" << true << QStringList{builtIns[10]};
        QTest::newRow("size in inches") << "3.5 x 2" << true << builtIns.mid(0, 9) + QStringList{t1003};
        QTest::newRow("size in mm, turned") << "55x85 mm" << true << QStringList{m20};
        QTest::newRow("size without unit") << "85 x 55" << true << QStringList{m20};
        QTest::newRow("not a business card") << "place" << true << QStringList{};
        QTest::newRow("listed without the filter") << "place" << false << QStringList{place};
        QTest::newRow("size turned and paper") << "2x4in legal" << false << QStringList{place};
    }
    void searchListsWhatTheUserLooksFor()
    {
        QFETCH(QString, search);
        QFETCH(bool, businessCardsOnly);
        QFETCH(QStringList, listed);
        SetTemplateFolders({TestTemplates()});
        LayoutDialog d;
        QCOMPARE(d.Search(search, businessCardsOnly), listed);
        QCOMPARE(d.dialog.findChild<QLabel *>("MatchCount")->text(), QString("%1 of 20").arg(listed.size()));
        // A search alone changes no value.
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("3.5"));
    }

    void installedLibraryListsEachProductOnce()
    {
        if (!QFile::exists(QDir(kInstalledTemplates).filePath("avery-us-templates.xml")))
            QSKIP("the label-template library (glabels-data) is not installed");
        SetTemplateFolders({kInstalledTemplates});
        LayoutDialog d;
        // The built-in layout and the library's product of the same name are one entry.
        QCOMPARE(d.Search("5371"), QStringList({"Avery Business Card 5371 (Letter Size Paper)",
                                                "Avery 25371 - Business Cards (US Letter)"}));
        QCOMPARE(d.Search("avery 8371 ink"), QStringList{"Avery Business Card 8371 Ink Jet (Letter Size Paper)"});
        const QStringList all = d.Search("", false);
        QCOMPARE(QSet<QString>(all.begin(), all.end()).size(), all.size());
        // Address, shipping and CD labels are listed only when asked for.
        const QStringList cards = d.Search("", true);
        QVERIFY2(cards.size() >= 40 && cards.size() * 5 < all.size(),
                 qPrintable(QString("%1 of %2").arg(cards.size()).arg(all.size())));
        for (const QString &other : {"shipping", "address", "cd"}) {
            QVERIFY2(!d.Search(other, false).isEmpty(), qPrintable(other));
            QCOMPARE(d.Search(other, true), QStringList());
        }
    }

    void dialogKeepsTheChosenCardStock()
    {
        SetTemplateFolders({TestTemplates()});
        CardSheetLayout chosen;
        {
            LayoutDialog d;
            QCOMPARE(d.Search("c30", false), QStringList{"Beta C30 - Place Cards (US Legal)"});
            d.ChooseFirstListed();
            QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("4"));
            QCOMPARE(d.Count("enbracross"), 1);
            QCOMPARE(d.Count("enbrdown"), 6);
            QCOMPARE(d.Combo("epapersize")->currentText(), QStringLiteral("Legal"));
            d.ClickOk();
            QCOMPARE(d.messages, QStringList());
            chosen = d.dialog.Layout();
        }
        QCOMPARE(chosen.Brand, QStringLiteral("Beta"));
        QCOMPARE(chosen.Part, QStringLiteral("C30"));
        QCOMPARE(chosen.Papersize, 5);
        QCOMPARE(chosen.PredefLayout, 0);
        // On Legal paper the layout is one the settings file keeps.
        QVERIFY(sheetlayout::IsLayoutWithinLimits(chosen));

        // Opened again, the dialog shows the product, though it is no
        // business card; a built-in drops it.
        LayoutDialog again(chosen);
        QComboBox *list = again.Combo("PredefinedLayouts");
        QCOMPARE(list->currentText(), QStringLiteral("Beta C30 - Place Cards (US Legal)"));
        QVERIFY(!again.dialog.findChild<QCheckBox *>("BusinessCardsOnly")->isChecked());
        list->setFocus(Qt::TabFocusReason);
        QTest::keyClick(list, Qt::Key_Home);
        again.ClickOk();
        QCOMPARE(again.dialog.Layout().Brand, QString());
        QCOMPARE(again.dialog.Layout().Papersize, 1);
        QCOMPARE(again.dialog.Layout().Across, 2);
    }

    void missingOrDamagedLibraryLeavesTheBuiltInsSilently_data()
    {
        QTest::addColumn<QByteArray>("content"); // of the only library file; empty: no folder
        QTest::newRow("no library") << QByteArray();
        QTest::newRow("cut short") << QByteArray("<?xml version=\"1.0\"?>\n<Glabels-templates>\n<Template brand=\"A\" "
                                                 "part=\"1\" size=\"A4\">\n<Label-rectangle width=\"3in\"");
        QTest::newRow("not XML") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    }
    void missingOrDamagedLibraryLeavesTheBuiltInsSilently()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        if (!content.isEmpty()) {
            QFile file(dir.filePath("broken-templates.xml"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        SetTemplateFolders({content.isEmpty() ? dir.filePath("missing") : dir.path()});
        LayoutDialog d;
        QCOMPARE(d.Combo("PredefinedLayouts")->count(), 14);
        QCOMPARE(d.messages, QStringList());
    }

    void settingsKeepTheProductOnlyWhileOneIsChosen()
    {
        const QString file = QDir(testsupport::ProgramFolder()).filePath("products.ini");
        TPreferences prefs;
        prefs.Layout.Brand = QStringLiteral("Testa");
        prefs.Layout.Part = QStringLiteral("M20");
        prefs.Layout.RoundedCorners = true;
        {
            TIniFile ini(file);
            SavePreferences(ini, prefs);
            QVERIFY(ini.UpdateFile());
        }
        TPreferences read;
        LoadPreferences(TIniFile(file), read);
        QCOMPARE(read.Layout, prefs.Layout);

        // Back on a built-in layout the section is what it always was.
        TIniFile ini(file);
        SavePreferences(ini, TPreferences());
        QVERIFY(ini.UpdateFile());
        for (const char *key : {"Brand", "Part", "RoundedCorners"})
            QVERIFY2(!TIniFile(file).ValueExists("Layout", key), key);
    }

    void roundedCardStockRoundsTheCardOutline_data()
    {
        QTest::addColumn<bool>("rounded");
        QTest::newRow("rounded") << true;
        QTest::newRow("square") << false;
    }
    void roundedCardStockRoundsTheCardOutline()
    {
        QFETCH(bool, rounded);
        {
            TIniFile ini(SettingsFileName());
            TPreferences prefs;
            prefs.Layout.RoundedCorners = rounded;
            SavePreferences(ini, prefs);
            QVERIFY(ini.UpdateFile());
        }
        auto w = std::make_unique<TMainScreen>();
        w->FormActivate();
        testsupport::Flush();
        const QImage card = w->BusinessCardPanel()->Grab();
        // The dotted outline runs down the left edge from the very corner
        // only when the corners are square; halfway down it is there in both.
        auto dotsOnLeftEdge = [&](int fromY) {
            int dots = 0;
            for (int y = fromY; y < fromY + 8; ++y)
                dots += printtest::IsDark(card, 0, y);
            return dots;
        };
        QCOMPARE(dotsOnLeftEdge(0) > 0, !rounded);
        QVERIFY(dotsOnLeftEdge(card.height() / 2) > 0);
        w->SetChangesMade(false);
        w.reset();
        testsupport::Flush();
        QFile::remove(SettingsFileName());
    }

    void commandLineListsAndPrintsOnCardStock()
    {
        QTemporaryDir home;
        const QString card = QDir(home.path()).filePath("card.qrv");
        printtest::MakeMarkerCard()->SaveToFile(card);

        // The user's own library holds an entity bomb: a few lines that
        // expand to gigabytes.
        const QString own = QDir(home.path()).filePath("config/libglabels/templates");
        QVERIFY(QDir().mkpath(own));
        QByteArray bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE Templates [\n<!ENTITY a \"aaaaaaaaaa\">\n";
        for (char level = 'b'; level <= 'j'; ++level)
            bomb += QByteArray("<!ENTITY ") + level + " \"" + QByteArray("&").append(char(level - 1)).append(';').repeated(10)
                + "\">\n";
        bomb += "]>\n<Glabels-templates><Template brand=\"&j;\" part=\"1\"/></Glabels-templates>\n";
        QFile bombFile(QDir(own).filePath("bomb.xml"));
        QVERIFY(bombFile.open(QIODevice::WriteOnly));
        bombFile.write(bomb);
        bombFile.close();

        const Outcome list = RunProgram(home.path(), {"--list-layouts"});
        QCOMPARE(list.status, 0);
        QStringList names;
        for (const QString &line : list.output.split('\n', Qt::SkipEmptyParts))
            names << line.section('\t', 0, 0);
        QStringList expected;
        for (int i = 0; i < sheetlayout::kPredefinedLayoutCount; ++i)
            expected << "Avery " + sheetlayout::PredefinedLayoutPart(i);
        expected << QStringList({"Testa 1001", "Testa 1002", "Testa 1003", "Testa M20", "Beta 1001", "Beta C30"});
        QCOMPARE(names, expected);
        // The files left out are named once each.
        const QStringList problems = list.errors.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(problems.size(), 2);
        QVERIFY2(problems.filter("bomb.xml: not a well-formed template file").size() == 1, qPrintable(list.errors));
        QVERIFY2(problems.filter("damaged-templates.xml: not a well-formed template file").size() == 1,
                 qPrintable(list.errors));

        // The part number alone names the product when no other brand has it.
        const QString pdf = QDir(home.path()).filePath("m20.pdf");
        const Outcome print = RunProgram(home.path(), {"--print", card, "--layout", "m20", "--output", pdf});
        QVERIFY2(print.status == 0, qPrintable(print.errors));
        const int dpi = 150;
        const QList<QImage> pages = printtest::RasterisePdf(pdf, dpi);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages.first().width(), 1240); // A4
        CardSheetLayout layout;
        ApplyCardProduct(*FindCardProduct(ReadCardProducts({TestTemplates()}), "Testa M20"), layout);
        const sheetprint::TSheetGeometry sheet = sheetprint::SheetGeometry(layout, PrinterNudges());
        for (int cell = 0; cell < 10; ++cell) {
            const QPointF origin = sheetprint::CellOrigin(sheet, cell / 2, cell % 2);
            const QRect found = printtest::FindMarker(pages.first(), origin, dpi);
            const QRect expected = printtest::MarkerOnPage(origin, dpi);
            QVERIFY2(qAbs(found.left() - expected.left()) <= 1 && qAbs(found.top() - expected.top()) <= 1,
                     qPrintable(QString("cell %1").arg(cell + 1)));
        }

        const Outcome unknown = RunProgram(home.path(), {"--print", card, "--layout", "Nobody 1", "--output", pdf});
        QCOMPARE(unknown.status, 1);
        QVERIFY2(unknown.errors.contains("no card stock named \"Nobody 1\" (see --list-layouts)"),
                 qPrintable(unknown.errors));
        const Outcome shared = RunProgram(home.path(), {"--print", card, "--layout", "1001", "--output", pdf});
        QCOMPARE(shared.status, 1);
        QVERIFY2(shared.errors.contains("--layout: \"1001\" is the part number of 2 card stocks; name one with its "
                                        "brand: \"Testa 1001\", \"Beta 1001\""),
                 qPrintable(shared.errors));
    }
};

QTEST_MAIN(TestCardStock)
#include "tst_cardstock.moc"
