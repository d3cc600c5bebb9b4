#pragma once
// Internal to corekit: what the narrow and wide string twins share, so each algorithm is
// written once as a template over the character type.

namespace corekit_detail {

// Code of a character as an unsigned value: 0-255 for narrow, 0-65535 for wide.
inline unsigned Code(char c)
{
    return static_cast<unsigned char>(c);
}
inline unsigned Code(char16_t c)
{
    return c;
}

// Value used for reported differences and ranges: narrow characters count as signed
// 8-bit values, wide ones as unsigned 16-bit values.
inline int Signed(char c)
{
    return static_cast<signed char>(c);
}
inline int Signed(char16_t c)
{
    return c;
}

inline bool IsBlank(unsigned code)
{
    return code >= 1 && code <= 32;
}

// ASCII-only case folding.
inline unsigned Fold(unsigned code)
{
    return code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code;
}

template <typename C> C FoldChar(C c)
{
    return static_cast<C>(Fold(Code(c)));
}

template <typename C> C UpperChar(C c)
{
    unsigned code = Code(c);
    return code >= 'a' && code <= 'z' ? static_cast<C>(code - ('a' - 'A')) : c;
}

template <typename C> unsigned Length(const C *s)
{
    unsigned n = 0;
    while (s[n])
        ++n;
    return n;
}

} // namespace corekit_detail
