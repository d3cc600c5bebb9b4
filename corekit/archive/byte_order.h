#pragma once
// Byte order of document integers. Documents are little-endian; a big-endian host swaps
// every integer and UTF-16 unit it writes or reads.

#include <cstdint>

#include "corekit/corekit_export.h"

// 1 on a big-endian host (integers must be swapped), 0 on a little-endian one.
COREKIT_EXPORT unsigned int GetEndianMode();

// Reverses the byte order of one integer of width bytes, or of count of them, in place;
// width 0 or 1 changes nothing.
COREKIT_EXPORT void SwitchInteger(void *p, unsigned int width);
COREKIT_EXPORT void SwitchInteger(void *p, unsigned int width, unsigned int count);
// The same from src into dst (the areas must not overlap unless they are equal).
COREKIT_EXPORT void SwitchInteger(void *dst, const void *src, unsigned int width);
COREKIT_EXPORT void SwitchInteger(void *dst, const void *src, unsigned int width,
                                  unsigned int count);

// swap non-zero: as SwitchInteger. Otherwise nothing in place, or a plain copy into dst.
COREKIT_EXPORT void EndianInteger(unsigned int swap, void *p, unsigned int width);
COREKIT_EXPORT void EndianInteger(unsigned int swap, void *p, unsigned int width,
                                  unsigned int count);
COREKIT_EXPORT void EndianInteger(unsigned int swap, void *dst, const void *src,
                                  unsigned int width);
COREKIT_EXPORT void EndianInteger(unsigned int swap, void *dst, const void *src, unsigned int width,
                                  unsigned int count);
