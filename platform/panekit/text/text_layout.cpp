#include "platform/panekit/text/text_layout.h"

#include <algorithm>
#include <cstring>

#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/text/text_font_config.h"
#include "platform/panekit/text/text_layout_cache.h"

namespace {

// Widths beyond this many pixels would overflow Pango units; no surface is that wide.
constexpr int kMaxLayoutWidth = 1 << 20;
constexpr int kTabStopChars = 8;

bool IsHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

bool IsBreakUnit(char16_t u)
{
    return u == '\r' || u == '\n';
}

// Removes the mnemonic markers: "&&" becomes '&'; '&' before another character marks that
// character (a whole surrogate pair) and is dropped; '&' at the end or before a line break
// is dropped and marks nothing. marks receives the shown positions of marked characters.
void StripMnemonics(const char16_t *text, int len, std::u16string &shown, std::vector<int> &marks)
{
    shown.clear();
    marks.clear();
    for (int i = 0; i < len; ++i) {
        if (text[i] != u'&') {
            shown.push_back(text[i]);
            continue;
        }
        if (i + 1 >= len)
            break;
        const char16_t next = text[i + 1];
        if (next == u'&') {
            shown.push_back(u'&');
            ++i;
            continue;
        }
        if (!IsBreakUnit(next))
            marks.push_back(static_cast<int>(shown.size()));
    }
}

} // namespace

int TextUnitLength(const char16_t *text, int len)
{
    if (text == nullptr)
        return 0;
    if (len >= 0)
        return len;
    int n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

XTextLayoutCache::XTextLayoutCache()
{
    EnsureSyntheticFontStyles();
    measureSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    measureCr = cairo_create(measureSurface);
    context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    pango_context_set_language(context, pango_language_from_string("zh-cn"));
    pango_cairo_update_context(measureCr, context);
    layout = pango_layout_new(context);
    pango_layout_set_auto_dir(layout, FALSE);
    pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
}

XTextLayoutCache::~XTextLayoutCache()
{
    g_object_unref(layout);
    g_object_unref(context);
    cairo_destroy(measureCr);
    cairo_surface_destroy(measureSurface);
}

bool XTextLayoutCache::IsHeld(const XFontHandle *font, const char16_t *text, int len, uint32_t mode,
                              int width) const
{
    return m_held && mode == m_mode && width == m_width && font->pixelSize == m_pixelSize &&
           font->flags == m_fontFlags && m_family == font->family &&
           m_text.size() == static_cast<size_t>(len) &&
           (len == 0 || std::memcmp(m_text.data(), text, sizeof(char16_t) * size_t(len)) == 0);
}

void XTextLayoutCache::Hold(const XFontHandle *font, const char16_t *text, int len, uint32_t mode,
                            int width)
{
    m_held = true;
    m_text.assign(text, static_cast<size_t>(len));
    m_mode = mode;
    m_width = width;
    m_family = font->family;
    m_pixelSize = font->pixelSize;
    m_fontFlags = font->flags;
}

void XTextLayoutCache::ApplyAttributes(const XFontHandle *font)
{
    PangoAttrList *attrs = pango_attr_list_new();
    if (font->flags & kFontFlagUnderline)
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font->flags & kFontFlagLineThrough)
        pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    if (m_mode & kPrepareMnemonic) {
        for (int pos : m_marks) {
            const int step = IsHighSurrogate(m_shown[size_t(pos)]) &&
                                     size_t(pos) + 1 < m_shown.size() &&
                                     IsLowSurrogate(m_shown[size_t(pos) + 1])
                                 ? 2
                                 : 1;
            PangoAttribute *a = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
            a->start_index = static_cast<guint>(map.ByteOfUnit(pos));
            a->end_index = static_cast<guint>(map.ByteOfUnit(pos + step));
            pango_attr_list_insert(attrs, a);
        }
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
}

PangoLayout *XTextLayoutCache::Prepare(cairo_t *cr, const XFontHandle *font, const char16_t *text,
                                       int len, uint32_t mode, int width)
{
    pango_cairo_update_context(cr != nullptr ? cr : measureCr, context);
    if (font == nullptr)
        font = GetDefaultFontHandle();
    if (text == nullptr)
        len = 0;
    if (!(mode & kPrepareWrap) || width <= 0) {
        mode &= ~uint32_t(kPrepareWrap);
        width = 0;
    }
    width = std::min(width, kMaxLayoutWidth);
    if (IsHeld(font, text, len, mode, width))
        return layout;
    Hold(font, text, len, mode, width);

    if (mode & kPrepareMnemonic) {
        StripMnemonics(text, len, m_shown, m_marks);
        map.Assign(m_shown.data(), static_cast<int>(m_shown.size()));
    } else {
        map.Assign(text, len);
    }
    if (mode & kPrepareOneRow)
        map.BlankLineBreaks();
    if (!(mode & kPrepareExpandTabs))
        map.BlankTabs();

    pango_layout_set_font_description(layout, font->desc);
    PangoTabArray *tabs = pango_tab_array_new_with_positions(1, TRUE, PANGO_TAB_LEFT,
                                                             kTabStopChars * font->avgCharWidth);
    pango_layout_set_tabs(layout, tabs);
    pango_tab_array_free(tabs);
    pango_layout_set_single_paragraph_mode(layout, (mode & kPrepareOneRow) ? TRUE : FALSE);
    pango_layout_set_width(layout, (mode & kPrepareWrap) ? width * PANGO_SCALE : -1);
    ApplyAttributes(font);
    pango_layout_set_text(layout, map.Bytes(), map.ByteLength());
    return layout;
}

XTextLayout::XTextLayout() : m_cache(nullptr) {}

XTextLayout::~XTextLayout()
{
    delete m_cache;
}

XTextLayoutCache &XTextLayout::Cache()
{
    if (m_cache == nullptr)
        m_cache = new XTextLayoutCache;
    return *m_cache;
}
