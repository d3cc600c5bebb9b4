// ParseStyleDesc over arbitrary text, then the formatted result parsed again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "corekit/encoding.h"
#include "corekit/xstring.h"
#include "pagekit/core/style_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    XStyleDesc desc;
    InitStyleDesc(&desc);
    const unsigned consumed = ParseStyleDesc(&desc, text.c_str());
    if (consumed > size)
        std::abort();
    XString formatted;
    FormatStyleDesc(&desc, &formatted);
    if (formatted.GetString()) {
        const unsigned n = WStrToUStr(formatted.GetString(), -1, nullptr, 0);
        std::string again(n + 1, '\0');
        WStrToUStr(formatted.GetString(), -1, again.data(), n + 1);
        XStyleDesc reparsed;
        InitStyleDesc(&reparsed);
        ParseStyleDesc(&reparsed, again.c_str());
        FreeStyleDescStrings(&reparsed);
    }
    FreeStyleDescStrings(&desc);
    return 0;
}
