// XMemoArchive write and read throughput against a std::vector<char> used as a byte stream:
// 64 MiB in 64-byte records, then read back record by record.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "corekit/archive/xmemo_archive.h"

namespace {

constexpr size_t kTotal = 64u << 20;
constexpr size_t kRecord = 64;

void BM_MemoArchiveWrite(benchmark::State &state)
{
    char record[kRecord] = {1, 2, 3};
    for (auto _ : state) {
        XMemoArchive a;
        for (size_t done = 0; done < kTotal; done += kRecord)
            a.Write(record, kRecord);
        benchmark::DoNotOptimize(a.GetMaxSize());
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

void BM_VectorWrite(benchmark::State &state)
{
    char record[kRecord] = {1, 2, 3};
    for (auto _ : state) {
        std::vector<char> v;
        for (size_t done = 0; done < kTotal; done += kRecord)
            v.insert(v.end(), record, record + kRecord);
        benchmark::DoNotOptimize(v.data());
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

void BM_MemoArchiveRead(benchmark::State &state)
{
    XMemoArchive a;
    std::vector<char> fill(kTotal, 7);
    a.Write(fill.data(), kTotal);
    char record[kRecord];
    for (auto _ : state) {
        a.InitReader();
        while (a.Read(record, kRecord) != 0)
            benchmark::DoNotOptimize(record);
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

void BM_VectorRead(benchmark::State &state)
{
    const std::vector<char> v(kTotal, 7);
    char record[kRecord];
    for (auto _ : state) {
        for (size_t pos = 0; pos + kRecord <= v.size(); pos += kRecord) {
            std::memcpy(record, v.data() + pos, kRecord);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetBytesProcessed(state.iterations() * kTotal);
}

} // namespace

BENCHMARK(BM_MemoArchiveWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoArchiveRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VectorRead)->Unit(benchmark::kMillisecond);
