// The caret of the drawing window: an inverted bar laid over the shown picture,
// blinking on a layer timer while it is shown.

#include "platform/panekit/window/window_loop.h"
#include "platform/panekit/window/xdraw_window.h"

void XDrawWindow::CreateInputCursor(int32_t width, int32_t height, const BOUND_t *clip)
{
    MarkCaret();
    m_caretExists = width > 0 && height > 0;
    m_caretShown = 0;
    m_caret = {m_caret.x, m_caret.y, width, height};
    m_caretClip = clip != nullptr ? *clip : BOUND_t{0, 0, INT32_MAX / 2, INT32_MAX / 2};
    XWindowLoop::Get().KillTimer(GetWindowId(), kCaretBlinkTimer);
}

void XDrawWindow::SetInputCursor(int32_t x, int32_t y, int show)
{
    if (!m_caretExists)
        return;
    MarkCaret();
    m_caret.x = x;
    m_caret.y = y;
    m_caretShown = show != 0;
    // Each placement restarts the blink with the caret drawn.
    m_caretPhase = 1;
    XWindowLoop &loop = XWindowLoop::Get();
    if (m_caretShown)
        loop.SetTimer(GetWindowId(), kCaretBlinkTimer, kCaretBlinkTime);
    else
        loop.KillTimer(GetWindowId(), kCaretBlinkTimer);
    MarkCaret();
    if (m_imeEnabled && m_caretShown) {
        BOUND_t spot;
        if (GetNative() != nullptr && GetInputCursor(&spot, nullptr))
            GetNative()->SetImeSpot(&spot);
    }
}

void XDrawWindow::HideInputCursor()
{
    if (!m_caretExists || !m_caretShown)
        return;
    MarkCaret();
    m_caretShown = 0;
    XWindowLoop::Get().KillTimer(GetWindowId(), kCaretBlinkTimer);
}

void XDrawWindow::DestroyInputCursor()
{
    HideInputCursor();
    m_caretExists = 0;
}

int XDrawWindow::GetInputCursor(BOUND_t *bound, int *drawn) const
{
    if (!m_caretExists)
        return 0;
    if (!IntersectBound(bound, &m_caret, &m_caretClip))
        *bound = {m_caret.x, m_caret.y, 0, 0};
    if (drawn != nullptr)
        *drawn = m_caretShown && m_caretPhase && bound->width > 0;
    return 1;
}

void XDrawWindow::BlinkCaret()
{
    if (!m_caretExists || !m_caretShown)
        return;
    m_caretPhase = !m_caretPhase;
    MarkCaret();
}

// The caret's area must be composed again (before and after any change to it).
void XDrawWindow::MarkCaret()
{
    BOUND_t bound;
    if (GetInputCursor(&bound, nullptr) && bound.width > 0)
        AddShownBound(&bound);
}

void XDrawWindow::EnableImeInputer(int enable)
{
    m_imeEnabled = enable != 0;
    if (GetNative() != nullptr)
        GetNative()->EnableIme(m_imeEnabled);
}
