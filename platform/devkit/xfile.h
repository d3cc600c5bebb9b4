#pragma once
// A file opened by UTF-16 path, read and written in bytes.

#include <cstdint>

#include "platform/devkit/devkit_export.h"

class DEVKIT_EXPORT XFile
{
public:
    // Open modes; combine with |. Without kWrite the file is opened for reading only.
    static constexpr uint32_t kRead = 0x1;
    static constexpr uint32_t kWrite = 0x2;
    static constexpr uint32_t kCreate = 0x4;   // create when missing, with kWrite
    static constexpr uint32_t kTruncate = 0x8; // empty an existing file, with kWrite
    static constexpr uint32_t kAppend = 0x10;  // every write goes to the end

    XFile() = default;
    ~XFile();
    XFile(const XFile &) = delete;
    XFile &operator=(const XFile &) = delete;

    // Opens path (`\` or `/` separated) for the mode; any file open before is closed.
    // Non-zero on success. Folders are refused.
    int Open(const char16_t *path, uint32_t mode = kRead);
    void Close();
    int IsOpen() const { return m_fd >= 0; }

    // Size of the open file in bytes; -1 when none is open.
    int64_t GetSize() const;

    // Reads up to n bytes at the cursor; returns the count read (0 at the end or on failure).
    uint32_t Read(void *dst, uint32_t n);
    // Writes all n bytes; returns n, or 0 on failure (a short write may have happened).
    uint32_t Write(const void *src, uint32_t n);

    // Moves the cursor to pos bytes from the start (whence 0), the cursor (1) or the
    // end (2). Returns the new position, -1 on failure.
    int64_t Seek(int64_t pos, int whence = 0);
    int64_t Tell() const;

    // Cuts or extends the file to size bytes. Non-zero on success.
    int SetSize(int64_t size);
    // Pushes written bytes to the disk. Non-zero on success.
    int Flush();

private:
    int m_fd = -1;
};
