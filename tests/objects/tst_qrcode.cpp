// QR code objects: the modules on screen are the encoder's own at every level
// and zoom, a printed code scans back to its text, the card file keeps the
// code, and the dialog shows the code live and refuses a text too long.
#include "LabelTestSupport.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "app/CardExport.h"
#include "dialogs/QRCodeDialog.h"
#include "objects/QRCode.h"
#include "platform/Dialogs.h"
#include "surface/BusinessCardPanel.h"

#include <qrcodegen/qrcodegen.hpp>

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace testsupport;

namespace {

const QStringList kPersonalInfo{"Jane Q. Doe",    "Doe & Sons, Ltd.", "Chief Knot Tier", "12 Rope Walk",
                                "Portsmouth PO1", "",                 "+44 23 9200 0000", "",
                                "jane@doe.example", "+44 23 9200 0001"};

qrcodegen::QrCode::Ecc LibraryLevel(int level)
{
    using E = qrcodegen::QrCode::Ecc;
    return std::array{E::LOW, E::MEDIUM, E::QUARTILE, E::HIGH}.at(size_t(level));
}

QString Zbar()
{
    return QStandardPaths::findExecutable("zbarimg");
}

// What zbarimg reads from a picture file, or why it read nothing.
QString ScanCode(const QString &imageFile)
{
    QProcess zbar;
    zbar.start(Zbar(), {"--raw", "-q", imageFile});
    if (!zbar.waitForFinished(60000))
        return "(zbarimg did not finish)";
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    if (text.endsWith('\n'))
        text.chop(1);
    return text;
}

} // namespace

