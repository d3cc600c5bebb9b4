#pragma once
// The resource helper of a form: it hands out pens, fonts, pictures and icon sets by
// value or name and keeps them, so that every descriptor of the form that names the same
// resource shares one handle.
//
// Handle lifetime. Descriptors keep the handles they were resolved with in their cache
// fields (border pens, font, background picture) as bare pointers. ClearHelper makes every
// handle given out so far stale, but frees nothing that a cache may still point at:
// - pens and fonts are moved aside and freed only with the helper;
// - pictures and icon sets stay the same objects; a stale one is loaded again, in place,
//   from its file the next time its name is searched.
// A cached pointer is therefore never dangling while the helper lives, and IsLiveHandle
// tells the current handles from stale ones without reading through the pointer. The
// Check* members and ResolveStyle give back the cached handle when it is current and
// matches the descriptor, and a freshly searched one otherwise.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/panekit/paint/pen_handle.h"
#include "platform/panekit/panekit_export.h"

class XIconDrawer;
class XImage;
struct XFontHandle;
struct XFontRecord_t;
struct XStyleDesc;

// Fetches a missing resource file `name` (as a form names it) to the full path `path`;
// non-zero when the file is there afterwards. Installed once for the process, called
// only from the UI thread.
typedef int (*XFetchFileProc)(const char16_t *name, const char16_t *path);

// Installs the fetch procedure (null: none). Returns the previous one.
PANEKIT_EXPORT XFetchFileProc SetFetchFileProc(XFetchFileProc proc);
PANEKIT_EXPORT XFetchFileProc GetFetchFileProc();

// Longest path the helper builds, in UTF-16 units with the terminator.
constexpr uint32_t kRescPathMax = 1024;

class PANEKIT_EXPORT XRescHelper
{
public:
    XRescHelper();
    ~XRescHelper();
    XRescHelper(const XRescHelper &) = delete;
    XRescHelper &operator=(const XRescHelper &) = delete;

    // ---- pens ----------------------------------------------------------------------------

    // The pen of style 1...9 (kPenSolid ... kPenNull), width (0 counts as 1, above 255 taken
    // as 255) and colour. Null for a style outside 1...9 or a "none" colour.
    const XPenHandle *SearchPen(uint32_t style, uint32_t width, uint32_t color);
    // The pen that draws a descriptor's border side byte in colour: style 1, 2, 3 at the
    // width nibble (15, not given, counts as 1); inset and outset as a solid pen of half the
    // width rounded up (their light and dark colours are the painter's business). Null for
    // an unset side, style none or another style, a width of 0, or a "none" colour.
    const XPenHandle *SearchSidePen(uint8_t side, uint32_t color);

    // ---- fonts ---------------------------------------------------------------------------

    // The font of family (null or empty: the default family), pixel size (0 or less: the
    // default size) and kFontFlag* flags, the size multiplied by the font power and rounded.
    // Never null.
    const XFontHandle *SearchFont(const char16_t *family, int32_t size, uint32_t flags);
    // The font of a 76-byte font record (null: the default font).
    const XFontHandle *SearchFont(const XFontRecord_t *record);
    // Scale of every font size (a form's enlargement); values of 0 or less, or not finite,
    // count as 1. A change makes the fonts given out so far stale.
    void SetFontPower(double power);
    double GetFontPower() const { return m_fontPower; }

    // ---- files, pictures, icon sets ------------------------------------------------------

    // The folder in which pictures and icon sets are looked up first (null or empty: none,
    // the work folder only). Non-zero on success; a path too long is refused.
    int SetImageFolder(const char16_t *folder);
    const char16_t *GetImageFolder() const { return m_imageFolder.c_str(); }
    // Finds the file a form names: an absolute name as it is; a relative one in the image
    // folder, then in the work folder; when it is in neither, the fetch procedure is asked
    // to bring it into the image folder (the work folder without one). Names with a ".."
    // segment are refused. Writes the full path into path (cap units with the terminator)
    // and returns its length; 0 when there is no such file (path then holds an empty text).
    uint32_t ConfirmFile(const char16_t *name, char16_t *path, uint32_t cap);
    // The picture of a file name (ConfirmFile, then decoded), kept by the helper. Null when
    // the file is missing or does not decode; the miss is remembered until ClearHelper.
    XImage *SearchImage(const char16_t *name);
    // The icon set of a file name (a strip of square icons), kept like a picture.
    XIconDrawer *SearchIcon(const char16_t *name);

    // ---- lifetime --------------------------------------------------------------------------

    // Makes every handle given out so far stale (see the top of this file) and forgets the
    // remembered misses.
    void ClearHelper();
    // Non-zero when handle is a current (not stale) pen, font, picture or icon set of this
    // helper. Never reads through the pointer.
    int IsLiveHandle(const void *handle) const;
    // The cached pen when it is current and draws the side as SearchSidePen would, else
    // SearchSidePen's pen.
    const XPenHandle *CheckSidePen(const void *cached, uint8_t side, uint32_t color);
    // The cached font when current and equal to what SearchFont would give, else SearchFont.
    const XFontHandle *CheckFont(const void *cached, const char16_t *family, int32_t size,
                                 uint32_t flags);
    // The cached picture when current and the one the name gives, else SearchImage(name).
    XImage *CheckImage(const void *cached, const char16_t *name);
    // Refreshes the descriptor's cache fields (border pens, font, background picture for
    // the picture and named-render kinds) with CheckSidePen, CheckFont and CheckImage.
    void ResolveStyle(XStyleDesc *desc);

private:
    struct Picture;
    struct Icons;

    void RetireFonts();
    Picture *FindPicture(const char16_t *name);
    Icons *FindIcons(const char16_t *name);
    bool LoadPicture(Picture *entry, const char16_t *name);
    bool LoadIcons(Icons *entry, const char16_t *name);

    double m_fontPower = 1.0;
    std::u16string m_imageFolder;
    std::unordered_map<uint64_t, std::unique_ptr<XPenHandle>> m_pens;
    std::unordered_map<std::u16string, XFontHandle *> m_fonts; // each retained once
    std::unordered_map<std::u16string, std::unique_ptr<Picture>> m_pictures;
    std::unordered_map<std::u16string, std::unique_ptr<Icons>> m_icons;
    std::vector<std::unique_ptr<XPenHandle>> m_stalePens;
    std::vector<XFontHandle *> m_staleFonts;
    std::unordered_set<const void *> m_live;
};
