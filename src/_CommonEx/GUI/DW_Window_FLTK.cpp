// The GUI backend: real windows with FLTK on the X display. FLTK is used only with the UI lock
// held; the thread that built a window dispatches its events when it pumps its messages (and a
// modal window's loop waits for events in short turns), so other threads can update windows
// between turns.
#include "DW_LayoutObject_FLTK.h"
#include "DW_Resources.h"
#include "DW_Window_Private.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/Fl_Tabs.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <platform/Threads.h>

#include <cstdlib>
#include <map>

namespace {

// FLTK makes objects of its own as soon as it is loaded and is not made to be unloaded; it stays for
// the life of the process even when the host unloads the plug-in.
const bool gFLTKKept = [] {
    platform::pinModule(reinterpret_cast<const void*>(&Fl::check));
    platform::pinModule(reinterpret_cast<const void*>(&fl_register_images));
    return true;
}();

using UILock = std::lock_guard<std::recursive_mutex>;

class FLTKView;

class DWFlWindow : public Fl_Double_Window {
public:
    DWFlWindow(int w, int h, FLTKView& view) : Fl_Double_Window(w, h), mView(view) {}
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

private:
    FLTKView& mView;
};

class FLTKView : public DWView {
public:
    explicit FLTKView(DynamicWindow& window) : mWindow(window) {}
    ~FLTKView() override { mFl.reset(); }

    bool build() override {
        const DWLayout& layout = mWindow.lockedLayout();
        int32_t left, top, width, height;
        mWindow.lockedBounds(left, top, width, height);
        Fl_Group::current(nullptr);  // a top-level window, whatever was being built before
        mFl = std::make_unique<DWFlWindow>(width, height, *this);
        createChildren(layout.layout(), layout.showBoxLines());
        mFl->end();
        mFl->callback(closeBoxCallback, this);
        mFl->copy_label(dwFLTKText(layout.title(), false).c_str());
        allowResizing();
        refreshAll();
        return true;
    }

    void show() override {
        int32_t left, top, width, height;
        mWindow.lockedBounds(left, top, width, height);
        mFl->position(left, top);
        if (mWindow.isModal())
            mFl->set_modal();
        else
            mFl->set_non_modal();
        mFl->show();
        Fl::flush();
    }

    void hide() override {
        mFl->hide();
        Fl::flush();
    }

    void objectChanged(int32_t objectID) override {
        auto it = mControls.find(objectID);
        const DWLayoutObject* o = mWindow.lockedObject(objectID);
        if (!o) return;
        if (it != mControls.end()) {
            dwFLTKUpdateControl(*it->second, *o, onScreen(objectID));
        } else if (auto tabs = mTabControls.find(objectID); tabs != mTabControls.end()) {
            selectTab(tabs->second, *o);
        }
    }

    void windowChanged() override {
        const std::string title = dwFLTKText(mWindow.lockedLayout().title(), false);
        if (!mFl->label() || title != mFl->label()) mFl->copy_label(title.c_str());
        int32_t left, top, width, height;
        mWindow.lockedBounds(left, top, width, height);
        if (mFl->x() != left || mFl->y() != top) mFl->position(left, top);
    }

    void layoutChanged() override {
        int32_t left, top, width, height;
        mWindow.lockedBounds(left, top, width, height);
        mResizing = true;
        if (mFl->w() != width || mFl->h() != height) mFl->size(width, height);
        allowResizing();
        mResizing = false;
        // Parents first, so a group's own resizing of its children is overridden by their places.
        placeAll(mWindow.lockedLayout().layout());
        mFl->init_sizes();
        refreshAll();
        mFl->redraw();
    }

    void focusChanged(int32_t objectID) override {
        auto it = mControls.find(objectID);
        if (it != mControls.end() && it->second->widget) it->second->widget->take_focus();
    }

    bool currentPosition(int32_t& left, int32_t& top) const override {
        if (!mFl || !mFl->shown()) return false;
        left = mFl->x();
        top = mFl->y();
        return true;
    }

    void modalStep() override {
        UILock lock(dwUIMutex());
        Fl::wait(0.03);
    }

    void* nativeWindow() const override { return mFl.get(); }
    void* nativeObject(int32_t objectID) const override {
        if (auto it = mControls.find(objectID); it != mControls.end()) return it->second->widget;
        if (auto it = mTabControls.find(objectID); it != mTabControls.end()) return it->second;
        if (auto it = mTabs.find(objectID); it != mTabs.end()) return it->second;
        return nullptr;
    }

