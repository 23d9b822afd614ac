// Writing the files the program makes (card files, side files, the settings
// file, printed PDF sheets, exported and rendered pictures) without
// destroying anything: the output goes to a temporary file beside the target
// through a device that checks every write, and replaces the target only
// when every byte has reached the disk; a failure (a full disk, a file-size
// limit) or an interruption removes the temporary file and leaves the
// previous file as it was. Only regular files are written: a link is written
// through to its target, and a device, FIFO or folder is refused.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

class QIODevice;

namespace platform {

class EOutputFileError : public std::runtime_error
{
public:
    explicit EOutputFileError(const QString &message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// The file an output name leads to: a link's final target, as an absolute
// path. Throws when that is something other than a regular file or a name
// that does not exist yet.
QString OutputTarget(const QString &path);

// Whether two names lead to the same file (links and "." or ".." resolved).
bool SameFile(const QString &a, const QString &b);

// Throws "the output ... is the input file ..." when the output would
// overwrite one of the inputs (empty names are skipped).
void RefuseOutputOverInput(const QString &output, const QStringList &inputs);

// Removes the temporary files registered here when the program is
// interrupted, then ends it as the signal would have; a file-size limit or
// a closed pipe makes the write fail instead, so that it is reported.
// Installed once at start-up.
void InstallInterruptCleanup();
void RemoveOnInterrupt(const QString &path);
void ForgetOnInterrupt(const QString &path);

class TCheckedFileDevice;

// Whether Commit waits until the bytes are on the disk. The user's own files
// (cards, side files, settings) wait, so that a power cut right after a save
// cannot leave an empty card in place of the old one; printed and exported
// files, which can be made again, do not (waiting costs a one-sheet print a
// time as long as the print itself on a disk like this one).
enum class TOutputSync { WaitForDisk, NoWait };

// One output file being written. Everything goes through Device(); Commit
// puts the finished file in the target's place, with the permissions the
// target had (or those of a new file). Every failure is an EOutputFileError
// "Unable to write NAME: reason" (the name as given), after which the target
// is unchanged and no temporary file is left.
class TOutputFile
{
public:
    explicit TOutputFile(const QString &path, TOutputSync sync = TOutputSync::WaitForDisk);
    ~TOutputFile();
    TOutputFile(const TOutputFile &) = delete;
    TOutputFile &operator=(const TOutputFile &) = delete;

    QString Target() const { return FTarget; }
    QIODevice &Device();
    // Writes all of the bytes (a short write counts as a failure).
    void Write(const QByteArray &bytes);
    // Throws (and gives up the file) when a write has failed so far; for
    // writers whose own error would not say why.
    void CheckWrites();
    void Commit();
    // Removes the temporary file; the target stays as it was.
    void Discard();

private:
    [[noreturn]] void Fail(int error);

    QString FName;
    QString FTarget;
    QString FPartial;
    TOutputSync FSync;
    std::unique_ptr<TCheckedFileDevice> FDevice;
};

// Writes bytes to a file through an output file.
void WriteOutputFile(const QString &path, const QByteArray &bytes, TOutputSync sync = TOutputSync::WaitForDisk);

// Removes a file that is there; throws "Unable to remove NAME: reason" when
// it stays.
void RemoveOutputFile(const QString &path);

} // namespace platform
