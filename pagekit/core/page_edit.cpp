// The edit's text: the list of lines, positions over it, the one place that changes it,
// setting and getting, the selection, undo and the notifications.

#include "pagekit/core/page_edit.h"

#include <algorithm>
#include <cstring>

#include "pagekit/core/item_kind.h"
#include "pagekit/core/page_window.h"

namespace {

bool IsHigh(char16_t ch)
{
    return ch >= 0xD800 && ch <= 0xDBFF;
}
bool IsLow(char16_t ch)
{
    return ch >= 0xDC00 && ch <= 0xDFFF;
}

// text without zero units and lone surrogate halves.
std::u16string Sound(const char16_t *text, unsigned length)
{
    std::u16string out;
    out.reserve(length);
    for (unsigned i = 0; i < length; ++i) {
        const char16_t ch = text[i];
        if (ch == 0 || IsLow(ch))
            continue;
        if (IsHigh(ch)) {
            if (i + 1 < length && IsLow(text[i + 1])) {
                out.push_back(ch);
                out.push_back(text[++i]);
            }
            continue;
        }
        out.push_back(ch);
    }
    return out;
}

unsigned Length(const char16_t *text)
{
    return text == nullptr ? 0 : static_cast<unsigned>(std::char_traits<char16_t>::length(text));
}

// The lines of text: split at line feeds, a CR before each dropped.
std::vector<std::u16string> SplitLines(const std::u16string &text)
{
    std::vector<std::u16string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n') {
            if (!lines.back().empty() && lines.back().back() == u'\r')
                lines.back().pop_back();
            lines.emplace_back();
        } else {
            lines.back().push_back(text[i]);
        }
    }
    return lines;
}

// Units of lines in the text: each break after the first counts 2.
size_t Units(const std::vector<std::u16string> &lines)
{
    size_t n = 0;
    for (const std::u16string &line : lines)
        n += line.size();
    return n + 2 * (lines.size() - 1);
}

// Cuts lines to at most room units, never inside a pair; a break needs 2.
void CutLines(std::vector<std::u16string> &lines, size_t room)
{
    size_t used = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k > 0) {
            if (used + 2 > room) {
                lines.resize(k);
                return;
            }
            used += 2;
        }
        std::u16string &line = lines[k];
        if (used + line.size() > room) {
            size_t keep = room - used;
            if (keep > 0 && IsHigh(line[keep - 1]))
                --keep;
            line.resize(keep);
            lines.resize(k + 1);
            return;
        }
        used += line.size();
    }
}

} // namespace

XPageEdit::XPageEdit()
{
    kind = kKindEdit;
    itemFlags = kItemVisible | kItemEditable;
    m_first = m_last = NewLine(u"", 0, nullptr);
    m_first->prev = m_first->next = nullptr;
    m_lineCount = 1;
    m_caretLine = m_first;
}

XPageEdit::~XPageEdit()
{
    FreeLines(m_first);
}

// ---------------------------------------------------------------------------------------
// Line storage
// ---------------------------------------------------------------------------------------

XTextLine *XPageEdit::NewLine(const char16_t *text, unsigned length, XTextLine *reuse)
{
    XTextLine *line = reuse != nullptr ? reuse : new XTextLine{};
    if (reuse == nullptr) {
        line->text = nullptr;
        line->capacity = 0;
    }
    SetLineText(line, text, length);
    return line;
}

void XPageEdit::SetLineText(XTextLine *line, const char16_t *text, unsigned length)
{
    const unsigned spare = IsMultiLine() ? kEditSpareMulti : kEditSpareSingle;
    if (line->text == nullptr || line->capacity < length + 1 ||
        line->capacity > length + 1 + spare) {
        const unsigned capacity = length + 1 + std::min(length / 2 + 8, spare);
        auto *buffer = new char16_t[capacity];
        if (text != nullptr)
            std::memcpy(buffer, text, length * sizeof(char16_t));
        delete[] line->text;
        line->text = buffer;
        line->capacity = capacity;
    } else if (text != nullptr) {
        std::memmove(line->text, text, length * sizeof(char16_t));
    }
    line->text[length] = 0;
    line->length = length;
    line->width = -1;
    line->rows = 0;
    m_caretMemo = false;
    if (m_rowLine == line && !m_rowPending)
        m_rowLine = nullptr;
}

void XPageEdit::FreeLines(XTextLine *from)
{
    if (from != nullptr)
        ForgetRows();
    while (from != nullptr) {
        XTextLine *next = from->next;
        delete[] from->text;
        delete from;
        from = next;
    }
}

