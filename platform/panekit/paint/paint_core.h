#pragma once
// The painter's core: state, primitives, images, canvas drawing and text over a Cairo
// ARGB32 image surface. XPainter (xpainter.h) adds everything that reads style
// descriptors on top of it.
//
// Coordinates. Integer members work in pixels of the current user space: the device
// space of the target moved by Translate and turned by SetRotate. While the transform is
// a whole-pixel translation (the usual case inside page items), integer primitives follow
// GDI's pixel rules exactly and are never antialiased: a bound covers x ... x + width - 1
// and y ... y + height - 1; a line from (x1, y1) to (x2, y2) sets the pixels of the
// Bresenham walk from the start and leaves the end pixel out. Under a fractional or
// turned transform they are drawn by Cairo without antialiasing.
// The floating members (the canvas drawing of scripts) are antialiased Cairo drawing.
//
// Colours are 0x00BBGGRR; a colour whose top byte is not 0 is "none": whatever would be
// drawn in it is not drawn.
//
// Clip. The painter has the paint's own clip (the bound given at construction, in
// device pixels, cut to the surface); nothing is ever drawn outside it. SetClipRect
// narrows drawing further to a bound in user space; a null bound returns to the paint's
// own clip, never to "no clip".

#include <cairo.h>

#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/paint/color.h"
#include "platform/panekit/paint/pen_handle.h"
#include "platform/panekit/panekit_export.h"

class XImage;
struct XFontHandle;

// A point of the floating canvas drawing.
struct FPOINT_t
{
    double x;
    double y;
};

// Stock objects, numbered as the system's callers number them.
constexpr int kStockWhiteFiller = 0;    // 0xFFFFFF
constexpr int kStockLightFiller = 1;    // 0xC0C0C0
constexpr int kStockGrayFiller = 2;     // 0x808080
constexpr int kStockDarkFiller = 3;     // 0x404040
constexpr int kStockBlackFiller = 4;    // 0x000000
constexpr int kStockNullFiller = 5;     // none
constexpr int kStockWhiteDrawer = 6;    // 1-pixel solid white pen
constexpr int kStockBlackDrawer = 7;    // 1-pixel solid black pen
constexpr int kStockNullDrawer = 8;     // draws nothing
constexpr int kStockFixedFonter = 10;   // monospace, 12 pixels (also 11 and 16)
constexpr int kStockDefaultFonter = 17; // "宋体" 12 pixels (every other index too)

// DrawImage layout code: the nibbles of a style's background word above its kind byte.
//   bits 0-3   size: 0 natural, 1 cover, 2 contain, 3 stretch to the view
//   bits 4-7   repeat: 0 none, 1 along x, 2 along y, 3 both
//   bits 8-11  horizontal position: 0 left, 1 centre, 2 right
//   bits 12-15 vertical position: 0 top, 1 centre, 2 bottom
// so 0x1100 | size centres the picture in the view.
constexpr uint32_t kImageLayoutCenter = 0x1100;

// DrawImage stretch modes (a source part stretched onto a view).
constexpr int kStretchNearest = 0; // nearest pixel, hard edges (icons, pixel art)
constexpr int kStretchBilinear = 1;
constexpr int kStretchSmooth = 2; // best filter; averages when shrinking photographs

// BeginPath modes.
constexpr int kPathWinding = 0;
constexpr int kPathEvenOdd = 1;

class PANEKIT_EXPORT XPaintCore
{
public:
    // A painter over target (taking its own reference) clipped to clip in device pixels,
    // cut to the surface; a null clip means the whole surface. A null or non-image target
    // gives a painter that draws nothing (IsValid is 0).
    XPaintCore(cairo_surface_t *target, const BOUND_t *clip);
    // A measuring painter over its own 1 x 1 surface; CreateImage gives it a real canvas.
    XPaintCore();
    virtual ~XPaintCore();
    XPaintCore(const XPaintCore &) = delete;
    XPaintCore &operator=(const XPaintCore &) = delete;

    int IsValid() const { return m_cr != nullptr ? 1 : 0; }
    // The Cairo context and target, for the painting library's own drawing code. Drawing
    // through them directly bypasses the "none" colour and clip bookkeeping: callers save
    // and restore the context around it.
    cairo_t *GetContext() const { return m_cr; }
    cairo_surface_t *GetSurface() const { return m_surface; }
    // Size of the target in pixels.
    int GetWidth() const;
    int GetHeight() const;

    // ---- state ---------------------------------------------------------------------------

