// Sorting, the total row, subtotal rows and the bar maxima of the grid.
//
// Results written into total and subtotal rows touch neither the modified option nor any
// row state: they are the grid's own rows, never saved.

#include <algorithm>
#include <vector>

#include "corekit/containers/xsort_helper.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"

namespace {

// Rows whose adder is below this contribute to the totals.
constexpr uint16_t kAdderContributes = 8;

// One column's accumulator: integer columns exactly in 64 bits (wrapping), doubles in
// double precision, both in row order.
struct Accumulator
{
    unsigned col = 0;
    uint16_t aggregate = kAggrNone;
    bool integer = false;
    uint64_t isum = 0;
    int64_t imax = INT64_MIN;
    int64_t imin = INT64_MAX;
    double dsum = 0;
    double dmax = -1.7e308;
    double dmin = 1.7e308;

    void Add(const XGB_HEADER &h, const XSuberNode &cell)
    {
        // Null cells and other types count as 0.
        if (integer) {
            const int64_t v = cell.isNull ? 0 : cell.value.integer;
            isum += static_cast<uint64_t>(v);
            imax = std::max(imax, v);
            imin = std::min(imin, v);
        } else {
            const double v = CellNumber(h, &cell);
            dsum += v;
            dmax = std::max(dmax, v);
            dmin = std::min(dmin, v);
        }
    }

    // Writes the result over n contributing rows (null when there is none).
    void Write(const XGB_HEADER &h, XSuberNode *cell, unsigned n) const
    {
        if (n == 0 || (h.dataType != kGridInteger && h.dataType != kGridDouble)) {
            CellSetNull(h, cell);
            return;
        }
        const auto sum = static_cast<int64_t>(isum);
        if (integer) {
            switch (aggregate) {
            case kAggrSum:
                CellSetInteger(h, cell, sum);
                return;
            case kAggrMax:
                CellSetInteger(h, cell, imax);
                return;
            case kAggrMin:
                CellSetInteger(h, cell, imin);
                return;
            default:
                CellSetInteger(h, cell, static_cast<int64_t>(static_cast<double>(sum) / n));
                return;
            }
        }
        switch (aggregate) {
        case kAggrSum:
            CellSetDouble(h, cell, dsum);
            return;
        case kAggrMax:
            CellSetDouble(h, cell, dmax);
            return;
        case kAggrMin:
            CellSetDouble(h, cell, dmin);
            return;
        default:
            CellSetDouble(h, cell, dsum / n);
            return;
        }
    }
};

bool IsAggregate(uint16_t aggregate)
{
    return aggregate >= kAggrSum && aggregate <= kAggrAverage;
}

} // namespace

// ---- sorting --------------------------------------------------------------------------

void XPageGrider::SortMatter(const unsigned *cols, unsigned count, int order)
{
    if (m_rowCount < 2 || cols == nullptr || count == 0)
        return;
    const unsigned k = std::min(count, kSortMaxKeys);
    unsigned char types[kSortMaxKeys];
    unsigned char descending[kSortMaxKeys];
    for (unsigned i = 0; i < k; ++i) {
        if (cols[i] >= m_colCount)
            return;
        const uint16_t type = m_columns[cols[i]]->header.dataType;
        types[i] = type == kGridInteger  ? kVarInteger
                   : type == kGridDouble ? kVarFloater
                                         : kVarText;
        descending[i] = order > 0 ? 1 : 0;
    }
    XSortHelper sorter;
    sorter.SetType(types, descending, k);
    XVarValue values[kSortMaxKeys];
    unsigned char nulls[kSortMaxKeys];
    XMatterNode *r = m_head;
    for (; r != nullptr && r->adder < kAdderTotal; r = r->next) {
        for (unsigned i = 0; i < k; ++i) {
            const XSuberNode &cell = r->subers[cols[i]];
            values[i].integer = 0;
            nulls[i] = cell.isNull ? 1 : 0;
            if (cell.isNull)
                continue;
            if (types[i] == kVarInteger)
                values[i].integer = cell.value.integer;
            else if (types[i] == kVarFloater)
                values[i].floater = cell.value.floater;
            else if (cell.text == nullptr || cell.text[0] == 0)
                nulls[i] = 1;
            else
                values[i].text = cell.text;
        }
        sorter.AddItem(values, nulls, r);
    }
    RelinkSorted(sorter, r);
    Renumber();
    m_sortCol = cols[0] | (order > 0 ? kSortDescending : 0);
    ClearBlock();
    RequestUpdate(false);
}

void XPageGrider::RelinkSorted(const XSortHelper &sorter, XMatterNode *rest)
{
    // The sorted rows, then `rest`: the total row and whatever follows it.
    XMatterNode *prev = nullptr;
    m_head = nullptr;
    const void *cursor = nullptr;
    while (void *item = sorter.GetNextItem(&cursor)) {
        auto *row = static_cast<XMatterNode *>(item);
        row->prev = prev;
        (prev != nullptr ? prev->next : m_head) = row;
        prev = row;
    }
    if (prev != nullptr)
        prev->next = rest;
    if (rest != nullptr)
        rest->prev = prev;
    else
        m_tail = prev;
    if (m_head == nullptr)
        m_head = rest;
}

