#include "cardkit/text_util.h"

namespace cardkit {

static void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | c >> 6));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | c >> 12));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | c >> 18));
        out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

static void AppendUtf16(std::u16string &out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

std::u16string FromUtf8(std::string_view text)
{
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = text[i];
        const int extra = lead < 0x80                   ? 0
                          : lead >= 0xF0 && lead < 0xF5 ? 3
                          : lead >= 0xE0                ? 2
                          : lead >= 0xC2 && lead < 0xE0 ? 1
                                                        : -1;
        constexpr unsigned char kLeadMask[] = {0x7F, 0x1F, 0x0F, 0x07};
        char32_t c = extra >= 0 ? lead & kLeadMask[extra] : 0;
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (ok && (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)))
            ok = false;
        if (!ok) {
            AppendUtf16(out, 0xFFFD);
            ++i;
            continue;
        }
        AppendUtf16(out, c);
        i += extra + 1;
    }
    return out;
}

std::u16string AsciiUpper(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t &c : out)
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 32);
    return out;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

std::string NativePath(std::u16string_view path)
{
    std::string out = ToUtf8(path);
    for (char &c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string JoinPath(const std::string &folder, const std::string &name)
{
    std::string out = folder;
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    size_t skip = 0;
    while (skip < name.size() && name[skip] == '/')
        ++skip;
    return out + "/" + name.substr(skip);
}

} // namespace cardkit
