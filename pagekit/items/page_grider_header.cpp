// The grid's columns: definition and display order, normalisation of descriptors, group
// headers and saved layouts.

#include <algorithm>

#include "corekit/memory/memory.h"
#include "pagekit/items/page_grider.h"

namespace {

constexpr uint32_t kUnsetColor = 0xFFFFFFFF;
// Bar colour of graphic columns that inherit theirs.
constexpr uint32_t kBarDefaultColor = 0x00FF00;

// Graphic kinds above 1024 with numeric cells: kind, accepts integers, accepts doubles,
// format word of an accepted double column.
struct GraphicKind
{
    uint16_t kind;
    bool integers;
    bool doubles;
    uint32_t doubleFormat;
};
constexpr GraphicKind kGraphicKinds[] = {
    {kCellBar, true, true, 0x02000004},
    {kCellRange, true, false, 0},
    {kCellPercent, true, true, 0x02000002},
    {kCellLedger, true, true, 0x03010002},
};

const GraphicKind *FindGraphic(uint16_t kind)
{
    for (const GraphicKind &g : kGraphicKinds)
        if (g.kind == kind)
            return &g;
    return nullptr;
}

// The stored form of a descriptor: sizes by type, graphic kinds by what they accept.
// Returns true for a graphic column that kept its kind.
bool Normalise(XGB_HEADER *h)
{
    if (h->dataType == kGridInteger)
        h->dataSize = h->dataSize < 4 ? 2 : h->dataSize < 8 ? 4 : 8;
    else if (h->dataType == kGridDouble || h->dataType == kGridDateTime)
        h->dataSize = 8;
    if (h->cellKind <= 1024)
        return false;
    const GraphicKind *g = FindGraphic(h->cellKind);
    const bool accepted = g != nullptr && ((h->dataType == kGridInteger && g->integers) ||
                                           (h->dataType == kGridDouble && g->doubles));
    if (!accepted) {
        h->cellKind = kCellPlain;
        h->format = 0;
        return false;
    }
    h->cellMode = 0;
    h->format = h->dataType == kGridInteger ? 0 : g->doubleFormat;
    return true;
}

char16_t *CopyText(const char16_t *text)
{
    return text != nullptr ? StrAlloc(text) : nullptr;
}

} // namespace

XHeaderNode *XPageGrider::ColumnAt(unsigned col) const
{
    return col < m_colCount ? m_columns[col] : nullptr;
}

XHeaderNode *XPageGrider::GetHeaderNode(unsigned col) const
{
    return ColumnAt(col);
}

void XPageGrider::RenumberColumns()
{
    m_colCount = static_cast<unsigned>(m_columns.size());
    m_defFirst = m_colCount != 0 ? m_columns[0] : nullptr;
    for (unsigned i = 0; i < m_colCount; ++i) {
        m_columns[i]->defIndex = static_cast<int32_t>(i);
        m_columns[i]->defNext = i + 1 < m_colCount ? m_columns[i + 1] : nullptr;
    }
    UpdateOffsets();
}

void XPageGrider::BuildViewOrder()
{
    if (m_viewBuilt)
        return;
    m_viewFirst = m_defFirst;
    for (unsigned i = 0; i < m_colCount; ++i) {
        m_columns[i]->viewNext = m_columns[i]->defNext;
        m_columns[i]->viewIndex = static_cast<int32_t>(i);
    }
    m_viewBuilt = true;
}

void XPageGrider::FreeColumn(XHeaderNode *column)
{
    if (column->editor != nullptr && column->editor->GetOwner() == this)
        DeleteItem(column->editor);
    MemFree(const_cast<char16_t *>(column->header.title));
    MemFree(const_cast<char16_t *>(column->header.mapper));
    delete column;
}

void XPageGrider::RecountHeaderLines()
{
    m_headerLines = 1;
    for (const XRegionNode *r = m_regions; r != nullptr; r = r->next)
        m_headerLines = std::max(m_headerLines, r->lastLine + 2);
}

void XPageGrider::DiscardRows()
{
    RemoveAllMatter();
    // Deleted rows carry cells of the old columns: they cannot be read any more.
    RemoveAllDelete();
}

