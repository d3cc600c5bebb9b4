#pragma once
// The image item: a picture of the form's resources (static or animated), or a photo the
// item owns, which can be zoomed, panned, rotated, cropped, paged through, exported and
// written into an archive under a size limit.
//
// Resource pictures. SetImageFile names one; once the item is on screen the name is looked
// up through the form's resource helper. A picture of several frames is registered with
// the page window, whose 100 ms timer calls OnImageAnimate; the item adds the 100 ms to
// its elapsed time and, when that reaches the current frame's delay, steps to the next
// frame (wrapping) and repaints. Replacing the picture or destroying the item ends the
// registration. The helper's pictures are shared: the item never changes one (a rotation
// works on a copy).
//
// Owned images (photos and archive images). The zoom factor counts image pixels per view
// pixel; the content size is the image size / zoom and the scroll position the offset of
// the view in it. Painting draws the visible part of the image at its size / zoom from the
// view's top-left. Zoom steps keep the view's centre where it was.

#include <cstdint>
#include <string>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

class IArchive;
class XImage;

// Options of the image item (its extra flags).
enum : uint32_t {
    kImageLayoutMask = 0xF,  // painter layout size code of a resource picture
    kImagePhotoMode = 0x100, // the item owns a photo
    kImageNoLookup = 0x1000, // names are kept, nothing is looked up or loaded
};

// Name of images that exist only in memory (crops, rotations, archive photos).
constexpr char16_t kMemImageName[] = u"MemImage.jpg";
// Quality of the JPEG images the item writes.
constexpr int kImageItemQuality = 80;
// Default capacity of the name GetStreamDoc writes, in UTF-16 units.
constexpr unsigned kImageNameUnits = 320;

// Draws in place of the picture: painter, user pointer, view (origin 0, client size).
typedef void (*XImageDrawProc)(XPainter *painter, void *user, const BOUND_t *view);

// Writes the image into doc as a JPEG of quality 80; with a limit in KB (0: none) an image
// above about that size is written as a thumbnail scaled by
// sqrt(limit x 1024 x 18 / (width x 3 x height)). 0 when nothing was written.
PAGEKIT_EXPORT int SaveLimitImage(const XImage *image, IArchive *doc, unsigned limitKB);

class PAGEKIT_EXPORT XPageImage : public XPageItem
{
public:
    XPageImage();
    ~XPageImage() override;

    // ---- slots ---------------------------------------------------------------------------

    // The content is the owned image's size / zoom, or a resource picture's size.
    int CalcExtentSize(int mode) override;
    // The draw procedure, the visible part of an owned image, or the current frame of a
    // resource picture into the body (the content size with a horizontal bar).
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    // Looks a resource name up, or lays out an owned image (a photo is fitted).
    void OnCreateItem() override;
    // kUpdateLayout fits an owned photo to the view.
    void OnUpdateItem(int code) override;
    // Panning in palm mode.
    int OnMessage(XMessage_t *message) override;

    // ---- pictures ------------------------------------------------------------------------

    // A resource picture by name (the owned image dropped); null clears it.
    void SetImageFile(const char16_t *name);
    const char16_t *GetImageFile() const { return m_name.empty() ? nullptr : m_name.c_str(); }
    // Looks the current name up again (nothing before the item is on screen, for an owned
    // image, or with kImageNoLookup).
    void UpdateImage();
    // Photo mode: loads the file into a new owned image; on success overflow auto on both
    // axes, fitted when on screen. A file that does not load leaves no image.
    void SetPhotoFile(const char16_t *path);
    // Loads an owned image from the archive's cursor, the format hinted by name; laid out
    // when on screen.
    void SetStaticDoc(IArchive *doc, const char16_t *name);
    // Photo mode: an owned image from the archive named kMemImageName; fitted when on screen.
    void SetStreamDoc(IArchive *doc, const char16_t *name);
    // Writes the image into doc under a size limit in KB (0: none): the file itself when the
    // image came from a file (not kMemImageName) smaller than the limit, else a JPEG
    // (SaveLimitImage). name (capacity cap units) gets the name written, cut to fit.
    // 1 on success, 0 without an image or when the file cannot be read.
    int GetStreamDoc(IArchive *doc, unsigned limitKB, char16_t *name,
                     unsigned cap = kImageNameUnits);
    // The shown picture, or a new empty owned image.
    XImage *GetPicture();
    XImage *GetShownImage() const { return m_shown; }

    // ---- view ----------------------------------------------------------------------------

    // Zoom 1, content the image size, offset 0.
    void OnInitImage();
    // Fits an owned image to the view (nothing on an empty view).
    void OnFullImage();
    // in non-zero: zoom x 4/3 (smaller picture), else x 3/4 (larger). A step that would make
    // a content side below 1 or above 32767 pixels changes nothing.
    void OnZoomImage(int in);
    double GetZoom() const { return m_zoom; }
    // Pages of a multi-page image, stopping at the ends.
    void OnNextFrame();
    void OnPrevFrame();
    void OnFirstFrame();
    void OnLastFrame();
    // A quarter turn; the result is an owned kMemImageName image, offset 0.
    void OnClockwiseRotate();
    void OnAnticlockRotate();
    // The visible part becomes the owned kMemImageName image, fitted.
    void OnClipImage();
    // Saves the shown image (format from the extension, quality 80).
    void OnExportFile(const char16_t *path);
    // One animation tick of 100 ms.
    void OnImageAnimate();
    void OnImageProper() {}
    // Paints the image scaled into a size x size square at x, 0, keeping its aspect ratio,
    // centred. 0 when nothing was drawn.
    int PaintIconDrawer(XPainter *painter, int size, int x);
    // Pan by dragging (cursor 23, 24 while dragging).
    void SetPalmMode(int on) { m_palm = on != 0; }
    void SetDrawProc(void *user, XImageDrawProc proc)
    {
        m_drawUser = user;
        m_drawProc = proc;
    }

    // The frame fields: count, current frame, its delay (ms) and the time it has shown.
    int GetFrameCount() const { return m_frames; }
    int GetCurrentFrame() const { return m_current; }
    uint32_t GetFrameDelay() const { return m_delay; }
    uint32_t GetElapsed() const { return m_elapsed; }

private:
    void ForgetPicture();
    // Makes image (created with new, or null) the owned and shown image.
    void TakeImage(XImage *image);
    // The shown picture after a ClearHelper of the form's helper (looked up again).
    XImage *CheckPicture();
    // The part of the image the view shows, in image pixels, cut to the image.
    BOUND_t VisiblePart() const;
    // Content size from the image and the zoom; offsets clamped.
    void SetContent(bool keepOffset);
    void StepFrame(int index);
    void Rotate(int angle);
    void SetCursor(int code);

    std::u16string m_name;
    XImage *m_shown = nullptr; // the resource helper's, or m_owned
    XImage *m_owned = nullptr;
    int m_frames = 0;
    int m_current = 0;
    uint32_t m_delay = 0;
    uint32_t m_elapsed = 0;
    bool m_registered = false;
    double m_zoom = 1.0;
    bool m_palm = false;
    bool m_pressed = false;
    POINT_t m_last = {0, 0};
    XImageDrawProc m_drawProc = nullptr;
    void *m_drawUser = nullptr;
};
