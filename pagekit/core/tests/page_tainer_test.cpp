// Page containers: notifications of adds and removes, the page that becomes current,
// refusals of foreign nodes, page setup, binders, both template modes and the page size.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pagekit/core/page_tainer.h"
#include "pagekit/core/page_viewer.h"

namespace {

struct Note
{
    uint32_t code;
    const void *node;
};

int LogNote(void *data, XMessage_t *message)
{
    static_cast<std::vector<Note> *>(data)->push_back(
        {message->code, reinterpret_cast<const void *>(message->value)});
    return 0;
}

// A created root holding a tainer 300 x 200 whose notifications are logged.
struct TainerForm
{
    XPageViewer root;
    XPageTainer *tainer = new XPageTainer;
    std::vector<Note> notes;

    explicit TainerForm(uint32_t itemFlags = 0, uint32_t extra = 0)
    {
        root.extraFlags = 0;
        const BOUND_t all = {0, 0, 1000, 1000}, place = {0, 0, 300, 200};
        root.MovePlace(&all, 0);
        tainer->itemFlags |= itemFlags;
        tainer->extraFlags |= extra;
        tainer->MovePlace(&place, 0);
        tainer->SetHook(LogNote, &notes);
        root.AddItem(tainer);
        root.OnCreateItem();
    }
    std::string Codes() const
    {
        std::string out;
        for (const Note &n : notes)
            out += std::to_string(n.code) + " ";
        return out;
    }
};

TEST(PageTainer, StartsAsAFlexContainerWithPaddedPages)
{
    XPageTainer loose;
    EXPECT_EQ(0x53u, loose.kind);
    EXPECT_EQ(0x20000000u, loose.extraFlags);
    EXPECT_EQ(0x20001u, loose.itemFlags);

    TainerForm f(0, kTainerBlockPages);
    XPageFrame *page = f.tainer->CreateItem();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(0x98u, page->kind);
    EXPECT_EQ(kWrapBlock, GetStyleField(page->itemFlags, kItemWrapMode));
    EXPECT_EQ(kLayoutExtend, GetStyleField(page->itemFlags, kItemLayoutX));
    const BOUND_t size = {0, 0, 50, 40};
    page->MovePlace(&size, 0);
    page->UpdateStyleDesc(0x12);
    EXPECT_EQ("2,2,46,36", std::to_string(page->body.x) + "," + std::to_string(page->body.y) + "," +
                               std::to_string(page->body.width) + "," +
                               std::to_string(page->body.height));
    // A block extend page takes the whole width.
    f.tainer->UpdateLayout(0);
    EXPECT_EQ(300, page->place.width);
}

TEST(PageTainer, NotifiesAddsAndRemovesOnceCreated)
{
    XPageTainer early;
    early.SetHook(LogNote, nullptr); // would crash if called: nothing before creation
    EXPECT_NE(nullptr, early.CreateItem());
    early.SetHook(nullptr, nullptr);

    TainerForm f;
    XPageFrame *a = f.tainer->CreateItem();
    auto *b = new XPageFrame;
    const void *nb = f.tainer->AddItemNode(b);
    const void *na = f.tainer->GetPageNode(0);
    ASSERT_EQ(2u, f.notes.size());
    EXPECT_EQ(81u, f.notes[0].code);
    EXPECT_EQ(na, f.notes[0].node);
    EXPECT_EQ(nb, f.notes[1].node);
    EXPECT_EQ(a, f.tainer->GetPageItem(na));

    // Removing a page that is not current: 82 alone; the frame lives on, unowned.
    f.notes.clear();
    EXPECT_EQ(b, f.tainer->RemoveItem(nb));
    EXPECT_EQ("82 ", f.Codes());
    EXPECT_EQ(nb, f.notes[0].node);
    EXPECT_EQ(nullptr, b->owner);
    EXPECT_EQ(1u, f.tainer->GetPageCount());
    delete b;
}

TEST(PageTainer, TheNextCurrentPageSkipsHiddenAndDisabled)
{
    TainerForm f;
    XPageFrame *pages[4];
    for (XPageFrame *&page : pages)
        page = f.tainer->CreateItem();
    pages[1]->ShowItem(0);
    pages[2]->EnableItem(0);
    ASSERT_EQ(1, f.tainer->SetCurItem(0u));
    f.notes.clear();

    ASSERT_EQ(1, f.tainer->DeleteChoice());
    EXPECT_EQ("82 65 ", f.Codes());
    EXPECT_EQ(f.tainer->GetPageNode(2), f.notes[1].node);
    unsigned index = 9;
    EXPECT_EQ(pages[3], f.tainer->GetCurItem(&index));
    EXPECT_EQ(2u, index);

    f.notes.clear();
    EXPECT_EQ(1, f.tainer->DeleteChoice());
    EXPECT_EQ("82 66 ", f.Codes());
    EXPECT_EQ(nullptr, f.tainer->GetCurFrame());
    EXPECT_EQ(0, f.tainer->DeleteChoice());
    EXPECT_EQ(2u, f.tainer->GetPageCount());
}

TEST(PageTainer, ForeignNodesAreRefusedAndChangeNothing)
{
    TainerForm f, other;
    f.tainer->CreateItem();
    XPageFrame *theirs = other.tainer->CreateItem();
    const void *foreign = other.tainer->GetPageNode(0);
    const void *mine = f.tainer->GetPageNode(0);
    int stack = 0;
    auto *page = new XPageFrame;
    f.notes.clear();

    EXPECT_EQ(nullptr, f.tainer->InsertItem(page, foreign, 1));
    EXPECT_EQ(nullptr, f.tainer->InsertItem(page, &stack, 0));
    EXPECT_EQ(nullptr, f.tainer->RemoveItem(foreign));
    EXPECT_EQ(0, f.tainer->DeleteItem(foreign));
    EXPECT_EQ(nullptr, f.tainer->GetPageItem(foreign));
    EXPECT_EQ(-1, f.tainer->GetPageIndex(foreign));
    EXPECT_EQ(0, f.tainer->SetCurItem(foreign));
    EXPECT_EQ(0, f.tainer->SetCurItem(5u));
    EXPECT_EQ(0, f.tainer->SetItemBinder(foreign, &stack));
    EXPECT_EQ(nullptr, f.tainer->GetNextNode(foreign));
    EXPECT_EQ(0, f.tainer->GetPagePlace(foreign, nullptr));
    // A page that has an owner, the tainer itself and its owner cannot join.
    EXPECT_EQ(nullptr, f.tainer->InsertItem(theirs, mine, 1));
    EXPECT_EQ(nullptr, f.tainer->AddItemNode(f.tainer));
    EXPECT_EQ(1u, f.tainer->GetPageCount());
    EXPECT_EQ(1u, other.tainer->GetPageCount());
    EXPECT_TRUE(f.notes.empty());
    EXPECT_EQ(0x91u, page->kind);
    // Before and after a node of its own.
    EXPECT_NE(nullptr, f.tainer->InsertItem(page, mine, 0));
    EXPECT_EQ(0, f.tainer->GetPageIndex(f.tainer->GetItemNode(page)));
    delete f.tainer->RemoveItem(f.tainer->GetItemNode(page));
}

TEST(PageTainer, BindersHitsAndPlacesPerPage)
{
    TainerForm f(0, kTainerBlockPages);
    f.tainer->CreateItem();
    XPageFrame *second = f.tainer->CreateItem();
    for (int i = 0; i < 2; ++i) {
        const BOUND_t size = {0, 0, 10, 30};
        f.tainer->GetPageItem(f.tainer->GetPageNode(i))->MovePlace(&size, 0);
    }
    f.tainer->UpdateLayout(0);
    const void *n0 = f.tainer->GetPageNode(0), *n1 = f.tainer->GetPageNode(1);
    int a = 0, b = 0;
    EXPECT_EQ(1, f.tainer->SetItemBinder(n0, &a));
    EXPECT_EQ(1, f.tainer->SetItemBinder(n1, &b));
    EXPECT_EQ(&a, f.tainer->GetItemBinder(n0));
    EXPECT_EQ(&b, f.tainer->GetItemBinder(n1));
    const void *hit = nullptr;
    EXPECT_EQ(1, f.tainer->HitTest(150, 45, &hit));
    EXPECT_EQ(n1, hit);
    EXPECT_EQ(0, f.tainer->HitTest(150, 150, &hit));
    BOUND_t place;
    EXPECT_EQ(1, f.tainer->GetPagePlace(n1, &place));
    EXPECT_EQ(30, place.y);
    EXPECT_EQ(300, place.width);
    // A removed page takes its binder along; added again it has none.
    delete f.tainer->RemoveItem(n0);
    EXPECT_EQ(&b, f.tainer->GetItemBinder(f.tainer->GetPageNode(0)));
    XPageFrame *loose = f.tainer->RemoveItem(f.tainer->GetPageNode(0));
    EXPECT_EQ(second, loose);
    EXPECT_EQ(nullptr, f.tainer->GetItemBinder(f.tainer->AddItemNode(loose)));
}

TEST(PageTainer, BothTemplateModesAndThePageSize)
{
    struct Case
    {
        uint32_t itemFlags;
        unsigned children;
    } cases[] = {{0, 0}, {kTainerSharedTemplate, 1}};
    for (const Case &k : cases) {
        TainerForm f(k.itemFlags);
        SIZE_t size = {0, 0};
        ASSERT_EQ(1, f.tainer->GetPageSize(&size));
        EXPECT_EQ(6, size.cx); // no children: the paddings and 2
        EXPECT_EQ(6, size.cy);
        XPageFrame *frame = f.tainer->GetTemplate();
        EXPECT_EQ(frame, f.tainer->GetTemplate());
        EXPECT_EQ(k.children, f.tainer->GetCounter());
        EXPECT_EQ(kFrameFlow, frame->extraFlags);
        EXPECT_EQ(0u, f.tainer->GetPageCount()); // the template is no page
        const BOUND_t a = {10, 10, 50, 20}, b = {30, 40, 100, 10};
        auto *one = new XPageItem, *two = new XPageItem;
        one->MovePlace(&a, 0);
        two->MovePlace(&b, 0);
        frame->AddItem(one);
        frame->AddItem(two);
        f.tainer->SetPagePadding(1, 2, 3, 4);
        ASSERT_EQ(1, f.tainer->GetPageSize(&size));
        EXPECT_EQ(120 + 1 + 3 + 2, size.cx);
        EXPECT_EQ(40 + 2 + 4 + 2, size.cy);
    }
}

} // namespace
