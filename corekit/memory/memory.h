#pragma once
// The one heap of the platform and the string-allocation functions built on it.
// Every block that crosses a library boundary is allocated and released here, so
// ownership may pass between libraries. Memory is never cleared on allocation.

#include <cstdint>

#include "corekit/corekit_export.h"

// n bytes, not cleared. A request of 0 bytes still gives a valid, releasable block.
COREKIT_EXPORT void *MemAlloc(uint32_t n);
// p null: as MemAlloc(n). Otherwise the block resized to n bytes, contents kept up to the
// smaller size. n = 0 gives a valid (minimal) block; p is never released behind the caller.
COREKIT_EXPORT void *MemRealloc(void *p, uint32_t n);
// Releases p; null is ignored.
COREKIT_EXPORT void MemFree(void *p);

// Fill, copy and overlapping move of n bytes; n <= 0 does nothing.
COREKIT_EXPORT void Memset(void *p, int value, int n);
COREKIT_EXPORT void Memcpy(void *dst, const void *src, int n);
COREKIT_EXPORT void Memmove(void *dst, const void *src, int n);
// Compares n bytes as unsigned values: -1, 0 or 1 (0 for n <= 0).
COREKIT_EXPORT int Memcmp(const void *a, const void *b, int n);
// Non-zero when all n bytes are zero, and for n <= 0.
COREKIT_EXPORT int IsMemZero(const void *p, int n);

// Two 15-bit draws r1, r2 of corekit's own generator combined as (r1 << 16) + r2, so
// bits 15 and 31 are always 0. The generator is seeded from the tick count at load.
COREKIT_EXPORT uint32_t Random();

// Room for exactly n 16-bit characters (2n bytes), uninitialised, no terminator slot.
COREKIT_EXPORT char16_t *StrAlloc(uint32_t n);
// A copy of s with its terminator; null s gives null.
COREKIT_EXPORT char *StrAlloc(const char *s);
COREKIT_EXPORT char16_t *StrAlloc(const char16_t *s);

// Narrow: as MemRealloc(p, n), n bytes. Wide: resized to n 16-bit characters.
COREKIT_EXPORT char *StrRealloc(char *p, uint32_t n);
COREKIT_EXPORT char16_t *StrRealloc(char16_t *p, uint32_t n);
// s null: p released, null returned. Otherwise p resized (or allocated when null) to hold
// s with its terminator and s copied in. s must not point into p.
COREKIT_EXPORT char *StrRealloc(char *p, const char *s);
COREKIT_EXPORT char16_t *StrRealloc(char16_t *p, const char16_t *s);
// As StrRealloc(p, s), but an empty s counts as null: p released, null returned.
COREKIT_EXPORT char *StrReallocEx(char *p, const char *s);
COREKIT_EXPORT char16_t *StrReallocEx(char16_t *p, const char16_t *s);
