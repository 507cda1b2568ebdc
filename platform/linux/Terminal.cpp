#include <platform/Terminal.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

void writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

// The controlling terminal, opened for each question so a process without one just gets "no".
class Tty {
public:
    Tty() : mFd(open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {}
    ~Tty() {
        if (mFd >= 0) close(mFd);
    }
    Tty(const Tty&) = delete;
    Tty& operator=(const Tty&) = delete;
    int fd() const { return mFd; }

private:
    int mFd;
};

bool readByte(int fd, char& c) {
    for (;;) {
        const ssize_t n = read(fd, &c, 1);
        if (n == 1) return true;
        if (n < 0 && errno == EINTR) continue;
        return false;
    }
}

}  // namespace

bool terminalIsInteractive() { return isatty(STDERR_FILENO) == 1; }

void terminalSize(int& columns, int& rows) {
    columns = 80;
    rows = 24;
    winsize ws{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0 && ws.ws_row > 0) {
        columns = ws.ws_col;
        rows = ws.ws_row;
    }
}

void terminalWrite(const std::string& text) { writeAll(STDERR_FILENO, text.data(), text.size()); }

bool terminalReadLine(const std::string& prompt, std::string& line, bool masked) {
    line.clear();
    Tty tty;
    if (tty.fd() < 0) {
        terminalWrite(prompt);
        return false;
    }
    termios saved{};
    const bool haveAttributes = tcgetattr(tty.fd(), &saved) == 0;
    if (masked && haveAttributes) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON);
        quiet.c_cc[VMIN] = 1;
        quiet.c_cc[VTIME] = 0;
        tcsetattr(tty.fd(), TCSANOW, &quiet);
    }
    terminalWrite(prompt);
    bool ok = true;
    char c;
    for (;;) {
        if (!readByte(tty.fd(), c)) {
            ok = !line.empty();
            break;
        }
        if (c == '\n' || c == '\r') break;
        if (masked && (c == 127 || c == 8)) {
            if (!line.empty()) {
                // One '*' stands for a whole character, so remove a whole UTF-8 sequence.
                while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) line.pop_back();
                if (!line.empty()) line.pop_back();
                writeAll(tty.fd(), "\b \b", 3);
            }
            continue;
        }
        if (masked && c == 4 && line.empty()) {  // Ctrl-D
            ok = false;
            break;
        }
        line.push_back(c);
        if (masked && (static_cast<unsigned char>(c) & 0xC0) != 0x80) writeAll(tty.fd(), "*", 1);
    }
    if (masked && haveAttributes) {
        tcsetattr(tty.fd(), TCSANOW, &saved);
        writeAll(tty.fd(), "\n", 1);
    }
    return ok;
}

bool terminalPollLine(std::string& line) {
    line.clear();
    if (isatty(STDIN_FILENO)) return false;
    const int fd = open("/dev/tty", O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    pollfd p{fd, POLLIN, 0};
    bool got = false;
    if (poll(&p, 1, 0) == 1 && (p.revents & POLLIN)) {
        // A terminal in line mode hands out one finished line per read.
        char buffer[1024];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            line.assign(buffer, static_cast<size_t>(n));
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            got = true;
        }
    }
    close(fd);
    return got;
}

}  // namespace platform
