#include "surface/ComponentText.h"

#include "surface/ComponentStream.h"

#include <QString>
#include <cmath>

namespace {

constexpr int kBinaryBytesPerLine = 32;

class TTextConverter
{
public:
    explicit TTextConverter(const QByteArray &stream) : FReader(stream) {}

    QByteArray Convert()
    {
        FReader.ReadListBegin();
        while (!FReader.EndOfList()) {
            FReader.ReadSignature();
            ConvertObject(0);
        }
        FReader.ReadListEnd();
        return FText;
    }

private:
    void ConvertObject(int indent)
    {
        if (indent / 2 > TComponentReader::kMaxNesting)
            throw EStreamError(QStringLiteral("Invalid stream format"));
        const TComponentReader::TRecordPrefix prefix = FReader.ReadPrefix();
        const QByteArray className = FReader.ReadStr();
        const QByteArray name = FReader.ReadStr();
        Indent(indent);
        FText += (prefix.flags & 1) ? "inherited " : (prefix.flags & 4) ? "inline " : "object ";
        if (!name.isEmpty())
            FText += name + ": ";
        FText += className;
        if (prefix.childPosition)
            FText += " [" + QByteArray::number(*prefix.childPosition) + ']';
        FText += '\n';
        const QByteArray who = name.isEmpty() ? className : name;
        while (!FReader.EndOfList())
            ConvertProperty(indent + 2, who);
        FReader.ReadListEnd();
        while (!FReader.EndOfList())
            ConvertObject(indent + 2);
        FReader.ReadListEnd();
        Indent(indent);
        FText += "end\n";
    }

    // Property errors carry the object and property as the reader reports them.
    void ConvertProperty(int indent, const QByteArray &objectName)
    {
        const QByteArray name = FReader.ReadStr();
        Indent(indent);
        FText += name + " = ";
        try {
            ConvertValue(indent, 0);
        } catch (const EStreamError &e) {
            throw EStreamError(QStringLiteral("Error reading %1.%2: %3")
                                   .arg(QString::fromLatin1(objectName), QString::fromLatin1(name), e.Message()));
        }
        FText += '\n';
    }

    void ConvertValue(int indent, int depth)
    {
        if (depth > TComponentReader::kMaxNesting)
            throw EStreamError(QStringLiteral("Invalid property value"));
        const TValueType type = FReader.ReadValueType();
        switch (type) {
        case vaList: ConvertList(indent, depth); break;
        case vaInt8:
        case vaInt16:
        case vaInt32: FText += QByteArray::number(FReader.ReadIntegerBody(type)); break;
        case vaExtended: FText += FormatFloat(FReader.ReadFloatBody()); break;
        case vaString:
        case vaLString: FText += QuoteString(FReader.ReadStringBody(type)); break;
        case vaWString:
        case vaUTF8String: FText += QuoteWideString(FReader.ReadStringText(type)); break;
        case vaIdent: FText += FReader.ReadStr(); break;
        case vaFalse: FText += "False"; break;
        case vaTrue: FText += "True"; break;
        case vaNil: FText += "nil"; break;
        case vaBinary: ConvertBinary(indent, FReader.ReadBinaryBody()); break;
        case vaSet: FText += '[' + FReader.ReadSetBody().join(", ") + ']'; break;
        case vaCollection: ConvertCollection(indent, depth); break;
        default: throw EStreamError(QStringLiteral("Invalid property value"));
        }
    }

    // "(" then one value a line, the closing bracket on a line of its own.
    void ConvertList(int indent, int depth)
    {
        FText += '(';
        bool any = false;
        while (!FReader.EndOfList()) {
            FText += '\n';
            Indent(indent + 2);
            ConvertValue(indent + 2, depth + 1);
            any = true;
        }
        FReader.ReadListEnd();
        if (any) {
            FText += '\n';
            Indent(indent);
        }
        FText += ')';
    }

