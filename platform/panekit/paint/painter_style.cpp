// Painter state taken from a style descriptor: the pen of a border side, a line code in
// the style's colour, the background colour as filler and the style's font.
#include "platform/panekit/icon/resc_helper.h"
#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/text/font_handle.h"

namespace {

// The first side with a drawn border, in the order top, left, right, bottom; -1 for none.
int FirstDrawnSide(const XStyleDesc *style)
{
    RECT_t widths;
    GetRectBorder(&widths, style);
    const int order[4][2] = {{kSideTop, widths.top},
                             {kSideLeft, widths.left},
                             {kSideRight, widths.right},
                             {kSideBottom, widths.bottom}};
    for (const auto &entry : order) {
        if (entry[1] > 0 && (style->borderColor[entry[0]] >> 24) == 0)
            return entry[0];
    }
    return -1;
}

} // namespace

int XPainter::SetDrawer(const XStyleDesc *style, int side)
{
    static const XPenHandle kNullPen{kPenNull, 1, 0};
    if (style == nullptr || side < -1 || side > 3) {
        SelectPen(&kNullPen);
        return 0;
    }
    if (side < 0)
        side = FirstDrawnSide(style);
    const XPenHandle *pen =
        side < 0 ? nullptr
                 : Helper()->CheckSidePen(style->borderPen[side], style->border[side],
                                          style->borderColor[side]);
    SelectPen(pen != nullptr ? pen : &kNullPen);
    return pen != nullptr ? 1 : 0;
}

int XPainter::SetStyleDrawer(const XStyleDesc *style, uint32_t code, uint32_t color)
{
    if ((color >> 24) != 0 && style != nullptr) {
        const int side = FirstDrawnSide(style);
        if (side >= 0)
            color = style->borderColor[side];
    }
    if (code == kLineStyleSolid1)
        code = kLineSolid1;
    const bool known = (code >= kPenSolid && code <= kPenStyleMax) || code == kLineSolid1 ||
                       code == kLineDotted1 || code == kLineBorder1;
    if (!known)
        return 0;
    return SetLineStyle(code, color);
}

uint32_t XPainter::SetFiller(const XStyleDesc *style)
{
    if (style == nullptr)
        return SetFillStyle(0xFFFFFFFF);
    const uint32_t kind = GetStyleField(style->backWord, kBackKind);
    const bool colored = kind != kBackKind.mask && kind != kBackNone;
    return SetFillStyle(colored ? style->backColor : 0xFFFFFFFF);
}

const XFontHandle *XPainter::SetFonter(const XStyleDesc *style)
{
    const XFontHandle *font = nullptr;
    if (style != nullptr)
        font = Helper()->CheckFont(style->fontHandle, style->fontFamily, style->fontSize,
                                   style->fontFlags);
    // Hold the font: a helper cleared while it is selected must not pull it away.
    XFontHandle *held = RetainFontHandle(const_cast<XFontHandle *>(font));
    SelectFonter(font);
    ReleaseFontHandle(m_heldFont);
    m_heldFont = held;
    return GetFonter();
}
