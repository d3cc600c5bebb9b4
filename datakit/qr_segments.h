#pragma once
// Division of a QR Code text (bytes in a code page) into mode segments.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "datakit/datakit_export.h"

// Mode indicators.
enum : uint8_t {
    kQRModeNumeric = 1,
    kQRModeAlphanumeric = 2,
    kQRModeByte = 4,
    kQRModeKanji = 8,
};

// A run of bytes [begin, begin + length) encoded in one mode. A Kanji segment holds
// length / 2 characters, the others one character per byte.
struct QRSegment_t
{
    uint8_t mode;
    uint32_t begin;
    uint32_t length;
};

// Version groups that share count-indicator widths: 0 for versions 1-9, 1 for 10-26,
// 2 for 27-40.
DATAKIT_EXPORT int QRVersionGroup(int version);
// Width of the character count indicator of a mode in a version group.
DATAKIT_EXPORT int QRCountBits(uint8_t mode, int group);
// Bits a segment takes in the stream: mode indicator, count and data.
DATAKIT_EXPORT uint32_t QRSegmentBits(const QRSegment_t &segment, int group);
// Characters the count indicator of a segment holds.
inline uint32_t QRSegmentCount(const QRSegment_t &segment)
{
    return segment.mode == kQRModeKanji ? segment.length / 2 : segment.length;
}

// Value (0-44) of an alphanumeric-mode character, -1 for other bytes.
DATAKIT_EXPORT int QRAlphanumericValue(uint8_t c);

// Splits n bytes of text in the given code page (Windows code-page number) into
// segments, costed with the count widths of a version group. Bytes are classified as
// numeric, alphanumeric or 8-bit; under Shift-JIS (932) a character in the Kanji ranges
// 0x8140-0x9FFC and 0xE040-0xEBBF is a Kanji pair. Under a double-byte code page the two
// bytes of one character always stay in one segment. Then numeric and alphanumeric
// neighbours are merged into alphanumeric runs where that is shorter, and runs are
// merged into 8-bit runs where that is shorter.
DATAKIT_EXPORT void SegmentQRText(const uint8_t *text, size_t n, int codepage, int group,
                                  std::vector<QRSegment_t> &segments);
