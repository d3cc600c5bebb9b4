// The edit's rows and pixels: wrapping, the extent, caret places and hit tests, scrolling
// the caret into view, and drawing the visible rows only.

#include <algorithm>
#include <vector>

#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr int kDefaultFontSize = 12;
// Rows a line may wrap into before the rest is drawn as one row.
constexpr int kMaxRows = 4096;
// Units of a line laid out at once to find one wrapped row (doubled while too few).
constexpr int kRowWindow = 256;
// Characters are never wider than this much of the body when it jumps to show the caret.
constexpr int kScrollJumpMax = 100;

bool IsHigh(char16_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}

// A row of a laid-out line: [start, end) in the line's units.
struct Row
{
    unsigned start;
    unsigned end;
};

} // namespace

int XPageEdit::GetRowHeight() const
{
    return (style.fontSize > 0 ? style.fontSize : kDefaultFontSize) + m_lineGap;
}

bool XPageEdit::Wraps() const
{
    if (!IsMultiLine())
        return false;
    const uint32_t overflow = GetStyleField(itemFlags, kItemOverflowX);
    return overflow != kOverflowScroll && overflow != kOverflowAuto;
}

int XPageEdit::WrapWidth() const
{
    return std::max(body.width - 1, 1);
}

int XPageEdit::TextTop() const
{
    if (IsMultiLine())
        return 0;
    return std::max((body.height - GetRowHeight()) / 2, 0);
}

// The line as drawn: one '*' per character in password mode. Positions of the shown
// text map back through ShownToUnits below.
std::u16string XPageEdit::Shown(const XTextLine *line) const
{
    if (!IsPassword())
        return std::u16string(line->text, line->length);
    std::u16string stars;
    for (unsigned i = 0; i < line->length; ++i) {
        if (IsHigh(line->text[i]) && i + 1 < line->length)
            ++i;
        stars.push_back(u'*');
    }
    return stars;
}

namespace {

// Shown position of a line offset, and back (password mode counts characters).
unsigned UnitsToShown(const XTextLine *line, unsigned offset, bool password)
{
    if (!password)
        return offset;
    unsigned shown = 0;
    for (unsigned i = 0; i < offset && i < line->length; ++i, ++shown) {
        if (IsHigh(line->text[i]) && i + 1 < line->length)
            ++i;
    }
    return shown;
}

unsigned ShownToUnits(const XTextLine *line, unsigned shown, bool password)
{
    if (!password)
        return std::min(shown, line->length);
    unsigned i = 0;
    for (unsigned k = 0; k < shown && i < line->length; ++k)
        i += IsHigh(line->text[i]) && i + 1 < line->length ? 2 : 1;
    return i;
}

XPainter *MeasuringPainter(XPageViewer *form, const XStyleDesc *style)
{
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    if (painter != nullptr)
        painter->SetFonter(style);
    return painter;
}

} // namespace

unsigned XPageEdit::ShownOffset(const XTextLine *line, unsigned offset) const
{
    return UnitsToShown(line, offset, IsPassword());
}

int XPageEdit::NextRowEnd(XPainter *painter, const std::u16string &shown, int start)
{
    const int length = static_cast<int>(shown.size());
    // A window of the text from start decides the row as the whole text would, once the
    // row after it ends inside the window too: a greedy wrap looks no further than the
    // word that does not fit.
    for (int window = kRowWindow;; window *= 2) {
        const int n = std::min(length - start, window);
        int ends[3] = {n, n, n};
        const int rows = painter->CalcLineRange(shown.data() + start, n, WrapWidth(), ends, 3);
        if (start + n >= length || rows >= 3)
            return ends[0] > 0 ? start + ends[0] : std::min(start + 1, length);
    }
}

