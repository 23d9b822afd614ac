// The RTF engine: what the reader makes of each control word, that the
// writer gives it back unchanged, code pages and Unicode escapes, hostile
// input, and runs painted in their own fonts.
#include "TestSupport.h"

#include "richtext/RichTextContainer.h"
#include "richtext/RichTextPage.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>

namespace {

// The document as a person proofreading it would describe it: each
// paragraph's alignment and indents, each run's text and formatting.
QString Describe(const QTextDocument &document)
{
    QStringList paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat p = block.blockFormat();
        QStringList parts;
        const Qt::Alignment a = p.alignment() & Qt::AlignHorizontal_Mask;
        parts << (a & Qt::AlignRight ? "right" : a & Qt::AlignHCenter ? "center" : a & Qt::AlignJustify ? "justify" : "left");
        auto twips = [](double px) { return qRound(px * 15); }; // 96 pixels per inch in the tests
        if (p.leftMargin() != 0)
            parts << QStringLiteral("li%1").arg(twips(p.leftMargin()));
        if (p.rightMargin() != 0)
            parts << QStringLiteral("ri%1").arg(twips(p.rightMargin()));
        if (p.textIndent() != 0)
            parts << QStringLiteral("fi%1").arg(twips(p.textIndent()));
        if (p.topMargin() != 0)
            parts << QStringLiteral("sb%1").arg(twips(p.topMargin()));
        if (p.bottomMargin() != 0)
            parts << QStringLiteral("sa%1").arg(twips(p.bottomMargin()));
        for (const QTextOption::Tab &tab : p.tabPositions())
            parts << QStringLiteral("%1%2").arg(tab.type == QTextOption::RightTab ? "tqr" : tab.type == QTextOption::CenterTab ? "tqc" : "tx").arg(twips(tab.position));
        if (p.lineHeightType() == QTextBlockFormat::ProportionalHeight && p.lineHeight() != 100)
            parts << QStringLiteral("lines%1%").arg(p.lineHeight());
        else if (p.lineHeightType() == QTextBlockFormat::FixedHeight)
            parts << QStringLiteral("exactly%1").arg(twips(p.lineHeight()));
        else if (p.lineHeightType() == QTextBlockFormat::MinimumHeight)
            parts << QStringLiteral("atleast%1").arg(twips(p.lineHeight()));
        QString line = QLatin1Char('[') + parts.join(QLatin1Char(' ')) + QLatin1Char(']');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            QStringList style;
            style << f.fontFamilies().toStringList().value(0) << QString::number(f.fontPointSize());
            if (f.fontWeight() >= QFont::Bold)
                style << "b";
            if (f.fontItalic())
                style << "i";
            if (f.fontUnderline())
                style << "u";
            if (f.fontStrikeOut())
                style << "s";
            if (f.hasProperty(QTextFormat::ForegroundBrush))
                style << f.foreground().color().name();
            if (f.hasProperty(QTextFormat::BackgroundBrush))
                style << "hl" + f.background().color().name();
            if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                style << "super";
            if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
                style << "sub";
            if (f.baselineOffset() != 0)
                style << QStringLiteral("raised%1%").arg(f.baselineOffset());
            QString text = it.fragment().text();
            text.replace(QLatin1Char('\t'), QLatin1String("<tab>")).replace(QChar::LineSeparator, QLatin1String("<line>"));
            line += QLatin1Char('"') + text + QLatin1String("\"{") + style.join(QLatin1Char(' ')) + QLatin1Char('}');
        }
        paragraphs << line;
    }
    return paragraphs.join(QLatin1Char('\n'));
}

QString DescribeRtf(const QByteArray &rtf)
{
    QTextDocument document;
    richtext::ReadRtf(rtf, document);
    return Describe(document);
}

// The document's tables and the paragraphs around them: "text" for a
// paragraph, and for a table its column widths in twips and each row's cells.
QString DescribeLayout(const QTextDocument &document)
{
    QStringList parts;
    const QTextFrame *root = document.rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame())) {
            QStringList widths;
            for (const QTextLength &w : table->format().columnWidthConstraints())
                widths << QString::number(qRound(w.rawValue() * 15));
            QStringList rows;
            for (int r = 0; r < table->rows(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    QTextCursor text(cell.firstCursorPosition());
                    text.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                    cells << text.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('/'));
                }
                rows << cells.join(QLatin1Char('|'));
            }
            parts << QStringLiteral("table(%1){%2}").arg(widths.join(QLatin1Char(',')), rows.join(QLatin1String("; ")));
        } else if (!it.currentFrame()) {
            parts << QLatin1Char('"') + it.currentBlock().text() + QLatin1Char('"');
        }
    }
    return parts.join(QLatin1Char(' '));
}

