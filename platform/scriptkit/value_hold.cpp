#include "platform/scriptkit/value_hold.h"

#include <cmath>
#include <cstring>

#include "corekit/archive/iarchive.h"
#include "corekit/memory/memory.h"
#include "platform/scriptkit/xrow_grider.h"
#include "platform/scriptkit/xrow_map.h"

namespace scriptkit {

uint32_t TextLength(const char16_t *text)
{
    uint32_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}

char16_t *CopyText(const char16_t *text, uint32_t n)
{
    char16_t *copy = StrAlloc(n + 1);
    if (n)
        std::memcpy(copy, text, n * sizeof(char16_t));
    copy[n] = 0;
    return copy;
}

uint8_t *MakeBlock(const void *data, uint32_t n)
{
    auto *block = static_cast<uint8_t *>(MemAlloc(n + 4));
    std::memcpy(block, &n, 4);
    if (n)
        std::memcpy(block + 4, data, n);
    return block;
}

uint8_t *CopyBlock(const uint8_t *block)
{
    return MakeBlock(block + 4, GetBlockLength(block));
}

void AddValueRef(uint16_t type, const XScriptValue_t &value)
{
    if (type == kValueStream && value.stream)
        value.stream->AddRef();
    else if (type == kValueTable && value.table)
        value.table->AddRef();
    else if (type == kValueArray && value.map)
        value.map->AddRef();
}

void DropValue(uint16_t type, XScriptValue_t &value, bool owns)
{
    switch (type) {
    case kValueText:
    case kValueText2:
        if (owns)
            MemFree(const_cast<char16_t *>(value.text));
        break;
    case kValueBytes:
        if (owns)
            MemFree(const_cast<uint8_t *>(value.bytes));
        break;
    case kValueStream:
        if (value.stream)
            value.stream->Release();
        break;
    case kValueTable:
        if (value.table)
            value.table->Release();
        break;
    case kValueArray:
        if (value.map)
            value.map->Release();
        break;
    default:
        break;
    }
    value.integer = 0;
}

void CopyValue(uint16_t type, const XScriptValue_t &src, XScriptValue_t &dst, uint32_t *length)
{
    *length = 0;
    dst = src;
    switch (type) {
    case kValueText:
    case kValueText2:
        if (src.text) {
            *length = TextLength(src.text);
            dst.text = CopyText(src.text, *length);
        }
        break;
    case kValueBytes:
        if (src.bytes) {
            *length = GetBlockLength(src.bytes);
            dst.bytes = CopyBlock(src.bytes);
        }
        break;
    default:
        AddValueRef(type, dst);
        break;
    }
}

int64_t FloaterToInteger(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 9223372036854775807.0)
        return INT64_MAX;
    if (x <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(x);
}

} // namespace scriptkit
