// The grid's paste of clipboard text: arbitrary bytes with an arbitrary byte count, into
// new rows and into a block. Byte 0 picks the column count (1-4) and the mode, byte 1 the
// block's first row and column, byte 2 the byte count's slack; the rest is the text,
// copied to exactly its size (one byte off alignment) so that reads past it show. The
// checks: the row list stays intact and every row has cells for every column.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pagekit/items/page_grider.h"

namespace {

XGB_HEADER TextColumn(uint16_t kind, uint16_t type, uint16_t locked)
{
    XGB_HEADER h = {};
    h.cellKind = kind;
    h.dataType = type;
    h.dataSize = type == kGridText ? 16 : 8;
    h.locked = locked;
    h.wide = 40;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    const unsigned cols = 1 + (data[0] & 3);
    const int mode = (data[0] >> 2) & 1;
    XPageGrider grid;
    grid.extraFlags |= kGridMultiSelect | kGridTotals;
    const XGB_HEADER kinds[] = {
        TextColumn(kCellEdit, kGridText, 0), TextColumn(kCellEdit, kGridInteger, 1),
        TextColumn(kCellEdit, kGridDouble, 0), TextColumn(kCellCheck, kGridInteger, 0)};
    for (unsigned c = 0; c < cols; ++c) {
        XGB_HEADER h = kinds[c];
        if (c == 2)
            h.aggregate = kAggrSum;
        grid.InsertHeader(c, &h);
    }
    for (int i = 0; i < 3; ++i)
        grid.InsertMatter(grid.GetRowNumber(), nullptr, nullptr);
    grid.ComputeAggregate(-1);
    grid.HitChoice(data[1] & 3, (data[1] >> 2) & 3, 0);

    const size_t textBytes = size - 3;
    std::vector<uint8_t> storage(textBytes + 1);
    uint8_t *text = storage.data() + 1; // one byte off alignment
    std::memcpy(text, data + 3, textBytes);
    // The count given may be shorter than the bytes (never longer: the caller's buffer).
    const uint32_t bytes = static_cast<uint32_t>(textBytes - std::min<size_t>(data[2], textBytes));
    std::vector<char16_t> units(bytes / 2 + 1);
    std::memcpy(units.data(), text, bytes / 2 * 2);
    grid.OnPasteGrider(mode, units.data(), bytes);
    grid.FlushUpdate();

    unsigned count = 0;
    void *prev = nullptr;
    for (void *r = grid.GetNextItemEx(nullptr); r != nullptr; r = grid.GetNextItemEx(r)) {
        if (grid.GetItemIndex(r) != count)
            std::abort();
        char16_t out[64];
        for (unsigned c = 0; c < cols; ++c)
            grid.GetItemText(r, c, out, 64);
        prev = r;
        ++count;
    }
    (void)prev;
    if (count != grid.GetRowNumber())
        std::abort();
    std::u16string copy;
    grid.GetCopyText(1, &copy);
    return 0;
}
