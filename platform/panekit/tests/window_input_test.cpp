// Input of the virtual display as the window sees it: keys, characters, buttons, the
// state word, double clicks, size, move and focus.

#include <gtest/gtest.h>

#include <cairo.h>

#include "window_fixture.h"

namespace {

using InputTest = WindowTest;

TEST_F(InputTest, CreationDeliversSizeThenTheFirstMove)
{
    RecordingWindow window;
    BOUND_t place = {30, 40, 320, 200};
    ASSERT_TRUE(window.Create(u"标题", &place));
    EXPECT_EQ(0, window.Create(u"again", &place));
    EXPECT_EQ(0, Panekit::WaitForMessage(kWaitForever, 0));
    ASSERT_EQ((std::vector<uint32_t>{XMSG_SIZE, XMSG_MOVE}), window.Codes());
    EXPECT_EQ(320, window.received[0].message.x);
    EXPECT_EQ(200, window.received[0].message.y);
    EXPECT_EQ(30, window.received[1].message.x);
    EXPECT_EQ(40, window.received[1].message.y);
    EXPECT_EQ(u"标题", display->GetTitle(&window));
    EXPECT_TRUE(display->IsShown(&window));
}

TEST_F(InputTest, KeysCarryVirtualKeysAndTheModifierState)
{
    RecordingWindow window;
    Open(window);
    std::vector<int> shiftSeen, ctrlSeen;
    window.onMessage = [&](XMessage_t *) {
        shiftSeen.push_back(IsKeyPress(16));
        ctrlSeen.push_back(IsKeyPress(17));
    };
    display->KeyDown(&window, 17);
    display->KeyDown(&window, 16);
    display->KeyDown(&window, 9);
    display->KeyUp(&window, 9);
    display->KeyUp(&window, 17);
    display->KeyDown(&window, 13);
    display->KeyUp(&window, 16);
    display->KeyUp(&window, 13);
    Panekit::WaitForMessage();
    struct Expect
    {
        uint32_t code, key, flags;
        int shift, ctrl;
    };
    const Expect expected[] = {
        {2, 17, 0x1, 0, 1}, {2, 16, 0x3, 1, 1}, {2, 9, 0x3, 1, 1},  {1, 9, 0x3, 1, 1},
        {1, 17, 0x2, 1, 0}, {2, 13, 0x2, 1, 0}, {1, 16, 0x0, 0, 0}, {1, 13, 0x0, 0, 0},
    };
    ASSERT_EQ(std::size(expected), window.received.size());
    for (size_t i = 0; i < std::size(expected); i++) {
        const XMessage_t &m = window.received[i].message;
        EXPECT_EQ(expected[i].code, m.code) << i;
        EXPECT_EQ(expected[i].key, m.key) << i;
        EXPECT_EQ(expected[i].flags, m.flags) << i;
        EXPECT_EQ(expected[i].shift, shiftSeen[i]) << i;
        EXPECT_EQ(expected[i].ctrl, ctrlSeen[i]) << i;
    }
}

TEST_F(InputTest, FocusLossForgetsHeldModifiers)
{
    RecordingWindow window;
    Open(window);
    display->KeyDown(&window, 17);
    display->Focus(&window, 0);
    display->Focus(&window, 1);
    display->Press(&window, 5, 5);
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<uint32_t>{XMSG_KEYDOWN, XMSG_KILLFOCUS, XMSG_SETFOCUS, XMSG_BUTTONDOWN}),
              window.Codes());
    EXPECT_EQ(XMSG_STATE_LEFT, window.Of(XMSG_BUTTONDOWN)[0].flags);
    EXPECT_EQ(0, IsKeyPress(17));
}

TEST_F(InputTest, CharactersOutsideTheBmpArriveAsTwoUnits)
{
    RecordingWindow window;
    Open(window);
    display->Type(&window, u"a中😀");
    display->TypeChar(&window, 0xD800); // a lone surrogate is no character
    display->TypeChar(&window, 0x110000);
    Panekit::WaitForMessage();
    std::vector<uint32_t> units;
    for (const XMessage_t &m : window.Of(XMSG_CHAR))
        units.push_back(m.key);
    EXPECT_EQ((std::vector<uint32_t>{u'a', u'中', 0xD83D, 0xDE00}), units);
    EXPECT_EQ((std::vector<uint32_t>{2, 3, 1, 3, 3, 3}), window.Codes());
    EXPECT_EQ(65u, window.received[0].message.key);
}

