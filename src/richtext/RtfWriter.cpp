// The writer keeps the character formatting last written and writes only
// what changes from one run to the next; every paragraph starts from \pard
// and \plain, so a paragraph can be read on its own.
#include "richtext/RtfWriter.h"

#include "platform/CodePages.h"
#include "richtext/RtfFormat.h"
#include "richtext/RtfPictures.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>
#include <cmath>

namespace richtext {
namespace {

struct TFontKey {
    QString name;
    int charset = 0;
    QString family;
    bool operator==(const TFontKey &o) const { return name == o.name && charset == o.charset; }
};

// The character formatting RTF can say, in its own terms.
struct TRunFormat {
    int font = 0;
    int halfPoints = kDefaultHalfPoints;
    bool bold = false, italic = false, underline = false, strike = false;
    int color = 0, highlight = 0;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    int raise = 0;
};

class TRtfWriter
{
public:
    explicit TRtfWriter(const QTextDocument &document) : FDocument(document) {}

    QByteArray Write()
    {
        CollectTables();
        QByteArray body;
        const QTextFrame *root = FDocument.rootFrame();
        for (auto it = root->begin(); !it.atEnd(); ++it) {
            if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame())) {
                WriteTable(*table, body);
                continue;
            }
            if (it.currentFrame()) { // a frame of pasted HTML: its paragraphs
                WriteFrameParagraphs(*it.currentFrame(), body);
                continue;
            }
            const QTextBlock block = it.currentBlock();
            auto following = it;
            ++following;
            const bool last = following.atEnd();
            if (last && block.length() <= 1)
                break; // the empty paragraph after the last \par
            // A table cannot begin a document: the empty paragraph before
            // one at the start is the document's, not the text's.
            if (!last && block.length() <= 1 && block.position() == 0 && following.currentFrame())
                continue;
            WriteParagraph(block, body, false);
            if (!last)
                body += "\\par\r\n";
        }
        QByteArray out = "{\\rtf1\\ansi\\deff0\\deftab" + QByteArray::number(DefaultTab()) + "{\\fonttbl";
        for (int i = 0; i < FFonts.size(); ++i) {
            const TFontKey &f = FFonts[i];
            out += "{\\f" + QByteArray::number(i) + "\\f" + (f.family.isEmpty() ? QByteArray("nil") : f.family.toLatin1())
                + "\\fcharset" + QByteArray::number(f.charset) + ' ';
            out += EscapedText(f.name, platform::RtfCodePageOfCharset(f.charset, 1252));
            out += ";}";
        }
        out += "}\r\n{\\colortbl;";
        for (const QColor &c : FColors)
            out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
                + QByteArray::number(c.blue()) + ';';
        out += "}\r\n";
        out += body;
        out += "}\r\n";
        return out;
    }

private:
    int DefaultTab() const
    {
        const int tab = FDocument.property(kDefaultTabProperty).toInt();
        return tab > 0 ? tab : kDefaultTabTwips;
    }

    // ---- tables ----

