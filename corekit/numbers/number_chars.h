#pragma once
// Character classes shared by the number readers and writers (internal to
// corekit). Narrow text is read as unsigned bytes so that 0x80-0xFF are
// neither blanks nor digits.

#include <array>
#include <cstdint>

namespace corekit_numbers {

// Unit of a narrow or wide text as an unsigned code.
inline uint32_t Code(char c)
{
    return static_cast<unsigned char>(c);
}
inline uint32_t Code(char16_t c)
{
    return c;
}

inline bool IsBlank(uint32_t c)
{
    return c - 1 < 32; // codes 1-32
}

template <typename Ch> const Ch *SkipBlanks(const Ch *p)
{
    while (IsBlank(Code(*p)))
        ++p;
    return p;
}

// Value of an ASCII digit or letter as a digit (0-9, a/A-f/F 10-15), 0xFF for
// any other code.
constexpr std::array<uint8_t, 128> kDigitValue = [] {
    std::array<uint8_t, 128> t{};
    for (auto &v : t)
        v = 0xFF;
    for (int i = 0; i < 10; ++i)
        t['0' + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 6; ++i) {
        t['a' + i] = static_cast<uint8_t>(10 + i);
        t['A' + i] = static_cast<uint8_t>(10 + i);
    }
    return t;
}();

inline uint32_t DigitValue(uint32_t c)
{
    return c < 128 ? kDigitValue[c] : 0xFF;
}

inline bool IsDecimal(uint32_t c)
{
    return c - '0' < 10;
}

// Radix code -> log2 of the radix for the power-of-two radixes, 0 for decimal,
// -1 for an unknown code.
inline int RadixShift(int radix)
{
    constexpr int kShift[] = {0, 4, 3, 1}; // decimal, hexadecimal, octal, binary
    return radix >= 0 && radix < 4 ? kShift[radix] : -1;
}

} // namespace corekit_numbers
