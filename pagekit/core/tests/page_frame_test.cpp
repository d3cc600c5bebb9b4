// Frame layouts: one case per rule of the flow, flex and free layouts, the docking
// nibbles, percent sizes, extents, and the overflow area.

#include <gtest/gtest.h>

#include "pagekit/core/tests/frame_util.h"

namespace {

struct LayoutCase
{
    const char *name;
    uint32_t extra;
    int32_t width;
    int32_t height;
    std::vector<Kid> kids;
    const char *places;
};

void RunCases(const std::vector<LayoutCase> &cases)
{
    for (const LayoutCase &k : cases) {
        FrameTree tree(k.extra, k.width, k.height, k.kids);
        tree.frame->UpdateLayout(0);
        EXPECT_EQ(k.places, tree.Places()) << k.name;
        // A second pass changes nothing.
        tree.frame->UpdateLayout(1);
        EXPECT_EQ(k.places, tree.Places()) << k.name << " (again)";
    }
}

constexpr uint32_t kFlow = kFrameFlow;
constexpr uint32_t kFlex = kFrameFlex;
constexpr uint32_t kExtendX = LX(kLayoutExtend);
constexpr uint32_t kExtendY = LY(kLayoutExtend);

TEST(FrameFlow, EachRule)
{
    RunCases({
        {"greedy lines",
         kFlow,
         400,
         300,
         {{150, 20, 0}, {150, 30, 0}, {150, 10, 0}},
         "(0,0,150,20)(150,0,150,30)(0,30,150,10)"},
        {"block on a line of its own",
         kFlow,
         400,
         300,
         {{100, 20, 0}, {100, 20, Wrap(kWrapBlock)}, {100, 20, 0}},
         "(0,0,100,20)(0,20,100,20)(0,40,100,20)"},
        {"break ends its line",
         kFlow,
         400,
         300,
         {{100, 20, Wrap(kWrapBreak)}, {100, 20, 0}, {100, 20, 0}},
         "(0,0,100,20)(0,20,100,20)(100,20,100,20)"},
        {"extend minimum 8 wraps",
         kFlow,
         400,
         300,
         {{393, 20, 0}, {0, 10, kExtendX}},
         "(0,0,393,20)(0,20,400,10)"},
        {"extend minimum 8 fits",
         kFlow,
         400,
         300,
         {{392, 20, 0}, {0, 10, kExtendX}},
         "(0,0,392,20)(392,0,8,10)"},
        {"proportional extend widths",
         kFlow,
         400,
         300,
         {{50, 10, kExtendX}, {150, 10, kExtendX}},
         "(0,0,100,10)(100,0,300,10)"},
        {"proportional after fixed",
         kFlow,
         400,
         300,
         {{100, 10, 0}, {50, 10, kExtendX}, {150, 10, kExtendX}},
         "(0,0,100,10)(100,0,75,10)(175,0,225,10)"},
        {"the rest to the last extend",
         kFlow,
         400,
         300,
         {{50, 10, kExtendX}, {50, 10, kExtendX}, {50, 10, kExtendX}},
         "(0,0,133,10)(133,0,133,10)(266,0,134,10)"},
        {"distribution end",
         kFlow | AlignX(1),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}},
         "(200,0,100,10)(300,0,100,10)"},
        {"distribution centre",
         kFlow | AlignX(2),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}},
         "(100,0,100,10)(200,0,100,10)"},
        {"distribution spread centres",
         kFlow | AlignX(3),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}},
         "(100,0,100,10)(200,0,100,10)"},
        {"last item right",
         kFlow,
         400,
         300,
         {{100, 10, 0}, {100, 10, LX(kLayoutEnd)}},
         "(0,0,100,10)(300,0,100,10)"},
        {"last item centred in what is left",
         kFlow,
         400,
         300,
         {{100, 10, 0}, {100, 10, LX(kLayoutCenter)}},
         "(0,0,100,10)(200,0,100,10)"},
        {"right on an item not last does nothing",
         kFlow,
         400,
         300,
         {{100, 10, LX(kLayoutEnd)}, {100, 10, 0}},
         "(0,0,100,10)(100,0,100,10)"},
        {"vertical placement",
         kFlow,
         400,
         300,
         {{50, 40, 0}, {50, 10, LY(kLayoutEnd)}, {50, 10, LY(kLayoutCenter)}, {50, 10, kExtendY}},
         "(0,0,50,40)(50,30,50,10)(100,15,50,10)(150,0,50,40)"},
        {"all-extend last line takes the rest",
         kFlow,
         400,
         300,
         {{400, 20, 0}, {50, 10, kExtendY}, {50, 10, kExtendY}},
         "(0,0,400,20)(0,20,50,280)(50,20,50,280)"},
        {"mixed last line keeps its height",
         kFlow,
         400,
         300,
         {{400, 20, 0}, {50, 10, kExtendY}, {50, 10, 0}},
         "(0,0,400,20)(0,20,50,10)(50,20,50,10)"},
        {"absolute child docked, out of the lines",
         kFlow,
         400,
         300,
         {{50, 10, kItemAbsolute | LX(kLayoutEnd)}, {100, 10, 0}},
         "(350,0,50,10)(0,0,100,10)"},
    });
}

