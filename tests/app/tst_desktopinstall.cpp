// The desktop install: `cmake --install` into a fresh prefix puts every file
// a Linux desktop needs in its place, the menu entry and the file type pass
// their validators, and a card file is recognised by its name and, without
// one, by its first bytes.
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The build folder: the nearest folder above the test holding CMakeCache.txt.
QString BuildFolder()
{
    QDir dir(QCoreApplication::applicationDirPath());
    do {
        if (dir.exists("CMakeCache.txt"))
            return dir.absolutePath();
    } while (dir.cdUp());
    return QString();
}

struct Run {
    int status = -1;
    QString output;
};

Run Execute(const QString &program, const QStringList &args, const QProcessEnvironment &env = {})
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

} // namespace

class TestDesktopInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir FPrefix;

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        QVERIFY(!BuildFolder().isEmpty());
        const Run install = Execute("cmake", {"--install", BuildFolder(), "--prefix", FPrefix.path()});
        QVERIFY2(install.status == 0, qPrintable(install.output));
    }

    void installHoldsEveryFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("iconSize");
        QTest::newRow("program") << "bin/quorvel" << 0;
        QTest::newRow("picture decoder") << "libexec/quorvel/quorvel-picture-decoder" << 0;
        QTest::newRow("menu entry") << "share/applications/quorvel.desktop" << 0;
        QTest::newRow("scalable icon") << "share/icons/hicolor/scalable/apps/quorvel.svg" << 0;
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d pixel icon", size) << QString("share/icons/hicolor/%1x%1/apps/quorvel.png").arg(size)
                                                 << size;
        QTest::newRow("card file type") << "share/mime/packages/quorvel.xml" << 0;
        QTest::newRow("manual page") << "share/man/man1/quorvel.1" << 0;
    }

    void installHoldsEveryFile()
    {
        QFETCH(QString, path);
        QFETCH(int, iconSize);
        const QFileInfo file(QDir(FPrefix.path()).filePath(path));
        QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
        if (path.startsWith("bin/") || path.startsWith("libexec/"))
            QVERIFY(file.isExecutable());
        if (iconSize > 0) {
            const QImage icon(file.filePath());
            QCOMPARE(icon.size(), QSize(iconSize, iconSize));
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0); // a shape, not a square
        }
    }

    void filesPassTheirValidators_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("menu entry") << "desktop-file-validate" << QStringList{"share/applications/quorvel.desktop"};
        QTest::newRow("file type") << "xmllint" << QStringList{"--noout", "share/mime/packages/quorvel.xml"};
        QTest::newRow("icon") << "xmllint" << QStringList{"--noout", "share/icons/hicolor/scalable/apps/quorvel.svg"};
        QTest::newRow("file type database") << "update-mime-database" << QStringList{"share/mime"};
    }

    void filesPassTheirValidators()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, args);
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(tool + " is not installed"));
        for (QString &a : args)
            if (!a.startsWith("--"))
                a = QDir(FPrefix.path()).filePath(a);
        const Run run = Execute(tool, args);
        QVERIFY2(run.status == 0, qPrintable(run.output));
        // Hints are fine; errors and warnings are not.
        QVERIFY2(!run.output.contains("error", Qt::CaseInsensitive), qPrintable(run.output));
        QVERIFY2(!run.output.contains("warning", Qt::CaseInsensitive), qPrintable(run.output));
    }

    void manualPageIsTheHelp()
    {
        QFile page(QDir(FPrefix.path()).filePath("share/man/man1/quorvel.1"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(page.readAll());
        QVERIFY(text.contains(".TH QUORVEL \"1\""));
        for (const char *option : {"\\-\\-print", "\\-\\-render", "\\-\\-dump", "\\-\\-dpi"})
            QVERIFY2(text.contains(QLatin1String(option)), option);
    }

    void cardFilesAreRecognised_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isCard");
        const QByteArray card = QByteArray("\x01TPF0\x08TBCShapes\x00", 16) + QByteArray(20, '\0');
        QTest::newRow("by name") << "Jane.qrv" << QByteArray("\x01\x00", 2) << true;
        QTest::newRow("by name, upper case") << "JANE.QRV" << QByteArray("\x01\x00", 2) << true;
        QTest::newRow("by content alone") << "card-from-mail" << card << true;
        QTest::newRow("other binary") << "other" << QByteArray("\x02TPF0xxxxxxxx", 13) << false;
    }

    void cardFilesAreRecognised()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, isCard);
        // Only the installed file type, besides the system's: the database is
        // read where XDG_DATA_DIRS points when it is first used.
        static const bool pointed = [this] {
            qputenv("XDG_DATA_DIRS", QDir(FPrefix.path()).filePath("share").toUtf8() + ":/usr/share");
            return true;
        }();
        Q_UNUSED(pointed);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        const QMimeType type = QMimeDatabase().mimeTypeForFile(file.fileName());
        QCOMPARE(type.name() == "application/x-quorvel-card", isCard);
    }
};

QTEST_MAIN(TestDesktopInstall)
#include "tst_desktopinstall.moc"
