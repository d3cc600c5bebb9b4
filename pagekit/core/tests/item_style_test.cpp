// XItemStyle: the item style text with its state blocks, the cascade of a resolution, the
// grouped fields, the opaque-background answer, the setters and the single-key text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "corekit/memory/memory.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/item_style.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"
#include "platform/panekit/paint/gradient_desc.h"
#include "platform/panekit/paint/pen_handle.h"
#include "style_util.h"

namespace {

constexpr uint32_t kRed = 0x0000FF;  // "#ff0000"
constexpr uint32_t kBlue = 0xFF0000; // "#0000ff"

// The own descriptor and its variants as style text: "own | state:text | ...".
std::string Describe(XItemStyle &s)
{
    std::string out = FormatStyle(&s.m_own);
    for (XStyleDesc *v = s.m_own.nextState; v != nullptr; v = v->nextState)
        out += " | " + std::to_string(v->stateCode) + ":" + FormatStyle(v);
    return out;
}

std::string Text(const XString &s)
{
    return Utf8(s.GetString());
}

// A resolution that frees its strings.
struct Resolved : ScopedStyle
{
    Resolved(XItemStyle &s, uint32_t flags, XPageItem *owner = nullptr)
    {
        FreeStyleDescStrings(this);
        result = s.GetStyle(flags, owner, this);
    }
    int result = 0;
};

TEST(ItemStyle, StyleTextWithStateBlocks)
{
    struct Case
    {
        const char *text;
        const char *parsed; // Describe() afterwards
        uint32_t groups;    // ParseStyle's answer
    };
    const Case cases[] = {
        {"color:#ff0000;hover{color:#0000ff}", "color:#ff0000; | 3:color:#0000ff;", 0x04},
        {"hover { color:#0000ff } ; ;margin:1px", "margin:1px; | 3:color:#0000ff;", 0x02},
        {"focus{margin:2px}active{margin:3px}disabled{margin:4px}",
         " | 2:margin:2px; | 4:margin:3px; | 5:margin:4px;", 0},
        {"child1{color:red}child2{color:red}child3{color:red}child4{color:red}after{content:'x'}",
         " | 16:color:#ff0000; | 32:color:#ff0000; | 48:color:#ff0000; | 64:color:#ff0000; | 160:",
         0},
        {"HOVER{color:red}Child1 {color:blue}", " | 3:color:#ff0000; | 16:color:#0000ff;", 0},
        // Unknown blocks are skipped whole, quoted '}' included; so are "child" and "child5".
        {"wobble{content:'}';color:red}color:#00ff00", "color:#00ff00;", 0x04},
        {"x{a:\"}}\"}child{color:red}child5{color:red}margin:1px", "margin:1px;", 0x02},
        // An unterminated block ends with the text.
        {"color:red;focus{margin:2px;color:blue", "color:#ff0000; | 2:color:#0000ff;margin:2px;",
         0x04},
        // The declarations keep their own syntax: a unit-less number before '}' is refused.
        {"hover{margin:5}margin:5", "margin:5px; | 3:", 0x02},
        // A '}' outside any block ends the text.
        {"margin:1px;}color:red", "margin:1px;", 0x02},
        {"", "", 0},
    };
    for (const Case &c : cases) {
        XItemStyle s;
        EXPECT_EQ(c.groups, s.ParseStyle(c.text)) << c.text;
        EXPECT_EQ(c.parsed, Describe(s)) << c.text;
        for (XStyleDesc *v = s.m_own.nextState; v != nullptr; v = v->nextState)
            EXPECT_EQ(0u, v->touchedGroups) << c.text;
    }
}

TEST(ItemStyle, ParsingAddsToTheOwnStyleAndClearStyleDropsIt)
{
    XItemStyle s;
    EXPECT_EQ(0x04u, s.ParseStyle("color:red;hover{color:blue}"));
    EXPECT_EQ(0x02u, s.ParseStyle("margin:1px;hover{margin:2px}"));
    EXPECT_EQ("color:#ff0000;margin:1px; | 3:color:#0000ff;margin:2px;", Describe(s));
    s.ClearStyle();
    EXPECT_EQ("", Describe(s));
    EXPECT_EQ(0u, s.ParseStyle(nullptr));
}

// A form whose item "c" sits in an owner; every source of the cascade gives the text
// colour an id, so that removing the winner again and again reads off the order.
struct CascadeForm
{
    // Kind with a default chain of its own, installed once for the process.
    static constexpr uint32_t kKind = 0x7A1;
    // Ids: own variants 0x10000 + state, rules 0x20000 + state, kind defaults 0x30000 +
    // state, owner 0x40000, base 0x50000; 0 is the fixed default.
    static constexpr uint32_t kOwn = 0x10000, kRule = 0x20000, kDefault = 0x30000;
    static constexpr uint32_t kOwner = 0x40000, kBase = 0x50000;
    static constexpr uint32_t kStates[] = {0, 1, 2, 3, 4, 5, 16, 160};

