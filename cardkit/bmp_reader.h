#pragma once
// A reader for the uncompressed Windows bitmaps the photo decoder writes:
// 8-bit paletted, 24-bit and 32-bit BI_RGB, bottom-up or top-down.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cardkit/cardkit_export.h"

namespace cardkit {

struct RgbImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // width * height * 3, top row first
};

// Images larger than this many pixels per side are refused.
constexpr int kBmpMaxSide = 8192;

// Fails on any header, size or offset that does not fit the bytes given.
CARDKIT_EXPORT bool ReadBmp(const uint8_t *data, size_t size, RgbImage *out);

} // namespace cardkit
