// The grid's row loading and sorting against Qt 6, in the same run: 1,000,000 matter
// records of four columns (4-byte integer, double, 32-unit text, date-time) are loaded
// and sorted by text, then integer.
//  - ours: InsertMatter from each record under SetUpdateMode, then SortMatter;
//  - Qt: the records read into a QAbstractTableModel, sorted through a
//    QSortFilterProxyModel whose lessThan compares the two keys;
//  - std::stable_sort over the same records read into a vector.
// At exit the ratio of the best pass of each pair is printed.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QSortFilterProxyModel>
#include <QString>
#include <QVariant>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"

#include "pagekit/items/page_grider.h"

namespace {

constexpr int kRows = 1000000;
constexpr unsigned kTextUnits = 32;
constexpr size_t kRecordSize = 4 + 8 + 2 * kTextUnits + 8;

// Deterministic records: texts from 2,000 words (many ties), integers spread wide.
const std::vector<unsigned char> &Records()
{
    static const std::vector<unsigned char> records = [] {
        std::vector<unsigned char> out(kRecordSize * kRows, 0);
        uint32_t x = 12345;
        auto next = [&x] { return x = x * 1664525u + 1013904223u; };
        for (int r = 0; r < kRows; ++r) {
            unsigned char *p = out.data() + kRecordSize * r;
            const int32_t id = static_cast<int32_t>(next() % 1000000) - 500000;
            std::memcpy(p, &id, 4);
            const double amount = static_cast<double>(next() % 100000) / 100;
            std::memcpy(p + 4, &amount, 8);
            char word[40];
            std::snprintf(word, sizeof word, "客户%04u-%s", next() % 2000, r % 3 ? "甲" : "乙");
            // UTF-8 to UTF-16LE for the two-byte CJK and ASCII units of the word.
            unsigned units = 0;
            for (const char *s = word; *s != 0 && units < kTextUnits - 1; ++units) {
                const auto c = static_cast<unsigned char>(*s);
                char16_t u;
                if (c < 0x80) {
                    u = c;
                    ++s;
                } else {
                    u = static_cast<char16_t>((c & 0x0F) << 12 | (s[1] & 0x3F) << 6 |
                                              (s[2] & 0x3F));
                    s += 3;
                }
                p[12 + 2 * units] = static_cast<unsigned char>(u);
                p[13 + 2 * units] = static_cast<unsigned char>(u >> 8);
            }
            const DATETIME_t t = {2024,
                                  static_cast<uint8_t>(1 + r % 12),
                                  static_cast<uint8_t>(1 + r % 28),
                                  static_cast<uint8_t>(r % 24),
                                  0,
                                  0,
                                  0};
            std::memcpy(p + 12 + 2 * kTextUnits, &t, 8);
        }
        return out;
    }();
    return records;
}

// A record read into plain fields (the outside forms).
struct Parsed
{
    int32_t id;
    double amount;
    std::u16string text;
    DATETIME_t time;
};

Parsed Parse(const unsigned char *p)
{
    Parsed row;
    std::memcpy(&row.id, p, 4);
    std::memcpy(&row.amount, p + 4, 8);
    for (unsigned i = 0; i < kTextUnits; ++i) {
        const auto u = static_cast<char16_t>(p[12 + 2 * i] | p[13 + 2 * i] << 8);
        if (u == 0)
            break;
        row.text.push_back(u);
    }
    std::memcpy(&row.time, p + 12 + 2 * kTextUnits, 8);
    return row;
}

struct Passes
{
    double ours = 0, qt = 0, stl = 0;
    ~Passes()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio grid / QSortFilterProxyModel: %.1f ms / %.1f ms, %.3fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
        if (ours > 0 && stl > 0)
            std::printf("ratio grid / std::stable_sort: %.1f ms / %.1f ms, %.3fx\n", ours * 1e3,
                        stl * 1e3, ours / stl);
    }
} g_passes;

