// What several benchmarks measure alike.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The high-water mark of resident memory in a /proc/<pid>/status file, in
// kilobytes; -1 when unknown.
inline long HighWaterKilobytes(const QString &statusFile)
{
    QFile status(statusFile);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// This process's peak resident memory so far, in kilobytes.
inline long PeakResidentKilobytes() { return HighWaterKilobytes(QStringLiteral("/proc/self/status")); }