    void ConvertCollection(int indent, int depth)
    {
        FText += '<';
        bool any = false;
        while (!FReader.EndOfList()) {
            FText += '\n';
            Indent(indent + 2);
            FText += "item";
            const TValueType next = FReader.NextValue();
            if (next == vaInt8 || next == vaInt16 || next == vaInt32)
                FText += " [" + QByteArray::number(FReader.ReadInteger()) + ']';
            FText += '\n';
            FReader.ReadListBegin();
            while (!FReader.EndOfList()) {
                Indent(indent + 4);
                FText += FReader.ReadStr() + " = ";
                ConvertValue(indent + 4, depth + 1);
                FText += '\n';
            }
            FReader.ReadListEnd();
            Indent(indent + 2);
            FText += "end";
            any = true;
        }
        FReader.ReadListEnd();
        if (any) {
            FText += '\n';
            Indent(indent);
        }
        FText += '>';
    }

    void ConvertBinary(int indent, const QByteArray &bytes)
    {
        FText += '{';
        for (qsizetype at = 0; at < bytes.size(); at += kBinaryBytesPerLine) {
            FText += '\n';
            Indent(indent + 2);
            FText += bytes.mid(at, kBinaryBytesPerLine).toHex().toUpper();
        }
        // The closing brace stands on a line of its own, under the entry.
        if (!bytes.isEmpty()) {
            FText += '\n';
            Indent(indent);
        }
        FText += '}';
    }

    // Printable ASCII inside quotes (a quote doubled), every other byte as
    // #code outside them: 'Zolt'#225'n', #9'tab'#9.
    static QByteArray QuoteString(const QByteArray &bytes)
    {
        if (bytes.isEmpty())
            return "''";
        QByteArray text;
        bool quoted = false;
        for (const char c : bytes) {
            const auto code = static_cast<unsigned char>(c);
            const bool printable = code >= 32 && code <= 126;
            if (printable != quoted) {
                text += '\'';
                quoted = printable;
            }
            if (!printable)
                text += '#' + QByteArray::number(code);
            else if (c == '\'')
                text += "''";
            else
                text += c;
        }
        if (quoted)
            text += '\'';
        return text;
    }

    // As QuoteString, every character beyond printable ASCII by its UTF-16 code.
    static QByteArray QuoteWideString(const QString &text)
    {
        if (text.isEmpty())
            return "''";
        QByteArray quoted;
        bool open = false;
        for (const QChar c : text) {
            const bool printable = c.unicode() >= 32 && c.unicode() <= 126;
            if (printable != open) {
                quoted += '\'';
                open = printable;
            }
            if (!printable)
                quoted += '#' + QByteArray::number(c.unicode());
            else if (c == QLatin1Char('\''))
                quoted += "''";
            else
                quoted += char(c.unicode());
        }
        if (open)
            quoted += '\'';
        return quoted;
    }

    // Fifteen significant digits without trailing zeros; an exponent only for
    // very large or small values ("1E20").
    static QByteArray FormatFloat(double value)
    {
        if (std::isnan(value))
            return "NAN";
        if (std::isinf(value))
            return value > 0 ? "INF" : "-INF";
        QByteArray text = QByteArray::number(value, 'g', 15);
        const qsizetype e = text.indexOf('e');
        if (e < 0)
            return text;
        QByteArray exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith('-');
        exponent.remove(0, (exponent.startsWith('-') || exponent.startsWith('+')) ? 1 : 0);
        while (exponent.size() > 1 && exponent.startsWith('0'))
            exponent.remove(0, 1);
        return text.left(e) + 'E' + (negative ? "-" : "") + exponent;
    }

    void Indent(int count) { FText.append(count, ' '); }

    TComponentReader FReader;
    QByteArray FText;
};

} // namespace

QByteArray ComponentStreamToText(const QByteArray &stream) { return TTextConverter(stream).Convert(); }
