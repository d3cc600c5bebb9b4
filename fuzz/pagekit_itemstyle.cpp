// XItemStyle over arbitrary item style text: declarations with state blocks, formatting,
// the single-key text, one declaration through SetStyle, and resolutions for the states.
// The input is the style text; from its first '=' on, the part before is also tried as a
// SetStyle key and the part after as its value.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "corekit/encoding/encoding.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/item_style.h"

namespace {

std::u16string Wide(const std::string &s)
{
    std::u16string out(s.size() + 1, u'\0');
    out.resize(UStrToWStr(s.c_str(), -1, out.data(), static_cast<uint32_t>(out.size())));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    XItemStyle style;
    style.ParseStyle(text.c_str());
    XString formatted;
    style.GetStyleText(&formatted);

    static const char16_t *const kKeys[] = {
        u"color",  u"margin",  u"border-top",       u"background", u"font",       u"content",
        u"layout", u"opacity", u"border-top-style", u"width",      u"font-family"};
    for (const char16_t *key : kKeys) {
        XString value;
        if (!style.GetStyle(key, &value))
            std::abort(); // every key of the list is known
    }
    const size_t equals = text.find('=');
    if (equals != std::string::npos) {
        const std::u16string key = Wide(text.substr(0, equals));
        const std::u16string value = Wide(text.substr(equals + 1));
        style.SetStyle(key.c_str(), value.c_str());
        style.SetStyle(key.c_str(), nullptr);
    }
    for (uint32_t flags : {0x0u, 0x1u, 0x2u, 0xFu, 0x10u, 0x12u, 0xA0u, 0x10A0u, 0x1000u}) {
        XStyleDesc out;
        InitStyleDesc(&out);
        style.GetStyle(flags, nullptr, &out);
        if (!(out.touchedGroups & kStyleResolved) || out.fontFamily == nullptr)
            std::abort(); // a resolution is always complete
        FreeStyleDescStrings(&out);
        style.IsSolidRender(flags);
    }
    style.GetStyle(3, kStyleCreate | kStyleResolve | kStyleComplete);
    return 0;
}
