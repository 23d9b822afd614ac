// The "What's this?" help as a user meets it: the popup beside a control with
// its text, the help-pointer button's help mode, F1 and the context menu item.
#include "TestSupport.h"

#include "widgets/ContextHelp.h"
#include "widgets/SpinEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace testsupport;

namespace {

// A small form: a text edit, a group with a button inside, an OK button and
// the help-pointer button, with help entries for some of them.
struct THelpedForm {
    QDialog form;
    QLineEdit *CaptionText;
    TSpinEdit *Pages;
    QGroupBox *Group;
    QPushButton *Inner;
    QPushButton *OKButton;
    QToolButton *MouseHelpButton;
    TODSHelp *help;

    THelpedForm()
    {
        form.setObjectName(QStringLiteral("Form"));
        CaptionText = Named<QLineEdit>(&form, "CaptionText");
        Pages = Named<TSpinEdit>(&form, "Pages");
        Pages->SetEditorEnabled(false);
        Pages->setText(QStringLiteral("2"));
        Group = new QGroupBox(QStringLiteral("Group"), &form);
        Group->setObjectName(QStringLiteral("Group"));
        Inner = Named<QPushButton>(Group, "Inner");
        (new QVBoxLayout(Group))->addWidget(Inner);
        OKButton = Named<QPushButton>(&form, "OKButton");
        MouseHelpButton = TODSHelp::MakeMouseHelpButton(&form);
        auto *layout = new QVBoxLayout(&form);
        for (QWidget *w : {static_cast<QWidget *>(CaptionText), static_cast<QWidget *>(Pages), static_cast<QWidget *>(Group),
                           static_cast<QWidget *>(OKButton), static_cast<QWidget *>(MouseHelpButton)})
            layout->addWidget(w);
        for (const char *name : {"Alias", "Chain", "LoopA", "LoopB", "Self", "Empty", "NoRecord", "Dangling",
                                 "okbutton", "Lines"})
            Named<QPushButton>(&form, name)->hide();

        help = new TODSHelp(&form);
        TODSHelpText &t = help->HelpText();
        t.Add(QStringLiteral("CaptionText"), QStringLiteral("Enter the text here"));
        t.Add(QStringLiteral("Alias"), QStringLiteral("->CaptionText"));
        t.Add(QStringLiteral("Chain"), QStringLiteral("->Alias"));
        t.Add(QStringLiteral("LoopA"), QStringLiteral("->LoopB"));
        t.Add(QStringLiteral("LoopB"), QStringLiteral("->LoopA"));
        t.Add(QStringLiteral("Self"), QStringLiteral("->Self"));
        t.Add(QStringLiteral("Empty"), QString());
        t.Add(QStringLiteral("NoRecord"), std::nullopt);
        t.Add(QStringLiteral("Dangling"), QStringLiteral("->Nowhere"));
        t.Add(QStringLiteral("OKbutton"), QStringLiteral("wrong case"));
        t.Add(QStringLiteral("Lines"), QStringLiteral("One\r\n\r\nTwo"));
        t.Add(QStringLiteral("Group"), QStringLiteral("A group of settings"));
        t.Add(QStringLiteral("Pages"), QStringLiteral("Enter the number of pages to print here"));
        t.Add(QStringLiteral("OKButton"), QStringLiteral("Click to accept and return to the previous screen"));
        t.Add(QStringLiteral("Form"), QStringLiteral("The form itself never answers"));
    }

    template <typename T> static T *Named(QWidget *parent, const char *name)
    {
        auto *w = new T(parent);
        w->setObjectName(QLatin1String(name));
        return w;
    }

    QString PopupText() const
    {
        const TODSHelpPopup *popup = help->VisiblePopup();
        return popup ? popup->Text() : QString();
    }
};

// Answers the next context menu: records its items and picks the one named.
void PickFromMenu(const QString &item, QStringList &items)
{
    QTimer::singleShot(50, [item, &items] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                items << (a->isEnabled() ? QString() : QStringLiteral("-")) + a->text().section(QLatin1Char('\t'), 0, 0);
        for (QAction *a : menu->actions())
            if (a->text() == item) {
                menu->close();
                a->trigger();
                return;
            }
        menu->close();
    });
}

} // namespace

class TestContextHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void cleanup()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        Flush();
    }

    void lookup_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        QTest::newRow("own text") << "CaptionText" << "Enter the text here";
        QTest::newRow("reference") << "Alias" << "Enter the text here";
        QTest::newRow("reference to a reference") << "Chain" << "Enter the text here";
        QTest::newRow("loop of two") << "LoopA" << "";
        QTest::newRow("loop of one") << "Self" << "";
        QTest::newRow("empty text") << "Empty" << "";
        QTest::newRow("no record") << "NoRecord" << "";
        QTest::newRow("reference to nothing") << "Dangling" << "";
        QTest::newRow("name differs in case") << "okbutton" << "";
        QTest::newRow("line breaks") << "Lines" << "One\n\nTwo";
    }

    void lookup()
    {
        QFETCH(QString, control);
        QFETCH(QString, shown);
        THelpedForm f;
        QSignalSpy done(f.help, &TODSHelp::OnHelpDone);
        QWidget *c = f.form.findChild<QWidget *>(control);
        QVERIFY(c);
        QCOMPARE(f.help->ShowHelpOfControlOrParents(c), !shown.isEmpty());
        QCOMPARE(f.PopupText(), shown);
        // Nothing to show: the help is over at once.
        QCOMPARE(done.count(), shown.isEmpty() ? 1 : 0);
    }

    void controlWithoutEntryShowsItsParents()
    {
        THelpedForm f;
        QVERIFY(f.help->ShowHelpOfControlOrParents(f.Inner));
        QCOMPARE(f.PopupText(), QStringLiteral("A group of settings"));
        f.help->VisiblePopup()->hide();

        // The form's own entry is not asked: a control whose parents have no
        // help shows nothing.
        f.help->HelpText().Clear();
        f.help->HelpText().Add(QStringLiteral("Form"), QStringLiteral("The form itself never answers"));
        QVERIFY(!f.help->ShowHelpOfControlOrParents(f.Inner));
        QVERIFY(!f.help->VisiblePopup());
    }

    void whatsThisMenuItem_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QStringList>("ownItems");
        QTest::addColumn<QString>("shown");
        QTest::newRow("button") << "OKButton" << QStringList() << "Click to accept and return to the previous screen";
        QTest::newRow("edit keeps copy and paste")
            << "CaptionText" << QStringList{"Cu&t", "&Copy"} << "Enter the text here";
        QTest::newRow("spin edit keeps its own menu")
            << "Pages" << QStringList{"&Copy"}
            << "Enter the number of pages to print here";
        QTest::newRow("inside a group") << "Inner" << QStringList() << "A group of settings";
    }

    void whatsThisMenuItem()
    {
        QFETCH(QString, control);
        QFETCH(QStringList, ownItems);
        QFETCH(QString, shown);
        THelpedForm f;
        ShowActive(&f.form, "form");
        QWidget *c = f.form.findChild<QWidget *>(control);
        f.CaptionText->setText(QStringLiteral("abc"));
        f.CaptionText->selectAll();
        f.Pages->selectAll();
        QStringList items;
        PickFromMenu(QStringLiteral("What's this?"), items);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), c->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(c, &event);
        QVERIFY(items.contains(QStringLiteral("What's this?")));
        QCOMPARE(items.size() > 1, !ownItems.isEmpty());
        for (const QString &item : ownItems)
            QVERIFY2(items.contains(item), qPrintable(items.join(QLatin1Char('|'))));
        // A spin edit that takes no typing offers nothing that changes its text.
        if (control == QLatin1String("Pages"))
            QVERIFY(!items.contains(QStringLiteral("Cu&t")) && !items.contains(QStringLiteral("&Paste")));
        QTRY_COMPARE(f.PopupText(), shown);
    }

    void f1ShowsTheFocusedControlsHelp()
    {
        THelpedForm f;
        ShowActive(&f.form, "form");
        f.CaptionText->setFocus();
        QSignalSpy done(f.help, &TODSHelp::OnHelpDone);
        QTest::keyClick(f.CaptionText, Qt::Key_F1);
        QCOMPARE(f.PopupText(), QStringLiteral("Enter the text here"));
        // Any key closes the popup, which ends the help.
        QTest::keyClick(f.help->VisiblePopup(), Qt::Key_A);
        QVERIFY(!f.help->VisiblePopup());
        QCOMPARE(done.count(), 1);
        QCOMPARE(f.CaptionText->text(), QString());
    }

    void helpModeShowsTheClickedControlInsteadOfPressingIt()
    {
        THelpedForm f;
        ShowActive(&f.form, "form");
        QSignalSpy pressed(f.OKButton, &QPushButton::clicked);
        QTest::mouseClick(f.MouseHelpButton, Qt::LeftButton);
        QVERIFY(f.help->InHelpMode());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WhatsThisCursor);

        QTest::mouseClick(f.OKButton, Qt::LeftButton);
        QTRY_COMPARE(f.PopupText(), QStringLiteral("Click to accept and return to the previous screen"));
        QCOMPARE(pressed.count(), 0);
        QVERIFY(!f.help->InHelpMode());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.form.isVisible());
    }

    void escapeEndsHelpModeWhereTheFocusWas()
    {
        THelpedForm f;
        ShowActive(&f.form, "form");
        f.CaptionText->setFocus();
        QSignalSpy done(f.help, &TODSHelp::OnHelpDone);
        QSignalSpy pressed(f.OKButton, &QPushButton::clicked);
        QTest::mouseClick(f.MouseHelpButton, Qt::LeftButton);
        QVERIFY(f.help->InHelpMode());
        // Keys do nothing in help mode; Escape ends it and does not close the form.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!f.help->InHelpMode());
        QVERIFY(!f.help->VisiblePopup());
        QVERIFY(f.form.isVisible());
        QCOMPARE(f.CaptionText->text(), QString());
        QCOMPARE(QApplication::focusWidget(), f.CaptionText);
        QCOMPARE(done.count(), 1);
        QVERIFY(!QApplication::overrideCursor());
        // The next click acts again.
        QTest::mouseClick(f.OKButton, Qt::LeftButton);
        QCOMPARE(pressed.count(), 1);
    }

    void popupKeepsClearOfTheScreenEdges_data()
    {
        QTest::addColumn<QString>("edge");
        QTest::newRow("right") << "right";
        QTest::newRow("bottom") << "bottom";
        QTest::newRow("left") << "left";
    }

    void popupKeepsClearOfTheScreenEdges()
    {
        QFETCH(QString, edge);
        THelpedForm f;
        f.help->HelpText().Clear();
        f.help->HelpText().Add(QStringLiteral("OKButton"), QStringLiteral("A text long enough to wrap once or twice "
                                                                         "inside the popup whatever the font is"));
        const QRect screen = f.form.screen()->geometry();
        f.form.adjustSize();
        QPoint at(screen.center().x(), screen.center().y());
        if (edge == QLatin1String("right"))
            at.setX(screen.right() - 40 - f.OKButton->x()); // the button 40 pixels from the edge
        else if (edge == QLatin1String("bottom"))
            at.setY(screen.bottom() - f.form.height());
        else
            at.setX(screen.left());
        f.form.move(at);
        ShowActive(&f.form, "form");
        QVERIFY(f.help->ShowHelpOf(f.OKButton));
        const QRect popup = f.help->VisiblePopup()->geometry();
        if (edge == QLatin1String("right"))
            QCOMPARE(popup.right(), screen.right() - TODSHelpPopup::kScreenGap);
        else if (edge == QLatin1String("bottom"))
            QCOMPARE(popup.bottom(), screen.bottom() - TODSHelpPopup::kScreenGap);
        else
            QVERIFY(popup.left() >= screen.left());
        QVERIFY(screen.contains(popup));
    }

    void popupIsPaleYellowWithAShadow()
    {
        THelpedForm f;
        ShowActive(&f.form, "form");
        f.help->HelpText().Clear();
        const QString longText = QStringLiteral("word ").repeated(80);
        f.help->HelpText().Add(QStringLiteral("OKButton"), longText);
        QVERIFY(f.help->ShowHelpOf(f.OKButton));
        TODSHelpPopup *popup = f.help->VisiblePopup();
        const QRect area = popup->TextArea();
        // Wrapped at the width the form asks for, with room for the margins.
        QVERIFY(area.width() <= f.help->MaxWidth() + 16);
        QVERIFY(area.height() > 3 * popup->fontMetrics().height());
        QCOMPARE(popup->width(), area.width() + TODSHelpPopup::kShadow);

        const QImage shot = popup->grab().toImage();
        QCOMPARE(QColor(shot.pixel(area.right() - 3, area.bottom() - 2)), QColor(255, 255, 232));
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::black)); // the frame
        // The shadow along the right: every other pixel black.
        const int x = area.right() + 3;
        int black = 0;
        for (int y = 10; y < 30; ++y)
            black += QColor(shot.pixel(x, y)) == QColor(Qt::black) ? 1 : 0;
        QCOMPARE(black, 10);
        // No help page: no "more" line.
        QVERIFY(popup->MoreTextRect().isEmpty());
    }

    void moreLineOpensTheHelpPage()
    {
        THelpedForm f;
        ShowActive(&f.form, "form");
        QList<int> opened;
        SetHelpPageOpener([&opened](int context) { opened << context; });
        f.help->HelpText().Clear();
        TODSHelpData data;
        data.Text = QStringLiteral("Choose the background art");
        data.HelpContext = 2101;
        f.help->HelpText().Add(QStringLiteral("OKButton"), data);

        QVERIFY(f.help->ShowHelpOf(f.OKButton));
        TODSHelpPopup *popup = f.help->VisiblePopup();
        QVERIFY(!popup->MoreTextRect().isEmpty());
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->MoreTextRect().center());
        QCOMPARE(opened, QList<int>{2101});
        QVERIFY(!f.help->VisiblePopup());

        // F1 while the popup shows opens the page too; a click on the text does not.
        QVERIFY(f.help->ShowHelpOf(f.OKButton));
        QTest::keyClick(f.help->VisiblePopup(), Qt::Key_F1);
        QVERIFY(f.help->ShowHelpOf(f.OKButton));
        QTest::mouseClick(f.help->VisiblePopup(), Qt::LeftButton, {}, QPoint(10, 6));
        QCOMPARE(opened, (QList<int>{2101, 2101}));
        SetHelpPageOpener({});
    }
};

QTEST_MAIN(TestContextHelp)
#include "tst_contexthelp.moc"
