// Translation tables shared by the backends.

#include <gtest/gtest.h>

#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <cstring>

#include "platform/panekit/window/window_backend.h"
#include "platform/panekit/window/xmessage.h"

TEST(WindowTables, KeysymsBecomeWindowsVirtualKeys)
{
    struct Case
    {
        uint32_t keysym;
        uint32_t vkey;
    };
    const Case cases[] = {
        {XK_a, 65},
        {XK_A, 65},
        {XK_z, 90},
        {XK_Z, 90},
        {XK_0, 48},
        {XK_9, 57},
        {XK_BackSpace, 8},
        {XK_Tab, 9},
        {XK_ISO_Left_Tab, 9},
        {XK_Return, 13},
        {XK_KP_Enter, 13},
        {XK_Shift_L, 16},
        {XK_Shift_R, 16},
        {XK_Control_L, 17},
        {XK_Control_R, 17},
        {XK_Alt_L, 18},
        {XK_Escape, 27},
        {XK_space, 32},
        {XK_Prior, 33},
        {XK_Next, 34},
        {XK_End, 35},
        {XK_Home, 36},
        {XK_Left, 37},
        {XK_Up, 38},
        {XK_Right, 39},
        {XK_Down, 40},
        {XK_Insert, 45},
        {XK_Delete, 46},
        {XK_KP_Delete, 46},
        {XK_KP_Left, 37},
        {XK_KP_0, 96},
        {XK_KP_9, 105},
        {XK_KP_Add, 107},
        {XK_F1, 112},
        {XK_F12, 123},
        {XK_F24, 135},
        {XK_comma, 188},
        {XK_period, 190},
        {XK_minus, 189},
        {XK_slash, 191},
        {XK_exclam, 49},
        {XK_parenright, 48},
        {XK_Menu, 93},
        {XK_Num_Lock, 144},
        {XK_VoidSymbol, 0},
        {XK_dead_acute, 0},
        {0, 0},
        {0x1000041, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.vkey, KeysymToVirtualKey(c.keysym)) << std::hex << c.keysym;
}

TEST(WindowTables, PointerButtonsBecomeButtonsAndWheel)
{
    struct Case
    {
        uint32_t button;
        int press;
        int result;
        uint32_t kind;
        uint32_t key;
    };
    const Case cases[] = {
        {1, 1, 1, XINPUT_BUTTON_DOWN, XMSG_BUTTON_LEFT},
        {1, 0, 1, XINPUT_BUTTON_UP, XMSG_BUTTON_LEFT},
        {2, 1, 1, XINPUT_BUTTON_DOWN, XMSG_BUTTON_MIDDLE},
        {3, 1, 1, XINPUT_BUTTON_DOWN, XMSG_BUTTON_RIGHT},
        {3, 0, 1, XINPUT_BUTTON_UP, XMSG_BUTTON_RIGHT},
        {4, 1, 1, XINPUT_WHEEL, 0}, // up: away from the user
        {5, 1, 1, XINPUT_WHEEL, 1}, // down: towards the user
        {4, 0, 0, 0, 0},
        {5, 0, 0, 0, 0},
        {6, 1, 0, 0, 0},
        {8, 1, 0, 0, 0},
        {0, 1, 0, 0, 0},
    };
    for (const Case &c : cases) {
        XInputEvent event = {};
        event.kind = 99;
        event.key = 99;
        EXPECT_EQ(c.result, TranslateX11Button(c.button, c.press, &event)) << c.button;
        EXPECT_EQ(c.kind, event.kind) << c.button;
        if (c.result) {
            EXPECT_EQ(c.key, event.key) << c.button;
        }
    }
}

TEST(WindowTables, CursorCodesHaveShapesAndUnknownCodesTheArrow)
{
    struct Case
    {
        int code;
        const char *name;
        uint32_t glyph;
    };
    const Case cases[] = {
        {4, "pointer", XC_hand2},
        {11, "ew-resize", XC_sb_h_double_arrow},
        {12, "ns-resize", XC_sb_v_double_arrow},
        {13, "nwse-resize", XC_bottom_right_corner},
        {14, "nesw-resize", XC_bottom_left_corner},
        {21, "col-resize", XC_sb_h_double_arrow},
        {23, "grab", XC_hand1},
        {24, "grabbing", XC_fleur},
        {25, "dnd-move", XC_dotbox},
        {0, "default", XC_left_ptr},
        {1, "default", XC_left_ptr},
        {-5, "default", XC_left_ptr},
        {26, "default", XC_left_ptr},
    };
    for (const Case &c : cases) {
        XCursorShape shape = GetCursorShape(c.code);
        EXPECT_STREQ(c.name, shape.themeName) << c.code;
        EXPECT_EQ(c.glyph, shape.fontGlyph) << c.code;
    }
}

TEST(WindowTables, CodePointsSplitIntoUtf16Units)
{
    char16_t units[2];
    EXPECT_EQ(1, EncodeUtf16(0x41, units));
    EXPECT_EQ(u'A', units[0]);
    EXPECT_EQ(1, EncodeUtf16(0x4E2D, units));
    EXPECT_EQ(u'中', units[0]);
    EXPECT_EQ(1, EncodeUtf16(0xFFFF, units));
    EXPECT_EQ(2, EncodeUtf16(0x1F600, units));
    EXPECT_EQ(0xD83D, units[0]);
    EXPECT_EQ(0xDE00, units[1]);
    EXPECT_EQ(2, EncodeUtf16(0x10FFFF, units));
    EXPECT_EQ(0xDBFF, units[0]);
    EXPECT_EQ(0xDFFF, units[1]);
    EXPECT_EQ(0, EncodeUtf16(0xD800, units));
    EXPECT_EQ(0, EncodeUtf16(0xDFFF, units));
    EXPECT_EQ(0, EncodeUtf16(0x110000, units));
}
