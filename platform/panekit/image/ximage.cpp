#include "platform/panekit/image/ximage.h"

#include <algorithm>
#include <utility>

#include "platform/panekit/image/image_codec.h"

// ---- frame collector -------------------------------------------------------------------

XImageBuilder::~XImageBuilder()
{
    Reset();
}

void XImageBuilder::Reset()
{
    for (XImage::Frame &f : m_frames)
        cairo_surface_destroy(f.surface);
    m_frames.clear();
    m_pixels = 0;
}

bool XImageBuilder::CanAdd(int64_t w, int64_t h) const
{
    if (w < 1 || h < 1 || w > kImageMaxSide || h > kImageMaxSide)
        return false;
    if (w * h > kImageMaxPixels || m_pixels + w * h > kImageMaxPixels)
        return false;
    return m_frames.size() < static_cast<size_t>(kImageMaxFrames);
}

cairo_surface_t *XImageBuilder::AddFrame(int w, int h, uint32_t delay)
{
    if (!CanAdd(w, h))
        return nullptr;
    cairo_surface_t *s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    m_frames.push_back({s, delay});
    m_pixels += int64_t(w) * h;
    return s;
}

cairo_surface_t *XImageBuilder::AddCopy(cairo_surface_t *src, uint32_t delay)
{
    int w = cairo_image_surface_get_width(src);
    int h = cairo_image_surface_get_height(src);
    cairo_surface_t *s = AddFrame(w, h, delay);
    if (s == nullptr)
        return nullptr;
    cairo_surface_flush(src);
    cairo_surface_flush(s);
    size_t row = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y)
        std::copy_n(reinterpret_cast<const uint8_t *>(SurfaceRow(src, y)), row,
                    reinterpret_cast<uint8_t *>(SurfaceRow(s, y)));
    cairo_surface_mark_dirty(s);
    return s;
}

bool XImageBuilder::Commit(XImage *image, int type)
{
    if (m_frames.empty())
        return false;
    image->ClearImage();
    image->m_frames = new XImage::Frame[m_frames.size()];
    std::copy(m_frames.begin(), m_frames.end(), image->m_frames);
    image->m_count = static_cast<int>(m_frames.size());
    image->m_current = 0;
    image->m_sourceType = type;
    image->m_animated = m_animated && m_frames.size() > 1;
    for (XImage::Frame &f : m_frames)
        cairo_surface_mark_dirty(f.surface);
    m_frames.clear();
    m_pixels = 0;
    return true;
}

bool IsSurfaceOpaque(cairo_surface_t *s)
{
    cairo_surface_flush(s);
    int w = cairo_image_surface_get_width(s);
    int h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        const uint32_t *row = SurfaceRow(s, y);
        for (int x = 0; x < w; ++x)
            if ((row[x] >> 24) != 0xFF)
                return false;
    }
    return true;
}

// ---- XImage: content -------------------------------------------------------------------

XImage::~XImage()
{
    ClearImage();
}

void XImage::ClearImage()
{
    for (int i = 0; i < m_count; ++i)
        cairo_surface_destroy(m_frames[i].surface);
    delete[] m_frames;
    m_frames = nullptr;
    m_count = 0;
    m_current = 0;
    m_sourceType = kImageUnknown;
    m_animated = false;
}

void XImage::SwapImage(XImage *other)
{
    if (other == nullptr || other == this)
        return;
    std::swap(m_frames, other->m_frames);
    std::swap(m_count, other->m_count);
    std::swap(m_current, other->m_current);
    std::swap(m_sourceType, other->m_sourceType);
    std::swap(m_animated, other->m_animated);
    other->ClearImage();
}

int XImage::CreateBitmap(int cx, int cy, int bits)
{
    ClearImage();
    XImageBuilder builder;
    cairo_surface_t *s = builder.AddFrame(cx, cy);
    if (s == nullptr)
        return 0;
    if (bits != 32) {
        cairo_t *cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }
    return builder.Commit(this, kImageUnknown) ? 1 : 0;
}

