#include "style_util.h"

#include <cstring>

#include "corekit/encoding/encoding.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/gradient_desc.h"

ScopedStyle::ScopedStyle(const char *text)
{
    InitStyleDesc(this);
    ParseStyleDesc(this, text);
}

std::string Utf8(const char16_t *s)
{
    if (!s)
        return "<null>";
    const unsigned n = WStrToUStr(s, -1, nullptr, 0);
    std::string out(n, '\0');
    WStrToUStr(s, -1, out.data(), n);
    if (!out.empty() && out.back() == '\0')
        out.pop_back();
    return out;
}

std::string FormatStyle(XStyleDesc *desc)
{
    XString text;
    FormatStyleDesc(desc, &text);
    return Utf8(text.GetString() ? text.GetString() : u"");
}

namespace {

bool SameString(const char16_t *a, const char16_t *b)
{
    if (!a || !b)
        return a == b;
    return std::u16string_view(a) == std::u16string_view(b);
}

bool SameGradient(const XGradientDesc *a, const XGradientDesc *b)
{
    if (!a || !b)
        return a == b;
    if (a->shape != b->shape || a->angle != b->angle || a->count != b->count)
        return false;
    for (uint32_t i = 0; i < a->count; ++i) {
        if (a->GetStops()[i].color != b->GetStops()[i].color ||
            a->GetStops()[i].position != b->GetStops()[i].position)
            return false;
    }
    return true;
}

} // namespace

bool SameStyle(const XStyleDesc &a, const XStyleDesc &b, std::string *why)
{
#define SAME(field)                                                                                \
    do {                                                                                           \
        if (std::memcmp(&a.field, &b.field, sizeof(a.field)) != 0) {                               \
            *why = #field;                                                                         \
            return false;                                                                          \
        }                                                                                          \
    } while (false)
    SAME(margin);
    SAME(padding);
    SAME(layoutWord);
    SAME(stateWord);
    SAME(width);
    SAME(height);
    SAME(opacity);
    SAME(backWord);
    SAME(backColor);
    SAME(border);
    SAME(radius);
    SAME(borderColor);
    SAME(fontSize);
    SAME(fontFlags);
    SAME(textColor);
#undef SAME
    if (!SameString(a.fontFamily, b.fontFamily)) {
        *why = "fontFamily";
        return false;
    }
    const uint32_t kind = GetStyleField(a.backWord, kBackKind);
    const bool same = kind == kBackGradient ? SameGradient(a.backGradient, b.backGradient)
                                            : SameString(a.backName, b.backName);
    if (!same)
        *why = "backSource";
    return same;
}
