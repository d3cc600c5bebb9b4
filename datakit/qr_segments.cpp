#include "datakit/qr_segments.h"

#include <array>

namespace {

// Character count indicator widths. Rows: version group (1-9, 10-26, 27-40); columns:
// numeric, alphanumeric, 8-bit byte, Kanji.
constexpr uint8_t kCountBits[3][4] = {
    {10, 9, 8, 8},
    {12, 11, 16, 10},
    {14, 13, 16, 12},
};

constexpr int kModeIndicatorBits = 4;

// The alphanumeric mode character set in value order.
constexpr char kAlphanumericChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

constexpr std::array<int8_t, 256> MakeAlphanumericValues()
{
    std::array<int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; kAlphanumericChars[i]; i++)
        values[static_cast<uint8_t>(kAlphanumericChars[i])] = static_cast<int8_t>(i);
    return values;
}
constexpr std::array<int8_t, 256> kAlphanumericValues = MakeAlphanumericValues();

constexpr int kShiftJis = 932;

int ModeColumn(uint8_t mode)
{
    switch (mode) {
    case kQRModeNumeric:
        return 0;
    case kQRModeAlphanumeric:
        return 1;
    case kQRModeByte:
        return 2;
    default:
        return 3;
    }
}

// Bits of the data part for count characters.
uint32_t DataBits(uint8_t mode, uint32_t count)
{
    static constexpr uint8_t kNumericTail[3] = {0, 4, 7};
    switch (mode) {
    case kQRModeNumeric:
        return 10 * (count / 3) + kNumericTail[count % 3];
    case kQRModeAlphanumeric:
        return 11 * (count / 2) + 6 * (count % 2);
    case kQRModeByte:
        return 8 * count;
    default:
        return 13 * count;
    }
}

uint32_t RunBits(uint8_t mode, uint32_t length, int group)
{
    return QRSegmentBits(QRSegment_t{mode, 0, length}, group);
}

// First byte of a two-byte character in a double-byte code page.
bool IsLeadByte(int codepage, uint8_t b)
{
    switch (codepage) {
    case kShiftJis:
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
        return b >= 0x81 && b <= 0xFE;
    default:
        return false;
    }
}

bool IsKanjiPair(uint8_t hi, uint8_t lo)
{
    if (lo < 0x40 || lo > 0xFC)
        return false;
    return (hi >= 0x81 && hi <= 0x9F) || (hi >= 0xE0 && hi <= 0xEA) || (hi == 0xEB && lo <= 0xBF);
}

uint8_t ByteMode(uint8_t b)
{
    if (b >= '0' && b <= '9')
        return kQRModeNumeric;
    return kAlphanumericValues[b] >= 0 ? kQRModeAlphanumeric : kQRModeByte;
}

void AppendRun(std::vector<QRSegment_t> &runs, uint8_t mode, uint32_t begin, uint32_t length)
{
    if (!runs.empty() && runs.back().mode == mode)
        runs.back().length += length;
    else
        runs.push_back(QRSegment_t{mode, begin, length});
}

// Runs of consecutive characters of one class.
void Classify(const uint8_t *text, size_t n, int codepage, std::vector<QRSegment_t> &runs)
{
    for (size_t i = 0; i < n;) {
        uint32_t at = static_cast<uint32_t>(i);
        if (i + 1 < n && IsLeadByte(codepage, text[i])) {
            bool kanji = codepage == kShiftJis && IsKanjiPair(text[i], text[i + 1]);
            AppendRun(runs, kanji ? kQRModeKanji : kQRModeByte, at, 2);
            i += 2;
        } else {
            AppendRun(runs, ByteMode(text[i]), at, 1);
            i++;
        }
    }
}

// Merges runs of one mode that have come to stand side by side.
void Coalesce(std::vector<QRSegment_t> &runs)
{
    size_t out = 0;
    for (size_t i = 0; i < runs.size(); i++) {
        if (out > 0 && runs[out - 1].mode == runs[i].mode)
            runs[out - 1].length += runs[i].length;
        else
            runs[out++] = runs[i];
    }
    runs.resize(out);
}

