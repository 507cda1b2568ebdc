#include "DW_Window.h"

#include "DW_Window_Private.h"
#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Desktop.h>
#include <platform/Terminal.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

// ---- DWEvents defaults -------------------------------------------------------------------------

void DWEvents::windowShow(DynamicWindow&) {}
bool DWEvents::windowCloseBoxClick(DynamicWindow&) { return true; }
void DWEvents::contextualMenuClick(DynamicWindow&, int32_t, int32_t) {}
void DWEvents::radioControllerChange(DynamicWindow&, int32_t, int64_t) {}
void DWEvents::buttonClick(DynamicWindow&, int32_t) {}
void DWEvents::hyperlinkClick(DynamicWindow& window, int32_t objectID) {
    DWLayoutObject link;
    if (window.objectState(objectID, link)) platform::openURL(ucstringToUTF8String(link.text()));
}
void DWEvents::editChange(DynamicWindow&, int32_t) {}
void DWEvents::editKeyPress(DynamicWindow&, int32_t, int32_t) {}
void DWEvents::checkBoxChange(DynamicWindow&, int32_t, bool) {}
void DWEvents::radioGroupChange(DynamicWindow&, int32_t, int64_t) {}
void DWEvents::comboBoxChange(DynamicWindow&, int32_t, int64_t) {}
void DWEvents::comboBoxKeyPress(DynamicWindow&, int32_t, int32_t) {}
void DWEvents::listBoxChange(DynamicWindow&, int32_t, int64_t) {}
void DWEvents::listBoxDoubleClick(DynamicWindow&, int32_t, int64_t) {}
void DWEvents::cameraViewDevicesChanged(DynamicWindow&, int32_t) {}
void DWEvents::cameraViewNewFrame(DynamicWindow&, int32_t) {}

// ---- Process-wide state ------------------------------------------------------------------------

namespace {

std::recursive_mutex gUIMutex;
using UILock = std::lock_guard<std::recursive_mutex>;

std::vector<DynamicWindow*> gWindows;  // every built window
DWBackendKind gRequestedBackend = DWBackendKind::Automatic;
std::shared_ptr<DWBackend> gBackend;
std::function<void(DynamicWindow&)> gModalHook;
std::once_flag gPumpInstalled;
DWEvents gDefaultEvents;  // for windows built without a receiver

bool isRegistered(const DynamicWindow* window) {
    return std::find(gWindows.begin(), gWindows.end(), window) != gWindows.end();
}

std::shared_ptr<DWBackend> makeBackend(DWBackendKind kind) {
    if (kind == DWBackendKind::Automatic) {
        const char* env = std::getenv("VOLAN_UI");
        const std::string choice = env ? stringNormalize(std::string(env)) : std::string();
        if (choice == "GUI")
            kind = DWBackendKind::GUI;
        else if (choice == "TERMINAL")
            kind = DWBackendKind::Terminal;
        else if (choice == "HEADLESS")
            kind = DWBackendKind::Headless;
        else if (dwDisplayUsable())
            kind = DWBackendKind::GUI;
        else if (platform::terminalIsInteractive())
            kind = DWBackendKind::Terminal;
        else
            kind = DWBackendKind::Headless;
    }
    if (kind == DWBackendKind::GUI) {
        if (auto gui = dwMakeGUIBackend()) return gui;
        DEBUG_OUT("No usable display for windows; they stay invisible.");
        return dwMakeHeadlessBackend();
    }
    if (kind == DWBackendKind::Terminal) return dwMakeTerminalBackend();
    return dwMakeHeadlessBackend();
}

// Carries out one queued action of a window of the calling thread; false when there was none.
bool deliverOneForThread(platform::ThreadId thread) {
    DynamicWindow* window = nullptr;
    DWUserAction action;
    {
        UILock lock(gUIMutex);
        for (DynamicWindow* w : gWindows) {
            if (w->ownerThread() == thread && w->takePendingAction(action)) {
                window = w;
                break;
            }
        }
    }
    if (!window) return false;
    window->deliverAction(action);
    return true;
}

void deliverForThread() {
    const platform::ThreadId thread = platform::currentThreadId();
    // Each delivery runs without the lock; a bound keeps a window that posts to itself from
    // starving the caller.
    for (int i = 0; i < 1000 && deliverOneForThread(thread); ++i) {
    }
}

}  // namespace

