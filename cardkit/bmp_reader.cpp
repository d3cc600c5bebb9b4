#include "cardkit/bmp_reader.h"

namespace cardkit {

namespace {

uint32_t Le32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}

struct BmpLayout
{
    int width, height;
    bool top_down;
    int bits;
    uint32_t pixel_offset;
    size_t stride;
    const uint8_t *palette; // 8-bit only: BGRX entries
    uint32_t palette_entries;
};

// Reads BITMAPFILEHEADER and BITMAPINFOHEADER (or a larger info header).
bool ReadLayout(const uint8_t *data, size_t size, BmpLayout *layout)
{
    if (size < 54 || data[0] != 'B' || data[1] != 'M')
        return false;
    const uint32_t info_size = Le32(data + 14);
    if (info_size < 40 || info_size > size - 14)
        return false;
    const int32_t width = int32_t(Le32(data + 18));
    const int32_t height = int32_t(Le32(data + 22));
    const int bits = Le16(data + 28);
    if (Le16(data + 26) != 1 || Le32(data + 30) != 0) // planes, BI_RGB
        return false;
    if (width <= 0 || width > kBmpMaxSide || height == 0 || height < -kBmpMaxSide ||
        height > kBmpMaxSide || (bits != 8 && bits != 24 && bits != 32))
        return false;
    layout->width = width;
    layout->height = height < 0 ? -height : height;
    layout->top_down = height < 0;
    layout->bits = bits;
    layout->pixel_offset = Le32(data + 10);
    layout->stride = (size_t(width) * bits / 8 + 3) & ~size_t(3);
    layout->palette = data + 14 + info_size;
    const uint32_t used = Le32(data + 46);
    layout->palette_entries = bits == 8 ? (used == 0 ? 256 : used) : 0;
    if (layout->palette_entries > 256 ||
        size_t(14) + info_size + size_t(layout->palette_entries) * 4 > size)
        return false;
    return layout->pixel_offset <= size &&
           layout->stride * size_t(layout->height) <= size - layout->pixel_offset;
}

} // namespace

bool ReadBmp(const uint8_t *data, size_t size, RgbImage *out)
{
    BmpLayout layout{};
    if (!ReadLayout(data, size, &layout))
        return false;
    out->width = layout.width;
    out->height = layout.height;
    out->rgb.assign(size_t(layout.width) * layout.height * 3, 0);
    for (int y = 0; y < layout.height; ++y) {
        const int source_row = layout.top_down ? y : layout.height - 1 - y;
        const uint8_t *row = data + layout.pixel_offset + layout.stride * size_t(source_row);
        uint8_t *dest = out->rgb.data() + size_t(y) * layout.width * 3;
        for (int x = 0; x < layout.width; ++x, dest += 3) {
            const uint8_t *bgr = row + size_t(x) * (layout.bits / 8);
            if (layout.bits == 8) {
                if (row[x] >= layout.palette_entries)
                    return false;
                bgr = layout.palette + size_t(row[x]) * 4;
            }
            dest[0] = bgr[2];
            dest[1] = bgr[1];
            dest[2] = bgr[0];
        }
    }
    return true;
}

} // namespace cardkit
