#pragma once
// Block arena for many short-lived allocations, rewound like a stack.

#include <cstdint>

#include "corekit/corekit_export.h"

// Allocations are packed back to back with no alignment gaps, so successive allocations
// from one block are contiguous: a caller may reserve a maximum, fill part of it and give
// the rest back with CloseMalloc. Standard blocks (32768 data bytes) are kept on a spare
// chain for reuse; larger requests get a block of exactly their size. Move-only.
class COREKIT_EXPORT XMemoHelper
{
public:
    static constexpr uint32_t kBlockSize = 32768;

    XMemoHelper();
    XMemoHelper(XMemoHelper &&other) noexcept;
    XMemoHelper &operator=(XMemoHelper &&other) noexcept;
    XMemoHelper(const XMemoHelper &) = delete;
    XMemoHelper &operator=(const XMemoHelper &) = delete;
    virtual ~XMemoHelper();

    // n bytes from the arena, not cleared and not aligned.
    void *Malloc(uint32_t n);
    // n 16-bit characters on an even address (one byte may be skipped after an odd-sized
    // allocation), no terminator slot.
    char16_t *MallocEx(uint32_t n);
    // Copy of s with its terminator (or of its first n characters and a terminator);
    // null s gives null.
    char16_t *StrClone(const char16_t *s);
    char16_t *StrClone(const char16_t *s, uint32_t n);
    // The current top (newest block's data start + used), or null without blocks.
    void *GetPointer() const;
    // Rewinds so that p becomes the top. p null empties the arena (standard blocks go to
    // the spare chain, others are released); a p outside every block in use does nothing.
    void PopupMalloc(const void *p);
    // Keeps n bytes of an allocation that starts at p and gives the rest back.
    void CloseMalloc(const void *p, uint32_t n);
    // Keeps n characters from p (count the terminator in n to keep it).
    void CloseStrMalloc(const char16_t *p, uint32_t n);
    // Every block in use moves to the spare chain; used = 0. Earlier pointers are invalid.
    void ClearBuffer();

private:
    struct Block;
    void ReleaseChain(Block *chain);
    // Takes the newest block off the chain in use: standard ones to the spare chain.
    void DropNewest();

    uint32_t m_used = 0;
    Block *m_blocks = nullptr;
    Block *m_spare = nullptr;
};
