#pragma once
// The module matrix of a QR Code Model 2 symbol at error correction level L, mask 0.

#include <cstdint>
#include <vector>

#include "datakit/datakit_export.h"

// Modules are kept one byte each, indexed [x * side + y] (column first); non-zero is
// dark. Function patterns (finders with separators, timing, alignment, the dark module,
// format and version information) are drawn, the codewords placed in the two-column
// zigzag, and mask pattern 0 ((x + y) mod 2 == 0) applied to the data modules.
class DATAKIT_EXPORT XQRMatrix
{
public:
    // Lays out a symbol of version 1-40 holding codewords, which must have the total
    // codeword count of that version; false (and an empty matrix) for another version.
    bool Build(int version, const uint8_t *codewords);

    // 0 before a successful Build.
    int GetVersion() const { return m_version; }
    // Modules per side, 17 + 4 * version; 0 before a successful Build.
    int GetSide() const { return m_side; }
    // False outside the matrix.
    bool IsDark(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_side && y < m_side && m_modules[x * m_side + y];
    }
    // side * side bytes, column first.
    const uint8_t *GetModules() const { return m_modules.data(); }

private:
    void Set(int x, int y, bool dark) { m_modules[x * m_side + y] = dark; }
    void SetFunction(int x, int y, bool dark);
    bool IsFunction(int x, int y) const { return m_function[x * m_side + y] != 0; }

    void DrawTimingPatterns();
    void DrawFinderPattern(int cx, int cy);
    void DrawAlignmentPatterns();
    void DrawAlignmentPattern(int cx, int cy);
    void DrawFormatInformation();
    void DrawVersionInformation();
    void PlaceCodewords(const uint8_t *codewords, int count);
    void ApplyMask0();

    int m_version = 0;
    int m_side = 0;
    std::vector<uint8_t> m_modules;
    std::vector<uint8_t> m_function;
};

// The 15 format information bits for level L and the given mask (0-7): BCH(15,5) of
// the level and mask, XOR 0x5412, most significant bit first.
DATAKIT_EXPORT uint32_t QRFormatBitsL(int mask);
// The 18 version information bits of version 7-40: BCH(18,6) of the version.
DATAKIT_EXPORT uint32_t QRVersionBits(int version);