XGB_HEADER Column(uint16_t type, uint16_t size)
{
    XGB_HEADER h = {};
    h.cellKind = kCellPlain;
    h.dataType = type;
    h.dataSize = size;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    return h;
}

void BM_GridLoadSort(benchmark::State &state)
{
    const std::vector<unsigned char> &records = Records();
    TimeBest(state, &g_passes.ours, kRows, [&] {
        XPageGrider grid;
        const XGB_HEADER cols[] = {Column(kGridInteger, 4), Column(kGridDouble, 8),
                                   Column(kGridText, kTextUnits), Column(kGridDateTime, 8)};
        for (unsigned i = 0; i < 4; ++i)
            grid.InsertHeader(i, &cols[i]);
        grid.SetUpdateMode(1);
        for (int r = 0; r < kRows; ++r)
            grid.InsertMatter(0xFFFFFFFF, records.data() + kRecordSize * r, nullptr);
        const unsigned keys[] = {2, 0};
        grid.SortMatter(keys, 2, 0);
        benchmark::DoNotOptimize(grid.GetItemMatter(0));
    });
}
BENCHMARK(BM_GridLoadSort)->Unit(benchmark::kMillisecond)->Iterations(3);

class RecordModel : public QAbstractTableModel
{
public:
    explicit RecordModel(std::vector<Parsed> rows) : m_rows(std::move(rows)) {}
    int rowCount(const QModelIndex &) const override { return static_cast<int>(m_rows.size()); }
    int columnCount(const QModelIndex &) const override { return 4; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const Parsed &row = m_rows[index.row()];
        switch (index.column()) {
        case 0:
            return row.id;
        case 1:
            return row.amount;
        case 2:
            return QString::fromUtf16(row.text.data(), static_cast<qsizetype>(row.text.size()));
        default:
            return row.time.wYear;
        }
    }

private:
    std::vector<Parsed> m_rows;
};

// Text (by UTF-16 units, as the grid compares), then integer.
class TwoKeyProxy : public QSortFilterProxyModel
{
protected:
    bool lessThan(const QModelIndex &a, const QModelIndex &b) const override
    {
        const QModelIndex ta = a.sibling(a.row(), 2), tb = b.sibling(b.row(), 2);
        const int c = QString::compare(sourceModel()->data(ta).toString(),
                                       sourceModel()->data(tb).toString(), Qt::CaseSensitive);
        if (c != 0)
            return c < 0;
        return sourceModel()->data(a.sibling(a.row(), 0)).toInt() <
               sourceModel()->data(b.sibling(b.row(), 0)).toInt();
    }
};

void BM_QtProxySort(benchmark::State &state)
{
    static int argc = 1;
    static char name[] = "bench_grid_sort";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    const std::vector<unsigned char> &records = Records();
    TimeBest(state, &g_passes.qt, kRows, [&] {
        std::vector<Parsed> rows;
        rows.reserve(kRows);
        for (int r = 0; r < kRows; ++r)
            rows.push_back(Parse(records.data() + kRecordSize * r));
        RecordModel model(std::move(rows));
        TwoKeyProxy proxy;
        proxy.setSourceModel(&model);
        proxy.sort(2);
        benchmark::DoNotOptimize(proxy.mapToSource(proxy.index(0, 0)).row());
    });
}
BENCHMARK(BM_QtProxySort)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StableSort(benchmark::State &state)
{
    const std::vector<unsigned char> &records = Records();
    TimeBest(state, &g_passes.stl, kRows, [&] {
        std::vector<Parsed> rows;
        rows.reserve(kRows);
        for (int r = 0; r < kRows; ++r)
            rows.push_back(Parse(records.data() + kRecordSize * r));
        std::stable_sort(rows.begin(), rows.end(), [](const Parsed &a, const Parsed &b) {
            if (a.text != b.text)
                return a.text < b.text;
            return a.id < b.id;
        });
        benchmark::DoNotOptimize(rows.front().id);
    });
}
BENCHMARK(BM_StableSort)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
