#pragma once
// The grid item: a table whose columns the caller defines with XGB_HEADER descriptors and
// whose rows (matters) hold one cell (suber) per column. Forms fill it with query results,
// let the user change, insert and delete rows, and read the changes back from the row
// states (kMatterNew, kMatterModified) and the deleted list.
//
// [SECTION] index of the sources:
//   page_grider.cpp         life, options, base colours, notifications, update word
//   page_grider_header.cpp       columns, display order, group headers, saved layouts
//   page_grider_matter.cpp       rows: insertion, removal, the deleted list, moves, selection
//   page_grider_cell.cpp         cell set-up from values and from text, display texts
//   page_grider_record.cpp       matter records, PutValue, GetSuber / SetSuber, cell reads
//   page_grider_aggregate.cpp    sorting, total and subtotal rows, bar maxima
//   page_grider_draw.cpp         geometry, hit tests, frame, row, cell and header painting
//   page_grider_input.cpp        keys, pointer, selection steps, the two menus
//   page_grider_clip.cpp         clipboard copy and paste, block clearing
//   page_grider_editor.cpp       the in-cell editing entry points
//
// Rows and handles. A row argument is an opaque handle (the XMatterNode); a column
// argument is a definition index. Members returning int give 1 on success and 0, with
// nothing changed, when an index or handle matches nothing. Walks that serve data rows
// skip subtotal and total rows. Row `index` fields are right whenever they are read, and
// GetItemMatter / GetItemIndex cost O(1): a position table follows the list.
//
// Notifications go out through DispatchMessage with state 1: row index in `row`, column or
// subcode in `column`, the parameter in `key`, the grid in `item`, the row handle in
// `value`. A receiver that sets state 8 refuses a vetoable action.
//
// Update word. A change that would repaint looks at the word first: at 0 it asks for a
// repaint and sets it to 1; changes of rows and cells add kUpdateData. FlushUpdate (run by
// the frame drawing) recomputes bar maxima and all totals when kUpdateData is set, then
// clears the word; SetUpdateMode sets it directly so a caller can load many rows quietly.

#include <cstdint>
#include <string>
#include <vector>

#include "corekit/containers/release_proc.h"
#include "corekit/numbers/xvar_meter.h"
#include "pagekit/core/page_owner.h"
#include "pagekit/items/grid_records.h"
#include "pagekit/pagekit_export.h"

class XIconDrawer;
class XPageButton;
class XSortHelper;
struct XMenuItem;
class XPainter;
struct XFontHandle;

// Option bits of the grid (its extra flags).
enum : uint32_t {
    kGridNoHeader = 0x1,
    kGridGuide = 0x2,
    kGridRowMenu = 0x4,
    kGridTree = 0x8,
    kGridDblEdit = 0x10,
    kGridMultiSelect = 0x20,
    kGridEnterAppend = 0x40,
    kGridKeepDeleted = 0x80,
    kGridRowIcon = 0x100,
    kGridNoDrag = 0x200,
    kGridNoSort = 0x400,
    kGridHeaderMenu = 0x800,
    kGridTotals = 0x1000,
    kGridEditable = 0x4000,
    kGridModified = 0x10000,
    kGridFilter = 0x80000,
    kGridBlockEdit = 0x100000,
    kGridFilterMenu = 0x200000,
};