std::recursive_mutex& dwUIMutex() { return gUIMutex; }

void dwSetBackend(DWBackendKind kind) {
    UILock lock(gUIMutex);
    gRequestedBackend = kind;
    gBackend.reset();
}

std::shared_ptr<DWBackend> dwCurrentBackend() {
    UILock lock(gUIMutex);
    if (!gBackend) gBackend = makeBackend(gRequestedBackend);
    return gBackend;
}

DWBackendKind dwBackend() { return dwCurrentBackend()->kind(); }

void dwSetModalHook(std::function<void(DynamicWindow&)> hook) {
    UILock lock(gUIMutex);
    gModalHook = std::move(hook);
}

bool dwModifierKeysDown() { return dwCurrentBackend()->modifierKeysDown(true, true); }

void dwPumpMessages() {
    const platform::ThreadId thread = platform::currentThreadId();
    std::vector<std::shared_ptr<DWBackend>> backends;
    {
        UILock lock(gUIMutex);
        for (DynamicWindow* w : gWindows) {
            if (w->ownerThread() != thread) continue;
            auto b = w->lockedBackend();
            if (b && std::find(backends.begin(), backends.end(), b) == backends.end()) backends.push_back(b);
        }
    }
    if (backends.empty()) return;  // this thread has no windows
    for (auto& b : backends) b->pump();
    deliverForThread();
}

// ---- DynamicWindow -----------------------------------------------------------------------------

DynamicWindow::DynamicWindow() = default;

DynamicWindow::~DynamicWindow() {
    UILock lock(gUIMutex);
    gWindows.erase(std::remove(gWindows.begin(), gWindows.end(), this), gWindows.end());
    if (mView) {
        if (mOpen) mView->hide();
        mView.reset();
    }
}

bool DynamicWindow::buildWindow(const DWLayout& layout, DWEvents* events) {
    UILock lock(gUIMutex);
    if (mBuilt) return false;
    mBackend = dwCurrentBackend();
    mLayout = layout;
    mEvents = events;
    mOwner = platform::currentThreadId();
    layoutArrange(mLayout, *mBackend, mWidth, mHeight);
    mView = mBackend->createView(*this);
    if (!mView || !mView->build()) {
        mView.reset();
        return false;
    }
    mBuilt = true;
    gWindows.push_back(this);
    std::call_once(gPumpInstalled, [] { platform::setMessagePump(dwPumpMessages); });
    return true;
}

void DynamicWindow::dwShow(bool modal) {
    bool wasOpen;
    {
        UILock lock(gUIMutex);
        if (!mBuilt) return;
        if (!mPositioned) positionWindow(-1, -1);
        wasOpen = mOpen;
        mOpen = true;
        if (modal) mModal = true;
        mView->show();
    }
    if (!wasOpen) (mEvents ? mEvents : &gDefaultEvents)->windowShow(*this);
    if (!modal) return;

    std::function<void(DynamicWindow&)> hook;
    {
        UILock lock(gUIMutex);
        hook = gModalHook;
    }
    if (hook && isOpen()) hook(*this);
    for (;;) {
        deliverForThread();
        if (!isOpen()) break;
        mView->modalStep();
    }
    UILock lock(gUIMutex);
    mModal = false;
}

void DynamicWindow::dwClose() {
    UILock lock(gUIMutex);
    if (!mOpen) return;
    if (mView) {
        int32_t left, top;
        if (mView->currentPosition(left, top)) mLeft = left, mTop = top;
        mView->hide();
    }
    mOpen = false;
}

