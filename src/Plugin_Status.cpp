#include "Plugin_Status.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Threads.h>

#include <algorithm>
#include <new>

namespace {

const ucstring kDefaultTitle = u"Volan Pro Status";
const ucstring kCancel = u"Cancel";
constexpr int32_t kCustomLabelMaxWidth = 480;
constexpr int32_t kCustomLabelMaxLines = 10;

ucstring percentText(int64_t value) {
    ucstring text;
    if (value >= 0) stringFromInteger(text, value) += u"%";
    return text;
}

}  // namespace

StatusWindow::~StatusWindow() { setStatusWindow(nullptr); }

void StatusWindow::setStatusWindow(DynamicWindow* window) {
    if (mStatusWindow == window) return;
    delete mStatusWindow;
    mStatusWindow = window;
}

bool StatusWindow::createStatusWindow() {
    DWLayout& l = mutableLayout();
    setupLayout(l, kStatusRoot, true);
    l.mutableTitle() = customTitle().empty() ? kDefaultTitle : customTitle();
    l.setHideTitlebarButtons(true);  // Cancel is the way to stop; the window goes when the solution says so
    l.setWidth(320);                 // room for "12 transfers remaining." beside Cancel
    addHBox(l, kStatusRoot, kStatusCustomLabelBox);
    if (DWLayoutObject* label =
            addLabel(l, kStatusCustomLabelBox, kStatusCustomLabel, customLabel(), 2, 250, kCustomLabelMaxWidth)) {
        label->setCollapsed(customLabel().empty());
        // A message of any length wraps, and at most a few lines of it keep the window on the screen.
        label->setMaxHeight(kCustomLabelMaxLines * dwCurrentBackend()->lineHeight());
    }
    addLabel(l, kStatusRoot, kStatusText, text(), 2, 250);
    addHBox(l, kStatusRoot, kStatusProgressBox);
    addProgressBar(l, kStatusProgressBox, kStatusProgressBar, progress(), 150);
    addLabel(l, kStatusProgressBox, kStatusPercent, percentText(progress()), 0, 50);
    addHBox(l, kStatusRoot, kStatusQueueBox);
    addLabel(l, kStatusQueueBox, kStatusMultiFile, multiFile(), 2, 150);
    if (DWLayoutObject* cancel = addButton(l, kStatusQueueBox, kStatusCancel, kCancel, 0, 100))
        cancel->setEnabled(false);  // only while a transfer that can be cancelled runs

    auto* window = new (std::nothrow) DynamicWindow();
    if (!window) {
        DEBUG_OUT("Could not create Status Window!");
        return false;
    }
    if (!window->buildWindow(l, this)) {
        DEBUG_OUT("Could not build Status Window!");
        delete window;
        return false;
    }
    setStatusWindow(window);
    return true;
}

void StatusWindow::show() {
    if (constFMProduct() > 2) return;  // no screen on the server products
    if (isOpen()) return;
    if (!statusWindow() && !createStatusWindow()) return;
    statusWindow()->dwShow(false);
    setIsOpen(true);
}

void StatusWindow::hide() {
    if (!isOpen()) return;
    statusWindow()->dwClose();
    setIsOpen(false);
}

void StatusWindow::move(int32_t left, int32_t top) {
    if (!isOpen()) return;
    statusWindow()->positionWindow(left, top);
}

void StatusWindow::getCoords(int32_t& left, int32_t& top) {
    left = top = 0;
    if (!isOpen()) return;
    int32_t width, height;
    statusWindow()->getWindowBounds(left, top, width, height);
}

void StatusWindow::updateStatus(const ucstring& text, int64_t progress) {
    updateStatusText(text);
    updateProgressBar(progress);
}

void StatusWindow::updateStatusText(const ucstring& newText) {
    if (!isOpen() || newText == text()) return;
    mutableText() = newText;
    statusWindow()->updateLabelText(kStatusText, newText);
    DEBUG_OUT(u"Text: " + newText);
}

void StatusWindow::updateStatusMultiFile(const ucstring& newText) {
    if (!isOpen() || newText == multiFile()) return;
    mutableMultiFile() = newText;
    statusWindow()->updateLabelText(kStatusMultiFile, newText);
    DEBUG_OUT(u"MultiFile: " + newText);
}

void StatusWindow::updateProgressBar(int64_t value) {
    if (!isOpen() || value == progress()) return;
    setProgress(value);
    const ucstring label = percentText(value);
    statusWindow()->updateLayoutObjectValue(kStatusProgressBar, value);
    statusWindow()->updateLabelText(kStatusPercent, label);
    DEBUG_OUT(u"Progress: " + (value < 0 ? ucstring(u"indeterminate") : label));
}

void StatusWindow::setCustomTitle(const ucstring& title) {
    mutableCustomTitle() = stringTrim(title);
    if (isOpen()) statusWindow()->updateWindowTitle(customTitle().empty() ? kDefaultTitle : customTitle());
}

void StatusWindow::setCustomLabel(const ucstring& label) {
    mutableCustomLabel() = stringTrim(label);
    if (!isOpen()) return;
    statusWindow()->updateLabelText(kStatusCustomLabel, customLabel());
    if (customLabel().empty())
        statusWindow()->collapseBox(kStatusCustomLabel);
    else
        statusWindow()->expandBox(kStatusCustomLabel);
}

void StatusWindow::enableCancelButton() {
    if (!isOpen()) return;
    setCancelled(false);
    statusWindow()->updateButtonLabel(kStatusCancel, kCancel);
    statusWindow()->enableLayoutObject(kStatusCancel);
}

void StatusWindow::disableCancelButton(bool resetCancelled) {
    if (!isOpen()) return;
    if (resetCancelled) setCancelled(false);
    statusWindow()->updateButtonLabel(kStatusCancel, kCancel);
    statusWindow()->disableLayoutObject(kStatusCancel);
}

void StatusWindow::buttonClick(DynamicWindow& window, int32_t objectID) {
    if (objectID != kStatusCancel) return;
    setCancelled(true);
    window.updateButtonLabel(kStatusCancel, u"Cancelling...");
    window.disableLayoutObject(kStatusCancel);
}
