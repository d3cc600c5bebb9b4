#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corekit/memory/memory.h"
#include "pagekit/core/default_style.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/style_text.h"
#include "style_util.h"

namespace {

// Every test works on a table of its own, so none sees what another one added and the
// process's table is left as it was.
class DefaultStyle : public ::testing::Test
{
    ScopedDefaultTable m_table;
};

constexpr uint32_t kSelectorKinds[] = {
    kKindText,        kKindEdit,       kKindCombo,      kKindRadio,       kKindImage,
    kKindTime,        kKindPhoto,      kKindAnnex,      kKindButton,      kKindSlider,
    kKindRicher,      kKindTree,       kKindGrider,     kKindTainer,      kKindFolder,
    kKindPreview,     kKindTabbox,     kKindTable,      kKindViewer,      kKindToolbarPane,
    kKindMenubarPane, kKindMenuItem,   kKindDropItem,   kKindToolbarItem, kKindMenubarItem,
    kKindDockbarPane, kKindActionItem, kKindActionTree, kKindTabFrame,    kKindMainFrame,
    kKindStatusItem,
};

struct StateWord
{
    const char *suffix;
    uint32_t state;
};
constexpr StateWord kStates[] = {
    {"", 0},         {":focus", 2},   {":hover", 3},   {":active", 4},  {":disabled", 5},
    {":after", 160}, {":child1", 16}, {":child2", 32}, {":child3", 48}, {":child4", 64},
};

TEST_F(DefaultStyle, BuiltInEntries)
{
    const XStyleDesc *edit = GetItemDefaultStyle(kKindEdit, 0);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(0x28u, edit->layoutWord);
    EXPECT_EQ(2, edit->padding[kSideLeft]);
    EXPECT_EQ(0x00FFFF01u, edit->backWord);
    EXPECT_EQ(0xFFFFFFu, edit->backColor);
    EXPECT_EQ(0x11, edit->border[kSideBottom]);
    EXPECT_EQ(0x808080u, edit->borderColor[kSideTop]);
    EXPECT_EQ(0xFF0000u, edit->textColor);

    const XStyleDesc *combo = GetItemDefaultStyle(kKindCombo, 0);
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(16, combo->padding[kSideRight]);
    const XStyleDesc *active = GetItemDefaultStyle(kKindButton, kStateActive);
    ASSERT_NE(nullptr, active);
    EXPECT_EQ(0x887438u, active->borderColor[kSideLeft]);
    EXPECT_EQ(0xF8E880u, active->borderColor[kSideBottom]);
    EXPECT_EQ(3, active->radius[kCornerTopRight]);
    const XStyleDesc *viewer = GetItemDefaultStyle(kKindViewer, 0);
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(12, viewer->fontSize);
    EXPECT_EQ("宋体", Utf8(viewer->fontFamily));
    const XStyleDesc *tab = GetItemDefaultStyle(kKindTabbox, kStateChild3);
    ASSERT_NE(nullptr, tab);
    EXPECT_EQ(0, tab->margin[kSideTop]);
    EXPECT_EQ(1, tab->margin[kSideLeft]);
    EXPECT_EQ(0xF0FAF0u, tab->backColor);

    EXPECT_EQ(nullptr, GetItemDefaultStyle(kKindEdit, kStateHover));
    EXPECT_EQ(nullptr, GetItemDefaultStyle(0x7FFF, 0));
}

// A sheet naming every selector with every state lands on top of the built-ins.
TEST_F(DefaultStyle, SheetWithEverySelectorAndState)
{
    std::string sheet = "/* not parsed here */ bogus..x { color:red } ";
    int n = 0;
    for (uint32_t kind : kSelectorKinds) {
        for (const StateWord &s : kStates) {
            const std::string value = std::to_string(++n) + "px";
            sheet += std::string(GetItemKindName(kind)) + s.suffix + " {margin-left:" + value +
                     "; width:" + value + "}\n";
        }
    }
    ParseDefaultStyle(sheet.c_str());
    n = 0;
    for (uint32_t kind : kSelectorKinds) {
        for (const StateWord &s : kStates) {
            const XStyleDesc *d = GetItemDefaultStyle(kind, s.state);
            ++n;
            ASSERT_NE(nullptr, d) << GetItemKindName(kind) << s.suffix;
            EXPECT_EQ(n, d->margin[kSideLeft]) << GetItemKindName(kind) << s.suffix;
            EXPECT_EQ(static_cast<uint32_t>(n * 1000), d->width)
                << GetItemKindName(kind) << s.suffix;
        }
    }
    // Built-in values the sheet did not touch are still there.
    const XStyleDesc *edit = GetItemDefaultStyle(kKindEdit, 0);
    EXPECT_EQ(2, edit->padding[kSideTop]);
    EXPECT_EQ(0xFFFFFFu, edit->backColor);
    const XStyleDesc *hover = GetItemDefaultStyle(kKindButton, kStateHover);
    EXPECT_EQ(0xF8E880u, hover->borderColor[kSideLeft]);
    EXPECT_EQ("宋体", Utf8(GetItemDefaultStyle(kKindViewer, 0)->fontFamily));
}

// Absent entries and unset fields count alike.
uint32_t HeightOf(uint32_t kind, uint32_t state)
{
    const XStyleDesc *d = GetItemDefaultStyle(kind, state);
    return d ? d->height : kStyleUnsetWord;
}

TEST_F(DefaultStyle, SheetSyntax)
{
    ParseDefaultStyle("comboClass:hover{height:7px}  tableClass , radioClass:focus { height:8px; }"
                      "a>b{height:1px} editClass.x{height:2px} #name{height:3px} "
                      "imageClass:hover:focus{height:4px}"
                      "tableClass:Weird{height:9px} tableClass:HOVER{height:10px}");
    const XStyleDesc *hover = GetItemDefaultStyle(kKindCombo, kStateHover);
    ASSERT_NE(nullptr, hover);
    EXPECT_EQ(7000u, hover->height);
    EXPECT_EQ(8000u, GetItemDefaultStyle(kKindTable, 0)->height);
    EXPECT_EQ(8000u, GetItemDefaultStyle(kKindRadio, kStateFocus)->height);
    EXPECT_EQ(kStyleUnsetWord, HeightOf(kKindImage, kStateHover));
    EXPECT_EQ(kStyleUnsetWord, HeightOf(kKindImage, kStateFocus));
    EXPECT_EQ(kStyleUnsetWord, HeightOf(kKindEdit, 0));
    EXPECT_EQ(9000u, GetItemDefaultStyle(kKindTable, kStateUnknown)->height);
    EXPECT_EQ(10000u, GetItemDefaultStyle(kKindTable, kStateHover)->height);
}

TEST_F(DefaultStyle, OverlayRules)
{
    const uint32_t kind = 0x7001;
    ScopedStyle hover("color:red;margin-top:5px;font:'a'");
    ScopedStyle child("color:lime");
    ScopedStyle normal("color:blue;font:bold 'b'");
    SetItemDefaultStyle(kind, kStateHover, &hover);
    SetItemDefaultStyle(kind, kStateChild1, &child);
    SetItemDefaultStyle(kind, kStateNormal, &normal);
    const XStyleDesc *h = GetItemDefaultStyle(kind, kStateHover);
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(kStyleUnsetWord, h->textColor); // unset so that it inherits the normal colour
    EXPECT_EQ(nullptr, h->fontFamily);
    EXPECT_EQ(5, h->margin[kSideTop]);
    EXPECT_EQ(0x00FF00u, GetItemDefaultStyle(kind, kStateChild1)->textColor);
    EXPECT_EQ(0xFF0000u, GetItemDefaultStyle(kind, kStateNormal)->textColor);

    XStyleDesc *chain = CopyDefaultStyleChain(kind);
    std::vector<uint32_t> states;
    for (XStyleDesc *d = chain; d; d = d->nextState)
        states.push_back(d->stateCode);
    EXPECT_EQ((std::vector<uint32_t>{0, 3, 16}), states);
    ASSERT_NE(nullptr, chain);
    EXPECT_NE(GetItemDefaultStyle(kind, 0)->fontFamily, chain->fontFamily);
    EXPECT_EQ("b", Utf8(chain->fontFamily));
    FreeStyleChain(chain);
    EXPECT_EQ(nullptr, CopyDefaultStyleChain(0x7002));

    // Overlaying copies only set fields; flags go with a family, and alone they are left.
    ScopedStyle more("margin-left:4px;font-style:italic;background:url(p.png)");
    more.backPicture = reinterpret_cast<XImage *>(&more);
    SetItemDefaultStyle(kind, kStateNormal, &more);
    FreeStyleDescStrings(&more); // the table keeps its own copies
    const XStyleDesc *d = GetItemDefaultStyle(kind, kStateNormal);
    EXPECT_EQ(4, d->margin[kSideLeft]);
    EXPECT_EQ(0xFF0000u, d->textColor);
    EXPECT_EQ(kFontBold, d->fontFlags);
    EXPECT_EQ("b", Utf8(d->fontFamily));
    EXPECT_EQ("p.png", Utf8(d->backName));
    EXPECT_EQ(nullptr, d->backPicture); // resolved caches never enter the table
}

// The font flags have no unset value, so a sheet's flags count only together with a
// family: flags alone neither add to nor clear the entry's.
TEST_F(DefaultStyle, OverlayTakesFontFlagsWithTheFamily)
{
    struct Case
    {
        const char *sheet;
        uint32_t flags;
        const char *family;
    };
    const Case cases[] = {
        {"frameClass{font-weight:bold}", 0, "宋体"},
        {"frameClass{font-style:italic;text-decoration:underline}", 0, "宋体"},
        {"frameClass{font:bold 'x'}", kFontBold, "x"},
        {"frameClass{font:italic bold 'x'} frameClass{font:'y'}", 0, "y"},
        {"frameClass{font:bold 'x'} frameClass{font-weight}", kFontBold, "x"},
    };
    for (const Case &c : cases) {
        ScopedDefaultTable table;
        ParseDefaultStyle(c.sheet);
        const XStyleDesc *viewer = GetItemDefaultStyle(kKindViewer, kStateNormal);
        ASSERT_NE(nullptr, viewer) << c.sheet;
        EXPECT_EQ(c.flags, viewer->fontFlags) << c.sheet;
        EXPECT_EQ(c.family, Utf8(viewer->fontFamily)) << c.sheet;
    }
}

// Disabled and read-only belong to an item, not to its kind: only visibility cascades.
TEST_F(DefaultStyle, OverlayTakesVisibilityOnly)
{
    struct Case
    {
        const char *sheet;
        uint32_t stateWord;
    };
    const Case cases[] = {
        {"editClass{disabled:1}", 0xFFFFFFFF},
        {"editClass{readonly:1}", 0xFFFFFFFF},
        {"editClass{visibility:hidden}", 0xFFFFFFF1},
        {"editClass{disabled:1;visibility:hidden}", 0xFFFFFFF1},
    };
    for (const Case &c : cases) {
        ScopedDefaultTable table;
        ParseDefaultStyle(c.sheet);
        EXPECT_EQ(c.stateWord, GetItemDefaultStyle(kKindEdit, kStateNormal)->stateWord) << c.sheet;
    }
    // A new normal value unsets the visibility of the hover variant, never its own flags.
    ParseDefaultStyle(
        "editClass:hover{readonly:1;visibility:hidden} editClass{disabled:1;visibility:visible}");
    EXPECT_EQ(0xFFFFFF2Fu, GetItemDefaultStyle(kKindEdit, kStateHover)->stateWord);
}

TEST_F(DefaultStyle, ScopedTablePutsTheOuterTableBack)
{
    ScopedStyle three("width:3px"), four("width:4px");
    SetItemDefaultStyle(0x7003, kStateNormal, &three);
    {
        ScopedDefaultTable inner;
        EXPECT_EQ(nullptr, GetItemDefaultStyle(0x7003, kStateNormal));
        EXPECT_NE(nullptr, GetItemDefaultStyle(kKindEdit, kStateNormal)); // built-ins again
        SetItemDefaultStyle(0x7004, kStateNormal, &four);
    }
    ASSERT_NE(nullptr, GetItemDefaultStyle(0x7003, kStateNormal));
    EXPECT_EQ(3000u, GetItemDefaultStyle(0x7003, kStateNormal)->width);
    EXPECT_EQ(nullptr, GetItemDefaultStyle(0x7004, kStateNormal));
}

// A folder of its own under the system's temporary folder, removed with what it holds.
class TempDir
{
public:
    TempDir()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zep-style-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    bool Made() const { return !m_path.empty(); }
    std::string Write(const std::string &name, const std::string &bytes) const
    {
        const std::string path = m_path + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::string m_path;
};

std::u16string Wide(const std::string &s)
{
    return std::u16string(s.begin(), s.end());
}

TEST_F(DefaultStyle, LoadFile)
{
    TempDir dir;
    ASSERT_TRUE(dir.Made());
    const std::string utf16 = dir.Write("utf16.css", "\xFF\xFE"
                                                     "sliderClass:after{height:5px}");
    LoadDefaultStyleFile(Wide(utf16).c_str());
    EXPECT_EQ(kStyleUnsetWord, HeightOf(kKindSlider, kStateAfter));
    const std::string shortFile = dir.Write("short.css", "x{y:1}");
    LoadDefaultStyleFile(Wide(shortFile).c_str());
    const std::string good = dir.Write(
        "good.css", "\xEF\xBB\xBF/* sheet */\nsliderClass:after /* state */ {height:6px}\n");
    LoadDefaultStyleFile(Wide(good).c_str());
    const XStyleDesc *after = GetItemDefaultStyle(kKindSlider, kStateAfter);
    ASSERT_NE(nullptr, after);
    EXPECT_EQ(6000u, after->height);
    LoadDefaultStyleFile(u"/nonexistent/h7.css");
    LoadDefaultStyleFile(nullptr);
}

} // namespace
