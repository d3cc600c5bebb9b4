#include "datakit/qr_encoder.h"

#include <cstdint>

#include "corekit/encoding/encoding.h"
#include "datakit/code_page.h"
#include "datakit/qr_tables.h"
#include "datakit/reed_solomon.h"

namespace {

// First and last version of each version group.
constexpr int kGroupVersions[3][2] = {{1, 9}, {10, 26}, {27, 40}};

// Pad codewords that fill the data capacity after the terminator, alternately.
constexpr uint8_t kPadCodewords[2] = {0xEC, 0x11};

constexpr int kTerminatorBits = 4;

// Most characters any version holds: digits in numeric mode, three per 10 bits after the
// mode indicator and the 14-bit count of version 40.
constexpr size_t kMaxCharacters = (QRDataCodewordsL(kQRMaxVersion) * 8 - 4 - 14) * 3 / 10;
static_assert(kMaxCharacters == 7089);

// Writes bits, most significant first, into a zero-filled codeword buffer that is
// known to be large enough.
class BitWriter
{
public:
    explicit BitWriter(uint8_t *data) : m_data(data) {}

    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; i--, m_position++) {
            if ((value >> i) & 1)
                m_data[m_position >> 3] |= static_cast<uint8_t>(0x80 >> (m_position & 7));
        }
    }
    void Skip(size_t bits) { m_position += bits; }
    size_t GetPosition() const { return m_position; }

private:
    uint8_t *m_data;
    size_t m_position = 0;
};

void PutNumeric(BitWriter &out, const uint8_t *p, uint32_t count)
{
    for (uint32_t i = 0; i < count; i += 3) {
        uint32_t digits = count - i < 3 ? count - i : 3;
        uint32_t value = 0;
        for (uint32_t j = 0; j < digits; j++)
            value = value * 10 + (p[i + j] - '0');
        out.Put(value, digits * 3 + 1);
    }
}

void PutAlphanumeric(BitWriter &out, const uint8_t *p, uint32_t count)
{
    uint32_t i = 0;
    for (; i + 1 < count; i += 2)
        out.Put(QRAlphanumericValue(p[i]) * 45 + QRAlphanumericValue(p[i + 1]), 11);
    if (i < count)
        out.Put(QRAlphanumericValue(p[i]), 6);
}

// Shift-JIS pair to its 13-bit value: the pair less 0x8140 (or 0xC140 from 0xE040
// up), then high byte * 0xC0 + low byte.
void PutKanji(BitWriter &out, const uint8_t *p, uint32_t count)
{
    for (uint32_t i = 0; i < count; i++) {
        uint32_t code = static_cast<uint32_t>(p[2 * i]) << 8 | p[2 * i + 1];
        code -= code >= 0xE040 ? 0xC140 : 0x8140;
        out.Put((code >> 8) * 0xC0 + (code & 0xFF), 13);
    }
}

void PutSegment(BitWriter &out, const uint8_t *text, const QRSegment_t &segment, int group)
{
    uint32_t count = QRSegmentCount(segment);
    const uint8_t *p = text + segment.begin;
    out.Put(segment.mode, 4);
    out.Put(count, QRCountBits(segment.mode, group));
    switch (segment.mode) {
    case kQRModeNumeric:
        PutNumeric(out, p, count);
        break;
    case kQRModeAlphanumeric:
        PutAlphanumeric(out, p, count);
        break;
    case kQRModeByte:
        for (uint32_t i = 0; i < count; i++)
            out.Put(p[i], 8);
        break;
    default:
        PutKanji(out, p, count);
        break;
    }
}

// Bits of the segments with the count widths of a group; SIZE_MAX when a count does
// not fit its indicator.
size_t StreamBits(const std::vector<QRSegment_t> &segments, int group)
{
    size_t bits = 0;
    for (const QRSegment_t &s : segments) {
        if (QRSegmentCount(s) >= (1u << QRCountBits(s.mode, group)))
            return SIZE_MAX;
        bits += QRSegmentBits(s, group);
    }
    return bits;
}

} // namespace

void XQRCode::Clear()
{
    m_segments.clear();
    m_data.clear();
    m_codewords.clear();
    m_matrix.Build(0, nullptr);
}

