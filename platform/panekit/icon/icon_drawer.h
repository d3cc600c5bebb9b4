#pragma once
// Icon sets: one picture strip of square icons side by side, each as wide as the strip is
// high. Icon i covers the columns i * size ... (i + 1) * size - 1; columns left over at the
// right end of a strip that is not a whole number of icons wide belong to no icon.

#include <cstdint>

#include "platform/panekit/panekit_export.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class XPainter;

// Flag of LoadBuffer, LoadIconWare and LoadSurface: pixels of the strip's top-left colour
// become transparent (strips without alpha).
constexpr uint32_t kIconColorKey = 0x1;

// Limits of a strip a loader accepts: anything outside is refused before any pixel is
// read or allocated.
constexpr int kIconMaxSize = 256;   // icon edge = strip height, 1 ... 256
constexpr int kIconMaxCount = 4096; // icons in one strip

class PANEKIT_EXPORT XIconDrawer
{
public:
    XIconDrawer();
    ~XIconDrawer();
    XIconDrawer(const XIconDrawer &) = delete;
    XIconDrawer &operator=(const XIconDrawer &) = delete;

    // Loads a strip from encoded picture bytes (PNG, BMP, GIF, JPEG, TIFF: any kind the
    // image loader reads; imageType is its type code, 0 to tell by the bytes). Refuses
    // bytes that decode to nothing, a strip higher than kIconMaxSize, narrower than it is
    // high, or of more than kIconMaxCount icons. Non-zero on success; on failure the
    // drawer is empty.
    int LoadBuffer(const void *data, uint32_t bytes, uint32_t imageType, uint32_t flags);
    // LoadBuffer of a whole file (UTF-16 path).
    int LoadIconWare(const char16_t *path, uint32_t flags);
    // Takes a copy of a picture strip (any cairo image surface), under the same limits.
    int LoadSurface(cairo_surface_t *strip, uint32_t flags);
    // Drops the strip; the drawer is empty again.
    void ClearIcons();

    int GetIconWidth() const { return m_size; }
    int GetIconHeight() const { return m_size; }
    int GetIconCount() const { return m_count; }
    int IsIconEmpty() const { return m_count == 0; }
    // The strip (ARGB32, premultiplied) or null when empty; owned by the drawer.
    cairo_surface_t *GetSurface() const { return m_strip; }

    // Draws icon `index` with its top-left corner at (x, y) in the painter's current
    // space. Non-zero when drawn; 0 for an index outside 0 ... count - 1 or an empty set.
    int DrawIcon(XPainter *painter, int index, int x, int y) const;
    // The same icon in grey, lightened, as for a disabled control.
    int DrawGrayIcon(XPainter *painter, int index, int x, int y) const;
    // The same on a bare Cairo context.
    int DrawIcon(cairo_t *cr, int index, int x, int y) const;
    int DrawGrayIcon(cairo_t *cr, int index, int x, int y) const;

private:
    int Adopt(cairo_surface_t *strip, uint32_t flags);
    int Paint(cairo_t *cr, cairo_surface_t *strip, int index, int x, int y) const;
    cairo_surface_t *GrayStrip() const;

    cairo_surface_t *m_strip = nullptr;
    mutable cairo_surface_t *m_gray = nullptr; // made on first DrawGrayIcon
    int m_size = 0;
    int m_count = 0;
};

// The shared control icons, drawn by the library itself (16 x 16 each), by index:
enum : int {
    kCtrlIconCheckOff = 0,
    kCtrlIconCheckOn = 1,
    kCtrlIconRadioOff = 2,
    kCtrlIconRadioOn = 3,
    kCtrlIconArrowUp = 4,    // scroll arrow; also "sorted ascending"
    kCtrlIconDropButton = 5, // drop button; also "sorted descending"
    kCtrlIconArrowDown = 6,
    kCtrlIconArrowDownOff = 7,
    kCtrlIconArrowLeft = 8,
    kCtrlIconDropButtonOff = 9,
    kCtrlIconArrowRight = 10,
    kCtrlIconArrowRightOff = 11,
    kCtrlIconTabLeft = 12,
    kCtrlIconTabRight = 13,
    kCtrlIconTabLeftOff = 14,
    kCtrlIconTabRightOff = 15,
    kCtrlIconTabClose = 16,
    kCtrlIconPageList = 17,
    kCtrlIconMenuCheck = 18,
    kCtrlIconTreeCheckOff = 19,
    kCtrlIconTreeCheckOn = 20,
    kCtrlIconTreeCheckPart = 21,
    kCtrlIconExpandPlus = 22,  // collapsed node, boxed "+"
    kCtrlIconExpandMinus = 23, // expanded node, boxed "-"
    kCtrlIconExpandRight = 24, // collapsed node without tree lines
    kCtrlIconExpandDown = 25,  // expanded node without tree lines
    kCtrlIconFilter = 26,
    kCtrlIconFilterOn = 27,
    kCtrlIconCount = 28,
};
constexpr int kCtrlIconSize = 16;

// The process-wide control icon set, drawn on first use; never freed while the process
// runs. Never null (an empty set only when Cairo cannot allocate the strip).
PANEKIT_EXPORT XIconDrawer *GetCtrlIconDrawer();