    void userResized(int width, int height) {
        if (mResizing) return;
        int32_t left, top, w, h;
        mWindow.lockedBounds(left, top, w, h);
        if (w != width || h != height) mWindow.lockedSetSize(width, height);
    }

    void post(DWUserAction::Kind kind) {
        DWUserAction a;
        a.kind = kind;
        mWindow.postAction(std::move(a));
    }

    bool hasButtonWith(uint16_t feature) const {
        for (const DWLayoutObject* o : dwShownObjects(mWindow.lockedLayout(), {kDWTypeButton, kDWTypeSmallButton}))
            if (o->features() & feature) return true;
        return false;
    }

private:
    static void closeBoxCallback(Fl_Widget*, void* data) {
        // FLTK sends an unused Escape here too; Escape belongs to the cancel button.
        if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
        static_cast<FLTKView*>(data)->post(DWUserAction::kCloseBoxClick);
    }

    static void tabsCallback(Fl_Widget* widget, void* data) {
        auto* view = static_cast<FLTKView*>(data);
        auto* tabs = static_cast<Fl_Tabs*>(widget);
        for (auto& [id, t] : view->mTabControls) {
            if (t != tabs) continue;
            if (DWLayoutObject* o = view->mWindow.lockedObject(id)) o->setValue(tabs->find(tabs->value()));
        }
    }

    bool onScreen(int32_t objectID) const {
        // Tab pages are shown and hidden by their tab control, so only boxes decide here.
        return layoutObjectShown(mWindow.lockedLayout(), objectID, false);
    }

    void allowResizing() {
        const DWLayout& layout = mWindow.lockedLayout();
        const int w = mFl->w(), h = mFl->h();
        mFl->size_range(w, h, layout.resizableRight() ? 0 : w, layout.resizableDown() ? 0 : h);
    }

    void createChildren(const DWLayoutObject& o, bool boxLines) {
        if (o.type() == kDWTypeTabControl) {
            auto* tabs = new Fl_Tabs(o.rLeft(), o.rTop(), o.rWidth(), o.rHeight());
            tabs->callback(tabsCallback, this);
            tabs->labelsize(14);
            mTabControls[o.objectID()] = tabs;
            for (const DWLayoutObject& tab : o.children()) {
                auto* page = new Fl_Group(o.rLeft(), o.rTop() + DWMeasurer::kTabHeader, o.rWidth(),
                                          o.rHeight() - DWMeasurer::kTabHeader);
                page->copy_label(dwFLTKText(tab.text(), true).c_str());
                page->labelsize(14);
                mTabs[tab.objectID()] = page;
                for (const DWLayoutObject& c : tab.children()) createChildren(c, boxLines);
                page->end();
            }
            tabs->end();
            selectTab(tabs, o);
            return;
        }
        if (o.isContainer()) {
            if (boxLines) {
                auto* frame = new Fl_Box(FL_ENGRAVED_FRAME, o.rLeft(), o.rTop(), o.rWidth(), o.rHeight(), nullptr);
                mFrames[o.objectID()] = frame;
            }
            for (const DWLayoutObject& c : o.children()) createChildren(c, boxLines);
            return;
        }
        auto control = std::make_unique<DWFLTKControl>();
        control->window = &mWindow;
        if (dwFLTKCreateControl(*control, o)) mControls[o.objectID()] = std::move(control);
    }

    void selectTab(Fl_Tabs* tabs, const DWLayoutObject& o) {
        if (o.value() >= 0 && o.value() < tabs->children()) {
            Fl_Widget* page = tabs->child(static_cast<int>(o.value()));
            if (tabs->value() != page) tabs->value(page);
        }
    }

    void placeAll(const DWLayoutObject& o) {
        if (o.type() == kDWTypeTabControl) {
            if (auto it = mTabControls.find(o.objectID()); it != mTabControls.end())
                it->second->resize(o.rLeft(), o.rTop(), o.rWidth(), o.rHeight());
            for (const DWLayoutObject& tab : o.children()) {
                if (auto it = mTabs.find(tab.objectID()); it != mTabs.end())
                    it->second->resize(o.rLeft(), o.rTop() + DWMeasurer::kTabHeader, o.rWidth(),
                                       o.rHeight() - DWMeasurer::kTabHeader);
                for (const DWLayoutObject& c : tab.children()) placeAll(c);
            }
            return;
        }
        if (auto it = mFrames.find(o.objectID()); it != mFrames.end()) {
            it->second->resize(o.rLeft(), o.rTop(), o.rWidth(), o.rHeight());
            if (o.collapsed())
                it->second->hide();
            else
                it->second->show();
        }
        if (auto it = mControls.find(o.objectID()); it != mControls.end()) dwFLTKPlaceControl(*it->second, o);
        for (const DWLayoutObject& c : o.children()) placeAll(c);
    }

