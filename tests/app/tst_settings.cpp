// The preferences in the settings file: the defaults of a fresh machine,
// every key written and read back, lengths in thousandths of an inch, and
// the moments the main window writes them.
#include "AppTestKit.h"

#include "app/PersonalInformationDialog.h"
#include "app/Preferences.h"
#include "platform/Graphics.h"
#include "printing/SheetLayoutDialog.h"
#include "surface/ComponentStream.h"

#include <functional>

using namespace apptest;

Q_DECLARE_METATYPE(CardSheetLayout)
Q_DECLARE_METATYPE(PrinterNudges)

namespace {

struct KeyCase {
    const char *name;
    std::function<void(TPreferences &)> change;
    const char *section;
    const char *key;
    const char *written;
};

// One row per key: a value other than the default, and its text in the file.
const std::vector<KeyCase> &KeyCases()
{
    static const std::vector<KeyCase> cases = {
        {"top nudge", [](TPreferences &p) { p.Nudges.TopMarginNudge = -8; }, "Printer", "TopMarginNudge", "-8"},
        {"left nudge", [](TPreferences &p) { p.Nudges.LeftMarginNudge = 3; }, "Printer", "LeftMarginNudge", "3"},
        {"vertical spacing", [](TPreferences &p) { p.Nudges.VerticalSpacing = 8; }, "Printer", "VerticalSpacing",
         "8"},
        {"horizontal spacing", [](TPreferences &p) { p.Nudges.HorizontalSpacing = -1; }, "Printer",
         "HorizontalSpacing", "-1"},
        {"bottom margin warning", [](TPreferences &p) { p.ShowBottomMarginWarning = false; }, "Printer",
         "ShowBottomMarginWarning", "0"},
        {"name", [](TPreferences &p) { p.Personal[0] = "Jane Public"; }, "Personal", "Name", "Jane Public"},
        {"company", [](TPreferences &p) { p.Personal[1] = "Acme; Sons"; }, "Personal", "Company", "Acme; Sons"},
        {"title", [](TPreferences &p) { p.Personal[2] = "Boss"; }, "Personal", "Title", "Boss"},
        {"address 1", [](TPreferences &p) { p.Personal[3] = "1 Main St."; }, "Personal", "Address1", "1 Main St."},
        {"address 2", [](TPreferences &p) { p.Personal[4] = "Suite 2"; }, "Personal", "Address2", "Suite 2"},
        {"address 3", [](TPreferences &p) { p.Personal[5] = "Springfield"; }, "Personal", "Address3",
         "Springfield"},
        {"phone 1", [](TPreferences &p) { p.Personal[6] = "555-0100"; }, "Personal", "Phone1", "555-0100"},
        {"phone 2", [](TPreferences &p) { p.Personal[7] = "555-0199"; }, "Personal", "Phone2", "555-0199"},
        {"email", [](TPreferences &p) { p.Personal[8] = "jane@example.org"; }, "Personal", "Email",
         "jane@example.org"},
        {"fax", [](TPreferences &p) { p.Personal[9] = "555-0111"; }, "Personal", "Fax", "555-0111"},
        {"font name", [](TPreferences &p) { p.Font.Name = "Times New Roman"; }, "Default Font", "Name",
         "Times New Roman"},
        {"font size", [](TPreferences &p) { p.Font.Size = 14; }, "Default Font", "Size", "14"},
        {"bold", [](TPreferences &p) { p.Font.Bold = true; }, "Default Font", "Bold", "1"},
        {"italic", [](TPreferences &p) { p.Font.Italic = true; }, "Default Font", "Italic", "1"},
        {"underline", [](TPreferences &p) { p.Font.Underline = true; }, "Default Font", "Underline", "1"},
        {"height", [](TPreferences &p) { p.Layout.Height = 1.875f; }, "Layout", "Height", "1875"},
        {"width", [](TPreferences &p) { p.Layout.Width = 3.375f; }, "Layout", "Width", "3375"},
        {"across", [](TPreferences &p) { p.Layout.Across = 1; }, "Layout", "Across", "1"},
        {"down", [](TPreferences &p) { p.Layout.Down = 4; }, "Layout", "Down", "4"},
        {"top margin", [](TPreferences &p) { p.Layout.TopMargin = 0.531f; }, "Layout", "TopMargin", "531"},
        {"left margin", [](TPreferences &p) { p.Layout.LeftMargin = 0.591f; }, "Layout", "LeftMargin", "591"},
        {"horizontal pitch", [](TPreferences &p) { p.Layout.HPitch = 3.6f; }, "Layout", "HPitch", "3600"},
        {"vertical pitch", [](TPreferences &p) { p.Layout.VPitch = 2.126f; }, "Layout", "VPitch", "2126"},
        {"predefined layout", [](TPreferences &p) { p.Layout.PredefLayout = 12; }, "Layout", "PredefLayout", "12"},
        {"paper size", [](TPreferences &p) { p.Layout.Papersize = 9; }, "Layout", "Papersize", "9"},
        {"millimetres", [](TPreferences &p) { p.Layout.UseMM = true; }, "Layout", "UseMM", "1"},
    };
    return cases;
}

TPreferences LoadFrom(const QString &path)
{
    TPreferences p;
    const TIniFile ini(path);
    LoadPreferences(ini, p);
    return p;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    MessageBoxes FBoxes;

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        PinPrinters();
        FBoxes.Install();
    }
    void init()
    {
        ResetProgramFolder();
        FBoxes.Clear();
    }