const QByteArray kHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";

} // namespace

class TestRtf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }

    // Each control word is understood by the reader, and the writer's RTF
    // reads back to the same paragraphs and runs.
    void controlWordsSurviveARoundTrip_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain text") << QByteArray("Hello") << "[left]\"Hello\"{Arial 12}";
        QTest::newRow("b") << QByteArray("a\\b b\\b0 c") << "[left]\"a\"{Arial 12}\"b\"{Arial 12 b}\"c\"{Arial 12}";
        QTest::newRow("i") << QByteArray("\\i x") << "[left]\"x\"{Arial 12 i}";
        QTest::newRow("ul and ulnone") << QByteArray("\\ul x\\ulnone y") << "[left]\"x\"{Arial 12 u}\"y\"{Arial 12}";
        QTest::newRow("strike") << QByteArray("\\strike x\\strike0 y") << "[left]\"x\"{Arial 12 s}\"y\"{Arial 12}";
        QTest::newRow("f and fs") << QByteArray("\\f1\\fs36 x") << "[left]\"x\"{Courier New 18}";
        QTest::newRow("cf") << QByteArray("\\cf1 red\\cf0 auto") << "[left]\"red\"{Arial 12 #ff0000}\"auto\"{Arial 12}";
        QTest::newRow("highlight") << QByteArray("\\highlight2 x") << "[left]\"x\"{Arial 12 hl#0000ff}";
        QTest::newRow("plain resets") << QByteArray("\\b\\i\\f1\\fs40 x\\plain y")
                                      << "[left]\"x\"{Courier New 20 b i}\"y\"{Arial 12}";
        QTest::newRow("groups scope") << QByteArray("a{\\b b}c") << "[left]\"a\"{Arial 12}\"b\"{Arial 12 b}\"c\"{Arial 12}";
        QTest::newRow("alignments") << QByteArray("\\ql a\\par\\qr b\\par\\qc c\\par\\qj d")
                                    << "[left]\"a\"{Arial 12}\n[right]\"b\"{Arial 12}\n[center]\"c\"{Arial 12}\n"
                                       "[justify]\"d\"{Arial 12}";
        QTest::newRow("indents and spacing") << QByteArray("\\li720\\ri360\\fi-180\\sb120\\sa240 x")
                                             << "[left li720 ri360 fi-180 sb120 sa240]\"x\"{Arial 12}";
        QTest::newRow("pard resets") << QByteArray("\\qc\\li720 a\\par\\pard b")
                                     << "[center li720]\"a\"{Arial 12}\n[left]\"b\"{Arial 12}";
        QTest::newRow("tab and line") << QByteArray("a\\tab b\\line c") << "[left]\"a<tab>b<line>c\"{Arial 12}";
        QTest::newRow("escaped braces") << QByteArray("\\{x\\}\\\\") << "[left]\"{x}\\\"{Arial 12}";
        QTest::newRow("unknown destination skipped") << QByteArray("a{\\*\\shppict junk}b") << "[left]\"ab\"{Arial 12}";
        QTest::newRow("known destinations skipped") << QByteArray("{\\info{\\title T}}{\\stylesheet{\\s0 N;}}x")
                                                    << "[left]\"x\"{Arial 12}";
        QTest::newRow("u with fallback count") << QByteArray("\\uc2\\u8226\\'95\\'95 x\\uc1\\u8364?y")
                                              << QStringLiteral("[left]\"\u2022 x\u20ACy\"{Arial 12}");
        QTest::newRow("negative u") << QByteArray("\\u-3913?") << QStringLiteral("[left]\"\uF0B7\"{Arial 12}");
        QTest::newRow("super, sub, nosupersub") << QByteArray("E=mc{\\super 2} H\\sub 2\\nosupersub O")
                                                << "[left]\"E=mc\"{Arial 12}\"2\"{Arial 12 super}\" H\"{Arial 12}"
                                                   "\"2\"{Arial 12 sub}\"O\"{Arial 12}";
        QTest::newRow("up and dn") << QByteArray("\\fs20 a{\\up5 b}{\\dn10 c}")
                                   << "[left]\"a\"{Arial 10}\"b\"{Arial 10 raised25%}\"c\"{Arial 10 raised-50%}";
        QTest::newRow("hidden text not shown") << QByteArray("shown{\\v hidden} too\\v  gone\\v0 !")
                                               << "[left]\"shown too!\"{Arial 12}";
        QTest::newRow("tab stops") << QByteArray("\\tx1440\\tqc\\tx3600\\tqr\\tx5760 a\\tab b\\tab c\\tab d")
                                   << "[left tx1440 tqc3600 tqr5760]\"a<tab>b<tab>c<tab>d\"{Arial 12}";
        QTest::newRow("line spacing") << QByteArray("\\sl480\\slmult1 a\\par\\pard\\sl-300\\slmult0 b\\par\\pard\\sl360 c")
                                      << "[left lines200%]\"a\"{Arial 12}\n[left exactly300]\"b\"{Arial 12}\n"
                                         "[left atleast360]\"c\"{Arial 12}";
        QTest::newRow("chcbpat highlights") << QByteArray("\\chcbpat1 x") << "[left]\"x\"{Arial 12 hl#ff0000}";
        QTest::newRow("empty paragraph keeps size") << QByteArray("a\\par\\fs48\\par b")
                                                    << "[left]\"a\"{Arial 12}\n[left]\n[left]\"b\"{Arial 24}";
    }
    void controlWordsSurviveARoundTrip()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        const QByteArray rtf = kHead + body + "}";
        QCOMPARE(DescribeRtf(rtf), expected);
        QTextDocument document;
        richtext::ReadRtf(rtf, document);
        const QByteArray written = richtext::WriteRtf(document);
        QVERIFY2(written.startsWith("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl"), written.constData());
        QCOMPARE(DescribeRtf(written), expected);
    }

    // Tables as word processors write them come in as tables with their
    // cells' widths, and the writer gives them back as tables.
    void tablesKeepCellsAndWidths_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QString twoByTwo = "\"before\" table(1440,2880){a|b; c/d|e} \"after\"";
        QTest::newRow("Word: row defined before its cells")
            << QByteArray("before\\par\\trowd\\trgaph108\\cellx1440\\cellx4320\\pard\\intbl a\\cell b\\cell\\row"
                          "\\trowd\\trgaph108\\cellx1440\\cellx4320\\pard\\intbl c\\par d\\cell e\\cell\\row\\pard after")
            << twoByTwo;
        QTest::newRow("Word 2000: row defined again at its end")
            << QByteArray("before\\par\\trowd\\cellx1440\\cellx4320\\pard\\intbl a\\cell b\\cell\\pard\\intbl"
                          "{\\trowd\\cellx1440\\cellx4320\\row}\\pard\\intbl c\\par d\\cell e\\cell\\pard\\intbl"
                          "{\\trowd\\cellx1440\\cellx4320\\row}\\pard after")
            << twoByTwo;
        QTest::newRow("pandoc: rows in groups, a paragraph mark before each cell's end")
            << QByteArray("{\\pard before\\par}{\\trowd\\trgaph120\\cellx1440\\cellx4320\\trkeep\\intbl"
                          "{{\\pard\\intbl a\\par}\\cell}{{\\pard\\intbl b\\par}\\cell}\\intbl\\row}"
                          "{\\trowd\\trgaph120\\cellx1440\\cellx4320\\trkeep\\intbl"
                          "{{\\pard\\intbl c\\par d\\par}\\cell}{{\\pard\\intbl e\\par}\\cell}\\intbl\\row}"
                          "{\\pard after\\par}")
            << "\"before\" table(1440,2880){a|b; c/d|e} \"after\" \"\"";
        QTest::newRow("no intbl, left edge moved")
            << QByteArray("before\\par\\trowd\\trleft-108\\cellx1332\\cellx4212 a\\cell b\\cell\\row"
                          "\\trowd\\trleft-108\\cellx1332\\cellx4212 c\\par d\\cell e\\cell\\row\\pard after")
            << twoByTwo;
        QTest::newRow("table first, cells without text")
            << QByteArray("\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl\\cell x\\cell\\cell\\row")
            << "\"\" table(1000,1000,1000){|x|} \"\"";
        QTest::newRow("a table within a table comes in as tabs")
            << QByteArray("\\trowd\\cellx2000\\intbl a\\nestcell b\\nestcell{\\*\\nesttableprops\\trowd\\cellx500"
                          "\\cellx1000\\nestrow}{\\nonesttables\\par}\\cell\\row")
            << QStringLiteral("\"\" table(2000){a\tb\t} \"\"");
    }
    void tablesKeepCellsAndWidths()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        QTextDocument document;
        richtext::ReadRtf(kHead + body + "}", document);
        QCOMPARE(DescribeLayout(document), expected);
        QTextDocument again;
        const QByteArray written = richtext::WriteRtf(document);
        richtext::ReadRtf(written, again);
        QCOMPARE(DescribeLayout(again), expected);
        QCOMPARE(richtext::WriteRtf(again), written);
    }

    void defaultTabIsKept()
    {
        QTextDocument document;
        richtext::ReadRtf("{\\rtf1\\ansi\\deftab360 a\\tab b}", document);
        QVERIFY(richtext::WriteRtf(document).startsWith("{\\rtf1\\ansi\\deff0\\deftab360{\\fonttbl"));
        QCOMPARE(document.defaultTextOption().tabStopDistance(), 24.0);
    }

    // Text in other scripts arrives through the code page of the font's
    // character set or through \u, and leaves without loss.
    void codePagesAndUnicode_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const QString czech = QStringLiteral("Jana Dvo\u0159\u00E1kov\u00E1 \u010Cesk\u00FD");
        const QString russian = QStringLiteral("\u041F\u0440\u0438\u0432\u0435\u0442");
        QTest::newRow("Czech through fcharset238")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 Jana Dvo\\'f8\\'e1kov\\'e1 \\'c8esk\\'fd}")
            << czech;
        QTest::newRow("Czech through ansicpg1250")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1250{\\fonttbl{\\f0 Arial;}}Jana Dvo\\'f8\\'e1kov\\'e1 \\'c8esk\\'fd}")
            << czech;
        QTest::newRow("Czech through u")
            << QByteArray("{\\rtf1\\ansi Jana Dvo\\u345?\\u225?kov\\u225? \\u268?esk\\u253?}") << czech;
        QTest::newRow("Russian through fcharset204")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}\\f1\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}")
            << russian;
        QTest::newRow("Russian through u")
            << QByteArray("{\\rtf1\\ansi\\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090?}") << russian;
        QTest::newRow("Japanese through fcharset128, two bytes a character")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0\\'93\\'fa\\'96\\'7b}")
            << QStringLiteral("\u65E5\u672C");
        QTest::newRow("Western literal bytes") << QByteArray("{\\rtf1\\ansi caf\xe9}") << QStringLiteral("caf\u00E9");
    }
    void codePagesAndUnicode()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QTextDocument document;
        richtext::ReadRtf(rtf, document);
        QCOMPARE(document.toPlainText(), text);
        QTextDocument again;
        richtext::ReadRtf(richtext::WriteRtf(document), again);
        QCOMPARE(again.toPlainText(), text);
    }

    // The writer keeps a font's code page for the characters it has and
    // writes the others as \u, so text typed in any script is kept.
    void writerUsesTheFontsCodePageOrUnicode()
    {
        QTextDocument czech;
        richtext::ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 Arial;}}\\f0 Dvo\\'f8\\'e1k}", czech);
        const QByteArray written = richtext::WriteRtf(czech);
        QVERIFY2(written.contains("\\fcharset238") && written.contains("Dvo\\'f8\\'e1k"), written.constData());

        QTextDocument typed;
        typed.setPlainText(QStringLiteral("\u041C\u0438\u0440 \u2022 \U0001F600"));
        const QByteArray unicode = richtext::WriteRtf(typed);
        // The bullet is in code page 1252; Cyrillic and the emoji are not.
        QVERIFY2(unicode.contains("\\u1052?") && unicode.contains("\\'95") && unicode.contains("\\u-10179?"),
                 unicode.constData());
        QTextDocument back;
        richtext::ReadRtf(unicode, back);
        QCOMPARE(back.toPlainText(), typed.toPlainText());
    }

    // Bad RTF gives some text, never a crash, a hang or memory out of
    // proportion to its size.
    void hostileRtfIsReadSafely_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("unbalanced close") << QByteArray("}}}{\\rtf1 a}}}b}");
        QTest::newRow("never closed") << QByteArray("{\\rtf1{{{{\\b a");
        QTest::newRow("deep nesting") << QByteArray("{\\rtf1") + QByteArray(200000, '{') + "x" + QByteArray(200000, '}');
        QTest::newRow("huge numbers") << QByteArray("{\\rtf1\\fs99999999999999999999 a\\li-99999999999\\f99999999999"
                                                   "\\cf2147483648\\uc99999999\\u99999999999 b\\deftab0\\sa-5 c}");
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'");
        QTest::newRow("half hex") << QByteArray("{\\rtf1\\ansicpg932 a\\'8");
        QTest::newRow("binary beyond end") << QByteArray("{\\rtf1 a\\bin2147483647 xyz");
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 xyz}");
        QTest::newRow("overlong word") << QByteArray("{\\rtf1\\") + QByteArray(100000, 'a') + "123 x}";
        QTest::newRow("code page nobody knows") << QByteArray("{\\rtf1\\ansicpg65535\\'e9}");
        QTest::newRow("a table of 20,000 rows")
            << "{\\rtf1" + QByteArray("\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row").repeated(20000) + "}";
        QTest::newRow("a row of 10,000 cells")
            << "{\\rtf1\\trowd" + QByteArray("\\cellx10").repeated(10000) + "\\intbl" + QByteArray("x\\cell").repeated(10000)
                   + "\\row}";
        QTest::newRow("cells without rows and rows without cells")
            << QByteArray("{\\rtf1 a\\cell\\row\\row\\cellx-5\\cell\\trowd\\trowd\\row b\\intbl\\pard c}");
        QTest::newRow("a picture never closed") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picwgoal99999999 89504e47");
        QTest::newRow("binary picture data beyond the end")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin2147483647 xyz}");
        QTest::newRow("a picture's header claiming 100,000 x 100,000 pixels")
            << QByteArray("{\\rtf1{\\pict\\pngblip 89504e470d0a1a0a0000000d49484452000186a0000186a008020000000000000000}}");
        QTest::newRow("font table of junk") << QByteArray("{\\rtf1{\\fonttbl\\f1\\fcharset999{\\f2;;;}\\'ff\\'00}\\f1 x}");
        QByteArray junk;
        for (int i = 0; i < 100000; ++i)
            junk.append(char((i * 7919) & 0xFF));
        QTest::newRow("binary junk") << junk;
        const QDir dir(testsupport::TestDataFolder() + QStringLiteral("/rtf-regressions"));
        for (const QString &name : dir.entryList({QStringLiteral("*.rtf")}, QDir::Files)) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable(name)) << f.readAll();
        }
    }
    void hostileRtfIsReadSafely()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        richtext::ReadRtf(rtf, document);
        QVERIFY(document.characterCount() <= rtf.size() + 1);
        document.setTextWidth(200);
        QVERIFY(document.size().height() < 1e7);
        QTextDocument again;
        richtext::ReadRtf(richtext::WriteRtf(document), again);
        QCOMPARE(again.toPlainText(), document.toPlainText());
    }

    // Data that is not RTF comes in as HTML or as plain text.
    void htmlAndPlainTextImport_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::newRow("html") << QByteArray("<html><body><p>A <b>bold</b> word</p></body></html>") << "A bold word" << true;
        QTest::newRow("plain 1252") << QByteArray("caf\xe9 {not rtf}") << QStringLiteral("caf\u00E9 {not rtf}") << false;
        QTest::newRow("plain utf-8") << QByteArray("\xEF\xBB\xBF\xC5\x99") << QStringLiteral("\u0159") << false;
    }
    void htmlAndPlainTextImport()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        TRichTextContainer container;
        container.SetData(data);
        QCOMPARE(container.AsPlainText(), text);
        QTextDocument document;
        container.LoadInto(document);
        container.StoreFrom(document);
        QVERIFY(container.Data().startsWith("{\\rtf1"));
        QCOMPARE(container.AsPlainText(), text);
        QCOMPARE(container.Data().contains("\\b "), bold);
    }

    // Two paragraphs of the same letters, one in a proportional face and one
    // in a fixed-pitch face: each is as wide as its own face makes it.
    void mixedFontsPaintInTheirFonts()
    {
        TRichTextContainer text;
        text.SetData("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                     "\\f0\\fs40 iiiiiiiiii\\par\\f1 iiiiiiiiii\\par}");
        TRichTextPage page;
        page.SetRTFText(text);
        page.SetPageLayout(6000, 1440);
        QImage image(400, 96, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            page.PaintFirstPage(p, image.rect());
        }
        auto inkWidth = [&image](int top, int bottom) {
            int left = image.width(), right = -1;
            for (int y = top; y < bottom; ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            return right - left + 1;
        };
        const QFontMetricsF arial(QFont(QStringLiteral("Arial"), 20));
        const QFontMetricsF courier(QFont(QStringLiteral("Courier New"), 20));
        const double arialWidth = arial.horizontalAdvance(QStringLiteral("iiiiiiiiii"));
        const double courierWidth = courier.horizontalAdvance(QStringLiteral("iiiiiiiiii"));
        const int firstLine = int(arial.height());
        QVERIFY(std::abs(inkWidth(0, firstLine) - arialWidth) < 8);
        QVERIFY(std::abs(inkWidth(firstLine, 96) - courierWidth) < 20);
        QVERIFY(courierWidth > arialWidth * 2);
    }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
