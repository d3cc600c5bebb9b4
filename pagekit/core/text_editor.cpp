#include "pagekit/core/text_editor.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "corekit/text/xstring.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_dialog.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_frame.h"

namespace {

// Gap around the edit and between the buttons.
constexpr int kGap = 8;

XTextEditorDialog *g_openEditor = nullptr;

} // namespace

XTextEditorDialog::XTextEditorDialog(const char16_t *text, bool buttons)
    : m_text(text != nullptr ? text : u""), m_buttons(buttons)
{
}

XTextEditorDialog::~XTextEditorDialog()
{
    if (g_openEditor == this)
        g_openEditor = m_outer;
}

XTextEditorDialog *XTextEditorDialog::GetOpenEditor()
{
    return g_openEditor;
}

unsigned XTextEditorDialog::Run(Panekit *parent, const char16_t *title)
{
    const BOUND_t place = {0, 0, kTextEditorWidth, kTextEditorHeight};
    if (!Create(title, &place, nullptr, parent))
        return 0;
    m_outer = g_openEditor;
    g_openEditor = this;
    const unsigned code = PopupDialog();
    g_openEditor = m_outer;
    DestroyWindow();
    return code == 1 ? 1 : 0;
}

void XTextEditorDialog::OnCreateItem()
{
    XPageViewer *root = GetRooter();
    root->ApplyStyle(1, m_buttons ? "padding: 8px 8px 0px 8px;" : "padding: 8px;");
    root->itemStyle.SetSolidRender(kStateNormal, kTextEditorBackColor);
    root->UpdateStyleDesc(0x12);
    XPageFrame *bar = nullptr;
    if (m_buttons) {
        // A strip along the bottom with the buttons at its right end.
        bar = new XPageFrame;
        bar->extraFlags = kFrameFlex | SetStyleField(0, kFrameAlignX, kDistributeEnd);
        const BOUND_t strip = {0, 0, kTextEditorWidth, kTextEditorButtonHeight + 2 * kGap};
        bar->MovePlace(&strip, 0);
        bar->ApplyStyle(1, "padding: 8px 4px 8px 4px;");
        AddButton(bar, 1, u"确定");
        AddButton(bar, 0, u"取消");
        root->AddDocker(kDockBottom, bar, 0);
    }
    m_edit = new XPageEdit;
    m_edit->extraFlags |= kEditMultiLine;
    m_edit->ApplyStyle(1, "width: 100%; height: 100%;");
    const BOUND_t place = {0, 0, 300, 200};
    m_edit->MovePlace(&place, 0);
    m_edit->SetItemText(m_text.c_str());
    if (!m_buttons)
        m_edit->extraFlags |= kEditDisplayOnly;
    root->AddItem(m_edit);
    root->UpdateLayout(1);
    if (bar != nullptr)
        bar->UpdateLayout(1);
    SetFocusItem(m_edit);
}

void XTextEditorDialog::OnCommand(unsigned code)
{
    if (code == 1 && m_edit != nullptr) {
        XString text;
        m_edit->XPageItem::GetItemText(&text);
        m_result = text.GetString() != nullptr ? text.GetString() : u"";
    }
    CloseDialog(code == 1 ? 1 : 0);
}

int XTextEditorDialog::OnMessage(XMessage_t *message)
{
    // The buttons' commands arrive handled (state 2): they are the dialog's own.
    if ((message->code & 0xFFFF) == XMSG_COMMAND && message->item != nullptr &&
        (message->key == 0 || message->key == 1) &&
        static_cast<XPageItem *>(message->item)->kind == kKindButton) {
        OnCommand(message->key);
        return 1;
    }
    return XPageDialog::OnMessage(message);
}

void XTextEditorDialog::AddButton(XPageFrame *bar, int code, const char16_t *text)
{
    auto *button = new XPageButton;
    button->itemCode = code;
    button->SetItemText(text);
    const BOUND_t place = {0, 0, kTextEditorButtonWidth, kTextEditorButtonHeight};
    button->MovePlace(&place, 0);
    button->ApplyStyle(1, "margin: 0px 4px 0px 4px;");
    button->SetCommandTarget(GetRooter()); // the hooked root hands commands to OnCommand
    bar->AddItem(button);
}

namespace {

int RunEditor(Panekit *parent, const char16_t *title, const char16_t *text, bool buttons,
              std::u16string *out)
{
    XTextEditorDialog dialog(text, buttons);
    if (dialog.Run(parent, title) != 1)
        return 0;
    *out = dialog.GetResult();
    return 1;
}

} // namespace

int OpenTextEditor(Panekit *parent, const char16_t *title, const char16_t *text, XString *out)
{
    std::u16string result;
    if (!RunEditor(parent, title, text, true, &result))
        return 0;
    if (out != nullptr)
        out->SetString(result.c_str());
    return 1;
}

int OpenTextEditor(Panekit *parent, const char16_t *title, const char16_t *text, char16_t *out,
                   unsigned size)
{
    std::u16string result;
    if (!RunEditor(parent, title, text, true, &result))
        return 0;
    if (out == nullptr || size == 0)
        return 1;
    size_t n = std::min<size_t>(result.size(), size - 1);
    if (n > 0 && n < result.size() && result[n - 1] >= 0xD800 && result[n - 1] <= 0xDBFF)
        --n;
    std::memcpy(out, result.data(), n * sizeof(char16_t));
    out[n] = 0;
    return 1;
}

void ShowTextEditor(Panekit *parent, const char16_t *title, const char16_t *text)
{
    std::u16string unused;
    RunEditor(parent, title, text, false, &unused);
}
