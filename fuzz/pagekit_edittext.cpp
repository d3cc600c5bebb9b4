// The escape, mask and number texts of the edits on arbitrary units. Byte 0 is a buffer
// size (0-255), byte 1 a caret; the rest is UTF-16LE units: a mask up to the first zero
// unit, then a value. Every output buffer is exactly as large as the size passed, so a
// write past it is caught; the checks: results are terminated inside their buffers, an
// inflated text that fitted whole deflates back to its source, and masked values are as
// long as their masks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "utf16_units.h"

#include "pagekit/core/edit_mask.h"
#include "pagekit/core/edit_number.h"

namespace {

void Terminated(const char16_t *text, unsigned size, unsigned length)
{
    if (size == 0)
        return;
    if (length >= size || text[length] != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2 || size > 8192)
        return 0;
    const unsigned cap = data[0];
    size_t used = 0;
    const std::u16string mask = FuzzUnits(data + 2, size - 2, &used);
    size_t rest = 0;
    const std::u16string value = FuzzUnits(data + 2 + used, size - 2 - used, &rest);

    // Escapes.
    auto small = std::make_unique<char16_t[]>(cap + 1);
    const unsigned inflated = InflateBuffer(small.get(), value.c_str(), cap);
    Terminated(small.get(), cap, inflated);
    auto whole = std::make_unique<char16_t[]>(2 * value.size() + 1);
    const unsigned all =
        InflateBuffer(whole.get(), value.c_str(), 2 * static_cast<unsigned>(value.size()) + 1);
    auto back = std::make_unique<char16_t[]>(all + 1);
    DeflateBuffer(back.get(), whole.get());
    if (std::u16string(back.get()) != value)
        std::abort();
    auto deflated = std::make_unique<char16_t[]>(value.size() + 1);
    if (DeflateBuffer(deflated.get(), value.c_str()) > value.size())
        std::abort();

    // Masks.
    auto empty = std::make_unique<char16_t[]>(cap + 1);
    const unsigned n = GetMaskEmpty(mask.c_str(), empty.get(), cap);
    Terminated(empty.get(), cap, n);
    auto masked = std::make_unique<char16_t[]>(mask.size() + 1);
    if (SetMaskValue(mask.c_str(), masked.get(), value.c_str()) != mask.size())
        std::abort();
    if (SetMaskValue(mask.c_str(), masked.get(), value.c_str(), cap) > mask.size())
        std::abort();
    IsMaskEmpty(mask.c_str(), masked.get());
    for (int backwards : {0, 1}) {
        const unsigned at = GetMaskEntry(backwards, mask.c_str(), data[1]);
        if (!mask.empty() && at >= mask.size())
            std::abort();
    }
    if (GetMaskEntry(mask.c_str(), masked.get(), data[1]) > mask.size())
        std::abort();

    // Numbers: regrouping in a buffer of cap units, and the writers on what the value
    // reads as.
    std::u16string number = value.substr(0, cap > 0 ? cap - 1 : 0);
    auto grouped = std::make_unique<char16_t[]>(cap + 1);
    std::char_traits<char16_t>::copy(grouped.get(), number.c_str(), number.size() + 1);
    unsigned caret = data[1];
    if (cap > 0) {
        const unsigned len = GetPartNumber(grouped.get(), cap, &caret);
        Terminated(grouped.get(), cap, len);
        if (caret > len)
            std::abort();
    }
    double d = 0;
    int64_t i = 0;
    GetStrDouble(&d, value.c_str());
    GetStrInteger(&i, value.c_str());
    char16_t text[kNumberTextSize];
    const uint32_t format = static_cast<uint32_t>(data[1]) * 0x01010101u;
    if (SetStrDouble(d, text, format) >= kNumberTextSize ||
        SetStrInteger(i, text, format) >= kNumberTextSize ||
        SetEmptyDouble(text, format) >= kNumberTextSize)
        std::abort();
    return 0;
}
