#pragma once
// Code 39 element strings.

#include "datakit/barcode_elements.h"

// Start character "*", then each character of text that Code 39 can show (0-9, A-Z,
// space and $ % + - . /) followed by a 2-module gap; every other character, lower-case
// letters and "*" (the start and stop character) included, is skipped.
// No check character. Stop "*" and a 1-module space.
// Narrow elements are 1 module, wide ones 2. False for a null text or when the string
// would pass XBarcodeElements::kCapacity characters.
DATAKIT_EXPORT bool MakeCode39Elements(const char16_t *text, XBarcodeElements &out);