TEST(FrameFlow, OverflowYExtendGrowsByTheContent)
{
    FrameTree tree(kFlow, 400, 50, {}, OY(kOverflowExtend));
    for (int i = 0; i < 3; ++i) {
        auto *item = new XPageItem;
        const BOUND_t size = {0, 0, 400, 30};
        item->MovePlace(&size, 0);
        tree.frame->AddItem(item);
    }
    tree.frame->UpdateLayout(0);
    EXPECT_EQ(90, tree.frame->place.height);
    tree.frame->UpdateLayout(0);
    EXPECT_EQ(90, tree.frame->place.height);
}

TEST(FrameFlex, EachRule)
{
    RunCases({
        {"equal extend shares",
         kFlex,
         400,
         300,
         {{100, 10, 0}, {50, 10, kExtendX}, {150, 10, kExtendX}},
         "(0,0,100,10)(100,0,100,10)(200,0,200,10)"},
        {"extend lines ignore the distribution",
         kFlex | AlignX(1),
         400,
         300,
         {{100, 10, 0}, {50, 10, kExtendX}},
         "(0,0,100,10)(100,0,300,10)"},
        {"distribution end",
         kFlex | AlignX(1),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}},
         "(200,0,100,10)(300,0,100,10)"},
        {"distribution centre",
         kFlex | AlignX(2),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}},
         "(100,0,100,10)(200,0,100,10)"},
        {"spread with equal gaps",
         kFlex | AlignX(3),
         400,
         300,
         {{100, 10, 0}, {100, 10, 0}, {100, 10, 0}},
         "(0,0,100,10)(150,0,100,10)(300,0,100,10)"},
        {"a single spread item centred",
         kFlex | AlignX(3),
         400,
         300,
         {{100, 10, 0}},
         "(150,0,100,10)"},
        {"no last-item rule",
         kFlex,
         400,
         300,
         {{100, 10, 0}, {100, 10, LX(kLayoutEnd)}},
         "(0,0,100,10)(100,0,100,10)"},
        {"lines to the bottom",
         kFlex | AlignY(1),
         400,
         300,
         {{400, 20, 0}, {400, 30, 0}},
         "(0,250,400,20)(0,270,400,30)"},
        {"lines centred",
         kFlex | AlignY(2),
         400,
         300,
         {{400, 20, 0}, {400, 30, 0}},
         "(0,125,400,20)(0,145,400,30)"},
        {"lines spread by equal shares",
         kFlex | AlignY(3),
         400,
         300,
         {{400, 20, kExtendY}, {400, 30, 0}},
         "(0,0,400,145)(0,145,400,30)"},
        {"vertical placement in a line",
         kFlex,
         400,
         300,
         {{50, 40, 0}, {50, 10, LY(kLayoutEnd)}, {50, 10, LY(kLayoutCenter)}},
         "(0,0,50,40)(50,30,50,10)(100,15,50,10)"},
        {"no extend, flow last line rule not applied",
         kFlex,
         400,
         300,
         {{400, 20, 0}, {50, 10, kExtendY}},
         "(0,0,400,20)(0,20,50,10)"},
    });
}

