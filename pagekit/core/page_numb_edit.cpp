// The number edit: digits by the mode of its format word, the sign toggled by '-', the
// point and the fixed decimals, regrouped as it goes and normalised when the focus leaves.
//
// The rules work on the plain text (no separators) and a caret counted in it; the shown
// text is the plain one regrouped by GetPartNumber.

#include <algorithm>
#include <cmath>
#include <string>

#include "pagekit/core/edit_number.h"
#include "pagekit/core/page_edit.h"

namespace {

constexpr uint32_t kDecimalsLimit = 20;

bool IsDigit(char16_t ch)
{
    return ch >= u'0' && ch <= u'9';
}

unsigned Decimals(uint32_t format)
{
    return std::min(NumberDecimals(format), kNumberMaxDecimals);
}

// The empty form of the fixed modes: '.' and a zero per decimal.
std::u16string EmptyForm(uint32_t format)
{
    std::u16string form(u".");
    form.append(Decimals(format), u'0');
    return form;
}

// One typed unit applied to plain with its caret; false when refused.
bool ApplyChar(std::u16string &plain, unsigned &caret, char16_t ch, uint32_t format, unsigned limit)
{
    const uint32_t mode = NumberMode(format);
    const size_t point = plain.find(u'.');
    const bool fixed = mode == kNumberModeFixed || mode == kNumberModeNumeric;
    if (ch == u'-') {
        if (!NumberSigned(format))
            return false;
        if (!plain.empty() && plain[0] == u'-') {
            plain.erase(0, 1);
            caret = caret > 0 ? caret - 1 : 0;
        } else {
            plain.insert(0, 1, u'-');
            ++caret;
        }
        return true;
    }
    if (ch == u'.') {
        if (mode == kNumberModeInteger || Decimals(format) == 0)
            return false;
        if (point != std::u16string::npos) {
            caret = static_cast<unsigned>(point) + 1;
            return true;
        }
        if (plain.size() + 1 + (fixed ? Decimals(format) : 0) > limit)
            return false;
        // Mode 1 puts the point at the caret; the fixed modes append it with the zeros.
        const unsigned at = fixed ? static_cast<unsigned>(plain.size()) : caret;
        plain.insert(at, 1, u'.');
        if (fixed)
            plain.append(Decimals(format), u'0');
        caret = at + 1;
        return true;
    }
    if (!IsDigit(ch))
        return false;
    if (caret == 0 && !plain.empty() && plain[0] == u'-')
        caret = 1; // digits go after the sign
    if (point != std::u16string::npos && caret > point) {
        const size_t decimals = plain.size() - point - 1;
        if (fixed) {
            // The fixed decimals are typed over.
            if (caret >= plain.size())
                return false;
            plain[caret++] = ch;
            return true;
        }
        if (decimals >= Decimals(format))
            return false;
    }
    if (plain.size() >= limit)
        return false;
    plain.insert(caret++, 1, ch);
    return true;
}

} // namespace

XNumbEdit::XNumbEdit()
{
    extraFlags |= kEditNumber;
    m_limit = kNumberLimit;
    Initialize();
}

void XNumbEdit::SetFormat(uint32_t format)
{
    if (NumberDecimals(format) > kDecimalsLimit)
        format = (format & ~kNumberDecimalsMask) | kNumberMaxDecimals;
    m_format = format;
    Initialize();
}

void XNumbEdit::Initialize()
{
    extraFlags &= ~kEditMultiLine;
    if (NumberMode(m_format) == kNumberModeFixed)
        XPageEdit::SetItemText(EmptyForm(m_format).c_str());
    else
        XPageEdit::SetItemText(u"");
}

std::u16string XNumbEdit::Plain(unsigned *caret) const
{
    std::u16string plain;
    const unsigned at = caret != nullptr ? *caret : 0;
    unsigned moved = 0;
    for (unsigned i = 0; i < m_first->length; ++i) {
        if (m_first->text[i] == u',')
            continue;
        if (i < at)
            ++moved;
        plain.push_back(m_first->text[i]);
    }
    if (caret != nullptr)
        *caret = moved;
    return plain;
}

void XNumbEdit::WritePlain(const std::u16string &plain, unsigned caret, bool typed)
{
    // Room for the digits and the separators regrouping adds.
    std::u16string shown(plain);
    shown.resize(plain.size() + plain.size() / 3 + 2);
    unsigned at = caret;
    unsigned n = static_cast<unsigned>(plain.size());
    if (NumberGrouped(m_format))
        n = GetPartNumber(shown.data(), static_cast<unsigned>(shown.size()), &at);
    shown.resize(n);
    if (shown != std::u16string(m_first->text, m_first->length)) {
        const unsigned limit = m_limit;
        m_limit = 0; // the limit counts typed units, not the separators
        ReplaceRange(0, m_total, shown.data(), n, kUndoOther, typed);
        m_limit = limit;
    }
    MoveCaret(at, false);
}

void XNumbEdit::SetItemText(const char16_t *text)
{
    std::u16string plain = NumberMode(m_format) == kNumberModeFixed ? EmptyForm(m_format) : u"";
    unsigned caret = 0;
    for (const char16_t *p = text; p != nullptr && *p != 0; ++p)
        ApplyChar(plain, caret, *p, m_format, m_limit);
    std::u16string shown(plain);
    shown.resize(plain.size() + plain.size() / 3 + 2);
    unsigned n = static_cast<unsigned>(plain.size());
    if (NumberGrouped(m_format))
        n = GetPartNumber(shown.data(), static_cast<unsigned>(shown.size()), nullptr);
    shown.resize(n);
    const unsigned limit = m_limit;
    m_limit = 0;
    XPageEdit::SetItemText(shown.c_str());
    m_limit = limit;
}

