#pragma once
// A grid of radio or check options read from a code string. The body is divided into
// rows x columns cells (30 x 30 pixels each before creation); options take the cells row
// by row, or column by column with kRadioByColumns. Each option draws, in its cell, the
// style's child1 box (unchecked) or child2 box (checked) when the style has those
// variants, else the control icon at 3 pixels from the cell's left; the name follows
// from 20 pixels in.
//
// User changes (a click, in radio mode the arrow keys) send kChoiceUserChange with key 1;
// changes through SetChoice and SetNameChoice send kChoiceSetChange once created.

#include <cstdint>
#include <string>
#include <vector>

#include "pagekit/core/page_item.h"
#include "pagekit/pagekit_export.h"

class XString;

// Extra flags of a radio group.
enum : uint32_t {
    kRadioSingle = 0x1,     // single choice (radio); else check boxes
    kRadioByColumns = 0x10, // fill column by column
};
// Notifications of the choice items.
enum : uint32_t {
    kChoiceUserChange = 67, // the user changed the value; key 1
    kChoiceSetChange = 129, // the value was set by a call
};
// Options a group holds in either mode (a check value is a 64-bit mask).
constexpr unsigned kRadioMaxOptions = 64;
// Cell size before creation.
constexpr int kRadioCellSize = 30;

class PAGEKIT_EXPORT XPageRadio : public XPageItem
{
public:
    XPageRadio();
    ~XPageRadio() override;

    // Rows and columns of the grid (0 taken as 1); lays the options out again.
    void SetGridSize(unsigned rows, unsigned columns);
    unsigned GetRows() const { return m_rows; }
    unsigned GetColumns() const { return m_columns; }

    // Replaces the options with the entries of list (at most rows x columns and
    // kRadioMaxOptions), all unchecked; the list is kept with its codes. Returns the count.
    int SetItemMapper(const char16_t *list);
    // The list as given to SetItemMapper.
    int GetItemMapper(XString *out) const;
    void ClearItem();
    unsigned GetCounter() const { return static_cast<unsigned>(m_options.size()); }

    // Radio: the checked index or -1. Check: the mask of the checked options.
    int64_t GetChoice() const;
    // Radio: checks the option at the index alone (none when out of range). Check: the
    // options of the mask's bits.
    void SetChoice(int64_t choice);
    // Radio: the option of that name alone; check: the options named in the
    // ';'-separated names; null or no match clears all.
    void SetNameChoice(const char16_t *names);
    // Radio: the checked name; check: the checked names joined by ';' (whole names that
    // fit). Returns the length.
    unsigned GetNameChoice(char16_t *out, unsigned size) const;
    // The option's cell in the child space; 0 for an index out of range.
    int GetOptionCell(unsigned index, BOUND_t *cell) const;

    void OnCreateItem() override;
    void OnUpdateItem(int code) override;
    void DrawBody(XPainter *painter, const BOUND_t *bound) override;
    int OnMessage(XMessage_t *message) override;

private:
    struct Option
    {
        bool checked;
        BOUND_t cell;
        std::u16string name;
    };
    bool IsRadio() const { return (extraFlags & kRadioSingle) != 0; }
    void LayoutCells();
    // The option under a point of the child space, -1 none.
    int HitOption(int x, int y) const;
    // Applies a new mask of checked options; true when anything changed.
    bool ApplyMask(uint64_t mask);
    uint64_t GetMask() const;
    // A user change: repaint and kChoiceUserChange.
    void NotifyUser();
    // A change by a call: repaint and kChoiceSetChange once created.
    void NotifySet();
    void DrawOption(XPainter *painter, const Option &option);

    unsigned m_rows = 1;
    unsigned m_columns = 1;
    std::u16string m_list;
    std::vector<Option> m_options;
};
