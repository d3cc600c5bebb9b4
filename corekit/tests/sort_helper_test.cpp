// XSortHelper: the listed orderings, refusals, and random records against python3 sorted().
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "corekit/containers/xsort_helper.h"
#include "test_util.h"

namespace {

// Items are indexes stored in the item pointer.
void *Item(size_t i)
{
    return reinterpret_cast<void *>(i + 1);
}
size_t Index(const void *item)
{
    return reinterpret_cast<size_t>(item) - 1;
}

std::vector<size_t> Order(const XSortHelper &s)
{
    std::vector<size_t> out;
    const void *cursor = nullptr;
    while (void *item = s.GetNextItem(&cursor))
        out.push_back(Index(item));
    return out;
}

// A sorter with one integer key fed the values in order; items are their positions.
void Feed(XSortHelper &s, std::initializer_list<int64_t> values, std::vector<int> *results)
{
    size_t i = 0;
    for (int64_t v : values) {
        XVarValue key{};
        key.integer = v;
        const int r = s.AddItem(&key, nullptr, Item(i++));
        if (results != nullptr)
            results->push_back(r);
    }
}

XSortHelper &IntegerSorter(XSortHelper &s, bool descending)
{
    const unsigned char type = kVarInteger;
    const unsigned char desc = descending ? 1 : 0;
    EXPECT_EQ(1, s.SetType(&type, &desc, 1));
    return s;
}

} // namespace

TEST(SortHelper, TiesFollowTheLastKeyDirection)
{
    XSortHelper up;
    Feed(IntegerSorter(up, false), {3, 1, 2, 1}, nullptr);
    EXPECT_EQ((std::vector<size_t>{1, 3, 2, 0}), Order(up)); // 1, 1 (arrival), 2, 3

    XSortHelper down;
    Feed(IntegerSorter(down, true), {3, 1, 2, 1}, nullptr);
    EXPECT_EQ((std::vector<size_t>{0, 2, 3, 1}), Order(down)); // 3, 2, later 1 first

    XSortHelper unique;
    IntegerSorter(unique, false).SetUniqueMode();
    std::vector<int> results;
    Feed(unique, {3, 1, 2, 1}, &results);
    EXPECT_EQ((std::vector<int>{1, 1, 1, 0}), results);
    EXPECT_EQ((std::vector<size_t>{1, 2, 0}), Order(unique));
    const void *cursor = nullptr;
    unique.GetNextItem(&cursor);
    XVarMeter v{};
    ASSERT_EQ(1, unique.GetItemValue(cursor, 0, &v));
    EXPECT_EQ(kVarInteger, v.type);
    EXPECT_EQ(1, v.value.integer);
    EXPECT_EQ(2u, v.count);
    EXPECT_EQ(3u, unique.GetItemNumber());
}