void XPageEdit::Renumber(XTextLine *from)
{
    unsigned n = from != nullptr && from->prev != nullptr ? from->prev->lineNumber + 1 : 0;
    for (XTextLine *line = from; line != nullptr; line = line->next)
        line->lineNumber = n++;
    m_lineCount = m_last->lineNumber + 1;
}

// ---------------------------------------------------------------------------------------
// Positions
// ---------------------------------------------------------------------------------------

XTextLine *XPageEdit::Locate(unsigned pos, unsigned *offset) const
{
    unsigned start = 0;
    for (XTextLine *line = m_first;; line = line->next) {
        if (pos <= start + line->length || line->next == nullptr) {
            *offset = std::min(pos - std::min(pos, start), line->length);
            return line;
        }
        if (pos < start + line->length + 2) {
            *offset = line->length; // inside the break: the line's end
            return line;
        }
        start += line->length + 2;
    }
}

unsigned XPageEdit::PositionOf(const XTextLine *line, unsigned offset) const
{
    unsigned pos = offset;
    for (const XTextLine *p = line->prev; p != nullptr; p = p->prev)
        pos += p->length + 2;
    return pos;
}

unsigned XPageEdit::Snap(unsigned pos, bool forward) const
{
    unsigned start = 0;
    for (XTextLine *line = m_first; line != nullptr; line = line->next) {
        const unsigned end = start + line->length;
        if (pos <= end) {
            const unsigned at = pos - start;
            if (at > 0 && at < line->length && IsHigh(line->text[at - 1]) && IsLow(line->text[at]))
                return forward ? pos + 1 : pos - 1;
            return pos;
        }
        if (line->next != nullptr && pos == end + 1)
            return forward ? end + 2 : end;
        start = end + 2;
    }
    return m_total;
}

unsigned XPageEdit::GetCaretPos() const
{
    return PositionOf(m_caretLine, m_caretPos & ~kCaretRowEnd);
}

