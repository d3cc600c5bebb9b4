// Typing into the middle of a multi-line edit, one character a message, each followed by
// its paint cycle (from the injected character until the repainted window is presented,
// on the virtual display); against Qt 6's QPlainTextEdit on the offscreen platform (a key
// event with the character, then viewport()->render into a QImage), in the same run, on a
// text of 1,000 lines and of 10 lines. At exit the ratios of the mean times of one
// keystroke are printed: ours / Qt on 1,000 lines, and ours on 1,000 / ours on 10 lines.
#include <cstdio>
#include <string>

#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "bench/qt_app.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/virtual/virtual_display.h"

namespace {

constexpr int kKeystrokes = 10000;
constexpr int kWidth = 480, kHeight = 320;

// lines lines of 40 characters, mixed Chinese and ASCII.
std::u16string Text(int lines)
{
    std::u16string text;
    for (int n = 0; n < lines; ++n) {
        if (n > 0)
            text += u"\n";
        text.append(u"第");
        text.push_back(static_cast<char16_t>(u'0' + n % 10));
        text.append(u"行 the quick brown fox 跳过 lazy dogs 12345");
    }
    return text;
}

struct Means
{
    double ours[2] = {0, 0}; // 1,000 lines, 10 lines
    double qt = 0;
    ~Means()
    {
        if (ours[0] > 0 && qt > 0)
            std::printf("ratio edit / QPlainTextEdit, 1,000 lines: %.1f us / %.1f us per "
                        "keystroke, %.2fx\n",
                        ours[0] * 1e6, qt * 1e6, ours[0] / qt);
        if (ours[0] > 0 && ours[1] > 0)
            std::printf("ratio edit 1,000 lines / 10 lines: %.1f us / %.1f us, %.2fx\n",
                        ours[0] * 1e6, ours[1] * 1e6, ours[0] / ours[1]);
    }
} g_means;

void BM_EditTyping(benchmark::State &state)
{
    const int lines = static_cast<int>(state.range(0));
    XVirtualDisplay *display = XVirtualDisplay::Install();
    if (display == nullptr) {
        state.SkipWithError("no virtual display");
        return;
    }
    XPageWindow window;
    auto *edit = new XPageEdit;
    edit->extraFlags |= kEditMultiLine;
    const BOUND_t at = {0, 0, kWidth, kHeight};
    edit->MovePlace(&at, 0);
    edit->SetUndoNumber(0);
    const std::u16string text = Text(lines);
    edit->SetItemText(text.c_str());
    window.GetRooter()->AddItem(edit);
    if (!window.Create(u"bench", &at)) {
        state.SkipWithError("no window");
        return;
    }
    Panekit::WaitForMessage();
    window.SetFocusItem(edit);
    // The caret in the middle of the middle line.
    const unsigned middle = static_cast<unsigned>(text.size() / 2);
    edit->SetChoice(middle, middle);
    Panekit::WaitForMessage();
    double total = 0;
    for (auto _ : state) {
        const int presents = display->GetPresentCount(&window);
        const double start = CpuSeconds();
        display->TypeChar(&window, 'x');
        Panekit::WaitForMessage(); // delivers, paints and presents, then runs out
        total += CpuSeconds() - start;
        if (display->GetPresentCount(&window) == presents)
            state.SkipWithError("the window was not presented");
    }
    g_means.ours[lines >= 1000 ? 0 : 1] = total / static_cast<double>(state.iterations());
    window.DestroyWindow();
}
BENCHMARK(BM_EditTyping)
    ->Arg(1000)
    ->Arg(10)
    ->Iterations(kKeystrokes)
    ->Unit(benchmark::kMicrosecond);

void BM_QtPlainTextTyping(benchmark::State &state)
{
    QtApp();
    QPlainTextEdit edit;
    edit.resize(kWidth, kHeight);
    const std::u16string text = Text(static_cast<int>(state.range(0)));
    edit.setPlainText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
    edit.show();
    QTextCursor cursor = edit.textCursor();
    cursor.setPosition(static_cast<int>(text.size() / 2));
    edit.setTextCursor(cursor);
    edit.setFocus();
    QImage image(edit.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    double total = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(&edit, &press);
        edit.viewport()->render(&image);
        total += CpuSeconds() - start;
    }
    if (state.range(0) >= 1000)
        g_means.qt = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_QtPlainTextTyping)->Arg(1000)->Iterations(kKeystrokes)->Unit(benchmark::kMicrosecond);

} // namespace
