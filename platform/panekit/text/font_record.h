#pragma once
// The 76-byte font record: how a font travels through the font chooser, the input method,
// property values and stored documents. Stored form, little-endian:
//
//   offset  size  field
//        0     4  size   int32, pixels (a negative size means the same pixel height)
//        4     4  flags  uint32, kFontFlag* bits
//        8     4  color  uint32, 0x00BBGGRR, 0xFFFFFFFF = unset
//       12    64  face   32 UTF-16 units, zero-terminated unless all 32 are used
//
// Records are read and written field by field (LoadFontRecord, StoreFontRecord), never
// by casting bytes onto the struct.

#include <cstddef>
#include <cstdint>

#include "platform/panekit/panekit_export.h"

struct XFontHandle;

constexpr size_t kFontRecordBytes = 76;
constexpr int kFontRecordFaceUnits = 32;

struct XFontRecord_t
{
    int32_t size;                        // pixels; 0 = default size
    uint32_t flags;                      // kFontFlag*
    uint32_t color;                      // 0x00BBGGRR; 0xFFFFFFFF = unset
    char16_t face[kFontRecordFaceUnits]; // family; empty = default family
};
static_assert(sizeof(XFontRecord_t) == kFontRecordBytes, "the font record is 76 bytes");

// An empty record: size 0, flags 0, colour unset, empty face.
PANEKIT_EXPORT void InitFontRecord(XFontRecord_t *record);
// Sets the face from a UTF-16 family (len < 0: zero-terminated; null: empty), cut to 32
// units without splitting a surrogate pair; zero-fills the rest.
PANEKIT_EXPORT void SetFontRecordFace(XFontRecord_t *record, const char16_t *family, int len);
// Units of the face before its terminator (at most 32).
PANEKIT_EXPORT int GetFontRecordFaceLength(const XFontRecord_t *record);

// Reads a record from the first 76 bytes. Returns 0 (record emptied) when size < 76 or
// bytes is null; extra bytes are ignored.
PANEKIT_EXPORT int LoadFontRecord(XFontRecord_t *record, const void *bytes, size_t size);
// Writes the record's 76 bytes. Returns 0 (nothing written) when cap < 76 or out is null,
// else 76.
PANEKIT_EXPORT size_t StoreFontRecord(const XFontRecord_t *record, void *out, size_t cap);

// A new handle for the record (count 1; release with ReleaseFontHandle). The size, flags
// and face follow CreateFontHandle's rules; the colour is not part of a handle. Null
// record gives the default font.
PANEKIT_EXPORT XFontHandle *CreateFontHandle(const XFontRecord_t *record);
// Fills the record from a handle and a colour (the face cut to 32 units). A null handle
// gives an empty record with that colour.
PANEKIT_EXPORT void GetFontRecord(const XFontHandle *font, uint32_t color, XFontRecord_t *record);
