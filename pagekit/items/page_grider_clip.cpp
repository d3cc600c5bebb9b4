// The grid's clipboard: rows and blocks as text, pasted back as new rows or into the
// block, and the clearing of a block.
//
// The text: rows end with "\r\n", cells are separated by a tab; inside a cell a tab is
// written as 0x1F, a carriage return as 0x1D and a line feed as 0x1E, and paste turns
// them back. It travels as format 0 of the window's clipboard (UTF-16, the byte count
// including the terminator).

#include <algorithm>
#include <vector>

#include "corekit/numbers/xvar_meter.h"
#include "corekit/text/strings.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_grider.h"

namespace {

constexpr char16_t kCellTab = 0x1F;
constexpr char16_t kCellReturn = 0x1D;
constexpr char16_t kCellFeed = 0x1E;

void AppendCell(std::u16string *out, const std::u16string &text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'\t':
            c = kCellTab;
            break;
        case u'\r':
            c = kCellReturn;
            break;
        case u'\n':
            c = kCellFeed;
            break;
        default:
            break;
        }
        out->push_back(c);
    }
}

char16_t UnmapCell(char16_t c)
{
    switch (c) {
    case kCellTab:
        return u'\t';
    case kCellReturn:
        return u'\r';
    case kCellFeed:
        return u'\n';
    default:
        return c;
    }
}

// One line of clipboard text split into its cells, mapped back.
void SplitLine(const char16_t *line, size_t length, std::vector<std::u16string> *cells)
{
    cells->clear();
    cells->emplace_back();
    for (size_t i = 0; i < length; ++i) {
        if (line[i] == u'\t')
            cells->emplace_back();
        else
            cells->back().push_back(UnmapCell(line[i]));
    }
}

struct PasteContext
{
    XPageGrider *grid;
    int mode;
};

int TakeClipboard(void *context, uint32_t format, const void *data, uint32_t bytes)
{
    auto *paste = static_cast<PasteContext *>(context);
    if (format != PANEKIT_CLIP_TEXT || data == nullptr)
        return 0;
    // The data may be unaligned: copy it into units first.
    std::vector<char16_t> units(bytes / 2 + 1);
    std::copy_n(static_cast<const unsigned char *>(data), bytes / 2 * 2,
                reinterpret_cast<unsigned char *>(units.data()));
    paste->grid->OnPasteGrider(paste->mode, units.data(), bytes / 2 * 2);
    return 1;
}

} // namespace

void XPageGrider::CellClipText(XMatterNode *row, unsigned col, std::u16string *out) const
{
    out->clear();
    const XHeaderNode *column = m_columns[col];
    const XSuberNode &cell = row->subers[col];
    if (cell.isNull)
        return;
    const XGB_HEADER &h = column->header;
    if (h.cellKind >= 513 && h.cellKind <= 1279 && h.dataType != kGridText) {
        char16_t number[64];
        GetItemText(row, col, number, 64);
        out->assign(number);
        return;
    }
    if (cell.text != nullptr)
        out->assign(cell.text);
}

void XPageGrider::GetCopyText(int block, std::u16string *out)
{
    out->clear();
    BuildViewOrder();
    std::vector<const XHeaderNode *> columns;
    for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        if (!block || (c->viewIndex >= m_block[0] && c->viewIndex < m_block[0] + m_block[2]))
            columns.push_back(c);
    }
    std::u16string text;
    auto addRow = [&](XMatterNode *row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out->push_back(u'\t');
            CellClipText(row, static_cast<unsigned>(columns[i]->defIndex), &text);
            AppendCell(out, text);
        }
        out->append(u"\r\n");
    };
    if (block) {
        if (m_block[2] <= 0 || m_block[3] <= 0 || m_block[1] < 0)
            return;
        const auto end =
            std::min<unsigned>(m_rowCount, static_cast<unsigned>(m_block[1] + m_block[3]));
        for (auto i = static_cast<unsigned>(m_block[1]); i < end; ++i)
            addRow(m_rows[i]);
        return;
    }
    for (XMatterNode *r = m_head; r != nullptr; r = r->next)
        if ((r->state & kMatterSelected) && IsDataMatter(r))
            addRow(r);
}

namespace {

void PutClipboard(XPageItem *item, const std::u16string &text)
{
    XPageWindow *window = item->GetPageWindow();
    if (window == nullptr || text.empty())
        return;
    window->SetClipboard(PANEKIT_CLIP_TEXT, text.c_str(),
                         static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t)));
}

} // namespace

void XPageGrider::OnCopyMatter()
{
    std::u16string text;
    GetCopyText(0, &text);
    PutClipboard(this, text);
}

