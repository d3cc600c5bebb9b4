// X11 native windows: creation, titles, placement, showing the buffer, cursors,
// capture, focus and the input context.
#include <cairo.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/x11/x11_backend.h"

namespace {

constexpr long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                            ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                            EnterWindowMask | FocusChangeMask | StructureNotifyMask;

constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;

Window ParentWindow(XX11Backend *backend, const XWindowParams *params)
{
    if (params->parent != nullptr && params->parent->GetNative() != nullptr)
        return static_cast<XX11Window *>(params->parent->GetNative())->GetWindow();
    return DefaultRootWindow(backend->GetDisplay());
}

// Size hints: where the caller placed the window, and a fixed size when asked.
void SetSizeHints(Display *display, Window window, const BOUND_t &place, uint32_t style)
{
    XSizeHints *hints = XAllocSizeHints();
    if (hints == nullptr)
        return;
    hints->flags = PSize;
    hints->width = place.width;
    hints->height = place.height;
    if (place.x != kWindowDefaultPos && place.y != kWindowDefaultPos) {
        hints->flags |= PPosition | USPosition;
        hints->x = place.x;
        hints->y = place.y;
    }
    if (style & PANEKIT_STYLE_FIXED) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = place.width;
        hints->min_height = hints->max_height = place.height;
    }
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
}

// The process and the program class, so that desktops and tools find a program's windows.
void SetIdentity(Display *display, Window window)
{
    long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char *>(&pid), 1);
    XClassHint *hint = XAllocClassHint();
    if (hint != nullptr) {
        char name[] = "panekit";
        char klass[] = "Panekit";
        hint->res_name = name;
        hint->res_class = klass;
        XSetClassHint(display, window, hint);
        XFree(hint);
    }
}

void SetTopLevelProperties(XX11Backend *backend, Window window, const XWindowParams *params)
{
    Display *display = backend->GetDisplay();
    Atom protocols[] = {backend->GetAtoms().wmDelete};
    XSetWMProtocols(display, window, protocols, 1);
    SetSizeHints(display, window, params->place, params->style);
    if (params->owner != nullptr && params->owner->GetNative() != nullptr) {
        auto *owner = static_cast<XX11Window *>(params->owner->GetNative());
        XSetTransientForHint(display, window, owner->GetWindow());
    }
    if (params->style & PANEKIT_STYLE_TOOL) {
        Atom state = XInternAtom(display, "_NET_WM_STATE", False);
        Atom skip = XInternAtom(display, "_NET_WM_STATE_SKIP_TASKBAR", False);
        XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char *>(&skip), 1);
    }
    SetIdentity(display, window);
    if (params->style & PANEKIT_STYLE_BORDERLESS) {
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        XChangeWindowAttributes(display, window, CWOverrideRedirect, &attributes);
    }
}

XIC CreateInputContext(XX11Backend *backend, Window window)
{
    XIM im = backend->GetInputMethod();
    if (im == nullptr)
        return nullptr;
    return XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window,
                     XNFocusWindow, window, nullptr);
}

} // namespace

