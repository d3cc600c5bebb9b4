#pragma once
// Growable buffer of raw bytes or narrow text.

#include <cstdint>

#include "corekit/corekit_export.h"

// Content is counted, never terminated; SetString and WStrToCStr write one zero byte after
// the content (not counted) so it reads as a narrow string. Accessors of the content give
// null when the length is 0. Move-only, except that assignment from another buffer copies
// its content.
class COREKIT_EXPORT XByteBuffer
{
public:
    XByteBuffer();
    XByteBuffer(XByteBuffer &&other) noexcept;
    XByteBuffer &operator=(XByteBuffer &&other) noexcept;
    XByteBuffer(const XByteBuffer &) = delete;
    virtual ~XByteBuffer();

    // The content, or null when the length is 0.
    unsigned char *GetBuffer() const;
    const char *GetString() const;
    operator unsigned char *() const { return GetBuffer(); }
    operator const char *() const { return GetString(); }
    // The buffer start with *len = length; without a buffer null and 0.
    unsigned char *GetBuffer(uint32_t *len) const;
    uint32_t GetLength() const { return static_cast<uint32_t>(m_cur - m_start); }
    uint32_t GetCapacity() const { return m_capacity; }
    // Byte i when i < length, else 0.
    unsigned char GetAt(unsigned i) const;
    // Length 0, buffer kept.
    void SetEmpty();
    // Ensures room for n more bytes.
    void Allocate(uint32_t n);
    // Ensures room for n more bytes and returns the end of the content.
    unsigned char *GetBuffer(uint32_t n);
    // When start <= p <= start + capacity the content ends at p; otherwise nothing.
    void CloseBuffer(unsigned char *p);
    // n <= length: the last n bytes removed, 1; else 0.
    int BackDelete(uint32_t n);

    void Append(unsigned char b);
    // n bytes of s (n < 0: the whole narrow string), no terminator; null ignored.
    void Append(const char *s, int n);
    // n bytes; p null or n = 0 ignored.
    void Append(const unsigned char *p, uint32_t n);
    // n characters of s (n < 0: the whole string) converted into the encoding selector
    // codepage and appended, no terminator; null ignored.
    void Append(int codepage, const char16_t *s, int n);
    // Content replaced by s (not null), a zero byte after it not counted.
    void SetString(const char *s);
    // Content replaced by n bytes; p null or n = 0 leaves it empty.
    void SetBuffer(const unsigned char *p, uint32_t n);
    // As Append(codepage, s, n) on the current content, then a zero byte after it (not
    // counted); returns the start of the converted text in the buffer, or null when the
    // conversion yields nothing.
    const char *WStrToCStr(int codepage, const char16_t *s, int n);
    // Appends narrow text formatted by the grammar of corekit/format.h, a zero byte after
    // it (not counted); the same entry as Sprintf(XByteBuffer *, fmt, ...). Returns the
    // bytes appended.
    unsigned AppendFormat(const char *fmt, ...);

    // Content replaced by, or extended with, a copy of other's content.
    XByteBuffer &operator=(const XByteBuffer &other);
    XByteBuffer &operator+=(const XByteBuffer &other);

    // No buffer: -1; (Strcmp) s null: 1. The first min(length, k) bytes are compared with
    // s, k = n or, for n < 0, the length of s; a difference is returned, otherwise the
    // shorter one orders first (0 only when length == k).
    int Strcmp(const char *s, int n) const;
    int Stricmp(const char *s, int n) const;
    // Content against the counted string (s, n): no buffer -1; (Strncmp) s null 1; the
    // common bytes decide, then the shorter one orders first.
    int Strncmp(const char *s, unsigned n) const;
    int Strnicmp(const char *s, unsigned n) const;

private:
    void Release();

    uint32_t m_capacity = 0;
    unsigned char *m_start = nullptr;
    unsigned char *m_cur = nullptr;
};
