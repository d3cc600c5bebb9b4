#include "datakit/qr_render.h"

#include <algorithm>

#include "datakit/qr_encoder.h"

namespace {

// Fills the dark modules, each module x module pixels, offset by margin pixels.
void FillModules(const XQRMatrix &matrix, unsigned module, int64_t margin, XBitImage &image)
{
    int side = matrix.GetSide();
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++) {
            if (matrix.IsDark(x, y))
                image.FillRect(margin + int64_t{x} * module, margin + int64_t{y} * module, module,
                               module);
        }
    }
}

} // namespace

void LayoutQRModules(const XQRMatrix &matrix, unsigned module, std::vector<SymbolRect_t> &rects)
{
    rects.clear();
    int side = matrix.GetSide();
    for (int y = 0; y < side; y++) {
        for (int x = 0; x < side; x++) {
            if (matrix.IsDark(x, y))
                rects.push_back(
                    SymbolRect_t{int64_t{x} * module, int64_t{y} * module, module, module});
        }
    }
}

bool RenderQRCodeImage(const char16_t *text, unsigned module, uint32_t &width, uint32_t &height,
                       XBitImage &image)
{
    image.Create(0, 0);
    XQRCode code;
    if (module > kQRMaxModule || !code.EncodeText(text))
        return false;
    unsigned side = static_cast<unsigned>(code.GetSide());
    if (module == 0)
        module = std::min(width, height) / side;
    if (module == 0 || !image.Create(side * module, side * module))
        return false;
    FillModules(code.GetMatrix(), module, 0, image);
    width = height = side * module;
    return true;
}

bool LayoutQRCodeBox(const char16_t *text, uint32_t width, uint32_t height,
                     std::vector<SymbolRect_t> &rects)
{
    rects.clear();
    XQRCode code;
    if (!code.EncodeText(text))
        return false;
    unsigned module = std::min(width, height) / static_cast<unsigned>(code.GetSide());
    if (module == 0)
        return false;
    LayoutQRModules(code.GetMatrix(), module, rects);
    return true;
}

bool RenderQRWithQuietZone(const XQRMatrix &matrix, unsigned module, unsigned quiet,
                           XBitImage &image)
{
    uint64_t side = (static_cast<uint64_t>(matrix.GetSide()) + 2ull * quiet) * module;
    if (matrix.GetSide() == 0 || module == 0 || side > XBitImage::kMaxSide ||
        !image.Create(static_cast<uint32_t>(side), static_cast<uint32_t>(side)))
        return false;
    FillModules(matrix, module, static_cast<int64_t>(quiet) * module, image);
    return true;
}
