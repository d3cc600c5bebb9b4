#pragma once
// The text engine of the painter: draws and measures UTF-16 text with Pango in pixels,
// and converts between pixel places and UTF-16 positions.
//
// Positions count UTF-16 units. A line break counts as its units (CR LF is two), a
// surrogate pair is one character of two units and is never split: a position between
// its halves is treated as the position before the pair. A lone surrogate or a zero unit
// is drawn as U+FFFD and counts one unit. A "boundary" is a position where a caret may
// stand: between characters, not inside a surrogate pair or a grapheme cluster (a base
// with its combining marks). Rows never end between CR and LF.
//
// Every function takes the cairo context it draws on or measures for (null: a private
// 1x1 measuring surface) and a font handle (null: the default font). Text null is empty;
// len < 0 means zero-terminated. One engine serves one thread; a painter keeps one.
//
// Two families of functions:
// - Block functions (DrawText, CalcTextSize) lay a text out in a bound under a layout
//   word (kDrawText* below): rows break at line breaks and wrap at the width.
// - Line functions (DrawTextLine, CalcLineSize, CalcTextRange, CalcLinePlace,
//   TestLinePlace) treat the text as one row, the way an edit draws a row: tabs expand to
//   the next stop of 8 average characters (avgCharWidth of the font), each line-break unit
//   draws as a blank of its own (so a caret may stand between CR and LF) and nothing
//   wraps. CalcLineRange cuts a text into such rows.

#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"

typedef struct _cairo cairo_t;
struct XFontHandle;
struct XTextLayoutCache;

// Layout word of the block functions.
enum : uint32_t {
    kDrawTextLeft = 0x0,
    kDrawTextRight = 0x1,
    kDrawTextCenter = 0x2, // 3 centres too
    kDrawTextHorzMask = 0x3,
    kDrawTextTop = 0x0,
    kDrawTextBottom = 0x4,
    kDrawTextMiddle = 0x8, // 0xC centres too
    kDrawTextVertMask = 0xC,
    kDrawTextNoWrap = 0x10,     // rows break only at line breaks
    kDrawTextExpandTabs = 0x20, // tabs go to the next stop; without it a tab is one blank
    kDrawTextSingleLine = 0x40, // one row: line-break units draw as blanks, nothing wraps
    kDrawTextMnemonic = 0x80,   // '&' underlines the next character, "&&" is one '&'
};

// Colour of the draw functions: 0x00BBGGRR; a non-zero top byte draws nothing.
constexpr bool IsTextColorNone(uint32_t color)
{
    return (color & 0xFF000000u) != 0;
}

class PANEKIT_EXPORT XTextLayout
{
public:
    XTextLayout();
    ~XTextLayout();
    XTextLayout(const XTextLayout &) = delete;
    XTextLayout &operator=(const XTextLayout &) = delete;

    // ---- block functions ----

    // Draws the text inside the bound (clipped to it) with the layout word: rows wrap at
    // the bound's width unless kDrawTextNoWrap or kDrawTextSingleLine; each row is aligned
    // horizontally in the bound, the block of rows vertically. The font's underline and
    // line-through flags apply to the whole text. Returns the block's height in pixels
    // (0 when nothing was drawn: empty bound, empty text or colour none).
    int DrawText(cairo_t *cr, const XFontHandle *font, uint32_t color, const char16_t *text,
                 int len, const BOUND_t *bound, uint32_t layout);

    // Size of the text's block as DrawText lays it out: wrapping at width unless width <= 0,
    // kDrawTextNoWrap or kDrawTextSingleLine. cx is the widest row, cy the rows' height; an
    // empty text is 0 wide and one row high. Returns the row count (>= 1).
    int CalcTextSize(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                     uint32_t layout, int width, SIZE_t *size);

    // ---- line functions ----

    // Draws the text as one row with the row's top-left corner at (x, y); the baseline is
    // at y + the font's ascent. Not clipped. Returns the row's width in pixels (0 when the
    // colour is none or the text empty).
    int DrawTextLine(cairo_t *cr, const XFontHandle *font, uint32_t color, const char16_t *text,
                     int len, int x, int y);

    // Size of the text as one row: cx its width, cy the font's row height.
    // Returns cx.
    int CalcLineSize(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                     SIZE_t *size);

    // Units of the text's start that fit in width pixels as one row: the longest start
    // ending at a boundary whose drawn extent reaches no further right than width (0 when
    // not even the first character fits). *used, when given, receives that extent in pixels.
    int CalcTextRange(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                      int width, int *used);

    // Cuts the text into rows: at each line break (its units end the row they follow) and,
    // when width > 0, where Pango wraps a paragraph at that width (between words, or inside
    // a word wider than the width, never inside a character). ends[k] receives the position
    // where row k ends (= where row k + 1 starts; the last end is the text's length) for
    // k < maxEnds. Returns the row count (>= 1; an empty text is one empty row).
    int CalcLineRange(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len,
                      int width, int *ends, int maxEnds);

    // Pixel x of position pos in the row (leading edge of the character at pos; the row's
    // width at the end). pos is clamped to 0 ... length; a position inside a surrogate pair
    // or cluster gives the place of the boundary before it.
    int CalcLinePlace(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len, int pos);

    // The boundary nearest pixel x in the row: x left of the text gives 0, right of it the
    // length; inside a character, the boundary before it in its left half and after it in
    // its right half. TestLinePlace(CalcLinePlace(i)) == i for every boundary i of a text
    // without right-to-left runs (where a run meets its neighbours, one x has two sides).
    int TestLinePlace(cairo_t *cr, const XFontHandle *font, const char16_t *text, int len, int x);

    // The word edge next to pos by Pango's word boundaries (a run of Han characters is one
    // word): forward non-zero the first word end after pos (the length when none), else
    // the last word start before pos (0 when none). pos is clamped to 0 ... length.
    int FindWordEdge(const char16_t *text, int len, int pos, int forward);

private:
    XTextLayoutCache &Cache();

    XTextLayoutCache *m_cache; // Pango context, layout and scratch buffers; made on first use
};
