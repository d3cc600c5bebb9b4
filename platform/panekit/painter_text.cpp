// Text members of the painter: each forwards to the text engine with the painter's font,
// text colour and text style.
#include "platform/panekit/paint_core.h"

const XFontHandle *XPaintCore::CurrentFont() const { return m_font; }
int XPaintCore::SetStockFonter(int) { return 1; }
int XPaintCore::DrawText(const char16_t *, int, const BOUND_t *, uint32_t) { return 0; }
int XPaintCore::DrawText(double, double, uint32_t, const char16_t *, int) { return 0; }
int XPaintCore::DrawTextLine(const char16_t *, int, int, int) { return 0; }
int XPaintCore::CalcTextSize(const char16_t *, int, uint32_t, SIZE_t *size)
{
    *size = SIZE_t{0, 0};
    return 0;
}
int XPaintCore::CalcTextRange(const char16_t *, int, uint32_t, int, SIZE_t *size)
{
    *size = SIZE_t{0, 0};
    return 0;
}
int XPaintCore::CalcLineSize(const char16_t *, int, SIZE_t *size)
{
    *size = SIZE_t{0, 0};
    return 0;
}
int XPaintCore::CalcLineRange(const char16_t *, int, int) { return 0; }
int XPaintCore::CalcLinePlace(const char16_t *, int, int) { return 0; }
int XPaintCore::TestLinePlace(const char16_t *, int, int) { return 0; }