unsigned XPageGrider::InsertHeader(unsigned index, const XGB_HEADER *header)
{
    if (header == nullptr)
        return 0;
    DiscardRows();
    auto *column = new XHeaderNode{};
    column->header = *header;
    if (Normalise(&column->header) && column->header.textColor == kUnsetColor)
        column->header.textColor = kBarDefaultColor;
    column->header.baseWide = column->header.wide;
    column->header.title = CopyText(header->title);
    const char16_t *mapper = header->mapper;
    if (column->header.dataType == kGridDateTime && (mapper == nullptr || mapper[0] == 0))
        mapper = kGridTimeTemplate;
    column->header.mapper = CopyText(mapper);
    column->maxValue = 100.0;
    const unsigned at = std::min(index, m_colCount);
    m_columns.insert(m_columns.begin() + at, column);
    RenumberColumns();
    m_lockCount = 0;
    DropViewOrder();
    UpdateExtent();
    RequestUpdate(false);
    return at;
}

int XPageGrider::SetHeader(unsigned col, const XGB_HEADER *header)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr || header == nullptr)
        return 0;
    XGB_HEADER next = *header;
    Normalise(&next);
    const XGB_HEADER &old = column->header;
    if (next.dataType != old.dataType || next.dataSize != old.dataSize)
        DiscardRows();
    if ((next.cellKind != old.cellKind || next.cellMode != old.cellMode) &&
        column->editor != nullptr) {
        // The cached editor was made for the old kind.
        if (m_editor == column->editor)
            CloseEditor(0);
        if (column->editor->GetOwner() == this)
            DeleteItem(column->editor);
        column->editor = nullptr;
    }
    // Copied before the old texts go: a caller may pass back what GetHeader gave it.
    next.baseWide = next.wide;
    next.title = CopyText(header->title);
    next.mapper = CopyText(header->mapper);
    MemFree(const_cast<char16_t *>(old.title));
    MemFree(const_cast<char16_t *>(old.mapper));
    column->header = next;
    UpdateOffsets();
    RebuildColumnTexts(col);
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::GetHeader(unsigned col, XGB_HEADER *out) const
{
    const XHeaderNode *column = ColumnAt(col);
    if (column == nullptr || out == nullptr)
        return 0;
    *out = column->header;
    return 1;
}

int XPageGrider::DeleteHeader(unsigned col)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr)
        return 0;
    BuildViewOrder();
    const auto viewPos = static_cast<uint32_t>(column->viewIndex);
    XRegionNode **link = &m_regions;
    while (*link != nullptr) {
        XRegionNode *r = *link;
        if (r->lastCol >= viewPos) {
            *link = r->next;
            MemFree(r->title);
            delete r;
        } else {
            link = &r->next;
        }
    }
    RecountHeaderLines();
    DiscardRows();
    m_columns.erase(m_columns.begin() + col);
    FreeColumn(column);
    RenumberColumns();
    m_lockCount = 0;
    DropViewOrder();
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::EnableHeader(unsigned col, int locked)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr)
        return 0;
    column->header.locked = static_cast<uint16_t>(locked);
    return 1;
}

int XPageGrider::SetHeaderWide(unsigned col, unsigned wide)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr)
        return 0;
    column->header.wide = static_cast<uint16_t>(wide);
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::MoveHeader(unsigned viewPos, int dir)
{
    BuildViewOrder();
    if (viewPos >= m_colCount)
        return 0;
    if (dir == 0 ? viewPos == 0 : viewPos + 1 >= m_colCount)
        return 0;
    const unsigned other = dir == 0 ? viewPos - 1 : viewPos + 1;
    if ((extraFlags & kGridTree) && (viewPos == 0 || other == 0))
        return 0;
    std::vector<XHeaderNode *> view;
    view.reserve(m_colCount);
    for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext)
        view.push_back(c);
    std::swap(view[viewPos], view[other]);
    for (unsigned i = 0; i < m_colCount; ++i) {
        view[i]->viewIndex = static_cast<int32_t>(i);
        view[i]->viewNext = i + 1 < m_colCount ? view[i + 1] : nullptr;
    }
    m_viewFirst = view[0];
    ClearBlock();
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::SwitchHeader(unsigned a, unsigned b)
{
    XHeaderNode *ca = ColumnAt(a);
    XHeaderNode *cb = ColumnAt(b);
    if (ca == nullptr || cb == nullptr)
        return 0;
    DiscardRows();
    std::swap(ca->header, cb->header);
    std::swap(ca->maxValue, cb->maxValue);
    std::swap(ca->editor, cb->editor);
    UpdateOffsets();
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::SetWideDefine(const uint16_t *words)
{
    if (words == nullptr || words[0] != m_colCount)
        return 0;
    return SetWideDefine(words, 2 + 2 * m_colCount);
}

int XPageGrider::SetWideDefine(const uint16_t *words, unsigned count)
{
    if (words == nullptr || count < 2 || words[0] != m_colCount || m_colCount == 0)
        return 0;
    if (count < 2 + 2 * m_colCount)
        return 0;
    if (m_colCount > kWideDefineMaxCols) {
        DropViewOrder();
        return 0;
    }
    std::vector<XHeaderNode *> byPos(m_colCount, nullptr);
    for (unsigned i = 0; i < m_colCount; ++i) {
        const unsigned pos = words[3 + 2 * i];
        if (pos >= m_colCount || byPos[pos] != nullptr) {
            DropViewOrder();
            return 0;
        }
        byPos[pos] = m_columns[i];
    }
    for (unsigned i = 0; i < m_colCount; ++i)
        m_columns[i]->header.wide = words[2 + 2 * i];
    for (unsigned i = 0; i < m_colCount; ++i) {
        byPos[i]->viewIndex = static_cast<int32_t>(i);
        byPos[i]->viewNext = i + 1 < m_colCount ? byPos[i + 1] : nullptr;
    }
    m_viewFirst = byPos[0];
    m_viewBuilt = true;
    SetLockHeader(words[1]);
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

int XPageGrider::SetItemMapper(unsigned col, const char16_t *mapper)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr)
        return 0;
    const XGB_HEADER &h = column->header;
    const bool mask = h.cellKind == kCellEdit && h.cellMode == kCellModeMask;
    if (!mask && h.cellKind != kCellCombo && h.cellKind != kCellRadio)
        return 0;
    char16_t *copy = CopyText(mapper); // mapper may be the column's own
    MemFree(const_cast<char16_t *>(h.mapper));
    column->header.mapper = copy;
    RebuildColumnTexts(col);
    OnMapperChanged(column);
    RequestUpdate(false);
    return 1;
}

