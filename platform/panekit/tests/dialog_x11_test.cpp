// The choosers through the scripted provider, the desktop provider's argument vectors
// (with a stand-in program), and the painted message box and chooser on the virtual
// display.
#include <cairo.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "platform/devkit/native_path.h"
#include "platform/devkit/tests/scoped_env.h"
#include "platform/devkit/tests/test_folder.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/text/font_handle.h"
#include "platform/panekit/virtual/virtual_display.h"
#include "platform/panekit/window/panekit_window.h"

namespace {

class X11Dialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_display = XVirtualDisplay::Install();
        ASSERT_NE(nullptr, m_display);
        SetDialogProvider(nullptr);
    }
    void TearDown() override { SetDialogProvider(nullptr); }

    XVirtualDisplay *m_display = nullptr;
};

TEST_F(X11Dialogs, FileChooserTakesScriptedAnswers)
{
    const char16_t *filter = u"图片|*.png;*.jpg|全部|*.*|";
    char16_t path[kChooserPathUnits] = u"/old.png";
    m_display->AnswerChooser(1, u"/new/图.png");
    EXPECT_EQ(kChooserDone, SelectOpenFile(nullptr, filter, path, kChooserPathUnits, u"清空"));
    EXPECT_EQ(u"/new/图.png", std::u16string(path));

    m_display->AnswerChooser(0, nullptr);
    EXPECT_EQ(kChooserCancel, SelectOpenFile(nullptr, filter, path));
    EXPECT_EQ(u"/new/图.png", std::u16string(path)); // cancel keeps the path

    m_display->AnswerChooser(2, nullptr); // the clear choice was not offered
    EXPECT_EQ(kChooserCancel, SelectOpenFile(nullptr, filter, path));
    EXPECT_EQ(u"/new/图.png", std::u16string(path));

    m_display->AnswerChooser(2, nullptr);
    EXPECT_EQ(kChooserExtra, SelectOpenFile(nullptr, filter, path, kChooserPathUnits, u"清空"));
    EXPECT_EQ(u"", std::u16string(path));

    // A chosen path longer than the buffer is refused, never cut to another file's name.
    char16_t small[8] = u"/a";
    m_display->AnswerChooser(1, u"/12345678");
    EXPECT_EQ(kChooserCancel, SelectSaveFile(nullptr, filter, small, 8));
    EXPECT_EQ(u"/a", std::u16string(small));
    m_display->AnswerChooser(1, u"/123456");
    EXPECT_EQ(kChooserDone, SelectSaveFile(nullptr, filter, small, 8));
    EXPECT_EQ(u"/123456", std::u16string(small));

    EXPECT_EQ(kChooserCancel, SelectOpenFile(nullptr, filter, path)); // nothing scripted
    EXPECT_EQ(kChooserCancel, SelectOpenFile(nullptr, filter, nullptr));
}

TEST_F(X11Dialogs, ColourChooserReadsColourTexts)
{
    struct Case
    {
        int code;
        const char16_t *text;
        int result;
        uint32_t color;
    } const cases[] = {
        {1, u"#ff0000", kChooserDone, 0x0000FF},
        {1, u"rgb(0,128,255)", kChooserDone, 0xFF8000},
        {1, u"not a colour", kChooserCancel, 0x123456},
        {2, nullptr, kChooserExtra, 0xFFFFFFFF},
        {0, nullptr, kChooserCancel, 0x123456},
    };
    for (const Case &c : cases) {
        uint32_t color = 0x123456;
        m_display->AnswerChooser(c.code, c.text);
        EXPECT_EQ(c.result, SelectColor(nullptr, &color, u"默认")) << c.code;
        EXPECT_EQ(c.color, color) << c.code;
    }
}

TEST_F(X11Dialogs, FontChooserFillsTheRecord)
{
    XFontRecord_t font;
    InitFontRecord(&font);
    SetFontRecordFace(&font, u"宋体", -1);
    font.size = 12;
    EXPECT_EQ(u"宋体;12;0;none", FormatFontAnswer(&font));

    m_display->AnswerChooser(1, u"黑体;16;5;#00ff00");
    ASSERT_EQ(kChooserDone, SelectFontRecord(nullptr, &font, u"默认"));
    EXPECT_EQ(u"黑体", std::u16string(font.face));
    EXPECT_EQ(16, font.size);
    EXPECT_EQ(uint32_t(kFontFlagBold | kFontFlagUnderline), font.flags);
    EXPECT_EQ(0x00FF00u, font.color);

    m_display->AnswerChooser(1, u"楷体"); // fields left out keep their values
    ASSERT_EQ(kChooserDone, SelectFontRecord(nullptr, &font, u"默认"));
    EXPECT_EQ(u"楷体", std::u16string(font.face));
    EXPECT_EQ(16, font.size);

    for (const char16_t *bad : {u"", u";12", u"宋体;x", u"宋体;12;99", u"宋体;12;0;#zz"}) {
        m_display->AnswerChooser(1, bad);
        EXPECT_EQ(kChooserCancel, SelectFontRecord(nullptr, &font, nullptr))
            << devkit::Utf16ToUtf8(bad);
        EXPECT_EQ(u"楷体", std::u16string(font.face));
    }

    m_display->AnswerChooser(2, nullptr);
    ASSERT_EQ(kChooserExtra, SelectFontRecord(nullptr, &font, u"默认"));
    EXPECT_EQ(0, GetFontRecordFaceLength(&font));
    EXPECT_EQ(0, font.size);
    EXPECT_EQ(0xFFFFFFFFu, font.color);
}

