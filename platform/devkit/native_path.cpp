#include "platform/devkit/native_path.h"

namespace devkit {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// Decodes one UTF-8 sequence at text[i]; advances i past it (one byte when bad).
char32_t DecodeUtf8(const unsigned char *text, size_t length, size_t &i)
{
    unsigned char lead = text[i++];
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || i + extra > length)
        return kReplacement;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((text[i + k] & 0xC0) != 0x80)
            return kReplacement;
        c = (c << 6) | (text[i + k] & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kReplacement;
    i += extra;
    return c;
}

} // namespace

std::string Utf16ToUtf8(const char16_t *text, size_t length)
{
    std::string out;
    if (!text)
        return out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf16ToUtf8(const char16_t *text)
{
    if (!text)
        return {};
    return Utf16ToUtf8(text, std::char_traits<char16_t>::length(text));
}

std::u16string Utf8ToUtf16(const char *text, size_t length)
{
    std::u16string out;
    if (!text)
        return out;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text);
    for (size_t i = 0; i < length;)
        AppendUtf16(out, DecodeUtf8(bytes, length, i));
    return out;
}

std::string ToNativePath(const char16_t *path)
{
    std::string native = Utf16ToUtf8(path);
    for (char &c : native)
        if (c == '\\')
            c = '/';
    return native;
}

uint32_t CopyToBuffer(const std::u16string &text, char16_t *buf, uint32_t cap)
{
    if (!buf || cap == 0)
        return 0;
    size_t n = text.size() < cap - 1 ? text.size() : cap - 1;
    text.copy(buf, n);
    buf[n] = 0;
    return static_cast<uint32_t>(n);
}

} // namespace devkit