    CascadeForm()
    {
        if (GetItemDefaultStyle(kKind, 0) == nullptr) {
            for (uint32_t state : kStates) {
                ScopedStyle d;
                d.textColor = kDefault + state;
                SetItemDefaultStyle(kKind, state, &d);
            }
        }
        root.itemStyle.SetFontColor(0, kBase);
        // Rule colours "#SS0002" read 0x0200SS: kRule + state.
        root.GetPageStyle()->ParseStyle(".c{color:#000002} .c:focus{color:#020002}"
                                        ".c:hover{color:#030002} .c:active{color:#040002}"
                                        ".c:disabled{color:#050002} .c:child1{color:#100002}"
                                        ".c:after{color:#a00002}");
        owner = new XPageOwner;
        owner->kind = 0x81;
        owner->itemStyle.SetFontColor(0, kOwner);
        item = new XPageItem;
        item->kind = kKind;
        item->classList = "c";
        for (uint32_t state : kStates)
            item->itemStyle.SetFontColor(state, kOwn + state);
        root.AddItem(owner);
        owner->AddItem(item);
        root.OnCreateItem();
    }

    static std::string Name(uint32_t id)
    {
        static const char *const kPrefixes[] = {"black", "o", "r", "d", "owner", "base"};
        const uint32_t source = id >> 16;
        std::string name = source < 6 ? kPrefixes[source] : "?";
        if (source >= 1 && source <= 3)
            name += std::to_string(id & 0xFFFF);
        return name;
    }

    void Remove(uint32_t id)
    {
        const uint32_t state = id & 0xFFFF;
        switch (id >> 16) {
        case 1:
            item->itemStyle.GetStyle(state)->textColor = kStyleUnsetWord;
            break;
        case 2:
            for (auto *r = const_cast<XStyleDesc *>(root.GetPageStyle()->GetFirstRule()); r;
                 r = r->nextEntry) {
                if (r->textColor == id)
                    r->textColor = kStyleUnsetWord;
            }
            break;
        case 3:
            for (XStyleDesc *d = item->itemStyle.m_defaults; d; d = d->nextState) {
                if (d->stateCode == state)
                    d->textColor = kStyleUnsetWord;
            }
            break;
        case 4:
            owner->itemStyle.SetFontColor(0, kStyleUnsetWord);
            break;
        case 5:
            root.itemStyle.SetFontColor(0, kStyleUnsetWord);
            root.UpdateStyleDesc(2);
            owner->UpdateStyleDesc(2);
            break;
        }
    }

    // The sources in the order they give the text colour for the flags.
    std::string Order(uint32_t flags)
    {
        std::string order;
        for (int guard = 0; guard < 40; ++guard) {
            Resolved r(item->itemStyle, flags, owner);
            order += (order.empty() ? "" : " ") + Name(r.textColor);
            if (r.textColor == 0)
                break;
            Remove(r.textColor);
        }
        return order;
    }

