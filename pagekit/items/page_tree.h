#pragma once
// The tree item: a hierarchy of nodes (XTreeItem), each with a caption, two icons, an
// optional check box, a numeric or text value and a caller's pointer, drawn with
// connector lines and expand buttons, with selection, expand and collapse, tri-state
// checking, caption editing in place (an XPageEdit child) and dragging of nodes.
//
// [SECTION] index of the sources:
//   page_tree.cpp        nodes: links, walk, insertion and removal, values, states, search
//   page_tree_draw.cpp   node height, widths, extent, places, hit test, drawing
//   page_tree_input.cpp  pointer input, dragging, the caption editor
//
// Walk. Every position-dependent operation walks the nodes in pre-order with
// GetNextSuber, which sets each node's layer, first mark and visible flag on the way; a
// node is visible when every ancestor is expanded.
//
// Notifications go out through DispatchMessage with state 1: the node in `value`, the
// tree in `item`, the parameter in `key`; OnModifyItem's new caption and the dragged node
// of the drop notification in `other`. A receiver that sets state 8 vetoes OnModifyItem.
// Handlers may delete nodes: after every notification the tree checks what it holds.

#include <cstdint>
#include <memory>
#include <vector>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XPageEdit;
class XPainter;

// State bits of a node; the other bits are the caller's.
enum : uint32_t {
    kTreeSelected = 0x2, // added by GetItemState for the selected node
    kTreeChecked = 0x10,
    kTreePartChecked = 0x20,
    kTreeExpanded = 0x100,
};

// Option bits of the tree (its extra flags).
enum : uint32_t {
    kTreeLines = 0x1,
    kTreeCheckBox = 0x2,
    kTreeDragNode = 0x8,
};

// Notification codes of the tree.
enum : uint32_t {
    kTreeOnSelChange = 65,
    kTreeOnKillChoice = 66,
    kTreeOnInsertItem = 81,
    kTreeOnDeleteItem = 82,
    kTreeOnModifyItem = 83,
    kTreeOnClickItem = 84,
    kTreeOnCheckItem = 85,
    kTreeOnRClickItem = 86,
    kTreeOnDblclkItem = 87,
    kTreeOnDropItem = 95,
};

// Parts of HitTest.
enum : unsigned {
    kTreeHitNone = 0,
    kTreeHitCaption = 1,
    kTreeHitButton = 2,
    kTreeHitCheck = 3,
};

// Phases of IsDragEnable.
enum : unsigned {
    kTreeDragSource = 0,
    kTreeDragTarget = 1,
};

// Horizontal step of a layer, the check box's room, the room around a caption.
constexpr int kTreeIndent = 20;
constexpr int kTreeCheckRoom = 13;
// Longest caption the editor gives back, in units.
constexpr unsigned kTreeEditMax = 480;

// One node, fields in the system's order.
struct XTreeItem
{
    uint16_t state;       // kTree* bits and the caller's
    uint32_t layer;       // depth, 0 for roots (set while walking)
    uint32_t width;       // cached right end of the caption in content pixels; 0: measure
    uint16_t image;       // icon shown when collapsed
    uint16_t style;       // the caller's word
    uint16_t expandImage; // icon shown when expanded
    uint16_t firstMark;   // set while walking: reached as a first child
    uint16_t visible;     // set while walking: every ancestor expanded
    uint64_t value;       // numeric value
    char16_t *valueText;  // text value (owned, corekit heap), null when numeric
    char16_t *text;       // caption (owned, corekit heap)
    void *binder;         // the caller's pointer, released through the release procedure
    XTreeItem *parent;
    XTreeItem *child; // first child
    XTreeItem *next;  // sibling ring
    XTreeItem *prev;
    uint32_t reserved;
};

typedef void (*XTreeReleaseProc)(void *binder);

class PAGEKIT_EXPORT XPageTree : public XPageOwner
{
public:
    explicit XPageTree(uint32_t kind = kKindTree);
    // Frees every node (each binder released once); the base deletes the editor.
    ~XPageTree() override;

    // ---- slots -----------------------------------------------------------------------------

    int CalcExtentSize(int mode) override;
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    int OnMessage(XMessage_t *message) override;
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;
    // The base's, restated so that the node members below do not hide them.
    XPageItem *GetNextItem(int flags, XFinder *finder) override;
    XPageItem *GetPrevItem(int flags, XFinder *finder) override;
    unsigned GetItemText(char16_t *text, unsigned cap) override;
    void SetItemText(const char16_t *text) override;
    // Whether a node may be dragged (phase 0) or receive a drop (phase 1): every node.
    virtual int IsDragEnable(XTreeItem *node, unsigned int phase);

    // ---- nodes -----------------------------------------------------------------------------

