#include "datakit/qr_matrix.h"

#include <algorithm>
#include <cstdlib>

#include "datakit/qr_tables.h"

namespace {

// Level L in the two-bit error correction indicator of the format information.
constexpr uint32_t kLevelLIndicator = 1;
// BCH(15,5) generator x^10 + x^8 + x^5 + x^4 + x^2 + x + 1, and the mask pattern that
// keeps the format information from being all zero.
constexpr uint32_t kFormatGenerator = 0x537;
constexpr uint32_t kFormatXor = 0x5412;
// BCH(18,6) generator x^12 + x^11 + x^10 + x^9 + x^8 + x^5 + x^2 + 1.
constexpr uint32_t kVersionGenerator = 0x1F25;

// Remainder of data * x^degree divided by a generator of that degree.
uint32_t BchRemainder(uint32_t data, uint32_t generator, int degree)
{
    uint32_t rem = data << degree;
    for (int bit = 31; bit >= degree; bit--) {
        if (rem & (1u << bit))
            rem ^= generator << (bit - degree);
    }
    return rem;
}

} // namespace

uint32_t QRFormatBitsL(int mask)
{
    uint32_t data = kLevelLIndicator << 3 | (static_cast<uint32_t>(mask) & 7);
    return (data << 10 | BchRemainder(data, kFormatGenerator, 10)) ^ kFormatXor;
}

uint32_t QRVersionBits(int version)
{
    uint32_t data = static_cast<uint32_t>(version);
    return data << 12 | BchRemainder(data, kVersionGenerator, 12);
}

bool XQRMatrix::Build(int version, const uint8_t *codewords)
{
    m_version = 0;
    m_side = 0;
    m_modules.clear();
    m_function.clear();
    if (version < kQRMinVersion || version > kQRMaxVersion)
        return false;
    m_version = version;
    m_side = QRSideOf(version);
    m_modules.assign(m_side * m_side, 0);
    m_function.assign(m_side * m_side, 0);

    DrawTimingPatterns();
    DrawFinderPattern(3, 3);
    DrawFinderPattern(m_side - 4, 3);
    DrawFinderPattern(3, m_side - 4);
    DrawAlignmentPatterns();
    DrawFormatInformation();
    DrawVersionInformation();
    PlaceCodewords(codewords, kQRBlocksL[version].totalCodewords);
    ApplyMask0();
    return true;
}

void XQRMatrix::SetFunction(int x, int y, bool dark)
{
    m_modules[x * m_side + y] = dark;
    m_function[x * m_side + y] = 1;
}

void XQRMatrix::DrawTimingPatterns()
{
    for (int i = 0; i < m_side; i++) {
        SetFunction(6, i, i % 2 == 0);
        SetFunction(i, 6, i % 2 == 0);
    }
}

// A 7x7 finder centred on (cx, cy) with its one-module light separator, clipped to the
// matrix.
void XQRMatrix::DrawFinderPattern(int cx, int cy)
{
    for (int dy = -4; dy <= 4; dy++) {
        for (int dx = -4; dx <= 4; dx++) {
            int x = cx + dx, y = cy + dy;
            if (x < 0 || y < 0 || x >= m_side || y >= m_side)
                continue;
            int ring = std::max(std::abs(dx), std::abs(dy));
            SetFunction(x, y, ring != 2 && ring != 4);
        }
    }
}

void XQRMatrix::DrawAlignmentPatterns()
{
    const uint8_t *pos = kQRAlignmentPositions[m_version];
    int count = 0;
    while (count < 8 && pos[count])
        count++;
    for (int i = 0; i < count; i++) {
        for (int j = 0; j < count; j++) {
            bool onFinder =
                (i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0);
            if (!onFinder)
                DrawAlignmentPattern(pos[i], pos[j]);
        }
    }
}

void XQRMatrix::DrawAlignmentPattern(int cx, int cy)
{
    for (int dy = -2; dy <= 2; dy++) {
        for (int dx = -2; dx <= 2; dx++)
            SetFunction(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }
}

// Both copies of the format information, bit 0 the least significant, and the dark
// module beside the lower left finder.
void XQRMatrix::DrawFormatInformation()
{
    uint32_t bits = QRFormatBitsL(0);
    auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
    for (int i = 0; i <= 5; i++)
        SetFunction(8, i, bit(i));
    SetFunction(8, 7, bit(6));
    SetFunction(8, 8, bit(7));
    SetFunction(7, 8, bit(8));
    for (int i = 9; i < 15; i++)
        SetFunction(14 - i, 8, bit(i));

    for (int i = 0; i < 8; i++)
        SetFunction(m_side - 1 - i, 8, bit(i));
    for (int i = 8; i < 15; i++)
        SetFunction(8, m_side - 15 + i, bit(i));
    SetFunction(8, m_side - 8, true);
}

// Two 6x3 copies, beside the upper right and the lower left finder, from version 7.
void XQRMatrix::DrawVersionInformation()
{
    if (m_version < 7)
        return;
    uint32_t bits = QRVersionBits(m_version);
    for (int i = 0; i < 18; i++) {
        bool dark = ((bits >> i) & 1) != 0;
        int a = m_side - 11 + i % 3;
        int b = i / 3;
        SetFunction(a, b, dark);
        SetFunction(b, a, dark);
    }
}

// Codeword bits, most significant first, into the non-function modules: column pairs
// from the right edge (the vertical timing column skipped), alternately upwards and
// downwards. Modules left over are the remainder bits, light.
void XQRMatrix::PlaceCodewords(const uint8_t *codewords, int count)
{
    int bitCount = count * 8;
    int i = 0;
    for (int right = m_side - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < m_side; vert++) {
            int y = upward ? m_side - 1 - vert : vert;
            for (int j = 0; j < 2; j++) {
                int x = right - j;
                if (IsFunction(x, y) || i >= bitCount)
                    continue;
                Set(x, y, ((codewords[i >> 3] >> (7 - (i & 7))) & 1) != 0);
                i++;
            }
        }
    }
}

void XQRMatrix::ApplyMask0()
{
    for (int x = 0; x < m_side; x++) {
        for (int y = (x & 1); y < m_side; y += 2) {
            if (!IsFunction(x, y))
                m_modules[x * m_side + y] ^= 1;
        }
    }
}
