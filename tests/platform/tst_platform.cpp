// The platform layer's value rules that geometry and card files depend on.
#include "TestSupport.h"

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/ProgramFolder.h"
#include "platform/Rounding.h"

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void roundIsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("151.5 up to even") << 151.5 << 152;
        QTest::newRow("46.5 down to even") << 46.5 << 46;
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("0.96 (pen width at preview)") << 0.96 << 1;
    }
    void roundIsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(platform::Round(value), expected);
    }

    void mulDivRoundsHalfAwayFromZero_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("expected");
        QTest::newRow("10pt at 96ppi") << 10 << 96 << 72 << 13;
        QTest::newRow("height -13 back to points") << -13 << 72 << 96 << -10;
        QTest::newRow("half up") << 1 << 3 << 2 << 2;
        QTest::newRow("negative half away") << -1 << 3 << 2 << -2;
        QTest::newRow("no overflow") << 2000000000 << 3 << 4 << 1500000000;
        QTest::newRow("divide by zero") << 5 << 5 << 0 << -1;
    }
    void mulDivRoundsHalfAwayFromZero()
    {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(int, expected);
        QCOMPARE(platform::MulDiv(a, b, c), expected);
    }

    void colorIdentifiersRoundTrip_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("ident");
        QTest::newRow("black") << 0 << "clBlack";
        QTest::newRow("white") << 0xFFFFFF << "clWhite";
        QTest::newRow("navy") << 0x800000 << "clNavy";
        QTest::newRow("red") << 0x0000FF << "clRed";
        QTest::newRow("button face") << int(0x8000000F) << "clBtnFace";
        QTest::newRow("button shadow") << int(0x80000010) << "clBtnShadow";
    }
    void colorIdentifiersRoundTrip()
    {
        QFETCH(int, value);
        QFETCH(QString, ident);
        QCOMPARE(platform::ColorToIdent(value).value_or(QString()), ident);
        QCOMPARE(platform::IdentToColor(ident.toLower()).value_or(-1), value);
    }

    void unnamedColorHasNoIdentifier() { QVERIFY(!platform::ColorToIdent(12648430)); }

    void systemColorsResolveBeforeArithmetic()
    {
        QCOMPARE(platform::ColorToRGB(platform::clBtnFace), 0xC0C0C0);
        QCOMPARE(platform::ToQColor(platform::clRed), QColor(255, 0, 0));
        QCOMPARE(platform::ToQColor(platform::clNavy), QColor(0, 0, 128));
    }

    void fontHeightAndSizeFollowScreenResolution()
    {
        testsupport::InitEnvironment();
        TFont font;
        font.SetSize(10);
        QCOMPARE(font.Height(), -13);
        QCOMPARE(font.Size(), 10);
        QCOMPARE(font.ToQFont(1.6).pixelSize(), 20); // 13 x 1.6 = 20.8, truncated
    }

    void penAndBrushDefaults()
    {
        TPen pen;
        TBrush brush;
        QCOMPARE(int(pen.Color()), 0);
        QCOMPARE(pen.Mode(), Vcl::pmCopy);
        QCOMPARE(pen.Style(), Vcl::psSolid);
        QCOMPARE(pen.Width(), 1);
        QCOMPARE(int(brush.Color()), 16777215);
        QCOMPARE(brush.Style(), Vcl::bsSolid);
    }

    void programFolderComesFromEnvironment()
    {
        QTemporaryDir dir;
        qputenv("QUORVEL_HOME", (dir.path() + "/sub").toLocal8Bit());
        const QString folder = platform::ProgramFolder();
        QVERIFY(folder.endsWith('/'));
        QVERIFY(QFileInfo(folder).isDir());
        QCOMPARE(QDir(folder).absolutePath(), QDir(dir.path() + "/sub").absolutePath());
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
