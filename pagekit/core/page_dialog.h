#pragma once
// A page window run modally. PopupDialog runs the loop and returns the code CloseDialog
// gave; the first window move (code 35) calls OnInitDialog, which hooks the root to the
// dialog and calls OnCreateItem. Hooked items' messages go to the dialog's OnMessage;
// a command (code 42) it leaves unhandled goes to OnCommand.

#include <cstdint>

#include "pagekit/core/page_window.h"
#include "pagekit/pagekit_export.h"

// Background of a dialog's root.
constexpr uint32_t kDialogBackColor = 0xFFFAFA;
// The code PopupDialog returns when the loop ends without CloseDialog (the window went,
// or nothing can arrive any more), and the one the close button gives.
constexpr unsigned kDialogCancel = 0;

class PAGEKIT_EXPORT XPageDialog : public XPageWindow
{
public:
    XPageDialog();
    ~XPageDialog() override;

    // Runs the created window modally; the code of CloseDialog, or kDialogCancel. 0 at
    // once when the window is not created or the dialog runs already.
    unsigned PopupDialog();
    // Stores code and, while PopupDialog runs, ends its loop (outside it only stores).
    void CloseDialog(unsigned code);
    unsigned GetDialogCode() const { return m_code; }
    // Routes item's messages to the dialog's OnMessage (null: nothing).
    void SetItemHooker(XPageItem *item);

    // Hooks the root and calls OnCreateItem (on the first code 35).
    virtual void OnInitDialog();
    // Creates the dialog's items in the root; the base creates none.
    virtual void OnCreateItem();
    // A command (code 42, key = command code) nobody handled.
    virtual void OnCommand(unsigned code);
    // The dialog's own messages and those of hooked items; non-zero when handled.
    int OnMessage(XMessage_t *message) override;

    int DispatchMessage(XMessage_t *message) override;
    // The close request ends the dialog with kDialogCancel.
    int OnCloseWindow() override;

protected:
    // Sizes the root and gives it its background.
    int OnCreateWindow() override;

private:
    static int HookProc(void *data, XMessage_t *message);

    unsigned m_code = kDialogCancel;
    int m_running = 0;
    int m_inited = 0;
};
