#pragma once
// A dark rectangle of a drawn symbol, in pixels from the symbol's origin.

#include <cstdint>

struct SymbolRect_t
{
    int64_t x;
    int64_t y;
    uint32_t width;
    uint32_t height;
};