// Notification codes of the grid.
enum : uint32_t {
    kGridOnSelChange = 65,
    kGridOnKillChoice = 66,
    kGridOnInsertItem = 81,
    kGridOnDeleteItem = 82,
    kGridOnClickItem = 84,
    kGridOnRClickItem = 86,
    kGridOnDblclkItem = 87,
    kGridOnCheckHeader = 88,
    kGridOnPopupEditor = 89,
    kGridOnStartEditItem = 90,
    kGridOnCloseEditItem = 91,
    kGridOnContextMenu = 131,
    kGridRequestLayout = 113, // the column-settings dialog: parameter 0 save, 1 clear
    kGridRequestFilter = 115, // column word: display position, kDeleteChoiceRow for the corner
};
// The start-edit command the grid posts to itself; row and column travel in their own
// fields of the posted message.
constexpr uint32_t kGridStartEdit = 8728;
// Commands of the shared editing button (and the least command the editor hook takes).
enum : uint32_t {
    kGridCmdFirst = 8193,
    kGridCmdShowText = 12321, // the cell text in the read-only viewer
    kGridCmdEditText = 12322, // the cell text in the popup editor
    kGridCmdPopup = 12417,    // OnPopupEditor: the caller's own chooser
};
// Entries of the row menu, separators included.
constexpr unsigned kEditbarEntries = 12;
// Row-menu entries and header-menu entries (command codes).
enum : uint32_t {
    kRowMenuCopy = 1,
    kRowMenuPaste = 2,
    kRowMenuCopyBlock = 3,
    kRowMenuPasteBlock = 4,
    kRowMenuClearBlock = 5,
    kRowMenuInsert = 17,
    kRowMenuAppend = 18,
    kRowMenuAddChild = 19,
    kRowMenuDelete = 20,
    kRowMenuClearAll = 24,
    kHeadMenuSettings = 17,
    kHeadMenuFreeze = 18,
    kHeadMenuUnfreeze = 19,
    kHeadMenuFilter = 20,
};
// Answers of an OnContextMenu receiver (its flag word).
enum : uint32_t {
    kMenuNoInsert = 0x1,  // greys paste, insert and append
    kMenuNoDelete = 0x2,  // greys copy, block paste, block clear, delete and clear all
    kMenuNoClear = 0x4,   // greys clear all
    kMenuAddChild = 0x10, // tree grids: shows add child when a row was hit
};
// Subcodes of OnInsertItem and OnDeleteItem (the column word), and the row indexes of a
// deletion of many rows.
enum : int32_t {
    kInsertProgram = 0,
    kInsertRecord = 1,
    kInsertUser = 17,
    kDeleteOne = 0,
    kDeleteChoice = 1,
    kDeleteAll = 2,
};
constexpr uint32_t kDeleteChoiceRow = 0x8FFFFFF1;
constexpr uint32_t kDeleteAllRow = 0x8FFFFFF2;

// Pseudo columns of GetSuber, each read as an integer.
enum : uint32_t {
    kSuberRowIndex = 0x3FFF0001,
    kSuberRowData = 0x3FFF0002,
    kSuberSelected = 0x3FFF0003,
    kSuberLayer = 0x3FFF0004,
};

// Bits of the update word.
enum : uint32_t {
    kUpdatePending = 0x1, // a repaint was asked for
    kUpdateData = 0x10,   // rows or cells changed: totals and bar maxima are stale
};

// Sorted-column word: bit set when descending; -1 when nothing is sorted.
constexpr uint32_t kSortDescending = 0x10000000;
// Columns and keys of a saved layout and of a sort.
constexpr unsigned kWideDefineMaxCols = 257;
constexpr unsigned kSortMaxKeys = 8;
// Units GetComboCode writes at most: status, a 63-unit code, terminator.
constexpr unsigned kComboCodeOut = 65;
// Lines a group header may reach.
constexpr unsigned kRegionMaxLine = 255;
// Default template of date-time columns, and mask of mask columns.
inline constexpr char16_t kGridTimeTemplate[] = u"$$$$-$$-$$ $$:$$:$$";
inline constexpr char16_t kGridMaskDefault[] = u"$$:$$:$$";

typedef void (*XGridDrawProc)(XPainter *painter, void *user, void *row, unsigned col,
                              const BOUND_t *bound);

class PAGEKIT_EXPORT XPageGrider : public XPageOwner
{
public:
    XPageGrider();
    // Releases the rows, the deleted list, the group headers and the columns; the base
    // then deletes the child items (editors).
    ~XPageGrider() override;

    // What one frame's row painting carries from row to row and cell to cell.
    struct XDrawHelper
    {
        unsigned dataNumber;   // running 1-based number of the data row being drawn
        unsigned viewIndex;    // display position of the column being drawn
        int indent;            // indent of the column of definition index 0
        XFontHandle *linkFont; // the item font underlined, made on the first link cell
        XStyleDesc *rowStyle;
        XStyleDesc *headStyle;
        XMatterNode *row;
        XHeaderNode *column;
        BOUND_t clip; // the painted part, body coordinates
    };

    // ---- virtual members of the grid, in slot order ---------------------------------------

