// Sorting and totals against sqlite3 on generated grids (nulls, ties, negatives, Chinese
// and surrogate texts). The database is UTF-16be, whose BINARY collation compares UTF-16
// units as the grid does: SortMatter by one to three keys gives the order of
// ORDER BY k1, k2, rowid (all DESC when descending); the total row equals SUM, MAX, MIN and
// AVG of COALESCE(x, 0); subtotal rows equal the sums over runs of equal keys, found in
// SQL with LAG(k) IS NOT k.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "pagekit/items/tests/grider_fixture.h"
#include "pagekit/items/tests/oracle_run.h"

namespace {

// Columns of the generated grid: key k, text s, then x (double) four times and y
// (integer) four times, with the aggregates sum, max, min, average each.
enum { kColK = 0, kColS = 1, kColX = 2, kColY = 6, kColCount = 10 };

struct Row
{
    bool kNull, sNull, xNull, yNull;
    int64_t k;
    std::u16string s;
    double x;
    int64_t y;
};

std::vector<Row> Generate(uint32_t seed, unsigned n)
{
    static const char16_t *pieces[] = {u"甲", u"乙", u"a", u"B", u"😀", u"！", u"𠀀", u"z"};
    std::mt19937 rng(seed);
    auto below = [&](unsigned m) { return std::uniform_int_distribution<unsigned>(0, m - 1)(rng); };
    std::vector<Row> rows(n);
    for (Row &r : rows) {
        r.kNull = below(6) == 0;
        r.sNull = below(6) == 0;
        r.xNull = below(8) == 0;
        r.yNull = below(8) == 0;
        r.k = static_cast<int64_t>(below(7)) - 3;
        const unsigned len = 1 + below(2);
        for (unsigned i = 0; i < len; ++i)
            r.s += pieces[below(8)];
        r.x = (static_cast<double>(below(8001)) - 4000) / 4; // quarters: exact sums
        r.y = static_cast<int64_t>(below(2000001)) - 1000000;
    }
    return rows;
}

void Fill(XPageGrider &grid, const std::vector<Row> &rows)
{
    const uint16_t aggregates[] = {kAggrSum, kAggrMax, kAggrMin, kAggrAverage};
    XGB_HEADER k = Column(kGridInteger, 4);
    grid.InsertHeader(kColK, &k);
    XGB_HEADER s = Column(kGridText, 16);
    grid.InsertHeader(kColS, &s);
    for (unsigned i = 0; i < 4; ++i) {
        XGB_HEADER x = Column(kGridDouble, 8);
        x.aggregate = aggregates[i];
        grid.InsertHeader(kColX + i, &x);
    }
    for (unsigned i = 0; i < 4; ++i) {
        XGB_HEADER y = Column(kGridInteger, 8);
        y.aggregate = aggregates[i];
        grid.InsertHeader(kColY + i, &y);
    }
    grid.SetUpdateMode(1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const Row &r = rows[i];
        void *row = grid.InsertMatter(0xFFFFFFFF, nullptr, nullptr);
        grid.SetItemData(row, static_cast<int64_t>(i + 1)); // the rowid
        XVarMeter v = {kVarInteger, 0, {}};
        v.value.integer = r.k;
        if (!r.kNull)
            grid.SetSuber(row, kColK, &v);
        v.type = kVarText;
        v.value.text = r.s.c_str();
        if (!r.sNull)
            grid.SetSuber(row, kColS, &v);
        v.type = kVarFloater;
        v.value.floater = r.x;
        for (unsigned c = 0; c < 4 && !r.xNull; ++c)
            grid.SetSuber(row, kColX + c, &v);
        v.type = kVarInteger;
        v.value.integer = r.y;
        for (unsigned c = 0; c < 4 && !r.yNull; ++c)
            grid.SetSuber(row, kColY + c, &v);
    }
    grid.SetUpdateMode(0);
}

std::string Utf16BeHex(const std::u16string &s)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (char16_t u : s)
        for (int shift = 12; shift >= 0; shift -= 4)
            out += digits[(u >> shift) & 15];
    return out;
}

std::string Table(const std::vector<Row> &rows)
{
    std::string sql = "PRAGMA encoding='UTF-16be';\n"
                      "CREATE TABLE t(k INTEGER, s TEXT, x REAL, y INTEGER);\nBEGIN;\n";
    for (const Row &r : rows) {
        char x[64];
        snprintf(x, sizeof x, "%.2f", r.x);
        sql += "INSERT INTO t VALUES(" + (r.kNull ? "NULL" : std::to_string(r.k)) + "," +
               (r.sNull ? "NULL" : "CAST(X'" + Utf16BeHex(r.s) + "' AS TEXT)") + "," +
               (r.xNull ? "NULL" : x) + "," + (r.yNull ? "NULL" : std::to_string(r.y)) + ");\n";
    }
    return sql + "COMMIT;\n";
}