    void defaultsWithoutSettingsFile()
    {
        const TPreferences p = LoadFrom(SettingsFileName());
        QCOMPARE(p.Layout.Width, 3.5f);
        QCOMPARE(p.Layout.Height, 2.0f);
        QCOMPARE(p.Layout.Across, 2);
        QCOMPARE(p.Layout.Down, 5);
        QCOMPARE(p.Layout.TopMargin, 0.5f);
        QCOMPARE(p.Layout.LeftMargin, 0.75f);
        QCOMPARE(p.Layout.HPitch, 3.5f);
        QCOMPARE(p.Layout.VPitch, 2.0f);
        QCOMPARE(p.Layout.Papersize, 1);
        QCOMPARE(p.Layout.UseMM, false);
        QCOMPARE(p.Font.Name, QString("Arial"));
        QCOMPARE(p.Font.Size, 10);
        QVERIFY(!p.Font.Bold && !p.Font.Italic && !p.Font.Underline);
        QVERIFY(p.ShowBottomMarginWarning);
        QCOMPARE(p.Nudges, PrinterNudges());
        QCOMPARE(p.Personal, QStringList(10));
    }

    void mainWindowStartsWithDefaultsOnFreshMachine()
    {
        auto w = StartMainWindow();
        // 3.5 x 2.0 inches at 96 pixels per inch.
        QCOMPARE(w->BusinessCardPanel()->size(), QSize(336, 192));
        QCOMPARE(w->BusinessCardPanel()->font().family(), QString("Arial"));
        QCOMPARE(w->BusinessCardPanel()->font().pointSize(), 10);
        QCOMPARE(w->DefaultFontCaption(), QString("Default Font: Arial, 10 pt "));
        QVERIFY(w->Preferences().ShowBottomMarginWarning);
        QCOMPARE(w->Cells().size(), 10);
        QVERIFY(!w->Cells().contains(false));
        QVERIFY(QDir(CardFolder()).exists());
        QVERIFY(QDir(BackgroundArtFolder()).exists());
        QVERIFY(QDir(TextureFolder()).exists());
        QCOMPARE(w->windowTitle(), QString("Quorvel[*]"));
        QVERIFY(w->CardFileName().isEmpty());
        QCOMPARE(FBoxes.shown.size(), 0);
        Discard(w);
    }

