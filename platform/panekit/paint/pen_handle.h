#pragma once
// A pen of the painting library: line style, width and colour. Pens are plain values;
// the painter copies the pen it is given, so a handle that a resource helper drops later
// never dangles inside a painter.

#include <cstdint>

// Line styles. Dash lengths are in units of the pen width (1-pixel units for a 1-pixel
// pen) and run along the line from its start, continuing over joined LineTo calls.
constexpr uint32_t kPenSolid = 1;      // every pixel
constexpr uint32_t kPenDotted = 2;     // 1 on, 1 off
constexpr uint32_t kPenDashed = 3;     // 4 on, 2 off
constexpr uint32_t kPenDashDot = 4;    // 4 on, 2 off, 1 on, 2 off
constexpr uint32_t kPenDashDotDot = 5; // 4 on, 2 off, 1 on, 2 off, 1 on, 2 off
constexpr uint32_t kPenLongDash = 6;   // 8 on, 4 off
constexpr uint32_t kPenPattern = 7;    // pixels whose x + y is even, whatever the line's start
constexpr uint32_t kPenSparseDot = 8;  // 1 on, 3 off
constexpr uint32_t kPenNull = 9;       // draws nothing
constexpr uint32_t kPenStyleMax = 9;

// Line codes taken by XPaintCore::SetLineStyle (besides the pen styles 1...9 at width 1).
constexpr uint32_t kLineSolid1 = 16;    // 1-pixel solid line
constexpr uint32_t kLineDotted1 = 17;   // 1-pixel dotted line, grey 0x808080 unless coloured
constexpr uint32_t kLineBorder1 = 4113; // 1-pixel border pattern (kPenPattern)
constexpr uint32_t kLineDottedColor = 0x808080;

struct XPenHandle
{
    uint32_t style; // kPenSolid ... kPenNull; any other value draws as solid
    uint32_t width; // pixels; 0 counts as 1
    uint32_t color; // 0x00BBGGRR; a non-zero top byte is "none" and draws nothing
};