// Runs the script through the sqlite3 shell; its output lines.
std::vector<std::string> Sqlite(const std::string &script)
{
    return RunOnInput("sqlite3 -batch :memory:", script);
}

std::string RowIds(XPageGrider &grid)
{
    std::string out;
    for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r))
        out += (out.empty() ? "" : ",") + std::to_string(grid.GetItemData(r));
    return out;
}

// The aggregate cells of a row as sqlite's printf below writes them.
std::string Aggregates(XPageGrider &grid, void *row)
{
    std::string out;
    for (unsigned c = 0; c < 8; ++c) {
        XVarMeter v = {};
        grid.GetSuber(row, kColX + c, &v);
        char buf[64];
        if (v.type == kVarFloater)
            snprintf(buf, sizeof buf, "%.6f", v.value.floater);
        else if (v.type == kVarInteger)
            snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.value.integer));
        else
            snprintf(buf, sizeof buf, "null");
        out += (c == 0 ? "" : "|") + std::string(buf);
    }
    return out;
}

const char kAggregateSql[] =
    "printf('%.6f|%.6f|%.6f|%.6f|%d|%d|%d|%d', SUM(COALESCE(x,0)), MAX(COALESCE(x,0)), "
    "MIN(COALESCE(x,0)), AVG(COALESCE(x,0)), SUM(COALESCE(y,0)), MAX(COALESCE(y,0)), "
    "MIN(COALESCE(y,0)), CAST(AVG(COALESCE(y,0)) AS INTEGER))";

struct SortCase
{
    std::vector<unsigned> cols;
    const char *order; // the ORDER BY terms before rowid
    bool descending;
};

const char *Name(unsigned col)
{
    return col == kColK ? "k" : col == kColS ? "s" : col == kColX ? "x" : "y";
}

TEST(GriderSortOracle, SortMatterOrdersAsSqlite)
{
    const std::vector<SortCase> cases = {
        {{kColK}, "k", false},
        {{kColK}, "k", true},
        {{kColS}, "s", false},
        {{kColS}, "s", true},
        {{kColX}, "x", false},
        {{kColK, kColS}, "k, s", false},
        {{kColS, kColK}, "s, k", true},
        {{kColK, kColS, kColY}, "k, s, y", false},
        {{kColS, kColX, kColK}, "s, x, k", true},
    };
    for (uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<Row> rows = Generate(seed, 300);
        std::string script = Table(rows);
        for (const SortCase &c : cases) {
            std::string terms;
            for (unsigned col : c.cols)
                terms += std::string(Name(col)) + (c.descending ? " DESC, " : ", ");
            script += "SELECT group_concat(r, ',') FROM (SELECT rowid AS r FROM t ORDER BY " +
                      terms + "rowid" + (c.descending ? " DESC" : "") + ");\n";
        }
        const std::vector<std::string> expected = Sqlite(script);
        ASSERT_EQ(expected.size(), cases.size());
        for (size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " by " << cases[i].order
                                            << (cases[i].descending ? " desc" : ""));
            XPageGrider grid;
            Fill(grid, rows);
            grid.extraFlags |= kGridTotals;
            grid.ComputeAggregate(-1);
            // Row states travel with their rows: new, modified and selection bits by rowid.
            for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r))
                grid.SetItemState(r, static_cast<uint32_t>(grid.GetItemData(r) % 4) << 8 |
                                         (grid.GetItemData(r) % 3 == 0));
            grid.SortMatter(cases[i].cols.data(), static_cast<unsigned>(cases[i].cols.size()),
                            cases[i].descending ? 1 : 0);
            EXPECT_EQ(RowIds(grid), expected[i]);
            for (void *r = grid.GetNextItem(nullptr); r != nullptr; r = grid.GetNextItem(r))
                ASSERT_EQ(grid.GetItemState(r), static_cast<uint32_t>(grid.GetItemData(r) % 4)
                                                        << 8 |
                                                    (grid.GetItemData(r) % 3 == 0));
            EXPECT_EQ(grid.GetItemAdder(grid.GetItemMatter(grid.GetRowNumber() - 1)), kAdderTotal);
            EXPECT_EQ(grid.GetSortColumn(),
                      cases[i].cols[0] | (cases[i].descending ? kSortDescending : 0));
            ExpectListIntact(grid);
        }
    }
}

