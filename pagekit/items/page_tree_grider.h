#pragma once
// The tree grid: a grid whose rows form a tree. A row's `layer` is its depth; its children
// are the rows that follow it with a greater layer, its parent the nearest earlier row with
// a smaller one, its subtree the row and the following rows deeper than it. A row with
// kMatterCollapsed hides its descendants: they keep their places and indexes in the list
// but take no vertical space, are not painted and cannot be hit.
//
// The first display column shows the tree: the indent of a row is layer x 20 + 20 (plus
// the row icon's width + 3 with kGridRowIcon, 16 without an icon set), with connector
// lines, stubs and the expand button (a plain press on it toggles the row) drawn in that
// area, and the cell text after it.
//
// Shown rows. A table of the shown rows in list order is kept beside the list: the grid's
// painting, hit tests and cell places go through it, so a frame of a tree of a million rows
// touches only the rows in the clip. Collapsing and expanding change the table in place;
// any other change of rows (the grid's row epoch) rebuilds it at the next use.

#include <cstdint>
#include <vector>

#include "pagekit/items/page_grider.h"
#include "pagekit/pagekit_export.h"

// Extra flags a tree grid has from construction and creation: tree mode, no sorting by
// header clicks.
constexpr uint32_t kTreeGridOptions = kGridTree | kGridNoSort;
// Geometry of the tree area, in pixels.
constexpr int kTreeLayerWide = 20;  // indent per layer
constexpr int kTreeButtonWide = 16; // the expand button's hit width from layer x 20
constexpr int kTreeIconGap = 3;     // after the row icon

class PAGEKIT_EXPORT XTreeGrider : public XPageGrider
{
public:
    XTreeGrider();
    ~XTreeGrider() override;

    // ---- the tree --------------------------------------------------------------------------

    // The first row (null when there is none).
    void *GetRootItem();
    // The next row when it has the same layer, else null (a row with children gives null:
    // its next row is its first child).
    void *GetNextNode(void *row);
    // The next row when it is deeper (the first child), else null.
    void *GetChildItem(void *row);
    // The nearest earlier row with a smaller layer; null for roots and unknown handles.
    void *GetParentItem(void *row);

    // A new row under parent (null: a root) with the row icon, from an optional record and
    // null map. With a neighbour, the grid's rule: after it when after is non-zero, else
    // before it. Without one and with a parent: after the parent's last descendant (after
    // set) or right after the parent (after clear). Without either: appended before a
    // total row (after set) or first. The layer is the parent's + 1 (0 for roots); null
    // when a handle is unknown or the parent is already at the deepest layer.
    // InsertMatter renumbers, recomputes extents, sends OnInsertItem (row index, subcode 0)
    // and repaints; MallocMatter only places the row.
    void *InsertMatter(void *parent, void *neighbour, int after, unsigned icon, const void *record,
                       const unsigned char *nulls);
    void *MallocMatter(void *parent, void *neighbour, int after, unsigned icon, const void *record,
                       const unsigned char *nulls);
    using XPageGrider::InsertMatter;
    using XPageGrider::MallocMatter;

    // The row at a list index: mode 0 collapses, 1 expands, any other value toggles.
    // Commits and closes an editor whose row the collapse hides. Nothing for an index with
    // no row.
    void Collapse(int index, int mode);
    // Whether a row has children (its next row is deeper) and whether it is shown.
    bool HasChildren(const void *row) const;
    bool IsShown(void *row);
    // The last row of the row's subtree (the row itself without descendants).
    XMatterNode *GetSubtreeEnd(XMatterNode *row) const;
    // Indent of display column 0 for a row: its tree area.
    int GetTreeIndent(const XMatterNode *row) const;
    // What the last HitTest found: the 1-based list index (0 header, -1 none) and whether
    // the pointer was on that row's expand button.
    int GetHitRow() const { return m_hitRow; }
    bool GetHitButton() const { return m_hitButton; }

    // ---- overrides -------------------------------------------------------------------------

    // Deletes every selected row with its subtree; rows inside collapsed subtrees are not
    // looked at. One OnDeleteItem (kDeleteChoiceRow, 1) when any went. An editor whose row
    // goes is closed without committing.
    unsigned DeleteChoice() override;
    // The content height counts the shown rows.
    int CalcExtentSize(int mode) override;
    // 0 for a hidden row; display column 0 starts after the row's tree area.
    int GetCellPlace(int row, int viewCol, BOUND_t *out) override;
    // As the grid's over the shown rows; also notes an expand-button hit.
    int HitTest(int x, int y, int *col, XHeaderNode **column) override;
    void DrawFrame(XPainter *painter, const BOUND_t *bound) override;
    // A plain left press on an expand button toggles its row; all else is the grid's.
    int OnMessage(XMessage_t *message) override;
    // The grid's font rule, the tree options again, an even row height.
    void OnCreateItem() override;

protected:
    unsigned GetShownCount() override;
    unsigned GetShownMatter(unsigned place) override;
    int GetShownPlace(unsigned index) override;
    // Before a row: the tree indent; after it: the button, stubs, connector and icon.
    void OnDrawMatter(XPainter *painter, const BOUND_t &line, XDrawHelper *helper,
                      int after) override;

private:
    // Rebuilds the shown-row table when the grid's rows changed since it was built.
    void SyncShown();
    // Runs (first, last) of the subtrees DeleteChoice removes.
    void CollectChoice(std::vector<std::pair<XMatterNode *, XMatterNode *>> *runs) const;
    bool Known(const void *row);

    std::vector<XMatterNode *> m_shown;
    uint64_t m_shownEpoch = ~uint64_t{0};
    int m_hitRow = -1;
    bool m_hitButton = false;
};
