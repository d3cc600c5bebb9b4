// The heap of corekit, byte helpers, the random generator and string allocation.
#include "corekit/memory/memory.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "corekit/random_seed.h"

namespace {

// State of the 15-bit generator: a 32-bit linear congruential sequence whose bits 16-30
// are the draw (the low bits of such a sequence have short periods).
std::atomic<uint32_t> g_randomState{1};

constexpr uint32_t kRandomMultiplier = 1103515245u;
constexpr uint32_t kRandomIncrement = 12345u;

uint32_t Draw15()
{
    uint32_t old = g_randomState.load(std::memory_order_relaxed);
    uint32_t next;
    do {
        next = old * kRandomMultiplier + kRandomIncrement;
    } while (!g_randomState.compare_exchange_weak(old, next, std::memory_order_relaxed));
    return (next >> 16) & 0x7FFFu;
}

template <typename C> size_t UnitLength(const C *s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

template <typename C> C *CopyInto(C *p, const C *s)
{
    size_t bytes = (UnitLength(s) + 1) * sizeof(C);
    auto *block = static_cast<C *>(MemRealloc(p, static_cast<uint32_t>(bytes)));
    std::memcpy(block, s, bytes);
    return block;
}

} // namespace

void SeedRandom(uint32_t seed)
{
    g_randomState.store(seed, std::memory_order_relaxed);
}

void *MemAlloc(uint32_t n)
{
    return std::malloc(n ? n : 1);
}

void *MemRealloc(void *p, uint32_t n)
{
    // realloc(p, 0) may free p and return null; a minimal block keeps p's owner valid.
    return std::realloc(p, n ? n : 1);
}

void MemFree(void *p)
{
    std::free(p);
}

void Memset(void *p, int value, int n)
{
    if (n > 0)
        std::memset(p, value, static_cast<size_t>(n));
}

void Memcpy(void *dst, const void *src, int n)
{
    if (n > 0)
        std::memcpy(dst, src, static_cast<size_t>(n));
}

void Memmove(void *dst, const void *src, int n)
{
    if (n > 0)
        std::memmove(dst, src, static_cast<size_t>(n));
}

int Memcmp(const void *a, const void *b, int n)
{
    if (n <= 0)
        return 0;
    int r = std::memcmp(a, b, static_cast<size_t>(n));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int IsMemZero(const void *p, int n)
{
    const auto *b = static_cast<const unsigned char *>(p);
    for (int i = 0; i < n; ++i)
        if (b[i])
            return 0;
    return 1;
}

uint32_t Random()
{
    uint32_t r1 = Draw15();
    uint32_t r2 = Draw15();
    return (r1 << 16) + r2;
}

char16_t *StrAlloc(uint32_t n)
{
    return static_cast<char16_t *>(MemAlloc(n * 2u));
}

char *StrAlloc(const char *s)
{
    return s ? CopyInto<char>(nullptr, s) : nullptr;
}

char16_t *StrAlloc(const char16_t *s)
{
    return s ? CopyInto<char16_t>(nullptr, s) : nullptr;
}

char *StrRealloc(char *p, uint32_t n)
{
    return static_cast<char *>(MemRealloc(p, n));
}

char16_t *StrRealloc(char16_t *p, uint32_t n)
{
    return static_cast<char16_t *>(MemRealloc(p, n * 2u));
}

char *StrRealloc(char *p, const char *s)
{
    if (!s) {
        MemFree(p);
        return nullptr;
    }
    return CopyInto(p, s);
}

char16_t *StrRealloc(char16_t *p, const char16_t *s)
{
    if (!s) {
        MemFree(p);
        return nullptr;
    }
    return CopyInto(p, s);
}

char *StrReallocEx(char *p, const char *s)
{
    return StrRealloc(p, s && *s ? s : nullptr);
}

char16_t *StrReallocEx(char16_t *p, const char16_t *s)
{
    return StrRealloc(p, s && *s ? s : nullptr);
}
