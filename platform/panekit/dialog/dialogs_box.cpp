// The painted dialogs: the message box and the plain chooser, both modal windows with a
// row of buttons drawn by the library's painter.
//
// Keys: Enter takes the focused button, Escape the cancel answer, Tab moves the focus
// (Left and Right too in the message box); a click takes the button pressed and
// released on. Closing the window gives the cancel answer.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/dialog/dialogs_impl.h"
#include "platform/panekit/paint/paint_core.h"
#include "platform/panekit/paint/pen_handle.h"
#include "platform/panekit/paint/xpainter.h"
#include "platform/panekit/session/session.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/window/panekit_window.h"
#include "platform/panekit/window/xdraw_window.h"

namespace {

// Layout in pixels.
constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;
constexpr int kIconSize = 32;
constexpr int kTextMaxWidth = 360;
constexpr int kEditHeight = 22;
constexpr int kChooserWidth = 420;

// Colours, 0x00BBGGRR.
constexpr uint32_t kFace = 0xF0F0F0;
constexpr uint32_t kInk = 0x000000;
constexpr uint32_t kFrame = 0x808080;
constexpr uint32_t kFocusFrame = 0xD77800;
constexpr uint32_t kErrorRed = 0x2020D0;
constexpr uint32_t kQuestionBlue = 0xC06020;

// Virtual keys the dialogs read.
constexpr uint32_t kKeyBack = 8, kKeyTab = 9, kKeyEnter = 13, kKeyEscape = 27;
constexpr uint32_t kKeyEnd = 35, kKeyHome = 36, kKeyLeft = 37, kKeyRight = 39;
constexpr uint32_t kKeyDelete = 46, kKeyN = 78, kKeyY = 89;

Panekit *g_active = nullptr;

struct XDialogButton
{
    std::u16string label;
    int answer;
    BOUND_t bound;
};

class XDialogWindow : public XDrawWindow
{
public:
    // Shows the dialog modally and returns the answer.
    int Run(Panekit *owner, const char16_t *caption, int width, int height);

protected:
    void AddButton(const char16_t *label, int answer) { m_buttons.push_back({label, answer, {}}); }
    int ButtonsWidth() const;
    void LayOutButtons(int width, int top);
    virtual void PaintContent(XPainter *painter) = 0;
    // Keys and characters the dialog takes itself; true when taken.
    virtual bool TakeKey(uint32_t key) { return (void)key, false; }
    virtual bool TakeChar(uint32_t unit) { return (void)unit, false; }

    int OnMessage(XMessage_t *message) override;
    void OnPaintWindow(const BOUND_t *bound) override;
    int OnCloseWindow() override;

    std::vector<XDialogButton> m_buttons;
    size_t m_focus = 0;
    int m_cancel = 0;
    int m_pressed = -1;

private:
    int HitButton(int x, int y) const;
    void PaintButton(XPainter *painter, size_t index);
};

int XDialogWindow::Run(Panekit *owner, const char16_t *caption, int width, int height)
{
    BOUND_t area = {0, 0, 1024, 768};
    if (owner != nullptr && owner->IsCreated())
        owner->GetWindowPlace(&area);
    else
        GetDesktopWorkArea(&area);
    BOUND_t place = {area.x + (area.width - width) / 2, area.y + (area.height - height) / 2, width,
                     height};
    if (!Create(caption, &place, nullptr, owner, PANEKIT_STYLE_FIXED))
        return m_cancel;
    Panekit *previous = g_active;
    g_active = this;
    int answer = PopupWindow(m_cancel);
    g_active = previous;
    DestroyWindow();
    return answer;
}

int XDialogWindow::ButtonsWidth() const
{
    int count = static_cast<int>(m_buttons.size());
    return count * kButtonWidth + std::max(count - 1, 0) * kButtonGap;
}

void XDialogWindow::LayOutButtons(int width, int top)
{
    int x = width - kMargin - ButtonsWidth();
    for (XDialogButton &button : m_buttons) {
        button.bound = {x, top, kButtonWidth, kButtonHeight};
        x += kButtonWidth + kButtonGap;
    }
}

int XDialogWindow::HitButton(int x, int y) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (PointInBound(&m_buttons[i].bound, x, y))
            return static_cast<int>(i);
    }
    return -1;
}

