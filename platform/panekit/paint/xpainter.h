#pragma once
// The painter of page items: the painter core (paint_core.h) plus everything that reads
// style descriptors (borders, backgrounds, radii, fonts) and a form's resource helper.
//
// Box drawing. A descriptor's box fills the bound it is given: borders lie inside the
// bound (a side of width w covers its w outermost rows or columns), the background covers
// the bound under the borders, and corner radii round both. Where the transform is a
// whole-pixel translation every box is drawn with exact pixel rules, without
// antialiasing: a pixel belongs to a rounded shape when its centre lies inside it, so
// the same figure drawn by another non-antialiasing rasteriser gives the same pixels.
// Gradients, pictures and opacity blend as usual.
//
// Side masks (DrawBorder, DrawCtrlBox): one nibble per side, 0x1 left, 0x10 top, 0x100
// right, 0x1000 bottom (0x1111 all four; 0x1100 right and bottom).

#include <cstdint>

#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/panekit_export.h"

class XIconDrawer;
class XRescHelper;
struct XStyleDesc;

// Side-mask nibbles.
constexpr uint32_t kSideMaskLeft = 0x1;
constexpr uint32_t kSideMaskTop = 0x10;
constexpr uint32_t kSideMaskRight = 0x100;
constexpr uint32_t kSideMaskBottom = 0x1000;
constexpr uint32_t kSideMaskAll = 0x1111;

// SetStyleDrawer codes besides SetLineStyle's: a 1-pixel solid line in the style's border
// colour (4112) and the 1-pixel border pattern (4113, kLineBorder1).
constexpr uint32_t kLineStyleSolid1 = 4112;

class PANEKIT_EXPORT XPainter : public XPaintCore
{
public:
    // A painter over target, clipped to clip (device pixels; null: the whole surface).
    XPainter(cairo_surface_t *target, const BOUND_t *clip) : XPaintCore(target, clip) {}
    // A measuring painter over its own 1 x 1 surface (CreateImage gives it a canvas).
    XPainter() = default;
    ~XPainter() override;

    // ---- resource helper -------------------------------------------------------------------

    // The helper that resolves the pens, fonts and pictures of descriptors (null: the
    // process-wide default helper). Returns the previous helper, so that a caller can put
    // it back; the painter does not own helpers.
    XRescHelper *SetRescHelper(XRescHelper *helper);
    XRescHelper *GetRescHelper() const { return m_helper; }

    // ---- state from a descriptor -----------------------------------------------------------

    // Selects the pen of one border side (kSideLeft ... kSideBottom; -1: the first drawn
    // side in the order top, left, right, bottom). Without a drawn side, or for a null
    // style, the null pen is selected and 0 returned.
    int SetDrawer(const XStyleDesc *style, int side = -1);
    // Selects a pen by line code (SetLineStyle's codes, kLineStyleSolid1, kLineBorder1) in
    // color; kColorUnset takes the style's first drawn border colour (or the line code's own
    // colour without a style). 0 for an unknown code.
    int SetStyleDrawer(const XStyleDesc *style, uint32_t code, uint32_t color = 0xFFFFFFFF);
    int SetStyleDrawer(uint32_t code, uint32_t color)
    {
        return SetStyleDrawer(nullptr, code, color);
    }
    // Selects the style's background colour as fill colour ("none" when the background has
    // no colour). Returns the previous fill colour.
    uint32_t SetFiller(const XStyleDesc *style);
    // Selects the style's font through the helper (the cached font when it is current);
    // null: the default font. The painter holds a reference to the font while it is
    // selected. Returns the font selected.
    const XFontHandle *SetFonter(const XStyleDesc *style);

    // ---- boxes -------------------------------------------------------------------------------

    // Draws the straight border sides of the mask inside bound, each with its width, style
    // and colour; radii are not applied.
    void DrawBorder(const XStyleDesc *style, const BOUND_t *bound, uint32_t sides = kSideMaskAll);
    // The whole box: background, then borders, rounded by the radii, at the style's opacity.
    void DrawItemBox(const XStyleDesc *style, const BOUND_t *bound);
    // The box's borders of the mask only (rounded by the radii), at the style's opacity.
    void DrawCtrlBox(const XStyleDesc *style, const BOUND_t *bound, uint32_t sides = kSideMaskAll);
    // The box's background only (rounded by the radii), at the style's opacity.
    void FillCtrlBox(const XStyleDesc *style, const BOUND_t *bound);

    // ---- icons -------------------------------------------------------------------------------

    // Icon index of the set at x, y (grey when gray is non-zero); 0 when not drawn.
    int DrawIcon(const XIconDrawer *icons, int index, int x, int y, int gray = 0);

private:
    XRescHelper *Helper() const;
    // Paints the background layers (colour, picture, gradient, icon) over bound; the caller
    // has clipped the context to the box's shape.
    void PaintBackground(const XStyleDesc *style, const BOUND_t *bound);
    // The picture, named render or icon of a background kind that names its source.
    void PaintNamedBack(const XStyleDesc *style, const BOUND_t *bound);
    // The box steps shared by the public members: background when fill, then the borders of
    // sides, rounded by the radii when round, at the style's opacity.
    void PaintBox(const XStyleDesc *style, const BOUND_t *bound, bool fill, uint32_t sides,
                  bool round);

    XRescHelper *m_helper = nullptr;
    XFontHandle *m_heldFont = nullptr; // retained while SetFonter's font is selected
};
