// ParseDefaultStyle and the selector compiler over arbitrary sheets.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "pagekit/core/default_style.h"
#include "pagekit/core/style_selector.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    ParseDefaultStyle(text.c_str());
    unsigned consumed = 0;
    if (XSelectorList *list = CompileSelectorList(text.c_str(), &consumed)) {
        if (consumed > size || text[consumed - 1] != '{')
            std::abort();
        FreeSelectorList(list);
    }
    return 0;
}
