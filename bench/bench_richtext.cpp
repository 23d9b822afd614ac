// A rich-text label of about 2 KB of RTF (several fonts, sizes, colours,
// Czech text in a code page, Unicode escapes) loaded, laid out and painted
// 100 times, as the card panel does on every repaint; prints the time of
// each step per paint. Two labels take turns, so the shared engine reads
// each document afresh every time. Then, once each, documents far larger
// than a label can show: alternating bold runs, 60 MB of plain text, ten
// million paragraph marks, an HTML table of 10,000 cells.
#include "BenchSupport.h"
#include "objects/RichTextLabel.h"
#include "richtext/RichTextControl.h"
#include "richtext/RichTextPage.h"
#include "richtext/RtfReader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextDocument>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kPaints = 100;

QByteArray TwoKilobytesOfRtf(int variant)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}"
                     "{\\f1\\froman Times New Roman;}{\\f2\\fmodern Courier New;}}\r\n"
                     "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue160;\\red0\\green120\\blue0;}\r\n";
    int n = 0;
    while (rtf.size() < 2000) {
        rtf += "\\pard\\q" + QByteArray("lcrj").mid(n % 4, 1) + "\\plain\\f" + QByteArray::number(n % 3) + "\\fs"
            + QByteArray::number(16 + 2 * (n % 5)) + " Jana Dvo\\'f8\\'e1kov\\'e1 " + QByteArray::number(variant)
            + " \\b\\cf" + QByteArray::number(1 + n % 3) + " Studio\\b0\\cf0  \\i design \\u8226? print\\i0"
            + " \\ul harbour\\ulnone  street " + QByteArray::number(n) + "\\par\r\n";
        ++n;
    }
    return rtf + "}";
}

// Hostile documents for a label of 3.5 x 2 inches.
QByteArray AlternatingBoldRuns(int runs)
{
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int i = 0; i < runs; ++i)
        rtf += (i % 2 ? "\\b0 " : "\\b ") + QByteArray("word ");
    return rtf + "}";
}

QByteArray ManyParagraphs(int count) { return "{\\rtf1\\ansi " + QByteArray("\\par ").repeated(count) + "}"; }

QByteArray PlainText(qsizetype bytes)
{
    return QByteArray("lorem ipsum dolor sit amet\n").repeated(bytes / 27 + 1).left(bytes);
}

QByteArray HtmlTable(int cells)
{
    QByteArray html = "<html><body><table border=1>";
    for (int i = 0; i < cells; ++i) {
        if (i % 100 == 0)
            html += i ? "</tr><tr>" : "<tr>";
        html += "<td>c" + QByteArray::number(i) + "</td>";
    }
    return html + "</tr></table></body></html>";
}

// Loads, lays out and paints a label holding the document once.
void PaintHostile(const char *name, const QByteArray &data)
{
    TGPRichBaseLabel label;
    label.Loaded();
    label.SetBounds(0, 0, 336, 192);
    label.RTFText()->SetData(data);
    QImage image(336, 192, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QElapsedTimer timer;
    timer.start();
    {
        QPainter p(&image);
        label.Paint(p);
    }
    std::printf("%-44s %9.1f ms, peak %7.1f MB so far (%lld bytes)\n", name, timer.nsecsElapsed() / 1e6,
                PeakResidentKilobytes() / 1024.0, static_cast<long long>(data.size()));
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TGPRichBaseLabel labels[2];
    for (int i = 0; i < 2; ++i) {
        labels[i].Loaded();
        labels[i].SetBounds(0, 0, 330, 180);
        labels[i].RTFText()->SetData(TwoKilobytesOfRtf(i));
    }
    std::printf("RTF size: %lld bytes\n", static_cast<long long>(labels[0].RTFText()->Data().size()));

    QImage image(330, 180, QImage::Format_ARGB32_Premultiplied);
    // One paint first: fonts found, code page converters opened.
    {
        QPainter p(&image);
        labels[0].Paint(p);
    }

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kPaints; ++i) {
        QTextDocument document;
        richtext::ReadRtf(labels[i % 2].RTFText()->Data(), document);
    }
    const double readMs = timer.nsecsElapsed() / 1e6 / kPaints;

    timer.restart();
    for (int i = 0; i < kPaints; ++i) {
        TRichTextPage page;
        page.SetRTFText(*labels[i % 2].RTFText());
        page.SetPageLayout(labels[i % 2].PageWidthTwips(), labels[i % 2].PageHeightTwips());
        QPainter p(&image);
        page.PaintFirstPage(p, image.rect());
    }
    const double pageMs = timer.nsecsElapsed() / 1e6 / kPaints;

    timer.restart();
    const std::clock_t cpuStart = std::clock();
    for (int i = 0; i < kPaints; ++i) {
        image.fill(Qt::white);
        QPainter p(&image);
        labels[i % 2].Paint(p);
    }
    const double paintMs = timer.nsecsElapsed() / 1e6 / kPaints;
    // Processor time, which other work on a shared machine does not inflate.
    const double paintCpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC / kPaints;
    std::printf("read RTF into a document: %.3f ms\n", readMs);
    std::printf("read, lay out and paint on a page of its own: %.3f ms\n", pageMs);
    std::printf("load, lay out and paint one label: %.3f ms (%.3f ms of processor time; target 1 ms)\n", paintMs,
                paintCpuMs);

    // Documents far larger than a label can show.
    PaintHostile("10,000 alternating bold runs:", AlternatingBoldRuns(10000));
    PaintHostile("100,000 alternating bold runs:", AlternatingBoldRuns(100000));
    PaintHostile("60 MB of plain text:", PlainText(60 * 1024 * 1024));
    PaintHostile("10,000,000 paragraph marks:", ManyParagraphs(10000000));
    PaintHostile("HTML table of 10,000 cells:", HtmlTable(10000));
    return 0;
}
