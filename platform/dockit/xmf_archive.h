#pragma once
// Tagged archives: a document of nested sections and numbered properties over an
// IArchive, little-endian throughout.
//
// Document form, one record after the other:
//   property       01, u16 code, u32 size, then `size` bytes of data
//   section start  02, u16 code
//   section end    03, u16 code
// A reader accepts what stored documents hold: a section closed with another code than
// it was opened with, and a section that follows a property's data without being
// counted in the property's size. Raw reads never pass the current property's data or
// the end of the document; a damaged document ends reading (ReadHeader gives 0).

#include <cstdint>

#include "corekit/systime/systime.h"
#include "platform/dockit/dockit_export.h"

class IArchive;

class DOCKIT_EXPORT XMF_Archive
{
public:
    // Header kinds returned by ReadHeader.
    static constexpr int kEnd = 0;
    static constexpr int kProperty = 1;
    static constexpr int kSectionStart = 2;
    static constexpr int kSectionEnd = 3;

    // The archive is borrowed: the caller keeps it alive while this object uses it.
    explicit XMF_Archive(IArchive *archive = nullptr);
    XMF_Archive(const XMF_Archive &) = delete;
    XMF_Archive &operator=(const XMF_Archive &) = delete;

    // Switches to another archive and forgets the reading state.
    void Attach(IArchive *archive);
    IArchive *GetArchive() const { return m_archive; }

    // ---- Writing. Every call returns non-zero on success.
    int StartMarker(uint16_t code);
    int CloseMarker(uint16_t code);
    // Starts a property whose data, `size` bytes, the raw writes then supply.
    int StartProper(uint16_t code, uint32_t size);
    // A property holding the text's units and its terminator (null: no data).
    int Write_Proper(uint16_t code, const char16_t *text);
    // A property holding n bytes.
    int Write_Proper(uint16_t code, const void *bytes, uint32_t n);
    // A property holding the value in `width` bytes (1, 2, 4 or 8).
    int Write_Integer(uint16_t code, int64_t value, uint32_t width);

    // Raw writes.
    int IntToDoc(const void *v, uint32_t width, uint32_t count = 1);
    // 32-bit count n = length + 1, then the n units (terminator included); null: count 0.
    int StrToDoc(const char16_t *s);
    // 32-bit count n, then exactly n units of s; null: count 0.
    int StrToDoc(const char16_t *s, uint32_t n);
    // The units of s and its terminator, without a count (null: one zero unit).
    int SaveStrDoc(const char16_t *s);
    // Exactly n units of s, without a count.
    int SaveStrDoc(const char16_t *s, uint32_t n);
    int TimeToDoc(const DATETIME_t *t); // 8 bytes
    int TimeToDoc(const SYSTIME_t *t);  // 16 bytes
    int Write(const void *src, uint32_t n);
    // Copies n bytes from src's cursor.
    int WriteDoc(IArchive *src, uint32_t n);

    // ---- Reading.
    // The next header: kProperty, kSectionStart or kSectionEnd with its code, or kEnd at
    // the end of the document or on damage. Unread data of the current property is
    // skipped first.
    int ReadHeader(uint16_t *code);
    // Declared byte size of the current property (0 outside a property).
    uint32_t GetBuffer() const { return m_size; }
    // Bytes of the current property not read yet.
    uint32_t GetRemaining() const { return m_left; }
    // Non-zero once the document proved damaged or a write failed.
    int IsFailed() const { return m_failed; }

    // Raw reads inside the current property; 0 (nothing read) when it holds too few bytes.
    int IntFromDoc(void *v, uint32_t width, uint32_t count = 1);
    // n units without a count, into a new heap block with a terminator (MemFree) or buf.
    char16_t *ReadStrDoc(uint32_t n);
    int ReadStrDoc(char16_t *buf, uint32_t n);
    // A counted string into a new heap block (MemFree); null for count 0 or failure.
    char16_t *StrFromDoc();
    // A counted string into buf (capacity cap): cut to cap - 1 units, the rest skipped;
    // returns the units stored (terminator included), 1 for count 0, 0 on failure.
    uint32_t StrFromDoc(char16_t *buf, uint32_t cap);
    int TimeFromDoc(DATETIME_t *t);
    int TimeFromDoc(SYSTIME_t *t);
    int Read(void *dst, uint32_t n);
    // Copies n bytes of the property into dst.
    int ReadDoc(IArchive *dst, uint32_t n);

    // The whole current property as an integer of `width` bytes (1, 2, 4 or 8): a
    // shorter stored value is sign-extended, a longer one cut. 0 for an empty property
    // or one longer than 8 bytes.
    int ReadInteger(void *v, uint32_t width);
    // The rest of the current property into buf: at most cap bytes are kept, the rest
    // skipped. Returns the bytes kept.
    uint32_t ReadProper(void *buf, uint32_t cap);
    // The current property as text (its units; a terminator is added when missing), into
    // a new heap block (MemFree; null for an empty property) or into buf (cut to cap - 1
    // units; returns the units stored without the terminator).
    char16_t *ReadStrProper();
    uint32_t ReadStrProper(char16_t *buf, uint32_t cap);
    // Skips the rest of the current property. Non-zero on success.
    int SkipProper();
    // Skips the rest of the section whose start was read last, nested sections included,
    // up to and including its end. Non-zero when the end was found.
    int SkipMarker();

private:
    int Put(const void *src, uint32_t n);
    int Header(uint8_t kind, uint16_t code);
    // Takes n bytes of the current property; false (nothing read) when it lacks them.
    bool Take(void *dst, uint32_t n);
    bool Skip(uint32_t n);

    IArchive *m_archive = nullptr;
    uint32_t m_size = 0; // declared size of the current property
    uint32_t m_left = 0; // its bytes not read yet
    int m_failed = 0;
};
