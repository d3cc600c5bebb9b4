// FromInteger against snprintf("%lld") and ToInt64 against strtoll, on the
// same values in the same run. Arg 0: values of every magnitude (1 to 19
// digits, either sign); Arg 1: full-range 64-bit values (mostly 19 digits).

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "corekit/numbers/numbers.h"

namespace {

constexpr size_t kCount = 4096;

const std::vector<int64_t> &Values(int fullRange)
{
    static const std::array<std::vector<int64_t>, 2> sets = [] {
        std::vector<int64_t> mixed, full;
        std::mt19937_64 random(7);
        for (size_t i = 0; i < kCount; ++i) {
            const uint64_t v = random();
            mixed.push_back(static_cast<int64_t>(v) >> (random() % 63));
            full.push_back(static_cast<int64_t>(v));
        }
        return std::array<std::vector<int64_t>, 2>{mixed, full};
    }();
    return sets[fullRange];
}

const std::vector<std::string> &Texts(int fullRange)
{
    static std::vector<std::string> sets[2];
    std::vector<std::string> &texts = sets[fullRange];
    if (texts.empty())
        for (int64_t v : Values(fullRange)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
            texts.emplace_back(buf);
        }
    return texts;
}

void FromInteger_corekit(benchmark::State &state)
{
    const auto &values = Values(static_cast<int>(state.range(0)));
    char buf[kIntegerTextMax];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FromInteger(buf, values[i++ % kCount]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void FromInteger_snprintf(benchmark::State &state)
{
    const auto &values = Values(static_cast<int>(state.range(0)));
    char buf[kIntegerTextMax];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(values[i++ % kCount])));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void ToInt64_corekit(benchmark::State &state)
{
    const auto &texts = Texts(static_cast<int>(state.range(0)));
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ToInt64(texts[i++ % kCount].c_str()));
    state.SetItemsProcessed(state.iterations());
}

void ToInt64_strtoll(benchmark::State &state)
{
    const auto &texts = Texts(static_cast<int>(state.range(0)));
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(std::strtoll(texts[i++ % kCount].c_str(), nullptr, 10));
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(FromInteger_corekit)->Arg(0)->Arg(1);
BENCHMARK(FromInteger_snprintf)->Arg(0)->Arg(1);
BENCHMARK(ToInt64_corekit)->Arg(0)->Arg(1);
BENCHMARK(ToInt64_strtoll)->Arg(0)->Arg(1);
