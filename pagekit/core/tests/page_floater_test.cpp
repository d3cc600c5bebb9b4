// Floaters and dialogs in nested loops on the virtual display: every floater flag, waits
// closed in either order, a dialog opened while a floater waits, and a script that runs
// out ending every loop with its cancel code.

#include <gtest/gtest.h>

#include "pagekit/core/page_dialog.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/tests/page_fixture.h"

namespace {

using Floaters = PageWindowTest;

struct CountedFloater : XPageFloater
{
    explicit CountedFloater(int *alive) : m_alive(alive) { ++*m_alive; }
    ~CountedFloater() override { --*m_alive; }
    int *m_alive;
};

// A 200 x 120 window: hoster H (10, 10, 30, 20), an item B below (100, 60, 40, 30), and a
// floater of 50 x 30 with a field F inside.
struct Form
{
    SeenLog log;
    XPageWindow window;
    RecordingItem *hoster = Placed(new RecordingItem(&log, "H"), 10, 10, 30, 20);
    RecordingItem *below = Placed(new RecordingItem(&log, "B"), 100, 60, 40, 30);
    XPageFloater *floater = nullptr;
    RecordingItem *field = Placed(new RecordingItem(&log, "F"), 5, 5, 20, 10);

    explicit Form(XPageFloater *made = new XPageFloater) : floater(made)
    {
        window.GetRooter()->AddItem(hoster);
        window.GetRooter()->AddItem(below);
        Placed(floater, 0, 0, 50, 30);
        floater->AddItem(field);
    }
    int Count(const std::string &who, uint32_t code) const
    {
        int n = 0;
        for (const SeenMessage &seen : log)
            n += seen.who == who && seen.code == code;
        return n;
    }
};

TEST_F(Floaters, CreateNeedsAHosterInAPageWindow)
{
    XPageItem loose;
    XPageFloater floater;
    EXPECT_EQ(0, floater.Create(nullptr));
    EXPECT_EQ(0, floater.Create(&loose));
    Form f;
    Open(f.window);
    ASSERT_EQ(1, f.floater->Create(f.hoster));
    EXPECT_EQ(0, f.floater->Create(f.hoster));
    EXPECT_EQ(f.hoster, f.floater->GetHoster());
    EXPECT_FALSE(f.floater->itemFlags & kItemVisible);
    EXPECT_TRUE(f.floater->itemFlags & kItemFixed);
    EXPECT_EQ(1, f.floater->WaitforClose()); // not shown: at once
}

TEST_F(Floaters, PlacesOfTheFiveFormsAndKeepInside)
{
    const struct
    {
        uint32_t flags;
        int form;
        BOUND_t want;
    } cases[] = {
        {0, 0, {75, 45, 50, 30}},   // centred
        {0, 1, {20, 30, 50, 30}},   // at x, y
        {0, 2, {20, 30, 80, 30}},   // with width
        {0, 3, {20, 30, 80, 60}},   // with width and height
        {0, 4, {170, 100, 60, 40}}, // at a bound, partly outside
        {kFloatKeepInside, 4, {140, 80, 60, 40}},
        {kFloatKeepInside, 3, {0, 30, 200, 60}},
    };
    for (const auto &test : cases) {
        Form f;
        Open(f.window);
        f.floater->extraFlags = test.flags;
        ASSERT_EQ(1, f.floater->Create(f.hoster));
        const BOUND_t at = {170, 100, 60, 40};
        switch (test.form) {
        case 0:
            f.floater->ShowFloater(kFloatShowCenter);
            break;
        case 1:
            f.floater->ShowFloater(20, 30);
            break;
        case 2:
            f.floater->ShowFloater(20, 30, 80);
            break;
        case 3:
            f.floater->ShowFloater(test.flags ? -20 : 20, 30, test.flags ? 300 : 80, 60);
            break;
        default:
            f.floater->ShowFloater(&at);
            break;
        }
        EXPECT_EQ(Show(test.want), Show(f.floater->place)) << test.form << " " << test.flags;
        EXPECT_TRUE(f.floater->itemFlags & kItemVisible);
        EXPECT_EQ(f.floater, f.window.GetPageFloater());
    }
}

TEST_F(Floaters, CloseOutsideLetsThePressReachTheItemBelow)
{
    Form f;
    Open(f.window);
    f.floater->extraFlags = kFloatCloseOutside;
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(10, 40);
    display->Click(&f.window, 20, 50); // inside: stays
    display->Click(&f.window, 120, 70);
    Run();
    EXPECT_FALSE(f.floater->IsFloaterShown());
    EXPECT_EQ(1, f.Count("B", XMSG_BUTTONDOWN));
    EXPECT_EQ(1, f.Count("B", XMSG_CLICK));
    EXPECT_EQ(f.below, f.window.GetFocusItem());
    EXPECT_EQ(1, f.Count("H", XMSG_CLOSEFLOAT));
    for (const SeenMessage &seen : f.log) {
        if (seen.code == XMSG_CLOSEFLOAT) {
            EXPECT_EQ(kFloatClosedKey, seen.key);
        }
    }
}

TEST_F(Floaters, CloseOutsideAlsoWhenTheFocusLeaves)
{
    Form f;
    Open(f.window);
    f.floater->extraFlags = kFloatCloseOutside | kFloatTakeFocus;
    f.floater->Create(f.hoster);
    f.window.SetFocusItem(f.hoster);
    f.floater->ShowFloater(10, 40);
    EXPECT_EQ(f.floater, f.window.GetFocusItem());
    f.window.SetFocusItem(f.field); // inside: stays open
    EXPECT_TRUE(f.floater->IsFloaterShown());
    f.window.SetFocusItem(f.below);
    EXPECT_FALSE(f.floater->IsFloaterShown());
    EXPECT_EQ(f.below, f.window.GetFocusItem()); // the new focus is not taken back
}

TEST_F(Floaters, TakeFocusGivesItBackAndEscapeCloses)
{
    Form f;
    Open(f.window);
    f.floater->extraFlags = kFloatTakeFocus;
    f.floater->Create(f.hoster);
    f.window.SetFocusItem(f.hoster);
    f.floater->ShowFloater(10, 40);
    EXPECT_EQ(f.floater, f.window.GetFocusItem());
    display->KeyDown(&f.window, 27);
    Run();
    EXPECT_FALSE(f.floater->IsFloaterShown());
    EXPECT_EQ(f.hoster, f.window.GetFocusItem());
}

TEST_F(Floaters, ModalTakesEveryPressAndTheFocusBack)
{
    Form f;
    Open(f.window);
    f.floater->extraFlags = kFloatModal;
    f.floater->Create(f.hoster);
    f.window.SetFocusItem(f.field);
    f.floater->ShowFloater(10, 40);
    EXPECT_EQ(f.floater, f.window.GetModalItem());
    display->Click(&f.window, 120, 70); // outside: swallowed
    display->KeyDown(&f.window, 65);
    Run();
    EXPECT_EQ(0, f.Count("B", XMSG_BUTTONDOWN));
    EXPECT_EQ(1, f.Count("F", XMSG_KEYDOWN));
    f.window.SetFocusItem(f.below);
    EXPECT_EQ(f.field, f.window.GetFocusItem());
    f.floater->CloseFloater();
    EXPECT_EQ(nullptr, f.window.GetModalItem());
    display->Advance(1000); // no double click
    display->Click(&f.window, 120, 70);
    Run();
    EXPECT_EQ(1, f.Count("B", XMSG_BUTTONDOWN));
}

int CountHook(void *data, XMessage_t *message)
{
    if (message->code == XMSG_KEYDOWN)
        ++*static_cast<int *>(data);
    return 0;
}

TEST_F(Floaters, KeysGoToTheModalFloaterWhenTheFocusIsOutsideIt)
{
    Form f;
    Open(f.window);
    f.floater->extraFlags = kFloatModal;
    f.floater->Create(f.hoster);
    int keys = 0;
    f.floater->SetHook(&CountHook, &keys);
    f.window.SetFocusItem(f.below);
    f.floater->ShowFloater(10, 40);
    display->KeyDown(&f.window, 65);
    Run();
    EXPECT_EQ(1, keys);
    EXPECT_EQ(0, f.Count("B", XMSG_KEYDOWN));
}

TEST_F(Floaters, ASizeChangePlacesTheOpenFloaterAgain)
{
    Form f;
    Open(f.window);
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(kFloatShowCenter);
    EXPECT_EQ(Show(Bound(75, 45, 50, 30)), Show(f.floater->place));
    display->Resize(&f.window, 300, 200);
    Run();
    EXPECT_EQ(Show(Bound(125, 85, 50, 30)), Show(f.floater->place));
}

TEST_F(Floaters, FirstChildBackground)
{
    Form f;
    f.field->ApplyStyle(0, "background:#123456;");
    Open(f.window);
    f.floater->extraFlags = kFloatFirstRender;
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(10, 40);
    f.floater->UpdateStyleDesc(2);
    EXPECT_EQ(f.field->style.backColor, f.floater->style.backColor);
    EXPECT_TRUE(f.floater->IsSolidRender());
}

TEST_F(Floaters, DestroyAfterClosingAndTheHosterForgotten)
{
    int alive = 0;
    Form f(new CountedFloater(&alive));
    Open(f.window);
    f.floater->extraFlags = kFloatDestroy | kFloatTakeFocus;
    f.floater->Create(f.hoster);
    f.window.SetFocusItem(f.hoster);
    f.floater->ShowFloater(10, 40);
    f.floater->CloseFloater();
    EXPECT_EQ(1, alive);
    Run();
    EXPECT_EQ(0, alive);
    EXPECT_EQ(nullptr, f.window.GetPageFloater());
    EXPECT_EQ(f.hoster, f.window.GetFocusItem());

    // A floater whose hoster and previous focus go while it is shown restores nothing.
    auto *again = Placed(new XPageFloater, 0, 0, 40, 20);
    again->extraFlags = kFloatTakeFocus | kFloatModal;
    ASSERT_EQ(1, again->Create(f.hoster));
    f.window.SetFocusItem(f.below);
    again->ShowFloater(5, 5);
    f.hoster->Destroy();
    f.below->Destroy();
    EXPECT_EQ(nullptr, again->GetHoster());
    again->CloseFloater();
    EXPECT_EQ(nullptr, f.window.GetFocusItem());
}

TEST_F(Floaters, NestedWaitsClosedInEitherOrder)
{
    for (int innerFirst = 0; innerFirst < 2; ++innerFirst) {
        Form f;
        auto *second = Placed(new XPageFloater, 0, 0, 40, 20);
        Open(f.window);
        f.floater->Create(f.hoster);
        second->Create(f.hoster);
        f.floater->ShowFloater(10, 40);
        second->ShowFloater(100, 40);
        std::vector<std::string> order;
        int outer = -1, inner = -1;
        display->Call([&] {
            outer = f.floater->WaitforClose();
            order.push_back("outer");
        });
        display->Call([&] {
            inner = second->WaitforClose();
            order.push_back("inner");
        });
        XPageFloater *firstClosed = innerFirst ? second : f.floater;
        XPageFloater *lastClosed = innerFirst ? f.floater : second;
        display->Call([&] { firstClosed->CloseFloater(); });
        display->Call([&] { order.push_back("between"); });
        display->Call([&] { lastClosed->CloseFloater(); });
        display->Call([&] { order.push_back("after"); });
        Run();
        EXPECT_EQ(1, outer);
        EXPECT_EQ(1, inner);
        const std::vector<std::string> want =
            innerFirst ? std::vector<std::string>{"inner", "between", "outer", "after"}
                       : std::vector<std::string>{"between", "inner", "outer", "after"};
        EXPECT_EQ(want, order) << innerFirst;
        EXPECT_EQ(0u, display->GetPendingSteps());
    }
}

TEST_F(Floaters, AWaitEndsWithZeroWhenItsFloaterOrWindowGoes)
{
    for (int window = 0; window < 2; ++window) {
        Form f;
        Open(f.window);
        f.floater->Create(f.hoster);
        f.floater->ShowFloater(10, 40);
        int result = -1;
        display->Call([&] { result = f.floater->WaitforClose(); });
        display->Call([&] {
            if (window)
                f.window.DestroyWindow();
            else
                f.floater->Destroy();
        });
        display->Call([&] { result = result == -1 ? -2 : result; });
        Run();
        EXPECT_EQ(0, result) << window;
    }
}

TEST_F(Floaters, AStopMeantForAnotherLoopWaitsAgain)
{
    Form f;
    Open(f.window);
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(10, 40);
    int result = -1;
    std::vector<std::string> order;
    display->Call([&] {
        result = f.floater->WaitforClose();
        order.push_back("ended");
    });
    display->Call([&] { Panekit::StopForMessage(5); });
    display->Call([&] { order.push_back("still"); });
    display->Call([&] { f.floater->CloseFloater(); });
    Run();
    EXPECT_EQ(1, result);
    EXPECT_EQ((std::vector<std::string>{"still", "ended"}), order);
}

// ---------------------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------------------

struct TestDialog : XPageDialog
{
    int inits = 0;
    std::vector<unsigned> commands;
    RecordingItem *button = nullptr;
    SeenLog log;

