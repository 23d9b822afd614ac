// Printing to a PDF file needs no print spooler: a spooler that takes the
// connection and never answers holds neither the command line nor the
// built-in "PDF file" printer, the system's printer list is read with a
// time limit and the hang is reported, and the PDF gets the user's file mode.
#include "PrintTestSupport.h"
#include "TestSupport.h"

#include "platform/IniFile.h"
#include "report/PrinterList.h"
#include "surface/BusinessCardPanel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace printtest;

namespace {

struct Outcome {
    int status = -1;
    QString errors;
};

QString Program() { return QDir(QCoreApplication::applicationDirPath()).filePath("../src/quorvel"); }

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

class TestPdfOutput : public QObject
{
    Q_OBJECT

    QTemporaryDir FDir;
    // Listens, never accepts, never answers: connections wait in its backlog
    // as with a scheduler that has stopped responding.
    QLocalServer FSilentSpooler;

    QString SilentSpoolerPath() const { return FDir.filePath("cups.sock"); }

    Outcome Run(const QStringList &args, const QString &home)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUORVEL_HOME", home);
        env.insert("CUPS_SERVER", SilentSpoolerPath());
        env.remove("DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        process.setProcessEnvironment(env);
        process.start(Program(), args);
        // Far beyond any print of one sheet; only a hang reaches it.
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        Outcome out;
        out.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        out.errors = QString::fromLocal8Bit(process.readAllStandardError());
        return out;
    }

private slots:
    void initTestCase()
    {
        testsupport::InitEnvironment();
        QVERIFY(FSilentSpooler.listen(SilentSpoolerPath()));
        // This process's own spooler questions go to the silent one as well.
        qputenv("CUPS_SERVER", SilentSpoolerPath().toLocal8Bit());
    }

    void commandLinePdfNeedsNoSpoolerAndGetsTheUsersFileMode()
    {
        QTemporaryDir home;
        const QString card = home.filePath("card.qrv");
        MakeMarkerCard()->SaveToFile(card);
        const QString pdf = home.filePath("out.pdf");
        const Outcome out = Run({"--print", card, "--output", pdf}, home.path());
        QVERIFY2(out.status == 0, qPrintable("status " + QString::number(out.status) + ": " + out.errors));
        QCOMPARE(PdfPageCount(pdf), 1);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), int(0666 & ~CurrentUmask()));
    }

    void settingsFileTooLargeIsNamedOnTheCommandLine()
    {
        QTemporaryDir home;
        const QString card = home.filePath("card.qrv");
        MakeMarkerCard()->SaveToFile(card);
        QFile settings(home.filePath("qrv.ini"));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[Layout]\nDown=4\n" + QByteArray(int(TIniFile::MaxFileSize()), '\n'));
        settings.close();
        const Outcome out = Run({"--print", card, "--output", home.filePath("out.pdf")}, home.path());
        QCOMPARE(out.status, 1);
        QVERIFY2(out.errors.contains("quorvel: the settings file " + settings.fileName()
                                     + " was not read: too large for a settings file"),
                 qPrintable(out.errors));
        QVERIFY(!QFile::exists(home.filePath("out.pdf")));
    }

    void silentSpoolerIsReportedAndOnlyThePdfPrinterOffered()
    {
        TRPDevice &device = TRPDevice::Instance();
        QStringList reported;
        device.SetProblemReporter([&](const QString &message) { reported << message; });
        QElapsedTimer clock;
        clock.start();
        device.RefreshPrinterList();
        QCOMPARE(device.Printers(), QStringList{report::kPdfPrinterName});
        QVERIFY2(clock.elapsed() < 20000, "the printer list waited for the silent spooler");
        QCOMPARE(reported.size(), 1);
        QVERIFY2(reported[0].contains(SilentSpoolerPath()) && reported[0].contains("does not answer"),
                 qPrintable(reported[0]));
        QVERIFY(device.IsPdfPrinter());
        device.SetProblemReporter({});
    }
};

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"
