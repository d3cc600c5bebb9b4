#pragma once
// Inner state of the text engine: the Pango context and layout it reuses, and what the
// layout holds now, so that repeated calls on the same text lay it out once.
// Internal to the text engine.

#include <cstdint>
#include <string>
#include <vector>

#include <pango/pangocairo.h>

#include "platform/panekit/text/text_utf8_map.h"

struct XFontHandle;

// How a text is laid out.
enum : uint32_t {
    kPrepareExpandTabs = 0x1, // tabs go to stops of 8 average characters, else one blank
    kPrepareOneRow = 0x2,     // line breaks are blanks; nothing wraps
    kPrepareMnemonic = 0x4,   // '&' marks an underlined character, "&&" is '&'
    kPrepareWrap = 0x8,       // paragraphs wrap at the width
};

struct XTextLayoutCache
{
    XTextLayoutCache();
    ~XTextLayoutCache();

    // The layout of text under mode, updated for cr (null: the measuring surface).
    // font null means the default font. Positions of the result map through `map` (for
    // mnemonic texts, positions of the text without its markers).
    PangoLayout *Prepare(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                         uint32_t mode, int width);

    cairo_surface_t *measureSurface = nullptr;
    cairo_t *measureCr = nullptr;
    PangoContext *context = nullptr;
    PangoLayout *layout = nullptr;
    XTextUtf8Map map;

private:
    bool IsHeld(const XFontHandle *font, const char16_t *text, int len, uint32_t mode,
                int width) const;
    void Hold(const XFontHandle *font, const char16_t *text, int len, uint32_t mode, int width);
    void ApplyAttributes(const XFontHandle *font);

    // What the layout holds.
    bool m_held = false;
    std::u16string m_text;
    uint32_t m_mode = 0;
    int m_width = 0;
    std::u16string m_family;
    int32_t m_pixelSize = 0;
    uint32_t m_fontFlags = 0;
    // Mnemonic texts: the shown text and the positions of its underlined characters.
    std::u16string m_shown;
    std::vector<int> m_marks;
};

// Units of a text: len when not negative, else up to its terminator; 0 for null.
int TextUnitLength(const char16_t *text, int len);
// Pixels from a Pango length, rounded up.
inline int PangoCeilPixels(int units)
{
    return PANGO_PIXELS_CEIL(units);
}
