// Re-laying out a flex frame of 10,000 children (blocks, layout-x extend, mixed heights)
// after a width change, against a QWidget whose QVBoxLayout holds 10,000 fixed-height
// widgets given the same change, in the same run. Each pass changes the width by one
// pixel (800 and 801 in turn), so every child gets a new width. At exit the ratio of the
// best pass times (ours / Qt) is printed.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_viewer.h"

namespace {

constexpr int kChildren = 10000;

// Mixed heights 10 ... 40 from a fixed sequence.
int HeightOf(int i)
{
    return 10 + (i * 7919) % 31;
}

int TotalHeight()
{
    int total = 0;
    for (int i = 0; i < kChildren; ++i)
        total += HeightOf(i);
    return total;
}

// CPU time of this thread: the machine may be shared.
double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Passes
{
    double ours = 0, qt = 0;
    ~Passes()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio flex frame / QVBoxLayout: %.3f ms / %.3f ms per re-layout of "
                        "10000 children, %.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
    }
} g_passes;

template <typename F> void Measure(benchmark::State &state, double *best, F pass)
{
    int width = 800;
    for (auto _ : state) {
        width = width == 800 ? 801 : 800;
        const double start = CpuSeconds();
        pass(width);
        const double seconds = CpuSeconds() - start;
        if (*best == 0 || seconds < *best)
            *best = seconds;
    }
    state.SetItemsProcessed(state.iterations() * kChildren);
}

void BM_FlexFrameRelayout(benchmark::State &state)
{
    XPageViewer root;
    root.extraFlags = 0;
    const BOUND_t all = {0, 0, 4000, 4000};
    root.MovePlace(&all, 0);
    auto *frame = new XPageFrame;
    frame->extraFlags = kFrameFlex;
    const BOUND_t place = {0, 0, 800, TotalHeight()};
    frame->MovePlace(&place, 0);
    for (int i = 0; i < kChildren; ++i) {
        auto *item = new XPageItem;
        item->itemFlags = SetStyleField(item->itemFlags, kItemWrapMode, kWrapBlock);
        item->itemFlags = SetStyleField(item->itemFlags, kItemLayoutX, kLayoutExtend);
        const BOUND_t size = {0, 0, 50, HeightOf(i)};
        item->MovePlace(&size, 0);
        frame->AddItem(item);
    }
    root.AddItem(frame);
    root.OnCreateItem();
    frame->UpdateLayout(0);
    Measure(state, &g_passes.ours, [&](int width) {
        const BOUND_t next = {0, 0, width, place.height};
        frame->MovePlace(&next, 0); // a new size lays the frame out again
        benchmark::DoNotOptimize(frame);
    });
}
BENCHMARK(BM_FlexFrameRelayout)->Unit(benchmark::kMillisecond);

QApplication *App()
{
    static int argc = 1;
    static char name[] = "bench_frame_layout";
    static char *argv[] = {name, nullptr};
    static QApplication *app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return app;
}

void BM_QtBoxLayoutRelayout(benchmark::State &state)
{
    App();
    QWidget top;
    auto *layout = new QVBoxLayout(&top);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kChildren; ++i) {
        auto *child = new QWidget(&top);
        child->setFixedHeight(HeightOf(i));
        layout->addWidget(child);
    }
    const int height = TotalHeight();
    layout->setGeometry(QRect(0, 0, 800, height));
    Measure(state, &g_passes.qt, [&](int width) {
        layout->setGeometry(QRect(0, 0, width, height));
        benchmark::DoNotOptimize(layout);
    });
}
BENCHMARK(BM_QtBoxLayoutRelayout)->Unit(benchmark::kMillisecond);

} // namespace
