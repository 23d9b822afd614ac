// Reading every file the program takes in: the card file, its side file,
// pictures, the settings file, lists of people and card stock templates. A
// name can point at anything (a FIFO that never ends, a device like
// /dev/zero, a folder, a huge file), so these are read only when they are
// regular files no larger than their kind allows; anything else is refused
// with a message that the caller puts after the file's name.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>

namespace platform {

enum class TInputKind { CardFile, SideFile, Picture, SettingsFile, PeopleList, CardStockTemplate };

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

// The same, or nothing when no file has that name.
std::optional<QByteArray> ReadInputFileIfPresent(const QString &path, TInputKind kind);


} // namespace platform
