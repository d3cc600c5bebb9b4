#pragma once
// The root of a form: it holds the form's page style and resource helper, and the page
// window that shows it. Its form is itself.
//
// Dockers are fixed children with a dock side (extra-flag bits 24-27): in list order each
// takes a strip of what the earlier ones left, and the viewer's margins become the four
// insets so that the body and its content lie in the rest. Other fixed children (floaters,
// the tool tip) lie over everything. The tab order runs over the items that take input.

#include <cstdint>

#include "pagekit/core/page_frame.h"
#include "pagekit/core/page_style.h"
#include "pagekit/pagekit_export.h"

class XPageWindow;
class XPainter;
class XRescHelper;

// Dock side of a fixed child (kDockNone ... kDockBottom of page_frame.h) in its extra
// flags.
constexpr StyleField kDockSide{24, 0xF};
// Extra flag of the form root: Tab and Enter move the focus.
constexpr uint32_t kFormKeyNavigation = 0x80000000;
// Size of the virtual area the extent of the dockers is computed against.
constexpr int32_t kViewerExtentArea = 8000;

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
    // Draws with the form's resource helper installed, restoring the painter's own after:
    // the dockers, then frame, bars and body, then the other fixed children on top.
    void DrawItem(XPainter *painter, const BOUND_t *bound) override;
    // Draws only the fixed children without dock side (floaters, tool tip); bound is in
    // the viewer's place space.
    void DrawFloater(XPainter *painter, const BOUND_t *bound);

    // ---- docking ---------------------------------------------------------------------------

    // Adds item as a fixed child docked at side (kDockTop ... kDockBottom; any other side
    // adds it undocked); relayout non-zero lays the viewer out at once. The node, or null
    // when the item cannot be added.
    const void *AddDocker(uint32_t side, XPageItem *item, int relayout);
    // The first docker (fixed child with a side) whose item code is code; null when none.
    XPageItem *SearchDocker(uint32_t code) const;
    // The insets the dockers took in the last layout (left, top, right, bottom).
    RECT_t GetInsets() const { return m_insets; }
    // Dockers take their strips, the margins become the insets, and the rest is laid
    // out as a frame.
    void UpdateLayout(int flag) override;
    // The insets against a kViewerExtentArea square, then the frame's extent.
    int CalcExtentSize(int mode) override;

    // ---- tab order -------------------------------------------------------------------------

    // The next item that takes input after current in the tab order (by tab index, ties
    // in walk order), wrapping to the first; the first without current. Null when no item
    // takes input.
    XPageItem *GetNextTabItem(XPageItem *current);
    // The previous one, wrapping to the last.
    XPageItem *GetPrevTabItem(XPageItem *current);

private:
    // Places the dockers against area (flag: MovePlace's) and gives the insets they took;
    // move 0 only measures.
    RECT_t PlaceDockers(const BOUND_t &area, int flag, bool move);
    // Makes the margins the insets (nothing when they are already).
    void SetInsets(const RECT_t &insets);
    // Draws the visible fixed children, docked ones or the others.
    void DrawFixedChildren(XPainter *painter, const BOUND_t *bound, bool docked);

    RECT_t m_insets = {0, 0, 0, 0};

    XPageWindow *m_window = nullptr;
    XPageStyle m_pageStyle;
};
