// Output for a print shop: the PDF's page holds the card, its bleed and the
// crop marks, its trim and bleed boxes say so to pdfinfo, the background and
// the shapes at the card's edge reach over the whole bleed when rasterised,
// the marks lie on the trim lines outside the bleed, text near the edge is
// named as crossing the safe line, and the command line refuses a bleed a
// shop cannot use without leaving a file behind.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/CardExport.h"
#include "app/PrintShopDialog.h"
#include "app/PrintShopExport.h"
#include "objects/BusinessCardLabel.h"
#include "objects/BusinessCardShape.h"
#include "objects/ImageObject.h"
#include "objects/PrintShopRules.h"
#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "surface/BusinessCardPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QListWidget>
#include <QSpinBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;
using namespace printshop;

namespace {

constexpr int kDpi = 100;
constexpr double kMm = 1.0 / 25.4;

// The boxes pdfinfo -box reads from the first page, in points.
QMap<QString, QRectF> PdfBoxes(const QString &file)
{
    QProcess info;
    info.start("pdfinfo", {"-box", file});
    QMap<QString, QRectF> boxes;
    if (!info.waitForFinished(30000))
        return boxes;
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        const QStringList words = line.simplified().split(' ');
        if (words.size() == 5 && words.at(0).endsWith("Box:"))
            boxes.insert(words.at(0).chopped(1), QRectF(QPointF(words.at(1).toDouble(), words.at(2).toDouble()),
                                                         QPointF(words.at(3).toDouble(), words.at(4).toDouble())));
    }
    return boxes;
}

// A box of pdfinfo (points, from the bottom) as pixels of a page image at kDpi.
QRect PixelsOf(const QRectF &box, double pageHeightPoints)
{
    const double k = kDpi / 72.0;
    return QRect(QPoint(qRound(box.left() * k), qRound((pageHeightPoints - box.bottom()) * k)),
                 QPoint(qRound(box.right() * k) - 1, qRound((pageHeightPoints - box.top()) * k) - 1));
}

QImage FirstPage(const QString &file)
{
    QString why;
    const QList<QImage> pages = printtest::RasterisePdf(file, kDpi, &why);
    return pages.isEmpty() ? QImage() : pages.first();
}

bool Dark(const QImage &page, QPoint p) { return page.rect().contains(p) && qGray(page.pixel(p)) < 96; }
// A hairline a third of a pixel wide comes out grey.
bool Inked(const QImage &page, QPoint p) { return page.rect().contains(p) && qGray(page.pixel(p)) < 200; }
bool White(const QImage &page, QPoint p) { return page.rect().contains(p) && qGray(page.pixel(p)) > 230; }

TBCShapes *AddFilledBox(TGBusinessCardPanel32 &panel, const QRect &r, TColor color)
{
    auto *box = static_cast<TBCShapes *>(AddShape(panel, r.left(), r.top(), r.width(), r.height()));
    box->Pen()->SetStyle(Vcl::psClear);
    box->Brush()->SetColor(color);
    box->Brush()->SetStyle(Vcl::bsSolid);
    return box;
}