    // Caption, image, expanded image, value buffer (may be null), parent (null: root),
    // neighbour: after the neighbour, or as the last child (last root) without one.
    // OnInsertItem with the node. Null when the neighbour is not a child of the parent
    // (a root for a null parent), or the node went during the notification.
    XTreeItem *InsertAfter(const char16_t *text, unsigned image, unsigned expandImage,
                           const char16_t *value, XTreeItem *parent, XTreeItem *neighbour);
    // The same before the neighbour, or as the first child (first root).
    XTreeItem *InsertBefore(const char16_t *text, unsigned image, unsigned expandImage,
                            const char16_t *value, XTreeItem *parent, XTreeItem *neighbour);
    // Clears the selection first when it is the node or below; OnDeleteItem; frees the
    // subtree; updates the check states of the ancestors. Null does nothing.
    void DeleteItem(XTreeItem *node);
    // Frees every node; OnKillChoice when a node was selected; content size 0.
    void DeleteAllItem();
    XTreeItem *GetRootItem() const { return m_root; }
    XTreeItem *GetChildItem(XTreeItem *node) const;
    XTreeItem *GetParentItem(XTreeItem *node) const;
    // Next / previous sibling; null at the ends of the ring.
    XTreeItem *GetNextItem(XTreeItem *node) const;
    XTreeItem *GetPrevItem(XTreeItem *node) const;
    // Pre-order walk over all nodes (null starts at the first root).
    XTreeItem *GetNextSuber(XTreeItem *node);
    // The same walk below sub (null: the whole tree); node null starts at sub's first child.
    XTreeItem *GetNextSuber(XTreeItem *sub, XTreeItem *node);
    // 1 when ancestor is an ancestor of node.
    int IsChildItem(const XTreeItem *ancestor, const XTreeItem *node) const;
    unsigned GetCounter();
    unsigned GetVisibleCounter();
    // The first node whose caption matches the pattern (LikeCompare, ASCII case ignored).
    XTreeItem *SearchName(const char16_t *pattern);
    // The first node with that numeric value (no value text), or that text value (exact).
    XTreeItem *SearchItem(uint64_t value);
    XTreeItem *SearchItem(const char16_t *value);
    // Swaps with the next (forward non-zero) or previous sibling; null at the end of the
    // ring. Returns the other node.
    XTreeItem *MoveItem(XTreeItem *node, int forward);
    // Exchanges the places of two nodes; 0 when they are equal, null, or one is an
    // ancestor of the other.
    int SwitchNode(XTreeItem *a, XTreeItem *b);

    // ---- node fields -----------------------------------------------------------------------

    const char16_t *GetItemText(XTreeItem *node) const;
    void SetItemText(XTreeItem *node, const char16_t *text);
    unsigned GetItemImage(XTreeItem *node) const;
    // Sets both icons.
    void SetItemImage(XTreeItem *node, unsigned image);
    unsigned GetItemLayer(XTreeItem *node) const;
    // The state word, kTreeSelected added for the selected node.
    unsigned GetItemState(XTreeItem *node) const;
    void SetItemState(XTreeItem *node, unsigned long state);
    unsigned GetItemStyle(XTreeItem *node) const;
    void SetItemStyle(XTreeItem *node, unsigned style);
    void *GetItemBinder(XTreeItem *node) const;
    // Releases the previous binder first (nothing when it is the same one).
    void SetItemBinder(XTreeItem *node, void *binder);
    uint64_t GetItemValue(XTreeItem *node) const;
    // The value in value-buffer form: a number needs 5 units, a text at least 2 (tag and
    // terminator; the text is cut to fit). Nothing is written into a shorter buffer.
    void GetItemValue(XTreeItem *node, char16_t *buffer, unsigned size) const;
    // From a value buffer (null: the number 0).
    void SetItemValue(XTreeItem *node, const char16_t *value);
    void SetItemValue(XTreeItem *node, uint64_t value);

    // ---- selection, checks, expansion ------------------------------------------------------

    XTreeItem *GetChoiceItem() const { return m_choice; }
    void SelectItem(XTreeItem *node);
    // 0 uncheck, 1 check, 2 or more toggle.
    void CheckItem(XTreeItem *node, unsigned op);
    // 0 collapse, 1 expand, 2 toggle.
    void ExpandItem(XTreeItem *node, unsigned op);
    // A node and its subtree, or the whole tree for null (0 collapse, non-zero expand).
    void ExpandTree(XTreeItem *node, unsigned op);

    // ---- geometry (page_tree_draw.cpp) -------------------------------------------------------

    // Scrolls vertically so that the node's row is inside the view.
    void EnsureVisible(XTreeItem *node);
    // The caption rectangle in content coordinates; 0 for a node not shown.
    int GetItemPlace(XTreeItem *node, BOUND_t *out);
    // The node and part (kTreeHit*) at a content point; null and 0 off the rows.
    XTreeItem *HitTest(int x, int y, unsigned *part);

    // ---- caption editing (page_tree_input.cpp) -------------------------------------------

