// The reader is a single pass over the bytes with a stack of group states.
// Every control word it knows is in one table; what it does not know it
// passes over, and the destinations it does not know it skips whole.
#include "richtext/RtfReader.h"

#include "platform/CodePages.h"
#include "richtext/RtfFormat.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <optional>

namespace richtext {
namespace {

// Group nesting kept as states; deeper groups are only counted, so a
// document of ten thousand '{' costs no more memory than its bytes.
constexpr int kMaxGroupDepth = 256;
// Ten digits hold every parameter RTF writers use; longer numbers are cut.
constexpr int kMaxParameterDigits = 10;
constexpr int kMaxControlWordLength = 32;
// Lengths beyond 22 inches and sizes beyond 1638 points are clamped: no
// card holds them and they would only make the layout slow.
constexpr int kMaxTwips = 31680;
constexpr int kMaxHalfPoints = 3276;

enum class TCode {
    // destinations
    Rtf, FontTable, ColorTable, SkippedDestination, Ignorable,
    // document
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, DefaultTab,
    // font table entries
    FontFamily, FontCharset,
    // colour table entries
    Red, Green, Blue,
    // character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Font, FontSize, ForeColor, Highlight,
    UnicodeSkip, Unicode,
    // paragraph formatting
    ParagraphDefault, Paragraph, AlignLeft, AlignRight, AlignCenter, AlignJustify, LeftIndent, RightIndent,
    FirstIndent, SpaceBefore, SpaceAfter,
    // special characters
    Tab, Line, Character, Binary,
};

struct TControlWord {
    TCode code;
    char16_t character = 0; // for TCode::Character
};

const QHash<QByteArray, TControlWord> &ControlWords()
{
    static const QHash<QByteArray, TControlWord> table = {
        {"rtf", {TCode::Rtf}},
        {"fonttbl", {TCode::FontTable}},
        {"colortbl", {TCode::ColorTable}},
        // destinations whose contents are not text of the document
        {"stylesheet", {TCode::SkippedDestination}},
        {"info", {TCode::SkippedDestination}},
        {"pict", {TCode::SkippedDestination}},
        {"object", {TCode::SkippedDestination}},
        {"header", {TCode::SkippedDestination}},
        {"headerl", {TCode::SkippedDestination}},
        {"headerr", {TCode::SkippedDestination}},
        {"headerf", {TCode::SkippedDestination}},
        {"footer", {TCode::SkippedDestination}},
        {"footerl", {TCode::SkippedDestination}},
        {"footerr", {TCode::SkippedDestination}},
        {"footerf", {TCode::SkippedDestination}},
        {"footnote", {TCode::SkippedDestination}},
        {"filetbl", {TCode::SkippedDestination}},
        {"revtbl", {TCode::SkippedDestination}},
        {"listtable", {TCode::SkippedDestination}},
        {"listoverridetable", {TCode::SkippedDestination}},
        {"fldinst", {TCode::SkippedDestination}},
        {"xe", {TCode::SkippedDestination}},
        {"tc", {TCode::SkippedDestination}},
        {"*", {TCode::Ignorable}},
        {"ansi", {TCode::Ansi}},
        {"mac", {TCode::Mac}},
        {"pc", {TCode::Pc}},
        {"pca", {TCode::Pca}},
        {"ansicpg", {TCode::AnsiCodePage}},
        {"deff", {TCode::DefaultFont}},
        {"deftab", {TCode::DefaultTab}},
        {"fnil", {TCode::FontFamily}},
        {"froman", {TCode::FontFamily}},
        {"fswiss", {TCode::FontFamily}},
        {"fmodern", {TCode::FontFamily}},
        {"fscript", {TCode::FontFamily}},
        {"fdecor", {TCode::FontFamily}},
        {"ftech", {TCode::FontFamily}},
        {"fbidi", {TCode::FontFamily}},
        {"fcharset", {TCode::FontCharset}},
        {"red", {TCode::Red}},
        {"green", {TCode::Green}},
        {"blue", {TCode::Blue}},
        {"plain", {TCode::Plain}},
        {"b", {TCode::Bold}},
        {"i", {TCode::Italic}},
        {"ul", {TCode::Underline}},
        {"ulnone", {TCode::UnderlineNone}},
        {"strike", {TCode::Strike}},
        {"f", {TCode::Font}},
        {"fs", {TCode::FontSize}},
        {"cf", {TCode::ForeColor}},
        {"highlight", {TCode::Highlight}},
        {"cb", {TCode::Highlight}},
        {"uc", {TCode::UnicodeSkip}},
        {"u", {TCode::Unicode}},
        {"pard", {TCode::ParagraphDefault}},
        {"par", {TCode::Paragraph}},
        {"\n", {TCode::Paragraph}},
        {"\r", {TCode::Paragraph}},
        {"sect", {TCode::Paragraph}},
        {"page", {TCode::Paragraph}},
        {"row", {TCode::Paragraph}},
        {"ql", {TCode::AlignLeft}},
        {"qr", {TCode::AlignRight}},
        {"qc", {TCode::AlignCenter}},
        {"qj", {TCode::AlignJustify}},
        {"li", {TCode::LeftIndent}},
        {"ri", {TCode::RightIndent}},
        {"fi", {TCode::FirstIndent}},
        {"sb", {TCode::SpaceBefore}},
        {"sa", {TCode::SpaceAfter}},
        {"tab", {TCode::Tab}},
        {"cell", {TCode::Tab}},
        {"line", {TCode::Line}},
        {"bin", {TCode::Binary}},
        {"\\", {TCode::Character, u'\\'}},
        {"{", {TCode::Character, u'{'}},
        {"}", {TCode::Character, u'}'}},
        {"~", {TCode::Character, u'\u00A0'}},
        {"_", {TCode::Character, u'\u2011'}},
        {"emdash", {TCode::Character, u'\u2014'}},
        {"endash", {TCode::Character, u'\u2013'}},
        {"emspace", {TCode::Character, u'\u2003'}},
        {"enspace", {TCode::Character, u'\u2002'}},
        {"bullet", {TCode::Character, u'\u2022'}},
        {"lquote", {TCode::Character, u'\u2018'}},
        {"rquote", {TCode::Character, u'\u2019'}},
        {"ldblquote", {TCode::Character, u'\u201C'}},
        {"rdblquote", {TCode::Character, u'\u201D'}},
    };
    return table;
}

// Parts of a document that the reader passes over although they show:
// the words that begin them, wherever they stand.
enum TPartNotKept { kPictures = 1, kTables = 2, kTabStops = 4, kLineSpacing = 8 };

const QHash<QByteArray, int> &WordsOfPartsNotKept()
{
    static const QHash<QByteArray, int> table = {
        {"pict", kPictures}, {"object", kPictures}, {"shp", kPictures},   {"trowd", kTables},
        {"intbl", kTables},  {"tx", kTabStops},     {"tb", kTabStops},    {"sl", kLineSpacing},
    };
    return table;
}

enum class TDestination { Text, FontTable, ColorTable, Skip };

struct TCharState {
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0, highlight = 0;
    bool operator==(const TCharState &) const = default;
};

struct TParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0, spaceBefore = 0, spaceAfter = 0;
};

struct TGroupState {
    TCharState chars;
    TParaState para;
    TDestination destination = TDestination::Text;
    int unicodeSkip = 1;
};

struct TFontEntry {
    QByteArray nameBytes;
    int charset = 0;
    QByteArray family;
};

class TRtfReader
{
public:
    TRtfReader(const QByteArray &rtf, QTextDocument &document) : FIn(rtf), FDocument(document), FCursor(&document) {}

