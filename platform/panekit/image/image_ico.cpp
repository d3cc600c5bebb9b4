// ICO and CUR files: one frame per directory entry, in file order. An entry holds either a
// PNG or a DIB whose height counts the colour bitmap and the AND mask below it.

#include <cstring>

#include "platform/panekit/image/image_codec.h"
#include "platform/panekit/image/image_dib.h"

namespace {

uint16_t U16(const uint8_t *p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t *p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}

constexpr size_t kDirHeader = 6;
constexpr size_t kDirEntry = 16;

// Applies the AND mask (1 = transparent) at mask to the surface's pixels.
void ApplyAndMask(const uint8_t *mask, int width, int height, cairo_surface_t *s)
{
    size_t stride = DibStride(width, 1);
    for (int y = 0; y < height; ++y) {
        const uint8_t *row = mask + stride * (height - 1 - y);
        uint32_t *dst = SurfaceRow(s, y);
        for (int x = 0; x < width; ++x)
            if ((row[x / 8] >> (7 - x % 8)) & 1)
                dst[x] = 0;
    }
}

// True when any stored fourth byte of 32-bit colour rows is non-zero.
bool HasAlpha(const uint8_t *bits, size_t size)
{
    for (size_t i = 3; i < size; i += 4)
        if (bits[i] != 0)
            return true;
    return false;
}

} // namespace

bool DecodeIconDib(const uint8_t *data, size_t size, XImageBuilder *out)
{
    DibInfo info;
    if (!ParseDibHeader(data, size, &info) || info.compression != kDibRgb || info.height < 2)
        return false;
    info.height /= 2; // colour rows, then as many mask rows
    info.topDown = false;
    size_t colour = DibStride(info.width, info.bpp) * info.height;
    size_t mask = DibStride(info.width, 1) * info.height;
    if (info.headerEnd > size || colour > size - info.headerEnd)
        return false;
    if (!out->CanAdd(info.width, info.height))
        return false;
    cairo_surface_t *s = out->AddFrame(info.width, info.height);
    if (s == nullptr || !ReadDibPixels(info, data + info.headerEnd, colour, s))
        return false;
    // 32-bit entries carry their own alpha; the mask serves the others and 32-bit entries
    // whose alpha is zero throughout. Some writers leave the mask out of 32-bit entries.
    const uint8_t *maskBits = data + info.headerEnd + colour;
    bool maskThere = mask <= size - info.headerEnd - colour;
    if (info.bpp == 32 && HasAlpha(data + info.headerEnd, colour))
        return true;
    if (!maskThere)
        return info.bpp == 32;
    cairo_surface_flush(s);
    ApplyAndMask(maskBits, info.width, info.height, s);
    cairo_surface_mark_dirty(s);
    return true;
}

bool DecodeIco(const uint8_t *data, size_t size, XImageBuilder *out)
{
    if (size < kDirHeader || U16(data) != 0 || (U16(data + 2) != 1 && U16(data + 2) != 2))
        return false;
    size_t count = U16(data + 4);
    if (count == 0 || kDirHeader + count * kDirEntry > size)
        return false;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *entry = data + kDirHeader + i * kDirEntry;
        uint32_t length = U32(entry + 8), offset = U32(entry + 12);
        if (offset >= size || length > size - offset || length < 12)
            return false;
        const uint8_t *p = data + offset;
        bool png = length >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0;
        if (!(png ? DecodePng(p, length, out) : DecodeIconDib(p, length, out)))
            return false;
    }
    return true;
}