void XPageEdit::WrapRows(XTextLine *line, const std::u16string &shown)
{
    XPainter *painter = MeasuringPainter(form, &style);
    const int length = static_cast<int>(shown.size());
    std::vector<int> ends;
    int start = 0;
    std::vector<int> old;
    int delta = 0;
    if (m_rowPending && m_rowLine == line) {
        // Keep the rows that end before the row holding the change, less one: a change at
        // a row's start may let its first word move up.
        old.swap(m_rowEnds);
        delta = length - m_rowShownLength;
        size_t keep = 0;
        while (keep < old.size() && old[keep] < m_rowEditAt)
            ++keep;
        keep = keep > 0 ? keep - 1 : 0;
        ends.assign(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(keep));
        start = keep > 0 ? ends.back() : 0;
    }
    const int changedTo = m_rowEditAt + std::max(delta, 0);
    while (start < length) {
        const int end = NextRowEnd(painter, shown, start);
        ends.push_back(end);
        start = end;
        if (old.empty() || end <= changedTo)
            continue;
        // Past the change: once an end lands where an old one did (moved by the change),
        // the rest are the old ones moved.
        const auto same = std::lower_bound(old.begin(), old.end(), end - delta);
        if (same != old.end() && *same == end - delta) {
            for (auto k = same + 1; k != old.end(); ++k)
                ends.push_back(*k + delta);
            break;
        }
    }
    if (ends.empty())
        ends.push_back(0);
    m_rowEnds.swap(ends);
    m_rowLine = line;
    m_rowPending = false;
    m_rowShownLength = length;
}

void XPageEdit::LayoutLine(XTextLine *line)
{
    if (line->width >= 0 && line->rows > 0)
        return;
    XPainter *painter = MeasuringPainter(form, &style);
    if (painter == nullptr) {
        line->width = 0;
        line->rows = 1;
        return;
    }
    const std::u16string shown = Shown(line);
    line->rows = 1;
    if (!Wraps()) {
        SIZE_t size = {0, 0};
        painter->CalcLineSize(shown.data(), static_cast<int>(shown.size()), &size);
        line->width = size.cx;
        return;
    }
    // A wrapping edit's extent is the body's width: only the rows are needed.
    if (m_rowPending && m_rowLine != line)
        ForgetRows();
    WrapRows(line, shown);
    line->rows = static_cast<uint32_t>(m_rowEnds.size());
    line->width = 0;
}

int XPageEdit::RowEnds(XTextLine *line, int *ends, int max)
{
    LayoutLine(line);
    if (line->rows <= 1) {
        ends[0] = static_cast<int>(line->length);
        return 1;
    }
    if (m_rowLine != line) {
        line->rows = 0; // lays it out again, which keeps its ends
        LayoutLine(line);
    }
    const int rows = std::min(static_cast<int>(m_rowEnds.size()), max);
    for (int k = 0; k < rows; ++k)
        ends[k] = static_cast<int>(
            ShownToUnits(line, static_cast<unsigned>(m_rowEnds[size_t(k)]), IsPassword()));
    ends[rows - 1] = static_cast<int>(line->length);
    return rows;
}

int XPageEdit::LineTop(const XTextLine *line)
{
    int y = TextTop();
    for (XTextLine *p = m_first; p != nullptr && p != line; p = p->next) {
        LayoutLine(p);
        y += static_cast<int>(p->rows) * GetRowHeight();
    }
    return y;
}

// ---------------------------------------------------------------------------------------
// Extent, caret places and hit tests
// ---------------------------------------------------------------------------------------

int XPageEdit::CalcExtentSize(int mode)
{
    if (form != nullptr && form->GetPainter() != nullptr) {
        UpdateStyleDesc(0);
        int widest = 0, rows = 0;
        for (XTextLine *line = m_first; line != nullptr; line = line->next) {
            LayoutLine(line);
            widest = std::max(widest, line->width);
            rows += static_cast<int>(line->rows);
        }
        scroll.width = Wraps() ? body.width : widest + 1; // room for the caret at the end
        scroll.height = TextTop() + rows * GetRowHeight();
    }
    return XPageItem::CalcExtentSize(mode);
}

