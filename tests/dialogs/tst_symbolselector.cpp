// The Symbol Selector driven through its controls: one item per character
// from the space upwards, the selection of the label's character, the column
// count by point size, the font button and its caption, and the result.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/DialogEditors.h"
#include "dialogs/SymbolSelector.h"
#include "objects/SymbolLabel.h"
#include "platform/Dialogs.h"
#include "printing/DialogKit.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

using namespace testsupport;

namespace {

std::unique_ptr<TFont> Font(const QString &name, int size, Vcl::TFontStyles style = {})
{
    auto font = std::make_unique<TFont>();
    font->SetName(name);
    font->SetSize(size);
    font->SetStyle(style);
    return font;
}

QFont DialogFont(int points)
{
    QFont font = QApplication::font();
    font.setPointSize(points);
    return font;
}

} // namespace

class TestSymbolSelector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void layoutAndHelp()
    {
        TGetSymbol dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Symbol Selector"));
        QCOMPARE(dialog.SymbolList->count(), 224);
        QCOMPARE(dialog.SymbolList->item(0)->text(), QStringLiteral(" "));
        QCOMPARE(dialog.SymbolList->item('(' - 32)->text(), QStringLiteral("("));
        QCOMPARE(dialog.SymbolList->item(0x80 - 32)->text(), QString(QChar(0x20AC))); // code 0x80
        QVERIFY(!dialog.SelectedChar->isVisible());
        QCOMPARE(dialog.SymbolList->whatsThis(), QStringLiteral("Select the symbol from this list"));
        int opened = 0;
        printing::SetHelpOpener([&opened](int c) { opened = c; });
        QTest::mouseClick(dialog.Helpbutton, Qt::LeftButton);
        printing::SetHelpOpener({});
        QCOMPARE(opened, 40005);
    }

    void columnsByPointSize_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("columns");
        const QList<QPair<int, int>> rows{{5, 1},   {6, 14},  {10, 14}, {11, 10}, {20, 10}, {21, 8},
                                          {30, 8},  {31, 6},  {40, 6},  {41, 4},  {50, 4},  {51, 3},
                                          {60, 3},  {61, 2},  {72, 2},  {73, 1},  {0, 1}};
        for (const auto &[points, columns] : rows)
            QTest::newRow(qPrintable(QStringLiteral("%1 pt").arg(points))) << points << columns;
    }
    void columnsByPointSize()
    {
        QFETCH(int, points);
        QFETCH(int, columns);
        QCOMPARE(TGetSymbol::ColumnsForPointSize(points), columns);
    }

    void opensOnTheLabelsFontAndCharacter()
    {
        TGetSymbol dialog;
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24, Vcl::fsBold), QStringLiteral("("));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.SymbolList->currentRow(), '(' - 32);
        // The list takes face and style; its size stays the dialog's.
        QCOMPARE(dialog.SymbolList->SymbolFont().Name(), QStringLiteral("WingDings"));
        QCOMPARE(dialog.SymbolList->SymbolFont().Size(), dialog.ListPointSize());
        QVERIFY(dialog.SymbolList->SymbolFont().Style().testFlag(Vcl::fsBold));
        QCOMPARE(dialog.SymbolList->Columns(), TGetSymbol::ColumnsForPointSize(dialog.ListPointSize()));
        QCOMPARE(dialog.Fontbutton->text(),
                 QStringLiteral("WingDings, %1pt Bold ").arg(dialog.ListPointSize()));
        QCOMPARE(dialog.SelectedFont().Size(), 24);
        QCOMPARE(dialog.SelectedCharacter(), QStringLiteral("("));
    }

    void listAndButtonFollowTheDialogsFont_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("columns");
        QTest::newRow("9 pt") << 9 << 14;
        QTest::newRow("12 pt") << 12 << 10;
        QTest::newRow("24 pt") << 24 << 8;
    }
    void listAndButtonFollowTheDialogsFont()
    {
        QFETCH(int, points);
        QFETCH(int, columns);
        TGetSymbol dialog;
        dialog.setFont(DialogFont(points));
        // A character near the end of the list: the grid opens scrolled to it.
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24), QString(QChar(0xFE)));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.SymbolList->Columns(), columns);
        QCOMPARE(dialog.Fontbutton->text(), QStringLiteral("WingDings, %1pt ").arg(points));
        QCOMPARE(dialog.SelectedCharacter(), QString(QChar(0xFE)));
        const QRect shown = dialog.SymbolList->visualItemRect(dialog.SymbolList->currentItem());
        QVERIFY2(dialog.SymbolList->viewport()->rect().contains(shown),
                 qPrintable(QStringLiteral("selected item at %1,%2").arg(shown.x()).arg(shown.y())));
    }

    void fontButtonCaption_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("caption");
        QTest::newRow("plain") << 0 << "Symbol, 18pt ";
        QTest::newRow("bold") << int(Vcl::fsBold) << "Symbol, 18pt Bold ";
        QTest::newRow("italic") << int(Vcl::fsItalic) << "Symbol, 18pt Italic ";
        QTest::newRow("bold italic shows Italic alone") << int(Vcl::fsBold | Vcl::fsItalic) << "Symbol, 18pt Italic ";
        QTest::newRow("underline is not named") << int(Vcl::fsUnderline) << "Symbol, 18pt ";
    }
    void fontButtonCaption()
    {
        QFETCH(int, style);
        QFETCH(QString, caption);
        TGetSymbol dialog;
        dialog.setFont(DialogFont(18));
        dialog.SetSymbol(*Font(QStringLiteral("Symbol"), 12, Vcl::TFontStyles(style)), QStringLiteral("a"));
        QCOMPARE(dialog.FontButtonCaption(), caption);
        QCOMPARE(dialog.Fontbutton->text(), caption);
    }

    void fontButtonChangesFaceColourAndStyleButNotTheListSize()
    {
        TGetSymbol dialog;
        dialog.setFont(DialogFont(18));
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24), QStringLiteral("["));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetName(QStringLiteral("Symbol"));
            font.SetSize(48);
            font.SetColor(platform::clRed);
            font.SetStyle(Vcl::fsItalic);
            return true;
        });
        QTest::mouseClick(dialog.Fontbutton, Qt::LeftButton);
        platform::SetFontChooserForTests({});
        QCOMPARE(dialog.SelectedFont().Name(), QStringLiteral("Symbol"));
        QCOMPARE(dialog.SelectedFont().Size(), 48);
        QCOMPARE(dialog.SymbolList->SymbolFont().Name(), QStringLiteral("Symbol"));
        QCOMPARE(int(dialog.SymbolList->SymbolFont().Color()), int(platform::clRed));
        QCOMPARE(dialog.SymbolList->SymbolFont().Size(), 18);
        QCOMPARE(dialog.Fontbutton->text(), QStringLiteral("Symbol, 18pt Italic "));
    }

    void cancelledFontChooserKeepsTheFont()
    {
        TGetSymbol dialog;
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24), QStringLiteral("["));
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetName(QStringLiteral("Symbol"));
            return false;
        });
        QTest::mouseClick(dialog.Fontbutton, Qt::LeftButton);
        platform::SetFontChooserForTests({});
        QCOMPARE(dialog.SelectedFont().Name(), QStringLiteral("WingDings"));
    }

    void clickingAnItemChoosesItsCharacter()
    {
        TGetSymbol dialog;
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24), QStringLiteral("["));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QListWidgetItem *first = dialog.SymbolList->item(0);
        dialog.SymbolList->scrollToItem(first);
        QTest::mouseClick(dialog.SymbolList->viewport(), Qt::LeftButton, {},
                          dialog.SymbolList->visualItemRect(first).center());
        QCOMPARE(dialog.SelectedCharacter(), QStringLiteral(" "));
        // Items flow down the columns: the next one lies below.
        const QRect a = dialog.SymbolList->visualItemRect(dialog.SymbolList->item(0));
        const QRect b = dialog.SymbolList->visualItemRect(dialog.SymbolList->item(1));
        QCOMPARE(b.left(), a.left());
        QCOMPARE(b.top(), a.top() + TSymbolListBox::kItemHeight);
        QCOMPARE(a.width(), dialog.SymbolList->viewport()->width() / dialog.SymbolList->Columns());
    }

    void emptyCaptionStartsWithoutSelection()
    {
        TGetSymbol dialog;
        dialog.SetSymbol(*Font(QStringLiteral("WingDings"), 24), QString());
        QCOMPARE(dialog.SymbolList->currentRow(), -1);
        QCOMPARE(dialog.SelectedCharacter(), QString());
    }

    void symbolLabelTakesTheChoiceOnOk()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        auto *symbol = new TGSymbolLabel(panel.get());
        symbol->Loaded();
        panel->AddNewObject(symbol, {10, 10, 60, 25});
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<TGetSymbol *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->SymbolList->currentRow(), '[' - 32);
            dialog->SymbolList->setCurrentRow('(' - 32);
            QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        });
        symbol->MenuAction(QStringLiteral("Symbol Selector"))->trigger();
        QCOMPARE(symbol->Caption(), QStringLiteral("("));
        QCOMPARE(symbol->Font()->Name(), QStringLiteral("WingDings"));
        QCOMPARE(symbol->Width(), int(symbol->CanvasFont().TextWidth(QStringLiteral("(")) * 1.1)
                                      + symbol->TextOrigin().x());
    }
};

QTEST_MAIN(TestSymbolSelector)
#include "tst_symbolselector.moc"
