// XPageStyle: the page style sheet, matching its selectors against the items of a form,
// the bound on matches, and the completion with the base style.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "pagekit/core/item_style.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_style.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/style_selector.h"
#include "platform/panekit/icon/resc_helper.h"
#include "style_util.h"

namespace {

std::string Rules(const XPageStyle &page)
{
    std::string out;
    for (const XStyleDesc *r = page.GetFirstRule(); r != nullptr; r = r->nextEntry) {
        if (r != page.GetFirstRule())
            out += "|";
        out += FormatStyle(const_cast<XStyleDesc *>(r));
        EXPECT_EQ(0u, r->touchedGroups);
        EXPECT_NE(nullptr, r->ownerSelector);
    }
    return out;
}

TEST(PageStyle, SheetSyntax)
{
    struct Case
    {
        const char *sheet;
        unsigned added;
        const char *rules;
    };
    const Case cases[] = {
        {".a{color:red} .b:hover , c { margin:1px }", 2, "color:#ff0000;|margin:1px;"},
        {"a.b{color:red} .c{margin:1px}", 1, "margin:1px;"},
        {"a..b{content:'}'} .c{margin:1px}", 1, "margin:1px;"},
        {"{color:red} .c{margin:1px}", 1, "margin:1px;"},
        {"} .c{margin:1px}", 1, "margin:1px;"},
        {"x{content:'}'}\n\t.c{margin:1px}", 2, "|margin:1px;"},
        {".c{color:red", 1, "color:#ff0000;"}, // an unterminated rule ends with the text
        {".c{}", 1, ""},
        {"   ", 0, ""},
        {"", 0, ""},
    };
    for (const Case &c : cases) {
        XPageStyle page;
        EXPECT_EQ(c.added, page.ParseStyle(c.sheet)) << c.sheet;
        EXPECT_EQ(c.rules, Rules(page)) << c.sheet;
    }
    XPageStyle page;
    EXPECT_EQ(0u, page.ParseStyle(nullptr));
    page.ParseStyle(".a{color:red}");
    page.ParseStyle(".b{margin:1px}");
    EXPECT_EQ("color:#ff0000;|margin:1px;", Rules(page));
    page.ClearStyle();
    EXPECT_EQ(nullptr, page.GetFirstRule());
}

// A small form:
//   root
//   |- A  owner  class "a"    name "na"   type "panel"
//   |  |- B  owner  class "b x"            type "row"
//   |  |  `- B2 owner class "b"
//   |  |     `- C  class "c"  name "名字"  type "editClass" (kind 0x12)
//   |  `- D  class "c"                     type "表"
//   |- E  class "a"          name "na"
//   `- F  kind 0x12, no type name
class MatchForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto *a = Add(&root, "A", new XPageOwner, "a", u"na", "panel");
        auto *b = Add(a, "B", new XPageOwner, "b x", nullptr, "row");
        auto *b2 = Add(b, "B2", new XPageOwner, "b", nullptr, nullptr);
        Add(b2, "C", new XPageItem, "c", u"名字", "editClass")->kind = 0x12;
        Add(a, "D", new XPageItem, "c", nullptr, "表");
        Add(&root, "E", new XPageItem, "a", u"na", nullptr);
        Add(&root, "F", new XPageItem, nullptr, nullptr, nullptr)->kind = 0x12;
    }

    template <typename T>
    T *Add(XPageOwner *owner, const char *label, T *item, const char *classes, const char16_t *name,
           const char *type)
    {
        item->classList = classes;
        item->typeName = type;
        item->SetItemName(name);
        owner->AddItem(item);
        items.push_back({label, item});
        return item;
    }

    // The labels of the items a one-rule sheet matches, in tree order.
    std::string Matched(const char *selector)
    {
        XPageStyle page;
        page.ParseStyle((std::string(selector) + "{color:red}").c_str());
        std::string out;
        for (auto &[label, item] : items) {
            XItemStyle style;
            page.ApplyStyle(item, &style);
            if (style.m_matchCount != 0)
                out += (out.empty() ? "" : " ") + label;
        }
        return out;
    }

    XPageViewer root;
    std::vector<std::pair<std::string, XPageItem *>> items;
};

