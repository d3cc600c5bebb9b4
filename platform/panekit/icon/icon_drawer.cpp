#include "platform/panekit/icon/icon_drawer.h"

#include <cairo.h>

#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Checks the strip's extent against the loader limits.
bool IsStripSizeValid(int width, int height)
{
    if (height < 1 || height > kIconMaxSize || width < height)
        return false;
    return width / height <= kIconMaxCount;
}

// Clears every pixel that equals the top-left one (the strip's key colour).
void ApplyColorKey(cairo_surface_t *strip)
{
    cairo_surface_flush(strip);
    unsigned char *data = cairo_image_surface_get_data(strip);
    const int stride = cairo_image_surface_get_stride(strip);
    const int width = cairo_image_surface_get_width(strip);
    const int height = cairo_image_surface_get_height(strip);
    const uint32_t key = *reinterpret_cast<const uint32_t *>(data);
    for (int y = 0; y < height; ++y) {
        uint32_t *row = reinterpret_cast<uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
    cairo_surface_mark_dirty(strip);
}

// Grey value of a premultiplied pixel, lifted half way towards white: a disabled look
// that keeps the icon's shape and alpha.
uint32_t GrayPixel(uint32_t argb)
{
    const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    const uint32_t luma = (77 * r + 150 * g + 29 * b) >> 8; // premultiplied like r, g, b
    const uint32_t v = (luma + a) / 2;
    return a << 24 | v << 16 | v << 8 | v;
}

} // namespace

XIconDrawer::XIconDrawer() = default;

XIconDrawer::~XIconDrawer()
{
    ClearIcons();
}

void XIconDrawer::ClearIcons()
{
    if (m_strip != nullptr)
        cairo_surface_destroy(m_strip);
    if (m_gray != nullptr)
        cairo_surface_destroy(m_gray);
    m_strip = m_gray = nullptr;
    m_size = m_count = 0;
}

int XIconDrawer::LoadBuffer(const void *data, uint32_t bytes, uint32_t imageType, uint32_t flags)
{
    ClearIcons();
    if (data == nullptr || bytes == 0)
        return 0;
    XImage image;
    if (!image.LoadFromBuffer(data, bytes, int(imageType)))
        return 0;
    return LoadSurface(image.GetSurface(), flags);
}

int XIconDrawer::LoadIconWare(const char16_t *path, uint32_t flags)
{
    ClearIcons();
    if (path == nullptr)
        return 0;
    XImage image;
    if (!image.LoadFromFile(path))
        return 0;
    return LoadSurface(image.GetSurface(), flags);
}

int XIconDrawer::LoadSurface(cairo_surface_t *strip, uint32_t flags)
{
    ClearIcons();
    if (strip == nullptr || cairo_surface_get_type(strip) != CAIRO_SURFACE_TYPE_IMAGE)
        return 0;
    const int width = cairo_image_surface_get_width(strip);
    const int height = cairo_image_surface_get_height(strip);
    if (!IsStripSizeValid(width, height))
        return 0;
    cairo_surface_t *copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(copy) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(copy);
        return 0;
    }
    cairo_t *cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, strip, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    return Adopt(copy, flags);
}

int XIconDrawer::Adopt(cairo_surface_t *strip, uint32_t flags)
{
    if (flags & kIconColorKey)
        ApplyColorKey(strip);
    m_strip = strip;
    m_size = cairo_image_surface_get_height(strip);
    m_count = cairo_image_surface_get_width(strip) / m_size;
    return 1;
}

cairo_surface_t *XIconDrawer::GrayStrip() const
{
    if (m_gray != nullptr || m_strip == nullptr)
        return m_gray;
    const int width = cairo_image_surface_get_width(m_strip);
    cairo_surface_t *gray = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, m_size);
    if (cairo_surface_status(gray) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(gray);
        return nullptr;
    }
    cairo_surface_flush(m_strip);
    cairo_surface_flush(gray);
    const unsigned char *src = cairo_image_surface_get_data(m_strip);
    unsigned char *dst = cairo_image_surface_get_data(gray);
    const int srcStride = cairo_image_surface_get_stride(m_strip);
    const int dstStride = cairo_image_surface_get_stride(gray);
    for (int y = 0; y < m_size; ++y) {
        const uint32_t *in = reinterpret_cast<const uint32_t *>(src + size_t(y) * srcStride);
        uint32_t *out = reinterpret_cast<uint32_t *>(dst + size_t(y) * dstStride);
        for (int x = 0; x < width; ++x)
            out[x] = GrayPixel(in[x]);
    }
    cairo_surface_mark_dirty(gray);
    m_gray = gray;
    return m_gray;
}

int XIconDrawer::Paint(cairo_t *cr, cairo_surface_t *strip, int index, int x, int y) const
{
    if (cr == nullptr || strip == nullptr || index < 0 || index >= m_count)
        return 0;
    // A path being collected on the context (canvas drawing) must survive the icon.
    cairo_path_t *kept = cairo_has_current_point(cr) ? cairo_copy_path(cr) : nullptr;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_set_source_surface(cr, strip, double(x) - double(index) * m_size, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, x, y, m_size, m_size);
    cairo_fill(cr);
    cairo_restore(cr);
    if (kept != nullptr) {
        if (kept->status == CAIRO_STATUS_SUCCESS)
            cairo_append_path(cr, kept);
        cairo_path_destroy(kept);
    }
    return 1;
}

int XIconDrawer::DrawIcon(cairo_t *cr, int index, int x, int y) const
{
    return Paint(cr, m_strip, index, x, y);
}

int XIconDrawer::DrawGrayIcon(cairo_t *cr, int index, int x, int y) const
{
    if (index < 0 || index >= m_count)
        return 0;
    return Paint(cr, GrayStrip(), index, x, y);
}

int XIconDrawer::DrawIcon(XPainter *painter, int index, int x, int y) const
{
    return painter != nullptr ? painter->DrawIcon(this, index, x, y, 0) : 0;
}

int XIconDrawer::DrawGrayIcon(XPainter *painter, int index, int x, int y) const
{
    return painter != nullptr ? painter->DrawIcon(this, index, x, y, 1) : 0;
}
