// XSortHelper: placing the items that waited since the last read.
//
// An item added outside unique mode waits as a record until the next read. A few records
// joining a long chain are placed one by one through the search index. A larger batch is
// sorted on its own and merged into the chain: a record carries 64-bit images of its keys
// whose unsigned order is the key order, and the records are sorted by a stable radix sort,
// least significant digit first, that skips every digit the whole batch shares. Texts have
// no such image beyond their first units; with a text key the batch is sorted by
// comparisons instead. The nodes are then made in the batch's order, so that readers walk
// memory forward.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "corekit/containers/xsort_helper.h"
#include "corekit/containers/xsort_node.h"
#include "corekit/containers/xsort_records.h"
#include "corekit/memory/huge_pages.h"

namespace {

// A 64-bit image of a key value whose unsigned order is the key order: exact for integers,
// floaters (-0 equal to 0, every NaN equal and above all numbers) and date-times; for texts
// the first four units, so that equal images still need the full comparison.
uint64_t KeyImage(unsigned char type, const XVarValue &v)
{
    constexpr uint64_t kTop = uint64_t{1} << 63;
    switch (type) {
    case kVarInteger:
        return static_cast<uint64_t>(v.integer) ^ kTop;
    case kVarFloater: {
        if (std::isnan(v.floater))
            return ~uint64_t{0};
        const double x = v.floater == 0 ? 0.0 : v.floater;
        uint64_t bits = 0;
        std::memcpy(&bits, &x, sizeof(bits));
        return (bits & kTop) != 0 ? ~bits : bits | kTop;
    }
    case kVarDateTime: {
        const DATETIME_t &t = v.time;
        return uint64_t{t.wYear} << 48 | uint64_t{t.bMonth} << 40 | uint64_t{t.bDay} << 32 |
               uint64_t{t.bHour} << 24 | uint64_t{t.bMinute} << 16 | uint64_t{t.bSecond} << 8 |
               t.bMilli;
    }
    default: {
        uint64_t image = 0;
        const char16_t *text = v.text;
        for (int i = 0; i < 4; ++i) {
            const char16_t unit = text != nullptr ? *text : 0;
            image = image << 16 | unit;
            if (unit != 0)
                ++text;
        }
        return image;
    }
    }
}

// A record: word 0 is the meta word, 1 the item and [2, k + 2) the key values (zero for a
// null key). The meta word holds the insertion number in its high half and the null flags
// in its low byte (bit i for key i).
constexpr unsigned int kValues = 2;

// Largest arena allocation that the nodes of a batch are carved from.
constexpr size_t kBatchRegionBytes = size_t{32} << 20;
// Most radix passes a batch is sorted with; beyond, it is sorted by comparisons.
constexpr size_t kMaxRadixPasses = 12;

uint64_t Bits(const XVarValue &v)
{
    return static_cast<uint64_t>(v.integer);
}

// The null flags of a record's meta word as the byte per key that KeyView reads.
void UnpackNulls(uint64_t meta, unsigned int keys, uint8_t *nulls)
{
    for (unsigned int k = 0; k < keys; ++k)
        nulls[k] = (meta >> k) & 1;
}

} // namespace

// One radix digit: the byte at shift of the image of a key, or with rank set, the key's
// rank (which orders before its image: 0 for a null in ascending order and for a value in
// descending order, else 1).
struct XSortHelper::Digit
{
    unsigned int key;
    bool rank;
    unsigned int shift;
};

// The image of a record's key, inverted for a descending key (zero's image for a null).
uint64_t XSortHelper::ImageOf(const XVarValue *record, unsigned int key) const
{
    const uint64_t image = KeyImage(m_types[key], record[kValues + key]);
    return m_descending[key] != 0 ? ~image : image;
}

void XSortHelper::AddWaiting(const KeyView &keys, void *item)
{
    XVarValue *record = m_waiting->Append();
    uint64_t meta = uint64_t{m_count} << 32;
    for (unsigned int k = 0; k < m_keys; ++k) {
        const bool null = keys.nulls != nullptr && keys.nulls[k] != 0;
        meta |= uint64_t{null ? 1u : 0u} << k;
        record[kValues + k].integer = 0;
        if (!null)
            record[kValues + k] = keys.values[k];
    }
    record[0].integer = static_cast<int64_t>(meta);
    record[1].integer = static_cast<int64_t>(reinterpret_cast<intptr_t>(item));
}

XSortHelper::KeyView XSortHelper::RecordKeys(const XVarValue *record, uint8_t *nulls) const
{
    UnpackNulls(Bits(record[0]), m_keys, nulls);
    return KeyView{nulls, record + kValues};
}

void *XSortHelper::RecordItem(const XVarValue *record)
{
    return reinterpret_cast<void *>(static_cast<intptr_t>(record[1].integer));
}

uint32_t XSortHelper::RecordOrder(const XVarValue *record)
{
    return static_cast<uint32_t>(Bits(record[0]) >> 32);
}

