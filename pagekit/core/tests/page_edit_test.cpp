// Edits on the virtual display: scripted keys and characters against the text and caret
// they leave, undo and redo at depths 3 and 0, surrogate pairs at every operation, the
// length limit, password and display-only modes, the notifications, the clipboard, the
// pointer, and the mask and number edits per mode.

#include <gtest/gtest.h>

#include <cairo.h>
#include <pango/pangocairo.h>

#include <string>
#include <vector>

#include "corekit/containers/xfinder.h"
#include "pagekit/core/edit_number.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/page_floater.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/core/tests/style_util.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

using PageEdit = PageWindowTest;

enum : uint32_t { kCtrl = 1, kShift = 2 };
enum : uint32_t {
    kBack = 8,
    kTab = 9,
    kEnter = 13,
    kEnd = 35,
    kHome = 36,
    kLeft = 37,
    kUp = 38,
    kRight = 39,
    kDown = 40,
    kDelete = 46,
};

// One scripted step: a text typed, or a key with modifiers.
struct Step
{
    const char16_t *text;
    uint32_t key;
    uint32_t mods;
};
Step T(const char16_t *text)
{
    return {text, 0, 0};
}
Step K(uint32_t key, uint32_t mods = 0)
{
    return {nullptr, key, mods};
}

std::u16string TextOf(XPageEdit *edit)
{
    std::u16string out(edit->GetItemText(nullptr, 0) + 1, u'#');
    const unsigned n = edit->GetItemText(out.data(), static_cast<unsigned>(out.size()));
    out.resize(n);
    return out;
}

// A window holding one edit with the focus.
struct Form
{
    XPageWindow window;
    XPageEdit *edit;
    std::vector<std::pair<uint32_t, uint32_t>> notes; // code, key of 67 and 129

    explicit Form(XPageEdit *e, int width = 180, int height = 24) : edit(e)
    {
        Placed(edit, 10, 10, width, height);
        window.GetRooter()->AddItem(edit);
        edit->SetHook(
            [](void *data, XMessage_t *message) {
                if (message->code == XMSG_TEXTCHANGE || message->code == XMSG_TEXTSET)
                    static_cast<Form *>(data)->notes.emplace_back(message->code, message->key);
                return 0;
            },
            this);
    }

    void Play(XVirtualDisplay *display, const std::vector<Step> &steps)
    {
        for (const Step &s : steps) {
            if (s.text != nullptr) {
                display->Type(&window, s.text);
                continue;
            }
            if (s.mods & kCtrl)
                display->KeyDown(&window, XVK_CONTROL);
            if (s.mods & kShift)
                display->KeyDown(&window, XVK_SHIFT);
            display->KeyDown(&window, s.key);
            display->KeyUp(&window, s.key);
            if (s.mods & kShift)
                display->KeyUp(&window, XVK_SHIFT);
            if (s.mods & kCtrl)
                display->KeyUp(&window, XVK_CONTROL);
        }
        Panekit::WaitForMessage();
    }
};

XPageEdit *MultiLine(XPageEdit *edit)
{
    edit->extraFlags |= kEditMultiLine;
    return edit;
}

struct ScriptCase
{
    const char *name;
    bool multi;
    unsigned limit;
    const char16_t *start;
    std::vector<Step> steps;
    const char16_t *want;
    unsigned caret;
};

