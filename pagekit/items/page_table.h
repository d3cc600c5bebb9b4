#pragma once
// The table item: a layout container of rows and columns whose cells can be merged, each
// cell hosting at most one child item that the table places inside it.
//
// Model. One descriptor per row and per column (flags, design size, current size), and a
// cell table of rows x columns pointers in row-major order. A cell sits at its origin
// position; the other positions its span covers hold null, so that every position is
// covered by exactly one cell. Hosted items are ordinary children of the table; a child
// may also be unhosted (it then keeps whatever place it has).
//
// Layout. Current sizes start as the design sizes; the rows that are not fixed share the
// body height left by the fixed rows in the ratio of their design sizes, the last one (when
// not fixed) taking the rest, every size kept within 0 ... 65535. Columns alike with the
// body width. A cell's rectangle is the sum of the current sizes before and under it, in
// the table's child space.
//
// Design mode (state flag kTableDesignMode): cells can be selected, rows and columns
// inserted and deleted, cells merged and split, sizes equalised and borders dragged; the
// descriptors then report current sizes and the table paints its selection.

#include <cstdint>

#include "pagekit/core/page_owner.h"
#include "pagekit/pagekit_export.h"

// State flag of the item in design mode.
constexpr uint32_t kTableDesignMode = 0x40000000;

// Flag of a row or column descriptor: the size is not stretched.
constexpr uint16_t kTableFixedSize = 0x1;

// Sizes of a row and a column inserted in design mode or made by InitCellTable.
constexpr uint16_t kTableRowSize = 23;
constexpr uint16_t kTableColSize = 80;

// Most rows and most columns of a table, and most positions (rows x columns).
constexpr unsigned kTableMaxCount = 4096;
constexpr unsigned kTableMaxCells = 1u << 20;

// Codes of TestDrager: a vertical (column) border, a horizontal (row) border.
enum : int {
    kTableDragColumn = 51,
    kTableDragRow = 52,
};

// Highest position of the far border TestDrager reports.
constexpr int kTableDragFar = 0x3FFFFFF1;

// Cell states.
enum : uint16_t {
    kCellSelected = 0x1,
    kCellCurrent = 0x2,
};

// One row or column.
struct XTableDesc
{
    uint16_t flags;   // kTableFixedSize
    uint16_t design;  // pixels
    uint16_t current; // pixels, set by the layout
};

// One cell. x, y, width and height are in the table's child space.
struct XCellNode
{
    uint16_t column;
    uint16_t row;
    uint8_t colSpan;
    uint8_t rowSpan;
    uint16_t state; // kCell*
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    XPageItem *item; // hosted child, not owned by the cell
};

class PAGEKIT_EXPORT XPageTable : public XPageOwner
{
public:
    XPageTable();
    // Frees the cells; the children go with the owner.
    ~XPageTable() override;

    // ---- slots ---------------------------------------------------------------------------

    // Sizes, cell rectangles and the places of the hosted items; flag non-zero repaints.
    void UpdateLayout(int flag) override;
    // A child left: no cell hosts it any more.
    void OnDropItem(XPageItem *item) override;
    // The content size is the sums of the design sizes.
    int CalcExtentSize(int mode) override;
    // The item box, then the cell fills and inner borders over the body.
    void DrawFrame(XPainter *painter, const BOUND_t *bound) override;
    // Lays the table out once the children exist.
    void OnCreateItem() override;

    // ---- descriptors -------------------------------------------------------------------

    // Releases the cell table; count entries with the design sizes and flags given (null
    // arrays: 0), current sizes 0. A count of 0 or above kTableMaxCount, or one making more
    // than kTableMaxCells positions, changes nothing.
    void SetRowDesc(unsigned count, const uint16_t *sizes, const uint16_t *flags);
    void SetColDesc(unsigned count, const uint16_t *sizes, const uint16_t *flags);
    // Writes the sizes (current ones in design mode, else design sizes) and flags into the
    // arrays given (null: not written); returns the count.
    unsigned GetRowDesc(uint16_t *sizes, uint16_t *flags) const;
    unsigned GetColDesc(uint16_t *sizes, uint16_t *flags) const;
    // Design and current size, then flags, of one row; an index >= count changes nothing.
    void SetRowWide(unsigned index, uint16_t size, uint16_t flags);
    // Design size and flags of one column; an index >= count changes nothing.
    void SetColWide(unsigned index, uint16_t size, uint16_t flags);
    unsigned GetRowCount() const { return m_rowCount; }
    unsigned GetColCount() const { return m_colCount; }
    const XTableDesc *GetRowInfo(unsigned index) const;
    const XTableDesc *GetColInfo(unsigned index) const;

    // ---- cells ---------------------------------------------------------------------------

