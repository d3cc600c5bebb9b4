#pragma once
// Geometry of QR symbols: dark modules as rectangles and as 1-bit images. The symbol
// starts at the origin; no quiet zone is added.

#include <cstdint>
#include <vector>

#include "datakit/bit_image.h"
#include "datakit/datakit_export.h"
#include "datakit/qr_matrix.h"
#include "datakit/symbol_rect.h"

// Largest module size, in pixels, of a QR image.
inline constexpr unsigned kQRMaxModule = 100;

// One module x module rectangle per dark module, at (column * module, row * module).
DATAKIT_EXPORT void LayoutQRModules(const XQRMatrix &matrix, unsigned module,
                                    std::vector<SymbolRect_t> &rects);

// The QR image of text (see XQRCode::EncodeText): the module is `module` pixels, or
// min(width, height) / side when module is 0; the image is side * module square, and
// width and height become its size. False, leaving them unchanged, for module above
// kQRMaxModule, an encoding failure or a module size of 0.
DATAKIT_EXPORT bool RenderQRCodeImage(const char16_t *text, unsigned module, uint32_t &width,
                                      uint32_t &height, XBitImage &image);

// The dark modules of text painted into a box of width x height pixels with the module
// min(width, height) / side. False for an encoding failure or a module size of 0.
DATAKIT_EXPORT bool LayoutQRCodeBox(const char16_t *text, uint32_t width, uint32_t height,
                                    std::vector<SymbolRect_t> &rects);

// Draws the matrix with a light margin of `quiet` modules on every side, into a new
// image; for tools that hand the symbol to a reader. False for an empty matrix, module
// 0 or an image XBitImage cannot hold.
DATAKIT_EXPORT bool RenderQRWithQuietZone(const XQRMatrix &matrix, unsigned module, unsigned quiet,
                                          XBitImage &image);
