#pragma once
// Writing text into a stream in one of the system's encodings.

#include <cstdint>

#include "platform/dockit/dockit_export.h"

class IArchive;

// Appends `length` units of text (length < 0: up to the terminator, which is not
// written) to the stream at its cursor, encoded by the encoding selector: 0 the system
// ANSI code page, 1 UTF-8, 2 UTF-16LE, 3 UTF-16BE, 4 Latin-1. No byte-order mark is
// written. Returns non-zero on success (also for empty text); 0 for a null stream, an
// unknown selector or a failed write.
DOCKIT_EXPORT int TextWrite(IArchive *stream, int encoding, const char16_t *text, int length);
