#include "platform/scriptkit/xrow_grider.h"

#include <cstring>
#include <utility>

#include "corekit/memory/memory.h"
#include "platform/scriptkit/value_hold.h"
#include "platform/scriptkit/xdata_node.h"

using namespace scriptkit;

namespace {

bool IsTextType(uint16_t type)
{
    return type == kValueText || type == kValueText2;
}

// The value converted to what a column of colType holds; false when it takes none.
bool ConvertValue(uint16_t colType, uint16_t type, XScriptValue_t &value)
{
    if (IsTextType(colType))
        return IsTextType(type);
    if (colType == kValueInteger && type == kValueFloater) {
        value.integer = FloaterToInteger(value.floater);
        return true;
    }
    if (colType == kValueFloater && type == kValueInteger) {
        value.floater = static_cast<double>(value.integer);
        return true;
    }
    return colType == type;
}

} // namespace

XRowGrider *XRowGrider::Malloc()
{
    return new XRowGrider();
}

XRowGrider::~XRowGrider()
{
    DropRows();
    MemFree(m_rows);
    MemFree(m_columns);
}

uint32_t XRowGrider::AddRef()
{
    return ++m_refs;
}

uint32_t XRowGrider::Release()
{
    if (m_refs > 1)
        return --m_refs;
    delete this;
    return 0;
}

void XRowGrider::DropCell(uint32_t col, Cell *cell)
{
    if (!cell->isNull)
        DropValue(m_columns[col].type, cell->value, true);
    cell->isNull = 1;
    cell->length = 0;
    cell->value.integer = 0;
}

void XRowGrider::DropRows()
{
    for (uint32_t r = 0; r < m_rowCount; ++r) {
        for (uint32_t c = 0; c < m_colCount; ++c)
            DropCell(c, &m_rows[r].cells[c]);
        MemFree(m_rows[r].cells);
    }
    m_rowCount = 0;
}

int XRowGrider::SetItemDesc(const XGridColumn_t *columns, const uint32_t *flags, uint32_t count)
{
    if (count > kMaxColumns || (count && !columns))
        return 0;
    DropRows();
    MemFree(m_columns);
    m_columns = nullptr;
    if (count) {
        m_columns = static_cast<XGridColumn_t *>(MemAlloc(count * sizeof(XGridColumn_t)));
        std::memcpy(m_columns, columns, count * sizeof(XGridColumn_t));
    }
    m_colCount = count;
    for (uint32_t i = 0; i < count; ++i) {
        m_columns[i].name[31] = 0;
        if (flags)
            m_columns[i].flags = flags[i];
    }
    return 1;
}

int XRowGrider::SetItemKape(const uint32_t *flags, uint32_t count)
{
    if (count != m_colCount)
        return 0;
    for (uint32_t i = 0; i < count; ++i)
        m_columns[i].flags = flags ? flags[i] : 0;
    return 1;
}

const XGridColumn_t *XRowGrider::GetColumn(uint32_t i) const
{
    return i < m_colCount ? &m_columns[i] : nullptr;
}

uint32_t XRowGrider::AppendRow()
{
    if (m_rowCount == m_rowCapacity) {
        uint32_t capacity = m_rowCapacity ? m_rowCapacity * 2 : 16;
        m_rows = static_cast<Row *>(MemRealloc(m_rows, capacity * sizeof(Row)));
        m_rowCapacity = capacity;
    }
    Row &row = m_rows[m_rowCount];
    row.marker = 0;
    row.cells = static_cast<Cell *>(MemAlloc(m_colCount * sizeof(Cell)));
    for (uint32_t c = 0; c < m_colCount; ++c) {
        row.cells[c].isNull = 1;
        row.cells[c].length = 0;
        row.cells[c].value.integer = 0;
    }
    return m_rowCount++;
}

int XRowGrider::DeleteRow(uint32_t row)
{
    if (row >= m_rowCount)
        return 0;
    for (uint32_t c = 0; c < m_colCount; ++c)
        DropCell(c, &m_rows[row].cells[c]);
    MemFree(m_rows[row].cells);
    std::memmove(&m_rows[row], &m_rows[row + 1], (m_rowCount - row - 1) * sizeof(Row));
    --m_rowCount;
    return 1;
}

uint32_t XRowGrider::GetLineMarker(uint32_t row) const
{
    return row < m_rowCount ? m_rows[row].marker : 0;
}

int XRowGrider::SetLineMarker(uint32_t row, uint32_t marker)
{
    if (row >= m_rowCount)
        return 0;
    m_rows[row].marker = marker;
    return 1;
}

XRowGrider::Cell *XRowGrider::GetCell(uint32_t row, uint32_t col) const
{
    if (row >= m_rowCount || col >= m_colCount)
        return nullptr;
    return &m_rows[row].cells[col];
}

