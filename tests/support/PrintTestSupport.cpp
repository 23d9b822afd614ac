#include "PrintTestSupport.h"

#include "TestSupport.h"
#include "objects/BusinessCardShape.h"
#include "platform/Colors.h"
#include "platform/Rounding.h"
#include "printing/SheetPrinting.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <pwd.h>
#include <unistd.h>

namespace printtest {

// ---- the print commands' windows ----

ModalScript::ModalScript(QList<Step> steps) : FSteps(std::move(steps))
{
    connect(&FTimer, &QTimer::timeout, this, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && !FSteps.isEmpty() && FSteps.first()(modal))
            FSteps.removeFirst();
    });
    FTimer.start(5);
}

ModalScript::Step CloseStatusFormWhenDone(QStringList *finalStatus)
{
    return [finalStatus](QWidget *w) {
        auto *form = qobject_cast<TLabelPrinter *>(w);
        if (!form || !form->RunOver())
            return false;
        if (finalStatus)
            finalStatus->append(form->StatusLabel()->text());
        form->Button()->click();
        return true;
    };
}

// ---- the card ----

namespace {

TBCShapes *AddFrame(TGBusinessCardPanel32 &panel, int left, int top, int width, int height)
{
    return static_cast<TBCShapes *>(testsupport::AddShape(panel, left, top, width, height));
}

} // namespace

std::unique_ptr<TGBusinessCardPanel32> MakeMarkerCard(bool moreShapes)
{
    auto panel = testsupport::MakePanel(336, 192);
    TBCShapes *marker = AddFrame(*panel, 24, 48, 96, 48);
    marker->Pen()->SetStyle(Vcl::psClear);
    marker->Brush()->SetColor(platform::clBlack);
    marker->Brush()->SetStyle(Vcl::bsSolid);
    if (moreShapes) {
        TBCShapes *ring = AddFrame(*panel, 200, 20, 100, 100);
        ring->SetShape(TGLabelShapes::stEllipse);
        ring->Pen()->SetWidth(4);
        ring->Brush()->SetStyle(Vcl::bsClear);
        TBCShapes *box = AddFrame(*panel, 150, 130, 150, 40);
        box->SetShape(TGLabelShapes::stRoundRect);
        box->Brush()->SetColor(platform::clRed);
    }
    testsupport::Flush();
    return panel;
}

// ---- recorded pages ----

TPageMetrics LetterPage(int dpi, double strip)
{
    TPageMetrics m;
    m.XDPI = m.YDPI = dpi;
    m.PaperSize = QSizeF(8.5, 11.0);
    m.UnprintableLeft = m.UnprintableTop = m.UnprintableRight = m.UnprintableBottom = strip;
    return m;
}

QImage RecordedRegion(const TPageRecording &recording, int page, const QRect &region)
{
    QImage image(region.size(), QImage::Format_RGB32);
    // A resolution other than the 96 pictures are recorded with, so that the
    // replay's own correction is part of what is checked.
    image.setDotsPerMeterX(platform::Round(recording.Metrics.XDPI / 0.0254));
    image.setDotsPerMeterY(platform::Round(recording.Metrics.YDPI / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(-region.topLeft());
    PlayRecordedPage(painter, recording, page);
    return image;
}

int Device(double inches, int dpi)
{
    return platform::Round(inches * dpi);
}

bool IsDark(const QImage &image, int x, int y)
{
    return image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
}

bool IsWhite(const QImage &image, int x, int y)
{
    return image.valid(x, y) && qGray(image.pixel(x, y)) > 250;
}

int NonWhitePixels(const QImage &image, const QRect &area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += !IsWhite(image, x, y);
    return n;
}

int FirstDarkInRow(const QImage &image, int y, int fromX, int toX)
{
    for (int x = fromX; x <= toX; ++x)
        if (IsDark(image, x, y))
            return x;
    return -1;
}

int LastDarkInRow(const QImage &image, int y, int fromX, int toX)
{
    for (int x = toX; x >= fromX; --x)
        if (IsDark(image, x, y))
            return x;
    return -1;
}

int FirstDarkInColumn(const QImage &image, int x, int fromY, int toY)
{
    for (int y = fromY; y <= toY; ++y)
        if (IsDark(image, x, y))
            return y;
    return -1;
}

int LastDarkInColumn(const QImage &image, int x, int fromY, int toY)
{
    for (int y = toY; y >= fromY; --y)
        if (IsDark(image, x, y))
            return y;
    return -1;
}

QRect MarkerOnPage(QPointF origin, int dpi)
{
    const QRectF inches = kMarkerInches.translated(origin);
    return QRect(QPoint(Device(inches.left(), dpi), Device(inches.top(), dpi)),
                 QPoint(Device(inches.right(), dpi) - 1, Device(inches.bottom(), dpi) - 1));
}

QRect FindMarker(const QImage &page, QPointF origin, int dpi)
{
    const QRect expected = MarkerOnPage(origin, dpi);
    const int slack = dpi / 5;
    const QPoint c = expected.center();
    const int left = FirstDarkInRow(page, c.y(), expected.left() - slack, c.x());
    const int right = LastDarkInRow(page, c.y(), c.x(), expected.right() + slack);
    const int top = FirstDarkInColumn(page, c.x(), expected.top() - slack, c.y());
    const int bottom = LastDarkInColumn(page, c.x(), c.y(), expected.bottom() + slack);
    if (left < 0 || right < 0 || top < 0 || bottom < 0)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// ---- PDF files ----

int PdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

int PdfPageCount(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return PdfPageCount(f.readAll());
}

bool HavePdftoppm()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

QList<QImage> RasterisePdf(const QString &file, int dpi, QString *why)
{
    QTemporaryDir dir;
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"), file, dir.filePath("page")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        if (why)
            *why = QStringLiteral("pdftoppm failed on %1: %2").arg(file, QString::fromLocal8Bit(process.readAllStandardError()));
        return {};
    }
    QList<QImage> pages;
    for (const QString &name : QDir(dir.path()).entryList({QStringLiteral("page*.pgm")}, QDir::Files, QDir::Name))
        pages.append(QImage(dir.filePath(name)));
    return pages;
}

QList<TPdfWord> PdfWords(const QString &file, int page)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), file, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    // <word xMin="54.000000" yMin="36.1" xMax="80.2" yMax="44.0">Text</word>, in points
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([-0-9.]+)\" yMin=\"([-0-9.]+)\" xMax=\"([-0-9.]+)\" yMax=\"([-0-9.]+)\">([^<]*)</word>"));
    QList<TPdfWord> words;
    const QString xhtml = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = word.globalMatch(xhtml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(5);
        text.replace(QLatin1String("&quot;"), QLatin1String("\"")).replace(QLatin1String("&gt;"), QLatin1String(">"));
        text.replace(QLatin1String("&apos;"), QLatin1String("'"));
        text.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&amp;"), QLatin1String("&"));
        words.append({text, QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) / 72.0,
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()) / 72.0)});
    }
    return words;
}

