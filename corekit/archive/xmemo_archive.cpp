#include "corekit/archive/xmemo_archive.h"

#include <algorithm>
#include <cstring>

#include "corekit/memory/memory.h"

// One heap block: the link to the next block, then the data, zero-filled when created.
struct XMemoArchive::Block
{
    Block *next;
    uint8_t data[kBlockSize];
};

namespace {

// True when pos + n still fits the 32-bit size of an archive.
bool FitsSize(uint32_t pos, uint32_t n)
{
    return uint64_t{pos} + n <= UINT32_MAX;
}

} // namespace

XMemoArchive::XMemoArchive() = default;

XMemoArchive::~XMemoArchive()
{
    ClearDoc();
}

XMemoArchive *XMemoArchive::Malloc()
{
    return new XMemoArchive();
}

uint32_t XMemoArchive::AddRef()
{
    return ++m_refs;
}

uint32_t XMemoArchive::Release()
{
    if (m_refs > 0)
        --m_refs;
    if (m_refs != 0)
        return m_refs;
    delete this;
    return 0;
}

void XMemoArchive::ClearDoc()
{
    for (Block *b = m_first; b != nullptr;) {
        Block *next = b->next;
        MemFree(b);
        b = next;
    }
    MemFree(m_text);
    m_text = nullptr;
    m_first = m_current = nullptr;
    m_position = m_size = m_offset = 0;
}

int XMemoArchive::InitReader()
{
    m_current = m_first;
    m_position = m_offset = 0;
    return 1;
}

XMemoArchive::Block *XMemoArchive::AppendBlock()
{
    auto *block = static_cast<Block *>(MemAlloc(sizeof(Block)));
    std::memset(block, 0, sizeof(Block));
    if (m_current != nullptr)
        m_current->next = block;
    else
        m_first = block;
    return block;
}

void XMemoArchive::Move(uint32_t n, uint8_t *dst, const uint8_t *src, bool grow)
{
    while (n > 0) {
        if (m_current == nullptr || m_offset == kBlockSize) {
            Block *next = m_current != nullptr ? m_current->next : m_first;
            if (next == nullptr) {
                if (!grow)
                    return;
                next = AppendBlock();
            }
            m_current = next;
            m_offset = 0;
        }
        const uint32_t chunk = std::min(n, kBlockSize - m_offset);
        if (dst != nullptr) {
            std::memcpy(dst, m_current->data + m_offset, chunk);
            dst += chunk;
        }
        if (src != nullptr) {
            std::memcpy(m_current->data + m_offset, src, chunk);
            src += chunk;
        }
        m_offset += chunk;
        m_position += chunk;
        n -= chunk;
    }
}

int XMemoArchive::Skip(uint32_t n)
{
    if (uint64_t{m_position} + n > m_size)
        return 0;
    Move(n, nullptr, nullptr, false);
    return 1;
}

int XMemoArchive::Seek(uint32_t pos)
{
    if (pos > m_size)
        return 0;
    InitReader();
    Move(pos, nullptr, nullptr, false);
    return 1;
}

int XMemoArchive::Tell(uint32_t *pos) const
{
    if (pos != nullptr)
        *pos = m_position;
    return m_current != nullptr ? 1 : 0;
}

int XMemoArchive::Read(void *dst, uint32_t n)
{
    if (uint64_t{m_position} + n > m_size || (dst == nullptr && n != 0))
        return 0;
    if (m_current != nullptr && m_offset + n <= kBlockSize && n != 0) {
        // Within the current block: the common case of small records.
        std::memcpy(dst, m_current->data + m_offset, n);
        m_offset += n;
        m_position += n;
        return 1;
    }
    Move(n, static_cast<uint8_t *>(dst), nullptr, false);
    return 1;
}

int XMemoArchive::ReadEx(void *dst, uint32_t *n)
{
    if (n == nullptr)
        return 0;
    *n = std::min(*n, m_size - std::min(m_position, m_size));
    return Read(dst, *n);
}

int XMemoArchive::Write(const void *src, uint32_t n)
{
    if (!FitsSize(m_position, n) || (src == nullptr && n != 0))
        return 0;
    if (m_current != nullptr && m_offset + n <= kBlockSize && n != 0) {
        std::memcpy(m_current->data + m_offset, src, n);
        m_offset += n;
        m_position += n;
    } else {
        Move(n, nullptr, static_cast<const uint8_t *>(src), true);
    }
    m_size = std::max(m_size, m_position);
    return 1;
}

int XMemoArchive::WriteEx(const void *src, uint32_t *n)
{
    if (n == nullptr)
        return 0;
    *n = std::min(*n, UINT32_MAX - m_position);
    return Write(src, *n);
}

int XMemoArchive::ReadDoc(IArchive *dst, uint32_t n)
{
    return CopyDoc(this, dst, n);
}

int XMemoArchive::WriteDoc(IArchive *src, uint32_t n)
{
    return CopyDoc(src, this, n);
}

const char16_t *XMemoArchive::GetStrBuffer()
{
    MemFree(m_text);
    m_text = nullptr;
    if (m_first == nullptr)
        return nullptr;
    const uint32_t even = m_size & ~1u;
    // In place only for an even size: the terminator then lands past the content. An odd
    // size would put it over the last content byte, so that content is copied instead.
    if ((m_size & 1) == 0 && uint64_t{m_size} + 3 < kBlockSize) {
        m_first->data[even] = 0;
        m_first->data[even + 1] = 0;
        return reinterpret_cast<const char16_t *>(m_first->data);
    }
    m_text = static_cast<char16_t *>(MemAlloc(even + 2));
    InitReader();
    Move(even, reinterpret_cast<uint8_t *>(m_text), nullptr, false);
    Skip(m_size - even);
    m_text[even / 2] = 0;
    return m_text;
}

uint32_t XMemoArchive::GetBlockCount() const
{
    uint32_t count = 0;
    for (const Block *b = m_first; b != nullptr; b = b->next)
        ++count;
    return count;
}
