// The status window: one small floating window per process that shows what the plug-in is doing
// (a message of the solution's, the status text, progress, the number of queued transfers) and
// offers Cancel for the running transfer. It lives in the configuration store under
// "PluginStatus"; callers hold the configuration lock while they use it.
#pragma once

#include "_CommonEx/GUI/DW_Window.h"

#include <atomic>

class StatusWindow : public DWEvents {
public:
    StatusWindow() = default;
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

    void buttonClick(DynamicWindow& window, int32_t objectID) override;

    ~StatusWindow() override;
    virtual DWLayout& mutableLayout() { return mLayout; }
    virtual const DWLayout& layout() const { return mLayout; }
    virtual void setStatusWindow(DynamicWindow* window);  // takes ownership
    virtual DynamicWindow* statusWindow() const { return mStatusWindow; }
    virtual ucstring& mutableText() { return mText; }
    virtual const ucstring& text() const { return mText; }
    virtual ucstring& mutableMultiFile() { return mMultiFile; }
    virtual const ucstring& multiFile() const { return mMultiFile; }
    // Percent; negative means indeterminate.
    virtual void setProgress(int64_t progress) { mProgress = progress; }
    virtual int64_t progress() const { return mProgress; }
    virtual ucstring& mutableCustomLabel() { return mCustomLabel; }
    virtual const ucstring& customLabel() const { return mCustomLabel; }
    virtual ucstring& mutableCustomTitle() { return mCustomTitle; }
    virtual const ucstring& customTitle() const { return mCustomTitle; }
    virtual void setIsOpen(bool open) { mIsOpen = open; }
    virtual bool isOpen() const { return mIsOpen; }
    // Set from the window's own thread when Cancel is clicked, read by transfers on any thread.
    virtual void setCancelled(bool cancelled) { mCancelled = cancelled; }
    virtual bool cancelled() const { return mCancelled; }

    // Everything below does nothing while the window is not open, except show and the custom
    // title and label, which are kept for when it is.
    void show();
    void hide();
    // -1 centres the window on that axis.
    void move(int32_t left, int32_t top);
    void getCoords(int32_t& left, int32_t& top);
    void updateStatus(const ucstring& text, int64_t progress);
    void updateStatusText(const ucstring& text);
    void updateStatusMultiFile(const ucstring& text);
    void updateProgressBar(int64_t value);
    void setCustomTitle(const ucstring& title);
    void setCustomLabel(const ucstring& text);
    void enableCancelButton();
    void disableCancelButton(bool resetCancelled);
    // Builds the window's description and the window; false when it could not be built.
    bool createStatusWindow();

private:
    DWLayout mLayout;
    DynamicWindow* mStatusWindow = nullptr;
    ucstring mText = u"Idle.";
    ucstring mMultiFile;
    int64_t mProgress = 0;
    ucstring mCustomLabel;
    ucstring mCustomTitle;
    bool mIsOpen = false;
    std::atomic<bool> mCancelled{false};
};

// Object IDs of the status window.
enum : int32_t {
    kStatusCustomLabelBox = 106,
    kStatusCustomLabel = 107,
    kStatusText = 101,
    kStatusProgressBox = 201,
    kStatusProgressBar = 102,
    kStatusPercent = 103,
    kStatusQueueBox = 202,
    kStatusMultiFile = 104,
    kStatusCancel = 105,
    kStatusRoot = 200,
};
