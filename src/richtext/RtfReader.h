// Reads an RTF document into a QTextDocument: the control words that people
// and existing card files use (character and paragraph formatting, font and
// colour tables, code pages, Unicode escapes); unknown destinations are
// skipped. Any byte string is read without failing: bad RTF gives whatever
// text could be made of it, in time and memory in proportion to its size.
#pragma once

#include <QByteArray>
#include <QStringList>

class QTextDocument;

namespace richtext {

// Replaces the document's contents with the RTF text.
void ReadRtf(const QByteArray &rtf, QTextDocument &document);

// What the RTF holds that the document read from it leaves out, so that
// the RTF written back from the document no longer has it: the user's
// words for "pictures", "tables", "tab stops" and "line spacing", in that
// order; empty when the document keeps everything that shows.
QStringList PartsNotKept(const QByteArray &rtf);

} // namespace richtext
