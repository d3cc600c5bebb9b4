#pragma once
// The image item: a picture of the form's resources, static or animated.
//
// SetImageFile names a resource picture; once the item is on screen the name is looked
// up through the form's resource helper. A picture of several frames is registered with
// the page window, whose 100 ms timer calls OnImageAnimate; the item adds the 100 ms to
// its elapsed time and, when that reaches the current frame's delay, steps to the next
// frame (wrapping) and repaints. Replacing the picture or destroying the item ends the
// registration.

#include <cstdint>
#include <string>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

class XImage;

// Options of the image item (its extra flags).
enum : uint32_t {
    kImageLayoutMask = 0xF,  // painter layout size code of a resource picture
    kImagePhotoMode = 0x100, // the item owns a photo
    kImageNoLookup = 0x1000, // names are not looked up in the resources
};

class PAGEKIT_EXPORT XPageImage : public XPageItem
{
public:
    XPageImage();
    ~XPageImage() override;

    // Draws the current frame into the body (or the content size with a horizontal bar).
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    // Looks the name up once the item is created.
    void OnCreateItem() override;

    // A resource picture by name; null clears it.
    void SetImageFile(const char16_t *name);
    const char16_t *GetImageFile() const { return m_name.empty() ? nullptr : m_name.c_str(); }
    // Looks the current name up again (nothing before the item is on screen, or with
    // kImageNoLookup).
    void UpdateImage();
    // The shown picture (null when none).
    XImage *GetPicture() const { return m_shown; }
    // One animation tick of 100 ms.
    void OnImageAnimate();

    // The frame fields: count, current frame, its delay (ms) and the time it has shown.
    int GetFrameCount() const { return m_frames; }
    int GetCurrentFrame() const { return m_current; }
    uint32_t GetFrameDelay() const { return m_delay; }
    uint32_t GetElapsed() const { return m_elapsed; }

private:
    void ForgetPicture();
    // The shown picture after a ClearHelper of the form's helper (looked up again).
    XImage *CheckPicture();

    std::u16string m_name;
    XImage *m_shown = nullptr; // the resource helper's
    int m_frames = 0;
    int m_current = 0;
    uint32_t m_delay = 0;
    uint32_t m_elapsed = 0;
    bool m_registered = false;
};
