// Every form of the program, built as the program builds it: each control its
// help list names is there, and asking for its help shows exactly that text.
#include "AppTestKit.h"

#include "app/AboutDialog.h"
#include "app/BackgroundArtDialog.h"
#include "app/ExportCardDialog.h"
#include "app/PersonalInformationDialog.h"
#include "app/PrintShopDialog.h"
#include "dialogs/BusinessCardTextDialog.h"
#include "dialogs/CircleTextDialog.h"
#include "dialogs/Effects3DDialog.h"
#include "dialogs/ImageBrowser.h"
#include "dialogs/MultiLineEditor.h"
#include "dialogs/QRCodeDialog.h"
#include "dialogs/RichTextEditor.h"
#include "dialogs/SuperShapeDialog.h"
#include "dialogs/SuperTextDialog.h"
#include "dialogs/SymbolSelector.h"
#include "objects/QRCode.h"
#include "objects/TextLabel.h"
#include "printing/BottomMarginWarning.h"
#include "printing/CellSelectionDialog.h"
#include "printing/FineTuningDialog.h"
#include "printing/PeopleDialog.h"
#include "printing/PeopleList.h"
#include "printing/PrintCommands.h"
#include "printing/PrintPreview.h"
#include "printing/SheetLayoutDialog.h"
#include "widgets/ContextHelp.h"
#include "widgets/FormHelpTexts.h"

#include <QToolButton>

using namespace testsupport;