    XPageViewer root;
    XPageOwner *owner = nullptr;
    XPageItem *item = nullptr;
};

TEST(ItemStyleCascade, OrderForEveryFlagCombination)
{
    struct Case
    {
        uint32_t flags;
        const char *order;
    };
    const Case cases[] = {
        {0x0, "o1 o0 r0 d1 d0 owner base black"},
        {0x1, "o2 o1 o0 r2 r0 d2 d1 d0 owner base black"},
        {0x2, "o3 o0 r3 r0 d3 d0 owner base black"},
        {0x4, "o4 o0 r4 r0 d4 d0 owner base black"},
        {0x8, "o5 o0 r5 r0 d5 d0 owner base black"},
        {0x3, "o3 o2 o0 r3 r2 r0 d3 d2 d0 owner base black"},
        {0xF, "o5 o4 o3 o2 o0 r5 r4 r3 r2 r0 d5 d4 d3 d2 d0 owner base black"},
        {0x10, "o16 o0 r16 d16 d0 owner base black"},
        {0x12, "o16 o3 o0 r16 r3 d16 d3 d0 owner base black"},
        {0x20, "o0 d0 owner base black"}, // no child2 variant anywhere
        {0xA0, "o160 o0 r160 d160 d0 owner base black"},
        {0x10A0, "o160 r160 d160 owner base black"},
        {0x1012, "o16 r16 d16 owner base black"},
        {0x1000, "owner base black"},
    };
    for (const Case &c : cases) {
        CascadeForm form; // a fresh form for every case
        EXPECT_EQ(c.order, form.Order(c.flags)) << std::hex << c.flags;
    }
}

TEST(ItemStyleCascade, ReturnsWhetherADescriptorContributedAndMarksTheResult)
{
    XItemStyle s;
    Resolved none(s, 0);
    EXPECT_EQ(0, none.result);
    EXPECT_EQ(0u, none.stateCode);
    EXPECT_NE(0u, none.touchedGroups & kStyleResolved);
    s.ParseStyle("after{content:'*'}");
    Resolved after(s, 0x10A0);
    EXPECT_EQ(1, after.result);
    EXPECT_EQ(0x10A0u, after.stateCode);
    EXPECT_EQ("*", Utf8(after.content));
    Resolved normal(s, 0x1000 | 16); // no child1 variant
    EXPECT_EQ(0, normal.result);
    EXPECT_EQ(0, s.GetStyle(0, nullptr, nullptr));
}

TEST(ItemStyleCascade, NoStyleAtAllGivesTheFixedDefaults)
{
    XItemStyle s;
    Resolved r(s, 0);
    EXPECT_EQ(12, r.fontSize);
    EXPECT_EQ("宋体", Utf8(r.fontFamily));
    EXPECT_EQ(0u, r.fontFlags);
    EXPECT_EQ(0u, r.textColor);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0, r.margin[i]);
        EXPECT_EQ(0, r.padding[i]);
        EXPECT_EQ(0, r.border[i]);
        EXPECT_EQ(0, r.radius[i]);
    }
    EXPECT_EQ(0u, r.layoutWord);
    EXPECT_EQ(kBackNone, GetStyleField(r.backWord, kBackKind));
    EXPECT_EQ(kStyleUnsetWord, r.stateWord); // visibility and locks stay "not given"
    EXPECT_EQ(kStyleUnsetWord, r.width);
    EXPECT_EQ(-1, r.opacity);
}

TEST(ItemStyleCascade, GroupedFieldsTravelTogether)
{
    struct Case
    {
        const char *text;
        uint32_t flags;
        const char *resolved; // selected fields of the result
    };
    // Fields shown: top side with its colour, background kind/colour/name, font flags and
    // family, radii (bottom-left, top-left, top-right, bottom-right).
    const Case cases[] = {
        // A side comes with the colour of the descriptor that sets it.
        {"border-top:2px dashed;hover{border-top-color:red}", 3, "top=23/0"},
        {"border-top-color:red;hover{border-top:2px dashed}", 3, "top=23/0"},
        {"border-top:2px dashed #0000ff;hover{border-left:1px solid red}", 3, "top=23/ff0000"},
        // The background word travels with its colour and source.
        {"background:url('a.png') repeat;hover{background-color:#0000ff}", 3,
         "back=1/f/ff0000/<null>"},
        {"background:url('a.png') repeat;hover{background-color:#0000ff}", 0,
         "back=2/3/ffffffff/a.png"},
        {"background-repeat:repeat;hover{background:#00ff00}", 3, "back=1/f/ff00/<null>"},
        {"background-repeat:repeat;hover{background:#00ff00}", 0, "back=0/f/ffffffff/<null>"},
        // Inset and outset sides switch off the radii at their ends.
        {"border-left:4px inset red;border-radius:5px", 0, "radii=0,0,5,5"},
        {"border-bottom:3px outset red;border-radius:5px", 0, "radii=0,5,5,0"},
        {"hover{border-top:2px inset red}border-radius:5px", 3, "radii=5,0,0,5"},
        {"hover{border-radius:6px}border-right:2px inset red", 3, "radii=6,6,6,6"},
    };
    for (const Case &c : cases) {
        XItemStyle s;
        s.ParseStyle(c.text);
        Resolved r(s, c.flags);
        char buf[96];
        std::string got;
        const std::string want = c.resolved;
        if (want.rfind("top=", 0) == 0) {
            std::snprintf(buf, sizeof buf, "top=%x/%x", r.border[kSideTop],
                          r.borderColor[kSideTop]);
            got = buf;
        } else if (want.rfind("back=", 0) == 0) {
            std::snprintf(buf, sizeof buf, "back=%x/%x/%x/", GetStyleField(r.backWord, kBackKind),
                          GetStyleField(r.backWord, kBackRepeat), r.backColor);
            got = buf + Utf8(IsNamedBackKind(r.backWord & 0xFF) ? r.backName : nullptr);
        } else {
            std::snprintf(buf, sizeof buf, "radii=%d,%d,%d,%d", r.radius[0], r.radius[1],
                          r.radius[2], r.radius[3]);
            got = buf;
        }
        EXPECT_EQ(want, got) << c.text;
    }
}

