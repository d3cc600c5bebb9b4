#pragma once
// The byte-stream interface that documents, resources, images and network payloads pass
// through: a reference-counted object with one read/write cursor.

#include <cstdint>

#include "corekit/corekit_export.h"

// Class codes returned by IArchive::GetClass.
constexpr uint32_t kMemoArchiveClass = 1;
constexpr uint32_t kByteArchiveClass = 2;

// The virtual operations keep this slot order (0 AddRef ... 15 WriteDoc, then the
// destructor), so implementations in other libraries line up with it. A new archive has a
// reference count of 1; the count is not atomic and an archive belongs to one thread at a
// time. Every operation that fails moves nothing: the cursor and the content stay as they
// were. The cursor never passes the end of the content.
class COREKIT_EXPORT IArchive
{
public:
    // Count + 1; returns the new count.
    virtual uint32_t AddRef() = 0;
    // Count - 1 (never below 0); at 0 the archive deletes itself and 0 is returned.
    virtual uint32_t Release() = 0;
    // kMemoArchiveClass or kByteArchiveClass.
    virtual uint32_t GetClass() const = 0;
    // Empties the stream (memory archive) or rewinds it (byte archive).
    virtual void ClearDoc() = 0;
    // Rewinds the cursor to the start for reading; 1.
    virtual int InitReader() = 0;
    // Non-zero when the cursor is at or beyond the end of the content.
    virtual int IsEndOfDoc() const = 0;
    // Content size in bytes.
    virtual uint32_t GetMaxSize() const = 0;
    // Moves the cursor n bytes forward; 0 (nothing moved) when that passes the end.
    virtual int Skip(uint32_t n) = 0;
    // Moves the cursor to byte pos; 0 (nothing moved) when pos lies beyond the end.
    virtual int Seek(uint32_t pos) = 0;
    // *pos = the cursor position; 0 when the archive has no cursor yet (see the class).
    virtual int Tell(uint32_t *pos) const = 0;
    // Exactly n bytes, or 0 with nothing read.
    virtual int Read(void *dst, uint32_t n) = 0;
    // Up to *n bytes; *n becomes the count read.
    virtual int ReadEx(void *dst, uint32_t *n) = 0;
    // Exactly n bytes, or 0 with nothing written.
    virtual int Write(const void *src, uint32_t n) = 0;
    // Up to *n bytes; *n becomes the count written.
    virtual int WriteEx(const void *src, uint32_t *n) = 0;
    // Copies n bytes from this archive's cursor into dst (dst->Write) in pieces of at most
    // kCopyPiece bytes; 0 when this archive holds fewer than n bytes past its cursor (then
    // nothing is copied) or when a piece cannot be written.
    virtual int ReadDoc(IArchive *dst, uint32_t n) = 0;
    // Copies n bytes from src (src->Read) into this archive, in the same pieces; 0 when src
    // holds fewer than n bytes past its cursor (nothing copied) or a piece fails.
    virtual int WriteDoc(IArchive *src, uint32_t n) = 0;
    virtual ~IArchive() = default;

    static constexpr uint32_t kCopyPiece = 8192;

protected:
    IArchive() = default;
    IArchive(const IArchive &) = default;
    IArchive &operator=(const IArchive &) = default;

    // The copy behind ReadDoc and WriteDoc: n bytes from `from` into `to`.
    static int CopyDoc(IArchive *from, IArchive *to, uint32_t n);
};

// Bytes between the cursor of a and the end of its content (0 for null a).
COREKIT_EXPORT uint32_t DocRemaining(const IArchive *a);