TEST(FrameFlex, NoChildrenDistributesNothing)
{
    for (uint32_t extra : {kFlex | AlignY(1), kFlex | AlignY(2), kFlex | AlignY(3) | AlignX(3)}) {
        FrameTree tree(extra, 400, 300, {});
        tree.frame->UpdateLayout(1);
        EXPECT_EQ(0u, tree.frame->GetCounter());
        EXPECT_EQ(400, tree.frame->place.width);
    }
}

TEST(FrameFree, EveryDockingNibble)
{
    struct Case
    {
        uint32_t flags;
        const char *place;
        int docked;
    } cases[] = {
        {0, "(10,20,50,30)", 0},
        {LX(kLayoutStart), "(0,20,50,30)", 1},
        {LX(kLayoutEnd), "(350,20,50,30)", 1},
        {LX(kLayoutCenter), "(175,20,50,30)", 1},
        {LX(kLayoutExtend), "(10,20,390,30)", 1},
        {LY(kLayoutStart), "(10,0,50,30)", 1},
        {LY(kLayoutEnd), "(10,270,50,30)", 1},
        {LY(kLayoutCenter), "(10,135,50,30)", 1},
        {LY(kLayoutExtend), "(10,20,50,280)", 1},
        {LX(kLayoutEnd) | LY(kLayoutEnd), "(350,270,50,30)", 1},
        {LX(kLayoutCenter) | LY(kLayoutExtend), "(175,20,50,280)", 1},
        {LX(5) | LY(9), "(10,20,50,30)", 0},               // nibbles that name no rule
        {LX(kLayoutEnd) | kItemFixed, "(10,20,50,30)", 1}, // fixed: the free layout skips it
    };
    for (const Case &k : cases) {
        FrameTree tree(0, 400, 300, {{50, 30, k.flags, 10, 20}});
        const BOUND_t area = {0, 0, 400, 300};
        BOUND_t out = {-1, -1, -1, -1};
        EXPECT_EQ(k.docked, XPageFrame::GetDockPlace(tree.kids[0], &area, &out)) << k.place;
        if (!k.docked) {
            EXPECT_EQ(-1, out.x);
        }
        tree.frame->UpdateLayout(0);
        EXPECT_EQ(k.place, tree.Places()) << std::hex << k.flags;
    }
}

TEST(FrameFree, PercentSizesFromTheArea)
{
    struct Case
    {
        int32_t areaW;
        int32_t areaH;
        uint32_t width;
        uint32_t height;
        const char *place;
    } cases[] = {
        {333, 300, (kUnitPercent << 28) | 33333, kStyleUnsetWord, "(0,0,110,10)"},
        {400, 30000, kStyleUnsetWord, (kUnitPercent << 28) | 200000, "(0,0,50,60000)"},
        {400, 300, (kUnitPercent << 28) | 100000, (kUnitPercent << 28) | 0, "(0,0,400,0)"},
        {400, 300, 25000, kStyleUnsetWord, "(0,0,50,10)"}, // pixels: not a percentage
    };
    for (const Case &k : cases) {
        FrameTree tree(0, k.areaW, k.areaH, {{50, 10, 0}});
        tree.kids[0]->style.width = k.width;
        tree.kids[0]->style.height = k.height;
        tree.frame->UpdateLayout(0);
        EXPECT_EQ(k.place, tree.Places());
    }
}

TEST(FrameExtent, FreeChildrenCountByTheirDocking)
{
    struct Case
    {
        Kid kid;
        int32_t width;
        int32_t height;
    } cases[] = {
        {{50, 10, LX(kLayoutEnd), 500, 5}, 50, 15},     // right: its width only
        {{60, 10, LX(kLayoutCenter), 400, 0}, 60, 10},  // centre: its width only
        {{80, 10, LX(kLayoutExtend), 30, 0}, 110, 10},  // extend: minimum plus position
        {{100, 40, 0, 10, 70}, 110, 110},               // far edges
        {{10, 20, LY(kLayoutEnd), 5, 300}, 15, 20},     // bottom: its height only
        {{10, 20, LY(kLayoutExtend), 5, 300}, 15, 320}, // extend: minimum plus position
        {{10, 20, kItemFixed, 500, 500}, 0, 0},         // fixed: not in the child space
    };
    for (const Case &k : cases) {
        FrameTree tree(0, 100, 100, {k.kid}, OX(kOverflowAuto) | OY(kOverflowAuto));
        EXPECT_EQ(k.width, tree.frame->scroll.width) << k.kid.flags;
        EXPECT_EQ(k.height, tree.frame->scroll.height) << k.kid.flags;
    }
    FrameTree hidden(0, 100, 100, {{10, 20, 0, 50, 50}}, OX(kOverflowAuto));
    hidden.kids[0]->itemFlags &= ~kItemVisible;
    hidden.frame->CalcExtentSize(0);
    EXPECT_EQ(0, hidden.frame->scroll.width);
}

