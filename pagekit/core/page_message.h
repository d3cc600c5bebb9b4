#pragma once
// The codes page items speak: message codes, handling states, scroll actions, and the
// bits of an item's item-flags and state-flags words. Messages travel in the window
// layer's XMessage_t (platform/panekit/window/xmessage.h); the layer's own codes (keys,
// buttons, size, timers, posts) keep their XMSG_* names there.

#include <cstdint>

#include "platform/panekit/paint/style_record.h"
#include "platform/panekit/window/xmessage.h"

// ---------------------------------------------------------------------------------------
// Message codes of the page items (besides the window layer's: 1 key up, 2 key down
// and 3 character go to the focused item)
// ---------------------------------------------------------------------------------------

enum : uint32_t {
    XMSG_MOUSEENTER = 23, // pointer entered the item; other = the item left
    // XMSG_MOUSELEAVE (24): the pointer left the item; other = the item entered
    XMSG_CLICK = 28,      // left click: release over the item the press went down on
    XMSG_RCLICK = 29,     // right click
    XMSG_COMMAND = 42,    // command of a button or menu entry; key = command code
    XMSG_CLOSEFLOAT = 43, // a floater closed; key = 17
    XMSG_FOCUSIN = 44,    // the item gained the focus; other = the item losing it
    XMSG_FOCUSOUT = 45,   // the item lost the focus; other = the item gaining it
    XMSG_PLACECARET = 46, // the caret item places its caret again
    XMSG_HSCROLL = 49,    // horizontal scroll; key = kScroll* action, value = position
    XMSG_VSCROLL = 50,    // vertical scroll
    XMSG_FOCUSMOVE = 63,  // Tab or Enter is about to move the focus; key = the key
};

// Codes of posted messages (key of XMSG_POSTED).
enum : uint32_t {
    kPostDestroy = 1, // destroy the item (value: its owner)
    kPostFocus = 8,   // give the item the focus
    kPostToItem = 17, // this code and above are delivered to the item as message 47
};

// Timer numbers of the page window.
enum : uint32_t {
    kTimerAnimate = 17,  // image animation, every 100 ms
    kTimerPrompter = 18, // tool tip, every 500 ms
};

// Handling states (XMessage_t::state).
enum : uint32_t {
    kMsgUnhandled = 0,
    kMsgHandled = 1,     // bubbling stops, unless the item that set it is the target
    kMsgDone = 2,        // handled: bubbling stops
    kMsgStop = 8,        // handled, and the item's default handling is suppressed
    kMsgRedeliver = 897, // button down: deliver again to the item under (param1, param2)
};

// Scroll actions (key of XMSG_HSCROLL and XMSG_VSCROLL).
enum : uint32_t {
    kScrollLineBack = 0,
    kScrollLineForward = 1,
    kScrollPageBack = 2,
    kScrollPageForward = 3,
    kScrollToStart = 4,
    kScrollToEnd = 5,
    kScrollTrack = 6,   // thumb dragged; value = position
    kScrollRelease = 7, // thumb released; value = position
};

// Codes of XPageItem::OnUpdateItem.
enum : int {
    kUpdateRemoved = 1,
    kUpdateLayout = 2,
    kUpdateShown = 3,
    kUpdateHidden = 4,
    kUpdateEnabled = 5,
    kUpdateDisabled = 6,
    kUpdateMoved = 7,
    kUpdateScrolled = 8,
};

// ---------------------------------------------------------------------------------------
// Item flags (XPageItem::itemFlags)
// ---------------------------------------------------------------------------------------

enum : uint32_t {
    kItemVisible = 0x1,
    kItemDisabled = 0x2,
    kItemReadOnly = 0x4,
    kItemEditable = 0x8,          // accepts editing
    kItemNoFocus = 0x10,          // never takes the focus
    kItemCreated = 0x20,          // OnCreateItem has run
    kItemHorzBar = 0x40,          // horizontal scroll bar shown
    kItemVertBar = 0x80,          // vertical scroll bar shown
    kItemAbsolute = 0x400,        // outside its owner's flow
    kItemFixed = 0x800,           // placed against the owner's place origin, not scrolled
    kItemNoDescend = 0x10000000,  // the tab-order walk does not go inside
    kItemTakesEnter = 0x20000000, // takes Enter itself under key navigation
};

// Nibble fields of the item flags: shift and mask, as in the style record's layout word.
constexpr StyleField kItemWrapMode{8, 0x3};
constexpr StyleField kItemOverflowX{12, 0xF};
constexpr StyleField kItemOverflowY{16, 0xF};
constexpr StyleField kItemLayoutX{20, 0xF};
constexpr StyleField kItemLayoutY{24, 0xF};

// Values of the overflow nibbles.
enum : uint32_t {
    kOverflowHidden = 0,
    kOverflowScroll = 1,
    kOverflowAuto = 2,
    kOverflowExtend = 4,
};
// Values of the layout nibbles.
enum : uint32_t {
    kLayoutNone = 0,
    kLayoutStart = 1, // left or top
    kLayoutEnd = 2,   // right or bottom
    kLayoutCenter = 3,
    kLayoutExtend = 4,
};
// Values of the wrapmode field.
enum : uint32_t { kWrapInline = 0, kWrapBreak = 1, kWrapBlock = 2 };

// ---------------------------------------------------------------------------------------
// State flags (XPageItem::stateFlags)
// ---------------------------------------------------------------------------------------

enum : uint32_t {
    kItemStateFocused = 0x1,
    kItemStateHovered = 0x2,
    kItemStatePressed = 0x4,
    kItemStateLocked = 0x8,       // resolution only: disabled or read-only
    kItemStateChildMask = 0xF0,   // a child or after index: 16, 32, 48, 64 or 160
    kItemStatePartMask = 0xFF00,  // scroll-bar part under the pointer (kBarPart* << 8)
    kItemStateOnlyChild = 0x1000, // resolution only: the child or after variant alone
    kItemStateThumbDrag = 0x10000,
    kItemStateRepeat = 0x20000,   // arrow or page auto-repeat in progress
    kItemStateLayout = 0x2000000, // frames: layout needed
};

// Scroll-bar parts: the bar (0x10 horizontal, 0x20 vertical) plus the part.
enum : uint32_t {
    kBarHorz = 0x10,
    kBarVert = 0x20,
    kBarBackArrow = 1,
    kBarBackTrack = 2,
    kBarThumb = 3,
    kBarForwardTrack = 4,
    kBarForwardArrow = 5,
};

// Thickness of a scroll bar, and the least length of its thumb.
constexpr int32_t kScrollBarSize = 17;
constexpr int32_t kScrollThumbMin = 8;
