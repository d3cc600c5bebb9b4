#pragma once
// Multi-key sorter that keeps its items ordered as they are added, can merge equal items
// (unique mode) and walk groups of equal items. Nodes and copied texts live in one arena,
// so sorting thousands of rows allocates little, and ClearHelper keeps the blocks; so do
// the stores that hold items between their addition and the next read.
//
// Outside unique mode, items added in a row are ordered together when the order is next
// read (one sort of the batch instead of a search per item); what the readers see is
// exactly the order that placing each item on arrival gives. Node addresses handed to
// readers stay valid until ClearHelper or SetType.

#include <cstdint>
#include <memory>
#include <vector>

#include "corekit/corekit_export.h"
#include "corekit/memory/xmemo_helper.h"
#include "corekit/numbers/xvar_meter.h"

struct XSortNode;
class XSortRecords;

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
    // Removes all items; the arena and the stores keep their memory for reuse.
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
    unsigned int RandomLevel() const;
    void *AllocAligned(uint32_t bytes) const;
    const char16_t *CopyText(const char16_t *text) const;
    // keys with their texts copied into the arena; copies holds the k values.
    KeyView WithCopiedTexts(const KeyView &keys, XVarValue *copies) const;
    uint32_t NodeBytes(unsigned int levels) const;
    // A node in the arena with the keys (texts as they are) and the given insertion number.
    XSortNode *MakeNode(const KeyView &keys, void *item, uint32_t order) const;
    // The same node built at `at`, NodeBytes(levels) bytes of the arena.
    XSortNode *FillNode(void *at, unsigned int levels, const KeyView &keys, void *item,
                        uint32_t order) const;
    void Link(XSortNode *node, XSortNode *const *update) const;
    void Locate(const KeyView &keys, bool right, XSortNode **update) const;

    // ---- Items waiting to be placed (xsort_batch.cpp) ----
    // A waiting item is a record of k + 2 values: a meta word (insertion number, null
    // flags), the item and the k key values.
    void AddWaiting(const KeyView &keys, void *item);
    // The keys of a record (nulls receives its null flags), its item and insertion number.
    KeyView RecordKeys(const XVarValue *record, uint8_t *nulls) const;
    static void *RecordItem(const XVarValue *record);
    static uint32_t RecordOrder(const XVarValue *record);
    int CompareRecords(const XVarValue *a, const XVarValue *b) const;
    // Brings the waiting items into the sorted chain: one by one through the search index
    // when they are few against the placed ones, else sorted as a batch, made into nodes in
    // their order (so readers walk memory forward) and merged into the chain.
    void Flush() const;
    void PlaceEach() const;
    void PlaceBatch() const;
    // Nodes for the waiting records in their order (sorted, or the store itself when
    // sorted is empty), chained by next.
    XSortNode *MakeBatchNodes(const std::vector<const XVarValue *> &sorted) const;
    void MergeIntoChain(XSortNode *pending) const;
    // Sorts the waiting records among themselves: equal items in arrival order when ties go
    // right, in reverse arrival order otherwise.
    struct Digit;
    void SortWaitingByRadix(const std::vector<Digit> &active) const;
    std::vector<Digit> ActiveDigits() const;
    void RadixPass(const Digit &d, std::vector<uint8_t> &digits) const;
    std::vector<const XVarValue *> SortWaitingByComparison() const;
    uint64_t ImageOf(const XVarValue *record, unsigned int key) const;
    void RebuildLinks() const;

    unsigned int m_keys = 0;
    unsigned int m_count = 0;
    bool m_unique = false;
    bool m_indexed = true;   // false after RestoreOrder: the search index no longer holds
    bool m_exactKeys = true; // no text key: the key images alone decide the order
    uint8_t m_types[kMaxKeys] = {};
    uint8_t m_descending[kMaxKeys] = {};
    // The chain and its search index are completed lazily by the readers (Flush), hence
    // mutable, as is the arena that they place nodes in.
    mutable XSortNode *m_first = nullptr;
    mutable XSortNode *m_last = nullptr;
    mutable XSortNode *m_heads[kMaxLevel] = {};
    mutable unsigned int m_levels = 1;
    // Records of the waiting items in arrival order, and the radix sort's second store;
    // both keep their memory for the next batch, as the arena does.
    const std::unique_ptr<XSortRecords> m_waiting;
    const std::unique_ptr<XSortRecords> m_spare;
    mutable uint64_t m_random = 0x9E3779B97F4A7C15ull;
    mutable XMemoHelper m_memo; // nodes and copied texts
};
