// Printing from a cold start of the command line: the program is run as a
// fresh process to print one sheet of ten cards of a card holding 20 objects
// and background art into a PDF, then 100 sheets. Prints the times (best and
// median of several runs), the time per further sheet, the PDF sizes and how
// many pictures each PDF stores.
//
//   bench_print [path/to/quorvel] [runs]
#include "objects/BusinessCardShape.h"
#include "objects/LineShape.h"
#include "objects/TextLabel.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

// 8 frame shapes, 6 lines and 6 text labels spread over the card.
void BuildCard(TGBusinessCardPanel32 &panel)
{
    for (int i = 0; i < 20; ++i) {
        TGGraphicControl *o;
        if (i < 8) {
            auto *shape = new TBCShapes(&panel);
            shape->SetShape(TGLabelShapes::TShapeType(i % 6));
            shape->Pen()->SetWidth(1 + i % 3);
            shape->Brush()->SetColor(int32_t(0x203040 * (i + 1) & 0xFFFFFF));
            o = shape;
        } else if (i < 14) {
            auto *line = new TGLineShape(&panel);
            line->Pen()->SetWidth(1 + i % 2);
            o = line;
        } else {
            auto *label = new TGPLabel(&panel);
            label->SetCaption(QStringLiteral("Quorvel business card %1").arg(i));
            o = label;
        }
        o->Loaded();
        const int column = i % 5, row = i / 5;
        panel.AddNewObject(o, {10 + column * 64, 8 + row * 45, 0, 0});
        o->SetBounds(o->Left(), o->Top(), 60, 36);
    }
}

QImage BackgroundArt()
{
    QImage art(336, 192, QImage::Format_RGB32);
    QPainter p(&art);
    QLinearGradient gradient(0, 0, 336, 192);
    gradient.setColorAt(0, QColor(250, 245, 225));
    gradient.setColorAt(1, QColor(200, 220, 245));
    p.fillRect(art.rect(), gradient);
    return art;
}

struct Runs {
    double best = 0;
    double median = 0;
};

Runs Time(const QString &program, const QStringList &args, const QString &home, int runs, bool *ok)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEL_HOME"), home);
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, args);
        process.waitForFinished(120000);
        times << timer.nsecsElapsed() / 1e6;
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(args.join(' ')),
                         process.readAllStandardError().constData());
            *ok = false;
            return {};
        }
    }
    std::sort(times.begin(), times.end());
    return {times.first(), times.at(times.size() / 2)};
}

int PicturesIn(const QByteArray &pdf)
{
    static const QRegularExpression image(QStringLiteral("/Subtype\\s*/Image"));
    return int(QString::fromLatin1(pdf).count(image));
}

QByteArray ReadAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString program = args.size() > 1 ? args.at(1)
                                            : QDir(QApplication::applicationDirPath()).filePath("../src/quorvel");
    const int runs = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 7;
    if (!QFile::exists(program)) {
        std::fprintf(stderr, "quorvel not found at %s; pass its path as the first argument\n", qPrintable(program));
        return 1;
    }

    QTemporaryDir home;
    const QString card = home.filePath(QStringLiteral("card.qrv"));
    {
        TGBusinessCardPanel32 panel;
        panel.resize(336, 192);
        BuildCard(panel);
        panel.SaveToFile(card);
    }
    const QString art = home.filePath(QStringLiteral("art.bmp"));
    BackgroundArt().save(art, "BMP");
    {
        QFile side(home.filePath(QStringLiteral("card.QRE")));
        side.open(QIODevice::WriteOnly);
        side.write(art.toUtf8() + "\r\n");
    }

    bool ok = true;
    const QString one = home.filePath(QStringLiteral("one.pdf"));
    const QString hundred = home.filePath(QStringLiteral("hundred.pdf"));
    const Runs start = Time(program, {QStringLiteral("--version")}, home.path(), runs, &ok);
    const Runs sheet = Time(program, {QStringLiteral("--print"), card, QStringLiteral("--output"), one}, home.path(),
                            runs, &ok);
    const Runs sheets = Time(program,
                             {QStringLiteral("--print"), card, QStringLiteral("--output"), hundred,
                              QStringLiteral("--sheets"), QStringLiteral("100")},
                             home.path(), qMax(1, runs / 2), &ok);
    if (!ok)
        return 1;

    const QByteArray onePdf = ReadAll(one);
    const QByteArray hundredPdf = ReadAll(hundred);
    std::printf("cold start of quorvel --version:              best %7.1f ms, median %7.1f ms\n", start.best,
                start.median);
    std::printf("1 sheet (10 cards of 20 objects + art) to PDF: best %7.1f ms, median %7.1f ms, %lld bytes, %d picture(s)\n",
                sheet.best, sheet.median, static_cast<long long>(onePdf.size()), PicturesIn(onePdf));
    std::printf("100 sheets to PDF:                             best %7.1f ms, median %7.1f ms, %lld bytes, %d picture(s)\n",
                sheets.best, sheets.median, static_cast<long long>(hundredPdf.size()), PicturesIn(hundredPdf));
    std::printf("each further sheet:                            %.2f ms\n", (sheets.best - sheet.best) / 99.0);
    return 0;
}
