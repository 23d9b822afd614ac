// What the RTF reader and writer agree on about a QTextDocument: which
// formatting the document carries that Qt has no place for, and the units.
#pragma once

#include <QTextFormat>

namespace richtext {

// Character format properties kept for the writer.
enum TRtfCharProperty {
    // The \fcharset of the run's font (int): it chooses the code page.
    RtfCharsetProperty = QTextFormat::UserProperty + 1,
    // The font's family keyword ("swiss", "roman" ...; string).
    RtfFontFamilyProperty,
    // Text raised (positive) or lowered by \up or \dn, in half points (int).
    RtfRaiseProperty,
    // A picture (an object of kPictureObjectType): its data as the RTF held
    // it (QByteArray), its TPictureKind (int), its size on the page in twips
    // (int), \picw and \pich as read (int), the mapping mode of a Windows
    // metafile (int), and a key of its data for the drawing cache (qulonglong).
    RtfPictureDataProperty,
    RtfPictureKindProperty,
    RtfPictureWidthProperty,
    RtfPictureHeightProperty,
    RtfPictureSourceWidthProperty,
    RtfPictureSourceHeightProperty,
    RtfPictureMappingProperty,
    RtfPictureKeyProperty,
};

// Pictures are text objects of this type.
inline constexpr int kPictureObjectType = QTextFormat::UserObject + 1;

// The kinds of picture data RTF carries that the engine shows.
enum class TPictureKind { None, Png, Jpeg, Emf, Wmf, Dib };

// Document properties (QTextDocument dynamic properties).
inline constexpr char kDefaultTabProperty[] = "rtfDefaultTab"; // twips

// Lengths in the document (indents, spacing, tab stops) are pixels at the
// resolution Qt lays out text with when no device is given (the screen's
// logical resolution, by which it also turns points into pixels); RTF counts
// twips, 1440 to the inch.
int LayoutDpi();
inline double TwipsPerLayoutPixel() { return 1440.0 / LayoutDpi(); }

// How much of a document a reading keeps: a page shows no more paragraphs
// and characters than these, however small its letters; the rest is never
// read into the document, so its cost follows the page, not the file.
// Zero: everything.
struct TReadingBound {
    qsizetype paragraphs = 0;
    qsizetype characters = 0;
    bool Limits() const { return paragraphs > 0; }
    bool operator==(const TReadingBound &) const = default;
};

// Font size of text that names none: 12 points (\fs24).
inline constexpr int kDefaultHalfPoints = 24;
inline constexpr int kDefaultTabTwips = 720;

} // namespace richtext