    void Read()
    {
        // Reading is no edit the user could take back.
        const bool undo = FDocument.isUndoRedoEnabled();
        FDocument.setUndoRedoEnabled(false);
        FDocument.clear();
        FDocument.setDocumentMargin(0);
        FCursor = QTextCursor(&FDocument);
        FCursor.beginEditBlock();
        while (FPos < FIn.size()) {
            const char c = FIn[FPos++];
            switch (c) {
            case '{': OpenGroup(); break;
            case '}': CloseGroup(); break;
            case '\\': ReadControl(); break;
            case '\r':
            case '\n': break;
            case '\t': TextCharacter(u'\t'); break;
            default:
                if (static_cast<unsigned char>(c) >= 0x20)
                    TextByte(c);
                break;
            }
        }
        FlushText();
        FCursor.endEditBlock();
        FinishDocument();
        FDocument.setUndoRedoEnabled(undo);
    }

    // The parts read past (TPartNotKept flags).
    int PartsNotKept() const { return FPartsNotKept; }

private:
    // ---- groups ----

    void OpenGroup()
    {
        FlushText();
        FPendingSkip = 0;
        if (FStack.size() >= kMaxGroupDepth) {
            ++FUncountedDepth;
            return;
        }
        FStack.append(FState);
    }

    void CloseGroup()
    {
        FlushText();
        FPendingSkip = 0;
        if (FUncountedDepth > 0) {
            --FUncountedDepth;
            return;
        }
        if (FStack.isEmpty())
            return; // an unbalanced '}': nothing to close
        const TDestination closing = FState.destination;
        FState = FStack.takeLast();
        if (closing == TDestination::FontTable && FState.destination != TDestination::FontTable)
            EndFontEntry();
    }

