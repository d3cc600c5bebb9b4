// Combos on the virtual display: entries from code strings and back, lookups, the current
// index and its notification, keys and the wheel, the drop list, and the focus rules of
// modes 2 and 3.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/page_combo.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/core/tests/style_util.h"

namespace {

using PageCombo = PageWindowTest;

std::u16string TextOf(XPageEdit *edit)
{
    std::u16string out(edit->GetItemText(nullptr, 0) + 1, u'#');
    out.resize(edit->GetItemText(out.data(), static_cast<unsigned>(out.size())));
    return out;
}

std::string MapperOf(const XPageCombo &combo)
{
    XString out;
    combo.GetItemMapper(&out);
    return Utf8(out.GetString());
}

TEST(ComboEntries, MapperReadsAndWritesBack)
{
    struct Case
    {
        const char *name;
        uint32_t flags;
        const char16_t *list;
        const char *back;
        std::vector<uint64_t> data;
    } cases[] = {
        {"number codes", 0, u"1;Male\r\n2;Female", "1;Male\r\n2;Female", {1, 2}},
        {"no codes take the index",
         0,
         u"Red\nGreen\nBlue",
         "0;Red\r\n1;Green\r\n2;Blue",
         {0, 1, 2}},
        {"explicit empty code", 0, u";None\n7;Seven", ";None\r\n7;Seven", {0x8F3FF3F1, 7}},
        {"text codes",
         kComboTextCodes,
         u"M;Male\nF;Female\nOther",
         "M;Male\r\nF;Female\r\n2;Other",
         {0, 0, 2}},
        {"last line without line feed", 0, u"1;A\n2;B", "1;A\r\n2;B", {1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XPageCombo combo;
        combo.extraFlags |= c.flags;
        EXPECT_EQ(static_cast<int>(c.data.size()), combo.SetItemMapper(c.list));
        EXPECT_EQ(c.back, MapperOf(combo));
        for (size_t i = 0; i < c.data.size(); ++i)
            EXPECT_EQ(c.data[i], combo.GetItemData(static_cast<int>(i))) << i;
    }
}

TEST(ComboEntries, LookupsAndTheCurrentIndex)
{
    XPageCombo combo;
    combo.SetItemMapper(u"10;Apple\n20;Apricot\n30;Banana");
    EXPECT_EQ(1, combo.SearchName(u"Apricot"));
    EXPECT_EQ(-1, combo.SearchName(u"apricot"));
    EXPECT_EQ(2, combo.SearchCode(u"30"));
    EXPECT_EQ(0, combo.SearchData(10));
    EXPECT_EQ(-1, combo.SearchData(11));
    EXPECT_EQ(1, combo.MatchName(u"apr*"));
    EXPECT_EQ(-1, combo.MatchName(u"c*"));
    combo.SetCurSel(2);
    EXPECT_EQ(2, combo.GetCurSel());
    EXPECT_EQ("Banana", Utf8(TextOf(&combo).c_str()));
    combo.SetCurSel(9);
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ("", Utf8(TextOf(&combo).c_str()));
    combo.SetCurSel(1);
    combo.DeleteItem(0);
    EXPECT_EQ(0, combo.GetCurSel()); // moved with its entry
    combo.DeleteItem(0);
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ(1, combo.GetItemCount());
    EXPECT_EQ(1, combo.AddItem(u"40", u"Cherry"));
    EXPECT_EQ(40u, combo.GetItemData(1));
    EXPECT_EQ("", Utf8(combo.GetItemName(5)));
}

// A combo with the focus in a window, and the 65s it sent.
struct Form
{
    XPageWindow window;
    XPageCombo *combo = Placed(new XPageCombo, 10, 10, 150, 24);
    XPageEdit *other = Placed(new XPageEdit, 10, 60, 150, 24);
    std::vector<uint32_t> selected;

    explicit Form(uint32_t flags)
    {
        combo->extraFlags |= flags;
        combo->SetItemMapper(u"1;One\n2;Two\n3;Three");
        window.GetRooter()->AddItem(combo);
        window.GetRooter()->AddItem(other);
        combo->SetHook(
            [](void *data, XMessage_t *message) {
                if (message->code == XMSG_COMBOSELECT)
                    static_cast<Form *>(data)->selected.push_back(message->key);
                return 0;
            },
            this);
    }
};

TEST_F(PageCombo, SelectionNotifiesOnlyOnChange)
{
    Form f(0);
    Open(f.window);
    f.combo->SelectItem(1);
    f.combo->SelectItem(1); // the current index again: nothing sent
    f.combo->SetCurSel(2);  // no notification
    f.window.SetFocusItem(f.combo);
    display->KeyDown(&f.window, 40); // Down from 2: clamped, no change
    display->KeyDown(&f.window, 38);
    display->KeyDown(&f.window, 38);
    display->KeyDown(&f.window, 38);  // clamped at the first
    display->Move(&f.window, 40, 20); // the wheel goes to the item under the pointer
    display->Wheel(&f.window, 40, 20, 1);
    Run();
    EXPECT_EQ((std::vector<uint32_t>{1, 1, 0, 1}), f.selected);
    EXPECT_EQ("Two", Utf8(TextOf(f.combo).c_str()));
    // Modes 0 and 1 take no typing.
    display->Type(&f.window, u"x");
    Run();
    EXPECT_EQ("Two", Utf8(TextOf(f.combo).c_str()));
}

TEST_F(PageCombo, TheDropListChoosesAnEntry)
{
    Form f(1);
    Open(f.window, 200, 200);
    display->Click(&f.window, 40, 20);
    // Inside the drop list's loop: click its third entry.
    display->Call([&] {
        XPageItem *list = f.window.GetPageFloater();
        ASSERT_NE(nullptr, list);
        std::vector<XPageItem *> entries;
        XFinder finder;
        for (XPageItem *e = list->GetNextSuber(0, &finder); e != nullptr;
             e = list->GetNextSuber(0x10, &finder))
            entries.push_back(e);
        ASSERT_EQ(3u, entries.size());
        BOUND_t at;
        entries[2]->GetPlace(kPlaceWindow, &at);
        // The Xvfb test clicks the third entry at y 74: keep that inside it.
        EXPECT_LE(at.y, 74);
        EXPECT_GT(at.y + at.height, 74);
        EXPECT_EQ(0, CompareGolden(display, &f.window, "combo_drop"));
        EXPECT_EQ(f.combo->place.width, list->place.width);
        display->Click(&f.window, at.x + 5, at.y + at.height / 2);
    });
    Run();
    EXPECT_EQ(2, f.combo->GetCurSel());
    EXPECT_EQ((std::vector<uint32_t>{2}), f.selected);
    EXPECT_EQ("Three", Utf8(TextOf(f.combo).c_str()));
}

TEST_F(PageCombo, ModeTwoShowsCodesWhileFocused)
{
    Form f(2);
    f.combo->SetCurSel(0);
    Open(f.window);
    f.window.SetFocusItem(f.combo);
    EXPECT_EQ("1", Utf8(TextOf(f.combo).c_str()));
    // The whole text is chosen: typing replaces it, and leaving selects by code.
    display->Type(&f.window, u"3");
    Run();
    f.window.SetFocusItem(f.other);
    EXPECT_EQ(2, f.combo->GetCurSel());
    EXPECT_EQ("Three", Utf8(TextOf(f.combo).c_str()));
    // Not a code: the first name it begins.
    f.window.SetFocusItem(f.combo);
    display->Type(&f.window, u"tw");
    Run();
    f.window.SetFocusItem(f.other);
    EXPECT_EQ(1, f.combo->GetCurSel());
    EXPECT_EQ("Two", Utf8(TextOf(f.combo).c_str()));
}

TEST_F(PageCombo, ModeThreeMatchesFreeText)
{
    Form f(3);
    Open(f.window);
    f.window.SetFocusItem(f.combo);
    display->Type(&f.window, u"thr");
    Run();
    f.window.SetFocusItem(f.other);
    EXPECT_EQ(2, f.combo->GetCurSel());
    EXPECT_EQ("Three", Utf8(TextOf(f.combo).c_str()));
    // No name begins with it: the free text stays.
    f.window.SetFocusItem(f.combo);
    display->Type(&f.window, u"zz");
    Run();
    f.window.SetFocusItem(f.other);
    EXPECT_EQ("zz", Utf8(TextOf(f.combo).c_str()));
}

} // namespace

namespace {

// The drop button at the right end of the body, and the current entry's name.
TEST_F(PageCombo, PictureWithTheDropButton)
{
    Form f(0);
    f.combo->SetCurSel(1);
    Open(f.window, 180, 100);
    EXPECT_EQ(0, CompareGolden(display, &f.window, "combo"));
}

} // namespace