POINT_t XPageEdit::GetCaretPoint(unsigned pos, bool rowEnd)
{
    if (m_caretMemo && m_caretMemoPos == pos && m_caretMemoEnd == rowEnd)
        return m_caretMemoPoint;
    unsigned offset = 0;
    XTextLine *line = Locate(pos, &offset);
    LayoutLine(line);
    std::vector<int> ends(std::max<uint32_t>(line->rows, 1));
    const int rows = RowEnds(line, ends.data(), static_cast<int>(ends.size()));
    int k = 0;
    while (k < rows - 1 && (static_cast<unsigned>(ends[size_t(k)]) < offset ||
                            (static_cast<unsigned>(ends[size_t(k)]) == offset && !rowEnd)))
        ++k;
    const unsigned start = k > 0 ? static_cast<unsigned>(ends[size_t(k - 1)]) : 0;
    XPainter *painter = MeasuringPainter(form, &style);
    int x = 0;
    if (painter != nullptr) {
        // The row alone: its place does not depend on the rows after it.
        const std::u16string shown = Shown(line);
        const unsigned s0 = UnitsToShown(line, start, IsPassword());
        const unsigned s1 = UnitsToShown(line, offset, IsPassword());
        const unsigned e = UnitsToShown(line, static_cast<unsigned>(ends[size_t(k)]), IsPassword());
        x = painter->CalcLinePlace(shown.data() + s0, static_cast<int>(e - s0),
                                   static_cast<int>(s1 - s0));
    }
    m_caretMemoPoint = {x, LineTop(line) + k * GetRowHeight()};
    m_caretMemoPos = pos;
    m_caretMemoEnd = rowEnd;
    m_caretMemo = painter != nullptr;
    return m_caretMemoPoint;
}

unsigned XPageEdit::HitPosition(int x, int y, bool *rowEnd)
{
    *rowEnd = false;
    const int rh = GetRowHeight();
    int top = TextTop();
    XTextLine *line = m_first;
    for (; line->next != nullptr; line = line->next) {
        LayoutLine(line);
        const int height = static_cast<int>(line->rows) * rh;
        if (y < top + height)
            break;
        top += height;
    }
    LayoutLine(line);
    std::vector<int> ends(std::max<uint32_t>(line->rows, 1));
    const int rows = RowEnds(line, ends.data(), static_cast<int>(ends.size()));
    const int k = std::clamp(y < top ? 0 : (y - top) / rh, 0, rows - 1);
    const unsigned start = k > 0 ? static_cast<unsigned>(ends[size_t(k - 1)]) : 0;
    const unsigned end = static_cast<unsigned>(ends[size_t(k)]);
    XPainter *painter = MeasuringPainter(form, &style);
    unsigned offset = start;
    if (painter != nullptr) {
        const std::u16string shown = Shown(line);
        const unsigned s0 = UnitsToShown(line, start, IsPassword());
        const unsigned s1 = UnitsToShown(line, end, IsPassword());
        const int hit = painter->TestLinePlace(shown.data() + s0, static_cast<int>(s1 - s0), x);
        offset = ShownToUnits(line, s0 + static_cast<unsigned>(hit), IsPassword());
    }
    if (k < rows - 1 && offset >= end) {
        offset = end;
        *rowEnd = true;
    }
    return PositionOf(line, offset);
}

// ---------------------------------------------------------------------------------------
// The caret and scrolling
// ---------------------------------------------------------------------------------------

void XPageEdit::PlaceCaret()
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr || window->GetCaretItem() != this)
        return;
    const POINT_t at = GetCaretPoint(GetCaretPos(), (m_caretPos & kCaretRowEnd) != 0);
    window->SetInputCursor(this, body.x + at.x - scroll.x, body.y + at.y - scroll.y,
                           window->GetFocusItem() == this);
}

