// The grid's geometry and painting: heights, title, guide column and frozen edge, the
// content extents, hit tests and cell places, then the frame, row, cell and header
// painting.
//
// Coordinates. Body coordinates have their origin at the body's top-left corner: the
// header band is at the top, rows start below it, moved up by the vertical scroll, and
// columns right of the frozen edge move left by the horizontal scroll. Content (child
// space) coordinates are body coordinates plus the scroll position; editors are placed
// there.
//
// A frame paints only the rows in the clip: the first one comes from the row index and
// the running data-row number from the index of the rows that are no data rows, so a
// grid of a million rows paints like one of a thousand.

#include <algorithm>
#include <cstdio>

#include "corekit/text/strings.h"
#include "pagekit/core/ctrl_icon.h"
#include "pagekit/core/style_geometry.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"
#include "platform/panekit/icon/icon_drawer.h"
#include "platform/panekit/image/ximage.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/text/font_handle.h"

namespace {

constexpr unsigned kDefaultHeight = 18;
constexpr unsigned kLedgerTitle = 28;
constexpr int kDefaultFont = 12;
constexpr uint32_t kOutline = 0x505050;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kUnset = 0xFFFFFFFF;
// Ledger rules: the units-to-decimals rule, the thousands rules, the others.
constexpr uint32_t kLedgerPoint = 0x0000FF;
constexpr uint32_t kLedgerGroup = 0xFF0000;
constexpr uint32_t kLedgerRule = 0x00FF00;
constexpr int kLedgerSlot = 10;
constexpr int kLedgerFont = 16;
constexpr char16_t kLedgerFamily[] = u"宋体";
constexpr uint32_t kLayoutGuide = 73;  // right, middle, one line
constexpr uint32_t kLayoutCentre = 74; // centre, middle, one line
constexpr int kGuideMargin = 3;
constexpr int kSortIconWide = 13;
constexpr int kCheckBox = 13; // the box inside the 16-pixel check icon, from its pixel 1
constexpr uint32_t kSidesRowCell = 0x1100;
constexpr uint32_t kSidesRightOnly = 0x100;

int FontHeight(const XStyleDesc &style)
{
    return style.fontSize > 0 ? style.fontSize : kDefaultFont;
}

unsigned DecimalDigits(unsigned n)
{
    unsigned digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

bool SameText(const char16_t *a, const char16_t *b)
{
    return Strcmp(a != nullptr ? a : u"", b != nullptr ? b : u"") == 0;
}

// The check state of a check cell's value.
bool IsChecked(const XSuberNode &cell)
{
    if (cell.isNull)
        return false;
    const int64_t v = cell.value.integer;
    const auto high = static_cast<int16_t>(static_cast<uint32_t>(v) >> 16);
    return high > 0 || (high >= 0 && (v & 0xFFFF) != 0);
}

// A bar of width pixels inside the inset cell, clamped to it; nothing when not positive.
void DrawBar(XPainter *painter, const BOUND_t &inset, double left, double width, uint32_t color)
{
    const int x0 = inset.x + std::clamp(static_cast<int>(left), 0, inset.width);
    const int w = std::clamp(static_cast<int>(width), 0, inset.x + inset.width - x0);
    if (w <= 0)
        return;
    const BOUND_t bar = {x0, inset.y, w, inset.height};
    painter->FillRect(&bar, color);
}

void Outline(XPainter *painter, const BOUND_t &inset)
{
    painter->SetLineStyle(16, kOutline);
    painter->DrawRect(&inset);
}

void DrawCheck(XPainter *painter, const BOUND_t &cell, bool checked)
{
    // The icon's box lies on its pixels 1 ... 13: centre the box, not the icon.
    const int x = cell.x + (cell.width - kCheckBox) / 2 - 1;
    const int y = cell.y + (cell.height - kCheckBox) / 2 - 1;
    DrawCtrlIcon(painter, checked ? kCtrlIconCheckOn : kCtrlIconCheckOff, x, y);
}

} // namespace

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

void XPageGrider::SetItemHeight(int which, unsigned height)
{
    (which == 0 ? m_rowHeight : m_lineHeight) = height != 0 ? height : kDefaultHeight;
    UpdateExtent();
    RequestUpdate(false);
}

unsigned XPageGrider::GetItemHeight(int which) const
{
    switch (which) {
    case 0:
        return m_rowHeight;
    case 1:
        return m_lineHeight;
    default:
        return m_titleHeight;
    }
}

void XPageGrider::ComputeTitleSize()
{
    if (extraFlags & kGridNoHeader) {
        m_titleHeight = 0;
        return;
    }
    unsigned height = m_lineHeight * m_headerLines;
    for (const XHeaderNode *c : m_columns)
        if (c->header.cellKind == kCellLedger)
            height = std::max(height, kLedgerTitle);
    m_titleHeight = height;
}

void XPageGrider::ComputeBlockSize()
{
    unsigned wide = 0;
    if (extraFlags & kGridGuide) {
        wide = 4;
        if ((extraFlags & kGridRowIcon) && !(extraFlags & kGridTree))
            wide = (m_icons != nullptr ? static_cast<unsigned>(m_icons->GetIconWidth()) : 16) + 4;
        const auto font = static_cast<unsigned>(FontHeight(style));
        if (extraFlags & kGridTotals)
            wide += 2 * font + 8;
        else
            wide += DecimalDigits(m_rowCount) * (font / 2) + 4;
        wide = std::max(wide, 20u);
    }
    if (wide != m_guideWide) {
        m_guideWide = wide;
        m_extentStale = true;
    }
    BuildViewOrder();
    unsigned edge = m_guideWide;
    for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext)
        if (static_cast<unsigned>(c->viewIndex) < m_lockCount)
            edge += c->header.wide;
    m_lockEdge = edge;
}

