// XMemoHelper: block arena with stack-like rewinding.
#include "corekit/memory/xmemo_helper.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "corekit/memory/memory.h"

// Header of one heap block; the data area follows it directly.
struct XMemoHelper::Block
{
    uint32_t size; // bytes available in the data area
    Block *next;   // following block of the same chain

    unsigned char *Data() { return reinterpret_cast<unsigned char *>(this + 1); }
    bool Holds(const void *p)
    {
        const auto *q = static_cast<const unsigned char *>(p);
        return q >= Data() && q < Data() + size;
    }
};

XMemoHelper::XMemoHelper() = default;

XMemoHelper::XMemoHelper(XMemoHelper &&other) noexcept
    : m_used(std::exchange(other.m_used, 0)), m_blocks(std::exchange(other.m_blocks, nullptr)),
      m_spare(std::exchange(other.m_spare, nullptr))
{
}

XMemoHelper &XMemoHelper::operator=(XMemoHelper &&other) noexcept
{
    if (this != &other) {
        ReleaseChain(m_blocks);
        ReleaseChain(m_spare);
        m_used = std::exchange(other.m_used, 0);
        m_blocks = std::exchange(other.m_blocks, nullptr);
        m_spare = std::exchange(other.m_spare, nullptr);
    }
    return *this;
}

XMemoHelper::~XMemoHelper()
{
    ReleaseChain(m_blocks);
    ReleaseChain(m_spare);
}

void XMemoHelper::ReleaseChain(Block *chain)
{
    while (chain) {
        Block *next = chain->next;
        MemFree(chain);
        chain = next;
    }
}

void *XMemoHelper::Malloc(uint32_t n)
{
    if (m_blocks && static_cast<uint64_t>(m_used) + n <= m_blocks->size) {
        void *p = m_blocks->Data() + m_used;
        m_used += n;
        return p;
    }
    Block *b;
    if (m_spare && m_spare->size >= n) {
        b = m_spare;
        m_spare = b->next;
    } else {
        uint32_t size = std::max(n, kBlockSize);
        b = static_cast<Block *>(MemAlloc(static_cast<uint32_t>(sizeof(Block)) + size));
        b->size = size;
    }
    b->next = m_blocks;
    m_blocks = b;
    m_used = n;
    return b->Data();
}

char16_t *XMemoHelper::MallocEx(uint32_t n)
{
    // UTF-16 units must sit on even addresses. Block data starts are aligned, so only an
    // odd top after a narrow allocation needs one byte skipped; a block without room for
    // that byte is left for a new one.
    uint64_t bytes = static_cast<uint64_t>(n) * 2;
    if (m_blocks && (m_used & 1u)) {
        if (m_used + 1 + bytes <= m_blocks->size)
            ++m_used;
        else
            m_used = m_blocks->size;
    }
    return static_cast<char16_t *>(Malloc(static_cast<uint32_t>(bytes)));
}

char16_t *XMemoHelper::StrClone(const char16_t *s)
{
    if (!s)
        return nullptr;
    uint32_t n = 0;
    while (s[n])
        ++n;
    return StrClone(s, n);
}

char16_t *XMemoHelper::StrClone(const char16_t *s, uint32_t n)
{
    if (!s)
        return nullptr;
    char16_t *p = MallocEx(n + 1);
    std::memcpy(p, s, n * sizeof(char16_t));
    p[n] = 0;
    return p;
}

void *XMemoHelper::GetPointer() const
{
    return m_blocks ? m_blocks->Data() + m_used : nullptr;
}

void XMemoHelper::DropNewest()
{
    Block *b = m_blocks;
    m_blocks = b->next;
    if (b->size == kBlockSize) {
        b->next = m_spare;
        m_spare = b;
    } else {
        MemFree(b);
    }
}

void XMemoHelper::PopupMalloc(const void *p)
{
    if (!m_blocks || p == GetPointer())
        return;
    if (!p) {
        while (m_blocks)
            DropNewest();
        m_used = 0;
        return;
    }
    Block *found = m_blocks;
    while (found && !found->Holds(p))
        found = found->next;
    if (!found)
        return;
    while (m_blocks != found)
        DropNewest();
    m_used = static_cast<uint32_t>(static_cast<const unsigned char *>(p) - found->Data());
}

void XMemoHelper::CloseMalloc(const void *p, uint32_t n)
{
    PopupMalloc(static_cast<const unsigned char *>(p) + n);
}

void XMemoHelper::CloseStrMalloc(const char16_t *p, uint32_t n)
{
    PopupMalloc(p + n);
}

void XMemoHelper::ClearBuffer()
{
    while (m_blocks) {
        Block *b = m_blocks;
        m_blocks = b->next;
        b->next = m_spare;
        m_spare = b;
    }
    m_used = 0;
}
