// The X11 backend's connection, event pump, wake pipe and registration.
#include <fcntl.h>
#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstring>
#include <ctime>

#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/x11/x11_backend.h"
#include "platform/panekit/x11/x11_workarea.h"

namespace {

// Errors of requests on windows that went away meanwhile (a focus request on a window
// not yet viewable, a grab on an unmapped one) must not end the program, as Xlib's
// default handler does.
int IgnoreXError(Display *, XErrorEvent *)
{
    return 0;
}

XWindowBackend *MakeX11Backend()
{
    return XX11Backend::Open();
}

struct RegisterX11
{
    RegisterX11() { RegisterWindowBackend("x11", 10, MakeX11Backend); }
};
const RegisterX11 registerX11;

bool OpenWakePipe(int fds[2])
{
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        fds[0] = fds[1] = -1;
        return false;
    }
    return true;
}

} // namespace

uint32_t X11Modifiers(unsigned int state)
{
    uint32_t bits = XINPUT_MOD_KNOWN;
    if (state & ControlMask)
        bits |= XINPUT_MOD_CTRL;
    if (state & ShiftMask)
        bits |= XINPUT_MOD_SHIFT;
    return bits;
}

XX11Backend *XX11Backend::Open()
{
    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return nullptr;
    auto *backend = new XX11Backend;
    if (!backend->Init(display)) {
        delete backend;
        return nullptr;
    }
    return backend;
}

bool XX11Backend::Init(Display *display)
{
    m_display = display;
    XSetErrorHandler(IgnoreXError);
    if (!OpenWakePipe(m_wake))
        return false;
    struct
    {
        Atom *atom;
        const char *name;
    } const names[] = {
        {&m_atoms.wmProtocols, "WM_PROTOCOLS"},
        {&m_atoms.wmDelete, "WM_DELETE_WINDOW"},
        {&m_atoms.netWmName, "_NET_WM_NAME"},
        {&m_atoms.utf8String, "UTF8_STRING"},
        {&m_atoms.clipboard, "CLIPBOARD"},
        {&m_atoms.targets, "TARGETS"},
        {&m_atoms.text, "TEXT"},
        {&m_atoms.incr, "INCR"},
        {&m_atoms.transfer, "ZEP_PANEKIT_PASTE"},
    };
    for (const auto &entry : names)
        *entry.atom = XInternAtom(m_display, entry.name, False);
    // The input method reads the locale's character set; the program's locale may still
    // be "C", so fall back to the built-in method when no other can be opened.
    if (XSupportsLocale())
        XSetLocaleModifiers("");
    m_im = XOpenIM(m_display, nullptr, nullptr, nullptr);
    if (m_im == nullptr) {
        XSetLocaleModifiers("@im=none");
        m_im = XOpenIM(m_display, nullptr, nullptr, nullptr);
    }
    Window root = DefaultRootWindow(m_display);
    m_clipWindow = XCreateSimpleWindow(m_display, root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(m_display, m_clipWindow, PropertyChangeMask);
    return true;
}

XX11Backend::~XX11Backend()
{
    if (m_display != nullptr) {
        for (auto &entry : m_cursors)
            XFreeCursor(m_display, entry.second);
        if (m_clipWindow != 0)
            XDestroyWindow(m_display, m_clipWindow);
        if (m_im != nullptr)
            XCloseIM(m_im);
        XCloseDisplay(m_display);
    }
    for (int fd : m_wake) {
        if (fd >= 0)
            close(fd);
    }
}

void XX11Backend::Remember(Window window, XX11Window *native)
{
    m_windows[window] = native;
}

void XX11Backend::Forget(Window window)
{
    m_windows.erase(window);
}

Cursor XX11Backend::GetFontCursor(uint32_t glyph)
{
    auto found = m_cursors.find(glyph);
    if (found != m_cursors.end())
        return found->second;
    Cursor cursor = XCreateFontCursor(m_display, glyph);
    m_cursors[glyph] = cursor;
    return cursor;
}

uint64_t XX11Backend::Now()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
}

void XX11Backend::Wake()
{
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost when this write fails.
    ssize_t written = write(m_wake[1], &byte, 1);
    (void)written;
}

void XX11Backend::DrainWakePipe()
{
    char bytes[64];
    while (read(m_wake[0], bytes, sizeof bytes) > 0) {
    }
}

bool XX11Backend::WaitReadable(uint64_t wake_at)
{
    int connection = ConnectionNumber(m_display);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection, &readable);
    FD_SET(m_wake[0], &readable);
    timeval limit = {};
    timeval *timeout = nullptr;
    if (wake_at != UINT64_MAX) {
        uint64_t now = Now();
        uint64_t left = wake_at > now ? wake_at - now : 0;
        limit.tv_sec = static_cast<time_t>(left / 1000);
        limit.tv_usec = static_cast<suseconds_t>((left % 1000) * 1000);
        timeout = &limit;
    }
    int ready = select(std::max(connection, m_wake[0]) + 1, &readable, nullptr, nullptr, timeout);
    if (ready > 0 && FD_ISSET(m_wake[0], &readable))
        DrainWakePipe();
    return ready > 0;
}

int XX11Backend::PumpEvents(uint64_t wake_at, int bounded)
{
    (void)bounded;
    bool reported = false;
    for (int round = 0; round < 2; ++round) {
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            reported |= HandleEvent(&event);
        }
        if (reported || round == 1)
            break;
        XFlush(m_display);
        if (wake_at != UINT64_MAX && Now() >= wake_at)
            break;
        WaitReadable(wake_at);
    }
    XFlush(m_display);
    return XPUMP_AGAIN;
}

bool XX11Backend::HandleEvent(XEvent *event)
{
    // The input method sees every event first; what it takes (composition keys) is
    // not input of the window.
    if (XFilterEvent(event, None))
        return false;
    switch (event->type) {
    case SelectionRequest:
        HandleSelectionRequest(event->xselectionrequest);
        return false;
    case SelectionClear:
        if (event->xselectionclear.selection == m_atoms.clipboard) {
            m_clipOwned = false;
            m_clipText.clear();
        }
        return false;
    case MappingNotify:
        if (event->xmapping.request != MappingPointer)
            XRefreshKeyboardMapping(&event->xmapping);
        return false;
    default:
        break;
    }
    auto found = m_windows.find(event->xany.window);
    if (found == m_windows.end())
        return false;
    found->second->HandleEvent(event);
    return true;
}

void XX11Backend::GetWorkArea(BOUND_t *area)
{
    if (area != nullptr)
        ReadX11WorkArea(m_display, area);
}
