#pragma once
// Code 128 element strings in code set B, or in code sets B and C chosen automatically.

#include "datakit/barcode_elements.h"

// Code set B only (automatic false): start B, one symbol per character of code 32-127
// (others skipped), the check symbol, the stop pattern and a 1-module space.
// Automatic (true): each run of four or more digits (shortened by one digit when its
// length is odd) goes into code set C as digit pairs, everything between runs into
// code set B; the sets are entered by start or switch symbols. False for a null text or
// when the string would pass XBarcodeElements::kCapacity characters.
DATAKIT_EXPORT bool MakeCode128Elements(const char16_t *text, bool automatic,
                                        XBarcodeElements &out);