int XPageGrider::CalcExtentSize(int mode)
{
    ComputeTitleSize();
    ComputeBlockSize();
    uint64_t width = m_guideWide + 4;
    for (const XHeaderNode *c : m_columns)
        width += c->header.wide;
    const uint64_t height = uint64_t{m_titleHeight} + uint64_t{m_rowHeight} * GetShownCount() + 4;
    scroll.width = static_cast<int32_t>(std::min<uint64_t>(width, INT32_MAX));
    scroll.height = static_cast<int32_t>(std::min<uint64_t>(height, INT32_MAX));
    m_extentStale = false;
    return XPageItem::CalcExtentSize(mode);
}

void XPageGrider::FlushExtent()
{
    if (m_extentStale)
        CalcExtentSize(0);
}

XHeaderNode *XPageGrider::ViewColumn(int viewPos)
{
    if (viewPos < 0)
        return nullptr;
    BuildViewOrder();
    for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext)
        if (c->viewIndex == viewPos)
            return c;
    return nullptr;
}

int XPageGrider::ColumnLeft(const XHeaderNode *column)
{
    BuildViewOrder();
    int x = static_cast<int>(m_guideWide);
    for (const XHeaderNode *c = m_viewFirst; c != nullptr && c != column; c = c->viewNext)
        x += c->header.wide;
    if (static_cast<unsigned>(column->viewIndex) >= m_lockCount)
        x -= scroll.x;
    return x;
}

int XPageGrider::GetCellPlace(int row, int viewCol, BOUND_t *out)
{
    if (row < 0 || out == nullptr)
        return 0;
    const int place = GetShownPlace(static_cast<unsigned>(row));
    if (place < 0)
        return 0;
    out->y = static_cast<int>(static_cast<int64_t>(place) * m_rowHeight + m_titleHeight);
    out->height = static_cast<int>(m_rowHeight);
    BuildViewOrder();
    if (viewCol < 0) {
        int width = 0;
        for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext)
            width += c->header.wide;
        out->x = static_cast<int>(m_guideWide);
        out->width = width;
        return 1;
    }
    int x = static_cast<int>(m_guideWide);
    for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        if (c->viewIndex == viewCol) {
            out->x = static_cast<unsigned>(viewCol) < m_lockCount ? x + scroll.x : x;
            out->width = c->header.wide;
            return 1;
        }
        x += c->header.wide;
    }
    return 0;
}

