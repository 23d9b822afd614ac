// Reading the files a card is made of: the card file, its side file and
// pictures. A name can point at anything (a FIFO that never ends, a device
// like /dev/zero, a folder, a huge file), so these are read only when they
// are regular files no larger than their kind allows; anything else is
// refused with a message that names the file.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace platform {

enum class TInputKind { CardFile, SideFile, Picture };

// The largest file of each kind the program reads, in bytes.
qint64 InputFileLimit(TInputKind kind);

// A file that is not there, not a regular file, too large or unreadable.
// The message says which ("not a regular file"); the caller names the file.
class EInputFileError : public std::runtime_error
{
public:
    explicit EInputFileError(const QString &message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// Throws unless the file is a regular file within the kind's limit.
void CheckInputFile(const QString &path, TInputKind kind);

// The whole file. Opening never blocks, even on a FIFO.
QByteArray ReadInputFile(const QString &path, TInputKind kind);

// The picture a file holds; a null image when it is not a picture the
// program can read or not a regular file of a picture's size.
QImage LoadPictureFile(const QString &path);

} // namespace platform
