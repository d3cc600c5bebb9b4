// The code-string functions on arbitrary lists, names and buffer sizes. Byte 0 is the
// size of every name buffer (0-255), byte 1 an index or value, bytes 2-9 a check mask;
// the rest is UTF-16LE units, the list up to the first zero unit and a name or code
// after it. Every output buffer is exactly as large as the size passed, so a write past
// it is caught; the checks: the walk ends and counts as GetRadioNumber, results are
// terminated within their buffers, and a rendered radio or check text that fits whole
// reads back to what was rendered.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "utf16_units.h"

#include "pagekit/core/combo_code.h"

namespace {

// A buffer of exactly n units (n may be 0).
struct Buffer
{
    explicit Buffer(unsigned n) : size(n), units(new char16_t[n]) {}
    unsigned size;
    std::unique_ptr<char16_t[]> units;

    // A result of length len (a lookup's -1 writes an empty text) must be terminated
    // inside the buffer, with nothing shorter.
    void CheckText(int len) const
    {
        if (size == 0)
            return;
        if (len < 0)
            len = 0;
        if (static_cast<unsigned>(len) >= size || units[len] != 0)
            std::abort();
        for (int i = 0; i < len; ++i) {
            if (units[i] == 0)
                std::abort();
        }
    }
    // Any text written must end inside the buffer.
    void CheckTerminated() const
    {
        for (unsigned i = 0; i < size; ++i) {
            if (units[i] == 0)
                return;
        }
        if (size > 0)
            std::abort();
    }
};

void Walk(const char16_t *list, unsigned size, bool extended)
{
    Buffer name(size);
    auto code = std::make_unique<char16_t[]>(kComboCodeSize);
    const char16_t *p = list;
    int count = 0;
    while (p != nullptr) {
        const char16_t *next = extended ? GetNextComboEx(p, code.get(), name.units.get(), size)
                                        : GetNextCombo(p, code.get(), name.units.get(), size);
        if (next == nullptr)
            break;
        if (next <= p)
            std::abort();
        if (std::char_traits<char16_t>::length(code.get()) >= kComboCodeSize)
            std::abort();
        if (size > 0 && std::char_traits<char16_t>::length(name.units.get()) >= size)
            std::abort();
        p = next;
        ++count;
    }
    if (count != GetRadioNumber(list))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 10 || size > 8192)
        return 0;
    const unsigned nameSize = data[0];
    const int index = data[1];
    uint64_t bits;
    std::memcpy(&bits, data + 2, 8);
    size_t used = 0;
    const std::u16string list = FuzzUnits(data + 10, size - 10, &used);
    size_t rest = 0;
    const std::u16string key = FuzzUnits(data + 10 + used, size - 10 - used, &rest);
    const char16_t *l = list.c_str();
    const char16_t *k = key.c_str();

    Walk(l, nameSize, false);
    Walk(l, nameSize, true);
    const int count = GetRadioNumber(l);

    Buffer out(nameSize);
    auto code = std::make_unique<char16_t[]>(kComboCodeSize);
    uint32_t value = 0;
    int found = GetComboBox(&value, l, k);
    if (found < 0 && value != 0)
        std::abort();
    if (SetComboBox(found >= 0 ? value : static_cast<uint32_t>(index), l, out.units.get(),
                    nameSize) < 0)
        out.CheckText(0);
    out.CheckTerminated();
    GetComboCode(code.get(), l, k);
    if (std::char_traits<char16_t>::length(code.get()) >= kComboCodeSize)
        std::abort();
    SetComboCode(k, l, out.units.get(), nameSize);
    out.CheckTerminated();
    SetComboName(k, l, out.units.get(), nameSize);
    out.CheckTerminated();
    MatchComboName(k, l, out.units.get(), nameSize);
    out.CheckTerminated();
    GetRadioBox(0, l, k);
    GetRadioBox(1, l, k);
    uint64_t read = 0;
    GetCheckBox(&read, 0, l, k);
    GetCheckBox(&read, 1, l, k);

    std::u16string mapped = list;
    if (GetRadioMapper(mapped.data()) != count || GetRadioNumber(mapped.c_str()) != count)
        std::abort();

    // Rendered texts, in a buffer large enough and in the small one.
    const size_t whole = list.size() + 3 * static_cast<size_t>(count) + 1;
    for (unsigned cap : {nameSize, static_cast<unsigned>(whole)}) {
        Buffer text(cap);
        const int radio = SetRadioBox(index, 1, l, text.units.get(), cap);
        text.CheckText(radio);
        const char16_t *shown = cap ? text.units.get() : nullptr;
        const int choice = GetRadioBox(1, l, shown);
        if (cap == whole && choice != (index < count ? index : -1))
            std::abort();
        text.CheckText(SetRadioBox(index, 0, l, text.units.get(), cap));
        for (uint32_t form : {0u, 1u, 2u}) {
            const int n = SetCheckBox(bits, form, l, text.units.get(), cap);
            text.CheckText(n);
            const int ok = GetCheckBox(&read, form, l, shown);
            const uint64_t mask = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
            if (form != 0 && cap == whole && (ok != 1 || read != (bits & mask)))
                std::abort();
        }
    }
    return 0;
}
