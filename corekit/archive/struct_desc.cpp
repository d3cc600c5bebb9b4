#include "corekit/archive/struct_desc.h"

#include <algorithm>
#include <cstring>

#include "corekit/archive/byte_order.h"

namespace {

// Document bytes of one field.
uint32_t DocBytes(const XStructDesc &f)
{
    switch (f.type) {
    case kFieldInteger:
        return f.size < 4 ? 2 : f.size < 8 ? 4 : 8;
    case kFieldText:
        return 2u * f.size;
    case kFieldFloater:
    case kFieldDateTime:
        return 8;
    case kFieldTime:
        return 16;
    default:
        return f.size;
    }
}

// Memory bytes of one field.
uint32_t MemBytes(const XStructDesc &f)
{
    return f.type == kFieldText ? 2u * f.size : f.size;
}

// The integer of `bytes` bytes at p in host order, keeping its low eight bytes.
uint64_t LoadHost(const uint8_t *p, uint32_t bytes)
{
    uint8_t le[8] = {};
    const uint32_t n = std::min(bytes, 8u);
    // Little-endian hosts keep the low bytes first, big-endian ones last.
    const uint8_t *low = GetEndianMode() == 0 ? p : p + bytes - n;
    EndianInteger(GetEndianMode(), le, low, n);
    uint64_t v = 0;
    for (uint32_t i = 0; i < 8; ++i)
        v |= uint64_t{le[i]} << (8 * i);
    return v;
}

// Stores v into `bytes` bytes at p in host order (cut or zero-extended).
void StoreHost(uint8_t *p, uint32_t bytes, uint64_t v)
{
    uint8_t le[8];
    for (uint32_t i = 0; i < 8; ++i)
        le[i] = static_cast<uint8_t>(v >> (8 * i));
    std::memset(p, 0, bytes);
    const uint32_t n = std::min(bytes, 8u);
    uint8_t *low = GetEndianMode() == 0 ? p : p + bytes - n;
    EndianInteger(GetEndianMode(), low, le, n);
}

uint64_t LoadDoc(const uint8_t *p, uint32_t bytes)
{
    uint64_t v = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        v |= uint64_t{p[i]} << (8 * i);
    return v;
}

void StoreDoc(uint8_t *p, uint32_t bytes, uint64_t v)
{
    for (uint32_t i = 0; i < bytes; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Width of the units a field's value is made of (for byte order), 0 for raw bytes.
uint32_t UnitWidth(uint16_t type)
{
    return type == kFieldText || type == kFieldTime ? 2 : type == kFieldFloater ? 8 : 0;
}

// Copies the value of a non-integer field between memory and document: the common bytes,
// swapped unit by unit when the host is big-endian, the rest of `to` zero-filled.
void CopyValue(uint8_t *to, uint32_t toBytes, const uint8_t *from, uint32_t fromBytes,
               uint16_t type)
{
    const uint32_t n = std::min(toBytes, fromBytes);
    std::memset(to, 0, toBytes);
    std::memcpy(to, from, n);
    const uint32_t unit = UnitWidth(type);
    if (GetEndianMode() == 0)
        return;
    if (unit != 0)
        SwitchInteger(to, unit, n / unit);
    else if (type == kFieldDateTime && n >= 2)
        SwitchInteger(to, 2);
}

} // namespace

unsigned int GetStructDocSize(const XStructDesc *desc, unsigned int count)
{
    unsigned int total = 0;
    for (unsigned int i = 0; desc != nullptr && i < count; ++i)
        total += DocBytes(desc[i]);
    return total;
}

unsigned int GetStructMemSize(const XStructDesc *desc, unsigned int count)
{
    unsigned int total = 0;
    for (unsigned int i = 0; desc != nullptr && i < count; ++i)
        total += MemBytes(desc[i]);
    return total;
}

unsigned int SaveStructDesc(void *doc, const void *rec, const XStructDesc *desc, unsigned int count)
{
    if (doc == nullptr || rec == nullptr || desc == nullptr)
        return 0;
    auto *out = static_cast<uint8_t *>(doc);
    const auto *in = static_cast<const uint8_t *>(rec);
    unsigned int written = 0;
    for (unsigned int i = 0; i < count; ++i) {
        const uint32_t docBytes = DocBytes(desc[i]);
        const uint32_t memBytes = MemBytes(desc[i]);
        if (desc[i].type == kFieldInteger)
            StoreDoc(out, docBytes, LoadHost(in, memBytes));
        else
            CopyValue(out, docBytes, in, memBytes, desc[i].type);
        out += docBytes;
        in += memBytes;
        written += docBytes;
    }
    return written;
}

unsigned int ReadStructDesc(void *rec, const void *doc, const XStructDesc *desc, unsigned int count)
{
    if (rec == nullptr || doc == nullptr || desc == nullptr)
        return 0;
    auto *out = static_cast<uint8_t *>(rec);
    const auto *in = static_cast<const uint8_t *>(doc);
    unsigned int filled = 0;
    for (unsigned int i = 0; i < count; ++i) {
        const uint32_t docBytes = DocBytes(desc[i]);
        const uint32_t memBytes = MemBytes(desc[i]);
        if (desc[i].type == kFieldInteger)
            StoreHost(out, memBytes, LoadDoc(in, docBytes));
        else
            CopyValue(out, memBytes, in, docBytes, desc[i].type);
        out += memBytes;
        in += docBytes;
        filled += memBytes;
    }
    return filled;
}

unsigned int ReadStructDesc(void *rec, const void *doc, uint32_t docSize, const XStructDesc *desc,
                            unsigned int count)
{
    if (desc == nullptr)
        return 0;
    uint64_t need = 0; // 64-bit: a long table of wide fields must not wrap past the check
    for (unsigned int i = 0; i < count; ++i)
        need += DocBytes(desc[i]);
    if (need > docSize)
        return 0;
    return ReadStructDesc(rec, doc, desc, count);
}

int ReadStructDesc(void *rec, const XStructDesc *desc, unsigned int count)
{
    if (rec == nullptr || desc == nullptr || GetEndianMode() == 0)
        return 1;
    auto *p = static_cast<uint8_t *>(rec);
    for (unsigned int i = 0; i < count; p += MemBytes(desc[i]), ++i) {
        const XStructDesc &f = desc[i];
        if (f.type == kFieldInteger && (f.size == 2 || f.size == 4 || f.size == 8))
            SwitchInteger(p, f.size);
        else if (f.type != kFieldInteger && UnitWidth(f.type) != 0)
            SwitchInteger(p, UnitWidth(f.type), MemBytes(f) / UnitWidth(f.type));
        else if (f.type == kFieldDateTime && f.size >= 2)
            SwitchInteger(p, 2);
    }
    return 1;
}