void XPageGrider::OnCopyCeller()
{
    std::u16string text;
    GetCopyText(1, &text);
    PutClipboard(this, text);
}

void XPageGrider::OnPasteMatter()
{
    XPageWindow *window = GetPageWindow();
    PasteContext context = {this, 0};
    if (window != nullptr)
        window->GetClipboard(PANEKIT_CLIP_TEXT, &context, TakeClipboard);
}

void XPageGrider::OnPasteCeller()
{
    XPageWindow *window = GetPageWindow();
    PasteContext context = {this, 1};
    if (window != nullptr && m_block[2] > 0 && m_block[3] > 0)
        window->GetClipboard(PANEKIT_CLIP_TEXT, &context, TakeClipboard);
}

void XPageGrider::OnPasteGrider(int mode, const char16_t *text)
{
    if (text != nullptr)
        OnPasteGrider(mode, text, (Strlen(text) + 1) * sizeof(char16_t));
}

void XPageGrider::OnPasteGrider(int mode, const char16_t *text, uint32_t bytes)
{
    if (text == nullptr || m_colCount == 0)
        return;
    if (mode != 0 && (m_block[2] <= 0 || m_block[3] <= 0 || m_block[1] < 0 ||
                      static_cast<unsigned>(m_block[1]) >= m_rowCount))
        return;
    size_t length = bytes / sizeof(char16_t);
    length = static_cast<size_t>(std::find(text, text + length, u'\0') - text);

    BuildViewOrder();
    std::vector<XHeaderNode *> view;
    for (XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext)
        view.push_back(c);

    // Cells set one by one mark the data stale once; the totals follow at the repaint.
    RequestUpdate(true);
    XMatterNode *before = nullptr;
    if (mode == 0) {
        for (XMatterNode *r = m_head; r != nullptr; r = r->next)
            if ((r->state & kMatterSelected) && IsDataMatter(r)) {
                before = r;
                break;
            }
    }
    XMatterNode *target = mode != 0 ? m_rows[static_cast<unsigned>(m_block[1])] : nullptr;
    const size_t firstCol = mode != 0 ? static_cast<size_t>(std::max(m_block[0], 0)) : 0;
    std::vector<std::u16string> cells;
    size_t start = 0;
    bool firstLine = true;
    while (start < length) {
        size_t end = start;
        while (end < length && text[end] != u'\n')
            ++end;
        size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == u'\r')
            --lineEnd;
        SplitLine(text + start, lineEnd - start, &cells);
        start = end < length ? end + 1 : end;

        XMatterNode *row;
        if (mode == 0) {
            row = static_cast<XMatterNode *>(before != nullptr
                                                 ? MallocMatter(0, before, nullptr, nullptr)
                                                 : MallocMatter(1, nullptr, nullptr, nullptr));
        } else {
            if (!firstLine) {
                XMatterNode *next = target->next;
                if (next == nullptr || next->adder == kAdderTotal) {
                    next = static_cast<XMatterNode *>(MallocMatter(1, target, nullptr, nullptr));
                    if (next == nullptr)
                        break;
                    Notify(kGridOnInsertItem, static_cast<int32_t>(next->index), kInsertUser, 0,
                           next);
                }
                target = next;
            }
            row = target;
        }
        if (row == nullptr)
            break;
        for (size_t i = 0; i < cells.size() && firstCol + i < view.size(); ++i) {
            XHeaderNode *column = view[firstCol + i];
            if (mode != 0 && column->header.locked != 0)
                continue;
            SetItemText(row, static_cast<unsigned>(column->defIndex), cells[i].c_str());
        }
        if (mode == 0)
            Notify(kGridOnInsertItem, static_cast<int32_t>(row->index), kInsertUser, 0, row);
        firstLine = false;
    }
    UpdateExtent();
    Invalidate(nullptr, 0);
}

void XPageGrider::OnEmptyCeller()
{
    if (m_block[2] <= 0 || m_block[3] <= 0 || m_block[1] < 0)
        return;
    BuildViewOrder();
    XVarMeter none = {};
    none.type = kVarNull;
    RequestUpdate(true);
    const auto end = std::min<unsigned>(m_rowCount, static_cast<unsigned>(m_block[1] + m_block[3]));
    for (const XHeaderNode *c = m_viewFirst; c != nullptr; c = c->viewNext) {
        if (c->viewIndex < m_block[0] || c->viewIndex >= m_block[0] + m_block[2] ||
            c->header.locked != 0)
            continue;
        for (auto i = static_cast<unsigned>(m_block[1]); i < end; ++i)
            SetSuber(m_rows[i], static_cast<unsigned>(c->defIndex), &none);
    }
    Invalidate(nullptr, 0);
}