    // ---- control words and symbols ----

    void ReadControl()
    {
        if (FPos >= FIn.size())
            return;
        const char first = FIn[FPos];
        if (!IsLetter(first)) {
            ++FPos;
            if (first == '\'') {
                ReadHexByte();
                return;
            }
            RunControl(QByteArray(1, first), false, 0);
            return;
        }
        const qsizetype start = FPos;
        while (FPos < FIn.size() && IsLetter(FIn[FPos]) && FPos - start < kMaxControlWordLength)
            ++FPos;
        const QByteArray word = FIn.mid(start, FPos - start);
        while (FPos < FIn.size() && IsLetter(FIn[FPos]))
            ++FPos; // the rest of an overlong word
        bool hasParameter = false;
        bool negative = false;
        long long value = 0;
        if (FPos < FIn.size() && FIn[FPos] == '-' && FPos + 1 < FIn.size() && IsDigit(FIn[FPos + 1])) {
            negative = true;
            ++FPos;
        }
        int digits = 0;
        while (FPos < FIn.size() && IsDigit(FIn[FPos])) {
            if (digits++ < kMaxParameterDigits)
                value = value * 10 + (FIn[FPos] - '0');
            hasParameter = true;
            ++FPos;
        }
        if (FPos < FIn.size() && FIn[FPos] == ' ')
            ++FPos;
        value = std::clamp<long long>(negative ? -value : value, INT32_MIN, INT32_MAX);
        RunControl(word, hasParameter, int(value));
    }

    void ReadHexByte()
    {
        int value = 0;
        int digits = 0;
        while (digits < 2 && FPos < FIn.size()) {
            const int d = HexDigit(FIn[FPos]);
            if (d < 0)
                break;
            value = value * 16 + d;
            ++digits;
            ++FPos;
        }
        if (digits == 0)
            return; // "\'" without its digits
        TextByte(char(value));
    }

