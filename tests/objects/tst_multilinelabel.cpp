// The multi-line label: "<blank>" for empty text, word wrap at the object's
// width, alignment of each line, fit to text, its commands, and card files.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "objects/MultiLineLabel.h"
#include "platform/CanvasFont.h"
#include "platform/Dialogs.h"
#include "surface/BusinessCardPanel.h"
#include "surface/SelectionHandle.h"

#include <QMenu>
#include <QSignalSpy>

using namespace testsupport;

namespace {

platform::TCanvasFont ArialFont()
{
    TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-13);
    return platform::TCanvasFont(font);
}

QStringList TopLevelCaptions(const TGGraphicControl &object)
{
    QStringList captions;
    for (const QAction *a : object.ContextMenu()->actions())
        captions.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return captions;
}

} // namespace

class TestMultiLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void constructorValues()
    {
        TGMultiLineLabel label;
        QCOMPARE(label.BoundsRect(), QRect(0, 0, 190, 33));
        QCOMPARE(label.Font()->Name(), QStringLiteral("Arial"));
        QCOMPARE(label.Font()->Size(), 10);
        QCOMPARE(label.Alignment(), Vcl::taLeftJustify);
        QVERIFY(!label.WordWrap());
        QVERIFY(!label.AutoSize());
        QVERIFY(label.Items().isEmpty());
    }

    // ---- "<blank>" ----

    void emptyTextShowsBlank_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("painted");
        QTest::newRow("no lines") << QStringList() << QStringList{"<blank>"};
        QTest::newRow("a line of spaces") << QStringList{"   "} << QStringList{"   ", "<blank>"};
        QTest::newRow("one empty line") << QStringList{""} << QStringList{"", "<blank>"};
        QTest::newRow("a tab is not a space") << QStringList{"\t"} << QStringList{"\t"};
        QTest::newRow("two empty lines") << QStringList{"", ""} << QStringList{"", ""};
        QTest::newRow("text") << QStringList{" a "} << QStringList{" a "};
    }
    void emptyTextShowsBlank()
    {
        QFETCH(QStringList, items);
        QFETCH(QStringList, painted);
        TGMultiLineLabel label;
        label.SetItems(items);
        QCOMPARE(label.PaintedLines(), painted);
    }

    void blankIsDrawnAndPrinted()
    {
        TGMultiLineLabel label;
        label.SetItems({QStringLiteral("   ")});
        label.SetBounds(0, 0, 190, 60);
        const QImage image = RenderObject(label);
        const QRect ink = InkBox(image, IsDark);
        const platform::TCanvasFont font = label.CanvasFont();
        // Only the second line, "<blank>", has ink.
        QVERIFY(ink.top() >= font.TextHeight());
        QVERIFY(ink.width() >= font.TextWidth(QStringLiteral("<blank>")) - 3);

        QImage printed(label.Width(), label.Height(), QImage::Format_RGB32);
        printed.fill(Qt::white);
        QPainter p(&printed);
        p.drawPicture(0, 0, label.Recording());
        p.end();
        QCOMPARE(printed, image);
        QCOMPARE(label.Recording().boundingRect(), QRect(0, 0, 190, 60));
    }

    void printPutsTheLinesIntoTheRectangleInInches()
    {
        TGMultiLineLabel label;
        label.SetItems({QStringLiteral("John Smith"), QStringLiteral("1 Main Street")});
        label.SetBounds(48, 96, 192, 96); // half an inch in, one down, 2 x 1 inches
        const QImage page = PrintObject(label, 0.5, 0.25, 200);
        const QRect ink = InkBox(page, IsDark);
        const QRect screen = InkBox(RenderObject(label), IsDark);
        const double scale = 200.0 / 96.0;
        // The cell at (0.5, 0.25) inches plus the label's position: (200, 250) device pixels.
        QVERIFY(ink.left() >= 200 && ink.right() < 600 && ink.top() >= 250 && ink.bottom() < 450);
        QVERIFY(std::abs(ink.left() - (200 + screen.left() * scale)) <= 4);
        QVERIFY(std::abs(ink.top() - (250 + screen.top() * scale)) <= 4);
        QVERIFY(std::abs(ink.height() - screen.height() * scale) <= 6);
    }

    // ---- wrapping ----

    void wrapBreaksAtSpacesAndInsideLongWords_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("widthOf");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("fits") << "alpha beta" << "alpha beta" << QStringList{"alpha beta"};
        QTest::newRow("at a space") << "alpha beta gamma" << "alpha beta" << QStringList{"alpha beta ", "gamma"};
        QTest::newRow("several spaces stay with the line")
            << "alpha   beta" << "alpha bet" << QStringList{"alpha   ", "beta"};
        // Runs of one letter wrap the same whatever the letter widths.
        QTest::newRow("inside a long word") << "mmmmmmmmmmmm" << "mmmmm" << QStringList{"mmmmm", "mmmmm", "mm"};
        QTest::newRow("word then long word")
            << "ab mmmmmmmmmmmm" << "mmmmm" << QStringList{"ab ", "mmmmm", "mmmmm", "mm"};
        QTest::newRow("trailing spaces hang") << "alpha     " << "alpha" << QStringList{"alpha     "};
        QTest::newRow("narrower than a letter") << "abc" << "" << QStringList{"a", "b", "c"};
        QTest::newRow("empty line") << "" << "a" << QStringList{""};
    }
    void wrapBreaksAtSpacesAndInsideLongWords()
    {
        QFETCH(QString, line);
        QFETCH(QString, widthOf);
        QFETCH(QStringList, pieces);
        const platform::TCanvasFont font = ArialFont();
        QCOMPARE(TGMultiLineBaseLabel::WrapLine(line, font, font.TextWidth(widthOf)), pieces);
    }

    void wrappingFollowsTheWidth()
    {
        auto panel = MakePanel();
        auto *label = new TGMultiLineLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 400, 100});
        label->SetItems({QStringLiteral("1111 1111 1111 1111"), QString(), QStringLiteral("5555")});
        const platform::TCanvasFont font = label->CanvasFont();
        label->SetWordWrap(true);
        QCOMPARE(label->WrappedLines(), label->Items());
        QCOMPARE(label->PaintedLines(), label->Items());

        label->SetBounds(10, 10, font.TextWidth(QStringLiteral("1111 1111")), 100);
        QCOMPARE(label->WrappedLines(), (QStringList{"1111 1111 ", "1111 1111", "", "5555"}));
        QCOMPARE(label->PaintedLines(), label->WrappedLines());

        label->SetWordWrap(false);
        QCOMPARE(label->PaintedLines(), label->Items());
    }

    void settingItemsDoesNotRewrap()
    {
        TGMultiLineLabel label;
        label.SetBounds(0, 0, 50, 33);
        label.SetWordWrap(true);
        label.SetItems({QStringLiteral("alpha beta gamma")});
        QVERIFY(label.WrappedLines().isEmpty());
        label.Rewrap();
        QVERIFY(label.WrappedLines().size() > 1);
    }

    void wrappedTextUsesTheZoomedFont()
    {
        TGMultiLineLabel label;
        label.SetItems({QStringLiteral("alpha beta gamma delta")});
        const int width = label.CanvasFont().TextWidth(QStringLiteral("alpha beta gamma"));
        label.SetBounds(0, 0, width, 33);
        label.SetWordWrap(true);
        QCOMPARE(label.WrappedLines().size(), 2);
        label.SetZoomFactorOnly(1.6f);
        label.Rewrap();
        QVERIFY(label.WrappedLines().size() > 2);
    }

    // ---- alignment ----

    void lineAlignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<int>("x");
        QTest::newRow("left") << int(Vcl::taLeftJustify) << 50 << 0;
        QTest::newRow("right") << int(Vcl::taRightJustify) << 50 << 190 - 51;
        QTest::newRow("centre") << int(Vcl::taCenter) << 51 << 95 - 25 + 1;
        QTest::newRow("centre of a full line") << int(Vcl::taCenter) << 190 << 1;
    }
    void lineAlignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, lineWidth);
        QFETCH(int, x);
        TGMultiLineLabel label;
        label.SetAlignment(Vcl::TAlignment(alignment));
        QCOMPARE(label.LineX(lineWidth), x);
    }

    void rightAlignedLinesEndAtTheRightEdge()
    {
        TGMultiLineLabel label;
        label.SetItems({QStringLiteral("HH"), QStringLiteral("HHHHHH")});
        label.SetBounds(0, 0, 190, 60);
        label.SetAlignment(Vcl::taRightJustify);
        const QImage image = RenderObject(label);
        const int lineHeight = label.CanvasFont().TextHeight();
        const QRect first = InkBox(image.copy(0, 0, 190, lineHeight), IsDark);
        const QRect second = InkBox(image.copy(0, lineHeight, 190, lineHeight), IsDark);
        QVERIFY(!first.isNull() && !second.isNull());
        QVERIFY(std::abs(first.right() - second.right()) <= 1);
        QVERIFY(first.right() >= 185 && first.right() <= 189);
        QVERIFY(second.left() < first.left());
    }

    // ---- fit to text ----

    void fitToText()
    {
        TGMultiLineLabel label;
        const platform::TCanvasFont font = label.CanvasFont();
        label.SetItems({QStringLiteral("short"), QStringLiteral("a considerably longer line of the address block")});
        label.SetBounds(5, 6, 40, 10);
        label.FitToText();
        QCOMPARE(label.BoundsRect(),
                 QRect(5, 6, font.TextWidth(label.Items().at(1)), 2 * font.TextHeight()));

        label.SetBounds(5, 6, 900, 10);
        label.FitToText();
        QCOMPARE(label.Width(), 900); // never narrower

        // Without lines the label keeps the height of its "<blank>" line.
        label.SetItems({});
        label.FitToText();
        QCOMPARE(label.Height(), font.TextHeight());
    }

    void emptyNewLabelStaysVisibleAndClickable_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("editor cancelled") << false << QStringList();
        QTest::newRow("OK without text") << true << QStringList();
        QTest::newRow("OK with a line of spaces") << true << QStringList{"   "};
    }
    void emptyNewLabelStaysVisibleAndClickable()
    {
        QFETCH(bool, ok);
        QFETCH(QStringList, typed);
        ScopedEditors editors;
        editors->MultiLineText = [ok, typed](QWidget *, const TFont &, QStringList &lines) {
            if (ok)
                lines = typed;
            return ok;
        };
        auto panel = MakePanel();
        panel->SetPanelState(psMultiLineLabel);
        Drag(panel.get(), QPoint(20, 20), QPoint(60, 40));
        auto *label = qobject_cast<TGMultiLineLabel *>(panel->Objects().value(0));
        QVERIFY(label);
        // "<blank>" is drawn within the label's bounds...
        const QImage card = panel->Grab().copy(label->BoundsRect());
        const platform::TCanvasFont font = label->CanvasFont();
        QVERIFY(label->Height() >= font.TextHeight());
        QVERIFY(InkBox(card, [](QRgb p) { return IsDark(p); }).width() >= font.TextWidth("<blank>") - 3);
        // ...and a click there selects the label.
        panel->SetPanelState(psPointing);
        QTest::mouseClick(panel.get(), Qt::LeftButton, {}, label->BoundsRect().center());
        Flush();
        QCOMPARE(panel->Handle()->Selection(), QList<TGGraphicControl *>{label});
    }

    void wrapOfVeryLongTextKeepsEveryCharacter_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("one word of 40,000 letters") << QString(40000, QLatin1Char('m'));
        QString words;
        while (words.size() < 40000)
            words += QStringLiteral("lorem ipsum dolor sit amet ");
        QTest::newRow("a line of 40,000 characters") << words;
    }
    void wrapOfVeryLongTextKeepsEveryCharacter()
    {
        QFETCH(QString, line);
        const platform::TCanvasFont font = ArialFont();
        const int width = 190;
        const QStringList pieces = TGMultiLineBaseLabel::WrapLine(line, font, width);
        QCOMPARE(pieces.join(QString()), line);
        for (const QString &piece : pieces) {
            // Every piece fits but for the spaces that hang at its end, and
            // is as long as fits: one more character would not.
            QVERIFY(font.TextWidth(TGGraphicControl::TrimTrailingSpaces(piece)) <= width);
            if (piece != pieces.last() && !piece.endsWith(QLatin1Char(' ')))
                QVERIFY(font.TextWidth(piece + line.at(0)) > width);
        }
        QVERIFY(pieces.size() > 150);
    }

    void fitToTextMeasuresTheWrappedLines()
    {
        TGMultiLineLabel label;
        const platform::TCanvasFont font = label.CanvasFont();
        label.SetItems({QStringLiteral("alpha beta gamma")});
        label.SetBounds(0, 0, font.TextWidth(QStringLiteral("alpha beta")), 10);
        label.SetWordWrap(true);
        label.FitToText();
        QCOMPARE(label.Height(), 2 * font.TextHeight());
    }

    // ---- commands ----

    void menuInOrder()
    {
        TGMultiLineLabel label;
        label.Loaded();
        const QStringList captions = TopLevelCaptions(label);
        const QStringList tail{QStringLiteral("Center Horizontally"), QStringLiteral("-"), QStringLiteral("Font"),
                               QStringLiteral("Alignment"), QStringLiteral("-"), QStringLiteral("Text"),
                               QStringLiteral("Word Wrap")};
        QCOMPARE(captions.mid(captions.size() - tail.size()), tail);
        QVERIFY(label.MenuAction(QStringLiteral("Alignment/Center")));
    }

    void menuCommandsChangeTheLabel()
    {
        auto panel = MakePanel();
        auto *label = new TGMultiLineLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 100, 60});
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        label->MenuAction(QStringLiteral("Alignment/Center"))->trigger();
        QCOMPARE(label->Alignment(), Vcl::taCenter);
        emit label->ContextMenu()->aboutToShow();
        QVERIFY(label->MenuAction(QStringLiteral("Alignment/Center"))->isChecked());
        QVERIFY(!label->MenuAction(QStringLiteral("Alignment/Left"))->isChecked());

        QVERIFY(!label->MenuAction(QStringLiteral("Word Wrap"))->isChecked());
        label->MenuAction(QStringLiteral("Word Wrap"))->trigger();
        QVERIFY(label->WordWrap());
        QVERIFY(label->MenuAction(QStringLiteral("Word Wrap"))->isChecked());
        QVERIFY(changed.count() >= 2);
    }

    void fontCommandRewraps()
    {
        TGMultiLineLabel label;
        label.Loaded();
        label.SetItems({QStringLiteral("alpha beta gamma")});
        label.SetBounds(0, 0, label.CanvasFont().TextWidth(QStringLiteral("alpha beta gamma")), 40);
        label.SetWordWrap(true);
        QCOMPARE(label.WrappedLines().size(), 1);
        platform::SetFontChooserForTests([](TFont &font) {
            font.SetSize(20);
            return true;
        });
        label.MenuAction(QStringLiteral("Font"))->trigger();
        platform::SetFontChooserForTests({});
        QCOMPARE(label.Font()->Size(), 20);
        QVERIFY(label.WrappedLines().size() > 1);
    }

    void assignFontRewraps()
    {
        TGMultiLineLabel label;
        label.SetItems({QStringLiteral("alpha beta gamma")});
        label.SetBounds(0, 0, label.CanvasFont().TextWidth(QStringLiteral("alpha beta gamma")), 40);
        label.SetWordWrap(true);
        TFont big;
        big.SetName(QStringLiteral("Arial"));
        big.SetSize(24);
        label.AssignFont(big);
        QVERIFY(label.Font()->SameAs(big));
        QVERIFY(label.WrappedLines().size() > 1);
    }

    void textCommand_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("ok") << true;
        QTest::newRow("cancel") << false;
    }
    void textCommand()
    {
        QFETCH(bool, ok);
        ScopedEditors editors;
        QString fontShown;
        QStringList linesShown;
        editors->MultiLineText = [&](QWidget *, const TFont &font, QStringList &lines) {
            fontShown = font.Name();
            linesShown = lines;
            lines = {QStringLiteral("John Smith"), QStringLiteral("1 Main Street")};
            return ok;
        };
        auto panel = MakePanel();
        auto *label = new TGMultiLineLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, {10, 10, 100, 60});
        label->SetItems({QStringLiteral("old")});
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);
        label->MenuAction(QStringLiteral("Text"))->trigger();
        QCOMPARE(fontShown, QStringLiteral("Arial"));
        QCOMPARE(linesShown, QStringList{QStringLiteral("old")});
        QCOMPARE(label->Items(), ok ? (QStringList{"John Smith", "1 Main Street"}) : QStringList{"old"});
        QCOMPARE(changed.count(), ok ? 1 : 0);
    }

    void multiLineToolCreatesAndFitsALabel()
    {
        ScopedEditors editors;
        editors->MultiLineText = [](QWidget *, const TFont &, QStringList &lines) {
            lines = {QStringLiteral("John Smith"), QStringLiteral("Quorvel Business Card Company"),
                     QStringLiteral("1 Main Street")};
            return true;
        };
        auto panel = MakePanel();
        panel->setFont(QFont(QStringLiteral("Courier New"), 11));
        panel->SetPanelState(psMultiLineLabel);
        Drag(panel.get(), QPoint(20, 20), QPoint(60, 40));
        QCOMPARE(panel->ObjectCount(), 1);
        auto *label = qobject_cast<TGMultiLineLabel *>(panel->Objects().first());
        QVERIFY(label);
        QCOMPARE(label->Font()->Name(), QStringLiteral("Courier New"));
        QCOMPARE(label->Font()->Size(), 11);
        const platform::TCanvasFont font = label->CanvasFont();
        QCOMPARE(label->Height(), 3 * font.TextHeight());
        QCOMPARE(label->Width(), font.TextWidth(QStringLiteral("Quorvel Business Card Company")));
    }

    // ---- card files ----

    void sampleCardRoundTripsByteForByte()
    {
        const QByteArray stream = ReadSampleCard(QStringLiteral("multiline.qrv"));
        QObject owner;
        const QList<TGGraphicControl *> read = ReadObjects(stream, &owner, nullptr);
        QCOMPARE(read.size(), 2);
        auto *first = qobject_cast<TGMultiLineLabel *>(read.at(0));
        QVERIFY(first);
        QCOMPARE(first->Items().size(), 7);
        QCOMPARE(first->Items().at(4), QStringLiteral("\ttab\t"));
        QCOMPARE(first->Items().at(6).size(), 256);
        QVERIFY(first->AutoSize());
        QVERIFY(first->WordWrap());
        QCOMPARE(first->Alignment(), Vcl::taRightJustify);
        QCOMPARE(first->Font()->Style(), Vcl::TFontStyles(Vcl::fsItalic));
        QVERIFY(!first->WrappedLines().isEmpty()); // wrapped once WordWrap was read
        for (int i = 0; i < read.size(); ++i)
            read[i]->setObjectName(QStringLiteral("Special%1").arg(i + 1));
        QCOMPARE(WriteObjects(read), stream);
    }

    void everyPropertyRoundTrips()
    {
        QObject owner;
        auto *label = new TGMultiLineLabel(&owner);
        label->setObjectName(QStringLiteral("Special1"));
        label->SetBounds(1, 2, 300, 80);
        label->SetItems({QStringLiteral("a"), QString(), QStringLiteral("It's \"quoted\"")});
        label->SetAutoSize(true);
        label->SetAlignment(Vcl::taCenter);
        label->Font()->SetName(QStringLiteral("Times New Roman"));
        label->Font()->SetHeight(-20);
        label->Font()->SetStyle(Vcl::fsBold);
        label->Font()->SetColor(platform::clGreen);
        label->SetWordWrap(true);
        const QByteArray written = WriteObjects({label});
        const QList<TGGraphicControl *> read = ReadObjects(written, &owner, nullptr);
        auto *copy = qobject_cast<TGMultiLineLabel *>(read.first());
        QVERIFY(copy);
        QCOMPARE(copy->BoundsRect(), QRect(1, 2, 300, 80));
        QCOMPARE(copy->Items(), label->Items());
        QVERIFY(copy->AutoSize());
        QCOMPARE(copy->Alignment(), Vcl::taCenter);
        QVERIFY(copy->Font()->SameAs(*label->Font()));
        QVERIFY(copy->WordWrap());
        copy->setObjectName(QStringLiteral("Special1"));
        QCOMPARE(WriteObjects(read), written);
    }
};

QTEST_MAIN(TestMultiLine)
#include "tst_multilinelabel.moc"
