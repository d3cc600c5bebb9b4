#include "platform/panekit/text/font_handle.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include <pango/pangocairo.h>

#include "platform/panekit/text/text_font_config.h"
#include "platform/panekit/text/text_utf8_map.h"

namespace {

// Metrics are read through a font map of their own, so that creating a handle on any
// thread never touches the per-thread font map a text engine is drawing with.
struct MetricsContext
{
    std::mutex lock;
    cairo_surface_t *surface = nullptr;
    cairo_t *cr = nullptr;
    PangoFontMap *fontMap = nullptr;
    PangoContext *context = nullptr;
};

MetricsContext &GetMetricsContext()
{
    static MetricsContext *shared = [] {
        auto *m = new MetricsContext;
        m->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        m->cr = cairo_create(m->surface);
        m->fontMap = pango_cairo_font_map_new();
        m->context = pango_font_map_create_context(m->fontMap);
        pango_context_set_language(m->context, pango_language_from_string("zh-cn"));
        pango_cairo_update_context(m->cr, m->context);
        return m;
    }();
    return *shared;
}

int UnitLength(const char16_t *s, int len)
{
    if (s == nullptr)
        return 0;
    if (len >= 0)
        return len;
    int n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

PangoFontDescription *MakeDescription(const XTextUtf8Map &family, int32_t pixelSize, uint32_t flags)
{
    PangoFontDescription *desc = pango_font_description_new();
    pango_font_description_set_family(desc, family.Bytes());
    pango_font_description_set_absolute_size(desc, double(pixelSize) * PANGO_SCALE);
    pango_font_description_set_weight(desc, (flags & kFontFlagBold) ? PANGO_WEIGHT_BOLD
                                                                    : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc, (flags & kFontFlagItalic) ? PANGO_STYLE_ITALIC
                                                                     : PANGO_STYLE_NORMAL);
    return desc;
}

void ReadMetrics(XFontHandle *font)
{
    MetricsContext &m = GetMetricsContext();
    std::lock_guard<std::mutex> hold(m.lock);
    PangoFontMetrics *metrics = pango_context_get_metrics(m.context, font->desc, nullptr);
    font->ascent = std::max(0, PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)));
    font->descent = std::max(0, PANGO_PIXELS(pango_font_metrics_get_descent(metrics)));
    font->avgCharWidth =
        std::max(1, PANGO_PIXELS(pango_font_metrics_get_approximate_char_width(metrics)));
    pango_font_metrics_unref(metrics);
    font->height = std::max(1, font->ascent + font->descent);
}

} // namespace

XFontHandle *CreateFontHandle(const char16_t *family, int len, int32_t pixelSize, uint32_t flags)
{
    EnsureSyntheticFontStyles();
    len = UnitLength(family, len);
    if (len == 0) {
        family = kFontDefaultFamily;
        len = UnitLength(family, -1);
    }
    if (pixelSize == 0)
        pixelSize = kFontDefaultPixelSize;
    // A negative size is a pixel height written the other way round; the magnitude of the
    // most negative value does not fit, so it is clamped first.
    pixelSize = pixelSize < 0 ? -std::max(pixelSize, -kFontMaxPixelSize) : pixelSize;
    pixelSize = std::clamp(pixelSize, kFontMinPixelSize, kFontMaxPixelSize);

    auto *font = new XFontHandle{};
    font->family = new char16_t[static_cast<size_t>(len) + 1];
    std::memcpy(font->family, family, sizeof(char16_t) * static_cast<size_t>(len));
    font->family[len] = 0;
    font->pixelSize = pixelSize;
    font->flags = flags & kFontFlagMask;
    XTextUtf8Map utf8;
    utf8.Assign(font->family, len);
    font->desc = MakeDescription(utf8, pixelSize, font->flags);
    font->refCount = 1;
    ReadMetrics(font);
    return font;
}

XFontHandle *RetainFontHandle(XFontHandle *font)
{
    if (font != nullptr)
        ++font->refCount;
    return font;
}

void ReleaseFontHandle(XFontHandle *font)
{
    if (font == nullptr || --font->refCount > 0)
        return;
    pango_font_description_free(font->desc);
    delete[] font->family;
    delete font;
}

const XFontHandle *GetDefaultFontHandle()
{
    // Never freed: a count no caller can release to zero.
    static const XFontHandle *shared = [] {
        XFontHandle *font = CreateFontHandle(nullptr, 0, kFontDefaultPixelSize, 0);
        font->refCount = 0x40000000;
        return font;
    }();
    return shared;
}

int IsSameFont(const XFontHandle *a, const XFontHandle *b)
{
    if (a == b)
        return 1;
    if (a == nullptr || b == nullptr)
        return 0;
    if (a->pixelSize != b->pixelSize || a->flags != b->flags)
        return 0;
    const char16_t *p = a->family;
    const char16_t *q = b->family;
    while (*p != 0 && *p == *q) {
        ++p;
        ++q;
    }
    return *p == *q ? 1 : 0;
}
