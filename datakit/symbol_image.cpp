#include "datakit/symbol_image.h"

#include <cairo.h>

#include <vector>

#include "corekit/archive/iarchive.h"
#include "datakit/barcode_render.h"
#include "datakit/qr_render.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// A colour whose top byte is set is "none": its dark pixels stay white.
bool IsNoColor(uint32_t color)
{
    return (color & 0xFF000000u) != 0;
}

// 0x00BBGGRR as an opaque premultiplied Cairo ARGB32 pixel.
uint32_t ToSurfacePixel(uint32_t color)
{
    return 0xFF000000u | (color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu);
}

// Stores bits as a PNG at out's cursor; size becomes the image's size on success.
int StoreSymbol(IArchive *out, const XBitImage &bits, uint32_t color, SIZE_t *size)
{
    XImage image;
    if (!MakeSymbolImage(bits, color, &image) || !image.SaveImageDoc(out, kImagePng, 0))
        return 0;
    size->cx = static_cast<int32_t>(bits.GetWidth());
    size->cy = static_cast<int32_t>(bits.GetHeight());
    return 1;
}

bool FitsBox(const SIZE_t *size)
{
    return size && size->cx >= 0 && size->cy >= 0;
}

void FillSymbolRects(XPainter *painter, int x, int y, uint32_t color,
                     const std::vector<SymbolRect_t> &rects)
{
    painter->SetFillStyle(color);
    for (const SymbolRect_t &r : rects) {
        BOUND_t bound{static_cast<int32_t>(x + r.x), static_cast<int32_t>(y + r.y),
                      static_cast<int32_t>(r.width), static_cast<int32_t>(r.height)};
        painter->FillRect(&bound);
    }
}

// Box sides above the 32-bit signed range cannot be painted.
bool FitsPainter(unsigned width, unsigned height)
{
    return width <= 0x7FFFFFFFu && height <= 0x7FFFFFFFu;
}

} // namespace

bool MakeSymbolImage(const XBitImage &bits, uint32_t color, XImage *image)
{
    if (!image->CreateBitmap(static_cast<int>(bits.GetWidth()), static_cast<int>(bits.GetHeight()),
                             24) ||
        !image->FillBackColor(0xFFFFFF))
        return false;
    if (IsNoColor(color))
        return true;
    cairo_surface_t *surface = image->GetSurface();
    cairo_surface_flush(surface);
    uint8_t *data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const uint32_t pixel = ToSurfacePixel(color);
    for (uint32_t y = 0; y < bits.GetHeight(); y++) {
        auto *row = reinterpret_cast<uint32_t *>(data + static_cast<size_t>(y) * stride);
        for (uint32_t x = 0; x < bits.GetWidth(); x++)
            if (bits.IsDark(x, y))
                row[x] = pixel;
    }
    cairo_surface_mark_dirty(surface);
    return true;
}

int CreateBarcodeImage(IArchive *out, const char16_t *text, int type, uint32_t color,
                       unsigned module, SIZE_t *size)
{
    if (!out || !FitsBox(size))
        return 0;
    uint32_t width = static_cast<uint32_t>(size->cx);
    uint32_t height = static_cast<uint32_t>(size->cy);
    XBitImage bits;
    if (!RenderBarcodeImage(text, type, module, width, height, bits))
        return 0;
    return StoreSymbol(out, bits, color, size);
}

int PaintBarcodeImage(XPainter *painter, const char16_t *text, int type, int x, int y,
                      unsigned width, unsigned height, uint32_t color)
{
    std::vector<SymbolRect_t> bars;
    if (!painter || !FitsPainter(width, height) ||
        !LayoutBarcodeBox(text, type, width, height, bars))
        return 0;
    FillSymbolRects(painter, x, y, color, bars);
    return 1;
}

int CreateQRCodeImage(IArchive *out, const char16_t *text, uint32_t color, unsigned module,
                      SIZE_t *size)
{
    if (!out || !text || !FitsBox(size))
        return 0;
    uint32_t width = static_cast<uint32_t>(size->cx);
    uint32_t height = static_cast<uint32_t>(size->cy);
    XBitImage bits;
    if (!RenderQRCodeImage(text, module, width, height, bits))
        return 0;
    return StoreSymbol(out, bits, color, size);
}

int PaintQRCodeImage(XPainter *painter, const char16_t *text, int x, int y, unsigned width,
                     unsigned height, uint32_t color)
{
    std::vector<SymbolRect_t> rects;
    if (!painter || !text || !FitsPainter(width, height) ||
        !LayoutQRCodeBox(text, width, height, rects))
        return 0;
    FillSymbolRects(painter, x, y, color, rects);
    return 1;
}
