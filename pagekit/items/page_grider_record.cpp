// Matter records and the value interface of the grid.
//
// A matter record holds the columns in definition order without padding: integers of
// their size (2, 4 or 8 bytes), doubles and DATETIME_t of 8 bytes, texts of dataSize
// UTF-16 units. Every field is little-endian and read or written byte by byte, so a
// record may sit at any address. A text field carries at most dataSize - 1 units and a
// terminator (dataSize counts it); reading stops at the first zero unit.

#include <cmath>
#include <cstring>
#include <vector>

#include "corekit/numbers/numbers.h"
#include "corekit/text/strings.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"

namespace {

uint64_t LoadLE(const unsigned char *p, unsigned n)
{
    uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i)
        v |= static_cast<uint64_t>(p[i]) << (8 * i);
    return v;
}

void StoreLE(unsigned char *p, uint64_t v, unsigned n)
{
    for (unsigned i = 0; i < n; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

double LoadDouble(const unsigned char *p)
{
    const uint64_t bits = LoadLE(p, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void StoreDouble(unsigned char *p, double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    StoreLE(p, bits, 8);
}

DATETIME_t LoadTime(const unsigned char *p)
{
    DATETIME_t t;
    t.wYear = static_cast<uint16_t>(LoadLE(p, 2));
    t.bMonth = p[2];
    t.bDay = p[3];
    t.bHour = p[4];
    t.bMinute = p[5];
    t.bSecond = p[6];
    t.bMilli = p[7];
    return t;
}

void StoreTime(unsigned char *p, const DATETIME_t &t)
{
    StoreLE(p, t.wYear, 2);
    p[2] = t.bMonth;
    p[3] = t.bDay;
    p[4] = t.bHour;
    p[5] = t.bMinute;
    p[6] = t.bSecond;
    p[7] = t.bMilli;
}

// Units of a text field read up to its first zero, at most dataSize - 1.
std::vector<char16_t> LoadText(const unsigned char *p, unsigned dataSize)
{
    std::vector<char16_t> text;
    const unsigned max = dataSize > 0 ? dataSize - 1 : 0;
    for (unsigned i = 0; i < max; ++i) {
        const auto u = static_cast<char16_t>(LoadLE(p + 2 * i, 2));
        if (u == 0)
            break;
        text.push_back(u);
    }
    if (text.size() == max && max > 0 && text.back() >= 0xD800 && text.back() <= 0xDBFF)
        text.pop_back(); // the pair's second half is beyond the field
    text.push_back(0);
    return text;
}

// Writes text cut to dataSize - 1 units (never inside a surrogate pair) and zero-fills
// the field.
void StoreText(unsigned char *p, const char16_t *text, unsigned dataSize)
{
    std::memset(p, 0, 2 * static_cast<size_t>(dataSize));
    if (text == nullptr || dataSize == 0)
        return;
    const unsigned n = CutLength(text, dataSize - 1);
    for (unsigned i = 0; i < n; ++i)
        StoreLE(p + 2 * i, text[i], 2);
}

// A double as a 64-bit integer: truncated, NaN 0, saturated beyond the range.
int64_t ToInteger(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return INT64_MAX;
    if (d <= -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(d);
}

} // namespace

// ---- layout ---------------------------------------------------------------------------

unsigned XPageGrider::FieldSize(const XHeaderNode *column) const
{
    const XGB_HEADER &h = column->header;
    return h.dataType == kGridText ? 2u * h.dataSize : h.dataSize;
}

void XPageGrider::UpdateOffsets()
{
    m_offsets.assign(m_colCount + 1, 0);
    for (unsigned i = 0; i < m_colCount; ++i)
        m_offsets[i + 1] = m_offsets[i] + FieldSize(m_columns[i]);
}

unsigned XPageGrider::GetMatterSize() const
{
    return m_offsets.empty() ? 0 : m_offsets[m_colCount];
}

void *XPageGrider::SeekSuber(void *record, unsigned col) const
{
    if (record == nullptr || col >= m_colCount)
        return nullptr;
    return static_cast<unsigned char *>(record) + m_offsets[col];
}

void XPageGrider::ReadField(const XHeaderNode *column, const unsigned char *field, XSuberNode *cell)
{
    const XGB_HEADER &h = column->header;
    switch (h.dataType) {
    case kGridInteger: {
        const unsigned n = h.dataSize;
        CellSetInteger(h, cell, NarrowInteger(static_cast<int64_t>(LoadLE(field, n)), n));
        break;
    }
    case kGridDouble:
        CellSetDouble(h, cell, LoadDouble(field));
        break;
    case kGridDateTime:
        CellSetTime(h, cell, LoadTime(field));
        break;
    case kGridText: {
        const std::vector<char16_t> text = LoadText(field, h.dataSize);
        CellSetTextValue(h, cell, text.data(), static_cast<unsigned>(text.size() - 1));
        break;
    }
    default:
        CellSetNull(h, cell);
        break;
    }
}

void XPageGrider::WriteField(const XHeaderNode *column, const XSuberNode *cell,
                             unsigned char *field, unsigned char *isNull) const
{
    const XGB_HEADER &h = column->header;
    const unsigned size = FieldSize(column);
    if (isNull != nullptr)
        *isNull = cell->isNull ? 1 : 0;
    if (field == nullptr)
        return;
    std::memset(field, 0, size);
    if (cell->isNull)
        return;
    switch (h.dataType) {
    case kGridInteger:
        StoreLE(field, static_cast<uint64_t>(cell->value.integer), h.dataSize);
        break;
    case kGridDouble:
        StoreDouble(field, cell->value.floater);
        break;
    case kGridDateTime:
        StoreTime(field, cell->value.time);
        break;
    case kGridText:
        StoreText(field, cell->value.text, h.dataSize);
        break;
    default:
        break;
    }
}

void XPageGrider::SetupFromRecord(XMatterNode *row, const void *record, const unsigned char *nulls)
{
    if (record == nullptr)
        return; // every cell stays null
    const auto *bytes = static_cast<const unsigned char *>(record);
    for (unsigned i = 0; i < m_colCount; ++i) {
        const XGB_HEADER &h = m_columns[i]->header;
        if (nulls != nullptr && nulls[i] != 0)
            CellSetNull(h, &row->subers[i]);
        else
            ReadField(m_columns[i], bytes + m_offsets[i], &row->subers[i]);
    }
    extraFlags |= kGridModified;
}

void XPageGrider::RebuildColumnTexts(unsigned col)
{
    const XGB_HEADER &h = m_columns[col]->header;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        CellRebuildText(h, &r->subers[col]);
}

// ---- PutValue -------------------------------------------------------------------------

int XPageGrider::PutValue(void *record, unsigned col, uint32_t value)
{
    return PutValue(record, col, static_cast<int64_t>(value));
}

int XPageGrider::PutValue(void *record, unsigned col, int64_t value)
{
    auto *field = static_cast<unsigned char *>(SeekSuber(record, col));
    if (field == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    char16_t text[kIntegerTextMax];
    switch (h.dataType) {
    case kGridInteger:
        StoreLE(field, static_cast<uint64_t>(value), h.dataSize);
        return 1;
    case kGridText:
        FromInteger(text, value);
        StoreText(field, text, h.dataSize);
        return 1;
    case kGridDouble:
        StoreDouble(field, static_cast<double>(value));
        return 1;
    default:
        return 0;
    }
}

int XPageGrider::PutValue(void *record, unsigned col, double value)
{
    auto *field = static_cast<unsigned char *>(SeekSuber(record, col));
    if (field == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    switch (h.dataType) {
    case kGridInteger:
        StoreLE(field, static_cast<uint64_t>(ToInteger(value)), h.dataSize);
        return 1;
    case kGridText: {
        std::vector<char16_t> text(kFloaterTextMax);
        FromFloater(text.data(), value);
        StoreText(field, text.data(), h.dataSize);
        return 1;
    }
    case kGridDouble:
        StoreDouble(field, value);
        return 1;
    default:
        return 0;
    }
}

int XPageGrider::PutValue(void *record, unsigned col, const char16_t *text)
{
    auto *field = static_cast<unsigned char *>(SeekSuber(record, col));
    if (field == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    if (text == nullptr) {
        std::memset(field, 0, FieldSize(m_columns[col]));
        return 1;
    }
    switch (h.dataType) {
    case kGridInteger:
        StoreLE(field, static_cast<uint64_t>(ToInt64(text)), h.dataSize);
        return 1;
    case kGridText:
        StoreText(field, text, h.dataSize);
        return 1;
    case kGridDouble:
        StoreDouble(field, ToFloater(text));
        return 1;
    case kGridDateTime: {
        DATETIME_t t = {1900, 1, 1, 0, 0, 0, 0};
        if (ParseTimeEx(&t, text, h.mapper) == 0)
            return 0;
        StoreTime(field, t);
        return 1;
    }
    default:
        return 0;
    }
}

int XPageGrider::PutValue(void *record, unsigned col, const DATETIME_t &value)
{
    auto *field = static_cast<unsigned char *>(SeekSuber(record, col));
    if (field == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    if (h.dataType == kGridDateTime) {
        StoreTime(field, value);
        return 1;
    }
    if (h.dataType == kGridText) {
        char16_t text[64];
        FormatTimeEx(text, &value, kGridTimeTemplate);
        StoreText(field, text, h.dataSize);
        return 1;
    }
    return 0;
}

// ---- whole rows -----------------------------------------------------------------------

int XPageGrider::GetMatter(unsigned index, void *record, unsigned char *nulls)
{
    XMatterNode *row = RowAt(static_cast<int>(index));
    return row != nullptr ? GetMatter(static_cast<void *>(row), record, nulls) : 0;
}

int XPageGrider::GetMatter(void *row, void *record, unsigned char *nulls) const
{
    if (row == nullptr)
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    auto *bytes = static_cast<unsigned char *>(record);
    for (unsigned i = 0; i < m_colCount; ++i)
        WriteField(m_columns[i], &r->subers[i], bytes != nullptr ? bytes + m_offsets[i] : nullptr,
                   nulls != nullptr ? nulls + i : nullptr);
    return 1;
}

int XPageGrider::SetMatter(unsigned index, const void *record, const unsigned char *nulls)
{
    XMatterNode *row = RowAt(static_cast<int>(index));
    return row != nullptr ? SetMatter(static_cast<void *>(row), record, nulls) : 0;
}

int XPageGrider::SetMatter(void *row, const void *record, const unsigned char *nulls)
{
    if (row == nullptr || record == nullptr)
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    SetupFromRecord(r, record, nulls);
    if (m_update != 0) {
        m_update |= kUpdateData;
    } else {
        InvalidateRow(r);
        ComputeAggregate(-1);
    }
    return 1;
}

// ---- single cells ---------------------------------------------------------------------

int XPageGrider::GetPseudo(const XMatterNode *row, unsigned col, XVarMeter *out) const
{
    int64_t v = 0;
    switch (col) {
    case kSuberRowIndex:
        v = row->index;
        break;
    case kSuberRowData:
        v = row->data;
        break;
    case kSuberSelected:
        v = row->state & kMatterSelected;
        break;
    case kSuberLayer:
        v = row->layer;
        break;
    default:
        return 0;
    }
    out->type = kVarInteger;
    out->value.integer = v;
    return 1;
}

int XPageGrider::GetSuber(void *row, unsigned col, XVarMeter *out) const
{
    if (row == nullptr || out == nullptr)
        return 0;
    auto *r = static_cast<XMatterNode *>(row);
    if (col >= m_colCount)
        return GetPseudo(r, col, out);
    const XGB_HEADER &h = m_columns[col]->header;
    const XSuberNode &cell = r->subers[col];
    out->value.integer = 0;
    if (cell.isNull) {
        out->type = kVarNull;
        return 1;
    }
    switch (h.dataType) {
    case kGridInteger:
        out->type = kVarInteger;
        out->value.integer = cell.value.integer;
        break;
    case kGridText:
        out->type = kVarText;
        out->value.text = cell.value.text;
        break;
    case kGridDouble:
        out->type = kVarFloater;
        out->value.floater = cell.value.floater;
        break;
    case kGridDateTime:
        out->type = kVarDateTime;
        out->value.time = cell.value.time;
        break;
    default:
        out->type = kVarNull;
        break;
    }
    return 1;
}

int XPageGrider::GetSuber(void *row, const unsigned *cols, unsigned count, XVarMeter *out) const
{
    if (row == nullptr || cols == nullptr || out == nullptr)
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        // This form knows the first three pseudo columns only.
        if (cols[i] >= m_colCount && cols[i] == kSuberLayer)
            return 0;
        if (GetSuber(row, cols[i], out + i) == 0)
            return 0;
    }
    return 1;
}

int XPageGrider::GetSuber(void *row, unsigned col, void *record, unsigned char *nulls) const
{
    if (row == nullptr || col >= m_colCount)
        return 0;
    WriteField(m_columns[col], &static_cast<XMatterNode *>(row)->subers[col],
               static_cast<unsigned char *>(record), nulls);
    return 1;
}

int XPageGrider::GetSuber(void *row, const unsigned *cols, unsigned count, void *record,
                          unsigned char *nulls) const
{
    if (row == nullptr || cols == nullptr)
        return 0;
    for (unsigned i = 0; i < count; ++i)
        if (cols[i] >= m_colCount)
            return 0;
    auto *bytes = static_cast<unsigned char *>(record);
    for (unsigned i = 0; i < count; ++i) {
        const XHeaderNode *column = m_columns[cols[i]];
        WriteField(column, &static_cast<XMatterNode *>(row)->subers[cols[i]], bytes,
                   nulls != nullptr ? nulls + i : nullptr);
        if (bytes != nullptr)
            bytes += FieldSize(column);
    }
    return 1;
}

void XPageGrider::AfterCellChange(XMatterNode *row, unsigned col)
{
    extraFlags |= kGridModified;
    if (m_editor != nullptr && m_editRow == row && m_editCol == static_cast<int>(col) &&
        m_editor->kind == kKindEdit) {
        const char16_t *text = row->subers[col].text;
        m_editor->SetItemText(text != nullptr ? text : u"");
    }
    row->state |= kMatterModified;
    if (m_update != 0) {
        m_update |= kUpdateData;
        return;
    }
    InvalidateRow(row);
    ComputeAggregate(static_cast<int>(col));
}

int XPageGrider::SetSuber(void *row, unsigned col, const XVarMeter *value)
{
    if (row == nullptr || col >= m_colCount || value == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    XSuberNode *cell = &static_cast<XMatterNode *>(row)->subers[col];
    const uint32_t type = value->type;
    if (type == kVarNull) {
        CellSetNull(h, cell);
    } else if (h.dataType == kGridInteger && (type == kVarInteger || type == kVarFloater)) {
        CellSetInteger(
            h, cell, type == kVarInteger ? value->value.integer : ToInteger(value->value.floater));
    } else if (h.dataType == kGridDouble && (type == kVarInteger || type == kVarFloater)) {
        CellSetDouble(h, cell,
                      type == kVarFloater ? value->value.floater
                                          : static_cast<double>(value->value.integer));
    } else if (h.dataType == kGridText && type == kVarText) {
        if (value->value.text == nullptr)
            CellSetNull(h, cell);
        else
            CellSetTextValue(h, cell, value->value.text, Strlen(value->value.text));
    } else if (h.dataType == kGridDateTime && type == kVarDateTime) {
        CellSetTime(h, cell, value->value.time);
    } else {
        return 0;
    }
    AfterCellChange(static_cast<XMatterNode *>(row), col);
    return 1;
}

int XPageGrider::SetSuber(void *row, unsigned col, const void *value, const unsigned char *isNull)
{
    if (row == nullptr || col >= m_colCount)
        return 0;
    const XHeaderNode *column = m_columns[col];
    XSuberNode *cell = &static_cast<XMatterNode *>(row)->subers[col];
    if (isNull != nullptr && *isNull != 0)
        CellSetNull(column->header, cell);
    else if (value != nullptr)
        ReadField(column, static_cast<const unsigned char *>(value), cell);
    else
        return 0;
    AfterCellChange(static_cast<XMatterNode *>(row), col);
    return 1;
}

int XPageGrider::SetItemText(void *row, unsigned col, const char16_t *text)
{
    if (row == nullptr || col >= m_colCount)
        return 0;
    CellSetFromText(m_columns[col]->header, &static_cast<XMatterNode *>(row)->subers[col], text);
    AfterCellChange(static_cast<XMatterNode *>(row), col);
    return 1;
}

int XPageGrider::SetComboText(void *row, unsigned col, const char16_t *text)
{
    if (row == nullptr || col >= m_colCount)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    if (h.cellKind != kCellCombo)
        return 0;
    char16_t name[kComboMatchMax];
    if (MatchComboName(text, h.mapper, name, kComboMatchMax) < 0)
        return 0;
    CellSetFromText(h, &static_cast<XMatterNode *>(row)->subers[col], name);
    AfterCellChange(static_cast<XMatterNode *>(row), col);
    return 1;
}

int XPageGrider::GetComboCode(void *row, unsigned col, int textCode, char16_t *out) const
{
    if (row == nullptr || col >= m_colCount || out == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    if (h.cellKind != kCellCombo)
        return 0;
    out[0] = 0;
    out[1] = 0;
    const XSuberNode &cell = static_cast<XMatterNode *>(row)->subers[col];
    if (cell.isNull || cell.text == nullptr)
        return 0;
    if (textCode != 0 || IsTextCodeCombo(h)) {
        char16_t code[kComboCodeSize];
        if (::GetComboCode(code, h.mapper, cell.text) < 0)
            return 0;
        out[0] = 2;
        CopyCut(out + 1, code, kComboCodeOut - 1);
        return 1;
    }
    uint32_t code = 0;
    if (GetComboBox(&code, h.mapper, cell.text) < 0 || code == kComboEmptyValue)
        return 0;
    out[0] = 1;
    FromInteger(out + 1, static_cast<int64_t>(code));
    return 1;
}

const char16_t *XPageGrider::GetDisplayText(void *row, unsigned col) const
{
    if (row == nullptr || col >= m_colCount)
        return nullptr;
    return static_cast<XMatterNode *>(row)->subers[col].text;
}

int XPageGrider::GetItemText(void *row, unsigned col, char16_t *out, unsigned size) const
{
    if (row == nullptr || col >= m_colCount || out == nullptr || size == 0)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    const XSuberNode &cell = static_cast<XMatterNode *>(row)->subers[col];
    if (cell.isNull) {
        out[0] = 0;
        return 1;
    }
    if (h.cellKind >= 513 && h.cellKind <= 1279 && h.dataType != kGridText) {
        std::vector<char16_t> number(kFloaterTextMax);
        if (h.dataType == kGridInteger)
            FromInteger(number.data(), cell.value.integer);
        else if (h.dataType == kGridDouble)
            FromFloater(number.data(), cell.value.floater);
        CopyCut(out, number.data(), size);
        return 1;
    }
    CopyCut(out, cell.text, size);
    return 1;
}

void XPageGrider::SetUnite(void *row, unsigned col, unsigned covered)
{
    if (row == nullptr || col >= m_colCount)
        return;
    XSuberNode *cell = &static_cast<XMatterNode *>(row)->subers[col];
    if (covered & 0x10)
        CellSetNull(m_columns[col]->header, cell);
    cell->covered = static_cast<uint16_t>(covered);
}

int XPageGrider::MatchMatter(void *a, void *b, const unsigned *cols, const uint16_t *types,
                             unsigned count) const
{
    if (a == nullptr || b == nullptr || cols == nullptr || types == nullptr)
        return 0;
    for (unsigned i = 0; i < count; ++i) {
        if (cols[i] >= m_colCount)
            return 0;
        const XGB_HEADER &h = m_columns[cols[i]]->header;
        const XSuberNode &x = static_cast<XMatterNode *>(a)->subers[cols[i]];
        const XSuberNode &y = static_cast<XMatterNode *>(b)->subers[cols[i]];
        if (x.isNull || y.isNull) {
            if (x.isNull != y.isNull)
                return 0;
            continue;
        }
        bool same = false;
        switch (types[i]) {
        case kGridInteger:
            same = x.value.integer == y.value.integer;
            break;
        case kGridDouble:
            same = x.value.floater == y.value.floater;
            break;
        case kGridDateTime:
            same = CompareTime(x.value.time, y.value.time) == 0;
            break;
        default: {
            // Texts: the value text of text columns, the display text of the others.
            const char16_t *tx = h.dataType == kGridText ? x.value.text : x.text;
            const char16_t *ty = h.dataType == kGridText ? y.value.text : y.text;
            same = Strcmp(tx != nullptr ? tx : u"", ty != nullptr ? ty : u"") == 0;
            break;
        }
        }
        if (!same)
            return 0;
    }
    return 1;
}

unsigned XPageGrider::SetChoice(unsigned col, const void *value)
{
    if (col >= m_colCount || value == nullptr)
        return 0;
    const XGB_HEADER &h = m_columns[col]->header;
    const auto *bytes = static_cast<const unsigned char *>(value);
    unsigned count = 0;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
        const XSuberNode &cell = r->subers[col];
        bool match = false;
        if (IsDataMatter(r) && !cell.isNull) {
            switch (h.dataType) {
            case kGridInteger:
                match = cell.value.integer ==
                        NarrowInteger(static_cast<int64_t>(LoadLE(bytes, h.dataSize)), h.dataSize);
                break;
            case kGridDouble:
                match = cell.value.floater == LoadDouble(bytes);
                break;
            case kGridDateTime:
                match = CompareTime(cell.value.time, LoadTime(bytes)) == 0;
                break;
            case kGridText:
                match = Strcmp(cell.value.text, static_cast<const char16_t *>(value)) == 0;
                break;
            default:
                break;
            }
        }
        if (match) {
            r->state |= kMatterSelected;
            ++count;
        } else {
            r->state &= ~kMatterSelected;
        }
    }
    RequestUpdate(false);
    return count;
}
