// Zooming and panning a 4000 x 3000 photo in a 1280 x 800 view: each pass draws the view
// through XPageImage for a fixed walk of zoom steps and pans; against QPainter::drawImage
// with smooth scaling of the same source and target rectangles into a QImage, in the same
// run. At exit the ratio of the best process CPU times of one pass (ours / Qt) is printed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_image.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

constexpr int kPhotoWidth = 4000, kPhotoHeight = 3000;
constexpr int kViewWidth = 1280, kViewHeight = 800;

// CPU seconds of the whole process: Qt's raster engine spreads scaled drawing over worker
// threads, which the thread clock would not count.
double ProcessSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// One view of the walk: the source part of the photo and where it is drawn.
struct Frame
{
    BOUND_t source;
    BOUND_t target;
};

struct Passes
{
    double ours = 0, qt = 0;
    ~Passes()
    {
        if (ours > 0 && qt > 0)
            std::printf("ratio XPageImage zoom and pan / QPainter::drawImage: %.3f ms / %.3f ms "
                        "per walk of a 4000 x 3000 photo in a 1280 x 800 view, %.2fx\n",
                        ours * 1e3, qt * 1e3, ours / qt);
    }
} g_passes;

// The photo: blocks of colour with a gradient, so that scaling has work to do.
uint32_t PhotoPixel(int x, int y)
{
    const uint32_t r = static_cast<uint32_t>(x * 255 / kPhotoWidth);
    const uint32_t g = static_cast<uint32_t>(y * 255 / kPhotoHeight);
    const uint32_t b = ((x / 50 + y / 50) % 2) ? 200u : 40u;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

void FillSurface(unsigned char *data, int stride)
{
    for (int y = 0; y < kPhotoHeight; ++y) {
        auto *row = reinterpret_cast<uint32_t *>(data + y * stride);
        for (int x = 0; x < kPhotoWidth; ++x)
            row[x] = PhotoPixel(x, y);
    }
}

// The walk: the fitted photo, four steps larger with a pan after each, then back; after
// calls back after each view change.
template <typename F> void Walk(XPageImage *item, F after)
{
    item->OnFullImage();
    after();
    for (int step = 0; step < 4; ++step) {
        item->OnZoomImage(0);
        after();
        item->SetScrollPos(0, item->GetScrollPos(0) + 150);
        item->SetScrollPos(1, item->GetScrollPos(1) + 90);
        after();
    }
    for (int step = 0; step < 4; ++step) {
        item->OnZoomImage(1);
        after();
    }
}

// The rectangles the item draws for its current view.
Frame ViewFrame(const XPageImage *item)
{
    const double zoom = item->GetZoom();
    BOUND_t source = {static_cast<int>(std::lround(item->GetScrollPos(0) * zoom)),
                      static_cast<int>(std::lround(item->GetScrollPos(1) * zoom)),
                      static_cast<int>(std::lround(kViewWidth * zoom)),
                      static_cast<int>(std::lround(kViewHeight * zoom))};
    source.width = std::min(source.width, kPhotoWidth - source.x);
    source.height = std::min(source.height, kPhotoHeight - source.y);
    const BOUND_t target = {0, 0, static_cast<int>(std::lround(source.width / zoom)),
                            static_cast<int>(std::lround(source.height / zoom))};
    return {source, target};
}

// An image item of the view's size holding the photo, in a window of the virtual display.
XPageImage *MakeItem(XPageWindow *window)
{
    auto *item = new XPageImage;
    const BOUND_t place = {0, 0, kViewWidth, kViewHeight};
    item->MovePlace(&place, 0);
    XImage *photo = item->GetPicture();
    photo->CreateBitmap(kPhotoWidth, kPhotoHeight, 32);
    cairo_surface_t *surface = photo->GetSurface();
    cairo_surface_flush(surface);
    FillSurface(cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface));
    cairo_surface_mark_dirty(surface);
    item->extraFlags |= kImagePhotoMode;
    window->GetRooter()->AddItem(item);
    window->Create(u"bench", &place);
    Panekit::WaitForMessage();
    return item;
}

void BM_PageImageView(benchmark::State &state)
{
    if (XVirtualDisplay::Install() == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    XPageWindow window;
    XPageImage *item = MakeItem(&window);
    cairo_surface_t *target =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kViewWidth, kViewHeight);
    const BOUND_t all = {0, 0, kViewWidth, kViewHeight};
    int64_t views = 0;
    for (auto _ : state) {
        XPainter painter(target, &all);
        const double start = ProcessSeconds();
        Walk(item, [&] {
            item->DrawItem(&painter, &all);
            ++views;
        });
        cairo_surface_flush(target);
        KeepBest(&g_passes.ours, ProcessSeconds() - start);
    }
    state.SetItemsProcessed(views);
    cairo_surface_destroy(target);
    window.DestroyWindow();
}
BENCHMARK(BM_PageImageView)->Unit(benchmark::kMillisecond);

void BM_QtImageView(benchmark::State &state)
{
    // The same rectangles, taken from the item's walk once.
    std::vector<Frame> frames;
    if (XVirtualDisplay::Install() == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    {
        XPageWindow window;
        XPageImage *item = MakeItem(&window);
        Walk(item, [&] { frames.push_back(ViewFrame(item)); });
        window.DestroyWindow();
    }
    QImage photo(kPhotoWidth, kPhotoHeight, QImage::Format_ARGB32_Premultiplied);
    FillSurface(photo.bits(), static_cast<int>(photo.bytesPerLine()));
    QImage target(kViewWidth, kViewHeight, QImage::Format_ARGB32_Premultiplied);
    int64_t views = 0;
    for (auto _ : state) {
        const double start = ProcessSeconds();
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        for (const Frame &f : frames) {
            painter.drawImage(QRect(f.target.x, f.target.y, f.target.width, f.target.height), photo,
                              QRect(f.source.x, f.source.y, f.source.width, f.source.height));
            ++views;
        }
        painter.end();
        KeepBest(&g_passes.qt, ProcessSeconds() - start);
    }
    state.SetItemsProcessed(views);
}
BENCHMARK(BM_QtImageView)->Unit(benchmark::kMillisecond);

} // namespace
