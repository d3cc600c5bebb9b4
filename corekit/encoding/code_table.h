#pragma once
// The process-wide code table: pairs of 16-bit codes loaded from a "GBKT" document, kept
// in document order and ordered by the second code for lookups in the other direction.
// The tables stay until the library is unloaded; loading again replaces them.
//
// Document: the bytes "GBKT", a 32-bit little-endian count n, then n entries of two 16-bit
// little-endian codes; the document is exactly 8 + 4n bytes.

#include <cstdint>

#include "corekit/corekit_export.h"

class IArchive;

struct CODEPAIR_t
{
    uint16_t wFirst;
    uint16_t wSecond;
};

// Largest count a code table may declare (every 16-bit code mapped sixteen times over).
constexpr uint32_t kCodeTableMaxEntries = 1u << 20;

// Loads a code table document from a, from its cursor: 1 on success; 0, keeping the tables
// held before, when the magic is not "GBKT", the count cannot be read or exceeds
// kCodeTableMaxEntries, or the archive does not hold exactly 8 + 4n bytes.
COREKIT_EXPORT int SetCodeTable(IArchive *a);

// The loaded entries in document order (which 0) or ordered by the second code (which 1,
// entries with equal second codes in document order), with their count in *count; null
// (count 0) when no table is loaded.
COREKIT_EXPORT const CODEPAIR_t *GetCodeTable(unsigned int which, uint32_t *count);
// The second code of the first entry whose first code is code; 0 when there is none.
COREKIT_EXPORT uint16_t CodeTableToSecond(uint16_t code);
// The first code of the first entry (in document order) whose second code is code; 0 when
// there is none.
COREKIT_EXPORT uint16_t CodeTableToFirst(uint16_t code);
// Releases the tables (also done when the library is unloaded).
COREKIT_EXPORT void ReleaseCodeTable();
