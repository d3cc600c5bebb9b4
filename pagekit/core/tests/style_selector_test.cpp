#include <gtest/gtest.h>

#include <string>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/style_desc.h"
#include "pagekit/core/style_selector.h"
#include "style_util.h"

namespace {

// A compiled list written back as text: parts subject first, "|" between selectors,
// joins as " > " (child) and " < " (descendant), state after "@".
std::string Describe(const XSelectorList *list)
{
    std::string out;
    for (uint32_t s = 0; s < list->count; ++s) {
        const XSelector &sel = list->selectors[s];
        if (s)
            out += "|";
        for (uint32_t k = 0; k < sel.count; ++k) {
            const XSelectorPart &p = sel.parts[k];
            out += p.type == kPartName ? "#" : p.type == kPartClass ? "." : "";
            out += p.type == kPartAny ? "*" : Utf8(p.name);
            if (p.kind)
                out += "=" + std::to_string(p.kind);
            if (p.join == kJoinChild)
                out += " > ";
            else if (p.join == kJoinDescendant)
                out += " < ";
        }
        if (sel.state)
            out += "@" + std::to_string(sel.state);
    }
    return out;
}

TEST(CompileSelectorList, Chains)
{
    struct Case
    {
        const char *text;
        const char *compiled; // null: does not compile
        unsigned consumed;
    };
    const Case cases[] = {
        {"editClass{", "editClass=18", 10},
        {"  .a  .b {", ".b < .a", 10},
        {"a>b>c{", "c > b > a", 6},
        {"#名字 > * , tabClass:child2 {", "* > #名字|tabClass=97@32", 31},
        {"buttonClass:hover,comboClass:Focus{", "buttonClass=33@3|comboClass=19@2", 35},
        {"x:wobble{", "x@255", 9},
        {"{", nullptr, 0},
        {"a,{", nullptr, 0},
        {"a.b{", nullptr, 0},
        {"a:hover b{", nullptr, 0},
        {"a: hover{", nullptr, 0},
        {"a>{", nullptr, 0},
        {"a", nullptr, 0},
        {"a}", nullptr, 0},
        {"*x{", nullptr, 0},
    };
    for (const Case &c : cases) {
        unsigned consumed = 0;
        XSelectorList *list = CompileSelectorList(c.text, &consumed);
        if (!c.compiled) {
            EXPECT_EQ(nullptr, list) << c.text;
            continue;
        }
        ASSERT_NE(nullptr, list) << c.text;
        EXPECT_EQ(c.compiled, Describe(list)) << c.text;
        EXPECT_EQ(c.consumed, consumed) << c.text;
        FreeSelectorList(list);
    }
    std::string deep = "a";
    for (unsigned i = 1; i < kMaxSelectorParts; ++i)
        deep += " a";
    unsigned consumed = 0;
    XSelectorList *list = CompileSelectorList((deep + "{").c_str(), &consumed);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(kMaxSelectorParts, list->selectors[0].count);
    FreeSelectorList(list);
    EXPECT_EQ(nullptr, CompileSelectorList((deep + " a{").c_str(), &consumed));
}

TEST(ItemKind, SelectorNames)
{
    EXPECT_EQ(kKindEdit, FindItemKind("editClass", 9));
    EXPECT_EQ(kKindEdit, FindItemKind("EDITCLASS", 9));
    EXPECT_EQ(kKindViewer, FindItemKind("frameClass", 10));
    EXPECT_EQ(kKindStatusItem, FindItemKind("StatusItem", 10));
    EXPECT_EQ(0u, FindItemKind("editClas", 8));
    EXPECT_EQ(0u, FindItemKind("editClassX", 10));
    EXPECT_STREQ("menuitemClass", GetItemKindName(kKindMenuItem));
    EXPECT_EQ(nullptr, GetItemKindName(kKindFrame));
    EXPECT_EQ(nullptr, GetItemKindName(kKindSeparator));
}

} // namespace
