#pragma once
// An owner that lays its children out (free docking, flowing lines or flex lines) and can
// be resized by dragging its edges. Kinds 145-159 are frames.
//
// Layout call flow: UpdateLayout computes the layout area from the body and the extent,
// then runs OnFlowLayout, OnFlexLayout or OnFreeLayout over the children; each child gets
// its percent sizes from the area first and is moved with MovePlace. CalcExtentSize
// builds the same lines to find the content size that becomes the scroll extent.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pagekit/core/page_owner.h"
#include "pagekit/pagekit_export.h"

// Kinds that are frames.
constexpr bool IsFrameKind(uint32_t kind)
{
    return kind >= 145 && kind <= 159;
}

// ---------------------------------------------------------------------------------------
// Extra flags of frames
// ---------------------------------------------------------------------------------------

// Fields of the extra-flags word: shift and mask.
constexpr StyleField kFrameAlignX{16, 0x3}; // distribution of a line without extend items
constexpr StyleField kFrameAlignY{18, 0x3}; // distribution of the lines (flex only)
constexpr StyleField kFrameEdges{20, 0xF};  // draggable edges (kEdge*)
constexpr StyleField kFrameDock{24, 0xF};   // dock side of a docked child (kDock*)

// Values of the distribution fields.
enum : uint32_t {
    kDistributeStart = 0,
    kDistributeEnd = 1,    // to the right, or the bottom
    kDistributeCenter = 2, // centred
    kDistributeSpread = 3, // equal gaps (flex; flow centres), equal line shares vertically
};

// Edge bits (of kFrameEdges, and the edge set of a drag).
enum : uint32_t {
    kEdgeTop = 0x1,
    kEdgeLeft = 0x2,
    kEdgeRight = 0x4,
    kEdgeBottom = 0x8,
    kEdgeAll = 0xF, // a whole-frame move
};

// Dock sides.
enum : uint32_t { kDockNone = 0, kDockTop = 1, kDockLeft = 2, kDockRight = 3, kDockBottom = 4 };

// Layout modes and the form root's key navigation.
enum : uint32_t {
    kFrameFlow = 0x10000000,
    kFrameFlex = 0x20000000, // neither: free layout
    kFrameKeyNav = 0x80000000,
};

// Least width of an extend item in a line.
constexpr int32_t kExtendMinWidth = 8;

// Pointer shapes over draggable edges.
enum : int {
    kCursorSizeWE = 11,   // left or right
    kCursorSizeNS = 12,   // top or bottom
    kCursorSizeNWSE = 13, // top-left or bottom-right
    kCursorSizeNESW = 14, // top-right or bottom-left
};

// The drag state of a frame, made on the first drag.
struct XFrameDrag
{
    int32_t phase;   // 0 idle, 1 tracking
    uint32_t edges;  // kEdge* set being dragged
    POINT_t start;   // press point, window coordinates
    POINT_t current; // last point, kept inside range
    BOUND_t range;   // the points the drag may reach, window coordinates
    BOUND_t shown;   // the outline drawn last, window coordinates
    uint32_t flags;  // 1 the outline is drawn
    int32_t reserved[3];
};

class PAGEKIT_EXPORT XPageFrame : public XPageOwner
{
public:
    XPageFrame();
    ~XPageFrame() override;

    // ---- slots of the base and of containers -------------------------------------------

    // The content size (lines for flow and flex, the children's far edges for free
    // layout) becomes the scroll extent when an overflow nibble asks for scroll, auto or
    // extend; then the base rule grows an extend axis.
    int CalcExtentSize(int mode) override;
    // Lays the children out again, then (flag non-zero) updates the bars and repaints.
    void UpdateLayout(int flag) override;
    // Edge dragging; scroll messages also call OnUpdateItem(8).
    int OnMessage(XMessage_t *message) override;

    // ---- slots of frames ---------------------------------------------------------------