namespace {

using FormMaker = std::function<std::unique_ptr<QWidget>()>;

template <typename T, typename... Args> FormMaker Make(Args... args)
{
    return [=] { return std::unique_ptr<QWidget>(new T(args...)); };
}

// Controls a form lists that the program has no use for: there are no drives
// to choose, the preview shows one page only, and SuperShapes have no pattern
// fill.
const QStringList kNotOnThisSystem = {
    QStringLiteral("DriveComboBox1"), QStringLiteral("sbFirstPage"),          QStringLiteral("sbLastPAge"),
    QStringLiteral("sbNextPage"),     QStringLiteral("sbPrevPage"),           QStringLiteral("ForeGroundColorCombo"),
    QStringLiteral("PatternCombo")};

// Forms without a help-pointer button of their own.
const QStringList kWithoutPointer = {QStringLiteral("TPrinterSetup"), QStringLiteral("TSplashform")};

QHash<QString, FormMaker> Forms()
{
    static TGPLabel label;
    static TGQRCode code;
    return {
        {"TCircleTextProperties", Make<TCircleTextProperties>()},
        {"TEditCardLayout", Make<TEditCardLayout>(CardSheetLayout())},
        {"TGBrushImageBrowser", Make<TGBrushImageBrowser>()},
        {"TSuperTextBrushImageBrowser", Make<TSuperTextBrushImageBrowser>()},
        {"TGetBCLabelText", Make<TGetBCLabelText>()},
        {"TGetLabelText", Make<TGetLabelText>()},
        {"TGetSymbol", Make<TGetSymbol>()},
        {"TGFont3DEffects", [] { return std::unique_ptr<QWidget>(new TGFont3DEffects(label)); }},
        {"TGImageBrowser", Make<TGImageBrowser>()},
        {"TLoadBackGround", Make<TLoadBackGround>()},
        {"TMainScreen", Make<TMainScreen>()},
        {"TMultiLineTextEditor", Make<TMultiLineTextEditor>()},
        {"TPersonalInformation", Make<TPersonalInformation>()},
        {"TPreviewForm", Make<TPreviewForm>()},
        {"TPrintFineTune", Make<TPrintFineTune>(PrinterNudges())},
        {"TRichTextLabelEditor", Make<TRichTextLabelEditor>()},
        {"TSelectSpecificLabels",
         [] {
             return std::unique_ptr<QWidget>(
                 new TSelectSpecificLabels(CardSheetLayout(), SelectedCells(10, true), TPrinterAccess()));
         }},
        {"TSuperShapeProperties", Make<TSuperShapeProperties>()},
        {"TSuperTextProperties", Make<TSuperTextProperties>()},
        {"TWarnBottomMargin", Make<TWarnBottomMargin>(0.75)},
        {"TQRCodeProperties", [] { return std::unique_ptr<QWidget>(new TQRCodeProperties(code, {})); }},
        {"TSuperTextGetSymbol", Make<TSuperTextGetSymbol>()},
        {"TExportCardOptions", Make<TExportCardOptions>()},
        {"TPrintShopDialog", Make<TPrintShopDialog>()},
        {"TPeoplePrintDialog",
         [] {
             const TPeopleTable people = people::ReadCsv("Name,Company\nAnn,Quorvel\n");
             return std::unique_ptr<QWidget>(new TPeoplePrintDialog(people));
         }},
        {"TPrinterSetup", Make<TPrinterSetup>()},
        {"TSplashform", Make<TSplashform>()},
    };
}

QString Shown(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

} // namespace

class TestFormHelp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        apptest::PinPrinters();
        platform::SetMessageBoxForTests([](const platform::TMessageRequest &) { return platform::mrOk; });
    }

    void everyControlShowsItsText_data()
    {
        QTest::addColumn<QString>("form");
        for (const QString &form : FormsWithHelpTexts())
            QTest::newRow(qPrintable(form)) << form;
    }

    void everyControlShowsItsText()
    {
        QFETCH(QString, form);
        const FormMaker make = Forms().value(form);
        QVERIFY2(make, "the test builds every form that has help texts");
        std::unique_ptr<QWidget> window = make();
        QCOMPARE(QString::fromLatin1(window->metaObject()->className()), form);
        TODSHelp *help = TODSHelp::OfForm(window.get());
        QVERIFY(help);
        QCOMPARE(help->Form(), window.get());
        if (!kWithoutPointer.contains(form))
            QVERIFY(window->findChild<QToolButton *>(QStringLiteral("MouseHelpButton")));

        for (const TFormHelpEntry &entry : FormHelpTexts(form)) {
            const QString name = QLatin1String(entry.control);
            QWidget *control = window->findChild<QWidget *>(name);
            if (kNotOnThisSystem.contains(name)) {
                QVERIFY(!control);
                continue;
            }
            QVERIFY2(control, qPrintable(form + QLatin1Char('.') + name + QStringLiteral(" is missing")));
            QVERIFY2(help->ShowHelpOfControlOrParents(control), qPrintable(name));
            TODSHelpPopup *popup = help->VisiblePopup();
            QVERIFY(popup);
            QCOMPARE(popup->Text(), Shown(QLatin1String(entry.text)));
            popup->hide();
        }
        window.reset();
        Flush();
    }

    // A few texts word for word as the forms have always shown them: the
    // typing slips, double blanks and quoted words are the program's own.
    void textsWordForWord_data()
    {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("slip") << "TEditCardLayout" << "Cancelbutton"
                              << "Clcik here to cancel changes and return to the previous screen";
        QTest::newRow("double blank") << "TEditCardLayout" << "eleftmarg"
                                      << "This is the distance between the  left edge of the paper, and the left "
                                         "edge of the first card.";
        QTest::newRow("quotes") << "TPrintFineTune" << "VerticalSpacingSpinner"
                                << "Increase or decrease to adjust vertical spacing between cards.\n\nNOTE: You may "
                                   "need to adjust this if printing \"creeps\" between the top and bottom cards.";
        QTest::newRow("tool") << "TMainScreen" << "DrawCircleTextbutton"
                              << "Click here to draw a CircleText object\n\nA CircleText object:\n-Can be from 90 to "
                                 "360 degrees of circular text\n-Can start at 90,180,270 or 360 degree vector\n-Can "
                                 "use any TrueType font\n";
        QTest::newRow("trailing break") << "TEditCardLayout" << "epapersize"
                                        << "This sets the paper size as either Letter or A4.\n";
        QTest::newRow("note") << "TPersonalInformation" << "OKButton"
                              << "Click here to accept changes to your personal information.\n\nNOTE: Personal "
                                 "Information can be used to fill in a TEXT object by right clicking on the text "
                                 "object and selecting Personal Information from the menu.";
    }

    void textsWordForWord()
    {
        QFETCH(QString, form);
        QFETCH(QString, control);
        QFETCH(QString, text);
        std::unique_ptr<QWidget> window = Forms().value(form)();
        QWidget *c = window->findChild<QWidget *>(control);
        QVERIFY(c);
        TODSHelp *help = TODSHelp::OfForm(c);
        QVERIFY(help->ShowHelpOfControlOrParents(c));
        QCOMPARE(help->VisiblePopup()->Text(), text);
        // Qt's own "What's this?" reads the same text.
        QCOMPARE(c->whatsThis(), text);
        help->VisiblePopup()->hide();
    }

    // The business-card text dialog is the text dialog with more: it carries
    // its own list, not the one of the dialog it is built on.
    void derivedFormKeepsOneHelp()
    {
        TGetBCLabelText dialog;
        QCOMPARE(dialog.findChildren<TODSHelp *>().size(), 1);
        QCOMPARE(TODSHelp::OfForm(&dialog)->HelpText().Count(), FormHelpTexts("TGetBCLabelText").size());
    }
};

QTEST_MAIN(TestFormHelp)
#include "tst_formhelp.moc"