    void CollectTables()
    {
        for (QTextBlock block = FDocument.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat f = it.fragment().charFormat();
                FontIndex(FontOf(f));
                if (f.hasProperty(QTextFormat::ForegroundBrush))
                    ColorIndex(f.foreground().color());
                if (f.hasProperty(QTextFormat::BackgroundBrush))
                    ColorIndex(f.background().color());
            }
        }
        if (FFonts.isEmpty())
            FontIndex(FontOf(QTextCharFormat()));
        for (QTextFrame *frame : FDocument.rootFrame()->childFrames())
            if (const auto *table = qobject_cast<const QTextTable *>(frame))
                for (int r = 0; r < table->rows(); ++r)
                    for (int c = 0; c < table->columns(); ++c) {
                        const QTextTableCellFormat f = table->cellAt(r, c).format().toTableCellFormat();
                        for (const QBrush &brush : {f.topBorderBrush(), f.leftBorderBrush(), f.bottomBorderBrush(),
                                                 f.rightBorderBrush()})
                            if (brush.style() != Qt::NoBrush)
                                ColorIndex(brush.color());
                        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
                            ColorIndex(f.background().color());
                    }
    }

    TFontKey FontOf(const QTextCharFormat &f) const
    {
        TFontKey key;
        const QStringList families = f.fontFamilies().toStringList();
        key.name = families.isEmpty() ? FDocument.defaultFont().family() : families.first();
        key.charset = f.intProperty(RtfCharsetProperty);
        key.family = f.stringProperty(RtfFontFamilyProperty);
        return key;
    }

    int FontIndex(const TFontKey &key)
    {
        const qsizetype i = FFonts.indexOf(key);
        if (i >= 0)
            return int(i);
        FFonts.append(key);
        return int(FFonts.size() - 1);
    }

    // Index in the colour table; 0 is the automatic colour.
    int ColorIndex(const QColor &color)
    {
        const QRgb rgb = color.rgb();
        for (qsizetype i = 0; i < FColors.size(); ++i)
            if (FColors[i].rgb() == rgb)
                return int(i + 1);
        FColors.append(QColor(rgb));
        return int(FColors.size());
    }

    TRunFormat RunFormatOf(const QTextCharFormat &f)
    {
        TRunFormat r;
        r.font = FontIndex(FontOf(f));
        const double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : kDefaultHalfPoints / 2.0;
        r.halfPoints = std::max(1, int(std::lround(points * 2)));
        r.bold = f.fontWeight() >= QFont::DemiBold;
        r.italic = f.fontItalic();
        r.underline = f.fontUnderline();
        r.strike = f.fontStrikeOut();
        if (f.hasProperty(QTextFormat::ForegroundBrush))
            r.color = ColorIndex(f.foreground().color());
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            r.highlight = ColorIndex(f.background().color());
        r.vertical = f.verticalAlignment();
        if (r.vertical != QTextCharFormat::AlignSuperScript && r.vertical != QTextCharFormat::AlignSubScript)
            r.vertical = QTextCharFormat::AlignNormal;
        r.raise = f.intProperty(RtfRaiseProperty);
        return r;
    }

    // ---- paragraphs ----

    static QByteArray Twips(double pixels) { return QByteArray::number(std::lround(pixels * TwipsPerLayoutPixel())); }

    void WriteParagraph(const QTextBlock &block, QByteArray &out, bool inTable)
    {
        const QTextBlockFormat p = block.blockFormat();
        out += "\\pard";
        if (inTable)
            out += "\\intbl";
        const Qt::Alignment a = p.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignRight)
            out += "\\qr";
        else if (a & Qt::AlignHCenter)
            out += "\\qc";
        else if (a & Qt::AlignJustify)
            out += "\\qj";
        if (std::lround(p.leftMargin() * TwipsPerLayoutPixel()) != 0)
            out += "\\li" + Twips(p.leftMargin());
        if (std::lround(p.rightMargin() * TwipsPerLayoutPixel()) != 0)
            out += "\\ri" + Twips(p.rightMargin());
        if (std::lround(p.textIndent() * TwipsPerLayoutPixel()) != 0)
            out += "\\fi" + Twips(p.textIndent());
        if (std::lround(p.topMargin() * TwipsPerLayoutPixel()) != 0)
            out += "\\sb" + Twips(p.topMargin());
        if (std::lround(p.bottomMargin() * TwipsPerLayoutPixel()) != 0)
            out += "\\sa" + Twips(p.bottomMargin());
        for (const QTextOption::Tab &tab : p.tabPositions()) {
            if (tab.type == QTextOption::RightTab)
                out += "\\tqr";
            else if (tab.type == QTextOption::CenterTab)
                out += "\\tqc";
            else if (tab.type == QTextOption::DelimiterTab)
                out += "\\tqdec";
            out += "\\tx" + Twips(tab.position);
        }
        switch (p.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (p.lineHeight() != 100)
                out += "\\sl" + QByteArray::number(std::lround(p.lineHeight() * 240 / 100)) + "\\slmult1";
            break;
        case QTextBlockFormat::FixedHeight:
            out += "\\sl-" + Twips(p.lineHeight()) + "\\slmult0";
            break;
        case QTextBlockFormat::MinimumHeight:
            out += "\\sl" + Twips(p.lineHeight()) + "\\slmult0";
            break;
        default: break;
        }
        out += "\\plain";
        TRunFormat written; // \plain: font 0, 12 points, nothing else
        bool delimit = true;
        bool anyText = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const TRunFormat run = RunFormatOf(fragment.charFormat());
            delimit |= WriteFormatChange(written, run, out);
            written = run;
            if (IsPicture(fragment.charFormat())) {
                for (qsizetype n = 0; n < fragment.length(); ++n)
                    WritePicture(PictureOf(fragment.charFormat()), out);
                anyText = true;
                delimit = false; // the picture's group closes with its brace
                continue;
            }
            const int codePage = platform::RtfCodePageOfCharset(FFonts[run.font].charset, 1252);
            WriteRunText(fragment.text(), codePage, delimit, out);
            anyText = true;
        }
        if (!anyText) // an empty line keeps its size
            WriteFormatChange(written, RunFormatOf(block.charFormat()), out);
    }

    // Writes the control words that turn `from` into `to`; true when any was
    // written (the text after it then needs a delimiting space).
    static bool WriteFormatChange(const TRunFormat &from, const TRunFormat &to, QByteArray &out)
    {
        const qsizetype start = out.size();
        auto toggle = [&out](bool was, bool is, const char *on, const char *off) {
            if (was != is)
                out += is ? on : off;
        };
        if (from.font != to.font)
            out += "\\f" + QByteArray::number(to.font);
        if (from.halfPoints != to.halfPoints)
            out += "\\fs" + QByteArray::number(to.halfPoints);
        toggle(from.bold, to.bold, "\\b", "\\b0");
        toggle(from.italic, to.italic, "\\i", "\\i0");
        toggle(from.underline, to.underline, "\\ul", "\\ulnone");
        toggle(from.strike, to.strike, "\\strike", "\\strike0");
        if (from.color != to.color)
            out += "\\cf" + QByteArray::number(to.color);
        if (from.highlight != to.highlight)
            out += "\\highlight" + QByteArray::number(to.highlight);
        if (from.vertical != to.vertical)
            out += to.vertical == QTextCharFormat::AlignSuperScript ? "\\super"
                : to.vertical == QTextCharFormat::AlignSubScript   ? "\\sub"
                                                                    : "\\nosupersub";
        if (from.raise != to.raise)
            out += to.raise >= 0 ? "\\up" + QByteArray::number(to.raise) : "\\dn" + QByteArray::number(-to.raise);
        return out.size() != start;
    }

    // ---- pictures ----

    static void WritePicture(const TRtfPicture &picture, QByteArray &out)
    {
        static const char *const kinds[] = {"", "\\pngblip", "\\jpegblip", "\\emfblip", "\\wmetafile", "\\dibitmap0"};
        const int kind = int(picture.kind);
        if (kind <= 0 || kind >= int(std::size(kinds)))
            return;
        out += "{\\pict";
        out += kinds[kind];
        if (picture.kind == TPictureKind::Wmf)
            out += QByteArray::number(picture.mapping);
        out += "\\picw" + QByteArray::number(picture.sourceWidth) + "\\pich" + QByteArray::number(picture.sourceHeight)
            + "\\picwgoal" + QByteArray::number(picture.widthTwips) + "\\pichgoal"
            + QByteArray::number(picture.heightTwips) + "\r\n";
        const QByteArray hex = picture.data.toHex();
        for (qsizetype at = 0; at < hex.size(); at += 128)
            out += hex.mid(at, 128) + "\r\n";
        out += '}';
    }

    // ---- tables ----

    void WriteFrameParagraphs(const QTextFrame &frame, QByteArray &out)
    {
        for (auto it = frame.begin(); !it.atEnd(); ++it) {
            if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame()))
                WriteTable(*table, out);
            else if (it.currentFrame())
                WriteFrameParagraphs(*it.currentFrame(), out);
            else {
                WriteParagraph(it.currentBlock(), out, false);
                out += "\\par\r\n";
            }
        }
    }

    // Column widths in twips: fixed widths as they are; others share the
    // page's width.
    QList<int> ColumnWidths(const QTextTable &table) const
    {
        const QList<QTextLength> constraints = table.format().columnWidthConstraints();
        const double page = FDocument.textWidth() > 0 ? FDocument.textWidth() * TwipsPerLayoutPixel() : 9360;
        QList<int> widths;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextLength length = constraints.value(c);
            if (length.type() == QTextLength::FixedLength)
                widths.append(int(std::lround(length.rawValue() * TwipsPerLayoutPixel())));
            else if (length.type() == QTextLength::PercentageLength)
                widths.append(int(std::lround(page * length.rawValue() / 100)));
            else
                widths.append(int(std::lround(page / table.columns())));
        }
        return widths;
    }

    void WriteCellDefinition(const QTextTableCell &cell, int right, QByteArray &out)
    {
        const QTextTableCellFormat f = cell.format().toTableCellFormat();
        const struct {
            const char *word;
            double width;
            QBrush brush;
        } borders[] = {{"\\clbrdrt", f.topBorder(), f.topBorderBrush()},
                       {"\\clbrdrl", f.leftBorder(), f.leftBorderBrush()},
                       {"\\clbrdrb", f.bottomBorder(), f.bottomBorderBrush()},
                       {"\\clbrdrr", f.rightBorder(), f.rightBorderBrush()}};
        for (const auto &b : borders) {
            if (!(b.width > 0))
                continue;
            out += QByteArray(b.word) + "\\brdrs\\brdrw" + QByteArray::number(std::max(1L, std::lround(b.width * TwipsPerLayoutPixel())));
            if (b.brush.style() != Qt::NoBrush && b.brush.color().rgb() != QColor(Qt::black).rgb())
                out += "\\brdrcf" + QByteArray::number(ColorIndex(b.brush.color()));
        }
        // Word's names: \clpadt is the left padding, \clpadl the top.
        out += "\\clpadfl3\\clpadl" + Twips(f.topPadding()) + "\\clpadft3\\clpadt" + Twips(f.leftPadding())
            + "\\clpadfb3\\clpadb" + Twips(f.bottomPadding()) + "\\clpadfr3\\clpadr" + Twips(f.rightPadding());
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            out += "\\clcbpat" + QByteArray::number(ColorIndex(f.background().color()));
        if (f.verticalAlignment() == QTextCharFormat::AlignMiddle)
            out += "\\clvertalc";
        else if (f.verticalAlignment() == QTextCharFormat::AlignBottom)
            out += "\\clvertalb";
        out += "\\cellx" + QByteArray::number(right);
    }

    void WriteTable(const QTextTable &table, QByteArray &out)
    {
        const QTextTableFormat format = table.format();
        const QList<int> widths = ColumnWidths(table);
        const int left = int(std::lround(format.leftMargin() * TwipsPerLayoutPixel()));
        for (int r = 0; r < table.rows(); ++r) {
            out += "\\trowd\\trgaph0";
            if (left != 0)
                out += "\\trleft" + QByteArray::number(left);
            const Qt::Alignment a = format.alignment() & Qt::AlignHorizontal_Mask;
            if (a & Qt::AlignHCenter)
                out += "\\trqc";
            else if (a & Qt::AlignRight)
                out += "\\trqr";
            int right = left;
            QList<QTextTableCell> cells;
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                right += widths[c];
                // A cell spanning columns ends at its last column.
                if (cell.column() + cell.columnSpan() - 1 != c)
                    continue;
                WriteCellDefinition(cell, right, out);
                cells.append(cell);
            }
            out += "\r\n";
            for (const QTextTableCell &cell : cells) {
                // A cell that goes on from the row above shows nothing here.
                if (cell.row() == r) {
                    bool first = true;
                    for (auto it = cell.begin(); !it.atEnd(); ++it) {
                        if (it.currentFrame())
                            continue;
                        if (!first)
                            out += "\\par\r\n";
                        WriteParagraph(it.currentBlock(), out, true);
                        first = false;
                    }
                } else {
                    out += "\\pard\\intbl";
                }
                out += "\\cell\r\n";
            }
            out += "\\row\r\n";
        }
    }

    static void WriteRunText(const QString &text, int codePage, bool &delimit, QByteArray &out)
    {
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u == u'\t' || u == QChar::LineSeparator || u == 0xA0) {
                out += u == u'\t' ? "\\tab" : u == 0xA0 ? "\\~" : "\\line";
                delimit = u != 0xA0;
                continue;
            }
            if (u < 0x20 || u == QChar::ObjectReplacementCharacter || u == QChar::ParagraphSeparator)
                continue;
            if (delimit) {
                out += ' ';
                delimit = false;
            }
            if (u == u'\\' || u == u'{' || u == u'}') {
                out += '\\';
                out += char(u);
            } else if (u < 0x80) {
                out += char(u);
            } else if (const auto byte = platform::EncodeCodePageByte(c, codePage)) {
                out += "\\'" + QByteArray::number(*byte, 16).rightJustified(2, '0');
            } else {
                out += "\\u" + QByteArray::number(int(int16_t(u))) + '?';
            }
        }
    }

    static QByteArray EscapedText(const QString &text, int codePage)
    {
        QByteArray out;
        bool delimit = false;
        WriteRunText(text, codePage, delimit, out);
        return out;
    }

    const QTextDocument &FDocument;
    QList<TFontKey> FFonts;
    QList<QColor> FColors;
};

} // namespace

QByteArray WriteRtf(const QTextDocument &document) { return TRtfWriter(document).Write(); }

} // namespace richtext
