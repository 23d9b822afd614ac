// Exporting the card: PNG, SVG and PDF each open with a standard reader at
// the card's size, a PNG matches the rasterised PDF of the same card, the
// command line chooses the format by the output's extension, and the menu
// command writes what the user chose.
#include "AppTestKit.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/AppHelpers.h"
#include "app/CardExport.h"
#include "app/ExportCardDialog.h"
#include "app/MainWindow.h"
#include "objects/QRCode.h"
#include "surface/BusinessCardPanel.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

// The marker card with more shapes and a QR code: text-free, so that no font
// difference between readers enters the comparison.
std::unique_ptr<TGBusinessCardPanel32> SampleCard()
{
    auto panel = printtest::MakeMarkerCard(true);
    auto *code = new TGQRCode(panel.get());
    code->SetText("https://quorvel.example");
    code->Loaded();
    panel->AddNewObject(code, {20, 110, 90, 180});
    Flush();
    return panel;
}

// "Page size:      252 x 144 pts" of pdfinfo, as the two numbers.
QSizeF PdfPageSize(const QString &file)
{
    QProcess info;
    info.start("pdfinfo", {file});
    if (!info.waitForFinished(30000))
        return {};
    for (const QString &line : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Page size:")) {
            const QStringList words = line.mid(10).simplified().split(' ');
            return QSizeF(words.value(0).toDouble(), words.value(2).toDouble());
        }
    return {};
}

// Pixels of a that no pixel of b within one pixel matches: edges drawn with
// or without smoothing, or a pixel to either side, do not count.
int DifferentPixels(const QImage &a, const QImage &b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            bool matched = false;
            for (int dy = -1; dy <= 1 && !matched; ++dy)
                for (int dx = -1; dx <= 1 && !matched; ++dx) {
                    const QPoint q(x + dx, y + dy);
                    // The PDF is rasterised in grey.
                    matched = b.rect().contains(q) && qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(q))) <= 48;
                }
            if (!matched)
                ++count;
        }
    return count;
}

QString Program() { return QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"); }

} // namespace

class TestCardExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void eachFormatOpensAtTheCardsSize_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSizeF>("card");
        QTest::newRow("PNG, 300 dpi") << "card.png" << 300 << QSizeF(3.5, 2.0);
        QTest::newRow("PNG, 96 dpi, upper-case name") << "CARD.PNG" << 96 << QSizeF(3.5, 2.0);
        QTest::newRow("SVG") << "card.svg" << 300 << QSizeF(3.5, 2.0);
        QTest::newRow("PDF") << "card.pdf" << 300 << QSizeF(3.5, 2.0);
        QTest::newRow("PDF, European card") << "card.pdf" << 300 << QSizeF(85 / 25.4, 55 / 25.4);
    }

    void eachFormatOpensAtTheCardsSize()
    {
        QFETCH(QString, file);
        QFETCH(int, dpi);
        QFETCH(QSizeF, card);
        auto panel = SampleCard();
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        TCardExport what;
        what.Panel = panel.get();
        what.CardSize = card;
        what.Dpi = dpi;
        ExportCard(what, path);

        switch (*ExportFormatOf(path)) {
        case efPng: {
            const QImage image(path);
            QCOMPARE(image.size(), QSize(qRound(card.width() * dpi), qRound(card.height() * dpi)));
            QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dpi);
            // The marker: a black box an inch wide, half an inch from the left.
            QVERIFY(printtest::IsDark(image, dpi * 3 / 4, dpi * 3 / 4));
            QVERIFY(printtest::IsWhite(image, dpi / 8, dpi / 8));
            break;
        }
        case efSvg: {
            QSvgRenderer svg(path);
            QVERIFY(svg.isValid());
            QCOMPARE(svg.viewBoxF().size(), card * 96);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray xml = f.readAll();
            // Shapes and the code as vectors, not as a picture.
            QVERIFY(xml.contains("<path"));
            QVERIFY(!xml.contains("<image"));
            break;
        }
        case efPdf: {
            const QSizeF points = PdfPageSize(path);
            QVERIFY2(qAbs(points.width() - card.width() * 72) < 1.0, qPrintable(QString::number(points.width())));
            QVERIFY(qAbs(points.height() - card.height() * 72) < 1.0);
            break;
        }
        }
    }

    void pngMatchesTheRasterisedPdf()
    {
        if (!printtest::HavePdftoppm())
            QSKIP("pdftoppm is not installed");
        auto panel = SampleCard();
        QTemporaryDir dir;
        TCardExport what;
        what.Panel = panel.get();
        ExportCard(what, dir.filePath("card.png"));
        ExportCard(what, dir.filePath("card.pdf"));
        const QImage png = QImage(dir.filePath("card.png")).convertToFormat(QImage::Format_RGB32);
        const QList<QImage> pages = printtest::RasterisePdf(dir.filePath("card.pdf"), 300);
        QCOMPARE(pages.size(), 1);
        const QImage pdf = pages.first().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(pdf.size(), png.size());
        const int inked = printtest::NonWhitePixels(png, png.rect());
        QVERIFY(inked > png.width() * png.height() / 20);
        const int differ = DifferentPixels(png, pdf);
        QVERIFY2(differ < inked / 200, qPrintable(QString("%1 of %2 pixels differ").arg(differ).arg(inked)));
    }

    void transparentPngLeavesTheCardOut()
    {
        auto panel = SampleCard();
        QTemporaryDir dir;
        TCardExport what;
        what.Panel = panel.get();
        what.Dpi = 100;
        what.TransparentBackground = true;
        ExportCard(what, dir.filePath("card.png"));
        const QImage image(dir.filePath("card.png"));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(5, 5)), 0);
        QCOMPARE(qAlpha(image.pixel(75, 75)), 255); // the black marker
    }

    void renderChoosesTheFormatByExtension_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("result");
        QTest::newRow("png at 150 dpi") << QStringList{"--output", "@/c.png", "--dpi", "150"} << 0 << "525x300";
        QTest::newRow("svg") << QStringList{"--output", "@/c.svg"} << 0 << "336x192";
        QTest::newRow("pdf") << QStringList{"--output", "@/c.pdf"} << 0 << "252x144";
        QTest::newRow("unknown extension") << QStringList{"--output", "@/c.gif"} << 1
                                           << "quorvel: @/c.gif: the card can be exported as .png, .svg or .pdf";
        QTest::newRow("dpi too high") << QStringList{"--output", "@/c.png", "--dpi", "5000"} << 1
                                      << "quorvel: --dpi takes a number from 1 to 1200";
        QTest::newRow("dpi too low") << QStringList{"--output", "@/c.png", "--dpi", "10"} << 1
                                     << "quorvel: The resolution must be from 36 to 1200 dpi";
        QTest::newRow("zoom with pdf") << QStringList{"--output", "@/c.pdf", "--zoom", "1.2"} << 1
                                       << "quorvel: --zoom draws a .png as the panel shows it; it does not go with "
                                          "--dpi, .svg or .pdf";
    }

    void renderChoosesTheFormatByExtension()
    {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, result);
        QTemporaryDir dir;
        SampleCard()->SaveToFile(dir.filePath("card.qrv"));
        for (QString &o : options)
            o.replace("@", dir.path());
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", dir.path());
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(env);
        program.start(Program(), QStringList{"--render", dir.filePath("card.qrv")} + options);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), status);
        if (status != 0) {
            QCOMPARE(QString::fromUtf8(program.readAllStandardError()).trimmed().split('\n').last(),
                     result.replace("@", dir.path()));
            return;
        }
        const QString out = options.at(1);
        QSize size;
        if (out.endsWith(".png"))
            size = QImage(out).size();
        else if (out.endsWith(".svg"))
            size = QSvgRenderer(out).viewBox().size();
        else
            size = PdfPageSize(out).toSize();
        QCOMPARE(QString("%1x%2").arg(size.width()).arg(size.height()), result);
    }

    void menuCommandWritesTheChosenFile()
    {
        apptest::PinPrinters();
        apptest::MessageBoxes boxes;
        boxes.Install();
        auto main = apptest::StartMainWindow();
        AddShape(*main->BusinessCardPanel(), 30, 40, 60, 30);
        QTemporaryDir dir;
        QString offeredName;
        SetFileDialogRunnerForTests([&](QFileDialog &dialog) -> std::optional<QString> {
            offeredName = dialog.selectedFiles().value(0);
            return dir.filePath("mine"); // no extension: the chosen filter's is added
        });
        int dpiOffered = 0;
        SetDialogRunnerForTests([&dpiOffered](QDialog &dialog) {
            auto *options = qobject_cast<TExportCardOptions *>(&dialog);
            if (!options)
                return int(QDialog::Rejected);
            dpiOffered = options->DpiSpin->value();
            options->DpiSpin->setValue(72);
            options->TransparentCheck->setChecked(true);
            return int(QDialog::Accepted);
        });
        QAction *command = main->findChild<QAction *>("mnuExportCard");
        QVERIFY(command);
        command->trigger();
        SetFileDialogRunnerForTests({});
        SetDialogRunnerForTests({});
        apptest::Discard(main);
        QCOMPARE(boxes.Texts(), QStringList());
        QVERIFY(offeredName.endsWith("Card.png"));
        QCOMPARE(dpiOffered, 300);
        const QImage image(dir.filePath("mine.png"));
        QCOMPARE(image.size(), QSize(252, 144));
        QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
        QCOMPARE(qAlpha(image.pixel(50, 50)), 255); // inside the white rectangle
    }
};

QTEST_MAIN(TestCardExport)
#include "tst_cardexport.moc"
