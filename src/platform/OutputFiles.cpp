#include "platform/OutputFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <array>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Temporary files to remove on an interruption. The signal handler may only
// read plain memory and call unlink, so the names live in fixed slots.
constexpr int kSlots = 8;
constexpr size_t kPathBytes = 4096;
struct TCleanupSlot {
    std::atomic<bool> used{false};
    char path[kPathBytes] = {};
};
std::array<TCleanupSlot, kSlots> g_cleanup;

extern "C" void RemovePartialFilesAndEnd(int signal)
{
    for (TCleanupSlot &slot : g_cleanup)
        if (slot.used.load())
            ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool Exists(const QString &path, struct stat *info)
{
    return ::lstat(QFile::encodeName(path).constData(), info) == 0;
}

QString FollowLinks(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (!Exists(current, &info) || !S_ISLNK(info.st_mode))
            return QDir::cleanPath(current);
        const QString target = QFileInfo(current).symLinkTarget();
        if (target.isEmpty())
            break;
        current = target;
    }
    throw EOutputFileError(QStringLiteral("%1: too many levels of links").arg(path));
}

mode_t NewFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

EOutputFileError::EOutputFileError(const QString &message) : std::runtime_error(message.toStdString()) {}

QString OutputTarget(const QString &path)
{
    if (path.isEmpty())
        throw EOutputFileError(QStringLiteral("No output file was given"));
    const QString target = FollowLinks(path);
    struct stat info {};
    if (Exists(target, &info) && !S_ISREG(info.st_mode))
        throw EOutputFileError(QStringLiteral("%1 is not a regular file; only files are written").arg(path));
    return target;
}

bool SameFile(const QString &a, const QString &b)
{
    struct stat first {}, second {};
    if (::stat(QFile::encodeName(a).constData(), &first) != 0
        || ::stat(QFile::encodeName(b).constData(), &second) != 0)
        return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void InstallInterruptCleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = RemovePartialFilesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

void RemoveOnInterrupt(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (size_t(name.size()) >= kPathBytes)
        return;
    for (TCleanupSlot &slot : g_cleanup) {
        if (slot.used.load())
            continue;
        std::memcpy(slot.path, name.constData(), size_t(name.size()) + 1);
        slot.used.store(true);
        return;
    }
}

void ForgetOnInterrupt(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    for (TCleanupSlot &slot : g_cleanup)
        if (slot.used.load() && name == slot.path)
            slot.used.store(false);
}

bool PublishPartialFile(const QString &partial, const QString &target)
{
    struct stat previous {};
    const QByteArray from = QFile::encodeName(partial);
    const QByteArray to = QFile::encodeName(target);
    const bool replacing = ::stat(to.constData(), &previous) == 0;
    ::chmod(from.constData(), replacing ? (previous.st_mode & 07777) : NewFilePermissions());
    std::error_code error;
    std::filesystem::rename(from.toStdString(), to.toStdString(), error);
    if (error)
        return false;
    ForgetOnInterrupt(partial);
    return true;
}

TPartialOutput::TPartialOutput(const QString &target) : FTarget(OutputTarget(target))
{
    QTemporaryFile partial(FTarget + QStringLiteral(".XXXXXX.part"));
    partial.setAutoRemove(false);
    if (!partial.open())
        throw EOutputFileError(QStringLiteral("Unable to write %1").arg(QDir::toNativeSeparators(target)));
    FPartial = partial.fileName();
    RemoveOnInterrupt(FPartial);
}

TPartialOutput::~TPartialOutput() { Discard(); }

void TPartialOutput::Commit()
{
    if (FPartial.isEmpty())
        return;
    if (!PublishPartialFile(FPartial, FTarget)) {
        Discard();
        throw EOutputFileError(QStringLiteral("Unable to write %1").arg(QDir::toNativeSeparators(FTarget)));
    }
    FPartial.clear();
}

void TPartialOutput::Discard()
{
    if (FPartial.isEmpty())
        return;
    QFile::remove(FPartial);
    ForgetOnInterrupt(FPartial);
    FPartial.clear();
}

void WriteOutputFile(const QString &path, const QByteArray &bytes)
{
    TPartialOutput output(path);
    QFile file(output.PartialPath());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        output.Discard();
        throw EOutputFileError(QStringLiteral("Unable to write %1").arg(QDir::toNativeSeparators(path)));
    }
    file.close();
    output.Commit();
}

} // namespace platform
