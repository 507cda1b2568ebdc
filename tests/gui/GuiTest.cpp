// Real windows on a virtual X display (Xvfb, started here): the status window and the configuration
// dialog built with FLTK, clicked and typed at through X events as a user's mouse and keyboard
// would, and photographed into the build folder (artifacts/*.png).
#include "../support/TestDrives.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Config.h"
#include "Plugin_Main.h"
#include "Plugin_Status.h"
#include "Plugin_Thread.h"
#include "Support/FTPAccount.h"
#include "Support/FTPAccountDialog.h"
#include "_Common/FMPlugin/Plugin_FMXExtensions.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_FMXText.h"
#include "_CommonEx/GUI/DW_FileChooser.h"
#include "functions/Functions.h"

#include <fmhost/Host.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Last: the X headers define macros (None, Status, Bool) that other headers use as names.
#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/keysym.h>

// FLTK and the X libraries keep some memory for the life of the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libX11\nleak:libfontconfig\nleak:libfltk\nleak:libXft\nleak:libxcb\n";
}

namespace {

// One Xvfb for the test program, on a display number it picks itself.
class VirtualDisplay : public ::testing::Environment {
public:
    void SetUp() override {
        int fds[2];
        if (pipe(fds) != 0) return;
        mPid = fork();
        if (mPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // gone with the test, however it ends
            close(fds[0]);
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        while (mPid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
        close(fds[0]);
        if (number.empty()) {
            stop();
            return;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        sDisplay = ":" + number;
    }
    void TearDown() override { stop(); }
    static const std::string& display() { return sDisplay; }

private:
    void stop() {
        if (mPid > 0) {
            kill(mPid, SIGTERM);
            waitpid(mPid, nullptr, 0);
            mPid = -1;
        }
    }
    pid_t mPid = -1;
    static inline std::string sDisplay;
};

const auto* gDisplay = ::testing::AddGlobalTestEnvironment(new VirtualDisplay);

std::string artifact(const std::string& name) {
    mkdir(VOLAN_ARTIFACT_DIR, 0755);
    return std::string(VOLAN_ARTIFACT_DIR) + "/" + name;
}

// Lets the window settle on screen: map, draw, deliver.
void settle(int turns = 20) {
    for (int i = 0; i < turns; ++i) {
        platform::pumpMessages();
        {
            std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
            Fl::flush();
            XSync(fl_display, False);
        }
        platform::sleepMilliseconds(10);
    }
}

// A photograph of one window, as the X server holds it.
bool photograph(DynamicWindow& window, const std::string& file) {
    settle();
    Window xid;
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        xid = fl_xid(static_cast<Fl_Window*>(window.nativeWindow()));
    }
    char command[512];
    std::snprintf(command, sizeof command, "DISPLAY=%s import -window 0x%lx '%s' 2>/dev/null",
                  VirtualDisplay::display().c_str(), static_cast<unsigned long>(xid), artifact(file).c_str());
    return std::system(command) == 0;
}

// A left click in the middle of the control, sent to the window as the X server sends a mouse's.
void click(DynamicWindow& window, int32_t objectID) {
    std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
    auto* win = static_cast<Fl_Window*>(window.nativeWindow());
    auto* widget = static_cast<Fl_Widget*>(window.nativeObject(objectID));
    ASSERT_TRUE(win && widget) << objectID;
    XEvent e{};
    e.xbutton.display = fl_display;
    e.xbutton.window = fl_xid(win);
    e.xbutton.root = RootWindow(fl_display, fl_screen);
    e.xbutton.x = widget->x() + std::min(widget->w() / 2, 8);  // a check box reacts on its box too
    e.xbutton.y = widget->y() + widget->h() / 2;
    e.xbutton.x_root = win->x() + e.xbutton.x;
    e.xbutton.y_root = win->y() + e.xbutton.y;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    e.xbutton.time = CurrentTime;
    e.type = ButtonPress;
    XSendEvent(fl_display, e.xbutton.window, True, ButtonPressMask, &e);
    e.type = ButtonRelease;
    e.xbutton.state = Button1Mask;
    XSendEvent(fl_display, e.xbutton.window, True, ButtonReleaseMask, &e);
    XFlush(fl_display);
}

void pressKey(DynamicWindow& window, KeySym key) {
    std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
    auto* win = static_cast<Fl_Window*>(window.nativeWindow());
    XEvent e{};
    e.xkey.display = fl_display;
    e.xkey.window = fl_xid(win);
    e.xkey.root = RootWindow(fl_display, fl_screen);
    e.xkey.keycode = XKeysymToKeycode(fl_display, key);
    e.xkey.same_screen = True;
    e.xkey.time = CurrentTime;
    e.type = KeyPress;
    XSendEvent(fl_display, e.xkey.window, True, KeyPressMask, &e);
    e.type = KeyRelease;
    XSendEvent(fl_display, e.xkey.window, True, KeyReleaseMask, &e);
    XFlush(fl_display);
}

class RealWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (VirtualDisplay::display().empty()) GTEST_SKIP() << "Xvfb is not available";
        dwSetBackend(DWBackendKind::GUI);
        ASSERT_EQ(dwBackend(), DWBackendKind::GUI);
        fmhost::HostState::get().reset();
        startupPluginThread(57, 1, u"Pro 16.0.1");
        loadFMXAPIExtensions();
        pluginRegisterFunctions();
    }
    void TearDown() override {
        if (VirtualDisplay::display().empty()) return;
        dwSetModalHook({});
        pluginUnregisterFunctions();
        shutdownPluginThread();
    }