    // A default table for the item's size: a column per 80 pixels of width and a row per
    // 23 of height (at least one each), shared evenly, the last taking the rest of the body.
    void InitCellTable();
    // One 1 x 1 cell per position (the old cells freed); laid out when created.
    void MallocCellTable();
    // Frees the cells and the table; hosted items stay as unhosted children.
    void ReleaseCellTable();
    // The table, allocated empty (all null) when missing; null when it cannot be made.
    XCellNode **GetCellTable();
    // The cell at its origin position (null outside or at a covered position).
    XCellNode *GetCellNode(unsigned row, unsigned column) const;
    // The cell hosting item, or null.
    XCellNode *GetCellNode(const XPageItem *item) const;
    // Hosts item in the cell at row, column: it becomes a child and is placed when the table
    // is created. At a covered or outside position the item is adopted unhosted. An item of
    // another owner is refused; a previous hosted item is detached (DetachLinker).
    void AddItem(unsigned row, unsigned column, XPageItem *item);
    void AddItem(XCellNode *cell, XPageItem *item);
    // Places the item hosted in a cell (visible items only); flag non-zero repaints.
    void OnPlaceItem(XPageItem *item);
    void OnPlaceNode(XCellNode *cell, int flag);
    // The cell under a point relative to the item's place origin, merged cells included.
    XCellNode *HitCeller(int x, int y) const;

    // ---- design mode ---------------------------------------------------------------------

    // The cell under the point becomes current and selected; the others lose the current
    // bit and, unless extend is non-zero, the selected bit. 1 when a cell was hit (0 also
    // outside design mode).
    int Select(int x, int y, int extend);
    void ClearChoice();
    // rows non-zero inserts a row, else a column, before the current cell or (after
    // non-zero) after it. 0 without a current cell, at kTableMaxCount, or when a span would
    // pass 255.
    int InsertCeller(int after, int rows);
    // Deletes the current cell's row (rows non-zero) or column. 0 without a current cell or
    // when only one remains.
    int DeleteCeller(int rows);
    // Merges the selected cells into their bounding rectangle (test non-zero: only whether
    // it is possible).
    int MergeCellNode(int test);
    // Splits the current merged cell into 1 x 1 cells (test: only whether it is possible).
    int SplitCellNode(int test);
    // Equalises the rows (rows non-zero) or columns spanned by the selected cells.
    int AllocMeasure(int rows, int test);
    // A border within 3 pixels of the point (item coordinates): out gets the code, the
    // border index, its position, the body height (columns) or width (rows), the lowest and
    // the highest position it may move to. 1 when found.
    int TestDrager(int x, int y, int *const out);
    // Moves border index (0 ... count) of code by delta; sizes stay >= 0. 0 when refused.
    int MoveDrager(int code, unsigned index, int delta);
    // The near edge of row (rows non-zero) or column index (0 ... count) in the child
    // space: the sum of the current sizes before it; -1 outside.
    int GetTracker(unsigned index, int rows) const;
    // Gives the hosted item to the table's owner, keeping its place on screen (without an
    // owner it stays an unhosted child).
    void DetachLinker(XCellNode *cell);
    void DetachLinker(XPageItem *item);
    // Removes the rows and columns that no cell starts in; their sizes go to the one before.
    void ClearBlanker();

    // The right and bottom cell border widths of the last layout.
    int GetCellBorder(int side) const { return side == 0 ? m_borderRight : m_borderBottom; }

private:
    XCellNode *NewCell(unsigned row, unsigned column);
    XCellNode *GetCurrentCell() const;
    // The cell covering a position (null outside).
    XCellNode *CoverCell(unsigned row, unsigned column) const;
    XCellNode *&At(unsigned row, unsigned column) const;
    void FreeCells();
    int SetDesc(XTableDesc *&descs, unsigned &count, unsigned other, unsigned newCount,
                const uint16_t *sizes, const uint16_t *flags);
    void LayoutSizes(XTableDesc *descs, unsigned count, int32_t total);
    void ReadBorders();
    void CalcCellRects();
    void Resize(int dx, int dy, int dw, int dh, int flag);
    // Hands a child to the table's owner, keeping its place on screen.
    void GiveAway(XPageItem *item);
    BOUND_t GetCellArea(const XCellNode *cell) const;
    int32_t BodyWidth() const;
    int32_t BodyHeight() const;
    int InsertLine(unsigned at, bool rows);
    // Removes a row or column: deleting frees the cells in it and shrinks the ones across
    // it; a blank line (no cell starts in it) gives its sizes to the one before.
    void RemoveLine(unsigned at, bool rows, bool blank);
    void DrawCells(XPainter *painter, const BOUND_t *bound);
    bool IsDesign() const { return (stateFlags & kTableDesignMode) != 0; }

    unsigned m_rowCount = 1;
    unsigned m_colCount = 1;
    XTableDesc *m_rows = nullptr; // corekit heap
    XTableDesc *m_cols = nullptr;
    XCellNode **m_cells = nullptr; // corekit heap, m_rowCount x m_colCount
    int m_borderRight = 0;
    int m_borderBottom = 0;
};
