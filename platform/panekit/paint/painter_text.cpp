// Text members of the painter: each forwards to the text engine with the painter's
// context, font (with the text style's flags added) and text colour.
#include <cmath>
#include <string>

#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/text_layout.h"

namespace {

// One engine per thread: its Pango context and scratch buffers outlive the painters, which
// are made afresh for every paint.
XTextLayout &Engine()
{
    static thread_local XTextLayout engine;
    return engine;
}

const XFontHandle *FixedFont()
{
    static XFontHandle *font = CreateFontHandle(u"monospace", -1, kFontDefaultPixelSize, 0);
    return font;
}

} // namespace

int XPaintCore::SetStockFonter(int index)
{
    bool fixed = index == kStockFixedFonter || index == 11 || index == 16;
    m_font = fixed ? FixedFont() : GetDefaultFontHandle();
    return 1;
}

const XFontHandle *XPaintCore::GetFonter() const
{
    return m_font != nullptr ? m_font : GetDefaultFontHandle();
}

// The selected font with the text style's flags added; the derived handle is kept until
// the font or the style changes.
const XFontHandle *XPaintCore::CurrentFont() const
{
    const XFontHandle *base = GetFonter();
    uint32_t flags = base->flags | m_textStyle;
    if (flags == base->flags)
        return base;
    if (m_styledFont != nullptr && m_styledFont->flags == flags &&
        m_styledFont->pixelSize == base->pixelSize &&
        std::char_traits<char16_t>::compare(m_styledFont->family, base->family,
                                            std::char_traits<char16_t>::length(base->family) + 1) ==
            0)
        return m_styledFont;
    ReleaseFontHandle(m_styledFont);
    m_styledFont = CreateFontHandle(base->family, -1, base->pixelSize, flags);
    return m_styledFont;
}

void XPaintCore::ReleaseTextState()
{
    ReleaseFontHandle(m_styledFont);
    m_styledFont = nullptr;
}

int XPaintCore::DrawText(const char16_t *text, int len, const BOUND_t *bound, uint32_t layout)
{
    if (m_cr == nullptr || bound == nullptr)
        return 0;
    return Engine().DrawText(m_cr, CurrentFont(), m_textColor, text, len, bound, layout);
}

int XPaintCore::DrawText(double x, double y, uint32_t layout, const char16_t *text, int len)
{
    if (m_cr == nullptr || !std::isfinite(x) || !std::isfinite(y))
        return 0;
    const XFontHandle *font = CurrentFont();
    uint32_t rows = layout & ~(kDrawTextHorzMask | kDrawTextVertMask);
    SIZE_t size;
    Engine().CalcTextSize(m_cr, font, text, len, rows | kDrawTextNoWrap, 0, &size);
    uint32_t horz = layout & kDrawTextHorzMask, vert = layout & kDrawTextVertMask;
    double left =
        horz == kDrawTextRight ? -size.cx : (horz >= kDrawTextCenter ? -size.cx / 2.0 : 0);
    double top =
        vert == kDrawTextBottom ? -size.cy : (vert >= kDrawTextMiddle ? -size.cy / 2.0 : 0);
    cairo_save(m_cr);
    cairo_translate(m_cr, x + left, y + top);
    BOUND_t bound{0, 0, size.cx, size.cy};
    Engine().DrawText(m_cr, font, m_textColor, text, len, &bound, rows | kDrawTextNoWrap);
    cairo_restore(m_cr);
    return size.cx;
}

int XPaintCore::DrawTextLine(const char16_t *text, int len, int x, int y)
{
    if (m_cr == nullptr)
        return 0;
    return Engine().DrawTextLine(m_cr, CurrentFont(), m_textColor, text, len, x, y);
}

int XPaintCore::CalcTextSize(const char16_t *text, int len, uint32_t layout, int width,
                             SIZE_t *size)
{
    return Engine().CalcTextSize(m_cr, CurrentFont(), text, len, layout, width, size);
}

int XPaintCore::CalcTextSize(const char16_t *text, int len, uint32_t layout, SIZE_t *size)
{
    return CalcTextSize(text, len, layout, 0, size);
}

int XPaintCore::CalcTextRange(const char16_t *text, int len, uint32_t layout, int width,
                              SIZE_t *size)
{
    return CalcTextSize(text, len, layout, width, size);
}

int XPaintCore::CalcTextRange(const char16_t *text, int len, int width, int *used)
{
    return Engine().CalcTextRange(m_cr, CurrentFont(), text, len, width, used);
}

int XPaintCore::CalcLineSize(const char16_t *text, int len, SIZE_t *size)
{
    return Engine().CalcLineSize(m_cr, CurrentFont(), text, len, size);
}

int XPaintCore::CalcLineRange(const char16_t *text, int len, int width, int *ends, int maxEnds)
{
    return Engine().CalcLineRange(m_cr, CurrentFont(), text, len, width, ends, maxEnds);
}

int XPaintCore::CalcLinePlace(const char16_t *text, int len, int pos)
{
    return Engine().CalcLinePlace(m_cr, CurrentFont(), text, len, pos);
}

int XPaintCore::TestLinePlace(const char16_t *text, int len, int x)
{
    return Engine().TestLinePlace(m_cr, CurrentFont(), text, len, x);
}

int XPaintCore::FindWordEdge(const char16_t *text, int len, int pos, int forward)
{
    return Engine().FindWordEdge(text, len, pos, forward);
}