    // Deletes every selected data row; OnDeleteItem (kDeleteChoiceRow, 1) when any went.
    virtual unsigned DeleteChoice();
    // What the editors and the editing button report; 1 when handled.
    virtual int OnItemNotify(XMessage_t *message);
    // A cell in content coordinates: row 0-based, column a display position (-1: the row
    // from the guide edge); frozen columns are shifted by the horizontal scroll so that
    // they stay put. 0 for a negative row or an unknown column.
    virtual int GetCellPlace(int row, int viewCol, BOUND_t *out);
    // Body coordinates to a cell: returns the row 1-based, 0 in the header band, -1 below
    // the rows; *col gets the display position 1-based, 0 for the guide column, -1 right
    // of the columns, and *column the column hit (null when none).
    virtual int HitTest(int x, int y, int *col, XHeaderNode **column);

    // ---- overrides -------------------------------------------------------------------------

    // Content extents from the geometry, then the base's scroll ranges.
    int CalcExtentSize(int mode) override;
    // The whole grid: rows in the clip, guide column, header, frozen edge.
    void DrawFrame(XPainter *painter, const BOUND_t *bound) override;
    // Non-zero clears kGridEditable, zero sets it.
    void SetReadOnly(int readOnly) override;
    // Raises row and header-line heights to the font.
    void OnCreateItem() override;
    int OnMessage(XMessage_t *message) override;
    // Moves, then commits and closes the editor.
    void MovePlace(const BOUND_t *bound, int flag) override;
    // Brings the update word, the display order and the extents up to date, then draws.
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;

    // ---- geometry (page_grider_draw.cpp) ---------------------------------------------------

    // 0 the row height, any other the header-line height; 0 restores 18.
    void SetItemHeight(int which, unsigned height);
    // 0 row height, 1 header-line height, 2 title height.
    unsigned GetItemHeight(int which) const;
    void ComputeTitleSize();
    // Guide-column width and the frozen edge.
    void ComputeBlockSize();
    unsigned GetLockEdge() const { return m_lockEdge; }
    // Scrolls so that the cell (row index, display position) is visible.
    void EnsureVisible(unsigned row, unsigned viewCol);
    // Posts the start-edit command for the cell (row index, display position).
    void StartEditor(unsigned row, unsigned viewCol);
    void DrawHeader(XPainter *painter, const BOUND_t *bound, XStyleDesc *headStyle);
    void DrawMatter(XPainter *painter, BOUND_t *bound, XDrawHelper *helper);
    void DrawCeller(XPainter *painter, BOUND_t *bound, XDrawHelper *helper);
    // Rows the last frame painted (DrawMatter calls).
    unsigned GetDrawnRows() const { return m_drawnRows; }
    // Data rows before a row index, from the row index (no walk of the rows above).
    unsigned CountDataBefore(unsigned index);

    // ---- input (page_grider_input.cpp) ----------------------------------------------------

    void OnKeyDown(int key);
    void OnMouseMove(int flags, int x, int y);
    void OnLButtonDown(int flags, int x, int y);
    void OnLButtonUp(int flags, int x, int y);
    void OnLButtonDblck(int flags, int x, int y);
    void OnRButtonUp(int flags, int x, int y);
    // The selection step of a click: 0-based row and display column (-1 none); mode 0
    // plain, 1 toggle (Ctrl), 2 extend (Shift), 3 right button.
    void HitChoice(int row, int viewCol, int mode);
    // The row menu for a row index (-1: no data row hit); the chosen command, 0 none.
    unsigned PopupEditbar(int row, int viewCol);
    // The row menu's entries with their states, after asking OnContextMenu.
    void BuildEditbar(int row, XMenuItem *entries);
    // Runs a row-menu command for a row index (-1: none).
    void OnEditbarCommand(unsigned command, int row);
    // The column-settings dialog over the grid's window.
    void OpenHeaderEditor();

    // ---- clipboard (page_grider_clip.cpp) -------------------------------------------------

    void OnCopyMatter();
    void OnCopyCeller();
    void OnPasteMatter();
    void OnPasteCeller();
    // mode 0 new rows, 1 into the block. The sized form reads at most bytes bytes (an odd
    // count drops its last byte; no terminator is needed).
    void OnPasteGrider(int mode, const char16_t *text);
    void OnPasteGrider(int mode, const char16_t *text, uint32_t bytes);
    void OnEmptyCeller();
    // The clipboard text of rows (selected data rows) or of the block.
    void GetCopyText(int block, std::u16string *out);