int XPageGrider::HitTest(int x, int y, int *col, XHeaderNode **column)
{
    int row;
    if (y < static_cast<int>(m_titleHeight)) {
        row = 0;
    } else {
        const int64_t at = (int64_t{y} - m_titleHeight + scroll.y) / m_rowHeight;
        row = at >= 0 && at < GetShownCount()
                  ? static_cast<int>(GetShownMatter(static_cast<unsigned>(at))) + 1
                  : -1;
    }
    int hitCol = -1;
    XHeaderNode *hit = nullptr;
    if (x >= 0 && x < static_cast<int>(m_guideWide)) {
        hitCol = 0;
    } else if (x >= static_cast<int>(m_guideWide)) {
        BuildViewOrder();
        int left = static_cast<int>(m_guideWide);
        for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
            const bool frozen = static_cast<unsigned>(c->viewIndex) < m_lockCount;
            const int cx = frozen ? left : left - scroll.x;
            left += c->header.wide;
            // A scrolling column is hidden where the frozen ones cover it.
            if (c->header.wide == 0 || (!frozen && x < static_cast<int>(m_lockEdge)))
                continue;
            if (x >= cx && x < cx + c->header.wide) {
                hitCol = c->viewIndex + 1;
                hit = c;
                break;
            }
        }
    }
    if (col != nullptr)
        *col = hitCol;
    if (column != nullptr)
        *column = hit;
    return row;
}

void XPageGrider::EnsureVisible(unsigned row, unsigned viewCol)
{
    FlushExtent();
    BOUND_t cell;
    if (!GetCellPlace(static_cast<int>(row), static_cast<int>(viewCol), &cell))
        return;
    const int top = cell.y - static_cast<int>(m_titleHeight);
    if (cell.y - scroll.y < static_cast<int>(m_titleHeight))
        SetScrollPos(1, top);
    else if (cell.y + cell.height - scroll.y > body.height)
        SetScrollPos(1, cell.y + cell.height - body.height);
    if (viewCol < m_lockCount)
        return;
    const int edge = static_cast<int>(m_lockEdge);
    if (cell.x - scroll.x < edge)
        SetScrollPos(0, cell.x - edge);
    else if (cell.x + cell.width - scroll.x > body.width)
        SetScrollPos(0, cell.x + cell.width - body.width);
}

void XPageGrider::StartEditor(unsigned row, unsigned viewCol)
{
    XPageWindow *window = GetPageWindow();
    if (window != nullptr)
        PostMessage(kGridStartEdit, 0, static_cast<int32_t>(row), static_cast<int32_t>(viewCol));
}

unsigned XPageGrider::GetShownCount()
{
    return m_rowCount;
}

unsigned XPageGrider::GetShownMatter(unsigned place)
{
    return place;
}

int XPageGrider::GetShownPlace(unsigned index)
{
    return static_cast<int>(std::min<unsigned>(index, INT32_MAX));
}

void XPageGrider::OnDrawMatter(XPainter *painter, const BOUND_t &line, XDrawHelper *helper,
                               int after)
{
    (void)painter;
    (void)line;
    (void)helper;
    (void)after;
}

unsigned XPageGrider::CountDataBefore(unsigned index)
{
    if (m_otherStale) {
        m_otherRows.clear();
        for (const XMatterNode *r : m_rows)
            if (!IsDataMatter(r))
                m_otherRows.push_back(r->index);
        m_otherStale = false;
    }
    const auto others = std::lower_bound(m_otherRows.begin(), m_otherRows.end(), index);
    return index - static_cast<unsigned>(others - m_otherRows.begin());
}

// ---------------------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------------------