    void RunControl(const QByteArray &word, bool hasParameter, int parameter)
    {
        const auto notKept = WordsOfPartsNotKept().constFind(word);
        // "\sl0" is the single spacing the document has anyway.
        if (notKept != WordsOfPartsNotKept().constEnd() && !(*notKept == kLineSpacing && parameter == 0))
            FPartsNotKept |= *notKept;
        const auto it = ControlWords().constFind(word);
        const bool ignorable = FIgnorableNext;
        FIgnorableNext = false;
        if (it == ControlWords().constEnd()) {
            // An unknown destination marked ignorable is skipped whole.
            if (ignorable)
                FState.destination = TDestination::Skip;
            return;
        }
        const TControlWord &cw = *it;
        if (FState.destination == TDestination::Skip && cw.code != TCode::Binary)
            return;
        if (cw.code != TCode::Unicode && cw.code != TCode::Character && cw.code != TCode::Ignorable)
            FlushText();
        const int flag = hasParameter ? parameter : 1;
        TCharState &chars = FState.chars;
        TParaState &para = FState.para;
        switch (cw.code) {
        case TCode::Rtf: break;
        case TCode::FontTable: FState.destination = TDestination::FontTable; break;
        case TCode::ColorTable: FState.destination = TDestination::ColorTable; break;
        case TCode::SkippedDestination: FState.destination = TDestination::Skip; break;
        case TCode::Ignorable: FIgnorableNext = true; break;
        case TCode::Ansi: FAnsiCodePage = 1252, FLastFormatState.reset(); break;
        case TCode::Mac: FAnsiCodePage = 10000, FLastFormatState.reset(); break;
        case TCode::Pc: FAnsiCodePage = 437, FLastFormatState.reset(); break;
        case TCode::Pca: FAnsiCodePage = 850, FLastFormatState.reset(); break;
        case TCode::AnsiCodePage:
            if (parameter > 0 && parameter < 65536)
                FAnsiCodePage = parameter;
            FLastFormatState.reset();
            break;
        case TCode::DefaultFont:
            FDefaultFont = parameter;
            FLastFormatState.reset();
            break;
        case TCode::DefaultTab:
            if (parameter > 0)
                FDefaultTab = std::min(parameter, kMaxTwips);
            break;
        case TCode::FontFamily:
            if (FState.destination == TDestination::FontTable)
                CurrentFont().family = word.mid(1);
            break;
        case TCode::FontCharset:
            if (FState.destination == TDestination::FontTable)
                CurrentFont().charset = std::clamp(parameter, 0, 255);
            break;
        case TCode::Red: FColorRed = std::clamp(parameter, 0, 255), FColorGiven = true; break;
        case TCode::Green: FColorGreen = std::clamp(parameter, 0, 255), FColorGiven = true; break;
        case TCode::Blue: FColorBlue = std::clamp(parameter, 0, 255), FColorGiven = true; break;
        case TCode::Plain: chars = TCharState(); break;
        case TCode::Bold: chars.bold = flag != 0; break;
        case TCode::Italic: chars.italic = flag != 0; break;
        case TCode::Underline: chars.underline = flag != 0; break;
        case TCode::UnderlineNone: chars.underline = false; break;
        case TCode::Strike: chars.strike = flag != 0; break;
        case TCode::Font:
            if (FState.destination == TDestination::FontTable) {
                EndFontEntry();
                FCurrentFont = parameter;
                FFontOpen = true;
                FFonts[parameter] = TFontEntry();
            } else {
                chars.font = parameter;
            }
            break;
        case TCode::FontSize:
            chars.halfPoints = hasParameter && parameter > 0 ? std::min(parameter, kMaxHalfPoints) : kDefaultHalfPoints;
            break;
        case TCode::ForeColor: chars.color = std::max(parameter, 0); break;
        case TCode::Highlight: chars.highlight = std::max(parameter, 0); break;
        case TCode::UnicodeSkip: FState.unicodeSkip = std::clamp(parameter, 0, 16); break;
        case TCode::Unicode: UnicodeCharacter(parameter); break;
        case TCode::ParagraphDefault: para = TParaState(); break;
        case TCode::Paragraph: NewParagraph(); break;
        case TCode::AlignLeft: para.alignment = Qt::AlignLeft; break;
        case TCode::AlignRight: para.alignment = Qt::AlignRight; break;
        case TCode::AlignCenter: para.alignment = Qt::AlignHCenter; break;
        case TCode::AlignJustify: para.alignment = Qt::AlignJustify; break;
        case TCode::LeftIndent: para.leftIndent = Twips(parameter); break;
        case TCode::RightIndent: para.rightIndent = Twips(parameter); break;
        case TCode::FirstIndent: para.firstIndent = Twips(parameter); break;
        case TCode::SpaceBefore: para.spaceBefore = std::max(0, Twips(parameter)); break;
        case TCode::SpaceAfter: para.spaceAfter = std::max(0, Twips(parameter)); break;
        case TCode::Tab: TextCharacter(u'\t'); break;
        case TCode::Line: TextCharacter(QChar::LineSeparator); break;
        case TCode::Character: TextCharacter(cw.character); break;
        case TCode::Binary:
            // Binary data of a picture or object: never text.
            FPos += std::clamp<qsizetype>(parameter, 0, FIn.size() - FPos);
            break;
        }
    }

