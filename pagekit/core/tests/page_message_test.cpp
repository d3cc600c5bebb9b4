// Message delivery through the owner chain: coordinates, the stop rules, hooks, the
// enter/leave rule, attached items and the base handling of keys and the wheel.

#include <gtest/gtest.h>

#include "pagekit/core/tests/page_fixture.h"

namespace {

// A hook that logs and then answers as told.
struct Hook
{
    SeenLog *log;
    std::string who;
    uint32_t setState = 0; // state to set, 0 for none
    int answer = 0;        // the hook's result
};

int RecordHook(void *data, XMessage_t *message)
{
    auto *hook = static_cast<Hook *>(data);
    hook->log->push_back({hook->who, message->code, message->state, message->x, message->y,
                          message->key, message->other});
    if (hook->setState != 0)
        message->state = hook->setState;
    return hook->answer;
}

std::string Who(const SeenLog &log)
{
    std::string out;
    for (const SeenMessage &seen : log)
        out += seen.who;
    return out;
}

// root > a > b > c, with f fixed in b, and s a sibling of a; every item hooked.
struct Chain
{
    SeenLog log;
    XPageViewer root;
    XPageOwner *a = Placed(new XPageOwner, 10, 20, 200, 150);
    XPageOwner *b = Placed(new XPageOwner, 30, 40, 100, 80);
    RecordingItem *c = Placed(new RecordingItem(&log, "C"), 85, 13, 20, 10);
    XPageItem *f = Placed(new XPageItem, 4, 6, 15, 15);
    XPageItem *s = Placed(new XPageItem, 250, 0, 10, 10);
    Hook hr{&log, "r"}, ha{&log, "a"}, hb{&log, "b"}, hc{&log, "c"}, hf{&log, "f"};

