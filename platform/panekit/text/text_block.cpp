// Block functions of the text engine: a text laid out in a bound under a layout word.
#include <cstdint>

#include <cairo.h>

#include "platform/panekit/text/text_layout.h"
#include "platform/panekit/text/text_layout_cache.h"
#include "platform/panekit/text/text_paint.h"

namespace {

uint32_t BlockMode(uint32_t layout)
{
    uint32_t mode = 0;
    if (layout & kDrawTextExpandTabs)
        mode |= kPrepareExpandTabs;
    if (layout & kDrawTextMnemonic)
        mode |= kPrepareMnemonic;
    if (layout & kDrawTextSingleLine)
        mode |= kPrepareOneRow;
    else if (!(layout & kDrawTextNoWrap))
        mode |= kPrepareWrap;
    return mode;
}

// Offset of a part `size` long inside `room`: 0 at the start, 1 at the end, 2 and 3 centred.
// Wide enough for any bound, whose far edge may lie beyond the 32-bit range.
int64_t AlignOffset(uint32_t code, int64_t room, int64_t size)
{
    switch (code) {
    case 0:
        return 0;
    case 1:
        return room - size;
    default:
        return (room - size) / 2;
    }
}

} // namespace

int XTextLayout::DrawText(cairo_t *cr, const XFontHandle *font, uint32_t color,
                          const char16_t *text, int len, const BOUND_t *bound, uint32_t layout)
{
    len = TextUnitLength(text, len);
    if (cr == nullptr || bound == nullptr || bound->width <= 0 || bound->height <= 0 || len == 0 ||
        IsTextColorNone(color))
        return 0;
    PangoLayout *pl = Cache().Prepare(cr, font, text, len, BlockMode(layout), bound->width);
    PangoRectangle block;
    pango_layout_get_extents(pl, nullptr, &block);
    const int blockHeight = PangoCeilPixels(block.height);
    const int64_t top =
        bound->y + AlignOffset((layout & kDrawTextVertMask) >> 2, bound->height, blockHeight);
    const int64_t boundBottom = int64_t(bound->y) + bound->height;

    XTextPaint paint(cr, color);
    if (!paint.Clip(bound->x, bound->y, bound->width, bound->height))
        return blockHeight;
    PangoLayoutIter *it = pango_layout_get_iter(pl);
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        const int64_t rowTop = top + PANGO_PIXELS(logical.y - block.y);
        if (rowTop >= boundBottom)
            break;
        PangoLayoutLine *line = pango_layout_iter_get_line_readonly(it);
        PangoRectangle own;
        pango_layout_line_get_extents(line, nullptr, &own);
        const int rowWidth = PangoCeilPixels(own.width);
        const int64_t left =
            bound->x + AlignOffset(layout & kDrawTextHorzMask, bound->width, rowWidth);
        const int64_t baseline = top + PANGO_PIXELS(pango_layout_iter_get_baseline(it) - block.y);
        paint.ShowLine(line, double(left - PANGO_PIXELS(own.x)), double(baseline), double(left),
                       double(rowTop), rowWidth, PangoCeilPixels(logical.height));
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
    return blockHeight;
}

int XTextLayout::CalcTextSize(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                              uint32_t layout, int width, SIZE_t *size)
{
    len = TextUnitLength(text, len);
    PangoLayout *pl = Cache().Prepare(cr, font, text, len, BlockMode(layout), width);
    PangoRectangle logical;
    pango_layout_get_extents(pl, nullptr, &logical);
    if (size != nullptr) {
        size->cx = PangoCeilPixels(logical.width);
        size->cy = PangoCeilPixels(logical.height);
    }
    return pango_layout_get_line_count(pl);
}