// ---- the print spooler ----

namespace {

QString RunTool(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(10000))
        return QString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString ExpandUser(QString path)
{
    const passwd *user = getpwuid(getuid());
    const QString name = user ? QString::fromLocal8Bit(user->pw_name) : qEnvironmentVariable("USER");
    const QString home = user ? QString::fromLocal8Bit(user->pw_dir) : QDir::homePath();
    path.replace(QLatin1String("${HOME}"), home);
    path.replace(QLatin1String("${USER}"), name);
    return path;
}

} // namespace

bool SpoolerReady(QString *why)
{
    if (!RunTool(QStringLiteral("lpstat"), {QStringLiteral("-r")}).contains(QLatin1String("is running"))) {
        *why = QStringLiteral("no CUPS scheduler is running");
        return false;
    }
    if (!QPrinterInfo::availablePrinterNames().contains(kSpoolQueue)) {
        *why = QStringLiteral("the CUPS queue %1 does not exist").arg(kSpoolQueue);
        return false;
    }
    if (QPrinterInfo::defaultPrinterName() != kSpoolQueue) {
        *why = QStringLiteral("%1 is not the default printer").arg(kSpoolQueue);
        return false;
    }
    return true;
}

QString SpoolOutputFolder()
{
    QString out = QStringLiteral("/var/spool/cups-pdf/${USER}");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!conf.atEnd()) {
            const QString line = QString::fromLocal8Bit(conf.readLine()).trimmed();
            if (line.startsWith(QLatin1String("Out ")))
                out = line.mid(4).trimmed();
        }
    }
    return ExpandUser(out);
}

QString WaitForSpooledPdf(int jobId, int timeoutMs)
{
    const QString job = QStringLiteral("%1-%2").arg(kSpoolQueue).arg(jobId);
    const QString pattern = QStringLiteral("*job_%1.pdf").arg(jobId);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QString completed = RunTool(QStringLiteral("lpstat"),
                                          {QStringLiteral("-W"), QStringLiteral("completed"), QStringLiteral("-o"),
                                           kSpoolQueue});
        const bool done = completed.split(QLatin1Char('\n')).filter(QRegularExpression(
                                                                         QStringLiteral("^%1\\s").arg(job)))
                              .size()
            > 0;
        if (done) {
            const QDir folder(SpoolOutputFolder());
            const QStringList files = folder.entryList({pattern}, QDir::Files);
            if (!files.isEmpty())
                return folder.filePath(files.first());
        }
        QThread::msleep(100);
    }
    return QString();
}

std::optional<QByteArray> SpooledJobText(int jobId, const QByteArray &name)
{
    QFile control(QStringLiteral("/var/spool/cups/c%1").arg(jobId, 5, 10, QLatin1Char('0')));
    if (!control.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = control.readAll();
    // An attribute: value tag, name length (2 bytes), name, value length
    // (2 bytes), value.
    QByteArray key;
    key.append(char(name.size() >> 8)).append(char(name.size() & 0xff)).append(name);
    const qsizetype at = data.indexOf(key);
    if (at < 0 || at + key.size() + 2 > data.size())
        return std::nullopt;
    const qsizetype lengthAt = at + key.size();
    const int length = (uchar(data[lengthAt]) << 8) | uchar(data[lengthAt + 1]);
    return data.mid(lengthAt + 2, length);
}

std::optional<int> SpooledJobInteger(int jobId, const QByteArray &name)
{
    const std::optional<QByteArray> value = SpooledJobText(jobId, name);
    if (!value || value->size() != 4)
        return std::nullopt;
    const QByteArray &v = *value;
    return int((uchar(v[0]) << 24) | (uchar(v[1]) << 16) | (uchar(v[2]) << 8) | uchar(v[3]));
}

} // namespace printtest
