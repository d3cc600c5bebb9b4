// The sorted chain is a skip list: level 0 is the doubly linked chain that callers walk,
// and each node carries a random number of higher forward links, so an insertion finds its
// place in O(log n) comparisons without walking the chain. Items added outside unique mode
// wait as records until the next read places them (xsort_batch.cpp).
#include "corekit/containers/xsort_helper.h"

#include <cmath>
#include <cstring>

#include "corekit/containers/xsort_node.h"
#include "corekit/containers/xsort_records.h"
#include "corekit/systime/systime.h"
#include "corekit/text/strings.h"

namespace {

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

} // namespace

XSortHelper::XSortHelper()
    : m_waiting(std::make_unique<XSortRecords>()), m_spare(std::make_unique<XSortRecords>())
{
    m_waiting->Reset(2);
}

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
    m_waiting->Reset(k + 2);
    m_exactKeys = true;
    for (unsigned int i = 0; i < kMaxKeys; ++i) {
        m_types[i] = i < k ? types[i] : 0;
        m_descending[i] = i < k && descending != nullptr && descending[i] != 0;
        m_exactKeys = m_exactKeys && m_types[i] != kVarText;
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

unsigned int XSortHelper::RandomLevel() const
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

void *XSortHelper::AllocAligned(uint32_t bytes) const
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

const char16_t *XSortHelper::CopyText(const char16_t *text) const
{
    if (text == nullptr)
        return nullptr;
    const uint32_t units = Strlen(text) + 1;
    auto *copy = static_cast<char16_t *>(AllocAligned(units * 2));
    std::memcpy(copy, text, units * 2);
    return copy;
}

uint32_t XSortHelper::NodeBytes(unsigned int levels) const
{
    return sizeof(XSortNode) + (levels - 1) * sizeof(XSortNode *) + RoundUp8(m_keys) +
           m_keys * sizeof(XVarValue);
}

XSortNode *XSortHelper::MakeNode(const KeyView &keys, void *item, uint32_t order) const
{
    const unsigned int levels = RandomLevel();
    return FillNode(AllocAligned(NodeBytes(levels)), levels, keys, item, order);
}

XSortNode *XSortHelper::FillNode(void *at, unsigned int levels, const KeyView &keys, void *item,
                                 uint32_t order) const
{
    auto *node = static_cast<XSortNode *>(at);
    *node = XSortNode{order, 1, item, nullptr, nullptr, levels, 0};
    // The higher links are written by whoever links the node in.
    const KeyView view = ViewOf(node);
    auto *nulls = const_cast<uint8_t *>(view.nulls);
    auto *values = const_cast<XVarValue *>(view.values);
    std::memset(nulls, 0, RoundUp8(m_keys));
    for (unsigned int i = 0; i < m_keys; ++i) {
        nulls[i] = keys.nulls != nullptr && keys.nulls[i] != 0;
        values[i].integer = 0;
        if (nulls[i] == 0)
            values[i] = keys.values[i];
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

XSortHelper::KeyView XSortHelper::WithCopiedTexts(const KeyView &keys, XVarValue *copies) const
{
    for (unsigned int i = 0; i < m_keys; ++i) {
        copies[i] = keys.values[i];
        const bool null = keys.nulls != nullptr && keys.nulls[i] != 0;
        if (m_types[i] == kVarText && !null)
            copies[i].text = CopyText(copies[i].text);
    }
    return KeyView{keys.nulls, copies};
}

int XSortHelper::AddNode(const KeyView &keys, void *item, bool copyTexts)
{
    if (!m_indexed || (keys.values == nullptr && m_keys != 0))
        return kSortRefused;
    XVarValue copies[kMaxKeys] = {};
    if (!m_unique) {
        AddWaiting(copyTexts ? WithCopiedTexts(keys, copies) : keys, item);
        ++m_count;
        return 1;
    }
    // Unique mode looks for the first equal item before placing (or copying) anything.
    Flush();
    XSortNode *update[kMaxLevel] = {};
    Locate(keys, false, update);
    XSortNode *equal = NextAt(update[0], 0);
    if (equal != nullptr && CompareKeys(ViewOf(equal), keys) == 0) {
        ++equal->count;
        return 0;
    }
    Link(MakeNode(copyTexts ? WithCopiedTexts(keys, copies) : keys, item, m_count), update);
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
    m_waiting->Clear();
    m_first = m_last = nullptr;
    for (XSortNode *&head : m_heads)
        head = nullptr;
    m_levels = 1;
    m_count = 0;
    m_indexed = true;
}
