#include "platform/panekit/text/font_record.h"

#include <cstring>

#include "platform/panekit/text/font_handle.h"

namespace {

uint32_t ReadU32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void WriteU32(unsigned char *p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

constexpr size_t kFaceOffset = 12;

} // namespace

void InitFontRecord(XFontRecord_t *record)
{
    record->size = 0;
    record->flags = 0;
    record->color = 0xFFFFFFFF;
    std::memset(record->face, 0, sizeof(record->face));
}

void SetFontRecordFace(XFontRecord_t *record, const char16_t *family, int len)
{
    std::memset(record->face, 0, sizeof(record->face));
    if (family == nullptr)
        return;
    int n = 0;
    while (n < kFontRecordFaceUnits && (len < 0 ? family[n] != 0 : n < len))
        ++n;
    // A high surrogate whose low half was cut off would leave a broken character behind.
    if (n == kFontRecordFaceUnits && family[n - 1] >= 0xD800 && family[n - 1] <= 0xDBFF)
        --n;
    std::memcpy(record->face, family, sizeof(char16_t) * static_cast<size_t>(n));
}

int GetFontRecordFaceLength(const XFontRecord_t *record)
{
    int n = 0;
    while (n < kFontRecordFaceUnits && record->face[n] != 0)
        ++n;
    return n;
}

int LoadFontRecord(XFontRecord_t *record, const void *bytes, size_t size)
{
    InitFontRecord(record);
    if (bytes == nullptr || size < kFontRecordBytes)
        return 0;
    const auto *p = static_cast<const unsigned char *>(bytes);
    record->size = static_cast<int32_t>(ReadU32(p));
    record->flags = ReadU32(p + 4);
    record->color = ReadU32(p + 8);
    for (int i = 0; i < kFontRecordFaceUnits; ++i) {
        const unsigned char *u = p + kFaceOffset + 2 * static_cast<size_t>(i);
        record->face[i] = static_cast<char16_t>(u[0] | u[1] << 8);
    }
    return 1;
}

size_t StoreFontRecord(const XFontRecord_t *record, void *out, size_t cap)
{
    if (out == nullptr || cap < kFontRecordBytes)
        return 0;
    auto *p = static_cast<unsigned char *>(out);
    WriteU32(p, static_cast<uint32_t>(record->size));
    WriteU32(p + 4, record->flags);
    WriteU32(p + 8, record->color);
    for (int i = 0; i < kFontRecordFaceUnits; ++i) {
        unsigned char *u = p + kFaceOffset + 2 * static_cast<size_t>(i);
        u[0] = static_cast<unsigned char>(record->face[i]);
        u[1] = static_cast<unsigned char>(record->face[i] >> 8);
    }
    return kFontRecordBytes;
}

XFontHandle *CreateFontHandle(const XFontRecord_t *record)
{
    if (record == nullptr)
        return CreateFontHandle(nullptr, 0, 0, 0);
    return CreateFontHandle(record->face, GetFontRecordFaceLength(record), record->size,
                            record->flags);
}

void GetFontRecord(const XFontHandle *font, uint32_t color, XFontRecord_t *record)
{
    InitFontRecord(record);
    record->color = color;
    if (font == nullptr)
        return;
    record->size = font->pixelSize;
    record->flags = font->flags;
    SetFontRecordFace(record, font->family, -1);
}
