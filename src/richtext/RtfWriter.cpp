// The writer keeps the character formatting last written and writes only
// what changes from one run to the next; every paragraph starts from \pard
// and \plain, so a paragraph can be read on its own.
#include "richtext/RtfWriter.h"

#include "platform/CodePages.h"
#include "richtext/RtfFormat.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
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
};

class TRtfWriter
{
public:
    explicit TRtfWriter(const QTextDocument &document) : FDocument(document) {}

    QByteArray Write()
    {
        CollectTables();
        QByteArray body;
        for (QTextBlock block = FDocument.begin(); block.isValid(); block = block.next()) {
            const bool last = !block.next().isValid();
            if (last && block.length() <= 1)
                break; // the empty paragraph after the last \par
            WriteParagraph(block, body);
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
        return r;
    }

    // ---- paragraphs ----

    static QByteArray Twips(double pixels) { return QByteArray::number(std::lround(pixels * TwipsPerLayoutPixel())); }

    void WriteParagraph(const QTextBlock &block, QByteArray &out)
    {
        const QTextBlockFormat p = block.blockFormat();
        out += "\\pard";
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
        out += "\\plain";
        TRunFormat written; // \plain: font 0, 12 points, nothing else
        bool delimit = true;
        bool anyText = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const TRunFormat run = RunFormatOf(fragment.charFormat());
            delimit |= WriteFormatChange(written, run, out);
            written = run;
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
        return out.size() != start;
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