void DynamicWindow::positionWindow(int32_t left, int32_t top) {
    UILock lock(gUIMutex);
    if (!mBackend) return;
    int32_t areaLeft, areaTop, areaWidth, areaHeight;
    mBackend->workArea(left == -1 ? 0 : left, top == -1 ? 0 : top, areaLeft, areaTop, areaWidth, areaHeight);
    mLeft = left == -1 ? areaLeft + std::max(0, (areaWidth - mWidth) / 2) : left;
    mTop = top == -1 ? areaTop + std::max(0, (areaHeight - mHeight) / 2) : top;
    mPositioned = true;
    keepOnScreen();
    if (mView) mView->windowChanged();
}

void DynamicWindow::keepOnScreen() {
    int32_t areaLeft, areaTop, areaWidth, areaHeight;
    mBackend->workArea(mLeft, mTop, areaLeft, areaTop, areaWidth, areaHeight);
    // A window larger than the screen shows its top left part, where the title and texts begin.
    mLeft = std::max(areaLeft, std::min(mLeft, areaLeft + areaWidth - mWidth));
    mTop = std::max(areaTop, std::min(mTop, areaTop + areaHeight - mHeight));
}

void DynamicWindow::getWindowBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
    UILock lock(gUIMutex);
    int32_t l, t;
    if (mView && mOpen && mView->currentPosition(l, t)) mLeft = l, mTop = t;
    lockedBounds(left, top, width, height);
}

void DynamicWindow::lockedBounds(int32_t& left, int32_t& top, int32_t& width, int32_t& height) const {
    left = mLeft;
    top = mTop;
    width = mWidth;
    height = mHeight;
}

void DynamicWindow::lockedSetSize(int32_t width, int32_t height) {
    mWidth = width;
    mHeight = height;
    relayout();
}

void DynamicWindow::updateWindowTitle(const ucstring& title) {
    UILock lock(gUIMutex);
    if (mLayout.title() == title) return;
    mLayout.mutableTitle() = title;
    if (mView) mView->windowChanged();
}

bool DynamicWindow::changeObject(int32_t objectID, const std::function<bool(DWLayoutObject&)>& change) {
    UILock lock(gUIMutex);
    DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    if (change(*o) && mView) mView->objectChanged(objectID);
    return true;
}

