#pragma once
// QR Code Model 2 encoder: level L, the smallest version that holds the text, mask 0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "datakit/datakit_export.h"
#include "datakit/qr_matrix.h"
#include "datakit/qr_segments.h"

// Longest text, in bytes of the code page, that is encoded; longer texts are refused.
inline constexpr size_t kQRTextMaxBytes = 1280;

class DATAKIT_EXPORT XQRCode
{
public:
    // Converts text to corekit's ANSI code page (characters it cannot map become '?')
    // and encodes the bytes, Kanji mode only under Shift-JIS. False, with an empty
    // symbol, for a null text, more than kQRTextMaxBytes bytes, or a text no version
    // holds.
    bool EncodeText(const char16_t *text);
    // Encodes n bytes of text in a code page (Windows code-page number), up to the
    // capacity of version 40. False, with an empty symbol, when no version holds them.
    bool EncodeBytes(const uint8_t *text, size_t n, int codepage);

    // 1-40, or 0 when nothing is encoded.
    int GetVersion() const { return m_matrix.GetVersion(); }
    // 17 + 4 * version modules per side, or 0.
    int GetSide() const { return m_matrix.GetSide(); }
    bool IsDark(int x, int y) const { return m_matrix.IsDark(x, y); }
    const XQRMatrix &GetMatrix() const { return m_matrix; }
    // The segments of the last successful encoding.
    const std::vector<QRSegment_t> &GetSegments() const { return m_segments; }
    // The data codewords (with padding) of the last successful encoding.
    const std::vector<uint8_t> &GetDataCodewords() const { return m_data; }

private:
    int ChooseVersion(const uint8_t *text, size_t n, int codepage);
    void WriteBitStream(const uint8_t *text, int version);
    void InterleaveBlocks(int version);
    void Clear();

    std::vector<QRSegment_t> m_segments;
    std::vector<uint8_t> m_data;
    std::vector<uint8_t> m_codewords;
    XQRMatrix m_matrix;
};
