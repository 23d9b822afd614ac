// The "Business Card Layout" dialog driven through its own controls: the
// predefined layouts, millimetre entry, the validation messages, pitch
// raising, the paper choice, the drawing of the sheet; and sizing the card
// panel from the layout.
#include "TestSupport.h"

#include "platform/Dialogs.h"
#include "printing/DialogKit.h"
#include "printing/NudgeSample.h"
#include "printing/SheetLayoutDialog.h"
#include "surface/BusinessCardPanel.h"
#include "widgets/NumericEdit.h"
#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

using testsupport::WhenModal;

const QString kHeightMessage = QStringLiteral("Card Height must be at least .3 inches (or 7mm)");
const QString kWidthMessage = QStringLiteral("Card Width must be at least .5 inch (or 13mm)");
const QString kHPitchMessage = QStringLiteral("Horizontal Pitch must be at least = Card Width");
const QString kVPitchMessage = QStringLiteral("Vertical Pitch must be at least = Card Height");

// The dialog, shown and active, with the message boxes it raises collected
// instead of shown.
struct LayoutDialog {
    TEditCardLayout dialog;
    QStringList messages;

    explicit LayoutDialog(const CardSheetLayout &layout = CardSheetLayout())
        : dialog(layout)
    {
        testsupport::CollectMessageTexts(messages);
        testsupport::ShowActive(&dialog, "layout dialog");
    }
    ~LayoutDialog() { platform::SetMessageBoxForTests({}); }

    template <class T> T *Find(const char *name) const
    {
        T *w = dialog.findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    TNumEdit *Edit(const char *name) const { return Find<TNumEdit>(name); }
    QString Shown(const char *name) const { return Edit(name)->text(); }

    // Tabs into the edit (which selects its text) and types over it.
    void Type(const char *name, const QString &keys)
    {
        QWidget *w = dialog.findChild<QWidget *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        w->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(w, keys);
    }
    // Moves the focus on, as the Tab key does.
    void Leave() { Find<QComboBox>("PredefinedLayouts")->setFocus(Qt::TabFocusReason); }

    // Picks a predefined layout the way the keyboard does in the list.
    void ChooseLayout(int index)
    {
        auto *combo = Find<QComboBox>("PredefinedLayouts");
        combo->setFocus(Qt::TabFocusReason);
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
    }
    void Click(const char *name) { QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton); }
    void ClickOk() { Click("OKButton"); }
    bool Accepted() const { return dialog.result() == QDialog::Accepted && !dialog.isVisible(); }
};

// A layout different from every predefined one, so that a choice shows.
CardSheetLayout CustomLayout()
{
    CardSheetLayout layout;
    layout.Width = 3.0f;
    layout.Height = 1.5f;
    layout.Across = 1;
    layout.Down = 3;
    layout.TopMargin = 1.0f;
    layout.LeftMargin = 1.0f;
    layout.HPitch = 3.25f;
    layout.VPitch = 1.75f;
    layout.PredefLayout = 5;
    return layout;
}

} // namespace

class TestSheetLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    void listsTheFourteenLayoutsInOrder()
    {
        LayoutDialog d;
        auto *combo = d.Find<QComboBox>("PredefinedLayouts");
        QCOMPARE(combo->count(), 14);
        QCOMPARE(combo->itemText(0), QStringLiteral("Avery Business Card 5371 (Letter Size Paper)"));
        QCOMPARE(combo->itemText(7), QStringLiteral("Avery Business Card 8376 Ink Jet - Ivory (Letter Size Paper)"));
        QCOMPARE(combo->itemText(10), QStringLiteral("Avery Business Card L7414 (A4 Size Paper)"));
        QCOMPARE(combo->itemText(13), QStringLiteral("Avery Business Card L7419 (A4)"));
        QCOMPARE(combo->maxVisibleItems(), 13);
        auto *paper = d.Find<QComboBox>("epapersize");
        QCOMPARE(paper->count(), 3);
        QCOMPARE(paper->itemText(0), QStringLiteral("Letter (8.5 x 11\")"));
        QCOMPARE(paper->itemText(1), QStringLiteral("A4 (210 x 297mm)"));
        QCOMPARE(paper->itemText(2), QString());
        QCOMPARE(d.dialog.windowTitle(), QStringLiteral("Business Card Layout"));
    }

    void choosingAPredefinedLayoutFillsTheDialog_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("paper");
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("top");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("vpitch");
        const QStringList names = sheetlayout::PredefinedLayoutNames();
        for (int i = 0; i <= 8; ++i)
            QTest::newRow(qPrintable(names[i])) << i << 1 << 2.0f << 3.5f << 0.5f << 0.75f << 2.0f;
        QTest::newRow("L7413") << 9 << 9 << 2.0f << 3.543f << 0.846f << 0.591f << 2.0f;
        QTest::newRow("L7414") << 10 << 9 << 2.047f << 3.543f << 0.728f << 0.591f << 2.047f;
        QTest::newRow("L7415") << 11 << 9 << 2.047f << 3.543f << 0.728f << 0.591f << 2.047f;
        QTest::newRow("L7417") << 12 << 9 << 2.126f << 3.543f << 0.531f << 0.591f << 2.126f;
        QTest::newRow("L7419") << 13 << 9 << 2.126f << 3.543f << 0.531f << 0.591f << 2.126f;
    }
    void choosingAPredefinedLayoutFillsTheDialog()
    {
        QFETCH(int, index);
        QFETCH(int, paper);
        QFETCH(float, height);
        QFETCH(float, width);
        QFETCH(float, top);
        QFETCH(float, left);
        QFETCH(float, vpitch);
        LayoutDialog d(CustomLayout());
        d.ChooseLayout(index);

        const auto shown = [](float inches) { return numedit::FormatFloat(QStringLiteral("#0.###"), inches); };
        QCOMPARE(d.Shown("eCardwidth"), shown(width));
        QCOMPARE(d.Shown("eCardHeight"), shown(height));
        QCOMPARE(d.Shown("eHorizPitch"), shown(width));
        QCOMPARE(d.Shown("eVertPitch"), shown(vpitch));
        QCOMPARE(d.Shown("etopmarg"), shown(top));
        QCOMPARE(d.Shown("eleftmarg"), shown(left));
        QCOMPARE(d.Find<TSpinEdit>("enbracross")->Value(), 2);
        QCOMPARE(d.Find<TSpinEdit>("enbrdown")->Value(), 5);
        QCOMPARE(d.Find<QComboBox>("epapersize")->currentIndex(), paper == 1 ? 0 : 1);

        d.ClickOk();
        QVERIFY(d.messages.isEmpty());
        QVERIFY(d.Accepted());
        const CardSheetLayout &l = d.dialog.Layout();
        QCOMPARE(l.PredefLayout, index);
        QCOMPARE(l.Papersize, paper);
        QCOMPARE(double(l.Height), double(height));
        QCOMPARE(double(l.Width), double(width));
        QCOMPARE(double(l.TopMargin), double(top));
        QCOMPARE(double(l.LeftMargin), double(left));
        QCOMPARE(double(l.HPitch), double(width));
        QCOMPARE(double(l.VPitch), double(vpitch));
        QCOMPARE(l.Across, 2);
        QCOMPARE(l.Down, 5);
        QVERIFY(!l.UseMM);
    }

    void l7414ShowsItsValues()
    {
        LayoutDialog d(CustomLayout());
        d.ChooseLayout(10);
        QCOMPARE(d.Shown("eCardHeight"), QStringLiteral("2.047"));
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("3.543"));
        QCOMPARE(d.Shown("etopmarg"), QStringLiteral("0.728"));
        QCOMPARE(d.Shown("eleftmarg"), QStringLiteral("0.591"));
        QCOMPARE(d.Shown("eHorizPitch"), QStringLiteral("3.543"));
        QCOMPARE(d.Shown("eVertPitch"), QStringLiteral("2.047"));
        QCOMPARE(d.Find<QComboBox>("epapersize")->currentText(), QStringLiteral("A4 (210 x 297mm)"));
    }

    void firstShowFillsFromTheLayout()
    {
        LayoutDialog d(CustomLayout());
        QCOMPARE(d.Find<QComboBox>("PredefinedLayouts")->currentIndex(), 5);
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("3"));
        QCOMPARE(d.Shown("eHorizPitch"), QStringLiteral("3.25"));
        QCOMPARE(d.Find<TSpinEdit>("enbracross")->Value(), 1);
        QCOMPARE(d.Find<TSpinEdit>("enbrdown")->Value(), 3);
        QVERIFY(d.Find<QRadioButton>("Inchesbutton")->isChecked());
        // The list shows item 5 but the custom values stay until a choice.
        d.ClickOk();
        QVERIFY(d.Accepted());
        CardSheetLayout expected = CustomLayout();
        QCOMPARE(d.dialog.Layout(), expected);
    }

    void sheetDrawingFollowsEveryField()
    {
        LayoutDialog d;
        auto *drawing = d.Find<TNudgeSample>("SheetDrawing");
        // What the drawing shows at a point of the paper, inches from its
        // corner: a card (grey), the margin line (blue) or bare paper.
        auto shownAt = [drawing](double x, double y) {
            const QImage image = drawing->grab().toImage();
            const QPoint p =
                (drawing->PaperRect().topLeft() + QPointF(x, y) * drawing->PixelsPerInch()).toPoint();
            QString seen = "paper";
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = image.pixelColor(p + QPoint(dx, 0));
                if (c.blue() - c.red() > 80)
                    return QStringLiteral("margin");
                if (dx == 0 && qAbs(c.red() - 210) < 12 && qAbs(c.blue() - 210) < 12)
                    seen = "card";
            }
            return seen;
        };
        // Letter, cards of 3.5 x 2 in from (0.75, 0.5), two across.
        QCOMPARE(shownAt(1.5, 1.5), "card");
        QCOMPARE(shownAt(6.0, 1.5), "card");
        QCOMPARE(shownAt(1.5, 10.75), "paper");
        QCOMPARE(shownAt(2.5, 0.25), "margin"); // through the first column's middle
        QCOMPARE(shownAt(0.375, 1.5), "margin"); // through the first row's middle

        // The cards move with the digits as they are typed, before the edit is left.
        d.Type("etopmarg", "3");
        QCOMPARE(shownAt(1.5, 1.5), "paper");
        QCOMPARE(shownAt(1.5, 3.5), "card");
        QCOMPARE(shownAt(2.5, 1.5), "margin");
        d.Type("eleftmarg", "2");
        QCOMPARE(shownAt(1.5, 3.5), "paper");
        QCOMPARE(shownAt(2.5, 3.5), "card");
        d.Type("enbracross", "1");
        QCOMPARE(shownAt(6.0, 3.5), "paper");
        d.Type("eVertPitch", "3");
        QCOMPARE(shownAt(2.5, 5.25), "paper"); // between the first two rows
        QCOMPARE(shownAt(2.5, 6.5), "card");

        // A4 paper: the paper's shape.
        auto *paper = d.Find<QComboBox>("epapersize");
        paper->setFocus(Qt::TabFocusReason);
        QTest::keyClick(paper, Qt::Key_Down);
        QCOMPARE(paper->currentIndex(), 1);
        QCOMPARE(qRound(drawing->PaperRect().height() / drawing->PaperRect().width() * 1000), qRound(297000.0 / 210));

        // The same sheet in millimetres draws the same.
        const QImage inches = drawing->grab().toImage();
        d.Click("MMButton");
        QCOMPARE(d.Shown("etopmarg"), QStringLiteral("76.2"));
        QCOMPARE(drawing->grab().toImage(), inches);
    }

    void millimetresAreStoredAsInches_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<float>("inches");
        QTest::newRow("88.90 mm") << "88.90" << 3.5f;
        QTest::newRow("90 mm") << "90" << 3.543f;
        QTest::newRow("100 mm") << "100" << 3.937f;
        QTest::newRow("12.7 mm") << "12.7" << 0.5f;
    }
    void millimetresAreStoredAsInches()
    {
        QFETCH(QString, typed);
        QFETCH(float, inches);
        // Compared as doubles: single values must match exactly, not within a tolerance.
        QCOMPARE(double(sheetlayout::MillimetresToInches(typed.toDouble())), double(inches));

        LayoutDialog d;
        d.Click("MMButton");
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("88.9"));
        QCOMPARE(d.Shown("eCardHeight"), QStringLiteral("50.8"));
        QCOMPARE(d.Shown("etopmarg"), QStringLiteral("12.7"));
        QCOMPARE(d.Shown("eleftmarg"), QStringLiteral("19.05"));
        d.Type("eCardwidth", typed);
        d.ClickOk();
        QCOMPARE(d.messages, QStringList());
        QVERIFY(d.Accepted());
        QCOMPARE(double(d.dialog.Layout().Width), double(inches));
        QVERIFY(d.dialog.Layout().UseMM);
        QCOMPARE(double(d.dialog.Layout().Height), double(2.0f));
        QCOMPARE(double(d.dialog.Layout().LeftMargin), double(0.75f));
    }

    void a4LayoutSurvivesTheMillimetreDisplay()
    {
        LayoutDialog d(CustomLayout());
        d.Click("MMButton");
        d.ChooseLayout(12); // L7417
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("90"));
        QCOMPARE(d.Shown("eCardHeight"), QStringLiteral("54"));
        d.ClickOk();
        QVERIFY(d.Accepted());
        QCOMPARE(double(d.dialog.Layout().Width), double(3.543f));
        QCOMPARE(double(d.dialog.Layout().Height), double(2.126f));
        QCOMPARE(double(d.dialog.Layout().TopMargin), double(0.531f));
    }

    void millimetresReopenAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char *typed : {"15", "90", "88.9", "19.05", "7.5", "210"})
            QTest::newRow(typed) << QString::fromLatin1(typed);
    }
    void millimetresReopenAsTyped()
    {
        QFETCH(QString, typed);
        CardSheetLayout saved;
        {
            LayoutDialog d;
            d.Click("MMButton");
            d.Type("etopmarg", typed);
            d.ClickOk();
            QVERIFY(d.Accepted());
            saved = d.dialog.Layout();
        }
        LayoutDialog again(saved);
        QCOMPARE(again.Shown("etopmarg"), typed);
        again.ClickOk();
        QCOMPARE(double(again.dialog.Layout().TopMargin), double(saved.TopMargin));
    }

    void openingInMillimetresAndBackToInches()
    {
        CardSheetLayout layout;
        layout.UseMM = true;
        LayoutDialog d(layout);
        QVERIFY(d.Find<QRadioButton>("MMButton")->isChecked());
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("88.9"));
        QCOMPARE(d.Shown("eVertPitch"), QStringLiteral("50.8"));

        d.Click("Inchesbutton");
        // Back in inches the mask keeps one decimal.
        QCOMPARE(d.Shown("eCardwidth"), QStringLiteral("3.5"));
        QCOMPARE(d.Shown("eCardHeight"), QStringLiteral("2.0"));
        QCOMPARE(d.Shown("etopmarg"), QStringLiteral("0.5"));
        d.ClickOk();
        QVERIFY(d.Accepted());
        QVERIFY(!d.dialog.Layout().UseMM);
        QCOMPARE(double(d.dialog.Layout().Width), double(3.5f));
        QCOMPARE(double(d.dialog.Layout().LeftMargin), double(0.75f));
    }

    void validationMessages_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<QString>("message");
        QTest::newRow("height under .3") << "eCardHeight" << "0.29" << 2 << 5 << kHeightMessage;
        QTest::newRow("height .3 passes") << "eCardHeight" << "0.3" << 2 << 5 << QString();
        QTest::newRow("width under .5") << "eCardwidth" << "0.49" << 2 << 5 << kWidthMessage;
        QTest::newRow("width .5 passes") << "eCardwidth" << "0.5" << 2 << 5 << QString();
        QTest::newRow("horizontal pitch under width") << "eHorizPitch" << "3.4" << 2 << 5 << kHPitchMessage;
        QTest::newRow("one column may be narrower") << "eHorizPitch" << "3.4" << 1 << 5 << QString();
        QTest::newRow("vertical pitch under height") << "eVertPitch" << "1.9" << 2 << 5 << kVPitchMessage;
        QTest::newRow("one row may be shorter") << "eVertPitch" << "1.9" << 2 << 1 << QString();
        QTest::newRow("more than ten cells") << "eVertPitch" << "2" << 10 << 30 << QString();
    }
    void validationMessages()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QString, message);
        LayoutDialog d;
        d.Type("enbracross", QString::number(across));
        d.Type("enbrdown", QString::number(down));
        d.Type(qPrintable(field), typed);
        d.ClickOk();
        if (message.isEmpty()) {
            QCOMPARE(d.messages, QStringList());
            QVERIFY(d.Accepted());
            QCOMPARE(d.dialog.Layout().Across, across);
            QCOMPARE(d.dialog.Layout().Down, down);
        } else {
            QCOMPARE(d.messages, QStringList{message});
            QVERIFY(d.dialog.isVisible()); // the user corrects the value
        }
    }

    void firstBrokenRuleIsReported_data()
    {
        QTest::addColumn<float>("height");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("hpitch");
        QTest::addColumn<float>("vpitch");
        QTest::addColumn<QString>("message");
        QTest::newRow("height before width") << 0.2f << 0.4f << 3.5f << 2.0f << kHeightMessage;
        QTest::newRow("width before pitches") << 2.0f << 0.4f << 0.3f << 1.0f << kWidthMessage;
        QTest::newRow("horizontal before vertical") << 2.0f << 3.5f << 3.0f << 1.0f << kHPitchMessage;
        QTest::newRow("equal pitches pass") << 2.0f << 3.5f << 3.5f << 2.0f << QString();
    }
    void firstBrokenRuleIsReported()
    {
        QFETCH(float, height);
        QFETCH(float, width);
        QFETCH(float, hpitch);
        QFETCH(float, vpitch);
        QFETCH(QString, message);
        CardSheetLayout layout;
        layout.Height = height;
        layout.Width = width;
        layout.HPitch = hpitch;
        layout.VPitch = vpitch;
        QCOMPARE(sheetlayout::LayoutError(layout), message);
    }

    void leavingTheSizeRaisesThePitch_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pitchField");
        QTest::addColumn<QString>("pitch");
        QTest::newRow("wider card") << "eCardwidth" << "4" << "eHorizPitch" << "4";
        QTest::newRow("narrower card") << "eCardwidth" << "3" << "eHorizPitch" << "3.5";
        QTest::newRow("taller card") << "eCardHeight" << "2.25" << "eVertPitch" << "2.25";
        QTest::newRow("shorter card") << "eCardHeight" << "1.75" << "eVertPitch" << "2";
    }
    void leavingTheSizeRaisesThePitch()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, pitchField);
        QFETCH(QString, pitch);
        LayoutDialog d;
        d.Type(qPrintable(field), typed);
        const QString before = pitchField == QStringLiteral("eHorizPitch") ? QStringLiteral("3.5") : QStringLiteral("2");
        QCOMPARE(d.Shown(qPrintable(pitchField)), before); // nothing happens while typing
        d.Leave();
        QCOMPARE(d.Shown(qPrintable(pitchField)), pitch);
        d.ClickOk();
        QCOMPARE(d.messages, QStringList());
        QVERIFY(d.Accepted());
    }

    void enterTakesWhatWasJustTyped()
    {
        LayoutDialog d;
        d.Type("eCardwidth", QStringLiteral("3.25"));
        QTest::keyClick(d.Edit("eCardwidth"), Qt::Key_Return);
        QVERIFY(d.Accepted());
        QCOMPARE(double(d.dialog.Layout().Width), double(3.25f));
    }

    void paperChoice_data()
    {
        QTest::addColumn<int>("papersize");
        QTest::addColumn<int>("shownItem");
        QTest::addColumn<int>("chosenItem");
        QTest::addColumn<int>("stored");
        QTest::newRow("Letter to A4") << 1 << 0 << 1 << 9;
        QTest::newRow("A4 to Letter") << 9 << 1 << 0 << 1;
        QTest::newRow("empty item keeps the code") << 9 << 1 << 2 << 9;
        QTest::newRow("unknown code shows nothing and stays") << 5 << -1 << -1 << 5;
    }
    void paperChoice()
    {
        QFETCH(int, papersize);
        QFETCH(int, shownItem);
        QFETCH(int, chosenItem);
        QFETCH(int, stored);
        CardSheetLayout layout;
        layout.Papersize = papersize;
        LayoutDialog d(layout);
        auto *combo = d.Find<QComboBox>("epapersize");
        QCOMPARE(combo->currentIndex(), shownItem);
        if (chosenItem >= 0) {
            combo->setFocus(Qt::TabFocusReason);
            QTest::keyClick(combo, Qt::Key_Home);
            for (int i = 0; i < chosenItem; ++i)
                QTest::keyClick(combo, Qt::Key_Down);
            QCOMPARE(combo->currentIndex(), chosenItem);
        }
        d.ClickOk();
        QVERIFY(d.Accepted());
        QCOMPARE(d.dialog.Layout().Papersize, stored);
    }

    void refusalIsAnInformationBox()
    {
        platform::TMessageRequest shown;
        platform::SetMessageBoxForTests([&shown](const platform::TMessageRequest &request) {
            shown = request;
            return platform::mrOk;
        });
        CardSheetLayout layout;
        layout.Height = 0.1f;
        WhenModal([](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("Cancelbutton")), Qt::LeftButton);
        });
        QVERIFY(!EditCardLayout(layout, nullptr));
        platform::SetMessageBoxForTests({});
        QCOMPARE(shown.caption, QStringLiteral("Information"));
        QCOMPARE(shown.icon, platform::miInformation);
        QCOMPARE(shown.buttons, platform::mbOK);
        QCOMPARE(shown.text, kHeightMessage);
        QCOMPARE(double(layout.Height), double(0.1f));
    }

    void entryPointReturnsTheEditedLayout()
    {
        CardSheetLayout layout;
        WhenModal([](QWidget *modal) {
            auto *mm = modal->findChild<QRadioButton *>(QStringLiteral("MMButton"));
            QTest::mouseClick(mm, Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("OKButton")), Qt::LeftButton);
        });
        QVERIFY(EditCardLayout(layout, nullptr));
        QVERIFY(layout.UseMM);
        QCOMPARE(double(layout.Width), double(3.5f));

        const CardSheetLayout before = layout;
        WhenModal([](QWidget *modal) {
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("Cancelbutton")), Qt::LeftButton);
        });
        QVERIFY(!EditCardLayout(layout, nullptr));
        QCOMPARE(layout, before);
    }

    void helpOpensItsContext()
    {
        int context = 0;
        printing::SetHelpOpener([&context](int c) { context = c; });
        LayoutDialog d;
        d.Click("Helpbutton");
        printing::SetHelpOpener({});
        QCOMPARE(context, 3101);
        QVERIFY(d.dialog.isVisible());
    }

    void cardPanelTakesTheCardSize_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<QSize>("size");
        QTest::newRow("default card") << 3.5f << 2.0f << 96 << 1.0f << QSize(336, 192);
        QTest::newRow("A4 card rounds") << 3.543f << 2.047f << 96 << 1.0f << QSize(340, 197);
        QTest::newRow("large fonts") << 3.5f << 2.0f << 120 << 1.0f << QSize(420, 240);
        // 340 x 197 at 1.0, then zoomed back: 295.5 rounds to even.
        QTest::newRow("zoom is kept") << 3.543f << 2.047f << 96 << 1.5f << QSize(510, 296);
    }
    void cardPanelTakesTheCardSize()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(int, ppi);
        QFETCH(float, zoom);
        QFETCH(QSize, size);
        auto panel = testsupport::MakePanel();
        panel->SetZoom(zoom);
        CardSheetLayout layout;
        layout.Width = width;
        layout.Height = height;
        SetCardSizeFromInches(*panel, layout, ppi);
        QCOMPARE(panel->ZoomFactor(), zoom);
        QCOMPARE(panel->size(), size);
    }
};

QTEST_MAIN(TestSheetLayout)
#include "tst_sheetlayout.moc"
