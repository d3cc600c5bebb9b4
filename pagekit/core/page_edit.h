#pragma once
// The text entry item: single-line or multi-line, with caret, selection, undo and redo,
// clipboard, input method, a context menu, a placeholder and a password mode. The mask
// and number edits derive from it.
//
// [SECTION] index of the sources:
//   page_edit.cpp        the text as a list of lines, positions, setting and getting,
//                        insertion and deletion, undo, the notifications
//   page_edit_input.cpp  keys, characters, the pointer, the context menu, the clipboard
//   page_edit_draw.cpp   rows and wrapping, the extent, the caret and scrolling, drawing
//
// Positions count UTF-16 units over the whole text, a line break counting two (the text
// GetItemText gives joins the lines with CR LF). A surrogate pair is one character: no
// caret, selection end, deletion or length limit ever splits one, and a lone half never
// goes into the text (a high half typed on its own waits for its low half).
//
// Call flow: a change goes through ReplaceRange (the one place that edits the lines),
// which records undo, marks the lines to lay out again, and ends with TextChanged: the
// extent, code 67, the caret placed and scrolled into view.

#include <cstdint>
#include <string>
#include <vector>

#include "pagekit/core/page_item.h"
#include "pagekit/core/undo_helper.h"
#include "pagekit/pagekit_export.h"

// One line of the text, fields in the system's order.
struct XTextLine
{
    uint32_t lineNumber; // index from 0
    int32_t width;       // pixels of the line laid out as one row; -1 until measured
    uint32_t rows;       // wrapped rows (at least 1); 0 until laid out
    uint32_t length;     // units, terminator not counted
    uint32_t capacity;   // units the buffer holds, terminator included
    char16_t *text;      // owned, zero-terminated
    XTextLine *prev;
    XTextLine *next;
};

// Extra flags of the edits.
enum : uint32_t {
    kEditNumber = 0x1,
    kEditMask = 0x2,
    kEditPassword = 0x10, // stars, no copying, no input method
    kEditMultiLine = 0x20,
    kEditDisplayOnly = 0x1000, // no typing, deleting or context menu
    kEditModified = 0x10000,
};

// Notifications of the edits (through DispatchMessage).
enum : uint32_t {
    XMSG_TEXTCHANGE = 67, // after every change; key 1 typed, 0 inserted or set
    XMSG_TEXTSET = 129,   // after SetItemText on a created edit
};

// The caret's position bit: at the end of a wrapped row rather than the next row's start.
constexpr uint32_t kCaretRowEnd = 0x10000000;
// Remembered x: none.
constexpr int32_t kNoRememberedX = 0x7FFFF381;
constexpr uint32_t kEditPlaceholderColor = 0xA0A0A0;
constexpr uint32_t kEditSelectionColor = 0xD88000; // 0x00BBGGRR: RGB (0, 128, 216)
constexpr int32_t kEditLineGap = 4;
// Spare units a reused line buffer may have over the new length.
constexpr unsigned kEditSpareSingle = 128;
constexpr unsigned kEditSpareMulti = 32;

// Command codes of the context menu.
enum : uint32_t {
    kEditCmdUndo = 90,
    kEditCmdRedo = 89,
    kEditCmdCut = 88,
    kEditCmdCopy = 67,
    kEditCmdPaste = 86,
    kEditCmdDelete = 46,
    kEditCmdSelectAll = 65,
};

class PAGEKIT_EXPORT XPageEdit : public XPageItem
{
public:
    XPageEdit();
    ~XPageEdit() override;

    // ---- the text ---------------------------------------------------------------------------

    // Replaces the text: clears the undo history, splits at line feeds (a CR before each
    // dropped; a single-line edit keeps the first line), keeps to the length limit, puts
    // the caret at the start without selection; once created, recomputes the extent,
    // sends 129 and re-places the caret.
    void SetItemText(const char16_t *text) override;
    // The lines joined with CR LF (at most cap units with the terminator; a pair is never
    // cut); the length alone when text is null.
    unsigned GetItemText(char16_t *text, unsigned cap) override;
    void SetReadOnly(int readOnly) override;
    // Inserts at the caret as one undo step, the selection replaced (code 67, key 0).
    void InsertText(const char16_t *text);
    // Inserts at the end of the text (code 67, key 0).
    void AppendText(const char16_t *text);
    // Multi-line only: a new line at the end holding length units of text (-1: the whole
    // text, up to a line break).
    void AppendLine(const char16_t *text, int length);
    // The selected text, at most cap units with the terminator; returns its length.
    unsigned GetSelection(char16_t *text, unsigned cap);
    // The caret and the anchor (the caret again when nothing is selected).
    void GetChoice(unsigned *caret, unsigned *anchor);
    // Selects from anchor to caret (clamped, moved off the middle of a pair).
    void SetChoice(unsigned caret, unsigned anchor);
    // Deletes the selection as one undo step; 0 when nothing was selected.
    int DeleteChoice();
    void EnsureVisible();
    // Length limit in units, a line break counting 2; 0 = none. The text is not cut.
    void LimitText(unsigned limit) { m_limit = limit; }
    unsigned GetLimitText() const { return m_limit; }
    void SetPlaceHolder(const char16_t *text);
    void SetUndoNumber(unsigned depth) { m_undo.SetDepth(depth); }
    void SetModifyState(int modified);
    int GetModifyState() const { return (extraFlags & kEditModified) != 0; }
    // Units of the text, a line break counting 2.
    unsigned GetTotalLength() const { return m_total; }
    unsigned GetLineCount() const { return m_lineCount; }
    const XTextLine *GetFirstLine() const { return m_first; }

