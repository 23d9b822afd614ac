// The rich-text label and its editor: a card's label opens, draws and saves
// back unchanged; the page it is laid out on; the editor's keys, OK and
// Cancel; text cut at the box; background and border; vector print.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/RichTextEditor.h"
#include "objects/ObjectRecording.h"
#include "objects/RichTextLabel.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "richtext/RichTextControl.h"
#include "surface/BusinessCardPanel.h"

#include <QPdfWriter>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <sys/stat.h>

using namespace testsupport;

namespace {

TGPRichBaseLabel *ReadLabel(const QByteArray &stream, QObject *owner, TGBasePanel *panel)
{
    const QList<TGGraphicControl *> read = ReadObjects(stream, owner, panel);
    return read.size() == 1 ? qobject_cast<TGPRichBaseLabel *>(read.first()) : nullptr;
}

bool IsRed(QRgb p) { return qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90; }

// Which of bold, italic and underline every character of the text has.
QString CommonStyle(const TRichTextContainer &text)
{
    QTextDocument document;
    text.LoadInto(document);
    bool b = true, i = true, u = true;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            b &= f.fontWeight() >= QFont::Bold;
            i &= f.fontItalic();
            u &= f.fontUnderline();
        }
    return QString(b ? "b" : "") + (i ? "i" : "") + (u ? "u" : "");
}

} // namespace

