// Comparison of item values: single values, packed rows, and rows against data nodes.
#include <cstring>

#include "corekit/systime/systime.h"
#include "datakit/item_data_desc.h"
#include "platform/scriptkit/xdata_node.h"

namespace {

constexpr int kCannotCompare = 2;
constexpr uint32_t kUnbounded = 0xFFFFFFFFu;

bool IsTextType(uint16_t type)
{
    return type == kValueText || type == kValueText2;
}

// Bytes an integer of this size is read from.
uint32_t IntegerWidth(uint16_t size)
{
    return size < 4 ? 2 : size < 8 ? 4 : 8;
}

int64_t ReadInteger(const void *p, uint16_t size)
{
    if (size < 4) {
        int16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    if (size < 8) {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    int64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

int Sign(int64_t a, int64_t b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

// Case-sensitive, at most na / nb units each (a text ends at its terminator or its limit).
int CompareText(const char16_t *a, uint32_t na, const char16_t *b, uint32_t nb)
{
    for (uint32_t i = 0;; ++i) {
        char16_t ca = i < na ? a[i] : 0;
        char16_t cb = i < nb ? b[i] : 0;
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

int CompareNulls(bool aNull, bool bNull)
{
    if (aNull && bNull)
        return 0;
    return aNull ? -1 : 1;
}

// Two values of one column. width is the bytes available at a and b (kUnbounded for
// values outside packed rows); text limit is in units.
int CompareValue(uint16_t type, uint16_t size, const void *a, const void *b, uint32_t width)
{
    switch (type) {
    case kValueInteger:
        if (width < IntegerWidth(size))
            return kCannotCompare;
        return Sign(ReadInteger(a, size), ReadInteger(b, size));
    case kValueFloater: {
        if (width < 8)
            return kCannotCompare;
        double x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    case kValueTime: {
        if (width < 8)
            return kCannotCompare;
        DATETIME_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        return CompareTime(&x, &y);
    }
    default:
        break;
    }
    if (!IsTextType(type))
        return kCannotCompare;
    uint32_t units = width == kUnbounded ? kUnbounded : width / 2;
    return CompareText(static_cast<const char16_t *>(a), units, static_cast<const char16_t *>(b),
                       units);
}

bool IsNullAt(const uint8_t *nulls, uint32_t i)
{
    return nulls && nulls[i];
}

// A packed-row value against a node's value of the same column.
int CompareWithNode(const XItemDataDesc *col, const uint8_t *cell, const XDataNode *node)
{
    uint16_t type = IsTextType(col->type) ? kValueText : col->type;
    if (node->type != type)
        return kCannotCompare;
    uint32_t width = SizeOfDesc(col);
    if (type == kValueText) {
        if (!node->value.text)
            return kCannotCompare;
        return CompareText(reinterpret_cast<const char16_t *>(cell), width / 2, node->value.text,
                           kUnbounded);
    }
    if (type == kValueInteger) {
        if (width < IntegerWidth(col->size))
            return kCannotCompare;
        int64_t mine = ReadInteger(cell, col->size);
        int64_t theirs = ReadInteger(&node->value.integer, col->size);
        return Sign(mine, theirs);
    }
    return CompareValue(type, col->size, cell, &node->value, width < 8 ? width : 8);
}

} // namespace

int CompareSuber(const void *first, int firstNull, const void *second, int secondNull,
                 const XItemDataDesc *desc)
{
    if (firstNull || secondNull)
        return CompareNulls(firstNull, secondNull);
    return CompareValue(desc->type, desc->size, first, second, kUnbounded);
}

int CompareSuber(const void *firstRow, const uint8_t *firstNulls, const void *secondRow,
                 const uint8_t *secondNulls, const XItemDataDesc *columns, uint32_t count)
{
    auto *a = static_cast<const uint8_t *>(firstRow);
    auto *b = static_cast<const uint8_t *>(secondRow);
    uint32_t offset = 0;
    const XItemDataDesc *col = columns;
    for (uint32_t i = 0; i < count && col; ++i, col = col->next) {
        uint32_t width = SizeOfDesc(col);
        bool aNull = IsNullAt(firstNulls, i), bNull = IsNullAt(secondNulls, i);
        int r = aNull || bNull ? CompareNulls(aNull, bNull)
                               : CompareValue(col->type, col->size, a + offset, b + offset, width);
        if (r != 0)
            return r;
        offset += width;
    }
    return 0;
}

int CompareSuber(const void *row, const uint8_t *nulls, const XItemDataDesc *columns,
                 const XDataNode *nodes, uint32_t count)
{
    auto *cells = static_cast<const uint8_t *>(row);
    uint32_t offset = 0;
    const XItemDataDesc *col = columns;
    for (uint32_t i = 0; i < count && col; ++i, col = col->next) {
        bool aNull = IsNullAt(nulls, i), bNull = IsNullNode(&nodes[i]) != 0;
        int r = aNull || bNull ? CompareNulls(aNull, bNull)
                               : CompareWithNode(col, cells + offset, &nodes[i]);
        if (r != 0)
            return r;
        offset += SizeOfDesc(col);
    }
    return 0;
}