void XPageGrider::DrawItem(XPainter *painter, const BOUND_t *bound)
{
    BuildViewOrder();
    if (m_update & kUpdateData)
        m_extentStale = true; // totals may come or go
    FlushUpdate();
    FlushExtent();
    XPageOwner::DrawItem(painter, bound);
}

void XPageGrider::DrawFrame(XPainter *painter, const BOUND_t *bound)
{
    BOUND_t box = {0, 0, place.width, place.height};
    CalcItemPlace(kSpaceMargin, &box, &style);
    painter->FillCtrlBox(&style, &box);
    BuildViewOrder();
    FlushUpdate();
    ComputeTitleSize();
    ComputeBlockSize();
    FlushExtent();

    XStyleDesc rowStyle;
    XStyleDesc headStyle;
    InitStyleDesc(&rowStyle);
    InitStyleDesc(&headStyle);
    itemStyle.GetStyle(kStateChild1, owner, &rowStyle);
    itemStyle.GetStyle(kStateChild2, owner, &headStyle);

    BOUND_t clip;
    if (IntersectBound(&clip, &body, bound)) {
        BOUND_t saved;
        const int hadClip = painter->GetClipRect(&saved);
        painter->SetClipRect(&clip);
        painter->Translate(body.x, body.y);
        clip.x -= body.x;
        clip.y -= body.y;

        XDrawHelper helper = {};
        helper.indent = m_indent;
        helper.rowStyle = &rowStyle;
        helper.headStyle = &headStyle;
        helper.clip = clip;
        const int top = static_cast<int>(m_titleHeight) - scroll.y;
        const int64_t from = std::max<int64_t>(clip.y, m_titleHeight) - top;
        const int64_t to = int64_t{clip.y} + clip.height - top;
        m_drawnRows = 0;
        const unsigned shown = GetShownCount();
        if (shown > 0 && to > from && from >= 0) {
            const auto first = static_cast<unsigned>(from / m_rowHeight);
            const auto last =
                static_cast<unsigned>(std::min<int64_t>((to - 1) / m_rowHeight, shown - 1));
            if (first < shown) {
                XMatterNode *row = m_rows[GetShownMatter(first)];
                if (first == 0) {
                    for (unsigned c = 0; c < m_colCount; ++c)
                        row->subers[c].covered = 0;
                } else {
                    // The merge state of the first painted row comes from the row above.
                    const XMatterNode *above = m_rows[GetShownMatter(first - 1)];
                    for (unsigned c = 0; c < m_colCount; ++c) {
                        if (m_columns[c]->header.unite == 0)
                            continue;
                        row->subers[c].covered =
                            IsDataMatter(above) && IsDataMatter(row) &&
                            SameText(above->subers[c].text, row->subers[c].text);
                    }
                }
                painter->SetFonter(&rowStyle);
                for (unsigned i = first; i <= last; ++i) {
                    // Hidden rows between two shown ones still count for the numbers.
                    row = m_rows[GetShownMatter(i)];
                    helper.dataNumber = CountDataBefore(row->index) + 1;
                    BOUND_t line = {0, top + static_cast<int>(i * m_rowHeight), body.width,
                                    static_cast<int>(m_rowHeight)};
                    helper.row = row;
                    helper.indent = m_indent;
                    OnDrawMatter(painter, line, &helper, 0);
                    DrawMatter(painter, &line, &helper);
                    OnDrawMatter(painter, line, &helper, 1);
                    ++m_drawnRows;
                }
            }
        }
        if (helper.linkFont != nullptr)
            ReleaseFontHandle(helper.linkFont);

        if (!(extraFlags & kGridNoHeader))
            DrawHeader(painter, &clip, &headStyle);
        if (m_lockCount > 0) {
            const int rowsEnd = std::min<int64_t>(top + int64_t{m_rowHeight} * shown, INT32_MAX);
            painter->SetStyleDrawer(&headStyle, 16);
            painter->DrawLine(static_cast<int>(m_lockEdge), static_cast<int>(m_titleHeight),
                              static_cast<int>(m_lockEdge), rowsEnd);
        }
        painter->Translate(-body.x, -body.y);
        painter->SetClipRect(hadClip ? &saved : nullptr);
    }
    FreeStyleDescStrings(&rowStyle);
    FreeStyleDescStrings(&headStyle);
    painter->DrawCtrlBox(&style, &box);
}

