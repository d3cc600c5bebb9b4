// GIF through giflib, read record by record so that every frame's size is checked before
// its pixels are decoded. Frames are composed onto the logical screen with their disposal
// methods, so each frame of the image is the full picture shown at that time.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/panekit/image/image_codec.h"

namespace {

struct GifSource
{
    const uint8_t *data;
    size_t size;
    size_t pos;
};

int ReadFromMemory(GifFileType *gif, GifByteType *dst, int n)
{
    auto *src = static_cast<GifSource *>(gif->UserData);
    size_t take = std::min(static_cast<size_t>(std::max(n, 0)), src->size - src->pos);
    std::memcpy(dst, src->data + src->pos, take);
    src->pos += take;
    return static_cast<int>(take);
}

// The graphic control of the next frame.
struct FrameControl
{
    int disposal = 0;
    int transparent = -1;
    uint32_t delay = 0; // milliseconds
};

// Canvas of straight pixels (alpha 0 or 255, so premultiplied equals straight).
struct Canvas
{
    int width;
    int height;
    std::vector<uint32_t> pixels;
};

bool ReadExtension(GifFileType *gif, FrameControl *control)
{
    int code = 0;
    GifByteType *ext = nullptr;
    if (DGifGetExtension(gif, &code, &ext) == GIF_ERROR)
        return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && ext != nullptr && ext[0] >= 4) {
        control->disposal = (ext[1] >> 2) & 7;
        control->transparent = (ext[1] & 1) ? ext[4] : -1;
        control->delay = (ext[2] | (uint32_t(ext[3]) << 8)) * 10u;
    }
    while (ext != nullptr)
        if (DGifGetExtensionNext(gif, &ext) == GIF_ERROR)
            return false;
    return true;
}

// Row order of an interlaced frame: rows 0, 8, 16 ..., then 4, 12 ..., 2, 6 ..., 1, 3 ...
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(height);
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr int kStart[] = {0, 4, 2, 1};
    constexpr int kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

// Decodes the frame whose descriptor was just read and paints it onto the canvas.
bool PaintFrame(GifFileType *gif, const FrameControl &control, Canvas *canvas)
{
    const GifImageDesc &desc = gif->Image;
    const ColorMapObject *map = desc.ColorMap != nullptr ? desc.ColorMap : gif->SColorMap;
    std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
    for (int y : RowOrder(desc.Height, desc.Interlace)) {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
            return false;
        int cy = desc.Top + y;
        if (cy < 0 || cy >= canvas->height)
            continue;
        uint32_t *row = canvas->pixels.data() + size_t(cy) * canvas->width;
        for (int x = 0; x < desc.Width; ++x) {
            int cx = desc.Left + x;
            int index = line[size_t(x)];
            if (cx < 0 || cx >= canvas->width || index == control.transparent)
                continue;
            uint32_t argb = 0xFF000000u; // an index beyond the map is black
            if (map != nullptr && index < map->ColorCount) {
                const GifColorType &c = map->Colors[index];
                argb |= (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
            }
            row[cx] = argb;
        }
    }
    return true;
}

// Clears the frame's rectangle on the canvas (disposal 2).
void ClearRect(const GifImageDesc &desc, Canvas *canvas)
{
    int x0 = std::max(desc.Left, 0), x1 = std::min(desc.Left + desc.Width, canvas->width);
    int y0 = std::max(desc.Top, 0), y1 = std::min(desc.Top + desc.Height, canvas->height);
    if (x0 >= x1) // the frame lies wholly off the screen
        return;
    for (int y = y0; y < y1; ++y)
        std::fill(canvas->pixels.begin() + y * canvas->width + x0,
                  canvas->pixels.begin() + y * canvas->width + x1, 0u);
}

bool EmitFrame(const Canvas &canvas, uint32_t delay, XImageBuilder *out)
{
    cairo_surface_t *s = out->AddFrame(canvas.width, canvas.height, delay);
    if (s == nullptr)
        return false;
    for (int y = 0; y < canvas.height; ++y)
        std::copy_n(canvas.pixels.data() + size_t(y) * canvas.width, canvas.width,
                    SurfaceRow(s, y));
    return true;
}

// One image record: descriptor, pixels, output frame, disposal.
bool ReadFrame(GifFileType *gif, FrameControl *control, Canvas *canvas, XImageBuilder *out)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return false;
    const GifImageDesc &desc = gif->Image;
    if (canvas->pixels.empty()) { // a zero logical screen takes the first frame's size
        canvas->width = canvas->width > 0 ? canvas->width : desc.Left + desc.Width;
        canvas->height = canvas->height > 0 ? canvas->height : desc.Top + desc.Height;
        if (!out->CanAdd(canvas->width, canvas->height))
            return false;
        canvas->pixels.assign(size_t(canvas->width) * canvas->height, 0u);
    }
    // The frame's own rectangle is checked too: its rows are decoded even where they lie
    // off the screen.
    if (desc.Width < 1 || desc.Height < 1 || desc.Width > kImageMaxSide ||
        desc.Height > kImageMaxSide || int64_t(desc.Width) * desc.Height > kImageMaxPixels ||
        !out->CanAdd(canvas->width, canvas->height))
        return false;
    std::vector<uint32_t> previous;
    if (control->disposal == 3)
        previous = canvas->pixels;
    if (!PaintFrame(gif, *control, canvas) || !EmitFrame(*canvas, control->delay, out))
        return false;
    if (control->disposal == 2)
        ClearRect(desc, canvas);
    else if (control->disposal == 3)
        canvas->pixels.swap(previous);
    *control = FrameControl();
    return true;
}