    // The range the dragged edges may reach, window coordinates: the frame stays inside
    // its owner's body and keeps at least its minimum size.
    virtual void GetDragRange();
    // Applies a finished drag of dx, dy: sizes never go below the minimum size (at least
    // 0); a top or left edge moves only as far as that allows.
    virtual void OnDragClose(int dx, int dy);
    // Draws the drag outline for the current point on the tracker painter (a halftone
    // frame); erase non-zero removes the outline drawn last.
    virtual void DrawTracker(XPainter *painter, int erase);

    // ---- layouts -----------------------------------------------------------------------

    // Each takes the layout area (child space) and the MovePlace flag.
    void OnFreeLayout(const BOUND_t *area, int flag);
    void OnFlowLayout(const BOUND_t *area, int flag);
    void OnFlexLayout(const BOUND_t *area, int flag);
    // The docking rule: child's place moved or sized by its layout nibbles inside area.
    // 0 (out untouched) when both nibbles are 0 or unset.
    static int GetDockPlace(const XPageItem *child, const BOUND_t *area, BOUND_t *out);
    // Next visible child that takes part in the flow (neither absolute nor fixed); a null
    // cursor starts at the first child.
    XPageItem *GetFlowItem(const void **cursor) const;
    // The child's place with its percent width and height taken from area (value x area
    // / 100000, truncated, in 64 bits).
    static BOUND_t GetPercentPlace(const XPageItem *child, const BOUND_t *area);
    // As above for a child whose owner's item flags are upFlags (a layout walking its
    // own children knows them).
    static BOUND_t GetPercentPlace(const XPageItem *child, const BOUND_t *area, uint32_t upFlags);

    // ---- dragging ----------------------------------------------------------------------

    // Makes the edges (kEdge* bits) draggable and sets the paddings: grip on draggable
    // edges, normal elsewhere.
    void SetDragMode(unsigned long edges, int normal, int grip);
    // The edge set under (x, y), relative to the place origin: top, left, right, bottom
    // outside the body, draggable ones only; 0 none.
    uint32_t HitDragEdge(int x, int y) const;
    // Starts tracking edges from the window point: capture, range, outline. 0 when the
    // frame has no page window.
    int StartTracker(uint32_t edges, int x, int y);
    // Moves the tracked point (window coordinates) inside the range and redraws the
    // outline; 0 when no drag runs.
    int GetTrackMove(int x, int y);
    // Ends the drag: erases the outline, releases the capture and applies the move
    // (apply non-zero). 0 when no drag runs.
    int CloseTracker(int apply);
    const XFrameDrag *GetDragState() const { return m_drag; }

public:
    struct Cell;
    struct Line;

private:
    // Lays out the lines (absolute children first); returns the height the lines took.
    int32_t LayoutLines(const BOUND_t *area, int flex, int flag);
    // The flowing cells in lines against width; returns the number of absolute children
    // to place outside the lines.
    size_t CollectLines(const BOUND_t *percentBase, int32_t width, std::vector<Cell> &cells,
                        std::vector<Line> &lines) const;
    // The x and width of the cells of one line.
    void PlaceFlexLine(const BOUND_t *area, Cell *cells, const Line &line);
    void PlaceFlowLine(const BOUND_t *area, Cell *cells, const Line &line);
    void PlaceAbsolute(const BOUND_t *area, int flag);
    void GetContentSize(int32_t width, int32_t *outWidth, int32_t *outHeight);
    void GetContentExtent();
    BOUND_t GetLayoutArea() const;
    // The outline bound for the current drag point, window coordinates.
    BOUND_t GetTrackBound() const;
    void DrawTrackOutline();

    XFrameDrag *m_drag = nullptr;
    // What percent sizes take during UpdateLayout: the area before content widened it
    // (null: the area given to the layout).
    const BOUND_t *m_percentBase = nullptr;

public:
    // The bound percent sizes of the children take from, for a layout over area.
    const BOUND_t *GetPercentBase(const BOUND_t *area) const
    {
        return m_percentBase != nullptr ? m_percentBase : area;
    }
};
