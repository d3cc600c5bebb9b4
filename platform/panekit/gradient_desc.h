#pragma once
// Gradient descriptor of a style background: a header followed directly by its stops,
// in one heap block of corekit (released with MemFree).

#include <cstdint>

#include "platform/panekit/panekit_export.h"

struct XGradientStop
{
    uint32_t color; // 0x00BBGGRR
    float position; // 0 ... 1 along the gradient line
};

struct XGradientDesc
{
    static constexpr uint32_t kLinear = 0;
    static constexpr uint32_t kRadial = 1;
    // Most stops one descriptor holds.
    static constexpr uint32_t kMaxStops = 128;

    uint32_t shape; // kLinear or kRadial
    float angle;    // degrees, linear only: 0 towards the top, 90 towards the right
    uint32_t count; // stops following the header

    XGradientStop *GetStops() { return reinterpret_cast<XGradientStop *>(this + 1); }
    const XGradientStop *GetStops() const
    {
        return reinterpret_cast<const XGradientStop *>(this + 1);
    }
};

// A linear descriptor at 0 degrees with `count` stops, all colour 0 at position 0.
// Null when count is 0 or above kMaxStops.
PANEKIT_EXPORT XGradientDesc *MallocGradientDesc(uint32_t count);
// A copy in a new block; null for null.
PANEKIT_EXPORT XGradientDesc *CloneGradientDesc(const XGradientDesc *desc);
