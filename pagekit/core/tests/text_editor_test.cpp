// The text-editor dialogs on the virtual display: the layout (the edit growing with the
// dialog, the buttons under it), OK, Cancel and the window manager's close, the buffer
// form's cut, and the display-only viewer.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "corekit/containers/xfinder.h"
#include "corekit/text/xstring.h"
#include "pagekit/core/page_button.h"
#include "pagekit/core/page_edit.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/core/tests/style_util.h"
#include "pagekit/core/text_editor.h"

namespace {

using TextEditor = PageWindowTest;

// The button of code in the open editor, or null.
XPageButton *Button(XTextEditorDialog *dialog, int code)
{
    XFinder finder;
    for (XPageItem *item = dialog->GetRooter()->GetNextSuber(0, &finder); item != nullptr;
         item = dialog->GetRooter()->GetNextSuber(0x10, &finder)) {
        if (item->kind == 0x21 && item->itemCode == code)
            return static_cast<XPageButton *>(item);
    }
    return nullptr;
}

// Clicks the middle of an item of the open editor.
void ClickOn(XVirtualDisplay *display, XTextEditorDialog *dialog, XPageItem *item)
{
    BOUND_t at;
    item->GetPlace(kPlaceWindow, &at);
    display->Click(dialog, at.x + at.width / 2, at.y + at.height / 2);
}

// Runs check, then what, inside the open editor's loop.
void WhenOpen(XVirtualDisplay *display, std::function<void(XTextEditorDialog *)> what)
{
    display->Call([display, what] {
        XTextEditorDialog *dialog = XTextEditorDialog::GetOpenEditor();
        ASSERT_NE(nullptr, dialog);
        what(dialog);
    });
}

TEST_F(TextEditor, OkReturnsTheEditedText)
{
    XPageWindow frame;
    Open(frame);
    BOUND_t editPlace = {}, okPlace = {}, cancelPlace = {};
    WhenOpen(display, [&](XTextEditorDialog *d) {
        EXPECT_EQ(kTextEditorBackColor, d->GetRooter()->style.backColor);
        d->GetEdit()->GetPlace(kPlaceWindow, &editPlace);
        Button(d, 1)->GetPlace(kPlaceWindow, &okPlace);
        Button(d, 0)->GetPlace(kPlaceWindow, &cancelPlace);
        display->KeyDown(d, 35); // End, then a new line typed
        display->KeyDown(d, 13);
        display->Type(d, u"第二行");
        WhenOpen(display, [this](XTextEditorDialog *d2) { ClickOn(display, d2, Button(d2, 1)); });
    });
    XString out;
    EXPECT_EQ(1, OpenTextEditor(&frame, u"编辑", u"第一行", &out));
    EXPECT_EQ(Utf8(u"第一行\r\n第二行"), Utf8(out.GetString()));
    // The edit fills the dialog above the buttons; the buttons are 75 x 23, OK first.
    EXPECT_EQ(8, editPlace.x);
    EXPECT_EQ(8, editPlace.y);
    EXPECT_EQ(kTextEditorWidth - 16, editPlace.width);
    EXPECT_LE(editPlace.y + editPlace.height, okPlace.y);
    EXPECT_GT(editPlace.height, 200);
    EXPECT_EQ(kTextEditorButtonWidth, okPlace.width);
    EXPECT_EQ(kTextEditorButtonHeight, okPlace.height);
    EXPECT_LT(okPlace.x, cancelPlace.x);
    EXPECT_GT(cancelPlace.x + cancelPlace.width, kTextEditorWidth - 40);
}

TEST_F(TextEditor, CancelAndCloseLeaveTheOutputAlone)
{
    XPageWindow frame;
    Open(frame);
    XString out(u"kept");
    WhenOpen(display, [&](XTextEditorDialog *d) {
        display->Type(d, u"x");
        WhenOpen(display, [this](XTextEditorDialog *d2) { ClickOn(display, d2, Button(d2, 0)); });
    });
    EXPECT_EQ(0, OpenTextEditor(&frame, u"t", u"text", &out));
    EXPECT_EQ("kept", Utf8(out.GetString()));
    WhenOpen(display, [&](XTextEditorDialog *d) { display->Close(d); });
    EXPECT_EQ(0, OpenTextEditor(&frame, u"t", u"text", &out));
    EXPECT_EQ("kept", Utf8(out.GetString()));
    EXPECT_EQ(nullptr, XTextEditorDialog::GetOpenEditor());
}

TEST_F(TextEditor, BufferFormCutsWithoutSplittingAPair)
{
    XPageWindow frame;
    Open(frame);
    WhenOpen(display, [&](XTextEditorDialog *d) { ClickOn(display, d, Button(d, 1)); });
    char16_t out[4] = u"###";
    EXPECT_EQ(1, OpenTextEditor(&frame, u"t", u"ab\U00020000c", out, 4));
    EXPECT_EQ("ab", Utf8(out));
}

TEST_F(TextEditor, TheEditGrowsWithTheDialog)
{
    XPageWindow frame;
    Open(frame);
    int before = 0, after = 0;
    WhenOpen(display, [&](XTextEditorDialog *d) {
        before = d->GetEdit()->place.width;
        display->Resize(d, 800, 600);
        WhenOpen(display, [&](XTextEditorDialog *d2) {
            after = d2->GetEdit()->place.width;
            d2->CloseDialog(0);
        });
    });
    XString out;
    OpenTextEditor(&frame, u"t", u"", &out);
    EXPECT_EQ(kTextEditorWidth - 16, before);
    EXPECT_EQ(800 - 16, after);
}

TEST_F(TextEditor, ShowTextEditorOnlyShows)
{
    XPageWindow frame;
    Open(frame);
    std::u16string seen;
    WhenOpen(display, [&](XTextEditorDialog *d) {
        EXPECT_EQ(nullptr, Button(d, 1));
        display->Type(d, u"typed");
        WhenOpen(display, [&](XTextEditorDialog *d2) {
            XString text;
            d2->GetEdit()->XPageItem::GetItemText(&text);
            seen = text.GetString();
            display->Close(d2);
        });
    });
    ShowTextEditor(&frame, u"t", u"只读");
    EXPECT_EQ(Utf8(u"只读"), Utf8(seen.c_str()));
}

} // namespace

namespace {

TEST_F(TextEditor, PicturesOfBothDialogs)
{
    XPageWindow frame;
    Open(frame);
    long editor = -2, viewer = -2;
    WhenOpen(display, [&](XTextEditorDialog *d) {
        editor = CompareGolden(display, d, "text_editor");
        d->CloseDialog(0);
    });
    XString out;
    OpenTextEditor(&frame, u"编辑", u"第一行\n第二行 second line", &out);
    WhenOpen(display, [&](XTextEditorDialog *d) {
        viewer = CompareGolden(display, d, "text_viewer");
        d->CloseDialog(0);
    });
    ShowTextEditor(&frame, u"查看", u"只读的文字 read only");
    EXPECT_EQ(0, editor);
    EXPECT_EQ(0, viewer);
}

} // namespace
