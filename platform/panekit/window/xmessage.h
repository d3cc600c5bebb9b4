#pragma once
// The message record shared by the window layer and the page items, and the codes the
// window layer itself produces.
//
// Input of every backend arrives in this one form: keys carry Windows virtual-key
// numbers, pointer messages carry the button in `key` and the button and modifier state
// in `flags`; coordinates are in window pixels until a receiver converts them.

#include <cstddef>
#include <cstdint>

struct XMessage_t
{
    uint32_t code;   // message code (below); dispatchers compare its low 16 bits
    uint32_t state;  // handling state: 0 unhandled, 1, 2, 8, 897 (page items' meanings)
    uint32_t param1; // first parameter word
    uint32_t param2; // second parameter word
    int32_t x;       // x in the space of the receiver; size: width; move: left
    int32_t y;       // y; size: height; move: top
    uint32_t key;    // key, UTF-16 unit, button, timer number, scroll action or posted code
    uint32_t flags;  // pointer and key messages: XMSG_STATE_* bits after the event
    int32_t row;     // row index of data-item notifications
    int32_t column;  // column index or sub-code of data-item notifications
    void *item;      // target item (timer and posted messages: the item named, or null)
    void *other;     // the other item (left, entered, losing or gaining focus)
    uintptr_t value; // value: scroll position, owner of an item to destroy, posted value
};

// Message codes the window layer produces.
enum : uint32_t {
    XMSG_UPDATE = 0,    // empty message: never delivered, asks for a paint cycle
    XMSG_KEYUP = 1,     // key released; key = virtual key
    XMSG_KEYDOWN = 2,   // key pressed (repeats while held); key = virtual key
    XMSG_CHAR = 3,      // one typed UTF-16 unit in key (two messages outside the BMP)
    XMSG_BUTTONUP = 17, // key = XMSG_BUTTON_*
    XMSG_BUTTONDOWN = 18,
    XMSG_MOUSEMOVE = 19,
    XMSG_WHEEL = 20,      // key non-zero: turned towards the user
    XMSG_MOUSELEAVE = 24, // the pointer left the client area with no button held; item null
    XMSG_DBLCLICK = 30,   // the second press of a double click, in place of its code 18
    XMSG_SIZE = 33,       // x, y = new client width and height
    XMSG_TIMER = 34,      // item = the timer's item or null; key = timer number (0 for items)
    XMSG_MOVE = 35,       // x, y = window position; the first arrives right after creation
    XMSG_SETFOCUS = 44,   // the window got the keyboard focus
    XMSG_KILLFOCUS = 45,  // the window lost it
    XMSG_POSTED = 47,     // key = posted code, item = posted item, value = posted value
};

// Buttons (key of codes 17, 18, 30).
enum : uint32_t {
    XMSG_BUTTON_LEFT = 0,
    XMSG_BUTTON_RIGHT = 1,
    XMSG_BUTTON_MIDDLE = 2,
};

// State bits (flags of pointer and key messages), as they are after the event.
enum : uint32_t {
    XMSG_STATE_CTRL = 0x1,
    XMSG_STATE_SHIFT = 0x2,
    XMSG_STATE_LEFT = 0x4,
    XMSG_STATE_RIGHT = 0x8,
    XMSG_STATE_MIDDLE = 0x10,
};

// Virtual keys the layer itself looks at.
enum : uint32_t {
    XVK_SHIFT = 16,
    XVK_CONTROL = 17,
    XVK_LSHIFT = 160,
    XVK_RSHIFT = 161,
    XVK_LCONTROL = 162,
    XVK_RCONTROL = 163,
};

static_assert(offsetof(XMessage_t, key) == 24 && offsetof(XMessage_t, flags) == 28 &&
                  offsetof(XMessage_t, item) == 40,
              "the word fields keep their places; item, other and value are pointer-sized");
