// Reads an RTF document into a QTextDocument: the control words that people,
// word processors and existing card files use (character and paragraph
// formatting with tab stops and line spacing, sub- and superscript, font
// and colour tables, code pages, Unicode escapes, tables, pictures); unknown
// destinations are skipped. Any byte string is read without failing: bad RTF gives whatever
// text could be made of it, in time and memory in proportion to its size.
#pragma once

#include "richtext/RtfFormat.h"

#include <QByteArray>
#include <QStringList>

class QTextDocument;

namespace richtext {

// Replaces the document's contents with the RTF text, or with as much of it
// as the bound keeps.
void ReadRtf(const QByteArray &rtf, QTextDocument &document, const TReadingBound &bound = {});

// What the RTF holds that the document read from it leaves out, so that
// the RTF written back from the document no longer has it: the user's
// words for "pictures" (of kinds not shown), "tables within tables" and
// "hidden text", in that order; empty when the document keeps everything.
QStringList PartsNotKept(const QByteArray &rtf);

} // namespace richtext