TEST(GriderSortOracle, TotalsAndSubtotalsAsSqlite)
{
    for (uint32_t seed : {7u, 8u}) {
        const std::vector<Row> rows = Generate(seed, 250);
        std::string script = Table(rows);
        script += std::string("SELECT ") + kAggregateSql + " FROM t;\nSELECT '#';\n";
        // Runs of equal k after sorting by k, and of equal s in arrival order.
        const char *islands[][2] = {{"k", "k, rowid"}, {"s", "rowid"}};
        for (const auto &is : islands) {
            script += std::string("WITH o AS (SELECT k, s, x, y, CASE WHEN LAG(") + is[0] +
                      ") OVER (ORDER BY " + is[1] + ") IS NOT " + is[0] +
                      " THEN 1 ELSE 0 END AS chg, ROW_NUMBER() OVER (ORDER BY " + is[1] +
                      ") AS pos FROM t), g AS (SELECT *, SUM(chg) OVER (ORDER BY pos) AS grp "
                      "FROM o) SELECT COUNT(*) || '/' || " +
                      kAggregateSql + " FROM g GROUP BY grp ORDER BY grp;\nSELECT '#';\n";
        }
        const std::vector<std::string> out = Sqlite(script);
        ASSERT_GE(out.size(), 3u);

        XPageGrider grid;
        Fill(grid, rows);
        grid.extraFlags |= kGridTotals;
        grid.ComputeAggregate(-1);
        void *total = grid.GetItemMatter(grid.GetRowNumber() - 1);
        ASSERT_EQ(grid.GetItemAdder(total), kAdderTotal);
        EXPECT_EQ(Aggregates(grid, total), out[0]);
        EXPECT_EQ(grid.GetItemState(total), 0u);

        size_t at = 2;
        for (unsigned key : {kColK, kColS}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " key " << Name(key));
            XPageGrider sub;
            Fill(sub, rows);
            sub.extraFlags |= kGridTotals;
            sub.ComputeAggregate(-1);
            if (key == kColK)
                sub.SortMatter(&key, 1, 0);
            ASSERT_EQ(sub.CreateAggrSuber(&key, 1), 1);
            EXPECT_TRUE(sub.extraFlags & kGridNoSort);
            std::vector<std::string> groups;
            unsigned count = 0;
            for (void *r = sub.GetNextItemEx(nullptr); r != nullptr; r = sub.GetNextItemEx(r)) {
                if (sub.GetItemAdder(r) == kAdderSubtotal) {
                    groups.push_back(std::to_string(count) + "/" + Aggregates(sub, r));
                    EXPECT_EQ(static_cast<XMatterNode *>(r)->backColor, sub.GetBaseColor(4));
                    count = 0;
                } else if (sub.GetItemAdder(r) == 0) {
                    ++count;
                }
            }
            std::vector<std::string> expected;
            for (; at < out.size() && out[at] != "#"; ++at)
                expected.push_back(out[at]);
            ++at;
            EXPECT_EQ(groups, expected);
            ExpectListIntact(sub);
            // Subtotals again replace the old ones.
            ASSERT_EQ(sub.CreateAggrSuber(&key, 1), 1);
            EXPECT_EQ(sub.GetRowNumber(), rows.size() + expected.size() + 1);
        }
    }
}

TEST(GriderSortOracle, SubtotalsNeedTotalsAndReadOnly)
{
    XPageGrider grid;
    Fill(grid, Generate(5, 10));
    const unsigned key = kColK;
    EXPECT_EQ(grid.CreateAggrSuber(&key, 1), 0);
    grid.extraFlags |= kGridTotals | kGridEditable;
    EXPECT_EQ(grid.CreateAggrSuber(&key, 1), 0);
    grid.SetReadOnly(1);
    const unsigned bad = kColCount;
    EXPECT_EQ(grid.CreateAggrSuber(&bad, 1), 0);
    EXPECT_EQ(grid.CreateAggrSuber(&key, 1), 1);
}

TEST(GriderSortOracle, AverageOfNoRowsIsNull)
{
    XPageGrider grid;
    Fill(grid, {});
    grid.extraFlags |= kGridTotals;
    grid.ComputeAggregate(-1);
    ASSERT_EQ(grid.GetRowNumber(), 1u);
    EXPECT_EQ(Aggregates(grid, grid.GetItemMatter(0)), "null|null|null|null|null|null|null|null");
    grid.SortMatter(nullptr, 0, 0); // fewer than two rows: nothing
}

} // namespace