class TestQRCode : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InitEnvironment(); }

    void modulesAreTheEncodersAtEveryLevelAndZoom_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("quietZone");
        const char *names[] = {"L", "M", "Q", "H"};
        for (int level = 0; level < 4; ++level)
            for (double zoom : {1.0, 1.6})
                QTest::addRow("%s at %.1f", names[level], zoom) << level << zoom << (level == 2 ? 0 : 4);
    }

    void modulesAreTheEncodersAtEveryLevelAndZoom()
    {
        QFETCH(int, level);
        QFETCH(double, zoom);
        QFETCH(int, quietZone);
        const QString text = "https://quorvel.example/cards?id=4711&who=Jane";
        TGQRCode code;
        code.SetText(text);
        code.SetErrorCorrection(TGQRCode::TErrorCorrection(level));
        code.SetQuietZone(quietZone);
        code.SetForeColor(platform::clNavy);
        code.SetBackColor(platform::clYellow);
        code.SetBounds(0, 0, 150, 110); // wider than tall: the square is centred
        code.SetZoom(float(zoom));
        const QImage image = RenderObject(code);

        const auto expected = qrcodegen::QrCode::encodeText(text.toUtf8().constData(), LibraryLevel(level));
        const int n = expected.getSize();
        const int side = std::min(code.Width(), code.Height());
        const double module = double(side) / (n + 2 * quietZone);
        const double left = (code.Width() - side) / 2.0, top = (code.Height() - side) / 2.0;
        QVERIFY2(module >= 1.5, "modules too small to tell apart");
        const auto colourAt = [&](double mx, double my) {
            return image.pixelColor(int(left + (mx + 0.5) * module), int(top + (my + 0.5) * module));
        };
        int wrong = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const QColor want = expected.getModule(x, y) ? QColor(0, 0, 128) : QColor(255, 255, 0);
                if (colourAt(x + quietZone, y + quietZone) != want)
                    ++wrong;
            }
        QCOMPARE(wrong, 0);
        // The quiet zone is background, and nothing is drawn beside the square.
        if (quietZone > 0)
            QCOMPARE(colourAt(0, n / 2 + quietZone), QColor(255, 255, 0));
        QCOMPARE(image.pixelColor(1, code.Height() / 2), QColor(Qt::white));
    }

    void printedCodeScansBackToItsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("size");
        QTest::newRow("web address, M, one inch") << "https://quorvel.example/jane" << 1 << 96;
        QTest::newRow("free text, H, half an inch") << "Knots tied while you wait." << 3 << 48;
        QTest::newRow("vCard, L") << TGQRCode::VCardOf(kPersonalInfo) << 0 << 150;
        QTest::newRow("vCard, Q") << TGQRCode::VCardOf(kPersonalInfo) << 2 << 150;
        // Beyond ASCII the code says it holds UTF-8, and the scanner reads
        // the letters, not the bytes as Latin-1.
        QTest::newRow("accented name") << "Zoë Ångström" << 1 << 96;
        QTest::newRow("vCard beyond Latin-1")
            << TGQRCode::VCardOf({"Zoë Çelik", "Łódź Ćwiek Sp.", "", "東京都", "", "", "+48 1", "", "", ""}) << 1 << 150;
    }

    void printedCodeScansBackToItsText()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        QFETCH(int, size);
        if (Zbar().isEmpty() || !printtest::HavePdftoppm())
            QSKIP("zbarimg or pdftoppm is not installed");
        auto panel = MakePanel(336, 192);
        auto *code = new TGQRCode(panel.get());
        code->SetText(text);
        code->SetErrorCorrection(TGQRCode::TErrorCorrection(level));
        code->Loaded();
        panel->AddNewObject(code, {150, 20, 150 + size, 20 + size});
        // A zoomed panel prints the same card.
        panel->SetZoom(1.3f);

        QTemporaryDir dir;
        TCardExport card;
        card.Panel = panel.get();
        ExportCard(card, dir.filePath("card.pdf"));
        QVERIFY(QFile::exists(dir.filePath("card.pdf")));
        const QList<QImage> pages = printtest::RasterisePdf(dir.filePath("card.pdf"), 600);
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages.first().save(dir.filePath("card.png")));
        QCOMPARE(ScanCode(dir.filePath("card.png")), text);
    }

    void cardFileKeepsTheCode_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::newRow("as made") << false;
        QTest::newRow("every property changed") << true;
    }

    void cardFileKeepsTheCode()
    {
        QFETCH(bool, changed);
        auto panel = MakePanel();
        auto *code = new TGQRCode(panel.get());
        code->SetText(TGQRCode::VCardOf(kPersonalInfo)); // longer than a short string
        if (changed) {
            code->SetErrorCorrection(TGQRCode::ecHigh);
            code->SetForeColor(platform::clMaroon);
            code->SetBackColor(0x00E0F0);
            code->SetTransparent(true);
            code->SetQuietZone(2);
            code->SetPersonalVCard(true);
        }
        code->Loaded();
        panel->AddNewObject(code, {10, 20, 110, 120});
        QTemporaryDir dir;
        panel->SaveToFile(dir.filePath("qr.qrv"));

        QFile file(dir.filePath("qr.qrv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // Properties at their defaults are not written.
        QCOMPARE(bytes.contains("QuietZone"), changed);
        QCOMPARE(bytes.contains("ErrorCorrection"), changed);
        QCOMPARE(bytes.contains("ForeColor"), changed);
        QCOMPARE(bytes.contains("Transparent"), changed);
        QCOMPARE(bytes.contains("PersonalVCard"), changed);
        QVERIFY(bytes.contains("TGQRCode"));

        auto other = MakePanel();
        other->LoadFromFile(dir.filePath("qr.qrv"));
        QCOMPARE(other->Objects().size(), 1);
        auto *read = qobject_cast<TGQRCode *>(other->Objects().first());
        QVERIFY(read);
        QCOMPARE(read->BoundsRect(), QRect(10, 20, 100, 100));
        for (const char *property :
             {"Text", "ErrorCorrection", "ForeColor", "BackColor", "Transparent", "QuietZone", "PersonalVCard"})
            QVERIFY2(read->property(property) == code->property(property), property);
        QCOMPARE(RenderObject(*read), RenderObject(*code));
    }

    void dialogShowsTheCodeLiveAndKeepsItOnlyOnOk_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("personalInfo");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("refused");
        QTest::newRow("typed, OK") << "https://x.example" << false << true << false;
        QTest::newRow("typed, Cancel") << "https://x.example" << false << false << false;
        QTest::newRow("personal information, OK") << QString() << true << true << false;
        QTest::newRow("too long") << QString(3000, 'x') << false << true << true;
    }

    void dialogShowsTheCodeLiveAndKeepsItOnlyOnOk()
    {
        QFETCH(QString, typed);
        QFETCH(bool, personalInfo);
        QFETCH(bool, ok);
        QFETCH(bool, refused);
        TGQRCode code;
        code.SetText("before");
        // A code that followed the personal information stops following it
        // when a text is typed.
        code.SetPersonalVCard(!personalInfo);
        TQRCodeProperties dialog(code, kPersonalInfo);
        ShowActive(&dialog, "QR code dialog");
        const int inkBefore = InkCount(dialog.SamplePanel->grab().toImage(), IsDark);
        if (personalInfo) {
            QTest::mouseClick(dialog.PersonalInfoButton, Qt::LeftButton);
        } else {
            dialog.TextEdit->selectAll();
            QTest::keyClicks(dialog.TextEdit, typed.left(40));
            if (typed.size() > 40)
                dialog.TextEdit->insertPlainText(typed.mid(40));
        }
        const QString expected = personalInfo ? TGQRCode::VCardOf(kPersonalInfo) : typed;
        QCOMPARE(dialog.Sample->Text(), expected);
        const int inkAfter = InkCount(dialog.SamplePanel->grab().toImage(), IsDark);
        if (refused) {
            QCOMPARE(inkAfter, 0);
            QVERIFY(dialog.MessageLabel->text().contains("too long"));
            QVERIFY(!dialog.OKButton->isEnabled());
        } else {
            QVERIFY(inkAfter > 0 && inkAfter != inkBefore);
            QVERIFY(dialog.MessageLabel->text().isEmpty());
        }
        QTest::mouseClick(ok ? dialog.OKButton : dialog.Cancelbutton, Qt::LeftButton);
        QCOMPARE(code.Text(), ok && !refused ? expected : QString("before"));
        QCOMPARE(code.PersonalVCard(), ok && !refused ? personalInfo : !personalInfo);
    }

    void tooLongTextDrawsAndPrintsNothing()
    {
        TGQRCode code;
        code.SetBounds(0, 0, 100, 100);
        code.SetErrorCorrection(TGQRCode::ecHigh);
        code.SetText(QString(1300, 'q'));
        QVERIFY(!code.HasCode());
        QCOMPARE(InkCount(RenderObject(code), [](QRgb p) { return p != qRgb(255, 255, 255); }), 0);
        const QImage page = PrintObject(code, 0.5, 0.5, 300);
        QCOMPARE(printtest::NonWhitePixels(page, page.rect()), 0);
        // At the lowest level the same text fits.
        code.SetErrorCorrection(TGQRCode::ecLow);
        QVERIFY(code.HasCode());
    }

    void toolMakesACodeAndAsksForItsText()
    {
        ScopedEditors editors;
        QStringList offered;
        editors->QRCode = [&offered](QWidget *, TGQRCode &code, const QStringList &info) {
            offered = info;
            code.SetText("from the dialog");
            return true;
        };
        auto panel = MakePanel();
        panel->PersonalInfo = kPersonalInfo;
        panel->SetPanelState(psQRCode);
        Drag(panel.get(), {40, 30}, {43, 32}); // a click: the object's own square
        QCOMPARE(panel->Objects().size(), 1);
        auto *code = qobject_cast<TGQRCode *>(panel->Objects().first());
        QVERIFY(code);
        QCOMPARE(code->Text(), QString("from the dialog"));
        QCOMPARE(offered, kPersonalInfo);
        QVERIFY(code->Width() >= 50 && code->Width() == code->Height());

        // The menu entry puts the personal information in as a vCard.
        code->MenuAction("Use Personal Information")->trigger();
        QCOMPARE(code->Text(), TGQRCode::VCardOf(kPersonalInfo));
        QVERIFY(code->Text().contains("\r\nN:Doe;Jane Q.;;;\r\nFN:Jane Q. Doe\r\nORG:Doe & Sons\\, Ltd.\r\n"));
        QVERIFY(code->PersonalVCard());

        // Without personal information the code stays and the user is told.
        panel->PersonalInfo = QStringList(10, QString());
        QStringList messages;
        CollectMessageTexts(messages);
        code->MenuAction("Use Personal Information")->trigger();
        platform::SetMessageBoxForTests({});
        QCOMPARE(code->Text(), TGQRCode::VCardOf(kPersonalInfo));
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().startsWith("There is no personal information yet."));
    }
};

QTEST_MAIN(TestQRCode)
#include "tst_qrcode.moc"
