#include "TestSupport.h"

#include "objects/BusinessCardShape.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"
#include "printing/LabelTemplates.h"
#include "surface/SelectionHandle.h"
#include "surface/BusinessCardPanel.h"
#include "surface/ComponentText.h"

#include <QApplication>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace testsupport {

QString TestDataFolder() { return QStringLiteral(QUORVEL_TEST_DATA); }
QString SampleCardsFolder() { return TestDataFolder() + QStringLiteral("/cards"); }

namespace {
int64_t g_clock = 100000;
std::unique_ptr<QTemporaryDir> g_home;
} // namespace

void InitEnvironment()
{
    g_home = std::make_unique<QTemporaryDir>();
    qputenv("QUORVEL_HOME", g_home->path().toLocal8Bit());
    platform::SetScreenPixelsPerInchForTests(96);
    platform::SetTickSourceForTests([] { return g_clock; });
    // The card stock library installed on the machine is not the tests'
    // business: none is seen unless a test names one.
    labeltemplates::SetTemplateFolders({g_home->path() + QStringLiteral("/no-label-templates")});
}

QString ProgramFolder() { return g_home->path() + QLatin1Char('/'); }

void SetClock(int64_t ms) { g_clock = ms; }
void AdvanceClock(int64_t ms) { g_clock += ms; }
int64_t Clock() { return g_clock; }

std::unique_ptr<TGBusinessCardPanel32> MakePanel(int width, int height)
{
    auto panel = std::make_unique<TGBusinessCardPanel32>();
    panel->resize(width, height);
    panel->SetShape(lsRectangle);
    panel->SetDrawOutline(true);
    panel->show();
    Flush();
    return panel;
}

void Flush()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

TGGraphicControl *AddShape(TGBusinessCardPanel32 &panel, int left, int top, int width, int height)
{
    auto *shape = new TBCShapes(&panel);
    shape->Loaded();
    panel.AddNewObject(shape, {left, top, left + width, top + height});
    Flush();
    return shape;
}

void Drag(QWidget *panel, QPoint from, QPoint to, Qt::KeyboardModifiers mods, int msPerStep)
{
    // Deliver to whichever widget lies under the press, as the window system does.
    QWidget *target = panel->childAt(from);
    if (!target)
        target = panel;
    const QPoint offset = target->mapTo(panel, QPoint(0, 0));
    QTest::mousePress(target, Qt::LeftButton, mods, from - offset);
    AdvanceClock(msPerStep);
    const QPoint mid = (from + to) / 2;
    QMouseEvent moveMid(QEvent::MouseMove, QPointF(mid - offset), target->mapToGlobal(QPointF(mid - offset)),
                        Qt::NoButton, Qt::LeftButton, mods);
    QApplication::sendEvent(target, &moveMid);
    AdvanceClock(msPerStep);
    QMouseEvent moveEnd(QEvent::MouseMove, QPointF(to - offset), target->mapToGlobal(QPointF(to - offset)),
                        Qt::NoButton, Qt::LeftButton, mods);
    QApplication::sendEvent(target, &moveEnd);
    AdvanceClock(msPerStep);
    QTest::mouseRelease(target, Qt::LeftButton, mods, to - offset);
    Flush();
}

void CollectMessageTexts(QStringList &into)
{
    platform::SetMessageBoxForTests([&into](const platform::TMessageRequest &request) {
        into << request.text;
        return platform::mrOk;
    });
}

void ShowActive(QWidget *dialog, const char *what)
{
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog))
        qWarning("the %s did not become active", what);
}

void WhenModal(std::function<void(QWidget *)> action)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        }
    });
    poll->start(10);
}

QList<QRect> BoundsInCardFile(const QByteArray &bytes)
{
    QList<QRect> bounds;
    QRect r;
    for (const QByteArray &line : ComponentStreamToText(bytes).split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() != 3 || parts[1] != "=")
            continue;
        const int v = parts[2].toInt();
        if (parts[0] == "Left")
            r.moveLeft(v);
        else if (parts[0] == "Top")
            r.moveTop(v);
        else if (parts[0] == "Width")
            r.setWidth(v);
        else if (parts[0] == "Height") {
            r.setHeight(v);
            bounds.append(r);
        }
    }
    return bounds;
}

TTinyDisk::TTinyDisk()
{
    const QByteArray where = QFile::encodeName(FDir.path());
    if (::mount("quorvel-test", where.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0700") == 0)
        FMounted = true;
    else
        FWhy = QStringLiteral("a small file system cannot be mounted here (%1); run as root to test a full disk")
                   .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

TTinyDisk::~TTinyDisk()
{
    if (FMounted)
        ::umount2(QFile::encodeName(FDir.path()).constData(), MNT_DETACH);
}

void TTinyDisk::Fill()
{
    const int fd = ::open(QFile::encodeName(File(QStringLiteral("filler"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    QVERIFY(fd >= 0);
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    const QByteArray byte(1, 'x');
    while (::write(fd, byte.constData(), 1) > 0) {
    }
    ::close(fd);
}

} // namespace testsupport