XNativeWindow *XX11Backend::CreateNative(Panekit *window, const XWindowParams *params)
{
    if (window == nullptr || params == nullptr)
        return nullptr;
    XWindowParams placed = *params;
    if (placed.place.width <= 0)
        placed.place.width = kDefaultWidth;
    if (placed.place.height <= 0)
        placed.place.height = kDefaultHeight;
    int x = placed.place.x == kWindowDefaultPos ? 0 : placed.place.x;
    int y = placed.place.y == kWindowDefaultPos ? 0 : placed.place.y;
    XSetWindowAttributes attributes = {};
    attributes.background_pixel = WhitePixel(m_display, DefaultScreen(m_display));
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kEventMask;
    Window handle = XCreateWindow(
        m_display, ParentWindow(this, &placed), x, y, static_cast<unsigned>(placed.place.width),
        static_cast<unsigned>(placed.place.height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWBackPixel | CWBitGravity | CWEventMask, &attributes);
    if (handle == 0)
        return nullptr;
    if (placed.parent == nullptr)
        SetTopLevelProperties(this, handle, &placed);
    auto *native = new XX11Window(this, window, handle);
    native->SetTitle(placed.title);
    Remember(handle, native);
    XFlush(m_display);
    return native;
}

XX11Window::XX11Window(XX11Backend *backend, Panekit *owner, Window window)
    : m_backend(backend), m_owner(owner), m_window(window)
{
    m_gc = XCreateGC(backend->GetDisplay(), window, 0, nullptr);
    m_ic = CreateInputContext(backend, window);
    if (m_ic != nullptr) {
        // The input method may want events the window did not ask for.
        long wanted = 0;
        XGetICValues(m_ic, XNFilterEvents, &wanted, nullptr);
        XSelectInput(backend->GetDisplay(), window, kEventMask | wanted);
    }
}

XX11Window::~XX11Window()
{
    Display *display = m_backend->GetDisplay();
    m_backend->Forget(m_window);
    if (m_ic != nullptr)
        XDestroyIC(m_ic);
    XFreeGC(display, m_gc);
    XDestroyWindow(display, m_window);
    XFlush(display);
}

void XX11Window::Show(int show)
{
    Display *display = m_backend->GetDisplay();
    if (show)
        XMapRaised(display, m_window);
    else
        XUnmapWindow(display, m_window);
    XFlush(display);
}

void XX11Window::SetTitle(const char16_t *title)
{
    Display *display = m_backend->GetDisplay();
    std::string text = devkit::Utf16ToUtf8(title == nullptr ? u"" : title);
    // _NET_WM_NAME for desktops that read UTF-8, WM_NAME (compound text, or UTF-8 where
    // the text does not convert) for the rest.
    XChangeProperty(display, m_window, m_backend->GetAtoms().netWmName,
                    m_backend->GetAtoms().utf8String, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(text.data()),
                    static_cast<int>(text.size()));
    char *list[] = {text.data()};
    XTextProperty property = {};
    if (Xutf8TextListToTextProperty(display, list, 1, XStdICCTextStyle, &property) >= Success) {
        XSetWMName(display, m_window, &property);
        XFree(property.value);
    } else {
        XChangeProperty(display, m_window, XA_WM_NAME, m_backend->GetAtoms().utf8String, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(text.data()),
                        static_cast<int>(text.size()));
    }
    XFlush(display);
}

void XX11Window::SetPlace(const BOUND_t *place)
{
    if (place == nullptr || place->width <= 0 || place->height <= 0)
        return;
    XMoveResizeWindow(m_backend->GetDisplay(), m_window, place->x, place->y,
                      static_cast<unsigned>(place->width), static_cast<unsigned>(place->height));
    XFlush(m_backend->GetDisplay());
}

void XX11Window::SetCursorShape(int code)
{
    Cursor cursor = m_backend->GetFontCursor(GetCursorShape(code).fontGlyph);
    XDefineCursor(m_backend->GetDisplay(), m_window, cursor);
    XFlush(m_backend->GetDisplay());
}

void XX11Window::SetCapture(int capture)
{
    Display *display = m_backend->GetDisplay();
    if (capture) {
        XGrabPointer(display, m_window, False,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime);
    } else {
        XUngrabPointer(display, CurrentTime);
    }
    XFlush(display);
}

void XX11Window::SetEnabled(int enable)
{
    // The layer drops input of a disabled window; the desktop needs no telling.
    (void)enable;
}

void XX11Window::SetFocus()
{
    if (!m_mapped) {
        m_focusWanted = true; // focus on a window not yet viewable is an error: wait
        return;
    }
    XSetInputFocus(m_backend->GetDisplay(), m_window, RevertToParent, CurrentTime);
    XFlush(m_backend->GetDisplay());
}

void XX11Window::EnableIme(int enable)
{
    if (m_ic == nullptr)
        return;
    if (enable)
        XSetICFocus(m_ic);
    else
        XUnsetICFocus(m_ic);
}

void XX11Window::SetImeSpot(const BOUND_t *caret)
{
    if (m_ic == nullptr || caret == nullptr)
        return;
    XPoint spot = {static_cast<short>(caret->x), static_cast<short>(caret->y + caret->height)};
    XVaNestedList list = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
    XSetICValues(m_ic, XNPreeditAttributes, list, nullptr);
    XFree(list);
}

void XX11Window::Present(cairo_surface_t *shown, const BOUND_t *bound)
{
    if (shown == nullptr || cairo_surface_get_type(shown) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(shown) != CAIRO_FORMAT_ARGB32)
        return;
    cairo_surface_flush(shown);
    int width = cairo_image_surface_get_width(shown);
    int height = cairo_image_surface_get_height(shown);
    BOUND_t whole = {0, 0, width, height};
    BOUND_t part = {};
    if (!IntersectBound(&part, bound != nullptr ? bound : &whole, &whole))
        return;
    Display *display = m_backend->GetDisplay();
    Visual *visual = DefaultVisual(display, DefaultScreen(display));
    int depth = DefaultDepth(display, DefaultScreen(display));
    // The ARGB32 rows are 32-bit pixels in native order with red in bits 16-23, which is
    // what a 24/32-bit TrueColor visual takes; the alpha byte is ignored.
    XlibImage *image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                                    reinterpret_cast<char *>(cairo_image_surface_get_data(shown)),
                                    static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                                    cairo_image_surface_get_stride(shown));
    if (image == nullptr)
        return;
    // The rows are in this machine's byte order; Xlib swaps them for a server that
    // differs.
    image->byte_order = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? LSBFirst : MSBFirst;
    XPutImage(display, m_window, m_gc, image, part.x, part.y, part.x, part.y,
              static_cast<unsigned>(part.width), static_cast<unsigned>(part.height));
    image->data = nullptr; // the pixels stay the surface's
    XDestroyImage(image);
    XFlush(display);
}