// Bits saved by giving runs [first, last] the mode `mode` and joining them with the
// neighbours on either side that already have it. Negative when it costs bits.
long JoinGain(const std::vector<QRSegment_t> &runs, size_t first, size_t last, uint8_t mode,
              int group)
{
    long separate = 0;
    uint32_t length = 0;
    size_t from = first > 0 && runs[first - 1].mode == mode ? first - 1 : first;
    size_t to = last + 1 < runs.size() && runs[last + 1].mode == mode ? last + 1 : last;
    for (size_t i = from; i <= to; i++) {
        separate += QRSegmentBits(runs[i], group);
        length += runs[i].length;
    }
    return separate - static_cast<long>(RunBits(mode, length, group));
}

bool HasNeighbour(const std::vector<QRSegment_t> &runs, size_t i, uint8_t mode)
{
    return (i > 0 && runs[i - 1].mode == mode) || (i + 1 < runs.size() && runs[i + 1].mode == mode);
}

// First pass: a numeric run beside an alphanumeric run becomes alphanumeric when that
// saves bits, unless joining a neighbouring 8-bit run would save more (the second pass
// then takes it there).
void MergeIntoAlphanumeric(std::vector<QRSegment_t> &runs, int group)
{
    for (size_t i = 0; i < runs.size();) {
        if (runs[i].mode != kQRModeNumeric || !HasNeighbour(runs, i, kQRModeAlphanumeric)) {
            i++;
            continue;
        }
        long gainA = JoinGain(runs, i, i, kQRModeAlphanumeric, group);
        long gainB =
            HasNeighbour(runs, i, kQRModeByte) ? JoinGain(runs, i, i, kQRModeByte, group) : 0;
        if (gainA <= 0 || gainA < gainB) {
            i++;
            continue;
        }
        runs[i].mode = kQRModeAlphanumeric;
        Coalesce(runs);
        // The joined run now starts at i - 1 at the earliest; the run before it has a
        // new neighbour and is looked at again.
        i = i >= 2 ? i - 2 : 0;
    }
}

// Second pass: one run, or two adjacent runs, that are not 8-bit become 8-bit together
// with their 8-bit neighbours when the joined run is shorter than the separate ones.
void MergeIntoByte(std::vector<QRSegment_t> &runs, int group)
{
    for (size_t i = 0; i < runs.size();) {
        bool merged = false;
        for (size_t width = 1; width <= 2 && !merged && i + width <= runs.size(); width++) {
            size_t last = i + width - 1;
            if (runs[last].mode == kQRModeByte || runs[i].mode == kQRModeByte)
                break;
            if (JoinGain(runs, i, last, kQRModeByte, group) > 0) {
                for (size_t j = i; j <= last; j++)
                    runs[j].mode = kQRModeByte;
                merged = true;
            }
        }
        if (!merged) {
            i++;
            continue;
        }
        Coalesce(runs);
        // The joined run now starts at i - 1 at the earliest; windows that end just
        // before it are looked at again.
        i = i >= 3 ? i - 3 : 0;
    }
}

} // namespace

int QRVersionGroup(int version)
{
    return version <= 9 ? 0 : version <= 26 ? 1 : 2;
}

int QRCountBits(uint8_t mode, int group)
{
    return kCountBits[group][ModeColumn(mode)];
}

uint32_t QRSegmentBits(const QRSegment_t &segment, int group)
{
    return kModeIndicatorBits + QRCountBits(segment.mode, group) +
           DataBits(segment.mode, QRSegmentCount(segment));
}

int QRAlphanumericValue(uint8_t c)
{
    return kAlphanumericValues[c];
}

void SegmentQRText(const uint8_t *text, size_t n, int codepage, int group,
                   std::vector<QRSegment_t> &segments)
{
    segments.clear();
    Classify(text, n, codepage, segments);
    MergeIntoAlphanumeric(segments, group);
    MergeIntoByte(segments, group);
}