bool ReadRecords(GifFileType *gif, XImageBuilder *out)
{
    Canvas canvas = {gif->SWidth, gif->SHeight, {}};
    FrameControl control;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return out->Count() > 0; // a missing trailer after whole frames is tolerated
        if (type == TERMINATE_RECORD_TYPE)
            return out->Count() > 0;
        if (type == EXTENSION_RECORD_TYPE && !ReadExtension(gif, &control))
            return false;
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        // A long animation beyond the pixel budget keeps the frames that fit.
        if (out->Count() > 0 && !out->CanAdd(canvas.width, canvas.height))
            return true;
        if (!ReadFrame(gif, &control, &canvas, out))
            return false;
    }
}

} // namespace

bool DecodeGif(const uint8_t *data, size_t size, XImageBuilder *out)
{
    GifSource src = {data, size, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(&src, ReadFromMemory, &error);
    if (gif == nullptr)
        return false;
    bool ok = ReadRecords(gif, out);
    DGifCloseFile(gif, &error);
    out->SetAnimated(true);
    return ok;
}

// ---- writing ----------------------------------------------------------------------------

namespace {

// The index written for pixels whose alpha is below half.
constexpr int kClearIndex = 255;

int WriteToVector(GifFileType *gif, const GifByteType *src, int n)
{
    auto *out = static_cast<std::vector<uint8_t> *>(gif->UserData);
    out->insert(out->end(), src, src + n);
    return n;
}

// One index per pixel and the palette: exact when the frame holds at most 255 colours,
// else a median-cut palette of 255. *clear tells whether any pixel is transparent.
bool IndexPixels(cairo_surface_t *s, std::vector<uint8_t> *indexes,
                 std::vector<GifColorType> *colors, bool *clear)
{
    int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    std::vector<uint32_t> rgb(size_t(w) * h);
    std::vector<bool> hole(rgb.size());
    cairo_surface_flush(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = UnpremultiplyArgb(SurfaceRow(s, y)[x]);
            size_t i = size_t(y) * w + x;
            hole[i] = (c >> 24) < 128;
            rgb[i] = c & 0xFFFFFF;
        }
    *clear = std::find(hole.begin(), hole.end(), true) != hole.end();
    indexes->assign(rgb.size(), kClearIndex);
    std::vector<uint32_t> palette;
    std::unordered_map<uint32_t, uint8_t> seen;
    for (size_t i = 0; i < rgb.size() && palette.size() <= kClearIndex; ++i) {
        if (hole[i])
            continue;
        auto [at, added] = seen.try_emplace(rgb[i], static_cast<uint8_t>(palette.size()));
        (*indexes)[i] = at->second;
        if (added)
            palette.push_back(rgb[i]);
    }
    if (palette.size() <= kClearIndex) {
        for (uint32_t c : palette)
            colors->push_back({GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
        return true;
    }
    std::vector<GifByteType> r(rgb.size()), g(rgb.size()), b(rgb.size());
    for (size_t i = 0; i < rgb.size(); ++i) {
        r[i] = GifByteType(rgb[i] >> 16);
        g[i] = GifByteType(rgb[i] >> 8);
        b[i] = GifByteType(rgb[i]);
    }
    int count = kClearIndex;
    colors->resize(256);
    if (GifQuantizeBuffer(unsigned(w), unsigned(h), &count, r.data(), g.data(), b.data(),
                          indexes->data(), colors->data()) == GIF_ERROR)
        return false;
    colors->resize(size_t(std::min(count, kClearIndex)));
    for (size_t i = 0; i < rgb.size(); ++i)
        if (hole[i] || (*indexes)[i] >= kClearIndex)
            (*indexes)[i] = hole[i] ? kClearIndex : 0;
    return true;
}

bool WriteGif(GifFileType *gif, int w, int h, const std::vector<uint8_t> &indexes,
              const ColorMapObject *map, bool clear)
{
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_ERROR)
        return false;
    if (clear) { // graphic control: transparency flag, no delay, the clear index
        const GifByteType control[4] = {1, 0, 0, kClearIndex};
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_ERROR)
            return false;
    }
    if (EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR)
        return false;
    std::vector<GifPixelType> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        std::copy_n(indexes.begin() + ptrdiff_t(y) * w, w, row.begin());
        if (EGifPutLine(gif, row.data(), w) == GIF_ERROR)
            return false;
    }
    return true;
}

} // namespace

bool EncodeGif(cairo_surface_t *s, std::vector<uint8_t> *out)
{
    std::vector<uint8_t> indexes;
    std::vector<GifColorType> colors;
    bool clear = false;
    if (!IndexPixels(s, &indexes, &colors, &clear))
        return false;
    colors.resize(256, GifColorType{0, 0, 0});
    ColorMapObject *map = GifMakeMapObject(256, colors.data());
    std::vector<uint8_t> bytes;
    int error = 0;
    GifFileType *gif = map != nullptr ? EGifOpen(&bytes, WriteToVector, &error) : nullptr;
    bool ok = gif != nullptr && WriteGif(gif, cairo_image_surface_get_width(s),
                                         cairo_image_surface_get_height(s), indexes, map, clear);
    if (gif != nullptr && EGifCloseFile(gif, &error) == GIF_ERROR)
        ok = false;
    GifFreeMapObject(map);
    if (ok)
        out->insert(out->end(), bytes.begin(), bytes.end());
    return ok;
}