    // ---- undo -------------------------------------------------------------------------------

    int Undo();
    int Redo();
    bool CanUndo() const { return m_undo.CanUndo(); }
    bool CanRedo() const { return m_undo.CanRedo(); }

    // Called after text went in or came out at pos (units); the base does nothing.
    virtual void OnInsertText(unsigned pos, unsigned length);
    virtual void OnDeleteText(unsigned pos, unsigned length);
    // Turns the input method on or off by the focus and the password flag (flags unused).
    void UpdateInputer(unsigned long flags);

    // ---- virtual slots after the base's --------------------------------------------------

    // One typed unit: the selection deleted first, then inserted at the caret within the
    // limit; code 67 with key 1.
    virtual int InputChar(char16_t ch);
    // A text typed or pasted at the caret as one undo step.
    virtual int InputText(const char16_t *text);
    // Deletes: 0 the unit after the caret (Delete), 1 the unit before it (Backspace); the
    // selection when there is one. Non-zero when something went.
    virtual int DeleteInputer(unsigned backwards);
    // Sets the edit up for its kind (the base: nothing).
    virtual void Initialize();
    virtual int IsInputEmpty();

    // ---- item overrides ---------------------------------------------------------------------

    int CalcExtentSize(int mode) override;
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    void OnCreateItem() override;
    int OnMessage(XMessage_t *message) override;
    void MovePlace(const BOUND_t *bound, int flag) override;

    // ---- geometry, for tests and for the derived edits -------------------------------------

    // Pixel height of a row: the font size plus the line gap.
    int GetRowHeight() const;
    // Where the caret of pos stands in the child space (top of its row); rowEnd asks
    // for the end of a wrapped row rather than the next row's start.
    POINT_t GetCaretPoint(unsigned pos, bool rowEnd);
    // The position nearest a child-space point; *rowEnd says whether it is a row's end.
    unsigned HitPosition(int x, int y, bool *rowEnd);
    unsigned GetCaretPos() const;

protected:
    bool IsMultiLine() const { return (extraFlags & kEditMultiLine) != 0; }
    bool IsPassword() const { return (extraFlags & kEditPassword) != 0; }
    bool IsDisplayOnly() const { return (extraFlags & kEditDisplayOnly) != 0; }
    // Typing and deleting allowed: editable and not display only.
    bool CanChange() const;
    // The one change of the text: removes [from, to) and inserts text there (line feeds
    // split lines in a multi-line edit; a single-line edit takes up to the first line
    // break), keeping to the limit; records undo unless kind is ~0u. Returns the units
    // inserted. typed selects key 1 of the notification.
    unsigned ReplaceRange(unsigned from, unsigned to, const char16_t *text, unsigned length,
                          uint32_t kind, bool typed);
    // The caret to pos (selection kept from the anchor when extend, else dropped).
    void MoveCaret(unsigned pos, bool extend, bool rowEnd = false);
    // The text of [from, to) with CR LF between lines.
    std::u16string GetRange(unsigned from, unsigned to) const;
    // Lines and offsets.
    XTextLine *Locate(unsigned pos, unsigned *offset) const;
    unsigned PositionOf(const XTextLine *line, unsigned offset) const;
    // pos moved off the middle of a surrogate pair or of CR LF (backwards or forwards).
    unsigned Snap(unsigned pos, bool forward) const;
    // After a change: extent, notification, caret, modified flag.
    void TextChanged(bool typed);
    void PlaceCaret();

