#pragma once
// A 40-field form for the keyboard walk: ten fields in the root, ten in a panel, ten in a
// hidden page and ten in a disabled panel, with tied tab indexes (p9 ties r0, r4 ties
// r3, p6 ties p5) and a field (p2) that keeps the focus the first time Tab would move it.
// The same form and walk run on the virtual display and on an X server.

#include <string>
#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/tests/page_fixture.h"

// One step of the walk: a key (with modifiers) or a click on a field.
struct WalkStep
{
    const char *key;   // "Tab", "shift+Tab", "Return", "ctrl+Tab"; null for a click
    const char *click; // field name to click
};

constexpr WalkStep kWalkSteps[] = {
    {"Tab", nullptr},       {"Tab", nullptr},       {"Tab", nullptr},       {"shift+Tab", nullptr},
    {"shift+Tab", nullptr}, {"shift+Tab", nullptr}, {"Tab", nullptr},       {"Return", nullptr},
    {"Return", nullptr},    {"ctrl+Tab", nullptr},  {nullptr, "p1"},        {"Tab", nullptr},
    {"Tab", nullptr},       {"Tab", nullptr},       {"shift+Tab", nullptr}, {"Tab", nullptr},
};

// The fields that gain the focus along the walk, in order.
inline std::vector<std::string> ExpectedWalk()
{
    return {"r0", "p9", "r1", "p9", "r0", "p8", "r0", "p9", "r1", "p1", "p2", "p3", "p2", "p3"};
}

constexpr int kWalkWidth = 260;
constexpr int kWalkHeight = 150;

struct WalkForm
{
    SeenLog log;
    XPageWindow window;
    std::vector<std::pair<std::string, RecordingItem *>> fields;
    bool vetoed = false;

    WalkForm()
    {
        XPageViewer *root = window.GetRooter();
        root->extraFlags |= kFrameKeyNav;
        root->ApplyStyle(0, "background:#f0f0f0;");
        const int rootTabs[10] = {1, 2, 3, 4, 4, 5, 6, 7, 8, 9};
        const int panelTabs[10] = {10, 11, 12, 13, 14, 14, 15, 16, 17, 1};
        AddRow(root, "r", rootTabs, 5);
        XPageOwner *panel = Panel(root, 25, "border:1px solid #4060a0;");
        AddRow(panel, "p", panelTabs, 6);
        XPageOwner *hidden = Panel(root, 60, "border:1px solid #a04060;");
        hidden->itemFlags &= ~kItemVisible;
        const int otherTabs[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        AddRow(hidden, "h", otherTabs, 6);
        XPageOwner *off = Panel(root, 95, "border:1px solid #60a040;");
        off->itemFlags |= kItemDisabled;
        AddRow(off, "d", otherTabs, 6);
        RecordingItem *p2 = Find("p2");
        p2->onMessage = [this](XMessage_t *message) {
            if (message->code == XMSG_FOCUSMOVE && !vetoed) {
                vetoed = true;
                message->state = kMsgStop;
            }
        };
    }

    RecordingItem *Find(const std::string &name) const
    {
        for (const auto &entry : fields) {
            if (entry.first == name)
                return entry.second;
        }
        return nullptr;
    }
    std::string NameOf(const XPageItem *item) const
    {
        for (const auto &entry : fields) {
            if (entry.second == item)
                return entry.first;
        }
        return item == nullptr ? "-" : "?";
    }
    // The window point at the middle of a field.
    POINT_t Middle(const std::string &name) const
    {
        BOUND_t at;
        Find(name)->GetPlace(kPlaceWindow, &at);
        return {at.x + at.width / 2, at.y + at.height / 2};
    }
    // The fields that gained the focus, in order.
    std::vector<std::string> FocusSequence() const
    {
        std::vector<std::string> out;
        for (const SeenMessage &seen : log) {
            if (seen.code == XMSG_FOCUSIN && seen.who.size() == 2)
                out.push_back(seen.who);
        }
        return out;
    }

private:
    XPageOwner *Panel(XPageOwner *root, int y, const char *look)
    {
        auto *panel = Placed(new RecordingOwner(nullptr, "panel"), 5, y, 250, 28);
        panel->kind = kKindTable;
        panel->ApplyStyle(0, look);
        root->AddItem(panel);
        return panel;
    }
    void AddRow(XPageOwner *owner, const char *prefix, const int tabs[10], int y)
    {
        for (int n = 0; n < 10; ++n) {
            const std::string name = prefix + std::to_string(n);
            auto *field = Placed(new RecordingItem(&log, name), 5 + 24 * n, y, 20, 14);
            field->itemFlags |= kItemEditable;
            field->tabIndex = tabs[n];
            field->ApplyStyle(0, "border:1px solid #808080;background:#ffffff;"
                                 "focus{background:#ffc040;border:1px solid #c04000;}");
            owner->AddItem(field);
            fields.push_back({name, field});
        }
    }
};
