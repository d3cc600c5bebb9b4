#pragma once
// The demo's window: paints a sample of the painter's drawing and the text typed so far,
// echoes every message it receives to standard output, and tries the clipboard (Ctrl+C,
// Ctrl+V), the message box (right click) and the choosers (keys F2 to F4).

#include <string>

#include "platform/panekit/window/xdraw_window.h"

class XDemoWindow : public XDrawWindow
{
public:
    int OnMessage(XMessage_t *message) override;
    void OnPaintWindow(const BOUND_t *bound) override;
    int OnCloseWindow() override;
    int OnSetMouseCursor(int32_t x, int32_t y) override;

private:
    void Echo(const XMessage_t *message) const;
    void TakeKey(const XMessage_t *message);
    void TakeChar(uint32_t unit);
    void PaintSample(class XPainter *painter, const BOUND_t &client);

    std::u16string m_typed;
    std::u16string m_status = u"按键、点击或输入文字；右键弹出对话框";
};
