#pragma once
// Archive over a fixed window of bytes, borrowed or owned; the window never grows.

#include <cstdint>

#include "corekit/archive/iarchive.h"
#include "corekit/corekit_export.h"

// Read, Write and Skip fail without moving when they would pass the end of the window;
// ReadEx and WriteEx stop at the end. A new archive has an empty window.
class COREKIT_EXPORT XByteArchive : public IArchive
{
public:
    XByteArchive() = default;
    XByteArchive(const XByteArchive &) = delete;
    XByteArchive &operator=(const XByteArchive &) = delete;
    ~XByteArchive() override;

    // A new archive on the heap with a count of 1, released with Release.
    static XByteArchive *Malloc();

    uint32_t AddRef() override;
    uint32_t Release() override;
    uint32_t GetClass() const override { return kByteArchiveClass; }
    void ClearDoc() override { m_cursor = m_start; }
    int InitReader() override;
    int IsEndOfDoc() const override { return Offset() >= m_size ? 1 : 0; }
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

    // Start of the window, and its size in *size when given.
    void *GetBuffer(uint32_t *size) const;
    // Borrows the n bytes at p (the caller keeps them alive); an owned buffer is released
    // first. p null gives an empty window. The cursor goes to the start.
    void SetBuffer(void *p, uint32_t n);
    // Copies the n bytes at p into a new buffer the archive owns.
    void CloneBuffer(const void *p, uint32_t n);
    // Takes ownership of p, a block from MemAlloc holding n bytes.
    void AttachBuffer(void *p, uint32_t n);

private:
    uint32_t Offset() const { return static_cast<uint32_t>(m_cursor - m_start); }
    uint32_t Room() const { return m_size - Offset(); }
    void ReleaseOwned();

    uint32_t m_refs = 1;
    uint32_t m_size = 0;
    uint8_t *m_owned = nullptr;
    uint8_t *m_cursor = nullptr;
    uint8_t *m_start = nullptr;
};
