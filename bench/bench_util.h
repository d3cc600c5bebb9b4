#pragma once
// What the benchmarks share: the thread's CPU clock and the best time of a run.

#include <cstdint>
#include <ctime>

#include <benchmark/benchmark.h>

// CPU seconds this thread has used.
inline double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Keeps the smaller of *best (0: none yet) and seconds.
inline void KeepBest(double *best, double seconds)
{
    if (*best == 0 || seconds < *best)
        *best = seconds;
}

// Runs pass once per iteration, keeping its best CPU time in *best, and reports items
// processed per pass.
template <typename F> void TimeBest(benchmark::State &state, double *best, int64_t items, F pass)
{
    for (auto _ : state) {
        const double start = CpuSeconds();
        pass();
        KeepBest(best, CpuSeconds() - start);
    }
    state.SetItemsProcessed(state.iterations() * items);
}