int XNumbEdit::InputChar(char16_t ch)
{
    if (!CanChange())
        return 0;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    if (caret != anchor && (IsDigit(ch) || ch == u'.'))
        DeleteInputer(0);
    caret = GetCaretPos();
    std::u16string plain = Plain(&caret);
    if (!ApplyChar(plain, caret, ch, m_format, m_limit))
        return 0;
    WritePlain(plain, caret, true);
    return 1;
}

int XNumbEdit::InputText(const char16_t *text)
{
    if (!CanChange() || text == nullptr)
        return 0;
    unsigned caret = GetCaretPos();
    std::u16string plain = Plain(&caret);
    bool any = false;
    for (const char16_t *p = text; *p != 0; ++p)
        any = ApplyChar(plain, caret, *p, m_format, m_limit) || any;
    if (any)
        WritePlain(plain, caret, true);
    return any ? 1 : 0;
}

int XNumbEdit::DeleteInputer(unsigned backwards)
{
    if (!CanChange())
        return 0;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    unsigned from = std::min(caret, anchor), to = std::max(caret, anchor);
    std::u16string plain = Plain(&from);
    Plain(&to);
    const bool fixed =
        NumberMode(m_format) == kNumberModeFixed || NumberMode(m_format) == kNumberModeNumeric;
    if (from == to) {
        if (backwards != 0) {
            if (from == 0)
                return 0;
            to = from--;
        } else {
            if (from >= plain.size())
                return 0;
            to = from + 1;
        }
    }
    // In the fixed modes the point stays and the decimals become zeros.
    const size_t point = plain.find(u'.');
    const bool keepPoint = fixed && NumberMode(m_format) == kNumberModeFixed;
    std::u16string out;
    unsigned caretAfter = from;
    for (unsigned i = 0; i < plain.size(); ++i) {
        const bool gone = i >= from && i < to;
        if (!gone) {
            out.push_back(plain[i]);
        } else if (point != std::u16string::npos && i == point && keepPoint) {
            out.push_back(u'.');
        } else if (fixed && point != std::u16string::npos && i > point) {
            out.push_back(u'0');
        }
    }
    if (backwards == 0 && from + 1 == to && out.size() == plain.size())
        caretAfter = to; // Delete over a kept point or decimal steps over it
    WritePlain(out, std::min<unsigned>(caretAfter, static_cast<unsigned>(out.size())), true);
    return 1;
}

int XNumbEdit::IsInputEmpty()
{
    if (m_total == 0)
        return 1;
    const uint32_t mode = NumberMode(m_format);
    if (mode != kNumberModeFixed && mode != kNumberModeNumeric)
        return 0;
    return std::u16string(m_first->text, m_first->length) == EmptyForm(m_format) ? 1 : 0;
}

void XNumbEdit::Normalise()
{
    const uint32_t mode = NumberMode(m_format);
    if (mode == kNumberModeInteger)
        return;
    char16_t text[kNumberTextSize];
    if (IsInputEmpty()) {
        if (mode == kNumberModeNumeric && m_total > 0)
            WritePlain(u"", 0, false);
        return;
    }
    double value = 0;
    GetStrDouble(&value, Plain(nullptr).c_str());
    const unsigned n = SetStrDouble(value, text, m_format);
    const std::u16string plain(text, n);
    unsigned caret = 0;
    std::u16string stripped;
    for (char16_t ch : plain) {
        if (ch != u',')
            stripped.push_back(ch);
    }
    caret = static_cast<unsigned>(stripped.size());
    WritePlain(stripped, caret, false);
}

int XNumbEdit::OnMessage(XMessage_t *message)
{
    if ((message->code & 0xFFFF) == XMSG_FOCUSOUT && CanChange())
        Normalise();
    return XPageEdit::OnMessage(message);
}

// ---------------------------------------------------------------------------------------
// Numbers in and out
// ---------------------------------------------------------------------------------------

void XNumbEdit::SetNumber(int value)
{
    SetNumber(static_cast<int64_t>(value));
}

void XNumbEdit::SetNumber(int64_t value)
{
    if (NumberMode(m_format) != kNumberModeInteger) {
        SetNumber(static_cast<double>(value));
        return;
    }
    char16_t text[kNumberTextSize];
    SetStrInteger(value, text, m_format);
    SetItemText(text);
}

void XNumbEdit::SetNumber(double value)
{
    char16_t text[kNumberTextSize];
    SetStrDouble(value, text, m_format);
    SetItemText(text);
}

int XNumbEdit::GetNumber(int *value)
{
    int64_t wide = 0;
    const int got = GetNumber(&wide);
    *value = static_cast<int>(wide);
    return got;
}

int XNumbEdit::GetNumber(int64_t *value)
{
    *value = 0;
    if (IsInputEmpty())
        return 0;
    if (NumberMode(m_format) == kNumberModeInteger) {
        GetStrInteger(value, Plain(nullptr).c_str());
        return 1;
    }
    double d = 0;
    GetStrDouble(&d, Plain(nullptr).c_str());
    *value = static_cast<int64_t>(std::llround(std::clamp(d, -9.2e18, 9.2e18)));
    return 1;
}

int XNumbEdit::GetNumber(double *value)
{
    *value = 0;
    if (IsInputEmpty())
        return 0;
    GetStrDouble(value, Plain(nullptr).c_str());
    return 1;
}