TEST_F(PageEdit, ScriptedTyping)
{
    const char16_t *pair = u"\U00020000"; // one character, two units
    const ScriptCase cases[] = {
        {"typing", false, 0, u"", {T(u"abc")}, u"abc", 3},
        {"backspace", false, 0, u"", {T(u"abc"), K(kBack)}, u"ab", 2},
        {"delete at home", false, 0, u"abc", {K(kDelete)}, u"bc", 0},
        {"ctrl+a replaces", false, 0, u"abc", {K('A', kCtrl), T(u"x")}, u"x", 1},
        {"shift selects",
         false,
         0,
         u"abcd",
         {K(kEnd), K(kLeft, kShift), K(kLeft, kShift), K(kBack)},
         u"ab",
         2},
        {"limit 5", false, 5, u"", {T(u"abcdefg")}, u"abcde", 5},
        {"chinese", false, 0, u"", {T(u"中文输入")}, u"中文输入", 4},
        {"pair typed", false, 0, u"", {T(u"a\U00020000b")}, u"a\U00020000b", 4},
        {"pair backspace", false, 0, u"", {T(u"a\U00020000"), K(kBack)}, u"a", 1},
        {"pair delete", false, 0, pair, {K(kDelete)}, u"", 0},
        {"pair caret",
         false,
         0,
         u"x\U00020000y",
         {K(kRight), K(kRight), T(u"-")},
         u"x\U00020000-y",
         4},
        {"pair limit", false, 2, u"", {T(u"a\U00020000")}, u"a", 1},
        {"pair left", false, 0, u"\U00020000", {K(kEnd), K(kLeft), T(u"<")}, u"<\U00020000", 1},
        {"enter splits", true, 0, u"", {T(u"ab"), K(kLeft), K(kEnter)}, u"a\r\nb", 3},
        {"enter single", false, 0, u"", {T(u"ab"), K(kEnter)}, u"ab", 2},
        {"line break counts 2", true, 4, u"", {T(u"a"), K(kEnter), T(u"bcd")}, u"a\r\nb", 4},
        {"backspace joins", true, 0, u"a\nb", {K(kDown), K(kHome), K(kBack)}, u"ab", 1},
        {"delete joins", true, 0, u"a\nb", {K(kEnd), K(kDelete)}, u"ab", 1},
        {"tab in wrapping edit", true, 0, u"", {T(u"a"), K(kTab)}, u"a\t", 2},
        {"tab single is left", false, 0, u"", {T(u"a"), K(kTab)}, u"a", 1},
        {"ctrl+end", true, 0, u"ab\ncd", {K(kEnd, kCtrl), T(u"!")}, u"ab\r\ncd!", 7},
        {"up keeps column",
         true,
         0,
         u"abcd\nab\nabcd",
         {K(kEnd, kCtrl), K(kUp), K(kUp), T(u"|")},
         u"abcd|\r\nab\r\nabcd",
         5},
        {"ctrl+left word",
         false,
         0,
         u"hello world",
         {K(kEnd), K(kLeft, kCtrl), T(u"|")},
         u"hello |world",
         7},
        {"ctrl+right word end",
         false,
         0,
         u"hello world",
         {K(kRight, kCtrl), T(u"|")},
         u"hello| world",
         6},
    };
    for (const ScriptCase &c : cases) {
        SCOPED_TRACE(c.name);
        Form f(c.multi ? MultiLine(new XPageEdit) : new XPageEdit, 180, c.multi ? 80 : 24);
        f.edit->LimitText(c.limit);
        f.edit->SetItemText(c.start);
        Open(f.window);
        f.window.SetFocusItem(f.edit);
        f.Play(display, c.steps);
        EXPECT_EQ(Utf8(c.want), Utf8(TextOf(f.edit).c_str()));
        EXPECT_EQ(c.caret, f.edit->GetCaretPos());
        EXPECT_EQ(f.edit->GetTotalLength(), f.edit->GetItemText(nullptr, 0));
    }
}

TEST_F(PageEdit, SurrogateHalvesNeverGoInAlone)
{
    Form f(new XPageEdit);
    Open(f.window);
    f.window.SetFocusItem(f.edit);
    // A low half alone is dropped; a high half waits for its low half.
    display->TypeChar(&f.window, 0xDC00);
    Panekit::WaitForMessage();
    EXPECT_EQ(0u, f.edit->GetTotalLength());
    f.edit->InputChar(0xD840);
    EXPECT_EQ(0u, f.edit->GetTotalLength());
    f.edit->InputChar(0xDC00);
    EXPECT_EQ(Utf8(u"\U00020000"), Utf8(TextOf(f.edit).c_str()));
    // Selections, caret and SetItemText snap off the middle of a pair.
    f.edit->SetItemText(u"a\U00020000b\xD800");
    EXPECT_EQ(4u, f.edit->GetTotalLength());
    f.edit->SetChoice(2, 0);
    unsigned caret = 0, anchor = 0;
    f.edit->GetChoice(&caret, &anchor);
    EXPECT_EQ(1u, caret);
    char16_t cut[3];
    f.edit->SetChoice(3, 0);
    EXPECT_EQ(1u, f.edit->GetSelection(cut, 3)); // two units do not fit with the pair
    EXPECT_EQ(Utf8(u"a"), Utf8(cut));
}

