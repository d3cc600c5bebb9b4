// The grid's readers of caller bytes on arbitrary layouts: SetMatter, SetSuber and
// SetWideDefine. Byte 0 picks 1-8 columns; three bytes per column give its type, size and
// kind (with a mapper for the kinds that read one); the rest is consumed in order by a
// record with its null map for SetMatter (both copied to exactly their size, one byte off
// alignment), one field with a null byte for SetSuber, and a saved layout for
// SetWideDefine. The checks: a row written back by GetMatter loads again into the same
// record, and sorting and totals keep the row list intact.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "pagekit/items/page_grider.h"

namespace {

// The next n input bytes, or fewer at the end.
struct Input
{
    const uint8_t *data;
    size_t size;

    std::vector<uint8_t> Take(size_t n)
    {
        const size_t k = n < size ? n : size;
        std::vector<uint8_t> out(data, data + k);
        data += k;
        size -= k;
        return out;
    }
    uint8_t Byte()
    {
        const std::vector<uint8_t> b = Take(1);
        return b.empty() ? 0 : b[0];
    }
};

// Cell kinds tried, with the mapper each gets.
struct Kind
{
    uint16_t kind;
    uint16_t mode;
    const char16_t *mapper;
};
constexpr Kind kKinds[] = {
    {kCellEdit, 0, nullptr},
    {kCellEdit, kCellModeNumber, nullptr},
    {kCellEdit, kCellModeMask, nullptr},
    {kCellCombo, 0, u"10;甲\n20;乙\n;无"},
    {kCellCombo, 1, u"A;甲\nB;乙"},
    {kCellRadio, 1, u"1;男\n2;女"},
    {kCellRadio, 0, u"读\n写\n跑"},
    {kCellPlain, 0, nullptr},
    {kCellRange, 0, nullptr},
    {kCellLedger, 0, nullptr},
    {kCellLink, 0, nullptr},
    {kCellEdit, kCellModeMask, u"$$$$/$$"},
};

// A copy of bytes in a buffer of exactly n bytes, starting one byte past an aligned
// address; missing bytes are zero.
struct Odd
{
    explicit Odd(const std::vector<uint8_t> &bytes, size_t n) : block(new uint8_t[n + 1]())
    {
        if (!bytes.empty())
            std::memcpy(block.get() + 1, bytes.data(), bytes.size() < n ? bytes.size() : n);
    }
    uint8_t *get() { return block.get() + 1; }
    std::unique_ptr<uint8_t[]> block;
};

void CheckList(XPageGrider &grid)
{
    unsigned i = 0;
    void *prev = nullptr;
    for (void *r = grid.GetNextItemEx(nullptr); r != nullptr; r = grid.GetNextItemEx(r), ++i) {
        auto *row = static_cast<XMatterNode *>(r);
        if (row->index != i || row->prev != prev || grid.GetItemMatter(i) != row)
            std::abort();
        prev = r;
    }
    if (i != grid.GetRowNumber())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Input in{data, size};
    XPageGrider grid;
    const unsigned cols = 1 + in.Byte() % 8;
    for (unsigned i = 0; i < cols; ++i) {
        const uint8_t type = in.Byte();
        const uint8_t dataSize = in.Byte();
        const Kind &k = kKinds[in.Byte() % (sizeof kKinds / sizeof kKinds[0])];
        XGB_HEADER h = {};
        h.cellKind = k.kind;
        h.cellMode = k.mode;
        h.mapper = k.mapper;
        h.dataType = static_cast<uint16_t>(type % 6); // 0 and 5: unknown types
        h.dataSize = dataSize % 40;
        h.aggregate = static_cast<uint16_t>(type >> 4);
        h.wide = 40;
        grid.InsertHeader(i, &h);
    }
    grid.extraFlags |= kGridTotals;
    const size_t recordSize = grid.GetMatterSize();

    // SetMatter: a record and its null map of exactly their sizes.
    Odd record(in.Take(recordSize), recordSize);
    Odd nulls(in.Take(cols), cols);
    void *row = grid.InsertMatter(0, nullptr, nullptr);
    grid.SetMatter(row, record.get(), nulls.get());
    void *second = grid.InsertMatter(1, record.get(), nullptr);

    // What GetMatter writes loads again into the same record.
    std::vector<uint8_t> out(recordSize + 1), again(recordSize + 1);
    std::vector<uint8_t> map(cols), map2(cols);
    grid.GetMatter(row, out.data(), map.data());
    void *copy = grid.InsertMatter(2, out.data(), map.data());
    grid.GetMatter(copy, again.data(), map2.data());
    if (out != again || map != map2)
        std::abort();

    // SetSuber: one field of the chosen column.
    const unsigned col = in.Byte() % cols;
    XGB_HEADER h = {};
    grid.GetHeader(col, &h);
    const size_t fieldSize = h.dataType == kGridText ? 2u * h.dataSize : h.dataSize;
    Odd field(in.Take(fieldSize), fieldSize);
    const uint8_t isNull = in.Byte() & 1;
    grid.SetSuber(second, col, field.get(), &isNull);

    // SetWideDefine: the rest as words.
    const std::vector<uint8_t> rest = in.Take(in.size);
    std::vector<uint16_t> words(rest.size() / 2);
    if (!words.empty())
        std::memcpy(words.data(), rest.data(), 2 * words.size());
    if (!words.empty())
        words[0] = static_cast<uint16_t>(cols);
    grid.SetWideDefine(words.data(), static_cast<unsigned>(words.size()));

    char16_t text[64];
    for (unsigned c = 0; c < cols; ++c) {
        grid.GetItemText(second, c, text, 64);
        XVarMeter v;
        grid.GetSuber(second, c, &v);
    }
    const unsigned keys[] = {0, col};
    grid.SortMatter(keys, 2, isNull);
    grid.ComputeAggregate(-1);
    grid.ComputeSchedule();
    CheckList(grid);
    return 0;
}
