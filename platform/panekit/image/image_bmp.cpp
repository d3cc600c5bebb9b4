// BMP files and bare DIBs, read by our own code: 1, 4, 8 bits with a palette (RLE4/RLE8
// too), 16 and 32 bits plain or with bit fields, 24 bits, and embedded JPEG or PNG.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

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

// Header sizes of the BMP family: core (12), OS/2 2.x (16, 64), info (40) and its
// versions with masks (52, 56), V4 (108) and V5 (124).
bool KnownHeaderSize(uint32_t n)
{
    return n == 12 || n == 16 || n == 40 || n == 52 || n == 56 || n == 64 || n == 108 || n == 124;
}

bool ValidDepth(int bpp, uint32_t compression)
{
    switch (compression) {
    case kDibRgb:
        return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case kDibRle8:
        return bpp == 8;
    case kDibRle4:
        return bpp == 4;
    case kDibBitFields:
    case kDibAlphaBitFields:
        return bpp == 16 || bpp == 32;
    case kDibJpeg:
    case kDibPng:
        return true;
    default:
        return false;
    }
}

void DefaultMasks(DibInfo *info)
{
    if (info->bpp == 16) { // 5-5-5
        info->masks[0] = 0x7C00;
        info->masks[1] = 0x03E0;
        info->masks[2] = 0x001F;
    } else {
        info->masks[0] = 0xFF0000;
        info->masks[1] = 0x00FF00;
        info->masks[2] = 0x0000FF;
    }
}

// Masks after a 40-byte header (3 or 4 of them) or inside a longer one.
bool ReadMasks(const uint8_t *data, size_t size, uint32_t headerSize, size_t *pos, DibInfo *info)
{
    if (info->compression != kDibBitFields && info->compression != kDibAlphaBitFields) {
        DefaultMasks(info);
        return true;
    }
    int count = info->compression == kDibAlphaBitFields ? 4 : 3;
    size_t at = 40;
    if (headerSize == 40) {
        at = *pos;
        *pos += size_t(count) * 4;
    } else if (headerSize >= 56) {
        count = 4;
    } else if (headerSize < 52) {
        return false;
    }
    if (at + size_t(count) * 4 > size)
        return false;
    for (int i = 0; i < count; ++i)
        info->masks[i] = U32(data + at + size_t(i) * 4);
    return true;
}

bool ReadPalette(const uint8_t *data, size_t size, uint32_t used, bool core, size_t *pos,
                 DibInfo *info)
{
    if (info->bpp > 8)
        return true;
    uint32_t full = 1u << info->bpp;
    uint32_t count = used == 0 || used > full ? full : used;
    size_t entry = core ? 3 : 4;
    // A short palette is cut to what is there; the missing entries read as black.
    size_t room = *pos < size ? (size - *pos) / entry : 0;
    uint32_t take = static_cast<uint32_t>(std::min<size_t>(count, room));
    info->palette.assign(full, 0xFF000000u);
    for (uint32_t i = 0; i < take; ++i) {
        const uint8_t *p = data + *pos + size_t(i) * entry;
        info->palette[i] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
    *pos += size_t(count) * entry;
    return true;
}

} // namespace

bool ParseDibHeader(const uint8_t *data, size_t size, DibInfo *info)
{
    if (size < 12)
        return false;
    uint32_t hs = U32(data);
    if (!KnownHeaderSize(hs) || hs > size)
        return false;
    bool core = hs == 12;
    int64_t w = core ? U16(data + 4) : int32_t(U32(data + 4));
    int64_t h = core ? int16_t(U16(data + 6)) : int32_t(U32(data + 8));
    info->bpp = core ? U16(data + 10) : U16(data + 14);
    info->compression = hs >= 20 ? U32(data + 16) : kDibRgb;
    uint32_t used = hs >= 36 ? U32(data + 32) : 0;
    if (w < 1 || h == 0 || w > kImageMaxSide || h > kImageMaxSide || h < -kImageMaxSide)
        return false;
    info->width = static_cast<int>(w);
    info->topDown = h < 0;
    info->height = static_cast<int>(h < 0 ? -h : h);
    if (!ValidDepth(info->bpp, info->compression))
        return false;
    size_t pos = hs;
    if (!ReadMasks(data, size, hs, &pos, info) || !ReadPalette(data, size, used, core, &pos, info))
        return false;
    info->headerEnd = pos;
    return true;
}

bool DecodeBmp(const uint8_t *data, size_t size, bool dib, XImageBuilder *out)
{
    size_t start = dib ? 0 : 14;
    if (data == nullptr || size < start + 12 || (!dib && std::memcmp(data, "BM", 2) != 0))
        return false;
    DibInfo info;
    if (!ParseDibHeader(data + start, size - start, &info))
        return false;
    size_t bits = start + info.headerEnd;
    if (!dib) { // the file header's offset wins when it points past the header
        uint32_t offset = U32(data + 10);
        if (offset >= start + U32(data + start) && offset < size)
            bits = offset;
    }
    if (bits >= size)
        return false;
    if (info.compression == kDibJpeg)
        return DecodeJpeg(data + bits, size - bits, out);
    if (info.compression == kDibPng)
        return DecodePng(data + bits, size - bits, out);
    if (!out->CanAdd(info.width, info.height))
        return false;
    cairo_surface_t *s = out->AddFrame(info.width, info.height);
    return s != nullptr && ReadDibPixels(info, data + bits, size - bits, s);
}

// ---- writing ----------------------------------------------------------------------------

namespace {

void Put16(std::vector<uint8_t> *out, uint32_t v)
{
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t> *out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Header sizes written: the info header for 24-bit files, the V4 header (with its alpha
// mask) for 32-bit files.
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV4Header = 108;

void PutHeaders(std::vector<uint8_t> *out, int w, int h, bool alpha, uint32_t imageSize)
{
    uint32_t header = alpha ? kV4Header : kInfoHeader;
    out->push_back('B');
    out->push_back('M');
    Put32(out, 14 + header + imageSize);
    Put32(out, 0);
    Put32(out, 14 + header);
    Put32(out, header);
    Put32(out, static_cast<uint32_t>(w));
    Put32(out, static_cast<uint32_t>(h)); // bottom-up rows
    Put16(out, 1);
    Put16(out, alpha ? 32 : 24);
    Put32(out, alpha ? kDibBitFields : kDibRgb);
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dpi in pixels per metre
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    if (!alpha)
        return;
    for (uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        Put32(out, mask);
    Put32(out, 0x73524742);         // "sRGB" colour space
    out->insert(out->end(), 48, 0); // end points and gamma, unused for sRGB
}

} // namespace

bool EncodeBmp(cairo_surface_t *s, std::vector<uint8_t> *out)
{
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    bool alpha = !IsSurfaceOpaque(s);
    int bpp = alpha ? 32 : 24;
    size_t stride = DibStride(w, bpp);
    if (stride * h > UINT32_MAX - 200)
        return false;
    PutHeaders(out, w, h, alpha, static_cast<uint32_t>(stride * h));
    cairo_surface_flush(s);
    for (int y = h - 1; y >= 0; --y) {
        const uint32_t *row = SurfaceRow(s, y);
        size_t start = out->size();
        for (int x = 0; x < w; ++x) {
            uint32_t c = UnpremultiplyArgb(row[x]);
            out->push_back(static_cast<uint8_t>(c));
            out->push_back(static_cast<uint8_t>(c >> 8));
            out->push_back(static_cast<uint8_t>(c >> 16));
            if (alpha)
                out->push_back(static_cast<uint8_t>(c >> 24));
        }
        out->resize(start + stride, 0);
    }
    return true;
}
