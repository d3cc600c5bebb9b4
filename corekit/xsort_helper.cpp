// The sorted chain is a skip list: level 0 is the doubly linked chain that callers walk,
// and each node carries a random number of higher forward links, so an insertion finds its
// place in O(log n) comparisons without walking the chain.
#include "corekit/xsort_helper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "corekit/strings.h"
#include "corekit/systime.h"

// A node in the arena: this header, then k null flags padded to 8 bytes, then k eight-byte
// values, then levels - 1 higher forward links. Its size is a multiple of 8.
struct XSortNode
{
    uint32_t order; // insertion number
    uint32_t count; // duplicate count, starts at 1
    void *item;
    XSortNode *next;
    XSortNode *prev;
    uint32_t levels;
    uint32_t reserved;
};

// A node's first key reduced to a rank (null or value) and 64 bits whose unsigned order
// never contradicts the key order; ties are settled by the full comparison.
struct XSortEntry
{
    uint64_t prefix;
    uint32_t rank;
    XSortNode *node;
};

namespace {

constexpr uint32_t RoundUp8(uint32_t n)
{
    return (n + 7u) & ~7u;
}

// The keys sit right after the header, at a fixed offset, so comparing two nodes reads
// one cache line of each for the first keys.
uint8_t *NullsOf(const XSortNode *n)
{
    return reinterpret_cast<uint8_t *>(const_cast<XSortNode *>(n) + 1);
}

template <typename T> int Sign(const T &a, const T &b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

// Numeric order with NaN above every number and equal to itself, so that the order stays
// consistent (a sort given an inconsistent order may misbehave).
int CompareFloater(double a, double b)
{
    const bool nanA = std::isnan(a);
    const bool nanB = std::isnan(b);
    if (nanA || nanB)
        return nanA == nanB ? 0 : nanA ? 1 : -1;
    return Sign(a, b);
}

uint64_t KeyPrefix(unsigned char type, const XVarValue &v)
{
    constexpr uint64_t kTop = uint64_t{1} << 63;
    switch (type) {
    case kVarInteger:
        return static_cast<uint64_t>(v.integer) ^ kTop;
    case kVarFloater: {
        if (std::isnan(v.floater))
            return ~uint64_t{0};
        const double x = v.floater == 0 ? 0.0 : v.floater; // -0 equals 0
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
        uint64_t prefix = 0;
        const char16_t *text = v.text;
        for (int i = 0; i < 4; ++i) {
            const char16_t unit = text != nullptr ? *text : 0;
            prefix = prefix << 16 | unit;
            if (unit != 0)
                ++text;
        }
        return prefix;
    }
    }
}

} // namespace

XSortHelper::XSortHelper() = default;

XSortHelper::~XSortHelper() = default;

// ---- Keys ----------------------------------------------------------------------------

int XSortHelper::SetType(const unsigned char *types, const unsigned char *descending,
                         unsigned int k)
{
    if (k > kMaxKeys || (types == nullptr && k != 0))
        return 0;
    for (unsigned int i = 0; i < k; ++i)
        if (types[i] < kVarInteger || types[i] > kVarDateTime)
            return 0;
    // Nodes are laid out for the key count, so a new key set starts from no items.
    ClearHelper();
    m_keys = k;
    for (unsigned int i = 0; i < kMaxKeys; ++i) {
        m_types[i] = i < k ? types[i] : 0;
        m_descending[i] = i < k && descending != nullptr && descending[i] != 0;
    }
    return 1;
}

void XSortHelper::SetUniqueMode()
{
    // Unique mode searches the sorted chain on every addition.
    Flush();
    m_unique = true;
}

int XSortHelper::CompareKeys(const KeyView &a, const KeyView &b) const
{
    for (unsigned int i = 0; i < m_keys; ++i) {
        const bool nullA = a.nulls != nullptr && a.nulls[i] != 0;
        const bool nullB = b.nulls != nullptr && b.nulls[i] != 0;
        int c = 0;
        if (nullA || nullB) {
            c = nullA == nullB ? 0 : nullA ? -1 : 1;
        } else if (m_types[i] == kVarInteger) {
            c = Sign(a.values[i].integer, b.values[i].integer);
        } else if (m_types[i] == kVarText) {
            c = Strcmp(a.values[i].text, b.values[i].text);
        } else if (m_types[i] == kVarFloater) {
            c = CompareFloater(a.values[i].floater, b.values[i].floater);
        } else {
            c = CompareTime(&a.values[i].time, &b.values[i].time);
        }
        if (c != 0)
            return m_descending[i] ? -c : c;
    }
    return 0;
}

XSortHelper::KeyView XSortHelper::ViewOf(const XSortNode *node) const
{
    const uint8_t *nulls = NullsOf(node);
    return KeyView{nulls, reinterpret_cast<const XVarValue *>(nulls + RoundUp8(m_keys))};
}

XSortNode **XSortHelper::UpLinks(const XSortNode *node) const
{
    return reinterpret_cast<XSortNode **>(NullsOf(node) + RoundUp8(m_keys) +
                                          m_keys * sizeof(XVarValue));
}

int XSortHelper::CompareNode(const XSortNode *a, const XSortNode *b) const
{
    return CompareKeys(ViewOf(a), ViewOf(b));
}

// ---- Insertion -----------------------------------------------------------------------

XSortNode *XSortHelper::NextAt(const XSortNode *x, unsigned int level) const
{
    if (x == nullptr)
        return level == 0 ? m_first : m_heads[level];
    return level == 0 ? x->next : UpLinks(x)[level - 1];
}

void XSortHelper::SetNextAt(XSortNode *x, unsigned int level, XSortNode *node) const
{
    if (x == nullptr)
        (level == 0 ? m_first : m_heads[level]) = node;
    else
        (level == 0 ? x->next : UpLinks(x)[level - 1]) = node;
}

unsigned int XSortHelper::RandomLevel()
{
    // xorshift64: a fixed sequence, so runs are reproducible. Each level above the first
    // is taken with probability 1/4 (two zero bits).
    m_random ^= m_random << 13;
    m_random ^= m_random >> 7;
    m_random ^= m_random << 17;
    unsigned int level = 1;
    for (uint64_t bits = m_random; (bits & 3) == 0 && level < kMaxLevel; bits >>= 2)
        ++level;
    return level;
}

void *XSortHelper::AllocAligned(uint32_t bytes)
{
    // Every allocation of this arena is a multiple of 8, so the top stays aligned as long
    // as the blocks start aligned; should one not, the record is moved up to the boundary.
    void *p = m_memo.Malloc(RoundUp8(bytes));
    if ((reinterpret_cast<uintptr_t>(p) & 7u) == 0)
        return p;
    m_memo.PopupMalloc(p);
    auto raw = reinterpret_cast<uintptr_t>(m_memo.Malloc(RoundUp8(bytes) + 8));
    return reinterpret_cast<void *>((raw + 7u) & ~uintptr_t{7});
}

XSortNode *XSortHelper::MakeNode(const KeyView &keys, void *item, unsigned int levels,
                                 bool copyTexts)
{
    const uint32_t bytes = sizeof(XSortNode) + (levels - 1) * sizeof(XSortNode *) +
                           RoundUp8(m_keys) + m_keys * sizeof(XVarValue);
    auto *node = static_cast<XSortNode *>(AllocAligned(bytes));
    std::memset(static_cast<void *>(node), 0, bytes);
    node->order = m_count;
    node->count = 1;
    node->item = item;
    node->levels = levels;
    const KeyView view = ViewOf(node);
    auto *nulls = const_cast<uint8_t *>(view.nulls);
    auto *values = const_cast<XVarValue *>(view.values);
    for (unsigned int i = 0; i < m_keys; ++i) {
        nulls[i] = keys.nulls != nullptr && keys.nulls[i] != 0;
        if (nulls[i] != 0)
            continue;
        values[i] = keys.values[i];
        if (copyTexts && m_types[i] == kVarText && values[i].text != nullptr) {
            const uint32_t units = Strlen(values[i].text) + 1;
            auto *copy = static_cast<char16_t *>(AllocAligned(units * 2));
            std::memcpy(copy, values[i].text, units * 2);
            values[i].text = copy;
        }
    }
    return node;
}

void XSortHelper::Link(XSortNode *node, XSortNode *const *update) const
{
    for (unsigned int level = 0; level < node->levels; ++level) {
        XSortNode *before = level < m_levels ? update[level] : nullptr;
        SetNextAt(node, level, NextAt(before, level));
        SetNextAt(before, level, node);
    }
    if (node->levels > m_levels)
        m_levels = node->levels;
    node->prev = update[0];
    (node->next != nullptr ? node->next->prev : m_last) = node;
}

void XSortHelper::Locate(const KeyView &keys, bool right, XSortNode **update) const
{
    XSortNode *x = nullptr;
    for (unsigned int level = m_levels; level-- > 0;) {
        for (XSortNode *next = NextAt(x, level); next != nullptr; next = NextAt(x, level)) {
            const int c = CompareKeys(ViewOf(next), keys);
            if (c > 0 || (c == 0 && !right))
                break;
            x = next;
        }
        update[level] = x;
    }
}

int XSortHelper::AddNode(const KeyView &keys, void *item, bool copyTexts)
{
    if (!m_indexed || (keys.values == nullptr && m_keys != 0))
        return kSortRefused;
    if (!m_unique) {
        XSortNode *node = MakeNode(keys, item, RandomLevel(), copyTexts);
        (m_pendingLast != nullptr ? m_pendingLast->next : m_pending) = node;
        m_pendingLast = node;
        ++m_pendingCount;
        ++m_count;
        return 1;
    }
    // Unique mode looks for the first equal item before placing anything.
    Flush();
    XSortNode *update[kMaxLevel] = {};
    Locate(keys, false, update);
    XSortNode *equal = NextAt(update[0], 0);
    if (equal != nullptr && CompareKeys(ViewOf(equal), keys) == 0) {
        ++equal->count;
        return 0;
    }
    Link(MakeNode(keys, item, RandomLevel(), copyTexts), update);
    ++m_count;
    return 1;
}

int XSortHelper::AddItem(const XVarValue *values, const unsigned char *nulls, void *item)
{
    return AddNode(KeyView{nulls, values}, item, false);
}

int XSortHelper::AddItemEx(const XVarValue *values, const unsigned char *nulls, void *item)
{
    return AddNode(KeyView{nulls, values}, item, true);
}

int XSortHelper::AddItem(const XVarMeter *values, void *item)
{
    if (values == nullptr && m_keys != 0)
        return kSortRefused;
    uint8_t nulls[kMaxKeys] = {};
    XVarValue keys[kMaxKeys] = {};
    for (unsigned int i = 0; i < m_keys; ++i) {
        const uint32_t type = values[i].type;
        if (type < kVarInteger || type > kVarDateTime) {
            nulls[i] = 1;
            continue;
        }
        if (type != m_types[i])
            return kSortRefused;
        keys[i] = values[i].value;
    }
    return AddNode(KeyView{nulls, keys}, item, false);
}

// ---- Reading -------------------------------------------------------------------------

void *XSortHelper::GetNextItem(const void **cursor) const
{
    if (cursor == nullptr)
        return nullptr;
    Flush();
    const auto *at = static_cast<const XSortNode *>(*cursor);
    const XSortNode *node = at != nullptr ? at->next : m_first;
    *cursor = node;
    return node != nullptr ? node->item : nullptr;
}

void *XSortHelper::GetNextWare(const void **cursor, unsigned int *count) const
{
    return GetNextWare(cursor, nullptr, count);
}

void *XSortHelper::GetNextWare(const void **cursor, const void **first, unsigned int *count) const
{
    if (count != nullptr)
        *count = 0;
    if (cursor == nullptr)
        return nullptr;
    Flush();
    const auto *at = static_cast<const XSortNode *>(*cursor);
    const XSortNode *head = at != nullptr ? at->next : m_first;
    if (first != nullptr)
        *first = head;
    if (head == nullptr)
        return nullptr;
    const XSortNode *last = head;
    unsigned int n = 1;
    while (last->next != nullptr && CompareNode(last->next, head) == 0) {
        last = last->next;
        ++n;
    }
    *cursor = last;
    if (count != nullptr)
        *count = n;
    return head->item;
}

const char16_t *XSortHelper::GetItemValue(const void *node, unsigned int i) const
{
    if (node == nullptr || i >= m_keys || m_types[i] != kVarText)
        return nullptr;
    const KeyView view = ViewOf(static_cast<const XSortNode *>(node));
    return view.nulls[i] != 0 ? nullptr : view.values[i].text;
}

int XSortHelper::GetItemValue(const void *node, unsigned int i, XVarMeter *out) const
{
    if (node == nullptr || out == nullptr || i >= m_keys)
        return 0;
    const auto *n = static_cast<const XSortNode *>(node);
    const KeyView view = ViewOf(n);
    out->type = view.nulls[i] != 0 ? kVarNull : m_types[i];
    out->count = n->count;
    out->value.integer = 0;
    if (view.nulls[i] == 0)
        out->value = view.values[i];
    return 1;
}

// ---- Order ---------------------------------------------------------------------------

namespace {

// Stable top-down merge sort of a chain of n nodes linked by next; before(a, b) is true
// when a must precede b. The left run wins ties.
template <typename Before>
XSortNode *MergeSort(XSortNode *head, unsigned int n, const Before &before)
{
    if (n <= 1) {
        if (head != nullptr)
            head->next = nullptr;
        return head;
    }
    const unsigned int half = n / 2;
    XSortNode *mid = head;
    for (unsigned int i = 1; i < half; ++i)
        mid = mid->next;
    XSortNode *rest = mid->next;
    XSortNode *a = MergeSort(head, half, before);
    XSortNode *b = MergeSort(rest, n - half, before);
    XSortNode *merged = nullptr;
    XSortNode **tail = &merged;
    while (a != nullptr && b != nullptr) {
        XSortNode *&take = before(b, a) ? b : a;
        *tail = take;
        tail = &take->next;
        take = take->next;
    }
    *tail = a != nullptr ? a : b;
    return merged;
}

} // namespace

XSortNode *XSortHelper::SortMerge(XSortNode *head, unsigned int n)
{
    return MergeSort(head, n,
                     [](const XSortNode *a, const XSortNode *b) { return a->order < b->order; });
}

XSortEntry XSortHelper::EntryOf(XSortNode *node) const
{
    XSortEntry e{0, 0, node};
    if (m_keys == 0)
        return e;
    const KeyView view = ViewOf(node);
    const bool null = view.nulls[0] != 0;
    e.rank = null ? 0 : 1;
    e.prefix = null ? 0 : KeyPrefix(m_types[0], view.values[0]);
    if (m_descending[0] != 0) {
        e.rank ^= 1;
        e.prefix = ~e.prefix;
    }
    return e;
}

void XSortHelper::Flush() const
{
    if (m_pending == nullptr)
        return;
    XSortNode *pending = m_pending;
    const unsigned int n = m_pendingCount;
    m_pending = m_pendingLast = nullptr;
    m_pendingCount = 0;
    const bool right = TiesGoRight();
    const unsigned int placed = m_count - n;
    if (placed != 0 && n <= placed / 16) {
        // A few items join a long chain: place each through the search index.
        for (XSortNode *node = pending; node != nullptr;) {
            XSortNode *next = node->next;
            XSortNode *update[kMaxLevel] = {};
            Locate(ViewOf(node), right, update);
            Link(node, update);
            node = next;
        }
        return;
    }
    // Equal items keep arrival order when ties go right, reverse arrival order otherwise;
    // the placed items arrived before every pending one.
    // Sorting compact entries of the nodes touches memory far less than merging the chain.
    std::vector<XSortEntry> entries;
    entries.reserve(n);
    for (XSortNode *node = pending; node != nullptr; node = node->next)
        entries.push_back(EntryOf(node));
    std::sort(entries.begin(), entries.end(),
              [this, right](const XSortEntry &a, const XSortEntry &b) {
                  if (a.rank != b.rank)
                      return a.rank < b.rank;
                  if (a.prefix != b.prefix)
                      return a.prefix < b.prefix;
                  const int c = CompareNode(a.node, b.node);
                  if (c != 0)
                      return c < 0;
                  return right ? a.node->order < b.node->order : a.node->order > b.node->order;
              });
    for (size_t i = 0; i + 1 < entries.size(); ++i)
        entries[i].node->next = entries[i + 1].node;
    entries.back().node->next = nullptr;
    pending = entries.front().node;
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

void XSortHelper::RestoreOrder()
{
    Flush();
    m_first = SortMerge(m_first, m_count);
    XSortNode *prev = nullptr;
    for (XSortNode *n = m_first; n != nullptr; prev = n, n = n->next)
        n->prev = prev;
    m_last = prev;
    m_indexed = false;
}

void XSortHelper::ClearHelper()
{
    m_memo.ClearBuffer();
    m_first = m_last = nullptr;
    m_pending = m_pendingLast = nullptr;
    m_pendingCount = 0;
    for (XSortNode *&head : m_heads)
        head = nullptr;
    m_levels = 1;
    m_count = 0;
    m_indexed = true;
}
