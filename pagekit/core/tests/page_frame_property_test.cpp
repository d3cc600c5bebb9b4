// Random trees of frames and items with random flags, sizes and percent styles: no
// layout gives a negative size, and laying a frame out a second time changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagekit/core/tests/frame_util.h"

namespace {

class Dice
{
public:
    explicit Dice(uint64_t seed) : m_state(seed | 1) {}
    uint32_t Roll(uint32_t n)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return static_cast<uint32_t>(m_state % n);
    }

private:
    uint64_t m_state;
};

uint32_t Nibble(Dice &dice)
{
    // Mostly the named values, sometimes one that names nothing.
    static const uint32_t kValues[] = {0, 1, 2, 3, 4, 0, 4, 7, 15};
    return kValues[dice.Roll(9)];
}

uint32_t Overflow(Dice &dice)
{
    static const uint32_t kValues[] = {0, 1, 2, 4, 0, 2, 3};
    return kValues[dice.Roll(7)];
}

int32_t Size(Dice &dice)
{
    switch (dice.Roll(6)) {
    case 0:
        return 0;
    case 1:
        return static_cast<int32_t>(dice.Roll(5));
    case 2:
        return static_cast<int32_t>(1000 + dice.Roll(50000));
    default:
        return static_cast<int32_t>(dice.Roll(300));
    }
}

void RandomFlags(Dice &dice, XPageItem *item)
{
    item->itemFlags |= LX(Nibble(dice)) | LY(Nibble(dice)) | Wrap(dice.Roll(4));
    if (dice.Roll(8) == 0)
        item->itemFlags |= kItemAbsolute;
    if (dice.Roll(12) == 0)
        item->itemFlags |= kItemFixed;
    if (dice.Roll(10) == 0)
        item->itemFlags &= ~kItemVisible;
    const BOUND_t place = {static_cast<int32_t>(dice.Roll(200)) - 50,
                           static_cast<int32_t>(dice.Roll(200)) - 50, Size(dice), Size(dice)};
    item->MovePlace(&place, 0);
}

XPageFrame *RandomFrame(Dice &dice, int depth, std::vector<XPageFrame *> &frames)
{
    auto *frame = new XPageFrame;
    frames.push_back(frame);
    static const uint32_t kModes[] = {0, kFrameFlow, kFrameFlex};
    frame->extraFlags = kModes[dice.Roll(3)] | AlignX(dice.Roll(4)) | AlignY(dice.Roll(4));
    frame->itemFlags |= OX(Overflow(dice)) | OY(Overflow(dice));
    RandomFlags(dice, frame);
    const uint32_t count = dice.Roll(depth == 0 ? 12 : 6);
    for (uint32_t i = 0; i < count; ++i) {
        if (depth < 3 && dice.Roll(4) == 0) {
            frame->AddItem(RandomFrame(dice, depth + 1, frames));
            continue;
        }
        auto *item = new XPageItem;
        item->itemFlags |= OX(Overflow(dice)) | OY(Overflow(dice));
        RandomFlags(dice, item);
        frame->AddItem(item);
    }
    return frame;
}

// Percent widths and heights on some created items (the resolved descriptor).
void RandomPercents(Dice &dice, XPageItem *item)
{
    const void *cursor = nullptr;
    auto *owner = dynamic_cast<XPageOwner *>(item);
    if (owner == nullptr)
        return;
    while (XPageItem *child = owner->GetNextItem(&cursor)) {
        if (dice.Roll(6) == 0)
            child->style.width = (kUnitPercent << 28) | dice.Roll(300000);
        if (dice.Roll(6) == 0)
            child->style.height = (kUnitPercent << 28) | dice.Roll(300000);
        RandomPercents(dice, child);
    }
}

void Collect(const XPageItem *item, std::vector<BOUND_t> &out)
{
    out.push_back(item->place);
    out.push_back(item->body);
    out.push_back(item->scroll);
    out.push_back(BOUND_t{static_cast<int32_t>(item->itemFlags & (kItemHorzBar | kItemVertBar)), 0,
                          item->minWidth, item->minHeight});
    if (auto *owner = dynamic_cast<const XPageOwner *>(item)) {
        for (const void *cursor = nullptr; XPageItem *child = owner->GetNextItem(&cursor);)
            Collect(child, out);
    }
}

std::string Show(const BOUND_t &b)
{
    return ShowPlaces({b});
}

bool NoNegativeSize(const XPageItem *item, std::string *where)
{
    if (item->place.width < 0 || item->place.height < 0 || item->body.width < 0 ||
        item->body.height < 0) {
        *where = Show(item->place) + " body " + Show(item->body);
        return false;
    }
    if (auto *owner = dynamic_cast<const XPageOwner *>(item)) {
        for (const void *cursor = nullptr; XPageItem *child = owner->GetNextItem(&cursor);) {
            if (!NoNegativeSize(child, where))
                return false;
        }
    }
    return true;
}

TEST(FrameProperty, NoNegativeSizeAndASecondLayoutChangesNothing)
{
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        Dice dice(seed * 0x9E3779B97F4A7C15ull);
        XPageViewer root;
        root.extraFlags = 0;
        const BOUND_t all = {0, 0, 2000, 2000};
        root.MovePlace(&all, 0);
        std::vector<XPageFrame *> frames;
        root.AddItem(RandomFrame(dice, 0, frames));
        root.OnCreateItem();
        RandomPercents(dice, &root);
        for (int flag = 0; flag < 2; ++flag) {
            for (XPageFrame *frame : frames) {
                frame->UpdateLayout(flag);
                std::vector<BOUND_t> first, second;
                Collect(frame, first);
                frame->UpdateLayout(flag);
                Collect(frame, second);
                ASSERT_EQ(ShowPlaces(first), ShowPlaces(second))
                    << "seed " << seed << " frame 0x" << std::hex << frame->extraFlags << " "
                    << frame->itemFlags;
                std::string where;
                ASSERT_TRUE(NoNegativeSize(&root, &where)) << "seed " << seed << " " << where;
            }
        }
    }
}

} // namespace
