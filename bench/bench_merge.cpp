// Printing one card for a whole team from the command line: a card with
// three labels bound to personal information, two plain labels, four frame
// shapes and a QR code of the person's vCard is printed for 100 people from
// a CSV file, 10 cards each (100 sheets), into a PDF; and, for comparison,
// 100 sheets of the same card without the people; 1,000 people a sheet
// each; 1,000 people one card each (100 sheets); and, in the process, the
// reading of a CSV whose header has 100,000 columns over rows of one value.
// Prints best and median times of several runs.
//
//   bench_merge [path/to/quorvel] [runs] [--designers-code]
//
// --designers-code writes the code as fixed text, so that a program from
// before personal codes can read the card and be compared.
#include "BenchSupport.h"
#include "objects/BusinessCardLabel.h"
#include "objects/BusinessCardShape.h"
#include "objects/QRCode.h"
#include "printing/PeopleList.h"
#include "printing/PeopleMerge.h"
#include "surface/BusinessCardPanel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

void BuildCard(TGBusinessCardPanel32 &panel, bool personalCode)
{
    const QStringList fields{"Name", "Title", "EMail", "", ""};
    for (int i = 0; i < fields.size(); ++i) {
        auto *label = new TGBusinessCardLabel(&panel);
        label->SetCaption(fields[i].isEmpty() ? QStringLiteral("Acme Widgets %1").arg(i) : fields[i]);
        label->SetPersonalField(fields[i]);
        label->Loaded();
        // As wide as the text tool leaves a label for "Acme Widgets 1".
        panel.AddNewObject(label, {12, 10 + i * 34, 12 + 150, 10 + i * 34 + 20});
    }
    // A code that carries each person's vCard (or, for a program from before
    // codes could, the designer's).
    auto *code = new TGQRCode(&panel);
    code->SetText(TGQRCode::VCardOf({QStringLiteral("Designer")}));
    code->SetPersonalVCard(personalCode);
    code->Loaded();
    panel.AddNewObject(code, {236, 130, 236 + 60, 130 + 60});
    for (int i = 0; i < 4; ++i) {
        auto *shape = new TBCShapes(&panel);
        shape->SetShape(TGLabelShapes::TShapeType(i));
        shape->Loaded();
        panel.AddNewObject(shape, {240 + (i % 2) * 44, 20 + (i / 2) * 60, 0, 0});
        shape->SetBounds(shape->Left(), shape->Top(), 40, 40);
    }
}

struct Runs {
    double best = 0;
    double median = 0;
    // Processor time of the fastest run: the figure that holds when other
    // work shares the machine.
    double cpu = 0;
};

