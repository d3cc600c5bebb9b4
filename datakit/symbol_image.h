#pragma once
// Barcode and QR symbols as stored images and as painted rectangles. No quiet zone and
// no human-readable text: the symbol starts at the image's or box's origin. Colours are
// the painting library's 0x00BBGGRR values; the background of a stored image is white.
// Every function returns 0 and stores or paints nothing for a null text, an unknown type,
// a module size out of range or of 0, or a text that cannot be encoded.

#include <cstdint>

#include "datakit/datakit_export.h"
#include "platform/panekit/bound.h"

class IArchive;
class XBitImage;
class XImage;
class XPainter;

// type: low byte 0 Code 39, 1 Code 128 set B, 2 Code 128 automatic B/C; 0x100 vertical.
// Horizontal: module pixels per module (0: size->cx / total modules), the image is
// total * module wide and size->cy high, and size->cx becomes its width. Vertical: the
// same along the height, the first bar at the bottom. module above 32 fails. The image is
// appended to out as a PNG; the result is that of the store.
DATAKIT_EXPORT int CreateBarcodeImage(IArchive *out, const char16_t *text, int type, uint32_t color,
                                      unsigned module, SIZE_t *size);

// The bars filled in color into the box x, y, width, height: module width / total
// modules (horizontal, bars of the full box height from x rightwards) or height / total
// modules (vertical, bars of the full box width from y downwards). The fill style is left
// at color. 1, or 0.
DATAKIT_EXPORT int PaintBarcodeImage(XPainter *painter, const char16_t *text, int type, int x,
                                     int y, unsigned width, unsigned height, uint32_t color);

// The QR symbol of text: module pixels per module (0: min(size->cx, size->cy) / side),
// module above 100 fails; size becomes the image's side * module square; appended to out
// as a PNG, each dark module in color.
DATAKIT_EXPORT int CreateQRCodeImage(IArchive *out, const char16_t *text, uint32_t color,
                                     unsigned module, SIZE_t *size);

// The dark modules filled in color at (x + column * module, y + row * module) with module
// min(width, height) / side. 1, or 0.
DATAKIT_EXPORT int PaintQRCodeImage(XPainter *painter, const char16_t *text, int x, int y,
                                    unsigned width, unsigned height, uint32_t color);

// image = a 24-bit white image of bits' size with its dark pixels in color. False (image
// empty) when the image cannot be made.
DATAKIT_EXPORT bool MakeSymbolImage(const XBitImage &bits, uint32_t color, XImage *image);
