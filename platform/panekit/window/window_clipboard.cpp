// Clipboard bookkeeping of the drawing window: format 0 is UTF-16 text whose byte
// count includes the terminator; the backend holds the text itself.

#include <string>

#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/xdraw_window.h"

int XDrawWindow::SetClipboard(uint32_t format, const void *data, uint32_t bytes)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr || format != PANEKIT_CLIP_TEXT || (data == nullptr && bytes != 0))
        return 0;
    // The text ends at its terminator or at the last whole unit the count covers,
    // whichever comes first: a count without terminator or an odd count never reads past.
    const auto *units = static_cast<const char16_t *>(data);
    size_t limit = bytes / sizeof(char16_t);
    size_t length = 0;
    while (length < limit && units[length] != 0)
        length++;
    return backend->SetClipboardText(length != 0 ? units : u"", length);
}

int XDrawWindow::GetClipboard(uint32_t format, void *context, XClipboardProc proc)
{
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr || proc == nullptr || format != PANEKIT_CLIP_TEXT)
        return 0;
    std::u16string text;
    if (!backend->GetClipboardText(&text))
        return 0;
    size_t bytes = (text.size() + 1) * sizeof(char16_t);
    if (bytes > UINT32_MAX)
        return 0;
    return proc(context, format, text.c_str(), static_cast<uint32_t>(bytes));
}