void XPageEdit::EnsureVisible()
{
    if (!(itemFlags & kItemCreated) || form == nullptr || form->GetPainter() == nullptr)
        return;
    const POINT_t at = GetCaretPoint(GetCaretPos(), (m_caretPos & kCaretRowEnd) != 0);
    const int jump = std::min(body.width / 2, kScrollJumpMax);
    if (at.x < scroll.x)
        SetScrollPos(0, std::max(at.x - jump, 0));
    else if (at.x >= scroll.x + body.width)
        SetScrollPos(0, at.x - body.width + jump);
    if (!IsMultiLine())
        return;
    const int rh = GetRowHeight();
    if (at.y < scroll.y)
        SetScrollPos(1, at.y);
    else if (at.y + rh > scroll.y + body.height)
        SetScrollPos(1, at.y + rh - body.height);
}

void XPageEdit::MovePlace(const BOUND_t *bound, int flag)
{
    const int width = body.width;
    XPageItem::MovePlace(bound, flag);
    m_caretMemo = false; // a single-line row is centred in the body
    if (body.width == width || !Wraps())
        return;
    ForgetRows();
    for (XTextLine *line = m_first; line != nullptr; line = line->next)
        line->rows = 0;
    if (itemFlags & kItemCreated)
        CalcExtentSize(0);
}

// ---------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------

void XPageEdit::DrawBody(XPainter *painter, const BOUND_t *bound)
{
    painter->SetFonter(&style);
    const int rh = GetRowHeight();
    const int textDown = m_lineGap / 2;
    if (m_total == 0) {
        if (!m_placeholder.empty()) {
            painter->SetTextColor(kEditPlaceholderColor);
            painter->DrawTextLine(m_placeholder.data(), static_cast<int>(m_placeholder.size()), 0,
                                  TextTop() + textDown);
        }
        return;
    }
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    const unsigned s0 = std::min(caret, anchor), s1 = std::max(caret, anchor);
    const int top = bound != nullptr ? bound->y : scroll.y;
    const int bottom = bound != nullptr ? bound->y + bound->height : scroll.y + body.height;
    std::vector<int> ends(kMaxRows);
    int y = TextTop();
    unsigned lineStart = 0;
    for (XTextLine *line = m_first; line != nullptr && y < bottom; line = line->next) {
        LayoutLine(line);
        const int height = static_cast<int>(line->rows) * rh;
        if (y + height <= top) {
            y += height;
            lineStart += line->length + 2;
            continue;
        }
        const std::u16string shown = Shown(line);
        const int rows = RowEnds(line, ends.data(), kMaxRows);
        unsigned start = 0;
        for (int k = 0; k < rows; ++k, y += rh) {
            const unsigned end = static_cast<unsigned>(ends[size_t(k)]);
            const unsigned a = UnitsToShown(line, start, IsPassword());
            const unsigned b = UnitsToShown(line, end, IsPassword());
            const char16_t *row = shown.data() + a;
            const int len = static_cast<int>(b - a);
            if (y + rh > top) {
                painter->SetTextColor(style.textColor);
                painter->DrawTextLine(row, len, 0, y + textDown);
                // The selected part of the row, white on the selection colour.
                const unsigned c0 = std::clamp(s0, lineStart + start, lineStart + end) - lineStart;
                const unsigned c1 = std::clamp(s1, lineStart + start, lineStart + end) - lineStart;
                const bool breakChosen = k == rows - 1 && line->next != nullptr &&
                                         s0 <= lineStart + end && s1 > lineStart + end;
                if (c1 > c0 || breakChosen) {
                    const unsigned h0 = UnitsToShown(line, c0, IsPassword()) - a;
                    const unsigned h1 = UnitsToShown(line, c1, IsPassword()) - a;
                    const int x0 = painter->CalcLinePlace(row, len, static_cast<int>(h0));
                    int x1 = painter->CalcLinePlace(row, len, static_cast<int>(h1));
                    if (breakChosen)
                        x1 += rh / 3; // the chosen line break shows as a narrow block
                    const BOUND_t fill = {x0, y, x1 - x0, rh};
                    painter->FillRect(&fill, kEditSelectionColor);
                    painter->SetTextColor(0xFFFFFF);
                    painter->DrawTextLine(row + h0, static_cast<int>(h1 - h0), x0, y + textDown);
                }
            }
            start = end;
        }
        lineStart += line->length + 2;
    }
}