bool XQRCode::EncodeText(const char16_t *text)
{
    Clear();
    if (!text)
        return false;
    int length = 0;
    while (text[length])
        length++;
    // Room past the limit for the longest character of a code page, so that a text
    // just over the limit still shows as over it.
    char bytes[kQRTextMaxBytes + 8];
    unsigned n = WStrToAStr(text, length, bytes, sizeof bytes);
    if (n > kQRTextMaxBytes)
        return false;
    return EncodeBytes(reinterpret_cast<const uint8_t *>(bytes), n, AnsiCodePageNumber());
}

bool XQRCode::EncodeBytes(const uint8_t *text, size_t n, int codepage)
{
    Clear();
    // More digits than version 40 holds cannot fit in any mode; refusing them early
    // also keeps the offsets within 32 bits.
    if (n > kMaxCharacters || (!text && n > 0))
        return false;
    int version = ChooseVersion(text, n, codepage);
    if (version == 0) {
        Clear();
        return false;
    }
    WriteBitStream(text, version);
    InterleaveBlocks(version);
    m_matrix.Build(version, m_codewords.data());
    return true;
}

// The smallest version whose level-L data capacity holds the segments, costed with the
// count widths of each version group in turn; 0 when none does.
int XQRCode::ChooseVersion(const uint8_t *text, size_t n, int codepage)
{
    for (int group = 0; group < 3; group++) {
        SegmentQRText(text, n, codepage, group, m_segments);
        size_t bits = StreamBits(m_segments, group);
        for (int v = kGroupVersions[group][0]; v <= kGroupVersions[group][1]; v++) {
            if (bits <= static_cast<size_t>(QRDataCodewordsL(v)) * 8)
                return v;
        }
    }
    return 0;
}

// Segments, terminator, zero bits to the byte boundary, then pad codewords.
void XQRCode::WriteBitStream(const uint8_t *text, int version)
{
    size_t capacity = QRDataCodewordsL(version);
    int group = QRVersionGroup(version);
    m_data.assign(capacity, 0);
    BitWriter out(m_data.data());
    for (const QRSegment_t &segment : m_segments)
        PutSegment(out, text, segment, group);
    size_t room = capacity * 8 - out.GetPosition();
    out.Skip(room < kTerminatorBits ? room : kTerminatorBits);
    size_t used = (out.GetPosition() + 7) / 8;
    for (size_t i = used; i < capacity; i++)
        m_data[i] = kPadCodewords[(i - used) % 2];
}

// Splits the data codewords into blocks (the longer blocks last), computes each block's
// error correction codewords, and interleaves: the i-th data codeword of every block in
// turn, then the i-th error correction codeword of every block in turn.
void XQRCode::InterleaveBlocks(int version)
{
    const QRBlockLayout_t &layout = kQRBlocksL[version];
    int blocks = layout.blocks;
    int eccLength = layout.eccPerBlock;
    int dataTotal = QRDataCodewordsL(version);
    int shortLength = dataTotal / blocks;
    int shortBlocks = blocks - dataTotal % blocks;

    std::vector<uint8_t> ecc(static_cast<size_t>(blocks) * eccLength);
    std::vector<int> offsets(blocks + 1);
    for (int b = 0; b <= blocks; b++)
        offsets[b] = b * shortLength + (b > shortBlocks ? b - shortBlocks : 0);
    for (int b = 0; b < blocks; b++) {
        ComputeReedSolomon(m_data.data() + offsets[b], offsets[b + 1] - offsets[b], eccLength,
                           ecc.data() + static_cast<size_t>(b) * eccLength);
    }

    m_codewords.clear();
    m_codewords.reserve(layout.totalCodewords);
    for (int i = 0; i <= shortLength; i++) {
        for (int b = 0; b < blocks; b++) {
            if (offsets[b] + i < offsets[b + 1])
                m_codewords.push_back(m_data[offsets[b] + i]);
        }
    }
    for (int i = 0; i < eccLength; i++) {
        for (int b = 0; b < blocks; b++)
            m_codewords.push_back(ecc[static_cast<size_t>(b) * eccLength + i]);
    }
}
