// Translation tables shared by the backends: X keysyms to Windows virtual keys, X
// pointer buttons to button and wheel events, cursor codes to pointer shapes.

#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/xmessage.h"

namespace {

// Columns: X keysym, Windows virtual key.
struct KeyPair
{
    uint32_t keysym;
    uint32_t vkey;
};

constexpr KeyPair kKeyTable[] = {
    {XK_BackSpace, 8},
    {XK_Tab, 9},
    {XK_ISO_Left_Tab, 9},
    {XK_Clear, 12},
    {XK_Return, 13},
    {XK_KP_Enter, 13},
    {XK_Shift_L, 16},
    {XK_Shift_R, 16},
    {XK_Control_L, 17},
    {XK_Control_R, 17},
    {XK_Alt_L, 18},
    {XK_Alt_R, 18},
    {XK_Meta_L, 18},
    {XK_Meta_R, 18},
    {XK_Pause, 19},
    {XK_Caps_Lock, 20},
    {XK_Escape, 27},
    {XK_space, 32},
    {XK_KP_Space, 32},
    {XK_Prior, 33},
    {XK_Next, 34},
    {XK_End, 35},
    {XK_Home, 36},
    {XK_Left, 37},
    {XK_Up, 38},
    {XK_Right, 39},
    {XK_Down, 40},
    {XK_Select, 41},
    {XK_Print, 44},
    {XK_Insert, 45},
    {XK_Delete, 46},
    {XK_Help, 47},
    {XK_KP_Prior, 33},
    {XK_KP_Next, 34},
    {XK_KP_End, 35},
    {XK_KP_Home, 36},
    {XK_KP_Left, 37},
    {XK_KP_Up, 38},
    {XK_KP_Right, 39},
    {XK_KP_Down, 40},
    {XK_KP_Begin, 12},
    {XK_KP_Insert, 45},
    {XK_KP_Delete, 46},
    {XK_Super_L, 91},
    {XK_Super_R, 92},
    {XK_Menu, 93},
    {XK_KP_Multiply, 106},
    {XK_KP_Add, 107},
    {XK_KP_Separator, 108},
    {XK_KP_Subtract, 109},
    {XK_KP_Decimal, 110},
    {XK_KP_Divide, 111},
    {XK_Num_Lock, 144},
    {XK_Scroll_Lock, 145},
    // US-layout punctuation (either shift level) and the shifted digits.
    {XK_semicolon, 186},
    {XK_colon, 186},
    {XK_equal, 187},
    {XK_plus, 187},
    {XK_comma, 188},
    {XK_less, 188},
    {XK_minus, 189},
    {XK_underscore, 189},
    {XK_period, 190},
    {XK_greater, 190},
    {XK_slash, 191},
    {XK_question, 191},
    {XK_grave, 192},
    {XK_asciitilde, 192},
    {XK_bracketleft, 219},
    {XK_braceleft, 219},
    {XK_backslash, 220},
    {XK_bar, 220},
    {XK_bracketright, 221},
    {XK_braceright, 221},
    {XK_apostrophe, 222},
    {XK_quotedbl, 222},
    {XK_parenright, 48},
    {XK_exclam, 49},
    {XK_at, 50},
    {XK_numbersign, 51},
    {XK_dollar, 52},
    {XK_percent, 53},
    {XK_asciicircum, 54},
    {XK_ampersand, 55},
    {XK_asterisk, 56},
    {XK_parenleft, 57},
};

// Columns: cursor code, theme cursor name, X cursor font glyph.
struct CursorRow
{
    int code;
    XCursorShape shape;
};

constexpr CursorRow kCursorTable[] = {
    {4, {"pointer", XC_hand2}},
    {11, {"ew-resize", XC_sb_h_double_arrow}},
    {12, {"ns-resize", XC_sb_v_double_arrow}},
    {13, {"nwse-resize", XC_bottom_right_corner}},
    {14, {"nesw-resize", XC_bottom_left_corner}},
    {21, {"col-resize", XC_sb_h_double_arrow}},
    {23, {"grab", XC_hand1}},
    {24, {"grabbing", XC_fleur}},
    {25, {"dnd-move", XC_dotbox}},
};

constexpr XCursorShape kArrow = {"default", XC_left_ptr};

} // namespace

uint32_t KeysymToVirtualKey(uint32_t keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return keysym - XK_a + 65;
    if (keysym >= XK_A && keysym <= XK_Z)
        return keysym - XK_A + 65;
    if (keysym >= XK_0 && keysym <= XK_9)
        return keysym - XK_0 + 48;
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
        return keysym - XK_KP_0 + 96;
    if (keysym >= XK_F1 && keysym <= XK_F24)
        return keysym - XK_F1 + 112;
    for (const KeyPair &pair : kKeyTable) {
        if (pair.keysym == keysym)
            return pair.vkey;
    }
    return 0;
}

int TranslateX11Button(uint32_t button, int press, XInputEvent *event)
{
    // Columns: X button, kind (0 wheel), button or wheel direction.
    static constexpr uint32_t kButtons[][3] = {
        {1, 1, XMSG_BUTTON_LEFT},
        {2, 1, XMSG_BUTTON_MIDDLE},
        {3, 1, XMSG_BUTTON_RIGHT},
        {4, 0, 0},
        {5, 0, 1},
    };
    event->kind = 0;
    for (const auto &row : kButtons) {
        if (row[0] != button)
            continue;
        if (row[1] == 0) {
            // The wheel reports a press and a release per notch; only the press counts.
            if (!press)
                return 0;
            event->kind = XINPUT_WHEEL;
        } else {
            event->kind = press ? XINPUT_BUTTON_DOWN : XINPUT_BUTTON_UP;
        }
        event->key = row[2];
        return 1;
    }
    return 0;
}

XCursorShape GetCursorShape(int code)
{
    for (const CursorRow &row : kCursorTable) {
        if (row.code == code)
            return row.shape;
    }
    return kArrow;
}

int EncodeUtf16(uint32_t codepoint, char16_t out[2])
{
    if (codepoint > 0x10FFFF || (codepoint >= 0xD800 && codepoint <= 0xDFFF))
        return 0;
    if (codepoint < 0x10000) {
        out[0] = static_cast<char16_t>(codepoint);
        return 1;
    }
    codepoint -= 0x10000;
    out[0] = static_cast<char16_t>(0xD800 + (codepoint >> 10));
    out[1] = static_cast<char16_t>(0xDC00 + (codepoint & 0x3FF));
    return 2;
}
