// Writes a QTextDocument as RTF that the reader (and other RTF readers) take
// back with the same text and formatting. Characters that the code page of
// their font cannot hold are written as \u escapes, so no text is lost.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace richtext {

// Begins "{\rtf1\ansi\deff0\deftab720{\fonttbl" for a document with the
// usual half-inch tabs.
QByteArray WriteRtf(const QTextDocument &document);

} // namespace richtext