void XPageGrider::DrawMatter(XPainter *painter, BOUND_t *bound, XDrawHelper *helper)
{
    const BOUND_t &clip = helper->clip;
    XMatterNode *row = helper->row;
    // Scrolling columns first, from the frozen edge less the scroll.
    int x = static_cast<int>(m_lockEdge) - scroll.x;
    for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        if (static_cast<unsigned>(c->viewIndex) < m_lockCount || c->header.wide == 0)
            continue;
        const int left = x;
        x += c->header.wide;
        if (x <= clip.x)
            continue;
        if (left >= clip.x + clip.width)
            break;
        BOUND_t cell = {left, bound->y, c->header.wide, bound->height};
        helper->column = c;
        helper->viewIndex = static_cast<unsigned>(c->viewIndex);
        DrawCeller(painter, &cell, helper);
    }
    // The guide cell.
    if (m_guideWide > 0) {
        const BOUND_t cell = {0, bound->y, static_cast<int>(m_guideWide), bound->height};
        XStyleDesc *head = helper->headStyle;
        painter->FillCtrlBox(head, &cell);
        painter->DrawBorder(head, &cell, kSidesRowCell);
        const char16_t *label = nullptr;
        char16_t number[16];
        if (row->adder == kAdderTotal) {
            label = u"合计";
        } else if (row->adder >= kAdderSubtotal) {
            label = u"小计";
        } else {
            if ((extraFlags & kGridRowIcon) && !(extraFlags & kGridTree) && m_icons != nullptr)
                m_icons->DrawIcon(painter, static_cast<int>(row->image), 2,
                                  cell.y + (cell.height - m_icons->GetIconHeight()) / 2);
            unsigned n = helper->dataNumber;
            int len = 0;
            char16_t digits[16];
            do {
                digits[len++] = static_cast<char16_t>(u'0' + n % 10);
                n /= 10;
            } while (n != 0);
            for (int i = 0; i < len; ++i)
                number[i] = digits[len - 1 - i];
            number[len] = 0;
            label = number;
        }
        const BOUND_t text = {0, cell.y, cell.width - kGuideMargin, cell.height};
        painter->SetFonter(head);
        painter->SetTextColor(head->textColor);
        painter->DrawText(label, -1, &text, kLayoutGuide);
        painter->SetFonter(helper->rowStyle);
    }
    // Frozen columns over the guide edge, unscrolled.
    x = static_cast<int>(m_guideWide);
    for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        if (static_cast<unsigned>(c->viewIndex) >= m_lockCount)
            continue;
        const int left = x;
        x += c->header.wide;
        if (c->header.wide == 0 || x <= clip.x || left >= clip.x + clip.width)
            continue;
        BOUND_t cell = {left, bound->y, c->header.wide, bound->height};
        helper->column = c;
        helper->viewIndex = static_cast<unsigned>(c->viewIndex);
        DrawCeller(painter, &cell, helper);
    }
}