    // ---- in-cell editing (page_grider_editor.cpp) ---------------------------------------

    // Creates the column's editor when missing; 1 when the column is editable (an editor,
    // or the colour chooser, or the shared button alone), 0 otherwise.
    int CreateEditor(XHeaderNode *column);
    // Commits and closes any editor, then edits (row index, display position).
    int OnStartEditor(unsigned row, unsigned viewCol);
    int OnStartEditor(XMatterNode *row, XHeaderNode *column);
    // Read-only viewing of a cell.
    int OnStartMonter(unsigned row, unsigned viewCol);
    // 0 hides without committing; 1 commits and keeps the editor; 2 commits and hides.
    void CloseEditor(int mode);

    // ---- columns and group headers (page_grider_header.cpp) --------------------------------

    // Removes every row (no notification), inserts a normalised copy so that it gets the
    // given index (appended beyond the end); returns the index used.
    unsigned InsertHeader(unsigned index, const XGB_HEADER *header);
    // Replaces a descriptor (baseWide = wide); every row goes first when the normalised
    // type or size differs.
    int SetHeader(unsigned col, const XGB_HEADER *header);
    int GetHeader(unsigned col, XGB_HEADER *out) const;
    // Removes every row, the group headers ending at or after the column's display
    // position, and the column.
    int DeleteHeader(unsigned col);
    int EnableHeader(unsigned col, int locked);
    int SetHeaderWide(unsigned col, unsigned wide);
    // Swaps the column at a display position with its left (dir 0) or right neighbour.
    int MoveHeader(unsigned viewPos, int dir);
    // Removes every row, then exchanges two descriptors.
    int SwitchHeader(unsigned a, unsigned b);
    // A saved layout: word 0 column count (must be the grid's), word 1 frozen count, then
    // width and display position per column in definition order. The words read are
    // 2 + 2 x the grid's column count. The sized form refuses a buffer shorter than that.
    int SetWideDefine(const uint16_t *words);
    int SetWideDefine(const uint16_t *words, unsigned count);
    // The mapper of a mask, combo, radio or check column; 0 for other kinds.
    int SetItemMapper(unsigned col, const char16_t *mapper);
    const char16_t *GetItemMapper(unsigned col) const;
    // 0: first column in definition order; otherwise in display order (built).
    XHeaderNode *GetHeaderWare(int view);
    XHeaderNode *GetHeaderNode(unsigned col) const;
    // The column's in-cell editor, created on first use (null: the column has none).
    virtual XPageItem *GetSubEditor(unsigned col);
    // Adds nothing unless firstCol <= lastCol < column count and firstLine <= lastLine
    // < kRegionMaxLine; header lines become at least lastLine + 2.
    void AddRegionNode(unsigned firstCol, unsigned lastCol, unsigned firstLine, unsigned lastLine,
                       const char16_t *title);
    XRegionNode *GetRegionWare() const { return m_regions; }
    // The group header's rectangle in content coordinates.
    void GetRegionPlace(const XRegionNode *region, BOUND_t *out);
    // Top of the title cell of a display position.
    unsigned GetHeaderTop(unsigned viewPos) const;
    // Refused when the count cuts a group header; a count not below the column count
    // unfreezes.
    int SetLockHeader(unsigned count);
    unsigned GetLockHeader() const { return m_lockCount; }
    void RemoveAllHeader();
    unsigned GetColNumber() const { return m_colCount; }

    // ---- rows (page_grider_matter.cpp) ---------------------------------------------------