    template <class F>
    void withStatus(F use) {
        PluginConfigLock lock(1000);
        ASSERT_TRUE(lock.held());
        StatusWindow* status = nullptr;
        ASSERT_EQ(PluginConfigLock(1000).get(status), u"");
        use(*status);
    }

    std::u16string statusWindowFunction(const std::u16string& action, int left, int top, const std::u16string& title,
                                        const std::u16string& text) {
        auto env = fmhost::environmentFor(3);
        fmx::DataVectUniquePtr args;
        fmx::LocaleUniquePtr locale;
        auto addText = [&](const std::u16string& s) {
            fmx::DataUniquePtr d;
            fmx::TextUniquePtr t;
            t->AssignUnicodeWithLength(s.data(), static_cast<fmx::uint32>(s.size()));
            d->SetAsText(*t, *locale);
            args->PushBack(*d);
        };
        auto addNumber = [&](int n) {
            fmx::DataUniquePtr d;
            fmx::FixPtUniquePtr f;
            f->AssignInt(n);
            d->SetAsNumber(*f);
            args->PushBack(*d);
        };
        addText(action);
        addNumber(left);
        addNumber(top);
        addText(title);
        addText(text);
        fmx::DataUniquePtr result;
        StatusWindowFunctionCallback(480, *env, *args, *result);
        return ucstringFromFMXText(result->GetAsText());
    }
};

}  // namespace

TEST_F(RealWindows, StatusWindowCancelThroughTheMouse) {
    EXPECT_EQ(statusWindowFunction(u"Show", 100, 120, u"Nightly Upload", u"Sending the weekly archive"),
              u"Status shown.\r100\r120");
    DynamicWindow* window = nullptr;
    withStatus([&](StatusWindow& s) {
        s.enableCancelButton();
        window = s.statusWindow();
    });
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->nativeWindow(), nullptr);
    updateStatusText(u"Uploading 'backup-2024-06-30.zip'...");
    updateStatusProgress(42, 100);
    updateStatusMultiFile(u"2 transfers remaining.");
    EXPECT_TRUE(photograph(*window, "status-window.png"));
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        auto* win = static_cast<Fl_Window*>(window->nativeWindow());
        EXPECT_TRUE(win->shown());
        EXPECT_EQ(win->x(), 100);
        EXPECT_EQ(win->y(), 120);
        EXPECT_STREQ(win->label(), "Nightly Upload");
        auto* cancel = static_cast<Fl_Widget*>(window->nativeObject(kStatusCancel));
        EXPECT_TRUE(cancel->active());
        EXPECT_STREQ(cancel->label(), "Cancel");
        EXPECT_STREQ(static_cast<Fl_Widget*>(window->nativeObject(kStatusPercent))->label(), "42%");
    }

    click(*window, kStatusCancel);
    bool cancelled = false;
    for (int i = 0; i < 100 && !cancelled; ++i) {
        updateStatusProgress(43, 100, &cancelled);  // each report pumps the thread's messages
        platform::sleepMilliseconds(10);
    }
    EXPECT_TRUE(cancelled);
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        auto* cancel = static_cast<Fl_Widget*>(window->nativeObject(kStatusCancel));
        EXPECT_FALSE(cancel->active());
        EXPECT_STREQ(cancel->label(), "Cancelling...");
    }
    // A text wider than the window is shortened on screen, kept whole in the window's state.
    const std::u16string longText = u"Uploading 'quarterly-report-with-every-appendix-2024-06-30-final.zip'...";
    updateStatusText(longText);
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        const std::string shown = static_cast<Fl_Widget*>(window->nativeObject(kStatusText))->label();
        EXPECT_EQ(shown.rfind("Uploading 'quarterly-report", 0), 0u) << shown;
        EXPECT_EQ(shown.substr(shown.size() - 3), "...");
        EXPECT_LT(shown.size(), longText.size());
    }
    DWLayoutObject state;
    ASSERT_TRUE(window->objectState(kStatusText, state));
    EXPECT_EQ(state.text(), longText);
    EXPECT_TRUE(photograph(*window, "status-window-cancelling.png"));

    // A closed window's custom label collapses: the window is shorter by that row.
    int32_t left, top, width, height, shorter;
    window->getWindowBounds(left, top, width, height);
    statusWindowFunction(u"Show", 0, 0, u"", u"");
    window->getWindowBounds(left, top, width, shorter);
    EXPECT_LT(shorter, height);
    settle();
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        EXPECT_EQ(static_cast<Fl_Window*>(window->nativeWindow())->h(), shorter);
        EXPECT_FALSE(static_cast<Fl_Widget*>(window->nativeObject(kStatusCustomLabel))->visible());
    }
    EXPECT_EQ(statusWindowFunction(u"Hide", 0, 0, u"", u"").substr(0, 15), u"Status hidden.\r");
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        EXPECT_FALSE(static_cast<Fl_Window*>(window->nativeWindow())->shown());
    }
}

