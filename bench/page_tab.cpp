// A Tab press in a form of 500 fields, from the injected key until the repainted window is
// presented, on the virtual display; against a Tab press in a Qt 6 form of 500 QLineEdits
// under a ":focus" style sheet (offscreen platform, sendEvent, then processEvents until the
// newly focused line edit has painted), in the same run. At exit the ratio of the best
// times of one press (ours / Qt) is printed.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"

#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

constexpr int kColumns = 20, kRows = 25; // 500 fields
constexpr int kFieldWidth = 24, kFieldHeight = 14;
constexpr int kWidth = kColumns * (kFieldWidth + 2) + 4, kHeight = kRows * (kFieldHeight + 2) + 4;

struct Presses
{
    double ours = 0, qt = 0;
    ~Presses()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio page window Tab / Qt Tab: %.3f ms / %.3f ms per press in a "
                        "500-field form, %.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
    }
} g_presses;

void BM_PageWindowTab(benchmark::State &state)
{
    XVirtualDisplay *display = XVirtualDisplay::Install();
    if (display == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    XPageWindow window;
    XPageViewer *root = window.GetRooter();
    root->extraFlags |= kFrameKeyNav;
    for (int n = 0; n < kColumns * kRows; ++n) {
        auto *field = new XPageItem;
        const BOUND_t place = {2 + (n % kColumns) * (kFieldWidth + 2),
                               2 + (n / kColumns) * (kFieldHeight + 2), kFieldWidth, kFieldHeight};
        field->MovePlace(&place, 0);
        field->itemFlags |= kItemEditable;
        field->tabIndex = n;
        field->ApplyStyle(0, "border:1px solid #808080;background:#ffffff;"
                             "focus{background:#ffc040;}");
        root->AddItem(field);
    }
    const BOUND_t place = {0, 0, kWidth, kHeight};
    if (!window.Create(u"bench", &place)) {
        state.SkipWithError("no window");
        return;
    }
    Panekit::WaitForMessage();
    for (auto _ : state) {
        const int presents = display->GetPresentCount(&window);
        const double start = CpuSeconds();
        display->KeyDown(&window, 9);
        display->KeyUp(&window, 9);
        Panekit::WaitForMessage(); // delivers, paints and presents, then runs out
        KeepBest(&g_presses.ours, CpuSeconds() - start);
        if (display->GetPresentCount(&window) == presents)
            state.SkipWithError("the window was not presented");
    }
    window.DestroyWindow();
}
BENCHMARK(BM_PageWindowTab)->Unit(benchmark::kMicrosecond);

// Notes the paint of one widget.
class PaintWatch : public QObject
{
public:
    QWidget *target = nullptr;
    bool painted = false;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && object == target)
            painted = true;
        return false;
    }
};

void BM_QtTab(benchmark::State &state)
{
    QApplication *app = QtApp();
    QWidget form;
    form.setStyleSheet("QLineEdit { border: 1px solid #808080; background: #ffffff; }"
                       "QLineEdit:focus { background: #ffc040; }");
    auto *grid = new QGridLayout(&form);
    grid->setSpacing(2);
    grid->setContentsMargins(2, 2, 2, 2);
    PaintWatch watch;
    std::vector<QLineEdit *> edits;
    for (int n = 0; n < kColumns * kRows; ++n) {
        auto *edit = new QLineEdit(&form);
        edit->setFixedSize(kFieldWidth, kFieldHeight);
        edit->installEventFilter(&watch);
        grid->addWidget(edit, n / kColumns, n % kColumns);
        edits.push_back(edit);
    }
    form.resize(kWidth, kHeight);
    form.show();
    form.activateWindow();
    edits[0]->setFocus();
    for (int n = 0; n < 50; ++n)
        app->processEvents();
    for (auto _ : state) {
        QWidget *from = QApplication::focusWidget();
        if (from == nullptr)
            from = edits[0];
        const double start = CpuSeconds();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(from, &press);
        watch.target = QApplication::focusWidget();
        watch.painted = false;
        for (int n = 0; n < 1000 && !watch.painted; ++n)
            app->processEvents();
        KeepBest(&g_presses.qt, CpuSeconds() - start);
        if (!watch.painted)
            state.SkipWithError("the line edit did not paint");
    }
}
BENCHMARK(BM_QtTab)->Unit(benchmark::kMicrosecond);

} // namespace
