// Writing the files the program makes (printed PDF sheets, rendered
// pictures) without destroying anything: the output goes to a temporary
// file beside the target that replaces it only when it is complete; a
// failure or an interruption (SIGINT, SIGTERM, SIGHUP) removes it and leaves
// the previous file as it was. Only regular files are written: a link is
// written through to its target, and a device, FIFO or folder is refused.
#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

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

// Removes the temporary files registered here when the program is
// interrupted, then ends it as the signal would have. Installed once at
// start-up.
void InstallInterruptCleanup();
void RemoveOnInterrupt(const QString &path);
void ForgetOnInterrupt(const QString &path);

// Puts a finished temporary file in the target's place, with the
// permissions the target had (or those of a new file), and forgets it for
// the interruption cleanup. False when it cannot be renamed.
bool PublishPartialFile(const QString &partial, const QString &target);

// A temporary file beside an output target, removed unless committed.
class TPartialOutput
{
public:
    // Resolves the target with OutputTarget and creates the temporary file.
    explicit TPartialOutput(const QString &target);
    ~TPartialOutput();
    TPartialOutput(const TPartialOutput &) = delete;
    TPartialOutput &operator=(const TPartialOutput &) = delete;

    QString Target() const { return FTarget; }
    QString PartialPath() const { return FPartial; }
    // Puts the finished file in the target's place (PublishPartialFile).
    void Commit();
    // Removes the temporary file; the target stays as it was.
    void Discard();

private:
    QString FTarget;
    QString FPartial;
};

// Writes bytes to a file through a partial output.
void WriteOutputFile(const QString &path, const QByteArray &bytes);

} // namespace platform