TEST_F(InputTest, ButtonsCarryTheHeldStateAfterTheEvent)
{
    RecordingWindow window;
    Open(window);
    display->Press(&window, 10, 11, XMSG_BUTTON_LEFT);
    display->Move(&window, 12, 13);
    display->Press(&window, 12, 13, XMSG_BUTTON_RIGHT);
    display->Release(&window, 12, 13, XMSG_BUTTON_LEFT);
    display->Wheel(&window, 12, 13, 1);
    display->Wheel(&window, 12, 13, 0);
    display->Release(&window, 14, 15, XMSG_BUTTON_RIGHT);
    display->Press(&window, 16, 17, XMSG_BUTTON_MIDDLE);
    Panekit::WaitForMessage();
    struct Expect
    {
        uint32_t code, key, flags;
        int32_t x, y;
    };
    const Expect expected[] = {
        {18, 0, 0x4, 10, 11}, {19, 0, 0x4, 12, 13}, {18, 1, 0xC, 12, 13}, {17, 0, 0x8, 12, 13},
        {20, 1, 0x8, 12, 13}, {20, 0, 0x8, 12, 13}, {17, 1, 0x0, 14, 15}, {18, 2, 0x10, 16, 17},
    };
    ASSERT_EQ(std::size(expected), window.received.size());
    for (size_t i = 0; i < std::size(expected); i++) {
        const XMessage_t &m = window.received[i].message;
        EXPECT_EQ(expected[i].code, m.code) << i;
        EXPECT_EQ(expected[i].key, m.key) << i;
        EXPECT_EQ(expected[i].flags, m.flags) << i;
        EXPECT_EQ(expected[i].x, m.x) << i;
        EXPECT_EQ(expected[i].y, m.y) << i;
    }
    POINT_t place;
    window.GetMousePlace(&place);
    EXPECT_EQ(16, place.x);
    EXPECT_EQ(17, place.y);
}

TEST_F(InputTest, SecondPressIsADoubleClickWithinTimeAndDistance)
{
    struct Case
    {
        uint64_t gap;
        int32_t dx, dy;
        uint32_t secondButton;
        uint32_t secondCode;
    };
    const Case cases[] = {
        {0, 0, 0, 0, XMSG_DBLCLICK},     {500, 0, 0, 0, XMSG_DBLCLICK},
        {501, 0, 0, 0, XMSG_BUTTONDOWN}, {100, 4, -4, 0, XMSG_DBLCLICK},
        {100, 5, 0, 0, XMSG_BUTTONDOWN}, {100, 0, -5, 0, XMSG_BUTTONDOWN},
        {100, 0, 0, 1, XMSG_BUTTONDOWN}, {100, 0, 0, 2, XMSG_BUTTONDOWN},
    };
    for (const Case &c : cases) {
        display->Reset();
        RecordingWindow window;
        Open(window);
        display->Click(&window, 50, 50, 0);
        display->Advance(c.gap);
        display->Press(&window, 50 + c.dx, 50 + c.dy, c.secondButton);
        Panekit::WaitForMessage();
        ASSERT_EQ(3u, window.received.size()) << c.gap << " " << c.dx << " " << c.dy;
        const XMessage_t &second = window.received[2].message;
        EXPECT_EQ(c.secondCode, second.code) << c.gap << " " << c.dx << " " << c.dy;
        EXPECT_EQ(c.secondButton, second.key);
    }
}

TEST_F(InputTest, ThirdPressStartsANewPairAndOtherWindowsDoNotPair)
{
    RecordingWindow window, other;
    Open(window);
    Open(other);
    for (int i = 0; i < 4; i++)
        display->Click(&window, 5, 5);
    display->Click(&other, 5, 5);
    Panekit::WaitForMessage();
    std::vector<uint32_t> presses;
    for (uint32_t code : window.Codes()) {
        if (code != XMSG_BUTTONUP)
            presses.push_back(code);
    }
    EXPECT_EQ((std::vector<uint32_t>{18, 30, 18, 30}), presses);
    EXPECT_EQ((std::vector<uint32_t>{18, 17}), other.Codes());
}