class TestRichTextLabel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    // A card written elsewhere: the label reads (without any main window),
    // shows its Czech text and the red bold run, and writes the same bytes.
    void cardLabelOpensDrawsAndSavesBack()
    {
        const QByteArray card = ReadSampleCard(QStringLiteral("richtext.qrv"));
        QObject owner;
        TGPRichBaseLabel *label = ReadLabel(card, &owner, nullptr);
        QVERIFY(label);
        QVERIFY(label->MasterEngine());
        QCOMPARE(label->RTFText()->AsPlainText(),
                 QStringLiteral("Jana Dvo\u0159\u00E1kov\u00E1 Studio\ndesign \u2022 print\n"));
        QCOMPARE(label->BoundsRect(), QRect(10, 80, 200, 50));

        const QImage image = RenderObject(*label);
        const QRect red = InkBox(image, IsRed);
        QVERIFY2(red.isValid() && red.bottom() < 25, "the bold red run on the first line");
        const QRect dark = InkBox(image.copy(1, 1, 198, 48), IsDark);
        QVERIFY2(dark.bottom() > 25, "the second line");
        QVERIFY(IsDark(image.pixel(0, 0)) && IsDark(image.pixel(199, 49)) && IsDark(image.pixel(100, 49)));

        label->setObjectName(QStringLiteral("Special4"));
        QCOMPARE(WriteObjects({label}), card);
    }

    // The rich-text tool makes a label on the dragged box and opens the
    // editor on it at once.
    void toolCreatesLabelAndOpensEditor()
    {
        TGPRichBaseLabel fresh;
        QCOMPARE(fresh.BoundsRect(), QRect(0, 0, 190, 33));
        QVERIFY(fresh.Transparent());
        QCOMPARE(fresh.BorderStyle(), Vcl::bsSingle);
        QVERIFY(fresh.RTFText()->AsPlainText().isEmpty());
        QVERIFY(fresh.RTFText()->Data().startsWith("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl"));

        ScopedEditors editors;
        QList<editors::TRichTextEditSetup> opened;
        editors->RichText = [&opened](QWidget *, editors::TRichTextEditSetup &setup) {
            opened.append(setup);
            return false;
        };
        auto panel = MakePanel();
        panel->SetPanelState(psRichLabel);
        Drag(panel.get(), QPoint(40, 40), QPoint(240, 90));
        QCOMPARE(panel->Objects().size(), 1);
        auto *label = qobject_cast<TGPRichBaseLabel *>(panel->Objects().first());
        QVERIFY(label);
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QSize(opened[0].PanelWidth, opened[0].PanelHeight), QSize(label->Width() + 1, label->Height() + 1));
        // A double click edits too.
        QVERIFY(label->OnEdit);
        label->OnEdit(label);
        QCOMPARE(opened.size(), 2);
    }

    // At card zoom 1.5 a 300 x 60 label is a 200 x 40 label of the card: its
    // text is laid out on a page of that size and painted at 150 %.
    void pageIsTheLabelAtZoomOne()
    {
        TGPRichBaseLabel label;
        label.Loaded();
        label.SetZoomFactorOnly(1.5f);
        label.SetBounds(0, 0, 300, 60);
        RenderObject(label);
        TRichTextPage &page = label.MasterEngine()->Page();
        QCOMPARE(page.PageWidthTwips(), 3000);
        QCOMPARE(page.PageHeightTwips(), 600);
        QCOMPARE(page.Zoom(), 150);

        ScopedEditors editors;
        editors::TRichTextEditSetup seen;
        editors->RichText = [&seen](QWidget *, editors::TRichTextEditSetup &setup) {
            seen = setup;
            return false;
        };
        label.Edit();
        QCOMPARE(seen.PageWidthTwips, 3000);
        QCOMPARE(seen.PageHeightTwips, 600);
        QCOMPARE(seen.Zoom, 150);
        QCOMPARE(QSize(seen.PanelWidth, seen.PanelHeight), QSize(301, 61));
    }

    // Two labels painted in turn keep their laid-out documents: a repaint
    // reads nothing. A new text, a new width or a new zoom shows at once.
    void labelsKeepTheirLaidOutTextUntilItChanges()
    {
        const QByteArray red = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red220\\green0\\blue0;}\\cf1\\fs28 "
                               "Red words in a row\\par}";
        const QByteArray blue = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue220;}\\cf1\\fs28 "
                                "Blue words\\par}";
        const auto isBlue = [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 90 && qGreen(p) < 90; };
        TGPRichBaseLabel first, second;
        for (TGPRichBaseLabel *label : {&first, &second}) {
            label->Loaded();
            label->SetBounds(0, 0, 240, 60);
            label->SetBorderStyle(Vcl::bsNone);
        }
        first.RTFText()->SetData(red);
        second.RTFText()->SetData(blue);
        TWPRichText *engine = first.MasterEngine();
        const int keptBefore = engine->KeptPageCount();
        RenderObject(first);
        const QTextDocument *firstDocument = &engine->Document();
        RenderObject(second);
        const QTextDocument *secondDocument = &engine->Document();
        QVERIFY(firstDocument != secondDocument);
        QVERIFY(InkBox(RenderObject(first), IsRed).isValid());
        QCOMPARE(&engine->Document(), firstDocument);
        QVERIFY(InkBox(RenderObject(second), isBlue).isValid());
        QCOMPARE(&engine->Document(), secondDocument);

        // One line at 240 pixels, two at 100.
        const int oneLine = InkBox(RenderObject(first), IsRed).height();
        first.SetBounds(0, 0, 100, 60);
        QVERIFY(InkBox(RenderObject(first), IsRed).height() > oneLine * 3 / 2);
        first.SetBounds(0, 0, 240, 60);
        QCOMPARE(InkBox(RenderObject(first), IsRed).height(), oneLine);

        first.SetZoomFactorOnly(1.5f);
        first.SetBounds(0, 0, 360, 90);
        QVERIFY(InkBox(RenderObject(first), IsRed).width() > InkBox(RenderObject(second), isBlue).width() * 2);

        first.RTFText()->SetData(blue);
        const QImage now = RenderObject(first);
        QVERIFY(!InkBox(now, IsRed).isValid());
        QVERIFY(InkBox(now, isBlue).isValid());
        QCOMPARE(engine->KeptPageCount(), keptBefore + 2);
        {
            TGPRichBaseLabel passing;
            passing.Loaded();
            RenderObject(passing);
            QCOMPARE(engine->KeptPageCount(), keptBefore + 3);
        }
        QCOMPARE(engine->KeptPageCount(), keptBefore + 2);
    }

    // The editor as a user drives it: keys, then Ok or Cancel.
    void editorKeysOkAndCancel_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("style");
        QTest::addColumn<bool>("sameBytes");
        QTest::addColumn<int>("changes");
        const QString original = QStringLiteral("Jana Dvo\u0159\u00E1kov\u00E1 Studio\ndesign \u2022 print\n");
        QTest::newRow("Cancel after typing") << "^A XYZ" << false << original << "" << true << 0;
        QTest::newRow("Ok untouched") << "" << true << original << "" << true << 1;
        QTest::newRow("Ctrl+B on all") << "^A ^B" << true << original << "b" << false << 1;
        QTest::newRow("Ctrl+I on all") << "^A ^I" << true << original << "i" << false << 1;
        QTest::newRow("Ctrl+U on all") << "^A ^U" << true << original << "u" << false << 1;
        QTest::newRow("typing replaces") << "^A Hi" << true << "Hi" << "" << false << 1;
        QTest::newRow("Ctrl+Z takes typing back") << "^A XYZ ^Z" << true << original << "" << true << 1;
    }
    void editorKeysOkAndCancel()
    {
        QFETCH(QString, keys);
        QFETCH(bool, ok);
        QFETCH(QString, text);
        QFETCH(QString, style);
        QFETCH(bool, sameBytes);
        QFETCH(int, changes);
        ScopedEditors editors;
        editors->RichText = &TRichTextLabelEditor::Execute;
        auto panel = MakePanel();
        TGPRichBaseLabel *label = ReadLabel(ReadSampleCard(QStringLiteral("richtext.qrv")), panel.get(), panel.get());
        QVERIFY(label);
        const QByteArray before = label->RTFText()->Data();
        QSignalSpy changed(panel.get(), &TGBasePanel::LabelChangedEvent);

        bool ran = false;
        WhenModal([&](QWidget *dialog) {
            auto *form = qobject_cast<TRichTextLabelEditor *>(dialog);
            QVERIFY(form);
            QCOMPARE(form->windowTitle(), QStringLiteral("Rich Text Editor"));
            QTRY_VERIFY(form->WPPanel->isVisible());
            QCOMPARE(form->WPPanel->size(), QSize(201, 51));
            for (const QString &step : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                if (step.startsWith(QLatin1Char('^')))
                    QTest::keyClick(form->WPRichText1, char(step[1].toLower().unicode()), Qt::ControlModifier);
                else
                    QTest::keyClicks(form->WPRichText1, step);
            }
            (ok ? form->OKButton : form->Cancelbutton)->click();
            ran = true;
        });
        label->Edit();
        QVERIFY(ran);
        QCOMPARE(label->RTFText()->AsPlainText(), text);
        QCOMPARE(CommonStyle(*label->RTFText()), style);
        QCOMPARE(label->RTFText()->Data() == before, sameBytes);
        QCOMPARE(changed.count() > 0 ? 1 : 0, changes);
    }

    // A label holding what the editor does not show (a picture of a kind it
    // does not draw, hidden text): Ok after an edit first says what would be
    // lost; No
    // goes back to the editor, whose Cancel keeps the label byte for byte.
    // Ok without an edit, or on a label without such parts, asks nothing.
    void editingALabelWithUnshownPartsWarnsFirst_data()
    {
        QTest::addColumn<bool>("unshownParts");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<bool>("sameBytes");
        QTest::newRow("typed, Yes") << true << "Hi" << "yes" << true << false;
        QTest::newRow("typed, No, then Cancel") << true << "Hi" << "no" << true << true;
        QTest::newRow("untouched Ok") << true << "" << "" << false << true;
        QTest::newRow("plain label typed") << false << "Hi" << "" << false << false;
    }
    void editingALabelWithUnshownPartsWarnsFirst()
    {
        QFETCH(bool, unshownParts);
        QFETCH(QString, keys);
        QFETCH(QString, answer);
        QFETCH(bool, warned);
        QFETCH(bool, sameBytes);
        ScopedEditors editors;
        editors->RichText = &TRichTextLabelEditor::Execute;
        auto panel = MakePanel();
        auto *label = new TGPRichBaseLabel(panel.get());
        label->Loaded();
        panel->AddNewObject(label, TRect{10, 10, 250, 60});
        const QByteArray parts = unshownParts
            ? QByteArray("\\pard\\tx1440\\sl360\\slmult1 Name\\tab Phone{\\v  secret}\\par{\\pict\\macpict\\picw10\\pich10 0100}")
            : QByteArray("\\pard Name Phone\\par");
        label->RTFText()->SetData("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}" + parts + "}");
        const QByteArray before = label->RTFText()->Data();
        QStringList messages;
        platform::SetMessageBoxForTests([&](const platform::TMessageRequest &r) {
            messages << r.text;
            return answer == "yes" ? platform::mrYes : platform::mrNo;
        });
        WhenModal([&](QWidget *dialog) {
            auto *form = qobject_cast<TRichTextLabelEditor *>(dialog);
            QVERIFY(form);
            QTRY_VERIFY(form->WPPanel->isVisible());
            QTest::keyClicks(form->WPRichText1, keys);
            form->OKButton->click();
            if (form->isVisible())
                form->Cancelbutton->click();
        });
        label->Edit();
        platform::SetMessageBoxForTests({});
        QCOMPARE(messages.size(), warned ? 1 : 0);
        if (warned)
            QVERIFY2(messages.first().contains("pictures and hidden text"), qPrintable(messages.first()));
        QCOMPARE(label->RTFText()->Data() == before, sameBytes);
    }

    // Zoom In stops at 100 %, Zoom Out at 50 %; the panel follows the zoom.
    void editorZoomButtons()
    {
        TRichTextLabelEditor form;
        editors::TRichTextEditSetup setup;
        setup.PanelWidth = 201;
        setup.PanelHeight = 51;
        setup.PageWidthTwips = 3000;
        setup.PageHeightTwips = 750;
        setup.Zoom = 80;
        form.Prepare(setup);
        ShowActive(&form, "rich text editor");
        form.ZoomPlusButton->click();
        form.ZoomPlusButton->click();
        form.ZoomPlusButton->click();
        QCOMPARE(form.WPRichText1->Zoom(), 100);
        QCOMPARE(form.WPPanel->size(), QSize(251, 64)); // Round(100 x 201 / 80), Round(100 x 51 / 80)
        for (int i = 0; i < 8; ++i)
            form.ZoomMinusButton->click();
        QCOMPARE(form.WPRichText1->Zoom(), 50);
        QCOMPARE(form.WPPanel->size(), QSize(126, 32));
    }

    // Ctrl+- and Ctrl++ zoom like the buttons; + and - alone are typed.
    void editorZoomKeys()
    {
        TRichTextLabelEditor form;
        TRichTextContainer text;
        editors::TRichTextEditSetup setup;
        setup.Text = &text;
        setup.PanelWidth = 201;
        setup.PanelHeight = 51;
        setup.PageWidthTwips = 3000;
        setup.PageHeightTwips = 750;
        setup.Zoom = 100;
        form.Prepare(setup);
        ShowActive(&form, "rich text editor");
        QTest::keyClick(form.WPRichText1, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(form.WPRichText1, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(form.WPRichText1->Zoom(), 80);
        QCOMPARE(form.WPPanel->size(), QSize(161, 41));
        QTest::keyClick(form.WPRichText1, Qt::Key_Plus, Qt::ControlModifier);
        QTest::keyClick(form.WPRichText1, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(form.WPRichText1, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(form.WPRichText1->Zoom(), 100);
        QCOMPARE(form.WPPanel->size(), QSize(201, 51));
        QTest::keyClicks(form.WPRichText1, QStringLiteral("1+2-3"));
        QCOMPARE(form.WPRichText1->Document().toPlainText(), QStringLiteral("1+2-3"));
        QCOMPARE(form.WPRichText1->Zoom(), 100);
    }

    // Text longer than the box shows only what fits; the box stays.
    void textLongerThanTheBoxIsCut()
    {
        TGPRichBaseLabel label;
        label.Loaded();
        label.SetBounds(0, 0, 120, 20);
        label.SetBorderStyle(Vcl::bsNone);
        label.RTFText()->SetData("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\fs28 " + QByteArray("many words ").repeated(40)
                                 + "}");
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            label.Paint(p);
        }
        const QRect ink = InkBox(image, IsDark);
        QVERIFY(ink.isValid());
        QVERIFY2(ink.right() < 120 && ink.bottom() < 20, qPrintable(QStringLiteral("ink to %1,%2").arg(ink.right()).arg(ink.bottom())));
        QCOMPARE(label.BoundsRect(), QRect(0, 0, 120, 20));
    }

    // A document far longer than the label draws exactly as its start does:
    // what lies beyond what the label can show changes nothing drawn, in
    // RTF and in plain text, in many paragraphs and in one.
    void documentFarLongerThanTheLabelDrawsAsItsStart_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<QByteArray>("end");
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\fs20 ";
        QByteArray lines;
        for (int i = 0; i < 60; ++i)
            lines += "line " + QByteArray::number(i) + "\\par ";
        QTest::newRow("RTF, a million paragraphs") << rtf + lines << QByteArray("\\par more ").repeated(1000000)
                                                   << QByteArray("}");
        QTest::newRow("RTF, alternating bold runs in one paragraph")
            << rtf + QByteArray("\\b bold \\b0 plain ").repeated(400) << QByteArray("\\b bold \\b0 plain ").repeated(100000)
            << QByteArray("}");
        QByteArray text;
        for (int i = 0; i < 60; ++i)
            text += "line " + QByteArray::number(i) + "\n";
        QTest::newRow("plain text, 8 MB") << text << QByteArray("more text\n").repeated(800000) << QByteArray();
    }
    void documentFarLongerThanTheLabelDrawsAsItsStart()
    {
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, rest);
        QFETCH(QByteArray, end);
        const auto draw = [](const QByteArray &data) {
            TGPRichBaseLabel label;
            label.Loaded();
            label.SetBounds(0, 0, 190, 120);
            label.RTFText()->SetData(data);
            QImage image(200, 130, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            label.Paint(p);
            return image;
        };
        const QImage whole = draw(start + rest + end);
        QVERIFY(InkBox(whole, IsDark).height() > 100);
        QCOMPARE(whole, draw(start + end));
    }

    // "Background Color" makes a transparent label opaque; "Transparent" and
    // "Border" toggle and tick.
    void backgroundAndBorderCommands()
    {
        TGPRichBaseLabel label;
        label.Loaded();
        label.SetBounds(0, 0, 60, 30);
        platform::SetColorChooserForTests([](int32_t &color) {
            color = 0x0000FF; // red, in the card file's byte order
            return true;
        });
        label.MenuAction(QStringLiteral("Background Color"))->trigger();
        platform::SetColorChooserForTests({});
        QVERIFY(!label.Transparent());
        QVERIFY(IsRed(RenderObject(label, Qt::green).pixel(30, 15)));
        label.UpdateContextMenu();
        QVERIFY(!label.MenuAction(QStringLiteral("Transparent"))->isChecked());
        label.MenuAction(QStringLiteral("Transparent"))->trigger();
        QCOMPARE(RenderObject(label, Qt::green).pixel(30, 15), QColor(Qt::green).rgb());
        QVERIFY(IsDark(RenderObject(label, Qt::green).pixel(0, 15)));
        label.MenuAction(QStringLiteral("Border"))->trigger();
        QCOMPARE(label.BorderStyle(), Vcl::bsNone);
        QCOMPARE(RenderObject(label, Qt::green).pixel(0, 15), QColor(Qt::green).rgb());
    }

    // HTML in a label's data names pictures and style sheets by path; the
    // label reads none of them: a FIFO does not block it, /dev/zero does not
    // fill the memory, and a picture on the disk does not reach the card.
    void htmlInALabelReadsNoFile()
    {
        QTemporaryDir dir;
        const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("fifo")));
        QCOMPARE(::mkfifo(fifo.constData(), 0644), 0);
        const QByteArray picture = QFile::encodeName(dir.filePath(QStringLiteral("red.png")));
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(QString::fromUtf8(picture)));
        const QByteArray css = QFile::encodeName(dir.filePath(QStringLiteral("red.css")));
        QFile sheet(QString::fromUtf8(css));
        QVERIFY(sheet.open(QIODevice::WriteOnly));
        sheet.write("p { color: red; background-color: red }");
        sheet.close();

        TGPRichBaseLabel label;
        label.Loaded();
        label.SetBounds(0, 0, 240, 60);
        label.SetBorderStyle(Vcl::bsNone);
        label.RTFText()->SetData("<html><head><link rel=\"stylesheet\" href=\"" + css + "\">"
                                 "<link rel=\"stylesheet\" href=\"" + fifo + "\"></head>"
                                 "<body background=\"" + picture + "\"><p>Ann <img src=\"" + fifo + "\">"
                                 "<img src=\"/dev/zero\"><img src=\"" + picture + "\" width=\"40\" height=\"40\">"
                                 "<img src=\"file://" + picture + "\" width=\"40\" height=\"40\"></p></body></html>");
        const QImage image = RenderObject(label);
        QVERIFY2(!InkBox(image, IsRed).isValid(), "a file's picture or colours reached the card");
        QVERIFY2(InkBox(image, IsDark).isValid(), "the text is drawn");
    }

    // Printed to PDF, the text is text (a PDF reader finds the words).
    void printedTextStaysVector()
    {
        QObject owner;
        TGPRichBaseLabel *label = ReadLabel(ReadSampleCard(QStringLiteral("richtext.qrv")), &owner, nullptr);
        QVERIFY(label);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("label.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            QPainter p(&writer);
            p.drawPicture(QPoint(600, 600), RecordObjectArea(*label, [label](QPainter &c) { label->Render(c); }));
        }
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not available");
        // The tool is there: a PDF it cannot read is the program's fault.
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(-1));
        QVERIFY2(text.exitStatus() == QProcess::NormalExit && text.exitCode() == 0,
                 text.readAllStandardError().constData());
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("Dvo\u0159\u00E1kov\u00E1")) && words.contains(QStringLiteral("Studio")),
                 qPrintable(words));
    }
};

QTEST_MAIN(TestRichTextLabel)
#include "tst_richtextlabel.moc"
