#pragma once
// Typed value record passed between the typed formatter and scanner, the sorter
// and the grid, and the order between two such values.

#include <cstdint>

#include "corekit/corekit_export.h"
#include "corekit/systime/systime.h"

// Type codes of XVarMeter::type. Producers treat 0, and any code above 4 other
// than kVarNull, as no value.
constexpr uint32_t kVarInteger = 1;  // value.integer
constexpr uint32_t kVarText = 2;     // value.text, owned elsewhere
constexpr uint32_t kVarFloater = 3;  // value.floater
constexpr uint32_t kVarDateTime = 4; // value.time
constexpr uint32_t kVarNull = 64;    // nothing; producers set the value to zero

// The eight value bytes, read according to the type code.
union XVarValue {
    int64_t integer;
    const char16_t *text;
    double floater;
    DATETIME_t time;
};
static_assert(sizeof(XVarValue) == 8, "a typed value holds eight bytes");

struct XVarMeter
{
    uint32_t type;  // one of the kVar* codes
    uint32_t count; // auxiliary word: text length from the typed scanner, merged
                    // item count from the sorter; number conversions leave it alone
    XVarValue value;
};

// Orders a against b: -1, 0 or 1, or 2 when the two cannot be compared.
// Null is below every value and equal to null. Integers and floaters compare
// numerically with each other (the integer converted to double); texts compare
// by UTF-16 code units (a null text pointer below any text); date-times with
// CompareTime. Any other pairing, or a type code outside the table, gives 2.
COREKIT_EXPORT int UnitCompare(const XVarMeter *a, const XVarMeter *b);
