// The settings file reader and writer: names without regard to case, values
// exactly as written, hexadecimal integers, untouched lines kept, garbage
// read as nothing.
#include "TestSupport.h"

#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
QString WriteFile(const QString &folder, const QByteArray &bytes, const QString &name = QStringLiteral("test.ini"))
{
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}
} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void namesIgnoreCase_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("as written") << "Default Font" << "Size";
        QTest::newRow("capitals") << "DEFAULT FONT" << "SIZE";
        QTest::newRow("small letters") << "default font" << "size";
        QTest::newRow("padded") << " Default Font " << " Size ";
    }
    void namesIgnoreCase()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTemporaryDir dir;
        TIniFile ini(WriteFile(dir.path(), "[Default Font]\nName=Arial\nSize=14\n"));
        QCOMPARE(ini.ReadInteger(section, key, 0), 14);
        QVERIFY(ini.SectionExists(section));
        QVERIFY(ini.ValueExists(section, key));
    }

    void valuesAreTakenAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("spaces inside") << "Jane  Q. Public";
        QTest::newRow("backslashes") << "C:\\Program Files\\Quorvel\\bg\\logo.bmp";
        QTest::newRow("semicolon and comma") << "Smith; Jones, Partners";
        QTest::newRow("quotes") << "\"The Best\" Company";
        QTest::newRow("equals sign") << "a=b";
        QTest::newRow("percent and hash") << "100% #1";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Müller & Søn – café");
        QTest::newRow("empty") << "";
    }
    void valuesAreTakenAsWritten()
    {
        QFETCH(QString, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qrv.ini"));
        {
            TIniFile ini(path);
            ini.WriteString(QStringLiteral("Personal"), QStringLiteral("Company"), value);
            QVERIFY(ini.UpdateFile());
        }
        QVERIFY(ReadFile(path).contains("Company=" + value.toUtf8()));
        TIniFile again(path);
        QCOMPARE(again.ReadString(QStringLiteral("Personal"), QStringLiteral("Company"), QStringLiteral("?")), value);
    }

    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("negative") << "-8" << -8;
        QTest::newRow("plus sign") << "+3" << 3;
        QTest::newRow("hex 0x") << "0x0C" << 12;
        QTest::newRow("hex 0X capitals") << "0XFF" << 255;
        QTest::newRow("hex full pattern") << "0xFFFFFFFF" << -1;
        QTest::newRow("padded") << "  7  " << 7;
        QTest::newRow("not a number") << "twelve" << 99;
        QTest::newRow("number then text") << "12abc" << 99;
        QTest::newRow("empty") << "" << 99;
        QTest::newRow("bare 0x") << "0x" << 99;
        QTest::newRow("bad hex digit") << "0x1G" << 99;
        QTest::newRow("too large") << "4294967296" << 99;
        QTest::newRow("fraction") << "3.5" << 99;
    }
    void integers()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QTemporaryDir dir;
        TIniFile ini(WriteFile(dir.path(), "[S]\nK=" + text.toUtf8() + "\n"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("K"), 99), expected);
    }

    void booleansAreAnyNonZeroInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1") << "1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("2") << "2" << false << true;
        QTest::newRow("-1") << "-1" << false << true;
        QTest::newRow("hex") << "0x10" << false << true;
        QTest::newRow("word true gives default") << "true" << false << false;
        QTest::newRow("garbage keeps default true") << "yes" << true << true;
    }
    void booleansAreAnyNonZeroInteger()
    {
        QFETCH(QString, text);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        TIniFile ini(WriteFile(dir.path(), "[S]\nB=" + text.toUtf8() + "\n"));
        QCOMPARE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("B"), defaultValue), expected);
    }

    void missingFileSectionOrKeyGiveDefaults()
    {
        QTemporaryDir dir;
        TIniFile none(dir.filePath(QStringLiteral("absent.ini")));
        QCOMPARE(none.ReadString(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("def")), QString("def"));
        QCOMPARE(none.ReadInteger(QStringLiteral("A"), QStringLiteral("B"), 5), 5);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("absent.ini")))); // reading creates nothing
        TIniFile ini(WriteFile(dir.path(), "[A]\nX=1\n"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("B"), QStringLiteral("X"), 5), 5);
        QCOMPARE(ini.ReadInteger(QStringLiteral("A"), QStringLiteral("Y"), 5), 5);
    }

    void writingKeepsEverythingElse()
    {
        QTemporaryDir dir;
        const QByteArray original = "; written by hand\n"
                                    "[Printer]\n"
                                    "TopMarginNudge=1\n"
                                    "SomethingNew=keep me\n"
                                    "a line without equals sign\n"
                                    "\n"
                                    "[Plugins]\n"
                                    "Path=/opt/x;/opt/y\n";
        const QString path = WriteFile(dir.path(), original);
        {
            TIniFile ini(path);
            ini.WriteInteger(QStringLiteral("printer"), QStringLiteral("topmarginnudge"), -3);
            ini.WriteInteger(QStringLiteral("Printer"), QStringLiteral("LeftMarginNudge"), 2);
            ini.WriteString(QStringLiteral("MRU"), QStringLiteral("F0"), QStringLiteral("/cards/a.qrv"));
            QVERIFY(ini.UpdateFile());
        }
        QCOMPARE(ReadFile(path), QByteArray("; written by hand\n"
                                            "[Printer]\n"
                                            "TopMarginNudge=-3\n"
                                            "SomethingNew=keep me\n"
                                            "a line without equals sign\n"
                                            "LeftMarginNudge=2\n"
                                            "\n"
                                            "[Plugins]\n"
                                            "Path=/opt/x;/opt/y\n"
                                            "\n"
                                            "[MRU]\n"
                                            "F0=/cards/a.qrv\n"));
    }

    void firstOfRepeatedKeysAndSectionsCounts()
    {
        QTemporaryDir dir;
        TIniFile ini(WriteFile(dir.path(), "[S]\nK=1\nK=2\n[S]\nK=3\n"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("K"), 0), 1);
    }

    void eraseSectionRemovesOnlyThatSection()
    {
        QTemporaryDir dir;
        const QString path = WriteFile(dir.path(), "[MRU]\nF0=a\nF1=b\n\n[Layout]\nWidth=3500\n");
        TIniFile ini(path);
        ini.EraseSection(QStringLiteral("mru"));
        QVERIFY(!ini.SectionExists(QStringLiteral("MRU")));
        QCOMPARE(ini.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 0), 3500);
        QVERIFY(ini.UpdateFile());
        QCOMPARE(ReadFile(path), QByteArray("\n[Layout]\nWidth=3500\n"));
    }

    void sectionLinesInFileOrder()
    {
        QTemporaryDir dir;
        TIniFile ini(WriteFile(dir.path(), "[MRU]\r\nF2=/c\r\n\r\nF0=/a=b\r\nnoise\r\n[Other]\r\nF9=z\r\n"));
        QCOMPARE(ini.ReadSectionLines(QStringLiteral("MRU")), QStringList({"F2=/c", "F0=/a=b", "noise"}));
        QCOMPARE(ini.Sections(), QStringList({"MRU", "Other"}));
    }

    void lineEndsOfTheFileAreKept()
    {
        QTemporaryDir dir;
        const QString path = WriteFile(dir.path(), "[A]\r\nX=1\r\n");
        TIniFile ini(path);
        ini.WriteInteger(QStringLiteral("A"), QStringLiteral("Y"), 2);
        QVERIFY(ini.UpdateFile());
        QCOMPARE(ReadFile(path), QByteArray("[A]\r\nX=1\r\nY=2\r\n"));
    }

    void singleByteFileIsRead()
    {
        QTemporaryDir dir;
        // "Müller" in a single-byte code page, as an older program wrote it.
        TIniFile ini(WriteFile(dir.path(), "[Personal]\nName=M\xfcller\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("Personal"), QStringLiteral("Name"), QString()),
                 QString::fromUtf8("Müller"));
    }

    void garbledFileGivesDefaultsWithoutCrash_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 7919) & 0xFF));
        QTest::newRow("binary") << binary;
        QTest::newRow("only brackets") << QByteArray("[[[[]]]]\n]\n[\n=\n==\n");
        QTest::newRow("nul bytes") << QByteArray("[Layout]\0Width=\0\0\n", 18);
        QTest::newRow("unclosed section") << QByteArray("[Layout\nWidth=9999\n");
    }
    void garbledFileGivesDefaultsWithoutCrash()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = WriteFile(dir.path(), bytes);
        TIniFile ini(path);
        QCOMPARE(ini.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 3500), 3500);
        ini.WriteInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 3000);
        QVERIFY(ini.UpdateFile());
        TIniFile again(path);
        QCOMPARE(again.ReadInteger(QStringLiteral("Layout"), QStringLiteral("Width"), 0), 3000);
    }

    // A settings file that cannot be written whole stays as it was, and the
    // error names it and the reason.
    void failedWriteKeepsTheFileAndSaysWhy_data()
    {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("missing folder") << false;
        QTest::newRow("full disk") << true;
    }

    void failedWriteKeepsTheFileAndSaysWhy()
    {
        QFETCH(bool, fullDisk);
        QTemporaryDir dir;
        testsupport::TTinyDisk disk;
        if (fullDisk && !disk.Mounted())
            QSKIP(qPrintable(disk.Why()));
        const QString path = fullDisk ? disk.File(QStringLiteral("qrv.ini")) : dir.filePath(QStringLiteral("no/such/qrv.ini"));
        if (fullDisk) {
            WriteFile(QFileInfo(path).absolutePath(), "[A]\nB=0\n", QStringLiteral("qrv.ini"));
            disk.Fill();
        }
        TIniFile ini(path);
        ini.WriteString(QStringLiteral("A"), QStringLiteral("B"), QString(8000, QLatin1Char('x')));
        QVERIFY(!ini.UpdateFile());
        QVERIFY(ini.Modified());
        QCOMPARE(ini.ErrorString(), QStringLiteral("Unable to write %1: %2")
                                        .arg(path, fullDisk ? "No space left on device" : "No such file or directory"));
        if (fullDisk) {
            QCOMPARE(ReadFile(path), QByteArray("[A]\nB=0\n"));
            QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList({"*.part"}, QDir::Files | QDir::Hidden), QStringList());
        }
    }

    void unchangedFileIsNotRewritten()
    {
        QTemporaryDir dir;
        const QString path = WriteFile(dir.path(), "[A]\nX=1\n");
        TIniFile ini(path);
        ini.WriteInteger(QStringLiteral("A"), QStringLiteral("X"), 1);
        QVERIFY(!ini.Modified());
    }
};

QTEST_MAIN(TestIniFile)
#include "tst_inifile.moc"