std::u16string XPageEdit::GetRange(unsigned from, unsigned to) const
{
    std::u16string out;
    if (from >= to)
        return out;
    unsigned offset = 0;
    const XTextLine *line = Locate(from, &offset);
    unsigned pos = from;
    while (line != nullptr && pos < to) {
        const unsigned take = std::min(line->length - offset, to - pos);
        out.append(line->text + offset, take);
        pos += take;
        if (pos < to && line->next != nullptr) {
            out.append(u"\r\n", std::min(2u, to - pos));
            pos += 2;
        }
        line = line->next;
        offset = 0;
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// The one change of the text
// ---------------------------------------------------------------------------------------

unsigned XPageEdit::ReplaceRange(unsigned from, unsigned to, const char16_t *text, unsigned length,
                                 uint32_t kind, bool typed)
{
    from = Snap(std::min(from, m_total), false);
    to = Snap(std::min(to, m_total), true);
    if (from > to)
        std::swap(from, to);
    std::vector<std::u16string> lines = SplitLines(Sound(text, length));
    if (!IsMultiLine()) {
        lines.resize(1);
        const size_t cut = lines[0].find_first_of(u"\r\n");
        if (cut != std::u16string::npos)
            lines[0].resize(cut);
    }
    if (m_limit > 0 && kind != ~0u) {
        const unsigned rest = m_total - (to - from);
        CutLines(lines, m_limit > rest ? m_limit - rest : 0);
    }
    const unsigned inserted = static_cast<unsigned>(Units(lines));
    if (from == to && inserted == 0)
        return 0;
    const std::u16string removed = kind != ~0u ? GetRange(from, to) : std::u16string();

    // The head of the first line and the tail of the last one, around the new lines.
    unsigned fromOffset = 0, toOffset = 0;
    XTextLine *first = Locate(from, &fromOffset);
    XTextLine *last = Locate(to, &toOffset);
    if (first == last && lines.size() == 1 && m_rowLine == first && !m_rowPending) {
        m_rowPending = true; // re-wrapped from here on when next laid out
        m_rowEditAt = static_cast<int>(ShownOffset(first, fromOffset));
    } else if (m_rowLine != nullptr) {
        ForgetRows();
    }
    const std::u16string tail(last->text + toOffset, last->length - toOffset);
    XTextLine *after = last->next;
    if (last != first) {
        XTextLine *drop = first->next;
        last->next = nullptr;
        FreeLines(drop);
        first->next = after;
    }
    // Caret and anchor may have been on the lines that went.
    m_anchorLine = nullptr;
    m_caretLine = first;
    m_caretPos = 0;
    std::u16string head(first->text, fromOffset);
    head += lines[0];
    XTextLine *line = first;
    for (size_t k = 1; k < lines.size(); ++k) {
        SetLineText(line, head.data(), static_cast<unsigned>(head.size()));
        XTextLine *next = NewLine(u"", 0, nullptr);
        next->prev = line;
        next->next = nullptr;
        line->next = next;
        line = next;
        head = lines[k];
    }
    head += tail;
    SetLineText(line, head.data(), static_cast<unsigned>(head.size()));
    line->next = after;
    if (after != nullptr)
        after->prev = line;
    else
        m_last = line;
    m_total = m_total - (to - from) + inserted;
    if (last != first || lines.size() > 1)
        Renumber(first); // lines came or went: the numbers after them move

    if (kind != ~0u) {
        const std::u16string flat = GetRange(from, from + inserted);
        switch (kind) {
        case kUndoTyping:
            if (!removed.empty()) {
                m_undo.BeginStep(kUndoTyping);
                m_undo.RecordDelete(from, removed.data(), static_cast<unsigned>(removed.size()));
            }
            m_undo.RecordTyping(from, flat.data(), static_cast<unsigned>(flat.size()));
            break;
        case kUndoDelete:
            m_undo.RecordDeleteKey(from, removed.data(), static_cast<unsigned>(removed.size()));
            break;
        case kUndoBackspace:
            m_undo.RecordBackspace(from, removed.data(), static_cast<unsigned>(removed.size()));
            break;
        default:
            m_undo.BeginStep(kUndoOther);
            m_undo.RecordDelete(from, removed.data(), static_cast<unsigned>(removed.size()));
            m_undo.RecordInsert(from, flat.data(), static_cast<unsigned>(flat.size()));
            break;
        }
        if (to > from)
            OnDeleteText(from, to - from);
        if (inserted > 0)
            OnInsertText(from, inserted);
        m_caretLine = Locate(from + inserted, &m_caretPos);
        m_rememberX = kNoRememberedX;
        TextChanged(typed);
    }
    return inserted;
}

// ---------------------------------------------------------------------------------------
// Setting and getting
// ---------------------------------------------------------------------------------------

void XPageEdit::SetItemText(const char16_t *text)
{
    m_undo.Clear();
    m_pendingHigh = 0;
    std::vector<std::u16string> lines = SplitLines(Sound(text, Length(text)));
    if (!IsMultiLine())
        lines.resize(1);
    if (m_limit > 0)
        CutLines(lines, m_limit);
    // Existing buffers are reused where they fit; surplus lines go.
    XTextLine *line = m_first;
    XTextLine *prev = nullptr;
    for (const std::u16string &content : lines) {
        if (line == nullptr) {
            line = NewLine(u"", 0, nullptr);
            line->prev = prev;
            line->next = nullptr;
            prev->next = line;
        }
        SetLineText(line, content.data(), static_cast<unsigned>(content.size()));
        prev = line;
        line = line->next;
    }
    FreeLines(line);
    prev->next = nullptr;
    m_last = prev;
    Renumber(m_first);
    m_total = static_cast<unsigned>(Units(lines));
    m_caretLine = m_first;
    m_caretPos = 0;
    m_anchorLine = nullptr;
    m_rememberX = kNoRememberedX;
    scroll.x = scroll.y = 0;
    if (!(itemFlags & kItemCreated))
        return;
    CalcExtentSize(1);
    Invalidate(nullptr, 0);
    XMessage_t changed = {};
    changed.code = XMSG_TEXTCHANGE;
    changed.key = 0;
    changed.item = this;
    DispatchMessage(&changed);
    XMessage_t set = {};
    set.code = XMSG_TEXTSET;
    set.item = this;
    DispatchMessage(&set);
    PlaceCaret();
}

unsigned XPageEdit::GetItemText(char16_t *text, unsigned cap)
{
    if (text == nullptr)
        return m_total;
    if (cap == 0)
        return 0;
    unsigned n = 0;
    for (const XTextLine *line = m_first; line != nullptr; line = line->next) {
        for (unsigned i = 0; i < line->length; ++i) {
            const unsigned need = IsHigh(line->text[i]) && i + 1 < line->length ? 2 : 1;
            if (n + need >= cap) {
                text[n] = 0;
                return n;
            }
            text[n++] = line->text[i];
            if (need == 2)
                text[n++] = line->text[++i];
        }
        if (line->next != nullptr) {
            for (char16_t ch : {u'\r', u'\n'}) {
                if (n + 1 >= cap) {
                    text[n] = 0;
                    return n;
                }
                text[n++] = ch;
            }
        }
    }
    text[n] = 0;
    return n;
}

void XPageEdit::SetReadOnly(int readOnly)
{
    XPageItem::SetReadOnly(readOnly);
    Invalidate(nullptr, 0);
}

void XPageEdit::InsertText(const char16_t *text)
{
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    ReplaceRange(std::min(caret, anchor), std::max(caret, anchor), text, Length(text), kUndoOther,
                 false);
}

void XPageEdit::AppendText(const char16_t *text)
{
    ReplaceRange(m_total, m_total, text, Length(text), kUndoOther, false);
}

void XPageEdit::AppendLine(const char16_t *text, int length)
{
    if (!IsMultiLine())
        return;
    std::u16string line(u"\r\n");
    const unsigned n = length < 0 ? Length(text) : static_cast<unsigned>(length);
    for (unsigned i = 0; text != nullptr && i < n && text[i] != u'\r' && text[i] != u'\n'; ++i)
        line.push_back(text[i]);
    const bool empty = m_total == 0 && m_lineCount == 1;
    const unsigned skip = empty ? 2 : 0; // the first line of an empty edit needs no break
    ReplaceRange(m_total, m_total, line.data() + skip, static_cast<unsigned>(line.size()) - skip,
                 kUndoOther, false);
}

void XPageEdit::SetPlaceHolder(const char16_t *text)
{
    m_placeholder = text != nullptr ? text : u"";
    if (m_total == 0)
        Invalidate(nullptr, 0);
}

void XPageEdit::SetModifyState(int modified)
{
    if (modified != 0)
        extraFlags |= kEditModified;
    else
        extraFlags &= ~kEditModified;
}

// ---------------------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------------------

void XPageEdit::GetChoice(unsigned *caret, unsigned *anchor)
{
    const unsigned at = GetCaretPos();
    if (caret != nullptr)
        *caret = at;
    if (anchor != nullptr)
        *anchor = m_anchorLine != nullptr ? PositionOf(m_anchorLine, m_anchorPos) : at;
}

void XPageEdit::SetChoice(unsigned caret, unsigned anchor)
{
    caret = Snap(std::min(caret, m_total), false);
    anchor = Snap(std::min(anchor, m_total), false);
    m_caretLine = Locate(caret, &m_caretPos);
    if (anchor != caret)
        m_anchorLine = Locate(anchor, &m_anchorPos);
    else
        m_anchorLine = nullptr;
    m_rememberX = kNoRememberedX;
    Invalidate(nullptr, 0);
    EnsureVisible();
    PlaceCaret();
}

unsigned XPageEdit::GetSelection(char16_t *text, unsigned cap)
{
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    const std::u16string chosen = GetRange(std::min(caret, anchor), std::max(caret, anchor));
    if (text == nullptr || cap == 0)
        return static_cast<unsigned>(chosen.size());
    unsigned n = std::min(static_cast<unsigned>(chosen.size()), cap - 1);
    if (n > 0 && n < chosen.size() && IsHigh(chosen[n - 1]))
        --n;
    std::memcpy(text, chosen.data(), n * sizeof(char16_t));
    text[n] = 0;
    return n;
}

int XPageEdit::DeleteChoice()
{
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    if (caret == anchor || !CanChange())
        return 0;
    ReplaceRange(std::min(caret, anchor), std::max(caret, anchor), u"", 0, kUndoOther, false);
    return 1;
}

void XPageEdit::MoveCaret(unsigned pos, bool extend, bool rowEnd)
{
    pos = Snap(std::min(pos, m_total), false);
    const unsigned before = GetCaretPos();
    if (extend && m_anchorLine == nullptr) {
        m_anchorLine = m_caretLine;
        m_anchorPos = m_caretPos & ~kCaretRowEnd;
    }
    const bool hadSelection = m_anchorLine != nullptr;
    if (!extend)
        m_anchorLine = nullptr;
    m_caretLine = Locate(pos, &m_caretPos);
    if (rowEnd)
        m_caretPos |= kCaretRowEnd;
    if (m_anchorLine != nullptr && PositionOf(m_anchorLine, m_anchorPos) == pos)
        m_anchorLine = nullptr;
    if (hadSelection || m_anchorLine != nullptr || before != pos)
        Invalidate(nullptr, 0);
    EnsureVisible();
    PlaceCaret();
}

bool XPageEdit::CanChange() const
{
    return IsEditable() != 0 && !IsDisplayOnly();
}

// ---------------------------------------------------------------------------------------
// Undo
// ---------------------------------------------------------------------------------------

void XPageEdit::ApplyUndoStep(const XUndoStep *step, bool undo)
{
    unsigned caret = 0;
    const size_t n = step->actions.size();
    for (size_t k = 0; k < n; ++k) {
        const XUndoAction &a = step->actions[undo ? n - 1 - k : k];
        const auto length = static_cast<unsigned>(a.text.size());
        const bool insert = a.insert != undo;
        if (insert) {
            ReplaceRange(a.pos, a.pos, a.text.data(), length, ~0u, false);
            caret = a.pos + length;
        } else {
            ReplaceRange(a.pos, a.pos + length, u"", 0, ~0u, false);
            caret = a.pos;
        }
    }
    m_caretLine = Locate(std::min(caret, m_total), &m_caretPos);
    m_anchorLine = nullptr;
    m_rememberX = kNoRememberedX;
    TextChanged(false);
}

int XPageEdit::Undo()
{
    if (!CanChange())
        return 0;
    const XUndoStep *step = m_undo.Undo();
    if (step == nullptr)
        return 0;
    ApplyUndoStep(step, true);
    return 1;
}

int XPageEdit::Redo()
{
    if (!CanChange())
        return 0;
    const XUndoStep *step = m_undo.Redo();
    if (step == nullptr)
        return 0;
    ApplyUndoStep(step, false);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Notifications and the virtual slots
// ---------------------------------------------------------------------------------------

void XPageEdit::TextChanged(bool typed)
{
    extraFlags |= kEditModified;
    if (!(itemFlags & kItemCreated))
        return;
    CalcExtentSize(1);
    Invalidate(nullptr, 0);
    XMessage_t changed = {};
    changed.code = XMSG_TEXTCHANGE;
    changed.key = typed ? 1 : 0;
    changed.item = this;
    DispatchMessage(&changed);
    EnsureVisible();
    PlaceCaret();
}

void XPageEdit::OnInsertText(unsigned /*pos*/, unsigned /*length*/) {}
void XPageEdit::OnDeleteText(unsigned /*pos*/, unsigned /*length*/) {}

void XPageEdit::UpdateInputer(unsigned long /*flags*/)
{
    XPageWindow *window = GetPageWindow();
    if (window == nullptr || window->GetFocusItem() != this)
        return;
    window->EnableImeInputer(!IsPassword() && CanChange());
}

int XPageEdit::InputChar(char16_t ch)
{
    if (!CanChange())
        return 0;
    char16_t units[2] = {ch, 0};
    unsigned n = 1;
    if (IsHigh(ch)) {
        m_pendingHigh = ch; // waits for its low half
        return 1;
    }
    if (IsLow(ch)) {
        if (m_pendingHigh == 0)
            return 0;
        units[0] = m_pendingHigh;
        units[1] = ch;
        n = 2;
    }
    m_pendingHigh = 0;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    ReplaceRange(std::min(caret, anchor), std::max(caret, anchor), units, n, kUndoTyping, true);
    return 1;
}

int XPageEdit::InputText(const char16_t *text)
{
    if (!CanChange())
        return 0;
    m_pendingHigh = 0;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    ReplaceRange(std::min(caret, anchor), std::max(caret, anchor), text, Length(text), kUndoOther,
                 true);
    return 1;
}

int XPageEdit::DeleteInputer(unsigned backwards)
{
    if (!CanChange())
        return 0;
    unsigned caret = 0, anchor = 0;
    GetChoice(&caret, &anchor);
    if (caret != anchor) {
        ReplaceRange(std::min(caret, anchor), std::max(caret, anchor), u"", 0, kUndoOther, true);
        return 1;
    }
    if (backwards != 0) {
        if (caret == 0)
            return 0;
        const unsigned from = Snap(caret - 1, false);
        ReplaceRange(from, caret, u"", 0, kUndoBackspace, true);
        return 1;
    }
    if (caret >= m_total)
        return 0;
    ReplaceRange(caret, Snap(caret + 1, true), u"", 0, kUndoDelete, true);
    return 1;
}

void XPageEdit::Initialize() {}

int XPageEdit::IsInputEmpty()
{
    return m_total == 0;
}

void XPageEdit::OnCreateItem()
{
    XPageItem::OnCreateItem();
    ForgetRows();
    for (XTextLine *line = m_first; line != nullptr; line = line->next) {
        line->width = -1; // measured again in the form's fonts
        line->rows = 0;
    }
    CalcExtentSize(0);
}