// The font flags and the family are one group: a state that only makes the text bold
// keeps the family the item would have, from its owner.
TEST(ItemStyleCascade, FontFlagsAndFamilyAreOneGroup)
{
    XPageViewer root;
    auto *owner = new XPageOwner;
    owner->kind = 0x81;
    owner->ApplyStyle(0, "font-family:'Owner Face'");
    auto *item = new XPageItem;
    item->kind = 0x7A2;
    ScopedStyle kindDefault("font:italic 'Kind Face';");
    SetItemDefaultStyle(0x7A2, 0, &kindDefault);
    item->ApplyStyle(0, "hover{font-weight:bold}");
    root.AddItem(owner);
    owner->AddItem(item);
    root.OnCreateItem();

    Resolved hover(item->itemStyle, 0x2, owner);
    EXPECT_EQ(kFontBold, hover.fontFlags);
    EXPECT_EQ("Owner Face", Utf8(hover.fontFamily));
    Resolved normal(item->itemStyle, 0, owner);
    EXPECT_EQ(kFontItalic, normal.fontFlags);
    EXPECT_EQ("Kind Face", Utf8(normal.fontFamily));
    Resolved ownerOnly(owner->itemStyle, 0, &root);
    EXPECT_EQ(0u, ownerOnly.fontFlags);
    EXPECT_EQ("Owner Face", Utf8(ownerOnly.fontFamily));
}

TEST(ItemStyleCascade, OwnerGivesOnlyTheTextFields)
{
    XPageViewer root;
    auto *owner = new XPageOwner;
    owner->kind = 0x81;
    owner->ApplyStyle(0, "font-size:20px;color:red;text-align:right;vertical-align:bottom;"
                         "margin:7px;background:#00ff00;overflow:auto");
    auto *item = new XPageItem;
    item->kind = 0x7A3;
    root.AddItem(owner);
    owner->AddItem(item);
    root.OnCreateItem();
    EXPECT_EQ(20, item->style.fontSize);
    EXPECT_EQ(kRed, item->style.textColor);
    EXPECT_EQ(1u, GetStyleField(item->style.layoutWord, kTextAlign));
    EXPECT_EQ(1u, GetStyleField(item->style.layoutWord, kVerticalAlign));
    EXPECT_EQ(0, item->style.margin[kSideLeft]);
    EXPECT_EQ(kBackNone, GetStyleField(item->style.backWord, kBackKind));
    EXPECT_EQ(0u, GetStyleField(item->style.layoutWord, kOverflowX));

    // The owner is resolved first when its descriptor is not valid.
    owner->itemStyle.SetFontColor(0, kBlue);
    EXPECT_EQ(0u, owner->style.touchedGroups);
    item->UpdateStyleDesc(2);
    EXPECT_EQ(kBlue, item->style.textColor);
    EXPECT_NE(0u, owner->style.touchedGroups);
}

