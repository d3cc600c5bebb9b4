// ClearStyleNote into a buffer exactly as long as its input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pagekit/core/style_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const size_t length = std::strlen(text.c_str());
    std::vector<char> out(length + 1);
    ClearStyleNote(out.data(), text.c_str());
    if (std::strlen(out.data()) > length)
        std::abort();
    std::string inPlace = text;
    ClearStyleNote(inPlace.data(), inPlace.c_str());
    if (std::strcmp(inPlace.c_str(), out.data()) != 0)
        std::abort();
    return 0;
}
