// The terminal backend in a child process whose controlling terminal is a pseudo-terminal we hold:
// a live window's enabled button is pressed by typing, a dialog's password is typed masked.
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

namespace {

class ChildOnTerminal {
public:
    // Runs `body` in a child on a new pseudo-terminal (24 rows) with standard input from
    // /dev/null; the child's exit status is what `body` returns.
    explicit ChildOnTerminal(const std::function<int()>& body, unsigned short columns = 100) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        mPid = forkpty(&mFd, nullptr, nullptr, &size);
        if (mPid == 0) {
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, STDIN_FILENO);
            _exit(body());
        }
    }
    ~ChildOnTerminal() {
        if (mPid > 0 && !mDone) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
        if (mFd >= 0) close(mFd);
    }
    bool waitFor(const std::string& text) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (mOutput.find(text, mMark) == std::string::npos) {
            if (std::chrono::steady_clock::now() > until) return false;
            pollfd p{mFd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            char buffer[1024];
            const ssize_t n = read(mFd, buffer, sizeof buffer);
            if (n <= 0) return false;
            mOutput.append(buffer, static_cast<size_t>(n));
        }
        mMark = mOutput.find(text, mMark) + text.size();
        return true;
    }
    void type(const std::string& text) { (void)!write(mFd, text.data(), text.size()); }
    int exitStatus() {
        int status = 0;
        waitpid(mPid, &status, 0);
        mDone = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& output() const { return mOutput; }

private:
    int mFd = -1;
    pid_t mPid = -1;
    bool mDone = false;
    std::string mOutput;
    size_t mMark = 0;
};

// Exit statuses of the children.
constexpr int kPressed = 10, kNotPressed = 11, kWrongAnswer = 12;

class Clicks : public DWEvents {
public:
    void buttonClick(DynamicWindow&, int32_t id) override { clicked = id; }
    int32_t clicked = 0;
};

}  // namespace

TEST(TerminalBackend, TypingAButtonsLabelPressesIt) {
    ChildOnTerminal child([] {
        dwSetBackend(DWBackendKind::Terminal);
        DWLayout l;
        setupLayout(l, 1, false);
        addLabel(l, 1, 2, u"Copying...");
        addButton(l, 1, 3, u"Stop");
        addButton(l, 1, 4, u"Cancel");
        DynamicWindow w;
        Clicks clicks;
        if (!w.buildWindow(l, &clicks)) return 1;
        w.dwShow();
        for (int i = 0; i < 1000 && !clicks.clicked; ++i) {
            platform::pumpMessages();
            platform::sleepMilliseconds(10);
        }
        return clicks.clicked == 4 ? kPressed : kNotPressed;
    });
    ASSERT_TRUE(child.waitFor("Copying...  [Stop]  [Cancel]")) << child.output();
    child.type("nothing\n");  // names no button: ignored
    child.type("ca\n");
    EXPECT_EQ(child.exitStatus(), kPressed) << child.output();
}

TEST(TerminalBackend, PasswordsAreTypedMasked) {
    ChildOnTerminal child([] {
        dwSetBackend(DWBackendKind::Terminal);
        ucstring answer;
        const int32_t button = inputDialog(u"Password for 'site':", answer, true, u"FTP Account Password");
        return button == kDialogOK && answer == u"p\u00E4ss" ? kPressed : kWrongAnswer;
    });
    ASSERT_TRUE(child.waitFor("== FTP Account Password ==")) << child.output();
    ASSERT_TRUE(child.waitFor("Password for 'site': ")) << child.output();
    child.type("pxx\x7f\x7f\xC3\xA4ss\n");  // two backspaces, then a two-byte character
    ASSERT_TRUE(child.waitFor("Choose: ")) << child.output();
    child.type("\n");  // Enter: OK
    EXPECT_EQ(child.exitStatus(), kPressed) << child.output();
    // What was typed is never echoed, only a star for each character.
    EXPECT_EQ(child.output().find("\xC3\xA4"), std::string::npos) << child.output();
    EXPECT_EQ(child.output().find("xx"), std::string::npos) << child.output();
    EXPECT_NE(child.output().find("***\b \b\b \b***"), std::string::npos) << child.output();
}

// A status line wider than the terminal keeps its button whole: the progress bar goes when there is
// no room for it, and the texts give up their ends, the longest first.
TEST(TerminalBackend, ANarrowTerminalShortensTheTextsNotTheButtons) {
    const struct {
        unsigned short columns;
        std::string line;
    } cases[] = {
        {80, "Sending the archive of every br...  Idle.  [....................]  0%  [Cancel]"},
        {60, "Sending the...  Idle.  [....................]  0%  [Cancel]"},
        {30, "Sendi...  Idle.  0%  [Cancel]"},
        {12, "[Cancel]"},
    };
    for (const auto& c : cases) {
        ChildOnTerminal child(
            [] {
                dwSetBackend(DWBackendKind::Terminal);
                DWLayout l;
                setupLayout(l, 1, true);
                addLabel(l, 1, 2, u"Sending the archive of every branch office to the head office server tonight");
                addLabel(l, 1, 3, u"Idle.");
                addProgressBar(l, 1, 4, 0);
                addLabel(l, 1, 5, u"0%");
                addButton(l, 1, 6, u"Cancel");
                DynamicWindow w;
                if (!w.buildWindow(l, nullptr)) return 1;
                w.dwShow();
                platform::sleepMilliseconds(100);
                return 0;
            },
            c.columns);
        EXPECT_TRUE(child.waitFor("\x1b[24;1H\x1b[2K" + c.line + std::string("\x1b") + "8"))
            << c.columns << child.output();
    }
}
