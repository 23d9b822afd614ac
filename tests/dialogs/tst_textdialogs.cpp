// The text entry dialogs driven through their controls: the text dialog, its
// business-card variant with the personal information, and the multi-line
// text editor with its 254 characters; and the dialogs opened by the labels'
// own commands once the editors are registered.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/DialogEditors.h"
#include "dialogs/BusinessCardTextDialog.h"
#include "dialogs/LabelTextDialog.h"
#include "dialogs/MultiLineEditor.h"
#include "objects/MultiLineLabel.h"
#include "objects/BusinessCardLabel.h"
#include "printing/DialogKit.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>

using namespace testsupport;

namespace {

// Runs the step on the modal dialog as soon as it is open.
template <typename Dialog> void WhenOpen(std::function<void(Dialog &)> step)
{
    QTimer::singleShot(0, [step] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        step(*dialog);
    });
}

void TypeInto(QWidget *control, const QString &text)
{
    control->setFocus();
    QTest::keyClicks(control, text);
}

} // namespace

class TestTextDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void captionsAndHelp_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("context");
        QTest::newRow("text") << "text" << "Text" << 40004;
        QTest::newRow("business card") << "bc" << "Text" << 40004;
        QTest::newRow("multi-line") << "memo" << "Multi-line Text Editor" << 40001;
    }
    void captionsAndHelp()
    {
        QFETCH(QString, which);
        QFETCH(QString, caption);
        QFETCH(int, context);
        std::unique_ptr<TPropertyDialog> dialog;
        if (which == QLatin1String("text"))
            dialog = std::make_unique<TGetLabelText>();
        else if (which == QLatin1String("bc"))
            dialog = std::make_unique<TGetBCLabelText>();
        else
            dialog = std::make_unique<TMultiLineTextEditor>();
        QCOMPARE(dialog->windowTitle(), caption);
        QCOMPARE(dialog->OKButton->text(), QStringLiteral("Ok"));
        QVERIFY(dialog->OKButton->isDefault());
        QCOMPARE(dialog->Cancelbutton->text(), QStringLiteral("Cancel"));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowSystemMenuHint));
        int opened = 0;
        printing::SetHelpOpener([&opened](int c) { opened = c; });
        QTest::mouseClick(dialog->Helpbutton, Qt::LeftButton);
        printing::SetHelpOpener({});
        QCOMPARE(opened, context);
        QCOMPARE(dialog->OKButton->whatsThis(), QStringLiteral("Click to accept and return to the previous screen"));
    }

    void dialogIsCentredOverTheMainWindow()
    {
        QWidget main;
        main.setGeometry(100, 80, 800, 600);
        main.show();
        TGetLabelText dialog(&main);
        dialog.show();
        Flush();
        const QRect m = main.frameGeometry();
        const QRect d = dialog.frameGeometry();
        QCOMPARE(d.left(), m.left() + (m.width() - d.width()) / 2);
        QCOMPARE(d.top(), m.top() + (m.height() - d.height()) / 2);
    }

    // ---- the text dialog ----

    void textDialogEditsTheText()
    {
        TGetLabelText dialog;
        dialog.LabelText->setText(QStringLiteral("Old"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.LabelText);
        QCOMPARE(dialog.LabelText->whatsThis(), QStringLiteral("Enter the text you wish displayed here"));
        dialog.LabelText->selectAll();
        QTest::keyClicks(dialog.LabelText, QStringLiteral("New text"));
        QTest::keyClick(dialog.LabelText, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.LabelText->text(), QStringLiteral("New text"));
    }

    void escapeCancels()
    {
        TGetLabelText dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QTest::keyClick(dialog.LabelText, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // ---- the business-card text dialog ----

    void noPersonalInformationGivesADisabledEmptyList()
    {
        TGetBCLabelText dialog;
        dialog.SetPersonalInfo(QStringList(10, QString()));
        QCOMPARE(dialog.PersonalInfoCombo->count(), 0);
        QVERIFY(!dialog.PersonalInfoCombo->isEnabled());
    }

    void personalInformationListsTheFilledEntriesInOrder()
    {
        TGetBCLabelText dialog;
        dialog.SetPersonalInfo({QStringLiteral("John Smith"), QString(), QStringLiteral("Director"), QString(),
                                QString(), QString(), QStringLiteral("555-1234"), QString(), QString(),
                                QStringLiteral("555-9999")});
        QVERIFY(dialog.PersonalInfoCombo->isEnabled());
        QStringList items;
        for (int i = 0; i < dialog.PersonalInfoCombo->count(); ++i)
            items.append(dialog.PersonalInfoCombo->itemText(i));
        QCOMPARE(items, (QStringList{"John Smith", "Director", "555-1234", "555-9999"}));
        QCOMPARE(dialog.PersonalInfoCombo->currentIndex(), -1);
        QVERIFY(!dialog.PersonalInfoCombo->isEditable());
    }

    void choosingAnEntryAndEditingKeepsTheEditedText()
    {
        TGetBCLabelText dialog;
        dialog.LabelText->setText(QStringLiteral("Text"));
        dialog.SetPersonalInfo({QStringLiteral("John Smith"), QStringLiteral("Smith & Sons")});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // Choose the second entry with the keyboard, as a user can.
        dialog.PersonalInfoCombo->setFocus();
        QTest::keyClick(dialog.PersonalInfoCombo, Qt::Key_Down);
        QTest::keyClick(dialog.PersonalInfoCombo, Qt::Key_Down);
        QCOMPARE(dialog.LabelText->text(), QStringLiteral("Smith & Sons"));
        dialog.LabelText->setFocus();
        dialog.LabelText->end(false);
        QTest::keyClicks(dialog.LabelText, QStringLiteral(" Ltd"));
        QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.LabelText->text(), QStringLiteral("Smith & Sons Ltd"));
    }

    // ---- the multi-line text editor ----

    void memoRefusesThe255thCharacter()
    {
        TMultiLineTextEditor editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        TypeInto(editor.Memo, QString(254, QLatin1Char('a')));
        QCOMPARE(editor.Memo->TextLength(), 254);
        QTest::keyClicks(editor.Memo, QStringLiteral("b"));
        QCOMPARE(editor.Memo->toPlainText(), QString(254, QLatin1Char('a')));
    }

    void lineBreaksCountTwoCharacters()
    {
        TMultiLineTextEditor editor;
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        TypeInto(editor.Memo, QString(250, QLatin1Char('a')));
        QTest::keyClick(editor.Memo, Qt::Key_Return);
        QTest::keyClicks(editor.Memo, QStringLiteral("bcd"));
        QCOMPARE(editor.Memo->TextLength(), 254);
        QCOMPARE(editor.Lines(), (QStringList{QString(250, QLatin1Char('a')), QStringLiteral("bc")}));
    }

    void pastedTextIsCutAtTheLimit()
    {
        TMultiLineTextEditor editor;
        editor.SetLines({QString(250, QLatin1Char('x'))});
        editor.show();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.Memo->moveCursor(QTextCursor::Start);
        QApplication::clipboard()->setText(QStringLiteral("123456"));
        editor.Memo->paste();
        QCOMPARE(editor.Memo->toPlainText(), QStringLiteral("1234") + QString(250, QLatin1Char('x')));
    }

    void linesGoInAndComeBack_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("none") << QStringList();
        QTest::newRow("address") << QStringList{"John Smith", "", "1 Main Street"};
        QTest::newRow("longer than the limit stays") << QStringList{QString(300, QLatin1Char('z'))};
    }
    void linesGoInAndComeBack()
    {
        QFETCH(QStringList, lines);
        TMultiLineTextEditor editor;
        editor.SetLines(lines);
        QCOMPARE(editor.Lines(), lines);
    }

    void finalLineBreakAddsNoLine()
    {
        TMultiLineTextEditor editor;
        editor.Memo->setPlainText(QStringLiteral("one\ntwo\n"));
        QCOMPARE(editor.Lines(), (QStringList{"one", "two"}));
    }

    void memoShowsTheLabelsFont()
    {
        TMultiLineTextEditor editor;
        TFont font;
        font.SetName(QStringLiteral("Courier New"));
        font.SetHeight(-20);
        font.SetStyle(Vcl::fsBold);
        editor.SetMemoFont(font);
        QCOMPARE(editor.Memo->font().pixelSize(), 20);
        QVERIFY(editor.Memo->font().bold());
        QCOMPARE(editor.Memo->font().family(), QStringLiteral("Courier New"));
    }

    // ---- opened by the labels ----

    void businessCardLabelOpensItsDialog()
    {
        ScopedEditors scope;
        RegisterDialogEditors();
        auto panel = MakePanel();
        panel->PersonalInfo[0] = QStringLiteral("John Smith");
        auto *label = new TGBusinessCardLabel(panel.get());
        label->SetPanel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 60, 30});
        QStringList offered;
        WhenOpen<TGetBCLabelText>([&offered](TGetBCLabelText &dialog) {
            QCOMPARE(dialog.LabelText->text(), QStringLiteral("Text"));
            for (int i = 0; i < dialog.PersonalInfoCombo->count(); ++i)
                offered.append(dialog.PersonalInfoCombo->itemText(i));
            dialog.PersonalInfoCombo->activated(0);
            QTest::mouseClick(dialog.OKButton, Qt::LeftButton);
        });
        label->MenuAction(QStringLiteral("Text"))->trigger();
        QCOMPARE(offered, QStringList{QStringLiteral("John Smith")});
        QCOMPARE(label->Caption(), QStringLiteral("John Smith"));
    }

    void multiLineLabelOpensTheEditor_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void multiLineLabelOpensTheEditor()
    {
        QFETCH(bool, ok);
        ScopedEditors scope;
        RegisterDialogEditors();
        TGMultiLineLabel label;
        label.Loaded();
        label.SetItems({QStringLiteral("first")});
        WhenOpen<TMultiLineTextEditor>([ok](TMultiLineTextEditor &editor) {
            QCOMPARE(editor.Lines(), QStringList{QStringLiteral("first")});
            editor.Memo->moveCursor(QTextCursor::End);
            QTest::keyClick(editor.Memo, Qt::Key_Return);
            QTest::keyClicks(editor.Memo, QStringLiteral("second"));
            QTest::mouseClick(ok ? editor.OKButton : editor.Cancelbutton, Qt::LeftButton);
        });
        label.MenuAction(QStringLiteral("Text"))->trigger();
        QCOMPARE(label.Items(), ok ? (QStringList{"first", "second"}) : QStringList{"first"});
    }
};

QTEST_MAIN(TestTextDialogs)
#include "tst_textdialogs.moc"
