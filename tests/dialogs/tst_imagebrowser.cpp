// The image preview box and the image browsers as a user meets them: where a
// picture lands in the box, which files reach which decoder, what selecting
// a good, a broken or an icon file shows, and the texture folder fallback.
#include "TestSupport.h"

#include "dialogs/ImageBrowser.h"
#include "dialogs/ImagePreviewBox.h"
#include "platform/Dialogs.h"
#include "platform/Picture.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>

namespace {

QString WriteFile(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray Encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage Filled(int w, int h, QColor c)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(c);
    return image;
}

bool Select(QListWidget *list, const QString &name)
{
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchFixedString);
    if (found.isEmpty())
        return false;
    list->setCurrentItem(found.first());
    return true;
}

} // namespace

class TestImageBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::InitEnvironment(); }
    void pictureLandsWhereTheOptionsSay_data();
    void pictureLandsWhereTheOptionsSay();
    void onlyTheLastExtensionChoosesTheDecoder_data();
    void onlyTheLastExtensionChoosesTheDecoder();
    void selectingFilesShowsThemOrSaysWhy_data();
    void selectingFilesShowsThemOrSaysWhy();
    void stretchAndAutoSizeExcludeEachOther();
    void missingTextureFolderOpensTheProgramFolder();
};

void TestImageBrowser::pictureLandsWhereTheOptionsSay_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("stretch");
    QTest::addColumn<bool>("aspect");
    QTest::addColumn<bool>("center");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("wide, fitted and centred") << QSize(200, 100) << true << true << true << QRect(0, 26, 105, 52);
    QTest::newRow("tall, fitted and centred") << QSize(50, 100) << true << true << true << QRect(26, 0, 52, 105);
    QTest::newRow("fitted, not centred") << QSize(200, 100) << true << true << false << QRect(0, 0, 105, 52);
    QTest::newRow("stretched without aspect") << QSize(200, 100) << true << false << false << QRect(0, 0, 105, 105);
    QTest::newRow("empty picture fills the box") << QSize(0, 0) << true << true << true << QRect(0, 0, 105, 105);
    QTest::newRow("centred at own size") << QSize(50, 20) << false << true << true << QRect(27, 42, 50, 20);
    QTest::newRow("own size at the corner") << QSize(50, 20) << false << true << false << QRect(0, 0, 50, 20);
}

void TestImageBrowser::pictureLandsWhereTheOptionsSay()
{
    QFETCH(QSize, picture);
    QFETCH(bool, stretch);
    QFETCH(bool, aspect);
    QFETCH(bool, center);
    QFETCH(QRect, expected);
    QCOMPARE(TSmartImage::DestinationRect(QSize(105, 105), picture, stretch, aspect, center), expected);
    if (picture.isEmpty())
        return;
    // The box draws there.
    TSmartImage box;
    box.SetStretch(stretch);
    box.SetMaintainAspect(aspect);
    box.SetCenter(center);
    TPicture red;
    red.SetBitmap(TBitmap::FromImage(Filled(picture.width(), picture.height(), Qt::red)));
    box.SetPicture(red);
    QImage shown(105, 105, QImage::Format_RGB32);
    shown.fill(Qt::white);
    box.render(&shown);
    QCOMPARE(shown.pixel(expected.center()), qRgb(255, 0, 0));
    if (expected.top() > 0)
        QVERIFY(shown.pixel(expected.center().x(), expected.top() - 1) != qRgb(255, 0, 0));
}

void TestImageBrowser::onlyTheLastExtensionChoosesTheDecoder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("decoder");
    QTest::newRow("photo.backup.jpg") << "photo.backup.jpg" << 1;
    QTest::newRow("PICTURE.Bmp") << "PICTURE.Bmp" << 4;
    QTest::newRow("no extension") << "README" << 0;
    QTest::newRow("Targa") << "logo.tga" << 7;
    QTest::newRow("PCX") << "c:/art/logo.pcx" << 8;
    QTest::newRow("metafile") << "art.wmf" << 0;
}