// A long message wraps, and no place, asked for or remembered, puts any of the window off the
// 1024 x 768 screen; the results tell where it really is.
TEST_F(RealWindows, StatusWindowStaysOnTheScreen) {
    std::u16string message;
    while (message.size() < 380) message += u"Sending the archive of every branch office. ";
    message.resize(380);
    const auto place = [](int32_t left, int32_t top) {
        return ucstringFromUTF8String(std::to_string(left) + "\r" + std::to_string(top));
    };
    // Every control inside the screen; the window's place.
    DynamicWindow* window = nullptr;
    const auto onScreen = [&] {
        settle();
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        auto* win = static_cast<Fl_Window*>(window->nativeWindow());
        EXPECT_TRUE(win->shown());
        for (int32_t id : {kStatusCustomLabel, kStatusText, kStatusPercent, kStatusCancel}) {
            auto* w = static_cast<Fl_Widget*>(window->nativeObject(id));
            EXPECT_GE(win->x() + w->x(), 0) << id;
            EXPECT_GE(win->y() + w->y(), 0) << id;
            EXPECT_LE(win->x() + w->x() + w->w(), 1024) << id;
            EXPECT_LE(win->y() + w->y() + w->h(), 768) << id;
        }
        return place(win->x(), win->y());
    };

    const std::u16string shown = statusWindowFunction(u"Show", 5000, 5000, u"", message);
    withStatus([&](StatusWindow& s) { window = s.statusWindow(); });
    ASSERT_NE(window, nullptr);
    const std::u16string where = onScreen();
    EXPECT_EQ(shown, u"Status shown.\r" + where);
    {
        std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
        auto* label = static_cast<Fl_Widget*>(window->nativeObject(kStatusCustomLabel));
        EXPECT_EQ(label->label(), ucstringToUTF8String(message));  // all of it, over several lines
        EXPECT_GT(label->h(), 3 * label->labelsize());
    }
    EXPECT_TRUE(photograph(*window, "status-window-long-message.png"));

    // Hidden and shown again where it was last: still in sight.
    EXPECT_EQ(statusWindowFunction(u"Hide", 0, 0, u"", u""), u"Status hidden.\r" + where);
    EXPECT_EQ(statusWindowFunction(u"Show", 0, 0, u"", u"Short"), u"Status shown.\r" + where);
    const std::u16string moved = statusWindowFunction(u"Move", -300, 9000, u"", u"");
    EXPECT_EQ(moved, u"Status moved.\r" + where + u"\r" + onScreen());
    statusWindowFunction(u"Hide", 0, 0, u"", u"");
}

TEST_F(RealWindows, ConfigurationDialogThroughMouseAndKeyboard) {
    // About, then Cancel by mouse.
    dwSetModalHook([](DynamicWindow& dialog) {
        EXPECT_TRUE(photograph(dialog, "configuration-about.png"));
        click(dialog, kConfigCancel);
    });
    EXPECT_EQ(pluginAppPrefs(u"About"), u"");

    // Basics: untick "Add Help" and press OK; the functions come back without their help.
    const fmhost::RegisteredFunction* f = fmhost::HostState::get().findFunction(u"Volan_StatusWindow");
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->prototype.find(u"/*"), std::u16string::npos);
    dwSetModalHook([](DynamicWindow& dialog) {
        EXPECT_TRUE(photograph(dialog, "configuration-basics.png"));
        click(dialog, kConfigAddHelp);
        settle(5);
        click(dialog, kConfigOK);
    });
    EXPECT_EQ(pluginAppPrefs(u""), u"");
    f = fmhost::HostState::get().findFunction(u"Volan_StatusWindow");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->prototype, u"Volan_StatusWindow ( Action {; Left {; Top {; WindowTitle {; WindowText }}}} )");

    // Debug: Escape on the keyboard is Cancel.
    bool sawDebugTab = false;
    dwSetModalHook([&](DynamicWindow& dialog) {
        sawDebugTab = dialog.nativeObject(kConfigDebugMode) != nullptr;
        EXPECT_TRUE(photograph(dialog, "configuration-debug.png"));
        pressKey(dialog, XK_Escape);
    });
    ConfigurationDialog dialog;
    dialog.show(u"debug");
    EXPECT_TRUE(sawDebugTab);
    EXPECT_FALSE(dialog.configAccepted());
}

