// The shared control icons: check and radio boxes, arrows, drop buttons, tab-strip
// buttons, tree expanders and filter marks, drawn once with Cairo into one 16-pixel strip.
#include <cairo.h>

#include <cmath>

#include "platform/panekit/icon/icon_drawer.h"

namespace {

constexpr double kFrame[3] = {0.44, 0.50, 0.60};  // box frames
constexpr double kMark[3] = {0.10, 0.16, 0.30};   // check marks, arrows, glyphs
constexpr double kOff[3] = {0.66, 0.66, 0.66};    // disabled glyphs
constexpr double kFace[3] = {0.90, 0.91, 0.93};   // button faces
constexpr double kAccent[3] = {0.12, 0.45, 0.85}; // active filter

void SetColor(cairo_t *cr, const double *rgb)
{
    cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
}

// A white 13 x 13 box with a 1-pixel frame, the frame on pixels 1 ... 13.
void Box(cairo_t *cr)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, 1, 1, 13, 13);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, 1.5, 1.5, 12, 12);
    SetColor(cr, kFrame);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void CheckMark(cairo_t *cr, double dx, double dy)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_move_to(cr, dx + 3.5, dy + 7.5);
    cairo_line_to(cr, dx + 6.5, dy + 10.5);
    cairo_line_to(cr, dx + 12, dy + 4);
    cairo_set_line_width(cr, 2);
    SetColor(cr, kMark);
    cairo_stroke(cr);
}

void Radio(cairo_t *cr, bool on)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_arc(cr, 8, 8, 6, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    SetColor(cr, kFrame);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    if (!on)
        return;
    cairo_arc(cr, 8, 8, 3, 0, 2 * M_PI);
    SetColor(cr, kMark);
    cairo_fill(cr);
}

// A solid triangle pointing in direction dir (0 up, 1 down, 2 left, 3 right), centred.
void Arrow(cairo_t *cr, int dir, const double *rgb)
{
    // Columns: tip x, tip y, base end 1 x, y, base end 2 x, y.
    constexpr double kTri[4][6] = {
        {8, 5, 4, 10, 12, 10}, // up
        {8, 11, 4, 6, 12, 6},  // down
        {5, 8, 10, 4, 10, 12}, // left
        {11, 8, 6, 4, 6, 12},  // right
    };
    const double *t = kTri[dir];
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_move_to(cr, t[0], t[1]);
    cairo_line_to(cr, t[2], t[3]);
    cairo_line_to(cr, t[4], t[5]);
    cairo_close_path(cr);
    SetColor(cr, rgb);
    cairo_fill(cr);
}

// A raised button face behind a drop arrow.
void DropButton(cairo_t *cr, bool enabled)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, 0, 0, 16, 16);
    SetColor(cr, kFace);
    cairo_fill(cr);
    Arrow(cr, 1, enabled ? kMark : kOff);
}

void TabClose(cairo_t *cr)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_move_to(cr, 4.5, 4.5);
    cairo_line_to(cr, 11.5, 11.5);
    cairo_move_to(cr, 11.5, 4.5);
    cairo_line_to(cr, 4.5, 11.5);
    cairo_set_line_width(cr, 1.6);
    SetColor(cr, kMark);
    cairo_stroke(cr);
}

// Three list lines with a small drop arrow: the list of all pages of a tab strip.
void PageList(cairo_t *cr)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetColor(cr, kMark);
    for (int i = 0; i < 3; ++i)
        cairo_rectangle(cr, 2, 3 + 3 * i, 8, 1);
    cairo_fill(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_move_to(cr, 10, 11);
    cairo_line_to(cr, 15, 11);
    cairo_line_to(cr, 12.5, 14);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// A boxed plus or minus with dotted tree lines leaving the box to the right and below.
void ExpandBox(cairo_t *cr, bool plus)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetColor(cr, kOff);
    for (int x = 13; x < 16; x += 2)
        cairo_rectangle(cr, x, 8, 1, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, 3, 3, 9, 9);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, 3.5, 3.5, 8, 8);
    SetColor(cr, kFrame);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    SetColor(cr, kMark);
    cairo_rectangle(cr, 5, 7, 5, 1);
    if (plus)
        cairo_rectangle(cr, 7, 5, 1, 5);
    cairo_fill(cr);
}