    // The paint's own clip, in device pixels.
    void GetPaintBound(BOUND_t *bound) const { *bound = m_paintClip; }
    // Replaces the paint's own clip (device pixels, cut to the surface; null: the whole
    // surface) and drops any SetClipRect clip; for painters kept across paints.
    void SetPaintBound(const BOUND_t *bound);
    // Clips to bound in the current user space, intersected with the paint's own clip;
    // null returns to the paint's own clip. Replaces the previous SetClipRect clip.
    void SetClipRect(const BOUND_t *bound);
    // The current clip as a bound of the current user space (the smallest bound holding it
    // when the space is turned). Non-zero when it is not empty.
    int GetClipRect(BOUND_t *bound) const;
    // Moves the user space origin by dx, dy (cumulative). A floating step that is not a
    // number or beyond 1e9 pixels is ignored.
    void Translate(int dx, int dy);
    void Translate(double dx, double dy);
    // Back to the device space: no translation, no rotation. The clip stays where it is on
    // the surface.
    void ResetTransform();
    // Turns the user space about its current origin to angle degrees, clockwise on screen
    // (absolute: a second call replaces the first angle). 0 ends the rotation.
    void SetRotate(double angle);
    // The user space origin in device pixels (rounded).
    void GetOrigin(POINT_t *origin) const;

    // ---- pens, fillers, fonts, text colour -----------------------------------------------

    // Copies the pen (null: the 1-pixel solid black pen); returns the previous pen.
    XPenHandle SelectPen(const XPenHandle *pen);
    const XPenHandle &GetPen() const { return m_pen; }
    // Line codes: 16 1-pixel solid, 17 1-pixel dotted (grey 0x808080 when color is the
    // unset colour), 4113 1-pixel border pattern, 1...9 the pen style at 1 pixel. color
    // kColorUnset keeps the current pen colour (17: grey). 0 for any other code, which
    // selects a 1-pixel solid pen.
    int SetLineStyle(uint32_t code, uint32_t color = kColorUnset);
    // Stock pens 6 white, 7 black, 8 null (1 pixel); 0 for another index (pen unchanged).
    int SetStockDrawer(int index);
    // Colour of stock filler 0...5 (5 and any other index: the "none" colour). Select it
    // with SetFillStyle.
    static uint32_t GetStockFiller(int index);
    // The filling colour of FillRect and the canvas fills; returns the previous one.
    uint32_t SetFillStyle(uint32_t color);
    uint32_t GetFillStyle() const { return m_fill; }

    // The text font (owned by the caller, who keeps it alive while selected); null selects
    // the default font. Returns the previous font.
    const XFontHandle *SelectFonter(const XFontHandle *font);
    const XFontHandle *GetFonter() const;
    // Selects a process-wide stock font (kStockFixedFonter, 11 and 16 monospace; every other
    // index "宋体" 12 pixels). Always non-zero.
    int SetStockFonter(int index);
    uint32_t SetTextColor(uint32_t color); // returns the previous colour
    uint32_t GetTextColor() const { return m_textColor; }
    // Font flags forced on top of the selected font for every text call: bit 0 bold, bit 1
    // italic, bit 2 underline, bit 3 line-through. Returns the previous flags.
    uint32_t SetTextStyle(uint32_t flags);
    uint32_t GetTextStyle() const { return m_textStyle; }

    // ---- integer primitives (GDI pixel rules) ----------------------------------------------

    // Fills the bound with the fill colour, or with color.
    void FillRect(const BOUND_t *bound);
    void FillRect(const BOUND_t *bound, uint32_t color);
    // Frames the bound with the pen inside it: a pen of width w covers the w outermost
    // rows and columns; the dash pattern runs clockwise from the top-left corner.
    void DrawRect(const BOUND_t *bound);
    // The current point (also of the floating members).
    void MoveTo(int x, int y);
    // A line with the pen from the current point to x, y, the end pixel left out; the end
    // becomes the current point. A pen wider than 1 is centred on the line.
    void LineTo(int x, int y);
    void DrawLine(int x1, int y1, int x2, int y2);
    // Inverts every other pixel of the bound (those whose device x + y is even), directly
    // on the surface bytes, inside the current clip: drawing the same bound twice gives back
    // every pixel exactly. frame > 0 inverts only a frame that wide inside the bound (a
    // frame that fills the bound inverts all of it). Usable at any time, also between
    // paints (tracking lines and rubber bands drawn and erased by the caller).
    void DrawHalftone(const BOUND_t *bound, int frame = 0);
    // An A8 surface of the target's size that halftones toggle instead of the target's
    // pixels (null: invert the target). A layer over a picture draws its halftones this
    // way, since a transparent pixel has nothing to invert: whoever shows the layer
    // inverts the picture where the mask is set. The painter keeps a reference.
    void SetInvertMask(cairo_surface_t *mask);

