#pragma once
// The element string of a one-dimensional barcode and the choice of symbology.

#include <cstddef>

#include "datakit/datakit_export.h"

// Barcode type word: the low byte chooses the symbology, bit 0x100 turns the symbol so
// that its bars run horizontally and it reads from the bottom upwards.
enum : int {
    kBarcodeCode39 = 0,
    kBarcodeCode128B = 1,
    kBarcodeCode128Auto = 2,
    kBarcodeVertical = 0x100,
};

// Widths of bars and spaces in modules, as digit characters '1'..'4', in pairs (bar,
// space) starting with a bar. The string never grows past kCapacity characters: an
// append that would overflow leaves the string unchanged and marks it overflowed.
class DATAKIT_EXPORT XBarcodeElements
{
public:
    static constexpr size_t kCapacity = 2048;

    XBarcodeElements() { Clear(); }

    void Clear();
    // Appends a terminated pattern of width digits; false (and overflowed) when the
    // string would pass kCapacity characters.
    bool Append(const char *pattern);

    // The terminated element string.
    const char *GetString() const { return m_data; }
    size_t GetLength() const { return m_length; }
    bool IsOverflowed() const { return m_overflowed; }
    // Sum of all elements: the symbol's width in modules.
    unsigned GetTotalModules() const;

private:
    char m_data[kCapacity + 1];
    size_t m_length;
    bool m_overflowed;
};

// Builds the element string of text for the symbology in the low byte of type (the
// vertical bit is ignored here). False for a null text, an unknown symbology, or a
// string that would pass XBarcodeElements::kCapacity characters.
DATAKIT_EXPORT bool MakeBarcodeElements(const char16_t *text, int type, XBarcodeElements &out);
