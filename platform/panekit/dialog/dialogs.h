#pragma once
// The library's dialogs: the painted message box and the file, colour and font
// choosers.
//
// Every chooser goes through one provider, which answers a request with a code and a
// text. The provider in use is chosen from the window backend unless one is installed:
// the virtual backend's script answers in tests, the X11 backend asks the desktop's
// chooser program and falls back to a painted chooser when that cannot be started.
//
// Answer texts: a file chooser answers the path; the colour chooser a colour as
// ParseColor reads it ("#rrggbb", "rgb(r,g,b)", a name); the font chooser
// "face;size;flags;colour" (size in pixels, flags the kFontFlag* bits in decimal, colour
// as for the colour chooser; fields after the face may be left out).

#include <cstdint>
#include <string>

#include "platform/panekit/panekit_export.h"
#include "platform/panekit/text/font_record.h"

class Panekit;

// Answers of the choosers (and of a provider).
enum : int {
    kChooserCancel = 0, // closed without choosing: the value is unchanged
    kChooserDone = 1,   // a value was chosen
    kChooserExtra = 2,  // the extra choice ("清空", "默认") was taken: the value is reset
};

// Units of a chooser's path buffer.
constexpr uint32_t kChooserPathUnits = 480;

// Kinds of chooser request.
enum : int {
    kChooseOpenFile = 1,
    kChooseSaveFile = 2,
    kChooseColor = 3,
    kChooseFont = 4,
};

struct XChooserRequest
{
    int kind;
    // File kinds: "description|*.a;*.b|description|*.c|" pairs; null or empty: any file.
    const char16_t *filter;
    // Label of the extra choice, or null for none.
    const char16_t *extra;
    // The current value as an answer text ("" when there is none).
    std::u16string current;
};

class PANEKIT_EXPORT XDialogProvider
{
public:
    virtual ~XDialogProvider();
    // Shows the chooser; returns kChooser* and, for kChooserDone, the answer text.
    virtual int Choose(Panekit *owner, const XChooserRequest &request, std::u16string *answer) = 0;
};

// Installs a provider (the caller keeps it); null returns to the backend's own.
PANEKIT_EXPORT void SetDialogProvider(XDialogProvider *provider);
// The provider chooser calls go to now (never null).
PANEKIT_EXPORT XDialogProvider *GetDialogProvider();
// The desktop's choosers: the zenity program (ZEP_PANEKIT_ZENITY names another one that
// takes the same arguments), the painted chooser when it cannot be started. The X11
// backend's own provider.
PANEKIT_EXPORT XDialogProvider *GetDesktopDialogs();

// The open-file chooser. path (capacity cap units, terminator included) holds the
// current path and receives the chosen one. extra names a clear choice (such as
// "清空"), which empties the path. A chosen path that does not fit the buffer is
// refused (kChooserCancel, path unchanged) rather than cut.
PANEKIT_EXPORT int SelectOpenFile(Panekit *owner, const char16_t *filter, char16_t *path,
                                  uint32_t cap = kChooserPathUnits,
                                  const char16_t *extra = nullptr);
// The save chooser with the same filters and path rules.
PANEKIT_EXPORT int SelectSaveFile(Panekit *owner, const char16_t *filter, char16_t *path,
                                  uint32_t cap = kChooserPathUnits);
// The colour chooser: *color (0x00BBGGRR, 0xFFFFFFFF unset) in and out; the extra
// choice (such as "默认") sets the unset colour.
PANEKIT_EXPORT int SelectColor(Panekit *owner, uint32_t *color, const char16_t *extra = nullptr);
// The font chooser over a 76-byte font record; the extra choice (such as "默认") empties
// the record (default face and size, unset colour).
PANEKIT_EXPORT int SelectFontRecord(Panekit *owner, XFontRecord_t *font,
                                    const char16_t *extra = nullptr);

// Font record <-> answer text ("face;size;flags;colour").
PANEKIT_EXPORT std::u16string FormatFontAnswer(const XFontRecord_t *font);
// Non-zero when text is a font answer with a non-empty face; fields left out keep font's.
PANEKIT_EXPORT int ParseFontAnswer(const char16_t *text, XFontRecord_t *font);

// The painted message box: a modal window owned by owner (flags PANEKIT_MB_*; the
// answer 1 for OK and Yes, 0 for Cancel and No; closing the box gives the cancel
// answer). Installed as the backends' message box.
PANEKIT_EXPORT int ShowMessageBox(Panekit *owner, const char16_t *text, const char16_t *caption,
                                  uint32_t flags);
// The message box or painted chooser now shown (for tests and automation); null when
// none is.
PANEKIT_EXPORT Panekit *GetActiveDialog();
