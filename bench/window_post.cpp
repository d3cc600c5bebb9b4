// Posted messages delivered per second from a second thread: the window layer's
// PostMessage into a running message loop (virtual backend, the loop blocking while its
// queue is empty) against a plain mutex-and-condition-variable queue drained by one
// consumer thread, the least a cross-thread queue costs.
//
// Ratio to report: items per second of ours / items per second of the plain queue.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/panekit/virtual/virtual_display.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

constexpr uintptr_t kBatch = 100000;
constexpr uint32_t kWork = 20;
constexpr uint32_t kDone = 21;

class CountingWindow : public XDrawWindow
{
public:
    uint64_t sum = 0;
    int OnMessage(XMessage_t *message) override
    {
        if (message->code != XMSG_POSTED)
            return 0;
        if (message->key == kDone)
            Panekit::StopForMessage(1);
        else
            sum += message->value;
        return 1;
    }
};

void BM_PanekitPostMessage(benchmark::State &state)
{
    XVirtualDisplay *display = XVirtualDisplay::Install();
    if (display == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    // Long enough never to run out while the producer is busy.
    display->SetIdleWait(60000);
    CountingWindow window;
    BOUND_t place = {0, 0, 64, 64};
    window.Create(u"bench", &place);
    Panekit::WaitForMessage(0);
    for (auto _ : state) {
        window.sum = 0;
        std::thread producer([&window] {
            for (uintptr_t i = 0; i < kBatch; i++)
                window.PostMessage(kWork, nullptr, i);
            window.PostMessage(kDone, nullptr, 0);
        });
        Panekit::WaitForMessage();
        producer.join();
        benchmark::DoNotOptimize(window.sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBatch));
    window.DestroyWindow();
}
BENCHMARK(BM_PanekitPostMessage)->Unit(benchmark::kMillisecond)->UseRealTime();

struct PlainQueue
{
    struct Entry
    {
        uint32_t code;
        void *item;
        uintptr_t value;
    };
    std::mutex lock;
    std::condition_variable ready;
    std::deque<Entry> entries;

    void Push(uint32_t code, uintptr_t value)
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            entries.push_back({code, nullptr, value});
        }
        ready.notify_one();
    }
    Entry Pop()
    {
        std::unique_lock<std::mutex> hold(lock);
        ready.wait(hold, [this] { return !entries.empty(); });
        Entry entry = entries.front();
        entries.pop_front();
        return entry;
    }
};

void BM_PlainConditionQueue(benchmark::State &state)
{
    PlainQueue queue;
    for (auto _ : state) {
        uint64_t sum = 0;
        std::thread producer([&queue] {
            for (uintptr_t i = 0; i < kBatch; i++)
                queue.Push(kWork, i);
            queue.Push(kDone, 0);
        });
        for (;;) {
            PlainQueue::Entry entry = queue.Pop();
            if (entry.code == kDone)
                break;
            sum += entry.value;
        }
        producer.join();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBatch));
}
BENCHMARK(BM_PlainConditionQueue)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