namespace {
template <class T>
bool assign(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

// The value a control can hold, and what it means for its text.
void setControlValue(DWLayoutObject& o, int64_t value) {
    if (o.type() == kDWTypeCheckBox) value = value ? 1 : 0;
    o.setValue(value);
    if (o.type() == kDWTypeComboBox)
        o.mutableText() = value >= 0 && static_cast<size_t>(value) < o.items().size() ? o.items()[value] : ucstring();
}
}  // namespace

bool DynamicWindow::updateLabelText(int32_t objectID, const ucstring& text) {
    UILock lock(gUIMutex);
    bool rewrap = false;
    const bool found = changeObject(objectID, [&](DWLayoutObject& o) {
        if (!assign(o.mutableText(), text)) return false;
        // A label that wraps may need more or fewer lines now.
        rewrap = o.maxWidth() > 0 && layoutObjectShown(mLayout, objectID);
        return true;
    });
    if (rewrap && mBackend) relayout();
    return found;
}

bool DynamicWindow::updateButtonLabel(int32_t objectID, const ucstring& text) {
    return changeObject(objectID, [&](DWLayoutObject& o) { return assign(o.mutableText(), text); });
}

bool DynamicWindow::updateEditText(int32_t objectID, const ucstring& text) {
    return changeObject(objectID, [&](DWLayoutObject& o) { return assign(o.mutableText(), text); });
}

bool DynamicWindow::copyEditText(int32_t objectID, ucstring& text) {
    UILock lock(gUIMutex);
    const DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    text = o->text();
    return true;
}

bool DynamicWindow::getLayoutObjectValue(int32_t objectID, int64_t& value) {
    UILock lock(gUIMutex);
    const DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    value = o->value();
    return true;
}

bool DynamicWindow::updateLayoutObjectValue(int32_t objectID, int64_t value) {
    return changeObject(objectID, [&](DWLayoutObject& o) {
        if (o.value() == value) return false;
        setControlValue(o, value);
        return true;
    });
}

bool DynamicWindow::enableLayoutObject(int32_t objectID) {
    return changeObject(objectID, [](DWLayoutObject& o) {
        if (o.enabled()) return false;
        o.setEnabled(true);
        return true;
    });
}

bool DynamicWindow::disableLayoutObject(int32_t objectID) {
    return changeObject(objectID, [](DWLayoutObject& o) {
        if (!o.enabled()) return false;
        o.setEnabled(false);
        return true;
    });
}

bool DynamicWindow::updateFocus(int32_t objectID) {
    UILock lock(gUIMutex);
    if (!mLayout.findObject(objectID)) return false;
    mFocus = objectID;
    if (mView) mView->focusChanged(objectID);
    return true;
}

void DynamicWindow::relayout() {
    const int32_t minWidth = mLayout.resizableRight() ? mWidth : 0;
    const int32_t minHeight = mLayout.resizableDown() ? mHeight : 0;
    layoutArrange(mLayout, *mBackend, mWidth, mHeight, minWidth, minHeight);
    if (mView) mView->layoutChanged();
    if (!mPositioned) return;
    // Grown, it may reach over the screen's edge.
    int32_t left, top;
    if (mView && mOpen && mView->currentPosition(left, top)) mLeft = left, mTop = top;
    const int32_t oldLeft = mLeft, oldTop = mTop;
    keepOnScreen();
    if (mView && (mLeft != oldLeft || mTop != oldTop)) mView->windowChanged();
}

bool DynamicWindow::collapseBox(int32_t objectID) {
    UILock lock(gUIMutex);
    DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    if (!o->collapsed()) {
        o->setCollapsed(true);
        if (mBackend) relayout();
    }
    return true;
}

bool DynamicWindow::expandBox(int32_t objectID) {
    UILock lock(gUIMutex);
    DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    if (o->collapsed()) {
        o->setCollapsed(false);
        if (mBackend) relayout();
    }
    return true;
}

bool DynamicWindow::addComboBoxItem(int32_t objectID, const ucstring& item) {
    return changeObject(objectID, [&](DWLayoutObject& o) {
        o.mutableItems().push_back(item);
        return true;
    });
}

bool DynamicWindow::removeComboBoxItem(int32_t objectID, int64_t index) {
    bool inRange = false;
    const bool found = changeObject(objectID, [&](DWLayoutObject& o) {
        ucstringlist& items = o.mutableItems();
        inRange = index >= 0 && static_cast<size_t>(index) < items.size();
        if (!inRange) return false;
        items.erase(items.begin() + index);
        int64_t selected = o.value();
        if (selected == index)
            selected = items.empty() ? -1 : std::min<int64_t>(index, static_cast<int64_t>(items.size()) - 1);
        else if (selected > index)
            --selected;
        setControlValue(o, selected);
        return true;
    });
    return found && inRange;
}

bool DynamicWindow::copyComboBoxText(int32_t objectID, ucstring& text) { return copyEditText(objectID, text); }

bool DynamicWindow::copyListBoxItems(int32_t objectID, ucstringlist& items, bool selectedOnly) {
    UILock lock(gUIMutex);
    const DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    items.clear();
    if (!selectedOnly) {
        items = o->items();
    } else if (o->value() >= 0 && static_cast<size_t>(o->value()) < o->items().size()) {
        items.push_back(o->items()[o->value()]);
    }
    return true;
}

int64_t DynamicWindow::getListBoxItemCount(int32_t objectID) {
    UILock lock(gUIMutex);
    const DWLayoutObject* o = mLayout.findObject(objectID);
    return o ? static_cast<int64_t>(o->items().size()) : -1;
}

bool DynamicWindow::isBuilt() const {
    UILock lock(gUIMutex);
    return mBuilt;
}

bool DynamicWindow::isOpen() const {
    UILock lock(gUIMutex);
    return mOpen;
}

bool DynamicWindow::isModal() const {
    UILock lock(gUIMutex);
    return mModal;
}

ucstring DynamicWindow::title() const {
    UILock lock(gUIMutex);
    return mLayout.title();
}

bool DynamicWindow::objectState(int32_t objectID, DWLayoutObject& object) const {
    UILock lock(gUIMutex);
    const DWLayoutObject* o = mLayout.findObject(objectID);
    if (!o) return false;
    object = *o;
    return true;
}

DWLayout DynamicWindow::layoutState() const {
    UILock lock(gUIMutex);
    return mLayout;
}

int32_t DynamicWindow::focusedObject() const {
    UILock lock(gUIMutex);
    return mFocus;
}

platform::ThreadId DynamicWindow::ownerThread() const {
    UILock lock(gUIMutex);
    return mOwner;
}

DWBackendKind DynamicWindow::backendKind() const {
    UILock lock(gUIMutex);
    return mBackend ? mBackend->kind() : DWBackendKind::Automatic;
}

bool DynamicWindow::hasPendingActions() const {
    UILock lock(gUIMutex);
    return !mPending.empty();
}

void* DynamicWindow::nativeWindow() const {
    UILock lock(gUIMutex);
    return mView ? mView->nativeWindow() : nullptr;
}

void* DynamicWindow::nativeObject(int32_t objectID) const {
    UILock lock(gUIMutex);
    return mView ? mView->nativeObject(objectID) : nullptr;
}

// ---- User actions ------------------------------------------------------------------------------

void DynamicWindow::postAction(DWUserAction action) {
    UILock lock(gUIMutex);
    mPending.push_back(std::move(action));
}

void DynamicWindow::postButtonClick(int32_t objectID) {
    DWUserAction a;
    a.kind = DWUserAction::kButtonClick;
    a.objectID = objectID;
    postAction(std::move(a));
}

void DynamicWindow::postCheckBoxChange(int32_t objectID, bool checked) {
    DWUserAction a;
    a.kind = DWUserAction::kCheckBoxChange;
    a.objectID = objectID;
    a.value = checked ? 1 : 0;
    postAction(std::move(a));
}

void DynamicWindow::postValueChange(int32_t objectID, int64_t value) {
    DWUserAction a;
    a.kind = DWUserAction::kValueChange;
    a.objectID = objectID;
    a.value = value;
    postAction(std::move(a));
}

void DynamicWindow::postEditText(int32_t objectID, const ucstring& text) {
    DWUserAction a;
    a.kind = DWUserAction::kEditText;
    a.objectID = objectID;
    a.text = text;
    postAction(std::move(a));
}

void DynamicWindow::postCloseBoxClick() {
    DWUserAction a;
    a.kind = DWUserAction::kCloseBoxClick;
    postAction(std::move(a));
}

int32_t DynamicWindow::buttonWithFeature(uint16_t feature) const {
    for (const DWLayoutObject* o : dwShownObjects(mLayout, {kDWTypeButton, kDWTypeSmallButton}))
        if (o->features() & feature) return o->objectID();
    return 0;
}

bool DynamicWindow::takePendingAction(DWUserAction& action) {
    UILock lock(gUIMutex);
    if (mPending.empty()) return false;
    action = std::move(mPending.front());
    mPending.pop_front();
    return true;
}

void DynamicWindow::deliverAction(const DWUserAction& requested) {
    DWUserAction a = requested;
    uint16_t features = 0;
    int32_t objectType = 0;
    DWEvents* events = nullptr;
    {
        UILock lock(gUIMutex);
        if (!isRegistered(this) || !mBuilt) return;  // destroyed meanwhile
        events = mEvents ? mEvents : &gDefaultEvents;
        if (a.kind == DWUserAction::kAcceptKey || a.kind == DWUserAction::kCancelKey) {
            a.objectID = buttonWithFeature(a.kind == DWUserAction::kAcceptKey ? kDWButtonAccept : kDWButtonCancel);
            if (!a.objectID) return;
            a.kind = DWUserAction::kButtonClick;
        }
        if (a.kind != DWUserAction::kCloseBoxClick) {
            DWLayoutObject* o = mLayout.findObject(a.objectID);
            // What a person cannot reach on the screen, they cannot act on.
            if (!o || !o->enabled() || !layoutObjectShown(mLayout, a.objectID)) return;
            features = o->features();
            objectType = o->type();
            const bool button = objectType == kDWTypeButton || objectType == kDWTypeSmallButton;
            if (a.kind == DWUserAction::kButtonClick && !button) return;
            bool changed = false;
            if (a.kind == DWUserAction::kCheckBoxChange || a.kind == DWUserAction::kValueChange) {
                changed = !a.applied && o->value() != a.value;
                if (!a.applied) setControlValue(*o, a.value);
            } else if (a.kind == DWUserAction::kEditText) {
                if (!a.applied && (o->features() & kDWEditReadOnly)) return;
                changed = !a.applied && assign(o->mutableText(), a.text);
            }
            if (changed && mView) mView->objectChanged(a.objectID);
        } else if (mLayout.hideTitlebarButtons()) {
            return;  // no close box to click
        }
    }
    switch (a.kind) {
        case DWUserAction::kButtonClick:
            events->buttonClick(*this, a.objectID);
            if (features & kDWButtonCloses) dwClose();
            break;
        case DWUserAction::kCheckBoxChange: events->checkBoxChange(*this, a.objectID, a.value != 0); break;
        case DWUserAction::kValueChange:
            if (objectType == kDWTypeComboBox) events->comboBoxChange(*this, a.objectID, a.value);
            if (objectType == kDWTypeListBox) events->listBoxChange(*this, a.objectID, a.value);
            break;
        case DWUserAction::kEditText: events->editChange(*this, a.objectID); break;
        case DWUserAction::kKeyPress:
            if (objectType == kDWTypeComboBox)
                events->comboBoxKeyPress(*this, a.objectID, static_cast<int32_t>(a.value));
            else
                events->editKeyPress(*this, a.objectID, static_cast<int32_t>(a.value));
            break;
        case DWUserAction::kHyperlinkClick: events->hyperlinkClick(*this, a.objectID); break;
        case DWUserAction::kContextualMenuClick:
            events->contextualMenuClick(*this, a.objectID, static_cast<int32_t>(a.value));
            break;
        case DWUserAction::kListBoxDoubleClick: events->listBoxDoubleClick(*this, a.objectID, a.value); break;
        case DWUserAction::kCloseBoxClick:
            if (events->windowCloseBoxClick(*this)) dwClose();
            break;
        default: break;
    }
}

// ---- Shared helpers ----------------------------------------------------------------------------

ucstring dwSingleLine(const ucstring& text) {
    ucstring out = text;
    for (char16_t& c : out)
        if (c == u'\r' || c == u'\n') c = u' ';
    return out;
}

ucstring dwButtonKey(const ucstring& label) {
    ucstring key;
    for (char16_t c : label)
        if (c != u'&') key.push_back(c);
    key = stringNormalize(key);
    while (stringEndsWith(key, u".")) key.pop_back();
    return stringTrim(key);
}

namespace {
void collectShown(const DWLayout& layout, const DWLayoutObject& o, std::initializer_list<int32_t> types,
                  bool enabledOnly, std::vector<const DWLayoutObject*>& out) {
    if (std::find(types.begin(), types.end(), o.type()) != types.end() && (!enabledOnly || o.enabled()) &&
        layoutObjectShown(layout, o.objectID()))
        out.push_back(&o);
    for (const DWLayoutObject& c : o.children()) collectShown(layout, c, types, enabledOnly, out);
}
}  // namespace

std::vector<const DWLayoutObject*> dwShownObjects(const DWLayout& layout, std::initializer_list<int32_t> types,
                                                  bool enabledOnly) {
    std::vector<const DWLayoutObject*> out;
    collectShown(layout, layout.layout(), types, enabledOnly, out);
    return out;
}

// ---- Scripted answers --------------------------------------------------------------------------

namespace {
std::mutex gAnswersMutex;
std::deque<DWAnswer> gAnswers;
bool gAnswersLoaded = false;

void loadAnswersLocked() {
    if (gAnswersLoaded) return;
    gAnswersLoaded = true;
    if (const char* env = std::getenv("VOLAN_UI_ANSWERS"))
        for (DWAnswer& a : dwParseAnswers(env)) gAnswers.push_back(std::move(a));
}
}  // namespace

void dwQueueAnswer(const DWAnswer& answer) {
    std::lock_guard<std::mutex> lock(gAnswersMutex);
    loadAnswersLocked();
    gAnswers.push_back(answer);
}

bool dwTakeAnswer(DWAnswer& answer) {
    std::lock_guard<std::mutex> lock(gAnswersMutex);
    loadAnswersLocked();
    if (gAnswers.empty()) return false;
    answer = std::move(gAnswers.front());
    gAnswers.pop_front();
    return true;
}

void dwClearAnswers() {
    std::lock_guard<std::mutex> lock(gAnswersMutex);
    gAnswersLoaded = true;  // what the environment said is dropped too
    gAnswers.clear();
}

size_t dwAnswerCount() {
    std::lock_guard<std::mutex> lock(gAnswersMutex);
    loadAnswersLocked();
    return gAnswers.size();
}

std::vector<DWAnswer> dwParseAnswers(const std::string& text) {
    std::vector<DWAnswer> answers;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string entry = text.substr(start, end - start);
        start = end + 1;
        if (stringTrim(entry).empty()) continue;
        DWAnswer a;
        const size_t colon = entry.find(':');
        a.button = stringTrim(ucstringFromUTF8String(entry.substr(0, colon)));
        if (colon != std::string::npos) {
            a.hasText = true;
            std::string value;
            for (size_t i = colon + 1; i < entry.size(); ++i) {
                if (entry[i] == '\\' && i + 1 < entry.size()) {
                    const char next = entry[++i];
                    value.push_back(next == 'n' ? '\n' : next);
                } else {
                    value.push_back(entry[i]);
                }
            }
            a.text = ucstringFromUTF8String(value);
        }
        answers.push_back(std::move(a));
    }
    return answers;
}