    void everyKeyRoundTrips_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(KeyCases().size()); ++i)
            QTest::newRow(KeyCases()[i].name) << i;
    }
    void everyKeyRoundTrips()
    {
        QFETCH(int, row);
        const KeyCase &c = KeyCases()[row];
        TPreferences changed;
        c.change(changed);
        QVERIFY(!(changed == TPreferences()));
        {
            TIniFile ini(SettingsFileName());
            SavePreferences(ini, changed);
            QVERIFY(ini.UpdateFile());
        }
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.ReadString(QLatin1String(c.section), QLatin1String(c.key), QStringLiteral("<missing>")),
                 QString::fromUtf8(c.written));
        QVERIFY(LoadFrom(SettingsFileName()) == changed);
    }

    void lengthIsStoredInThousandths()
    {
        QCOMPARE(LengthToIni(3.543f), 3543);
        QCOMPARE(LengthToIni(0.0004f), 0);
        QCOMPARE(LengthToIni(0.0006f), 1);
        QCOMPARE(LengthToIni(-0.75f), -750);
        QCOMPARE(LengthFromIni(3543), 3.543f);
        QCOMPARE(LengthFromIni(2125), 2.125f);
    }

    void hexadecimalFontSizeIsRead()
    {
        WriteText(SettingsFileName(), "[Default Font]\nSize=0x0C\n");
        QCOMPARE(LoadFrom(SettingsFileName()).Font.Size, 12);
        auto w = StartMainWindow();
        QCOMPARE(w->BusinessCardPanel()->font().pointSize(), 12);
        QCOMPARE(w->DefaultFontCaption(), QString("Default Font: Arial, 12 pt "));
        Discard(w);
    }

    void unreadableNumbersGiveDefaults()
    {
        WriteText(SettingsFileName(), "[Layout]\nWidth=wide\nAcross=\nDown=5x\n[Printer]\nShowBottomMarginWarning=no\n");
        const TPreferences p = LoadFrom(SettingsFileName());
        QCOMPARE(p.Layout.Width, 3.5f);
        QCOMPARE(p.Layout.Across, 2);
        QCOMPARE(p.Layout.Down, 5);
        QVERIFY(p.ShowBottomMarginWarning);
    }

    void garbledSettingsFileStartsWithDefaults()
    {
        QByteArray junk;
        for (int i = 0; i < 2000; ++i)
            junk.append(char((i * 131 + 7) & 0xFF));
        WriteText(SettingsFileName(), junk + "\n[Layout]\nHeight=99999999\nWidth=-5\n[MRU]\nF0=\x01\x02\n");
        auto w = StartMainWindow();
        QVERIFY(w->isVisible());
        // Sizes no sheet layout can have give the default card.
        QCOMPARE(w->BusinessCardPanel()->size(), QSize(336, 192));
        Discard(w);
    }

    void freshFileHasSectionsInWritingOrder()
    {
        {
            TIniFile ini(SettingsFileName());
            SavePreferences(ini, TPreferences());
            ini.UpdateFile();
        }
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.Sections(), QStringList({"Printer", "Personal", "Default Font", "Layout"}));
        QCOMPARE(ini.ReadSectionLines(QStringLiteral("Printer")).last(), QString("ShowBottomMarginWarning=1"));
        QCOMPARE(ini.ReadSectionLines(QStringLiteral("Layout")),
                 QStringList({"Height=2000", "Width=3500", "TopMargin=500", "LeftMargin=750", "HPitch=3500",
                              "VPitch=2000", "PredefLayout=0", "Papersize=1", "Across=2", "Down=5", "UseMM=0"}));
    }

    void defaultFontCommandWritesEverySection_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("confirmed") << true;
        QTest::newRow("cancelled") << false;
    }
    void defaultFontCommandWritesEverySection()
    {
        QFETCH(bool, confirm);
        auto w = StartMainWindow();
        QVERIFY(!TIniFile(SettingsFileName()).SectionExists(QStringLiteral("Layout")));
        QString offeredName;
        platform::SetFontChooserForTests([&](TFont &font) {
            offeredName = font.Name();
            font.SetName(QStringLiteral("Courier New"));
            font.SetSize(12);
            font.SetStyle(Vcl::fsBold | Vcl::fsItalic);
            return confirm;
        });
        w->findChild<QAction *>(QStringLiteral("mnuDefaultFont"))->trigger();
        platform::SetFontChooserForTests({});
        QCOMPARE(offeredName, QString("Arial"));
        const TIniFile ini(SettingsFileName());
        for (const char *section : {"Printer", "Personal", "Default Font", "Layout"})
            QVERIFY2(ini.SectionExists(QLatin1String(section)), section);
        if (confirm) {
            QCOMPARE(w->DefaultFontCaption(), QString("Default Font: Courier New, 12 pt , bold, italic"));
            QCOMPARE(ini.ReadString(QStringLiteral("Default Font"), QStringLiteral("Name"), QString()),
                     QString("Courier New"));
            QCOMPARE(ini.ReadInteger(QStringLiteral("Default Font"), QStringLiteral("Size"), 0), 12);
            QCOMPARE(ini.ReadInteger(QStringLiteral("Default Font"), QStringLiteral("Bold"), 0), 1);
        } else {
            QCOMPARE(w->DefaultFontCaption(), QString("Default Font: Arial, 10 pt "));
            QCOMPARE(ini.ReadString(QStringLiteral("Default Font"), QStringLiteral("Name"), QString()),
                     QString("Arial"));
        }
        Discard(w);
    }

    void loadingTheFontKeepsStrikeOut()
    {
        auto w = StartMainWindow();
        QFont f = w->BusinessCardPanel()->font();
        f.setStrikeOut(true);
        w->BusinessCardPanel()->setFont(f);
        WriteText(SettingsFileName(), "[Default Font]\nName=Courier New\nSize=9\nUnderline=1\n");
        w->LoadPreferences();
        const QFont loaded = w->BusinessCardPanel()->font();
        QCOMPARE(loaded.family(), QString("Courier New"));
        QCOMPARE(loaded.pointSize(), 9);
        QVERIFY(loaded.underline());
        QVERIFY(loaded.strikeOut());
        Discard(w);
    }

    void defaultFontCaption_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<QString>("caption");
        QTest::newRow("plain") << false << false << false << "Default Font: Arial, 10 pt ";
        QTest::newRow("bold") << true << false << false << "Default Font: Arial, 10 pt , bold";
        QTest::newRow("italic") << false << true << false << "Default Font: Arial, 10 pt , italic";
        QTest::newRow("underline") << false << false << true << "Default Font: Arial, 10 pt , underline";
        QTest::newRow("all three") << true << true << true << "Default Font: Arial, 10 pt , bold, italic, underline";
    }
    void defaultFontCaption()
    {
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(QString, caption);
        auto w = StartMainWindow();
        QFont f = w->BusinessCardPanel()->font();
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
        w->BusinessCardPanel()->setFont(f);
        w->SetDefaultFontCaption();
        QCOMPARE(w->findChild<QAction *>(QStringLiteral("mnuDefaultFont"))->text(), caption);
        Discard(w);
    }

    void personalInformationCommandReloadsFileFirst()
    {
        auto w = StartMainWindow();
        // Changed in the file while the program runs: seen when the dialog opens.
        WriteText(SettingsFileName(), "[Personal]\nName=From File\n[Layout]\nDown=4\n");
        QStringList offered;
        SetDialogRunnerForTests([&](QDialog &d) {
            offered = static_cast<TPersonalInformation &>(d).Values();
            return 2;
        });
        w->PersonalInformation1Click();
        SetDialogRunnerForTests({});
        QCOMPARE(offered.value(0), QString("From File"));
        QCOMPARE(w->Layout().Down, 4);
        Discard(w);
    }

    // ---- values beyond what the program itself would write ----

    void settingsBeyondTheDialogsLimitsFallBackToDefaults_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<CardSheetLayout>("layout");
        QTest::addColumn<PrinterNudges>("nudges");
        const CardSheetLayout standard;
        CardSheetLayout four = standard;
        four.Down = 4;
        QTest::newRow("millions of rows") << QByteArray("[Layout]\nDown=30000000\n") << standard << PrinterNudges();
        QTest::newRow("negative count") << QByteArray("[Layout]\nAcross=-3\nDown=4\n") << four << PrinterNudges();
        QTest::newRow("huge width") << QByteArray("[Layout]\nWidth=2147483647\nDown=4\n") << four << PrinterNudges();
        QTest::newRow("negative height") << QByteArray("[Layout]\nHeight=-2000\nDown=4\n") << four << PrinterNudges();
        QTest::newRow("negative margin") << QByteArray("[Layout]\nTopMargin=-100000\nDown=4\n") << four << PrinterNudges();
        QTest::newRow("unknown predefined layout")
            << QByteArray("[Layout]\nPredefLayout=99\nDown=4\n") << four << PrinterNudges();
        QTest::newRow("off the paper") << QByteArray("[Layout]\nHPitch=9000\nDown=4\n") << standard << PrinterNudges();
        QTest::newRow("pitch below card") << QByteArray("[Layout]\nVPitch=1000\nDown=4\n") << standard << PrinterNudges();
        QTest::newRow("nudges held to -8..8")
            << QByteArray("[Printer]\nTopMarginNudge=99\nLeftMarginNudge=-2147483648\nVerticalSpacing=9\n"
                          "HorizontalSpacing=-3\n")
            << standard << PrinterNudges{8, -8, 8, -3};
    }
    void settingsBeyondTheDialogsLimitsFallBackToDefaults()
    {
        QFETCH(QByteArray, text);
        QFETCH(CardSheetLayout, layout);
        QFETCH(PrinterNudges, nudges);
        WriteText(SettingsFileName(), text);
        auto w = StartMainWindow();
        QVERIFY(w->Layout() == layout);
        QVERIFY(w->Preferences().Nudges == nudges);
        // The card shown is the layout's card, 3.5 x 2 inches.
        QCOMPARE(w->BusinessCardPanel()->size(), QSize(336, 192));
        QCOMPARE(FBoxes.shown.size(), 0);
        Discard(w);
    }

    void everyPredefinedLayoutIsKeptAsWritten_data()
    {
        QTest::addColumn<int>("index");
        const QStringList names = sheetlayout::PredefinedLayoutNames();
        for (int i = 0; i < names.size(); ++i)
            QTest::newRow(qPrintable(names[i])) << i;
    }
    void everyPredefinedLayoutIsKeptAsWritten()
    {
        QFETCH(int, index);
        TPreferences prefs;
        QVERIFY(sheetlayout::ApplyPredefinedLayout(index, prefs.Layout));
        prefs.Layout.PredefLayout = index;
        prefs.Layout.UseMM = true;
        {
            TIniFile ini(SettingsFileName());
            SavePreferences(ini, prefs);
            QVERIFY(ini.UpdateFile());
        }
        QVERIFY(LoadFrom(SettingsFileName()).Layout == prefs.Layout);
    }

    // ---- a settings file that cannot be written ----

    void unwritableSettingsAreToldOnceAndWrittenLater()
    {
        auto w = StartMainWindow();
        // A folder in the settings file's place: no file can be written there.
        QFile::remove(SettingsFileName());
        QVERIFY(QDir().mkpath(SettingsFileName()));
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetName(QStringLiteral("Courier New"));
            font.SetSize(14);
            return true;
        });
        w->DefaultFontClick();
        platform::SetFontChooserForTests({});
        QCOMPARE(FBoxes.Texts().size(), 1);
        QVERIFY2(FBoxes.Texts().value(0).startsWith("Unable to save the settings to " + SettingsFileName() + ": "),
                 qPrintable(FBoxes.Texts().value(0)));
        QCOMPARE(w->DefaultFontCaption(), QString("Default Font: Courier New, 14 pt "));

        // The next write, once the file can be written, carries the font along.
        FBoxes.Clear();
        QVERIFY(QDir(SettingsFileName()).removeRecursively());
        WriteText(CardFolder() + "A.QRV", TComponentWriter::ObjectListToBytes({}));
        w->OpenBCFile(CardFolder() + "A.QRV");
        QCOMPARE(FBoxes.shown.size(), 0);
        const TIniFile ini(SettingsFileName());
        QCOMPARE(ini.ReadString("Default Font", "Name", QString()), QString("Courier New"));
        QCOMPARE(ini.ReadInteger("Default Font", "Size", 0), 14);
        QCOMPARE(ini.ReadString("MRU", "F0", QString()), CardFolder() + "A.QRV");
        Discard(w);
    }

    void settingsFileTooLargeToReadIsNotWrittenOver()
    {
        QByteArray big("[Personal]\nName=Kept\n");
        big.append(QByteArray(int(TIniFile::MaxFileSize()), ';'));
        WriteText(SettingsFileName(), big);
        auto w = StartMainWindow();
        FBoxes.Clear();
        platform::SetFontChooserForTests([](TFont &) { return false; });
        w->DefaultFontClick(); // the font dialog is cancelled; the settings are written
        platform::SetFontChooserForTests({});
        QCOMPARE(FBoxes.Texts().size(), 1);
        QVERIFY2(FBoxes.Texts().value(0).contains("too large"), qPrintable(FBoxes.Texts().value(0)));
        QCOMPARE(ReadBytes(SettingsFileName()), big);
        // Once the file is gone, what was kept back is written.
        QVERIFY(QFile::remove(SettingsFileName()));
        w->SavePreferences();
        QVERIFY(TIniFile(SettingsFileName()).SectionExists("Default Font"));
        Discard(w);
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