TEST_F(PageEdit, UndoMergesRunsAndKeepsItsDepth)
{
    struct Case
    {
        const char *name;
        unsigned depth;
        std::vector<Step> steps;
        const char16_t *want;
    } cases[] = {
        {"typed run is one step", 3, {T(u"abc"), K('Z', kCtrl)}, u""},
        {"moved caret starts a step", 3, {T(u"ab"), K(kLeft), T(u"x"), K('Z', kCtrl)}, u"ab"},
        {"redo", 3, {T(u"ab"), K('Z', kCtrl), K('Y', kCtrl)}, u"ab"},
        {"repeated delete is one step",
         3,
         {T(u"abcd"), K(kHome), K(kDelete), K(kDelete), K('Z', kCtrl)},
         u"abcd"},
        {"backspaces are one step", 3, {T(u"abcd"), K(kBack), K(kBack), K('Z', kCtrl)}, u"abcd"},
        {"depth 3 keeps three",
         3,
         {T(u"a"), K(kLeft), T(u"b"), K(kLeft), T(u"c"), K(kLeft), T(u"d"), K('Z', kCtrl),
          K('Z', kCtrl), K('Z', kCtrl), K('Z', kCtrl)},
         u"a"},
        {"a new step drops redo", 3, {T(u"ab"), K('Z', kCtrl), T(u"x"), K('Y', kCtrl)}, u"x"},
        {"depth 0 records nothing", 0, {T(u"abc"), K('Z', kCtrl)}, u"abc"},
        {"replacing a selection", 3, {T(u"abc"), K('A', kCtrl), T(u"xy"), K('Z', kCtrl)}, u"abc"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Form f(new XPageEdit);
        f.edit->SetUndoNumber(c.depth);
        Open(f.window);
        f.window.SetFocusItem(f.edit);
        f.Play(display, c.steps);
        EXPECT_EQ(Utf8(c.want), Utf8(TextOf(f.edit).c_str()));
    }
    // SetItemText clears the history.
    Form f(new XPageEdit);
    Open(f.window);
    f.window.SetFocusItem(f.edit);
    f.Play(display, {T(u"abc")});
    EXPECT_TRUE(f.edit->CanUndo());
    f.edit->SetItemText(u"new");
    EXPECT_FALSE(f.edit->CanUndo());
    EXPECT_EQ(0, f.edit->Undo());
}

TEST_F(PageEdit, NotificationsTellTypingFromSetting)
{
    Form f(new XPageEdit);
    f.edit->SetItemText(u"before"); // not created yet: nothing sent
    Open(f.window);
    EXPECT_TRUE(f.notes.empty());
    f.window.SetFocusItem(f.edit);
    f.Play(display, {T(u"x")});
    f.edit->InsertText(u"y");
    f.edit->SetItemText(u"z");
    const std::vector<std::pair<uint32_t, uint32_t>> want = {
        {XMSG_TEXTCHANGE, 1}, {XMSG_TEXTCHANGE, 0}, {XMSG_TEXTCHANGE, 0}, {XMSG_TEXTSET, 0}};
    EXPECT_EQ(want, f.notes);
    EXPECT_NE(0, f.edit->GetModifyState());
}

TEST_F(PageEdit, ModesThatRefuseChanges)
{
    {
        Form f(new XPageEdit);
        f.edit->extraFlags |= kEditDisplayOnly;
        f.edit->SetItemText(u"shown");
        Open(f.window);
        f.window.SetFocusItem(f.edit);
        f.Play(display, {T(u"x"), K(kBack), K(kDelete), K('A', kCtrl), K('X', kCtrl)});
        EXPECT_EQ("shown", Utf8(TextOf(f.edit).c_str()));
    }
    {
        // Password: nothing is copied, and cutting (which would lose the text) does nothing.
        Form f(new XPageEdit);
        f.edit->extraFlags |= kEditPassword;
        Open(f.window);
        display->SetClipboard(u"before");
        f.window.SetFocusItem(f.edit);
        f.Play(display, {T(u"secret"), K('A', kCtrl), K('C', kCtrl), K('X', kCtrl)});
        EXPECT_EQ("secret", Utf8(TextOf(f.edit).c_str()));
        EXPECT_EQ("before", Utf8(display->GetClipboard().c_str()));
    }
}

TEST_F(PageEdit, ClipboardCarriesSoundText)
{
    Form f(MultiLine(new XPageEdit), 180, 80);
    f.edit->SetItemText(u"第一\n😀x");
    Open(f.window);
    f.window.SetFocusItem(f.edit);
    f.Play(display, {K('A', kCtrl), K('C', kCtrl)});
    EXPECT_EQ(Utf8(u"第一\r\n😀x"), Utf8(display->GetClipboard().c_str()));

    // Zero units and lone halves of a paste stay out.
    display->SetClipboard(std::u16string(u"a\0b\xD800"
                                         u"c\xDC00\U00020000",
                                         8));
    f.Play(display, {K(kEnd, kCtrl), K('V', kCtrl)});
    EXPECT_EQ(Utf8(u"第一\r\n😀xabc\U00020000"), Utf8(TextOf(f.edit).c_str()));
    f.Play(display, {K('Z', kCtrl)});
    EXPECT_EQ(Utf8(u"第一\r\n😀x"), Utf8(TextOf(f.edit).c_str()));

    // Cut removes what it copied.
    f.Play(display, {K(kHome, kCtrl), K(kEnd, kShift), K('X', kCtrl)});
    EXPECT_EQ(Utf8(u"第一"), Utf8(display->GetClipboard().c_str()));
    EXPECT_EQ(Utf8(u"\r\n😀x"), Utf8(TextOf(f.edit).c_str()));
}

// A click at the place of each boundary puts the caret there.
TEST_F(PageEdit, ClicksLandOnTheBoundaryUnderThePointer)
{
    Form f(new XPageEdit, 300, 24);
    const char16_t *text = u"ab中文\U00020000cd";
    f.edit->SetItemText(text);
    Open(f.window);
    XPainter *painter = f.window.GetRooter()->GetPainter();
    painter->SetFonter(&f.edit->style);
    const int len = static_cast<int>(std::char_traits<char16_t>::length(text));
    for (int i = 0; i <= len; ++i) {
        if (i == 5)
            continue; // inside the pair
        const POINT_t at = f.edit->GetCaretPoint(static_cast<unsigned>(i), false);
        EXPECT_EQ(painter->CalcLinePlace(text, len, i), at.x) << i;
        BOUND_t body;
        f.edit->GetPlace(kPlaceBodyWindow, &body);
        display->Click(&f.window, body.x + at.x, body.y + 5);
        Panekit::WaitForMessage();
        EXPECT_EQ(static_cast<unsigned>(i), f.edit->GetCaretPos()) << i;
    }
    // Shift+click extends, a double click selects the word.
    f.edit->SetItemText(u"hello world");
    BOUND_t body;
    f.edit->GetPlace(kPlaceBodyWindow, &body);
    const int x = painter->CalcLinePlace(u"hello world", 11, 8);
    display->Press(&f.window, body.x + x, body.y + 5);
    display->Release(&f.window, body.x + x, body.y + 5);
    display->Press(&f.window, body.x + x, body.y + 5);
    display->Release(&f.window, body.x + x, body.y + 5);
    Panekit::WaitForMessage();
    char16_t chosen[16];
    f.edit->GetSelection(chosen, 16);
    EXPECT_EQ("world", Utf8(chosen));
}

TEST_F(PageEdit, WrappedRowsAndTheRowEndCaret)
{
    Form f(MultiLine(new XPageEdit), 60, 120);
    f.edit->SetItemText(u"abcdefghijklmnopqrstuvwxyz");
    Open(f.window);
    const XTextLine *line = f.edit->GetFirstLine();
    ASSERT_GT(line->rows, 1u);
    // End on the first row stays at its end, marked as such, and typing goes there.
    f.window.SetFocusItem(f.edit);
    f.Play(display, {K(kEnd)});
    const unsigned end = f.edit->GetCaretPos();
    EXPECT_GT(end, 0u);
    EXPECT_LT(end, 26u);
    const POINT_t atEnd = f.edit->GetCaretPoint(end, true);
    const POINT_t atNext = f.edit->GetCaretPoint(end, false);
    EXPECT_EQ(0, atEnd.y);
    EXPECT_EQ(f.edit->GetRowHeight(), atNext.y);
    EXPECT_EQ(0, atNext.x);
}

// ---------------------------------------------------------------------------------------
// Mask and number edits
// ---------------------------------------------------------------------------------------

TEST_F(PageEdit, MaskTypingOverwritesPlaceholders)
{
    struct Case
    {
        const char *name;
        std::vector<Step> steps;
        const char *want;
    } cases[] = {
        {"digits skip the fixed units", {T(u"20261211")}, "2026-12-11"},
        {"a misfit leaves a blank", {T(u"20x6")}, "20 6-  -  "},
        {"backspace blanks", {T(u"202612"), K(kBack), K(kBack)}, "2026-  -  "},
        {"selection blanks", {T(u"20261211"), K('A', kCtrl), K(kDelete)}, "    -  -  "},
        {"surrogates refused", {T(u"1\U00020000")}, "1   -  -  "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto *mask = new XMaskEdit;
        mask->SetMask(u"$$$$-$$-$$");
        Form f(mask);
        Open(f.window);
        f.window.SetFocusItem(f.edit);
        f.Play(display, c.steps);
        EXPECT_EQ(c.want, Utf8(TextOf(f.edit).c_str()));
        EXPECT_EQ(10u, f.edit->GetTotalLength());
    }
    auto *mask = new XMaskEdit;
    mask->SetMask(u"$$:$$");
    Form f(mask);
    EXPECT_NE(0, mask->IsInputEmpty());
    mask->SetItemText(u"1a:45");
    EXPECT_EQ("1 :45", Utf8(TextOf(mask).c_str()));
    EXPECT_EQ(0, mask->IsInputEmpty());
    Open(f.window);
    f.window.SetFocusItem(mask);
    display->SetClipboard(u"98:76");
    f.Play(display, {K(kHome), K('V', kCtrl)});
    EXPECT_EQ("98:76", Utf8(TextOf(mask).c_str()));
}

TEST_F(PageEdit, NumberTypingByMode)
{
    constexpr uint32_t kGroup = 0x100, kSigned = 0x10000;
    struct Case
    {
        const char *name;
        uint32_t format;
        std::vector<Step> steps;
        const char *want;
        const char *afterFocus;
    } cases[] = {
        {"integer grouped", kGroup, {T(u"1234567")}, "1,234,567", "1,234,567"},
        {"letters refused", 0, {T(u"12ab3")}, "123", "123"},
        {"minus toggles when signed", kSigned, {T(u"12-")}, "-12", "-12"},
        {"minus twice", kSigned, {T(u"12--")}, "12", "12"},
        {"minus refused unsigned", 0, {T(u"-12")}, "12", "12"},
        {"free decimals", 1u << 24 | 3, {T(u"3.14159")}, "3.141", "3.141"},
        {"free point moves", 1u << 24 | 2, {T(u"3.1"), K(kHome), T(u".2")}, "3.21", "3.21"},
        {"free trims on focus out", 1u << 24 | 4, {T(u"2.50")}, "2.50", "2.5"},
        {"fixed fills decimals", 2u << 24 | 2, {T(u"12.5")}, "12.50", "12.50"},
        {"fixed keeps decimals count", 2u << 24 | 2, {T(u"1.999")}, "1.99", "1.99"},
        {"numeric normalises", 3u << 24 | 2 | kGroup, {T(u"1234")}, "1,234", "1,234.00"},
        {"grouping live", 1u << 24 | 2 | kGroup, {T(u"12345.6")}, "12,345.6", "12,345.6"},
        {"backspace regroups", kGroup, {T(u"1234"), K(kBack)}, "123", "123"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto *numb = new XNumbEdit;
        numb->SetFormat(c.format);
        Form f(numb);
        auto *other = Placed(new XPageEdit, 10, 50, 50, 24);
        f.window.GetRooter()->AddItem(other);
        Open(f.window);
        f.window.SetFocusItem(numb);
        f.Play(display, c.steps);
        EXPECT_EQ(c.want, Utf8(TextOf(numb).c_str()));
        f.window.SetFocusItem(other);
        EXPECT_EQ(c.afterFocus, Utf8(TextOf(numb).c_str()));
    }
}

TEST_F(PageEdit, NumberValuesInAndOut)
{
    auto *numb = new XNumbEdit;
    numb->SetFormat(2u << 24 | 2 | 0x100 | 0x10000);
    Form f(numb);
    EXPECT_EQ(".00", Utf8(TextOf(numb).c_str()));
    EXPECT_NE(0, numb->IsInputEmpty());
    double d = 7;
    EXPECT_EQ(0, numb->GetNumber(&d));
    EXPECT_EQ(0, d);
    numb->SetNumber(-1234.567);
    EXPECT_EQ("-1,234.57", Utf8(TextOf(numb).c_str()));
    EXPECT_EQ(1, numb->GetNumber(&d));
    EXPECT_DOUBLE_EQ(-1234.57, d);
    int64_t wide = 0;
    numb->GetNumber(&wide);
    EXPECT_EQ(-1235, wide);
    numb->SetNumber(42);
    EXPECT_EQ("42.00", Utf8(TextOf(numb).c_str()));
    // Decimals above 20 become 8; the limit starts at 120.
    numb->SetFormat(2u << 24 | 30);
    EXPECT_EQ(".00000000", Utf8(TextOf(numb).c_str()));
    EXPECT_EQ(120u, numb->GetLimitText());
}

} // namespace

// ---------------------------------------------------------------------------------------
// Pictures
// ---------------------------------------------------------------------------------------

// The selection's colour, counted on the window's picture: pixels of RGB (0, 128, 216).
long SelectionPixels(XVirtualDisplay *display, Panekit *window)
{
    cairo_surface_t *s = display->GetWindowSurface(window);
    cairo_surface_flush(s);
    long n = 0;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    for (int y = 0; y < h; ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(cairo_image_surface_get_data(s) +
                                                             y * cairo_image_surface_get_stride(s));
        for (int x = 0; x < w; ++x)
            n += (row[x] & 0xFFFFFF) == 0x0080D8;
    }
    return n;
}

TEST_F(PageEdit, PicturesOfTheModes)
{
    XPageWindow window;
    auto *chosen = Placed(new XPageEdit, 8, 8, 144, 24);
    auto *empty = Placed(new XPageEdit, 8, 40, 144, 24);
    auto *password = Placed(new XPageEdit, 8, 72, 144, 24);
    auto *wrapped = Placed(MultiLine(new XPageEdit), 8, 104, 96, 72);
    for (XPageItem *item : {static_cast<XPageItem *>(chosen), static_cast<XPageItem *>(empty),
                            static_cast<XPageItem *>(password), static_cast<XPageItem *>(wrapped)})
        window.GetRooter()->AddItem(item);
    chosen->SetItemText(u"选中 chosen");
    empty->SetPlaceHolder(u"请输入");
    password->extraFlags |= kEditPassword;
    password->SetItemText(u"ab\U00020000");
    wrapped->SetItemText(u"一段会换行的文字 wraps at the width");
    Open(window, 160, 184);
    chosen->SetChoice(2, 0);
    Panekit::WaitForMessage();
    EXPECT_GT(SelectionPixels(display, &window), 100);
    EXPECT_EQ(0, CompareGolden(display, &window, "edit_modes"));
    EXPECT_GT(wrapped->GetFirstLine()->rows, 1u);
}

// ---------------------------------------------------------------------------------------
// The context menu
// ---------------------------------------------------------------------------------------

// "code:on" of every entry of the open menu, separators as "0:1".
std::vector<std::string> MenuEntries(XPageWindow *window)
{
    std::vector<std::string> out;
    XPageItem *menu = window->GetPageFloater();
    if (menu == nullptr)
        return out;
    XFinder finder;
    for (XPageItem *entry = menu->GetNextSuber(0, &finder); entry != nullptr;
         entry = menu->GetNextSuber(0x10, &finder))
        out.push_back(std::to_string(entry->itemCode) + ":" + std::to_string(entry->IsEnable()));
    return out;
}

TEST_F(PageEdit, ContextMenuEnablesByState)
{
    struct Case
    {
        const char *name;
        const char16_t *text;
        uint32_t extra;
        bool readOnly;
        bool choose; // select all before opening
        bool typed;  // something to undo
        std::vector<std::string> want;
    } cases[] = {
        {"empty",
         u"",
         0,
         false,
         false,
         false,
         {"90:0", "89:0", "0:1", "88:0", "67:0", "86:1", "46:0", "0:1", "65:0"}},
        {"text chosen and typed",
         u"",
         0,
         false,
         true,
         true,
         {"90:1", "89:0", "0:1", "88:1", "67:1", "86:1", "46:1", "0:1", "65:1"}},
        {"password",
         u"secret",
         kEditPassword,
         false,
         true,
         false,
         {"90:0", "89:0", "0:1", "88:0", "67:0", "86:1", "46:1", "0:1", "65:1"}},
        {"read-only",
         u"text",
         0,
         true,
         true,
         false,
         {"90:0", "89:0", "0:1", "88:0", "67:1", "86:0", "46:0", "0:1", "65:1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Form f(new XPageEdit);
        f.edit->extraFlags |= c.extra;
        f.edit->SetItemText(c.text);
        Open(f.window);
        f.window.SetFocusItem(f.edit);
        if (c.typed)
            f.Play(display, {T(u"typed")});
        if (c.choose)
            f.edit->SetChoice(f.edit->GetTotalLength(), 0);
        if (c.readOnly)
            f.edit->SetReadOnly(1);
        std::vector<std::string> seen;
        display->Click(&f.window, 40, 20, XMSG_BUTTON_RIGHT);
        display->Call([&] { seen = MenuEntries(&f.window); });
        display->KeyDown(&f.window, 27);
        Panekit::WaitForMessage();
        // Separators carry code 0 and are items of their own.
        std::vector<std::string> entries;
        for (const std::string &e : seen)
            entries.push_back(e.rfind("0:", 0) == 0 ? "0:1" : e);
        EXPECT_EQ(c.want, entries);
    }
}

TEST_F(PageEdit, ContextMenuCommandsAct)
{
    Form f(new XPageEdit);
    f.edit->SetItemText(u"abc def");
    Open(f.window);
    f.window.SetFocusItem(f.edit);
    // Select all by its letter, then delete by its letter.
    display->Click(&f.window, 40, 20, XMSG_BUTTON_RIGHT);
    display->KeyDown(&f.window, 'A');
    Panekit::WaitForMessage();
    unsigned caret = 0, anchor = 0;
    f.edit->GetChoice(&caret, &anchor);
    EXPECT_EQ(7u, caret);
    EXPECT_EQ(0u, anchor);
    display->Advance(1000); // no double click of the two right clicks
    display->Click(&f.window, 40, 20, XMSG_BUTTON_RIGHT);
    display->KeyDown(&f.window, 'D');
    Panekit::WaitForMessage();
    EXPECT_EQ("", Utf8(TextOf(f.edit).c_str()));
    // Display-only edits open no menu.
    f.edit->extraFlags |= kEditDisplayOnly;
    std::vector<std::string> seen = {"x"};
    display->Advance(1000);
    display->Click(&f.window, 40, 20, XMSG_BUTTON_RIGHT);
    display->Call([&] { seen = MenuEntries(&f.window); });
    Panekit::WaitForMessage();
    EXPECT_TRUE(seen.empty());
}

// ---------------------------------------------------------------------------------------
// The caret against Pango
// ---------------------------------------------------------------------------------------

// A plain PangoCairo layout of text in the edit's font, as the row is laid out.
struct PangoRow
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t *cr = cairo_create(surface);
    PangoLayout *layout = pango_cairo_create_layout(cr);
    std::string utf8;

    PangoRow(const std::u16string &text, const XStyleDesc &style)
    {
        const std::string family = Utf8(style.fontFamily != nullptr ? style.fontFamily : u"宋体");
        PangoFontDescription *desc = pango_font_description_from_string(family.c_str());
        pango_font_description_set_absolute_size(desc, style.fontSize * PANGO_SCALE);
        pango_layout_set_font_description(layout, desc);
        pango_font_description_free(desc);
        utf8 = Utf8(text.c_str());
        pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
    }
    ~PangoRow()
    {
        g_object_unref(layout);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    // Byte index of a UTF-16 position, and back.
    int Byte(const std::u16string &text, unsigned pos) const
    {
        return static_cast<int>(Utf8(text.substr(0, pos).c_str()).size());
    }
    unsigned Unit(int byte) const
    {
        glong units = 0;
        gunichar2 *prefix = g_utf8_to_utf16(utf8.data(), byte, nullptr, &units, nullptr);
        g_free(prefix);
        return static_cast<unsigned>(units);
    }
};

TEST_F(PageEdit, CaretPlacesAreWherePangoPutsThem)
{
    const std::u16string texts[] = {
        u"混合 Mixed 文本 text",
        u"\U00020000a\U00020001中bc",
        u"价格：￥36.50元 (tax)",
    };
    for (const std::u16string &text : texts) {
        Form f(new XPageEdit, 320, 24);
        f.edit->SetItemText(text.c_str());
        Open(f.window);
        ASSERT_GT(f.edit->style.fontSize, 0);
        PangoRow row(text, f.edit->style);
        BOUND_t body;
        f.edit->GetPlace(kPlaceBodyWindow, &body);
        for (unsigned pos = 0; pos <= text.size(); ++pos) {
            if (pos > 0 && pos < text.size() && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF)
                continue; // inside a pair
            PangoRectangle at;
            pango_layout_index_to_pos(row.layout, row.Byte(text, pos), &at);
            const int x = pos == text.size() ? PANGO_PIXELS(at.x + at.width) : PANGO_PIXELS(at.x);
            EXPECT_EQ(x, f.edit->GetCaretPoint(pos, false).x) << Utf8(text.c_str()) << " " << pos;
            // A click at that x lands where Pango's hit test says.
            int index = 0, trailing = 0;
            pango_layout_xy_to_index(row.layout, x * PANGO_SCALE, 0, &index, &trailing);
            const char *p = row.utf8.data() + index;
            for (int t = 0; t < trailing; ++t)
                p = g_utf8_next_char(p);
            display->Click(&f.window, body.x + x, body.y + 5);
            Panekit::WaitForMessage();
            EXPECT_EQ(row.Unit(static_cast<int>(p - row.utf8.data())), f.edit->GetCaretPos())
                << Utf8(text.c_str()) << " x " << x;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Wrapping a long line
// ---------------------------------------------------------------------------------------

// Row ends of the edit's first line, through the row accessor the drawing uses.
std::vector<int> EditRows(XPageEdit *edit)
{
    std::vector<int> ends;
    unsigned pos = 0;
    const unsigned length = edit->GetFirstLine()->length;
    int lastY = -1;
    for (; pos <= length; ++pos) {
        const POINT_t at = edit->GetCaretPoint(pos, false);
        if (at.y != lastY && pos > 0)
            ends.push_back(static_cast<int>(pos));
        lastY = at.y;
    }
    ends.push_back(static_cast<int>(length));
    return ends;
}

// The same text cut by the text engine in one piece.
std::vector<int> EngineRows(XPageWindow &window, XPageEdit *edit)
{
    XPainter *painter = window.GetRooter()->GetPainter();
    painter->SetFonter(&edit->style);
    const XTextLine *line = edit->GetFirstLine();
    const int width = edit->body.width - 1;
    const int rows =
        painter->CalcLineRange(line->text, static_cast<int>(line->length), width, nullptr, 0);
    std::vector<int> ends(static_cast<size_t>(rows));
    painter->CalcLineRange(line->text, static_cast<int>(line->length), width, ends.data(), rows);
    return ends;
}

TEST_F(PageEdit, LongLinesWrapAsTheEngineWrapsThemThroughEdits)
{
    Form f(MultiLine(new XPageEdit), 200, 300);
    std::u16string text;
    for (int i = 0; i < 24; ++i)
        text += u"第" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) +
                u"段 words that wrap 中文和English混合 ";
    f.edit->SetItemText(text.c_str());
    Open(f.window);
    f.window.SetFocusItem(f.edit);
    EXPECT_EQ(EngineRows(f.window, f.edit), EditRows(f.edit));
    // Edits in the middle, at row starts and at the end re-wrap only what they change, and
    // the rows stay those of a fresh layout.
    uint32_t seed = 11;
    for (int step = 0; step < 24; ++step) {
        seed = seed * 1103515245 + 12345;
        const unsigned length = f.edit->GetFirstLine()->length;
        const unsigned at = (seed >> 8) % (length + 1);
        f.edit->SetChoice(at, at);
        if (step % 3 == 2 && at > 0)
            f.edit->DeleteInputer(1);
        else
            f.edit->InputText(step % 2 ? u"x" : u"插入 more words ");
        ASSERT_EQ(EngineRows(f.window, f.edit), EditRows(f.edit)) << step;
    }
}