// A stand-in for the desktop's chooser program: records its arguments one a line and
// answers as told.
class FakeChooser
{
public:
    FakeChooser()
        : m_folder(zeptest::TestFolder().Path().string()), m_script(m_folder + "/chooser"),
          m_program("ZEP_PANEKIT_ZENITY", m_script.c_str())
    {
    }
    void Answer(const std::string &output, int code)
    {
        std::ofstream(m_script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                                << m_folder << "/args'\nprintf '" << output << "'\nexit " << code
                                << "\n";
        chmod(m_script.c_str(), 0700);
    }
    std::vector<std::string> Arguments() const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_folder + "/args");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

private:
    std::string m_folder;
    std::string m_script;
    ScopedEnv m_program;
};

TEST_F(X11Dialogs, DesktopChooserGetsAnArgumentVector)
{
    FakeChooser fake;
    SetDialogProvider(GetDesktopDialogs());
    char16_t path[kChooserPathUnits] = u"/cur/it's \"here\".png";
    fake.Answer("/chosen/文件.png\\n", 0);
    ASSERT_EQ(kChooserDone, SelectOpenFile(nullptr, u"图片|*.png; *.jpg|坏||全部|*.*", path,
                                           kChooserPathUnits, u"清空"));
    EXPECT_EQ(u"/chosen/文件.png", std::u16string(path));
    std::vector<std::string> expected = {"--file-selection",
                                         "--title=打开文件",
                                         "--filename=/cur/it's \"here\".png",
                                         "--file-filter=图片 | *.png *.jpg",
                                         "--file-filter=全部 | *.*",
                                         "--extra-button=清空"};
    EXPECT_EQ(expected, fake.Arguments());

    fake.Answer("清空\\n", 1);
    EXPECT_EQ(kChooserExtra, SelectOpenFile(nullptr, nullptr, path, kChooserPathUnits, u"清空"));
    EXPECT_EQ(u"", std::u16string(path));
    fake.Answer("", 1);
    EXPECT_EQ(kChooserCancel, SelectSaveFile(nullptr, u"文本|*.txt|", path));
    EXPECT_EQ("--save", fake.Arguments().at(2));

    uint32_t color = 0x0000FF;
    fake.Answer("rgb(0,255,0)\\n", 0);
    EXPECT_EQ(kChooserDone, SelectColor(nullptr, &color, u"默认"));
    EXPECT_EQ(0x00FF00u, color);
    EXPECT_EQ("--color=#ff0000", fake.Arguments().at(2)); // the red it opened with
    fake.Answer("", 139);                                 // a crashed chooser is a cancel
    EXPECT_EQ(kChooserCancel, SelectColor(nullptr, &color, nullptr));
}

TEST_F(X11Dialogs, PaintedChooserTakesOverWithoutTheDesktopProgram)
{
    ScopedEnv program("ZEP_PANEKIT_ZENITY", "/nonexistent/zenity");
    SetDialogProvider(GetDesktopDialogs());
    const std::string png = zeptest::TestFile("chooser.png");
    m_display->Call([this, &png] {
        Panekit *dialog = GetActiveDialog();
        ASSERT_NE(nullptr, dialog);
        m_display->KeyDown(dialog, 8); // Backspace over the current "/a"
        m_display->Type(dialog, u"b/中.txt");
        m_display->Call(
            [this, dialog, &png] { EXPECT_TRUE(m_display->SaveWindowPng(dialog, png.c_str())); });
        m_display->KeyDown(dialog, 13);
    });
    char16_t path[kChooserPathUnits] = u"/a";
    EXPECT_EQ(kChooserDone, SelectOpenFile(nullptr, u"文本|*.txt|", path));
    EXPECT_EQ(u"/b/中.txt", std::u16string(path));
    EXPECT_EQ(nullptr, GetActiveDialog());
}

// The painted box's buttons sit right-aligned along the bottom: 75 x 24, 8 apart, 12
// from the edges.
POINT_t ButtonCentre(Panekit *box, int fromRight)
{
    BOUND_t place;
    box->GetWindowPlace(&place);
    return {place.width - 12 - 75 / 2 - fromRight * (75 + 8), place.height - 12 - 24 / 2};
}

