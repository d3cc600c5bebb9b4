// PNG through libpng: every colour type and depth decodes to 8-bit RGBA; encoding writes
// RGB for opaque frames and RGBA otherwise.

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/panekit/image_codec.h"

namespace {

struct PngSource
{
    const uint8_t *data;
    size_t size;
    size_t pos;
};

// False when a chunk states more bytes than the data still holds. libpng sizes some
// buffers from a chunk's stated length before it reads the chunk, so a forged length in a
// few hundred bytes would otherwise cost that much memory and time.
bool ChunksFitData(const uint8_t *data, size_t size)
{
    size_t pos = 8; // after the signature
    while (size - pos >= 8) {
        const uint8_t *p = data + pos;
        const uint32_t length =
            uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        if (length > size - pos - 8 || size - pos - 8 - length < 4)
            return false;
        if (std::memcmp(p + 4, "IEND", 4) == 0)
            break;
        pos += 12 + size_t(length);
    }
    return true;
}

void ReadFromMemory(png_structp png, png_bytep dst, size_t n)
{
    auto *src = static_cast<PngSource *>(png_get_io_ptr(png));
    if (n > src->size - src->pos)
        png_error(png, "truncated");
    std::memcpy(dst, src->data + src->pos, n);
    src->pos += n;
}

void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit RGBA rows whatever the stored form.
void RequestRgba(png_structp png, png_infop info)
{
    png_byte type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_set_scale_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Runs under the caller's setjmp, so it owns nothing that needs freeing: the RGBA rows of
// the image into *rgba (through the row pointers *rows), its size into *w, *h.
bool ReadImage(png_structp png, png_infop info, const XImageBuilder &out,
               std::vector<uint8_t> *rgba, std::vector<png_bytep> *rows, png_uint_32 *w,
               png_uint_32 *h)
{
    png_read_info(png, info);
    *w = png_get_image_width(png, info);
    *h = png_get_image_height(png, info);
    if (!out.CanAdd(*w, *h))
        return false;
    RequestRgba(png, info);
    if (png_get_rowbytes(png, info) != size_t(*w) * 4)
        return false;
    rgba->resize(size_t(*w) * *h * 4);
    rows->resize(*h);
    for (png_uint_32 y = 0; y < *h; ++y)
        (*rows)[y] = rgba->data() + size_t(y) * *w * 4;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    return true;
}

void WriteToVector(png_structp png, png_bytep src, size_t n)
{
    auto *out = static_cast<std::vector<uint8_t> *>(png_get_io_ptr(png));
    out->insert(out->end(), src, src + n);
}

void FlushNothing(png_structp) {}

// Straight RGB or RGBA rows of a frame.
std::vector<uint8_t> StraightRows(cairo_surface_t *s, bool alpha)
{
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    size_t step = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(size_t(w) * h * step);
    cairo_surface_flush(s);
    uint8_t *p = bytes.data();
    for (int y = 0; y < h; ++y) {
        const uint32_t *row = SurfaceRow(s, y);
        for (int x = 0; x < w; ++x, p += step) {
            uint32_t c = UnpremultiplyArgb(row[x]);
            p[0] = static_cast<uint8_t>(c >> 16);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c);
            if (alpha)
                p[3] = static_cast<uint8_t>(c >> 24);
        }
    }
    return bytes;
}

} // namespace

bool DecodePng(const uint8_t *data, size_t size, XImageBuilder *out)
{
    if (size < 8 || !ChunksFitData(data, size))
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    PngSource src = {data, size, 0};
    std::vector<uint8_t> rgba; // outside the jump so they are freed normally
    std::vector<png_bytep> rows;
    png_uint_32 w = 0, h = 0;
    volatile bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, &src, ReadFromMemory);
        png_set_user_limits(png, kImageMaxSide, kImageMaxSide);
        png_set_chunk_malloc_max(png, 8u << 20);
        ok = ReadImage(png, info, *out, &rgba, &rows, &w, &h);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok)
        return false;
    cairo_surface_t *s = out->AddFrame(static_cast<int>(w), static_cast<int>(h));
    if (s == nullptr)
        return false;
    const uint8_t *p = rgba.data();
    for (png_uint_32 y = 0; y < h; ++y) {
        uint32_t *row = SurfaceRow(s, static_cast<int>(y));
        for (png_uint_32 x = 0; x < w; ++x, p += 4)
            row[x] = PremultiplyArgb(p[3], p[0], p[1], p[2]);
    }
    return true;
}

bool EncodePng(cairo_surface_t *s, std::vector<uint8_t> *out)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    bool alpha = !IsSurfaceOpaque(s);
    std::vector<uint8_t> bytes = StraightRows(s, alpha);
    std::vector<png_bytep> rows(h);
    for (int y = 0; y < h; ++y)
        rows[y] = bytes.data() + size_t(y) * w * (alpha ? 4 : 3);
    size_t before = out->size();
    volatile bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, out, WriteToVector, FlushNothing);
        png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_write_image(png, rows.data());
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    if (!ok)
        out->resize(before);
    return ok;
}
