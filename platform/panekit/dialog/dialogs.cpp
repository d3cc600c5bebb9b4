// The chooser functions, the provider in use, and the scripted provider of the virtual
// backend.
#include "platform/panekit/dialog/dialogs.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/panekit/dialog/dialogs_impl.h"
#include "platform/panekit/paint/color.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/virtual/virtual_display.h"
#include "platform/panekit/window/window_backend.h"

XDialogProvider::~XDialogProvider() = default;

namespace {

// The virtual backend's script answers: code 0 cancel, 1 the text, 2 the extra choice.
class XScriptedDialogs : public XDialogProvider
{
public:
    int Choose(Panekit *, const XChooserRequest &request, std::u16string *answer) override
    {
        XVirtualDisplay *display = XVirtualDisplay::Get();
        if (display == nullptr)
            return kChooserCancel;
        int code = display->TakeChooserAnswer(answer);
        if (code == kChooserExtra && request.extra == nullptr)
            return kChooserCancel; // no such button was offered
        return code == kChooserDone || code == kChooserExtra ? code : kChooserCancel;
    }
};

// Without any backend nothing can be shown: every chooser is cancelled.
class XNoDialogs : public XDialogProvider
{
public:
    int Choose(Panekit *, const XChooserRequest &, std::u16string *) override
    {
        return kChooserCancel;
    }
};

XDialogProvider *g_installed = nullptr;

// The backend's message box is the painted one unless a backend answers itself.
struct InstallBox
{
    InstallBox() { SetMessageBoxProc(ShowMessageBox); }
};
const InstallBox installBox;

int ChooseFile(Panekit *owner, int kind, const char16_t *filter, char16_t *path, uint32_t cap,
               const char16_t *extra)
{
    if (path == nullptr || cap == 0)
        return kChooserCancel;
    XChooserRequest request = {kind, filter, extra, {}};
    request.current.assign(path, std::char_traits<char16_t>::length(path));
    std::u16string answer;
    int code = GetDialogProvider()->Choose(owner, request, &answer);
    if (code == kChooserExtra) {
        path[0] = 0;
        return kChooserExtra;
    }
    // An empty answer or one cut to fit would name another file than the one chosen.
    if (code != kChooserDone || answer.empty() || answer.size() >= cap)
        return kChooserCancel;
    devkit::CopyToBuffer(answer, path, cap);
    return kChooserDone;
}

// Reads a decimal field; false when it is not all digits (or too long).
bool ReadNumber(const std::u16string &field, int64_t limit, int64_t *value)
{
    if (field.empty() || field.size() > 10)
        return false;
    int64_t number = 0;
    for (char16_t ch : field) {
        if (ch < u'0' || ch > u'9')
            return false;
        number = number * 10 + (ch - u'0');
    }
    if (number > limit)
        return false;
    *value = number;
    return true;
}

std::u16string NextField(const std::u16string &text, size_t *at)
{
    size_t end = text.find(u';', *at);
    if (end == std::u16string::npos)
        end = text.size();
    std::u16string field = text.substr(*at, end - *at);
    *at = end < text.size() ? end + 1 : text.size() + 1;
    return field;
}

} // namespace

void SetDialogProvider(XDialogProvider *provider)
{
    g_installed = provider;
}

XDialogProvider *GetDialogProvider()
{
    static XScriptedDialogs scripted;
    static XNoDialogs none;
    if (g_installed != nullptr)
        return g_installed;
    XWindowBackend *backend = GetWindowBackend();
    if (backend == nullptr)
        return &none;
    if (std::strcmp(backend->GetName(), "x11") == 0)
        return GetDesktopDialogs();
    return &scripted;
}

int SelectOpenFile(Panekit *owner, const char16_t *filter, char16_t *path, uint32_t cap,
                   const char16_t *extra)
{
    return ChooseFile(owner, kChooseOpenFile, filter, path, cap, extra);
}

int SelectSaveFile(Panekit *owner, const char16_t *filter, char16_t *path, uint32_t cap)
{
    return ChooseFile(owner, kChooseSaveFile, filter, path, cap, nullptr);
}

int SelectColor(Panekit *owner, uint32_t *color, const char16_t *extra)
{
    if (color == nullptr)
        return kChooserCancel;
    char16_t text[kColorTextMax];
    XChooserRequest request = {kChooseColor, nullptr, extra, {}};
    if (*color != 0xFFFFFFFFu) {
        FormatColor(text, *color);
        request.current = text;
    }
    std::u16string answer;
    int code = GetDialogProvider()->Choose(owner, request, &answer);
    if (code == kChooserExtra) {
        *color = 0xFFFFFFFFu;
        return kChooserExtra;
    }
    uint32_t chosen = 0;
    if (code != kChooserDone || ParseColor(answer.c_str(), &chosen) == 0)
        return kChooserCancel;
    *color = chosen;
    return kChooserDone;
}

int SelectFontRecord(Panekit *owner, XFontRecord_t *font, const char16_t *extra)
{
    if (font == nullptr)
        return kChooserCancel;
    XChooserRequest request = {kChooseFont, nullptr, extra, FormatFontAnswer(font)};
    if (GetFontRecordFaceLength(font) == 0)
        request.current.clear();
    std::u16string answer;
    int code = GetDialogProvider()->Choose(owner, request, &answer);
    if (code == kChooserExtra) {
        InitFontRecord(font);
        return kChooserExtra;
    }
    XFontRecord_t chosen = *font;
    if (code != kChooserDone || !ParseFontAnswer(answer.c_str(), &chosen))
        return kChooserCancel;
    *font = chosen;
    return kChooserDone;
}

std::u16string FormatFontAnswer(const XFontRecord_t *font)
{
    std::u16string text(font->face, static_cast<size_t>(GetFontRecordFaceLength(font)));
    char tail[64];
    char color[kColorTextMax];
    FormatColor(color, font->color);
    std::snprintf(tail, sizeof tail, ";%d;%u;%s", static_cast<int>(font->size),
                  static_cast<unsigned>(font->flags), color);
    for (const char *p = tail; *p != 0; ++p)
        text.push_back(static_cast<char16_t>(*p));
    return text;
}

int ParseFontAnswer(const char16_t *text, XFontRecord_t *font)
{
    if (text == nullptr || font == nullptr)
        return 0;
    std::u16string whole(text);
    size_t at = 0;
    std::u16string face = NextField(whole, &at);
    if (face.empty())
        return 0;
    XFontRecord_t parsed = *font;
    SetFontRecordFace(&parsed, face.c_str(), static_cast<int>(face.size()));
    int64_t number = 0;
    if (at <= whole.size()) {
        std::u16string size = NextField(whole, &at);
        if (!ReadNumber(size, 4096, &number))
            return 0;
        parsed.size = static_cast<int32_t>(number);
    }
    if (at <= whole.size()) {
        if (!ReadNumber(NextField(whole, &at), kFontFlagMask, &number))
            return 0;
        parsed.flags = static_cast<uint32_t>(number);
    }
    if (at <= whole.size()) {
        std::u16string color = NextField(whole, &at);
        if (ParseColor(color.c_str(), &parsed.color) != static_cast<int>(color.size()))
            return 0;
    }
    *font = parsed;
    return 1;
}