    void OnCreateItem() override
    {
        button = Placed(new RecordingItem(&log, "btn"), 10, 10, 40, 20);
        GetRooter()->AddItem(button);
    }
    void OnInitDialog() override
    {
        ++inits;
        XPageDialog::OnInitDialog();
    }
    void OnCommand(unsigned code) override
    {
        commands.push_back(code);
        CloseDialog(code);
    }
};

TEST_F(Floaters, PopupDialogReturnsTheCodeOfCloseDialog)
{
    XPageWindow frame;
    Open(frame);
    TestDialog dialog;
    const BOUND_t place = {20, 20, 160, 90};
    ASSERT_TRUE(dialog.Create(u"对话", &place, nullptr, &frame));
    unsigned code = 99;
    display->Call([&] {
        EXPECT_EQ(1, dialog.inits);
        EXPECT_EQ(Show(Bound(0, 0, 160, 90)), Show(dialog.GetRooter()->place));
        EXPECT_EQ(0xFFFAFAu, dialog.GetRooter()->style.backColor);
        // A command nobody handles reaches OnCommand, which closes with it.
        XMessage_t command = {};
        command.code = XMSG_COMMAND;
        command.key = 42;
        dialog.button->DispatchMessage(&command);
    });
    display->MoveTo(&dialog, 30, 30); // a second move: no second init
    display->Call([&] { code = 1000; });
    code = dialog.PopupDialog();
    EXPECT_EQ(42u, code);
    EXPECT_EQ(1, dialog.inits);
    EXPECT_EQ((std::vector<unsigned>{42}), dialog.commands);
    // Outside PopupDialog the code is only stored.
    dialog.CloseDialog(7);
    EXPECT_EQ(7u, dialog.GetDialogCode());
    Run();
    EXPECT_EQ(1, dialog.inits);
}

TEST_F(Floaters, ADialogOpenedWhileAFloaterWaits)
{
    Form f;
    Open(f.window);
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(10, 40);
    TestDialog dialog;
    const BOUND_t place = {20, 20, 100, 60};
    int waited = -1;
    unsigned code = 99;
    std::vector<std::string> order;
    display->Call([&] {
        waited = f.floater->WaitforClose();
        order.push_back("wait");
    });
    display->Call([&] {
        dialog.Create(u"d", &place, nullptr, &f.window);
        code = dialog.PopupDialog();
        order.push_back("dialog");
    });
    display->Call([&] { dialog.CloseDialog(3); });
    display->Call([&] { f.floater->CloseFloater(); });
    Run();
    EXPECT_EQ(3u, code);
    EXPECT_EQ(1, waited);
    EXPECT_EQ((std::vector<std::string>{"dialog", "wait"}), order);
}

TEST_F(Floaters, AScriptThatRunsOutEndsEveryLoopWithItsCancelCode)
{
    Form f;
    Open(f.window);
    f.floater->Create(f.hoster);
    f.floater->ShowFloater(10, 40);
    TestDialog dialog;
    const BOUND_t place = {20, 20, 100, 60};
    int waited = -1;
    unsigned code = 99;
    display->Call([&] { waited = f.floater->WaitforClose(); });
    display->Call([&] {
        dialog.Create(u"d", &place, nullptr, &f.window);
        code = dialog.PopupDialog();
    });
    Run();
    EXPECT_EQ(kDialogCancel, code);
    EXPECT_EQ(0, waited);
    EXPECT_TRUE(f.floater->IsFloaterShown());
}

} // namespace
