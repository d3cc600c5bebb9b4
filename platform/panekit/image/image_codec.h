#pragma once
// Inside the image code: the frame collector every decoder fills, and the decoders and
// encoders behind XImage. None of this is exported.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/panekit/image/ximage.h"

// Collects decoded frames and enforces the image limits before each allocation, so a
// decoder asks CanAdd (or AddFrame) before it touches the pixel data of a frame.
class XImageBuilder
{
public:
    XImageBuilder() = default;
    ~XImageBuilder();
    XImageBuilder(const XImageBuilder &) = delete;
    XImageBuilder &operator=(const XImageBuilder &) = delete;

    // True when a frame of w x h pixels may still be added: both sides 1...kImageMaxSide,
    // the frame and the running total within kImageMaxPixels, fewer than kImageMaxFrames.
    bool CanAdd(int64_t w, int64_t h) const;
    // A new fully transparent ARGB32 frame owned by the builder; null when refused.
    cairo_surface_t *AddFrame(int w, int h, uint32_t delay = 0);
    // A new frame holding a copy of src (an ARGB32 image surface); null when refused.
    cairo_surface_t *AddCopy(cairo_surface_t *src, uint32_t delay = 0);
    int Count() const { return static_cast<int>(m_frames.size()); }
    void SetAnimated(bool animated) { m_animated = animated; }
    // Drops every frame collected so far.
    void Reset();
    // Moves the frames into image (replacing its content, frame 0 current); false (image
    // untouched) when there are none.
    bool Commit(XImage *image, int type);

private:
    std::vector<XImage::Frame> m_frames;
    int64_t m_pixels = 0;
    bool m_animated = false;
};

// The pixel rows of an ARGB32 surface (flushed before, marked dirty by the caller after
// writing).
inline uint32_t *SurfaceRow(cairo_surface_t *s, int y)
{
    return reinterpret_cast<uint32_t *>(cairo_image_surface_get_data(s) +
                                        static_cast<size_t>(cairo_image_surface_get_stride(s)) * y);
}

// Premultiplied ARGB from straight components, rounded as Cairo rounds.
inline uint32_t PremultiplyArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    if (a == 255)
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    if (a == 0)
        return 0;
    auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

// Straight 0xAARRGGBB from a premultiplied pixel.
inline uint32_t UnpremultiplyArgb(uint32_t p)
{
    uint32_t a = p >> 24;
    if (a == 255 || a == 0)
        return a == 0 ? 0 : p;
    auto div = [a](uint32_t c) { return (c * 255 + a / 2) / a; };
    return (a << 24) | (div((p >> 16) & 0xFF) << 16) | (div((p >> 8) & 0xFF) << 8) | div(p & 0xFF);
}

// True when every pixel of the surface is opaque.
bool IsSurfaceOpaque(cairo_surface_t *s);

// Decoders: frames into out; false on any fault (out may hold partial frames then).
bool DecodePng(const uint8_t *data, size_t size, XImageBuilder *out);
bool DecodeJpeg(const uint8_t *data, size_t size, XImageBuilder *out);
bool DecodeGif(const uint8_t *data, size_t size, XImageBuilder *out);
bool DecodeTiff(const uint8_t *data, size_t size, XImageBuilder *out);
// A BMP file (with its 14-byte header), or a bare DIB when dib is set.
bool DecodeBmp(const uint8_t *data, size_t size, bool dib, XImageBuilder *out);
bool DecodeIco(const uint8_t *data, size_t size, XImageBuilder *out);
// One DIB of an icon entry: header, palette, colour bits and the AND mask, the header's
// height counting both bitmaps.
bool DecodeIconDib(const uint8_t *data, size_t size, XImageBuilder *out);

// Encoders: the encoded bytes appended to out; false on failure.
bool EncodePng(cairo_surface_t *s, std::vector<uint8_t> *out);
bool EncodeJpeg(cairo_surface_t *s, int quality, std::vector<uint8_t> *out);
bool EncodeBmp(cairo_surface_t *s, std::vector<uint8_t> *out);
bool EncodeGif(cairo_surface_t *s, std::vector<uint8_t> *out);
bool EncodeTiff(cairo_surface_t *const *pages, int count, std::vector<uint8_t> *out);
