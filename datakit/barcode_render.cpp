#include "datakit/barcode_render.h"

void LayoutBars(const XBarcodeElements &elements, bool vertical, bool bottomUp, unsigned module,
                uint32_t thickness, std::vector<SymbolRect_t> &bars)
{
    bars.clear();
    const char *p = elements.GetString();
    int64_t length = static_cast<int64_t>(elements.GetTotalModules()) * module;
    int64_t offset = 0;
    for (size_t i = 0; i < elements.GetLength(); i++) {
        uint32_t size = static_cast<uint32_t>(p[i] - '0') * module;
        if (i % 2 == 0) {
            if (!vertical)
                bars.push_back(SymbolRect_t{offset, 0, size, thickness});
            else if (bottomUp)
                bars.push_back(SymbolRect_t{0, length - offset - size, thickness, size});
            else
                bars.push_back(SymbolRect_t{0, offset, thickness, size});
        }
        offset += size;
    }
}

bool RenderBarcodeImage(const char16_t *text, int type, unsigned module, uint32_t &width,
                        uint32_t &height, XBitImage &image)
{
    image.Create(0, 0);
    XBarcodeElements elements;
    if (module > kBarcodeMaxModule || !MakeBarcodeElements(text, type, elements))
        return false;
    bool vertical = (type & kBarcodeVertical) != 0;
    unsigned total = elements.GetTotalModules();
    if (module == 0)
        module = (vertical ? height : width) / total;
    if (module == 0)
        return false;
    uint32_t length = total * module;
    uint32_t thickness = vertical ? width : height;
    if (!image.Create(vertical ? thickness : length, vertical ? length : thickness))
        return false;
    std::vector<SymbolRect_t> bars;
    LayoutBars(elements, vertical, true, module, thickness, bars);
    for (const SymbolRect_t &bar : bars)
        image.FillRect(bar.x, bar.y, bar.width, bar.height);
    (vertical ? height : width) = length;
    return true;
}

bool LayoutBarcodeBox(const char16_t *text, int type, uint32_t width, uint32_t height,
                      std::vector<SymbolRect_t> &bars)
{
    bars.clear();
    XBarcodeElements elements;
    if (!MakeBarcodeElements(text, type, elements))
        return false;
    bool vertical = (type & kBarcodeVertical) != 0;
    unsigned module = (vertical ? height : width) / elements.GetTotalModules();
    if (module == 0)
        return false;
    LayoutBars(elements, vertical, false, module, vertical ? width : height, bars);
    return true;
}

bool RenderBarcodeWithQuietZone(const XBarcodeElements &elements, bool vertical, unsigned module,
                                uint32_t thickness, unsigned quiet, XBitImage &image)
{
    uint64_t length = (static_cast<uint64_t>(elements.GetTotalModules()) + 2ull * quiet) * module;
    if (module == 0 || length > XBitImage::kMaxSide ||
        !image.Create(vertical ? thickness : static_cast<uint32_t>(length),
                      vertical ? static_cast<uint32_t>(length) : thickness))
        return false;
    std::vector<SymbolRect_t> bars;
    LayoutBars(elements, vertical, false, module, thickness, bars);
    int64_t margin = static_cast<int64_t>(quiet) * module;
    for (const SymbolRect_t &bar : bars) {
        image.FillRect(vertical ? bar.x : bar.x + margin, vertical ? bar.y + margin : bar.y,
                       bar.width, bar.height);
    }
    return true;
}