    static int Twips(int value) { return std::clamp(value, -kMaxTwips, kMaxTwips); }

    // ---- text ----

    void TextByte(char byte)
    {
        if (FPendingSkip > 0) {
            --FPendingSkip;
            return;
        }
        switch (FState.destination) {
        case TDestination::Skip: return;
        case TDestination::FontTable: FontTableByte(byte); return;
        case TDestination::ColorTable:
            if (byte == ';')
                EndColorEntry();
            return;
        case TDestination::Text: FPendingBytes.append(byte); return;
        }
    }

    void TextCharacter(QChar c)
    {
        if (FState.destination != TDestination::Text)
            return;
        DecodePendingBytes();
        FPendingText.append(c);
    }

    void UnicodeCharacter(int value)
    {
        FPendingSkip = 0;
        if (FState.destination != TDestination::Text)
            return;
        if (value < 0)
            value += 65536;
        if (value > 0 && value < 65536)
            TextCharacter(QChar(char16_t(value)));
        FPendingSkip = FState.unicodeSkip;
    }

    void DecodePendingBytes()
    {
        if (FPendingBytes.isEmpty())
            return;
        FPendingText.append(platform::DecodeCodePageLeniently(FPendingBytes, CodePageOf(FState.chars.font)));
        FPendingBytes.clear();
    }

    // Inserts the text gathered so far with the formatting it was read with.
    void FlushText()
    {
        DecodePendingBytes();
        // Control characters are no text of a label; the object character
        // would stand for an object the document does not have.
        FPendingText.removeIf([](QChar c) {
            return (c.unicode() < 0x20 && c != u'\t') || c == QChar::ObjectReplacementCharacter;
        });
        if (FPendingText.isEmpty())
            return;
        // A paragraph takes the formatting in force at its text; the last
        // one has no \par to take it at.
        FCursor.setBlockFormat(BlockFormat());
        FCursor.insertText(FPendingText, CharFormat(FState.chars));
        FPendingText.clear();
    }

    void NewParagraph()
    {
        if (FState.destination != TDestination::Text)
            return;
        FCursor.setBlockFormat(BlockFormat());
        FCursor.setBlockCharFormat(CharFormat(FState.chars));
        FCursor.insertBlock(BlockFormat(), CharFormat(FState.chars));
    }

    // ---- tables ----

    TFontEntry &CurrentFont()
    {
        if (!FFontOpen) {
            FFontOpen = true;
            FFonts[FCurrentFont] = TFontEntry();
        }
        return FFonts[FCurrentFont];
    }

    void FontTableByte(char byte)
    {
        if (byte == ';') {
            EndFontEntry();
            return;
        }
        if (FFontOpen)
            FFonts[FCurrentFont].nameBytes.append(byte);
    }

    void EndFontEntry()
    {
        FLastFormatState.reset();
        if (!FFontOpen)
            return;
        FFontOpen = false;
        TFontEntry &f = FFonts[FCurrentFont];
        f.nameBytes = f.nameBytes.trimmed();
    }

    void EndColorEntry()
    {
        FLastFormatState.reset();
        FColors.append(FColorGiven ? QColor(FColorRed, FColorGreen, FColorBlue) : QColor());
        FColorRed = FColorGreen = FColorBlue = 0;
        FColorGiven = false;
    }

    int CodePageOf(int font) const
    {
        const auto it = FFonts.constFind(font < 0 ? FDefaultFont : font);
        if (it == FFonts.constEnd())
            return FAnsiCodePage;
        return platform::RtfCodePageOfCharset(it->charset, FAnsiCodePage);
    }

    // ---- formats ----

    QTextCharFormat CharFormat(const TCharState &s) const
    {
        if (FLastFormatState && *FLastFormatState == s)
            return FLastFormat;
        FLastFormat = MakeCharFormat(s);
        FLastFormatState = s;
        return FLastFormat;
    }

