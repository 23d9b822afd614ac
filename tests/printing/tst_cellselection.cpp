// What adjusts a print run: the cell selection dialog (cell rectangles, the
// cell index rule, layouts of more than ten cells, clicks, All and None, the
// refusal of an empty selection), the printer fine tuning and the
// bottom-margin warning.
#include "TestSupport.h"

#include "platform/Dialogs.h"
#include "platform/Rounding.h"
#include "printing/FineTuningDialog.h"
#include "printing/CellSelectionDialog.h"
#include "printing/BottomMarginWarning.h"
#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

using testsupport::WhenModal;

const QString kRefusal = QStringLiteral("You must select at least one card to print");

// A layout of `across` x `down` small cards, so that many fit the sheet.
CardSheetLayout GridLayout(int across, int down)
{
    CardSheetLayout layout;
    layout.Across = across;
    layout.Down = down;
    layout.Width = 2.0f;
    layout.Height = 1.0f;
    layout.HPitch = 2.5f;
    layout.VPitch = 1.25f;
    layout.LeftMargin = 0.5f;
    layout.TopMargin = 0.5f;
    return layout;
}

QPoint Centre(const TRect &r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The cell selection dialog, shown, with its information boxes collected.
struct SelectionDialog {
    QStringList messages;
    QList<int> copies;
    QString printerName = QStringLiteral("Office Laser");
    int setups = 0;
    TPrinterAccess printer;
    std::unique_ptr<TSelectSpecificLabels> dialog;

    explicit SelectionDialog(const CardSheetLayout &layout = CardSheetLayout(), const SelectedCells &cells = {})
    {
        testsupport::CollectMessageTexts(messages);
        printer.PrinterName = [this] { return printerName; };
        printer.ShowPrinterSetup = [this](QWidget *) {
            ++setups;
            printerName = QStringLiteral("Back Room Inkjet");
        };
        printer.SetPortraitAndCopies = [this](int n) { copies << n; };
        dialog = std::make_unique<TSelectSpecificLabels>(layout, cells, printer);
        testsupport::ShowActive(dialog.get(), "cell selection");
    }
    ~SelectionDialog() { platform::SetMessageBoxForTests({}); }

    void ClickCell(int index)
    {
        QTest::mouseClick(dialog->PaintBox(), Qt::LeftButton, {}, Centre(dialog->CellRectangles()[index]));
    }
    void Click(const char *name)
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    QRgb PixelOfCell(int index) const
    {
        const QImage image = dialog->PaintBox()->grab().toImage();
        return image.pixel(Centre(dialog->CellRectangles()[index]));
    }
    bool Accepted() const { return dialog->result() == QDialog::Accepted && !dialog->isVisible(); }
};

void ClickChild(QWidget *parent, const char *name)
{
    auto *button = parent->findChild<QAbstractButton *>(QLatin1String(name));
    if (!button)
        qFatal("no button %s", name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// The arrow buttons of one nudge spinner of the fine-tuning dialog.
QAbstractButton *Arrow(QWidget *dialog, const char *spinner, const char *arrow)
{
    auto *s = dialog->findChild<TSpinButton *>(QLatin1String(spinner));
    if (!s)
        return nullptr;
    return QByteArray(arrow) == "UpButton" ? static_cast<QAbstractButton *>(s->UpButton()) : s->DownButton();
}

QString LabelText(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLabel *>(QLatin1String(name))->text();
}

} // namespace

class TestCellSelection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    // ---- cell selection ----

    void cellRectanglesAtOneFifth_data()
    {
        QTest::addColumn<int>("ppi");
        QTest::addColumn<int>("cell");
        QTest::addColumn<TRect>("rect");
        // s = 19.2: left Trunc(14.4) + 10, top Trunc(9.6) + 10, size Trunc(67.2) x Trunc(38.4).
        QTest::newRow("cell 1") << 96 << 0 << TRect{24, 19, 91, 57};
        QTest::newRow("cell 2, one pitch right") << 96 << 1 << TRect{91, 19, 158, 57};
        QTest::newRow("cell 4, row 1 column 1") << 96 << 3 << TRect{91, 57, 158, 95};
        QTest::newRow("cell 10") << 96 << 9 << TRect{91, 171, 158, 209};
        // s = 24: everything whole.
        QTest::newRow("cell 1 at 120 ppi") << 120 << 0 << TRect{28, 22, 112, 70};
    }
    void cellRectanglesAtOneFifth()
    {
        QFETCH(int, ppi);
        QFETCH(int, cell);
        QFETCH(TRect, rect);
        const QList<TRect> rects = cellselection::CellRects(CardSheetLayout(), ppi);
        QCOMPARE(rects.size(), 10);
        QCOMPARE(rects[cell], rect);
    }

    void sheetPictureOfThePaper_data()
    {
        QTest::addColumn<int>("papersize");
        QTest::addColumn<TRect>("rect");
        QTest::newRow("Letter") << 1 << TRect{10, 10, 10 + 163, 10 + 211};
        QTest::newRow("A4") << 9 << TRect{10, 10, 10 + 158, 10 + 224};
        QTest::newRow("Legal card stock") << 5 << TRect{10, 10, 10 + 163, 10 + 268};
        QTest::newRow("a code no paper answers to") << 4242 << TRect{10, 10, 10 + 158, 10 + 224};
    }
    void sheetPictureOfThePaper()
    {
        QFETCH(int, papersize);
        QFETCH(TRect, rect);
        QCOMPARE(cellselection::SheetRect(papersize, 96), rect);
    }

    void cellIndexIsRowTimesAcrossPlusColumn_data()
    {
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("2 x 5, row 1 column 1") << 2 << 5 << 1 << 1;
        QTest::newRow("3 x 4, row 2 column 1") << 3 << 4 << 2 << 1;
        QTest::newRow("3 x 6, last cell") << 3 << 6 << 5 << 2;
        QTest::newRow("1 x 8, row 7") << 1 << 8 << 7 << 0;
    }
    void cellIndexIsRowTimesAcrossPlusColumn()
    {
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(int, row);
        QFETCH(int, column);
        const CardSheetLayout layout = GridLayout(across, down);
        const QList<TRect> rects = cellselection::CellRects(layout, 96);
        QCOMPARE(rects.size(), across * down);
        const TRect &r = rects[row * across + column];
        QCOMPARE(r.left, platform::Trunc(0.5 * 19.2) + column * platform::Trunc(2.5 * 19.2) + 10);
        QCOMPARE(r.top, platform::Trunc(0.5 * 19.2) + row * platform::Trunc(1.25 * 19.2) + 10);
    }

    void pointInCellEdges_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("cell");
        QTest::newRow("top-left corner inside") << QPoint(24, 19) << 0;
        QTest::newRow("right edge belongs to the next cell") << QPoint(91, 30) << 1;
        QTest::newRow("bottom edge outside") << QPoint(30, 57) << 2;
        QTest::newRow("last pixel inside") << QPoint(90, 56) << 0;
        QTest::newRow("margin") << QPoint(15, 15) << -1;
    }
    void pointInCellEdges()
    {
        QFETCH(QPoint, point);
        QFETCH(int, cell);
        QCOMPARE(cellselection::CellAt(cellselection::CellRects(CardSheetLayout(), 96), point), cell);
    }

    void selectionFitsTheLayout_data()
    {
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<QList<bool>>("cells");
        QTest::addColumn<QList<bool>>("fitted");
        QTest::newRow("empty means all") << 2 << 2 << QList<bool>{} << QList<bool>{true, true, true, true};
        QTest::newRow("new cells selected") << 3 << 1 << QList<bool>{false} << QList<bool>{false, true, true};
        QTest::newRow("extra flags dropped") << 1 << 2 << QList<bool>{false, true, false} << QList<bool>{false, true};
    }
    void selectionFitsTheLayout()
    {
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QList<bool>, cells);
        QFETCH(QList<bool>, fitted);
        QCOMPARE(cellselection::FitToLayout(cells, GridLayout(across, down)), fitted);
    }

    void clickingACellTogglesIt()
    {
        SelectionDialog d;
        QCOMPARE(d.dialog->Cells(), cellselection::AllSelected(CardSheetLayout()));
        QCOMPARE(d.PixelOfCell(3), qRgb(255, 0, 0));
        d.ClickCell(3);
        QVERIFY(!d.dialog->Cells()[3]);
        QCOMPARE(d.PixelOfCell(3), qRgb(255, 255, 255));
        QCOMPARE(d.PixelOfCell(2), qRgb(255, 0, 0));
        d.ClickCell(3);
        QVERIFY(d.dialog->Cells()[3]);
        // A click between cells changes nothing.
        QTest::mouseClick(d.dialog->PaintBox(), Qt::LeftButton, {}, QPoint(15, 15));
        QCOMPARE(d.dialog->Cells(), cellselection::AllSelected(CardSheetLayout()));
    }

    void everyCellOfABigLayoutIsHandled()
    {
        const CardSheetLayout layout = GridLayout(3, 6); // 18 cells
        SelectionDialog d(layout, SelectedCells(10, true));
        QCOMPARE(d.dialog->Cells().size(), 18);
        QCOMPARE(d.dialog->CellRectangles().size(), 18);
        d.Click("Selectnone");
        QCOMPARE(d.dialog->Cells(), SelectedCells(18, false));
        QCOMPARE(d.PixelOfCell(17), qRgb(255, 255, 255));
        d.ClickCell(15);
        d.ClickCell(17);
        QCOMPARE(d.PixelOfCell(17), qRgb(255, 0, 0));
        d.Click("OKButton");
        QVERIFY(d.Accepted());
        SelectedCells expected(18, false);
        expected[15] = expected[17] = true;
        QCOMPARE(d.dialog->Cells(), expected);
        d.Click("SelectAll");
        QCOMPARE(d.dialog->Cells(), SelectedCells(18, true));
    }

    void emptySelectionIsRefused()
    {
        SelectionDialog d;
        d.Click("Selectnone");
        QCOMPARE(d.PixelOfCell(0), qRgb(255, 255, 255));
        d.Click("OKButton");
        QCOMPARE(d.messages, QStringList{kRefusal});
        QVERIFY(d.dialog->isVisible());
        QCOMPARE(d.copies, QList<int>{1}); // the pages reach the printer all the same
        d.ClickCell(9);
        d.Click("OKButton");
        QVERIFY(d.Accepted());
        QCOMPARE(d.messages.size(), 1);
    }

    void cellsPastTheLayoutDoNotCount()
    {
        // Flags beyond the layout's cells are not a selection.
        SelectedCells cells(12, false);
        cells[11] = true;
        QVERIFY(!cellselection::AnySelected(cells, GridLayout(2, 5)));
        QVERIFY(cellselection::AnySelected(cells, GridLayout(3, 4)));
    }

    void keysAndPages()
    {
        {
            SelectionDialog d;
            auto *pages = d.dialog->findChild<TSpinEdit *>(QStringLiteral("pages"));
            QCOMPARE(pages->Value(), 1);
            QCOMPARE(pages->MinValue(), 1);
            QCOMPARE(pages->MaxValue(), 99);
            pages->setFocus(Qt::TabFocusReason); // selects the text
            QTest::keyClicks(pages, QStringLiteral("3"));
            QTest::keyClick(pages, Qt::Key_Return);
            QVERIFY(d.Accepted());
            QCOMPARE(d.dialog->Pages(), 3);
            QCOMPARE(d.copies, QList<int>{3});
        }
        {
            SelectionDialog d;
            QTest::keyClick(d.dialog.get(), Qt::Key_Escape);
            QCOMPARE(d.dialog->result(), int(QDialog::Rejected));
            QVERIFY(!d.dialog->isVisible());
            QVERIFY(d.copies.isEmpty());
        }
    }

    void printerNameAndSetup()
    {
        SelectionDialog d;
        auto *label = d.dialog->findChild<QLabel *>(QStringLiteral("PrinterLabel"));
        QCOMPARE(label->text(), QStringLiteral("Office Laser"));
        d.Click("PrinterSetupButton");
        QCOMPARE(d.setups, 1);
        QCOMPARE(label->text(), QStringLiteral("Back Room Inkjet"));
        QCOMPARE(d.dialog->windowTitle(), QStringLiteral("Print Cards"));
    }

    void entryPointCopiesTheChoiceBack()
    {
        SelectedCells cells = cellselection::AllSelected(CardSheetLayout());
        int pages = 0;
        WhenModal([](QWidget *modal) {
            auto *dialog = static_cast<TSelectSpecificLabels *>(modal);
            QTest::mouseClick(dialog->PaintBox(), Qt::LeftButton, {}, Centre(dialog->CellRectangles()[0]));
            ClickChild(modal, "OKButton");
        });
        QVERIFY(SelectCells(CardSheetLayout(), cells, pages, TPrinterAccess(), nullptr));
        QCOMPARE(pages, 1);
        QVERIFY(!cells[0]);
        QVERIFY(cells[1]);

        WhenModal([](QWidget *modal) {
            ClickChild(modal, "Selectnone");
            ClickChild(modal, "Cancelbutton");
        });
        QVERIFY(!SelectCells(CardSheetLayout(), cells, pages, TPrinterAccess(), nullptr));
        QVERIFY(cells[1]);
    }

    // ---- printer fine tuning ----

    void nudgeCaptions_data()
    {
        QTest::addColumn<int>("nudge");
        QTest::addColumn<QString>("caption");
        QTest::newRow("-9 has none") << -9 << QString();
        QTest::newRow("-8") << -8 << "Decrease by 8/32\"";
        QTest::newRow("-1") << -1 << "Decrease by 1/32\"";
        QTest::newRow("0") << 0 << "None";
        QTest::newRow("1") << 1 << "Increase by 1/32\"";
        QTest::newRow("8") << 8 << "Increase by 8/32\"";
        QTest::newRow("9 has none") << 9 << QString();
    }
    void nudgeCaptions()
    {
        QFETCH(int, nudge);
        QFETCH(QString, caption);
        QCOMPARE(finetune::NudgeCaption(nudge), caption);
    }

    void arrowsStopAtTheLimits_data()
    {
        QTest::addColumn<QString>("spinner");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("shown");
        QTest::newRow("three down") << "TopMarginSpinner" << "lTopMarginNudge" << "DownButton" << 3
                                    << "Increase by 3/32\"";
        QTest::newRow("nine down stop at 8") << "TopMarginSpinner" << "lTopMarginNudge" << "DownButton" << 9
                                             << "Increase by 8/32\"";
        QTest::newRow("two up") << "LeftMarginSpinner" << "LLeftMarginNudge" << "UpButton" << 2
                                << "Decrease by 2/32\"";
        QTest::newRow("nine up stop at -8") << "VerticalSpacingSpinner" << "LVerticalSpacing" << "UpButton" << 9
                                            << "Decrease by 8/32\"";
        QTest::newRow("horizontal") << "HorizontalSpacingSpinner" << "LHorizontalSpacing" << "DownButton" << 1
                                    << "Increase by 1/32\"";
    }
    void arrowsStopAtTheLimits()
    {
        QFETCH(QString, spinner);
        QFETCH(QString, label);
        QFETCH(QString, arrow);
        QFETCH(int, clicks);
        QFETCH(QString, shown);
        TPrintFineTune dialog{PrinterNudges()};
        dialog.show();
        QCOMPARE(LabelText(&dialog, qPrintable(label)), QStringLiteral("None"));
        QAbstractButton *button = Arrow(&dialog, qPrintable(spinner), qPrintable(arrow));
        QVERIFY(button);
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(LabelText(&dialog, qPrintable(label)), shown);
    }

    void fineTuningTakesBackOnlyOnOk()
    {
        PrinterNudges nudges;
        nudges.TopMarginNudge = 3;
        nudges.HorizontalSpacing = -2;
        const PrinterNudges stored = nudges;

        WhenModal([](QWidget *modal) {
            QCOMPARE(LabelText(modal, "lTopMarginNudge"), QStringLiteral("Increase by 3/32\""));
            QCOMPARE(LabelText(modal, "LHorizontalSpacing"), QStringLiteral("Decrease by 2/32\""));
            ClickChild(modal, "DefaultButton");
            QCOMPARE(LabelText(modal, "lTopMarginNudge"), QStringLiteral("None"));
            ClickChild(modal, "Cancelbutton");
        });
        QVERIFY(!FineTunePrinter(nudges, nullptr));
        QCOMPARE(nudges, stored);

        WhenModal([](QWidget *modal) {
            QTest::mouseClick(Arrow(modal, "VerticalSpacingSpinner", "UpButton"), Qt::LeftButton);
            QTest::mouseClick(Arrow(modal, "TopMarginSpinner", "UpButton"), Qt::LeftButton);
            ClickChild(modal, "OKButton");
        });
        QVERIFY(FineTunePrinter(nudges, nullptr));
        QCOMPARE(nudges.TopMarginNudge, 2);
        QCOMPARE(nudges.VerticalSpacing, -1);
        QCOMPARE(nudges.HorizontalSpacing, -2);
        QCOMPARE(nudges.LeftMarginNudge, 0);
    }

    // ---- bottom-margin warning ----

    void bottomMarginTexts_data()
    {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<QString>("margin");
        QTest::addColumn<QString>("difference");
        QTest::newRow("0.66 inch") << 0.66 << "0.660" << "0.160";
        QTest::newRow("0.5625 inch") << 0.5625 << "0.563" << "0.063";
        QTest::newRow("1 inch") << 1.0 << "1.000" << "0.500";
    }
    void bottomMarginTexts()
    {
        QFETCH(double, bottom);
        QFETCH(QString, margin);
        QFETCH(QString, difference);
        TWarnBottomMargin dialog(bottom);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ALERT"));
        QCOMPARE(LabelText(&dialog, "BotMarg"),
                 QStringLiteral("Business Cards need to print to within 0.5 inches of the bottom, but the current "
                                "printer has a bottom margin setting of : ")
                     + margin + QStringLiteral(" inches"));
        QCOMPARE(LabelText(&dialog, "Difference"),
                 QStringLiteral("This could result in the bottom of the last two business cards being cut off by "
                                "approximately: ")
                     + difference + QStringLiteral(" inches"));
    }

    void warningAppliesToAFullBottomRow_data()
    {
        QTest::addColumn<double>("bottom");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::addColumn<QList<int>>("deselected");
        QTest::addColumn<bool>("show");
        QTest::addColumn<bool>("applies");
        QTest::newRow("0.66, all cells") << 0.66 << 2 << 5 << QList<int>{} << true << true;
        QTest::newRow("0.5 is enough") << 0.5 << 2 << 5 << QList<int>{} << true << false;
        QTest::newRow("cell 10 off") << 0.66 << 2 << 5 << QList<int>{9} << true << false;
        QTest::newRow("cell 9 off") << 0.66 << 2 << 5 << QList<int>{8} << true << false;
        QTest::newRow("top cells off") << 0.66 << 2 << 5 << QList<int>{0, 1} << true << true;
        QTest::newRow("turned off") << 0.66 << 2 << 5 << QList<int>{} << false << false;
        QTest::newRow("3 x 6, bottom row full") << 0.66 << 3 << 6 << QList<int>{0} << true << true;
        QTest::newRow("3 x 6, cell 18 off") << 0.66 << 3 << 6 << QList<int>{17} << true << false;
    }
    void warningAppliesToAFullBottomRow()
    {
        QFETCH(double, bottom);
        QFETCH(int, across);
        QFETCH(int, down);
        QFETCH(QList<int>, deselected);
        QFETCH(bool, show);
        QFETCH(bool, applies);
        const CardSheetLayout layout = GridLayout(across, down);
        SelectedCells cells = cellselection::AllSelected(layout);
        for (int cell : deselected)
            cells[cell] = false;
        QCOMPARE(bottommargin::WarningApplies(bottom, layout, cells, show), applies);
    }

    void warningButtonsAndDontShowAgain_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<bool>("showAfter");
        QTest::newRow("continue") << false << "OKButton" << true << true;
        QTest::newRow("cancel printing") << false << "Cancelbutton" << false << true;
        QTest::newRow("ticked, continue") << true << "OKButton" << true << false;
        QTest::newRow("ticked, cancel printing") << true << "Cancelbutton" << false << false;
    }
    void warningButtonsAndDontShowAgain()
    {
        QFETCH(bool, tick);
        QFETCH(QString, button);
        QFETCH(bool, goOn);
        QFETCH(bool, showAfter);
        WhenModal([tick, button](QWidget *modal) {
            if (tick) {
                auto *check = modal->findChild<QCheckBox *>(QStringLiteral("DontShowCheck"));
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2)); // on the box
            }
            ClickChild(modal, qPrintable(button));
        });
        bool show = true;
        QCOMPARE(WarnBottomMargin(0.66, show, nullptr), goOn);
        QCOMPARE(show, showAfter);
    }
};

QTEST_MAIN(TestCellSelection)
#include "tst_cellselection.moc"
