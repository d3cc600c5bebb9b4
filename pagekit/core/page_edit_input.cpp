// The edit's input: the key table, typed characters, the pointer (press, Shift, drag,
// double click), the context menu, the clipboard and the focus.

#include <algorithm>
#include <cstring>
#include <string>

#include "pagekit/core/item_selector.h"
#include "pagekit/core/menu_item.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Virtual keys of the key table.
enum : uint32_t {
    kKeyBack = 8,
    kKeyTab = 9,
    kKeyEnter = 13,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyDelete = 46,
    kKeyA = 65,
    kKeyC = 67,
    kKeyV = 86,
    kKeyX = 88,
    kKeyY = 89,
    kKeyZ = 90,
};

int Handled(XMessage_t *message)
{
    message->state = kMsgDone;
    return 1;
}

// Clipboard bytes as UTF-16 units (an odd last byte dropped).
int ReadClipboard(void *context, uint32_t /*format*/, const void *data, uint32_t bytes)
{
    auto *out = static_cast<std::u16string *>(context);
    out->resize(bytes / sizeof(char16_t));
    std::memcpy(out->data(), data, out->size() * sizeof(char16_t));
    return 1;
}

} // namespace

int XPageEdit::OnMessage(XMessage_t *message)
{
    switch (message->code & 0xFFFF) {
    case XMSG_KEYDOWN:
        if (OnKeyDown(message))
            return 1;
        break;
    case XMSG_CHAR:
        if (OnChar(message))
            return 1;
        break;
    case XMSG_BUTTONDOWN:
    case XMSG_MOUSEMOVE:
    case XMSG_BUTTONUP:
    case XMSG_DBLCLICK:
        if (OnPointer(message))
            return 1;
        break;
    case XMSG_RCLICK:
        if (!IsDisplayOnly() && GetPageWindow() != nullptr) {
            OpenContextMenu();
            return Handled(message);
        }
        break;
    case XMSG_FOCUSIN:
        m_caretMemo = false; // the focused look may bring another font
        if (XPageWindow *window = GetPageWindow()) {
            UpdateStyleDesc(1);
            window->CreateInputCursor(this, 1, static_cast<unsigned>(GetRowHeight()));
            PlaceCaret();
            UpdateInputer(0);
        }
        break;
    case XMSG_FOCUSOUT:
        m_pendingHigh = 0;
        m_dragging = false;
        if (XPageWindow *window = GetPageWindow()) {
            if (window->GetCaretItem() == this)
                window->HideInputCursor(1);
        }
        break;
    case XMSG_PLACECARET:
        PlaceCaret();
        return 1;
    default:
        break;
    }
    return XPageItem::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// Keys and characters
// ---------------------------------------------------------------------------------------

int XPageEdit::OnKeyDown(XMessage_t *message)
{
    const bool ctrl = (message->flags & XMSG_STATE_CTRL) != 0;
    const bool shift = (message->flags & XMSG_STATE_SHIFT) != 0;
    const uint32_t key = message->key;
    switch (key) {
    case kKeyBack:
        DeleteInputer(1);
        return Handled(message);
    case kKeyDelete:
        DeleteInputer(0);
        return Handled(message);
    case kKeyTab: {
        if (!IsMultiLine() || ctrl)
            return 0;
        unsigned caret = 0, anchor = 0;
        GetChoice(&caret, &anchor);
        unsigned a = 0, b = 0;
        const bool lines = Locate(caret, &a) != Locate(anchor, &b);
        if (!Wraps() && lines)
            IndentSelection(shift);
        else if (!shift && CanChange())
            InputChar(u'\t');
        return Handled(message);
    }
    case kKeyEnter:
        if (!IsMultiLine())
            return 0;
        if (CanChange())
            InputText(u"\r\n");
        return Handled(message);
    case kKeyPageUp:
    case kKeyPageDown:
    case kKeyEnd:
    case kKeyHome:
    case kKeyLeft:
    case kKeyUp:
    case kKeyRight:
    case kKeyDown:
        MoveByKey(key, ctrl, shift);
        return Handled(message);
    default:
        break;
    }
    if (!ctrl || shift)
        return 0;
    switch (key) {
    case kKeyA:
        RunCommand(kEditCmdSelectAll);
        return Handled(message);
    case kKeyC:
        RunCommand(kEditCmdCopy);
        return Handled(message);
    case kKeyX:
        RunCommand(kEditCmdCut);
        return Handled(message);
    case kKeyV:
        RunCommand(kEditCmdPaste);
        return Handled(message);
    case kKeyZ:
        RunCommand(kEditCmdUndo);
        return Handled(message);
    case kKeyY:
        RunCommand(kEditCmdRedo);
        return Handled(message);
    default:
        return 0;
    }
}

int XPageEdit::OnChar(XMessage_t *message)
{
    const uint32_t unit = message->key;
    if (unit < 32 || unit == 127 || unit > 0xFFFF)
        return 0;
    if (message->flags & XMSG_STATE_CTRL && unit < 128)
        return 0; // Ctrl with a letter is a command, taken by the key table
    InputChar(static_cast<char16_t>(unit));
    return Handled(message);
}

void XPageEdit::MoveByKey(uint32_t key, bool ctrl, bool shift)
{
    const unsigned caret = GetCaretPos();
    const bool rowEnd = (m_caretPos & kCaretRowEnd) != 0;
    if (key != kKeyUp && key != kKeyDown && key != kKeyPageUp && key != kKeyPageDown)
        m_rememberX = kNoRememberedX;
    unsigned offset = 0;
    XTextLine *line = Locate(caret, &offset);
    const unsigned lineStart = caret - offset;
    XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
    switch (key) {
    case kKeyLeft:
        if (ctrl && painter != nullptr) {
            if (offset == 0)
                MoveCaret(Snap(caret > 0 ? caret - 1 : 0, false), shift);
            else
                MoveCaret(lineStart + static_cast<unsigned>(painter->FindWordEdge(
                                          line->text, static_cast<int>(line->length),
                                          static_cast<int>(offset), 0)),
                          shift);
        } else {
            MoveCaret(caret > 0 ? Snap(caret - 1, false) : 0, shift);
        }
        return;
    case kKeyRight:
        if (ctrl && painter != nullptr && offset < line->length) {
            MoveCaret(lineStart + static_cast<unsigned>(painter->FindWordEdge(
                                      line->text, static_cast<int>(line->length),
                                      static_cast<int>(offset), 1)),
                      shift);
        } else {
            MoveCaret(Snap(std::min(caret + 1, m_total), true), shift);
        }
        return;
    case kKeyHome:
    case kKeyEnd: {
        if (ctrl) {
            MoveCaret(key == kKeyHome ? 0 : m_total, shift);
            return;
        }
        // The row's start or end.
        const POINT_t at = GetCaretPoint(caret, rowEnd);
        bool end = false;
        const unsigned pos = HitPosition(key == kKeyHome ? -1 : 0x7FFFFFF, at.y, &end);
        MoveCaret(pos, shift, key == kKeyEnd && end);
        return;
    }
    default:
        break;
    }
    // Up, Down and the page keys keep the remembered column.
    const POINT_t at = GetCaretPoint(caret, rowEnd);
    if (m_rememberX == kNoRememberedX)
        m_rememberX = at.x;
    const int rh = GetRowHeight();
    const int page = std::max(body.height - rh, rh);
    int y = at.y;
    if (key == kKeyUp)
        y -= rh;
    else if (key == kKeyDown)
        y += rh;
    else if (key == kKeyPageUp)
        y -= page;
    else
        y += page;
    bool end = false;
    const int remembered = m_rememberX;
    const unsigned pos = HitPosition(m_rememberX, std::max(y, 0), &end);
    MoveCaret(pos, shift, end);
    m_rememberX = remembered;
}

void XPageEdit::IndentSelection(bool outdent)
{
    if (!CanChange())
        return;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    unsigned a = 0, b = 0;
    XTextLine *first = Locate(std::min(caret, anchor), &a);
    XTextLine *last = Locate(std::max(caret, anchor), &b);
    const unsigned firstStart = std::min(caret, anchor) - a;
    // One undo step: every line's change recorded in it, the last line first so that
    // the positions of the lines before stay as they were.
    m_undo.BeginStep(kUndoOther);
    bool changed = false;
    for (XTextLine *line = last;; line = line->prev) {
        const unsigned start = PositionOf(line, 0);
        if (outdent && line->length > 0 && line->text[0] == u'\t') {
            m_undo.RecordDelete(start, u"\t", 1);
            ReplaceRange(start, start + 1, u"", 0, ~0u, false);
            changed = true;
        } else if (!outdent && line->length > 0 && (m_limit == 0 || m_total + 1 <= m_limit)) {
            ReplaceRange(start, start, u"\t", 1, ~0u, false);
            m_undo.RecordInsert(start, u"\t", 1);
            changed = true;
        }
        if (line == first)
            break;
    }
    if (!changed)
        return;
    // The selection covers the whole lines afterwards.
    unsigned endOffset = 0;
    XTextLine *end = Locate(PositionOf(last, last->length), &endOffset);
    m_anchorLine = Locate(firstStart, &m_anchorPos);
    m_caretLine = end;
    m_caretPos = endOffset;
    TextChanged(true);
}

// ---------------------------------------------------------------------------------------
// The pointer
// ---------------------------------------------------------------------------------------

int XPageEdit::OnPointer(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    if (OnScrollbarMessage(message))
        return 1;
    const int x = message->x - body.x + scroll.x;
    const int y = message->y - body.y + scroll.y;
    XPageWindow *window = GetPageWindow();
    bool rowEnd = false;
    switch (code) {
    case XMSG_BUTTONDOWN: {
        if (message->key != XMSG_BUTTON_LEFT)
            return 0;
        const unsigned pos = HitPosition(x, y, &rowEnd);
        m_rememberX = kNoRememberedX;
        MoveCaret(pos, (message->flags & XMSG_STATE_SHIFT) != 0, rowEnd);
        if (window != nullptr)
            window->SetCaptureItem(this);
        m_dragging = true;
        return Handled(message);
    }
    case XMSG_MOUSEMOVE:
        if (!m_dragging)
            return 0;
        MoveCaret(HitPosition(x, y, &rowEnd), true, rowEnd);
        return Handled(message);
    case XMSG_BUTTONUP:
        if (!m_dragging)
            return 0;
        m_dragging = false;
        if (window != nullptr && window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
        return Handled(message);
    case XMSG_DBLCLICK: {
        if (message->key != XMSG_BUTTON_LEFT)
            return 0;
        const unsigned pos = HitPosition(x, y, &rowEnd);
        unsigned offset = 0;
        XTextLine *line = Locate(pos, &offset);
        const unsigned lineStart = pos - offset;
        XPainter *painter = form != nullptr ? form->GetPainter() : nullptr;
        if (painter == nullptr || IsPassword()) {
            SetChoice(lineStart + line->length, lineStart);
            return Handled(message);
        }
        const int len = static_cast<int>(line->length);
        const int start =
            painter->FindWordEdge(line->text, len, std::min(static_cast<int>(offset) + 1, len), 0);
        const int end = painter->FindWordEdge(line->text, len, start, 1);
        SetChoice(lineStart + static_cast<unsigned>(end), lineStart + static_cast<unsigned>(start));
        return Handled(message);
    }
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------
// Commands, the context menu and the clipboard
// ---------------------------------------------------------------------------------------

void XPageEdit::RunCommand(uint32_t code)
{
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    switch (code) {
    case kEditCmdUndo:
        Undo();
        break;
    case kEditCmdRedo:
        Redo();
        break;
    case kEditCmdCut:
        // Copying is off in password mode, so cutting there would lose the text.
        if (IsPassword() || !CanChange() || caret == anchor)
            break;
        CopySelection();
        DeleteInputer(0); // the selection, by the edit's own rules
        break;
    case kEditCmdCopy:
        CopySelection();
        break;
    case kEditCmdPaste:
        if (CanChange())
            Paste();
        break;
    case kEditCmdDelete:
        if (caret != anchor)
            DeleteInputer(0);
        break;
    case kEditCmdSelectAll:
        if (m_total > 0)
            SetChoice(m_total, 0);
        break;
    default:
        break;
    }
}

void XPageEdit::OpenContextMenu()
{
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    const bool chosen = caret != anchor;
    const bool enabled = IsEnable() != 0;
    const bool change = enabled && CanChange();
    const bool copy = chosen && !IsPassword();
    struct Entry
    {
        uint32_t code;
        const char16_t *text;
        bool on;
    } const entries[] = {
        {kEditCmdUndo, u"撤销(&Z)\t\t\tCtrl + Z", change && CanUndo()},
        {kEditCmdRedo, u"重做(&Y)\t\t\tCtrl + Y", change && CanRedo()},
        {0, nullptr, true},
        {kEditCmdCut, u"剪切(&X)\t\t\tCtrl + X", change && copy},
        {kEditCmdCopy, u"复制(&C)\t\t\tCtrl + C", copy},
        {kEditCmdPaste, u"粘贴(&V)\t\t\tCtrl + V", change},
        {kEditCmdDelete, u"删除(&D)", change && chosen},
        {0, nullptr, true},
        {kEditCmdSelectAll, u"全选(&A)\t\t\tCtrl + A", m_total > 0},
    };
    XMenuItem menu[9];
    for (size_t i = 0; i < 9; ++i)
        SetupMenuItem(&menu[i], entries[i].code, entries[i].on ? 0u : uint32_t{kMenuDisabled},
                      entries[i].text);
    const unsigned code = PopupMenubar(this, menu, 9);
    if (code != 0)
        RunCommand(code);
}

void XPageEdit::CopySelection()
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr || IsPassword())
        return;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    if (caret == anchor)
        return;
    std::u16string chosen = GetRange(std::min(caret, anchor), std::max(caret, anchor));
    chosen.push_back(0);
    window->SetClipboard(0, chosen.data(), static_cast<uint32_t>(chosen.size() * sizeof(char16_t)));
}

void XPageEdit::Paste()
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr)
        return;
    std::u16string data;
    if (!window->GetClipboard(0, &data, ReadClipboard))
        return;
    // Zero units would end the text; lone surrogate halves are kept out by the edit's
    // own insertion (ReplaceRange takes sound text only).
    std::u16string sound;
    for (char16_t ch : data) {
        if (ch != 0)
            sound.push_back(ch);
    }
    if (!sound.empty())
        InputText(sound.c_str());
}