void Funnel(cairo_t *cr, bool active)
{
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_move_to(cr, 2.5, 3.5);
    cairo_line_to(cr, 13.5, 3.5);
    cairo_line_to(cr, 9.5, 8.5);
    cairo_line_to(cr, 9.5, 13.5);
    cairo_line_to(cr, 6.5, 11.5);
    cairo_line_to(cr, 6.5, 8.5);
    cairo_close_path(cr);
    if (active) {
        SetColor(cr, kAccent);
        cairo_fill_preserve(cr);
    }
    SetColor(cr, active ? kAccent : kMark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// Uniform entry points for the icon table below.
void BoxIcon(cairo_t *cr, int mark) // 0 empty, 1 checked, 2 partly checked
{
    Box(cr);
    if (mark == 1)
        CheckMark(cr, 0, 0);
    if (mark == 2) {
        cairo_rectangle(cr, 4, 4, 7, 7);
        SetColor(cr, kMark);
        cairo_fill(cr);
    }
}
void RadioIcon(cairo_t *cr, int on)
{
    Radio(cr, on != 0);
}
void ArrowIcon(cairo_t *cr, int code) // direction in bits 0-1, tone above: mark, off, frame
{
    const double *tones[3] = {kMark, kOff, kFrame};
    Arrow(cr, code & 3, tones[code >> 2]);
}
void DropIcon(cairo_t *cr, int enabled)
{
    DropButton(cr, enabled != 0);
}
void CloseIcon(cairo_t *cr, int)
{
    TabClose(cr);
}
void ListIcon(cairo_t *cr, int)
{
    PageList(cr);
}
void MarkIcon(cairo_t *cr, int)
{
    CheckMark(cr, 0, 0);
}
void ExpandIcon(cairo_t *cr, int plus)
{
    ExpandBox(cr, plus != 0);
}
void FunnelIcon(cairo_t *cr, int active)
{
    Funnel(cr, active != 0);
}

enum : int { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kToneOff = 4, kToneFrame = 8 };

// The strip by index. Columns: drawing function, its argument.
constexpr struct
{
    void (*draw)(cairo_t *, int);
    int arg;
} kIcons[kCtrlIconCount] = {
    {BoxIcon, 0},                     // 0 check off
    {BoxIcon, 1},                     // 1 check on
    {RadioIcon, 0},                   // 2 radio off
    {RadioIcon, 1},                   // 3 radio on
    {ArrowIcon, kUp},                 // 4 scroll up, sorted ascending
    {DropIcon, 1},                    // 5 drop button, sorted descending
    {ArrowIcon, kDown},               // 6 scroll down
    {ArrowIcon, kDown | kToneOff},    // 7 scroll down disabled
    {ArrowIcon, kLeft},               // 8 scroll left
    {DropIcon, 0},                    // 9 drop button disabled
    {ArrowIcon, kRight},              // 10 scroll right
    {ArrowIcon, kRight | kToneOff},   // 11 scroll right disabled
    {ArrowIcon, kLeft},               // 12 tab strip left
    {ArrowIcon, kRight},              // 13 tab strip right
    {ArrowIcon, kLeft | kToneOff},    // 14 tab strip left disabled
    {ArrowIcon, kRight | kToneOff},   // 15 tab strip right disabled
    {CloseIcon, 0},                   // 16 tab close
    {ListIcon, 0},                    // 17 page list
    {MarkIcon, 0},                    // 18 menu check
    {BoxIcon, 0},                     // 19 tree check off
    {BoxIcon, 1},                     // 20 tree check on
    {BoxIcon, 2},                     // 21 tree check partial
    {ExpandIcon, 1},                  // 22 expand box "+"
    {ExpandIcon, 0},                  // 23 expand box "-"
    {ArrowIcon, kRight | kToneFrame}, // 24 collapsed, no lines
    {ArrowIcon, kDown | kToneFrame},  // 25 expanded, no lines
    {FunnelIcon, 0},                  // 26 filter
    {FunnelIcon, 1},                  // 27 filter active
};

void DrawOne(cairo_t *cr, int index)
{
    kIcons[index].draw(cr, kIcons[index].arg);
}

cairo_surface_t *DrawStrip()
{
    cairo_surface_t *strip = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, kCtrlIconSize * kCtrlIconCount, kCtrlIconSize);
    cairo_t *cr = cairo_create(strip);
    for (int i = 0; i < kCtrlIconCount; ++i) {
        cairo_save(cr);
        cairo_translate(cr, i * kCtrlIconSize, 0);
        cairo_rectangle(cr, 0, 0, kCtrlIconSize, kCtrlIconSize);
        cairo_clip(cr);
        DrawOne(cr, i);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return strip;
}

} // namespace

XIconDrawer *GetCtrlIconDrawer()
{
    static XIconDrawer *const icons = [] {
        auto *drawer = new XIconDrawer;
        cairo_surface_t *strip = DrawStrip();
        drawer->LoadSurface(strip, 0);
        cairo_surface_destroy(strip);
        return drawer;
    }();
    return icons;
}
