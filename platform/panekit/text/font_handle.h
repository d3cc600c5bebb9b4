#pragma once
// Font handles: a family, a pixel size and style flags resolved once into a Pango
// font description and the metrics the text engine and its callers lay out with.
//
// A handle is reference-counted: CreateFontHandle gives a count of 1, RetainFontHandle
// adds one, ReleaseFontHandle drops one and frees the handle at 0. The fields are read
// freely and never written by callers. Families go through fontconfig, so "宋体" and
// "SimSun" resolve to whatever the configuration aliases them to.

#include <cstdint>

#include "platform/panekit/panekit_export.h"

typedef struct _PangoFontDescription PangoFontDescription;

// Style flags of a handle and of the font record (same bits as the style descriptor).
enum : uint32_t {
    kFontFlagBold = 0x1,
    kFontFlagItalic = 0x2,
    kFontFlagUnderline = 0x4,
    kFontFlagLineThrough = 0x8,
    kFontFlagMask = 0xF,
};

// Pixel sizes outside this range are clamped into it on creation.
constexpr int32_t kFontMinPixelSize = 1;
constexpr int32_t kFontMaxPixelSize = 1000;
// Size and family used where nothing else is given.
constexpr int32_t kFontDefaultPixelSize = 12;
inline constexpr char16_t kFontDefaultFamily[] = u"宋体";

struct XFontHandle
{
    char16_t *family;           // zero-terminated, never null (the default family when none given)
    int32_t pixelSize;          // kFontMinPixelSize ... kFontMaxPixelSize
    uint32_t flags;             // kFontFlag* (other bits dropped)
    PangoFontDescription *desc; // family, absolute pixel size, weight and style; underline
                                // and line-through are applied by the text engine
    int32_t ascent;             // pixels from a row's top to its baseline
    int32_t descent;            // pixels from the baseline to the row's bottom
    int32_t height;             // pixels of one text row: ascent + descent
    int32_t avgCharWidth;       // pixels, the font's approximate character width (>= 1)
    int32_t refCount;           // owned by the Retain/Release functions
};

// A new handle with a count of 1. family null or empty means the default family; len < 0
// means zero-terminated. pixelSize <= 0 means the default size (a negative size is taken
// as its magnitude, as font records of other systems write pixel heights); sizes are then
// clamped to kFontMinPixelSize ... kFontMaxPixelSize. Flags outside kFontFlagMask are
// dropped. Never null.
PANEKIT_EXPORT XFontHandle *CreateFontHandle(const char16_t *family, int len, int32_t pixelSize,
                                             uint32_t flags);
// Adds a reference; returns the handle. Null is a no-op returning null.
PANEKIT_EXPORT XFontHandle *RetainFontHandle(XFontHandle *font);
// Drops a reference and frees the handle when it was the last one. Null is a no-op.
PANEKIT_EXPORT void ReleaseFontHandle(XFontHandle *font);

// The process-wide handle of the default font (12 pixels, "宋体"), created on first use and
// never freed. Callers must not release it unless they retained it.
PANEKIT_EXPORT const XFontHandle *GetDefaultFontHandle();

// Non-zero when both handles describe the same family (compared exactly), size and flags.
// Null equals only null.
PANEKIT_EXPORT int IsSameFont(const XFontHandle *a, const XFontHandle *b);
