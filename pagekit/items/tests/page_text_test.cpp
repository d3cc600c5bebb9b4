// The text label and the attachment field: caption copies, content sizes in both
// overflow modes, alignments and the button on the virtual display, the chooser and the
// notifications of the attachment.

#include <gtest/gtest.h>

#include <string>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/tests/golden_util.h"
#include "pagekit/core/tests/page_fixture.h"
#include "pagekit/items/page_annex.h"
#include "pagekit/items/page_text.h"
#include "platform/panekit/dialog/dialogs.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

using TextLabel = PageWindowTest;

TEST(TextCaption, CopiesAreCutAndTerminated)
{
    XPageText text;
    EXPECT_EQ(kKindText, text.kind);
    char16_t buf[8] = {u'x', u'x'};
    EXPECT_EQ(0u, text.GetItemText(buf, 8)); // no caption
    EXPECT_EQ(u'\0', buf[0]);
    text.SetItemText(u"标签文字abc");
    EXPECT_EQ(7u, text.GetItemText(nullptr, 0));
    struct Case
    {
        unsigned cap;
        std::u16string want;
    };
    const Case cases[] = {{1, u""}, {4, u"标签文"}, {7, u"标签文字ab"}, {8, u"标签文字abc"}};
    for (const Case &c : cases) {
        char16_t out[8];
        std::fill(std::begin(out), std::end(out), u'#');
        EXPECT_EQ(7u, text.GetItemText(out, c.cap)) << c.cap;
        EXPECT_EQ(c.want, std::u16string(out)) << c.cap;
    }
    text.SetItemText(nullptr);
    EXPECT_EQ(nullptr, text.GetCaption());
    text.SetItemText(u"");
    ASSERT_NE(nullptr, text.GetCaption());
    EXPECT_EQ(0u, text.GetItemText(nullptr, 0));
}

TEST_F(TextLabel, ContentSizeInBothOverflowModes)
{
    XPageWindow window;
    Open(window);
    const std::u16string caption = u"一二三四五六七八九十一二三四五";
    auto *wrapped = Placed(new XPageText, 0, 0, 60, 20);
    auto *extended = Placed(new XPageText, 0, 40, 60, 20);
    extended->itemFlags = SetStyleField(extended->itemFlags, kItemOverflowX, kOverflowExtend);
    auto *empty = Placed(new XPageText, 0, 80, 60, 20);
    wrapped->SetItemText(caption.c_str());
    extended->SetItemText(caption.c_str());
    window.GetRooter()->AddItem(wrapped);
    window.GetRooter()->AddItem(extended);
    window.GetRooter()->AddItem(empty);
    // What the window's painter measures for the caption in the label font.
    XPainter *painter = window.GetRooter()->GetPainter();
    ASSERT_NE(nullptr, painter);
    painter->SetFonter(&wrapped->style);
    SIZE_t line = {0, 0}, block = {0, 0};
    painter->CalcLineSize(caption.c_str(), -1, &line);
    painter->CalcTextRange(caption.c_str(), -1, 0x8, 60, &block);
    ASSERT_GT(block.cy, line.cy); // it wraps at 60 pixels

    EXPECT_EQ(line.cx + 6, extended->GetScrollSize(0));
    EXPECT_EQ(line.cy + 2, extended->GetScrollSize(1));
    EXPECT_EQ(line.cx + 6, extended->place.width); // the item grew to its content
    EXPECT_EQ(block.cx + 6, wrapped->GetScrollSize(0));
    EXPECT_EQ(block.cy + 2, wrapped->GetScrollSize(1));
    EXPECT_EQ(60, wrapped->place.width);
    EXPECT_EQ(0, empty->GetScrollSize(0));
    EXPECT_EQ(0, empty->GetScrollSize(1));
    // A new caption is measured again.
    wrapped->SetItemText(u"一");
    painter->SetFonter(&wrapped->style);
    painter->CalcLineSize(u"一", -1, &line);
    EXPECT_EQ(line.cx + 6, wrapped->GetScrollSize(0));
    wrapped->SetItemText(nullptr);
    EXPECT_EQ(0, wrapped->GetScrollSize(0));
}

TEST_F(TextLabel, AlignmentsOnScreen)
{
    XPageWindow window;
    // Left, centre and right, top, middle and bottom (the style's alignment byte).
    const uint32_t aligns[] = {0x0, 0x6, 0x9};
    int y = 4;
    for (const uint32_t align : aligns) {
        auto *label = Placed(new XPageText, 4, y, 112, 22);
        label->itemStyle.SetItemStyle(0, 0, align & 0x3);
        label->itemStyle.SetItemStyle(0, 1, (align >> 2) & 0x3);
        label->itemStyle.SetEdgeStyle(0, 0xF, kBorderSolid, 1, 0x808080);
        label->SetItemText(u"标签Ab");
        window.GetRooter()->AddItem(label);
        y += 25;
    }
    // The painter argument word is added to the layout: 0x80 underlines a mnemonic.
    auto *mnemonic = Placed(new XPageText, 4, y, 112, 22);
    mnemonic->SetTextFlags(0x80);
    EXPECT_EQ(0x80u, mnemonic->GetTextFlags());
    mnemonic->SetItemText(u"文件(&F)");
    window.GetRooter()->AddItem(mnemonic);
    Open(window, 120, 105);
    Run();
    EXPECT_EQ(0, CompareGolden(display, &window, "text_aligns"));
}

// ---------------------------------------------------------------------------------------
// The attachment
// ---------------------------------------------------------------------------------------

