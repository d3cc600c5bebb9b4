#pragma once
// Value-type codes and the 8-byte value shared by script variables, data nodes, row
// grids and item data descriptors, so that a value passes between them unchanged.

#include <cstdint>
#include <cstring>

#include "corekit/systime/systime.h"

class IArchive;
class XRowGrider;
class XRowMap;

// Value-type codes.
constexpr uint16_t kValueInteger = 1; // signed 64-bit integer
constexpr uint16_t kValueText = 2;    // UTF-16 text, terminated
constexpr uint16_t kValueFloater = 3; // double
constexpr uint16_t kValueTime = 4;    // DATETIME_t
constexpr uint16_t kValueBytes = 10;  // byte block: u32 length, then the bytes
constexpr uint16_t kValueText2 = 14;  // second text kind; reported to nodes as kValueText
constexpr uint16_t kValueStream = 17; // reference-counted IArchive
constexpr uint16_t kValueNull = 64;   // no value (variables and nodes only)
constexpr uint16_t kValueTable = 129; // reference-counted XRowGrider
constexpr uint16_t kValueArray = 145; // reference-counted XRowMap (array or map)

// The value word. Which member is live follows from the type code.
union XScriptValue_t {
    int64_t integer;
    double floater;
    DATETIME_t time;
    const char16_t *text;
    const uint8_t *bytes;
    IArchive *stream;
    XRowGrider *table;
    XRowMap *map;
};
static_assert(sizeof(XScriptValue_t) == 8, "the value word is eight bytes");

// Length word of a byte block (u32, stored in native order, read with memcpy).
inline uint32_t GetBlockLength(const uint8_t *block)
{
    uint32_t n = 0;
    std::memcpy(&n, block, sizeof(n));
    return n;
}
