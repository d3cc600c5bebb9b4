// The tree item's input: presses, clicks and double clicks on nodes, dragging a node
// onto another, and the caption editor.

#include <algorithm>

#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_window.h"
#include "pagekit/items/page_tree.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

constexpr uint32_t kKeyEnter = 13, kKeyEscape = 27, kKeyCancel = 30;
// Squared distance the pointer must pass before an armed drag starts.
constexpr int kDragStart = 9;
// Item flags of the editor: overflow-x extend.
constexpr uint32_t kEditorFlags = 0x4000;

} // namespace

// ---------------------------------------------------------------------------------------
// Dragging
// ---------------------------------------------------------------------------------------

void XPageTree::DrawDropFrame()
{
    XPageWindow *window = GetPageWindow();
    XPainter *painter = window != nullptr ? window->GetTracker(0) : nullptr;
    if (painter == nullptr)
        return;
    // Device pixels and the clip of the first drawing: the same halftone takes it away.
    painter->ResetTransform();
    painter->SetClipRect(&m_frameClip);
    painter->DrawHalftone(&m_frame, 1);
}

void XPageTree::SetDropTarget(XTreeItem *node)
{
    if (node == m_target && (node == nullptr) == !m_framed)
        return;
    if (m_framed) {
        DrawDropFrame();
        m_framed = false;
    }
    m_target = node;
    BOUND_t place;
    if (node == nullptr || !GetItemPlace(node, &place))
        return;
    XPageWindow *window = GetPageWindow();
    XPainter *painter = window != nullptr ? window->GetTracker(0) : nullptr;
    if (painter == nullptr || !GetTracker(1, painter))
        return;
    POINT_t origin;
    painter->GetOrigin(&origin);
    BOUND_t clip;
    if (!painter->GetClipRect(&clip))
        return;
    m_frame = {place.x - scroll.x + origin.x, place.y - scroll.y + origin.y, place.width,
               place.height};
    m_frameClip = {clip.x + origin.x, clip.y + origin.y, clip.width, clip.height};
    m_framed = true;
    DrawDropFrame();
}

void XPageTree::EndDrag()
{
    if (m_framed) {
        DrawDropFrame();
        m_framed = false;
    }
    m_target = nullptr;
    if (m_drag == 0)
        return;
    m_drag = 0;
    if (XPageWindow *window = GetPageWindow()) {
        window->CloseTracker();
        if (window->GetCaptureItem() == this)
            window->SetCaptureItem(nullptr);
        window->SetMouseCursor(PANEKIT_CURSOR_ARROW);
    }
}

// ---------------------------------------------------------------------------------------
// Pointer
// ---------------------------------------------------------------------------------------

int XPageTree::OnPointer(XMessage_t *message)
{
    const uint32_t code = message->code & 0xFFFF;
    const int bx = message->x - body.x, by = message->y - body.y;
    const bool inside = bx >= 0 && by >= 0 && bx < body.width && by < body.height;
    unsigned part = kTreeHitNone;
    XTreeItem *node = inside ? HitTest(bx + scroll.x, by + scroll.y, &part) : nullptr;
    switch (code) {
    case XMSG_BUTTONDOWN: {
        if (message->key != XMSG_BUTTON_LEFT || !inside)
            return 0;
        if (m_editNode != nullptr) {
            OnCloseEditor();
            node = HitTest(bx + scroll.x, by + scroll.y, &part); // the handler may delete
        }
        message->state = kMsgDone;
        if (node == nullptr)
            return 1;
        if (part == kTreeHitButton) {
            ExpandItem(node, 2);
        } else if (part == kTreeHitCheck) {
            CheckItem(node, 2);
            Notify(kTreeOnCheckItem, node, (node->state & kTreeChecked) ? 1 : 0);
        } else {
            SelectItem(node);
            if ((extraFlags & kTreeDragNode) && m_choice == node &&
                IsDragEnable(node, kTreeDragSource)) {
                m_drag = 1;
                m_press = {message->x, message->y};
                if (XPageWindow *window = GetPageWindow())
                    window->SetCaptureItem(this);
            }
        }
        return 1;
    }
    case XMSG_MOUSEMOVE: {
        if (m_drag == 0)
            return 0;
        if (m_drag == 1) {
            const int dx = message->x - m_press.x, dy = message->y - m_press.y;
            if (dx * dx + dy * dy <= kDragStart)
                return 1;
            m_drag = 2;
        }
        XTreeItem *target = nullptr;
        if (node != nullptr && node != m_choice && IsDragEnable(node, kTreeDragTarget))
            target = node;
        SetDropTarget(target);
        if (XPageWindow *window = GetPageWindow())
            window->SetMouseCursor(PANEKIT_CURSOR_DRAGDROP);
        message->state = kMsgDone;
        return 1;
    }
    case XMSG_BUTTONUP: {
        if (m_drag == 0)
            return 0;
        const bool dragged = m_drag == 2;
        XTreeItem *target = m_target;
        XTreeItem *dragNode = m_choice;
        EndDrag();
        message->state = dragged ? kMsgStop : kMsgDone;
        if (dragged && target != nullptr && dragNode != nullptr)
            Notify(kTreeOnDropItem, target, 0, dragNode);
        return 1;
    }
    case XMSG_CLICK:
        if (node != nullptr && part == kTreeHitCaption) {
            message->state = kMsgDone;
            Notify(kTreeOnClickItem, node);
            return 1;
        }
        return 0;
    case XMSG_RCLICK: {
        if (!inside)
            return 0;
        message->state = kMsgDone;
        Watch watch(this, node);
        SelectItem(node);
        Notify(kTreeOnRClickItem, watch.Get());
        return 1;
    }
    case XMSG_DBLCLICK: {
        if (message->key != XMSG_BUTTON_LEFT || node == nullptr)
            return 0;
        message->state = kMsgDone;
        if (part == kTreeHitCaption)
            ExpandItem(node, 2);
        Notify(kTreeOnDblclkItem, node);
        return 1;
    }
    default:
        return 0;
    }
}