// Stores an owned copy of a borrowed value; the copy is made before the old value is
// given back, so a cell may be set to the table or stream it already holds.
int XRowGrider::StoreCell(uint32_t row, uint32_t col, uint16_t type, const XScriptValue_t &value)
{
    Cell *cell = GetCell(row, col);
    if (!cell)
        return 0;
    uint16_t colType = m_columns[col].type;
    XScriptValue_t converted = value;
    if (!ConvertValue(colType, type, converted))
        return 0;
    XScriptValue_t copy;
    uint32_t length = 0;
    CopyValue(colType, converted, copy, &length);
    DropCell(col, cell);
    cell->value = copy;
    cell->length = length;
    cell->isNull = 0;
    return 1;
}

int XRowGrider::SetCellNull(uint32_t row, uint32_t col)
{
    Cell *cell = GetCell(row, col);
    if (!cell)
        return 0;
    DropCell(col, cell);
    return 1;
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, int64_t v)
{
    XScriptValue_t value;
    value.integer = v;
    return StoreCell(row, col, kValueInteger, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, double v)
{
    XScriptValue_t value;
    value.floater = v;
    return StoreCell(row, col, kValueFloater, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, const char16_t *text)
{
    if (!text)
        return SetCellNull(row, col);
    XScriptValue_t value;
    value.text = text;
    return StoreCell(row, col, kValueText, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, const DATETIME_t &t)
{
    XScriptValue_t value;
    value.integer = 0;
    value.time = t;
    return StoreCell(row, col, kValueTime, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, const uint8_t *block)
{
    if (!block)
        return SetCellNull(row, col);
    XScriptValue_t value;
    value.bytes = block;
    return StoreCell(row, col, kValueBytes, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, IArchive *stream)
{
    if (!stream)
        return SetCellNull(row, col);
    XScriptValue_t value;
    value.stream = stream;
    return StoreCell(row, col, kValueStream, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, XRowGrider *table)
{
    if (!table)
        return SetCellNull(row, col);
    if (table == this)
        return 0; // a table inside itself would never be released
    XScriptValue_t value;
    value.table = table;
    return StoreCell(row, col, kValueTable, value);
}

int XRowGrider::SetCellValue(uint32_t row, uint32_t col, const XDataNode *node)
{
    if (!node || IsNullNode(node))
        return SetCellNull(row, col);
    if ((IsTextType(node->type) && !node->value.text) ||
        (node->type == kValueBytes && !node->value.bytes))
        return SetCellNull(row, col);
    if (node->type == kValueTable && node->value.table == this)
        return 0;
    return StoreCell(row, col, node->type, node->value);
}

int XRowGrider::IsCellNull(uint32_t row, uint32_t col) const
{
    const Cell *cell = GetCell(row, col);
    return !cell || cell->isNull ? 1 : 0;
}

int XRowGrider::GetCellValue(uint32_t row, uint32_t col, XDataNode *node) const
{
    const Cell *cell = GetCell(row, col);
    if (!cell)
        return 0;
    ClearDataNode(node);
    const XGridColumn_t &column = m_columns[col];
    node->id = column.id;
    node->size = column.size;
    node->type = IsTextType(column.type) ? kValueText : column.type;
    if (cell->isNull)
        return 1;
    node->isNull = 0;
    node->hold = kNodeBorrows;
    node->length = cell->length;
    node->value = cell->value;
    AddValueRef(column.type, node->value);
    return 1;
}

const XScriptValue_t *XRowGrider::GetCellData(uint32_t row, uint32_t col, uint32_t *length) const
{
    const Cell *cell = GetCell(row, col);
    if (!cell || cell->isNull)
        return nullptr;
    if (length)
        *length = cell->length;
    return &cell->value;
}

int XRowGrider::AddGrider(const XRowGrider *src, int flag)
{
    if (!src)
        return 0;
    if (flag && src != this)
        DropRows();
    uint32_t rows = src->m_rowCount;
    uint32_t cols = src->m_colCount < m_colCount ? src->m_colCount : m_colCount;
    for (uint32_t r = 0; r < rows; ++r) {
        uint32_t to = AppendRow();
        m_rows[to].marker = src->m_rows[r].marker;
        for (uint32_t c = 0; c < cols; ++c) {
            const Cell &cell = src->m_rows[r].cells[c];
            if (!cell.isNull &&
                !(src->m_columns[c].type == kValueTable && cell.value.table == this))
                StoreCell(to, c, src->m_columns[c].type, cell.value);
        }
    }
    return 1;
}

void XRowGrider::Swap(XRowGrider *other)
{
    std::swap(m_colCount, other->m_colCount);
    std::swap(m_rowCount, other->m_rowCount);
    std::swap(m_rowCapacity, other->m_rowCapacity);
    std::swap(m_columns, other->m_columns);
    std::swap(m_rows, other->m_rows);
}
