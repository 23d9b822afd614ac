// The numeric edit: mask formatting, rounding, the characters it takes while
// the user types, and what it makes of the text when the user leaves it.
#include "TestSupport.h"

#include "platform/Dialogs.h"
#include "widgets/NumericEdit.h"

#include <QApplication>
#include <QVBoxLayout>

namespace {

// A window with two numeric edits set up much as the sheet layout dialog uses
// them (the negative and zero masks left empty, so negative values show their
// sign), so focus can move from one to the other. A plain edit ahead of them takes
// the focus when the window opens.
struct EditWindow {
    QWidget window;
    TNumEdit *edit;
    TNumEdit *other;

    EditWindow()
    {
        auto *column = new QVBoxLayout(&window);
        column->addWidget(new QLineEdit(&window));
        edit = new TNumEdit(&window);
        other = new TNumEdit(&window);
        for (TNumEdit *e : {edit, other}) {
            e->SetNumericType(ntGeneral);
            e->SetDigits(6);
            e->SetDecimals(3);
            e->SetMasks({QStringLiteral("#0.###"), QString(), QString()});
            column->addWidget(e);
        }
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("the edit window did not become active");
    }
};

void TypeInto(TNumEdit *edit, const QString &keys)
{
    edit->setFocus(Qt::TabFocusReason); // selects the whole text, as a tab into it does
    QTest::keyClicks(edit, keys);
}

} // namespace

class TestNumericEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    void formatFloatFollowsTheMask_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("layout mask, 3.5") << "#0.###" << 3.5 << "3.5";
        QTest::newRow("layout mask, whole number") << "#0.###" << 2.0 << "2";
        QTest::newRow("inch mask keeps one decimal") << "#0.0##" << 2.0 << "2.0";
        QTest::newRow("single 3.543 shows 3.543") << "#0.###" << double(3.543f) << "3.543";
        QTest::newRow("millimetres") << "#0.###" << 88.9 << "88.9";
        QTest::newRow("leading zero below one") << "#0.###" << 0.25 << "0.25";
        QTest::newRow("no leading zero without 0") << "#.##" << 0.5 << ".5";
        QTest::newRow("padded integer digits") << "00.0" << 3.14159 << "03.1";
        QTest::newRow("more digits than placeholders") << "0000" << 12345.0 << "12345";
        QTest::newRow("thousands") << "#,##0" << 1234567.0 << "1,234,567";
        QTest::newRow("thousands, small") << "#,##0" << 999.0 << "999";
        QTest::newRow("thousands, negative falls back with sign") << "#,##0" << -1234.0 << "-1,234";
        QTest::newRow("negative section") << "#,##0.00;(#,##0.00);Zero" << -1234.5 << "(1,234.50)";
        QTest::newRow("zero section") << "#,##0.00;(#,##0.00);Zero" << 0.0 << "Zero";
        QTest::newRow("rounds to zero uses zero section") << "#0.0;;nil" << 0.04 << "nil";
        QTest::newRow("no minus on a rounded zero") << "#0.#" << -0.04 << "0";
        QTest::newRow("empty sections fall back") << "#0.00;;" << 1.5 << "1.50";
        QTest::newRow("half away from zero") << "#0.00" << 2.675 << "2.68";
        QTest::newRow("carry into integer") << "#0.##" << 9.999 << "10";
        QTest::newRow("quoted text") << "'No. '#0" << 7.0 << "No. 7";
        QTest::newRow("literal suffix") << "#0.0 mm" << 12.25 << "12.3 mm";
        QTest::newRow("empty mask is general") << "" << 0.1 << "0.1";
    }
    void formatFloatFollowsTheMask()
    {
        QFETCH(QString, mask);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(numedit::FormatFloat(mask, value), expected);
    }

    void formatFixedKeepsDecimals_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("precision");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0.66") << 0.66 << 7 << 3 << "0.660";
        QTest::newRow("0.66 - 0.5") << (0.66 - 0.5) << 7 << 3 << "0.160";
        QTest::newRow("90 mm in inches") << 90 * 0.039370078740157480314 << 7 << 3 << "3.543";
        QTest::newRow("88.9 mm in inches") << 88.9 * 0.039370078740157480314 << 7 << 3 << "3.500";
        QTest::newRow("precision limits") << 1234.56789 << 7 << 3 << "1234.568";
        QTest::newRow("tiny negative") << -0.0001 << 7 << 3 << "0.000";
        QTest::newRow("negative") << -1.25 << 7 << 1 << "-1.3";
        QTest::newRow("no decimals") << 41.5 << 7 << 0 << "42";
    }
    void formatFixedKeepsDecimals()
    {
        QFETCH(double, value);
        QFETCH(int, precision);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(numedit::FormatFixed(value, precision, decimals), expected);
    }

    void displayTextRoundsThenFormats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("rounding");
        QTest::addColumn<QString>("expected");
        QTest::newRow("3.5") << 3.5 << int(ntGeneral) << "#0.###" << 3 << true << "3.5";
        QTest::newRow("2") << 2.0 << int(ntGeneral) << "#0.###" << 3 << true << "2";
        QTest::newRow("2 with inch mask") << 2.0 << int(ntGeneral) << "#0.0##" << 3 << true << "2.0";
        QTest::newRow("truncating") << 1.23456 << int(ntGeneral) << "#0.###" << 3 << false << "1.234";
        QTest::newRow("rounding") << 1.23456 << int(ntGeneral) << "#0.###" << 3 << true << "1.235";
        QTest::newRow("half to even before the mask") << 0.0625 << int(ntGeneral) << "#0.###" << 3 << true << "0.062";
        QTest::newRow("A4 width in mm") << double(3.543f) * 25.4 << int(ntGeneral) << "#0.###" << 2 << true
                                        << "89.99";
        QTest::newRow("percentage") << 0.125 << int(ntPercentage) << "" << 2 << true << "12.50%";
    }
    void displayTextRoundsThenFormats()
    {
        QFETCH(double, value);
        QFETCH(int, type);
        QFETCH(QString, mask);
        QFETCH(int, decimals);
        QFETCH(bool, rounding);
        QFETCH(QString, expected);
        QCOMPARE(numedit::DisplayText(value, TNumericType(type), TMasks{mask, mask, mask}, 12, decimals, rounding),
                 expected);
    }

    void typingKeepsOnlyNumberCharacters_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits") << "123" << "123";
        QTest::newRow("letters dropped") << "a1b2c" << "12";
        QTest::newRow("second decimal separator dropped") << "1.2.3" << "1.23";
        QTest::newRow("second minus dropped") << "-1-2" << "-12";
        QTest::newRow("thousands separator taken") << "1,234" << "1,234";
        QTest::newRow("six digits at most") << "1234567" << "123456";
        QTest::newRow("separator does not count") << "1234.5678" << "1234.56";
        QTest::newRow("spaces and signs dropped") << " +1 " << "1";
    }
    void typingKeepsOnlyNumberCharacters()
    {
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        EditWindow w;
        TypeInto(w.edit, keys);
        QCOMPARE(w.edit->text(), expected);
    }

    void enteringShowsThePlainNumberLeftAligned()
    {
        EditWindow w;
        w.edit->SetMasks({QStringLiteral("#,##0.00"), QString(), QString()});
        w.edit->SetValue(-1234.5);
        QCOMPARE(w.edit->text(), QStringLiteral("-1,234.50"));
        QVERIFY(w.edit->alignment() & Qt::AlignRight);
        w.edit->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.edit->text(), QStringLiteral("-1,234.50"));
        QVERIFY(w.edit->alignment() & Qt::AlignLeft);
        QCOMPARE(w.edit->selectedText(), w.edit->text());
        w.other->setFocus(Qt::TabFocusReason);
        QVERIFY(w.edit->alignment() & Qt::AlignRight);
        QCOMPARE(w.edit->Value(), -1234.5);
    }

    void leavingReadsTheTypedNumber_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << "3.5" << 3.5 << "3.5";
        QTest::newRow("rounded for show only") << "2.0476" << 2.0476 << "2.048";
        QTest::newRow("thousands ignored") << "1,234" << 1234.0 << "1234";
        QTest::newRow("minus honoured") << "-2.5" << -2.5 << "-2.5";
        QTest::newRow("lone separator is zero") << "." << 0.0 << "0";
    }
    void leavingReadsTheTypedNumber()
    {
        QFETCH(QString, keys);
        QFETCH(double, value);
        QFETCH(QString, shown);
        EditWindow w;
        w.edit->SetValue(7);
        TypeInto(w.edit, keys);
        int exits = 0;
        connect(w.edit, &TNumEdit::Exited, this, [&exits] { ++exits; });
        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(exits, 1);
        QCOMPARE(w.edit->Value(), value);
        QCOMPARE(w.edit->text(), shown);
    }

    void leavingAnEmptyEditSetsZero()
    {
        EditWindow w;
        w.edit->SetValue(5.25);
        w.edit->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.edit, Qt::Key_Backspace);
        QCOMPARE(w.edit->text(), QString());
        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.edit->Value(), 0.0);
        QCOMPARE(w.edit->text(), QStringLiteral("0"));
    }

    void editingLengthIsRestoredOnLeaving()
    {
        EditWindow w;
        w.edit->setMaxLength(40);
        TypeInto(w.edit, QStringLiteral("1.5"));
        QCOMPARE(w.edit->maxLength(), 7); // six digits and the separator
        w.other->setFocus(Qt::TabFocusReason);
        QCOMPARE(w.edit->maxLength(), 40);
    }

    void outOfRangeIsRefusedWithAMessage()
    {
        EditWindow w;
        w.edit->SetMin(1);
        w.edit->SetMax(10);
        w.edit->SetValue(4);
        w.edit->SetValidate(true);
        platform::TMessageRequest shown;
        platform::SetMessageBoxForTests([&shown](const platform::TMessageRequest &request) {
            shown = request;
            return platform::mrOk;
        });
        TypeInto(w.edit, QStringLiteral("20"));
        w.other->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(shown.text, QStringLiteral("Value must be between 1 and 10"));
        platform::SetMessageBoxForTests({});
        QCOMPARE(shown.icon, platform::miError);
        QCOMPARE(w.edit->Value(), 4.0);
        QTRY_VERIFY(w.edit->hasFocus());
        QCOMPARE(w.edit->selectedText(), QStringLiteral("20"));
    }

    void rangeSettersPullTheValueIn()
    {
        TNumEdit edit;
        edit.SetMax(100);
        edit.SetValue(5);
        edit.SetMin(7);
        QCOMPARE(edit.Value(), 7.0);
        edit.SetMax(6);
        QCOMPARE(edit.Value(), 6.0);

        TNumEdit validated;
        validated.SetMin(2);
        validated.SetMax(9);
        validated.SetValue(50);
        validated.SetValidate(true);
        QCOMPARE(validated.Value(), 2.0);
    }
};

QTEST_MAIN(TestNumericEdit)
#include "tst_numericedit.moc"