bool dwPostAnswer(DynamicWindow& window, const DWAnswer& answer) {
    int32_t button = 0, edit = 0;
    {
        UILock lock(gUIMutex);
        const DWLayout& layout = window.lockedLayout();
        const ucstring wanted = dwButtonKey(answer.button);
        const auto buttons = dwShownObjects(layout, {kDWTypeButton, kDWTypeSmallButton});
        for (const DWLayoutObject* o : buttons)
            if (!wanted.empty() && dwButtonKey(o->text()) == wanted) {
                button = o->objectID();
                break;
            }
        if (!button && stringIsNumeric(answer.button)) {
            const int64_t id = stringToInteger(answer.button);
            for (const DWLayoutObject* o : buttons)
                if (o->objectID() == id) button = o->objectID();
        }
        if (!button) return false;
        if (answer.hasText) {
            for (const DWLayoutObject* o : dwShownObjects(layout, {kDWTypeEdit, kDWTypeMultiLineEdit})) {
                if (o->features() & kDWEditReadOnly) continue;
                edit = o->objectID();
                break;
            }
        }
    }
    if (edit) window.postEditText(edit, answer.text);
    window.postButtonClick(button);
    return true;
}

void dwPostCancel(DynamicWindow& window) {
    bool hasCancel;
    {
        UILock lock(gUIMutex);
        hasCancel = false;
        for (const DWLayoutObject* o : dwShownObjects(window.lockedLayout(), {kDWTypeButton, kDWTypeSmallButton}))
            if (o->features() & kDWButtonCancel) hasCancel = true;
    }
    DWUserAction a;
    a.kind = hasCancel ? DWUserAction::kCancelKey : DWUserAction::kCloseBoxClick;
    window.postAction(std::move(a));
}
