#pragma once
// Images of the painting library: decoded pictures held as Cairo surfaces, with the
// loaders, transforms and encoders the page items, folders and script objects use.
//
// An image holds one or more frames (GIF animation frames, TIFF pages, ICO/CUR entries);
// each frame is its own Cairo ARGB32 image surface with premultiplied alpha. One frame is
// the current ("locked") frame; size, pixels, drawing, clipping, thumbnails and saving
// all work on it, rotation on every frame. An empty image has no frame; every member is
// then a harmless no-op that answers 0 or null.
//
// Loading never trusts the bytes: a file that fails to decode (bad signature, corrupt or
// truncated data, a dimension above kImageMaxSide, more than kImageMaxPixels pixels in a
// frame) leaves the image empty and the load returns 0. Every size is checked before
// pixel memory is allocated. GIF frames and TIFF pages past the budget of kImageMaxPixels
// over all frames or kImageMaxFrames frames are dropped, as is an unreadable TIFF page after
// good ones; a GIF that ends after whole frames without its trailer keeps them.
//
// Image type codes, as GetImageType gives them and the loaders and encoders take them.
// The format is always recognised from the leading bytes when loading; a type passed to a
// loader serves only bytes that carry no signature of their own.

#include <cairo.h>

#include <cstddef>
#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"

class IArchive;

constexpr int kImageUnknown = 0;
constexpr int kImageBmp = 1;  // BMP or bare DIB: 1, 4, 8, 16, 24, 32 bits, RLE4/RLE8, bit fields
constexpr int kImageJpeg = 2; // JPEG (baseline and progressive, grey, YCbCr, CMYK)
constexpr int kImageGif = 3;  // GIF, every frame composed onto the logical screen
constexpr int kImageTiff = 4; // TIFF, one frame per page
constexpr int kImagePng = 5;  // PNG (first frame of an animated PNG)
constexpr int kImageIco = 6;  // ICO, one frame per entry in file order
constexpr int kImageCur = 7;  // CUR, as ICO

// Limits checked before any pixel memory is allocated. Cairo image surfaces hold at most
// 32767 pixels per side.
constexpr int kImageMaxSide = 32767;
constexpr int64_t kImageMaxPixels = int64_t(64) << 20; // per frame and over all frames
constexpr int kImageMaxFrames = 4096;

// Default JPEG quality, used when a quality outside 1...100 is passed.
constexpr int kImageDefaultQuality = 80;

class PANEKIT_EXPORT XImage
{
public:
    XImage() = default;
    ~XImage();
    XImage(const XImage &) = delete;
    XImage &operator=(const XImage &) = delete;

    // ---- type names -------------------------------------------------------------------

    // The type code for a name: a file name or path (its extension decides) or a bare
    // extension or format name, ASCII case ignored: "bmp"/"dib" 1, "jpg"/"jpeg"/"jpe"/
    // "jfif" 2, "gif" 3, "tif"/"tiff" 4, "png" 5, "ico" 6, "cur" 7; anything else (and
    // null) kImageUnknown.
    static int GetImageType(const char16_t *name);
    static int GetImageType(const char *name);
    // The type recognised from a file's leading bytes, kImageUnknown when none matches.
    static int SniffImageType(const void *data, size_t size);

    // ---- loading (each replaces the content; 0 and an empty image on failure) --------------

    // Reads the file at path (`\` or `/` separated). type: 0 or a type hint.
    int LoadFromFile(const char16_t *path, int type = 0);
    // Decodes size bytes at data (the bytes are not kept).
    int LoadFromBuffer(const void *data, size_t size, int type = 0);
    // Decodes the bytes from the archive's cursor to its end; the cursor ends at the end on
    // success and is left where it was on failure.
    int LoadFromDoc(IArchive *doc, int type = 0);
    // Resource bitmap data: any format LoadFromBuffer reads, or a bare DIB (a BITMAPINFO
    // header, palette and bits without the 14-byte file header), as resource files keep
    // bitmaps.
    int LoadBitmap(const void *data, size_t size);

    // ---- making images -----------------------------------------------------------------

    // A new single-frame image of cx x cy pixels. bits 24 (or anything but 32): opaque
    // black; 32: fully transparent. 0 and an empty image when a side is below 1 or the
    // limits are exceeded.
    int CreateBitmap(int cx, int cy, int bits = 24);
    // Replaces the content with a copy of a Cairo image surface (any image format; the copy
    // is ARGB32), or of the part of it inside *part when part is given. 0 (content kept) when
    // src is not an image surface or the part is empty.
    int CopyFromSurface(cairo_surface_t *src, const BOUND_t *part = nullptr);
    // Replaces the content with the surface itself, taking over the caller's reference. It
    // must be an ARGB32 image surface; otherwise it is released and 0 returned (content kept).
    int AttachSurface(cairo_surface_t *surface);
    // Makes the image empty.
    void ClearImage();
    // Moves the content of other into this image; other becomes empty.
    void SwapImage(XImage *other);

