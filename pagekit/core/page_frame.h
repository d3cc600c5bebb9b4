#pragma once
// An owner that lays its children out (free docking, flowing lines or flex lines) and can
// be resized by dragging its edges. Kinds 145-159 are frames.

#include <cstdint>

#include "pagekit/core/page_owner.h"
#include "pagekit/pagekit_export.h"

// Kinds that are frames.
constexpr bool IsFrameKind(uint32_t kind)
{
    return kind >= 145 && kind <= 159;
}

class PAGEKIT_EXPORT XPageFrame : public XPageOwner
{
public:
    XPageFrame();
    ~XPageFrame() override;

    // ---- slots of frames ---------------------------------------------------------------

    // The range the dragged edges may reach (owner's child space).
    virtual void GetDragRange();
    // Applies a finished drag of dx, dy.
    virtual void OnDragClose(int dx, int dy);
    // Draws (or, with erase non-zero, removes) the drag outline on the tracker painter.
    virtual void DrawTracker(XPainter *painter, int erase);

    void UpdateLayout(int flag) override;
};
