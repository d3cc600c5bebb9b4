#pragma once
// The text label: a caption painted with the item's font, colour and alignment, wrapping
// inside its width unless its horizontal overflow extends it.

#include <cstdint>
#include <string>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

class XPainter;

class PAGEKIT_EXPORT XPageText : public XPageItem
{
public:
    XPageText();

    // Replaces the caption (null: none); once created the content size is measured again and
    // the item repaints.
    void SetItemText(const char16_t *text) override;
    // Copies at most cap - 1 units of the caption, terminated, when text is given; returns
    // the caption's length (0 without a caption).
    unsigned GetItemText(char16_t *text, unsigned cap) override;
    using XPageItem::GetItemText;
    // The caption in the body (the content size while the horizontal bar shows), laid out
    // by the style's alignment byte with the painter argument word added.
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    // Content = the caption's measured size + 6 x 2 (0 x 0 without a caption or before
    // creation): wrapped at the body width, or on one line (layout 0x10) when the
    // horizontal overflow extends the item.
    int CalcExtentSize(int mode) override;

    // The painter argument word added to the layout code of the caption (0 at first).
    void SetTextFlags(uint32_t flags) { m_textFlags = flags; }
    uint32_t GetTextFlags() const { return m_textFlags; }
    // The caption, null without one.
    const char16_t *GetCaption() const { return m_hasText ? m_text.c_str() : nullptr; }

protected:
    // The layout code DrawBody and CalcExtentSize give the text functions.
    uint32_t GetTextLayout() const;

private:
    std::u16string m_text;
    bool m_hasText = false;
    uint32_t m_textFlags = 0;
};
