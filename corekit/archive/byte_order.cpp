#include "corekit/archive/byte_order.h"

#include <algorithm>
#include <cstring>

unsigned int GetEndianMode()
{
    // The probe holds the bytes 01 00: 0x0001 on a little-endian host, 0x0100 otherwise.
    static const uint8_t probe[2] = {1, 0};
    uint16_t value = 0;
    std::memcpy(&value, probe, sizeof(value));
    return value == 0x0100 ? 1 : 0;
}

void SwitchInteger(void *p, unsigned int width)
{
    auto *bytes = static_cast<uint8_t *>(p);
    if (bytes != nullptr && width > 1)
        std::reverse(bytes, bytes + width);
}

void SwitchInteger(void *p, unsigned int width, unsigned int count)
{
    auto *bytes = static_cast<uint8_t *>(p);
    for (unsigned int i = 0; bytes != nullptr && i < count; ++i)
        SwitchInteger(bytes + size_t{i} * width, width);
}

void SwitchInteger(void *dst, const void *src, unsigned int width)
{
    SwitchInteger(dst, src, width, 1);
}

void SwitchInteger(void *dst, const void *src, unsigned int width, unsigned int count)
{
    if (dst == nullptr || src == nullptr)
        return;
    auto *out = static_cast<uint8_t *>(dst);
    const auto *in = static_cast<const uint8_t *>(src);
    if (out == in) {
        SwitchInteger(out, width, count);
        return;
    }
    for (size_t i = 0; i < count; ++i, out += width, in += width)
        std::reverse_copy(in, in + width, out);
}

void EndianInteger(unsigned int swap, void *p, unsigned int width)
{
    if (swap != 0)
        SwitchInteger(p, width);
}

void EndianInteger(unsigned int swap, void *p, unsigned int width, unsigned int count)
{
    if (swap != 0)
        SwitchInteger(p, width, count);
}

void EndianInteger(unsigned int swap, void *dst, const void *src, unsigned int width)
{
    EndianInteger(swap, dst, src, width, 1);
}

void EndianInteger(unsigned int swap, void *dst, const void *src, unsigned int width,
                   unsigned int count)
{
    if (swap != 0) {
        SwitchInteger(dst, src, width, count);
    } else if (dst != nullptr && src != nullptr && dst != src) {
        std::memcpy(dst, src, size_t{width} * count);
    }
}
