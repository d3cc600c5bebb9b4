// ParseTime and ParseTimeEx on arbitrary text and formats, narrow and wide, and
// the writers on what they read. The input is the format, a line feed, and the
// text.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "corekit/systime/systime.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

template <typename Ch> void Run(const std::basic_string<Ch> &fmt, const std::basic_string<Ch> &text)
{
    SYSTIME_t full;
    DATETIME_t compact{};
    Ch buf[kFormatTimeBuffer];
    if (ParseTime(&full, text.c_str(), fmt.c_str())) {
        Check(FormatTime(buf, &full, fmt.c_str()) < kFormatTimeBuffer);
        AddTime(&full, kTimeDay, 1);
        Check(full.wMonth >= 1 && full.wMonth <= 12 && full.wDay >= 1 && full.wDay <= 31 &&
              full.wHour < 24 && full.wDayOfWeek < 7);
    }
    if (ParseTime(&compact, text.c_str(), fmt.c_str()))
        Check(FormatTime(buf, &compact, fmt.c_str()) < kFormatTimeBuffer);
    Check(FormatTime(buf, &full, nullptr) < kFormatTimeBuffer);
    if (ParseTimeEx(&compact, text.c_str(), fmt.c_str()))
        Check(compact.wYear != 0 && compact.bMonth >= 1 && compact.bMonth <= 12 &&
              compact.bDay >= 1 && compact.bHour < 24 && compact.bSecond < 60);
    std::vector<Ch> out(5 * fmt.size() + 24);
    Check(FormatTimeEx(out.data(), &compact, fmt.c_str()) < out.size());
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
    Run(fmt, text);
    Run(std::u16string(fmt.begin(), fmt.end()), std::u16string(text.begin(), text.end()));
    return 0;
}
