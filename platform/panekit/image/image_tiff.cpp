// TIFF through libtiff over memory: one frame per page, read through libtiff's RGBA
// interface (which premultiplies unassociated alpha as Cairo wants). Messages go to
// per-file handlers that swallow them, so no global libtiff state is touched.

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/panekit/image/image_codec.h"

namespace {

// A memory file for libtiff: read-only over the decoder's bytes, or growable for writing.
struct TiffMemory
{
    const uint8_t *data;
    std::vector<uint8_t> *grow;
    size_t size;
    size_t pos;
};

const uint8_t *Bytes(const TiffMemory *m)
{
    return m->grow != nullptr ? m->grow->data() : m->data;
}

tmsize_t ReadProc(thandle_t h, void *dst, tmsize_t n)
{
    auto *m = static_cast<TiffMemory *>(h);
    if (n < 0)
        return 0;
    size_t take = m->pos >= m->size ? 0 : std::min(static_cast<size_t>(n), m->size - m->pos);
    if (take > 0)
        std::memcpy(dst, Bytes(m) + m->pos, take);
    m->pos += take;
    return static_cast<tmsize_t>(take);
}

tmsize_t WriteProc(thandle_t h, void *src, tmsize_t n)
{
    auto *m = static_cast<TiffMemory *>(h);
    if (m->grow == nullptr || n < 0)
        return 0;
    size_t end = m->pos + static_cast<size_t>(n);
    if (end > m->grow->size())
        m->grow->resize(end);
    std::memcpy(m->grow->data() + m->pos, src, static_cast<size_t>(n));
    m->pos = end;
    m->size = std::max(m->size, end);
    return n;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence)
{
    auto *m = static_cast<TiffMemory *>(h);
    uint64_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size : 0;
    uint64_t to = base + off; // libtiff passes negative offsets as wrapped values
    if (m->grow == nullptr && to > m->size)
        return static_cast<toff_t>(-1);
    if (to > (uint64_t(1) << 32))
        return static_cast<toff_t>(-1);
    m->pos = static_cast<size_t>(to);
    return to;
}

int CloseProc(thandle_t)
{
    return 0;
}
toff_t SizeProc(thandle_t h)
{
    return static_cast<TiffMemory *>(h)->size;
}
int MapProc(thandle_t, void **, toff_t *)
{
    return 0;
}
void UnmapProc(thandle_t, void *, toff_t) {}
int Swallow(TIFF *, void *, const char *, const char *, va_list)
{
    return 1;
}

TIFF *OpenMemory(TiffMemory *m, const char *mode)
{
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    if (options == nullptr)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kImageMaxPixels * 4 + (16 << 20));
    TIFFOpenOptionsSetErrorHandlerExtR(options, Swallow, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, Swallow, nullptr);
    TIFF *tif = TIFFClientOpenExt("memory", mode, m, ReadProc, WriteProc, SeekProc, CloseProc,
                                  SizeProc, MapProc, UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// The current page into a new frame; false when it cannot be read.
bool ReadPage(TIFF *tif, XImageBuilder *out)
{
    uint32_t w = 0, h = 0;
    char message[1024];
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h) ||
        !out->CanAdd(w, h) || !TIFFRGBAImageOK(tif, message))
        return false;
    std::vector<uint32_t> raster(size_t(w) * h);
    if (!TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 1))
        return false;
    cairo_surface_t *s = out->AddFrame(static_cast<int>(w), static_cast<int>(h));
    if (s == nullptr)
        return false;
    const uint32_t *p = raster.data();
    for (uint32_t y = 0; y < h; ++y) {
        uint32_t *row = SurfaceRow(s, static_cast<int>(y));
        for (uint32_t x = 0; x < w; ++x, ++p) // ABGR packed: R in the low byte
            row[x] =
                (TIFFGetA(*p) << 24) | (TIFFGetR(*p) << 16) | (TIFFGetG(*p) << 8) | TIFFGetB(*p);
    }
    return true;
}

// The straight RGB(A) bytes of one row of a frame.
void StraightRow(cairo_surface_t *s, int y, bool alpha, std::vector<uint8_t> *row)
{
    int w = cairo_image_surface_get_width(s);
    const uint32_t *src = SurfaceRow(s, y);
    uint8_t *p = row->data();
    for (int x = 0; x < w; ++x) {
        uint32_t c = UnpremultiplyArgb(src[x]);
        *p++ = static_cast<uint8_t>(c >> 16);
        *p++ = static_cast<uint8_t>(c >> 8);
        *p++ = static_cast<uint8_t>(c);
        if (alpha)
            *p++ = static_cast<uint8_t>(c >> 24);
    }
}

bool WritePage(TIFF *tif, cairo_surface_t *s, int page, int count)
{
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    bool alpha = !IsSurfaceOpaque(s);
    uint16_t channels = alpha ? 4 : 3;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(h));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_RGB));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_LZW));
    TIFFSetField(tif, TIFFTAG_ORIENTATION, uint16_t(ORIENTATION_TOPLEFT));
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (alpha) {
        uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), extra);
    }
    if (count > 1) {
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, uint32_t(FILETYPE_PAGE));
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(count));
    }
    std::vector<uint8_t> row(size_t(w) * channels);
    cairo_surface_flush(s);
    for (int y = 0; y < h; ++y) {
        StraightRow(s, y, alpha, &row);
        if (TIFFWriteScanline(tif, row.data(), uint32_t(y), 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tif) != 0;
}

} // namespace

bool DecodeTiff(const uint8_t *data, size_t size, XImageBuilder *out)
{
    TiffMemory m = {data, nullptr, size, 0};
    TIFF *tif = OpenMemory(&m, "rm");
    if (tif == nullptr)
        return false;
    do {
        // A page that cannot be read ends the file; the pages before it are kept.
        if (out->Count() > 0 && out->Count() >= kImageMaxFrames)
            break;
        if (!ReadPage(tif, out))
            break;
    } while (TIFFReadDirectory(tif));
    TIFFClose(tif);
    return out->Count() > 0;
}

bool EncodeTiff(cairo_surface_t *const *pages, int count, std::vector<uint8_t> *out)
{
    std::vector<uint8_t> bytes;
    TiffMemory m = {nullptr, &bytes, 0, 0};
    TIFF *tif = OpenMemory(&m, "w");
    if (tif == nullptr)
        return false;
    bool ok = true;
    for (int i = 0; i < count && ok; ++i)
        ok = WritePage(tif, pages[i], i, count);
    TIFFClose(tif);
    if (ok)
        out->insert(out->end(), bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(m.size));
    return ok;
}
