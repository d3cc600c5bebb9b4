// LikeCompare on untrusted text and pattern, narrow and wide. The first byte chooses the
// case mode; the rest is split at the first zero byte into text and pattern. Checks that
// a pattern made by escaping every special character of the text matches it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "corekit/text/strings.h"

namespace {

template <typename C> std::basic_string<C> Escaped(const std::basic_string<C> &text)
{
    std::basic_string<C> pattern;
    for (C c : text) {
        if (c == '*' || c == '?' || c == '$' || c == '#' || c == '[')
            pattern.push_back(C('\\'));
        pattern.push_back(c);
    }
    return pattern;
}

template <typename C>
void Check(const std::basic_string<C> &text, const std::basic_string<C> &pattern, int nocase)
{
    LikeCompare(text.c_str(), pattern.c_str(), nocase);
    if (text.find(C('\\')) == std::basic_string<C>::npos &&
        LikeCompare(text.c_str(), Escaped(text).c_str(), 0) != 1)
        std::abort();
    if (LikeCompare(text.c_str(), pattern.c_str(), nocase) > 1)
        std::abort();
}

// The bytes as UTF-16 units, two per unit, stopping at a zero unit.
std::u16string Units(const std::string &bytes)
{
    std::u16string s;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t u = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                           static_cast<unsigned char>(bytes[i + 1]) << 8);
        if (!u)
            break;
        s.push_back(u);
    }
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    int nocase = static_cast<int>(data[0] % 3) - 1;
    std::string rest(reinterpret_cast<const char *>(data + 1), size - 1);
    size_t cut = rest.find('\0');
    std::string text = rest.substr(0, cut);
    std::string pattern = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
    pattern = pattern.substr(0, pattern.find('\0'));
    Check(text, pattern, nocase);
    Check(Units(text), Units(pattern), nocase);
    return 0;
}