namespace {

// The chooser's window (FLTK keeps the chooser as its window's user data).
Fl_File_Chooser* chooserTitled(const char* title) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (w->label() && std::string(w->label()) == title) return static_cast<Fl_File_Chooser*>(w->user_data());
    }
    return nullptr;
}

std::string gChooserFolder;

// Presses the chooser's Cancel button.
bool pressCancel(Fl_Group* group) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* w = group->child(i);
        if (w->label() && std::string(w->label()) == fl_cancel) {
            w->do_callback();
            return true;
        }
        if (Fl_Group* inner = w->as_group(); inner && pressCancel(inner)) return true;
    }
    return false;
}

}  // namespace

TEST_F(RealWindows, FileChooserStartsInTheFolderAndGivesTheChosenFile) {
    TestDrives drives;
    TestDrives::makeFolder(drives.c("/pics"));
    TestDrives::writeFile(drives.c("/pics/a.jpg"), "j");
    gChooserFolder.clear();
    // What a user does: looks at the folder shown, picks a.jpg and presses OK.
    Fl::add_timeout(0.5, [](void*) {
        Fl_File_Chooser* chooser = chooserTitled("Pick a picture");
        if (!chooser) return;
        gChooserFolder = chooser->directory() ? chooser->directory() : "";
        chooser->value((gChooserFolder + "/a.jpg").c_str());
        chooser->hide();
    });
    DWChooserRequest request;
    request.kind = DWChooserKind::Open;
    request.title = u"Pick a picture";
    request.startFolder = u"C:\\pics";
    request.filter = u"JPEG Image (*.jpg)|*.jpg";
    ucstring chosen, error;
    EXPECT_TRUE(dwChooseFile(request, chosen, error)) << ucstringToUTF8String(error);
    EXPECT_EQ(ucstringToUTF8String(chosen), "C:\\pics\\a.jpg");
    EXPECT_EQ(gChooserFolder, drives.c("/pics"));

    // Closing it without a choice is a cancel.
    Fl::add_timeout(0.5, [](void*) {
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
            if (w->label() && std::string(w->label()) == "Pick a folder") {
                pressCancel(w);  // hides the window: stop walking the list here
                break;
            }
        }
    });
    request.kind = DWChooserKind::Folder;
    request.title = u"Pick a folder";
    EXPECT_FALSE(dwChooseFile(request, chosen, error));
    EXPECT_EQ(ucstringToUTF8String(error), "");
}

TEST_F(RealWindows, AccountDialogClosedByTheMouse) {
    {
        PluginConfigLock lock(1000);
        ASSERT_TRUE(lock.held());
        FTPAccounts* accounts = nullptr;
        ASSERT_EQ(PluginConfigLock(1000).get(accounts), u"");
        std::u16string error, confirmation;
        ASSERT_TRUE(accounts->addAccount(error, u"Office Server"));
        accounts->findAccount(u"Office Server")->setOption("HOST", u"ftp.office.example", confirmation, error);
        ASSERT_EQ(accounts->saveAccounts(), u"");
    }
    bool shown = false;
    dwSetModalHook([&](DynamicWindow& dialog) {
        {
            // Checks that fail still let the click below close the dialog.
            std::lock_guard<std::recursive_mutex> lock(dwUIMutex());
            auto* win = static_cast<Fl_Window*>(dialog.nativeWindow());
            auto* host = static_cast<Fl_Widget*>(dialog.nativeObject(kAccountHost));
            EXPECT_TRUE(win && host);
            if (win) {
                shown = win->shown();
                EXPECT_STREQ(win->label(), "Volan Pro - FTP Account Configuration");
            }
            if (host) {
                EXPECT_TRUE(host->active());
                EXPECT_STREQ(host->tooltip(), "Enter the Domain Name or IP Address of the FTP Server.");
            }
        }
        EXPECT_TRUE(photograph(dialog, "account-dialog.png"));
        click(dialog, kAccountClose);
    });
    auto env = fmhost::environmentFor(3);
    fmx::DataVectUniquePtr args;
    fmx::DataUniquePtr result;
    ConfigureAccountFunctionCallback(60, *env, *args, *result);
    EXPECT_EQ(ucstringFromFMXText(result->GetAsText()), u"FTP accounts configured.");
    EXPECT_TRUE(shown);
}
