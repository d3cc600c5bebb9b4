// A tree of 100,010 nodes (10 roots x 100 branches x 99 leaves, mixed Latin and Chinese
// captions of varied lengths), expanded all: the first 1280 x 800 frame from the expand
// until the window is presented, then a page scrolled and painted again, on the virtual
// display; against a QTreeView on a QStandardItemModel (offscreen, uniform row heights,
// the column fitted to all rows) rendered into a QImage, in the same run. At exit the
// ratios of the best times (ours / Qt) are printed.
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"

#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_tree.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

constexpr int kRoots = 10, kBranches = 100, kLeaves = 99;
constexpr int kWidth = 1280, kHeight = 800;

// The caption of a node: a mix of scripts and lengths.
std::u16string Caption(int root, int branch, int leaf)
{
    static const char16_t *const kWords[] = {
        u"Orders",           u"客户",      u"Invoice lines", u"库存",
        u"Quarterly report", u"部门 费用", u"Stock",         u"Settings and rights"};
    std::u16string text = kWords[(root * 7 + branch * 3 + leaf) % 8];
    text += u' ';
    for (int n : {root, branch, leaf}) {
        if (n < 0)
            break;
        std::string digits = std::to_string(n);
        text.append(digits.begin(), digits.end());
        text += u'.';
    }
    return text;
}

struct Times
{
    double oursFirst = 0, oursRepaint = 0, qtFirst = 0, qtRepaint = 0;
    ~Times()
    {
        if (oursFirst > 0 && qtFirst > 0)
            std::printf("ratio tree first frame / Qt: %.1f ms / %.1f ms, %.2fx\n", oursFirst * 1e3,
                        qtFirst * 1e3, oursFirst / qtFirst);
        if (oursRepaint > 0 && qtRepaint > 0)
            std::printf("ratio tree repaint after a page / Qt: %.2f ms / %.2f ms, %.2fx\n",
                        oursRepaint * 1e3, qtRepaint * 1e3, oursRepaint / qtRepaint);
    }
} g_times;

void BM_PageTreePaint(benchmark::State &state)
{
    XVirtualDisplay *display = XVirtualDisplay::Install();
    if (display == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    for (auto _ : state) {
        XPageWindow window;
        auto *tree = new XPageTree;
        const BOUND_t place = {0, 0, kWidth, kHeight};
        tree->MovePlace(&place, 0);
        window.GetRooter()->AddItem(tree);
        for (int r = 0; r < kRoots; ++r) {
            XTreeItem *root =
                tree->InsertAfter(Caption(r, -1, -1).c_str(), 0, 0, nullptr, nullptr, nullptr);
            for (int b = 0; b < kBranches; ++b) {
                XTreeItem *branch =
                    tree->InsertAfter(Caption(r, b, -1).c_str(), 0, 0, nullptr, root, nullptr);
                for (int l = 0; l < kLeaves; ++l)
                    tree->InsertAfter(Caption(r, b, l).c_str(), 0, 0, nullptr, branch, nullptr);
            }
        }
        if (!window.Create(u"bench", &place)) {
            state.SkipWithError("no window");
            return;
        }
        Panekit::WaitForMessage();
        const int presents = display->GetPresentCount(&window);
        double start = CpuSeconds();
        tree->ExpandTree(nullptr, 1);
        Panekit::WaitForMessage(); // paints and presents, then runs out
        KeepBest(&g_times.oursFirst, CpuSeconds() - start);
        if (display->GetPresentCount(&window) == presents)
            state.SkipWithError("the window was not presented");
        start = CpuSeconds();
        tree->SetScrollPos(1, tree->GetScrollPos(1) + kHeight - 20);
        Panekit::WaitForMessage();
        KeepBest(&g_times.oursRepaint, CpuSeconds() - start);
        if (tree->GetVisibleCounter() != kRoots * (1 + kBranches * (1 + kLeaves)))
            state.SkipWithError("not every node is shown");
        window.DestroyWindow();
    }
}
BENCHMARK(BM_PageTreePaint)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QtTreePaint(benchmark::State &state)
{
    QtApp();
    for (auto _ : state) {
        QStandardItemModel model;
        QStandardItem *top = model.invisibleRootItem();
        for (int r = 0; r < kRoots; ++r) {
            auto *root = new QStandardItem(QString::fromStdU16String(Caption(r, -1, -1)));
            for (int b = 0; b < kBranches; ++b) {
                auto *branch = new QStandardItem(QString::fromStdU16String(Caption(r, b, -1)));
                QList<QStandardItem *> leaves;
                for (int l = 0; l < kLeaves; ++l)
                    leaves.append(new QStandardItem(QString::fromStdU16String(Caption(r, b, l))));
                branch->appendRows(leaves);
                root->appendRow(branch);
            }
            top->appendRow(root);
        }
        QTreeView view;
        view.setUniformRowHeights(true);
        view.setHeaderHidden(true);
        view.header()->setResizeContentsPrecision(-1); // every row, as ours
        view.setModel(&model);
        view.resize(kWidth, kHeight);
        QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
        double start = CpuSeconds();
        view.expandAll();
        view.resizeColumnToContents(0);
        view.render(&image);
        KeepBest(&g_times.qtFirst, CpuSeconds() - start);
        start = CpuSeconds();
        QScrollBar *bar = view.verticalScrollBar();
        bar->setValue(bar->value() + bar->pageStep());
        view.render(&image);
        KeepBest(&g_times.qtRepaint, CpuSeconds() - start);
    }
}
BENCHMARK(BM_QtTreePaint)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
