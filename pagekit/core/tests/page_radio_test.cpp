// Radio and check groups: the cells of the grid in both fill orders, the option limit,
// clicks and arrows with their user notifications (67) against set notifications (129),
// names in and out, the kept list, and golden pictures of icons and child boxes.

#include <gtest/gtest.h>

#include "corekit/text/xstring.h"
#include "pagekit/core/page_radio.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/core/tests/style_util.h"

namespace {

using PageRadio = PageWindowTest;
using RecordingRadio = Recording<XPageRadio>;

constexpr const char16_t *kSix = u"1;一\r\n2;二\n3;三\n4;四\n5;五\n6;六\n7;七";

std::vector<std::string> Cells(const XPageRadio &radio)
{
    std::vector<std::string> out;
    for (unsigned i = 0; i < radio.GetCounter(); ++i) {
        BOUND_t cell;
        radio.GetOptionCell(i, &cell);
        out.push_back(Show(cell));
    }
    return out;
}

TEST_F(PageRadio, CellsFillRowsOrColumnsUpToTheGrid)
{
    XPageRadio byRows, byColumns;
    byRows.SetGridSize(2, 3);
    byColumns.SetGridSize(2, 3);
    byColumns.extraFlags |= kRadioByColumns;
    // Seven entries, six cells: the seventh is left out.
    EXPECT_EQ(6, byRows.SetItemMapper(kSix));
    EXPECT_EQ(6, byColumns.SetItemMapper(kSix));
    EXPECT_EQ((std::vector<std::string>{"(0,0,30,30)", "(30,0,30,30)", "(60,0,30,30)",
                                        "(0,30,30,30)", "(30,30,30,30)", "(60,30,30,30)"}),
              Cells(byRows));
    EXPECT_EQ((std::vector<std::string>{"(0,0,30,30)", "(0,30,30,30)", "(30,0,30,30)",
                                        "(30,30,30,30)", "(60,0,30,30)", "(60,30,30,30)"}),
              Cells(byColumns));

    // Once created the body (less the 1-pixel border) is divided.
    XPageWindow window;
    auto *radio = Placed(new XPageRadio, 10, 10, 152, 62);
    radio->SetGridSize(2, 3);
    radio->SetItemMapper(kSix);
    window.GetRooter()->AddItem(radio);
    Open(window);
    EXPECT_EQ((std::vector<std::string>{"(0,0,50,30)", "(50,0,50,30)", "(100,0,50,30)",
                                        "(0,30,50,30)", "(50,30,50,30)", "(100,30,50,30)"}),
              Cells(*radio));
    const BOUND_t wider = {10, 10, 182, 62};
    radio->MovePlace(&wider, 1);
    EXPECT_EQ("(120,30,60,30)", Cells(*radio).back());

    // Never more than 64 options, in either mode.
    std::u16string many;
    for (int i = 0; i < 70; ++i)
        many += u"x\n";
    XPageRadio big;
    big.SetGridSize(10, 10);
    EXPECT_EQ(64, big.SetItemMapper(many.c_str()));
    big.SetChoice(-1);
    EXPECT_EQ(-1, big.GetChoice());
    big.extraFlags |= kRadioSingle;
    big.SetChoice(63);
    EXPECT_EQ(63, big.GetChoice());
    big.SetChoice(64);
    EXPECT_EQ(-1, big.GetChoice());
}

struct Group
{
    SeenLog log;
    XPageWindow window;
    RecordingOwner *owner = Placed(new RecordingOwner(&log, "owner"), 0, 0, 200, 120);
    RecordingRadio *radio = Placed(new RecordingRadio(&log, "radio"), 10, 10, 152, 32);

