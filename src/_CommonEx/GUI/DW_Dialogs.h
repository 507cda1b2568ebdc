// The modal message and input dialogs.
#pragma once

#include "DW_Window.h"

// Button IDs, also what the dialogs return.
enum : int32_t { kDialogOK = 1, kDialogCancel = 2, kDialogYes = 3, kDialogNo = 4 };

// The receiver of the message and input dialogs: remembers the button that closed the dialog and
// puts the input focus into the input dialog's edit field.
class MessageInputDialogHelper : public DWEvents {
public:
    void windowShow(DynamicWindow& window) override;
    void buttonClick(DynamicWindow& window, int32_t objectID) override;
    virtual void setButton(int32_t button) { mButton = button; }
    virtual int32_t button() const { return mButton; }
    virtual void setWindow(DynamicWindow* window) { mWindow = window; }
    virtual DynamicWindow* window() const { return mWindow; }
    // The message dialog's type, or -1 for the input dialog.
    virtual void setMessageDialogType(int32_t type) { mMessageDialogType = type; }
    virtual int32_t messageDialogType() const { return mMessageDialogType; }

private:
    int32_t mButton = 0;
    DynamicWindow* mWindow = nullptr;
    int32_t mMessageDialogType = 0;
};

// Button layouts (left to right, feature bits):
// 0 OK(5); 1 Cancel(7); 2 OK(5) Cancel(6); 3 OK(4) Cancel(7); 4 Yes(5) No(6); 5 Yes(4) No(7);
// 6 Yes(5) No(4) gap Cancel(6); 7 Yes(4) No(5) gap Cancel(6). Another type shows type 0.
// With `suppress`, a check box (its text, or "Do not show this dialog again.") offers to suppress
// the message; `suppress` gives its first state and receives its last. A message without a line
// break is wrapped at 400 pixels unless `messageWidth` says otherwise.
// Returns the ID of the button pressed; 0 when the dialog could not be built or was closed otherwise.
int32_t messageDialog(const ucstring& message, int32_t type, const ucstring& title = u"", bool* suppress = nullptr,
                      const ucstring& checkBoxText = u"", int32_t messageWidth = 0);
int32_t simpleMessageDialog(const ucstring& message, int32_t messageWidth, int32_t type);

// Asks for one line of text; `answer` holds the first text shown and, after OK, what was entered.
// A password is masked on screen and never written to the debug log.
// Returns kDialogOK or kDialogCancel (0 when the dialog could not be built or was closed otherwise).
int32_t inputDialog(const ucstring& prompt, ucstring& answer, bool password = false, const ucstring& title = u"",
                    int32_t promptWidth = 0);

// The object IDs of both dialogs.
enum : int32_t {
    kDialogRootID = 100,
    kDialogMessageID = 101,
    kDialogButtonRowID = 102,
    kDialogFillID = 103,
    kDialogSecondFillID = 104,
    kDialogSuppressID = 90,
    kDialogEditID = 95,
};