int XSortHelper::CompareRecords(const XVarValue *a, const XVarValue *b) const
{
    uint8_t nullsA[kMaxKeys] = {}, nullsB[kMaxKeys] = {};
    return CompareKeys(RecordKeys(a, nullsA), RecordKeys(b, nullsB));
}

void XSortHelper::Flush() const
{
    const size_t n = m_waiting->Size();
    if (n == 0)
        return;
    const unsigned int placed = m_count - static_cast<unsigned int>(n);
    if (placed != 0 && n <= placed / 16)
        PlaceEach();
    else
        PlaceBatch();
    m_waiting->Clear();
}

void XSortHelper::PlaceEach() const
{
    const bool right = TiesGoRight();
    for (size_t i = 0; i < m_waiting->Size(); ++i) {
        const XVarValue *record = m_waiting->At(i);
        uint8_t nulls[kMaxKeys] = {};
        XSortNode *node =
            MakeNode(RecordKeys(record, nulls), RecordItem(record), RecordOrder(record));
        XSortNode *update[kMaxLevel] = {};
        Locate(ViewOf(node), right, update);
        Link(node, update);
    }
}

void XSortHelper::PlaceBatch() const
{
    // Radix passes cost a sweep of the batch each; many of them (wide keys that all vary)
    // lose against sorting by comparisons, which the first key's image mostly settles.
    std::vector<const XVarValue *> sorted;
    const std::vector<Digit> digits = m_exactKeys ? ActiveDigits() : std::vector<Digit>{};
    if (m_exactKeys && digits.size() <= kMaxRadixPasses)
        SortWaitingByRadix(digits);
    else
        sorted = SortWaitingByComparison();
    MergeIntoChain(MakeBatchNodes(sorted));
}

XSortNode *XSortHelper::MakeBatchNodes(const std::vector<const XVarValue *> &sorted) const
{
    const size_t n = m_waiting->Size();
    std::vector<uint8_t> levels(n);
    for (uint8_t &level : levels)
        level = static_cast<uint8_t>(RandomLevel());
    // The nodes are carved in their order from a few large arena allocations.
    XSortNode *first = nullptr;
    XSortNode **tail = &first;
    for (size_t i = 0; i < n;) {
        size_t bytes = 0, end = i;
        for (; end < n && bytes < kBatchRegionBytes; ++end)
            bytes += NodeBytes(levels[end]);
        auto *at = static_cast<unsigned char *>(AllocAligned(static_cast<uint32_t>(bytes)));
        if (bytes >= 2 * kHugePageBytes)
            AdviseHugePages(at, bytes);
        for (; i < end; ++i) {
            const XVarValue *record = sorted.empty() ? m_waiting->At(i) : sorted[i];
            uint8_t nulls[kMaxKeys] = {};
            XSortNode *node = FillNode(at, levels[i], RecordKeys(record, nulls), RecordItem(record),
                                       RecordOrder(record));
            at += NodeBytes(levels[i]);
            *tail = node;
            tail = &node->next;
        }
    }
    *tail = nullptr;
    return first;
}

void XSortHelper::MergeIntoChain(XSortNode *pending) const
{
    // The placed items arrived before every pending one.
    const bool right = TiesGoRight();
    XSortNode *placedChain = m_first;
    XSortNode **tail = &m_first;
    while (placedChain != nullptr && pending != nullptr) {
        const int c = CompareNode(pending, placedChain);
        XSortNode *&take = c < 0 || (c == 0 && !right) ? pending : placedChain;
        *tail = take;
        tail = &take->next;
        take = take->next;
    }
    *tail = placedChain != nullptr ? placedChain : pending;
    RebuildLinks();
}

namespace {

// Moves each record of `from` to slot start[digit]++ of `to`, for records of W values.
template <unsigned int W>
void Scatter(const XSortRecords &from, XSortRecords &to, const uint8_t *digits, size_t *start)
{
    for (size_t i = 0; i < from.Size(); ++i)
        std::memcpy(static_cast<void *>(to.At(start[digits[i]]++)), from.At(i),
                    W * sizeof(XVarValue));
}

using ScatterCall = void (*)(const XSortRecords &, XSortRecords &, const uint8_t *, size_t *);
// Scatter for records of 2 + k values, k = 0 ... 8.
constexpr ScatterCall kScatters[] = {Scatter<2>, Scatter<3>, Scatter<4>, Scatter<5>, Scatter<6>,
                                     Scatter<7>, Scatter<8>, Scatter<9>, Scatter<10>};

} // namespace

