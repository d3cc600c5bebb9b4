#pragma once
// The column-settings dialog of a grid: its columns in display order with their title,
// definition position and width; rows move up and down together with the grid's columns,
// a width takes effect as soon as its cell is closed, and save and clear ask the grid's
// receivers (request kGridRequestLayout) to keep or forget the layout.

#include "pagekit/core/page_dialog.h"
#include "pagekit/pagekit_export.h"

class XPageGrider;

// Commands of the dialog's buttons.
enum : unsigned {
    kHeaderEditCancel = 16,
    kHeaderEditSave = 17,
    kHeaderEditClear = 18,
    kHeaderEditUp = 33,
    kHeaderEditDown = 34,
};
constexpr int kHeaderEditorWidth = 320;
constexpr int kHeaderEditorHeight = 480;

class PAGEKIT_EXPORT XHeaderEditor : public XPageDialog
{
public:
    explicit XHeaderEditor(XPageGrider *target);
    ~XHeaderEditor() override;

    // Shows the dialog modally over parent; the code it ended with.
    unsigned Run(Panekit *parent);
    XPageGrider *GetGrider() const { return m_grid; }
    void OnCreateItem() override;
    void OnCommand(unsigned code) override;
    int OnMessage(XMessage_t *message) override;

private:
    void Fill();
    void MoveRow(int dir);
    void ApplyWidth(void *row);
    void AddButton(unsigned code, const char16_t *text, int y);

    XPageGrider *m_target;
    XPageGrider *m_grid = nullptr;
};
