// Windows built from a layout description (DW_Layout.h): DynamicWindow holds a window's state and
// offers its operations, DWEvents receives what the user does, and a backend shows it — real windows
// (FLTK), one live line and questions on the terminal, or nothing at all (headless: every window
// keeps its state for tests, and dialogs take scripted answers).
//
// Threads. A window belongs to the thread that built it. Any thread may change a window (the queue
// thread updates the status window); every window's state, and the toolkit, are guarded by one
// process-wide UI lock. What the user does is queued and carried out on the owning thread when it
// dispatches its messages (dwPumpMessages, installed as the platform's message pump), so events
// reach their receivers on the window's own thread and never while the UI lock is held.
#pragma once

#include "DW_Layout.h"

#include <platform/Threads.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class DynamicWindow;

// The receiver of a window's events. Every operation does nothing unless overridden, except
// windowCloseBoxClick (lets the window close) and hyperlinkClick (opens the link's text).
class DWEvents {
public:
    virtual void windowShow(DynamicWindow& window);
    // True lets the window close.
    virtual bool windowCloseBoxClick(DynamicWindow& window);
    virtual void contextualMenuClick(DynamicWindow& window, int32_t objectID, int32_t item);
    virtual void radioControllerChange(DynamicWindow& window, int32_t objectID, int64_t value);
    virtual void buttonClick(DynamicWindow& window, int32_t objectID);
    virtual void hyperlinkClick(DynamicWindow& window, int32_t objectID);
    virtual void editChange(DynamicWindow& window, int32_t objectID);
    virtual void editKeyPress(DynamicWindow& window, int32_t objectID, int32_t key);
    virtual void checkBoxChange(DynamicWindow& window, int32_t objectID, bool checked);
    virtual void radioGroupChange(DynamicWindow& window, int32_t objectID, int64_t value);
    virtual void comboBoxChange(DynamicWindow& window, int32_t objectID, int64_t index);
    virtual void comboBoxKeyPress(DynamicWindow& window, int32_t objectID, int32_t key);
    virtual void listBoxChange(DynamicWindow& window, int32_t objectID, int64_t index);
    virtual void listBoxDoubleClick(DynamicWindow& window, int32_t objectID, int64_t index);
    virtual void cameraViewDevicesChanged(DynamicWindow& window, int32_t objectID);
    virtual void cameraViewNewFrame(DynamicWindow& window, int32_t objectID);
    virtual ~DWEvents() = default;
};

// One thing the user did, waiting for the owning thread.
struct DWUserAction {
    enum Kind {
        kButtonClick,
        kCheckBoxChange,
        kValueChange,  // combo box, list box or tab selection
        kEditText,
        kKeyPress,
        kHyperlinkClick,
        kContextualMenuClick,
        kListBoxDoubleClick,
        kCloseBoxClick,
        kAcceptKey,  // Enter: the accept button
        kCancelKey,  // Escape: the cancel button
    };
    Kind kind = kButtonClick;
    int32_t objectID = 0;
    int64_t value = 0;
    ucstring text;
    bool applied = false;  // the toolkit already changed the window's state
};

// What a backend shows for one window. Every call is made with the UI lock held; the view reads
// the window's state through DynamicWindow::lockedLayout().
class DWView {
public:
    virtual ~DWView() = default;
    virtual bool build() = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void objectChanged(int32_t objectID) = 0;  // text, value, items, enabled or visible
    virtual void windowChanged() = 0;                  // title or position
    virtual void layoutChanged() = 0;                  // sizes and places after a re-arrangement
    virtual void focusChanged(int32_t objectID) = 0;
    // Where the window is now, when the user can move it.
    virtual bool currentPosition(int32_t& left, int32_t& top) const {
        (void)left, (void)top;
        return false;
    }
    // One turn of a modal loop: waits briefly for the user, or answers for the user (called
    // without the UI lock).
    virtual void modalStep() = 0;
    virtual void* nativeWindow() const { return nullptr; }
    virtual void* nativeObject(int32_t objectID) const {
        (void)objectID;
        return nullptr;
    }
};

enum class DWBackendKind { Automatic, GUI, Terminal, Headless };

