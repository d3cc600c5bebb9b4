#pragma once
// Grids for the grid tests: column descriptors, a recorder of the notifications the grid
// dispatches, and readers of cells.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corekit/numbers/xvar_meter.h"
#include "pagekit/items/page_grider.h"

// A descriptor of the given type, size and kind; everything else 0 or inherited.
inline XGB_HEADER Column(uint16_t type, uint16_t size, uint16_t kind = kCellEdit, uint16_t mode = 0,
                         const char16_t *mapper = nullptr, uint32_t format = 0)
{
    XGB_HEADER h = {};
    h.cellKind = kind;
    h.cellMode = mode;
    h.format = format;
    h.dataType = type;
    h.dataSize = size;
    h.wide = 80;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    h.title = u"列";
    h.mapper = mapper;
    return h;
}

// One notification as the grid's hook saw it.
struct GridNote
{
    uint32_t code;
    uint32_t state;
    int32_t row;
    int32_t column;
    uint32_t param;
    uintptr_t value;
    const void *item;
};

// Records every message the grid dispatches; veto (when non-zero) is the code whose
// messages are answered with state 8.
struct GridRecorder
{
    std::vector<GridNote> notes;
    uint32_t veto = 0;

    static int Hook(void *user, XMessage_t *m)
    {
        auto *self = static_cast<GridRecorder *>(user);
        self->notes.push_back({m->code, m->state, m->row, m->column, m->key, m->value, m->item});
        if (self->veto != 0 && m->code == self->veto)
            m->state = kMsgStop;
        return 0;
    }
    void Attach(XPageGrider *grid) { grid->SetHook(&GridRecorder::Hook, this); }
    std::vector<uint32_t> Codes() const
    {
        std::vector<uint32_t> codes;
        for (const GridNote &n : notes)
            codes.push_back(n.code);
        return codes;
    }
};

inline std::u16string Display(XPageGrider &grid, void *row, unsigned col)
{
    const char16_t *text = grid.GetDisplayText(row, col);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

inline std::string Narrow(const std::u16string &s)
{
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            char buf[16];
            snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
            out += buf;
        }
    }
    return out;
}

// The cell as text: "null", "i:<v>", "d:<v>", "t:<text>", "dt:<y-m-d h:m:s>".
inline std::string CellImage(XPageGrider &grid, void *row, unsigned col)
{
    XVarMeter v = {};
    if (!grid.GetSuber(row, col, &v))
        return "none";
    switch (v.type) {
    case kVarInteger:
        return "i:" + std::to_string(v.value.integer);
    case kVarFloater: {
        char buf[64];
        snprintf(buf, sizeof buf, "d:%.17g", v.value.floater);
        return buf;
    }
    case kVarText:
        return "t:" + Narrow(v.value.text != nullptr ? v.value.text : u"");
    case kVarDateTime: {
        char buf[64];
        const DATETIME_t &t = v.value.time;
        snprintf(buf, sizeof buf, "dt:%d-%d-%d %d:%d:%d.%d", t.wYear, t.bMonth, t.bDay, t.bHour,
                 t.bMinute, t.bSecond, t.bMilli);
        return buf;
    }
    default:
        return "null";
    }
}

// Row handles in list order (any kind).
inline std::vector<void *> Rows(XPageGrider &grid)
{
    std::vector<void *> rows;
    for (void *r = grid.GetNextItemEx(nullptr); r != nullptr; r = grid.GetNextItemEx(r))
        rows.push_back(r);
    return rows;
}

// Checks both links and the indexes of the list against the position table.
inline void ExpectListIntact(XPageGrider &grid)
{
    std::vector<void *> rows = Rows(grid);
    ASSERT_EQ(rows.size(), grid.GetRowNumber());
    for (size_t i = 0; i < rows.size(); ++i) {
        auto *r = static_cast<XMatterNode *>(rows[i]);
        EXPECT_EQ(r->index, i);
        EXPECT_EQ(grid.GetItemMatter(static_cast<unsigned>(i)), r);
        EXPECT_EQ(r->prev, i == 0 ? nullptr : rows[i - 1]);
        EXPECT_EQ(r->next, i + 1 == rows.size() ? nullptr : rows[i + 1]);
    }
}