int XPageTree::OnMessage(XMessage_t *message)
{
    if (m_editor != nullptr && message->item == m_editor)
        return OnEditorMessage(message);
    if (message->item == this) {
        const uint32_t code = message->code & 0xFFFF;
        if (code >= XMSG_BUTTONUP && code <= XMSG_DBLCLICK && OnPointer(message))
            return 1;
    }
    return XPageOwner::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// The caption editor
// ---------------------------------------------------------------------------------------

int XPageTree::OnEditorMessage(XMessage_t *message)
{
    if (m_editNode == nullptr)
        return 0;
    const uint32_t code = message->code & 0xFFFF;
    if (code == XMSG_KEYDOWN || code == XMSG_FOCUSMOVE) {
        if (message->key == kKeyEnter) {
            message->state = kMsgStop;
            OnCloseEditor();
            return 1;
        }
        if (message->key == kKeyEscape || message->key == kKeyCancel) {
            message->state = kMsgStop;
            HideEditor();
            SetFocusItem();
            return 1;
        }
        return 0;
    }
    if (code == XMSG_FOCUSOUT) {
        CloseEditor(false);
        return 0;
    }
    return 0;
}

void XPageTree::StartEditor(XTreeItem *node)
{
    if (node == nullptr)
        return;
    if (m_editNode != nullptr)
        OnCloseEditor();
    Watch watch(this, node);
    SelectItem(node);
    if (watch.Get() == nullptr)
        return;
    const int editHeight = FontHeight() + 8;
    if (m_editor == nullptr) {
        m_editor = new XPageEdit;
        m_editor->itemFlags |= kEditorFlags;
        m_editor->ShowItem(0);
        AddItem(m_editor);
    }
    BOUND_t caption;
    if (!GetItemPlace(node, &caption))
        return;
    const int cw = CaptionWidth(Measurer(), node);
    const int top = caption.y + (caption.height - editHeight) / 2;
    const BOUND_t place = {caption.x + m_iconWidth + 2, top, cw + 28, editHeight};
    m_editor->MovePlace(&place, 1);
    m_editor->SetItemText(node->text);
    const unsigned length = m_editor->GetTotalLength();
    m_editor->SetChoice(length, 0);
    m_editNode = node;
    m_editor->ShowItem(1);
    m_editor->SetFocusItem();
}

void XPageTree::HideEditor()
{
    m_editNode = nullptr;
    if (m_editor != nullptr)
        m_editor->ShowItem(0);
}

void XPageTree::OnCloseEditor()
{
    CloseEditor(true);
}

void XPageTree::CloseEditor(bool refocus)
{
    if (m_editNode == nullptr || m_editor == nullptr)
        return;
    char16_t text[kTreeEditMax + 1];
    m_editor->GetItemText(text, kTreeEditMax + 1);
    Watch watch(this, m_editNode);
    HideEditor();
    if (refocus)
        SetFocusItem();
    if (text[0] == 0 || watch.Get() == nullptr)
        return;
    uint32_t state = kMsgUnhandled;
    Notify(kTreeOnModifyItem, watch.Get(), 0, text, &state);
    if (state != kMsgStop && watch.Get() != nullptr)
        SetItemText(watch.Get(), text);
}
