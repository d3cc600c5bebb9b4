// The mask edit: a single line as long as its mask, typed over placeholder by placeholder.

#include <algorithm>
#include <cstring>

#include "pagekit/core/edit_mask.h"
#include "pagekit/core/page_edit.h"

namespace {

// Units of a mask edit's empty text at most.
constexpr unsigned kMaskEmptyMax = 480;

bool IsSurrogate(char16_t ch)
{
    return ch >= 0xD800 && ch <= 0xDFFF;
}

unsigned Length(const char16_t *s)
{
    return s == nullptr ? 0 : static_cast<unsigned>(std::char_traits<char16_t>::length(s));
}

} // namespace

XMaskEdit::XMaskEdit()
{
    extraFlags |= kEditMask;
    Initialize();
}

void XMaskEdit::SetMask(const char16_t *mask)
{
    const unsigned n = std::min(Length(mask), kMaskMaxLength);
    std::memcpy(m_mask, mask, n * sizeof(char16_t));
    m_mask[n] = 0;
    Initialize();
}

void XMaskEdit::Initialize()
{
    extraFlags &= ~kEditMultiLine;
    char16_t empty[kMaskEmptyMax + 1];
    GetMaskEmpty(m_mask, empty, kMaskEmptyMax + 1);
    XPageEdit::SetItemText(empty);
}

std::u16string XMaskEdit::Value() const
{
    return std::u16string(m_first->text, m_first->length);
}

void XMaskEdit::WriteValue(const std::u16string &value, unsigned caret)
{
    if (value != Value())
        ReplaceRange(0, m_total, value.data(), static_cast<unsigned>(value.size()), kUndoOther,
                     true);
    MoveCaret(caret, false);
}

void XMaskEdit::SetItemText(const char16_t *text)
{
    char16_t value[kMaskMaxLength + 1];
    SetMaskValue(m_mask, value, text != nullptr ? text : u"");
    XPageEdit::SetItemText(value);
}

int XMaskEdit::InputChar(char16_t ch)
{
    // A pair would take two positions of the mask and shift what follows: refused.
    if (!CanChange() || IsSurrogate(ch) || m_mask[0] == 0)
        return 0;
    std::u16string value = Value();
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    for (unsigned i = std::min(caret, anchor); i < std::max(caret, anchor) && i < value.size();
         ++i) {
        if (IsMaskHolder(m_mask[i]))
            value[i] = kMaskBlank;
    }
    const unsigned length = Length(m_mask);
    const unsigned at = GetMaskEntry(0, m_mask, std::min(caret, anchor));
    if (at >= value.size() || !IsMaskHolder(m_mask[at]))
        return 0;
    value[at] = MaskAccepts(m_mask[at], ch) ? ch : kMaskBlank;
    unsigned next = at + 1;
    while (next < length && !IsMaskHolder(m_mask[next]))
        ++next;
    WriteValue(value, next);
    return 1;
}

int XMaskEdit::InputText(const char16_t *text)
{
    if (!CanChange() || m_mask[0] == 0 || text == nullptr)
        return 0;
    std::u16string value = Value();
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    const unsigned at = GetMaskEntry(0, m_mask, std::min(caret, anchor));
    if (at >= value.size())
        return 0;
    // No pair goes in: each would take two positions.
    std::u16string plain;
    for (const char16_t *p = text; *p != 0; ++p)
        plain.push_back(IsSurrogate(*p) ? kMaskBlank : *p);
    const unsigned written = SetMaskValue(m_mask + at, value.data() + at, plain.c_str(),
                                          static_cast<unsigned>(value.size()) - at);
    WriteValue(value, at + written);
    return 1;
}

int XMaskEdit::DeleteInputer(unsigned backwards)
{
    if (!CanChange() || m_mask[0] == 0)
        return 0;
    std::u16string value = Value();
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    unsigned from = std::min(caret, anchor), to = std::max(caret, anchor);
    if (from == to) {
        // The placeholder before the caret (Backspace) or at or after it (Delete).
        if (backwards != 0) {
            while (from > 0 && !IsMaskHolder(m_mask[from - 1]))
                --from;
            if (from == 0)
                return 0;
            to = from--;
        } else {
            while (from < value.size() && !IsMaskHolder(m_mask[from]))
                ++from;
            if (from >= value.size())
                return 0;
            to = from + 1;
        }
    }
    for (unsigned i = from; i < to && i < value.size(); ++i) {
        if (IsMaskHolder(m_mask[i]))
            value[i] = kMaskBlank;
    }
    WriteValue(value, from);
    return 1;
}

int XMaskEdit::IsInputEmpty()
{
    return IsMaskEmpty(m_mask, Value().c_str());
}

int XMaskEdit::OnMessage(XMessage_t *message)
{
    const int handled = XPageEdit::OnMessage(message);
    // Releasing the button without a selection puts the caret after the last filled
    // placeholder.
    if ((message->code & 0xFFFF) == XMSG_BUTTONUP && m_anchorLine == nullptr && m_mask[0] != 0) {
        const std::u16string value = Value();
        MoveCaret(GetMaskEntry(m_mask, value.c_str(), GetCaretPos()), false);
    }
    return handled;
}