    // ---- images ----------------------------------------------------------------------------

    // Draws the image's current frame into view with a layout code (kImageLayoutCenter and
    // friends), cut to view. 0 when nothing could be drawn (empty image or view).
    int DrawImage(const XImage *image, const BOUND_t *view, uint32_t layout);
    // Stretches the part source of the image (null: all of it; cut to the image) onto view
    // with a stretch mode (kStretchNearest ... kStretchSmooth).
    int DrawImage(const XImage *image, const BOUND_t *view, const BOUND_t *source, int mode);
    // The image at natural size with its top-left corner at x, y.
    int DrawImage(const XImage *image, int x, int y);

    // ---- canvas drawing (floating, antialiased) -------------------------------------------

    void MoveTo(double x, double y);
    // Strokes from the current point with the pen (or adds the segment while a path is open).
    void LineTo(double x, double y);
    void DrawRect(double x, double y, double cx, double cy);
    void FillRect(double x, double y, double cx, double cy);
    // Arc of the circle at x, y with radius r from start degrees through sweep degrees,
    // angles anticlockwise on screen from the positive x axis (a negative sweep turns
    // clockwise). FillArc fills the pie slice.
    void DrawArc(double x, double y, double r, double start, double sweep);
    void FillArc(double x, double y, double r, double start, double sweep);
    // The ellipse centred at x, y with radii rx, ry.
    void DrawEllipse(double x, double y, double rx, double ry);
    void FillEllipse(double x, double y, double rx, double ry);
    // A smooth curve through every point (a cardinal spline of tension 0.5); flags bit 0
    // closes it into a ring. Fewer than 2 points draw nothing.
    void CurveTo(const FPOINT_t *points, int count, int flags = 0);
    // Fills the closed curve through the points (fewer than 3 draw nothing).
    void FillCurve(const FPOINT_t *points, int count, int flags = 0);
    // Starts collecting a path (mode kPathWinding or kPathEvenOdd for FillPath): until
    // DrawPath or FillPath, MoveTo, LineTo, DrawRect, DrawArc, DrawEllipse and CurveTo
    // add figures instead of drawing.
    void BeginPath(int mode = kPathWinding);
    // Closes the current figure of the path.
    void ClosePath(int flags = 0);
    // Strokes (DrawPath) or fills (FillPath) the collected path and ends it. 0 without one.
    int DrawPath();
    int FillPath();
    int IsPathOpen() const { return m_pathOpen ? 1 : 0; }

    // ---- memory canvas -----------------------------------------------------------------------

    // Gives the painter its own transparent ARGB32 canvas of width x height pixels (flags is
    // kept for callers and reserved). The painter is reset (BeginPainter). 0 when a side is
    // below 1 or above 32767 or the canvas cannot be made; the painter is then unchanged.
    int CreateImage(int width, int height, int flags = 0);
    // Resets the state for a new paint: the paint's own clip (the whole canvas after
    // CreateImage), no transform, no open path, the current point at 0, 0. Pen, fill,
    // font and colours stay. Non-zero with a canvas.
    int BeginPainter();
    // Ends the paint: closes any open path and flushes the drawing into the canvas bytes.
    void ClosePainter();
    // Copies the canvas (whole, ARGB32) into image, replacing its content. 0 on failure.
    int CopyToImage(XImage *image) const;

    // ---- text -----------------------------------------------------------------------------
    // Pixels and UTF-16 positions, with the selected font (SetTextStyle's flags added), as
    // the text engine (text_layout.h) lays them out; len < 0: up to the terminator.
    // layout: bits 0-1 horizontal (0 left, 1 right, 2 centre), bits 2-3 vertical (0 top,
    // 1 bottom, 2 middle), 0x10 no wrap, 0x20 expand tabs, 0x40 single line, 0x80 '&'
    // marks an underlined mnemonic.

