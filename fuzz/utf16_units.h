#pragma once
// Reading fuzz input as UTF-16LE units, for the targets that take texts.

#include <cstddef>
#include <cstdint>
#include <string>

// The units of data up to the first zero unit (or the end); *used takes the bytes read,
// the zero unit included.
inline std::u16string FuzzUnits(const uint8_t *data, size_t size, size_t *used)
{
    std::u16string s;
    size_t i = 0;
    for (; i + 1 < size; i += 2) {
        const char16_t u = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (u == 0) {
            i += 2;
            break;
        }
        s.push_back(u);
    }
    *used = i;
    return s;
}
