#pragma once
// The modal text-editor dialogs: a 640 x 480 page dialog over the caller's window with a
// multi-line edit that grows with it. OpenTextEditor adds the buttons "确定" (1, the text
// goes to the caller) and "取消" (0) under the edit; ShowTextEditor only shows the text.
// Closing the dialog by the window manager ends it with 0 and leaves out untouched.

#include <string>

#include "pagekit/core/page_dialog.h"
#include "pagekit/pagekit_export.h"

class Panekit;
class XPageEdit;
class XString;

constexpr int kTextEditorWidth = 640;
constexpr int kTextEditorHeight = 480;
constexpr unsigned kTextEditorBackColor = 0xF6F3F0;
constexpr int kTextEditorButtonWidth = 75;
constexpr int kTextEditorButtonHeight = 23;

// The dialog both functions run: buttons or not, the text it starts with, and on OK the
// edited text in GetResult.
class PAGEKIT_EXPORT XTextEditorDialog : public XPageDialog
{
public:
    XTextEditorDialog(const char16_t *text, bool buttons);
    ~XTextEditorDialog() override;

    // The innermost editor dialog running now; null when none.
    static XTextEditorDialog *GetOpenEditor();
    XPageEdit *GetEdit() const { return m_edit; }
    const std::u16string &GetResult() const { return m_result; }
    // Creates it over parent and runs it; 1 after OK, else 0.
    unsigned Run(Panekit *parent, const char16_t *title);

    void OnCreateItem() override;
    void OnCommand(unsigned code) override;
    int OnMessage(XMessage_t *message) override;

private:
    void AddButton(class XPageFrame *bar, int code, const char16_t *text);

    std::u16string m_text;
    std::u16string m_result;
    bool m_buttons;
    XPageEdit *m_edit = nullptr;
    XTextEditorDialog *m_outer = nullptr;
};

// Non-zero after OK, with the edited text in out.
PAGEKIT_EXPORT int OpenTextEditor(Panekit *parent, const char16_t *title, const char16_t *text,
                                  XString *out);
// The same into a buffer of size units, the text cut (never inside a surrogate pair) and
// terminated; nothing is written for size 0.
PAGEKIT_EXPORT int OpenTextEditor(Panekit *parent, const char16_t *title, const char16_t *text,
                                  char16_t *out, unsigned size);
PAGEKIT_EXPORT void ShowTextEditor(Panekit *parent, const char16_t *title, const char16_t *text);
