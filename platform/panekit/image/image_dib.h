#pragma once
// Inside the image code: the device-independent bitmap shared by the BMP and icon readers.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// A parsed DIB header: what the pixel reader needs, every field checked against the bytes.
struct DibInfo
{
    int width = 0;
    int height = 0; // rows of the picture (positive)
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = 0;
    uint32_t masks[4] = {};        // red, green, blue, alpha for bit fields
    std::vector<uint32_t> palette; // opaque 0xFFRRGGBB
    size_t headerEnd = 0;          // offset just past the header, masks and palette
};

constexpr uint32_t kDibRgb = 0;
constexpr uint32_t kDibRle8 = 1;
constexpr uint32_t kDibRle4 = 2;
constexpr uint32_t kDibBitFields = 3;
constexpr uint32_t kDibJpeg = 4;
constexpr uint32_t kDibPng = 5;
constexpr uint32_t kDibAlphaBitFields = 6;

// Reads the header at data (size bytes to the end of the whole DIB). false on any
// inconsistency: unknown header size, bad depth or compression, a palette past the end.
bool ParseDibHeader(const uint8_t *data, size_t size, DibInfo *info);

// Bytes in one stored row of width pixels at bpp bits.
inline size_t DibStride(int width, int bpp)
{
    return ((size_t(width) * bpp + 31) / 32) * 4;
}

// Writes the pixels stored at bits (size bytes available) into the ARGB32 surface s of the
// header's size. false when the data is short or malformed.
bool ReadDibPixels(const DibInfo &info, const uint8_t *bits, size_t size, cairo_surface_t *s);