void XPageGrider::DrawCeller(XPainter *painter, BOUND_t *bound, XDrawHelper *helper)
{
    XMatterNode *row = helper->row;
    XHeaderNode *column = helper->column;
    const XGB_HEADER &h = column->header;
    const auto def = static_cast<unsigned>(column->defIndex);
    XSuberNode &cell = row->subers[def];
    const bool data = IsDataMatter(row);

    // 1. Merging with the row below.
    bool omitBottom = false;
    XMatterNode *next = row->next;
    if (h.unite != 0) {
        if (next != nullptr && IsDataMatter(next)) {
            next->subers[def].covered = 0;
            if (data && SameText(cell.text, next->subers[def].text)) {
                omitBottom = true;
                next->subers[def].covered = 1;
            }
        }
    } else if (next != nullptr && next->subers[def].covered != 0) {
        omitBottom = true;
    }

    // 2. Colours.
    const bool editing = m_editor != nullptr && m_editRow == row && m_editCol == column->defIndex;
    const bool inBlock = m_block[2] > 0 && m_block[3] > 0 &&
                         static_cast<int>(helper->viewIndex) >= m_block[0] &&
                         static_cast<int>(helper->viewIndex) < m_block[0] + m_block[2] &&
                         static_cast<int>(row->index) >= m_block[1] &&
                         static_cast<int>(row->index) < m_block[1] + m_block[3];
    uint32_t textColor;
    if (!editing && inBlock) {
        painter->FillRect(bound, m_baseColors[1]);
        textColor = kWhite;
    } else if (row->state & kMatterSelected) {
        painter->FillRect(bound, m_baseColors[0]);
        textColor = kWhite;
    } else {
        uint32_t fill = cell.backColor != kUnset   ? cell.backColor
                        : row->backColor != kUnset ? row->backColor
                                                   : h.backColor;
        if (fill == kUnset && (row->index & 1) && m_baseColors[2] != kUnset)
            fill = m_baseColors[2];
        if (fill != kUnset)
            painter->FillRect(bound, fill);
        else
            painter->FillCtrlBox(helper->rowStyle, bound);
        textColor = cell.textColor != kUnset   ? cell.textColor
                    : row->textColor != kUnset ? row->textColor
                    : h.textColor != kUnset    ? h.textColor
                                               : helper->rowStyle->textColor;
    }

    // 3. Border; a covered cell shows nothing more.
    painter->DrawBorder(helper->rowStyle, bound, omitBottom ? kSidesRightOnly : kSidesRowCell);
    if (cell.covered != 0)
        return;

    // 4. Content.
    const BOUND_t inset = {bound->x + 2, bound->y + 2, bound->width - 5, bound->height - 5};
    switch (h.cellKind) {
    case kCellColor:
        if (m_drawProc != nullptr) {
            const BOUND_t part = {bound->x, bound->y, bound->width - 1, bound->height - 1};
            m_drawProc(painter, m_drawUser, row->kape, def, &part);
        } else {
            const uint32_t color =
                cell.isNull ? 0 : static_cast<uint32_t>(cell.value.integer) & 0xFFFFFF;
            painter->FillRect(&inset, color);
            Outline(painter, inset);
        }
        return;
    case kCellIcon:
        if (!cell.isNull && m_icons != nullptr) {
            const int size = m_icons->GetIconWidth();
            m_icons->DrawIcon(painter, static_cast<int>(cell.value.integer),
                              bound->x + (bound->width - size) / 2,
                              bound->y + (bound->height - size) / 2);
        }
        return;
    case kCellCheck:
        if (data)
            DrawCheck(painter, *bound, IsChecked(cell));
        return;
    case kCellBar: {
        const uint32_t color = h.textColor != kUnset ? h.textColor : 0x00FF00;
        const double max = std::max(column->maxValue, 0.000001);
        DrawBar(painter, inset, 0, inset.width * CellNumber(h, &cell) / max, color);
        Outline(painter, inset);
        return;
    }
    case kCellRange: {
        if (h.dataType != kGridInteger || column->maxValue <= 0.000001)
            return;
        const uint32_t color = h.textColor != kUnset ? h.textColor : 0x00FF00;
        const auto v = static_cast<uint32_t>(cell.isNull ? 0 : cell.value.integer);
        const double span = bound->width - 3;
        const double start = (v >> 16) / column->maxValue * span;
        const double length = (v & 0xFFFF) / column->maxValue * span;
        // The bar starts one pixel into the cell: one less than the inset.
        DrawBar(painter, inset, start - 1, length, color);
        Outline(painter, inset);
        return;
    }
    case kCellPercent: {
        const double value = std::clamp(CellNumber(h, &cell), 0.0, 100.0);
        painter->FillRect(&inset, kWhite);
        const uint32_t color = h.textColor != kUnset ? h.textColor : 0x00FF00;
        DrawBar(painter, inset, 0, inset.width * value / 100.0, color);
        char text[32];
        std::snprintf(text, sizeof text, "%0.1lf%%", value);
        char16_t wide[32];
        unsigned n = 0;
        for (; text[n] != 0; ++n)
            wide[n] = static_cast<char16_t>(text[n]);
        wide[n] = 0;
        painter->SetTextColor(0);
        painter->DrawText(wide, -1, &inset, kLayoutCentre);
        Outline(painter, inset);
        return;
    }
    case kCellLedger: {
        const int right = bound->x + bound->width - 1;
        for (int k = 0;; ++k) {
            const int lx = right - kLedgerSlot * (k + 1);
            if (lx <= bound->x)
                break;
            const uint32_t color = k == 1                         ? kLedgerPoint
                                   : (k >= 4 && (k - 1) % 3 == 0) ? kLedgerGroup
                                                                  : kLedgerRule;
            painter->SetLineStyle(16, color);
            painter->DrawLine(lx, bound->y, lx, bound->y + bound->height - 1);
        }
        if (cell.text == nullptr)
            return;
        char16_t digits[64];
        int count = 0;
        bool negative = false;
        for (const char16_t *p = cell.text; *p != 0 && count < 63; ++p) {
            if (*p == u'-' && count == 0)
                negative = true;
            else if (*p >= u'0' && *p <= u'9')
                digits[count++] = *p;
        }
        // One ledger font for every grid; it lives as long as the library.
        static XFontHandle *const font = CreateFontHandle(kLedgerFamily, -1, kLedgerFont, 0);
        painter->SelectFonter(font);
        painter->SetTextColor(negative ? kLedgerPoint : textColor);
        const int y = bound->y + (bound->height - kLedgerFont) / 2;
        int slot = 0;
        for (int i = count - 1; i >= -1; --i, ++slot) {
            if (i < 0 && !negative)
                break;
            const char16_t unit = i >= 0 ? digits[i] : u'-';
            const int sx = right - kLedgerSlot * (slot + 1);
            if (sx < bound->x)
                break;
            const BOUND_t box = {sx, y, kLedgerSlot, kLedgerFont};
            painter->DrawText(&unit, 1, &box, 0x42);
        }
        painter->SetFonter(helper->rowStyle);
        return;
    }
    default:
        break;
    }
    if (cell.text == nullptr || cell.text[0] == 0)
        return;
    BOUND_t text = {bound->x + 1, bound->y + 1, bound->width - 2, bound->height - 2};
    if (def == 0 && helper->indent > 0) {
        text.x += helper->indent;
        text.width -= helper->indent;
    }
    uint32_t layout = (h.align & 7u) | 8u;
    if ((h.align & 0xF0) == 0)
        layout |= 64;
    painter->SetTextColor(textColor);
    if (h.cellKind == kCellLink) {
        if (helper->linkFont == nullptr) {
            const XFontHandle *font = painter->GetFonter();
            helper->linkFont = font != nullptr ? CreateFontHandle(font->family, -1, font->pixelSize,
                                                                  font->flags | kFontFlagUnderline)
                                               : CreateFontHandle(nullptr, 0, FontHeight(style),
                                                                  kFontFlagUnderline);
        }
        painter->SelectFonter(helper->linkFont);
        painter->DrawText(cell.text, -1, &text, layout);
        painter->SetFonter(helper->rowStyle);
        return;
    }
    painter->DrawText(cell.text, -1, &text, layout);
}