const char16_t *XPageGrider::GetItemMapper(unsigned col) const
{
    const XHeaderNode *column = ColumnAt(col);
    return column != nullptr ? column->header.mapper : nullptr;
}

XHeaderNode *XPageGrider::GetHeaderWare(int view)
{
    if (view == 0)
        return m_defFirst;
    BuildViewOrder();
    return m_viewFirst;
}

void XPageGrider::AddRegionNode(unsigned firstCol, unsigned lastCol, unsigned firstLine,
                                unsigned lastLine, const char16_t *title)
{
    if (firstCol > lastCol || lastCol >= m_colCount || firstLine > lastLine ||
        lastLine >= kRegionMaxLine)
        return;
    auto *region =
        new XRegionNode{firstCol, lastCol, firstLine, lastLine, CopyText(title), m_regions};
    m_regions = region;
    m_headerLines = std::max(m_headerLines, lastLine + 2);
    UpdateExtent();
    RequestUpdate(false);
}

void XPageGrider::GetRegionPlace(const XRegionNode *region, BOUND_t *out)
{
    if (region == nullptr || out == nullptr)
        return;
    BuildViewOrder();
    int x = static_cast<int>(m_guideWide);
    int width = 0;
    for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        const auto pos = static_cast<uint32_t>(c->viewIndex);
        if (pos < region->firstCol)
            x += c->header.wide;
        else if (pos <= region->lastCol)
            width += c->header.wide;
    }
    out->x = x;
    out->y = static_cast<int>(region->firstLine * m_lineHeight);
    out->width = width;
    out->height = static_cast<int>((region->lastLine - region->firstLine + 1) * m_lineHeight);
}

unsigned XPageGrider::GetHeaderTop(unsigned viewPos) const
{
    unsigned lines = 0;
    for (const XRegionNode *r = m_regions; r != nullptr; r = r->next)
        if (r->firstCol <= viewPos && viewPos <= r->lastCol)
            lines = std::max(lines, r->lastLine + 1);
    return lines * m_lineHeight;
}

int XPageGrider::SetLockHeader(unsigned count)
{
    for (const XRegionNode *r = m_regions; r != nullptr; r = r->next)
        if (r->firstCol < count && count <= r->lastCol)
            return 0;
    m_lockCount = count < m_colCount ? count : 0;
    UpdateExtent();
    RequestUpdate(false);
    return 1;
}

void XPageGrider::RemoveAllHeader()
{
    DiscardRows();
    while (m_regions != nullptr) {
        XRegionNode *r = m_regions;
        m_regions = r->next;
        MemFree(r->title);
        delete r;
    }
    for (XHeaderNode *column : m_columns)
        FreeColumn(column);
    m_columns.clear();
    RenumberColumns();
    m_viewFirst = nullptr;
    DropViewOrder();
    m_headerLines = 1;
    m_lockCount = 0;
    m_sortCol = 0xFFFFFFFF;
    UpdateExtent();
}