TEST(FrameExtent, LinesAgainstTheBodyLessABar)
{
    // 200 less 17: the third item no longer fits beside the second.
    FrameTree tree(kFlow, 200, 100, {{120, 30, 0}, {120, 40, 0}, {70, 10, kExtendX}},
                   OY(kOverflowAuto));
    EXPECT_EQ(120, tree.frame->scroll.width);
    EXPECT_EQ(80, tree.frame->scroll.height);
    // With a height that follows the content there is no bar to leave room for.
    FrameTree grows(kFlex, 200, 10, {{120, 30, 0}, {120, 40, 0}, {70, 10, kExtendX}},
                    OY(kOverflowExtend));
    EXPECT_EQ(190, grows.frame->scroll.width);
    EXPECT_EQ(70, grows.frame->scroll.height);
    EXPECT_EQ(70, grows.frame->place.height);
}

TEST(FrameOverflow, AreaTakesTheContentAndLoses17)
{
    FrameTree tree(0, 200, 100,
                   {{300, 10, 0}, {10, 10, LY(kLayoutExtend)}, {50, 10, LX(kLayoutEnd)}},
                   OX(kOverflowAuto));
    for (int pass = 0; pass < 2; ++pass) {
        tree.frame->UpdateLayout(1);
        EXPECT_EQ("(0,0,300,10)(0,0,10,83)(250,0,50,10)", tree.Places()) << pass;
        EXPECT_TRUE(tree.frame->itemFlags & kItemHorzBar);
        EXPECT_FALSE(tree.frame->itemFlags & kItemVertBar);
        EXPECT_EQ(83, tree.frame->body.height);
    }
    // Content that fits: the area is the body.
    tree.kids[0]->itemFlags &= ~kItemVisible;
    tree.frame->UpdateLayout(1);
    EXPECT_EQ("(0,0,300,10)(0,0,10,100)(150,0,50,10)", tree.Places());
}

TEST(FrameLayout, ReLaidOutAfterMovesUpdatesAndResizes)
{
    FrameTree tree(kFlow, 400, 300, {{100, 10, 0}, {50, 10, 0}});
    tree.frame->UpdateLayout(0);
    ASSERT_EQ(1, tree.frame->MoveItem(tree.kids[1], kMoveFront));
    EXPECT_EQ("(50,0,100,10)(0,0,50,10)", tree.Places());

    tree.kids[1]->place.width = 200;
    tree.frame->OnUpdateItem(kUpdateLayout);
    EXPECT_EQ("(200,0,100,10)(0,0,200,10)", tree.Places());

    FrameTree flex(kFlex | AlignX(1), 400, 300, {{100, 10, 0}});
    flex.frame->UpdateLayout(0);
    const BOUND_t narrower = {0, 0, 300, 300};
    flex.frame->MovePlace(&narrower, 0);
    EXPECT_EQ("(200,0,100,10)", flex.Places());
}

TEST(FrameLayout, FlowItemsSkipHiddenAbsoluteAndFixed)
{
    FrameTree tree(kFlow, 400, 300,
                   {{10, 10, 0}, {10, 10, kItemAbsolute}, {10, 10, kItemFixed}, {10, 10, 0}});
    tree.kids[0]->itemFlags &= ~kItemVisible;
    const void *cursor = nullptr;
    EXPECT_EQ(tree.kids[3], tree.frame->GetFlowItem(&cursor));
    EXPECT_EQ(nullptr, tree.frame->GetFlowItem(&cursor));
}

} // namespace