TGBusinessCardLabel *AddLabel(TGBusinessCardPanel32 &panel, const QString &name, const QRect &r,
                              const QString &caption = QStringLiteral("Quorvel"))
{
    auto *label = new TGBusinessCardLabel(&panel);
    label->SetPanel(&panel);
    label->Loaded();
    panel.AddNewObject(label, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    label->SetCaption(caption);
    label->setObjectName(name);
    Flush();
    return label;
}

TGImage *AddPicture(TGBusinessCardPanel32 &panel, const QString &name, const QRect &r)
{
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    auto *image = new TGImage(&panel);
    image->Picture()->SetBitmap(TBitmap::FromImage(photo));
    image->Loaded();
    panel.AddNewObject(image, {r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    image->SetBounds(r.left(), r.top(), r.width(), r.height());
    image->setObjectName(name);
    Flush();
    return image;
}

QString Program() { return QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"); }

} // namespace

class TestPrintShop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitEnvironment();
        if (!printtest::HavePdftoppm())
            QSKIP("pdftoppm and pdfinfo (poppler-utils) are needed");
    }

    void boxesGiveTheCardAndItsBleed_data()
    {
        QTest::addColumn<double>("bleed");
        QTest::addColumn<bool>("marks");
        QTest::newRow("3 mm with marks") << 3 * kMm << true;
        QTest::newRow("1/8 in without marks") << 0.125 << false;
        QTest::newRow("no bleed, marks") << 0.0 << true;
        QTest::newRow("6 mm with marks") << 6 * kMm << true;
    }

    // A shop's software reads the card's size from the TrimBox and the
    // bleed from the BleedBox; the page is larger by the marks' room.
    void boxesGiveTheCardAndItsBleed()
    {
        QFETCH(double, bleed);
        QFETCH(bool, marks);
        auto panel = printtest::MakeMarkerCard();
        QTemporaryDir dir;
        const QString file = dir.filePath("shop.pdf");
        TPrintShopExport what;
        what.Panel = panel.get();
        what.Bleed = bleed;
        what.CropMarks = marks;
        ExportForPrintShop(what, file);

        const QMap<QString, QRectF> boxes = PdfBoxes(file);
        const QRectF media = boxes.value("MediaBox"), trim = boxes.value("TrimBox"), cut = boxes.value("BleedBox");
        QCOMPARE(qRound(trim.width() * 100), 252 * 100);
        QCOMPARE(qRound(trim.height() * 100), 144 * 100);
        const double b = bleed * 72;
        QVERIFY2(qAbs(cut.width() - (252 + 2 * b)) < 0.01 && qAbs(cut.height() - (144 + 2 * b)) < 0.01,
                 qPrintable(QString("BleedBox %1 x %2").arg(cut.width()).arg(cut.height())));
        QVERIFY(cut.contains(trim));
        QCOMPARE(qRound(trim.center().x() * 10), qRound(cut.center().x() * 10));
        QVERIFY(media.contains(cut));
        // Without marks the page is the bleed (to the next whole point);
        // with them it keeps room for them on every side.
        const double room = (media.width() - cut.width()) / 2;
        if (marks)
            QVERIFY2(room > 5.5 * kMm * 72, qPrintable(QString::number(room)));
        else
            QVERIFY2(room < 1.0, qPrintable(QString::number(room)));
        // The colour is named for the shop: sRGB as the output intent.
        QFile pdf(file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.contains("/OutputIntents"));
        QVERIFY(bytes.contains("(sRGB IEC61966-2.1)"));
    }

    // Background art reaches over the whole bleed; the marks stand on the
    // lines of the trim, outside the bleed, at every corner; nothing else
    // is printed between the bleed and the page's edge.
    void backgroundFillsTheBleedAndMarksStandOutside()
    {
        auto panel = printtest::MakeMarkerCard();
        QTemporaryDir dir;
        QImage art(70, 40, QImage::Format_RGB32);
        art.fill(QColor(0, 0, 128));
        QVERIFY(art.save(dir.filePath("art.bmp"), "BMP"));
        const QString file = dir.filePath("shop.pdf");
        TPrintShopExport what;
        what.Panel = panel.get();
        what.BackgroundPath = dir.filePath("art.bmp");
        what.Bleed = 3 * kMm;
        ExportForPrintShop(what, file);

        const QMap<QString, QRectF> boxes = PdfBoxes(file);
        const double pageHeight = boxes.value("MediaBox").height();
        const QRect cut = PixelsOf(boxes.value("BleedBox"), pageHeight);
        const QRect trim = PixelsOf(boxes.value("TrimBox"), pageHeight);
        const QImage page = FirstPage(file);
        QVERIFY(!page.isNull());
        // Ink over the whole bleed area: every pixel of the bleed box but
        // its outermost ring (antialiasing) is dark.
        int unprinted = 0;
        for (int y = cut.top() + 1; y < cut.bottom(); ++y)
            for (int x = cut.left() + 1; x < cut.right(); ++x)
                unprinted += Dark(page, {x, y}) ? 0 : 1;
        QCOMPARE(unprinted, 0);
        // Outside the bleed: white but for the marks on the trim lines.
        const int margin = 2;
        for (const int x : {cut.left() - margin, cut.right() + margin})
            for (const int y : {cut.top() + cut.height() / 3, cut.bottom() - cut.height() / 3})
                QVERIFY2(White(page, {x, y}), qPrintable(QString("%1, %2").arg(x).arg(y)));
        const int into = qRound((1.5 + 2) * kMm * kDpi); // past the bleed, halfway along a mark
        const int b = qRound(3 * kMm * kDpi);
        for (const int x : {trim.left(), trim.right()})
            for (const int y : {trim.top(), trim.bottom()}) {
                const int ox = x == trim.left() ? -1 : 1, oy = y == trim.top() ? -1 : 1;
                QVERIFY2(Inked(page, {x + ox * (b + into), y - 1}) || Inked(page, {x + ox * (b + into), y})
                             || Inked(page, {x + ox * (b + into), y + 1}),
                         qPrintable(QString("no horizontal mark at the corner %1, %2").arg(x).arg(y)));
                QVERIFY2(Inked(page, {x - 1, y + oy * (b + into)}) || Inked(page, {x, y + oy * (b + into)})
                             || Inked(page, {x + 1, y + oy * (b + into)}),
                         qPrintable(QString("no vertical mark at the corner %1, %2").arg(x).arg(y)));
                // A mark kept off the bleed's own corner region.
                QVERIFY(White(page, {x + ox * (b + 2), y + oy * (b + 2)}));
            }
    }

    // A band across the top and a picture at the left continue into the
    // bleed; a label at the edge stays where it is; the card keeps the
    // bounds it had.
    void shapesAtTheEdgeContinueTextStays()
    {
        auto panel = MakePanel(336, 192);
        TBCShapes *band = AddFilledBox(*panel, QRect(0, 0, 336, 30), platform::clBlack);
        TGImage *picture = AddPicture(*panel, "Photo", QRect(1, 60, 60, 60));
        TGBusinessCardLabel *label = AddLabel(*panel, "Edge", QRect(0, 150, 150, 40));
        label->SetBounds(0, 192 - label->Height(), label->Width(), label->Height());
        const QList<QRect> before = {band->StoredBounds(), picture->StoredBounds(), label->StoredBounds()};
        int changes = 0;
        connect(panel.get(), &TGBasePanel::LabelChangedEvent, this, [&changes] { ++changes; });
        QTemporaryDir dir;
        const QString file = dir.filePath("shop.pdf");
        TPrintShopExport what;
        what.Panel = panel.get();
        what.Bleed = 0.125;
        what.CropMarks = false;
        ExportForPrintShop(what, file);
        QCOMPARE(QList<QRect>({band->StoredBounds(), picture->StoredBounds(), label->StoredBounds()}), before);
        QCOMPARE(changes, 0);

        const QMap<QString, QRectF> boxes = PdfBoxes(file);
        const double pageHeight = boxes.value("MediaBox").height();
        const QRect cut = PixelsOf(boxes.value("BleedBox"), pageHeight);
        const QRect trim = PixelsOf(boxes.value("TrimBox"), pageHeight);
        const QImage page = FirstPage(file);
        // The band: dark from the bleed's top-left to its top-right corner.
        for (const int x : {cut.left() + 1, trim.center().x(), cut.right() - 1})
            QVERIFY2(Dark(page, {x, cut.top() + 1}), qPrintable(QString("band at %1").arg(x)));
        // The picture reaches the left bleed; the card's left edge below the band is white elsewhere.
        const int pictureMiddle = trim.top() + qRound(90.0 / 96 * kDpi);
        QVERIFY(qGray(page.pixel(cut.left() + 1, pictureMiddle)) < 200);
        QVERIFY(White(page, {cut.left() + 1, trim.top() + qRound(140.0 / 96 * kDpi)}));
        // The label at the bottom-left edge is neither moved nor stretched:
        // its text begins where it begins on the card exported as it is.
        TCardExport plain;
        plain.Panel = panel.get();
        ExportCard(plain, dir.filePath("plain.pdf"));
        const QImage card = FirstPage(dir.filePath("plain.pdf"));
        const int textTop = qRound((192.0 - label->Height()) / 96 * kDpi);
        const int textBottom = qRound(192.0 / 96 * kDpi);
        auto firstInk = [](const QImage &image, int left, int top, int bottom) {
            for (int x = left; x < image.width(); ++x)
                for (int y = top; y < bottom; ++y)
                    if (Dark(image, {x, y}))
                        return x - left;
            return -1;
        };
        const int onCard = firstInk(card, 0, textTop, textBottom - 1);
        const int onShop = firstInk(page, cut.left(), trim.top() + textTop, trim.top() + textBottom - 1)
                           - (trim.left() - cut.left());
        QVERIFY(onCard >= 0);
        QVERIFY2(qAbs(onShop - onCard) <= 1, qPrintable(QString("%1 against %2").arg(onShop).arg(onCard)));
    }

    // Text and pictures over the safe line are named; a picture meant to be
    // cut (at the card's edge) and shapes are not.
    void objectsOverTheSafeLineAreFlagged()
    {
        auto panel = MakePanel(336, 192);
        AddLabel(*panel, "NearTheEdge", QRect(4, 150, 120, 30));
        AddLabel(*panel, "Inside", QRect(40, 40, 120, 30));
        AddPicture(*panel, "FullBleedPhoto", QRect(0, 0, 100, 192));
        AddPicture(*panel, "LogoNearTheTop", QRect(200, 5, 60, 40));
        AddFilledBox(*panel, QRect(0, 180, 336, 12), platform::clRed);
        QStringList flagged;
        for (const TGGraphicControl *o : ObjectsCrossingSafeLine(*panel, 12))
            flagged << o->objectName();
        QCOMPARE(flagged, QStringList({"NearTheEdge", "LogoNearTheTop"}));
        // A wider margin takes in the label inside too.
        QVERIFY(CrossesSafeLine(panel->Objects().at(1), panel->CardSize(), 48));
    }

    // View > Safe Area: a red frame round the label at the edge only, the
    // green safe line inside the card, nothing once it is turned off.
    void safeAreaGuidesFrameTheLabelAtTheEdge()
    {
        auto panel = MakePanel(336, 192);
        TGBusinessCardLabel *near = AddLabel(*panel, "NearTheEdge", QRect(4, 150, 120, 30));
        TGBusinessCardLabel *inside = AddLabel(*panel, "Inside", QRect(40, 40, 120, 30));
        auto count = [](const QImage &image, const QRect &area, QRgb colour) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += image.rect().contains(x, y) && (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
            return n;
        };
        const QRgb red = qRgb(220, 0, 0), green = qRgb(0, 160, 80);
        QCOMPARE(count(panel->Grab(), panel->rect(), red), 0);
        ShowSafeAreaGuides(*panel, true);
        const QImage shown = panel->Grab();
        QVERIFY(count(shown, near->BoundsRect(), red) > 100);
        QCOMPARE(count(shown, inside->BoundsRect(), red), 0);
        // The safe line 1/8 inch (12 pixels) inside the top edge, dashed.
        const int dashes = count(shown, QRect(0, 12, 336, 1), green);
        QVERIFY2(dashes > 100 && dashes < 300, qPrintable(QString::number(dashes)));
        ShowSafeAreaGuides(*panel, false);
        const QImage hidden = panel->Grab();
        QCOMPARE(count(hidden, panel->rect(), red) + count(hidden, panel->rect(), green), 0);
    }

    // The dialog lists what crosses its safe line as the margin changes,
    // keeps the bleed when the unit changes, and offers as many cards as
    // the paper holds.
    void dialogListsObjectsAndKeepsTheBleedAcrossUnits()
    {
        auto panel = MakePanel(336, 192);
        AddLabel(*panel, "NearTheEdge", QRect(4, 150, 120, 30), "Near the edge");
        AddLabel(*panel, "Inside", QRect(40, 40, 120, 30), "Inside");
        TPrintShopDialog dialog(panel.get(), QSizeF(3.5, 2.0));
        auto listed = [&dialog] {
            QStringList names;
            for (int i = 0; i < dialog.SafeLineList->count(); ++i)
                names << dialog.SafeLineList->item(i)->text();
            return names;
        };
        QCOMPARE(listed(), QStringList({"Text \"Near the edge\""}));
        dialog.UnitCombo->setCurrentIndex(1);
        dialog.BleedEdit->setValue(0.125);
        dialog.UnitCombo->setCurrentIndex(0);
        QVERIFY2(qAbs(dialog.BleedEdit->value() - 3.175) < 0.006, qPrintable(QString::number(dialog.BleedEdit->value())));
        QVERIFY(qAbs(dialog.Choices().Bleed - 0.125) < 0.001);
        dialog.SafeMarginEdit->setValue(12.7);
        QCOMPARE(listed(), QStringList({"Text \"Near the edge\"", "Text \"Inside\""}));
        dialog.SheetCheck->setChecked(true);
        QCOMPARE(dialog.SheetCardsSpin->maximum(), 8);
        dialog.PaperCombo->setCurrentIndex(1);
        dialog.BleedEdit->setValue(6.0);
        QCOMPARE(dialog.SheetCardsSpin->maximum(), 4);
        QCOMPARE(dialog.Choices().SheetPaper.id(), QPageSize::A4);
    }

    // A sheet of cards on letter paper: one page of the paper's size with a
    // card in each place, every card with its own marks.
    void sheetOfCardsIsImposedOnThePaper()
    {
        auto panel = printtest::MakeMarkerCard();
        QTemporaryDir dir;
        const QString file = dir.filePath("sheet.pdf");
        TPrintShopExport what;
        what.Panel = panel.get();
        what.Bleed = 3 * kMm;
        what.SheetCards = 4;
        what.SheetPaper = QPageSize(QPageSize::Letter);
        QCOMPARE(CardsPerSheet(what), 8);
        ExportForPrintShop(what, file);
        const QRectF media = PdfBoxes(file).value("MediaBox");
        QCOMPARE(media.size().toSize(), QSize(612, 792));
        const QImage page = FirstPage(file);
        // Four black markers an inch wide: rows of the page crossing one or
        // more of them, band by band.
        auto markersInRow = [&page](int y) {
            int found = 0, run = 0;
            for (int x = 0; x <= page.width(); ++x) {
                if (x < page.width() && Dark(page, {x, y})) {
                    ++run;
                    continue;
                }
                found += run >= kDpi * 9 / 10 && run <= kDpi * 11 / 10 ? 1 : 0;
                run = 0;
            }
            return found;
        };
        int markers = 0, inBand = 0;
        for (int y = 0; y < page.height(); ++y) {
            const int here = markersInRow(y);
            if (here == 0) {
                markers += inBand;
                inBand = 0;
            }
            inBand = qMax(inBand, here);
        }
        QCOMPARE(markers, 4);
        what.SheetCards = 9;
        QVERIFY_THROWS_EXCEPTION(ECardExportError, ExportForPrintShop(what, dir.filePath("nine.pdf")));
        QVERIFY(!QFile::exists(dir.filePath("nine.pdf")));
    }

    void commandLineRefusesABleedAShopCannotUse_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("more than 6 mm") << QStringList{"--bleed", "7mm"} << "from 0 to 6 mm";
        QTest::newRow("no unit") << QStringList{"--bleed", "3"} << "with its unit";
        QTest::newRow("negative") << QStringList{"--bleed", "-1mm"} << "--bleed";
        QTest::newRow("inches too many") << QStringList{"--bleed", "0.3in"} << "from 0 to 6 mm";
        QTest::newRow("no PDF") << QStringList{"--bleed", "3mm", "--crop-marks", "-o"} << "name the output .pdf";
    }

    void commandLineRefusesABleedAShopCannotUse()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        QTemporaryDir dir;
        auto panel = printtest::MakeMarkerCard();
        panel->SaveToFile(dir.filePath("card.qrv"));
        const bool pngOutput = options.last() == "-o";
        const QString output = dir.filePath(pngOutput ? "shop.png" : "shop.pdf");
        QStringList args = {"--render", dir.filePath("card.qrv")};
        args << options;
        if (!pngOutput)
            args << "-o";
        args << output;
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", dir.path());
        env.remove("DISPLAY");
        run.setProcessEnvironment(env);
        run.start(Program(), args);
        QVERIFY(run.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
        QCOMPARE(run.exitCode(), 1);
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QVERIFY(!QFile::exists(output));
    }

    // The command line of the usual request: 3 mm and marks, a PDF whose
    // boxes say so; a label at the edge is named on standard error.
    void commandLineWritesTheShopsPdf()
    {
        QTemporaryDir dir;
        auto panel = printtest::MakeMarkerCard();
        AddLabel(*panel, "Special1", QRect(3, 3, 120, 30));
        panel->SaveToFile(dir.filePath("card.qrv"));
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", dir.path());
        env.remove("DISPLAY");
        run.setProcessEnvironment(env);
        run.start(Program(), {"--render", dir.filePath("card.qrv"), "--bleed", "3mm", "--crop-marks", "-o",
                              dir.filePath("shop.pdf")});
        QVERIFY(run.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
        QCOMPARE(run.exitCode(), 0);
        QVERIFY2(errors.contains("Text \"Quorvel\" crosses the safe line"), qPrintable(errors));
        const QMap<QString, QRectF> boxes = PdfBoxes(dir.filePath("shop.pdf"));
        QCOMPARE(boxes.value("TrimBox").size().toSize(), QSize(252, 144));
        QCOMPARE(qRound(boxes.value("BleedBox").width() * 10), qRound((252 + 2 * 3 * kMm * 72) * 10));
        // The label's font travels with the file: pdffonts lists it embedded.
        QProcess fonts;
        fonts.start("pdffonts", {dir.filePath("shop.pdf")});
        QVERIFY(fonts.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lines.size() > 2, "the label's text is drawn with a font");
        const qsizetype emb = lines.first().indexOf("emb");
        QVERIFY(emb > 0);
        for (const QString &line : lines.mid(2))
            QVERIFY2(line.mid(emb, 3) == "yes", qPrintable(line));
    }
};

QTEST_MAIN(TestPrintShop)
#include "tst_printshop.moc"
