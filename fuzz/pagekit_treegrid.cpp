// The tree grid under random steps: inserts by every placement rule, collapsing, selecting,
// deleting subtrees and single rows, cell edits, layer and state writes from outside, row
// moves. Every 3 bytes are one step (operation, two operands). After every step the rows
// are counted again: the row count, each row's parent, the shown rows and the content
// height must equal what a plain walk of the list gives, and every shown row must be hit
// at its place while hidden rows have none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pagekit/items/page_tree_grider.h"

namespace {

class Grid : public XTreeGrider
{
public:
    unsigned Shown() { return GetShownCount(); }
    unsigned ShownRow(unsigned place) { return GetShownMatter(place); }
    int Place(unsigned index) { return GetShownPlace(index); }
};

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

void Recount(Grid &grid)
{
    std::vector<XMatterNode *> rows;
    for (void *r = grid.GetNextItemEx(nullptr); r != nullptr; r = grid.GetNextItemEx(r))
        rows.push_back(static_cast<XMatterNode *>(r));
    Check(rows.size() == grid.GetRowNumber());
    // Parents by the rule, and rows hidden under a collapsed ancestor.
    std::vector<XMatterNode *> shown;
    for (size_t i = 0; i < rows.size(); ++i) {
        Check(rows[i]->index == i);
        XMatterNode *parent = nullptr;
        for (size_t j = i; j-- > 0;)
            if (rows[j]->layer < rows[i]->layer) {
                parent = rows[j];
                break;
            }
        Check(grid.GetParentItem(rows[i]) == parent);
        bool hidden = false;
        unsigned layer = rows[i]->layer;
        for (size_t j = i; j-- > 0 && layer > 0;) {
            if (rows[j]->layer < layer) {
                hidden = hidden || (rows[j]->state & kMatterCollapsed) != 0;
                layer = rows[j]->layer;
            }
        }
        if (!hidden)
            shown.push_back(rows[i]);
        Check(grid.IsShown(rows[i]) == !hidden);
    }
    Check(grid.Shown() == shown.size());
    const int title = static_cast<int>(grid.GetItemHeight(2));
    const int height = static_cast<int>(grid.GetItemHeight(0));
    for (size_t p = 0; p < shown.size(); ++p) {
        Check(grid.ShownRow(static_cast<unsigned>(p)) == shown[p]->index);
        Check(grid.Place(shown[p]->index) == static_cast<int>(p));
        const int y = title + static_cast<int>(p) * height + height / 2;
        Check(grid.HitTest(5, y, nullptr, nullptr) == static_cast<int>(shown[p]->index) + 1);
    }
    grid.CalcExtentSize(0);
    Check(grid.scroll.height == title + height * static_cast<int>(shown.size()) + 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 3 * 400)
        return 0; // the recount is quadratic
    Grid grid;
    grid.extraFlags |= kGridMultiSelect | kGridKeepDeleted |
                       (size > 0 && (data[0] & 0x80) ? uint32_t{kGridTotals} : 0u);
    XGB_HEADER h = {};
    h.cellKind = kCellEdit;
    h.dataType = kGridInteger;
    h.dataSize = 4;
    h.aggregate = 1;
    h.wide = 60;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    grid.InsertHeader(0, &h);
    grid.CalcExtentSize(0);
    for (size_t at = 0; at + 3 <= size; at += 3) {
        const uint8_t op = data[at];
        const uint8_t a = data[at + 1];
        const uint8_t b = data[at + 2];
        const unsigned n = grid.GetRowNumber();
        XMatterNode *ra = n > 0 ? grid.GetItemMatter(a % n) : nullptr;
        XMatterNode *rb = n > 0 ? grid.GetItemMatter(b % n) : nullptr;
        switch (op % 12) {
        case 0: // under a parent (or a root), by the after flag
            grid.InsertMatter((b & 1) ? ra : nullptr, nullptr, (b >> 1) & 1, b >> 2, nullptr,
                              nullptr);
            break;
        case 1: // next to a neighbour
            grid.MallocMatter((b & 1) ? ra : nullptr, rb, (b >> 1) & 1, 0, nullptr, nullptr);
            break;
        case 2:
            grid.Collapse(static_cast<int>(a) - 8, b % 3);
            break;
        case 3:
            if (ra != nullptr)
                grid.SetItemChoice(ra, !(ra->state & kMatterSelected));
            break;
        case 4:
            grid.DeleteChoice();
            break;
        case 5:
            grid.SetChoice(static_cast<int>(a));
            break;
        case 6: { // an edit of the cell
            XVarMeter v = {kVarInteger, 0, {}};
            v.value.integer = b;
            if (ra != nullptr)
                grid.SetSuber(ra, 0, &v);
            break;
        }
        case 7: // a layer written from outside: trees of any shape
            if (ra != nullptr)
                grid.SetItemLayer(ra, b % 5);
            break;
        case 8:
            if (ra != nullptr)
                grid.SetItemState(ra, ra->state ^ kMatterCollapsed);
            break;
        case 9:
            if (ra != nullptr)
                grid.DeleteMatter(ra);
            break;
        case 10:
            if (ra != nullptr)
                grid.MoveMatter(ra, b & 3);
            break;
        default:
            grid.ComputeAggregate(-1);
            grid.FlushUpdate();
            break;
        }
        Recount(grid);
    }
    return 0;
}
