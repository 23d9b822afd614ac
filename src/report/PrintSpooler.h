// Handing a finished print file to the system's print spooler (CUPS). A job
// drawn for a system printer goes into a file first and reaches the spooler
// only when it is complete, so an aborted job never prints: Qt's own CUPS
// engine spools whatever was drawn, even after an abort.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace report {

using TSpoolOptions = QList<QPair<QByteArray, QByteArray>>;

// Whether the spooler's library could be loaded.
bool SpoolerAvailable();

// Sends the file to the printer as one job named title. Returns the job's id
// (greater than 0); on failure 0, with the spooler's reason in error.
// Whether the spooler answers a request within the time given; false with
// the reason in error when it accepts but does not answer, or answers with an
// error. No spooler running at all (nothing listening) is no problem: the
// system then simply has no printers, and true is returned.
bool SpoolerAnswers(int timeoutMilliseconds, QString *error);

int SpoolFile(const QString &printer, const QString &file, const QString &title, const TSpoolOptions &options,
              QString *error);

} // namespace report
