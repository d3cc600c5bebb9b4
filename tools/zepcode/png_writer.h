#pragma once
// Writes a 1-bit image as a black-and-white PNG file.

#include "datakit/bit_image.h"

// Dark pixels black, light white. False when the file cannot be written.
bool WritePng(const char *path, const XBitImage &image);
