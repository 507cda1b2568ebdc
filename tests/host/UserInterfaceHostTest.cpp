// volan-host's window choices: --ui, --answer and --configure, the terminal's live status line and
// its questions, seen through a pseudo-terminal as a user would see them.
#include "PluginFixture.h"
#include "PtyTerminal.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

using testing_support::runVolanHost;
using testing_support::Terminal;

namespace {

// Lines of output; an expression's carriage returns came out as line feeds.
std::vector<std::string> lines(const std::string& out) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start < out.size()) {
        size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        result.push_back(out.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

const std::string kStatusLine =
    "\x1b"
    "7\x1b[24;1H\x1b[2K";  // save, bottom row, clear
const std::string kRestore =
    "\x1b"
    "8";

}  // namespace

TEST(UserInterfaceHost, HeadlessStatusWindowThroughVolanHost) {
    std::string out;
    ASSERT_EQ(runVolanHost("--ui headless -e 'Volan_StatusWindow(\"show\")' -e 'Volan_StatusWindow(\"state\")' "
                           "-e 'Volan_StatusWindow(\"move\";30;40)' -e 'Volan_StatusWindow(\"hide\")' "
                           "-e 'Volan_StatusWindow(\"show\")'",
                           out),
              0)
        << out;
    const auto l = lines(out);
    ASSERT_EQ(l.size(), 17u) << out;
    EXPECT_EQ(l[0], "Status shown.");
    EXPECT_EQ(l[3], "Status shown.");
    EXPECT_EQ(l[4], l[1]);  // State tells where Show put it
    EXPECT_EQ(l[5], l[2]);
    EXPECT_GT(std::stoi(l[1]), 30);  // centred on the headless screen, far from the corner
    EXPECT_EQ(l[6], "Status moved.");
    EXPECT_EQ(l[7], l[1]);
    EXPECT_EQ(l[9], "30");
    EXPECT_EQ(l[10], "40");
    EXPECT_EQ(l[11], "Status hidden.");
    EXPECT_EQ(l[12], "30");
    EXPECT_EQ(l[14], "Status shown.");  // 0, 0: where it was hidden
    EXPECT_EQ(l[15], "30");
    EXPECT_EQ(l[16], "40");
}

TEST(UserInterfaceHost, RejectsAnUnknownBackend) {
    std::string out;
    EXPECT_EQ(runVolanHost("--ui fancy --strings", out), 2);
    EXPECT_NE(out.find("--ui needs gui, terminal or headless"), std::string::npos);
}

TEST(UserInterfaceHost, AnswersReachThePluginThroughTheEnvironment) {
    // Without a terminal (setsid) nobody could answer; the scripted answers do, in order, and the
    // terminal backend writes down what it was told.
    std::string out;
    ASSERT_EQ(runVolanHost("--ui terminal --answer 'OK:one\\two:three' --answer Cancel --configure "
                           "-e '\"after\"' < /dev/null",
                           out),
              0)
        << out;
    EXPECT_NE(out.find("== Volan Pro - A FileMaker Pro Plug-in =="), std::string::npos) << out;
    EXPECT_NE(out.find("  Default Settings\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  > OK: one\\two:three\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("> Cancel"), std::string::npos) << out;  // one dialog, one answer
    EXPECT_NE(out.find("after\n"), std::string::npos);

    // With no answer and no terminal to ask, the dialog is cancelled and volan-host goes on.
    const std::string host = std::string("setsid -w ") + VOLAN_HOST_PATH;
    FILE* p = popen((host + " --ui terminal --configure -e '\"done\"' 2>&1 < /dev/null").c_str(), "r");
    ASSERT_NE(p, nullptr);
    out.clear();
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    EXPECT_EQ(pclose(p), 0) << out;
    EXPECT_NE(out.find("== Volan Pro - A FileMaker Pro Plug-in =="), std::string::npos) << out;
    EXPECT_NE(out.find("done\n"), std::string::npos) << out;
}

TEST(UserInterfaceHost, TerminalShowsALiveStatusLine) {
    Terminal t({"--ui", "terminal", "-e", "Volan_StatusWindow(\"show\";0;0;\"\";\"Sending the archive\")", "-e",
                "Volan_StatusWindow(\"show\";0;0;\"\";\"Almost there\")", "-e", "Volan_StatusWindow(\"hide\")", "-e",
                "\"finished\""});
    ASSERT_TRUE(t.started());
    // Rows 1-23 scroll; row 24 holds the line.
    EXPECT_TRUE(t.waitFor("\x1b[1;23r")) << t.output();
    EXPECT_TRUE(t.waitFor(kStatusLine + "Sending the archive  Idle.  [....................]  0%  (Cancel)" + kRestore))
        << t.output();
    EXPECT_TRUE(t.waitFor("Status shown.")) << t.output();
    // Redrawn in place when the text changes.
    EXPECT_TRUE(t.waitFor(kStatusLine + "Almost there  Idle.")) << t.output();
    // Hidden: the scroll region is given back and the row cleared.
    EXPECT_TRUE(t.waitFor("\x1b[r\x1b[24;1H\x1b[2K")) << t.output();
    EXPECT_TRUE(t.waitFor("Status hidden.")) << t.output();
    EXPECT_TRUE(t.waitFor("finished")) << t.output();
    EXPECT_EQ(t.finish(), 0) << t.output();
}

TEST(UserInterfaceHost, TerminalAsksTheConfigurationDialog) {
    Terminal t({"--ui", "terminal", "--configure", "-e", "\"closed\""});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.waitFor("== Volan Pro - A FileMaker Pro Plug-in ==")) << t.output();
    ASSERT_TRUE(t.waitFor("Add Help Comments to External Functions (y/n) [y]: ")) << t.output();
    t.type("maybe\n");  // not a yes or no: asked again
    ASSERT_TRUE(t.waitFor("Add Help Comments to External Functions (y/n) [y]: ")) << t.output();
    t.type("n\n");
    ASSERT_TRUE(t.waitFor("1) OK  2) Cancel  [Enter: OK]")) << t.output();
    ASSERT_TRUE(t.waitFor("Choose: ")) << t.output();
    t.type("7\n");  // no such button: asked again
    ASSERT_TRUE(t.waitFor("Choose: ")) << t.output();
    t.type("can\n");  // the start of a label
    EXPECT_TRUE(t.waitFor("closed")) << t.output();
    EXPECT_EQ(t.finish(), 0) << t.output();
}
