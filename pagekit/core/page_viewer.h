#pragma once
// The root of a form: it holds the form's page style and resource helper, and the page
// window that shows it. Its form is itself.

#include <cstdint>

#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_style.h"
#include "pagekit/pagekit_export.h"

class XPageWindow;
class XPainter;
class XRescHelper;

class PAGEKIT_EXPORT XPageViewer : public XPageFrame
{
public:
    XPageViewer();
    ~XPageViewer() override;

    XPageWindow *GetPageWindow() const { return m_window; }
    void SetPageWindow(XPageWindow *window) { m_window = window; }
    XPageStyle *GetPageStyle() { return &m_pageStyle; }
    XRescHelper *GetRescHelper() { return m_pageStyle.GetRescHelper(); }
    // The window's measuring painter with the form's resource helper; null without window.
    XPainter *GetPainter();
    // A painter from the window for desc's bound, with the form's resource helper; null
    // when the window gives none.
    XPainter *StartPainter(XPaintDesc *desc);

    // The base font size of the form (rem): the base style's, else 12.
    int32_t GetRootFontSize() const;
    // Draws with the form's resource helper installed, restoring the painter's own after.
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;

private:
    XPageWindow *m_window = nullptr;
    XPageStyle m_pageStyle;
};
