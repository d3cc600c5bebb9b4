// Dialogs: page windows run modally.

#include "pagekit/core/page_dialog.h"

XPageDialog::XPageDialog() = default;

XPageDialog::~XPageDialog()
{
    // Before the items go: their hooks name this dialog.
    DestroyWindow();
}

int XPageDialog::OnCreateWindow()
{
    if (!XPageWindow::OnCreateWindow())
        return 0;
    m_root.itemStyle.SetSolidRender(kStateNormal, kDialogBackColor);
    m_root.UpdateStyleDesc(0x12);
    return 1;
}

unsigned XPageDialog::PopupDialog()
{
    if (!IsCreated() || m_running)
        return 0;
    m_running = 1;
    const int code = PopupWindow(static_cast<int>(kDialogCancel));
    m_running = 0;
    if (IsCreated())
        ShowWindow(0);
    m_code = static_cast<unsigned>(code);
    return m_code;
}

void XPageDialog::CloseDialog(unsigned code)
{
    m_code = code;
    if (m_running)
        EndMessageLoop(static_cast<int>(code));
}

void XPageDialog::SetItemHooker(XPageItem *item)
{
    if (item != nullptr)
        item->SetHook(&XPageDialog::HookProc, this);
}

int XPageDialog::HookProc(void *data, XMessage_t *message)
{
    auto *dialog = static_cast<XPageDialog *>(data);
    const int handled = dialog->OnMessage(message);
    if (!handled && (message->code & 0xFFFF) == XMSG_COMMAND && message->state == kMsgUnhandled) {
        dialog->OnCommand(message->key);
        return 1;
    }
    return handled;
}

void XPageDialog::OnInitDialog()
{
    SetItemHooker(&m_root);
    OnCreateItem();
}

void XPageDialog::OnCreateItem() {}

void XPageDialog::OnCommand(unsigned) {}

int XPageDialog::OnMessage(XMessage_t *message)
{
    return XPageWindow::OnMessage(message);
}

int XPageDialog::DispatchMessage(XMessage_t *message)
{
    if (message != nullptr && (message->code & 0xFFFF) == XMSG_MOVE && !m_inited) {
        m_inited = 1;
        OnInitDialog();
    }
    return XPageWindow::DispatchMessage(message);
}

int XPageDialog::OnCloseWindow()
{
    XPageWindow::OnCloseWindow();
    CloseDialog(kDialogCancel);
    return 0;
}
