// Sscanf, StrParse and the typed scanner on arbitrary text and formats. The
// input is the format, a line feed, and the text. Every store goes to one
// aligned scratch area large enough for any field of the text, so a format of
// at most kMaxFields directives gets a valid pointer for each of them.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "corekit/format/format.h"

namespace {

constexpr size_t kMaxFields = 12;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

template <typename Ch> size_t Percents(const std::basic_string<Ch> &s)
{
    size_t n = 0;
    for (Ch c : s)
        n += c == Ch('%');
    return n;
}

template <typename Ch>
void Scan(const std::basic_string<Ch> &text, const std::basic_string<Ch> &fmt)
{
    // A word may become three UTF-8 bytes per unit, plus the terminator.
    std::vector<uint64_t> scratch((3 * text.size() + 16) / 8 + 2);
    void *p = scratch.data();
    const unsigned count = Sscanf(text.c_str(), fmt.c_str(), p, p, p, p, p, p, p, p, p, p, p, p);
    Check(count <= kMaxFields);
    const unsigned used = StrParse(text.c_str(), fmt.c_str(), p, p, p, p, p, p, p, p, p, p, p, p);
    Check(used <= text.size());
}

void ScanTyped(const std::u16string &text, const std::u16string &fmt)
{
    XVarMeter values[kMaxFields] = {};
    const unsigned n = SscanfV(text.c_str(), fmt.c_str(), values, kMaxFields);
    Check(n <= kMaxFields);
    for (unsigned i = 0; i < n; ++i)
        if (values[i].type == kVarText)
            Check(values[i].value.text >= text.c_str() &&
                  values[i].value.text + values[i].count <= text.c_str() + text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const std::string input(reinterpret_cast<const char *>(data), size);
    const size_t cut = input.find('\n');
    const std::string fmt = input.substr(0, cut).c_str();
    const std::string text = cut == std::string::npos ? "" : input.substr(cut + 1).c_str();
    if (Percents(fmt) > kMaxFields)
        return 0;
    Scan(text, fmt);
    const std::u16string wideFmt(fmt.begin(), fmt.end()), wideText(text.begin(), text.end());
    Scan(wideText, wideFmt);
    ScanTyped(wideText, wideFmt);
    return 0;
}
