#pragma once
// The values that cross the control's dispatch interface: nothing, a 16-bit
// or 32-bit integer, or UTF-16 text.
#include <cstdint>
#include <optional>
#include <string>

#include "cardkit/cardkit_export.h"

struct CARDKIT_EXPORT CardVariant
{
    enum class Type { Empty, Short, Long, Text };
    Type type = Type::Empty;
    int32_t number = 0;
    std::u16string text;

    static CardVariant Short(int16_t value) { return {Type::Short, value, {}}; }
    static CardVariant Long(int32_t value) { return {Type::Long, value, {}}; }
    static CardVariant Text(std::u16string value) { return {Type::Text, 0, std::move(value)}; }

    // An integer from a number, or from text of decimal digits with an
    // optional sign; nothing for any other text or a value out of range.
    std::optional<int32_t> ToLong() const;
    std::optional<int16_t> ToShort() const;
    // Text as is, a number in decimal, empty for nothing.
    std::u16string ToText() const;
};
