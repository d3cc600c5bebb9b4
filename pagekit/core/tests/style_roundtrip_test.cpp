// Property: what FormatStyleDesc writes, ParseStyleDesc reads back to an equal record,
// for random descriptors over every field the style text carries.
#include <gtest/gtest.h>

#include <random>

#include "corekit/memory/memory.h"
#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/gradient_desc.h"
#include "style_util.h"

namespace {

class RandomStyle
{
public:
    explicit RandomStyle(uint32_t seed) : m_rng(seed) {}

    void Fill(XStyleDesc *d)
    {
        InitStyleDesc(d);
        d->layoutWord = Layout();
        d->stateWord = SetStyleField(kStyleUnsetWord, kVisibility, Pick<uint32_t>({0, 1, 15}));
        d->width = Length();
        d->height = Length();
        d->opacity = Chance(2) ? -1 : Int(0, 100) * 100;
        FillFont(d);
        FillBorder(d);
        for (uint8_t &r : d->radius)
            r = Chance(3) ? kStyleUnsetRadius : static_cast<uint8_t>(Int(0, 250));
        FillSpaces(d->margin);
        FillSpaces(d->padding);
        FillBackground(d);
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(int n) { return Int(0, n - 1) == 0; }
    template <typename T> T Pick(std::initializer_list<T> values)
    {
        return values.begin()[Int(0, static_cast<int>(values.size()) - 1)];
    }
    uint32_t Color()
    {
        return Chance(6) ? kStyleUnsetWord : static_cast<uint32_t>(Int(0, 0xFFFFFF));
    }
    uint32_t SetColor() { return static_cast<uint32_t>(Int(0, 0xFFFFFF)); }
    char16_t *Name()
    {
        return StrAlloc(
            Pick<const char16_t *>({u"宋体", u"Noto Sans", u"a;b}c", u"it's", u"x", u"图/片.png"}));
    }

    uint32_t Layout()
    {
        uint32_t w = kStyleUnsetWord;
        w = SetStyleField(w, kTextAlign, Pick<uint32_t>({0, 1, 2, 3}));
        w = SetStyleField(w, kVerticalAlign, Pick<uint32_t>({0, 1, 2, 3}));
        w = SetStyleField(w, kWrapMode, Pick<uint32_t>({0, 1, 2, 3}));
        w = SetStyleField(w, kPosition, Pick<uint32_t>({0, 1, 3}));
        w = SetStyleField(w, kOverflowX, Pick<uint32_t>({0, 1, 2, 4, 15}));
        w = SetStyleField(w, kOverflowY, Pick<uint32_t>({0, 1, 2, 4, 15}));
        w = SetStyleField(w, kLayoutX, Pick<uint32_t>({1, 2, 3, 4, 15}));
        return SetStyleField(w, kLayoutY, Pick<uint32_t>({1, 2, 3, 4, 15}));
    }

    uint32_t Length()
    {
        if (Chance(2))
            return kStyleUnsetWord;
        return static_cast<uint32_t>(Int(0, 65536000)) | (static_cast<uint32_t>(Int(0, 4)) << 28);
    }

    void FillFont(XStyleDesc *d)
    {
        d->fontSize = Chance(2) ? 0 : Int(1, 200);
        d->fontFlags = static_cast<uint32_t>(Int(0, 15));
        d->textColor = Color();
        if (Chance(2))
            d->fontFamily = Name();
    }

    // Sides: unset, none, or width/style with a colour. Sides that are unset or none keep
    // the initial colour, which is what their text carries.
    void FillBorder(XStyleDesc *d)
    {
        const int mode = Int(0, 3);
        for (int s = 0; s < 4; ++s) {
            if (mode == 0 || (s > 0 && mode == 1)) { // all four alike
                d->border[s] = d->border[0];
                d->borderColor[s] = mode == 0 || Chance(2) ? d->borderColor[0] : Color();
                continue;
            }
            const int kind = Int(0, 5);
            if (kind == 0)
                continue;
            if (kind == 1) {
                d->border[s] = 0xF0;
                continue;
            }
            const int style = Pick<int>({1, 2, 3, 10, 11, 15});
            const int width = style == 15 ? Int(0, 14) : Pick<int>({Int(0, 14), 15});
            d->border[s] = static_cast<uint8_t>(width << 4 | style);
            d->borderColor[s] = Color();
        }
        if (mode == 0 && Chance(2)) {
            d->border[0] = d->border[1] = d->border[2] = d->border[3] = 0x21;
            for (uint32_t &c : d->borderColor)
                c = 0x123456;
        }
        if ((d->border[0] & 0xF) == 0 || d->border[0] == kStyleUnsetByte) {
            for (int s = 0; s < 4; ++s) {
                if (d->border[s] == d->border[0])
                    d->borderColor[s] = 0;
            }
        }
    }

    void FillSpaces(int16_t *sides)
    {
        const int density = Int(0, 4);
        for (int s = 0; s < 4; ++s)
            sides[s] =
                Int(0, 3) < density ? static_cast<int16_t>(Int(-32768, 32766)) : kStyleUnsetSpace;
    }

    XGradientDesc *Gradient()
    {
        const uint32_t n = static_cast<uint32_t>(Int(2, 6));
        XGradientDesc *g = MallocGradientDesc(n);
        g->shape = Chance(2) ? XGradientDesc::kLinear : XGradientDesc::kRadial;
        g->angle = g->shape == XGradientDesc::kLinear ? static_cast<float>(Int(-720, 720)) / 2 : 0;
        int at = 0;
        for (uint32_t i = 0; i < n; ++i) {
            at = Int(at, 1000);
            g->GetStops()[i] = XGradientStop{Color(), static_cast<float>(at / 1000.0)};
        }
        return g;
    }

    void FillBackground(XStyleDesc *d)
    {
        const uint32_t kind = Pick<uint32_t>({0xFF, 0, 1, 2, 3, 6, 8, 15});
        if (kind == 0xFF)
            return;
        if (kind == 0) {
            d->backWord = SetStyleField(kStyleUnsetBackground, kBackKind, 0);
            return;
        }
        uint32_t w = SetStyleField(kStyleUnsetBackground, kBackKind, kind);
        w = SetStyleField(w, kBackSize, Pick<uint32_t>({1, 2, 3, 15}));
        w = SetStyleField(w, kBackRepeat, Pick<uint32_t>({0, 1, 2, 3, 15}));
        const uint32_t y = Pick<uint32_t>({0, 1, 2, 15});
        // A lone horizontal "center" reads as vertical, so it is not generated.
        w = SetStyleField(w, kBackPosX,
                          y == 15 ? Pick<uint32_t>({0, 2, 15}) : Pick<uint32_t>({0, 1, 2, 15}));
        d->backWord = SetStyleField(w, kBackPosY, y);
        d->backColor = kind == 1 ? SetColor() : (Chance(2) ? kStyleUnsetWord : SetColor());
        if (kind == kBackGradient)
            d->backGradient = Gradient();
        else if (kind != kBackColor)
            d->backName = Name();
    }

    std::mt19937 m_rng;
};

TEST(StyleRoundTrip, FormattedRandomDescriptorsParseBackEqual)
{
    RandomStyle random(20240611);
    for (int i = 0; i < 3000; ++i) {
        ScopedStyle original;
        FreeStyleDescStrings(&original);
        random.Fill(&original);
        const std::string text = FormatStyle(&original);
        ScopedStyle parsed(text.c_str());
        std::string why;
        ASSERT_TRUE(SameStyle(original, parsed, &why)) << "field " << why << " differs after\n"
                                                       << text;
        // The text is stable: formatting the parsed record gives the same text.
        ASSERT_EQ(text, FormatStyle(&parsed));
    }
}

} // namespace
