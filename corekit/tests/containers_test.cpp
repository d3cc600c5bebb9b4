// Pointer list, string and integer mappers, and the traversal finder.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/containers/xfinder.h"
#include "corekit/containers/xint_mapper.h"
#include "corekit/containers/xptr_vector.h"
#include "corekit/containers/xstr_mapper.h"

namespace {

// Items handed to the release callbacks, in order.
std::vector<void *> g_released;
void Record(void *item)
{
    g_released.push_back(item);
}

int A = 1, B = 2, C = 3;

std::vector<void *> Forward(const XPtrVector &v)
{
    std::vector<void *> items;
    const void *cursor = nullptr;
    while (void *p = v.GetNextItem(&cursor))
        items.push_back(p);
    return items;
}

class Containers : public testing::Test
{
protected:
    void SetUp() override { g_released.clear(); }
};

} // namespace

TEST_F(Containers, PtrVectorDropDeleteClear)
{
    XPtrVector v;
    v.SetRelease(Record);
    v.AddItem(&A);
    v.AddItem(&B);
    v.AddItem(&A);
    EXPECT_EQ(1, v.Drop(&A));
    EXPECT_EQ((std::vector<void *>{&B, &A}), Forward(v));
    EXPECT_TRUE(g_released.empty());
    EXPECT_EQ(1, v.Delete(&A));
    EXPECT_EQ(std::vector<void *>{&A}, g_released);
    EXPECT_EQ(0, v.Delete(&C));
    EXPECT_EQ(1u, v.GetLength());

    v.AddItem(&C);
    v.AddItem(nullptr);
    EXPECT_EQ(v.GetNode(&C), [&] {
        const void *cursor = nullptr;
        v.GetNextItem(&cursor);
        v.GetNextItem(&cursor);
        return cursor;
    }());
    g_released.clear();
    v.Clear();
    EXPECT_EQ((std::vector<void *>{&B, &C, nullptr}), g_released);
    EXPECT_EQ(0u, v.GetLength());
}

TEST_F(Containers, PtrVectorWalksBothWays)
{
    XPtrVector v;
    for (int *p : {&A, &B, &C})
        v.AddItem(p);
    std::vector<void *> back;
    const void *cursor = nullptr;
    while (void *p = v.GetPrevItem(&cursor))
        back.push_back(p);
    EXPECT_EQ((std::vector<void *>{&C, &B, &A}), back);

    XFinder f;
    void *item = nullptr;
    EXPECT_EQ(1, v.InitFinder(&f, &B));
    ASSERT_EQ(1, v.GetNextItem(&f, &item));
    EXPECT_EQ(&C, item);
    EXPECT_EQ(0, v.GetNextItem(&f, &item));
    ASSERT_EQ(1, v.GetPrevItem(&f, &item));
    EXPECT_EQ(&B, item);

    EXPECT_EQ(1, v.InitFinder(&f, nullptr));
    ASSERT_EQ(1, v.GetNextItem(&f, &item));
    EXPECT_EQ(&A, item);
    EXPECT_EQ(1, v.InitFinder(&f, nullptr));
    ASSERT_EQ(1, v.GetPrevItem(&f, &item));
    EXPECT_EQ(&C, item);
    int absent = 0;
    EXPECT_EQ(0, v.InitFinder(&f, &absent));
}

TEST_F(Containers, StrMapperSetAddRemove)
{
    XStrMapper m;
    m.SetRelease(Record);
    std::u16string key = u"key";
    const char16_t *stored = m.SetMapper(key.c_str(), &A);
    key[0] = u'X'; // the mapper holds its own copy
    EXPECT_EQ(std::u16string(u"key"), stored);
    EXPECT_EQ(&A, m.GetMapper(u"key"));
    EXPECT_EQ(nullptr, m.GetMapper(u"KEY")); // case-sensitive

    m.SetMapper(u"key", &B);
    EXPECT_EQ(std::vector<void *>{&A}, g_released);
    EXPECT_EQ(&B, m.GetMapper(u"key"));
    // Setting the value already held must not release it.
    m.SetMapper(u"key", &B);
    EXPECT_EQ(std::vector<void *>{&A}, g_released);

    m.AddMapper(u"key", &C); // a second entry, newer
    EXPECT_EQ(&C, m.GetMapper(u"key"));
    EXPECT_EQ(std::u16string(u"key"), m.GetCode(&B));
    EXPECT_EQ(nullptr, m.GetCode(&A));

    m.AddMapper(nullptr, &A); // a null key matches only a null key
    EXPECT_EQ(&A, m.GetMapper(nullptr));
    EXPECT_EQ(nullptr, m.GetMapper(u""));

    g_released.clear();
    EXPECT_EQ(1, m.RemoveCode(u"key"));
    EXPECT_EQ(std::vector<void *>{&C}, g_released);
    EXPECT_EQ(&B, m.GetMapper(u"key"));
    EXPECT_EQ(1, m.RemoveMapper(&B));
    EXPECT_EQ(0, m.RemoveCode(u"key"));
    EXPECT_EQ(std::u16string(u"copy"), m.StrClone(u"copy"));
    EXPECT_EQ(nullptr, m.StrClone(nullptr));

    g_released.clear();
    m.ClearMapper();
    EXPECT_EQ(std::vector<void *>{&A}, g_released);
    EXPECT_EQ(nullptr, m.GetMapper(nullptr));
}

TEST_F(Containers, IntMapperBuckets)
{
    XIntMapper m;
    m.SetRelease(Record);
    m.AddMapper(5, &A);
    m.AddMapper(38, &B); // same bucket as 5
    m.AddMapper(0xFFFFFFFFFFFFFFFFull, &C);
    EXPECT_EQ(&B, m.GetMapper(38));
    EXPECT_EQ(1, m.RemoveMapper(38));
    EXPECT_EQ(std::vector<void *>{&B}, g_released);
    EXPECT_EQ(&A, m.GetMapper(5));
    EXPECT_EQ(nullptr, m.GetMapper(38));
    EXPECT_EQ(&C, m.GetMapper(0xFFFFFFFFFFFFFFFFull));

    m.AddMapper(5, &C); // newest wins, removal takes the newest
    EXPECT_EQ(&C, m.GetMapper(5));
    m.RemoveMapper(5);
    EXPECT_EQ(&A, m.GetMapper(5));
    EXPECT_EQ(0, m.RemoveMapper(6));

    g_released.clear();
    m.ClearMapper();
    EXPECT_EQ(2u, g_released.size());
    EXPECT_EQ(nullptr, m.GetMapper(5));
}

TEST_F(Containers, FinderStack)
{
    XFinder f;
    f.SetNode(&A);
    f.SetFinder(&B);
    f.PushFinder(&C);
    EXPECT_EQ(nullptr, f.GetNode());
    EXPECT_EQ(&C, f.GetFinder());
    f.SetNode(&C);
    f.PushFinder(&A);
    EXPECT_EQ(&C, f.PopupFinder());
    EXPECT_EQ(&C, f.GetNode());
    EXPECT_EQ(&B, f.PopupFinder());
    EXPECT_EQ(&A, f.GetNode());
    EXPECT_EQ(nullptr, f.PopupFinder()); // empty stack clears both
    EXPECT_EQ(nullptr, f.GetNode());
    EXPECT_EQ(nullptr, f.GetFinder());

    // Cleared cells are reused; the state after ClearFinder is empty.
    f.PushFinder(&A);
    f.PushFinder(&B);
    f.ClearFinder();
    EXPECT_EQ(nullptr, f.GetFinder());
    EXPECT_EQ(nullptr, f.PopupFinder());
}