    QTextCharFormat MakeCharFormat(const TCharState &s) const
    {
        QTextCharFormat f;
        auto font = FFonts.constFind(s.font < 0 ? FDefaultFont : s.font);
        if (font == FFonts.constEnd())
            font = FFonts.constFind(FDefaultFont);
        if (font != FFonts.constEnd()) {
            const int codePage = platform::RtfCodePageOfCharset(font->charset, FAnsiCodePage);
            f.setFontFamilies({platform::DecodeCodePageLeniently(font->nameBytes, codePage)});
            f.setProperty(RtfCharsetProperty, font->charset);
            if (!font->family.isEmpty())
                f.setProperty(RtfFontFamilyProperty, QString::fromLatin1(font->family));
        }
        f.setFontPointSize(s.halfPoints / 2.0);
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontStrikeOut(s.strike);
        if (s.color > 0 && s.color < FColors.size() && FColors[s.color].isValid())
            f.setForeground(FColors[s.color]);
        if (s.highlight > 0 && s.highlight < FColors.size() && FColors[s.highlight].isValid())
            f.setBackground(FColors[s.highlight]);
        return f;
    }

    QTextBlockFormat BlockFormat() const
    {
        const TParaState &p = FState.para;
        QTextBlockFormat f;
        f.setAlignment(p.alignment);
        f.setLeftMargin(p.leftIndent / TwipsPerLayoutPixel());
        f.setRightMargin(p.rightIndent / TwipsPerLayoutPixel());
        f.setTextIndent(p.firstIndent / TwipsPerLayoutPixel());
        f.setTopMargin(p.spaceBefore / TwipsPerLayoutPixel());
        f.setBottomMargin(p.spaceAfter / TwipsPerLayoutPixel());
        return f;
    }

    void FinishDocument()
    {
        FDocument.setProperty(kDefaultTabProperty, FDefaultTab);
        QTextOption option = FDocument.defaultTextOption();
        option.setTabStopDistance(FDefaultTab / TwipsPerLayoutPixel());
        FDocument.setDefaultTextOption(option);
        const auto font = FFonts.constFind(FDefaultFont);
        if (font != FFonts.constEnd()) {
            QFont f = FDocument.defaultFont();
            const int codePage = platform::RtfCodePageOfCharset(font->charset, FAnsiCodePage);
            f.setFamilies({platform::DecodeCodePageLeniently(font->nameBytes, codePage)});
            f.setPointSizeF(kDefaultHalfPoints / 2.0);
            FDocument.setDefaultFont(f);
        }
        FDocument.setModified(false);
    }

    static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    const QByteArray &FIn;
    qsizetype FPos = 0;
    QTextDocument &FDocument;
    QTextCursor FCursor;

    TGroupState FState;
    QList<TGroupState> FStack;
    int FUncountedDepth = 0;
    bool FIgnorableNext = false;
    int FPendingSkip = 0;
    QByteArray FPendingBytes;
    QString FPendingText;

    int FAnsiCodePage = 1252;
    int FDefaultFont = 0;
    int FDefaultTab = kDefaultTabTwips;
    QMap<int, TFontEntry> FFonts;
    int FCurrentFont = 0;
    bool FFontOpen = false;
    QList<QColor> FColors;
    // The format last made and the state it was made of: runs in a row
    // mostly share one.
    mutable std::optional<TCharState> FLastFormatState;
    mutable QTextCharFormat FLastFormat;
    int FColorRed = 0, FColorGreen = 0, FColorBlue = 0;
    bool FColorGiven = false;
    int FPartsNotKept = 0;
};

} // namespace

void ReadRtf(const QByteArray &rtf, QTextDocument &document) { TRtfReader(rtf, document).Read(); }

QStringList PartsNotKept(const QByteArray &rtf)
{
    QTextDocument scratch;
    TRtfReader reader(rtf, scratch);
    reader.Read();
    const int parts = reader.PartsNotKept();
    QStringList names;
    if (parts & kPictures)
        names << QStringLiteral("pictures");
    if (parts & kTables)
        names << QStringLiteral("tables");
    if (parts & kTabStops)
        names << QStringLiteral("tab stops");
    if (parts & kLineSpacing)
        names << QStringLiteral("line spacing");
    return names;
}

} // namespace richtext
