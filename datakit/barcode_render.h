#pragma once
// Geometry of one-dimensional barcodes: bars as rectangles and as 1-bit images. The
// symbol starts at the origin; no quiet zone and no human-readable text are added.

#include <cstdint>
#include <vector>

#include "datakit/barcode_elements.h"
#include "datakit/bit_image.h"
#include "datakit/datakit_export.h"
#include "datakit/symbol_rect.h"

// Largest module width, in pixels, of a barcode image.
inline constexpr unsigned kBarcodeMaxModule = 32;

// One rectangle per bar, `module` pixels per element module and `thickness` pixels
// across. Horizontal: bars run top to bottom, the first at x 0. Vertical: bars run left
// to right, the first at the top (bottomUp false) or at the bottom of a symbol
// elements.GetTotalModules() * module pixels high (bottomUp true).
DATAKIT_EXPORT void LayoutBars(const XBarcodeElements &elements, bool vertical, bool bottomUp,
                               unsigned module, uint32_t thickness,
                               std::vector<SymbolRect_t> &bars);

// The barcode image of text: type as for MakeBarcodeElements plus kBarcodeVertical.
// Horizontal: the module is `module` pixels, or width / total modules when module is
// 0; the image is total * module wide and `height` high, and width becomes its width.
// Vertical: likewise along the height, the image `width` wide, the first bar at the
// bottom; height becomes its height. False, leaving width and height unchanged, for a
// null text, an unknown type, module above kBarcodeMaxModule, a module size of 0, an
// overlong element string or an image XBitImage cannot hold.
DATAKIT_EXPORT bool RenderBarcodeImage(const char16_t *text, int type, unsigned module,
                                       uint32_t &width, uint32_t &height, XBitImage &image);

// The bars of text painted into a box of width x height pixels: the module is width /
// total modules (horizontal) or height / total modules (vertical); bars span the whole
// box across, the first at the left or at the top. False for a null text, an unknown
// type, an overlong element string or a module size of 0.
DATAKIT_EXPORT bool LayoutBarcodeBox(const char16_t *text, int type, uint32_t width,
                                     uint32_t height, std::vector<SymbolRect_t> &bars);

// Draws elements with a light margin of `quiet` modules on the two ends (and none
// across), into a new image; for tools that hand the symbol to a reader.
DATAKIT_EXPORT bool RenderBarcodeWithQuietZone(const XBarcodeElements &elements, bool vertical,
                                               unsigned module, uint32_t thickness, unsigned quiet,
                                               XBitImage &image);
