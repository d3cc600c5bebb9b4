// In-cell editing on the virtual display: the editor each column gets, the value from the
// cell into the editor and back for every kind and type, Enter and Ctrl+arrows moving
// from cell to cell, the shared button, vetoes, and handlers that delete what is edited.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "corekit/numbers/xvar_meter.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_combo.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_radio.h"
#include "pagekit/items/tests/grider_window.h"

namespace {

using GridEdit = PageWindowTest;

std::u16string EditText(XPageItem *item)
{
    std::u16string out(item->GetItemText(nullptr, 0) + 1, u'#');
    out.resize(item->GetItemText(out.data(), static_cast<unsigned>(out.size())));
    return out;
}

void SetEditText(XPageItem *item, const char16_t *text)
{
    item->SetItemText(text);
}

void Key(XVirtualDisplay *display, Panekit *window, uint32_t key, uint32_t modifier = 0)
{
    if (modifier != 0)
        display->KeyDown(window, modifier);
    display->KeyDown(window, key);
    display->KeyUp(window, key);
    if (modifier != 0)
        display->KeyUp(window, modifier);
}

TEST(GridEditors, EachColumnGetsItsEditor)
{
    struct Case
    {
        const char *name;
        uint16_t kind;
        uint16_t mode;
        uint16_t locked;
        int editable;
        uint32_t editorKind; // 0: none
        uint32_t flags;      // extra flags the editor must have
    } cases[] = {
        {"number", kCellEdit, 1, 0, 1, kKindEdit, kEditNumber},
        {"mask", kCellEdit, 2, 0, 1, kKindEdit, kEditMask},
        {"button only", kCellEdit, 6, 0, 1, 0, 0},
        {"text with button", kCellEdit, 7, 0, 1, kKindEdit, 0},
        {"text", kCellEdit, 0, 0, 1, kKindEdit, 0},
        {"combo", kCellCombo, 1, 0, 1, kKindCombo, 1},
        {"radio", kCellRadio, 2, 0, 1, kKindRadio, kRadioSingle | 2},
        {"check group", kCellRadio, 0, 0, 1, kKindRadio, 0},
        {"colour", kCellColor, 0, 0, 1, 0, 0},
        {"ledger", kCellLedger, 0, 0, 1, kKindEdit, kEditNumber},
        {"plain", kCellPlain, 0, 0, 0, 0, 0},
        {"bar", kCellBar, 0, 0, 0, 0, 0},
        {"locked", kCellEdit, 0, 1, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XPageGrider grid;
        XGB_HEADER h = Column(kGridInteger, 4, c.kind, c.mode, u"1;一\n2;二");
        h.locked = c.locked;
        grid.InsertHeader(0, &h);
        EXPECT_EQ(c.editable, grid.CreateEditor(grid.GetHeaderNode(0)));
        XPageItem *editor = grid.GetSubEditor(0);
        if (c.editorKind == 0) {
            EXPECT_EQ(nullptr, editor);
            continue;
        }
        ASSERT_NE(nullptr, editor);
        EXPECT_EQ(c.editorKind, editor->kind);
        EXPECT_EQ(c.flags, editor->extraFlags & c.flags);
        EXPECT_FALSE(editor->itemFlags & kItemVisible);
        EXPECT_TRUE(editor->itemFlags & kItemTakesEnter);
        EXPECT_EQ(&grid, editor->GetOwner());
    }
}

// A grid of one column of the given kind over one row; the editor is started on it.
struct EditForm : Form
{
    EditForm(uint16_t type, uint16_t size, uint16_t kind, uint16_t mode = 0,
             const char16_t *mapper = nullptr, uint32_t format = 0)
        : Form(kGridEditable, 300, 150)
    {
        XGB_HEADER h = Column(type, size, kind, mode, mapper, format);
        h.wide = 120;
        grid->InsertHeader(0, &h);
        grid->InsertMatter(0, nullptr, nullptr);
    }
    XMatterNode *Row() { return grid->GetItemMatter(0); }
    XVarMeter Value()
    {
        XVarMeter v = {};
        grid->GetSuber(Row(), 0, &v);
        return v;
    }
};

TEST_F(GridEdit, FillAndCommitByKindAndType)
{
    struct Case
    {
        const char *name;
        uint16_t type;
        uint16_t kind;
        uint16_t mode;
        const char16_t *mapper;
        const char16_t *cell; // null: a null cell
        const char16_t *shown;
        const char16_t *typed; // null: commit what is shown
        const char *stored;    // CellImage of the result
    } cases[] = {
        {"number integer", kGridInteger, kCellEdit, 1, nullptr, u"42", u"42", u"77", "i:77"},
        {"number empty is null", kGridInteger, kCellEdit, 1, nullptr, u"42", u"42", u"", "null"},
        {"number null cell", kGridDouble, kCellEdit, 1, nullptr, nullptr, u"", nullptr, "null"},
        {"mask seconds", kGridInteger, kCellEdit, 2, nullptr, u"08:30:15", u"08:30:15", nullptr,
         "i:30615"},
        {"mask typed", kGridInteger, kCellEdit, 2, nullptr, nullptr, u"  :  :  ", u"08:30:15",
         "i:30615"},
        {"mask empty is null", kGridInteger, kCellEdit, 2, nullptr, nullptr, u"  :  :  ", nullptr,
         "null"},
        {"mask date-time", kGridDateTime, kCellEdit, 2, u"$$$$-$$-$$", u"2024-02-29 00:00:00",
         u"2024-02-29", nullptr, "dt:2024-2-29 0:0:0.0"},
        {"text", kGridText, kCellEdit, 0, nullptr, u"abc", u"abc", u"xyz", "t:xyz"},
        {"text empty is null", kGridText, kCellEdit, 0, nullptr, u"abc", u"abc", u"", "null"},
        {"text over integers parses", kGridInteger, kCellEdit, 0, nullptr, u"5", u"5", u" 12 ",
         "i:12"},
        {"text over integers refuses junk", kGridInteger, kCellEdit, 0, nullptr, u"5", u"5", u"12x",
         "i:5"},
        {"text over doubles", kGridDouble, kCellEdit, 0, nullptr, u"1.5", u"1.5", u"2.25",
         "d:2.25"},
        {"combo integer", kGridInteger, kCellCombo, 1, u"1;一\n2;二", u"二", u"二", nullptr, "i:2"},
        {"combo of codes", kGridInteger, kCellCombo, 1, u";无\n1;一", u"一", u"一", nullptr, "i:1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditForm f(c.type, c.type == kGridText ? 16 : 8, c.kind, c.mode, c.mapper);
        if (c.cell != nullptr)
            f.grid->SetItemText(f.Row(), 0, c.cell);
        Open(f.window, 300, 150);
        ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
        XPageItem *editor = f.grid->GetSubEditor(0);
        ASSERT_NE(nullptr, editor);
        EXPECT_TRUE(editor->itemFlags & kItemVisible);
        EXPECT_EQ(editor, f.window.GetFocusItem());
        EXPECT_EQ(Narrow(c.shown), Narrow(EditText(editor)));
        if (c.typed != nullptr)
            SetEditText(editor, c.typed);
        f.notes.notes.clear();
        f.grid->CloseEditor(2);
        EXPECT_FALSE(editor->itemFlags & kItemVisible);
        EXPECT_EQ(c.stored, CellImage(*f.grid, f.Row(), 0));
        bool closed = false;
        for (const GridNote &n : f.notes.notes)
            closed |= n.code == kGridOnCloseEditItem;
        EXPECT_EQ(std::string(c.name).find("refuses") == std::string::npos, closed);
    }
}

TEST_F(GridEdit, AComboEntryOfTheEmptyCodeStoresNull)
{
    EditForm f(kGridInteger, 4, kCellCombo, 1, u";无\n1;一");
    f.grid->SetItemText(f.Row(), 0, u"一");
    Open(f.window, 300, 150);
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    auto *combo = static_cast<XPageCombo *>(f.grid->GetSubEditor(0));
    EXPECT_EQ(1, combo->GetCurSel());
    combo->SetCurSel(0);
    EXPECT_EQ(0x8F3FF3F1u, combo->GetItemData(0));
    f.grid->CloseEditor(2);
    EXPECT_EQ("null", CellImage(*f.grid, f.Row(), 0));
}

TEST_F(GridEdit, RadioEditorsKeepTheColumnsCodes)
{
    EditForm f(kGridInteger, 4, kCellRadio, 1, u"3;甲\n5;乙");
    f.grid->SetItemText(f.Row(), 0, u"乙");
    Open(f.window, 300, 150);
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    auto *radio = static_cast<XPageRadio *>(f.grid->GetSubEditor(0));
    EXPECT_EQ(1, radio->GetChoice());
    EXPECT_EQ(std::u16string(u"3;甲\n5;乙"), std::u16string(f.grid->GetItemMapper(0)));
    radio->SetChoice(0);
    f.grid->CloseEditor(2);
    EXPECT_EQ("i:0", CellImage(*f.grid, f.Row(), 0));
}

TEST_F(GridEdit, SecondsOfTheDayAgreeWithPythonTimedelta)
{
    std::mt19937_64 rng(11);
    std::vector<int64_t> values;
    for (int i = 0; i < 40; ++i)
        values.push_back(static_cast<int64_t>(rng() % 400000) - 100000);
    std::string args;
    for (int64_t v : values)
        args += " " + std::to_string(v);
    const std::string cmd = "/usr/bin/python3 -c \"import sys,datetime\n"
                            "for a in sys.argv[1:]:\n"
                            " t=datetime.timedelta(seconds=int(a)%86400)\n"
                            " h,r=divmod(t.seconds,3600)\n"
                            " print('%02d:%02d:%02d'%(h,r//60,r%60))\"" +
                            args;
    FILE *p = popen(cmd.c_str(), "r");
    ASSERT_NE(nullptr, p);
    std::vector<std::string> expected;
    char line[64];
    while (std::fgets(line, sizeof line, p) != nullptr)
        expected.push_back(std::string(line, 8));
    ASSERT_EQ(0, pclose(p));
    ASSERT_EQ(values.size(), expected.size());

    EditForm f(kGridInteger, 8, kCellEdit, 2);
    Open(f.window, 300, 150);
    for (size_t i = 0; i < values.size(); ++i) {
        XVarMeter v = {};
        v.type = kVarInteger;
        v.value.integer = values[i];
        f.grid->SetSuber(f.Row(), 0, &v);
        ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
        EXPECT_EQ(expected[i], Narrow(EditText(f.grid->GetSubEditor(0)))) << values[i];
        f.grid->CloseEditor(2);
        const int64_t day = ((values[i] % 86400) + 86400) % 86400;
        EXPECT_EQ("i:" + std::to_string(day), CellImage(*f.grid, f.Row(), 0));
    }
}

// Four columns: text, locked, zero-width, number; rows: data, data, subtotal, data, total.
struct MoveForm : Form
{
    explicit MoveForm(uint32_t options) : Form(kGridTotals | options, 400, 200)
    {
        XGB_HEADER text = Column(kGridText, 16);
        XGB_HEADER locked = Column(kGridText, 16);
        locked.locked = 1;
        XGB_HEADER hidden = Column(kGridText, 16);
        hidden.wide = 0;
        XGB_HEADER number = Column(kGridInteger, 8, kCellEdit, 1);
        number.aggregate = kAggrSum;
        grid->InsertHeader(0, &text);
        grid->InsertHeader(1, &locked);
        grid->InsertHeader(2, &hidden);
        grid->InsertHeader(3, &number);
        for (int i = 0; i < 3; ++i)
            grid->InsertMatter(grid->GetRowNumber(), nullptr, nullptr);
        grid->SetItemText(grid->GetItemMatter(0), 0, u"a");
        grid->SetItemText(grid->GetItemMatter(1), 0, u"a");
        grid->SetItemText(grid->GetItemMatter(2), 0, u"b");
        const unsigned cols[] = {0};
        grid->CreateAggrSuber(cols, 1); // a a S b S T (made while read-only)
        grid->extraFlags |= kGridEditable;
    }
    // The edited cell as (row index, display column), (-1, -1) when none.
    std::pair<int, int> Edited()
    {
        XPageItem *focus = window.GetFocusItem();
        for (unsigned c = 0; c < 4; ++c)
            if (focus != nullptr && focus == grid->GetSubEditor(c) &&
                (focus->itemFlags & kItemVisible))
                return {grid->GetChoice(), static_cast<int>(c)};
        return {-1, -1};
    }
};

TEST_F(GridEdit, EnterMovesOverEditableCellsAndRows)
{
    MoveForm f(0);
    Open(f.window, 400, 200);
    ASSERT_EQ(6u, f.grid->GetRowNumber());
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    Run();
    const std::pair<int, int> path[] = {{0, 3}, {1, 0}, {1, 3}, {3, 0}, {3, 3}, {-1, -1}};
    for (const auto &step : path) {
        Key(display, &f.window, 13);
        Run();
        EXPECT_EQ(step, f.Edited());
    }
    EXPECT_EQ(6u, f.grid->GetRowNumber()); // no 0x40: no new row
    EXPECT_EQ(&*f.grid, f.window.GetFocusItem());
}

TEST_F(GridEdit, EnterAtTheEndAppendsBeforeTheTotalRow)
{
    MoveForm f(kGridEnterAppend);
    Open(f.window, 400, 200);
    ASSERT_EQ(1, f.grid->OnStartEditor(3u, 3u));
    Key(display, &f.window, 13);
    Run();
    ASSERT_EQ(7u, f.grid->GetRowNumber());
    EXPECT_EQ(kAdderTotal, f.grid->GetItemAdder(f.grid->GetItemMatter(6)));
    // The new row sits before the total row and its first editable column is edited.
    EXPECT_EQ(std::make_pair(5, 0), f.Edited());
}

TEST_F(GridEdit, ShiftEnterAtTheFirstCellStopsCommitted)
{
    MoveForm f(0);
    Open(f.window, 400, 200);
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    SetEditText(f.grid->GetSubEditor(0), u"z");
    Key(display, &f.window, 13, 16);
    Run();
    EXPECT_EQ(std::make_pair(-1, -1), f.Edited());
    EXPECT_EQ("t:z", CellImage(*f.grid, f.grid->GetItemMatter(0), 0));
}

TEST_F(GridEdit, CtrlArrowsSkipSubtotalRows)
{
    MoveForm f(0);
    Open(f.window, 400, 200);
    ASSERT_EQ(1, f.grid->OnStartEditor(1u, 3u));
    Key(display, &f.window, 40, 17);
    Run();
    EXPECT_EQ(std::make_pair(3, 3), f.Edited());
    Key(display, &f.window, 40, 17); // the total row below: stop
    Run();
    EXPECT_EQ(std::make_pair(-1, -1), f.Edited());
    ASSERT_EQ(1, f.grid->OnStartEditor(3u, 0u));
    Key(display, &f.window, 38, 17);
    Run();
    EXPECT_EQ(std::make_pair(1, 0), f.Edited());
    // Up and Down alone stay with the editor.
    Key(display, &f.window, 40);
    Run();
    EXPECT_EQ(std::make_pair(1, 0), f.Edited());
}

TEST_F(GridEdit, RefusedStartsAndVetoes)
{
    MoveForm f(0);
    Open(f.window, 400, 200);
    EXPECT_EQ(0, f.grid->OnStartEditor(2u, 0u)); // subtotal row
    EXPECT_EQ(0, f.grid->OnStartEditor(0u, 1u)); // locked column
    f.notes.veto = kGridOnStartEditItem;
    EXPECT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    EXPECT_EQ(std::make_pair(-1, -1), f.Edited());
    f.notes.veto = 0;

    // An attached item that answers 114 with state 8 keeps Enter from moving.
    struct Taker : XPageItem
    {
        int OnMessage(XMessage_t *m) override
        {
            if (m->code == 114 && m->flags == XMSG_KEYDOWN)
                m->state = kMsgStop;
            return 1;
        }
    };
    f.grid->attached = new Taker;
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    Key(display, &f.window, 13);
    Run();
    EXPECT_EQ(std::make_pair(0, 0), f.Edited());
}

TEST_F(GridEdit, HandlersThatDeleteTheEditedRow)
{
    for (uint32_t code : {uint32_t{kGridOnStartEditItem}, uint32_t{kGridOnSelChange},
                          uint32_t{kGridOnCloseEditItem}, uint32_t{kGridOnInsertItem}}) {
        SCOPED_TRACE(code);
        MoveForm f(kGridEnterAppend);
        struct Killer
        {
            XPageGrider *grid;
            uint32_t code;
            bool all;
        } killer = {f.grid, code, code == kGridOnInsertItem};
        f.grid->SetHook(
            [](void *user, XMessage_t *m) {
                auto *k = static_cast<Killer *>(user);
                if (m->code == k->code && k->grid->GetRowNumber() > 0) {
                    if (k->all)
                        k->grid->RemoveAllMatter();
                    else
                        k->grid->RemoveMatter(reinterpret_cast<void *>(m->value));
                }
                return 0;
            },
            &killer);
        Open(f.window, 400, 200);
        f.grid->OnStartEditor(3u, 3u);
        Key(display, &f.window, 13);
        Run();
        f.grid->CloseEditor(2);
        // A column deleted with its editor open.
        f.grid->SetHook(nullptr, nullptr);
        if (f.grid->GetRowNumber() > 0 && f.grid->OnStartEditor(0u, 0u))
            f.grid->DeleteHeader(0);
        Run();
    }
}

TEST_F(GridEdit, TheSharedButtonCommitsFirstThenAsks)
{
    EditForm f(kGridText, 32, kCellEdit, 7);
    Open(f.window, 300, 150);
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    XPageItem *editor = f.grid->GetSubEditor(0);
    SetEditText(editor, u"typed");
    // The button sits at the cell's right end; clicking it moves the focus (mode 1).
    XPageItem *button = nullptr;
    XFinder finder;
    for (XPageItem *i = f.grid->GetNextSuber(0, &finder); i != nullptr;
         i = f.grid->GetNextSuber(0x10, &finder))
        if (i->kind == kKindButton)
            button = i;
    ASSERT_NE(nullptr, button);
    EXPECT_TRUE(button->itemFlags & kItemVisible);
    BOUND_t at;
    button->GetPlace(kPlaceWindow, &at);
    f.notes.notes.clear();
    display->Click(&f.window, at.x + at.width / 2, at.y + at.height / 2);
    Run();
    std::vector<uint32_t> codes;
    for (const GridNote &n : f.notes.notes)
        if (n.code == kGridOnCloseEditItem || n.code == kGridOnPopupEditor)
            codes.push_back(n.code);
    EXPECT_EQ((std::vector<uint32_t>{kGridOnCloseEditItem, kGridOnPopupEditor}), codes);
    EXPECT_EQ("t:typed", CellImage(*f.grid, f.Row(), 0));
    EXPECT_TRUE(editor->itemFlags & kItemVisible); // mode 1 keeps the editor
    // Focus going elsewhere from the button closes without committing.
    SetEditText(editor, u"lost");
    f.window.SetFocusItem(f.grid);
    EXPECT_FALSE(editor->itemFlags & kItemVisible);
    EXPECT_EQ("t:typed", CellImage(*f.grid, f.Row(), 0));
}

TEST_F(GridEdit, APressOnTheGridCommitsAndCloses)
{
    MoveForm f(0);
    Open(f.window, 400, 200);
    ASSERT_EQ(1, f.grid->OnStartEditor(0u, 0u));
    SetEditText(f.grid->GetSubEditor(0), u"q");
    Click(display, f, 100, 18 + 3 * 18 + 5);
    Run();
    EXPECT_EQ("t:q", CellImage(*f.grid, f.grid->GetItemMatter(0), 0));
    EXPECT_FALSE(f.grid->GetSubEditor(0)->itemFlags & kItemVisible);
}

} // namespace
