// JPEG through libjpeg-turbo. Errors leave through a longjmp error manager; a stream that
// ends early is an error too (libjpeg would pad it with grey).

#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "platform/panekit/image/image_codec.h"

namespace {

struct JpegError
{
    jpeg_error_mgr mgr;
    jmp_buf jump;
};

void OnJpegError(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegError *>(info->err)->jump, 1);
}

// Warnings are ignored except the one for data that ends before the image does.
void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        longjmp(reinterpret_cast<JpegError *>(info->err)->jump, 1);
}

void NoOutput(j_common_ptr) {}

// A progressive stream may hold any number of scans, each a pass over the whole image;
// real encoders write about a dozen, so far more means a hostile file.
constexpr int kMaxScans = 256;

void WatchScans(j_common_ptr info)
{
    auto *d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxScans)
        longjmp(reinterpret_cast<JpegError *>(info->err)->jump, 1);
}

void InstallErrors(JpegError *err)
{
    jpeg_std_error(&err->mgr);
    err->mgr.error_exit = OnJpegError;
    err->mgr.emit_message = OnJpegMessage;
    err->mgr.output_message = NoOutput;
}

// Adobe CMYK as most writers store it: inverted; RGB = K * (inverted C, M, Y).
uint32_t CmykPixel(const uint8_t *p, bool inverted)
{
    uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    auto ch = [k](uint32_t v) { return (v * k + 127) / 255; };
    return 0xFF000000u | (ch(c) << 16) | (ch(m) << 8) | ch(y);
}

// Runs under the caller's setjmp; *frame gets the surface decoded into.
void ReadScanlines(jpeg_decompress_struct *info, XImageBuilder *out, std::vector<uint8_t> *row,
                   cairo_surface_t **frame)
{
    bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(info);
    int w = static_cast<int>(info->output_width);
    int h = static_cast<int>(info->output_height);
    cairo_surface_t *s = out->AddFrame(w, h);
    *frame = s;
    if (s == nullptr)
        return;
    row->resize(size_t(w) * 4);
    bool inverted = info->saw_Adobe_marker;
    while (info->output_scanline < info->output_height) {
        uint32_t *dst = SurfaceRow(s, static_cast<int>(info->output_scanline));
        JSAMPROW rows[1] = {cmyk ? row->data() : reinterpret_cast<JSAMPROW>(dst)};
        jpeg_read_scanlines(info, rows, 1);
        if (cmyk)
            for (int x = 0; x < w; ++x)
                dst[x] = CmykPixel(row->data() + size_t(x) * 4, inverted);
    }
    jpeg_finish_decompress(info);
}

} // namespace

bool DecodeJpeg(const uint8_t *data, size_t size, XImageBuilder *out)
{
    jpeg_decompress_struct info;
    JpegError err;
    InstallErrors(&err);
    info.err = &err.mgr;
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = WatchScans;
    info.progress = &progress;
    std::vector<uint8_t> row;
    cairo_surface_t *frame = nullptr;
    volatile bool ok = false;
    if (setjmp(err.jump) == 0) {
        // Every memory request of the decoder stays within a frame's worth and a margin.
        info.mem->max_memory_to_use = (kImageMaxPixels * 4) + (64 << 20);
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_read_header(&info, TRUE);
        if (out->CanAdd(info.image_width, info.image_height)) {
            ReadScanlines(&info, out, &row, &frame);
            ok = frame != nullptr;
        }
    }
    jpeg_destroy_decompress(&info);
    return ok;
}

bool EncodeJpeg(cairo_surface_t *s, int quality, std::vector<uint8_t> *out)
{
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    // JPEG has no alpha: transparent parts are flattened onto white.
    std::vector<uint8_t> row(size_t(w) * 3);
    jpeg_compress_struct info;
    JpegError err;
    InstallErrors(&err);
    info.err = &err.mgr;
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long length = 0;
    volatile bool ok = false;
    cairo_surface_flush(s);
    if (setjmp(err.jump) == 0) {
        jpeg_mem_dest(&info, &buffer, &length);
        info.image_width = static_cast<JDIMENSION>(w);
        info.image_height = static_cast<JDIMENSION>(h);
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, quality, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            const uint32_t *src = SurfaceRow(s, static_cast<int>(info.next_scanline));
            for (int x = 0; x < w; ++x) {
                uint32_t p = src[x], white = 255 - (p >> 24); // premultiplied over white
                row[size_t(x) * 3] = static_cast<uint8_t>(((p >> 16) & 0xFF) + white);
                row[size_t(x) * 3 + 1] = static_cast<uint8_t>(((p >> 8) & 0xFF) + white);
                row[size_t(x) * 3 + 2] = static_cast<uint8_t>((p & 0xFF) + white);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&info, rows, 1);
        }
        jpeg_finish_compress(&info);
        ok = true;
    }
    jpeg_destroy_compress(&info);
    if (ok)
        out->insert(out->end(), buffer, buffer + length);
    free(buffer);
    return ok;
}
