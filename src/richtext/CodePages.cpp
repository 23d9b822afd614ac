// Conversions through iconv, with one converter per code page and direction
// kept open for the life of the program: opening one costs far more than a
// whole label's text.
#include "richtext/CodePages.h"

#include <QHash>
#include <cerrno>
#include <iconv.h>

namespace richtext {
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

// The converter between a code page and UTF-16LE; kNoConverter when iconv
// does not know the code page.
iconv_t Converter(int codePage, bool toUnicode)
{
    static TConverters decoders, encoders;
    QHash<int, iconv_t> &table = (toUnicode ? decoders : encoders).table;
    const auto it = table.constFind(codePage);
    if (it != table.constEnd())
        return *it;
    const QByteArray name = IconvName(codePage);
    const iconv_t cd = toUnicode ? iconv_open("UTF-16LE", name.constData()) : iconv_open(name.constData(), "UTF-16LE");
    table.insert(codePage, cd);
    return cd;
}

} // namespace

int CodePageOfCharset(int charset, int ansiCodePage)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return ansiCodePage;
    }
}

QString DecodeCodePage(const QByteArray &bytes, int codePage)
{
    iconv_t cd = Converter(codePage, true);
    if (cd == kNoConverter)
        cd = Converter(1252, true);
    if (cd == kNoConverter)
        return QString::fromLatin1(bytes);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QString text(bytes.size(), Qt::Uninitialized);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(text.data());
    size_t outLeft = size_t(text.size()) * 2;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft < 2)
            break; // cannot happen: no code page gives more characters than bytes
        // An undefined byte, or a lead byte without its trail byte.
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

std::optional<unsigned char> EncodeCodePageByte(QChar c, int codePage)
{
    if (c.unicode() < 0x80)
        return static_cast<unsigned char>(c.unicode());
    if (c.isSurrogate())
        return std::nullopt;
    const iconv_t cd = Converter(codePage, false);
    if (cd == kNoConverter)
        return std::nullopt;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char16_t unit = c.unicode();
    char *in = reinterpret_cast<char *>(&unit);
    size_t inLeft = 2;
    char buffer[8];
    char *out = buffer;
    size_t outLeft = sizeof buffer;
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1))
        return std::nullopt;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    if (sizeof buffer - outLeft != 1)
        return std::nullopt;
    return static_cast<unsigned char>(buffer[0]);
}

} // namespace richtext