TEST(ItemStyleCascade, HoverBlockWinsOnlyWhileHovered)
{
    XItemStyle s;
    s.ParseStyle("color:#ff0000;hover{color:#0000ff}");
    EXPECT_EQ(kRed, Resolved(s, 0).textColor);
    EXPECT_EQ(kBlue, Resolved(s, 0x2).textColor);
    EXPECT_EQ(kBlue, Resolved(s, 0x3).textColor);
    EXPECT_EQ(kRed, Resolved(s, 0x1).textColor);
}

TEST(ItemStyleCascade, ResourcesComeFromTheFormsHelper)
{
    XPageViewer root;
    auto *item = new XPageItem;
    item->kind = 0x7A4;
    item->ApplyStyle(0, "border:3px inset #ff0000;border-top:2px dashed #0000ff;"
                        "border-bottom:2px solid none");
    root.AddItem(item);
    root.OnCreateItem();
    const XStyleDesc &r = item->style;
    const auto *left = static_cast<const XPenHandle *>(r.borderPen[kSideLeft]);
    const auto *top = static_cast<const XPenHandle *>(r.borderPen[kSideTop]);
    ASSERT_NE(nullptr, left);
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(kPenSolid, left->style);
    EXPECT_EQ(2u, left->width); // half of 3, rounded up
    EXPECT_EQ(kPenDashed, top->style);
    EXPECT_EQ(2u, top->width);
    EXPECT_TRUE(root.GetRescHelper()->IsLiveHandle(left));
    // A side that draws nothing is completed to 0, without a pen.
    EXPECT_EQ(0, r.border[kSideBottom]);
    EXPECT_EQ(nullptr, r.borderPen[kSideBottom]);
    EXPECT_NE(nullptr, r.fontHandle);
    EXPECT_NE(0u, item->itemStyle.m_own.touchedGroups & kStyleResolved);
}

TEST(ItemStyle, IsSolidRender)
{
    struct Case
    {
        const char *text;
        uint32_t flags;
        int solid;
    };
    const Case cases[] = {
        {"background:#ffffff", 0, 1},
        {"background:#ffffff;opacity:1", 0, 1},
        {"background:#ffffff;opacity:0.5", 0, 0},
        {"background:none", 0, 0},
        {"background-color:transparent", 0, 0},
        {"background:url('a.png')", 0, 1},
        {"background:linear-gradient(red, blue)", 0, 1},
        {"background:render('r')", 0, 0},
        {"background:icon('i.png', 2)", 0, 0},
        {"", 0, 0},
        {"background:#ffffff;hover{opacity:0.5}", 0, 1},
        {"background:#ffffff;hover{opacity:0.5}", 2, 0},
        {"background:none;hover{background:#000000}", 2, 1},
        {"hover{background:none}background:#000000", 1, 1},
    };
    for (const Case &c : cases) {
        XItemStyle s;
        s.ParseStyle(c.text);
        EXPECT_EQ(c.solid, s.IsSolidRender(c.flags)) << c.text << " flags " << c.flags;
    }
}

TEST(ItemStyle, CheckStyle)
{
    ScopedStyle child2("color:red;");
    SetItemDefaultStyle(0x7A5, 32, &child2);
    XPageViewer root;
    root.GetPageStyle()->ParseStyle(".c:active{color:red} .d:child3{color:red}");
    auto *item = new XPageItem;
    item->kind = 0x7A5;
    item->classList = "c";
    item->ApplyStyle(0, "hover{color:red}");
    root.AddItem(item);
    root.OnCreateItem();
    XItemStyle &s = item->itemStyle;
    EXPECT_EQ(1, s.CheckStyle(0));  // the own descriptor
    EXPECT_EQ(1, s.CheckStyle(3));  // own variant
    EXPECT_EQ(1, s.CheckStyle(4));  // matched rule
    EXPECT_EQ(1, s.CheckStyle(32)); // kind default
    EXPECT_EQ(0, s.CheckStyle(2));
    EXPECT_EQ(0, s.CheckStyle(48)); // a rule of another class
    EXPECT_EQ(0, s.CheckStyle(160));
}

