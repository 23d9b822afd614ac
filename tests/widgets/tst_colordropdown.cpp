// The colour drop-down: its eighteen colours, presetting by value (the first
// equal entry wins), choosing by the user, and how its items are drawn.
#include "TestSupport.h"

#include "widgets/ColorDropDown.h"

#include <QFontInfo>
#include <QPainter>
#include <QSignalSpy>

using namespace testsupport;

class TestColorDrop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void eighteenNamedColours()
    {
        TColorDrop drop;
        QCOMPARE(drop.count(), 18);
        QCOMPARE(TColorDrop::ColorCount(), 18);
        QCOMPARE(drop.itemText(0), QStringLiteral("Black"));
        QCOMPARE(drop.itemText(15), QStringLiteral("Light Gray"));
        QCOMPARE(drop.itemText(17), QStringLiteral("White"));
        // Colours are stored with red in the lowest byte.
        QCOMPARE(int(TColorDrop::ColorValue(1)), 0x000080); // maroon
        QCOMPARE(int(TColorDrop::ColorValue(4)), 0x800000); // navy
        QCOMPARE(int(TColorDrop::ColorValue(11)), 0x00FFFF); // yellow
        QCOMPARE(int(drop.SelectedColor()), 0);
        QVERIFY(!drop.isEditable());
    }

    void presetSelectsTheFirstEqualEntry_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("shown");
        QTest::newRow("silver, never light gray") << 0xC0C0C0 << "Silver";
        QTest::newRow("gray, never dark gray") << 0x808080 << "Gray";
        QTest::newRow("aqua") << 0xFFFF00 << "Aqua";
    }
    void presetSelectsTheFirstEqualEntry()
    {
        QFETCH(int, color);
        QFETCH(QString, shown);
        TColorDrop drop;
        QSignalSpy change(&drop, &TColorDrop::Change);
        drop.SetSelectedColor(color);
        QCOMPARE(drop.currentText(), shown);
        QCOMPARE(int(drop.SelectedColor()), int(TColorDrop::ColorValue(drop.currentIndex())));
        QCOMPARE(change.count(), 0);
    }

    void colourOutsideTheListShowsNearestNameAndItsOwnSwatch_data()
    {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("shown");
        QTest::newRow("never preset shows black") << -1 << "Black";
        QTest::newRow("a dark red") << 0x1010E0 << "Red";
        QTest::newRow("near grey") << 0x7A7F84 << "Gray";
        QTest::newRow("a system colour") << int(platform::clWindowText) << "Black";
    }
    void colourOutsideTheListShowsNearestNameAndItsOwnSwatch()
    {
        QFETCH(int, color);
        QFETCH(QString, shown);
        TColorDrop drop;
        drop.resize(160, drop.sizeHint().height());
        if (color >= 0) {
            drop.SetSelectedColor(platform::clRed);
            drop.SetSelectedColor(color);
        }
        QCOMPARE(drop.currentText(), shown);
        // The colour goes back to the dialog as it came.
        QCOMPARE(int(drop.SelectedColor()), color >= 0 ? color : 0);
        // The closed box paints the colour itself as its swatch.
        const QImage box = drop.grab().toImage();
        const QColor expected = platform::ToQColor(drop.SelectedColor());
        bool swatch = false;
        for (int x = 0; x < box.width() && !swatch; ++x)
            swatch = box.pixelColor(x, box.height() / 2) == expected;
        QVERIFY(swatch);
    }

    void choosingAnItemSetsTheColourThenSignals()
    {
        TColorDrop drop;
        drop.SetSelectedColor(platform::clBlack);
        drop.show();
        QVERIFY(QTest::qWaitForWindowExposed(&drop));
        int seen = -1;
        connect(&drop, &TColorDrop::Change, &drop, [&] { seen = drop.SelectedColor(); });
        drop.setFocus();
        QTest::keyClick(&drop, Qt::Key_Down);
        QCOMPARE(drop.currentText(), QStringLiteral("Maroon"));
        QCOMPARE(seen, int(platform::clMaroon));
    }

    void itemHeightFollowsTheFont()
    {
        TColorDrop drop;
        QFont font = drop.font();
        font.setPixelSize(20);
        drop.setFont(font);
        QCOMPARE(drop.ItemHeight(), 24);
    }

    void itemIsASwatchAndAName()
    {
        TColorDrop drop;
        QImage image(120, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        drop.DrawItem(p, QRect(0, 0, 120, 20), 9, false);
        p.end();
        // The swatch from x = 4 to the item height, 2 pixels inside top and bottom.
        QCOMPARE(image.pixelColor(10, 10), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(10, 1), drop.palette().color(QPalette::Base));
        QCOMPARE(image.pixelColor(2, 10), drop.palette().color(QPalette::Base));
        QCOMPARE(image.pixelColor(4, 10), drop.palette().color(QPalette::Text)); // frame
        // The name starts right of the swatch.
        bool text = false;
        for (int x = 24; x < 60; ++x)
            for (int y = 0; y < 20; ++y)
                text = text || qGray(image.pixel(x, y)) < 128;
        QVERIFY(text);
    }
};

QTEST_MAIN(TestColorDrop)
#include "tst_colordropdown.moc"
