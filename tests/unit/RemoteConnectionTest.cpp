// The connection against a scripted FTP server on loopback, which answers each command from a
// fixed table and records what it was sent: the exact commands of each operation. And the
// commands each protocol makes for the file operations, without a server.
#include "remote/Connection.h"
#include "remote/RemoteProtocol.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

constexpr const char* kListing = "-rw-r--r-- 1 anna staff 5 Jan 01  2020 a.txt\r\n";

// A listening socket on 127.0.0.1 and a free port; -1 when none could be made.
int listenOnLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (fd >= 0) close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

void sendText(int fd, const std::string& text) {
    for (size_t sent = 0; sent < text.size();) {
        const ssize_t n = send(fd, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

class ScriptedFtpServer {
public:
    ScriptedFtpServer() : mListener(listenOnLoopback(mPort)), mThread([this] { serve(); }) {}
    ~ScriptedFtpServer() {
        mStopping = true;
        shutdown(mListener, SHUT_RDWR);
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mControl >= 0) shutdown(mControl, SHUT_RDWR);
        }
        mThread.join();
        close(mListener);
    }
    int port() const { return mPort; }
    // The commands received since the last call.
    stringlist takeCommands() {
        std::lock_guard<std::mutex> lock(mMutex);
        return std::exchange(mCommands, {});
    }

private:
    void serve() {
        while (!mStopping) {
            const int control = accept(mListener, nullptr, nullptr);
            if (control < 0) return;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                mControl = control;
            }
            converse(control);
            std::lock_guard<std::mutex> lock(mMutex);
            close(control);
            mControl = -1;
        }
    }

    void converse(int control) {
        sendText(control, "220 Scripted server ready\r\n");
        std::string pending;
        char buffer[512];
        int data = -1;
        for (ssize_t n; (n = recv(control, buffer, sizeof buffer, 0)) > 0;) {
            pending.append(buffer, static_cast<size_t>(n));
            for (size_t end; (end = pending.find("\r\n")) != std::string::npos;) {
                const std::string command = pending.substr(0, end);
                pending.erase(0, end + 2);
                {
                    std::lock_guard<std::mutex> lock(mMutex);
                    mCommands.push_back(command);
                }
                if (!answer(control, command, data)) return;
            }
        }
    }

    // Replies to one command; false when the conversation is over.
    bool answer(int control, const std::string& command, int& data) {
        const std::string verb = command.substr(0, command.find(' '));
        if (verb == "EPSV") {
            int dataPort = 0;
            data = listenOnLoopback(dataPort);
            sendText(control, "229 Entering Extended Passive Mode (|||" + std::to_string(dataPort) + "|)\r\n");
        } else if (verb == "LIST") {
            sendText(control, "150 Here comes the listing\r\n");
            const int connection = accept(data, nullptr, nullptr);
            sendText(connection, kListing);
            close(connection);
            close(data);
            data = -1;
            sendText(control, "226 Transfer complete\r\n");
        } else if (verb == "QUIT") {
            sendText(control, "221 Goodbye\r\n");
            return false;
        } else {
            static const std::pair<const char*, const char*> kReplies[] = {
                {"USER", "331 Password required"},
                {"PASS", "230 Logged in"},
                {"PWD", "257 \"/home\" is the current directory"},
                {"CWD", "250 Directory changed"},
                {"TYPE", "200 Type set"},
                {"MKD", "257 \"new\" created"},
                {"RMD", "250 Folder removed"},
                {"RNFR", "350 Ready for the new name"},
                {"RNTO", "250 Renamed"},
                {"FEAT", "211-Features:\r\n MLSD\r\n SIZE\r\n211 End"},
                {"SITE", "200 Done"},
            };
            std::string reply = "500 Unknown command";
            if (verb == "DELE") reply = command == "DELE gone.txt" ? "550 No such file" : "250 Deleted";
            for (const auto& [known, text] : kReplies)
                if (verb == known) reply = text;
            sendText(control, reply + "\r\n");
        }
        return true;
    }

    int mPort = 0;
    int mListener;
    std::atomic<bool> mStopping{false};
    std::mutex mMutex;
    int mControl = -1;
    stringlist mCommands;
    std::thread mThread;
};