TEST_F(InputTest, ModalPopupBlocksTheOwnersInput)
{
    RecordingWindow owner, dialog;
    Open(owner);
    BOUND_t place = {0, 0, 100, 80};
    ASSERT_TRUE(dialog.Create(u"对话框", &place, nullptr, &owner, PANEKIT_STYLE_HIDDEN));
    display->Click(&owner, 1, 1);
    display->Call([&] {
        EXPECT_FALSE(display->IsEnabled(&owner));
        dialog.EndMessageLoop(7);
    });
    display->Click(&owner, 2, 2);
    EXPECT_EQ(7, dialog.PopupWindow(3));
    EXPECT_TRUE(display->IsEnabled(&owner));
    EXPECT_TRUE(owner.received.empty());
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<uint32_t>{18, 17}), owner.Codes());
}

TEST_F(InputTest, SizeAndMoveUpdateThePlaceAndTheBuffer)
{
    RecordingWindow window;
    Open(window);
    display->Resize(&window, 300, 150);
    display->MoveTo(&window, 7, 8);
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<uint32_t>{XMSG_SIZE, XMSG_MOVE}), window.Codes());
    BOUND_t place;
    window.GetWindowPlace(&place);
    EXPECT_EQ(7, place.x);
    EXPECT_EQ(8, place.y);
    EXPECT_EQ(300, place.width);
    EXPECT_EQ(150, place.height);
    ASSERT_NE(window.GetBufferSurface(), nullptr);
    EXPECT_EQ(300, cairo_image_surface_get_width(window.GetBufferSurface()));
    EXPECT_EQ(150, cairo_image_surface_get_height(window.GetBufferSurface()));
    BOUND_t next = {1, 2, 50, 60};
    window.MoveWindow(&next);
    Panekit::WaitForMessage();
    window.GetWindowPlace(&place);
    EXPECT_EQ(50, place.width);
    EXPECT_EQ(2, place.y);
}

TEST_F(InputTest, PointerMovesResetTheCursorUnlessTheWindowSetsIt)
{
    RecordingWindow window;
    Open(window);
    window.onMessage = [&](XMessage_t *m) {
        if (m->code == XMSG_MOUSEMOVE && m->x > 100)
            window.SetMouseCursor(m->x == 150 ? PANEKIT_CURSOR_HAND : 99);
    };
    std::vector<int> shapes;
    for (int32_t x : {150, 50, 101}) {
        display->Move(&window, x, 5);
        display->Call([&] { shapes.push_back(display->GetCursorShape(&window)); });
    }
    display->Move(&window, 250, 5);
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<int>{4, 0, 0}), shapes);
    EXPECT_TRUE(window.IsCaptureLeave());
}

} // namespace

namespace {

TEST_F(InputTest, CaptureAndLeavingTheWindow)
{
    RecordingWindow window;
    Open(window);
    window.SetCapture();
    EXPECT_TRUE(window.HasCapture());
    EXPECT_TRUE(display->IsCaptured(&window));
    std::vector<int> leave;
    auto look = [&] { display->Call([&] { leave.push_back(window.IsCaptureLeave()); }); };
    display->Move(&window, 10, 10);
    look();
    display->Leave(&window);
    look();
    display->Move(&window, -1, 10); // still reported while captured
    look();
    display->Move(&window, 199, 99);
    look();
    Panekit::WaitForMessage();
    EXPECT_EQ((std::vector<int>{0, 1, 1, 0}), leave);
    EXPECT_EQ(3u, window.Of(XMSG_MOUSEMOVE).size());
    window.ReleaseCapture();
    EXPECT_FALSE(display->IsCaptured(&window));
    window.DestroyWindow();
    window.SetCapture(); // no window: nothing happens
    EXPECT_FALSE(window.HasCapture());
}

// A free pointer leaving the window arrives as message 24 without an item, so that the
// window can end its hover; while a button is held the pointer stays captured and only
// its moves arrive.
TEST_F(InputTest, LeavingWithoutAButtonArrivesAsMessage24)
{
    RecordingWindow window;
    Open(window);
    display->Move(&window, 10, 10);
    display->Leave(&window);
    display->Move(&window, 10, 10);
    display->Press(&window, 10, 10);
    display->Leave(&window);
    display->Release(&window, -5, 10);
    Panekit::WaitForMessage();
    const std::vector<XMessage_t> left = window.Of(XMSG_MOUSELEAVE);
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(nullptr, left[0].item);
    EXPECT_EQ((std::vector<uint32_t>{XMSG_MOUSEMOVE, XMSG_MOUSELEAVE, XMSG_MOUSEMOVE,
                                     XMSG_BUTTONDOWN, XMSG_BUTTONUP}),
              window.Codes());
}

} // namespace
