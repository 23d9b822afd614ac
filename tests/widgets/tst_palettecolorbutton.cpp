// The palette colour button as a user meets it: the colour it shows and its
// place in the palette, cycling through the palette, choosing and escaping in
// the drop-down, where the drop-down opens, and custom colours that outlive
// the button in the settings file.
#include "TestSupport.h"

#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "widgets/PaletteColorButton.h"

#include <QScreen>

using namespace testsupport;

namespace {

TColor Rgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

// The middle of the swatch as the button draws it.
QRgb SwatchPixel(TDFSColorButton &button)
{
    const QImage image = button.grab().toImage();
    return image.pixel(8, image.height() / 2);
}

} // namespace

class TestPaletteColorButton : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void colourFindsItsPlace_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("index");
        QTest::newRow("red is column 1, row 2") << int(Rgb(255, 0, 0)) << 2;
        QTest::newRow("dark red is column 2, row 2") << int(Rgb(127, 0, 0)) << 7;
        QTest::newRow("the last grey") << int(Rgb(159, 159, 159)) << 20;
        QTest::newRow("not in the palette") << int(Rgb(18, 52, 86)) << 0;
    }
    void colourFindsItsPlace()
    {
        QFETCH(int, color);
        QFETCH(int, index);
        TDFSColorButton button;
        button.resize(60, 24);
        QSignalSpy changes(&button, &TDFSColorButton::ColorChange);
        button.SetColor(color);
        QCOMPARE(button.PaletteIndex(), index);
        QCOMPARE(int(button.OtherColor()), int(platform::clBtnFace));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(SwatchPixel(button), platform::ToQColor(color).rgb());
    }

    // A click on the swatch steps to the next colour, from the last palette
    // entry to the other colour; a click on the arrow drops the palette.
    void cyclingThroughThePalette()
    {
        QWidget window;
        auto *button = new TDFSColorButton(&window);
        button->setGeometry(10, 10, 60, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        button->SetCycleColors(true);
        button->SetOtherColor(Rgb(1, 2, 3));
        button->SetColor(Rgb(159, 159, 159));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 12));
        QCOMPARE(button->PaletteIndex(), 0);
        QCOMPARE(int(button->Color()), int(Rgb(1, 2, 3)));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 12));
        QCOMPARE(int(button->Color()), int(Rgb(255, 255, 255)));
        QVERIFY(!button->Palette());
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(55, 12));
        QVERIFY(button->Palette());
        button->Palette()->close();
    }

    // Choosing a cell takes its colour; Escape leaves the colour alone; the
    // drop-down opens below the button, or above it at the bottom of the screen.
    void choosingFromTheDropDown()
    {
        QWidget window;
        auto *button = new TDFSColorButton(&window);
        button->setGeometry(10, 10, 60, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        button->SetColor(Rgb(0, 0, 0));

        QTest::mouseClick(button, Qt::LeftButton);
        TDFSColorButtonPalette *palette = button->Palette();
        QVERIFY(palette);
        QVERIFY(palette->y() >= button->mapToGlobal(QPoint(0, button->height())).y());
        QCOMPARE(palette->Highlight(), 6);
        QTest::keyClick(palette, Qt::Key_Escape);
        QTRY_VERIFY(!button->Palette());
        QCOMPARE(int(button->Color()), int(Rgb(0, 0, 0)));

        QTest::mouseClick(button, Qt::LeftButton);
        palette = button->Palette();
        QVERIFY(palette);
        const QPoint redCell = TDFSColorButtonPalette::CellRect(2).center();
        QTest::mouseMove(palette, redCell);
        QTest::mouseClick(palette, Qt::LeftButton, {}, redCell);
        QTRY_VERIFY(!button->Palette());
        QCOMPARE(int(button->Color()), int(Rgb(255, 0, 0)));
        QCOMPARE(SwatchPixel(*button), qRgb(255, 0, 0));

        // Arrow keys walk the grid; Enter takes the cell.
        QTest::mouseClick(button, Qt::LeftButton);
        palette = button->Palette();
        QVERIFY(palette);
        QTest::keyClick(palette, Qt::Key_Right); // column 2, row 2
        QTest::keyClick(palette, Qt::Key_Down);  // column 2, row 3
        QTest::keyClick(palette, Qt::Key_Return);
        QTRY_VERIFY(!button->Palette());
        QCOMPARE(int(button->Color()), int(Rgb(0, 127, 0)));

        const QRect work = window.screen()->availableGeometry();
        window.move(work.left() + 20, work.bottom() - 60);
        QTest::qWait(50);
        QTest::mouseClick(button, Qt::LeftButton);
        palette = button->Palette();
        QVERIFY(palette);
        QVERIFY(palette->y() + TDFSColorButtonPalette::kClientHeight / 2 < button->mapToGlobal(QPoint(0, 0)).y());
        palette->close();
    }

    // Custom colours are written to the settings file when the button goes
    // and read back by the next button of the same name on the same form.
    void customColoursOutliveTheButton()
    {
        const QString ini = platform::ProgramFolder() + QStringLiteral("qrv.ini");
        {
            QWidget form;
            form.setObjectName(QStringLiteral("TSuperTextProperties"));
            auto *button = new TDFSColorButton(&form);
            button->setObjectName(QStringLiteral("ShadowColorButton"));
            button->SetCustomColorsKey(QStringLiteral("Software\\Quorvel"));
            form.show();
            button->CustomColors().SetColor(1, 1, Rgb(255, 0, 0));
            button->CustomColors().SetColor(8, 2, Rgb(0, 0, 255));
        }
        const QString line = TIniFile(ini).ReadString(QStringLiteral("Colors"),
                                                      QStringLiteral("ShadowColorButton.TSuperTextProperties"), {});
        QVERIFY(line.startsWith(QStringLiteral("$000000FF,$00FFFFFF,")));
        QVERIFY(line.endsWith(QStringLiteral(",$00FF0000")));
        QCOMPARE(line.count(QLatin1Char(',')), 15);

        // A damaged entry turns white; the others are read.
        TIniFile edit(ini);
        edit.WriteString(QStringLiteral("Colors"), QStringLiteral("ShadowColorButton.TSuperTextProperties"),
                         line.left(line.size() - 9) + QStringLiteral("$nonsense"));
        edit.UpdateFile();
        QWidget form;
        form.setObjectName(QStringLiteral("TSuperTextProperties"));
        auto *button = new TDFSColorButton(&form);
        button->setObjectName(QStringLiteral("ShadowColorButton"));
        button->SetCustomColorsKey(QStringLiteral("Software\\Quorvel"));
        form.show();
        QCOMPARE(int(button->CustomColors().Color(1, 1)), int(Rgb(255, 0, 0)));
        QCOMPARE(int(button->CustomColors().Color(8, 2)), int(platform::clWhite));
    }
};

QTEST_MAIN(TestPaletteColorButton)
#include "tst_palettecolorbutton.moc"
