// The reader is a single pass over the bytes with a stack of group states.
// Every control word it knows is in one table; what it does not know it
// passes over, and the destinations it does not know it skips whole.
#include "richtext/RtfReader.h"

#include "platform/CodePages.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QMap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <QTextTable>
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
// A picture's data beyond this is not kept (the picture is left out).
constexpr qsizetype kMaxPictureBytes = 32 * 1024 * 1024;
// Tables: cells of a row and tab stops of a paragraph beyond these are not
// made; their text goes into the last one.
constexpr int kMaxTableColumns = 63;
// Qt's tables take time in proportion to their cells for every row added:
// a table of more rows than any card shows goes on in a table of its own.
constexpr int kMaxTableRows = 100;
constexpr int kMaxTabStops = 64;

enum class TCode {
    // destinations
    Rtf, FontTable, ColorTable, SkippedDestination, Ignorable, PictureHolder, Picture,
    // pictures
    PictureKind, PictureWidth, PictureHeight, PictureWidthGoal, PictureHeightGoal, PictureScaleX, PictureScaleY,
    // document
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, DefaultTab,
    // font table entries
    FontFamily, FontCharset,
    // colour table entries
    Red, Green, Blue,
    // character formatting
    Plain, Bold, Italic, Underline, UnderlineNone, Strike, Font, FontSize, ForeColor, Highlight,
    UnicodeSkip, Unicode, SuperScript, SubScript, NoSuperSub, Up, Down, Hidden,
    // paragraph formatting
    ParagraphDefault, Paragraph, AlignLeft, AlignRight, AlignCenter, AlignJustify, LeftIndent, RightIndent,
    FirstIndent, SpaceBefore, SpaceAfter, TabKind, TabStop, BarTab, LineSpacing, LineMultiple,
    // tables
    RowDefaults, CellRight, CellEnd, RowEnd, InTable, RowGap, RowLeft, RowAlign, CellBorder, BorderStyle,
    BorderNone, BorderWidth, BorderColor, ParagraphBorder, CellShading, CellVerticalAlign, RowPadding, CellPadding,
    NestedCell, NestedRow, NestingLevel,
    // special characters
    Tab, Line, Character, Binary,
};

struct TControlWord {
    TCode code;
    // The character of TCode::Character; the variant of other codes (the
    // picture kind, the side of a border or padding, an alignment).
    char16_t character = 0;
};

enum TSide : char16_t { kTop, kLeft, kBottom, kRight };

