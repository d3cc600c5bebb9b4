// Buttons on the virtual display: where commands go (own hook and OnMessage first, then
// the target or the owner), the veto by kMsgStop, toggling, the keys, read-only buttons,
// and the extent of text and icon.

#include <gtest/gtest.h>

#include <cairo.h>

#include <cstring>

#include "pagekit/core/page_button.h"
#include "pagekit/core/tests/page_fixture.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

using PageButton = PageWindowTest;

// A button that logs what reaches its own OnMessage.
using RecordingButton = Recording<XPageButton>;

// Commands as "who:code:key" lines.
std::vector<std::string> Commands(const SeenLog &log)
{
    std::vector<std::string> out;
    for (const SeenMessage &seen : log) {
        if (seen.code == XMSG_COMMAND)
            out.push_back(seen.who + ":" + std::to_string(seen.key));
    }
    return out;
}

struct Form
{
    SeenLog log;
    XPageWindow window;
    RecordingOwner *owner = Placed(new RecordingOwner(&log, "owner"), 0, 0, 200, 120);
    RecordingButton *button = Placed(new RecordingButton(&log, "button"), 10, 10, 80, 24);
    RecordingItem *target = Placed(new RecordingItem(&log, "target"), 100, 10, 40, 24);
    std::vector<uint32_t> hookStates;

    Form()
    {
        window.GetRooter()->AddItem(owner);
        owner->AddItem(button);
        owner->AddItem(target);
        button->itemCode = 77;
        button->SetItemText(u"确定");
        button->SetHook(
            [](void *data, XMessage_t *message) {
                auto *self = static_cast<Form *>(data);
                if (message->code == XMSG_COMMAND) {
                    self->log.push_back(
                        {"hook", message->code, message->state, 0, 0, message->key, message->item});
                }
                return 0;
            },
            this);
    }
};

TEST_F(PageButton, CommandsGoToTheButtonFirstThenTheOwnerOrTheTarget)
{
    Form f;
    Open(f.window);
    display->Click(&f.window, 30, 20);
    Run();
    EXPECT_EQ((std::vector<std::string>{"hook:77", "button:77", "owner:77"}), Commands(f.log));
    for (const SeenMessage &seen : f.log) {
        if (seen.code == XMSG_COMMAND) {
            EXPECT_EQ(kMsgDone, seen.state) << seen.who;
        }
        if (seen.who == "hook") {
            EXPECT_EQ(f.button, seen.other); // the hook logs the target field
        }
    }

    f.log.clear();
    f.button->SetCommandTarget(f.target);
    display->Click(&f.window, 30, 20);
    Run();
    EXPECT_EQ((std::vector<std::string>{"hook:77", "button:77", "target:77"}), Commands(f.log));
}

// A button whose own OnMessage answers its commands with kMsgStop.
class VetoButton : public XPageButton
{
public:
    int vetoed = 0;
    int OnMessage(XMessage_t *message) override
    {
        if (message->code != XMSG_COMMAND)
            return XPageButton::OnMessage(message);
        message->state = kMsgStop;
        ++vetoed;
        return 1;
    }
};

TEST_F(PageButton, OwnVetoKeepsTheCommandFromTheOwner)
{
    SeenLog log;
    XPageWindow window;
    auto *owner = Placed(new RecordingOwner(&log, "owner"), 0, 0, 200, 120);
    auto *button = Placed(new VetoButton, 10, 10, 80, 24);
    window.GetRooter()->AddItem(owner);
    owner->AddItem(button);
    Open(window);
    display->Click(&window, 30, 20);
    Run();
    EXPECT_EQ(1, button->vetoed);
    EXPECT_TRUE(Commands(log).empty());
}

TEST_F(PageButton, HookVetoKeysAndDoubleClicks)
{
    Form f;
    Open(f.window);
    f.button->SetHook(
        [](void *, XMessage_t *message) {
            if (message->code == XMSG_COMMAND)
                message->state = kMsgStop;
            return 0;
        },
        nullptr);
    f.button->PressButton();
    EXPECT_TRUE(Commands(f.log).empty()); // the hook's stop keeps even OnMessage out
    f.button->SetHook(nullptr, nullptr);

    f.window.SetFocusItem(f.button);
    display->KeyDown(&f.window, 13);
    display->KeyDown(&f.window, 32);
    display->KeyDown(&f.window, 65);
    Run();
    EXPECT_EQ((std::vector<std::string>{"button:77", "owner:77", "button:77", "owner:77"}),
              Commands(f.log));

    f.log.clear();
    f.button->extraFlags |= kButtonNoKeys;
    display->KeyDown(&f.window, 13);
    display->KeyDown(&f.window, 32);
    Run();
    EXPECT_TRUE(Commands(f.log).empty());

    XMessage_t dbl = {};
    dbl.code = XMSG_DBLCLICK;
    dbl.key = XMSG_BUTTON_LEFT;
    f.button->DispatchMessage(&dbl);
    dbl = {};
    dbl.code = XMSG_DBLCLICK;
    dbl.key = XMSG_BUTTON_RIGHT;
    f.button->DispatchMessage(&dbl);
    EXPECT_EQ((std::vector<std::string>{"button:77", "owner:77"}), Commands(f.log));
}

