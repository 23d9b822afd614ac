// Documents written by word processors (pandoc and LibreOffice, see
// tests/data/rtf-documents): what a rich-text label shows of them (text in
// Czech and Cyrillic, pictures at their sizes, tables at their cells'
// widths, tab stops, line spacing, raised and lowered text, highlight, no
// hidden text), what the editor keeps of them after an edit, and what it
// pastes from the clipboard.
#include "LabelTestSupport.h"
#include "TestSupport.h"

#include "dialogs/RichTextEditor.h"
#include "objects/RichTextLabel.h"
#include "platform/Dialogs.h"
#include "richtext/RichTextContainer.h"
#include "richtext/RichTextControl.h"
#include "richtext/RtfPictures.h"
#include "richtext/RtfReader.h"
#include "richtext/TextDocument.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace testsupport;

namespace {

QByteArray Document(const QString &name)
{
    QFile file(TestDataFolder() + QStringLiteral("/rtf-documents/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test document %s", qPrintable(name));
    return file.readAll();
}

// The colours of the documents' pictures.
bool IsRed(QRgb p) { return qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80; }
bool IsBlue(QRgb p) { return qBlue(p) > 160 && qRed(p) < 80 && qGreen(p) < 100; }
bool IsGreen(QRgb p) { return qGreen(p) > 120 && qRed(p) < 80 && qBlue(p) < 80; }
bool IsYellow(QRgb p) { return qRed(p) > 200 && qGreen(p) > 170 && qBlue(p) < 80; }
bool IsPurple(QRgb p) { return qRed(p) > 90 && qBlue(p) > 150 && qGreen(p) < 60; }
bool IsInk(QRgb p) { return qGray(p) < 230; }

const QMap<QString, std::function<bool(QRgb)>> &Colours()
{
    static const QMap<QString, std::function<bool(QRgb)>> colours = {
        {"red", IsRed}, {"blue", IsBlue}, {"green", IsGreen}, {"yellow", IsYellow}, {"purple", IsPurple}};
    return colours;
}

// The label as the card panel paints it, at zoom 1 unless told.
QImage ShowOnLabel(const QByteArray &rtf, QSize size, float zoom = 1.0f)
{
    TGPRichBaseLabel label;
    label.Loaded();
    label.SetZoomFactorOnly(zoom);
    label.SetBounds(0, 0, size.width(), size.height());
    label.SetBorderStyle(Vcl::bsNone);
    label.RTFText()->SetData(rtf);
    return RenderObject(label);
}

struct TDocumentParts {
    int pictures = 0;
    QStringList tables; // rows x columns
};

TDocumentParts PartsOf(const QByteArray &rtf)
{
    TTextDocument document;
    richtext::ReadRtf(rtf, document);
    TDocumentParts parts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (richtext::IsPicture(it.fragment().charFormat()))
                parts.pictures += it.fragment().length();
    for (QTextFrame *frame : document.rootFrame()->childFrames())
        if (auto *table = qobject_cast<QTextTable *>(frame))
            parts.tables << QStringLiteral("%1x%2").arg(table->rows()).arg(table->columns());
    return parts;
}

// The pictures of a document, as RTF writes them.
QList<QByteArray> PictureDataOf(const QByteArray &rtf)
{
    TTextDocument document;
    richtext::ReadRtf(rtf, document);
    QList<QByteArray> data;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (richtext::IsPicture(it.fragment().charFormat()))
                data << richtext::PictureOf(it.fragment().charFormat()).data;
    return data;
}

const char *const kRtfHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                             "{\\colortbl;\\red220\\green0\\blue0;\\red0\\green0\\blue220;\\red0\\green160\\blue0;"
                             "\\red255\\green255\\blue0;}\\f0\\fs24 ";

} // namespace

class TestWordProcessorDocuments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        RegisterCardObjectClasses();
    }

    // Each document shows its text in both scripts, its pictures in their
    // colours and its tables as tables; hidden text stays hidden.
    void documentsShowTheirTextPicturesAndTables_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("hidden");
        QTest::addColumn<int>("pictures");
        QTest::addColumn<QStringList>("tables");
        QTest::addColumn<QStringList>("colours");
        const QStringList card = {QStringLiteral("Jana Dvo\u0159\u00E1kov\u00E1"), QStringLiteral("\u017Dlu\u0165ou\u010Dk\u00FD"),
                                  QStringLiteral("\u0418\u0432\u0430\u043D \u041F\u0435\u0442\u0440\u043E\u0432"),
                                  QStringLiteral("M\u011Bsto"), QStringLiteral("\u041A\u0438\u0435\u0432")};
        QTest::newRow("pandoc") << "pandoc-card.rtf" << card << "" << 2 << QStringList{"3x3"}
                                << QStringList{"red", "blue", "green"};
        QTest::newRow("LibreOffice") << "libreoffice-card.rtf" << card << "" << 4 << QStringList{"3x3"}
                                     << QStringList{"red", "blue", "green", "yellow", "purple"};
        QTest::newRow("LibreOffice, paragraph features")
            << "libreoffice-features.rtf"
            << QStringList{QStringLiteral("Jm\u00E9no\tSt\u0159ed\tVpravo"), QStringLiteral("zv\u00FDrazn\u011Bn\u00ED"),
                           QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442, \u043C\u0438\u0440!")}
            << "SKRYTO" << 0 << QStringList{} << QStringList{"yellow"};
        QTest::newRow("DIB by hand") << "hand-dib.rtf"
                                     << QStringList{QStringLiteral("Obr\u00E1zek"), QStringLiteral("\u043A\u0430\u0440\u0442\u0438\u043D\u043A\u0430")}
                                     << "" << 1 << QStringList{} << QStringList{"red", "blue"};
    }
    void documentsShowTheirTextPicturesAndTables()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, words);
        QFETCH(QString, hidden);
        QFETCH(int, pictures);
        QFETCH(QStringList, tables);
        QFETCH(QStringList, colours);
        const QByteArray rtf = Document(file);
        TRichTextContainer text;
        text.SetData(rtf);
        const QString plain = text.AsPlainText();
        for (const QString &word : words)
            QVERIFY2(plain.contains(word), qPrintable(word + QStringLiteral(" not in: ") + plain));
        if (!hidden.isEmpty())
            QVERIFY(!plain.contains(hidden));
        const TDocumentParts parts = PartsOf(rtf);
        QCOMPARE(parts.pictures, pictures);
        QCOMPARE(parts.tables, tables);

        const QImage shown = ShowOnLabel(rtf, QSize(700, 600));
        for (const QString &colour : colours)
            QVERIFY2(InkCount(shown, Colours()[colour]) > 150, qPrintable(colour + QStringLiteral(" does not show")));
    }

    // Each kind of picture fills the size RTF gives it, at every zoom.
    void picturesFillTheirGoalSize_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<float>("zoom");
        for (float zoom : {1.0f, 1.5f})
            for (const auto &[name, kind] : {std::pair{"PNG", richtext::TPictureKind::Png}, {"JPEG", richtext::TPictureKind::Jpeg},
                                             {"EMF", richtext::TPictureKind::Emf}, {"WMF", richtext::TPictureKind::Wmf},
                                             {"DIB", richtext::TPictureKind::Dib}})
                QTest::newRow(qPrintable(QStringLiteral("%1 at %2").arg(name).arg(zoom))) << int(kind) << zoom;
    }
    void picturesFillTheirGoalSize()
    {
        QFETCH(int, kind);
        QFETCH(float, zoom);
        QByteArray data;
        for (const QString &file : {QStringLiteral("libreoffice-card.rtf"), QStringLiteral("hand-dib.rtf")}) {
            TTextDocument document;
            richtext::ReadRtf(Document(file), document);
            for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
                for (auto it = block.begin(); !it.atEnd(); ++it)
                    if (richtext::IsPicture(it.fragment().charFormat())
                        && int(richtext::PictureOf(it.fragment().charFormat()).kind) == kind)
                        data = richtext::PictureOf(it.fragment().charFormat()).data;
        }
        QVERIFY(!data.isEmpty());
        const char *words[] = {"", "\\pngblip", "\\jpegblip", "\\emfblip", "\\wmetafile8", "\\dibitmap0"};
        // 1.5 by 0.75 inch: 144 by 72 pixels at zoom 1.
        const QByteArray rtf = QByteArray(kRtfHead) + "{\\pict" + words[kind] + "\\picwgoal2160\\pichgoal1080 "
            + data.toHex() + "}}";
        const QRect ink = InkBox(ShowOnLabel(rtf, QSize(300, 200) * zoom, zoom), IsInk);
        const QSize expected = QSize(144, 72) * zoom;
        // A metafile's drawing may stop a little short of its frame.
        const int slack = 2 + expected.width() / 40;
        QVERIFY2(std::abs(ink.width() - expected.width()) <= slack && std::abs(ink.height() - expected.height()) <= slack,
                 qPrintable(QStringLiteral("%1 x %2 at %3, %4").arg(ink.width()).arg(ink.height()).arg(ink.x()).arg(ink.y())));
        QVERIFY(ink.top() <= 2 && ink.left() <= 2);
    }

    // A picture whose data is not what its kind says (or claims more pixels
    // than any card needs) keeps its place and draws nothing.
    void badPicturesKeepTheirPlaceAndDrawNothing_data()
    {
        QTest::addColumn<QByteArray>("picture");
        QTest::newRow("PNG of junk") << QByteArray("\\pngblip 0123456789abcdef");
        QTest::newRow("PNG of 100,000 x 100,000 pixels")
            << QByteArray("\\pngblip 89504e470d0a1a0a0000000d49484452000186a0000186a00802000000");
        QTest::newRow("JPEG cut short") << QByteArray("\\jpegblip ffd8ffe000104a46494600010100000100010000");
        QTest::newRow("EMF of junk") << QByteArray("\\emfblip 0100000000000000");
        QTest::newRow("WMF of junk") << QByteArray("\\wmetafile8 0100090000");
        QTest::newRow("DIB claiming a huge size") << QByteArray("\\dibitmap0 28000000ffffff7fffffff7f01001800");
    }
    void badPicturesKeepTheirPlaceAndDrawNothing()
    {
        QFETCH(QByteArray, picture);
        const QImage shown = ShowOnLabel(QByteArray(kRtfHead) + "{\\pict" + picture + "\\picwgoal1440\\pichgoal720}\\cf1 XX}",
                                         QSize(300, 80));
        QVERIFY2(std::abs(InkBox(shown, IsRed).left() - 96) <= 3, qPrintable(QString::number(InkBox(shown, IsRed).left())));
        QCOMPARE(InkBox(shown.copy(0, 0, 94, 80), IsInk), QRect());
    }

    // Where the text of a paragraph's parts lands: table cells at their
    // widths, tab stops, line spacing, raised and lowered text; highlight
    // behind text; hidden text nowhere.
    void paragraphPartsShowWhereTheyBelong()
    {
        const QByteArray head = kRtfHead;
        const auto isBlue = IsBlue;
        // Cells of 1, 1.5 and 1 inch: the second cell's text begins at 96
        // pixels, the third's at 240.
        QImage table = ShowOnLabel(head + "\\trowd\\trgaph0\\cellx1440\\cellx3600\\cellx5040\\pard\\intbl\\cf1 XX\\cell"
                                              "\\cf2 XX\\cell\\cf3 XX\\cell\\row}",
                                   QSize(400, 60));
        QVERIFY2(std::abs(InkBox(table, isBlue).left() - 96) <= 3, qPrintable(QString::number(InkBox(table, isBlue).left())));
        QVERIFY2(std::abs(InkBox(table, IsGreen).left() - 240) <= 3, qPrintable(QString::number(InkBox(table, IsGreen).left())));
        QVERIFY(InkBox(table, IsRed).right() < 96);

        // A left stop at 1 inch, a right stop at 3 inches.
        const QImage tabs = ShowOnLabel(head + "\\tx1440\\tqr\\tx4320 a\\tab\\cf2 XX\\cf0\\tab\\cf3 XX}", QSize(400, 60));
        QVERIFY2(std::abs(InkBox(tabs, isBlue).left() - 96) <= 3, qPrintable(QString::number(InkBox(tabs, isBlue).left())));
        QVERIFY2(std::abs(InkBox(tabs, IsGreen).right() - 288) <= 3, qPrintable(QString::number(InkBox(tabs, IsGreen).right())));

        // Double spacing puts the second line twice as far below the first
        // as single spacing; exactly 0.5 inch puts it 48 pixels below.
        const auto lineDistance = [&head](const QByteArray &spacing) {
            const QImage image = ShowOnLabel(head + spacing + " \\cf1 X\\line\\cf2 X}", QSize(200, 200));
            return InkBox(image, IsBlue).top() - InkBox(image, IsRed).top();
        };
        const int single = lineDistance("");
        const int twice = lineDistance("\\sl480\\slmult1");
        QVERIFY2(std::abs(twice - 2 * single) <= 3, qPrintable(QStringLiteral("%1, %2").arg(single).arg(twice)));
        QVERIFY2(std::abs(lineDistance("\\sl-720\\slmult0") - 48) <= 2, qPrintable(QString::number(lineDistance("\\sl-720\\slmult0"))));

        // Superscript stands above the line's letters, subscript below.
        const QImage scripts = ShowOnLabel(head + "\\fs48\\cf1 X{\\super\\cf2 2}\\cf1 X{\\sub\\cf3 2}}", QSize(200, 60));
        const QRect base = InkBox(scripts, IsRed);
        QVERIFY(InkBox(scripts, isBlue).top() < base.top() && InkBox(scripts, isBlue).bottom() < base.bottom());
        QVERIFY(InkBox(scripts, IsGreen).bottom() > base.bottom());
        const QImage raised = ShowOnLabel(head + "\\fs48\\cf1 X{\\up12\\cf2 X}{\\dn12\\cf3 X}}", QSize(200, 80));
        QVERIFY(InkBox(raised, isBlue).top() < InkBox(raised, IsRed).top() - 4);
        QVERIFY(InkBox(raised, IsGreen).top() > InkBox(raised, IsRed).top() + 4);

        // Highlight fills behind the word; hidden red text leaves no red.
        const QImage marked = ShowOnLabel(head + "{\\highlight4 marked} shown{\\v\\cf1  HIDDEN}}", QSize(300, 40));
        QVERIFY(InkCount(marked, IsYellow) > 100);
        QCOMPARE(InkCount(marked, IsRed), 0);
    }

    // An edit in the editor keeps the document's pictures (the same bytes)
    // and its table; the label still shows them.
    void anEditKeepsPicturesAndTables()
    {
        ScopedEditors editors;
        editors->RichText = &TRichTextLabelEditor::Execute;
        TGPRichBaseLabel label;
        label.Loaded();
        label.SetBounds(0, 0, 700, 600);
        label.SetBorderStyle(Vcl::bsNone);
        const QByteArray original = Document(QStringLiteral("libreoffice-card.rtf"));
        label.RTFText()->SetData(original);
        QStringList messages;
        platform::SetMessageBoxForTests([&](const platform::TMessageRequest &r) {
            messages << r.text;
            return platform::mrYes;
        });
        WhenModal([&](QWidget *dialog) {
            auto *form = qobject_cast<TRichTextLabelEditor *>(dialog);
            QVERIFY(form);
            QTRY_VERIFY(form->WPPanel->isVisible());
            QTest::keyClick(form->WPRichText1, Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClicks(form->WPRichText1, QStringLiteral("New "));
            form->OKButton->click();
        });
        label.Edit();
        platform::SetMessageBoxForTests({});
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
        const QByteArray edited = label.RTFText()->Data();
        QVERIFY(edited != original);
        QVERIFY(label.RTFText()->AsPlainText().startsWith(QStringLiteral("New Jana Dvo\u0159\u00E1kov\u00E1")));
        QCOMPARE(PictureDataOf(edited), PictureDataOf(original));
        QCOMPARE(PartsOf(edited).tables, QStringList{"3x3"});
        const QImage shown = RenderObject(label);
        for (const char *colour : {"red", "blue", "green", "yellow", "purple"})
            QVERIFY2(InkCount(shown, Colours()[QLatin1String(colour)]) > 150, colour);
    }

    // Paste takes the RTF a word processor puts on the clipboard, with its
    // pictures and table; text copied in the editor pastes back with its
    // picture.
    void pasteTakesRtfFromTheClipboard()
    {
        TRichTextLabelEditor form;
        editors::TRichTextEditSetup setup;
        TRichTextContainer empty;
        setup.Text = &empty;
        setup.PanelWidth = 401;
        setup.PanelHeight = 301;
        setup.PageWidthTwips = 6000;
        setup.PageHeightTwips = 4500;
        form.Prepare(setup);
        ShowActive(&form, "rich text editor");
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("text/rtf"), Document(QStringLiteral("pandoc-card.rtf")));
        QGuiApplication::clipboard()->setMimeData(mime);
        QTest::keyClick(form.WPRichText1, Qt::Key_V, Qt::ControlModifier);
        TRichTextContainer pasted;
        form.WPRichText1->GetRTFText(pasted);
        QVERIFY2(pasted.AsPlainText().contains(QStringLiteral("\u0418\u0432\u0430\u043D")), qPrintable(pasted.AsPlainText()));
        QCOMPARE(PartsOf(pasted.Data()).pictures, 2);
        QCOMPARE(PartsOf(pasted.Data()).tables, QStringList{"3x3"});

        // The first picture copied and pasted at the end: three pictures.
        QTextCursor cursor = form.WPRichText1->TextCursor();
        cursor.movePosition(QTextCursor::Start);
        cursor.setPosition(form.WPRichText1->Document().find(QString(QChar::ObjectReplacementCharacter)).selectionStart());
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        form.WPRichText1->SetTextCursor(cursor);
        QTest::keyClick(form.WPRichText1, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QStringLiteral("text/rtf")));
        QTest::keyClick(form.WPRichText1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(form.WPRichText1, Qt::Key_V, Qt::ControlModifier);
        form.WPRichText1->GetRTFText(pasted);
        QCOMPARE(PartsOf(pasted.Data()).pictures, 3);
        QCOMPARE(PictureDataOf(pasted.Data()).last(), PictureDataOf(pasted.Data()).first());
    }
};

QTEST_MAIN(TestWordProcessorDocuments)
#include "tst_wordprocessordocuments.moc"
