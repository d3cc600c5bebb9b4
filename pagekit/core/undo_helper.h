#pragma once
// The undo history of an edit: steps newest first, with a cursor between the steps that
// undo has walked back over (redo) and the rest.
//
// A step is the list of insertions and deletions one user action made, at text positions
// (an edit's positions: a line break counts two units, CR LF). The edit starts a step
// before it replaces a selection, pastes or indents, and records typing, Delete and
// Backspace through the Record* calls, which extend the newest step when the action
// continues it: typing at the end of the previous typed run, Delete again at the same
// position, Backspace again just before the previous one. Starting a step drops the redo
// steps and keeps at most the depth; depth 0 records nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "pagekit/pagekit_export.h"

// Kinds of step, for the merging of typing, Delete and Backspace.
enum : uint32_t {
    kUndoOther = 0,
    kUndoTyping = 1,
    kUndoDelete = 2,
    kUndoBackspace = 3,
};

struct XUndoAction
{
    bool insert;         // an insertion (else a deletion)
    unsigned pos;        // where the text went in or came out
    std::u16string text; // the text inserted or deleted
};

struct XUndoStep
{
    uint32_t kind = kUndoOther;
    std::vector<XUndoAction> actions; // in the order they were made
};

class PAGEKIT_EXPORT XUndoHelper
{
public:
    static constexpr unsigned kDefaultDepth = 3;

    // Steps kept; 0 turns recording off. A smaller depth drops the oldest steps.
    void SetDepth(unsigned depth);
    unsigned GetDepth() const { return m_depth; }
    void Clear();

    // Starts a step of kind (see the top of the file).
    void BeginStep(uint32_t kind = kUndoOther);
    // Adds to the newest step, starting one of kind when there is none or it cannot take it.
    void RecordInsert(unsigned pos, const char16_t *text, unsigned length);
    void RecordDelete(unsigned pos, const char16_t *text, unsigned length);
    // A typed text at pos: extends the newest typing step when pos is the end of its
    // last insertion, else starts a typing step.
    void RecordTyping(unsigned pos, const char16_t *text, unsigned length);
    // Delete took text from pos: extends a Delete step whose last deletion was at pos.
    void RecordDeleteKey(unsigned pos, const char16_t *text, unsigned length);
    // Backspace took text from pos: extends a Backspace step whose last deletion began at
    // pos + length.
    void RecordBackspace(unsigned pos, const char16_t *text, unsigned length);

    bool CanUndo() const { return m_cursor < m_steps.size(); }
    bool CanRedo() const { return m_cursor > 0; }
    // The step to reverse (its insertions removed, its deletions put back, last first),
    // and the cursor moved past it; null when there is none.
    const XUndoStep *Undo();
    // The step to apply again in order, the cursor moved back over it; null when none.
    const XUndoStep *Redo();
    size_t GetStepCount() const { return m_steps.size(); }

private:
    // The newest step when it is of kind and nothing is to redo; else null.
    XUndoStep *Continuing(uint32_t kind);
    void Add(bool insert, unsigned pos, const char16_t *text, unsigned length, uint32_t kind);

    std::vector<XUndoStep> m_steps; // newest first
    size_t m_cursor = 0;            // steps before it have been undone
    unsigned m_depth = kDefaultDepth;
    bool m_open = false; // BeginStep made the newest step and nothing else since
};