TEST(RemoteConnection, EachOperationSendsItsOwnFTPCommands) {
    ScriptedFtpServer server;
    ASSERT_GT(server.port(), 0);
    Connection connection;
    ConnectionSettings settings;
    settings.host = "127.0.0.1";
    settings.port = server.port();
    settings.userName = "anna";
    settings.password = "secret";
    ASSERT_EQ(connection.open(settings), u"");
    connection.setDataConnection(true, 0, 0);
    ASSERT_TRUE(connection.login().ok()) << connection.responseText();
    EXPECT_EQ(server.takeCommands(), (stringlist{"USER anna", "PASS secret", "PWD"}));
    EXPECT_EQ(connection.entryPath(), "/home");

    ucstring realPath;
    const struct {
        const char* what;
        std::function<RemoteResult()> run;
        bool succeeds;
        stringlist sent;
    } kCases[] = {
        {"features", [&] { return connection.readFeatures(); }, true, {"FEAT"}},
        {"delete",
         [&] { return connection.deleteFile("/docs/old.txt", "/home"); },
         true,
         {"CWD /", "CWD docs", "DELE old.txt"}},
        {"refused delete", [&] { return connection.deleteFile("/docs/gone.txt", "/home"); }, false, {"DELE gone.txt"}},
        {"make folder", [&] { return connection.makeFolder("new/", "/home"); }, true, {"CWD /home", "MKD new"}},
        {"remove folder",
         [&] { return connection.removeFolder("sub/old/", "/home"); },
         true,
         {"CWD /home", "CWD sub", "RMD old"}},
        {"rename",
         [&] { return connection.rename("/docs/a.txt", "b.txt", "/home"); },
         true,
         {"CWD /", "CWD docs", "RNFR a.txt", "RNTO b.txt"}},
        {"raw command",
         [&] { return connection.sendRaw("", "SITE CHMOD 644 a.txt"); },
         true,
         {"CWD /home", "SITE CHMOD 644 a.txt"}},
        {"listing",
         [&] { return connection.list("/docs", false, &realPath); },
         true,
         {"CWD /", "CWD docs", "EPSV", "TYPE A", "LIST -a", "PWD"}},
        {"quit", [&] { return connection.quit(); }, true, {"CWD /home", "QUIT"}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.run().ok(), c.succeeds) << c.what << ": " << connection.responseText();
        EXPECT_EQ(server.takeCommands(), c.sent) << c.what;
    }
    EXPECT_EQ(connection.features(), (stringlist{"MLSD=", "SIZE="}));
    EXPECT_EQ(connection.listingLines(), (stringlist{"-rw-r--r-- 1 anna staff 5 Jan 01  2020 a.txt", ""}));
    EXPECT_EQ(realPath, u"/home");
}

TEST(RemoteConnection, EachProtocolMakesItsOwnCommands) {
    const auto ftp = makeRemoteProtocol(kRemoteFTP);
    const auto sftp = makeRemoteProtocol(kRemoteSFTP);
    const struct {
        RemoteCommands made;
        const char* directory;
        stringlist commands;
    } kCases[] = {
        {ftp->deleteFile("/a/b.txt", "/home"), "/a/", {"DELE b.txt"}},
        {ftp->makeFolder("a/new/", "/home"), "a/", {"MKD new"}},
        {ftp->removeFolder("old", "/home"), "", {"RMD old"}},
        {ftp->rename("a/x", "/b/y", "/home"), "a/", {"RNFR x", "RNTO /b/y"}},
        {sftp->deleteFile("b.txt", "/home"), "", {"rm \"/home/b.txt\""}},
        {sftp->makeFolder("a/new/", "/home/"), "a/", {"mkdir \"/home/a/new\""}},
        {sftp->removeFolder("/x/\"q\"", "/home"), "/x/", {"rmdir \"/x/\\\"q\\\"\""}},
        {sftp->rename("a/x", "y", "/home"), "a/", {"rename \"/home/a/x\" \"/home/a/y\""}},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.made.directory, c.directory) << c.commands.front();
        EXPECT_EQ(c.made.commands, c.commands);
    }
    EXPECT_EQ(ftp->rawCommand("/d", "SITE X y"), "SITE X y");
    EXPECT_EQ(sftp->rawCommand("/d", "chmod 644 f"), "chmod 644 \"/d/f\"");
    EXPECT_EQ(sftp->rawCommand("/d", "ln /abs/t l"), "ln /abs/t \"/d/l\"");
    EXPECT_STREQ(ftp->listingCommand(true), "MLSD");
    EXPECT_STREQ(ftp->listingCommand(false), "LIST -a");
    EXPECT_EQ(sftp->listingCommand(false), nullptr);
}

}  // namespace