    // User-level insert (0 first; beyond the end: appended before the total row) from an
    // optional record and null map; selects the row; OnInsertItem (1 with a record, 17
    // without), then OnSelChange.
    void *CreateMatter(unsigned index, const void *record, const unsigned char *nulls);
    // The same placement, not selected; OnInsertItem subcode 0.
    void *InsertMatter(unsigned index, const void *record, const unsigned char *nulls);
    // Next to a row: after it when after is non-zero, else before it.
    void *InsertMatter(unsigned after, void *row, const void *record, const unsigned char *nulls);
    // The insertion step without notification: after non-zero goes after the neighbour (or,
    // without one, at the end before a total row), else before it (or at the head).
    void *MallocMatter(unsigned after, void *row, const void *record, const unsigned char *nulls);
    // Commits and closes the editor, then removes the row (deleted list or release);
    // OnDeleteItem subcode 0.
    int DeleteMatter(unsigned index);
    int DeleteMatter(void *row);
    // Removes a row (the first when null) without notification or editor step.
    int RemoveMatter(void *row);
    // Every row to the deleted list or released; OnDeleteItem (kDeleteAllRow, 2).
    void DeleteAllMatter();
    // Every row released: no deleted list, no notification.
    void RemoveAllMatter();
    void RemoveAllDelete();
    // 0 up one, 1 down one, 2 to the top, other values to the bottom (before a total row).
    int MoveMatter(void *row, unsigned where);
    void UpdateMatter();
    // Removes subtotal and total rows.
    void ClearAggregate();
    XMatterNode *GetItemMatter(unsigned index);
    // Data rows (null: first / last).
    void *GetNextItem(void *row) const;
    void *GetPrevItem(void *row) const;
    // Rows of any kind.
    void *GetNextItemEx(void *row) const;
    void *GetNextChoice(void *row) const;
    void *GetNextDelete(void *row) const;
    void *SearchData(int64_t data) const;
    unsigned GetItemIndex(void *row);
    uint32_t GetItemState(void *row) const;
    void SetItemState(void *row, uint32_t state);
    uint32_t GetItemAdder(void *row) const;
    void SetItemAdder(void *row, uint32_t adder);
    unsigned GetItemLayer(void *row) const;
    void SetItemLayer(void *row, unsigned layer);
    unsigned GetItemImage(void *row) const;
    void SetItemImage(void *row, unsigned image);
    int64_t GetItemData(void *row) const;
    void SetItemData(void *row, int64_t data);
    void *GetItemKape(void *row) const;
    void SetItemKape(void *row, void *kape);
    void SetItemChoice(void *row, int choice);
    void SetItemColor(void *row, uint32_t back, uint32_t text);
    // out[0] background, out[1] text; each falls back to the row's.
    void GetCellColor(void *row, unsigned col, uint32_t *out) const;
    void SetCellColor(void *row, unsigned col, uint32_t back, uint32_t text);
    int GetModifyState() const { return (extraFlags & kGridModified) != 0; }
    // Non-zero sets the option and ORs new and modified into every data row's state; zero
    // clears the option only.
    void SetModifyState(int modified);
    // Called with a row's kape when a row with one is released.
    void SetReleaseProc(XReleaseProc proc) { m_releaseProc = proc; }
    void SetDrawProc(void *user, XGridDrawProc proc);
    void SetIconWare(XIconDrawer *icons) { m_icons = icons; }
    XIconDrawer *GetIconWare() const { return m_icons; }
    unsigned GetRowNumber() const { return m_rowCount; }
    unsigned GetRowHeader() const { return m_headerLines; }
    unsigned GetGuidePlace() const { return m_guideWide; }
    void SetUpdateMode(unsigned mode) { m_update = mode; }
    unsigned GetUpdateMode() const { return m_update; }
    void SetFilterMode(unsigned on);
    // Base colour 0-4 (0xFFFFFFFF for other indexes); 0xFFFFFFFF restores the default.
    uint32_t GetBaseColor(unsigned index) const;
    void SetBaseColor(unsigned index, uint32_t color);
    // The sorted column word (kSortDescending), 0xFFFFFFFF when none.
    uint32_t GetSortColumn() const { return m_sortCol; }
    // Recomputes bar maxima and totals when kUpdateData is set; clears the word.
    void FlushUpdate();

    // ---- selection (page_grider_matter.cpp) -------------------------------------------------

    int GetChoice() const;
    unsigned GetSelNumber() const;
    void ClearChoice();
    // Single selection; returns whether anything changed.
    int SetChoice(int index);
    int SetChoice(void *row);
    // Selects exactly the data rows whose cell equals the value (in matter-record form);
    // no notification; returns the count.
    unsigned SetChoice(unsigned col, const void *value);
    // Block selection: first display column, first row, column count, row count.
    void GetBlockChoice(int32_t *out) const;

    // ---- values (page_grider_record.cpp, page_grider_cell.cpp) ------------------------------