// Every setter works on the variant of its state and invalidates the item's descriptor.
TEST(ItemStyle, SettersInvalidateTheItem)
{
    using Setter = void (*)(XItemStyle &);
    struct Case
    {
        const char *name;
        Setter set;
        const char *text; // Describe() afterwards
    };
    const Case cases[] = {
        {"SetLeave", [](XItemStyle &s) { s.SetLeave(3, 1, 2, 3, 4); },
         " | 3:margin:2px 3px 4px 1px;"},
        {"SetSpace", [](XItemStyle &s) { s.SetSpace(0, 5, 5, 5, 5); }, "padding:5px;"},
        {"SetItemStyle", [](XItemStyle &s) { s.SetItemStyle(0, 7, 4); }, "layout-x:extend;"},
        {"SetEmptyRender", [](XItemStyle &s) { s.SetEmptyRender(0); }, "background:none;"},
        {"SetSolidRender", [](XItemStyle &s) { s.SetSolidRender(2, 0xFF); },
         " | 2:background:#ff0000;"},
        {"SetGradeRender",
         [](XItemStyle &s) {
             XGradientDesc *g = MallocGradientDesc(2);
             g->GetStops()[1] = {0xFF0000, 1.0f};
             s.SetGradeRender(0, g);
         },
         "background:linear-gradient(0.000000deg, #000000 0.000000%, #0000ff 100.000000%);"},
        {"SetImageRender", [](XItemStyle &s) { s.SetImageRender(0, 0x3300, u"b.png"); },
         "background:url('b.png') left top stretch repeat;"},
        {"SetFontColor", [](XItemStyle &s) { s.SetFontColor(0, 0xFF00); }, "color:#00ff00;"},
        {"SetFontDesc", [](XItemStyle &s) { s.SetFontDesc(0, 14, kFontBold, u"Face"); },
         "font:bold 14px 'Face';"},
        {"SetRoundCorner", [](XItemStyle &s) { s.SetRoundCorner(0, 0x2, 7); },
         "border-top-left-radius:7px;"},
        {"SetEdgeStyle", [](XItemStyle &s) { s.SetEdgeStyle(0, 0xF, 1, 2, 0); },
         "border:2px solid #000000;"},
    };
    for (const Case &c : cases) {
        XPageViewer root;
        auto *item = new XPageItem;
        root.AddItem(item);
        root.OnCreateItem();
        ASSERT_NE(0u, item->style.touchedGroups);
        c.set(item->itemStyle);
        EXPECT_EQ(0u, item->style.touchedGroups) << c.name;
        EXPECT_EQ(c.text, Describe(item->itemStyle)) << c.name;
    }
}

TEST(ItemStyle, SetterValues)
{
    XItemStyle s;
    s.SetRoundCorner(0, 0xF, 250);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(240, s.m_own.radius[i]);
    s.SetRoundCorner(0, 0x5, 9); // bottom-left and top-right
    EXPECT_EQ(9, s.m_own.radius[kCornerBottomLeft]);
    EXPECT_EQ(240, s.m_own.radius[kCornerTopLeft]);
    EXPECT_EQ(9, s.m_own.radius[kCornerTopRight]);

    struct Edge
    {
        uint8_t style, width, side; // side: the byte stored on the top side
    };
    const Edge edges[] = {
        {1, 0, 0x11},    {1, 3, 0x31}, {3, 14, 0xE3}, {2, 15, 0xE2},
        {10, 200, 0xEA}, {0, 5, 0x00}, {15, 5, 0x0F},
    };
    for (const Edge &e : edges) {
        XItemStyle t;
        t.SetEdgeStyle(0, 0x2, e.style, e.width, 0x123456);
        EXPECT_EQ(e.side, t.m_own.border[kSideTop]) << int(e.style) << "/" << int(e.width);
        EXPECT_EQ(0x123456u, t.m_own.borderColor[kSideTop]);
        EXPECT_EQ(kStyleUnsetByte, t.m_own.border[kSideLeft]);
    }
    XItemStyle t;
    t.SetEdgeStyle(0, 0xF, 16, 1, 0); // no such style: nothing
    EXPECT_EQ(kStyleUnsetByte, t.m_own.border[kSideTop]);

    // A picture or gradient setter given nothing keeps the colour alone, or nothing.
    XItemStyle u;
    u.SetImageRender(0, 0, u"a.png");
    u.SetImageRender(0, 0, nullptr);
    EXPECT_EQ(kStyleUnsetBackground, u.m_own.backWord);
    u.SetSolidRender(0, 0xFF);
    u.SetGradeRender(0, nullptr);
    EXPECT_EQ("background:#ff0000;", FormatStyle(&u.m_own));
    u.SetSolidRender(0, kStyleUnsetWord);
    EXPECT_EQ("", FormatStyle(&u.m_own));

    XItemStyle v;
    v.SetItemStyle(0, 9, 1); // no such field: nothing, not even a variant
    v.SetItemStyle(3, -1, 1);
    EXPECT_EQ("", Describe(v));
    EXPECT_EQ(0, v.WriteStyle(nullptr));
}

