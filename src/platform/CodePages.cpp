// Conversions through iconv, with one converter per code page and direction
// kept open for the life of the program: opening one costs far more than a
// whole label's text.
#include "platform/CodePages.h"

#include "platform/AnsiText.h"

#include <QHash>
#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

QByteArray IconvName(int codePage)
{
    switch (codePage) {
    case 10000: return "MACINTOSH";
    case 1361: return "JOHAB";
    default: return "CP" + QByteArray::number(codePage);
    }
}

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Converters by code page, closed when the program ends.
struct TConverters {
    QHash<int, iconv_t> table;
    ~TConverters()
    {
        for (iconv_t cd : std::as_const(table))
            if (cd != kNoConverter)
                iconv_close(cd);
    }
};

// The converter between a code page and UTF-16LE, in its initial state;
// kNoConverter when iconv does not know the code page.
iconv_t Converter(int codePage, bool toUnicode)
{
    static TConverters decoders, encoders;
    QHash<int, iconv_t> &table = (toUnicode ? decoders : encoders).table;
    auto it = table.find(codePage);
    if (it == table.end()) {
        const QByteArray name = IconvName(codePage);
        it = table.insert(codePage, toUnicode ? iconv_open("UTF-16LE", name.constData())
                                              : iconv_open(name.constData(), "UTF-16LE"));
    }
    if (*it != kNoConverter)
        iconv(*it, nullptr, nullptr, nullptr, nullptr);
    return *it;
}

// Decodes with cd; an undefined byte (or a lead byte without its trail byte)
// becomes U+FFFD when lenient, else ends the conversion with nothing.
std::optional<QString> Decode(iconv_t cd, QByteArrayView bytes, bool lenient)
{
    // No code page gives more characters than it has bytes.
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (!lenient || errno == E2BIG || outLeft < 2)
            return std::nullopt;
        *reinterpret_cast<char16_t *>(out) = u'\uFFFD';
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    text.truncate(text.size() - qsizetype(outLeft / 2));
    return text;
}

} // namespace

int CodePageOfCharset(int charset)
{
    switch (charset) {
    case 238: return 1250; // EASTEUROPE
    case 204: return 1251; // RUSSIAN
    case 161: return 1253; // GREEK
    case 162: return 1254; // TURKISH
    case 177: return 1255; // HEBREW
    case 178: return 1256; // ARABIC
    case 186: return 1257; // BALTIC
    case 163: return 1258; // VIETNAMESE
    case 222: return 874;  // THAI
    case 128: return 932;  // SHIFTJIS
    case 134: return 936;  // GB2312
    case 129: return 949;  // HANGEUL
    case 136: return 950;  // CHINESEBIG5
    default: return 0;
    }
}

int RtfCodePageOfCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 77: return 10000;
    case 130: return 1361;
    case 254: return 437;
    case 255: return 850;
    default: break;
    }
    const int codePage = CodePageOfCharset(charset);
    return codePage != 0 ? codePage : ansiCodePage;
}

std::optional<QString> DecodeCodePage(QByteArrayView bytes, int codePage)
{
    const iconv_t cd = Converter(codePage, true);
    if (cd == kNoConverter)
        return std::nullopt;
    return Decode(cd, bytes, false);
}

QString DecodeCodePageLeniently(QByteArrayView bytes, int codePage)
{
    iconv_t cd = Converter(codePage, true);
    if (cd == kNoConverter)
        cd = Converter(1252, true);
    if (cd == kNoConverter)
        return QString::fromLatin1(bytes.data(), bytes.size());
    return Decode(cd, bytes, true).value_or(QString());
}

std::optional<QByteArray> EncodeCodePage(QStringView text, int codePage)
{
    const iconv_t cd = Converter(codePage, false);
    if (cd == kNoConverter)
        return std::nullopt;
    // A double-byte code page needs at most two bytes a UTF-16 unit.
    QByteArray bytes(text.size() * 2 + 16, Qt::Uninitialized);
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    size_t inLeft = size_t(text.size()) * 2;
    char *out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return std::nullopt;
    // Flush the shift state of the stateful encodings.
    if (iconv(cd, nullptr, nullptr, &out, &outLeft) == size_t(-1))
        return std::nullopt;
    bytes.truncate(bytes.size() - qsizetype(outLeft));
    return bytes;
}

std::optional<unsigned char> EncodeCodePageByte(QChar c, int codePage)
{
    if (c.unicode() < 0x80)
        return static_cast<unsigned char>(c.unicode());
    if (c.isSurrogate())
        return std::nullopt;
    const std::optional<QByteArray> bytes = EncodeCodePage(QStringView(&c, 1), codePage);
    if (!bytes || bytes->size() != 1)
        return std::nullopt;
    return static_cast<unsigned char>(bytes->at(0));
}

bool AnsiHolds(QStringView text) { return AnsiToString(StringToAnsi(text)) == text; }

} // namespace platform