    // Fields, in the system's order.
    unsigned m_limit = 0;
    std::u16string m_placeholder;
    unsigned m_total = 0;
    int32_t m_lineGap = kEditLineGap;
    int32_t m_rememberX = kNoRememberedX;
    XTextLine *m_first = nullptr;
    XTextLine *m_last = nullptr;
    XTextLine *m_caretLine = nullptr;
    uint32_t m_caretPos = 0;           // kCaretRowEnd may be set
    XTextLine *m_anchorLine = nullptr; // null: no selection
    uint32_t m_anchorPos = 0;
    XUndoHelper m_undo;

private:
    friend class XPageEditInput;
    // Line storage.
    XTextLine *NewLine(const char16_t *text, unsigned length, XTextLine *reuse);
    void FreeLines(XTextLine *from);
    void Renumber(XTextLine *from);
    void SetLineText(XTextLine *line, const char16_t *text, unsigned length);
    // Input (page_edit_input.cpp).
    int OnKeyDown(XMessage_t *message);
    int OnChar(XMessage_t *message);
    int OnPointer(XMessage_t *message);
    void OpenContextMenu();
    void RunCommand(uint32_t code);
    void CopySelection();
    void Paste();
    void MoveByKey(uint32_t key, bool ctrl, bool shift);
    void IndentSelection(bool outdent);
    // Rows (page_edit_draw.cpp).
    bool Wraps() const;
    int WrapWidth() const;
    void LayoutLine(XTextLine *line);
    int RowEnds(XTextLine *line, int *ends, int max);
    std::u16string Shown(const XTextLine *line) const;
    int LineTop(const XTextLine *line);
    int TextTop() const;
    void ApplyUndoStep(const XUndoStep *step, bool undo);

    // The row ends, in shown units, of the last wrapped line laid out: they serve the caret,
    // the hit tests and the drawing, and a change inside that line alone (m_rowPending, at
    // shown position m_rowEditAt) re-wraps only from the row before it until the old ends
    // come back. Forgotten on any other change of the lines or of the width.
    const XTextLine *m_rowLine = nullptr;
    std::vector<int> m_rowEnds;
    int m_rowShownLength = 0;
    bool m_rowPending = false;
    int m_rowEditAt = 0;
    void ForgetRows()
    {
        m_rowLine = nullptr;
        m_rowPending = false;
        m_caretMemo = false;
    }
    // The last caret point asked for (a change of the text or of the rows forgets it).
    bool m_caretMemo = false;
    unsigned m_caretMemoPos = 0;
    bool m_caretMemoEnd = false;
    POINT_t m_caretMemoPoint = {0, 0};
    // The end of the row that starts at start of shown (wrapping at the body width).
    int NextRowEnd(XPainter *painter, const std::u16string &shown, int start);
    void WrapRows(XTextLine *line, const std::u16string &shown);
    // A line offset in shown units (password mode counts characters).
    unsigned ShownOffset(const XTextLine *line, unsigned offset) const;
    char16_t m_pendingHigh = 0; // a high surrogate waiting for its low half
    bool m_dragging = false;
    unsigned m_lineCount = 0;
};

// A mask edit: the value is always as long as the mask (kMaskMaxLength units at most),
// typing overwrites placeholders and skips fixed units.
class PAGEKIT_EXPORT XMaskEdit : public XPageEdit
{
public:
    XMaskEdit();
    // Sets the mask (cut to kMaskMaxLength units) and the empty value.
    void SetMask(const char16_t *mask);
    const char16_t *GetMask() const { return m_mask; }

    void SetItemText(const char16_t *text) override;
    int InputChar(char16_t ch) override;
    int InputText(const char16_t *text) override;
    int DeleteInputer(unsigned backwards) override;
    void Initialize() override;
    int IsInputEmpty() override;
    int OnMessage(XMessage_t *message) override;

private:
    // Writes the masked value and keeps the caret at pos.
    void WriteValue(const std::u16string &value, unsigned caret);
    std::u16string Value() const;

    char16_t m_mask[129] = {};
};

// A number edit by its format word (edit_number.h): digits only, '-' toggles the sign
// when signed, the point and the fixed decimals by the mode, regrouping as it goes.
class PAGEKIT_EXPORT XNumbEdit : public XPageEdit
{
public:
    static constexpr unsigned kNumberLimit = 120;

    XNumbEdit();
    // Decimals above 20 become 8.
    void SetFormat(uint32_t format);
    uint32_t GetFormat() const { return m_format; }

    void SetNumber(int value);
    void SetNumber(int64_t value);
    void SetNumber(double value);
    // 0, with 0 stored, when the input is empty.
    int GetNumber(int *value);
    int GetNumber(int64_t *value);
    int GetNumber(double *value);

    void SetItemText(const char16_t *text) override;
    int InputChar(char16_t ch) override;
    int InputText(const char16_t *text) override;
    int DeleteInputer(unsigned backwards) override;
    void Initialize() override;
    int IsInputEmpty() override;
    int OnMessage(XMessage_t *message) override;

private:
    // The text without separators and the caret's place in it.
    std::u16string Plain(unsigned *caret) const;
    // Writes a plain number text, regrouped, with the caret after `caret` plain units.
    void WritePlain(const std::u16string &plain, unsigned caret, bool typed);
    void Normalise();

    uint32_t m_format = 0;
};