TEST(ItemStyle, VariantsByStateAndFlags)
{
    XItemStyle s;
    EXPECT_EQ(&s.m_own, s.GetStyle(0));
    EXPECT_EQ(&s.m_own, s.GetStyle(3, 0)); // missing, not created
    EXPECT_EQ(nullptr, s.m_own.nextState);
    XStyleDesc *hover = s.GetStyle(3, kStyleCreate);
    EXPECT_NE(&s.m_own, hover);
    EXPECT_EQ(3u, hover->stateCode);
    EXPECT_EQ(hover, s.GetStyle(3));
    EXPECT_EQ(hover, s.GetStyle(3, 0));

    s.ParseStyle("hover{margin-left:4px;border-top:1px solid red;border-left:2px none}");
    XStyleDesc *done = s.GetStyle(3, kStyleResolve | kStyleComplete);
    EXPECT_EQ(hover, done);
    EXPECT_EQ(12, done->fontSize);
    EXPECT_EQ("宋体", Utf8(done->fontFamily));
    EXPECT_EQ(0u, done->textColor);
    EXPECT_EQ(4, done->margin[kSideLeft]);
    EXPECT_EQ(0, done->margin[kSideTop]);
    EXPECT_EQ(0x11, done->border[kSideTop]);
    EXPECT_EQ(0, done->border[kSideLeft]); // draws no line
    EXPECT_EQ(0, done->radius[kCornerTopLeft]);
    EXPECT_EQ(0u, GetStyleField(done->layoutWord, kTextAlign));
    EXPECT_EQ(kBackNone, GetStyleField(done->backWord, kBackKind));
}

TEST(ItemStyle, SingleKeysAsText)
{
    XItemStyle s;
    s.ParseStyle("text-align:center;vertical-align:bottom;layout:extend top;overflow:auto;"
                 "position:absolute;wrapmode:break;visibility:hidden;opacity:0.5;"
                 "width:50%;height:12.5px;font:italic bold 14px 'Face';color:#102030;"
                 "text-decoration:underline line-through;margin:1px 2px 3px 4px;"
                 "padding-top:6px;border-top:2px dashed #ff0000;border-radius:3px 4px;"
                 "background:#00ff00 url('p.png') no-repeat;content:'hi'");
    struct Case
    {
        const char16_t *key;
        const char *value; // null: an unknown key
    };
    const Case cases[] = {
        {u"text-align", "center"},
        {u"TEXT-ALIGN", "center"},
        {u"vertical-align", "bottom"},
        {u"layout-x", "extend"},
        {u"layout-y", "top"},
        {u"layout", "extend top"},
        {u"overflow", "auto"},
        {u"overflow-y", "auto"},
        {u"position", "absolute"},
        {u"wrapmode", "break"},
        {u"visibility", "hidden"},
        {u"opacity", "0.50"},
        {u"width", "50%"},
        {u"height", "12.5px"},
        {u"font-size", "14px"},
        {u"font-weight", "bold"},
        {u"font-style", "italic"},
        {u"font-family", "Face"},
        {u"font", "italic bold 14px 'Face'"},
        {u"text-decoration", "underline line-through"},
        {u"color", "#102030"},
        {u"margin", "1px 2px 3px 4px"},
        {u"margin-left", "4px"},
        {u"padding-top", "6px"},
        {u"padding-left", ""},
        {u"padding", ""}, // one side set: not as the shorthand
        {u"border-top", "2px dashed #ff0000"},
        {u"border-top-width", "2px"},
        {u"border-top-style", "dashed"},
        {u"border-top-color", "#ff0000"},
        {u"border-left", ""},
        {u"border-radius", "3px 4px"},
        {u"border-top-left-radius", "3px"},
        {u"background", "#00ff00 url('p.png') no-repeat"},
        {u"background-color", "#00ff00"},
        {u"content", "hi"},
        {u"colour", nullptr},
        {u"", nullptr},
        {u"color;margin", nullptr},
        {u"名", nullptr},
    };
    for (const Case &c : cases) {
        XString out;
        const int known = s.GetStyle(c.key, &out);
        EXPECT_EQ(c.value != nullptr, known != 0) << Utf8(c.key);
        if (c.value != nullptr) {
            EXPECT_EQ(c.value, Text(out)) << Utf8(c.key);
        }
    }
    XString out;
    EXPECT_EQ(0, s.GetStyle(nullptr, &out));
    EXPECT_EQ(0, s.GetStyle(u"color", nullptr));
}

