#pragma once
// Multi-key sorter that keeps its items ordered as they are added, can merge equal items
// (unique mode) and walk groups of equal items. Nodes and copied texts live in one arena,
// so sorting thousands of rows allocates little, and ClearHelper keeps the blocks.
//
// Outside unique mode, items added in a row are ordered together when the order is next
// read (one merge sort instead of a search per item); what the readers see is exactly the
// order that placing each item on arrival gives.

#include <cstdint>

#include "corekit/corekit_export.h"
#include "corekit/xmemo_helper.h"
#include "corekit/xvar_meter.h"

struct XSortNode;
struct XSortEntry;

// Result of the AddItem family when the item was refused (nothing inserted): a key type
// that differs from the declared one, no values, or a sorter re-ordered by RestoreOrder.
// It is the system's failure value, the same as a merge in unique mode; a caller that must
// tell the two apart compares GetItemNumber before and after.
constexpr int kSortRefused = 0;

// Keys compare in order; the first that differs decides, inverted for a descending key.
// A null key orders before every value in ascending order and after in descending order;
// integers compare as signed 64-bit values, texts by UTF-16 units (case-sensitive),
// floaters numerically, date-times by CompareTime. Among items equal on all keys, a new
// item goes after its equals when the last key is ascending (arrival order kept) and
// before them when it is descending.
class COREKIT_EXPORT XSortHelper
{
public:
    static constexpr unsigned int kMaxKeys = 8;

    XSortHelper();
    XSortHelper(const XSortHelper &) = delete;
    XSortHelper &operator=(const XSortHelper &) = delete;
    virtual ~XSortHelper();

    // Declares k keys: types are kVarInteger, kVarText, kVarFloater or kVarDateTime,
    // descending (may be null: all ascending) non-zero for a descending key. 1, or 0 (and
    // nothing changed) for k > kMaxKeys or an unknown type. Existing items are removed.
    int SetType(const unsigned char *types, const unsigned char *descending, unsigned int k);
    // From now on an item equal on all keys to one present is not added; the present item's
    // duplicate count grows instead.
    void SetUniqueMode();

    // Inserts an item with the k values (nulls may be null: no null keys); texts are
    // referenced, not copied. 1 inserted; 0 merged (unique mode) or refused.
    int AddItem(const XVarValue *values, const unsigned char *nulls, void *item);
    // As AddItem, with text values copied into the sorter's arena.
    int AddItemEx(const XVarValue *values, const unsigned char *nulls, void *item);
    // Keys from typed values: kVarNull and the codes that mean no value give a null key; a
    // value type that differs from its key's declared type refuses the item.
    int AddItem(const XVarMeter *values, void *item);

    // Walks the items in sorted order (cursor null: the first); the cursor holds the node.
    void *GetNextItem(const void **cursor) const;
    // The item of the next group (the following nodes equal on all keys) with its node
    // count in *count; the cursor is left on the group's last node, *first (when given) on
    // its first node. Null (count 0) at the end.
    void *GetNextWare(const void **cursor, unsigned int *count) const;
    void *GetNextWare(const void **cursor, const void **first, unsigned int *count) const;

    // Key i of a node when it is a non-null text, else null (also for i >= k).
    const char16_t *GetItemValue(const void *node, unsigned int i) const;
    // out = key i (type kVarNull when null) with the node's duplicate count in out->count;
    // 0 when i >= k.
    int GetItemValue(const void *node, unsigned int i, XVarMeter *out) const;
    unsigned int GetItemNumber() const { return m_count; }

    // Re-orders the items by arrival (both directions of the chain follow the new order).
    // The sorter then serves reading only: adding is refused until ClearHelper.
    void RestoreOrder();
    // Removes all items; the arena keeps its blocks for reuse.
    void ClearHelper();

protected:
    struct KeyView
    {
        const uint8_t *nulls;
        const XVarValue *values;
    };

    // Orders two key sets: < 0, 0 or > 0.
    int CompareKeys(const KeyView &a, const KeyView &b) const;
    int CompareNode(const XSortNode *a, const XSortNode *b) const;
    // Inserts an item with the given keys at its sorted place (or merges it in unique mode).
    int AddNode(const KeyView &keys, void *item, bool copyTexts);
    // Sorts a chain of n nodes by insertion number (stable top-down merge sort).
    XSortNode *SortMerge(XSortNode *head, unsigned int n);

private:
    static constexpr unsigned int kMaxLevel = 24;

    XSortNode *NextAt(const XSortNode *x, unsigned int level) const;
    void SetNextAt(XSortNode *x, unsigned int level, XSortNode *node) const;
    // True when a new item goes after the items equal to it.
    bool TiesGoRight() const { return m_keys == 0 || m_descending[m_keys - 1] == 0; }
    KeyView ViewOf(const XSortNode *node) const;
    // The higher forward links of a node (level 1 first).
    XSortNode **UpLinks(const XSortNode *node) const;
    unsigned int RandomLevel();
    void *AllocAligned(uint32_t bytes);
    XSortNode *MakeNode(const KeyView &keys, void *item, unsigned int levels, bool copyTexts);
    void Link(XSortNode *node, XSortNode *const *update) const;
    void Locate(const KeyView &keys, bool right, XSortNode **update) const;
    XSortEntry EntryOf(XSortNode *node) const;
    // Brings the items waiting since the last read into the sorted chain.
    void Flush() const;
    void RebuildLinks() const;

    unsigned int m_keys = 0;
    unsigned int m_count = 0;
    bool m_unique = false;
    bool m_indexed = true; // false after RestoreOrder: the search index no longer holds
    uint8_t m_types[kMaxKeys] = {};
    uint8_t m_descending[kMaxKeys] = {};
    // The chain and its search index are completed lazily by the readers (Flush), hence
    // mutable.
    mutable XSortNode *m_first = nullptr;
    mutable XSortNode *m_last = nullptr;
    mutable XSortNode *m_heads[kMaxLevel] = {};
    mutable unsigned int m_levels = 1;
    mutable XSortNode *m_pending = nullptr; // added, not yet placed; in arrival order
    mutable XSortNode *m_pendingLast = nullptr;
    mutable unsigned int m_pendingCount = 0;
    uint64_t m_random = 0x9E3779B97F4A7C15ull;
    XMemoHelper m_memo;
};
