#include "platform/panekit/paint/gradient_desc.h"

#include <cstring>

#include "corekit/memory/memory.h"

static_assert(sizeof(XGradientDesc) == 12 && sizeof(XGradientStop) == 8,
              "the stops follow the header without padding");

namespace {

uint32_t BlockSize(uint32_t count)
{
    return static_cast<uint32_t>(sizeof(XGradientDesc) + count * sizeof(XGradientStop));
}

} // namespace

XGradientDesc *MallocGradientDesc(uint32_t count)
{
    if (count == 0 || count > XGradientDesc::kMaxStops)
        return nullptr;
    auto *desc = static_cast<XGradientDesc *>(MemAlloc(BlockSize(count)));
    if (!desc)
        return nullptr;
    desc->shape = XGradientDesc::kLinear;
    desc->angle = 0;
    desc->count = count;
    XGradientStop *stops = desc->GetStops();
    for (uint32_t i = 0; i < count; ++i)
        stops[i] = XGradientStop{0, 0};
    return desc;
}

XGradientDesc *CloneGradientDesc(const XGradientDesc *desc)
{
    if (!desc)
        return nullptr;
    XGradientDesc *copy = MallocGradientDesc(desc->count);
    if (copy)
        std::memcpy(copy, desc, BlockSize(desc->count));
    return copy;
}