    // Address of a column inside a matter record (null for an unknown column).
    void *SeekSuber(void *record, unsigned col) const;
    // Bytes of one matter record.
    unsigned GetMatterSize() const;
    int PutValue(void *record, unsigned col, uint32_t value);
    int PutValue(void *record, unsigned col, int64_t value);
    int PutValue(void *record, unsigned col, double value);
    // Integers by ToInt64, texts cut to dataSize - 1 units, doubles by ToFloater, date-times
    // by ParseTimeEx with the mapper; null text writes an empty value.
    int PutValue(void *record, unsigned col, const char16_t *text);
    // Date-time columns, and text columns as "YYYY-MM-DD hh:mm:ss".
    int PutValue(void *record, unsigned col, const DATETIME_t &value);
    int GetMatter(unsigned index, void *record, unsigned char *nulls);
    int GetMatter(void *row, void *record, unsigned char *nulls) const;
    int SetMatter(unsigned index, const void *record, const unsigned char *nulls);
    int SetMatter(void *row, const void *record, const unsigned char *nulls);
    int GetSuber(void *row, unsigned col, XVarMeter *out) const;
    int GetSuber(void *row, const unsigned *cols, unsigned count, XVarMeter *out) const;
    int GetSuber(void *row, unsigned col, void *record, unsigned char *nulls) const;
    int GetSuber(void *row, const unsigned *cols, unsigned count, void *record,
                 unsigned char *nulls) const;
    int SetSuber(void *row, unsigned col, const XVarMeter *value);
    int SetSuber(void *row, unsigned col, const void *value, const unsigned char *isNull);
    int SetItemText(void *row, unsigned col, const char16_t *text);
    int SetComboText(void *row, unsigned col, const char16_t *text);
    int GetComboCode(void *row, unsigned col, int textCode, char16_t *out) const;
    int GetItemText(void *row, unsigned col, char16_t *out, unsigned size) const;
    // The display text of a cell (null when empty).
    const char16_t *GetDisplayText(void *row, unsigned col) const;
    void SetUnite(void *row, unsigned col, unsigned covered);
    int MatchMatter(void *a, void *b, const unsigned *cols, const uint16_t *types,
                    unsigned count) const;

    // ---- sorting and totals (page_grider_aggregate.cpp) -------------------------------------

    // Up to kSortMaxKeys columns; descending when order is positive.
    void SortMatter(const unsigned *cols, unsigned count, int order);
    // Total row (kGridTotals only); col -1 for every column.
    void ComputeAggregate(int col);
    int CreateAggrSuber(const unsigned *cols, unsigned count);
    void ComputeSchedule();

    using XPageItem::GetItemText;
    using XPageItem::SetItemText;

protected:
    // ---- hooks of the layout and editing code ---------------------------------------

    // The content extents are stale after a change of columns or rows: they are
    // recomputed before the next drawing or scroll.
    virtual void UpdateExtent();
    // A column's mapper changed: the cached editor takes it.
    virtual void OnMapperChanged(XHeaderNode *column);
    // Repaints one row.
    virtual void InvalidateRow(XMatterNode *row);

    // ---- rows that take vertical space (tree grids hide some) ---------------------------

    // Rows shown, one row height each.
    virtual unsigned GetShownCount();
    // The list index of the row at a shown position below GetShownCount().
    virtual unsigned GetShownMatter(unsigned place);
    // The shown position of a list index; -1 when the row is hidden.
    virtual int GetShownPlace(unsigned index);
    // Called around the painting of each row: after 0 before DrawMatter (the helper's
    // indent may be set), 1 after it; line is the row's band in body coordinates.
    virtual void OnDrawMatter(XPainter *painter, const BOUND_t &line, XDrawHelper *helper,
                              int after);
    // Counts every change of row positions, kinds or extents, so that an index kept
    // beside the list knows when it is stale.
    void MarkRowsChanged()
    {
        m_otherStale = true;
        ++m_rowEpoch;
    }
    uint64_t GetRowEpoch() const { return m_rowEpoch; }
    // Unlinks the run of rows first ... last and retires each (deleted list or release),
    // clears the block selection and marks the grid modified; rows are renumbered by
    // UpdateMatter afterwards. Returns the rows removed.
    unsigned CutMatterRun(XMatterNode *first, XMatterNode *last);

    // Sends a notification; returns the state the receivers left.
    uint32_t Notify(uint32_t code, int32_t row, int32_t column, uint32_t param, const void *value);
    // Asks for a repaint through the update word; data adds kUpdateData.
    void RequestUpdate(bool data);