    Chain()
    {
        Placed(&root, 0, 0, 300, 200);
        a->ApplyStyle(0, "margin:2px;border:1px solid #000000;padding:3px;");
        b->ApplyStyle(0, "margin:1px;border:2px solid #000000;");
        f->itemFlags |= kItemFixed;
        root.AddItem(a);
        root.AddItem(s);
        a->AddItem(b);
        b->AddItem(c);
        b->AddItem(f);
        root.OnCreateItem();
        a->scroll = {5, 7, 400, 400};
        b->scroll = {2, 4, 300, 300};
        root.SetHook(RecordHook, &hr);
        a->SetHook(RecordHook, &ha);
        b->SetHook(RecordHook, &hb);
        c->SetHook(RecordHook, &hc);
        f->SetHook(RecordHook, &hf);
    }
};

XMessage_t Message(uint32_t code, int x = 0, int y = 0)
{
    XMessage_t message = {};
    message.code = code;
    message.x = x;
    message.y = y;
    return message;
}

TEST(PageMessage, PointerMessagesTakeEachOwnersCoordinates)
{
    Chain t;
    XMessage_t move = Message(XMSG_MOUSEMOVE, 3, 4);
    t.c->DispatchMessage(&move);
    ASSERT_EQ("cCbar", Who(t.log));
    const int want[][2] = {{3, 4}, {3, 4}, {89, 16}, {120, 55}, {130, 75}};
    for (size_t i = 0; i < t.log.size(); ++i) {
        EXPECT_EQ(want[i][0], t.log[i].x) << t.log[i].who;
        EXPECT_EQ(want[i][1], t.log[i].y) << t.log[i].who;
    }
    EXPECT_EQ(3, move.x);
    EXPECT_EQ(4, move.y);
    EXPECT_EQ(t.c, move.item);

    // A fixed item adds only its place origin.
    t.log.clear();
    t.f->DispatchMessage(&move);
    ASSERT_EQ("fbar", Who(t.log));
    EXPECT_EQ(7, t.log[1].x);
    EXPECT_EQ(10, t.log[1].y);

    // Other codes keep their words.
    t.log.clear();
    XMessage_t key = Message(XMSG_KEYDOWN, 3, 4);
    t.c->DispatchMessage(&key);
    for (const SeenMessage &seen : t.log)
        EXPECT_EQ(3, seen.x) << seen.who;
}

TEST(PageMessage, StopRules)
{
    struct Case
    {
        const char *name;
        char setter; // whose hook sets the state
        uint32_t state;
        int answer; // the setter's hook result
        const char *seen;
    } cases[] = {
        {"nothing handled", 0, 0, 0, "cCbar"},        {"target sets 1", 'c', kMsgHandled, 0, "cCb"},
        {"owner sets 1", 'b', kMsgHandled, 0, "cCb"}, {"target sets 2", 'c', kMsgDone, 0, "cC"},
        {"owner sets 2", 'a', kMsgDone, 0, "cCba"},   {"hook answers", 'c', 0, 1, "cbar"},
        {"hook stops", 'c', kMsgStop, 0, "c"},
    };
    for (const Case &k : cases) {
        Chain t;
        Hook *hooks[] = {&t.hc, &t.hb, &t.ha, &t.hr};
        for (Hook *hook : hooks) {
            if (hook->who[0] == k.setter) {
                hook->setState = k.state;
                hook->answer = k.answer;
            }
        }
        XMessage_t message = Message(XMSG_KEYDOWN);
        t.c->DispatchMessage(&message);
        EXPECT_EQ(k.seen, Who(t.log)) << k.name;
    }
}

TEST(PageMessage, EnterLeaveAndFocusLossStopAtTheOwnerOfTheOtherItem)
{
    struct Case
    {
        uint32_t code;
        int other; // 0 none, 1 b, 2 the sibling s
        const char *seen;
    } cases[] = {
        {XMSG_MOUSELEAVE, 1, "cC"},
        {XMSG_MOUSELEAVE, 2, "cCba"},
        {XMSG_MOUSEENTER, 1, "cC"},
        {XMSG_FOCUSOUT, 1, "cC"},
        {XMSG_FOCUSIN, 1, "cCbar"}, // gaining the focus bubbles all
                                    // the way
        {XMSG_MOUSELEAVE, 0, "cCbar"},
    };
    for (const Case &k : cases) {
        Chain t;
        XMessage_t message = Message(k.code);
        message.other = k.other == 1 ? static_cast<XPageItem *>(t.b) : k.other == 2 ? t.s : nullptr;
        t.c->DispatchMessage(&message);
        EXPECT_EQ(k.seen, Who(t.log)) << k.code << " " << k.other;
    }
}

TEST(PageMessage, StateFlagsFollowEnterLeaveAndFocus)
{
    Chain t;
    const struct
    {
        uint32_t code;
        uint32_t want;
    } steps[] = {
        {XMSG_MOUSEENTER, kItemStateHovered},
        {XMSG_FOCUSIN, kItemStateHovered | kItemStateFocused},
        {XMSG_MOUSELEAVE, kItemStateFocused},
        {XMSG_FOCUSOUT, 0},
    };
    for (const auto &step : steps) {
        XMessage_t message = Message(step.code);
        t.c->DispatchMessage(&message);
        EXPECT_EQ(step.want, t.c->stateFlags & 0xFF) << step.code;
    }
}

TEST(PageMessage, CarryReachesOneItemOnly)
{
    Chain t;
    XMessage_t message = Message(XMSG_KEYDOWN);
    t.c->CarryMessage(&message);
    EXPECT_EQ("cC", Who(t.log));
    t.log.clear();
    t.hc.setState = kMsgStop;
    t.c->CarryMessage(&message);
    EXPECT_EQ("c", Who(t.log));
}

TEST(PageMessage, AttachedItemHearsFirst)
{
    SeenLog log;
    XPageViewer root;
    auto *item = new RecordingItem(&log, "item");
    auto *editor = new RecordingItem(&log, "editor");
    item->attached = editor;
    root.AddItem(item);
    root.OnCreateItem();
    struct Case
    {
        uint32_t code;
        uint32_t key;
        const char *seen;
        uint32_t editorCode; // the code the editor saw
    } cases[] = {
        {XMSG_KEYDOWN, 65, "item editor", XMSG_KEYDOWN},
        {XMSG_FOCUSMOVE, 9, "item editor", XMSG_KEYDOWN}, // Tab or Enter reaches it as a key
        {XMSG_FOCUSIN, 0, "item editor", XMSG_FOCUSIN},
        {XMSG_FOCUSIN, 1, "item", 0}, // focus messages only with key 0
    };
    for (const Case &k : cases) {
        log.clear();
        XMessage_t message = Message(k.code);
        message.key = k.key;
        // The recording item logs, then its base OnMessage passes the message on.
        item->DispatchMessage(&message);
        std::string seen;
        for (const SeenMessage &entry : log)
            seen +=
                (seen.empty() ? "" : " ") + std::string(entry.who == "item" ? "item" : "editor");
        EXPECT_EQ(k.seen, seen) << k.code;
        if (k.editorCode != 0 && log.size() == 2) {
            EXPECT_EQ(k.editorCode, log[1].code);
        }
        EXPECT_EQ(k.code, message.code);
    }
    // The editor's state 8 ends the handling.
    editor->onMessage = [](XMessage_t *message) { message->state = kMsgStop; };
    XMessage_t wheel = Message(XMSG_WHEEL);
    EXPECT_TRUE(item->DispatchMessage(&wheel));
    EXPECT_EQ(kMsgStop, wheel.state);
}

TEST(PageMessage, KeysAndWheelScrollAnItemWithBars)
{
    struct Case
    {
        uint32_t code;
        uint32_t key;
        int x;
        int y;
    } cases[] = {
        {XMSG_KEYDOWN, 34, 0, 47},                             // page down: body 63 - 16
        {XMSG_KEYDOWN, 35, 0, 137},                            // end: 200 - 63
        {XMSG_KEYDOWN, 36, 0, 0},                              // home
        {XMSG_KEYDOWN, 40, 0, 32},                             // down: 32
        {XMSG_KEYDOWN, 38, 0, 0},   {XMSG_KEYDOWN, 39, 16, 0}, // right: 16
        {XMSG_KEYDOWN, 37, 0, 0},   {XMSG_WHEEL, 1, 0, 32},    // towards the user: down
        {XMSG_WHEEL, 0, 0, 0},
    };
    XPageViewer root;
    auto *item = Placed(new XPageItem, 0, 0, 100, 80);
    item->ApplyStyle(0, "overflow:auto;");
    root.AddItem(item);
    root.OnCreateItem();
    item->ApplyItemStyle();
    item->SetScrollSize(300, 200);
    for (const Case &k : cases) {
        XMessage_t message = Message(k.code);
        message.key = k.key;
        item->DispatchMessage(&message);
        EXPECT_EQ(kMsgDone, message.state) << k.key;
        EXPECT_EQ(k.x, item->GetScrollPos(0)) << k.key;
        EXPECT_EQ(k.y, item->GetScrollPos(1)) << k.key;
    }
    // Without bars keys pass.
    XPageItem *plain = new XPageItem;
    root.AddItem(plain);
    XMessage_t key = Message(XMSG_KEYDOWN);
    key.key = 34;
    plain->DispatchMessage(&key);
    EXPECT_EQ(kMsgUnhandled, key.state);
}

TEST(PageMessage, PageStepOfAShortBodyIsOneLine)
{
    XPageViewer root;
    auto *item = Placed(new XPageItem, 0, 0, 30, 30);
    item->ApplyStyle(0, "overflow:scroll;");
    root.AddItem(item);
    root.OnCreateItem();
    item->ApplyItemStyle();
    item->SetScrollSize(500, 500); // body 13 x 13
    XMessage_t page = Message(XMSG_HSCROLL);
    page.key = kScrollPageForward;
    item->CarryMessage(&page);
    EXPECT_EQ(16, item->GetScrollPos(0));
    page.code = XMSG_VSCROLL;
    item->CarryMessage(&page);
    EXPECT_EQ(32, item->GetScrollPos(1));
    page.key = kScrollTrack;
    page.value = 123;
    item->CarryMessage(&page);
    EXPECT_EQ(123, item->GetScrollPos(1));
}

} // namespace