// A way of showing windows. A new toolkit (say, for Windows) is one more of these.
class DWBackend : public DWMeasurer {
public:
    virtual DWBackendKind kind() const = 0;
    virtual std::unique_ptr<DWView> createView(DynamicWindow& window) = 0;
    // The part of the screen windows may use (without panels and docks) on the screen that holds
    // the point, or on the first screen when none does.
    virtual void workArea(int32_t x, int32_t y, int32_t& left, int32_t& top, int32_t& width, int32_t& height) const = 0;
    // Takes the calling thread's waiting toolkit events (called without the UI lock).
    virtual void pump() = 0;
    virtual bool modifierKeysDown(bool shift, bool control) const {
        (void)shift, (void)control;
        return false;
    }
};

class DynamicWindow {
public:
    DynamicWindow();
    // Closes the window. Must not run inside one of its own events.
    virtual ~DynamicWindow();
    DynamicWindow(const DynamicWindow&) = delete;
    DynamicWindow& operator=(const DynamicWindow&) = delete;

    // Lays the description out and makes the window (hidden); events go to `events` (may be null).
    // False when the backend cannot make it or the window was built already.
    virtual bool buildWindow(const DWLayout& layout, DWEvents* events);
    // Shows the window. A modal window is run here until it closes (a closing button, dwClose from
    // an event, the close box).
    virtual void dwShow(bool modal = false);
    virtual void dwClose();
    // Screen position of the window's top left corner; -1 centres it on that axis. The window is
    // kept on a screen: a place that would put part of it off the screen is moved in.
    virtual void positionWindow(int32_t left, int32_t top);
    virtual void getWindowBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height);
    virtual void updateWindowTitle(const ucstring& title);
    // The operations on objects return false when the window has no object with that ID.
    virtual bool updateLabelText(int32_t objectID, const ucstring& text);
    virtual bool updateButtonLabel(int32_t objectID, const ucstring& text);
    virtual bool updateEditText(int32_t objectID, const ucstring& text);
    virtual bool copyEditText(int32_t objectID, ucstring& text);
    virtual bool getLayoutObjectValue(int32_t objectID, int64_t& value);
    virtual bool updateLayoutObjectValue(int32_t objectID, int64_t value);
    virtual bool enableLayoutObject(int32_t objectID);
    virtual bool disableLayoutObject(int32_t objectID);
    virtual bool updateFocus(int32_t objectID);
    // A collapsed object takes no room; the window shrinks or grows to fit.
    virtual bool collapseBox(int32_t objectID);
    virtual bool expandBox(int32_t objectID);
    virtual bool addComboBoxItem(int32_t objectID, const ucstring& item);
    // False also when there is no item at `index`.
    virtual bool removeComboBoxItem(int32_t objectID, int64_t index);
    virtual bool copyComboBoxText(int32_t objectID, ucstring& text);
    // All items, or only the selected one(s).
    virtual bool copyListBoxItems(int32_t objectID, ucstringlist& items, bool selectedOnly = false);
    virtual int64_t getListBoxItemCount(int32_t objectID);

    // The window's state as it holds it (copies, safe from any thread).
    bool isBuilt() const;
    bool isOpen() const;
    bool isModal() const;
    ucstring title() const;
    bool objectState(int32_t objectID, DWLayoutObject& object) const;
    DWLayout layoutState() const;
    int32_t focusedObject() const;
    platform::ThreadId ownerThread() const;
    DWBackendKind backendKind() const;

    // What a person at the screen does, from any thread; carried out on the owning thread when it
    // next dispatches its messages. Actions on disabled or hidden objects are ignored.
    void postAction(DWUserAction action);
    void postButtonClick(int32_t objectID);
    void postCheckBoxChange(int32_t objectID, bool checked);
    void postValueChange(int32_t objectID, int64_t value);
    void postEditText(int32_t objectID, const ucstring& text);
    void postCloseBoxClick();

    // The toolkit's window and controls (null for the terminal and headless backends).
    void* nativeWindow() const;
    void* nativeObject(int32_t objectID) const;

    // For backends, with the UI lock held.
    const DWLayout& lockedLayout() const { return mLayout; }
    DWLayoutObject* lockedObject(int32_t objectID) { return mLayout.findObject(objectID); }
    void lockedBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) const;
    void lockedSetSize(int32_t width, int32_t height);  // the user resized it
    std::shared_ptr<DWBackend> lockedBackend() const { return mBackend; }
    bool hasPendingActions() const;
    // The framework's own: the next queued action (with the UI lock held), and carrying one out
    // (without it): the window's state changes, then the receiver gets the event.
    bool takePendingAction(DWUserAction& action);
    void deliverAction(const DWUserAction& action);

