#include "pagekit/core/style_geometry.h"

#include <cmath>

namespace {

// Layout-x and layout-y values that place the box.
constexpr uint32_t kAlignFar = 2; // right, bottom
constexpr uint32_t kAlignCenter = 3;

int64_t RoundDiv(int64_t value, int64_t divisor)
{
    return (value + divisor / 2) / divisor;
}

// The extent of an encoded length within `available`; unset or unknown units (and em
// without a font size) keep the available extent.
int64_t Extent(uint32_t length, int64_t available, int32_t fontSize)
{
    if (length == kStyleUnsetWord)
        return available;
    const int64_t value = length & kLengthValueMask;
    switch (length >> 28) {
    case kUnitPixel:
        return RoundDiv(value, 1000);
    case kUnitPercent:
        return value * available / 100000;
    case kUnitPoint:
        return RoundDiv(value, 750);
    case kUnitEm:
    case kUnitRem:
        return fontSize ? std::llround(value / 1000.0 * fontSize) : available;
    default:
        return available;
    }
}

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
}

} // namespace

void CalcItemSpace(int mode, RECT_t *out, const XStyleDesc *d)
{
    int32_t sides[4];
    for (int s = 0; s < 4; ++s) {
        sides[s] = d->margin[s];
        if (mode >= kSpaceBorder)
            sides[s] += GetBorderSideWidth(d->border[s]);
        if (mode >= kSpacePadding)
            sides[s] += d->padding[s];
    }
    *out = RECT_t{sides[kSideLeft], sides[kSideTop], sides[kSideRight], sides[kSideBottom]};
}

void CalcItemPlace(int mode, BOUND_t *bound, const XStyleDesc *d)
{
    RECT_t space;
    CalcItemSpace(mode, &space, d);
    DeflateBound(bound, &space);
}

void CalcDrawPlace(BOUND_t *out, const BOUND_t *in, const XStyleDesc *d)
{
    *out = *in;
    CalcItemPlace(kSpaceMargin, out, d);
    const int64_t availX = out->width, availY = out->height;
    const int64_t w = Extent(d->width, availX, d->fontSize);
    const int64_t h = Extent(d->height, availY, d->fontSize);
    const uint32_t lx = GetStyleField(d->layoutWord, kLayoutX);
    const uint32_t ly = GetStyleField(d->layoutWord, kLayoutY);
    if (d->width != kStyleUnsetWord) {
        if (lx == kAlignFar)
            out->x = Clamp32(out->x + availX - w);
        else if (lx == kAlignCenter)
            out->x = Clamp32(out->x + (availX - w) / 2);
        out->width = Clamp32(w);
    }
    if (d->height != kStyleUnsetWord) {
        if (ly == kAlignFar)
            out->y = Clamp32(out->y + availY - h);
        else if (ly == kAlignCenter)
            out->y = Clamp32(out->y + (availY - h) / 2);
        out->height = Clamp32(h);
    }
}
