// volan-host run on a pseudo-terminal, read and typed at as a user would.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace testing_support {

// volan-host on a pseudo-terminal of 24 rows and 100 columns: it is the process's controlling
// terminal, its standard input, output and error.
class Terminal {
public:
    // With `inputFromTerminal` false, standard input is /dev/null while the terminal stays the
    // process's controlling one: lines typed then go to the plug-in's windows.
    explicit Terminal(const std::vector<std::string>& args, bool inputFromTerminal = true) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 100;
        mPid = forkpty(&mFd, nullptr, nullptr, &size);
        if (mPid == 0) {
            std::vector<char*> argv;
            std::string host = VOLAN_HOST_PATH;
            argv.push_back(host.data());
            std::vector<std::string> copies = args;
            for (std::string& a : copies) argv.push_back(a.data());
            argv.push_back(nullptr);
            unsetenv("VOLAN_UI_ANSWERS");
            if (!inputFromTerminal) {
                const int null = open("/dev/null", O_RDONLY);
                dup2(null, STDIN_FILENO);
                close(null);
            }
            execv(host.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Terminal() {
        if (mPid > 0 && !mExited) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
        if (mFd >= 0) close(mFd);
    }
    bool started() const { return mPid > 0; }

    // Reads until `text` has appeared (true) or `seconds` pass or the output ends (false).
    bool waitFor(const std::string& text, double seconds = 10) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (mOutput.find(text, mMark) == std::string::npos) {
            if (std::chrono::steady_clock::now() > until || !readSome(100)) return false;
        }
        mMark = mOutput.find(text, mMark) + text.size();
        return true;
    }
    void type(const std::string& text) { (void)!write(mFd, text.data(), text.size()); }
    // Reads to the end; the exit status.
    int finish() {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until && readSome(100)) {
        }
        int status = 0;
        waitpid(mPid, &status, 0);
        mExited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    const std::string& output() const { return mOutput; }

private:
    // False once the other side has gone.
    bool readSome(int timeoutMs) {
        pollfd p{mFd, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return true;
        char buffer[4096];
        const ssize_t n = read(mFd, buffer, sizeof buffer);
        if (n <= 0) return false;
        mOutput.append(buffer, static_cast<size_t>(n));
        return true;
    }

    int mFd = -1;
    pid_t mPid = -1;
    bool mExited = false;
    std::string mOutput;
    size_t mMark = 0;
};

}  // namespace testing_support