void XPageGrider::DrawHeader(XPainter *painter, const BOUND_t *bound, XStyleDesc *headStyle)
{
    (void)bound;
    painter->SetFonter(headStyle);
    const int title = static_cast<int>(m_titleHeight);
    auto fillCell = [&](const BOUND_t &cell) {
        painter->FillCtrlBox(headStyle, &cell);
        painter->DrawBorder(headStyle, &cell, kSidesRowCell);
    };
    // Group headers and title cells of one side: scrolling (frozen false) or frozen.
    auto drawSide = [&](bool frozen) {
        for (const XRegionNode *r = m_regions; r != nullptr; r = r->next) {
            if ((r->firstCol < m_lockCount) != frozen)
                continue;
            BOUND_t cell;
            GetRegionPlace(r, &cell);
            if (!frozen)
                cell.x -= scroll.x;
            fillCell(cell);
            painter->SetTextColor(headStyle->textColor);
            const BOUND_t text = {cell.x + 1, cell.y, cell.width - 2, cell.height};
            if (r->title != nullptr)
                painter->DrawText(r->title, -1, &text, kLayoutCentre);
        }
        int x = static_cast<int>(m_guideWide);
        for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
            const int left = frozen ? x : x - scroll.x;
            x += c->header.wide;
            if ((static_cast<unsigned>(c->viewIndex) < m_lockCount) != frozen ||
                c->header.wide == 0)
                continue;
            const int top = static_cast<int>(GetHeaderTop(static_cast<unsigned>(c->viewIndex)));
            const BOUND_t cell = {left, top, c->header.wide, title - top};
            if (cell.height <= 0)
                continue;
            fillCell(cell);
            const XGB_HEADER &h = c->header;
            painter->SetTextColor(headStyle->textColor);
            const uint32_t layout = (h.align & 7u) | 0x48u;
            if (h.cellKind == kCellCheck) {
                DrawCheck(painter, cell, h.format != 0);
                continue;
            }
            BOUND_t text = {cell.x + 2, cell.y, cell.width - 4, cell.height};
            if (h.cellKind == kCellLedger) {
                XImage *ruler = GetCtrlPicture();
                const int bottom = cell.y + cell.height - 1; // the border row
                BOUND_t saved;
                const int had = painter->GetClipRect(&saved);
                BOUND_t inner;
                const BOUND_t area = {cell.x, cell.y, cell.width - 1, cell.height};
                if (IntersectBound(&inner, &area, had ? &saved : &area)) {
                    painter->SetClipRect(&inner);
                    if (ruler != nullptr)
                        painter->DrawImage(ruler, cell.x + cell.width - kCtrlPictureWidth,
                                           bottom - kCtrlPictureHeight);
                    painter->SetStyleDrawer(headStyle, 16);
                    painter->DrawLine(cell.x, bottom - kCtrlPictureHeight - 1,
                                      cell.x + cell.width - 1, bottom - kCtrlPictureHeight - 1);
                    painter->SetClipRect(had ? &saved : nullptr);
                }
                text.height = bottom - kCtrlPictureHeight - 1 - cell.y;
            } else if ((m_sortCol & ~kSortDescending) == static_cast<uint32_t>(c->defIndex) &&
                       m_sortCol != 0xFFFFFFFF && !(extraFlags & kGridNoSort)) {
                const int icon = (m_sortCol & kSortDescending) ? 5 : 4;
                const int first = std::min(static_cast<int>(m_lineHeight), cell.height);
                DrawCtrlIcon(painter, static_cast<unsigned>(icon),
                             cell.x + cell.width - kSortIconWide - 2,
                             cell.y + (first - kCtrlIconSize) / 2);
                text.width -= kSortIconWide;
            }
            if (h.title != nullptr && text.width > 0 && text.height > 0)
                painter->DrawText(h.title, -1, &text, layout);
        }
    };
    drawSide(false);
    if (m_guideWide > 0 && title > 0) {
        const BOUND_t corner = {0, 0, static_cast<int>(m_guideWide), title};
        fillCell(corner);
        if (extraFlags & kGridFilterMenu) {
            const int icon = (extraFlags & kGridFilter) ? kCtrlIconFilterOn : kCtrlIconFilter;
            DrawCtrlIcon(painter, static_cast<unsigned>(icon), (corner.width - kCtrlIconSize) / 2,
                         (title - kCtrlIconSize) / 2);
        }
    }
    drawSide(true);
}
