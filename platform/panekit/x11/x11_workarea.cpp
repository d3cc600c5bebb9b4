// The desktop work area: the window manager's _NET_WORKAREA of the current desktop, the
// whole screen when no window manager publishes one, a fixed screen without a display.
#include <cstring>

#include "platform/panekit/session/session.h"
#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/x11/x11_workarea.h"

namespace {

// The screen assumed when no backend can run at all.
constexpr BOUND_t kVirtualScreen = {0, 0, 1024, 768};

bool ReadCardinals(Display *display, Window root, const char *name, long *out, int count, int first)
{
    Atom property = XInternAtom(display, name, True);
    if (property == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    int status = XGetWindowProperty(display, root, property, first, count, False, XA_CARDINAL,
                                    &type, &format, &items, &after, &data);
    bool ok = status == Success && type == XA_CARDINAL && format == 32 &&
              items == static_cast<unsigned long>(count);
    if (ok)
        std::memcpy(out, data, sizeof(long) * static_cast<size_t>(count));
    if (data != nullptr)
        XFree(data);
    return ok;
}

} // namespace

int ReadX11WorkArea(Display *display, BOUND_t *area)
{
    Window root = DefaultRootWindow(display);
    int screen = DefaultScreen(display);
    long desktop = 0;
    if (!ReadCardinals(display, root, "_NET_CURRENT_DESKTOP", &desktop, 1, 0) || desktop < 0 ||
        desktop > 64)
        desktop = 0;
    long box[4] = {0, 0, 0, 0};
    if (ReadCardinals(display, root, "_NET_WORKAREA", box, 4, static_cast<int>(desktop) * 4) &&
        box[2] > 0 && box[3] > 0) {
        *area = {static_cast<int32_t>(box[0]), static_cast<int32_t>(box[1]),
                 static_cast<int32_t>(box[2]), static_cast<int32_t>(box[3])};
        return 1;
    }
    *area = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    return 1;
}

int GetDesktopWorkArea(BOUND_t *area)
{
    if (area == nullptr)
        return 0;
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr) {
        *area = kVirtualScreen;
        return 1;
    }
    backend->GetWorkArea(area);
    return 1;
}