// One stable counting pass of the waiting records by digit d into the spare store, which
// then becomes the waiting one; digits is room for one byte per record.
void XSortHelper::RadixPass(const Digit &d, std::vector<uint8_t> &digits) const
{
    const size_t n = m_waiting->Size();
    size_t start[256] = {};
    for (size_t i = 0; i < n; ++i) {
        const XVarValue *record = m_waiting->At(i);
        const bool null = ((Bits(record[0]) >> d.key) & 1) != 0;
        const uint64_t digit = d.rank ? null == (m_descending[d.key] != 0)
                                      : (ImageOf(record, d.key) >> d.shift) & 0xFF;
        digits[i] = static_cast<uint8_t>(digit);
        ++start[digit];
    }
    size_t sum = 0;
    for (size_t &s : start)
        sum += std::exchange(s, sum);
    m_spare->Reset(m_waiting->Words());
    m_spare->Resize(n);
    kScatters[m_keys](*m_waiting, *m_spare, digits.data(), start);
    m_waiting->Swap(*m_spare);
}

// The digits that differ somewhere among the waiting records, least significant first:
// for keys k-1 down to 0 the eight bytes of the image, then the rank.
std::vector<XSortHelper::Digit> XSortHelper::ActiveDigits() const
{
    uint64_t all[kMaxKeys], any[kMaxKeys] = {};
    std::fill(all, all + kMaxKeys, ~uint64_t{0});
    uint64_t nullsAll = ~uint64_t{0}, nullsAny = 0;
    for (size_t i = 0; i < m_waiting->Size(); ++i) {
        const XVarValue *record = m_waiting->At(i);
        for (unsigned int k = 0; k < m_keys; ++k) {
            const uint64_t image = ImageOf(record, k);
            all[k] &= image;
            any[k] |= image;
        }
        nullsAll &= Bits(record[0]);
        nullsAny |= Bits(record[0]);
    }
    std::vector<Digit> digits;
    for (unsigned int k = m_keys; k-- > 0;) {
        const uint64_t varying = all[k] ^ any[k];
        for (unsigned int shift = 0; shift < 64; shift += 8)
            if (((varying >> shift) & 0xFF) != 0)
                digits.push_back(Digit{k, false, shift});
        if ((((nullsAll ^ nullsAny) >> k) & 1) != 0)
            digits.push_back(Digit{k, true, 0});
    }
    return digits;
}

void XSortHelper::SortWaitingByRadix(const std::vector<Digit> &active) const
{
    // A stable sort keeps equal records in the order they start in: arrival order, or
    // reversed when ties go left.
    if (!TiesGoRight()) {
        const size_t n = m_waiting->Size();
        const unsigned int words = m_waiting->Words();
        m_spare->Reset(words);
        m_spare->Resize(n);
        for (size_t i = 0; i < n; ++i)
            std::copy(m_waiting->At(i), m_waiting->At(i) + words, m_spare->At(n - 1 - i));
        m_waiting->Swap(*m_spare);
    }
    std::vector<uint8_t> digits(m_waiting->Size());
    for (const Digit &d : active)
        RadixPass(d, digits);
}

std::vector<const XVarValue *> XSortHelper::SortWaitingByComparison() const
{
    struct Entry
    {
        uint64_t image; // first key's image, null flag and rank settled below
        const XVarValue *record;
    };
    std::vector<Entry> entries;
    entries.reserve(m_waiting->Size());
    for (size_t i = 0; i < m_waiting->Size(); ++i) {
        const XVarValue *record = m_waiting->At(i);
        entries.push_back(Entry{m_keys != 0 ? ImageOf(record, 0) : 0, record});
    }
    // The first key's image settles most comparisons (a null first key is decided by the
    // full comparison); the insertion number (meta's high half) settles equal items.
    const bool right = TiesGoRight();
    std::sort(entries.begin(), entries.end(), [this, right](const Entry &a, const Entry &b) {
        const uint64_t metaA = Bits(a.record[0]), metaB = Bits(b.record[0]);
        if ((metaA & 1) == 0 && (metaB & 1) == 0 && a.image != b.image)
            return a.image < b.image;
        if (const int c = CompareRecords(a.record, b.record))
            return c < 0;
        return right ? metaA >> 32 < metaB >> 32 : metaA >> 32 > metaB >> 32;
    });
    std::vector<const XVarValue *> order;
    order.reserve(entries.size());
    for (const Entry &e : entries)
        order.push_back(e.record);
    return order;
}

void XSortHelper::RebuildLinks() const
{
    XSortNode *tails[kMaxLevel] = {};
    m_levels = 1;
    for (XSortNode *&head : m_heads)
        head = nullptr;
    XSortNode *prev = nullptr;
    for (XSortNode *n = m_first; n != nullptr; prev = n, n = n->next) {
        n->prev = prev;
        for (unsigned int level = 1; level < n->levels; ++level) {
            SetNextAt(tails[level], level, n);
            tails[level] = n;
        }
        if (n->levels > m_levels)
            m_levels = n->levels;
    }
    for (unsigned int level = 1; level < kMaxLevel; ++level)
        if (tails[level] != nullptr)
            SetNextAt(tails[level], level, nullptr);
    m_last = prev;
}
