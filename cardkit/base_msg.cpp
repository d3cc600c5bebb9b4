#include "cardkit/base_msg.h"

#include <cstring>

namespace cardkit {

namespace {

// Text layout in 16-bit units: offset, length.
struct FieldSpan
{
    size_t offset;
    size_t length;
};
constexpr FieldSpan kName = {0, 15};
constexpr FieldSpan kSex = {15, 1};
constexpr FieldSpan kNation = {16, 2};
constexpr FieldSpan kBorn = {18, 8};
constexpr FieldSpan kAddress = {26, 35};
constexpr FieldSpan kCardNo = {61, 18};
constexpr FieldSpan kIssuedAt = {79, 15};
constexpr FieldSpan kValidStart = {94, 8};
constexpr FieldSpan kValidEnd = {102, 8};

bool IsBlank(char16_t c)
{
    return c <= 32;
}

std::u16string Field(const uint8_t *text, FieldSpan span)
{
    return DecodeField(text + 2 * span.offset, span.length);
}

} // namespace

std::u16string DecodeField(const uint8_t *bytes, size_t count)
{
    std::u16string field(count, u'\0');
    for (size_t i = 0; i < count; ++i)
        field[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    while (!field.empty() && IsBlank(field.back()))
        field.pop_back();
    return field;
}

void DecodeBaseText(const uint8_t *text, size_t size, BaseMsg_t *out)
{
    uint8_t padded[kBaseTextBytes] = {};
    std::memcpy(padded, text, size < kBaseTextBytes ? size : kBaseTextBytes);
    out->name = Field(padded, kName);
    size_t lead = 0;
    while (lead < out->name.size() && IsBlank(out->name[lead]))
        ++lead;
    out->name.erase(0, lead);
    out->sex = static_cast<char16_t>(padded[2 * kSex.offset] | padded[2 * kSex.offset + 1] << 8);
    const std::u16string nation = Field(padded, kNation);
    out->nation_code = 0;
    if (nation.size() == 2 && nation[0] >= u'0' && nation[0] <= u'9' && nation[1] >= u'0' &&
        nation[1] <= u'9')
        out->nation_code = (nation[0] - u'0') * 10 + (nation[1] - u'0');
    out->born = Field(padded, kBorn);
    out->address = Field(padded, kAddress);
    out->card_no = Field(padded, kCardNo);
    out->issued_at = Field(padded, kIssuedAt);
    out->valid_start = Field(padded, kValidStart);
    out->valid_end = Field(padded, kValidEnd);
}

bool ParseBaseMsg(const uint8_t *data, size_t size, BaseMsg_t *out)
{
    if (size < 4)
        return false;
    const size_t text_length = size_t{data[0]} << 8 | data[1];
    const size_t photo_length = size_t{data[2]} << 8 | data[3];
    if (text_length > kBaseTextBytes || photo_length > kPhotoBytes)
        return false;
    if (size - 4 < text_length + photo_length)
        return false;
    DecodeBaseText(data + 4, text_length, out);
    out->photo.fill(0);
    std::memcpy(out->photo.data(), data + 4 + text_length, photo_length);
    out->photo_length = photo_length;
    return true;
}

int ParseNewAddress(const uint8_t *data, size_t size,
                    std::array<std::u16string, kNewAddressEntries> *out)
{
    if (size > kNewAddressEntries * kNewAddressEntryBytes)
        return -1;
    int filled = 0;
    for (size_t i = 0; i < kNewAddressEntries; ++i) {
        uint8_t entry[kNewAddressEntryBytes] = {};
        const size_t start = i * kNewAddressEntryBytes;
        if (start < size) {
            const size_t n =
                size - start < kNewAddressEntryBytes ? size - start : kNewAddressEntryBytes;
            std::memcpy(entry, data + start, n);
        }
        (*out)[i] = DecodeField(entry, kNewAddressEntryBytes / 2);
        if (!(*out)[i].empty())
            ++filled;
    }
    return filled;
}

} // namespace cardkit
