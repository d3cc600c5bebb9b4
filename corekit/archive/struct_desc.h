#pragma once
// Described structures: a table of (type, size) fields that converts a record between its
// in-memory layout and its document form.

#include <cstdint>

#include "corekit/corekit_export.h"

// One field of a described structure.
struct XStructDesc
{
    uint16_t type; // kField* code
    uint16_t size; // bytes in memory (units for kFieldText)
};

// Field types. Columns: document bytes | memory bytes.
constexpr uint16_t kFieldInteger = 1;  // 2 if size < 4, 4 if size 4-7, 8 if size >= 8 | size
constexpr uint16_t kFieldText = 2;     // 2 * size (UTF-16 units)                      | 2 * size
constexpr uint16_t kFieldFloater = 3;  // 8 (IEEE double)                                | size
constexpr uint16_t kFieldDateTime = 4; // 8 (DATETIME_t)                                 | size
constexpr uint16_t kFieldTime = 5;     // 16 (SYSTIME_t)                                 | size
// Any other type: raw bytes, size | size.
//
// The memory side advances by the declared size, so a record may keep alignment gaps that
// the document omits. An integer narrower in memory than in the document is zero-extended
// when written and a wider one keeps its low bytes; the same holds on reading, and a
// memory field wider than its document form is zero-filled past the value.

// Document bytes of the described fields.
COREKIT_EXPORT unsigned int GetStructDocSize(const XStructDesc *desc, unsigned int count);
// Memory bytes of the described fields.
COREKIT_EXPORT unsigned int GetStructMemSize(const XStructDesc *desc, unsigned int count);

// Writes the count described fields of rec into doc; returns the document bytes written.
COREKIT_EXPORT unsigned int SaveStructDesc(void *doc, const void *rec, const XStructDesc *desc,
                                           unsigned int count);
// The inverse; returns the memory bytes filled. doc must hold GetStructDocSize bytes.
COREKIT_EXPORT unsigned int ReadStructDesc(void *rec, const void *doc, const XStructDesc *desc,
                                           unsigned int count);
// As above for a document of docSize bytes from outside: 0 (rec untouched) when docSize is
// smaller than the described fields need.
COREKIT_EXPORT unsigned int ReadStructDesc(void *rec, const void *doc, uint32_t docSize,
                                           const XStructDesc *desc, unsigned int count);
// Converts a record in place between document and host order (a record whose document and
// memory layouts agree); 1.
COREKIT_EXPORT int ReadStructDesc(void *rec, const XStructDesc *desc, unsigned int count);
