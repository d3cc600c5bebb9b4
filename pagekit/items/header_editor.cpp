// The column-settings dialog of a grid.

#include "pagekit/items/header_editor.h"

#include <algorithm>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_viewer.h"
#include "pagekit/items/page_grider.h"

namespace {

constexpr int kGap = 10;
constexpr int kGridSide = 200;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr unsigned kTitleUnits = 128;

enum : unsigned { kColTitle = 0, kColPosition = 1, kColWidth = 2 };

XGB_HEADER Column(uint16_t type, uint16_t size, uint16_t wide, const char16_t *title)
{
    XGB_HEADER h = {};
    h.cellKind = kCellEdit;
    h.dataType = type;
    h.dataSize = size;
    h.wide = wide;
    h.textColor = 0xFFFFFFFF;
    h.backColor = 0xFFFFFFFF;
    h.title = title;
    return h;
}

} // namespace

XHeaderEditor::XHeaderEditor(XPageGrider *target) : m_target(target) {}

XHeaderEditor::~XHeaderEditor() = default;

unsigned XHeaderEditor::Run(Panekit *parent)
{
    const BOUND_t place = {0, 0, kHeaderEditorWidth, kHeaderEditorHeight};
    if (m_target == nullptr || !Create(u"设置列属性", &place, nullptr, parent))
        return 0;
    const unsigned code = PopupDialog();
    DestroyWindow();
    return code;
}

void XHeaderEditor::AddButton(unsigned code, const char16_t *text, int y)
{
    auto *button = new XPageButton;
    button->itemCode = static_cast<int32_t>(code);
    button->itemFlags |= kItemAbsolute;
    button->SetItemText(text);
    const BOUND_t place = {kGap * 2 + kGridSide, y, kButtonWidth, kButtonHeight};
    button->MovePlace(&place, 0);
    button->SetCommandTarget(GetRooter());
    GetRooter()->AddItem(button);
}

void XHeaderEditor::OnCreateItem()
{
    XPageViewer *root = GetRooter();
    m_grid = new XPageGrider;
    m_grid->itemFlags |= kItemAbsolute;
    m_grid->extraFlags |= kGridEditable;
    const BOUND_t place = {kGap, kGap, kGridSide, kGridSide};
    m_grid->MovePlace(&place, 0);
    XGB_HEADER title = Column(kGridText, kTitleUnits, 120, u"列名称");
    title.cellKind = kCellPlain;
    title.backColor = 0xF8F8F8;
    title.locked = 1;
    XGB_HEADER position = Column(kGridInteger, 4, 68, u"原位置");
    position.cellKind = kCellPlain;
    position.locked = 1;
    XGB_HEADER width = Column(kGridInteger, 4, 68, u"列宽度");
    width.cellMode = kCellModeNumber;
    width.textColor = 0xFF0000;
    width.backColor = 0xFFFFFF;
    m_grid->InsertHeader(kColTitle, &title);
    m_grid->InsertHeader(kColPosition, &position);
    m_grid->InsertHeader(kColWidth, &width);
    root->AddItem(m_grid);
    SetItemHooker(m_grid);
    AddButton(kHeaderEditUp, u"上移", kGap);
    AddButton(kHeaderEditDown, u"下移", kGap + 36);
    AddButton(kHeaderEditSave, u"保存设置", kGap + 72);
    AddButton(kHeaderEditClear, u"清除设置", kGap + 108);
    AddButton(kHeaderEditCancel, u"取消", kGap + 144);
    Fill();
}

void XHeaderEditor::Fill()
{
    m_grid->SetUpdateMode(1);
    m_grid->RemoveAllMatter();
    for (XHeaderNode *c = m_target->GetHeaderWare(1); c != nullptr; c = c->viewNext) {
        void *row = m_grid->InsertMatter(m_grid->GetRowNumber(), nullptr, nullptr);
        char16_t title[kTitleUnits];
        const char16_t *from = c->header.title != nullptr ? c->header.title : u"";
        unsigned n = 0;
        for (; n + 1 < kTitleUnits && from[n] != 0; ++n)
            title[n] = from[n];
        title[n] = 0;
        m_grid->SetItemText(row, kColTitle, title);
        XVarMeter value = {};
        value.type = kVarInteger;
        value.value.integer = c->defIndex;
        m_grid->SetSuber(row, kColPosition, &value);
        value.value.integer = c->header.wide;
        m_grid->SetSuber(row, kColWidth, &value);
        m_grid->SetItemState(row, 0);
    }
    m_grid->SetModifyState(0);
    m_grid->SetUpdateMode(0);
    m_grid->Invalidate(nullptr, 0);
}

void XHeaderEditor::MoveRow(int dir)
{
    void *row = m_grid->GetNextChoice(nullptr);
    if (row == nullptr)
        return;
    const unsigned index = m_grid->GetItemIndex(row);
    if ((dir == 0 && index == 0) || (dir != 0 && index + 1 >= m_grid->GetRowNumber()))
        return;
    if (!m_target->MoveHeader(index, dir))
        return;
    m_grid->MoveMatter(row, dir == 0 ? 0 : 1);
    m_grid->Invalidate(nullptr, 0);
    m_target->Invalidate(nullptr, 0);
}

void XHeaderEditor::ApplyWidth(void *row)
{
    XVarMeter position = {};
    XVarMeter width = {};
    if (!m_grid->GetSuber(row, kColPosition, &position) ||
        !m_grid->GetSuber(row, kColWidth, &width) || position.type != kVarInteger ||
        width.type != kVarInteger)
        return;
    const int64_t wide = std::clamp<int64_t>(width.value.integer, 0, 65535);
    XGB_HEADER h;
    const auto col = static_cast<unsigned>(position.value.integer);
    if (!m_target->GetHeader(col, &h))
        return;
    h.wide = static_cast<uint16_t>(wide);
    m_target->SetHeaderWide(col, h.wide);
    m_target->Invalidate(nullptr, 0);
}

void XHeaderEditor::OnCommand(unsigned code)
{
    switch (code) {
    case kHeaderEditUp:
        MoveRow(0);
        break;
    case kHeaderEditDown:
        MoveRow(1);
        break;
    case kHeaderEditSave:
    case kHeaderEditClear: {
        XMessage_t message = {};
        message.code = kGridRequestLayout;
        message.state = kMsgHandled;
        message.key = code == kHeaderEditSave ? 0 : 1;
        message.row = -1;
        message.item = m_target;
        m_target->DispatchMessage(&message);
        break;
    }
    case kHeaderEditCancel:
        CloseDialog(kHeaderEditCancel);
        break;
    default:
        break;
    }
}

int XHeaderEditor::OnMessage(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    // The buttons' commands arrive handled: they are the dialog's own.
    if (code == XMSG_COMMAND && message->item != nullptr &&
        static_cast<XPageItem *>(message->item)->kind == kKindButton) {
        OnCommand(message->key);
        return 1;
    }
    if (code == kGridOnCloseEditItem && message->item == m_grid &&
        message->column == static_cast<int32_t>(kColWidth)) {
        ApplyWidth(reinterpret_cast<void *>(message->value));
        return 0;
    }
    return XPageDialog::OnMessage(message);
}

void XPageGrider::OpenHeaderEditor()
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    XHeaderEditor dialog(this);
    dialog.Run(window);
    Invalidate(nullptr, 0);
}
