// Spin button and spin edit: the value rules of the edit, the characters it
// takes, and the repeat of a held button (400 ms, then every 100 ms).
#include "TestSupport.h"

#include "platform/Dialogs.h"
#include "widgets/SpinEdit.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

class TestSpin : public QObject
{
    Q_OBJECT

    int FBeeps = 0;

    static void Press(QWidget *button) { QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5)); }
    static void Release(QWidget *button) { QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5)); }

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        platform::SetBeepForTests([this] { ++FBeeps; });
    }
    void init() { FBeeps = 0; }

    void valueRules_data()
    {
        QTest::addColumn<int>("minValue");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("afterUp");
        QTest::newRow("not a number reads as minimum") << 1 << 30 << "abc" << 1 << 2;
        QTest::newRow("empty reads as minimum") << 1 << 30 << "" << 1 << 2;
        QTest::newRow("in range") << 1 << 30 << "7" << 7 << 8;
        QTest::newRow("up stops at maximum") << 1 << 30 << "30" << 30 << 30;
        QTest::newRow("above range is read as typed") << 1 << 30 << "45" << 45 << 30;
        QTest::newRow("equal limits accept anything") << 0 << 0 << "-12345" << -12345 << -12344;
        QTest::newRow("equal limits, large") << 0 << 0 << "2147483647" << 2147483647 << 2147483647;
    }
    void valueRules()
    {
        QFETCH(int, minValue);
        QFETCH(int, maxValue);
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, afterUp);
        TSpinEdit edit;
        edit.SetMinValue(minValue);
        edit.SetMaxValue(maxValue);
        edit.setText(text);
        QCOMPARE(edit.Value(), value);
        edit.UpClick();
        QCOMPARE(edit.Value(), afterUp);
    }

    void settingClampsUnlessLimitsAreEqual_data()
    {
        QTest::addColumn<int>("minValue");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("set");
        QTest::addColumn<QString>("text");
        QTest::newRow("below") << 1 << 10 << -4 << "1";
        QTest::newRow("above") << 1 << 10 << 11 << "10";
        QTest::newRow("inside") << 1 << 10 << 5 << "5";
        QTest::newRow("equal limits") << 3 << 3 << 99 << "99";
    }
    void settingClampsUnlessLimitsAreEqual()
    {
        QFETCH(int, minValue);
        QFETCH(int, maxValue);
        QFETCH(int, set);
        QFETCH(QString, text);
        TSpinEdit edit;
        edit.SetMinValue(minValue);
        edit.SetMaxValue(maxValue);
        edit.SetValue(set);
        QCOMPARE(edit.text(), text);
    }

    void startsAtZeroAndStepsByIncrement()
    {
        TSpinEdit edit;
        QCOMPARE(edit.text(), QString("0"));
        edit.SetIncrement(5);
        QTest::keyClick(&edit, Qt::Key_Up);
        QTest::keyClick(&edit, Qt::Key_Up);
        QCOMPARE(edit.Value(), 10);
        QTest::keyClick(&edit, Qt::Key_Down);
        QCOMPARE(edit.Value(), 5);
    }

    void readOnlyBeepsInsteadOfStepping()
    {
        TSpinEdit edit;
        edit.setText(QStringLiteral("4"));
        edit.setReadOnly(true);
        QTest::keyClick(&edit, Qt::Key_Up);
        edit.DownClick();
        QCOMPARE(edit.Value(), 4);
        QCOMPARE(FBeeps, 2);
    }

    void typedCharacters_data()
    {
        QTest::addColumn<bool>("editorEnabled");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        QTest::newRow("digits and signs") << true << "-12+" << "-12+" << 0;
        QTest::newRow("letters are dropped") << true << "1a2" << "12" << 1;
        QTest::newRow("space is dropped") << true << "3 4" << "34" << 1;
        QTest::newRow("decimal separator is taken") << true << "1.5" << "1.5" << 0;
        QTest::newRow("editor off drops digits") << false << "12" << "" << 2;
    }
    void typedCharacters()
    {
        QFETCH(bool, editorEnabled);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        QLocale::setDefault(QLocale::c());
        TSpinEdit edit;
        edit.clear();
        edit.SetEditorEnabled(editorEnabled);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), text);
        QCOMPARE(FBeeps, beeps);
    }

    void editorOffStillStepsAndRefusesBackspace()
    {
        TSpinEdit edit;
        edit.setText(QStringLiteral("7"));
        edit.SetEditorEnabled(false);
        edit.setCursorPosition(1);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString("7"));
        QCOMPARE(FBeeps, 1);
        QTest::keyClick(&edit, Qt::Key_Up);
        QCOMPARE(edit.Value(), 8);
    }

    void leavingTheEditClampsItsText()
    {
        QWidget window;
        auto *edit = new TSpinEdit(&window);
        auto *other = new QLineEdit(&window);
        other->move(0, 40);
        edit->SetMinValue(1);
        edit->SetMaxValue(30);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        edit->setText(QStringLiteral("45"));
        other->setFocus();
        QCOMPARE(edit->text(), QString("30"));
        edit->setFocus();
        edit->setText(QStringLiteral("abc")); // reads as the minimum, which is in range: left alone
        other->setFocus();
        QCOMPARE(edit->text(), QString("abc"));
    }

    void spinButtonHalvesAndKeys()
    {
        TSpinButton spin;
        spin.resize(20, 25);
        spin.show();
        QCOMPARE(spin.UpButton()->geometry(), QRect(0, 0, 20, 12));
        QCOMPARE(spin.DownButton()->geometry(), QRect(0, 11, 20, 14)); // one pixel over the up button
        QSignalSpy up(&spin, &TSpinButton::OnUpClick);
        QSignalSpy down(&spin, &TSpinButton::OnDownClick);
        QTest::keyClick(&spin, Qt::Key_Up);
        QTest::keyClick(&spin, Qt::Key_Space); // the up button has the focus now
        QTest::keyClick(&spin, Qt::Key_Down);
        QTest::keyClick(&spin, Qt::Key_Space);
        QCOMPARE(up.size(), 2);
        QCOMPARE(down.size(), 2);
    }

    void quickClickStepsOnce()
    {
        TSpinEdit edit;
        edit.resize(60, 22);
        edit.show();
        Press(edit.Button()->UpButton());
        Release(edit.Button()->UpButton());
        QCOMPARE(edit.Value(), 1);
        QVERIFY(!edit.Button()->UpButton()->RepeatTimer());
    }

    void heldButtonRepeatsAfter400ThenEvery100()
    {
        TSpinButton spin;
        spin.resize(20, 25);
        spin.show();
        QSignalSpy up(&spin, &TSpinButton::OnUpClick);
        TTimerSpeedButton *b = spin.UpButton();
        Press(b);
        QVERIFY(b->RepeatTimer());
        QCOMPARE(b->RepeatTimer()->interval(), 400);
        QCOMPARE(up.size(), 0); // a press alone does not click
        b->TimerExpired();
        QCOMPARE(b->RepeatTimer()->interval(), 100);
        QCOMPARE(up.size(), 1);
        b->TimerExpired();
        b->TimerExpired();
        QCOMPARE(up.size(), 3);
        Release(b);
        QVERIFY(!b->RepeatTimer());
        QCOMPARE(up.size(), 4); // and once more on release
    }

    void heldButtonRepeatsOnTheClock()
    {
        TSpinButton spin;
        spin.resize(20, 25);
        spin.show();
        QList<qint64> at;
        QElapsedTimer clock;
        connect(&spin, &TSpinButton::OnDownClick, this, [&] { at.append(clock.elapsed()); });
        clock.start();
        Press(spin.DownButton());
        QTRY_VERIFY_WITH_TIMEOUT(at.size() >= 2, 5000);
        Release(spin.DownButton());
        QVERIFY2(at[0] >= 400, qPrintable(QString::number(at[0])));
        QVERIFY2(at[1] - at[0] >= 100, qPrintable(QString::number(at[1] - at[0])));
    }

    void pressGivesFocusToFocusControl()
    {
        QWidget window;
        auto *target = new QLineEdit(&window);
        auto *spin = new TSpinButton(&window);
        spin->move(0, 40);
        spin->SetFocusControl(target);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Press(spin->DownButton());
        Release(spin->DownButton());
        QCOMPARE(QApplication::focusWidget(), target);
        QCOMPARE(spin->FocusedButton(), spin->DownButton());
    }
};

QTEST_MAIN(TestSpin)
#include "tst_spinedit.moc"