TEST_F(PageButton, TogglingFlipsBeforeTheCommandAndReadOnlyDisables)
{
    Form f;
    f.button->extraFlags |= kButtonToggle;
    std::vector<int> seenChecked;
    f.owner->onMessage = [&](XMessage_t *message) {
        if (message->code == XMSG_COMMAND)
            seenChecked.push_back(f.button->IsChecked());
    };
    Open(f.window);
    display->Click(&f.window, 30, 20);
    display->Click(&f.window, 30, 20);
    display->Click(&f.window, 30, 20);
    Run();
    EXPECT_EQ((std::vector<int>{1, 0, 1}), seenChecked);
    EXPECT_EQ(kButtonChecked, f.button->stateFlags & kButtonChecked);
    f.button->CheckButton(0);
    EXPECT_FALSE(f.button->IsChecked());

    // Without the flag the state stays.
    f.button->extraFlags &= ~kButtonToggle;
    f.button->PressButton();
    EXPECT_FALSE(f.button->IsChecked());

    seenChecked.clear();
    f.button->SetReadOnly(1);
    EXPECT_FALSE(f.button->IsEnable());
    display->Click(&f.window, 30, 20);
    Run();
    EXPECT_EQ(0, f.button->PressButton());
    EXPECT_TRUE(seenChecked.empty());
    f.button->SetReadOnly(0);
    EXPECT_EQ(1, f.button->PressButton());
    EXPECT_EQ(1u, seenChecked.size());
}

// An extend button's place: text width + 16 by line height + 6, and the 1-pixel border
// of the default style on each side; an icon adds its width + 6, or above the text its
// height and a quarter.
TEST_F(PageButton, ExtentOfTextAndIcon)
{
    XIconDrawer icons;
    cairo_surface_t *strip = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 20);
    ASSERT_TRUE(icons.LoadSurface(strip, 0));
    cairo_surface_destroy(strip);

    XPageWindow window;
    auto *plain = Placed(new XPageButton, 0, 0, 0, 0);
    auto *left = Placed(new XPageButton, 0, 30, 0, 0);
    auto *above = Placed(new XPageButton, 0, 70, 0, 0);
    for (XPageButton *b : {plain, left, above}) {
        b->itemFlags = SetStyleField(b->itemFlags, kItemOverflowX, kOverflowExtend);
        b->itemFlags = SetStyleField(b->itemFlags, kItemOverflowY, kOverflowExtend);
        b->SetItemText(u"Save 保存");
        window.GetRooter()->AddItem(b);
    }
    left->SetIcon(&icons, 1);
    above->SetIcon(&icons, 0);
    above->extraFlags |= kButtonIconAbove;
    Open(window, 200, 150);
    plain->CalcExtentSize(0);
    left->CalcExtentSize(0);
    above->CalcExtentSize(0);

    XPainter *painter = window.GetRooter()->GetPainter();
    ASSERT_NE(nullptr, painter);
    painter->SetFonter(&plain->style);
    SIZE_t text = {0, 0};
    painter->CalcLineSize(u"Save 保存", -1, &text);
    ASSERT_GT(text.cx, 20);
    ASSERT_GT(text.cy, 8);
    EXPECT_EQ(text.cx + 16 + 2, plain->place.width);
    EXPECT_EQ(text.cy + 6 + 2, plain->place.height);
    EXPECT_EQ(text.cx + 20 + 6 + 16 + 2, left->place.width);
    EXPECT_EQ(std::max(text.cy, 20) + 6 + 2, left->place.height);
    EXPECT_EQ(text.cx + 16 + 2, above->place.width);
    EXPECT_EQ(text.cy + 20 + 5 + 6 + 2, above->place.height);

    // A new text grows the button at once.
    plain->SetItemText(u"Save 保存 and close");
    EXPECT_GT(plain->place.width, text.cx + 18);
    char16_t back[32];
    EXPECT_EQ(17u, plain->GetItemText(back, 32));
    EXPECT_EQ(std::u16string(u"Save 保存 and close"), back);
    EXPECT_EQ(4u, plain->GetItemText(back, 5));
    EXPECT_EQ(std::u16string(u"Save"), back);
}

// A draw procedure paints the body in place of text and icon, with the body in the
// child space.
TEST_F(PageButton, DrawProcedurePaintsTheBody)
{
    XPageWindow window;
    window.GetRooter()->ApplyStyle(0, "background-color:#ffffff;");
    auto *button = Placed(new XPageButton, 10, 10, 40, 20);
    button->SetItemText(u"X");
    window.GetRooter()->AddItem(button);
    std::vector<std::string> bodies;
    button->SetDrawProc(&bodies,
                        [](void *data, XPageButton *, XPainter *painter, const BOUND_t *body) {
                            static_cast<std::vector<std::string> *>(data)->push_back(Show(*body));
                            painter->FillRect(body, 0x00FF00);
                        });
    Open(window, 100, 60);
    Run();
    ASSERT_FALSE(bodies.empty());
    // The default button style has a 1-pixel border: the body is 38 x 18.
    EXPECT_EQ("(0,0,38,18)", bodies.back());
    cairo_surface_t *shown = display->GetWindowSurface(&window);
    cairo_surface_flush(shown);
    auto pixel = [shown](int x, int y) {
        uint32_t argb;
        std::memcpy(&argb,
                    cairo_image_surface_get_data(shown) +
                        y * cairo_image_surface_get_stride(shown) + 4 * x,
                    4);
        return argb & 0xFFFFFF;
    };
    for (int x = 11; x < 49; ++x)
        EXPECT_EQ(0x00FF00u, pixel(x, 20)) << x; // no text drawn over it
    EXPECT_EQ(0xFFFFFFu, pixel(60, 20));
}

} // namespace