    // ---- notifications of the interaction and editing code ------------------------------
    // Each returns false when a receiver refused a vetoable action (state 8).

    // A data cell was clicked: parameter cellKind | cellMode << 16 of the column.
    bool NotifyClickItem(XMatterNode *row, unsigned col);
    // Right-click below the header; row is negative when no data row is under the pointer
    // (-1 for the total row).
    bool NotifyRClickItem(int32_t row, unsigned col);
    void NotifyDblclkItem(XMatterNode *row, unsigned col);
    // The header box of a kind-515 column toggled to state.
    bool NotifyCheckHeader(unsigned col, uint32_t state);
    // OnPopupEditor, OnStartEditItem or OnCloseEditItem for a cell.
    bool NotifyEditItem(uint32_t code, XMatterNode *row, unsigned col);
    // Before the row menu opens.
    bool NotifyContextMenu(int32_t row);
    // Before a user deletion of a row (index), the selected rows or all rows.
    bool NotifyBeforeDelete(int32_t row, int32_t subcode);

    // The editor in use and its cell.
    XPageItem *m_editor = nullptr;
    XMatterNode *m_editRow = nullptr;
    int m_editCol = -1;
    // The part that holds the focus while editing (the editor or the shared button), the
    // shared button (made on first need), and the guard set while a popup is open.
    XPageItem *m_focusPart = nullptr;
    XPageButton *m_button = nullptr;
    bool m_popupGuard = false;
    // Indent of the column of definition index 0 (tree grids set it).
    int m_indent = 0;

private:
    // ---- drawing and input ----
    void FlushExtent();
    bool IsGridReadOnly() const;
    // The column at a 0-based display position (null when none).
    XHeaderNode *ViewColumn(int viewPos);
    // Body x of a column's left edge: frozen columns unscrolled, others scrolled.
    int ColumnLeft(const XHeaderNode *column);
    // EnsureVisible on the row and column 0, then SetChoice.
    void SelectRow(XMatterNode *row);
    void ToggleCheck(XMatterNode *row, XHeaderNode *column);
    void ToggleHeaderCheck(XHeaderNode *column);
    void SetBlock(int viewCol, int row, int cols, int rows);
    // Halftone feedback on the window's tracker layer (body coordinates).
    void ShowTracker(const BOUND_t &band);
    void HideTracker(bool close);
    // The flag word an OnContextMenu receiver answered.
    uint32_t AskContextMenu(int row);
    void InsertFromMenu(unsigned command, int row);
    void PasteRows(const std::u16string *cells, unsigned count, XMatterNode *before);
    void CellClipText(XMatterNode *row, unsigned col, std::u16string *out) const;

    // ---- editing ----
    static int EditorHook(void *user, XMessage_t *message);
    // item is one of the grid's editors or its button (compared, never read through).
    bool IsOwnEditor(const void *item) const;
    bool IsEditColumn(const XHeaderNode *column) const;
    bool IsEnterColumn(const XHeaderNode *column) const;
    void PrepareEditor(XPageItem *editor, const XHeaderNode *column);
    XPageButton *SharedButton();
    void PlaceButton(const BOUND_t &cell, uint32_t command);
    void FocusPart(XPageItem *part);
    // Code 114 to the attached item with flag in the flag word; the state it left.
    uint32_t TellAttached(uint32_t flag, int col);
    // The editor's value for the column; false when the text is refused (nothing written).
    bool ReadEditor(XHeaderNode *column, XVarMeter *out, std::u16string *text);
    void CommitCell();
    // The cell Enter, Shift+Enter or Ctrl+Up/Down goes to; false: stop.
    bool NextCell(uint32_t key, bool ctrl, bool shift, XMatterNode **row, XHeaderNode **column);
    void OnEditorCommand(uint32_t command);

    // ---- columns ----
    XHeaderNode *ColumnAt(unsigned col) const;
    void RenumberColumns();
    // Offsets of the fields of a matter record, after any change of types or sizes.
    void UpdateOffsets();
    void RebuildColumnTexts(unsigned col);
    void BuildViewOrder();
    void DropViewOrder() { m_viewBuilt = false; }
    void FreeColumn(XHeaderNode *column);
    void RecountHeaderLines();
    // Columns changed shape: rows and the deleted list no longer fit.
    void DiscardRows();

