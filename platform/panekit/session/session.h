#pragma once
// Process-wide session state of the windowing library: the work folder, the profile
// document (named values and most-recent lists), application fonts, the main frame,
// system icons and cursors made from resource bytes, and the desktop work area.
//
// Profile values are kept under keys such as "/Profile/MenuFile". A key holds a list
// of texts; a plain value is a list of one. The profile document is written back after
// every change, through a temporary file, so a crash never leaves half a document.

#include <cstdint>

#include "platform/panekit/paint/bound.h"
#include "platform/panekit/panekit_export.h"

class Panekit;
class XImage;
class XML_Archive;

// Most entries a most-recent list keeps.
constexpr int kRecentListMax = 5;
// Capacity of the work folder in units, terminator excluded.
constexpr uint32_t kWorkFolderMax = 320;

// Sets the work folder that Sys_GetFullFile resolves names in (at most 320 units).
// Non-zero on success; a null, empty or longer path is refused and changes nothing.
PANEKIT_EXPORT int Sys_SetWorkFolder(const char16_t *folder);
// `name` resolved in the work folder (absolute names unchanged) into buf (capacity cap
// units, terminator included). Returns the length, 0 when it does not fit (buf then
// holds an empty text) or name is null.
PANEKIT_EXPORT uint32_t Sys_GetFullFile(const char16_t *name, char16_t *buf, uint32_t cap);

// Opens the profile document at path: its values are read when the file exists and is
// a profile document, otherwise the profile starts empty and the file is written on the
// first change (a file there that is not a readable profile document is first renamed to
// path + ".bad", never overwritten). Values set before are dropped. Non-zero on success
// (0 for a null path).
PANEKIT_EXPORT int Sys_InitProfileDoc(const char16_t *path);
// Stores `value` under `key`. recent 0 replaces the key's value; recent 1 to 5 puts it
// at the front of the key's most-recent list, removing an equal entry (ASCII case
// ignored, as file paths are compared) and keeping at most `recent` entries (larger
// counts are taken as 5). Non-zero on success; 0 for a null key or value, a negative
// recent count, or when the document cannot be written.
PANEKIT_EXPORT int Sys_SetRegValue(const char16_t *key, const char16_t *value, int recent);
// Drops entry `value` (ASCII case ignored) from the key's list, or the whole key when
// value is null. Non-zero when something was dropped and the document was written.
PANEKIT_EXPORT int Sys_DropRegValue(const char16_t *key, const char16_t *value);
// Entry `index` (0 the newest) of the key's list into buf (capacity cap units,
// terminator included, cut to fit). Returns the entry's full length, or -1 when the key
// or the entry does not exist (buf then holds an empty text).
PANEKIT_EXPORT int Sys_GetRegValue(const char16_t *key, int index, char16_t *buf, uint32_t cap);
// Number of entries held under key (0 when absent).
PANEKIT_EXPORT int Sys_GetRegCount(const char16_t *key);

// Registers a font file (TrueType, OpenType, collections) with the application's font
// configuration so its families can be named in styles. Non-zero on success.
PANEKIT_EXPORT int SetupFontFile(const char16_t *path);
// Registers every font named in a configuration document: each child element of
// /Configure/FontFile with a "File" attribute (resolved in the work folder). Returns
// the number of files registered.
PANEKIT_EXPORT int SetupFontFile(XML_Archive *config);

// The application's main frame: the outermost loop returns once it is gone.
PANEKIT_EXPORT void SetAppMainFrame(Panekit *frame);
PANEKIT_EXPORT Panekit *GetAppMainFrame();

// Resource kinds of LoadResource.
constexpr int kResourceIcon = 0;
constexpr int kResourceCursor = 1;

// A system icon or cursor: the picture and, for a cursor, its hot spot.
struct XSysResource
{
    int kind;
    XImage *image;
    int32_t hotX;
    int32_t hotY;
};

// Makes an icon (kind 0) or a cursor (kind 1) from the bytes of an icon or cursor file
// or of any picture format the image loader reads. Null for an unknown kind or bytes
// that do not decode. Free the result with ReleaseResource.
PANEKIT_EXPORT XSysResource *LoadResource(int kind, const void *bytes, uint32_t length);
PANEKIT_EXPORT void ReleaseResource(XSysResource *resource);

// The desktop's work area (the screen less docked panels) into area. Non-zero on
// success; the virtual backend answers its fixed screen.
PANEKIT_EXPORT int GetDesktopWorkArea(BOUND_t *area);