// ---- totals ---------------------------------------------------------------------------

XMatterNode *XPageGrider::EnsureTotalRow(bool *added)
{
    *added = false;
    if (m_tail != nullptr && m_tail->adder >= kAdderTotal)
        return m_tail;
    XMatterNode *total = AllocMatter();
    total->adder = kAdderTotal;
    total->backColor = m_baseColors[3];
    total->prev = m_tail;
    (m_tail != nullptr ? m_tail->next : m_head) = total;
    m_tail = total;
    total->index = static_cast<uint32_t>(m_rows.size());
    m_rows.push_back(total);
    m_rowCount = static_cast<unsigned>(m_rows.size());
    *added = true;
    return total;
}

void XPageGrider::ComputeAggregate(int col)
{
    if (!(extraFlags & kGridTotals))
        return;
    if (col >= 0 && static_cast<unsigned>(col) >= m_colCount)
        return;
    std::vector<Accumulator> acc;
    for (unsigned i = 0; i < m_colCount; ++i) {
        const XGB_HEADER &h = m_columns[i]->header;
        if ((col < 0 || static_cast<unsigned>(col) == i) && IsAggregate(h.aggregate)) {
            Accumulator a;
            a.col = i;
            a.aggregate = h.aggregate;
            a.integer = h.dataType == kGridInteger;
            acc.push_back(a);
        }
    }
    unsigned n = 0;
    for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
        if (r->adder >= kAdderContributes)
            continue;
        ++n;
        for (Accumulator &a : acc)
            a.Add(m_columns[a.col]->header, r->subers[a.col]);
    }
    bool added = false;
    XMatterNode *total = EnsureTotalRow(&added);
    for (const Accumulator &a : acc)
        a.Write(m_columns[a.col]->header, &total->subers[a.col], n);
    if (added)
        UpdateExtent();
    InvalidateRow(total);
}

void XPageGrider::ReleaseSubtotals()
{
    XMatterNode *r = m_head;
    while (r != nullptr) {
        XMatterNode *next = r->next;
        if (r->adder == kAdderSubtotal) {
            (r->prev != nullptr ? r->prev->next : m_head) = next;
            (next != nullptr ? next->prev : m_tail) = r->prev;
            if (m_editRow == r)
                m_editRow = nullptr;
            ReleaseMatter(r);
        }
        r = next;
    }
}

int XPageGrider::CreateAggrSuber(const unsigned *cols, unsigned count)
{
    if (!(extraFlags & kGridTotals) || (extraFlags & kGridEditable) || cols == nullptr)
        return 0;
    std::vector<uint16_t> types(count);
    for (unsigned i = 0; i < count; ++i) {
        if (cols[i] >= m_colCount)
            return 0;
        types[i] = m_columns[cols[i]]->header.dataType;
    }
    extraFlags |= kGridNoSort;
    ReleaseSubtotals();
    std::vector<Accumulator> proto;
    for (unsigned i = 0; i < m_colCount; ++i) {
        const XGB_HEADER &h = m_columns[i]->header;
        if (IsAggregate(h.aggregate)) {
            Accumulator a;
            a.col = i;
            a.aggregate = h.aggregate;
            a.integer = h.dataType == kGridInteger;
            proto.push_back(a);
        }
    }
    XMatterNode *r = m_head;
    while (r != nullptr && r->adder < kAdderTotal) {
        if (r->adder != 0) {
            r = r->next;
            continue;
        }
        std::vector<Accumulator> acc = proto;
        XMatterNode *first = r;
        XMatterNode *last = r;
        unsigned n = 0;
        while (r != nullptr && r->adder == 0 && MatchMatter(first, r, cols, types.data(), count)) {
            for (Accumulator &a : acc)
                a.Add(m_columns[a.col]->header, r->subers[a.col]);
            ++n;
            last = r;
            r = r->next;
        }
        XMatterNode *sub = AllocMatter();
        sub->adder = kAdderSubtotal;
        sub->backColor = m_baseColors[4];
        for (const Accumulator &a : acc)
            a.Write(m_columns[a.col]->header, &sub->subers[a.col], n);
        sub->prev = last;
        sub->next = last->next;
        (last->next != nullptr ? last->next->prev : m_tail) = sub;
        last->next = sub;
    }
    Renumber();
    ClearBlock();
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

void XPageGrider::ComputeSchedule()
{
    for (unsigned i = 0; i < m_colCount; ++i) {
        XHeaderNode *column = m_columns[i];
        const XGB_HEADER &h = column->header;
        if (h.cellKind != kCellBar && h.cellKind != kCellRange)
            continue;
        double max = 0.0001;
        for (XMatterNode *r = m_head; r != nullptr; r = r->next) {
            const XSuberNode &cell = r->subers[i];
            if (cell.isNull)
                continue;
            double v = CellNumber(h, &cell);
            if (h.cellKind == kCellRange && h.dataType == kGridInteger) {
                const auto bits = static_cast<uint64_t>(cell.value.integer);
                v = static_cast<double>(((bits >> 16) & 0xFFFF) + (bits & 0xFFFF));
            }
            max = std::max(max, v);
        }
        column->maxValue = max;
    }
}
