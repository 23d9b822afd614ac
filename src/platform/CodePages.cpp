#include "platform/CodePages.h"
#include "platform/AnsiText.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

struct CharsetCodePage {
    int charset;
    int codePage;
};

constexpr std::array<CharsetCodePage, 13> kCodePages{{
    {238, 1250}, // EASTEUROPE
    {204, 1251}, // RUSSIAN
    {161, 1253}, // GREEK
    {162, 1254}, // TURKISH
    {177, 1255}, // HEBREW
    {178, 1256}, // ARABIC
    {186, 1257}, // BALTIC
    {163, 1258}, // VIETNAMESE
    {222, 874},  // THAI
    {128, 932},  // SHIFTJIS
    {134, 936},  // GB2312
    {129, 949},  // HANGEUL
    {136, 950},  // CHINESEBIG5
}};

// One conversion through iconv; nothing on any failure, so that no character
// is dropped or replaced silently.
std::optional<QByteArray> Convert(const char *to, const char *from, QByteArrayView input)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(input.data());
    size_t inLeft = size_t(input.size());
    char *out = output.data();
    size_t outLeft = size_t(output.size());
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            continue;
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        const qsizetype used = output.size() - qsizetype(outLeft);
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = size_t(output.size() - used);
    }
    // Flush the shift state of the stateful encodings.
    if (ok && iconv(cd, nullptr, nullptr, &out, &outLeft) == size_t(-1))
        ok = false;
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    output.truncate(output.size() - qsizetype(outLeft));
    return output;
}

QByteArray CodePageName(int codePage) { return "CP" + QByteArray::number(codePage); }

} // namespace

int CodePageOfCharset(int charset)
{
    for (const auto &c : kCodePages)
        if (c.charset == charset)
            return c.codePage;
    return 0;
}

std::optional<QString> DecodeCodePage(QByteArrayView bytes, int codePage)
{
    const auto utf8 = Convert("UTF-8", CodePageName(codePage).constData(), bytes);
    if (!utf8)
        return std::nullopt;
    return QString::fromUtf8(*utf8);
}

std::optional<QByteArray> EncodeCodePage(QStringView text, int codePage)
{
    const QByteArray utf8 = text.toUtf8();
    return Convert(CodePageName(codePage).constData(), "UTF-8", utf8);
}

bool AnsiHolds(QStringView text) { return AnsiToString(StringToAnsi(text)) == text; }

} // namespace platform
