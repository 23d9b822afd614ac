#include "platform/InputFiles.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

QString KindName(TInputKind kind)
{
    switch (kind) {
    case TInputKind::CardFile: return QStringLiteral("a card file");
    case TInputKind::SideFile: return QStringLiteral("a background art side file");
    case TInputKind::Picture: return QStringLiteral("a picture");
    case TInputKind::SettingsFile: return QStringLiteral("a settings file");
    case TInputKind::PeopleList: return QStringLiteral("a list of people");
    case TInputKind::CardStockTemplate: return QStringLiteral("a card stock template");
    }
    return QString();
}

// Closes the descriptor on every way out.
struct TDescriptor {
    int fd = -1;
    ~TDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

EInputFileError TooLarge(TInputKind kind)
{
    const qint64 limit = InputFileLimit(kind);
    return EInputFileError(QStringLiteral("too large for %1 (more than %2)")
                               .arg(KindName(kind), limit >= kMegabyte ? QStringLiteral("%1 MB").arg(limit / kMegabyte)
                                                                       : QStringLiteral("%1 KB").arg(limit / 1024)));
}

// Opens a regular file within the kind's limit and gives its size. Without
// O_NONBLOCK, opening a FIFO waits for a writer that may never come; the
// type is checked on the open descriptor, so nothing can be swapped in
// between the check and the read.
qint64 OpenInputFile(TDescriptor &file, const QString &path, TInputKind kind)
{
    file.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0)
        throw EInputFileError(errno == ENOENT ? QStringLiteral("no such file")
                                              : QStringLiteral("cannot be opened: %1")
                                                    .arg(QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        throw EInputFileError(QStringLiteral("not a regular file"));
    if (info.st_size > InputFileLimit(kind))
        throw TooLarge(kind);
    return info.st_size;
}

} // namespace

qint64 InputFileLimit(TInputKind kind)
{
    switch (kind) {
    case TInputKind::CardFile: return 64 * kMegabyte;
    case TInputKind::SideFile: return 64 * 1024;
    case TInputKind::Picture: return 64 * kMegabyte;
    case TInputKind::SettingsFile: return 4 * kMegabyte;
    case TInputKind::PeopleList: return 16 * kMegabyte;
    case TInputKind::CardStockTemplate: return 8 * kMegabyte;
    }
    return 0;
}

EInputFileError::EInputFileError(const QString &message) : std::runtime_error(message.toStdString()) {}

void CheckInputFile(const QString &path, TInputKind kind)
{
    TDescriptor file;
    OpenInputFile(file, path, kind);
}

QByteArray ReadInputFile(const QString &path, TInputKind kind)
{
    TDescriptor file;
    const qint64 size = OpenInputFile(file, path, kind);
    const qint64 limit = InputFileLimit(kind);
    ::fcntl(file.fd, F_SETFL, ::fcntl(file.fd, F_GETFL) & ~O_NONBLOCK);

    // The file may grow while it is read: never more than the limit.
    QByteArray bytes;
    bytes.resize(qsizetype(size));
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit)
                throw TooLarge(kind);
            bytes.resize(qsizetype(qMin(limit + 1, filled + qint64(64 * 1024))));
        }
        const ssize_t got = ::read(file.fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EInputFileError(QStringLiteral("cannot be read"));
        if (got == 0)
            break;
        filled += got;
    }
    if (filled > limit)
        throw TooLarge(kind);
    bytes.resize(qsizetype(filled));
    return bytes;
}

std::optional<QByteArray> ReadInputFileIfPresent(const QString &path, TInputKind kind)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 && errno == ENOENT)
        return std::nullopt;
    return ReadInputFile(path, kind);
}

} // namespace platform
