#pragma once
// Growable in-memory archive in 32768-byte blocks that never move written data.

#include <cstdint>

#include "corekit/archive/iarchive.h"
#include "corekit/corekit_export.h"

// Writing appends zero-filled blocks as needed and raises the size to the highest position
// written; reading, skipping and seeking stay within that size. Tell fails (0, *pos = 0)
// while the archive has no block under its cursor, that is before anything was written.
class COREKIT_EXPORT XMemoArchive : public IArchive
{
public:
    static constexpr uint32_t kBlockSize = 32768;

    XMemoArchive();
    XMemoArchive(const XMemoArchive &) = delete;
    XMemoArchive &operator=(const XMemoArchive &) = delete;
    ~XMemoArchive() override;

    // A new archive on the heap with a count of 1, released with Release.
    static XMemoArchive *Malloc();

    uint32_t AddRef() override;
    uint32_t Release() override;
    uint32_t GetClass() const override { return kMemoArchiveClass; }
    void ClearDoc() override;
    int InitReader() override;
    int IsEndOfDoc() const override { return m_position >= m_size ? 1 : 0; }
    uint32_t GetMaxSize() const override { return m_size; }
    int Skip(uint32_t n) override;
    int Seek(uint32_t pos) override;
    int Tell(uint32_t *pos) const override;
    int Read(void *dst, uint32_t n) override;
    int ReadEx(void *dst, uint32_t *n) override;
    int Write(const void *src, uint32_t n) override;
    int WriteEx(const void *src, uint32_t *n) override;
    int ReadDoc(IArchive *dst, uint32_t n) override;
    int WriteDoc(IArchive *src, uint32_t n) override;

    // The content read as a terminated UTF-16 string, or null when nothing was written.
    // Content of an even size that fits the first block with room for a terminator is
    // returned in place (no copy, cursor unchanged); other content is copied into a buffer the
    // archive owns until the next call or ClearDoc, and the cursor is left at the end. An odd last
    // byte is not part of the text.
    const char16_t *GetStrBuffer();

    // Number of blocks in the chain (for tests and statistics).
    uint32_t GetBlockCount() const;

private:
    struct Block;

    Block *AppendBlock();
    // Moves the cursor n bytes on, copying into dst or out of src when given; appends
    // blocks only when grow is set (the caller has checked the bounds otherwise).
    void Move(uint32_t n, uint8_t *dst, const uint8_t *src, bool grow);

    uint32_t m_refs = 1;
    uint32_t m_position = 0;
    uint32_t m_size = 0;
    uint32_t m_offset = 0;
    char16_t *m_text = nullptr;
    Block *m_first = nullptr;
    Block *m_current = nullptr;
};
