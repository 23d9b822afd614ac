#include "platform/OutputFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
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

QString Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString UnableToWrite(const QString &name, int error)
{
    return QStringLiteral("Unable to write %1: %2").arg(QDir::toNativeSeparators(name), Reason(error));
}

} // namespace

// A file written through its descriptor, where every failed or short write
// is remembered: the writers that draw into it (the PDF and SVG engines, the
// PNG encoder) do not all look at what a write returns, so the output file
// asks the device once they are done.
class TCheckedFileDevice : public QIODevice
{
public:
    explicit TCheckedFileDevice(int fd) : FFd(fd) { open(QIODevice::WriteOnly); }
    ~TCheckedFileDevice() override { CloseDescriptor(); }

    // The first failure's errno, 0 while every byte went out.
    int Error() const { return FError; }

    // Every byte written (and on the disk, when asked) and the descriptor
    // closed; false on a failure.
    bool Finish(TOutputSync sync)
    {
        WriteBuffer();
        if (FError == 0 && sync == TOutputSync::WaitForDisk && ::fsync(FFd) != 0 && errno != EINVAL
            && errno != EROFS)
            FError = errno;
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && ::close(fd) != 0 && FError == 0 && errno != EINTR)
            FError = errno;
        QIODevice::close();
        return FError == 0;
    }

    // Closes the descriptor without finishing: the file is given up.
    void Abandon()
    {
        Remember(EBADF);
        FBuffer.clear();
        CloseDescriptor();
        QIODevice::close();
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return FEnd; }
    bool seek(qint64 pos) override
    {
        if (!WriteBuffer())
            return false;
        if (::lseek(FFd, off_t(pos), SEEK_SET) < 0) {
            Remember(errno);
            return false;
        }
        return QIODevice::seek(pos);
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (FError != 0 || FFd < 0)
            return -1;
        FBuffer.append(data, qsizetype(length));
        FEnd = qMax(FEnd, pos() + length);
        if (FBuffer.size() >= kBufferBytes && !WriteBuffer())
            return -1;
        return length;
    }

private:
    static constexpr qsizetype kBufferBytes = 64 * 1024;

    void Remember(int error)
    {
        if (FError == 0)
            FError = error;
    }

    bool WriteBuffer()
    {
        qsizetype done = 0;
        while (FError == 0 && done < FBuffer.size()) {
            const ssize_t written = ::write(FFd, FBuffer.constData() + done, size_t(FBuffer.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                Remember(written < 0 ? errno : EIO);
            else
                done += written;
        }
        FBuffer.clear();
        return FError == 0;
    }

    void CloseDescriptor()
    {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

    int FFd;
    int FError = 0;
    qint64 FEnd = 0;
    QByteArray FBuffer;
};

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

void RefuseOutputOverInput(const QString &output, const QStringList &inputs)
{
    for (const QString &input : inputs)
        if (!input.isEmpty() && SameFile(output, input))
            throw EOutputFileError(
                QStringLiteral("the output %1 is the input file %2; choose another output").arg(output, input));
}

void InstallInterruptCleanup()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2}) {
        struct sigaction action {};
        action.sa_handler = RemovePartialFilesAndEnd;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
    // Past a file-size limit, or into a pipe nobody reads, a write fails
    // (EFBIG, EPIPE) and is reported like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
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

TOutputFile::TOutputFile(const QString &path, TOutputSync sync)
    : FName(path), FTarget(OutputTarget(path)), FSync(sync)
{
    // The name is registered for the interruption cleanup before the file
    // exists, so that no signal can come between its making and its
    // registration.
    for (int attempt = 0;; ++attempt) {
        const QString partial = FTarget + QStringLiteral(".%1.part")
                                              .arg(QRandomGenerator::global()->generate() & 0xffffff, 6, 16, QLatin1Char('0'));
        RemoveOnInterrupt(partial);
        const int fd = ::open(QFile::encodeName(partial).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            FPartial = partial;
            FDevice = std::make_unique<TCheckedFileDevice>(fd);
            return;
        }
        const int error = errno;
        ForgetOnInterrupt(partial);
        if (error != EEXIST || attempt == 100)
            throw EOutputFileError(UnableToWrite(FName, error));
    }
}

TOutputFile::~TOutputFile() { Discard(); }

QIODevice &TOutputFile::Device() { return *FDevice; }

void TOutputFile::Write(const QByteArray &bytes)
{
    if (FDevice->write(bytes) != bytes.size())
        Fail(FDevice->Error() != 0 ? FDevice->Error() : EIO);
}

void TOutputFile::CheckWrites()
{
    if (FDevice->Error() != 0 && !FPartial.isEmpty())
        Fail(FDevice->Error());
}

void TOutputFile::Fail(int error)
{
    Discard();
    throw EOutputFileError(UnableToWrite(FName, error));
}

void TOutputFile::Commit()
{
    if (FPartial.isEmpty())
        throw EOutputFileError(UnableToWrite(FName, EBADF));
    if (!FDevice->Finish(FSync))
        Fail(FDevice->Error());
    struct stat previous {};
    const QByteArray from = QFile::encodeName(FPartial);
    const QByteArray to = QFile::encodeName(FTarget);
    const bool replacing = ::stat(to.constData(), &previous) == 0;
    if (::chmod(from.constData(), replacing ? (previous.st_mode & 07777) : NewFilePermissions()) != 0
        || ::rename(from.constData(), to.constData()) != 0)
        Fail(errno);
    ForgetOnInterrupt(FPartial);
    FPartial.clear();
}

void TOutputFile::Discard()
{
    if (FPartial.isEmpty())
        return;
    FDevice->Abandon();
    ::unlink(QFile::encodeName(FPartial).constData());
    ForgetOnInterrupt(FPartial);
    FPartial.clear();
}

void WriteOutputFile(const QString &path, const QByteArray &bytes, TOutputSync sync)
{
    TOutputFile output(path, sync);
    output.Write(bytes);
    output.Commit();
}

void RemoveOutputFile(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw EOutputFileError(QStringLiteral("Unable to remove %1: %2").arg(QDir::toNativeSeparators(path), Reason(errno)));
}

} // namespace platform
