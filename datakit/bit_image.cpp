#include "datakit/bit_image.h"

#include <algorithm>
#include <cstring>
#include <new>

bool XBitImage::Create(uint32_t width, uint32_t height)
{
    m_width = m_height = 0;
    m_stride = 0;
    m_bits.clear();
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<uint64_t>(width) * height > kMaxPixels)
        return false;
    // Up to 64 MiB: a failed allocation is a failure, not an exception out of the library.
    try {
        m_bits.assign(static_cast<size_t>((width + 7) / 8) * height, 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    m_width = width;
    m_height = height;
    m_stride = (width + 7) / 8;
    return true;
}

// Pixels [from, to) of one row.
void XBitImage::FillSpan(uint8_t *row, uint32_t from, uint32_t to)
{
    while (from < to && (from & 7)) {
        row[from >> 3] |= static_cast<uint8_t>(0x80 >> (from & 7));
        from++;
    }
    uint32_t fullEnd = to & ~7u;
    if (from < fullEnd) {
        memset(row + (from >> 3), 0xFF, (fullEnd - from) >> 3);
        from = fullEnd;
    }
    for (; from < to; from++)
        row[from >> 3] |= static_cast<uint8_t>(0x80 >> (from & 7));
}

void XBitImage::FillRect(int64_t x, int64_t y, int64_t width, int64_t height)
{
    int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    int64_t x1 = std::min<int64_t>(x + width, m_width);
    int64_t y1 = std::min<int64_t>(y + height, m_height);
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int64_t row = y0; row < y1; row++)
        FillSpan(m_bits.data() + row * m_stride, static_cast<uint32_t>(x0),
                 static_cast<uint32_t>(x1));
}
