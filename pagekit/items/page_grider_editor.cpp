// The grid's in-cell editing: one cached editor per column (a number, mask or text edit,
// a combo or a radio group) laid over the edited cell, a shared "..." button for the
// popup editors, the value going from the cell to the editor and back, and the keys
// that move from cell to cell.
//
// Handlers may delete rows at every notification of the cycle (90, 65, 91, the insert
// of Enter): the row handle is checked against the list after each, and editing stops
// when the row is gone.

#include <algorithm>
#include <vector>

#include "corekit/numbers/numbers.h"
#include "corekit/numbers/xvar_meter.h"
#include "corekit/systime/systime.h"
#include "corekit/text/strings.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/combo_code.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_combo.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_radio.h"
#include "pagekit/core/page_window.h"
#include "pagekit/core/text_editor.h"
#include "pagekit/items/page_grider.h"
#include "pagekit/items/page_grider_cell.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/window/panekit_window.h"

namespace {

constexpr unsigned kMaskUnits = 128;
constexpr unsigned kTextLimit = 16384;
constexpr unsigned kCommitTextMax = 8192;
constexpr int kButtonWide = 24;
constexpr uint32_t kLedgerFormat = 0x03010002;
constexpr uint32_t kComboNone = 0x8F3FF3F1;
constexpr uint32_t kUnset = 0xFFFFFFFF;
constexpr uint32_t kAttachedCode = 114;
constexpr uint32_t kFocusMoveCode = 63;

// Blanks, an optional sign, digits, blanks: the whole text.
bool ParseWholeInteger(const char16_t *text, int64_t *out)
{
    const char16_t *p = text;
    while (*p == u' ' || *p == u'\t')
        ++p;
    bool negative = false;
    if (*p == u'-' || *p == u'+')
        negative = *p++ == u'-';
    uint64_t value = 0;
    const unsigned used = ToInteger(0, p, &value); // radix code 0: decimal
    if (used == 0)
        return false;
    p += used;
    while (*p == u' ' || *p == u'\t')
        ++p;
    if (*p != 0)
        return false;
    *out = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return true;
}

bool ParseWholeDouble(const char16_t *text, double *out)
{
    const char16_t *p = text;
    while (*p == u' ' || *p == u'\t')
        ++p;
    const unsigned used = ToFloater(1, p, out);
    if (used == 0)
        return false;
    p += used;
    while (*p == u' ' || *p == u'\t')
        ++p;
    return *p == 0;
}

std::u16string EditorText(XPageItem *editor, unsigned cap)
{
    std::u16string out(cap + 1, u'\0');
    const unsigned n = editor->GetItemText(out.data(), cap + 1);
    out.resize(std::min(n, cap));
    return out;
}

const char16_t *MaskOfColumn(const XGB_HEADER &h)
{
    return h.mapper != nullptr && h.mapper[0] != 0 ? h.mapper : kGridMaskDefault;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Editors
// ---------------------------------------------------------------------------------------

bool XPageGrider::IsEditColumn(const XHeaderNode *column) const
{
    const XGB_HEADER &h = column->header;
    if (h.locked != 0 || h.wide == 0)
        return false;
    return h.cellKind == kCellEdit || h.cellKind == kCellCombo || h.cellKind == kCellRadio ||
           h.cellKind == kCellColor || h.cellKind == kCellLedger;
}

bool XPageGrider::IsOwnEditor(const void *item) const
{
    if (item == nullptr || item == this)
        return false;
    if (item == m_button)
        return true;
    for (const XHeaderNode *c : m_columns)
        if (c->editor == item)
            return true;
    return false;
}

void XPageGrider::PrepareEditor(XPageItem *editor, const XHeaderNode *column)
{
    const XGB_HEADER &h = column->header;
    editor->itemFlags &= ~kItemVisible;
    editor->itemFlags |= kItemTakesEnter | kItemAbsolute;
    editor->itemStyle.SetFontColor(kStateNormal, h.textColor != kUnset ? h.textColor : 0xFF0000);
    editor->itemStyle.SetItemStyle(kStateNormal, 0, h.align & 3u);
    editor->itemStyle.SetEdgeStyle(kStateNormal, 0xF, kBorderNone, 0, kUnset);
    editor->SetHook(&XPageGrider::EditorHook, this);
    AddItem(editor);
}

XPageButton *XPageGrider::SharedButton()
{
    if (m_button == nullptr) {
        m_button = new XPageButton;
        m_button->SetItemText(u"...");
        m_button->itemFlags &= ~kItemVisible;
        m_button->itemFlags |= kItemAbsolute;
        m_button->SetHook(&XPageGrider::EditorHook, this);
        AddItem(m_button);
    }
    return m_button;
}

int XPageGrider::CreateEditor(XHeaderNode *column)
{
    if (column == nullptr || column->header.locked != 0)
        return 0;
    const XGB_HEADER &h = column->header;
    if (column->editor != nullptr)
        return 1;
    XPageItem *editor = nullptr;
    switch (h.cellKind) {
    case kCellEdit:
        if (h.cellMode == 6)
            return 1; // the shared button alone
        if (h.cellMode == kCellModeNumber) {
            auto *number = new XNumbEdit;
            number->SetFormat(h.format);
            editor = number;
        } else if (h.cellMode == kCellModeMask) {
            auto *mask = new XMaskEdit;
            char16_t units[kMaskUnits + 1];
            const char16_t *from = MaskOfColumn(h);
            unsigned n = 0;
            for (; n < kMaskUnits && from[n] != 0; ++n)
                units[n] = from[n];
            units[n] = 0;
            mask->SetMask(units);
            editor = mask;
        } else {
            auto *text = new XPageEdit;
            if ((h.align & 0xF0) != 0 && h.cellMode != 7 && h.cellMode != 8)
                text->extraFlags |= kEditMultiLine;
            editor = text;
        }
        break;
    case kCellCombo: {
        auto *combo = new XPageCombo;
        combo->extraFlags |= h.cellMode | h.format;
        if (h.mapper != nullptr)
            combo->SetItemMapper(h.mapper);
        editor = combo;
        break;
    }
    case kCellRadio: {
        auto *radio = new XPageRadio;
        // Any non-zero mode is one choice, as the cells read it.
        radio->extraFlags |= h.cellMode != 0 ? (h.cellMode | kRadioSingle) : 0;
        if (h.mapper != nullptr) {
            // The count from a copy: the column keeps its codes.
            std::vector<char16_t> copy(h.mapper, h.mapper + Strlen(h.mapper) + 1);
            const int count = GetRadioMapper(copy.data());
            radio->SetGridSize(1, static_cast<unsigned>(std::max(count, 1)));
            radio->SetItemMapper(h.mapper);
        }
        editor = radio;
        break;
    }
    case kCellColor:
        return 1; // the colour chooser
    case kCellLedger: {
        auto *number = new XNumbEdit;
        number->itemStyle.SetFontDesc(kStateNormal, 16, 0, u"宋体");
        number->SetFormat(kLedgerFormat);
        editor = number;
        break;
    }
    default:
        return 0;
    }
    column->editor = editor;
    PrepareEditor(editor, column);
    return 1;
}

XPageItem *XPageGrider::GetSubEditor(unsigned col)
{
    XHeaderNode *column = ColumnAt(col);
    if (column == nullptr)
        return nullptr;
    CreateEditor(column);
    return column->editor;
}

void XPageGrider::OnMapperChanged(XHeaderNode *column)
{
    XPageItem *editor = column->editor;
    if (editor == nullptr)
        return;
    const XGB_HEADER &h = column->header;
    if (editor->kind == kKindCombo)
        static_cast<XPageCombo *>(editor)->SetItemMapper(h.mapper);
    else if (editor->kind == kKindRadio)
        static_cast<XPageRadio *>(editor)->SetItemMapper(h.mapper);
    else if (h.cellKind == kCellEdit && h.cellMode == kCellModeMask)
        static_cast<XMaskEdit *>(editor)->SetMask(MaskOfColumn(h));
}

// ---------------------------------------------------------------------------------------
// Starting
// ---------------------------------------------------------------------------------------

int XPageGrider::OnStartEditor(unsigned row, unsigned viewCol)
{
    CloseEditor(2);
    XMatterNode *node = row < m_rows.size() ? m_rows[row] : nullptr;
    XHeaderNode *column = ViewColumn(static_cast<int>(viewCol));
    if (node == nullptr || column == nullptr)
        return 0;
    return OnStartEditor(node, column);
}

void XPageGrider::PlaceButton(const BOUND_t &cell, uint32_t command)
{
    XPageButton *button = SharedButton();
    button->itemCode = static_cast<int32_t>(command);
    const BOUND_t place = {cell.x + cell.width - kButtonWide - 1, cell.y, kButtonWide,
                           cell.height - 1};
    button->MovePlace(&place, 0);
    button->ShowItem(1);
}

void XPageGrider::FocusPart(XPageItem *part)
{
    m_focusPart = part;
    XPageWindow *window = GetPageWindow();
    if (window != nullptr && part != nullptr)
        window->SetFocusItem(part);
}

int XPageGrider::OnStartEditor(XMatterNode *row, XHeaderNode *column)
{
    if (row == nullptr || column == nullptr || !Owns(row) || !IsDataMatter(row))
        return 0;
    if (!CreateEditor(column))
        return 0;
    const XGB_HEADER &h = column->header;
    const auto def = static_cast<unsigned>(column->defIndex);
    BuildViewOrder();
    BOUND_t cell;
    if (!GetCellPlace(static_cast<int>(row->index), column->viewIndex, &cell))
        return 1;
    unsigned removals = m_removals;
    const unsigned columns = m_colCount;
    if (Notify(kGridOnStartEditItem, static_cast<int32_t>(row->index), static_cast<int32_t>(def), 0,
               row) == kMsgStop)
        return 1;
    if (!StillHere(row, removals) || m_colCount != columns || GetHeaderNode(def) != column)
        return 1;
    removals = m_removals;
    SetChoice(static_cast<void *>(row));
    if (!StillHere(row, removals) || m_colCount != columns || GetHeaderNode(def) != column)
        return 1;
    SetBlock(column->viewIndex, static_cast<int>(row->index), 1, 1);
    m_editRow = row;
    m_editCol = static_cast<int>(def);
    XSuberNode &value = row->subers[def];

    if (h.cellKind == kCellColor) {
        m_editRow = nullptr;
        m_editCol = -1;
        if (m_drawProc != nullptr)
            return 1;
        uint32_t color = value.isNull ? 0 : static_cast<uint32_t>(value.value.integer);
        XPageWindow *window = GetPageWindow();
        removals = m_removals;
        if (window != nullptr && SelectColor(window, &color) && StillHere(row, removals)) {
            CellSetInteger(h, &value, color);
            row->state |= kMatterModified;
            extraFlags |= kGridModified;
            InvalidateRow(row);
        }
        return 1;
    }
    if (h.cellKind == kCellEdit && h.cellMode == 6) {
        m_editor = SharedButton();
        PlaceButton(cell, kGridCmdPopup);
        FocusPart(m_button);
        return 1;
    }

    XPageItem *editor = column->editor;
    m_editor = editor;
    BOUND_t place = {cell.x, cell.y, cell.width - 1, cell.height - 1};
    if (h.cellKind == kCellEdit && (h.cellMode == 7 || h.cellMode == 8)) {
        place.width -= kButtonWide + 1;
        PlaceButton(cell, h.cellMode == 8 ? kGridCmdEditText : kGridCmdPopup);
    }
    editor->MovePlace(&place, 0);

    switch (h.cellKind) {
    case kCellEdit:
    case kCellLedger:
        if (h.cellKind == kCellLedger || h.cellMode == kCellModeNumber) {
            auto *number = static_cast<XNumbEdit *>(editor);
            number->Initialize();
            if (!value.isNull) {
                if (h.dataType == kGridDouble)
                    number->SetNumber(value.value.floater);
                else if (h.dataType == kGridInteger)
                    number->SetNumber(static_cast<int64_t>(value.value.integer));
                else if (value.text != nullptr)
                    number->SetItemText(value.text);
            }
        } else if (h.cellMode == kCellModeMask) {
            auto *mask = static_cast<XMaskEdit *>(editor);
            mask->Initialize();
            if (!value.isNull) {
                char16_t text[kMaskUnits * 5 + 8];
                if (h.dataType == kGridInteger || h.dataType == kGridDouble) {
                    const int64_t seconds = h.dataType == kGridInteger
                                                ? value.value.integer
                                                : static_cast<int64_t>(value.value.floater);
                    const DATETIME_t t = TimeOfDay(seconds);
                    FormatTimeEx(text, &t, mask->GetMask());
                    mask->SetItemText(text);
                } else if (h.dataType == kGridDateTime) {
                    FormatTimeEx(text, &value.value.time, mask->GetMask());
                    mask->SetItemText(text);
                } else if (value.text != nullptr) {
                    mask->SetItemText(value.text);
                }
            }
        } else {
            auto *text = static_cast<XPageEdit *>(editor);
            text->Initialize();
            if (h.dataType == kGridText)
                text->LimitText(h.dataSize > 0 && h.dataSize - 1u <= kTextLimit ? h.dataSize - 1u
                                                                                : 0);
            text->SetItemText(!value.isNull && value.text != nullptr ? value.text : u"");
        }
        break;
    case kCellCombo: {
        auto *combo = static_cast<XPageCombo *>(editor);
        int index = -1;
        if (!value.isNull) {
            if (h.dataType == kGridInteger)
                index = combo->SearchData(static_cast<uint64_t>(value.value.integer));
            else if (h.cellMode != 0 && value.text != nullptr)
                index = (h.format & kGridComboTextCodes) ? combo->SearchCode(value.text)
                                                         : combo->SearchName(value.text);
        }
        if (h.dataType == kGridText && h.cellMode == 0) {
            combo->SetCurSel(-1);
            combo->SetItemText(!value.isNull && value.text != nullptr ? value.text : u"");
        } else {
            combo->SetCurSel(index);
        }
        editor->ShowItem(1);
        FocusPart(editor);
        return 1;
    }
    case kCellRadio: {
        auto *radio = static_cast<XPageRadio *>(editor);
        if (h.dataType == kGridInteger)
            radio->SetChoice(value.isNull ? -1 : value.value.integer);
        else
            radio->SetNameChoice(!value.isNull && value.text != nullptr ? value.text : u"");
        editor->ShowItem(1);
        FocusPart(editor);
        return 1;
    }
    default:
        break;
    }
    editor->ShowItem(1);
    FocusPart(editor);
    auto *edit = static_cast<XPageEdit *>(editor);
    const unsigned length = edit->GetItemText(nullptr, 0);
    edit->SetChoice(length, 0);
    return 1;
}

int XPageGrider::OnStartMonter(unsigned row, unsigned viewCol)
{
    XMatterNode *node = row < m_rows.size() ? m_rows[row] : nullptr;
    XHeaderNode *column = ViewColumn(static_cast<int>(viewCol));
    if (node == nullptr || column == nullptr || !IsDataMatter(node))
        return 0;
    const XGB_HEADER &h = column->header;
    if (h.cellKind != kCellEdit || h.cellMode != 8)
        return 0;
    BOUND_t cell;
    if (!GetCellPlace(static_cast<int>(row), column->viewIndex, &cell))
        return 0;
    CloseEditor(0);
    m_editor = SharedButton();
    m_editRow = node;
    m_editCol = column->defIndex;
    PlaceButton(cell, kGridCmdShowText);
    FocusPart(m_button);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Committing and closing
// ---------------------------------------------------------------------------------------

uint32_t XPageGrider::TellAttached(uint32_t flag, int col)
{
    if (attached == nullptr)
        return kMsgHandled;
    XMessage_t message = {};
    message.code = kAttachedCode;
    message.state = kMsgHandled;
    message.flags = flag;
    message.column = col;
    message.item = this;
    message.value =
        reinterpret_cast<uintptr_t>(col >= 0 ? GetHeaderNode(static_cast<unsigned>(col)) : nullptr);
    attached->CarryMessage(&message);
    return message.state;
}

bool XPageGrider::ReadEditor(XHeaderNode *column, XVarMeter *out, std::u16string *text)
{
    const XGB_HEADER &h = column->header;
    XPageItem *editor = column->editor;
    out->type = kVarNull;
    if (editor == nullptr)
        return false;
    const unsigned textCap = std::min<unsigned>(h.dataSize > 0 ? h.dataSize : 1, kCommitTextMax);
    auto takeText = [&](const std::u16string &s) {
        *text = s;
        if (!text->empty()) {
            out->type = kVarText;
            out->value.text = text->c_str();
        }
    };
    switch (h.cellKind) {
    case kCellEdit:
    case kCellLedger: {
        auto *edit = static_cast<XPageEdit *>(editor);
        const bool number = h.cellKind == kCellLedger || h.cellMode == kCellModeNumber;
        const bool mask = h.cellKind == kCellEdit && h.cellMode == kCellModeMask;
        if (h.dataType == kGridText) {
            takeText(EditorText(edit, textCap));
            return true;
        }
        if (number && (h.dataType == kGridInteger || h.dataType == kGridDouble)) {
            auto *numb = static_cast<XNumbEdit *>(edit);
            if (numb->IsInputEmpty())
                return true;
            if (h.dataType == kGridInteger) {
                int64_t v = 0;
                numb->GetNumber(&v);
                out->type = kVarInteger;
                out->value.integer = v;
            } else {
                double v = 0;
                numb->GetNumber(&v);
                out->type = kVarFloater;
                out->value.floater = v;
            }
            return true;
        }
        if (mask) {
            auto *maskEdit = static_cast<XMaskEdit *>(edit);
            if (maskEdit->IsInputEmpty())
                return true; // null, not midnight
            const std::u16string typed = EditorText(edit, kMaskUnits);
            DATETIME_t t = {1900, 1, 1, 0, 0, 0, 0};
            if (ParseTimeEx(&t, typed.c_str(), maskEdit->GetMask()) == 0)
                return true;
            const int64_t seconds = t.bHour * 3600 + t.bMinute * 60 + t.bSecond;
            if (h.dataType == kGridInteger) {
                out->type = kVarInteger;
                out->value.integer = seconds;
            } else if (h.dataType == kGridDouble) {
                out->type = kVarFloater;
                out->value.floater = static_cast<double>(seconds);
            } else if (h.dataType == kGridDateTime) {
                out->type = kVarDateTime;
                out->value.time = t;
            }
            return true;
        }
        // A text editor over a typed column: the text parsed by the column's type; text
        // that does not parse is refused and the cell keeps its value.
        const std::u16string typed = EditorText(edit, kCommitTextMax);
        if (typed.empty())
            return true;
        if (h.dataType == kGridInteger) {
            int64_t v = 0;
            if (!ParseWholeInteger(typed.c_str(), &v))
                return false;
            out->type = kVarInteger;
            out->value.integer = v;
        } else if (h.dataType == kGridDouble) {
            double v = 0;
            if (!ParseWholeDouble(typed.c_str(), &v))
                return false;
            out->type = kVarFloater;
            out->value.floater = v;
        } else if (h.dataType == kGridDateTime) {
            DATETIME_t t = {};
            if (ParseTimeEx(&t, typed.c_str(),
                            h.mapper != nullptr ? h.mapper : kGridTimeTemplate) == 0)
                return false;
            out->type = kVarDateTime;
            out->value.time = t;
        }
        return true;
    }
    case kCellCombo: {
        auto *combo = static_cast<XPageCombo *>(editor);
        const int sel = combo->GetCurSel();
        if (h.dataType == kGridInteger) {
            if (sel < 0 || combo->GetItemData(sel) == kComboNone)
                return true;
            out->type = kVarInteger;
            out->value.integer = static_cast<int64_t>(combo->GetItemData(sel));
            return true;
        }
        if (h.cellMode != 0) {
            const char16_t *chosen = sel < 0                            ? nullptr
                                     : (h.format & kGridComboTextCodes) ? combo->GetItemCode(sel)
                                                                        : combo->GetItemName(sel);
            std::u16string s = chosen != nullptr ? chosen : u"";
            if (s.size() > kComboNameMax)
                s.resize(kComboNameMax);
            takeText(s);
            return true;
        }
        takeText(EditorText(combo, textCap));
        return true;
    }
    case kCellRadio: {
        auto *radio = static_cast<XPageRadio *>(editor);
        if (h.dataType == kGridInteger) {
            const int64_t choice = radio->GetChoice();
            if (h.cellMode != 0 && choice < 0)
                return true;
            out->type = kVarInteger;
            out->value.integer = choice;
            return true;
        }
        const unsigned cap = std::min<unsigned>(h.dataSize > 0 ? h.dataSize : 1, kRadioNameMax);
        std::u16string s(cap + 1, u'\0');
        radio->GetNameChoice(s.data(), cap + 1);
        s.resize(Strlen(s.c_str()));
        takeText(s);
        return true;
    }
    default:
        return false;
    }
}

void XPageGrider::CommitCell()
{
    XMatterNode *row = m_editRow;
    if (row == nullptr || !Owns(row) || m_editCol < 0 ||
        static_cast<unsigned>(m_editCol) >= m_colCount)
        return;
    XHeaderNode *column = m_columns[static_cast<unsigned>(m_editCol)];
    if (m_editor == nullptr || m_editor != column->editor)
        return; // the shared button alone holds no value
    XVarMeter value = {};
    std::u16string text;
    if (!ReadEditor(column, &value, &text))
        return;
    const auto def = static_cast<unsigned>(m_editCol);
    SetSuber(row, def, &value);
    const unsigned removals = m_removals;
    TellAttached(kGridOnCloseEditItem, m_editCol);
    if (StillHere(row, removals))
        Notify(kGridOnCloseEditItem, static_cast<int32_t>(row->index), m_editCol, 0, row);
}

void XPageGrider::CloseEditor(int mode)
{
    if (m_editor == nullptr)
        return;
    if (mode != 0)
        CommitCell();
    if (mode == 1 || m_editor == nullptr)
        return;
    XPageItem *editor = m_editor;
    m_editor = nullptr;
    m_editRow = nullptr;
    m_editCol = -1;
    m_focusPart = nullptr;
    XPageWindow *window = GetPageWindow();
    const bool focused = window != nullptr && window->GetFocusItem() != nullptr &&
                         (window->GetFocusItem() == editor || window->GetFocusItem() == m_button);
    editor->ShowItem(0);
    if (m_button != nullptr)
        m_button->ShowItem(0);
    if (focused)
        window->SetFocusItem(this);
    InvalidateRow(nullptr);
}

// ---------------------------------------------------------------------------------------
// What the editors report
// ---------------------------------------------------------------------------------------

int XPageGrider::EditorHook(void *user, XMessage_t *message)
{
    auto *grid = static_cast<XPageGrider *>(user);
    const uint32_t code = message->code & 0xFFFF;
    switch (code) {
    case XMSG_KEYDOWN:
    case XMSG_TEXTCHANGE:
    case kFocusMoveCode:
        return grid->OnItemNotify(message);
    case XMSG_COMMAND:
        if (message->key < kGridCmdFirst)
            return 0;
        message->state = kMsgStop;
        grid->OnItemNotify(message);
        return 1;
    case XMSG_FOCUSOUT:
        grid->OnItemNotify(message);
        return 0;
    default:
        return 0;
    }
}

bool XPageGrider::IsEnterColumn(const XHeaderNode *column) const
{
    return IsEditColumn(column);
}

bool XPageGrider::NextCell(uint32_t key, bool ctrl, bool shift, XMatterNode **row,
                           XHeaderNode **column)
{
    XMatterNode *r = *row;
    XHeaderNode *c = *column;
    if (ctrl) {
        XMatterNode *p = key == 38 ? r->prev : r->next;
        while (p != nullptr && p->adder == kAdderSubtotal)
            p = key == 38 ? p->prev : p->next;
        if (p == nullptr || (key == 40 && p->adder >= kAdderTotal))
            return false;
        *row = p;
        return true;
    }
    BuildViewOrder();
    std::vector<XHeaderNode *> view;
    for (XHeaderNode *h = m_viewFirst; h != nullptr; h = h->viewNext)
        view.push_back(h);
    auto firstEditable = [&](bool backwards) -> XHeaderNode * {
        if (backwards) {
            for (auto it = view.rbegin(); it != view.rend(); ++it)
                if (IsEnterColumn(*it))
                    return *it;
        } else {
            for (XHeaderNode *h : view)
                if (IsEnterColumn(h))
                    return h;
        }
        return nullptr;
    };
    const int at = c->viewIndex;
    if (!shift) {
        for (size_t i = static_cast<size_t>(at) + 1; i < view.size(); ++i)
            if (IsEnterColumn(view[i])) {
                *column = view[i];
                return true;
            }
        XMatterNode *p = r->next;
        while (p != nullptr && p->adder == kAdderSubtotal)
            p = p->next;
        XHeaderNode *first = firstEditable(false);
        if (first == nullptr)
            return false;
        if (p == nullptr || p->adder >= kAdderTotal) {
            if (!(extraFlags & kGridEnterAppend))
                return false;
            const unsigned removals = m_removals;
            void *made = CreateMatter(m_rowCount, nullptr, nullptr);
            if (made == nullptr || !StillHere(made, removals))
                return false;
            p = static_cast<XMatterNode *>(made);
        }
        *row = p;
        *column = first;
        return true;
    }
    for (int i = at - 1; i >= 0; --i)
        if (IsEnterColumn(view[static_cast<size_t>(i)])) {
            *column = view[static_cast<size_t>(i)];
            return true;
        }
    XMatterNode *p = r->prev;
    while (p != nullptr && p->adder == kAdderSubtotal)
        p = p->prev;
    XHeaderNode *last = firstEditable(true);
    if (p == nullptr || last == nullptr)
        return false;
    *row = p;
    *column = last;
    return true;
}

int XPageGrider::OnItemNotify(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    switch (code) {
    case XMSG_KEYDOWN: {
        if (m_editor == nullptr)
            return 0;
        if (TellAttached(XMSG_KEYDOWN, m_editCol) == kMsgStop)
            return 1;
        const uint32_t key = message->key;
        const bool ctrl = IsKeyPress(17) != 0;
        const bool shift = IsKeyPress(16) != 0;
        if (key != 13 && !(ctrl && (key == 38 || key == 40)))
            return 0;
        XMatterNode *row = m_editRow;
        XHeaderNode *column =
            m_editCol >= 0 ? GetHeaderNode(static_cast<unsigned>(m_editCol)) : nullptr;
        const unsigned removals = m_removals;
        const unsigned columns = m_colCount;
        CloseEditor(2);
        message->state = kMsgStop;
        XPageWindow *window = GetPageWindow();
        if (window != nullptr)
            window->SetFocusItem(this);
        if (row == nullptr || column == nullptr || !StillHere(row, removals) ||
            m_colCount != columns)
            return 1;
        if (!NextCell(key, ctrl && key != 13, shift && key == 13, &row, &column))
            return 1;
        EnsureVisible(row->index, static_cast<unsigned>(column->viewIndex));
        OnStartEditor(row, column);
        return 1;
    }
    case XMSG_TEXTCHANGE:
    case kFocusMoveCode:
        if (TellAttached(code, m_editCol) == kMsgStop) {
            message->state = kMsgStop;
            return 1;
        }
        return 0;
    case XMSG_COMMAND:
        OnEditorCommand(message->key);
        return 1;
    case XMSG_FOCUSOUT: {
        if (m_popupGuard || m_editor == nullptr)
            return 0;
        auto *other = static_cast<XPageItem *>(message->other);
        if (message->item == m_button && m_editor != m_button) {
            if (other != m_editor)
                CloseEditor(0);
        } else if (message->item == m_editor) {
            CloseEditor(other != nullptr && other == m_button ? 1 : 2);
        } else if (message->item == m_button) {
            CloseEditor(0);
        }
        return 0;
    }
    default:
        return 0;
    }
}

void XPageGrider::OnEditorCommand(uint32_t command)
{
    XMatterNode *row = m_editRow;
    if (row == nullptr || !Owns(row) || m_editCol < 0)
        return;
    const auto def = static_cast<unsigned>(m_editCol);
    XHeaderNode *column = m_columns[def];
    const XGB_HEADER &h = column->header;
    XPageWindow *window = GetPageWindow();
    const unsigned removals = m_removals;
    m_popupGuard = true;
    bool done = false;
    switch (command) {
    case kGridCmdShowText:
        if (window != nullptr) {
            const char16_t *text = row->subers[def].text;
            ShowTextEditor(window, u"弹出显示文本", text != nullptr ? text : u"");
            done = true;
        }
        break;
    case kGridCmdEditText:
        if (window != nullptr && h.dataType == kGridText) {
            const unsigned cap =
                std::min<unsigned>(h.dataSize > 0 ? h.dataSize : 1, kCommitTextMax);
            const XSuberNode &cell = row->subers[def];
            std::u16string result(cap + 1, u'\0');
            if (OpenTextEditor(window, u"弹出编辑文本",
                               !cell.isNull && cell.text != nullptr ? cell.text : u"",
                               result.data(), cap + 1) &&
                StillHere(row, removals) && m_editCol == static_cast<int>(def)) {
                result.resize(Strlen(result.c_str()));
                XVarMeter value = {};
                value.type = result.empty() ? kVarNull : kVarText;
                value.value.text = result.c_str();
                SetSuber(row, def, &value);
                if (column->editor != nullptr)
                    column->editor->SetItemText(result.c_str());
                const unsigned before = m_removals;
                if (StillHere(row, before))
                    Notify(kGridOnCloseEditItem, static_cast<int32_t>(row->index),
                           static_cast<int32_t>(def), 0, row);
                done = true;
            }
        }
        break;
    case kGridCmdPopup:
        Notify(kGridOnPopupEditor, static_cast<int32_t>(row->index), static_cast<int32_t>(def), 0,
               row);
        done = true;
        break;
    default:
        break;
    }
    m_popupGuard = false;
    if (m_editor == nullptr)
        return;
    if (done && m_button != nullptr && (m_button->itemFlags & kItemVisible))
        FocusPart(m_button);
    else if (column->editor != nullptr && m_editor == column->editor)
        FocusPart(column->editor);
}
