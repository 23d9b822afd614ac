// Reads an RTF document into a QTextDocument: the control words that people
// and existing card files use (character and paragraph formatting, font and
// colour tables, code pages, Unicode escapes); unknown destinations are
// skipped. Any byte string is read without failing: bad RTF gives whatever
// text could be made of it, in time and memory in proportion to its size.
#pragma once

#include <QByteArray>

class QTextDocument;

namespace richtext {

// Replaces the document's contents with the RTF text.
void ReadRtf(const QByteArray &rtf, QTextDocument &document);

} // namespace richtext