TEST_F(MatchForm, Selectors)
{
    struct Case
    {
        const char *selector;
        const char *matched;
    };
    const Case cases[] = {
        {".c", "C D"},
        {".a .c", "C D"},
        {".a > .c", "D"},
        {".a > .b > .b > .c", "C"},
        {".b .b", "B2"},
        {".b .b .c", "C"},
        {".x", "B"},
        {".X", ""}, // words compare exactly
        {".b", "B B2"},
        {"#na", "A E"},
        {"#NA", ""},
        {"#名字", "C"},
        {"#名", ""},
        {"editClass", "C"}, // the type name, not the kind: F is not matched
        {"EDITCLASS", ""},
        {"表", "D"},
        {"panel row", "B"},
        {"panel > row > * > editClass", "C"},
        {"*", "A B B2 C D E F"},
        {"* > .c", "C D"},
        {"* .a", ""}, // the form root ends the walk: it is nobody's match
        {"* * * *", "C"},
        {"* * * * *", ""},
        {".a .a", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.matched, Matched(c.selector)) << c.selector;
}

// A descendant combinator takes the nearest owner that matches and does not try farther
// ones: C's nearest ".b" is B2, whose owner is not ".a", so the farther B (child of A) is
// never tried.
TEST_F(MatchForm, DescendantTakesTheNearestOwner)
{
    EXPECT_EQ("", Matched(".a > .b .c"));
    EXPECT_EQ("C", Matched(".b > .b .c"));
    EXPECT_EQ("", Matched("panel > .b editClass"));
    EXPECT_EQ("C", Matched("panel > row editClass"));
}

TEST_F(MatchForm, MatchesRecordStatesLaterRulesFirst)
{
    XPageStyle page;
    page.ParseStyle(".c, .c:focus, .c:child4, .c:wobble {color:red} #名字:hover{margin:1px}"
                    ".d{margin:2px}");
    const XStyleDesc *first = page.GetFirstRule();
    const XStyleDesc *second = first->nextEntry;
    XItemStyle style;
    page.ApplyStyle(items[3].second, &style); // C
    ASSERT_EQ(5u, style.m_matchCount);
    const XStyleMatch want[] = {{3, const_cast<XStyleDesc *>(second)},
                                {255, const_cast<XStyleDesc *>(first)},
                                {64, const_cast<XStyleDesc *>(first)},
                                {2, const_cast<XStyleDesc *>(first)},
                                {0, const_cast<XStyleDesc *>(first)}};
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(want[i].state, style.m_matches[i].state) << i;
        EXPECT_EQ(want[i].rule, style.m_matches[i].rule) << i;
    }
    // Applying again replaces the matches.
    page.ApplyStyle(items[4].second, &style); // D: only ".c" and its states
    EXPECT_EQ(4u, style.m_matchCount);
    page.ApplyStyle(nullptr, &style);
    page.ApplyStyle(items[4].second, nullptr);
    EXPECT_EQ(4u, style.m_matchCount);
}