double ChildrenCpuMs()
{
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Runs Time(const QString &program, const QStringList &args, const QString &home, int runs, bool *ok)
{
    QList<double> times;
    double bestCpu = 0;
    for (int i = 0; i < runs; ++i) {
        const double cpuBefore = ChildrenCpuMs();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEL_HOME"), home);
        process.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        process.start(program, args);
        process.waitForFinished(300000);
        const double wall = timer.nsecsElapsed() / 1e6;
        if (times.isEmpty() || wall < *std::min_element(times.begin(), times.end()))
            bestCpu = ChildrenCpuMs() - cpuBefore;
        times << wall;
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            std::fprintf(stderr, "%s failed: %s\n", qPrintable(args.join(' ')),
                         process.readAllStandardError().constData());
            *ok = false;
            return {};
        }
    }
    std::sort(times.begin(), times.end());
    return {times.first(), times.at(times.size() / 2), bestCpu};
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
    const int runs = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 5;
    const bool personalCode = !args.contains(QStringLiteral("--designers-code"));
    if (!QFile::exists(program)) {
        std::fprintf(stderr, "quorvel not found at %s; pass its path as the first argument\n", qPrintable(program));
        return 1;
    }

    QTemporaryDir home;
    const QString card = home.filePath(QStringLiteral("card.qrv"));
    {
        TGBusinessCardPanel32 panel;
        panel.resize(336, 192);
        BuildCard(panel, personalCode);
        panel.SaveToFile(card);
    }
    const QString people = home.filePath(QStringLiteral("people.csv"));
    {
        QFile csv(people);
        csv.open(QIODevice::WriteOnly);
        csv.write("Name;Title;E-mail\r\n");
        for (int i = 0; i < 100; ++i)
            csv.write(QStringLiteral("\"Person %1\";Engineer, grade %2;person%1@example.com\r\n")
                          .arg(i)
                          .arg(i % 7)
                          .toUtf8());
    }

    bool ok = true;
    const QString merged = home.filePath(QStringLiteral("merged.pdf"));
    const QString plain = home.filePath(QStringLiteral("plain.pdf"));
    const Runs team = Time(program,
                           {QStringLiteral("--print"), card, QStringLiteral("--merge"), people,
                            QStringLiteral("--per-person"), QStringLiteral("10"), QStringLiteral("--output"), merged},
                           home.path(), runs, &ok);
    const Runs same = Time(program,
                           {QStringLiteral("--print"), card, QStringLiteral("--sheets"), QStringLiteral("100"),
                            QStringLiteral("--output"), plain},
                           home.path(), runs, &ok);
    // A thousand people, a sheet each.
    const QString thousand = home.filePath(QStringLiteral("thousand.csv"));
    {
        QFile csv(thousand);
        csv.open(QIODevice::WriteOnly);
        csv.write("Name;Title;E-mail\r\n");
        for (int i = 0; i < 1000; ++i)
            csv.write(QStringLiteral("\"Person %1\";Engineer;person%1@example.com\r\n").arg(i).toUtf8());
    }
    const QString sheetEachPdf = home.filePath(QStringLiteral("sheet-each.pdf"));
    const Runs everyone = Time(program,
                               {QStringLiteral("--print"), card, QStringLiteral("--merge"), thousand,
                                QStringLiteral("--output"), sheetEachPdf},
                               home.path(), runs, &ok);
    // A thousand people, one card each: a hundred sheets, every card another
    // person's labels and vCard code.
    const QString oneEachPdf = home.filePath(QStringLiteral("one-each.pdf"));
    const Runs oneEach = Time(program,
                              {QStringLiteral("--print"), card, QStringLiteral("--merge"), thousand,
                               QStringLiteral("--per-person"), QStringLiteral("1"), QStringLiteral("--output"), oneEachPdf},
                              home.path(), runs, &ok);
    if (!ok)
        return 1;
    std::printf("100 people x 10 cards to PDF (process, start included): best %7.1f ms, median %7.1f ms, %lld bytes\n",
                team.best, team.median, static_cast<long long>(QFileInfo(merged).size()));
    std::printf("100 sheets of one card to PDF, for comparison:          best %7.1f ms, median %7.1f ms, %lld bytes\n",
                same.best, same.median, static_cast<long long>(QFileInfo(plain).size()));
    std::printf("1,000 people, a sheet each, to PDF:                     best %7.1f ms, median %7.1f ms\n",
                everyone.best, everyone.median);
    std::printf("1,000 people, one card each, to PDF:                    best %7.1f ms (processor %7.1f ms), "
                "median %7.1f ms, %lld bytes\n",
                oneEach.best, oneEach.cpu, oneEach.median, static_cast<long long>(QFileInfo(oneEachPdf).size()));

    // The dialog's list of values that will not fit, for the most people a
    // list may hold: every person's values put into the card and measured.
    {
        TGBusinessCardPanel32 panel;
        panel.resize(336, 192);
        BuildCard(panel, personalCode);
        TPeopleTable list;
        list.Header = QStringList{"Name", "Title", "EMail"};
        for (int i = 0; i < people::kMaxPeople; ++i)
            list.Rows.append(QStringList{QStringLiteral("Person %1").arg(i),
                                         i % 10 ? QStringLiteral("Engineer") : QStringLiteral("Principal Engineer for "
                                                                                             "Very Long Titles"),
                                         QStringLiteral("person%1@example.com").arg(i)});
        QList<int> rows;
        for (int i = 0; i < list.Rows.size(); ++i)
            rows.append(i);
        const TMergePlan plan = TMergePlan::FromTable(list, people::MatchColumns(list.Header), rows, 0);
        QElapsedTimer fitting;
        fitting.start();
        const QList<TFitNote> notes = plan.FitNotes(&panel);
        std::printf("The dialog's list for %d people (values fitted, not printed): %7.1f ms, %lld values noted\n",
                    people::kMaxPeople, fitting.nsecsElapsed() / 1e6, static_cast<long long>(notes.size()));
    }

    // A header of 100,000 columns over 1,000 rows of one value (200 KB).
    QByteArray wide;
    for (int c = 0; c < 100000; ++c)
        wide += (c ? "," : "") + QByteArray("C") + QByteArray::number(c);
    wide += "\n";
    for (int r = 0; r < 1000; ++r)
        wide += "v" + QByteArray::number(r) + "\n";
    QElapsedTimer timer;
    timer.start();
    const TPeopleTable table = people::ReadCsv(wide);
    std::printf("CSV of 100,000 columns x 1,000 short rows (%lld bytes): %7.1f ms, %lld rows, peak %.1f MB\n",
                static_cast<long long>(wide.size()), timer.nsecsElapsed() / 1e6, static_cast<long long>(table.Rows.size()),
                PeakResidentKilobytes() / 1024.0);
    return 0;
}