void TestImageBrowser::onlyTheLastExtensionChoosesTheDecoder()
{
    QFETCH(QString, name);
    QFETCH(int, decoder);
    QCOMPARE(TSmartImage::DecoderOf(name), decoder);
}

void TestImageBrowser::selectingFilesShowsThemOrSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<QString>("message");
    const QByteArray bmp = Encoded(Filled(30, 20, Qt::red), "BMP");
    QTest::newRow("bitmap") << "a.bmp" << bmp << QSize(30, 20) << "";
    QTest::newRow("JPEG through the decoder") << "b.jpg" << Encoded(Filled(40, 10, Qt::red), "JPG") << QSize(40, 10) << "";
    QTest::newRow("PNG") << "c.png" << Encoded(Filled(12, 12, Qt::red), "PNG") << QSize(12, 12) << "";
    QTest::newRow("icon arrives as a bitmap") << "d.ico" << Encoded(Filled(16, 16, Qt::red), "ICO") << QSize(16, 16) << "";
    QTest::newRow("truncated bitmap") << "e.bmp" << bmp.left(200) << QSize() << "Error loading file!";
    QTest::newRow("broken metafile") << "f.wmf" << QByteArray(64, '\x11') << QSize() << "Error loading file!";
    QTest::newRow("broken JPEG: silent") << "g.jpg" << QByteArray("\xff\xd8\xff\xe0 not really", 16) << QSize() << "";
}

void TestImageBrowser::selectingFilesShowsThemOrSaysWhy()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, shown);
    QFETCH(QString, message);
    QTemporaryDir dir;
    WriteFile(dir.path(), name, bytes);
    QStringList messages;
    testsupport::CollectMessageTexts(messages);
    TGImageBrowser browser;
    browser.SetDirectory(dir.path());
    QVERIFY(Select(browser.FileListBox1, name));
    platform::SetMessageBoxForTests({});
    QCOMPARE(messages, message.isEmpty() ? QStringList() : QStringList{message});
    TPicture *picture = browser.Image1->Picture();
    if (shown.isEmpty()) {
        QVERIFY(picture->IsEmpty());
        return;
    }
    QCOMPARE(picture->Kind(), TPicture::pkBitmap);
    QCOMPARE(QSize(picture->Width(), picture->Height()), shown);
    const QRgb centre = picture->ToImage().pixel(shown.width() / 2, shown.height() / 2);
    QVERIFY(qRed(centre) > 200 && qGreen(centre) < 50);
    QCOMPARE(browser.SelectedFile(), QDir(dir.path()).filePath(name));
}

void TestImageBrowser::stretchAndAutoSizeExcludeEachOther()
{
    TGImageBrowser browser;
    browser.CBStretch->setChecked(true);
    QTest::mouseClick(browser.CBAutoSize, Qt::LeftButton, {}, QPoint(5, browser.CBAutoSize->height() / 2));
    QVERIFY(browser.CBAutoSize->isChecked());
    QVERIFY(!browser.CBStretch->isChecked());
    QTest::mouseClick(browser.CBStretch, Qt::LeftButton, {}, QPoint(5, browser.CBStretch->height() / 2));
    QVERIFY(browser.CBStretch->isChecked());
    QVERIFY(!browser.CBAutoSize->isChecked());
}

void TestImageBrowser::missingTextureFolderOpensTheProgramFolder()
{
    QDir(testsupport::ProgramFolder()).rmdir(QStringLiteral("bmbrush"));
    TGBrushImageBrowser browser;
    browser.OpenTextureFolder();
    QCOMPARE(QDir(browser.Directory()), QDir(testsupport::ProgramFolder()));
    QVERIFY(QDir(testsupport::ProgramFolder()).mkpath(QStringLiteral("bmbrush")));
    WriteFile(testsupport::ProgramFolder() + QStringLiteral("/bmbrush"), QStringLiteral("t.bmp"),
              Encoded(Filled(8, 8, Qt::blue), "BMP"));
    browser.OpenTextureFolder();
    QVERIFY(Select(browser.FileListBox1, QStringLiteral("t.bmp")));
    QCOMPARE(browser.Image().Width(), 8);
}

QTEST_MAIN(TestImageBrowser)
#include "tst_imagebrowser.moc"