int XDialogWindow::OnMessage(XMessage_t *message)
{
    switch (message->code) {
    case XMSG_KEYDOWN:
        if (TakeKey(message->key))
            break;
        if (message->key == kKeyEnter && m_focus < m_buttons.size())
            EndMessageLoop(m_buttons[m_focus].answer);
        else if (message->key == kKeyEscape)
            EndMessageLoop(m_cancel);
        else if (message->key == kKeyTab && !m_buttons.empty())
            m_focus = (m_focus + 1) % m_buttons.size();
        Invaliate(nullptr);
        break;
    case XMSG_CHAR:
        if (TakeChar(message->key))
            Invaliate(nullptr);
        break;
    case XMSG_BUTTONDOWN:
    case XMSG_DBLCLICK:
        if (message->key == XMSG_BUTTON_LEFT)
            m_pressed = HitButton(message->x, message->y);
        break;
    case XMSG_BUTTONUP:
        if (message->key == XMSG_BUTTON_LEFT && m_pressed >= 0 &&
            m_pressed == HitButton(message->x, message->y))
            EndMessageLoop(m_buttons[static_cast<size_t>(m_pressed)].answer);
        m_pressed = -1;
        break;
    default:
        return XDrawWindow::OnMessage(message);
    }
    return 1;
}

int XDialogWindow::OnCloseWindow()
{
    EndMessageLoop(m_cancel);
    return 0; // Run destroys the window once its loop has ended
}

void XDialogWindow::PaintButton(XPainter *painter, size_t index)
{
    const XDialogButton &button = m_buttons[index];
    painter->FillRect(&button.bound, 0xE1E1E1);
    painter->SetLineStyle(16, index == m_focus ? kFocusFrame : kFrame);
    painter->DrawRect(&button.bound);
    painter->SetTextColor(kInk);
    painter->DrawText(button.label.c_str(), -1, &button.bound, 0x2 | 0x8 | 0x40);
}

void XDialogWindow::OnPaintWindow(const BOUND_t *bound)
{
    XPaintDesc desc = {*bound, nullptr, nullptr};
    XPainter *painter = BeginPainter(&desc);
    if (painter == nullptr)
        return;
    painter->FillRect(bound, kFace);
    painter->SetStockFonter(kStockDefaultFonter);
    PaintContent(painter);
    for (size_t i = 0; i < m_buttons.size(); ++i)
        PaintButton(painter, i);
    ClosePainter(&desc);
}

// ---------------------------------------------------------------------------
// [SECTION] Message box

class XMessageBoxWindow : public XDialogWindow
{
public:
    XMessageBoxWindow(const char16_t *text, uint32_t flags);
    int Show(Panekit *owner, const char16_t *caption);

protected:
    void PaintContent(XPainter *painter) override;
    bool TakeKey(uint32_t key) override;

private:
    void PaintIcon(XPainter *painter);

    std::u16string m_text;
    uint32_t m_flags;
    BOUND_t m_textBound = {};
};

XMessageBoxWindow::XMessageBoxWindow(const char16_t *text, uint32_t flags)
    : m_text(text != nullptr ? text : u""), m_flags(flags)
{
    m_cancel = GetMessageBoxCancel(flags);
    switch (flags & 0xF) {
    case PANEKIT_MB_OKCANCEL:
        AddButton(u"确定", 1);
        AddButton(u"取消", 0);
        break;
    case PANEKIT_MB_YESNO:
        AddButton(u"是", 1);
        AddButton(u"否", 0);
        break;
    default:
        AddButton(u"确定", 1);
        break;
    }
}

int XMessageBoxWindow::Show(Panekit *owner, const char16_t *caption)
{
    SIZE_t size = {0, 0};
    XPainter *measure = GetPainter();
    if (measure != nullptr) {
        measure->SetStockFonter(kStockDefaultFonter);
        measure->CalcTextSize(m_text.c_str(), -1, 0, kTextMaxWidth, &size);
    }
    int iconWidth =
        (m_flags & (PANEKIT_MB_ICONERROR | PANEKIT_MB_ICONQUESTION)) ? kIconSize + kMargin : 0;
    int contentHeight = std::max(size.cy, iconWidth > 0 ? kIconSize : 0);
    int width = std::max(kMargin * 2 + iconWidth + size.cx, kMargin * 2 + ButtonsWidth());
    width = std::max(width, 200);
    int height = kMargin * 3 + contentHeight + kButtonHeight;
    m_textBound = {kMargin + iconWidth, kMargin + (contentHeight - size.cy) / 2,
                   width - 2 * kMargin - iconWidth, size.cy};
    LayOutButtons(width, kMargin * 2 + contentHeight);
    return Run(owner, caption, width, height);
}

