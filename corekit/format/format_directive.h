#pragma once
// The conversion directive shared by the formatters and the scanners
// (internal to corekit).

#include <cstddef>
#include <cstdint>

namespace corekit_format {

inline uint32_t CodeOf(char c)
{
    return static_cast<unsigned char>(c);
}
inline uint32_t CodeOf(char16_t c)
{
    return c;
}

inline bool IsBlankCode(uint32_t c)
{
    return c - 1 < 32; // codes 1-32
}

template <typename Ch> const Ch *SkipBlanks(const Ch *p)
{
    while (IsBlankCode(CodeOf(*p)))
        ++p;
    return p;
}

enum class Size : uint8_t {
    Default,  // 32-bit integers, double, the form's own string width
    Short,    // h: 16-bit integers, float, the other string width
    Long,     // l: 32-bit integers; a wide string in the narrow forms
    LongLong, // ll or I64: 64-bit integers; a wide string in the narrow forms
};

// Width and precision digits beyond this value count as this value.
constexpr uint32_t kMaxWidth = 65535;

struct Directive
{
    char flag = 0;      // '0', '-' or 0
    uint32_t width = 0; // 0 when absent
    int precision = -1; // -1 when absent
    Size size = Size::Default;
    uint32_t conversion = 0;
};

// Conversion letters: those of both forms, then V of the wide forms.
inline bool IsConversion(uint32_t c, bool wide)
{
    switch (c) {
    case 'E':
    case 'T':
    case 'X':
    case 'b':
    case 'c':
    case 'd':
    case 'e':
    case 'f':
    case 'i':
    case 'o':
    case 's':
    case 'u':
    case 'x':
        return true;
    case 'V':
        return wide;
    default:
        return false;
    }
}

template <typename Ch> const Ch *ReadCount(const Ch *p, uint32_t *value)
{
    uint32_t v = 0;
    for (uint32_t d; (d = CodeOf(*p) - '0') < 10; ++p)
        v = v >= kMaxWidth ? kMaxWidth : v * 10 + d;
    *value = v < kMaxWidth ? v : kMaxWidth;
    return p;
}

// Reads the directive that follows a '%' at p; returns the position after
// its conversion letter, or null when p starts no complete directive.
template <typename Ch> const Ch *ReadDirective(const Ch *p, Directive *dir)
{
    constexpr bool wide = sizeof(Ch) == 2;
    if (*p == Ch('0') || *p == Ch('-'))
        dir->flag = static_cast<char>(*p++);
    p = ReadCount(p, &dir->width);
    if (*p == Ch('.')) {
        uint32_t precision;
        p = ReadCount(p + 1, &precision);
        dir->precision = static_cast<int>(precision);
    }
    if (*p == Ch('h')) {
        dir->size = Size::Short, ++p;
    } else if (*p == Ch('l')) {
        ++p;
        dir->size = Size::Long;
        if (*p == Ch('l'))
            dir->size = Size::LongLong, ++p;
    } else if (p[0] == Ch('I') && p[1] == Ch('6') && p[2] == Ch('4')) {
        dir->size = Size::LongLong, p += 3;
    }
    if (!IsConversion(CodeOf(*p), wide))
        return nullptr;
    dir->conversion = CodeOf(*p);
    return p + 1;
}

// Radix code of the number readers and writers for an integer conversion.
inline int RadixOf(uint32_t conversion)
{
    switch (conversion) {
    case 'x':
    case 'X':
        return 1;
    case 'o':
        return 2;
    case 'b':
        return 3;
    default:
        return 0;
    }
}

} // namespace corekit_format
