#pragma once
// The document byte form: little-endian integers, strings as a 32-bit count of UTF-16 units
// followed by the units, and the time records.
//
// Every reader checks each count against the bytes left in the archive before it allocates
// or copies, and on failure returns 0 (or null) with the cursor back where it was. A
// counted string must end with its terminator (a zero unit); one that does not is refused.
// A writer that fails also puts the cursor back, so a caller can drop a partial record.

#include <cstdint>

#include "corekit/corekit_export.h"
#include "corekit/systime/systime.h"

class IArchive;
class XMemoHelper;

// width bytes of the integer at v (host order), little-endian; or count such integers.
COREKIT_EXPORT int IntToDoc(IArchive *a, const void *v, unsigned int width);
COREKIT_EXPORT int IntToDoc(IArchive *a, const void *v, unsigned int width, unsigned int count);
// The inverse; 1, or 0 when the archive cannot supply the bytes (v untouched).
COREKIT_EXPORT int IntFromDoc(IArchive *a, void *v, unsigned int width);
COREKIT_EXPORT int IntFromDoc(IArchive *a, void *v, unsigned int width, unsigned int count);

// null s: a 32-bit 0. Otherwise the count n = length + 1 and the n units, terminator included.
COREKIT_EXPORT int StrToDoc(IArchive *a, const char16_t *s);
// null s: a 32-bit 0. Otherwise the count n and exactly n units of s (no terminator added).
COREKIT_EXPORT int StrToDoc(IArchive *a, const char16_t *s, unsigned int n);
// n units of s with no count, into the archive or into the memory dst in document order.
COREKIT_EXPORT int WriteStrDoc(IArchive *a, const char16_t *s, unsigned int n);
COREKIT_EXPORT int WriteStrDoc(uint16_t *dst, const char16_t *s, unsigned int n);

// A counted string in a new heap block (release with MemFree). Null when the count is 0
// (the count is consumed) and on failure.
COREKIT_EXPORT char16_t *StrFromDoc(IArchive *a);
// As above with the units in the arena m; on failure the arena is rewound.
COREKIT_EXPORT char16_t *StrFromDoc(IArchive *a, XMemoHelper *m);
// A counted string into buf of cap units: buf[0] = 0 first; a count of 0 gives 1; a string
// longer than cap units is cut to cap - 1 units and a terminator (the rest is skipped);
// returns the units stored (terminator included when it fitted), 0 on failure or cap 0.
COREKIT_EXPORT unsigned int StrFromDoc(IArchive *a, char16_t *buf, unsigned int cap);
// n units with no count, terminated, in a new heap block or in the arena; null on failure.
COREKIT_EXPORT char16_t *ReadStrDoc(IArchive *a, unsigned int n);
COREKIT_EXPORT char16_t *ReadStrDoc(IArchive *a, unsigned int n, XMemoHelper *m);
// n units with no count into buf (no terminator added), from the archive or from the
// memory src in document order; 1 or 0.
COREKIT_EXPORT int ReadStrDoc(IArchive *a, char16_t *buf, unsigned int n);
COREKIT_EXPORT int ReadStrDoc(const uint16_t *src, char16_t *buf, unsigned int n);

// 16 bytes: the eight 16-bit fields in record order.
COREKIT_EXPORT int TimeToDoc(IArchive *a, const SYSTIME_t *t);
COREKIT_EXPORT int TimeFromDoc(IArchive *a, SYSTIME_t *t);
// 8 bytes: the 16-bit year, then month, day, hour, minute, second, hundredths.
COREKIT_EXPORT int TimeToDoc(IArchive *a, const DATETIME_t *t);
COREKIT_EXPORT int TimeFromDoc(IArchive *a, DATETIME_t *t);