TEST(SortHelper, GroupsAndRestoreOrder)
{
    XSortHelper s;
    Feed(IntegerSorter(s, false), {1, 2, 1}, nullptr);
    const void *cursor = nullptr;
    const void *first = nullptr;
    unsigned int count = 0;
    EXPECT_EQ(Item(0), s.GetNextWare(&cursor, &first, &count));
    EXPECT_EQ(2u, count);
    const void *walk = nullptr;
    s.GetNextItem(&walk);
    EXPECT_EQ(walk, first);
    EXPECT_EQ(Item(1), s.GetNextWare(&cursor, &count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(nullptr, s.GetNextWare(&cursor, &count));
    EXPECT_EQ(0u, count);

    XSortHelper r;
    Feed(IntegerSorter(r, false), {3, 1, 2}, nullptr);
    r.RestoreOrder();
    EXPECT_EQ((std::vector<size_t>{0, 1, 2}), Order(r));
    XVarValue key{};
    EXPECT_EQ(0, r.AddItem(&key, nullptr, Item(9))); // read-only until cleared
    EXPECT_EQ(3u, r.GetItemNumber());
    r.ClearHelper();
    EXPECT_EQ(1, r.AddItem(&key, nullptr, Item(9)));
}

TEST(SortHelper, NullsAndTexts)
{
    XSortHelper s;
    const unsigned char types[2] = {kVarText, kVarInteger};
    const unsigned char desc[2] = {0, 1};
    ASSERT_EQ(1, s.SetType(types, desc, 2));
    std::u16string buffer = u"b";
    const struct
    {
        const char16_t *text;
        int64_t n;
        unsigned char nulls[2];
    } rows[] = {
        {buffer.c_str(), 1, {0, 0}}, {nullptr, 5, {1, 0}}, {u"a", 0, {0, 1}}, {u"a", 7, {0, 0}}};
    for (size_t i = 0; i < 4; ++i) {
        XVarValue v[2];
        v[0].text = rows[i].text;
        v[1].integer = rows[i].n;
        ASSERT_EQ(1, s.AddItemEx(v, rows[i].nulls, Item(i)));
    }
    buffer[0] = u'z'; // AddItemEx copied the text
    // Nodes stay 8-byte aligned although the copied texts have odd unit counts.
    for (const void *node = nullptr; s.GetNextItem(&node) != nullptr;)
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(node) % 8);
    // Null text first; within "a" the descending integer puts the null key last.
    EXPECT_EQ((std::vector<size_t>{1, 3, 2, 0}), Order(s));
    const void *cursor = nullptr;
    s.GetNextItem(&cursor);
    EXPECT_EQ(nullptr, s.GetItemValue(cursor, 0));
    for (int i = 0; i < 3; ++i)
        s.GetNextItem(&cursor);
    EXPECT_EQ(std::u16string(u"b"), s.GetItemValue(cursor, 0));
    EXPECT_EQ(nullptr, s.GetItemValue(cursor, 1)); // not a text
    EXPECT_EQ(nullptr, s.GetItemValue(cursor, 2)); // index checked
    XVarMeter out{};
    EXPECT_EQ(0, s.GetItemValue(cursor, 2, &out));
}

TEST(SortHelper, NaNOrdersAboveEveryNumber)
{
    XSortHelper s;
    const unsigned char type = kVarFloater;
    ASSERT_EQ(1, s.SetType(&type, nullptr, 1));
    const double values[] = {NAN, 1.0, -INFINITY, NAN, 0.5, -0.0, 0.0};
    for (size_t i = 0; i < 7; ++i) {
        XVarValue v{};
        v.floater = values[i];
        s.AddItem(&v, nullptr, Item(i));
    }
    EXPECT_EQ((std::vector<size_t>{2, 5, 6, 4, 1, 0, 3}), Order(s));
}

TEST(SortHelper, RefusesBadKeys)
{
    XSortHelper s;
    const unsigned char nine[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(0, s.SetType(nine, nullptr, 9));
    EXPECT_EQ(1, s.SetType(nine, nullptr, 8));
    const unsigned char bad = 7;
    EXPECT_EQ(0, s.SetType(&bad, nullptr, 1));

    const unsigned char types[2] = {kVarInteger, kVarText};
    ASSERT_EQ(1, s.SetType(types, nullptr, 2));
    XVarMeter mismatch[2] = {{kVarInteger, 0, {}}, {kVarFloater, 0, {}}};
    EXPECT_EQ(0, s.AddItem(mismatch, Item(0)));           // refused: the system's failure value
    XVarMeter nulls[2] = {{kVarNull, 0, {}}, {0, 0, {}}}; // no-value codes give null keys
    EXPECT_EQ(1, s.AddItem(nulls, Item(1)));
    XVarMeter ok[2] = {{kVarInteger, 0, {}}, {kVarText, 0, {}}};
    ok[1].value.text = u"t";
    EXPECT_EQ(1, s.AddItem(ok, Item(2)));
    EXPECT_EQ((std::vector<size_t>{1, 2}), Order(s));
    EXPECT_EQ(0, s.AddItem(static_cast<const XVarValue *>(nullptr), nullptr, Item(3)));
    EXPECT_EQ(0, s.AddItem(static_cast<const XVarMeter *>(nullptr), Item(3)));
    EXPECT_EQ(2u, s.GetItemNumber());
}

// Batches far larger than a record chunk or a node region of the sorter: the order, the
// arrival order of equal items (reversed for a descending key), the groups, and batches
// added after reading, one few enough to be placed item by item and one merged.
TEST(SortHelper, LargeBatches)
{
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        XSortHelper s;
        IntegerSorter(s, descending);
        size_t added = 0;
        const auto add = [&](size_t n) {
            for (size_t end = added + n; added < end; ++added) {
                XVarValue key{};
                key.integer = static_cast<int64_t>((added * 7919) % 1000) - 500;
                ASSERT_EQ(1, s.AddItem(&key, nullptr, Item(added)));
            }
        };
        for (const size_t batch : {600000, 1000, 150000}) {
            add(batch);
            ASSERT_EQ(added, s.GetItemNumber());
            size_t seen = 0;
            int64_t last = 0;
            size_t lastIndex = 0;
            for (const void *cursor = nullptr; void *item = s.GetNextItem(&cursor); ++seen) {
                XVarMeter v{};
                ASSERT_EQ(1, s.GetItemValue(cursor, 0, &v));
                const size_t index = Index(item);
                ASSERT_EQ(static_cast<int64_t>((index * 7919) % 1000) - 500, v.value.integer);
                if (seen != 0 && v.value.integer == last) {
                    ASSERT_EQ(!descending, index > lastIndex) << index << " after " << lastIndex;
                } else if (seen != 0) {
                    ASSERT_EQ(!descending, v.value.integer > last);
                }
                last = v.value.integer;
                lastIndex = index;
            }
            EXPECT_EQ(added, seen);
            unsigned int groups = 0, count = 0, total = 0;
            for (const void *cursor = nullptr; s.GetNextWare(&cursor, &count) != nullptr; ++groups)
                total += count;
            EXPECT_EQ(1000u, groups);
            EXPECT_EQ(added, total);
        }
    }
}

// Eight integer keys that vary in every byte: too many digits for the radix sort, so the
// batch is sorted by comparisons. Equal rows keep their arrival order.
TEST(SortHelper, WideKeysOrderAsTuples)
{
    std::mt19937_64 rng(11);
    std::vector<std::vector<int64_t>> rows;
    for (int i = 0; i < 3000; ++i) {
        std::vector<int64_t> row;
        for (int k = 0; k < 8; ++k)
            row.push_back(k == 0 ? static_cast<int64_t>(rng() % 3) : static_cast<int64_t>(rng()));
        rows.push_back(i % 10 == 9 ? rows[rng() % rows.size()] : row);
    }
    const unsigned char types[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    XSortHelper s;
    ASSERT_EQ(1, s.SetType(types, nullptr, 8));
    for (size_t i = 0; i < rows.size(); ++i) {
        XVarValue keys[8];
        for (int k = 0; k < 8; ++k)
            keys[k].integer = rows[i][k];
        ASSERT_EQ(1, s.AddItem(keys, nullptr, Item(i)));
    }
    std::vector<size_t> expected(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        expected[i] = i;
    std::stable_sort(expected.begin(), expected.end(),
                     [&](size_t a, size_t b) { return rows[a] < rows[b]; });
    EXPECT_EQ(expected, Order(s));
}

// ---- Random records against python3 -----------------------------------------------------

namespace {

struct Fixture
{
    std::vector<unsigned char> types, desc;
    bool unique = false;
    std::vector<std::vector<XVarMeter>> rows;
    std::vector<std::u16string> texts; // owns the text values
};

std::string Hex16(const std::u16string &s)
{
    char buf[8];
    std::string out;
    for (char16_t c : s) {
        std::snprintf(buf, sizeof(buf), "%04x", static_cast<unsigned>(c));
        out += buf;
    }
    return out;
}

Fixture MakeFixture(std::mt19937 &rng, size_t n)
{
    static const char16_t *pool[] = {u"",   u"a",          u"ab",     u"b",      u"B",
                                     u"中", u"\U0001F600", u"\uFFFF", u"a\u00E9"};
    static const double floats[] = {-1.5, -0.0, 0.0, 0.25, 3.0, 1e300};
    Fixture f;
    const size_t k = 1 + rng() % 4;
    for (size_t i = 0; i < k; ++i) {
        f.types.push_back(static_cast<unsigned char>(1 + rng() % 4));
        f.desc.push_back(static_cast<unsigned char>(rng() % 2));
    }
    f.unique = rng() % 3 == 0;
    f.texts.reserve(n * k);
    for (size_t r = 0; r < n; ++r) {
        std::vector<XVarMeter> row(k);
        for (size_t i = 0; i < k; ++i) {
            XVarMeter &m = row[i];
            m = XVarMeter{f.types[i], 0, {}};
            if (rng() % 6 == 0) {
                m.type = kVarNull;
            } else if (m.type == kVarInteger) {
                m.value.integer =
                    static_cast<int64_t>(rng() % 5) - 2 + (rng() % 7 == 0 ? INT64_MIN / 2 : 0);
            } else if (m.type == kVarText) {
                f.texts.push_back(pool[rng() % 9]);
                m.value.text = f.texts.back().c_str();
            } else if (m.type == kVarFloater) {
                m.value.floater = floats[rng() % 6];
            } else {
                m.value.time = DATETIME_t{static_cast<uint16_t>(2000 + rng() % 2),
                                          1,
                                          static_cast<uint8_t>(1 + rng() % 2),
                                          0,
                                          0,
                                          0,
                                          static_cast<uint8_t>(rng() % 2)};
            }
        }
        f.rows.push_back(row);
    }
    return f;
}

std::string Describe(const Fixture &f)
{
    std::ostringstream s;
    s << "keys ";
    for (size_t i = 0; i < f.types.size(); ++i)
        s << (i ? "," : "") << +f.types[i];
    s << ' ';
    for (size_t i = 0; i < f.desc.size(); ++i)
        s << (i ? "," : "") << +f.desc[i];
    s << ' ' << (f.unique ? 1 : 0) << '\n';
    char buf[64];
    for (const auto &row : f.rows) {
        for (const XVarMeter &m : row) {
            if (m.type == kVarNull)
                s << "N ";
            else if (m.type == kVarInteger)
                s << m.value.integer << ' ';
            else if (m.type == kVarText)
                s << 'T' << Hex16(m.value.text) << ' ';
            else if (m.type == kVarFloater) {
                std::snprintf(buf, sizeof(buf), "F%.17g ", m.value.floater);
                s << buf;
            } else {
                const DATETIME_t &t = m.value.time;
                s << 'D' << t.wYear << '/' << +t.bMonth << '/' << +t.bDay << '/' << +t.bHour << '/'
                  << +t.bMinute << '/' << +t.bSecond << '/' << +t.bMilli << ' ';
            }
        }
        s << '\n';
    }
    return s.str();
}

std::string RunPython(const std::string &input)
{
    const TempFolder folder;
    const std::string path = folder.File("records.txt");
    FILE *file = std::fopen(path.c_str(), "w");
    EXPECT_NE(nullptr, file);
    std::fputs(input.c_str(), file);
    std::fclose(file);
    const std::string cmd = "/usr/bin/python3 " ZEP_TEST_DIR "/sort_oracle.py < " + path;
    FILE *p = popen(cmd.c_str(), "r");
    EXPECT_NE(nullptr, p);
    std::string out;
    char buf[256];
    while (std::fgets(buf, sizeof(buf), p) != nullptr)
        out += buf;
    EXPECT_EQ(0, pclose(p)) << "the python3 oracle failed";
    return out;
}

std::string Ours(const Fixture &f, int round)
{
    XSortHelper s;
    EXPECT_EQ(1, s.SetType(f.types.data(), f.desc.data(), static_cast<unsigned>(f.types.size())));
    if (f.unique)
        s.SetUniqueMode();
    // Outside unique mode every item is inserted (1); in it, 0 merges into an equal item.
    unsigned int inserted = 0;
    for (size_t r = 0; r < f.rows.size(); ++r) {
        // Reading now and then orders the items added so far, in a batch or one by one.
        if (r % 37 == 36 || (round % 3 == 0 && r % 5 == 4)) {
            const void *peek = nullptr;
            s.GetNextItem(&peek);
        }
        // Alternate the typed form and the value form with copied texts.
        if (round % 2 == 0) {
            const int added = s.AddItem(f.rows[r].data(), Item(r));
            EXPECT_TRUE(added == 1 || (f.unique && added == 0)) << added;
            inserted += added == 1;
            continue;
        }
        std::vector<XVarValue> values;
        std::vector<unsigned char> nulls;
        for (const XVarMeter &m : f.rows[r]) {
            values.push_back(m.value);
            nulls.push_back(m.type == kVarNull);
        }
        const int added = s.AddItemEx(values.data(), nulls.data(), Item(r));
        EXPECT_TRUE(added == 1 || (f.unique && added == 0)) << added;
        inserted += added == 1;
    }
    EXPECT_EQ(inserted, s.GetItemNumber());
    std::ostringstream out;
    const void *cursor = nullptr;
    while (void *item = s.GetNextItem(&cursor)) {
        XVarMeter m{};
        s.GetItemValue(cursor, 0, &m);
        out << Index(item) << ' ' << m.count << '\n';
    }
    out << "--\n";
    cursor = nullptr;
    unsigned int count = 0;
    while (void *item = s.GetNextWare(&cursor, &count))
        out << Index(item) << ' ' << count << '\n';
    return out.str();
}

} // namespace

TEST(SortHelperOracle, RandomRecordsMatchPythonSorted)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        const Fixture f = MakeFixture(rng, 1 + rng() % (round % 4 == 0 ? 2000 : 300));
        const std::string input = Describe(f);
        ASSERT_EQ(RunPython(input), Ours(f, round)) << input;
    }
}
