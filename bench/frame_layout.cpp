// Re-laying out a flex frame of 10,000 children (blocks, layout-x extend, mixed heights)
// after a width change, against a QWidget whose QVBoxLayout holds 10,000 fixed-height
// widgets given the same change, in the same run. Each pass changes the width by one
// pixel (800 and 801 in turn), so every child gets a new width. Qt is timed twice: with
// the widgets hidden, where it only records geometries, and shown, where each child takes
// its resize event in the pass as each of our items takes its new body. At exit the
// ratios of the best pass times (ours / Qt) are printed.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"

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
struct Passes
{
    double ours = 0, qt = 0, qtShown = 0;
    ~Passes()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio flex frame / QVBoxLayout hidden: %.3f ms / %.3f ms per re-layout "
                        "of 10000 children, %.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
        if (ours > 0 && qtShown > 0)
            std::printf("ratio flex frame / QVBoxLayout shown: %.3f ms / %.3f ms per re-layout "
                        "of 10000 children, %.2fx\n",
                        ours * 1e3, qtShown * 1e3, ours / qtShown);
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

// The Qt widgets hidden (setGeometry only records the geometry and defers the resize
// events to the first show) and shown (each child gets its move and resize event at once,
// as each of our items gets its body and its code 7 in the pass).
void QtBoxLayoutRelayout(benchmark::State &state, double *best, bool shown)
{
    QtApp();
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
    if (shown) {
        top.setGeometry(0, 0, 800, height);
        top.show();
        QApplication::processEvents();
    }
    Measure(state, best, [&](int width) {
        layout->setGeometry(QRect(0, 0, width, height));
        benchmark::DoNotOptimize(layout);
    });
}

void BM_QtBoxLayoutRelayout(benchmark::State &state)
{
    QtBoxLayoutRelayout(state, &g_passes.qt, false);
}
BENCHMARK(BM_QtBoxLayoutRelayout)->Unit(benchmark::kMillisecond);

void BM_QtBoxLayoutRelayoutShown(benchmark::State &state)
{
    QtBoxLayoutRelayout(state, &g_passes.qtShown, true);
}
BENCHMARK(BM_QtBoxLayoutRelayoutShown)->Unit(benchmark::kMillisecond);

} // namespace