    // ---- rows ----
    XMatterNode *AllocMatter();
    void LinkMatter(XMatterNode *row, unsigned after, XMatterNode *neighbour);
    void UnlinkMatter(XMatterNode *row);
    // Deleted list or release.
    void RetireMatter(XMatterNode *row);
    void ReleaseMatter(XMatterNode *row);
    void ReleaseCell(XHeaderNode *column, XSuberNode *cell);
    void Renumber();
    // Brings the position table up to date (after a change in the middle of the list).
    void ReindexFrom(XMatterNode *row);
    void ClearBlock();
    // The row is in this grid's list (O(1) through the position table).
    bool Owns(const void *row) const;
    // The row is still in the list after a notification: removals is m_removals before
    // it. Never reads through the pointer, which a receiver may have freed.
    bool StillHere(const void *row, unsigned removals) const;
    XMatterNode *RowAt(int index) const;
    XMatterNode *TotalTail() const;
    void *InsertNotified(unsigned index, const void *record, const unsigned char *nulls,
                         int32_t subcode, bool select);
    void *PlaceAt(unsigned index, const void *record, const unsigned char *nulls);
    void AfterCellChange(XMatterNode *row, unsigned col);
    void RetireAll();

    // ---- cells ----
    void SetupFromRecord(XMatterNode *row, const void *record, const unsigned char *nulls);
    void ReadField(const XHeaderNode *column, const unsigned char *field, XSuberNode *cell);
    void WriteField(const XHeaderNode *column, const XSuberNode *cell, unsigned char *field,
                    unsigned char *isNull) const;
    unsigned FieldSize(const XHeaderNode *column) const;
    int GetPseudo(const XMatterNode *row, unsigned col, XVarMeter *out) const;

    // ---- sorting and totals ----
    void RelinkSorted(const XSortHelper &sorter, XMatterNode *rest);
    XMatterNode *EnsureTotalRow(bool *added);
    void ReleaseSubtotals();

    // Columns.
    XHeaderNode *m_defFirst = nullptr;
    XHeaderNode *m_viewFirst = nullptr;
    bool m_viewBuilt = false;
    std::vector<XHeaderNode *> m_columns; // definition order
    std::vector<unsigned> m_offsets;      // field offsets of a matter record, then its size
    unsigned m_colCount = 0;
    XRegionNode *m_regions = nullptr;
    unsigned m_headerLines = 1;
    unsigned m_lockCount = 0;
    uint32_t m_sortCol = 0xFFFFFFFF;

    // Rows; m_rows[i]->index == i.
    XMatterNode *m_head = nullptr;
    XMatterNode *m_tail = nullptr;
    std::vector<XMatterNode *> m_rows;
    unsigned m_rowCount = 0;
    XMatterNode *m_deleted = nullptr;
    XMatterNode *m_deletedLast = nullptr;

    // Geometry the drawing code keeps.
    unsigned m_rowHeight = 18;
    unsigned m_lineHeight = 18;
    unsigned m_titleHeight = 18;
    unsigned m_guideWide = 0;
    unsigned m_lockEdge = 0;
    bool m_extentStale = true;
    unsigned m_drawnRows = 0;
    // Indexes of the rows that are no data rows, ascending; rebuilt after a change.
    std::vector<unsigned> m_otherRows;
    bool m_otherStale = true;
    uint64_t m_rowEpoch = 0;

    // Pointer state: kDrag* bits, the resized column, the press point, the tracker line
    // or band last drawn, the block anchor.
    uint32_t m_drag = 0;
    XHeaderNode *m_sizeColumn = nullptr;
    int m_sizeLeft = 0;
    int m_pressX = 0;
    int m_pressY = 0;
    BOUND_t m_trackShown = {0, 0, 0, 0};
    uint32_t m_keyFlags = 0;
    // Rows that left the list (released or retired) since the grid was made.
    unsigned m_removals = 0;

    uint32_t m_baseColors[5];
    int32_t m_block[4] = {-1, -1, 0, 0};
    int32_t m_anchor[2] = {-1, -1};
    unsigned m_update = 0;
    XIconDrawer *m_icons = nullptr;
    XReleaseProc m_releaseProc = nullptr;
    XGridDrawProc m_drawProc = nullptr;
    void *m_drawUser = nullptr;
};