const QHash<QByteArray, TControlWord> &ControlWords()
{
    static const QHash<QByteArray, TControlWord> table = {
        {"rtf", {TCode::Rtf}},
        {"fonttbl", {TCode::FontTable}},
        {"colortbl", {TCode::ColorTable}},
        // destinations whose contents are not text of the document
        {"stylesheet", {TCode::SkippedDestination}},
        {"info", {TCode::SkippedDestination}},
        {"pict", {TCode::Picture}},
        // Groups that hold a picture among other things: only the picture is read.
        {"shppict", {TCode::PictureHolder}},
        {"object", {TCode::PictureHolder}},
        {"nonshppict", {TCode::SkippedDestination}},
        {"nonesttables", {TCode::SkippedDestination}},
        {"objdata", {TCode::SkippedDestination}},
        {"pngblip", {TCode::PictureKind, char16_t(TPictureKind::Png)}},
        {"jpegblip", {TCode::PictureKind, char16_t(TPictureKind::Jpeg)}},
        {"emfblip", {TCode::PictureKind, char16_t(TPictureKind::Emf)}},
        {"wmetafile", {TCode::PictureKind, char16_t(TPictureKind::Wmf)}},
        {"dibitmap", {TCode::PictureKind, char16_t(TPictureKind::Dib)}},
        {"wbitmap", {TCode::PictureKind, char16_t(TPictureKind::None)}},
        {"macpict", {TCode::PictureKind, char16_t(TPictureKind::None)}},
        {"pmmetafile", {TCode::PictureKind, char16_t(TPictureKind::None)}},
        {"picw", {TCode::PictureWidth}},
        {"pich", {TCode::PictureHeight}},
        {"picwgoal", {TCode::PictureWidthGoal}},
        {"pichgoal", {TCode::PictureHeightGoal}},
        {"picscalex", {TCode::PictureScaleX}},
        {"picscaley", {TCode::PictureScaleY}},
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
        {"super", {TCode::SuperScript}},
        {"sub", {TCode::SubScript}},
        {"nosupersub", {TCode::NoSuperSub}},
        {"up", {TCode::Up}},
        {"dn", {TCode::Down}},
        {"v", {TCode::Hidden}},
        {"chcbpat", {TCode::Highlight}},
        {"uc", {TCode::UnicodeSkip}},
        {"u", {TCode::Unicode}},
        {"pard", {TCode::ParagraphDefault}},
        {"par", {TCode::Paragraph}},
        {"\n", {TCode::Paragraph}},
        {"\r", {TCode::Paragraph}},
        {"sect", {TCode::Paragraph}},
        {"page", {TCode::Paragraph}},
        {"row", {TCode::RowEnd}},
        {"ql", {TCode::AlignLeft}},
        {"qr", {TCode::AlignRight}},
        {"qc", {TCode::AlignCenter}},
        {"qj", {TCode::AlignJustify}},
        {"li", {TCode::LeftIndent}},
        {"ri", {TCode::RightIndent}},
        {"fi", {TCode::FirstIndent}},
        {"sb", {TCode::SpaceBefore}},
        {"sa", {TCode::SpaceAfter}},
        {"tqr", {TCode::TabKind, char16_t(QTextOption::RightTab)}},
        {"tqc", {TCode::TabKind, char16_t(QTextOption::CenterTab)}},
        {"tqdec", {TCode::TabKind, char16_t(QTextOption::DelimiterTab)}},
        {"tx", {TCode::TabStop}},
        {"tb", {TCode::BarTab}},
        {"sl", {TCode::LineSpacing}},
        {"slmult", {TCode::LineMultiple}},
        {"trowd", {TCode::RowDefaults}},
        {"cellx", {TCode::CellRight}},
        {"cell", {TCode::CellEnd}},
        {"intbl", {TCode::InTable}},
        {"trgaph", {TCode::RowGap}},
        {"trleft", {TCode::RowLeft}},
        {"trql", {TCode::RowAlign, char16_t(Qt::AlignLeft)}},
        {"trqc", {TCode::RowAlign, char16_t(Qt::AlignHCenter)}},
        {"trqr", {TCode::RowAlign, char16_t(Qt::AlignRight)}},
        {"clbrdrt", {TCode::CellBorder, kTop}},
        {"clbrdrl", {TCode::CellBorder, kLeft}},
        {"clbrdrb", {TCode::CellBorder, kBottom}},
        {"clbrdrr", {TCode::CellBorder, kRight}},
        {"brdrt", {TCode::ParagraphBorder}},
        {"brdrl", {TCode::ParagraphBorder}},
        {"brdrb", {TCode::ParagraphBorder}},
        {"brdrr", {TCode::ParagraphBorder}},
        {"box", {TCode::ParagraphBorder}},
        {"brdrnone", {TCode::BorderNone}},
        {"brdrnil", {TCode::BorderNone}},
        {"brdrw", {TCode::BorderWidth}},
        {"brdrcf", {TCode::BorderColor}},
        {"clcbpat", {TCode::CellShading}},
        {"clvertalt", {TCode::CellVerticalAlign, char16_t(QTextCharFormat::AlignTop)}},
        {"clvertalc", {TCode::CellVerticalAlign, char16_t(QTextCharFormat::AlignMiddle)}},
        {"clvertalb", {TCode::CellVerticalAlign, char16_t(QTextCharFormat::AlignBottom)}},
        {"trpaddt", {TCode::RowPadding, kTop}},
        {"trpaddl", {TCode::RowPadding, kLeft}},
        {"trpaddb", {TCode::RowPadding, kBottom}},
        {"trpaddr", {TCode::RowPadding, kRight}},
        // Word writes a cell's left padding as \clpadt and its top as \clpadl.
        {"clpadt", {TCode::CellPadding, kLeft}},
        {"clpadl", {TCode::CellPadding, kTop}},
        {"clpadb", {TCode::CellPadding, kBottom}},
        {"clpadr", {TCode::CellPadding, kRight}},
        {"nestcell", {TCode::NestedCell}},
        {"nestrow", {TCode::NestedRow}},
        {"itap", {TCode::NestingLevel}},
        {"tab", {TCode::Tab}},
        {"line", {TCode::Line}},
        {"bin", {TCode::Binary}},
        {"brdrs", {TCode::BorderStyle}},
        {"brdrth", {TCode::BorderStyle}},
        {"brdrsh", {TCode::BorderStyle}},
        {"brdrdb", {TCode::BorderStyle}},
        {"brdrdot", {TCode::BorderStyle}},
        {"brdrdash", {TCode::BorderStyle}},
        {"brdrdashsm", {TCode::BorderStyle}},
        {"brdrdashd", {TCode::BorderStyle}},
        {"brdrdashdd", {TCode::BorderStyle}},
        {"brdrhair", {TCode::BorderStyle}},
        {"brdrtriple", {TCode::BorderStyle}},
        {"brdrwavy", {TCode::BorderStyle}},
        {"brdrinset", {TCode::BorderStyle}},
        {"brdroutset", {TCode::BorderStyle}},
        {"brdremboss", {TCode::BorderStyle}},
        {"brdrengrave", {TCode::BorderStyle}},
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

// Parts of a document that the reader leaves out: pictures of kinds it
// does not draw (or too large), tables within tables (their cells come in
// as tabs), hidden text.
enum TPartNotKept { kPictures = 1, kTables = 2, kHiddenText = 4 };

enum class TDestination { Text, FontTable, ColorTable, Skip, PictureHolder, Picture };

struct TCharState {
    int font = -1; // -1: the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0, highlight = 0;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    int raise = 0; // half points, \up positive, \dn negative
    bool hidden = false;
    bool operator==(const TCharState &) const = default;
};

struct TParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0, rightIndent = 0, firstIndent = 0, spaceBefore = 0, spaceAfter = 0;
    QList<QTextOption::Tab> tabs; // positions in twips
    QTextOption::TabType nextTabKind = QTextOption::LeftTab;
    int lineSpacing = 0; // \sl: twips, negative for "exactly"
    bool lineMultiple = false;
    bool inTable = false;
    bool operator==(const TParaState &) const = default;
};

// A cell of a table row as \trowd ... \cellx describes it.
struct TCellDefinition {
    int right = 0; // twips from the left margin
    // By TSide: a border is drawn when it has a style; its width in twips
    // (0: a thin line).
    bool borderStyled[4] = {false, false, false, false};
    int border[4] = {0, 0, 0, 0};
    int borderColor[4] = {0, 0, 0, 0};
    int padding[4] = {-1, -1, -1, -1}; // twips, by TSide; -1: the row's
    int shading = 0;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignTop;
};

struct TRowDefinition {
    QList<TCellDefinition> cells;
    TCellDefinition next; // the cell being described
    int gap = 0;          // \trgaph: half the space between cells
    int left = 0;         // \trleft
    int padding[4] = {-1, -1, -1, -1};
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct TGroupState {
    TCharState chars;
    TParaState para;
    TDestination destination = TDestination::Text;
    int unicodeSkip = 1;
};

// A picture while its group is read.
struct TPictureBeingRead {
    TRtfPicture picture;
    int goalWidth = 0, goalHeight = 0;
    int scaleX = 100, scaleY = 100;
    bool kindGiven = false;
    bool tooLarge = false;
    int highNibble = -1;
};

struct TFontEntry {
    QByteArray nameBytes;
    int charset = 0;
    QByteArray family;
};

class TRtfReader
{
public:
    TRtfReader(const QByteArray &rtf, QTextDocument &document, const TReadingBound &bound = {})
        : FIn(rtf), FDocument(document), FCursor(&document), FBound(bound)
    {
    }

    void Read()
    {
        // Reading is no edit the user could take back.
        const bool undo = FDocument.isUndoRedoEnabled();
        FDocument.setUndoRedoEnabled(false);
        FDocument.clear();
        FDocument.setDocumentMargin(0);
        FCursor = QTextCursor(&FDocument);
        FCursor.beginEditBlock();
        while (FPos < FIn.size() && !FBoundReached) {
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
        // A last \par leaves the empty paragraph after it, as word
        // processors show it.
        if (FParagraphPending && !FTable)
            FCursor.insertBlock(FPendingBlockFormat, FPendingBlockCharFormat);
        FParagraphPending = false;
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
        if (closing == TDestination::Picture && FState.destination != TDestination::Picture)
            EndPicture();
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
        // Only the picture of a group that holds one is read.
        if (FState.destination == TDestination::PictureHolder && cw.code != TCode::Binary && cw.code != TCode::Picture
            && cw.code != TCode::Ignorable && cw.code != TCode::PictureHolder) {
            if (ignorable)
                FState.destination = TDestination::Skip;
            return;
        }
        if (FState.destination == TDestination::Picture) {
            PictureControl(cw, hasParameter, parameter);
            return;
        }
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
        case TCode::PictureHolder: FState.destination = TDestination::PictureHolder; break;
        case TCode::Picture:
            FState.destination = TDestination::Picture;
            FPicture = TPictureBeingRead();
            break;
        case TCode::PictureKind:
        case TCode::PictureWidth:
        case TCode::PictureHeight:
        case TCode::PictureWidthGoal:
        case TCode::PictureHeightGoal:
        case TCode::PictureScaleX:
        case TCode::PictureScaleY: break; // outside a picture: nothing
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
        case TCode::SuperScript: chars.vertical = flag ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal; break;
        case TCode::SubScript: chars.vertical = flag ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal; break;
        case TCode::NoSuperSub:
            chars.vertical = QTextCharFormat::AlignNormal;
            chars.raise = 0;
            break;
        case TCode::Up: chars.raise = std::clamp(hasParameter ? parameter : 6, 0, kMaxHalfPoints); break;
        case TCode::Down: chars.raise = -std::clamp(hasParameter ? parameter : 6, 0, kMaxHalfPoints); break;
        case TCode::Hidden: chars.hidden = flag != 0; break;
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
        case TCode::TabKind: para.nextTabKind = QTextOption::TabType(cw.character); break;
        case TCode::TabStop:
            if (para.tabs.size() < kMaxTabStops)
                para.tabs.append(QTextOption::Tab(std::clamp(parameter, 0, kMaxTwips), para.nextTabKind,
                                                  para.nextTabKind == QTextOption::DelimiterTab ? QChar(u'.') : QChar()));
            para.nextTabKind = QTextOption::LeftTab;
            break;
        case TCode::BarTab: para.nextTabKind = QTextOption::LeftTab; break;
        case TCode::LineSpacing: para.lineSpacing = hasParameter ? Twips(parameter) : 0; break;
        case TCode::LineMultiple: para.lineMultiple = flag != 0; break;
        case TCode::RowDefaults:
            FRow = TRowDefinition();
            FRowOpen = true;
            FBorderSide = -1;
            break;
        case TCode::CellRight:
            FRow.next.right = Twips(parameter);
            if (FRow.cells.size() < kMaxTableColumns)
                FRow.cells.append(FRow.next);
            FRow.next = TCellDefinition();
            FBorderSide = -1;
            break;
        case TCode::RowGap: FRow.gap = std::clamp(parameter, 0, kMaxTwips); break;
        case TCode::RowLeft: FRow.left = Twips(parameter); break;
        case TCode::RowAlign: FRow.alignment = Qt::Alignment(cw.character); break;
        case TCode::CellBorder:
            FBorderSide = cw.character;
            FRow.next.border[FBorderSide] = 0;
            FRow.next.borderStyled[FBorderSide] = false;
            break;
        case TCode::ParagraphBorder: FBorderSide = -1; break;
        case TCode::BorderStyle:
            if (FBorderSide >= 0)
                FRow.next.borderStyled[FBorderSide] = true;
            break;
        case TCode::BorderNone:
            if (FBorderSide >= 0)
                FRow.next.borderStyled[FBorderSide] = false;
            FBorderSide = -1;
            break;
        case TCode::BorderWidth:
            if (FBorderSide >= 0)
                FRow.next.border[FBorderSide] = std::clamp(parameter, 1, 255);
            break;
        case TCode::BorderColor:
            if (FBorderSide >= 0)
                FRow.next.borderColor[FBorderSide] = std::max(0, parameter);
            break;
        case TCode::CellShading: FRow.next.shading = std::max(0, parameter); break;
        case TCode::CellVerticalAlign: FRow.next.vertical = QTextCharFormat::VerticalAlignment(cw.character); break;
        case TCode::RowPadding: FRow.padding[cw.character] = std::clamp(parameter, 0, kMaxTwips); break;
        case TCode::CellPadding: FRow.next.padding[cw.character] = std::clamp(parameter, 0, kMaxTwips); break;
        case TCode::InTable: para.inTable = true; break;
        case TCode::CellEnd: EndCell(); break;
        case TCode::RowEnd: EndRow(); break;
        case TCode::NestedCell:
            FPartsNotKept |= kTables;
            TextCharacter(u'\t');
            break;
        case TCode::NestedRow:
            FPartsNotKept |= kTables;
            TextCharacter(QChar::LineSeparator);
            break;
        case TCode::NestingLevel:
            if (parameter > 1)
                FPartsNotKept |= kTables;
            break;
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
        case TDestination::Skip:
        case TDestination::PictureHolder: return;
        case TDestination::Picture: PictureByte(byte); return;
        case TDestination::FontTable: FontTableByte(byte); return;
        case TDestination::ColorTable:
            if (byte == ';')
                EndColorEntry();
            return;
        case TDestination::Text:
            FPendingBytes.append(byte);
            // A run longer than the bound goes no further than it.
            if (FBound.Limits() && FCharacters + FPendingBytes.size() > FBound.characters)
                FlushText();
            return;
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
        // Hidden text is not shown.
        if (FState.chars.hidden && !FPendingText.isEmpty()) {
            FPartsNotKept |= kHiddenText;
            FPendingText.clear();
        }
        if (FBound.Limits() && FCharacters + FPendingText.size() > FBound.characters) {
            FPendingText.truncate(std::max<qsizetype>(0, FBound.characters - FCharacters));
            FBoundReached = true;
        }
        FCharacters += FPendingText.size();
        if (FPendingText.isEmpty())
            return;
        // A paragraph takes the formatting in force at its text; the last
        // one has no \par to take it at.
        GoToContentPlace(false);
        ApplyBlockFormat();
        FCursor.insertText(FPendingText, CharFormat(FState.chars));
        FPendingText.clear();
    }

    // A \par ends the paragraph; the next one begins with the next content,
    // so that a table after it follows it directly and the mark before a
    // \cell makes no empty paragraph in the cell.
    void NewParagraph()
    {
        if (FState.destination != TDestination::Text)
            return;
        if (!CountParagraph())
            return;
        GoToContentPlace(false);
        FCursor.setBlockFormat(BlockFormat());
        FCursor.setBlockCharFormat(CharFormat(FState.chars));
        FParagraphPending = true;
        FPendingBlockFormat = BlockFormat();
        FPendingBlockCharFormat = CharFormat(FState.chars);
    }

    // The paragraph formatting in force, given to the paragraph the text
    // goes into unless it has it already: runs in a row mostly share it.
    void ApplyBlockFormat()
    {
        const QTextBlock block = FCursor.block();
        if (block == FFormattedBlock && FState.para == FFormattedPara)
            return;
        FCursor.setBlockFormat(BlockFormat());
        FFormattedBlock = block;
        FFormattedPara = FState.para;
    }

    bool CountParagraph()
    {
        if (FBound.Limits() && ++FParagraphs >= FBound.paragraphs) {
            FBoundReached = true;
            return false;
        }
        return true;
    }

    // Puts the cursor where the next content goes: into the table and its
    // current cell while a row is read (a table begins or gains a row or a
    // column on the way), after the table once a row is over and content
    // outside tables comes, into a new paragraph after a \par.
    void GoToContentPlace(bool cell)
    {
        const bool inTable = cell || FState.para.inTable || FRowOpen;
        if (inTable) {
            if (FTable && FRowEnded && FTable->rows() >= kMaxTableRows)
                EndTable();
            if (!FTable)
                StartTable();
            else if (FRowEnded)
                NextRow();
            if (FCellMoved)
                MoveToCell();
        } else if (FTable) {
            EndTable();
        }
        if (FParagraphPending) {
            FCursor.insertBlock(FPendingBlockFormat, FPendingBlockCharFormat);
            FParagraphPending = false;
        }
    }

    // ---- tables ----

    void StartTable()
    {
        // The table follows the paragraph before it.
        FParagraphPending = false;
        QTextTableFormat format;
        format.setBorder(0);
        format.setBorderCollapse(true);
        format.setCellSpacing(0);
        format.setCellPadding(0);
        format.setMargin(0);
        const int columns = int(std::clamp<qsizetype>(FRow.cells.size(), 1, kMaxTableColumns));
        FTable = FCursor.insertTable(1, columns, format);
        FRowIndex = 0;
        FColumn = 0;
        FCellMoved = false;
        FRowEnded = false;
        ApplyTableLayout();
        FCursor = FTable->cellAt(0, 0).firstCursorPosition();
    }

    // Column widths from the row's cells, and the row's place on the page.
    void ApplyTableLayout()
    {
        if (FRow.cells.isEmpty())
            return;
        if (FTable->columns() < FRow.cells.size())
            FTable->appendColumns(int(FRow.cells.size()) - FTable->columns());
        QTextTableFormat format = FTable->format();
        QList<QTextLength> widths;
        int left = FRow.left;
        for (const TCellDefinition &cell : FRow.cells) {
            widths.append(QTextLength(QTextLength::FixedLength, std::max(1, cell.right - left) / TwipsPerLayoutPixel()));
            left = std::max(left, cell.right);
        }
        while (widths.size() < FTable->columns())
            widths.append(widths.last());
        format.setColumnWidthConstraints(widths);
        format.setAlignment(FRow.alignment);
        format.setLeftMargin(std::max(0, FRow.left + FRow.gap) / TwipsPerLayoutPixel());
        FTable->setFormat(format);
    }

    void NextRow()
    {
        FTable->appendRows(1);
        ++FRowIndex;
        FColumn = 0;
        FCellMoved = false;
        FRowEnded = false;
        FCursor = FTable->cellAt(FRowIndex, 0).firstCursorPosition();
    }

    void MoveToCell()
    {
        FCellMoved = false;
        if (FColumn >= FTable->columns()) {
            if (FTable->columns() < kMaxTableColumns)
                FTable->appendColumns(FColumn - FTable->columns() + 1);
            FColumn = std::min(FColumn, FTable->columns() - 1);
        }
        FCursor = FTable->cellAt(FRowIndex, FColumn).lastCursorPosition();
    }

    void EndTable()
    {
        FCursor = FTable->lastCursorPosition();
        FCursor.movePosition(QTextCursor::NextBlock);
        FTable = nullptr;
        FRowEnded = false;
        FCellMoved = false;
        // The paragraph after the table is there already.
        FParagraphPending = false;
    }

    void EndCell()
    {
        if (FState.destination != TDestination::Text || !CountParagraph())
            return;
        // The cell's last paragraph mark ends the cell, not a paragraph.
        FParagraphPending = false;
        GoToContentPlace(true);
        ++FColumn;
        FCellMoved = true;
    }

    void EndRow()
    {
        if (FState.destination != TDestination::Text)
            return;
        FRowOpen = false;
        if (!FTable || FRowEnded)
            return;
        if (FRowIndex == 0)
            ApplyTableLayout();
        ApplyCellFormats();
        FRowEnded = true;
        FCellMoved = false;
        FParagraphPending = false;
    }

    // Borders, padding, shading and vertical alignment of the row's cells.
    void ApplyCellFormats()
    {
        const int count = int(std::min<qsizetype>(FRow.cells.size(), FTable->columns()));
        for (int c = 0; c < count; ++c) {
            const TCellDefinition &d = FRow.cells[c];
            QTextTableCell cell = FTable->cellAt(FRowIndex, c);
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            const auto padding = [&](int side) {
                int twips = d.padding[side] >= 0 ? d.padding[side] : FRow.padding[side];
                if (twips < 0)
                    twips = side == kLeft || side == kRight ? FRow.gap : 0;
                return twips / TwipsPerLayoutPixel();
            };
            f.setLeftPadding(padding(kLeft));
            f.setRightPadding(padding(kRight));
            f.setTopPadding(padding(kTop));
            f.setBottomPadding(padding(kBottom));
            const auto border = [&](int side) { return d.borderStyled[side] ? std::max(d.border[side], 1) / TwipsPerLayoutPixel() : 0.0; };
            const auto brush = [&](int side) { return QBrush(ColorAt(d.borderColor[side], Qt::black)); };
            f.setTopBorder(border(kTop));
            f.setLeftBorder(border(kLeft));
            f.setBottomBorder(border(kBottom));
            f.setRightBorder(border(kRight));
            f.setTopBorderBrush(brush(kTop));
            f.setLeftBorderBrush(brush(kLeft));
            f.setBottomBorderBrush(brush(kBottom));
            f.setRightBorderBrush(brush(kRight));
            for (const auto style : {&QTextTableCellFormat::setTopBorderStyle, &QTextTableCellFormat::setLeftBorderStyle,
                                     &QTextTableCellFormat::setBottomBorderStyle, &QTextTableCellFormat::setRightBorderStyle})
                (f.*style)(QTextFrameFormat::BorderStyle_Solid);
            if (d.shading > 0 && d.shading < FColors.size() && FColors[d.shading].isValid())
                f.setBackground(FColors[d.shading]);
            if (d.vertical != QTextCharFormat::AlignTop)
                f.setVerticalAlignment(d.vertical);
            cell.setFormat(f);
        }
    }

    QColor ColorAt(int index, const QColor &automatic) const
    {
        return index > 0 && index < FColors.size() && FColors[index].isValid() ? FColors[index] : automatic;
    }

    // ---- pictures ----

    void PictureControl(const TControlWord &cw, bool hasParameter, int parameter)
    {
        TPictureBeingRead &p = FPicture;
        switch (cw.code) {
        case TCode::Ignorable: FIgnorableNext = true; break;
        case TCode::PictureKind:
            p.picture.kind = TPictureKind(cw.character);
            p.kindGiven = true;
            if (p.picture.kind == TPictureKind::Wmf)
                p.picture.mapping = hasParameter ? std::clamp(parameter, 0, 255) : 8;
            break;
        case TCode::PictureWidth: p.picture.sourceWidth = std::clamp(parameter, 0, kMaxTwips * 100); break;
        case TCode::PictureHeight: p.picture.sourceHeight = std::clamp(parameter, 0, kMaxTwips * 100); break;
        case TCode::PictureWidthGoal: p.goalWidth = std::clamp(parameter, 0, kMaxTwips); break;
        case TCode::PictureHeightGoal: p.goalHeight = std::clamp(parameter, 0, kMaxTwips); break;
        case TCode::PictureScaleX: p.scaleX = parameter > 0 ? std::min(parameter, 1000) : 100; break;
        case TCode::PictureScaleY: p.scaleY = parameter > 0 ? std::min(parameter, 1000) : 100; break;
        case TCode::Binary: {
            const qsizetype count = std::clamp<qsizetype>(parameter, 0, FIn.size() - FPos);
            if (p.picture.data.size() + count <= kMaxPictureBytes)
                p.picture.data.append(FIn.constData() + FPos, count);
            else
                p.tooLarge = true;
            FPos += count;
            break;
        }
        default: break;
        }
    }

    void PictureByte(char byte)
    {
        const int digit = HexDigit(byte);
        if (digit < 0 || FPicture.tooLarge)
            return;
        if (FPicture.highNibble < 0) {
            FPicture.highNibble = digit;
            return;
        }
        if (FPicture.picture.data.size() >= kMaxPictureBytes) {
            FPicture.tooLarge = true;
            FPicture.picture.data.clear();
            return;
        }
        FPicture.picture.data.append(char(FPicture.highNibble * 16 + digit));
        FPicture.highNibble = -1;
    }

    // The picture read goes into the text at its size on the page.
    void EndPicture()
    {
        TPictureBeingRead p = std::move(FPicture);
        FPicture = TPictureBeingRead();
        if (FState.destination != TDestination::Text && FState.destination != TDestination::PictureHolder)
            return;
        if (FState.chars.hidden) {
            FPartsNotKept |= kHiddenText;
            return;
        }
        if (p.picture.kind == TPictureKind::None || p.tooLarge || p.picture.data.isEmpty()) {
            if (p.kindGiven || p.tooLarge)
                FPartsNotKept |= kPictures;
            return;
        }
        QSize twips(p.goalWidth, p.goalHeight);
        if (twips.width() <= 0 || twips.height() <= 0) {
            const QSize natural = NaturalSizeTwips(p.picture);
            twips = QSize(twips.width() > 0 ? twips.width() : natural.width(),
                          twips.height() > 0 ? twips.height() : natural.height());
        }
        p.picture.widthTwips = std::clamp(int(qint64(twips.width()) * p.scaleX / 100), 1, kMaxTwips);
        p.picture.heightTwips = std::clamp(int(qint64(twips.height()) * p.scaleY / 100), 1, kMaxTwips);
        if (FBound.Limits() && FCharacters + 1 > FBound.characters) {
            FBoundReached = true;
            return;
        }
        ++FCharacters;
        const TDestination holder = FState.destination;
        FState.destination = TDestination::Text;
        GoToContentPlace(false);
        FState.destination = holder;
        ApplyBlockFormat();
        FCursor.insertText(QString(QChar::ObjectReplacementCharacter), PictureFormat(p.picture, CharFormat(FState.chars)));
    }

    // ---- font and colour tables ----

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
        if (s.vertical != QTextCharFormat::AlignNormal)
            f.setVerticalAlignment(s.vertical);
        if (s.raise != 0) {
            // Qt raises text by a share of the font's size.
            f.setProperty(RtfRaiseProperty, s.raise);
            f.setBaselineOffset(100.0 * s.raise / std::max(1, s.halfPoints));
        }
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
        if (!p.tabs.isEmpty()) {
            QList<QTextOption::Tab> tabs;
            for (const QTextOption::Tab &tab : p.tabs)
                tabs.append(QTextOption::Tab(tab.position / TwipsPerLayoutPixel(), tab.type, tab.delimiter));
            f.setTabPositions(tabs);
        }
        if (p.lineSpacing > 0 && p.lineMultiple)
            f.setLineHeight(p.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing < 0)
            f.setLineHeight(-p.lineSpacing / TwipsPerLayoutPixel(), QTextBlockFormat::FixedHeight);
        else if (p.lineSpacing > 0)
            f.setLineHeight(p.lineSpacing / TwipsPerLayoutPixel(), QTextBlockFormat::MinimumHeight);
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
    TPictureBeingRead FPicture;
    // The table being read, its row and cell, and the row's description.
    QTextTable *FTable = nullptr;
    TRowDefinition FRow;
    bool FRowOpen = false;  // after \trowd, until \row
    bool FRowEnded = false; // \row read: the next content begins a row
    bool FCellMoved = false; // \cell read: the next content goes into the next cell
    int FRowIndex = 0;
    int FColumn = 0;
    int FBorderSide = -1; // the side of the cell border being described
    bool FParagraphPending = false;
    QTextBlock FFormattedBlock;
    TParaState FFormattedPara;
    QTextBlockFormat FPendingBlockFormat;
    QTextCharFormat FPendingBlockCharFormat;
    TReadingBound FBound;
    qsizetype FCharacters = 0;
    qsizetype FParagraphs = 0;
    bool FBoundReached = false;
};

} // namespace

void ReadRtf(const QByteArray &rtf, QTextDocument &document, const TReadingBound &bound)
{
    TRtfReader(rtf, document, bound).Read();
}

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
        names << QStringLiteral("tables within tables");
    if (parts & kHiddenText)
        names << QStringLiteral("hidden text");
    return names;
}

} // namespace richtext