bool XMessageBoxWindow::TakeKey(uint32_t key)
{
    if ((m_flags & 0xF) == PANEKIT_MB_YESNO && (key == kKeyY || key == kKeyN)) {
        EndMessageLoop(key == kKeyY ? 1 : 0);
        return true;
    }
    if ((key == kKeyLeft || key == kKeyRight) && !m_buttons.empty()) {
        size_t count = m_buttons.size();
        m_focus = key == kKeyLeft ? (m_focus + count - 1) % count : (m_focus + 1) % count;
        Invaliate(nullptr);
        return true;
    }
    return false;
}

void XMessageBoxWindow::PaintIcon(XPainter *painter)
{
    bool error = (m_flags & PANEKIT_MB_ICONERROR) != 0;
    if (!error && !(m_flags & PANEKIT_MB_ICONQUESTION))
        return;
    double r = kIconSize / 2.0;
    double cx = kMargin + r;
    double cy = m_buttons.empty() ? kMargin + r : m_buttons[0].bound.y - kMargin - r;
    cy = std::min(cy, kMargin + r + std::max(0, m_textBound.height - kIconSize) / 2.0);
    painter->SetFillStyle(error ? kErrorRed : kQuestionBlue);
    painter->FillEllipse(cx, cy, r, r);
    if (error) {
        // A white cross of two thick strokes.
        XPenHandle pen = {kPenSolid, 3, 0xFFFFFF};
        XPenHandle previous = painter->SelectPen(&pen);
        double d = r * 0.4;
        painter->MoveTo(cx - d, cy - d);
        painter->LineTo(cx + d, cy + d);
        painter->MoveTo(cx + d, cy - d);
        painter->LineTo(cx - d, cy + d);
        painter->SelectPen(&previous);
        return;
    }
    XFontHandle *mark = CreateFontHandle(u"宋体", -1, kIconSize * 3 / 4, kFontFlagBold);
    const XFontHandle *font = painter->SelectFonter(mark);
    painter->SetTextColor(0xFFFFFF);
    painter->DrawText(cx, cy, 0x2 | 0x8, u"?", -1);
    painter->SelectFonter(font);
    ReleaseFontHandle(mark);
}

void XMessageBoxWindow::PaintContent(XPainter *painter)
{
    PaintIcon(painter);
    painter->SetTextColor(kInk);
    painter->DrawText(m_text.c_str(), -1, &m_textBound, 0);
}

// ---------------------------------------------------------------------------
// [SECTION] Plain chooser

const char16_t *ChooserPrompt(int kind)
{
    switch (kind) {
    case kChooseSaveFile:
        return u"保存为文件：";
    case kChooseColor:
        return u"颜色（#rrggbb）：";
    case kChooseFont:
        return u"字体;字号;样式;颜色：";
    default:
        return u"打开文件：";
    }
}

class XChooserWindow : public XDialogWindow
{
public:
    explicit XChooserWindow(const XChooserRequest &request);
    int Show(Panekit *owner, std::u16string *answer);

protected:
    void PaintContent(XPainter *painter) override;
    bool TakeKey(uint32_t key) override;
    bool TakeChar(uint32_t unit) override;

private:
    const char16_t *m_prompt;
    std::u16string m_hint; // the filter's patterns
    std::u16string m_text;
    size_t m_caret;
    BOUND_t m_edit = {};
};

XChooserWindow::XChooserWindow(const XChooserRequest &request)
    : m_prompt(ChooserPrompt(request.kind)), m_text(request.current), m_caret(m_text.size())
{
    m_cancel = kChooserCancel;
    AddButton(u"确定", kChooserDone);
    AddButton(u"取消", kChooserCancel);
    if (request.extra != nullptr)
        AddButton(request.extra, kChooserExtra);
    for (const XFileKind &kind : ParseChooserFilter(request.filter)) {
        m_hint += m_hint.empty() ? u"" : u"  ";
        m_hint += kind.description;
    }
}

