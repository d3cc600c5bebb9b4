#include "tools/panedemo/demo_window.h"

#include <cstdio>
#include <string>

#include "platform/devkit/native_path.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Names of the messages the demo echoes; others print their code.
struct MessageName
{
    uint32_t code;
    const char *name;
};
constexpr MessageName kMessageNames[] = {
    {XMSG_KEYUP, "key-up"},        {XMSG_KEYDOWN, "key-down"},       {XMSG_CHAR, "char"},
    {XMSG_BUTTONUP, "button-up"},  {XMSG_BUTTONDOWN, "button-down"}, {XMSG_MOUSEMOVE, "move"},
    {XMSG_WHEEL, "wheel"},         {XMSG_DBLCLICK, "double-click"},  {XMSG_SIZE, "size"},
    {XMSG_TIMER, "timer"},         {XMSG_MOVE, "window-move"},       {XMSG_SETFOCUS, "focus-in"},
    {XMSG_KILLFOCUS, "focus-out"}, {XMSG_POSTED, "posted"},
};

// Virtual keys the demo acts on.
constexpr uint32_t kKeyBack = 8, kKeyC = 67, kKeyV = 86, kKeyF2 = 113, kKeyF3 = 114, kKeyF4 = 115;

int TakeClipboardText(void *context, uint32_t format, const void *data, uint32_t bytes)
{
    if (format != PANEKIT_CLIP_TEXT || bytes < 2)
        return 0;
    static_cast<std::u16string *>(context)->assign(static_cast<const char16_t *>(data),
                                                   bytes / 2 - 1);
    return 1;
}

std::string Utf8(const std::u16string &text)
{
    return devkit::Utf16ToUtf8(text.data(), text.size());
}

} // namespace

void XDemoWindow::Echo(const XMessage_t *message) const
{
    const char *name = nullptr;
    for (const MessageName &entry : kMessageNames) {
        if (entry.code == message->code)
            name = entry.name;
    }
    if (name == nullptr) {
        std::printf("message %u\n", message->code);
    } else if (message->code == XMSG_CHAR) {
        char16_t unit[2] = {static_cast<char16_t>(message->key), 0};
        bool plain = message->key >= 0x20 && (message->key < 0xD800 || message->key > 0xDFFF);
        std::printf("char U+%04X %s\n", message->key, plain ? Utf8(unit).c_str() : "");
    } else {
        std::printf("%s key=%u x=%d y=%d flags=0x%x\n", name, message->key, message->x, message->y,
                    message->flags);
    }
    std::fflush(stdout);
}

void XDemoWindow::TakeChar(uint32_t unit)
{
    if (unit >= 0x20)
        m_typed.push_back(static_cast<char16_t>(unit));
}

void XDemoWindow::TakeKey(const XMessage_t *message)
{
    bool ctrl = (message->flags & XMSG_STATE_CTRL) != 0;
    char16_t path[kChooserPathUnits] = u"";
    uint32_t color = 0x0000FF;
    if (message->key == kKeyBack && !m_typed.empty()) {
        m_typed.pop_back();
    } else if (ctrl && message->key == kKeyC) {
        SetClipboard(PANEKIT_CLIP_TEXT, m_typed.c_str(),
                     static_cast<uint32_t>((m_typed.size() + 1) * sizeof(char16_t)));
        m_status = u"已复制";
    } else if (ctrl && message->key == kKeyV) {
        std::u16string pasted;
        if (GetClipboard(PANEKIT_CLIP_TEXT, &pasted, TakeClipboardText))
            m_typed += pasted;
    } else if (message->key == kKeyF2) {
        int code = SelectOpenFile(this, u"全部文件|*.*|", path, kChooserPathUnits, u"清空");
        std::printf("open-file %d %s\n", code, Utf8(path).c_str());
    } else if (message->key == kKeyF3) {
        std::printf("colour %d %06x\n", SelectColor(this, &color, u"默认"), color);
    } else if (message->key == kKeyF4) {
        XFontRecord_t font;
        InitFontRecord(&font);
        int code = SelectFontRecord(this, &font, u"默认");
        std::printf("font %d %s\n", code, Utf8(FormatFontAnswer(&font)).c_str());
    }
    std::fflush(stdout);
}

int XDemoWindow::OnMessage(XMessage_t *message)
{
    Echo(message);
    if (message->code == XMSG_KEYDOWN)
        TakeKey(message);
    else if (message->code == XMSG_CHAR && (message->flags & XMSG_STATE_CTRL) == 0)
        TakeChar(message->key);
    if (message->code == XMSG_BUTTONUP && message->key == XMSG_BUTTON_RIGHT) {
        int answer = MessageBox(u"这是一个是/否问题，选“是”吗？", u"面板演示", 34);
        std::printf("box %d\n", answer);
        std::fflush(stdout);
    }
    if (message->code == XMSG_KEYDOWN || message->code == XMSG_CHAR || message->code == XMSG_SIZE)
        Invaliate(nullptr);
    return XDrawWindow::OnMessage(message);
}

int XDemoWindow::OnSetMouseCursor(int32_t x, int32_t y)
{
    // The hand over the sample boxes, the arrow elsewhere.
    bool overBoxes = y >= 40 && y < 100 && x >= 12 && x < 312;
    SetMouseCursor(overBoxes ? PANEKIT_CURSOR_HAND : PANEKIT_CURSOR_ARROW);
    return 1;
}

int XDemoWindow::OnCloseWindow()
{
    std::printf("close\n");
    std::fflush(stdout);
    return 1;
}

void XDemoWindow::PaintSample(XPainter *painter, const BOUND_t &client)
{
    constexpr uint32_t kColors[] = {0x0000FF, 0x00A000, 0xFF0000, 0x00C0FF, 0x808080};
    for (int i = 0; i < 5; ++i) {
        BOUND_t box = {12 + i * 60, 40, 50, 60};
        painter->FillRect(&box, kColors[i]);
    }
    painter->SetFillStyle(0x4080FF);
    painter->FillEllipse(client.width - 60.0, 70.0, 40.0, 30.0);
    painter->SetLineStyle(16, 0x000000);
    painter->DrawLine(12, 110, client.width - 12, 110);
}

void XDemoWindow::OnPaintWindow(const BOUND_t *bound)
{
    XPaintDesc desc = {*bound, nullptr, nullptr};
    XPainter *painter = BeginPainter(&desc);
    if (painter == nullptr)
        return;
    BOUND_t client;
    GetWindowPlace(&client);
    client.x = client.y = 0;
    painter->FillRect(&client, 0xFFFFFF);
    painter->SetStockFonter(kStockDefaultFonter);
    painter->SetTextColor(0x000000);
    painter->DrawTextLine(u"面板演示 Panekit demo — 中文与 English", -1, 12, 12);
    PaintSample(painter, client);
    BOUND_t text = {12, 124, client.width - 24, client.height - 160};
    painter->DrawText(m_typed.empty() ? u"（输入的文字显示在这里）" : m_typed.c_str(), -1, &text,
                      0);
    painter->SetTextColor(0x606060);
    painter->DrawTextLine(m_status.c_str(), -1, 12, client.height - 24);
    ClosePainter(&desc);
}
