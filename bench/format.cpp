// The formatter, the scanner and the time writer against glibc's snprintf,
// sscanf and strftime on the same inputs.

#include <cstdio>
#include <ctime>

#include <benchmark/benchmark.h>

#include "corekit/format/format.h"
#include "corekit/systime/systime.h"

namespace {

void SprintfOurs(benchmark::State &state)
{
    char buf[128];
    unsigned i = 0;
    for (auto _ : state) {
        Sprintf(buf, "%d|%s|%.2f|%08x", static_cast<int>(i * 7919), "record", 1234.5678 + i, i);
        benchmark::DoNotOptimize(buf);
        ++i;
    }
}
BENCHMARK(SprintfOurs);

void SprintfGlibc(benchmark::State &state)
{
    char buf[128];
    unsigned i = 0;
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%d|%s|%.2f|%08x", static_cast<int>(i * 7919), "record",
                      1234.5678 + i, i);
        benchmark::DoNotOptimize(buf);
        ++i;
    }
}
BENCHMARK(SprintfGlibc);

constexpr const char *kFields = "12 -345 67890 3.25 word ff 777 1.5e3";

void SscanfOurs(benchmark::State &state)
{
    int32_t a, b, c;
    uint32_t x, o;
    double f, e;
    char word[16];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Sscanf(kFields, "%d %d %d %f %s %x %o %e", &a, &b, &c, &f, word, &x, &o, &e));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SscanfOurs);

void SscanfGlibc(benchmark::State &state)
{
    int a, b, c;
    unsigned x, o;
    double f, e;
    char word[16];
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::sscanf(kFields, "%d %d %d %lf %15s %x %o %le", &a, &b, &c, &f, word, &x, &o, &e));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(SscanfGlibc);

void FormatTimeOurs(benchmark::State &state)
{
    const SYSTIME_t t{2024, 3, 5, 7, 8, 9, 2, 456};
    char buf[kFormatTimeBuffer];
    for (auto _ : state) {
        FormatTime(buf, &t, "%Y-%M-%d %H:%m:%s");
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(FormatTimeOurs);

void FormatTimeStrftime(benchmark::State &state)
{
    struct tm t = {};
    t.tm_year = 124, t.tm_mon = 2, t.tm_mday = 5, t.tm_hour = 7, t.tm_min = 8, t.tm_sec = 9;
    char buf[kFormatTimeBuffer];
    for (auto _ : state) {
        std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &t);
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(FormatTimeStrftime);

} // namespace