class AnnexField : public PageWindowTest
{
protected:
    void SetUp() override
    {
        PageWindowTest::SetUp();
        Open(window, 200, 60);
        form = new RecordingOwner(&log, "form");
        window.GetRooter()->AddItem(Placed(form, 0, 0, 200, 60));
        annex = Placed(new XPageAnnex, 10, 10, 160, 24);
    }
    int Seen(uint32_t code) const
    {
        int n = 0;
        for (const SeenMessage &m : log)
            n += m.who == "form" && m.code == code;
        return n;
    }

    XPageWindow window;
    SeenLog log;
    RecordingOwner *form = nullptr;
    XPageAnnex *annex = nullptr;
};

TEST_F(AnnexField, SetUpShowsTheFileNameAndMakesRoomForTheButton)
{
    EXPECT_EQ(kKindAnnex, annex->kind);
    EXPECT_EQ(9u, annex->itemFlags);
    EXPECT_EQ(36, annex->GetButtonWidth());
    annex->SetFileName(u"/data/docs/合同.pdf");
    EXPECT_EQ(1, annex->GetModifyState());
    EXPECT_EQ(0u, annex->GetItemText(nullptr, 0)); // not shown before creation
    annex->SetModifyState(0);
    form->AddItem(annex);
    char16_t shown[16];
    annex->GetItemText(shown, 16);
    EXPECT_EQ(std::u16string(u"合同.pdf"), shown);
    EXPECT_EQ(0, annex->GetModifyState()); // creation does not mark it
    XPainter *painter = window.GetRooter()->GetPainter();
    painter->SetFonter(&annex->style);
    SIZE_t size = {0, 0};
    painter->CalcLineSize(u"选择", -1, &size);
    EXPECT_EQ(size.cx + 10, annex->GetButtonWidth());
    EXPECT_EQ(2, annex->style.padding[kSideLeft]);
    EXPECT_EQ(annex->GetButtonWidth(), annex->style.padding[kSideRight]);
    annex->SetFilter(u"文档|*.pdf|");
    EXPECT_EQ(std::u16string(u"文档|*.pdf|"), annex->GetFilter());
    annex->SetFileName(nullptr);
    EXPECT_EQ(nullptr, annex->GetFileName());
    EXPECT_EQ(0u, annex->GetItemText(nullptr, 0));
}

TEST_F(AnnexField, ChoosingAFileSetsThePathAndNotifies)
{
    form->AddItem(annex);
    annex->SetFilter(u"文档|*.pdf|");
    Run();
    // The button lies at the right end inside the border.
    const int buttonX = 10 + 160 - 1 - annex->GetButtonWidth() / 2;
    display->AnswerChooser(kChooserCancel, u"");
    display->Click(&window, buttonX, 22);
    Run();
    EXPECT_EQ(nullptr, annex->GetFileName());
    EXPECT_EQ(0, Seen(XMSG_ANNEXUPDATE));

    display->Advance(1000); // not a double click
    display->AnswerChooser(kChooserDone, u"/home/u/报告.doc");
    display->Click(&window, buttonX, 22);
    Run();
    ASSERT_NE(nullptr, annex->GetFileName());
    EXPECT_EQ(std::u16string(u"/home/u/报告.doc"), annex->GetFileName());
    EXPECT_EQ(1, annex->GetModifyState());
    EXPECT_EQ(1, Seen(XMSG_ANNEXUPDATE));
    EXPECT_EQ(0, Seen(XMSG_ANNEXPOPUP));

    // The caption of a chosen file: the hand, and a click asks for the file.
    display->Move(&window, 30, 22);
    Run();
    EXPECT_EQ(PANEKIT_CURSOR_HAND, display->GetCursorShape(&window));
    display->Advance(1000);
    display->Click(&window, 30, 22);
    Run();
    EXPECT_EQ(1, Seen(XMSG_ANNEXPOPUP));
    EXPECT_EQ(0, CompareGolden(display, &window, "annex_button"));
}

TEST_F(AnnexField, WithoutAFileOrReadOnlyClicksDoNothing)
{
    form->AddItem(annex);
    Run();
    display->Click(&window, 30, 22); // the caption, no file
    Run();
    EXPECT_EQ(0, Seen(XMSG_ANNEXPOPUP));

    annex->SetFileName(u"/tmp/a.txt");
    annex->SetModifyState(0);
    annex->SetReadOnly(1);
    display->AnswerChooser(kChooserDone, u"/tmp/b.txt");
    display->Advance(1000);
    display->Click(&window, 10 + 160 - 10, 22);
    display->Advance(1000);
    display->Click(&window, 30, 22);
    Run();
    EXPECT_EQ(std::u16string(u"/tmp/a.txt"), annex->GetFileName());
    EXPECT_EQ(0, Seen(XMSG_ANNEXUPDATE));
    EXPECT_EQ(0, Seen(XMSG_ANNEXPOPUP));
    std::u16string left;
    EXPECT_EQ(kChooserDone, display->TakeChooserAnswer(&left)); // never asked
    // No button is drawn.
    EXPECT_EQ(0, CompareGolden(display, &window, "annex_readonly"));
}

TEST_F(AnnexField, APathTooLongForTheChooserIsOfferedAsNone)
{
    form->AddItem(annex);
    const std::u16string longPath(600, u'a');
    annex->SetFileName(longPath.c_str());
    Run();
    display->AnswerChooser(kChooserCancel, u"");
    display->Click(&window, 10 + 160 - 10, 22);
    Run();
    EXPECT_EQ(longPath, annex->GetFileName()); // kept whole, never cut
}

} // namespace