    void StartEditor(XTreeItem *node);
    // Reads and hides the editor; a non-empty text goes out with OnModifyItem and, unless
    // vetoed, becomes the caption.
    void OnCloseEditor();
    XPageEdit *GetEditor() const { return m_editor; }
    XTreeItem *GetEditItem() const { return m_editNode; }

    // ---- settings --------------------------------------------------------------------------

    // Borrowed; the node height and the widths are computed again.
    void SetIconWare(XIconDrawer *icons);
    XIconDrawer *GetIconWare() const { return m_icons; }
    void SetRelease(XTreeReleaseProc release) { m_release = release; }
    // Raised to an even number.
    void SetItemSpace(unsigned space);
    unsigned GetItemHeight();
    // The drag state: 0 idle, 1 armed, 2 dragging; and the drop target.
    int GetDragState() const { return m_drag; }
    XTreeItem *GetDropTarget() const { return m_target; }

    // Measures the nodes to be measured (all with flag non-zero) and sets the content
    // size; 1 when it changed.
    int CalcScrollSize(int flag, XPainter *painter);
    // A node's check state from its children; 1 when it changed.
    int UpdateState(XTreeItem *node);

protected:
    // Links a new node in (no notification).
    XTreeItem *InsertNode(const char16_t *text, unsigned image, unsigned expandImage,
                          const char16_t *value, XTreeItem *parent, XTreeItem *neighbour,
                          bool after);
    // Unlinks a node from its ring.
    void DropNode(XTreeItem *node);
    // Unlinks and frees a node with its subtree.
    void DeleteNode(XTreeItem *node);
    // Frees the children of a node.
    void DeleteSuber(XTreeItem *node);

private:
    // InsertNode, then the ancestors' states, the extents and OnInsertItem; null when the
    // node could not be made or a receiver deleted it.
    XTreeItem *InsertNotified(const char16_t *text, unsigned image, unsigned expandImage,
                              const char16_t *value, XTreeItem *parent, XTreeItem *neighbour,
                              bool after);
    // Holds a node for the length of a notification: freeing the node clears the slot,
    // so the caller can tell whether it is still there.
    class Watch
    {
    public:
        Watch(XPageTree *tree, XTreeItem *node) : m_tree(tree), m_node(node)
        {
            m_tree->m_watches.push_back(&m_node);
        }
        ~Watch()
        {
            auto &w = m_tree->m_watches;
            for (auto it = w.end(); it != w.begin();) {
                if (*--it == &m_node) {
                    w.erase(it);
                    break;
                }
            }
        }
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;
        XTreeItem *Get() const { return m_node; }

    private:
        XPageTree *m_tree;
        XTreeItem *m_node;
    };
    void FreeNode(XTreeItem *node);
    void Notify(uint32_t code, XTreeItem *node, uint32_t param = 0, void *other = nullptr,
                uint32_t *state = nullptr);
    void UpdateAncestors(XTreeItem *parent);
    void ResetWidths(XTreeItem *sub);
    void Changed(); // measure again at the next paint, repaint
    XTreeItem *FirstOfRing(const XTreeItem *node) const;
    void SetFirstOfRing(XTreeItem *parent, XTreeItem *node);
    void Replace(XTreeItem *old, XTreeItem *with);
    uint32_t ComputeLayer(const XTreeItem *node) const;
    bool IsShown(const XTreeItem *node) const;
    // Geometry helpers (page_tree_draw.cpp).
    XPainter *Measurer();
    uint64_t FontKey() const;
    int FontHeight() const;
    int CaptionWidth(XPainter *painter, const XTreeItem *node);
    unsigned MeasureNode(XPainter *painter, XTreeItem *node);
    int VisibleIndex(XTreeItem *node);
    void DrawNode(XPainter *painter, XTreeItem *node, int top);
    // Input helpers (page_tree_input.cpp).
    int OnPointer(XMessage_t *message);
    int OnEditorMessage(XMessage_t *message);
    void DrawDropFrame();
    void SetDropTarget(XTreeItem *node);
    void EndDrag();
    void HideEditor();
    void CloseEditor(bool refocus);

    XTreeItem *m_root = nullptr;
    XTreeItem *m_choice = nullptr;
    XPageEdit *m_editor = nullptr;
    XTreeItem *m_editNode = nullptr;
    int m_drag = 0;
    POINT_t m_press = {0, 0};
    XTreeItem *m_target = nullptr;
    bool m_framed = false;          // a halftone frame is shown
    BOUND_t m_frame = {0, 0, 0, 0}; // where, in device pixels of the window
    BOUND_t m_frameClip = {0, 0, 0, 0};
    XIconDrawer *m_icons = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    XTreeReleaseProc m_release = nullptr;
    unsigned m_space = 0;
    int m_fontHeight = 0;
    unsigned m_nodeHeight = 0;
    uint32_t m_repaint = 0;
    uint64_t m_fontKey = 0;
    std::vector<XTreeItem **> m_watches;
    std::unique_ptr<XPainter> m_measurer;
};