private:
    void relayout();
    // Moves the window in so that all of it is on the screen it is on (its top left part when it
    // is larger).
    void keepOnScreen();
    bool changeObject(int32_t objectID, const std::function<bool(DWLayoutObject&)>& change);
    // The shown, enabled button with the feature, or 0.
    int32_t buttonWithFeature(uint16_t feature) const;

    std::shared_ptr<DWBackend> mBackend;
    std::unique_ptr<DWView> mView;
    DWLayout mLayout;
    DWEvents* mEvents = nullptr;
    platform::ThreadId mOwner = 0;
    bool mBuilt = false;
    bool mOpen = false;
    bool mModal = false;
    bool mPositioned = false;
    int32_t mLeft = 0, mTop = 0, mWidth = 0, mHeight = 0;
    int32_t mFocus = 0;
    std::deque<DWUserAction> mPending;
};

// ---- Backends ----------------------------------------------------------------------------------

// Automatic: the environment variable VOLAN_UI ("gui", "terminal" or "headless") when set; else
// real windows when a display is usable, the terminal when standard error is one, else headless.
// Windows already built keep the backend they were built with.
void dwSetBackend(DWBackendKind kind);
DWBackendKind dwBackend();  // the one new windows get (never Automatic)
std::shared_ptr<DWBackend> dwCurrentBackend();
bool dwDisplayUsable();
std::shared_ptr<DWBackend> dwMakeHeadlessBackend();
std::shared_ptr<DWBackend> dwMakeTerminalBackend();
// Null when no display can be opened.
std::shared_ptr<DWBackend> dwMakeGUIBackend();

// The lock over every window's state and the toolkit.
std::recursive_mutex& dwUIMutex();

// Dispatches the calling thread's window messages: takes the toolkit's events and carries out what
// the user did in this thread's windows. The platform's message pump.
void dwPumpMessages();

// Called once with each modal window right after it is shown, on its thread (tests act on dialogs
// here); an empty function removes it.
void dwSetModalHook(std::function<void(DynamicWindow&)> hook);

// True when the Shift and Control keys are both held down now (real windows only).
bool dwModifierKeysDown();

// ---- Scripted answers to dialogs -----------------------------------------------------------------
// The headless and terminal backends answer modal dialogs from this queue first: the button is
// matched with the buttons' labels (any case) or IDs, and a text goes into the dialog's first edit
// field. With no answer left, a headless dialog is cancelled (its Escape button, else its close box).
// The queue starts with the answers in the environment variable VOLAN_UI_ANSWERS: one per line,
// BUTTON or BUTTON:TEXT, where "\n" in TEXT stands for a line break and "\\" for a backslash.

struct DWAnswer {
    ucstring button;
    ucstring text;
    bool hasText = false;
};
void dwQueueAnswer(const DWAnswer& answer);
bool dwTakeAnswer(DWAnswer& answer);
void dwClearAnswers();
size_t dwAnswerCount();
// The form of VOLAN_UI_ANSWERS; each entry of `answers` is BUTTON or BUTTON:TEXT.
std::vector<DWAnswer> dwParseAnswers(const std::string& text);
std::string dwFormatAnswers(const std::vector<std::string>& answers);
// Posts the answer to the window: its text into the first edit field, then a click on its button.
// False (and nothing posted) when no shown, enabled button matches.
bool dwPostAnswer(DynamicWindow& window, const DWAnswer& answer);
// The way out a user takes to cancel: the Escape button, else the close box.
void dwPostCancel(DynamicWindow& window);
