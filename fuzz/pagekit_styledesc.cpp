// ParseStyleDesc over arbitrary text; then what FormatStyleDesc writes of the result must
// read back to the same record and write the same text again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "corekit/encoding/encoding.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/gradient_desc.h"

namespace {

std::string Format(XStyleDesc *desc)
{
    XString formatted;
    FormatStyleDesc(desc, &formatted);
    if (!formatted.GetString())
        return {};
    const unsigned n = WStrToUStr(formatted.GetString(), -1, nullptr, 0);
    std::string text(n + 1, '\0');
    WStrToUStr(formatted.GetString(), -1, text.data(), n + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool SameString(const char16_t *a, const char16_t *b)
{
    if (!a || !b)
        return a == b;
    return std::u16string_view(a) == std::u16string_view(b);
}

bool SameGradientStops(const XGradientDesc *a, const XGradientDesc *b)
{
    if (!a || !b)
        return a == b;
    if (a->shape != b->shape || a->count != b->count)
        return false;
    for (uint32_t i = 0; i < a->count; ++i) {
        if (a->GetStops()[i].color != b->GetStops()[i].color)
            return false;
    }
    return true;
}

// The background as written: nothing without a kind, the kind alone for "none".
bool SameBackground(const XStyleDesc &a, const XStyleDesc &b)
{
    const uint32_t kind = GetStyleField(a.backWord, kBackKind);
    if (kind == kBackKind.mask || kind == kBackNone)
        return GetStyleField(b.backWord, kBackKind) == kind;
    if (a.backWord != b.backWord || a.backColor != b.backColor)
        return false;
    if (kind == kBackGradient)
        return SameGradientStops(a.backGradient, b.backGradient);
    return !IsNamedBackKind(kind) || SameString(a.backName, b.backName);
}

// A side with style none is written "none", which draws nothing whatever its width.
bool SameBorders(const XStyleDesc &a, const XStyleDesc &b)
{
    for (int s = 0; s < 4; ++s) {
        const bool none = (a.border[s] & 0xF) == kBorderNone;
        if (none ? (b.border[s] & 0xF) != kBorderNone : a.border[s] != b.border[s])
            return false;
    }
    return true;
}

// The fields the style text carries exactly. Opacity is written with two decimals and
// gradient angles and positions as decimals, so those are left to the text comparison;
// the width and colour of a side of style none and the disabled and read-only nibble
// are not written at all.
bool SameWritten(const XStyleDesc &a, const XStyleDesc &b)
{
    auto same = [](const auto &x, const auto &y) { return std::memcmp(&x, &y, sizeof(x)) == 0; };
    return same(a.margin, b.margin) && same(a.padding, b.padding) &&
           same(a.layoutWord, b.layoutWord) && same(a.width, b.width) && same(a.height, b.height) &&
           same(a.radius, b.radius) && same(a.fontSize, b.fontSize) &&
           same(a.fontFlags, b.fontFlags) && same(a.textColor, b.textColor) &&
           GetStyleField(a.stateWord, kVisibility) == GetStyleField(b.stateWord, kVisibility) &&
           (a.opacity < 0) == (b.opacity < 0) && SameString(a.fontFamily, b.fontFamily) &&
           SameBorders(a, b) && SameBackground(a, b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    XStyleDesc desc;
    InitStyleDesc(&desc);
    const unsigned consumed = ParseStyleDesc(&desc, text.c_str());
    if (consumed > size)
        std::abort();
    const std::string written = Format(&desc);
    XStyleDesc reread;
    InitStyleDesc(&reread);
    if (ParseStyleDesc(&reread, written.c_str()) != written.size())
        std::abort();
    if (!SameWritten(desc, reread) || Format(&reread) != written)
        std::abort();
    FreeStyleDescStrings(&reread);
    FreeStyleDescStrings(&desc);
    return 0;
}