int XChooserWindow::Show(Panekit *owner, std::u16string *answer)
{
    int width = std::max(kChooserWidth, ButtonsWidth() + 2 * kMargin);
    int line = 16;
    int editTop = kMargin + line + 4;
    m_edit = {kMargin, editTop, width - 2 * kMargin, kEditHeight};
    int hintTop = editTop + kEditHeight + 4;
    int buttonsTop = hintTop + (m_hint.empty() ? 0 : line) + kMargin;
    LayOutButtons(width, buttonsTop);
    int code = Run(owner, u"选择", width, buttonsTop + kButtonHeight + kMargin);
    if (code == kChooserDone)
        *answer = m_text;
    return code;
}

bool XChooserWindow::TakeKey(uint32_t key)
{
    switch (key) {
    case kKeyBack:
        if (m_caret > 0)
            m_text.erase(--m_caret, 1);
        break;
    case kKeyDelete:
        if (m_caret < m_text.size())
            m_text.erase(m_caret, 1);
        break;
    case kKeyLeft:
        m_caret -= m_caret > 0 ? 1 : 0;
        break;
    case kKeyRight:
        m_caret += m_caret < m_text.size() ? 1 : 0;
        break;
    case kKeyHome:
        m_caret = 0;
        break;
    case kKeyEnd:
        m_caret = m_text.size();
        break;
    default:
        return false;
    }
    Invaliate(nullptr);
    return true;
}

bool XChooserWindow::TakeChar(uint32_t unit)
{
    if (unit < 0x20 || unit == 0x7F)
        return false; // control characters arrive as keys
    m_text.insert(m_caret++, 1, static_cast<char16_t>(unit));
    return true;
}

void XChooserWindow::PaintContent(XPainter *painter)
{
    painter->SetTextColor(kInk);
    painter->DrawTextLine(m_prompt, -1, kMargin, kMargin);
    painter->FillRect(&m_edit, 0xFFFFFF);
    painter->SetLineStyle(16, kFrame);
    painter->DrawRect(&m_edit);
    BOUND_t inner = {m_edit.x + 3, m_edit.y + 3, m_edit.width - 6, m_edit.height - 6};
    painter->SetClipRect(&inner);
    painter->DrawTextLine(m_text.c_str(), static_cast<int>(m_text.size()), inner.x, inner.y);
    int caretX = inner.x + painter->CalcLinePlace(m_text.c_str(), static_cast<int>(m_text.size()),
                                                  static_cast<int>(m_caret));
    painter->DrawLine(caretX, inner.y, caretX, inner.y + inner.height);
    painter->SetClipRect(nullptr);
    if (!m_hint.empty()) {
        painter->SetTextColor(kFrame);
        painter->DrawTextLine(m_hint.c_str(), -1, kMargin, m_edit.y + m_edit.height + 4);
    }
}

} // namespace

int ShowMessageBox(Panekit *owner, const char16_t *text, const char16_t *caption, uint32_t flags)
{
    XMessageBoxWindow box(text, flags);
    return box.Show(owner, caption != nullptr ? caption : u"");
}

int RunPaintedChooser(Panekit *owner, const XChooserRequest &request, std::u16string *answer)
{
    XChooserWindow chooser(request);
    return chooser.Show(owner, answer);
}

Panekit *GetActiveDialog()
{
    return g_active;
}

std::vector<XFileKind> ParseChooserFilter(const char16_t *filter)
{
    std::vector<XFileKind> kinds;
    if (filter == nullptr)
        return kinds;
    std::u16string text(filter);
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start < text.size()) {
        size_t bar = text.find(u'|', start);
        if (bar == std::u16string::npos)
            bar = text.size();
        parts.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        XFileKind kind = {parts[i], {}};
        size_t at = 0;
        const std::u16string &list = parts[i + 1];
        while (at <= list.size()) {
            size_t semi = std::min(list.find(u';', at), list.size());
            std::u16string pattern = list.substr(at, semi - at);
            pattern.erase(0, pattern.find_first_not_of(u' '));
            pattern.erase(pattern.find_last_not_of(u' ') + 1);
            if (!pattern.empty())
                kind.patterns.push_back(pattern);
            at = semi + 1;
        }
        if (!kind.patterns.empty())
            kinds.push_back(std::move(kind));
    }
    return kinds;
}