int XImage::CopyFromSurface(cairo_surface_t *src, const BOUND_t *part)
{
    if (src == nullptr || cairo_surface_get_type(src) != CAIRO_SURFACE_TYPE_IMAGE)
        return 0;
    BOUND_t whole = {0, 0, cairo_image_surface_get_width(src), cairo_image_surface_get_height(src)};
    BOUND_t cut = whole;
    if (part != nullptr && !IntersectBound(&cut, part, &whole))
        return 0;
    XImageBuilder builder;
    cairo_surface_t *s = builder.AddFrame(cut.width, cut.height);
    if (s == nullptr)
        return 0;
    cairo_t *cr = cairo_create(s);
    cairo_set_source_surface(cr, src, -cut.x, -cut.y);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    return builder.Commit(this, kImageUnknown) ? 1 : 0;
}

int XImage::AttachSurface(cairo_surface_t *surface)
{
    if (surface == nullptr)
        return 0;
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
        cairo_surface_destroy(surface);
        return 0;
    }
    ClearImage();
    m_frames = new Frame[1]{{surface, 0}};
    m_count = 1;
    return 1;
}

// Fills the part of the current frame inside x, y, cx, cy with an opaque colour.
static int FillFrame(cairo_surface_t *s, int x, int y, int cx, int cy, uint32_t color)
{
    if (s == nullptr || (color >> 24) != 0)
        return 0;
    BOUND_t whole = {0, 0, cairo_image_surface_get_width(s), cairo_image_surface_get_height(s)};
    BOUND_t part = {x, y, cx, cy};
    if (!IntersectBound(&part, &part, &whole))
        return 0;
    uint32_t argb =
        0xFF000000u | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    cairo_surface_flush(s);
    for (int row = part.y; row < part.y + part.height; ++row)
        std::fill_n(SurfaceRow(s, row) + part.x, part.width, argb);
    cairo_surface_mark_dirty(s);
    return 1;
}

int XImage::FillBackColor(uint32_t color)
{
    return FillFrame(GetSurface(), 0, 0, GetWidth(), GetHeight(), color);
}

int XImage::FillPixColor(int x, int y, int cx, int cy, uint32_t color)
{
    return FillFrame(GetSurface(), x, y, cx, cy, color);
}

// ---- XImage: state ---------------------------------------------------------------------

int XImage::GetWidth() const
{
    cairo_surface_t *s = GetSurface();
    return s == nullptr ? 0 : cairo_image_surface_get_width(s);
}

int XImage::GetHeight() const
{
    cairo_surface_t *s = GetSurface();
    return s == nullptr ? 0 : cairo_image_surface_get_height(s);
}

int XImage::GetImageSize(SIZE_t *size) const
{
    if (size != nullptr) {
        size->cx = GetWidth();
        size->cy = GetHeight();
    }
    return m_count > 0 ? 1 : 0;
}

int XImage::LockFrame(int index, uint32_t *delay)
{
    if (index < 0 || index >= m_count)
        return 0;
    m_current = index;
    if (delay != nullptr)
        *delay = m_frames[index].delay;
    return 1;
}

uint32_t XImage::GetFrameDelay(int index) const
{
    return index < 0 || index >= m_count ? 0 : m_frames[index].delay;
}

cairo_surface_t *XImage::GetSurface() const
{
    return GetFrameSurface(m_current);
}

cairo_surface_t *XImage::GetFrameSurface(int index) const
{
    return index < 0 || index >= m_count ? nullptr : m_frames[index].surface;
}

uint32_t XImage::GetPixel(int x, int y) const
{
    cairo_surface_t *s = GetSurface();
    if (s == nullptr || x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight())
        return 0;
    cairo_surface_flush(s);
    return UnpremultiplyArgb(SurfaceRow(s, y)[x]);
}