TEST_F(X11Dialogs, PaintedMessageBoxAnswers)
{
    enum Action { kEnter, kEscape, kKeyN, kRightEnter, kClickRight, kClose, kNothing };
    struct Case
    {
        uint32_t flags;
        Action action;
        int answer;
    } const cases[] = {
        {34, kEnter, 1},      {34, kEscape, 0},       {34, kKeyN, 0},    {34, kRightEnter, 0},
        {34, kClickRight, 0}, {0x11, kClickRight, 0}, {0x11, kClose, 0}, {0x10, kClose, 1},
        {0x10, kEscape, 1},   {1, kNothing, 0},       {0, kEnter, 1},
    };
    for (const Case &c : cases) {
        m_display->Reset();
        m_display->Call([this, &c] {
            Panekit *box = GetActiveDialog();
            ASSERT_NE(nullptr, box);
            POINT_t right = ButtonCentre(box, 0);
            switch (c.action) {
            case kEnter:
                m_display->KeyDown(box, 13);
                break;
            case kEscape:
                m_display->KeyDown(box, 27);
                break;
            case kKeyN:
                m_display->KeyDown(box, 78);
                break;
            case kRightEnter:
                m_display->KeyDown(box, 39);
                m_display->KeyDown(box, 13);
                break;
            case kClickRight:
                m_display->Click(box, right.x, right.y);
                break;
            case kClose:
                m_display->Close(box);
                break;
            case kNothing:
                break; // the script runs out: the box is cancelled
            }
        });
        EXPECT_EQ(c.answer,
                  ShowMessageBox(nullptr, u"您准备退出系统，确认吗？", u"操作提示", c.flags))
            << c.flags << " " << c.action;
    }
}

// Pixels of a picture in a bound that are ink: every channel darker than the grey of the
// frames.
int InkIn(cairo_surface_t *picture, const BOUND_t &bound)
{
    const unsigned char *data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    int ink = 0;
    for (int y = bound.y; y < bound.y + bound.height; ++y) {
        for (int x = bound.x; x < bound.x + bound.width; ++x) {
            uint32_t pixel;
            std::memcpy(&pixel, data + y * stride + x * 4, 4);
            if ((pixel & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 &&
                ((pixel >> 16) & 0xFF) < 0x60)
                ++ink;
        }
    }
    return ink;
}

uint32_t PixelAt(cairo_surface_t *picture, int x, int y)
{
    uint32_t pixel;
    std::memcpy(&pixel,
                cairo_image_surface_get_data(picture) +
                    y * cairo_image_surface_get_stride(picture) + x * 4,
                4);
    return pixel;
}

TEST_F(X11Dialogs, PaintedMessageBoxShowsTextAndButtons)
{
    // The picture is read back from a file this test alone writes, so an older picture
    // can never stand in for it.
    struct Case
    {
        const char16_t *text;
        bool inked; // the text area holds ink
    } const cases[] = {{u"读取配置文件 ZEP_Browser.xml 失败", true}, {u"", false}};
    for (const Case &c : cases) {
        const std::string png = zeptest::TestFile(c.inked ? "box.png" : "empty.png");
        BOUND_t place = {};
        m_display->Reset();
        m_display->Call([this, &png, &place] {
            Panekit *box = GetActiveDialog();
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(u"系统错误", m_display->GetTitle(box));
            box->GetWindowPlace(&place);
            EXPECT_TRUE(m_display->SaveWindowPng(box, png.c_str()));
            m_display->KeyDown(box, 13);
        });
        EXPECT_EQ(1, ShowMessageBox(nullptr, c.text, u"系统错误", 0x10));

        cairo_surface_t *picture = cairo_image_surface_create_from_png(png.c_str());
        ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(picture)) << png;
        ASSERT_EQ(place.width, cairo_image_surface_get_width(picture));
        ASSERT_EQ(place.height, cairo_image_surface_get_height(picture));
        // The one button, 75 x 24 at the bottom right: its own face inside the box's, and
        // its label in ink.
        const BOUND_t button = {place.width - 12 - 75, place.height - 12 - 24, 75, 24};
        EXPECT_EQ(0xFFE1E1E1u, PixelAt(picture, button.x + 4, button.y + 4));
        EXPECT_EQ(0xFFF0F0F0u, PixelAt(picture, button.x - 4, button.y + 4));
        EXPECT_GT(InkIn(picture, button), 20);
        // The message above the buttons: the error sign is red and white, never ink.
        const BOUND_t message = {0, 0, place.width, button.y - 4};
        if (c.inked)
            EXPECT_GT(InkIn(picture, message), 100);
        else
            EXPECT_EQ(0, InkIn(picture, message));
        cairo_surface_destroy(picture);
    }
}

} // namespace
