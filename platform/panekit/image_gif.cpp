// GIF through giflib, read record by record so that every frame's size is checked before
// its pixels are decoded. Frames are composed onto the logical screen with their disposal
// methods, so each frame of the image is the full picture shown at that time.

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/panekit/image_codec.h"

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