TEST(ItemStyle, SetStyleAppliesOneDeclaration)
{
    struct Case
    {
        const char16_t *key;
        const char16_t *value;
        int applied;
        const char *text; // the own descriptor afterwards (it starts as "color:#ff0000;")
    };
    const Case cases[] = {
        {u"margin-top", u"5px", 1, "color:#ff0000;margin-top:5px;"},
        {u"Margin-Top", u"5", 1, "color:#ff0000;margin-top:5px;"}, // the value is the text end
        {u"color", u"#0000ff", 1, "color:#0000ff;"},
        {u"color", nullptr, 1, ""},
        {u"color", u"nonsense", 0, "color:#ff0000;"},
        {u"colour", u"#0000ff", 0, "color:#ff0000;"},
        {u"color", u"#0000ff;margin:4px", 1, "color:#0000ff;"},
        {u"color", u"#0000ff}margin:4px", 1, "color:#0000ff;"},
        {u"color:#0000ff;x", u"1", 0, "color:#ff0000;"},
        {u"hover{color", u"#0000ff", 0, "color:#ff0000;"},
        {u"content", u"'x;y'", 1, "color:#ff0000;"},
        {u"content", u"'open", 0, "color:#ff0000;"},
        {u"content", nullptr, 1, "color:#ff0000;"},
        {u"visibility", u"maybe", 0, "color:#ff0000;"},
        {nullptr, u"1", 0, "color:#ff0000;"},
    };
    for (const Case &c : cases) {
        XPageViewer root;
        auto *item = new XPageItem;
        root.AddItem(item);
        root.OnCreateItem();
        XItemStyle &s = item->itemStyle;
        s.ParseStyle("color:red");
        item->UpdateStyleDesc(2);
        EXPECT_EQ(c.applied, s.SetStyle(c.key, c.value)) << Utf8(c.key) << "=" << Utf8(c.value);
        EXPECT_EQ(c.text, FormatStyle(&s.m_own)) << Utf8(c.key) << "=" << Utf8(c.value);
        if (c.applied) {
            EXPECT_EQ(0u, item->style.touchedGroups) << Utf8(c.key); // invalidated
        }
    }
    XItemStyle s;
    EXPECT_EQ(1, s.SetStyle(u"content", u"'x;y'"));
    EXPECT_EQ("x;y", Utf8(s.m_own.content));
    XString text;
    s.SetStyle(u"margin", u"1px 2px");
    s.GetStyleText(&text);
    EXPECT_EQ("margin:1px 2px;", Text(text));
}

// A page style that drops its rules must not leave items pointing at them.
TEST(ItemStyle, MatchesLapseWhenThePageStyleDropsItsRules)
{
    XPageViewer root;
    XPageStyle *page = root.GetPageStyle();
    page->ParseStyle(".c{color:#0000ff}");
    auto *item = new XPageItem;
    item->classList = "c";
    root.AddItem(item);
    root.OnCreateItem();
    EXPECT_EQ(kBlue, item->style.textColor);
    page->ClearStyle();
    page->ParseStyle(".c{color:#ff0000}");
    item->UpdateStyleDesc(2);
    EXPECT_EQ(0u, item->style.textColor); // the old match lapsed, the new rule is not matched
    item->itemStyle.ApplyStyle(item, nullptr);
    item->UpdateStyleDesc(2);
    EXPECT_EQ(kRed, item->style.textColor);
}

} // namespace