    explicit Group(uint32_t flags)
    {
        window.GetRooter()->AddItem(owner);
        owner->AddItem(radio);
        radio->extraFlags = flags;
        radio->SetGridSize(1, 3);
        radio->SetItemMapper(u"M;Male\r\nF;Female\r\nX;Other");
    }
    // Notifications the owner saw: "67:1" or "129:0".
    std::vector<std::string> Notes() const
    {
        std::vector<std::string> out;
        for (const SeenMessage &seen : log) {
            if (seen.who == "owner" && (seen.code == 67 || seen.code == 129))
                out.push_back(std::to_string(seen.code) + ":" + std::to_string(seen.key));
        }
        return out;
    }
};

// The option cells are 50 wide: option i is clicked at window x 11 + 50 i + 25.
constexpr int Column(int i)
{
    return 11 + 50 * i + 25;
}

TEST_F(PageRadio, RadioClicksAndArrows)
{
    Group g(kRadioSingle);
    Open(g.window);
    display->Click(&g.window, Column(1), 25);
    display->Click(&g.window, Column(1), 25); // already checked: nothing
    display->Click(&g.window, Column(2), 25);
    Run();
    EXPECT_EQ(2, g.radio->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"67:1", "67:1"}), g.Notes());

    g.log.clear();
    display->KeyDown(&g.window, 39); // Right at the last: nothing
    display->KeyDown(&g.window, 37); // Left
    display->KeyDown(&g.window, 38); // Up
    display->KeyDown(&g.window, 38); // Up at the first: nothing
    display->KeyDown(&g.window, 40); // Down
    Run();
    EXPECT_EQ(1, g.radio->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"67:1", "67:1", "67:1"}), g.Notes());

    // Calls notify with 129, only when the choice changes.
    g.log.clear();
    g.radio->SetChoice(1);
    g.radio->SetChoice(0);
    g.radio->SetNameChoice(u"Other");
    g.radio->SetNameChoice(u"Other");
    g.radio->SetNameChoice(u"Nobody");
    EXPECT_EQ(-1, g.radio->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"129:0", "129:0", "129:0"}), g.Notes());

    // With nothing checked, forward checks the first; back does nothing.
    g.log.clear();
    display->KeyDown(&g.window, 37);
    display->KeyDown(&g.window, 39);
    Run();
    EXPECT_EQ(0, g.radio->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"67:1"}), g.Notes());

    // A read-only group takes no clicks.
    g.log.clear();
    g.radio->SetReadOnly(1);
    display->Click(&g.window, Column(2), 25);
    display->KeyDown(&g.window, 39);
    Run();
    EXPECT_EQ(0, g.radio->GetChoice());
    EXPECT_TRUE(g.Notes().empty());
}

TEST_F(PageRadio, CheckClicksToggleAndNamesRoundTrip)
{
    Group g(0);
    Open(g.window);
    display->Click(&g.window, Column(0), 25);
    display->Click(&g.window, Column(2), 25);
    display->Click(&g.window, Column(0), 25);
    display->KeyDown(&g.window, 39); // arrows are for radio groups
    Run();
    EXPECT_EQ(0x4, g.radio->GetChoice());
    EXPECT_EQ((std::vector<std::string>{"67:1", "67:1", "67:1"}), g.Notes());

    g.radio->SetNameChoice(u"Male;Other");
    EXPECT_EQ(0x5, g.radio->GetChoice());
    char16_t names[32];
    EXPECT_EQ(10u, g.radio->GetNameChoice(names, 32));
    EXPECT_EQ(std::u16string(u"Male;Other"), names);
    EXPECT_EQ(4u, g.radio->GetNameChoice(names, 6)); // whole names that fit
    EXPECT_EQ(std::u16string(u"Male"), names);
    g.radio->SetNameChoice(nullptr);
    EXPECT_EQ(0, g.radio->GetChoice());
    EXPECT_EQ(0u, g.radio->GetNameChoice(names, 32));
    g.radio->SetChoice(0x2);
    EXPECT_EQ(6u, g.radio->GetNameChoice(names, 32));
    EXPECT_EQ(std::u16string(u"Female"), names);

    // The list comes back with its codes.
    XString list;
    g.radio->GetItemMapper(&list);
    EXPECT_EQ("M;Male\r\nF;Female\r\nX;Other", Utf8(list.GetString()));

    // Names of every option, the last one too, however long the codes were.
    XPageRadio other;
    other.SetGridSize(1, 4);
    EXPECT_EQ(4, other.SetItemMapper(u"1;a\n222222222;b\n3;c\r\n;d"));
    other.SetChoice(0xF);
    EXPECT_EQ(7u, other.GetNameChoice(names, 32));
    EXPECT_EQ(std::u16string(u"a;b;c;d"), names);
}

// Icons for radio and check groups, and child1/child2 boxes from the item's style.
TEST_F(PageRadio, GroupsMatchTheirGoldenPicture)
{
    XPageWindow window;
    window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    auto *radio = Placed(new XPageRadio, 4, 4, 232, 26);
    radio->extraFlags = kRadioSingle;
    radio->SetGridSize(1, 3);
    radio->SetItemMapper(u"1;男\n2;女\n3;Other");
    auto *check = Placed(new XPageRadio, 4, 34, 232, 50);
    check->extraFlags = kRadioByColumns;
    check->SetGridSize(2, 2);
    check->SetItemMapper(u"a;Red\nb;Green\nc;Blue\nd;蓝");
    auto *boxes = Placed(new XPageRadio, 4, 88, 232, 26);
    boxes->extraFlags = kRadioSingle;
    boxes->SetGridSize(1, 3);
    boxes->ApplyStyle(0, "color:#000000;"
                         "child1{width:12px;height:12px;margin-left:4px;layout-y:center;"
                         "border:1px solid #808080;background-color:#ffffff;}"
                         "child2{width:12px;height:12px;margin-left:4px;layout-y:center;"
                         "border:1px solid #204080;background-color:#2060c0;}");
    boxes->SetItemMapper(u"Yes\nNo\n未知");
    for (XPageRadio *r : {radio, check, boxes})
        window.GetRooter()->AddItem(r);
    Open(window, 240, 118);
    radio->SetChoice(1);
    check->SetChoice(0x6);
    boxes->SetChoice(2);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &window, "radio_groups"));
}

} // namespace