    // Draws the text in bound (clipped to it) in the text colour; returns the height of
    // the laid-out block (0 when nothing was drawn).
    int DrawText(const char16_t *text, int len, const BOUND_t *bound, uint32_t layout);
    // Draws the text at a point without wrapping: the point is the block's left, right or
    // centre (layout bits 0-1) and top, bottom or middle (bits 2-3). Returns the width.
    int DrawText(double x, double y, uint32_t layout, const char16_t *text, int len = -1);
    // One row (tabs expanded, nothing wraps) with its top-left corner at x, y; returns its
    // width.
    int DrawTextLine(const char16_t *text, int len, int x, int y);
    // Size of the block DrawText lays out, wrapping at width unless width <= 0, 0x10 or
    // 0x40. Returns the row count (an empty text is one row, 0 wide).
    int CalcTextSize(const char16_t *text, int len, uint32_t layout, int width, SIZE_t *size);
    // The block's size without a width limit.
    int CalcTextSize(const char16_t *text, int len, uint32_t layout, SIZE_t *size);
    // The block's size wrapped at width (the measure of an item's content): as
    // CalcTextSize(text, len, layout, width, size).
    int CalcTextRange(const char16_t *text, int len, uint32_t layout, int width, SIZE_t *size);
    // Units of the text's start that fit in width pixels as one row; *used, when given,
    // gets their width.
    int CalcTextRange(const char16_t *text, int len, int width, int *used = nullptr);
    // Size of the text as one row; returns its width.
    int CalcLineSize(const char16_t *text, int len, SIZE_t *size);
    // Cuts the text into rows at line breaks and, when width > 0, where it wraps at width;
    // ends[k] gets the end of row k for k < maxEnds. Returns the row count (>= 1).
    int CalcLineRange(const char16_t *text, int len, int width, int *ends, int maxEnds);
    // Pixel x of the caret before position pos of a row.
    int CalcLinePlace(const char16_t *text, int len, int pos);
    // The boundary nearest pixel x of a row: TestLinePlace(CalcLinePlace(i)) == i.
    int TestLinePlace(const char16_t *text, int len, int x);
    // The next word end (forward non-zero) or the previous word start from pos, by Pango's
    // word boundaries; the text's length or 0 when there is none.
    int FindWordEdge(const char16_t *text, int len, int pos, int forward);

protected:
    // Colour in Cairo's terms; false for a "none" colour.
    bool SetSource(uint32_t color);
    // True while the user space is a whole-pixel translation of the device space.
    bool IsPixelExact() const;

private:
    class RunPath;
    // An exact figure's scope: no antialiasing, an open canvas path kept aside and put back.
    struct DeviceScope
    {
        DeviceScope(cairo_t *cr, bool keepPath);
        ~DeviceScope();
        DeviceScope(const DeviceScope &) = delete;
        DeviceScope &operator=(const DeviceScope &) = delete;
        cairo_t *cr;
        cairo_path_t *path;
    };

    void Attach(cairo_surface_t *surface, const BOUND_t *clip);
    void Detach();
    void ApplyClip();
    void GetPixelOffset(int64_t *dx, int64_t *dy) const;
    void AddClippedRect(RunPath &runs, int64_t x, int64_t y, int64_t w, int64_t h) const;
    bool PenDraws() const;
    bool PixelOn(int x, int y) const;
    void ExactLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int w, int64_t dx, int64_t dy);
    void Span(RunPath &runs, int64_t x, int64_t y, int dx, int dy, int64_t count, int bw, int bh);
    void ApplyPenStroke(int w);
    void StrokeSegment(double x1, double y1, double x2, double y2, int w);
    void StrokeRect(double x, double y, double cx, double cy, int w);
    void InvertBand(const BOUND_t &band);
    void UpdateDeviceClip();
    void StrokeCanvas();
    void FillCanvas(bool evenOdd);
    void AddCurve(const FPOINT_t *points, int count, bool closed);
    const XFontHandle *CurrentFont() const;
    void ReleaseTextState();

    cairo_t *m_cr = nullptr;
    cairo_surface_t *m_surface = nullptr;
    cairo_surface_t *m_invertMask = nullptr;
    bool m_ownSurface = false;
    BOUND_t m_paintClip{0, 0, 0, 0};

    XPenHandle m_pen{kPenSolid, 1, 0};
    uint32_t m_fill = 0xFFFFFF;
    uint32_t m_textColor = 0;
    uint32_t m_textStyle = 0;
    const XFontHandle *m_font = nullptr;
    mutable XFontHandle *m_styledFont = nullptr; // m_font with m_textStyle added, made on use

    double m_curX = 0;
    double m_curY = 0;
    uint32_t m_dashIndex = 0;         // pixels of the pen's pattern used since MoveTo
    BOUND_t m_deviceClip{0, 0, 0, 0}; // the current clip in device pixels
    BOUND_t m_figureClip{0, 0, 0, 0}; // device clip of the exact figure being drawn
    bool m_pathOpen = false;
    int m_pathMode = kPathWinding;
};