    void refreshAll() {
        for (auto& [id, control] : mControls)
            if (const DWLayoutObject* o = mWindow.lockedObject(id)) dwFLTKUpdateControl(*control, *o, onScreen(id));
        for (auto& [id, tabs] : mTabControls)
            if (const DWLayoutObject* o = mWindow.lockedObject(id)) selectTab(tabs, *o);
    }

    DynamicWindow& mWindow;
    std::unique_ptr<DWFlWindow> mFl;
    std::map<int32_t, std::unique_ptr<DWFLTKControl>> mControls;
    std::map<int32_t, Fl_Tabs*> mTabControls;
    std::map<int32_t, Fl_Group*> mTabs;
    std::map<int32_t, Fl_Box*> mFrames;
    bool mResizing = false;
};

int DWFlWindow::handle(int event) {
    if (event == FL_SHORTCUT) {
        const int key = Fl::event_key();
        if ((key == FL_Enter || key == FL_KP_Enter) && mView.hasButtonWith(kDWButtonAccept)) {
            mView.post(DWUserAction::kAcceptKey);
            return 1;
        }
        if (key == FL_Escape) {
            mView.post(DWUserAction::kCancelKey);
            return 1;
        }
    }
    return Fl_Double_Window::handle(event);
}

void DWFlWindow::resize(int x, int y, int w, int h) {
    const bool sized = w != this->w() || h != this->h();
    Fl_Double_Window::resize(x, y, w, h);
    if (sized) mView.userResized(w, h);
}

constexpr int kFontSize = 14;
constexpr int kSmallFontSize = 12;

class FLTKBackend : public DWBackend {
public:
    FLTKBackend() {
        Fl::scheme("gtk+");
        fl_font(FL_HELVETICA, kFontSize);
        mLineHeight = fl_height();
    }
    DWBackendKind kind() const override { return DWBackendKind::GUI; }
    std::unique_ptr<DWView> createView(DynamicWindow& window) override { return std::make_unique<FLTKView>(window); }
    void textSize(const ucstring& text, bool bold, bool small, int32_t maxWidth, int32_t& width,
                  int32_t& height) const override {
        UILock lock(dwUIMutex());
        fl_font(bold ? FL_HELVETICA_BOLD : FL_HELVETICA, small ? kSmallFontSize : kFontSize);
        const std::string s = dwFLTKText(text, false);
        int w = maxWidth > 0 ? maxWidth : 0, h = 0;
        if (s.empty()) {
            w = 0;
            h = fl_height();
        } else {
            fl_measure(s.c_str(), w, h, 0);
        }
        width = w;
        height = h;
    }
    void imageSize(const ucstring& resourceName, int32_t& width, int32_t& height) const override {
        if (!dwImageResourceSize(resourceName, width, height)) width = height = 32;
    }
    int32_t lineHeight() const override { return mLineHeight; }
    void workArea(int32_t x, int32_t y, int32_t& left, int32_t& top, int32_t& width, int32_t& height) const override {
        UILock lock(dwUIMutex());
        int l, t, w, h;
        Fl::screen_work_area(l, t, w, h, x, y);
        left = l;
        top = t;
        width = w;
        height = h;
    }
    void pump() override {
        UILock lock(dwUIMutex());
        Fl::check();
    }
    bool modifierKeysDown(bool shift, bool control) const override {
        UILock lock(dwUIMutex());
        const bool shiftDown = Fl::get_key(FL_Shift_L) || Fl::get_key(FL_Shift_R);
        const bool controlDown = Fl::get_key(FL_Control_L) || Fl::get_key(FL_Control_R);
        return (!shift || shiftDown) && (!control || controlDown);
    }

private:
    int32_t mLineHeight = 17;
};

}  // namespace

namespace {
// The connection found by asking whether a display is usable, kept for FLTK: an X server with no
// other client resets when the last one leaves, and would refuse the next for a moment.
Display* gDisplay = nullptr;
}  // namespace

bool dwDisplayUsable() {
    UILock lock(dwUIMutex());
    if (fl_display || gDisplay) return true;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    // FLTK ends the process when it cannot open the display, so X is asked first.
    gDisplay = XOpenDisplay(nullptr);
    return gDisplay != nullptr;
}

std::shared_ptr<DWBackend> dwMakeGUIBackend() {
    UILock lock(dwUIMutex());
    if (!dwDisplayUsable()) return nullptr;
    if (!fl_display) fl_open_display(gDisplay);
    return std::make_shared<FLTKBackend>();
}