// At most kMaxStyleMatches pairs are kept: the last ones in sheet order, since later rules
// win.
TEST(PageStyle, MatchesAreBounded)
{
    XPageViewer root;
    std::string sheet;
    for (int i = 1; i <= 300; ++i) {
        sheet += ".c{margin-left:" + std::to_string(i) + "px";
        if (i == 1)
            sheet += ";padding-left:9px";
        if (i == 45)
            sheet += ";padding-top:4px";
        sheet += "}\n";
    }
    EXPECT_EQ(300u, root.GetPageStyle()->ParseStyle(sheet.c_str()));
    auto *item = new XPageItem;
    item->classList = "c";
    root.AddItem(item);
    root.OnCreateItem();
    ASSERT_EQ(kMaxStyleMatches, item->itemStyle.m_matchCount);
    const XStyleDesc *rule = root.GetPageStyle()->GetFirstRule();
    for (int i = 1; i < 45; ++i)
        rule = rule->nextEntry;
    EXPECT_EQ(rule, item->itemStyle.m_matches[kMaxStyleMatches - 1].rule); // rule 45
    EXPECT_EQ(300, item->style.margin[kSideLeft]);
    EXPECT_EQ(4, item->style.padding[kSideTop]);
    EXPECT_EQ(0, item->style.padding[kSideLeft]); // rule 1 was dropped
}

TEST(PageStyle, LaterRuleWinsAndRulesApplyToItemsWithClassOrType)
{
    XPageViewer root;
    root.GetPageStyle()->ParseStyle(".c{color:#ff0000} .c{color:#0000ff} *{margin:3px}");
    auto *classed = new XPageItem;
    classed->classList = "c";
    auto *typed = new XPageItem;
    typed->typeName = "box";
    auto *plain = new XPageItem;
    root.AddItem(classed);
    root.AddItem(typed);
    root.AddItem(plain);
    root.OnCreateItem();
    EXPECT_EQ(0xFF0000u, classed->style.textColor);
    EXPECT_EQ(3, classed->style.margin[kSideTop]);
    EXPECT_EQ(3, typed->style.margin[kSideTop]);
    EXPECT_EQ(0, plain->style.margin[kSideTop]);
}

TEST(PageStyle, CompletesWithTheBaseStyle)
{
    XItemStyle base;
    base.ParseStyle("font:bold 16px 'Base';color:#00ff00");
    XPageStyle page;
    page.SetPageStyle(&base);
    EXPECT_EQ(&base, page.GetBaseStyle());
    struct Case
    {
        const char *text;
        int size;
        uint32_t flags;
        const char *family;
        uint32_t color;
    };
    const Case cases[] = {
        {"", 16, kFontBold, "Base", 0x00FF00},
        {"font-style:italic;", 16, kFontItalic, "Base", 0x00FF00},
        {"font:10px 'Own';color:red;", 10, 0, "Own", 0x0000FF},
    };
    for (const Case &c : cases) {
        ScopedStyle d(c.text);
        page.GetPageStyle(&d);
        EXPECT_EQ(c.size, d.fontSize) << c.text;
        EXPECT_EQ(c.flags, d.fontFlags) << c.text;
        EXPECT_EQ(c.family, Utf8(d.fontFamily)) << c.text;
        EXPECT_EQ(c.color, d.textColor) << c.text;
        EXPECT_TRUE(page.GetRescHelper()->IsLiveHandle(d.fontHandle)) << c.text;
    }
    page.SetPageStyle(nullptr);
    ScopedStyle d;
    page.GetPageStyle(&d);
    EXPECT_EQ(12, d.fontSize);
    EXPECT_EQ("宋体", Utf8(d.fontFamily));
    EXPECT_EQ(0u, d.textColor);
}

TEST(PageStyle, ClearStyleAndFontPower)
{
    XPageStyle page;
    page.ParseStyle(".c{color:red}");
    XRescHelper *helper = page.GetRescHelper();
    const void *pen = helper->SearchPen(1, 1, 0);
    const uint32_t epoch = page.GetEpoch();
    page.ClearStyle();
    EXPECT_EQ(nullptr, page.GetFirstRule());
    EXPECT_FALSE(helper->IsLiveHandle(pen));
    EXPECT_NE(epoch, page.GetEpoch());
    XPageStyle other;
    EXPECT_NE(page.GetEpoch(), other.GetEpoch());
    page.SetFontPower(1.5);
    EXPECT_EQ(1.5, helper->GetFontPower());
}

} // namespace
