#pragma once
// Page items for the item tests: an item and an owner that record what reaches them,
// and a page window on the virtual display.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pagekit/core/page_owner.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/virtual/virtual_display.h"

// One message as an item saw it.
struct SeenMessage
{
    std::string who;
    uint32_t code;
    uint32_t state;
    int32_t x;
    int32_t y;
    uint32_t key;
    const void *other;
};

// What every recording item of a test appends to.
using SeenLog = std::vector<SeenMessage>;

template <class Base> class Recording : public Base
{
public:
    Recording(SeenLog *log, std::string who) : m_log(log), m_who(std::move(who)) {}

    // Runs before the message is logged; may set the state or destroy items.
    std::function<void(XMessage_t *)> onMessage;
    std::vector<int> updates;

    int OnMessage(XMessage_t *message) override
    {
        if (m_log != nullptr)
            m_log->push_back({m_who, message->code, message->state, message->x, message->y,
                              message->key, message->other});
        if (onMessage) {
            // The handler may delete this item: nothing of it is read afterwards.
            auto handler = onMessage;
            handler(message);
            return 1;
        }
        return Base::OnMessage(message);
    }
    void OnUpdateItem(int code) override
    {
        updates.push_back(code);
        Base::OnUpdateItem(code);
    }

private:
    SeenLog *m_log;
    std::string m_who;
};

using RecordingItem = Recording<XPageItem>;
using RecordingOwner = Recording<XPageOwner>;

inline BOUND_t Bound(int x, int y, int w, int h)
{
    return BOUND_t{x, y, w, h};
}

inline bool SameBound(const BOUND_t &a, const BOUND_t &b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

inline std::string Show(const BOUND_t &b)
{
    return "(" + std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.width) +
           "," + std::to_string(b.height) + ")";
}

// Places an item before it joins a tree.
template <class Item> Item *Placed(Item *item, int x, int y, int w, int h)
{
    const BOUND_t place = {x, y, w, h};
    item->MovePlace(&place, 0);
    return item;
}

// A page window of width x height on the virtual display, created and with its creation
// messages delivered.
class PageWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        display = XVirtualDisplay::Install();
        ASSERT_NE(display, nullptr);
    }

    void Open(XPageWindow &window, int width = 200, int height = 120)
    {
        const BOUND_t place = {0, 0, width, height};
        ASSERT_TRUE(window.Create(u"页面", &place));
        Panekit::WaitForMessage();
    }

    // Runs the loop until the script is used up.
    static void Run() { Panekit::WaitForMessage(); }

    XVirtualDisplay *display = nullptr;
};
