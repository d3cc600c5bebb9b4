// The text label.

#include "pagekit/items/page_text.h"

#include <algorithm>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_viewer.h"
#include "platform/panekit/paint/xpainter.h"

namespace {

// Room added around the measured caption.
constexpr int32_t kTextExtraWidth = 6;
constexpr int32_t kTextExtraHeight = 2;
// Layout bit of the text functions: one row, no wrapping.
constexpr uint32_t kTextNoWrap = 0x10;

} // namespace

XPageText::XPageText()
{
    kind = kKindText;
}

void XPageText::SetItemText(const char16_t *text)
{
    m_hasText = text != nullptr;
    m_text = text != nullptr ? text : u"";
    if (!(itemFlags & kItemCreated))
        return;
    CalcExtentSize(1);
    Invalidate(nullptr, 0);
}

unsigned XPageText::GetItemText(char16_t *text, unsigned cap)
{
    const unsigned length = m_hasText ? static_cast<unsigned>(m_text.size()) : 0;
    if (text != nullptr && cap > 0) {
        const unsigned n = std::min(length, cap - 1);
        std::copy_n(m_text.data(), n, text);
        text[n] = 0;
    }
    return length;
}

uint32_t XPageText::GetTextLayout() const
{
    const uint32_t align = style.layoutWord == kStyleUnsetWord ? 0 : style.layoutWord & 0xFF;
    return align | m_textFlags;
}

void XPageText::DrawBody(XPainter *painter, const BOUND_t *)
{
    if (painter == nullptr || !m_hasText || m_text.empty())
        return;
    painter->SetFonter(&style);
    painter->SetTextColor(style.textColor);
    BOUND_t area = {0, 0, body.width, body.height};
    if (itemFlags & kItemHorzBar)
        area = {0, 0, scroll.width, scroll.height};
    painter->DrawText(m_text.c_str(), static_cast<int>(m_text.size()), &area, GetTextLayout());
}

int XPageText::CalcExtentSize(int mode)
{
    SIZE_t size = {0, 0};
    XPainter *measure =
        form != nullptr && (itemFlags & kItemCreated) ? form->GetPainter() : nullptr;
    if (m_hasText && !m_text.empty() && measure != nullptr) {
        UpdateStyleDesc(0);
        measure->SetFonter(&style);
        const bool extend = GetStyleField(itemFlags, kItemOverflowX) == kOverflowExtend;
        uint32_t layout = GetTextLayout();
        if (extend)
            layout |= kTextNoWrap;
        measure->CalcTextRange(m_text.c_str(), static_cast<int>(m_text.size()), layout,
                               extend ? 0 : body.width, &size);
        size.cx += kTextExtraWidth;
        size.cy += kTextExtraHeight;
    }
    scroll.width = size.cx;
    scroll.height = size.cy;
    return XPageItem::CalcExtentSize(mode);
}
