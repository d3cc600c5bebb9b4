// The page window's tool tip: one private text item per window, created on first need.
//
// Hovering an item with a prompter arms the tip: timer 18 ticks every 500 ms, the count
// starting at 0 whenever the hovered item changes, and the tick that finds the count at 2
// (the third) shows the prompter 8 pixels right of the item's left edge with its bottom
// edge 8 pixels above the item's top, kept inside the window. The timer runs only while
// a tip is armed.

#include <string>

#include "corekit/text/strings.h"
#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_window.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// The tip: a text on a white box with a black line; never hit by the pointer.
class XPromptItem : public XPageItem
{
public:
    XPromptItem()
    {
        kind = kKindText;
        itemFlags = (itemFlags & ~kItemVisible) | kItemFixed | kItemAbsolute | kItemNoFocus;
        itemFlags = SetStyleField(itemFlags, kItemOverflowX, kOverflowExtend);
        itemFlags = SetStyleField(itemFlags, kItemOverflowY, kOverflowExtend);
        itemStyle.SetSpace(kStateNormal, 3, 2, 3, 1);
        itemStyle.SetEdgeStyle(kStateNormal, 0xF, kBorderSolid, 1, 0x000000);
        itemStyle.SetSolidRender(kStateNormal, 0xFFFFFF);
        itemStyle.SetFontDesc(kStateNormal, 12, 0, u"宋体");
    }

    unsigned GetItemText(char16_t *text, unsigned cap) override
    {
        const unsigned length = static_cast<unsigned>(m_text.size());
        if (text == nullptr || cap == 0)
            return length;
        const unsigned n = length < cap - 1 ? length : cap - 1;
        m_text.copy(text, n);
        text[n] = 0;
        return n;
    }
    void SetItemText(const char16_t *text) override { m_text = text != nullptr ? text : u""; }
    XPageItem *HitItem(int, int) override { return nullptr; }

    void DrawBody(XPainter *painter, const BOUND_t *) override
    {
        const BOUND_t area = {0, 0, scroll.width, scroll.height};
        painter->SetFonter(&style);
        painter->SetTextColor(style.textColor != 0xFFFFFFFF ? style.textColor : 0);
        painter->DrawText(m_text.c_str(), static_cast<int>(m_text.size()), &area, 0);
    }

    // Sizes the item to the text, measured with the window's painter.
    void FitText(XPainter *measurer)
    {
        UpdateStyleDesc(0);
        SIZE_t size = {0, 0};
        if (measurer != nullptr) {
            measurer->SetFonter(&style);
            measurer->CalcTextSize(m_text.c_str(), static_cast<int>(m_text.size()), 0, &size);
        }
        scroll.width = size.cx;
        scroll.height = size.cy;
        minWidth = minHeight = 0;
        CalcExtentSize(0);
        UpdateStyleDesc(0x10);
    }

private:
    std::u16string m_text;
};

} // namespace

void XPageWindow::CreatePrompter()
{
    if (m_tip != nullptr)
        return;
    auto *tip = new XPromptItem;
    if (m_root.AddItem(tip) == nullptr) {
        delete tip;
        return;
    }
    m_tip = tip;
}

void XPageWindow::ArmPrompter(XPageItem *item)
{
    if (item == nullptr || !IsLiveItem(item))
        return;
    CreatePrompter();
    if (m_tip == nullptr)
        return;
    m_tipFor = item;
    m_tipTicks = 0;
    SetTimer(uintptr_t{kTimerPrompter}, kPrompterElapse);
}

void XPageWindow::HidePrompter()
{
    m_tipFor = nullptr;
    m_tipTicks = 0;
    KillTimer(uintptr_t{kTimerPrompter});
    if (m_tip != nullptr && (m_tip->itemFlags & kItemVisible))
        m_tip->ShowItem(0);
}

void XPageWindow::TickPrompter()
{
    if (m_tipFor == nullptr || m_tip == nullptr) {
        KillTimer(uintptr_t{kTimerPrompter});
        return;
    }
    if (m_tipTicks < kPrompterShowTick) {
        ++m_tipTicks;
        return;
    }
    KillTimer(uintptr_t{kTimerPrompter});
    ShowPrompter();
}

void XPageWindow::ShowPrompter()
{
    XPageItem *item = m_tipFor;
    if (item == nullptr || !IsLiveItem(item) || item->GetPrompter() == nullptr ||
        !item->IsVisible())
        return;
    auto *tip = static_cast<XPromptItem *>(m_tip);
    tip->SetItemText(item->GetPrompter());
    tip->FitText(GetPainter());
    BOUND_t at;
    item->GetPlace(kPlaceWindow, &at);
    BOUND_t bound = {at.x + kPrompterOffset, at.y - kPrompterOffset - tip->place.height,
                     tip->place.width, tip->place.height};
    LimitPageRange(&bound);
    tip->MovePlace(&bound, 1);
    tip->ShowItem(1);
    tip->Invalidate(nullptr, 0);
}
