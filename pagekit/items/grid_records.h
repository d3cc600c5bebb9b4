#pragma once
// The records of the grid item: the column descriptor callers exchange with it, and the
// grid's own column, group-header, row and cell records.
//
// Columns have two orders: definition order (the order of InsertHeader; every column
// index of the value interface is a definition index) and display order (left to right
// on screen). Rows form one doubly linked list; each row carries one cell per column, in
// definition order.

#include <cstddef>
#include <cstdint>

#include "corekit/systime/systime.h"

class XPageItem;

// ---------------------------------------------------------------------------------------
// Codes of the column descriptor
// ---------------------------------------------------------------------------------------

// XGB_HEADER::dataType.
enum : uint16_t {
    kGridInteger = 1,  // 2, 4 or 8 bytes in a matter record; a 64-bit integer in a cell
    kGridText = 2,     // dataSize UTF-16 units in a matter record, terminator included
    kGridDouble = 3,   // 8 bytes
    kGridDateTime = 4, // DATETIME_t, 8 bytes
};

// XGB_HEADER::cellKind. 18, 19 and 20 are the item kinds of the edit, combo and radio
// items; the others belong to the grid alone.
enum : uint16_t {
    kCellEdit = 18,      // mode kCellModeNumber, kCellModeMask, 6, 7, 8 or plain text
    kCellCombo = 19,     // name of the code in the mapper
    kCellRadio = 20,     // mode non-zero: one option; mode 0: a check group
    kCellPlain = 128,    // plain text, never edited
    kCellColor = 513,    // colour swatch or caller drawing
    kCellIcon = 514,     // icon number of the grid's icon set
    kCellCheck = 515,    // check box, with one in the header
    kCellLink = 528,     // text drawn as a link
    kCellBar = 1025,     // bar scaled to the column maximum
    kCellRange = 1026,   // range bar: high 16 bits start, low 16 bits length
    kCellPercent = 1027, // percent bar
    kCellLedger = 1281,  // ledger digits
};
// Modes of kCellEdit.
enum : uint16_t {
    kCellModeNumber = 1, // number text by the format word
    kCellModeMask = 2,   // value through the mask mapper
};
// XGB_HEADER::format bit of combo columns: text columns store the code, not the name.
constexpr uint32_t kGridComboTextCodes = 0x100;

// XGB_HEADER::aggregate.
enum : uint16_t {
    kAggrNone = 0,
    kAggrSum = 1,
    kAggrMax = 2,
    kAggrMin = 3,
    kAggrAverage = 4,
};

// Column descriptor, exchanged by value. The two text pointers are the caller's on input
// and the grid's own (valid until the column changes) on output.
struct XGB_HEADER
{
    uint16_t cellKind;  // kCell*
    uint16_t cellMode;  // variant of cellKind
    uint32_t format;    // number format word; combo extra flags; kind 515: header box state
    uint16_t dataType;  // kGrid*
    uint16_t dataSize;  // integer 2, 4, 8; text capacity in units with terminator; else 8
    uint16_t align;     // low 3 bits text alignment; bits 4-7: multi-line
    uint16_t unite;     // non-zero: equal display texts of following rows merge
    uint16_t aggregate; // kAggr*
    uint16_t locked;    // non-zero: never edited
    uint16_t wide;      // width in pixels; 0 hides the column
    uint16_t baseWide;  // width at definition time
    uint32_t textColor; // 0x00BBGGRR, 0xFFFFFFFF inherit; bar colour of bar kinds
    uint32_t backColor;
    const char16_t *title;
    const char16_t *mapper; // code string, mask or date-time template
};
static_assert(offsetof(XGB_HEADER, dataType) == 8 && offsetof(XGB_HEADER, textColor) == 24 &&
                  offsetof(XGB_HEADER, title) == 32 && offsetof(XGB_HEADER, mapper) == 40,
              "the descriptor keeps its field order without padding; pointers are pointer-sized");

// One column, owned by the grid. header.title and header.mapper point to owned copies.
struct XHeaderNode
{
    XGB_HEADER header;
    int32_t defIndex;      // position in definition order
    int32_t viewIndex;     // position in display order (valid while the order is built)
    double maxValue;       // scale of the bar kinds
    XPageItem *editor;     // the cached in-cell editor, created on first use
    XHeaderNode *viewNext; // display order
    XHeaderNode *defNext;  // definition order
};

// A group header over display columns firstCol..lastCol and header lines
// firstLine..lastLine. Stored newest first.
struct XRegionNode
{
    uint32_t firstCol;
    uint32_t lastCol;
    uint32_t firstLine;
    uint32_t lastLine;
    char16_t *title; // owned
    XRegionNode *next;
};

// The value of a cell by its column's type: every integer column holds a 64-bit integer
// whatever its size; text is owned by the cell.
union XSuberValue {
    int64_t integer;
    double floater;
    DATETIME_t time;
    char16_t *text;
};

// One cell. A new cell is null with both colours inherited.
struct XSuberNode
{
    uint16_t isNull;    // 1: no value
    uint16_t covered;   // non-zero: merged into the cell above
    uint32_t backColor; // 0xFFFFFFFF: the row's
    uint32_t textColor;
    uint32_t reserved1;
    XSuberValue value;
    char16_t *text; // display text, owned (null: empty)
    uintptr_t reserved2;
};

// Row states (XMatterNode::state).
enum : uint16_t {
    kMatterSelected = 0x1,
    kMatterFlagsLow = 0xF, // cleared when another row becomes the single selection
    kMatterNew = 0x100,
    kMatterModified = 0x200,
    kMatterCollapsed = 0x1000, // tree grids: the row's descendants are hidden
};
// Row kinds (XMatterNode::adder): below kAdderSubtotal a data row.
enum : uint16_t {
    kAdderSubtotal = 16,
    kAdderTotal = 32,
};

// One row.
struct XMatterNode
{
    uint32_t index; // position in the row list
    uint16_t state; // kMatter*
    uint16_t adder; // row kind
    uint16_t layer; // level in a tree
    uint32_t image; // icon number of the guide column
    uint32_t backColor;
    uint32_t textColor;
    int64_t data; // the caller's key
    void *kape;   // the caller's pointer
    XSuberNode *subers;
    XMatterNode *next;
    XMatterNode *prev;
};

inline bool IsDataMatter(const XMatterNode *row)
{
    return row->adder < kAdderSubtotal;
}
