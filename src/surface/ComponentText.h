// The classic text form of a component stream ("object Name: Class", one
// "Name = value" line per property, "end"), made from the bytes alone so that
// it shows any card file, also one holding classes this program does not know.
#pragma once

#include <QByteArray>

// The text of a list of object records; raises EStreamError on a malformed
// stream, with the reader's message.
QByteArray ComponentStreamToText(const QByteArray &stream);
