#include <gtest/gtest.h>

#include <cstring>

#include "pagekit/core/style_text.h"
#include "platform/panekit/paint/gradient_desc.h"
#include "style_util.h"

namespace {

const int16_t kU = kStyleUnsetSpace;

struct SpaceCase
{
    const char *text;
    int16_t left, top, right, bottom;
};

TEST(ParseStyleDesc, MarginLengthsAndUnits)
{
    const SpaceCase cases[] = {
        {"margin:5;", kU, kU, kU, kU}, // unit-less before ';' is refused
        {"margin:5px;", 5, 5, 5, 5},
        {"margin:5 ;", 5, 5, 5, 5}, // unit-less before a blank
        {"margin:5", 5, 5, 5, 5},   // unit-less at the end of the text
        {"margin:5}", kU, kU, kU, kU},
        {"margin:1px 2px;", 2, 1, 2, 1},
        {"margin:1px 2px 3px;", 2, 1, 2, 3},
        {"margin:1px 2px 3px 4px;", 4, 1, 2, 3},
        {"margin:1px 2px 3px 4px 5px;", kU, kU, kU, kU},
        {"margin:1px 2;", kU, kU, kU, kU}, // a malformed item refuses the list
        {"margin:3pt;", 4, 4, 4, 4},       // 3 / 0.75
        {"margin:1.5em;", 24, 24, 24, 24},
        {"MARGIN:2REM;", 32, 32, 32, 32},
        {"margin:2.5px;", 3, 3, 3, 3},
        {"margin:-7px;", -7, -7, -7, -7},
        {"margin:10%;", kU, kU, kU, kU},
        {"margin:auto 4px;", 4, kU, 4, kU},
        {"margin:32766px;", 32766, 32766, 32766, 32766},
        {"margin:32767px;", kU, kU, kU, kU}, // the unset marker is no length
        {"margin:-32769px;", kU, kU, kU, kU},
        {"margin:99999999999999999999px;", kU, kU, kU, kU},
        {"margin-top:3px;margin-left:4px", 4, 3, kU, kU},
        {"padding:1px;margin;", kU, kU, kU, kU},
        {"margin:9px;margin;", kU, kU, kU, kU},
        {"margin:9px;margin-right;", 9, 9, kU, 9},
    };
    for (const SpaceCase &c : cases) {
        ScopedStyle s(c.text);
        EXPECT_EQ(c.left, s.margin[kSideLeft]) << c.text;
        EXPECT_EQ(c.top, s.margin[kSideTop]) << c.text;
        EXPECT_EQ(c.right, s.margin[kSideRight]) << c.text;
        EXPECT_EQ(c.bottom, s.margin[kSideBottom]) << c.text;
    }
    ScopedStyle p("padding:1px 2px 3px 4px");
    EXPECT_EQ(4, p.padding[kSideLeft]);
    EXPECT_EQ(3, p.padding[kSideBottom]);
    EXPECT_EQ(kGroupBox, p.touchedGroups);
}

TEST(ParseStyleDesc, BordersAndRadii)
{
    struct Case
    {
        const char *text;
        uint8_t left, top, right, bottom;
        uint32_t colorTop;
    };
    const Case cases[] = {
        {"border-width:20px;", 0xEF, 0xEF, 0xEF, 0xEF, 0},
        {"border:1px solid red;", 0x11, 0x11, 0x11, 0x11, 0x0000FF},
        {"border:solid;", 0xF1, 0xF1, 0xF1, 0xF1, 0},
        {"border:none;", 0xF0, 0xF0, 0xF0, 0xF0, 0},
        {"border:2px dashed none;", 0x23, 0x23, 0x23, 0x23, 0xFFFFFFFF},
        {"border:1px solid red;border;", 0xFF, 0xFF, 0xFF, 0xFF, 0xFFFFFFFF},
        {"border-top:3px inset #010203;", 0xFF, 0x3A, 0xFF, 0xFF, 0x030201},
        {"border-style:solid dotted;", 0xF2, 0xF1, 0xF2, 0xF1, 0},
        {"border:1px solid;border-width;", 0xF1, 0xF1, 0xF1, 0xF1, 0},
        {"border:1px solid;border-left-style:outset;", 0x1B, 0x11, 0x11, 0x11, 0},
        {"border-color:red blue;", 0xFF, 0xFF, 0xFF, 0xFF, 0x0000FF},
        {"border:bogus;", 0xFF, 0xFF, 0xFF, 0xFF, 0},
        {"border:-1px solid;", 0xFF, 0xFF, 0xFF, 0xFF, 0},
    };
    for (const Case &c : cases) {
        ScopedStyle s(c.text);
        EXPECT_EQ(c.left, s.border[kSideLeft]) << c.text;
        EXPECT_EQ(c.top, s.border[kSideTop]) << c.text;
        EXPECT_EQ(c.right, s.border[kSideRight]) << c.text;
        EXPECT_EQ(c.bottom, s.border[kSideBottom]) << c.text;
        EXPECT_EQ(c.colorTop, s.borderColor[kSideTop]) << c.text;
    }
    ScopedStyle r("border-radius:300px;");
    for (uint8_t v : r.radius)
        EXPECT_EQ(250, v);
    ScopedStyle r2("border-radius:1px 2px 3px;");
    EXPECT_EQ(1, r2.radius[kCornerTopLeft]);
    EXPECT_EQ(2, r2.radius[kCornerTopRight]);
    EXPECT_EQ(2, r2.radius[kCornerBottomLeft]);
    EXPECT_EQ(3, r2.radius[kCornerBottomRight]);
    ScopedStyle r3("border-radius:4px;border-top-right-radius;");
    EXPECT_EQ(255, r3.radius[kCornerTopRight]);
    EXPECT_EQ(4, r3.radius[kCornerBottomLeft]);
}

TEST(ParseStyleDesc, LayoutWords)
{
    struct Case
    {
        const char *text;
        uint32_t layoutWord;
    };
    const Case cases[] = {
        {"layout:extend extend;", 0xF44FFFFF},
        {"layout:center;", 0xFF3FFFFF},
        {"layout:top bottom;", 0xF2FFFFFF},
        {"layout:center;layout;", 0xFFFFFFFF},
        {"layout-y:center;", 0xF3FFFFFF},
        {"text-align:center;vertical-align:baseline;", 0xFFFFFFF6},
        {"text-align:justify;", 0xFFFFFFFF},
        {"overflow:auto;", 0xFFF22FFF},
        {"overflow:extend;overflow-x:hidden;", 0xFFF40FFF},
        {"position:absolute;wrapmode:block;", 0xFFFFF6FF},
        {"position:fixed;", 0xFFFFFFFF},
    };
    for (const Case &c : cases) {
        ScopedStyle s(c.text);
        EXPECT_EQ(c.layoutWord, s.layoutWord) << c.text;
    }
    ScopedStyle bad("position:fixed;visibility:collapse");
    EXPECT_EQ(0u, bad.touchedGroups);
}

TEST(ParseStyleDesc, FontKeys)
{
    ScopedStyle s(
        "font:italic bold 14px 'Noto Sans';color:#102030;text-decoration:underline line-through");
    EXPECT_EQ(kFontItalic | kFontBold | kFontUnderline | kFontLineThrough, s.fontFlags);
    EXPECT_EQ(14, s.fontSize);
    EXPECT_EQ("Noto Sans", Utf8(s.fontFamily));
    EXPECT_EQ(0x302010u, s.textColor);
    EXPECT_EQ(kGroupFont | kGroupColor | kGroupText, s.touchedGroups);

    ScopedStyle keep("font-style:italic;font-style:normal;font-weight:bold;font-weight:normal");
    EXPECT_EQ(kFontItalic | kFontBold, keep.fontFlags); // "normal" changes nothing

    ScopedStyle reset("font:bold 12px x;color:red;font;");
    EXPECT_EQ(0, reset.fontSize);
    EXPECT_EQ(0u, reset.fontFlags);
    EXPECT_EQ(kStyleUnsetWord, reset.textColor);
    EXPECT_EQ(nullptr, reset.fontFamily);

    ScopedStyle shorthand("font-style:italic;font:bold 'a';");
    EXPECT_EQ(kFontItalic | kFontBold, shorthand.fontFlags); // words not given stay

    ScopedStyle deco("text-decoration:underline;text-decoration:bogus");
    EXPECT_EQ(0u, deco.fontFlags);

    ScopedStyle fam("font-family:\"a;b}c\";font-size:10pt");
    EXPECT_EQ("a;b}c", Utf8(fam.fontFamily));
    EXPECT_EQ(13, fam.fontSize);

    ScopedStyle unterminated("font-family:'abc;");
    EXPECT_EQ(nullptr, unterminated.fontFamily);
}

TEST(ParseStyleDesc, StringsAreCutOnCharacterBoundaries)
{
    // 400 bytes of two-byte characters: the family buffer holds 319 bytes, so the text is
    // cut to 318 bytes (159 characters), never inside a character.
    std::string text = "font-family:'";
    for (int i = 0; i < 200; ++i)
        text += "\xC3\xA9";
    text += "'";
    ScopedStyle s(text.c_str());
    ASSERT_NE(nullptr, s.fontFamily);
    EXPECT_EQ(159u, std::u16string_view(s.fontFamily).size());
    EXPECT_EQ(u'\u00E9', s.fontFamily[158]);

    ScopedStyle c("content:'a\\'b';");
    EXPECT_EQ("a\\'b", Utf8(c.content)); // backslash protects, bytes kept as they stand
    EXPECT_EQ(0u, c.touchedGroups);

    ScopedStyle bad("content:'\xFF\xFE';");
    EXPECT_EQ(nullptr, bad.content);

    // Overlong forms would smuggle quotes, blanks and separators into a string.
    const char *overlong[] = {
        "font-family:'a\xC0\xA7"
        "b';",                         // an apostrophe in two bytes
        "font-family:x\xC0\x8A;",      // a line feed
        "font-family:'\xE0\x80\xBB';", // a semicolon in three bytes
        "font-family:'a\xC0\x80"
        "b';", // a zero
    };
    for (const char *text : overlong) {
        ScopedStyle o(text);
        EXPECT_EQ(nullptr, o.fontFamily) << text;
        EXPECT_EQ(0u, o.touchedGroups) << text;
    }
}

TEST(ParseStyleDesc, LengthsOpacityAndState)
{
    struct Case
    {
        const char *text;
        uint32_t width;
    };
    const Case cases[] = {
        {"width:12px;", 12000},
        {"width:12;", kStyleUnsetWord},
        {"width:12 ;", 12000},
        {"width:50%;", 0x10000000 | 50000},
        {"width:1.5em;", 0x30000000 | 1500},
        {"width:2rem;", 0x40000000 | 2000},
        {"width:3pt;", 0x20000000 | 3000},
        {"width:65536px;", 65536000},
        {"width:65537px;", kStyleUnsetWord},
        {"width:-1px;", kStyleUnsetWord},
        {"width:0.0005px;", 1},
    };
    for (const Case &c : cases) {
        ScopedStyle s(c.text);
        EXPECT_EQ(c.width, s.width) << c.text;
    }
    EXPECT_EQ(10000, ScopedStyle("opacity:2;").opacity);
    EXPECT_EQ(2500, ScopedStyle("opacity:0.25;").opacity);
    EXPECT_EQ(0, ScopedStyle("opacity:-1;").opacity);
    EXPECT_EQ(-1, ScopedStyle("opacity:0.5;opacity;").opacity);
    EXPECT_EQ(0xFFFFFF10u, ScopedStyle("disabled:yes;visibility:visible;").stateWord);
    EXPECT_EQ(0xFFFFFF21u, ScopedStyle("readonly:1;visibility:hidden").stateWord);
    EXPECT_EQ(0xFFFFFFFFu, ScopedStyle("readonly:1;readonly").stateWord);
    EXPECT_EQ(kGroupOverflow, ScopedStyle("height:3px").touchedGroups);
}

TEST(ParseStyleDesc, BackgroundShorthand)
{
    ScopedStyle s("background:url('a.png') no-repeat center center stretch;");
    EXPECT_EQ(2u, GetStyleField(s.backWord, kBackKind));
    EXPECT_EQ(0u, GetStyleField(s.backWord, kBackRepeat));
    EXPECT_EQ(1u, GetStyleField(s.backWord, kBackPosX));
    EXPECT_EQ(1u, GetStyleField(s.backWord, kBackPosY));
    EXPECT_EQ(3u, GetStyleField(s.backWord, kBackSize));
    EXPECT_EQ("a.png", Utf8(s.backName));
    EXPECT_EQ("background:url('a.png') center center stretch no-repeat;", FormatStyle(&s));

    struct Case
    {
        const char *text;
        uint32_t word, color;
    };
    const Case cases[] = {
        {"background:red;", 0x00FFFF01, 0x0000FF},
        {"background:none;", 0x00FFFF00, kStyleUnsetWord},
        {"background:red;background;", kStyleUnsetBackground, kStyleUnsetWord},
        {"background:top left repeat-x #fff;", 0x00001F01, 0xFFFFFF},
        {"background:right;", 0x00F2FFFF, kStyleUnsetWord},
        {"background:center;", 0x001FFFFF, kStyleUnsetWord},
        {"background:left right;", kStyleUnsetBackground, kStyleUnsetWord},
        {"background-color:blue;", 0x00FFFF01, 0xFF0000},
        {"background-color:blue;background-color;", kStyleUnsetBackground, kStyleUnsetWord},
        {"background-image:icon('i', 3);", 0x00FFFF0B, kStyleUnsetWord},
        {"background-image:icon('i', 8);", kStyleUnsetBackground, kStyleUnsetWord},
        {"background-image:render(r);background-color:red;background-image;", 0x00FFFF01, 0x0000FF},
        {"background-repeat:repeat;background-size:cover;background-position:bottom;", 0x002F31FF,
         kStyleUnsetWord},
        {"background:linear-gradient(to right, red);", kStyleUnsetBackground, kStyleUnsetWord},
        {"background:red linear-gradient(to right, red);", kStyleUnsetBackground, kStyleUnsetWord},
        {"background:url(a.png;", kStyleUnsetBackground, kStyleUnsetWord},
    };
    for (const Case &c : cases) {
        ScopedStyle b(c.text);
        EXPECT_EQ(c.word, b.backWord) << c.text;
        EXPECT_EQ(c.color, b.backColor) << c.text;
    }
}

// A value that does not parse changes nothing, the resolved caches included; one that
// parses drops the caches it makes stale.
TEST(ParseStyleDesc, RefusedValuesKeepResolvedCaches)
{
    struct Case
    {
        const char *text;
        bool fontKept, pictureKept, pensKept;
    };
    const Case cases[] = {
        {"font:bold 12;", true, true, true}, // a unit-less size before ';' is refused
        {"font:bold 'x;", true, true, true},
        {"font:bold 12px;", false, true, true},
        {"background:url(a.png;", true, true, true},
        {"background-color:nocolor;", true, true, true},
        {"background-image:url(;", true, true, true},
        {"background-image:red;", true, true, true},
        {"background-repeat:sideways;", true, true, true},
        {"background-size:huge;", true, true, true},
        {"background-position:middle;", true, true, true},
        {"background-size:cover;", true, false, true},
        {"border:bogus;", true, true, true},
        {"border-width:thick;", true, true, true},
        {"border-width:2px;", true, true, false},
    };
    int font = 0, picture = 0, pen = 0;
    for (const Case &c : cases) {
        ScopedStyle s;
        s.fontHandle = &font;
        s.backPicture = reinterpret_cast<XImage *>(&picture);
        for (void *&p : s.borderPen)
            p = &pen;
        ParseStyleDesc(&s, c.text);
        EXPECT_EQ(c.fontKept, s.fontHandle == &font) << c.text;
        EXPECT_EQ(c.pictureKept, s.backPicture == reinterpret_cast<XImage *>(&picture)) << c.text;
        EXPECT_EQ(c.pensKept, s.borderPen[kSideTop] == &pen) << c.text;
    }
}

TEST(ParseStyleDesc, Gradients)
{
    ScopedStyle s("background:linear-gradient(to right, red, #00ff00, blue 75%, white);");
    ASSERT_EQ(3u, GetStyleField(s.backWord, kBackKind));
    const XGradientDesc *g = s.backGradient;
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(XGradientDesc::kLinear, g->shape);
    EXPECT_EQ(90.0f, g->angle);
    ASSERT_EQ(4u, g->count);
    const float positions[] = {0, 0.375f, 0.75f, 1};
    const uint32_t colors[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(positions[i], g->GetStops()[i].position) << i;
        EXPECT_EQ(colors[i], g->GetStops()[i].color) << i;
    }

    ScopedStyle r("background:radial-gradient(red 0.2, blue) no-repeat");
    ASSERT_EQ(3u, GetStyleField(r.backWord, kBackKind));
    EXPECT_EQ(XGradientDesc::kRadial, r.backGradient->shape);
    EXPECT_FLOAT_EQ(0.2f, r.backGradient->GetStops()[0].position);
    EXPECT_EQ(0u, GetStyleField(r.backWord, kBackRepeat));

    ScopedStyle a("background:linear-gradient(-45.5deg, red, blue)");
    EXPECT_EQ(-45.5f, a.backGradient->angle);

    const char *rejected[] = {
        "background:linear-gradient(red, blue",    // no ')'
        "background:linear-gradient(red 1, blue)", // bare positions lie strictly inside 0...1
        "background:linear-gradient(to middle, red, blue)",
        "background:radial-gradient(red)",
    };
    for (const char *text : rejected) {
        ScopedStyle bad(text);
        EXPECT_EQ(kStyleUnsetBackground, bad.backWord) << text;
        EXPECT_EQ(nullptr, bad.backSource) << text;
    }
    std::string many = "background:radial-gradient(red";
    for (int i = 0; i < 128; ++i)
        many += ", blue";
    ScopedStyle tooMany((many + ")").c_str());
    EXPECT_EQ(nullptr, tooMany.backSource);
}

TEST(ParseStyleDesc, SyntaxAndConsumedBytes)
{
    struct Case
    {
        const char *text;
        unsigned consumed;
    };
    const Case cases[] = {
        {"}", 0},
        {"  }", 2},
        {"", 0},
        {"color:red}", 9},
        {"color:red;  margin:1px;} x", 23},
        {"content:'}';}", 12},
        {"content:\"a\\\"}\"}", 14},
        {"unknown:1;color:red", 19},
        {"color", 5},
        {";;;", 3},
    };
    for (const Case &c : cases) {
        XStyleDesc d;
        InitStyleDesc(&d);
        EXPECT_EQ(c.consumed, ParseStyleDesc(&d, c.text)) << c.text;
        FreeStyleDescStrings(&d);
    }
    ScopedStyle s(" Color : Red ; UNKNOWN:3px; margin-top : 1px ");
    EXPECT_EQ(0x0000FFu, s.textColor);
    EXPECT_EQ(1, s.margin[kSideTop]);
}

TEST(FormatStyleDesc, WritesSetFieldsInOrder)
{
    ScopedStyle empty;
    EXPECT_EQ("", FormatStyle(&empty));

    struct Case
    {
        const char *in, *out;
    };
    const Case cases[] = {
        {"layout:left;", "layout-x:left;"},
        {"layout:top bottom;", "layout-y:bottom;"},
        {"layout:right center;position:static;", "position:static;layout:right center;"},
        {"overflow-y:scroll;", "overflow-y:scroll;"},
        {"overflow:auto;wrapmode:break;", "wrapmode:break;overflow:auto;"},
        {"vertical-align:bottom;text-align:right;", "text-align:right;vertical-align:bottom;"},
        {"width:1.25em;height:50%;", "width:1.25em;height:50%;"},
        {"opacity:0.5;visibility:hidden;", "visibility:hidden;opacity:0.50;"},
        {"font-weight:bold;font-size:12px;color:#abc;",
         "font-size:12px;font-weight:bold;color:#aabbcc;"},
        {"font:italic 'x';text-decoration:line-through;",
         "font:italic 'x';text-decoration:line-through;"},
        {"font-family:\"it's\";", "font:\"it's\";"},
        {"border:1px solid red;", "border:1px solid #ff0000;"},
        {"border:none;", "border:none;"},
        {"border:none;border-top-width:1px;", "border:none;"},
        {"border:2px solid;border-color:red blue;",
         "border:2px solid;border-color:#ff0000 #0000ff #ff0000 #0000ff;"},
        {"border-top:1px dotted red;border-left:solid;",
         "border-top:1px dotted #ff0000;border-left:solid #000000;"},
        {"border-radius:2px;", "border-radius:2px;"},
        {"border-radius:2px 3px;", "border-radius:2px 3px;"},
        {"border-top-left-radius:2px;border-top-right-radius:5px;",
         "border-radius:2px 5px auto auto;"},
        {"border-top-left-radius:2px;", "border-top-left-radius:2px;"},
        {"margin:1px 2px;", "margin:1px 2px;"},
        {"margin:1px 2px 3px;", "margin:1px 2px 3px;"},
        {"margin:1px 2px 3px 4px;", "margin:1px 2px 3px 4px;"},
        {"margin-right:1px;margin-top:2px;", "margin-top:2px;margin-right:1px;"},
        {"padding:1px 2px auto;", "padding:1px 2px auto;"},
        {"background:none;", "background:none;"},
        {"background:transparent;", "background:transparent;"},
        {"background-color:none;background-size:cover;", "background:transparent cover;"},
        {"background:icon(i, 2) red;", "background:#ff0000 icon('i', 2);"},
        {"background:linear-gradient(90deg, red, blue 50%);",
         "background:linear-gradient(90.000000deg, #ff0000 0.000000%, #0000ff 50.000000%);"},
    };
    for (const Case &c : cases) {
        ScopedStyle s(c.in);
        EXPECT_EQ(c.out, FormatStyle(&s)) << c.in;
    }
}

// Strings are written in a form the reader takes back byte for byte: the quote that no
// byte of the string ends early, else a bare token.
TEST(FormatStyleDesc, WritesStringsThatReadBack)
{
    struct Case
    {
        const char *in, *out;
    };
    const Case cases[] = {
        {"font-family:a\\;color:red", "font-family:a\\;color:#ff0000;"},
        {"font:bold 12px x\\;", "font-family:x\\;font-size:12px;font-weight:bold;"},
        {"font-family:'a\\'b\"c';", "font:'a\\'b\"c';"},
        {"font-family:\"it's\";", "font:\"it's\";"},
        {"background:url(a\\) red;", "background:#ff0000 url(a\\);"},
        {"background:icon(i\\, 2);", "background:icon(i\\, 2);"},
    };
    for (const Case &c : cases) {
        ScopedStyle s(c.in);
        const std::string text = FormatStyle(&s);
        EXPECT_EQ(c.out, text) << c.in;
        ScopedStyle back(text.c_str());
        std::string why;
        EXPECT_TRUE(SameStyle(s, back, &why)) << c.in << ": " << why;
    }
}

// A string cut to its buffer keeps no backslash whose protected byte was cut off.
TEST(ParseStyleDesc, CutKeepsEscapesWhole)
{
    const std::string family(318, 'a');
    ScopedStyle s(("font-family:'" + family + "\\'b';color:red").c_str());
    EXPECT_EQ(family, Utf8(s.fontFamily));
    const std::string text = FormatStyle(&s);
    EXPECT_EQ("font:'" + family + "';color:#ff0000;", text);
}

TEST(ClearStyleNote, DropsCommentsOutsideQuotes)
{
    struct Case
    {
        const char *in, *out;
    };
    const Case cases[] = {
        {"a/* x */b", "ab"},
        {"a/* x", "a"},
        {"'/* kept */'/**/c", "'/* kept */'c"},
        {"\"a\\\"/*\"/* x */", "\"a\\\"/*\""},
        {"/**/", ""},
        {"a/*/b*/c", "ac"},
        {"x/", "x/"},
    };
    for (const Case &c : cases) {
        char out[64];
        ClearStyleNote(out, c.in);
        EXPECT_STREQ(c.out, out) << c.in;
        char inPlace[64];
        std::strcpy(inPlace, c.in);
        ClearStyleNote(inPlace, inPlace);
        EXPECT_STREQ(c.out, inPlace) << c.in;
    }
}

} // namespace
