// panedemo: opens one window of the painting library, draws with the painter and echoes
// every message the window receives, one line each, to standard output.
//
//   panedemo [--seconds N] [--title TEXT]
//
// The backend is chosen as for any program (ZEP_PANEKIT_BACKEND=x11|virtual forces one).
// With --seconds the demo ends after N seconds; otherwise when its window is closed.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/panekit/session/session.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/window_backend.h"
#include "tools/panedemo/demo_window.h"

namespace {

struct Options
{
    long seconds = 0;
    std::u16string title = u"面板演示 Panekit demo";
};

bool ReadOptions(int argc, char **argv, Options *options)
{
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--seconds") == 0 && hasValue) {
            char *end = nullptr;
            options->seconds = std::strtol(argv[++i], &end, 10);
            if (*end != 0 || options->seconds <= 0 || options->seconds > 86400)
                return false;
        } else if (std::strcmp(argv[i], "--title") == 0 && hasValue) {
            const char *title = argv[++i];
            options->title = devkit::Utf8ToUtf16(title, std::strlen(title));
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    Options options;
    if (!ReadOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: panedemo [--seconds N] [--title TEXT]\n");
        return 2;
    }
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr) {
        std::fprintf(stderr, "panedemo: no window backend can run here\n");
        return 1;
    }
    XDemoWindow window;
    BOUND_t place = {kWindowDefaultPos, kWindowDefaultPos, 480, 320};
    if (!window.Create(options.title.c_str(), &place)) {
        std::fprintf(stderr, "panedemo: the window could not be created\n");
        return 1;
    }
    std::printf("backend %s\n", backend->GetName());
    std::fflush(stdout);
    SetAppMainFrame(&window);
    Panekit::WaitForMessage(options.seconds > 0 ? uint32_t(options.seconds * 1000) : kWaitForever);
    SetAppMainFrame(nullptr);
    window.DestroyWindow();
    std::printf("end\n");
    return 0;
}