    // Fills the current frame with an opaque 0x00BBGGRR colour. A colour whose top byte is
    // not 0 is "none": nothing changes and 0 is returned.
    int FillBackColor(uint32_t color);
    // Fills the rectangle x, y, cx, cy (cut to the frame) with an opaque 0x00BBGGRR colour;
    // 0 for "none" or when nothing of the rectangle lies in the frame.
    int FillPixColor(int x, int y, int cx, int cy, uint32_t color);

    // ---- state ---------------------------------------------------------------------------

    int IsImageEmpty() const { return m_count == 0 ? 1 : 0; }
    // Size of the current frame; 0 when empty.
    int GetWidth() const;
    int GetHeight() const;
    // *size = width and height of the current frame (0, 0 when empty); non-zero when not empty.
    int GetImageSize(SIZE_t *size) const;
    // The type the content was decoded from (kImageUnknown for made images).
    int GetSourceType() const { return m_sourceType; }

    // Number of frames (0 when empty, 1 for a still picture).
    int GetFrameCount() const { return m_count; }
    // Non-zero when the frames are timed animation frames (GIF) rather than pages.
    int IsAnimated() const { return m_animated ? 1 : 0; }
    // Index of the current frame.
    int GetCurrentFrame() const { return m_current; }
    // Makes frame index (0...count-1) current; *delay (when given) gets its display time in
    // milliseconds (0 for pages and untimed frames). 0 for an index out of range, with the
    // current frame unchanged.
    int LockFrame(int index, uint32_t *delay = nullptr);
    // Display time of frame index in milliseconds; 0 when out of range or untimed.
    uint32_t GetFrameDelay(int index) const;

    // The current frame's surface (ARGB32, premultiplied), owned by the image: valid until
    // the image is changed, loaded, cleared or destroyed. Null when empty. Drawing into it
    // changes the image (call cairo_surface_flush / mark_dirty as Cairo requires).
    cairo_surface_t *GetSurface() const;
    // The surface of frame index, or null.
    cairo_surface_t *GetFrameSurface(int index) const;
    // Pixel of the current frame as non-premultiplied 0xAARRGGBB; 0 outside or when empty.
    uint32_t GetPixel(int x, int y) const;

    // ---- transforms ----------------------------------------------------------------------

    // Turns every frame by angle degrees clockwise (negative: anticlockwise); the angle must
    // be a multiple of 90, otherwise nothing changes and 0 is returned. 0 when empty.
    int RotateImage(int angle);
    // dst = a copy of the part x, y, cx, cy of the current frame, cut to the frame. 0 (dst
    // untouched) when empty or when nothing of the part lies in the frame. dst may not be this.
    int GetClipImage(XImage *dst, int x, int y, int cx, int cy) const;
    // dst = the current frame scaled to cx x cy (mode 0), or to the largest size that fits
    // cx x cy keeping the aspect ratio (mode 1, at least 1 x 1). Scaling is bilinear with
    // box averaging when shrinking. 0 (dst untouched) when empty or a side is below 1.
    int GetThumbImage(XImage *dst, int cx, int cy, int mode = 0) const;

    // ---- saving -------------------------------------------------------------------------
    // quality: JPEG quality 1...100 (outside: kImageDefaultQuality); ignored by the lossless
    // formats. Encodable types: BMP (32-bit with alpha when the frame is not opaque, else
    // 24-bit), JPEG (transparent parts over white), PNG (RGB when opaque, else RGBA), TIFF
    // (every frame as a page, RGB or RGBA), GIF (one frame; its exact colours when there are
    // at most 255, else a median-cut palette; alpha below half is transparent); ICO, CUR
    // and unknown types are saved as PNG. Only the current frame is written except for TIFF.

    // Writes the file at path, the format from its extension (GetImageType; an unknown
    // extension writes PNG). The file is written whole or removed. 0 on failure.
    int SaveToFile(const char16_t *path, int quality = kImageDefaultQuality) const;
    // Appends the encoded image to the archive at its cursor. 0 on failure (nothing written).
    int SaveImageDoc(IArchive *doc, int type, int quality = kImageDefaultQuality) const;
    // As SaveImageDoc with the current frame scaled to cx x cy first (GetThumbImage mode 0).
    int SaveThumbImage(IArchive *doc, int cx, int cy, int type,
                       int quality = kImageDefaultQuality) const;
    // Encodes into a new heap block (corekit MemAlloc; the caller frees it with MemFree);
    // *size gets its length. Null on failure.
    uint8_t *EncodeImage(int type, int quality, uint32_t *size) const;

private:
    struct Frame
    {
        cairo_surface_t *surface;
        uint32_t delay; // milliseconds
    };

    friend class XImageBuilder;

    Frame *m_frames = nullptr;
    int m_count = 0;
    int m_current = 0;
    int m_sourceType = kImageUnknown;
    bool m_animated = false;
};
