#pragma once
// A reference-counted table of typed columns: the value of type 129. Cells hold their
// values the way item data descriptors do (integers, doubles and times by value, owned
// UTF-16 text and byte blocks, one reference to a stream or table), so a value passes
// between a table, a descriptor and a data node unchanged.

#include <cstdint>

#include "platform/scriptkit/script_value.h"
#include "platform/scriptkit/scriptkit_export.h"

struct XDataNode;
class XMF_Archive;

// One column: identity, value-type code, declared size, flags and name.
struct XGridColumn_t
{
    uint32_t id;
    uint16_t type;
    uint16_t size;
    uint32_t flags;
    char16_t name[32]; // terminated
};

// Line markers read by table writers.
constexpr uint32_t kLineSubtotal = 0x10;
constexpr uint32_t kLineTotal = 0x20;

class SCRIPTKIT_EXPORT XRowGrider
{
public:
    // A new table without columns or rows, reference count 1.
    static XRowGrider *Malloc();
    XRowGrider(const XRowGrider &) = delete;
    XRowGrider &operator=(const XRowGrider &) = delete;

    uint32_t AddRef();
    // Count - 1; at 0 the table and its cells are destroyed and 0 is returned.
    uint32_t Release();

    // Defines the columns (count of them, at most kMaxColumns), dropping every row.
    // flags (null: all 0) overrides the columns' flags. 0 for count above the limit.
    int SetItemDesc(const XGridColumn_t *columns, const uint32_t *flags, uint32_t count);
    // Sets the column flags of a table of `count` columns (null flags: all 0). 0 when
    // the table has another number of columns.
    int SetItemKape(const uint32_t *flags, uint32_t count);

    uint32_t GetColCount() const { return m_colCount; }
    // Column i, or null.
    const XGridColumn_t *GetColumn(uint32_t i) const;
    uint32_t GetRowCount() const { return m_rowCount; }

    // Appends a row of null cells; returns its index.
    uint32_t AppendRow();
    // Removes a row; 0 when it does not exist.
    int DeleteRow(uint32_t row);
    // The marker word of a row (kLineSubtotal, kLineTotal ...); 0 for a missing row.
    uint32_t GetLineMarker(uint32_t row) const;
    int SetLineMarker(uint32_t row, uint32_t marker);

    // Cell setters: 1 when stored, 0 for a missing cell or a value the column's type
    // does not take. Integer columns take integers and doubles (saturated), floating
    // columns both as double; text columns (2 and 14) text; the others their own type.
    // A null pointer makes the cell null.
    int SetCellNull(uint32_t row, uint32_t col);
    int SetCellValue(uint32_t row, uint32_t col, int64_t v);
    int SetCellValue(uint32_t row, uint32_t col, double v);
    int SetCellValue(uint32_t row, uint32_t col, const char16_t *text);
    int SetCellValue(uint32_t row, uint32_t col, const DATETIME_t &t);
    int SetCellValue(uint32_t row, uint32_t col, const uint8_t *block);
    int SetCellValue(uint32_t row, uint32_t col, IArchive *stream);
    int SetCellValue(uint32_t row, uint32_t col, XRowGrider *table);
    // Dispatches on the node's type; a null node or null-marked node makes the cell null.
    int SetCellValue(uint32_t row, uint32_t col, const XDataNode *node);

    // Non-zero when the cell is null (also for a missing cell).
    int IsCellNull(uint32_t row, uint32_t col) const;
    // Fills node with the cell: the column's id, size and type (14 as 2), and when not
    // null the value, text and bytes borrowed from the table, streams and tables with an
    // added reference. 0 for a missing cell.
    int GetCellValue(uint32_t row, uint32_t col, XDataNode *node) const;
    // The cell's value word and its text units or byte count; null for a missing cell or
    // a null one. The pointer stays valid until the cell changes.
    const XScriptValue_t *GetCellData(uint32_t row, uint32_t col, uint32_t *length = nullptr) const;

    // Appends src's rows (markers included), column by column for the columns both
    // tables have, converting as the setters do (a value a column cannot take is null).
    // flag non-zero drops this table's rows first. src may be this table. Returns 1.
    int AddGrider(const XRowGrider *src, int flag);

    // Writes the table as section `code` of the archive. Non-zero on success.
    int SaveStorage(uint16_t code, XMF_Archive *archive) const;
    // Reads a table written by SaveStorage: the next header must start section `code`.
    // On any malformed part 0 is returned and the table is left as it was.
    int FromStorage(XMF_Archive *archive, uint16_t code);

    static constexpr uint32_t kMaxColumns = 4096;
    // Tables inside table cells are stored down to this depth; deeper ones (and a table
    // that holds itself through others) are stored as null.
    static constexpr uint32_t kMaxDepth = 8;

    struct Cell
    {
        int16_t isNull;
        uint32_t length;
        XScriptValue_t value;
    };

private:
    struct Row
    {
        uint32_t marker;
        Cell *cells;
    };

    XRowGrider() = default;
    ~XRowGrider();

    Cell *GetCell(uint32_t row, uint32_t col) const;
    void DropRows();
    void DropCell(uint32_t col, Cell *cell);
    int StoreCell(uint32_t row, uint32_t col, uint16_t type, const XScriptValue_t &value);
    // Moves everything of other into this table and leaves other empty.
    void Swap(XRowGrider *other);
    int SaveAt(uint16_t code, XMF_Archive *archive, uint32_t depth) const;
    int LoadAt(XMF_Archive *archive, uint16_t code, uint32_t depth);
    int ReadColumns(XMF_Archive *archive);
    int ReadRow(XMF_Archive *archive, uint32_t depth);

    uint32_t m_refs = 1;
    uint32_t m_colCount = 0;
    uint32_t m_rowCount = 0;
    uint32_t m_rowCapacity = 0;
    XGridColumn_t *m_columns = nullptr;
    Row *m_rows = nullptr;
};
