#pragma once
// A 1-bit pixel grid: the drawing of a symbol before any painter or image format.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "datakit/datakit_export.h"

// Width x height pixels, rows top to bottom, each row packed 8 pixels a byte with the
// leftmost pixel in the most significant bit. A set bit is a dark pixel.
class DATAKIT_EXPORT XBitImage
{
public:
    // Largest width or height, and largest number of pixels, that Create accepts.
    static constexpr uint32_t kMaxSide = 1u << 17;
    static constexpr uint64_t kMaxPixels = 1ull << 29;

    // All light. False, leaving an empty image, when a side is 0 or past the limits.
    bool Create(uint32_t width, uint32_t height);

    uint32_t GetWidth() const { return m_width; }
    uint32_t GetHeight() const { return m_height; }
    size_t GetStride() const { return m_stride; }
    const uint8_t *GetRow(uint32_t y) const { return m_bits.data() + y * m_stride; }
    // False outside the image.
    bool IsDark(uint32_t x, uint32_t y) const
    {
        return x < m_width && y < m_height && (GetRow(y)[x >> 3] & (0x80 >> (x & 7)));
    }

    // Darkens the rectangle, clipped to the image.
    void FillRect(int64_t x, int64_t y, int64_t width, int64_t height);

private:
    void FillSpan(uint8_t *row, uint32_t from, uint32_t to);

    uint32_t m_width = 0;
    uint32_t m_height = 0;
    size_t m_stride = 0;
    std::vector<uint8_t> m_bits;
};
