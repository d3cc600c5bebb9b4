// The pixel reader of device-independent bitmaps: palette, bit-field and RGB rows, and the
// run-length encodings.

#include <algorithm>
#include <vector>

#include "platform/panekit/image/image_codec.h"
#include "platform/panekit/image/image_dib.h"

namespace {

// One channel of a bit-field pixel, widened to 8 bits by repeating its bits.
struct Channel
{
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m)
    {
        if (m == 0)
            return;
        while (((m >> shift) & 1) == 0)
            ++shift;
        while (shift + bits < 32 && ((m >> (shift + bits)) & 1) != 0)
            ++bits;
    }

    uint32_t Get(uint32_t pixel) const
    {
        if (bits == 0)
            return 0;
        uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return (v >> (bits - 8)) & 0xFF;
        uint32_t out = 0;
        for (int filled = 0; filled < 8; filled += bits)
            out = (out << bits) | v;
        return (out >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
    }
};

uint32_t Word(const uint8_t *p, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t(p[i]) << (8 * i);
    return v;
}

// Straight pixels of every row, row 0 at the top, alpha decided afterwards.
using Rows = std::vector<uint32_t>;

void ReadPaletteRow(const DibInfo &info, const uint8_t *src, uint32_t *dst)
{
    int per = 8 / info.bpp;
    uint32_t max = (1u << info.bpp) - 1;
    for (int x = 0; x < info.width; ++x) {
        int shift = 8 - info.bpp * (x % per + 1);
        dst[x] = info.palette[(src[x / per] >> shift) & max];
    }
}

// Returns true when the row held any non-zero alpha value (32-bit pixels).
bool ReadMaskedRow(const DibInfo &info, const Channel *ch, const uint8_t *src, uint32_t *dst)
{
    int bytes = info.bpp / 8;
    bool anyAlpha = false;
    for (int x = 0; x < info.width; ++x) {
        uint32_t v = Word(src + size_t(x) * bytes, bytes);
        uint32_t a = ch[3].bits != 0 ? ch[3].Get(v) : 0xFF;
        if (info.bpp == 32 && ch[3].bits == 0 && info.compression == kDibRgb) {
            a = v >> 24; // the fourth byte of plain 32-bit rows; used only when any is set
            anyAlpha = anyAlpha || a != 0;
        }
        dst[x] = (a << 24) | (ch[0].Get(v) << 16) | (ch[1].Get(v) << 8) | ch[2].Get(v);
    }
    return anyAlpha;
}

bool ReadPlainRows(const DibInfo &info, const uint8_t *bits, size_t size, Rows *rows)
{
    size_t stride = DibStride(info.width, info.bpp);
    if (stride * info.height > size)
        return false;
    const Channel ch[4] = {Channel(info.masks[0]), Channel(info.masks[1]), Channel(info.masks[2]),
                           Channel(info.masks[3])};
    bool anyAlpha = false;
    for (int y = 0; y < info.height; ++y) {
        const uint8_t *src = bits + stride * (info.topDown ? y : info.height - 1 - y);
        uint32_t *dst = rows->data() + size_t(y) * info.width;
        if (info.bpp <= 8)
            ReadPaletteRow(info, src, dst);
        else if (info.bpp == 24)
            for (int x = 0; x < info.width; ++x)
                dst[x] = 0xFF000000u | Word(src + size_t(x) * 3, 3);
        else
            anyAlpha = ReadMaskedRow(info, ch, src, dst) || anyAlpha;
    }
    // Plain 32-bit rows whose fourth byte is zero throughout are opaque.
    if (info.bpp == 32 && info.compression == kDibRgb && !anyAlpha)
        for (uint32_t &p : *rows)
            p |= 0xFF000000u;
    return true;
}

// Run-length data (RLE8 or RLE4); pixels it skips stay transparent.
bool ReadRleRows(const DibInfo &info, const uint8_t *bits, size_t size, Rows *rows)
{
    bool four = info.compression == kDibRle4;
    int x = 0, y = 0; // y counts stored rows from the bottom
    auto put = [&](int index) {
        if (x < info.width && y < info.height)
            (*rows)[size_t(info.height - 1 - y) * info.width + x] = info.palette[size_t(index)];
        ++x;
    };
    size_t i = 0;
    while (i + 1 < size) {
        uint8_t n = bits[i], v = bits[i + 1];
        i += 2;
        if (n > 0) {
            for (int k = 0; k < n; ++k)
                put(four ? (k % 2 == 0 ? v >> 4 : v & 0xF) : v);
        } else if (v == 0) {
            x = 0;
            ++y;
        } else if (v == 1) {
            return true;
        } else if (v == 2) {
            if (i + 1 >= size)
                return false;
            x += bits[i];
            y += bits[i + 1];
            i += 2;
        } else {
            size_t bytes = four ? (v + 1) / 2 : v;
            if (i + bytes > size)
                return false;
            for (int k = 0; k < v; ++k)
                put(four ? (k % 2 == 0 ? bits[i + k / 2] >> 4 : bits[i + k / 2] & 0xF)
                         : bits[i + k]);
            i += (bytes + 1) & ~size_t(1);
        }
        if (y >= info.height)
            return true;
    }
    return false; // the data ended before the end-of-bitmap code
}

} // namespace

bool ReadDibPixels(const DibInfo &info, const uint8_t *bits, size_t size, cairo_surface_t *s)
{
    Rows rows(size_t(info.width) * info.height, 0u);
    bool ok = info.compression == kDibRle8 || info.compression == kDibRle4
                  ? ReadRleRows(info, bits, size, &rows)
                  : ReadPlainRows(info, bits, size, &rows);
    if (!ok)
        return false;
    cairo_surface_flush(s);
    const uint32_t *p = rows.data();
    for (int y = 0; y < info.height; ++y) {
        uint32_t *dst = SurfaceRow(s, y);
        for (int x = 0; x < info.width; ++x, ++p)
            dst[x] = PremultiplyArgb(*p >> 24, (*p >> 16) & 0xFF, (*p >> 8) & 0xFF, *p & 0xFF);
    }
    cairo_surface_mark_dirty(s);
    return true;
}
