// Soak under the sanitizers: a seeded random script of pointer and key input, tool tips,
// item destruction (at once and posted), floaters shown, waited for and closed, and
// dialogs run and closed, all on the fake clock. Whatever order things happen in, no
// message, timer, post, focus or floater reaches an item that is gone (ASan would stop
// the program), and every loop ends.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "pagekit/core/page_dialog.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/tests/page_fixture.h"

namespace {

// An item that takes input and leaves the list of live items when it goes.
struct SoakItem : XPageItem
{
    SoakItem(std::vector<XPageItem *> *live, std::mt19937 *random) : m_live(live), m_random(random)
    {
        m_live->push_back(this);
        itemFlags |= kItemEditable;
    }
    ~SoakItem() override
    {
        m_live->erase(std::remove(m_live->begin(), m_live->end(), this), m_live->end());
    }
    int OnMessage(XMessage_t *message) override
    {
        // Now and then an item answers in a way that stresses the window.
        const unsigned roll = (*m_random)() % 40;
        if (message->code == XMSG_BUTTONDOWN && roll == 0)
            message->state = kMsgRedeliver;
        if (message->code == XMSG_FOCUSMOVE && roll == 1)
            message->state = kMsgStop;
        if (message->code == XMSG_CLICK && roll == 2) {
            Destroy();
            return 1;
        }
        return XPageItem::OnMessage(message);
    }
    std::vector<XPageItem *> *m_live;
    std::mt19937 *m_random;
};

struct SoakOwner : XPageOwner
{
    explicit SoakOwner(std::vector<XPageItem *> *live) : m_live(live) { m_live->push_back(this); }
    ~SoakOwner() override
    {
        DeleteChildren();
        m_live->erase(std::remove(m_live->begin(), m_live->end(), this), m_live->end());
    }
    std::vector<XPageItem *> *m_live;
};

using Soak = PageWindowTest;

TEST_F(Soak, RandomInputWithDestroysFloatersAndDialogs)
{
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 random(seed);
        std::vector<XPageItem *> live;
        XPageWindow window;
        XPageViewer *root = window.GetRooter();
        root->extraFlags |= kFrameKeyNav;
        auto add = [&](XPageOwner *owner, int x, int y) {
            auto *item = Placed(new SoakItem(&live, &random), x, y, 18, 12);
            item->tabIndex = static_cast<int>(random() % 8);
            if (random() % 3 == 0)
                item->SetPrompter(u"提示");
            owner->AddItem(item);
        };
        for (int panel = 0; panel < 3; ++panel) {
            auto *owner = Placed(new SoakOwner(&live), 5, 5 + 35 * panel, 190, 30);
            owner->kind = 0x81;
            root->AddItem(owner);
            for (int n = 0; n < 8; ++n)
                add(owner, 2 + 23 * n, 5);
        }
        Open(window, 200, 120);
        std::vector<std::unique_ptr<XPageDialog>> dialogs;
        XPageFloater *floater = nullptr;

        auto pick = [&]() -> XPageItem * {
            return live.empty() ? nullptr : live[random() % live.size()];
        };
        for (int step = 0; step < 600; ++step) {
            const int x = static_cast<int>(random() % 210) - 5;
            const int y = static_cast<int>(random() % 130) - 5;
            switch (random() % 14) {
            case 0:
            case 1:
                display->Move(&window, x, y);
                break;
            case 2:
                display->Click(&window, x, y, random() % 2);
                break;
            case 3:
                display->KeyDown(&window, random() % 2 ? 9 : 13);
                break;
            case 4:
                display->KeyDown(&window, random() % 2 ? 27 : 65);
                break;
            case 5:
                display->Advance(random() % 700);
                break;
            case 6:
                display->Call([&] {
                    if (XPageItem *item = pick())
                        item->DestroyAsync();
                });
                break;
            case 7:
                display->Call([&] {
                    if (XPageItem *item = pick())
                        item->Destroy();
                });
                break;
            case 8:
                display->Call([&] {
                    // New items in a surviving owner, or in the root.
                    XPageOwner *owner = root;
                    for (XPageItem *item : live) {
                        if (item->kind == 0x81)
                            owner = static_cast<XPageOwner *>(item);
                    }
                    add(owner, static_cast<int>(random() % 170), 5);
                });
                break;
            case 9:
                display->Call([&, x, y] {
                    XPageItem *hoster = pick();
                    if (hoster == nullptr || !window.IsLiveItem(hoster))
                        return;
                    auto *made = Placed(new XPageFloater, 0, 0, 60, 30);
                    made->extraFlags = (random() % 64) << 4;
                    if (!made->Create(hoster)) {
                        delete made;
                        return;
                    }
                    add(made, 5, 5);
                    floater = made;
                    made->ShowFloater(x, y);
                });
                break;
            case 10:
                display->Call([&] {
                    XPageFloater *open = window.GetPageFloater();
                    if (open != nullptr && random() % 2)
                        open->WaitforClose();
                    else if (open != nullptr)
                        open->CloseFloater();
                });
                break;
            case 11:
                display->Call([&] {
                    auto dialog = std::make_unique<XPageDialog>();
                    const BOUND_t place = {10, 10, 80, 50};
                    XPageDialog *raw = dialog.get();
                    dialogs.push_back(std::move(dialog));
                    if (raw->Create(u"d", &place, nullptr, &window))
                        raw->PopupDialog();
                });
                break;
            case 12:
                display->Call([&] {
                    for (auto &dialog : dialogs)
                        dialog->CloseDialog(static_cast<unsigned>(random() % 4));
                });
                break;
            default:
                display->Call([&] {
                    if (XPageItem *item = pick())
                        item->ShowItem(random() % 2);
                });
                break;
            }
        }
        Run();
        EXPECT_EQ(0u, display->GetPendingSteps()) << seed;
        (void)floater;
        // Every remembered item is a live one.
        for (XPageItem *held :
             {window.GetFocusItem(), window.GetHoverItem(), window.GetCaptureItem(),
              window.GetModalItem(), window.GetTipOwner()}) {
            if (held != nullptr) {
                EXPECT_TRUE(window.IsLiveItem(held)) << seed;
            }
        }
        dialogs.clear();
    }
}

} // namespace
