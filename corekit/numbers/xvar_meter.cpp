// Order between two typed values.

#include "corekit/numbers/xvar_meter.h"
#include "corekit/text/strings.h"

namespace {

constexpr int kIncomparable = 2;

template <typename T> int Order(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

// A number as double, or false when the value is no number.
bool AsDouble(const XVarMeter &v, double *out)
{
    if (v.type == kVarInteger)
        *out = static_cast<double>(v.value.integer);
    else if (v.type == kVarFloater)
        *out = v.value.floater;
    else
        return false;
    return true;
}

int CompareWithNumber(const XVarMeter &a, const XVarMeter &b)
{
    if (a.type == kVarInteger && b.type == kVarInteger)
        return Order(a.value.integer, b.value.integer);
    double x, y;
    if (!AsDouble(a, &x) || !AsDouble(b, &y))
        return kIncomparable;
    return Order(x, y);
}

} // namespace

int UnitCompare(const XVarMeter *a, const XVarMeter *b)
{
    if (b->type == kVarNull)
        return a->type == kVarNull ? 0 : 1;
    if (a->type == kVarNull)
        return -1;
    switch (b->type) {
    case kVarInteger:
    case kVarFloater:
        return CompareWithNumber(*a, *b);
    case kVarText:
        if (a->type != kVarText)
            return kIncomparable;
        // The wide Strcmp answers with a code-unit difference; a difference
        // of 2 would read as "cannot compare", so only its sign is passed on.
        return Order(Strcmp(a->value.text, b->value.text), 0);
    case kVarDateTime:
        if (a->type != kVarDateTime)
            return kIncomparable;
        return CompareTime(&a->value.time, &b->value.time);
    default:
        return kIncomparable;
    }
}
