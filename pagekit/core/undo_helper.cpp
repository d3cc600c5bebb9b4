#include "pagekit/core/undo_helper.h"

#include <cstddef>

void XUndoHelper::SetDepth(unsigned depth)
{
    m_depth = depth;
    if (m_steps.size() > depth)
        m_steps.resize(depth);
    if (m_cursor > m_steps.size())
        m_cursor = m_steps.size();
}

void XUndoHelper::Clear()
{
    m_steps.clear();
    m_cursor = 0;
    m_open = false;
}

void XUndoHelper::BeginStep(uint32_t kind)
{
    if (m_depth == 0)
        return;
    m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(m_cursor));
    m_cursor = 0;
    XUndoStep step;
    step.kind = kind;
    m_steps.insert(m_steps.begin(), std::move(step));
    if (m_steps.size() > m_depth)
        m_steps.resize(m_depth);
    m_open = true;
}

XUndoStep *XUndoHelper::Continuing(uint32_t kind)
{
    if (m_depth == 0 || m_cursor != 0 || m_steps.empty() || m_steps.front().kind != kind)
        return nullptr;
    return &m_steps.front();
}

void XUndoHelper::Add(bool insert, unsigned pos, const char16_t *text, unsigned length,
                      uint32_t kind)
{
    if (m_depth == 0 || length == 0)
        return;
    if (!m_open || m_cursor != 0 || m_steps.empty())
        BeginStep(kind);
    m_steps.front().actions.push_back({insert, pos, std::u16string(text, length)});
}

void XUndoHelper::RecordInsert(unsigned pos, const char16_t *text, unsigned length)
{
    Add(true, pos, text, length, kUndoOther);
}

void XUndoHelper::RecordDelete(unsigned pos, const char16_t *text, unsigned length)
{
    Add(false, pos, text, length, kUndoOther);
}

void XUndoHelper::RecordTyping(unsigned pos, const char16_t *text, unsigned length)
{
    XUndoStep *step = Continuing(kUndoTyping);
    if (step != nullptr && !step->actions.empty()) {
        XUndoAction &last = step->actions.back();
        if (last.insert && last.pos + last.text.size() == pos) {
            last.text.append(text, length);
            return;
        }
    }
    // A step begun for this typing (a selection replaced) takes it; otherwise a new one.
    if (step == nullptr || !m_open)
        BeginStep(kUndoTyping);
    Add(true, pos, text, length, kUndoTyping);
    m_open = false;
}

void XUndoHelper::RecordDeleteKey(unsigned pos, const char16_t *text, unsigned length)
{
    XUndoStep *step = Continuing(kUndoDelete);
    if (step != nullptr && !step->actions.empty()) {
        XUndoAction &last = step->actions.back();
        if (!last.insert && last.pos == pos) {
            last.text.append(text, length);
            return;
        }
    }
    BeginStep(kUndoDelete);
    Add(false, pos, text, length, kUndoDelete);
    m_open = false;
}

void XUndoHelper::RecordBackspace(unsigned pos, const char16_t *text, unsigned length)
{
    XUndoStep *step = Continuing(kUndoBackspace);
    if (step != nullptr && !step->actions.empty()) {
        XUndoAction &last = step->actions.back();
        if (!last.insert && pos + length == last.pos) {
            last.text.insert(0, text, length);
            last.pos = pos;
            return;
        }
    }
    BeginStep(kUndoBackspace);
    Add(false, pos, text, length, kUndoBackspace);
    m_open = false;
}

const XUndoStep *XUndoHelper::Undo()
{
    m_open = false;
    if (!CanUndo())
        return nullptr;
    return &m_steps[m_cursor++];
}

const XUndoStep *XUndoHelper::Redo()
{
    m_open = false;
    if (!CanRedo())
        return nullptr;
    return &m_steps[--m_cursor];
}
