// An edit driven by a byte script. Byte 0 picks the kind (plain, mask or number edit),
// byte 1 the flags (multi-line, password), byte 2 a length limit, byte 3 the undo depth;
// then each step is an opcode byte and its operands: a key with modifiers, a UTF-16 unit
// typed as a character, a paste of units, a selection, an undo or redo, a text set.
// The checks after every step: no lone surrogate half in the text, the limit kept by
// what typing and pasting added, and the total length equal to GetItemText's.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "pagekit/core/page_edit.h"

namespace {

bool IsHigh(char16_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}
bool IsLow(char16_t ch)
{
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

void Check(XPageEdit *edit, unsigned limit)
{
    const unsigned total = edit->GetTotalLength();
    std::u16string text(total + 1, u'#');
    if (edit->GetItemText(text.data(), total + 1) != total ||
        edit->GetItemText(nullptr, 0) != total)
        std::abort();
    if (text[total] != 0)
        std::abort();
    for (unsigned i = 0; i < total; ++i) {
        if (IsHigh(text[i]) && (i + 1 >= total || !IsLow(text[i + 1])))
            std::abort();
        if (IsLow(text[i]) && (i == 0 || !IsHigh(text[i - 1])))
            std::abort();
        if (IsHigh(text[i]))
            ++i;
    }
    if (limit > 0 && total > limit && !(edit->extraFlags & (kEditMask | kEditNumber)))
        std::abort();
}

char16_t Unit(const uint8_t *p)
{
    return static_cast<char16_t>(p[0] | p[1] << 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4 || size > 4096)
        return 0;
    std::unique_ptr<XPageEdit> edit;
    switch (data[0] % 3) {
    case 0:
        edit = std::make_unique<XPageEdit>();
        break;
    case 1: {
        auto *mask = new XMaskEdit;
        mask->SetMask(u"$$$$-$$-$$ ##%%??");
        edit.reset(mask);
        break;
    }
    default: {
        auto *numb = new XNumbEdit;
        numb->SetFormat(static_cast<uint32_t>(data[1] % 4) << 24 | (data[1] >> 2) | 0x10100);
        edit.reset(numb);
        break;
    }
    }
    if (data[0] % 3 == 0) {
        edit->extraFlags |= data[1] & (kEditMultiLine | kEditPassword);
        edit->LimitText(data[2]);
    }
    edit->SetUndoNumber(data[3] % 5);
    const unsigned limit = data[0] % 3 == 0 ? data[2] : 0;

    size_t i = 4;
    while (i < size) {
        const uint8_t op = data[i++];
        switch (op % 8) {
        case 0:
        case 1:
            // A character: two bytes of a unit.
            if (i + 1 >= size)
                return 0;
            edit->InputChar(Unit(data + i));
            i += 2;
            break;
        case 2: {
            // A key with Ctrl (bit 7) and Shift (bit 6) of its operand.
            if (i >= size)
                return 0;
            XMessage_t key = {};
            key.code = XMSG_KEYDOWN;
            key.key = data[i] & 0x3F ? (data[i] & 0x3F) + 7 : 46;
            key.flags = (data[i] & 0x80 ? uint32_t{XMSG_STATE_CTRL} : 0u) |
                        (data[i] & 0x40 ? uint32_t{XMSG_STATE_SHIFT} : 0u);
            ++i;
            edit->OnMessage(&key);
            break;
        }
        case 3: {
            // A paste of up to 15 units.
            if (i >= size)
                return 0;
            const size_t want = data[i++] & 0xF;
            const size_t n = std::min<size_t>(want, (size - i) / 2);
            std::u16string text;
            for (size_t k = 0; k < n; ++k)
                text.push_back(Unit(data + i + 2 * k));
            i += 2 * n;
            edit->InputText(text.c_str());
            break;
        }
        case 4:
            if (i + 1 >= size)
                return 0;
            edit->SetChoice(data[i], data[i + 1]);
            i += 2;
            break;
        case 5:
            edit->DeleteInputer(op >> 7);
            break;
        case 6:
            if (op & 0x80)
                edit->Redo();
            else
                edit->Undo();
            break;
        default: {
            // A set text: units up to a zero unit or the end.
            std::u16string text;
            while (i + 1 < size && Unit(data + i) != 0 && text.size() < 64) {
                text.push_back(Unit(data + i));
                i += 2;
            }
            i += 2;
            edit->SetItemText(text.c_str());
            break;
        }
        }
        Check(edit.get(), limit);
    }
    return 0;
}
