// XSortHelper adding and grouping 1,000,000 random records (an integer and a floater key)
// against std::stable_sort of the same records followed by the same grouping scan.
#include <algorithm>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "corekit/containers/xsort_helper.h"

namespace {

struct Record
{
    int64_t id;
    double amount;
};

constexpr size_t kRecords = 1000000;

const std::vector<Record> &Records()
{
    static const std::vector<Record> records = [] {
        std::mt19937_64 rng(42);
        std::vector<Record> r(kRecords);
        for (Record &x : r)
            x = Record{static_cast<int64_t>(rng() % 200000), static_cast<double>(rng() % 8)};
        return r;
    }();
    return records;
}

void BM_SortHelper(benchmark::State &state)
{
    const std::vector<Record> &records = Records();
    const unsigned char types[2] = {kVarInteger, kVarFloater};
    XSortHelper sorter;
    for (auto _ : state) {
        sorter.SetType(types, nullptr, 2);
        for (const Record &r : records) {
            XVarValue keys[2];
            keys[0].integer = r.id;
            keys[1].floater = r.amount;
            sorter.AddItem(keys, nullptr, const_cast<Record *>(&r));
        }
        size_t groups = 0;
        unsigned int count = 0;
        const void *cursor = nullptr;
        while (sorter.GetNextWare(&cursor, &count) != nullptr)
            ++groups;
        benchmark::DoNotOptimize(groups);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_StableSort(benchmark::State &state)
{
    const std::vector<Record> &records = Records();
    const auto less = [](const Record *a, const Record *b) {
        return a->id != b->id ? a->id < b->id : a->amount < b->amount;
    };
    for (auto _ : state) {
        std::vector<const Record *> order(kRecords);
        for (size_t i = 0; i < kRecords; ++i)
            order[i] = &records[i];
        std::stable_sort(order.begin(), order.end(), less);
        size_t groups = 0;
        for (size_t i = 0; i < kRecords; ++i)
            groups += i == 0 || less(order[i - 1], order[i]);
        benchmark::DoNotOptimize(groups);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

} // namespace

BENCHMARK(BM_SortHelper)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StableSort)->Unit(benchmark::kMillisecond);
