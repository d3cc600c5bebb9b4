// One 1280 x 800 frame of a grid of 1,000,000 rows and 10 columns scrolled to the middle:
// ours repainted and presented on the virtual display, against Qt 6's QTableView over a
// QAbstractTableModel of the same data, rendered into an offscreen QImage, in the same
// run. At exit the ratio of the mean CPU times of one frame is printed.
#include <cstdio>
#include <string>

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QImage>
#include <QTableView>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_grider.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

constexpr int kRows = 1000000;
constexpr int kCols = 10;
constexpr int kWidth = 1280, kHeight = 800;
constexpr int kFrames = 300;

// Columns alternate between names and numbers.
bool IsText(int col)
{
    return col % 2 == 0;
}

std::u16string CellText(int row, int col)
{
    std::u16string text = IsText(col) ? u"客户" : u"";
    const std::string n = std::to_string(static_cast<long long>(row) * 7 + col * 13);
    for (char c : n)
        text.push_back(static_cast<char16_t>(c));
    return text;
}

struct Means
{
    double ours = 0;
    double qt = 0;
    ~Means()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio grid frame / QTableView::render, 1,000,000 x 10: %.2f ms / %.2f ms, "
                        "%.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
    }
} g_means;

void BM_GridFrame(benchmark::State &state)
{
    XVirtualDisplay *display = XVirtualDisplay::Install();
    if (display == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    XPageWindow window;
    auto *grid = new XPageGrider;
    grid->extraFlags |= kGridGuide;
    grid->itemFlags |= kItemAbsolute;
    const BOUND_t at = {0, 0, kWidth, kHeight};
    grid->MovePlace(&at, 0);
    for (int c = 0; c < kCols; ++c) {
        XGB_HEADER h = {};
        h.cellKind = kCellEdit;
        h.dataType = IsText(c) ? kGridText : kGridInteger;
        h.dataSize = IsText(c) ? 32 : 8;
        h.align = IsText(c) ? 0 : 1;
        h.wide = 120;
        h.textColor = 0xFFFFFFFF;
        h.backColor = 0xFFFFFFFF;
        h.title = u"列标题";
        grid->InsertHeader(static_cast<unsigned>(c), &h);
    }
    grid->SetUpdateMode(1);
    for (int r = 0; r < kRows; ++r) {
        void *row = grid->InsertMatter(grid->GetRowNumber(), nullptr, nullptr);
        for (int c = 0; c < kCols; ++c)
            grid->SetItemText(row, static_cast<unsigned>(c), CellText(r, c).c_str());
    }
    grid->SetUpdateMode(0);
    window.GetRooter()->AddItem(grid);
    if (!window.Create(u"bench", &at)) {
        state.SkipWithError("no window");
        return;
    }
    Panekit::WaitForMessage();
    grid->EnsureVisible(kRows / 2, 0);
    Panekit::WaitForMessage();
    double total = 0;
    for (auto _ : state) {
        const int presents = display->GetPresentCount(&window);
        const double start = CpuSeconds();
        grid->Invalidate(nullptr, 0);
        Panekit::WaitForMessage(); // paints and presents, then runs out
        total += CpuSeconds() - start;
        if (display->GetPresentCount(&window) == presents)
            state.SkipWithError("the window was not presented");
    }
    g_means.ours = total / static_cast<double>(state.iterations());
    state.counters["rows_drawn"] = grid->GetDrawnRows();
    window.DestroyWindow();
}
BENCHMARK(BM_GridFrame)->Iterations(kFrames)->Unit(benchmark::kMillisecond);

class TableModel : public QAbstractTableModel
{
public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : kRows;
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : kCols;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::TextAlignmentRole)
            return IsText(index.column()) ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                          : int(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        const std::u16string text = CellText(index.row(), index.column());
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return QStringLiteral("列标题");
    }
};

void BM_QtTableRender(benchmark::State &state)
{
    QtApp();
    TableModel model;
    QTableView view;
    view.setModel(&model);
    view.resize(kWidth, kHeight);
    view.verticalHeader()->setDefaultSectionSize(18);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setDefaultSectionSize(120);
    view.show();
    view.scrollTo(model.index(kRows / 2, 0), QAbstractItemView::PositionAtTop);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&image);
    double total = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        view.render(&image);
        total += CpuSeconds() - start;
    }
    g_means.qt = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_QtTableRender)->Iterations(kFrames)->Unit(benchmark::kMillisecond);

} // namespace
