#pragma once
// An IArchive over a file: the cursor is the file position, the content the file's bytes.

#include <cstdint>

#include "corekit/archive/iarchive.h"
#include "platform/devkit/devkit_export.h"
#include "platform/devkit/xfile.h"

// Class code returned by XFileArchive::GetClass.
constexpr uint32_t kFileArchiveClass = 3;

class DEVKIT_EXPORT XFileArchive : public IArchive
{
public:
    XFileArchive() = default;
    XFileArchive(const XFileArchive &) = delete;
    XFileArchive &operator=(const XFileArchive &) = delete;
    ~XFileArchive() override;

    // A new archive on the heap with a count of 1, released with Release.
    static XFileArchive *Malloc();

    // Opens path with XFile's mode bits (reading by default); the cursor starts at 0.
    // Files of 4 GiB and more are refused. Non-zero on success.
    int Open(const char16_t *path, uint32_t mode = XFile::kRead);
    void Close();

    uint32_t AddRef() override;
    uint32_t Release() override;
    uint32_t GetClass() const override { return kFileArchiveClass; }
    // Empties a file opened for writing; rewinds one opened for reading.
    void ClearDoc() override;
    int InitReader() override;
    int IsEndOfDoc() const override;
    uint32_t GetMaxSize() const override;
    int Skip(uint32_t n) override;
    int Seek(uint32_t pos) override;
    int Tell(uint32_t *pos) const override;
    int Read(void *dst, uint32_t n) override;
    int ReadEx(void *dst, uint32_t *n) override;
    int Write(const void *src, uint32_t n) override;
    int WriteEx(const void *src, uint32_t *n) override;
    int ReadDoc(IArchive *dst, uint32_t n) override;
    int WriteDoc(IArchive *src, uint32_t n) override;

private:
    XFile m_file;
    uint32_t m_refs = 1;
    uint32_t m_position = 0;
    uint32_t m_size = 0;
    bool m_writable = false;
};
