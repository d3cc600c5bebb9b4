#include "cardkit/card_variant.h"

#include <limits>

std::optional<int32_t> CardVariant::ToLong() const
{
    if (type == Type::Short || type == Type::Long)
        return number;
    if (type != Type::Text || text.empty())
        return std::nullopt;
    size_t at = 0;
    const bool negative = text[0] == u'-';
    if (text[0] == u'-' || text[0] == u'+')
        at = 1;
    if (at == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < u'0' || text[at] > u'9')
            return std::nullopt;
        value = value * 10 + (text[at] - u'0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(value);
}

std::optional<int16_t> CardVariant::ToShort() const
{
    const auto value = ToLong();
    if (!value || *value < std::numeric_limits<int16_t>::min() ||
        *value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return int16_t(*value);
}

std::u16string CardVariant::ToText() const
{
    if (type == Type::Text)
        return text;
    if (type == Type::Empty)
        return {};
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}
