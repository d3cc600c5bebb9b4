// The CLIPBOARD selection: owning it with UTF-8 text and pasting another owner's text.
#include <sys/select.h>

#include <string>

#include "platform/devkit/native_path.h"
#include "platform/panekit/x11/x11_backend.h"

namespace {

// How long a paste waits for the owner's answer.
constexpr uint64_t kPasteWaitMs = 3000;
// Largest text taken from another owner (bytes of UTF-8).
constexpr long kPasteMaxBytes = 16L << 20;

// Largest property one request can set. Longer texts would need the incremental
// transfer; they are refused rather than sent half.
size_t MaxPropertyBytes(Display *display)
{
    long units = XExtendedMaxRequestSize(display);
    if (units == 0)
        units = XMaxRequestSize(display);
    return static_cast<size_t>(units) * 4 - 1024;
}

} // namespace

int XX11Backend::SetClipboardText(const char16_t *text, size_t length)
{
    if (text == nullptr)
        return 0;
    m_clipText = devkit::Utf16ToUtf8(text, length);
    XSetSelectionOwner(m_display, m_atoms.clipboard, m_clipWindow, CurrentTime);
    m_clipOwned = XGetSelectionOwner(m_display, m_atoms.clipboard) == m_clipWindow;
    XFlush(m_display);
    return m_clipOwned ? 1 : 0;
}

void XX11Backend::HandleSelectionRequest(const XSelectionRequestEvent &request)
{
    XSelectionEvent reply = {};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Old clients give no property: the target names it.
    Atom property = request.property != None ? request.property : request.target;
    reply.property = None;
    if (m_clipOwned && request.selection == m_atoms.clipboard) {
        if (request.target == m_atoms.targets) {
            Atom offered[] = {m_atoms.targets, m_atoms.utf8String, XA_STRING, m_atoms.text};
            XChangeProperty(m_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char *>(offered), 4);
            reply.property = property;
        } else if ((request.target == m_atoms.utf8String || request.target == XA_STRING ||
                    request.target == m_atoms.text) &&
                   m_clipText.size() <= MaxPropertyBytes(m_display)) {
            // STRING should be Latin-1; UTF-8 is what every current reader takes anyway.
            Atom type = request.target == XA_STRING ? XA_STRING : m_atoms.utf8String;
            XChangeProperty(m_display, request.requestor, property, type, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(m_clipText.data()),
                            static_cast<int>(m_clipText.size()));
            reply.property = property;
        }
    }
    XSendEvent(m_display, request.requestor, False, NoEventMask,
               reinterpret_cast<XEvent *>(&reply));
    XFlush(m_display);
}

bool XX11Backend::WaitSelection(XEvent *event)
{
    uint64_t until = Now() + kPasteWaitMs;
    int connection = ConnectionNumber(m_display);
    for (;;) {
        if (XCheckTypedWindowEvent(m_display, m_clipWindow, SelectionNotify, event))
            return true;
        uint64_t now = Now();
        if (now >= until)
            return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(connection, &readable);
        timeval limit = {0, 20000};
        select(connection + 1, &readable, nullptr, nullptr, &limit);
    }
}

int XX11Backend::GetClipboardText(std::u16string *text)
{
    if (text == nullptr)
        return 0;
    text->clear();
    // Ask the server: another client may have taken the selection with its SelectionClear
    // still unread.
    Window owner = XGetSelectionOwner(m_display, m_atoms.clipboard);
    if (owner == None)
        return 0;
    if (owner == m_clipWindow && m_clipOwned) {
        *text = devkit::Utf8ToUtf16(m_clipText.data(), m_clipText.size());
        return 1;
    }
    XDeleteProperty(m_display, m_clipWindow, m_atoms.transfer);
    XConvertSelection(m_display, m_atoms.clipboard, m_atoms.utf8String, m_atoms.transfer,
                      m_clipWindow, CurrentTime);
    XFlush(m_display);
    XEvent event;
    if (!WaitSelection(&event) || event.xselection.property == None)
        return 0;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    int status =
        XGetWindowProperty(m_display, m_clipWindow, m_atoms.transfer, 0, kPasteMaxBytes / 4, True,
                           AnyPropertyType, &type, &format, &items, &after, &data);
    // Incremental transfers only come for texts far beyond what a paste here needs.
    bool ok = status == Success && format == 8 && type != m_atoms.incr &&
              (type == m_atoms.utf8String || type == XA_STRING);
    if (ok && type == XA_STRING)
        text->assign(data, data + items); // Latin-1: each byte is its code point
    else if (ok)
        *text = devkit::Utf8ToUtf16(reinterpret_cast<const char *>(data), items);
    if (data != nullptr)
        XFree(data);
    return ok ? 1 : 0;
}
