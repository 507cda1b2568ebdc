// The fixture of tests that talk to the real test servers through the plug-in: the server kinds,
// a loaded plug-in, and accounts made through the plug-in's own functions.
#pragma once

#include "../support/TestServers.h"
#include "PluginFixture.h"

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

namespace fs = std::filesystem;

struct ServerKind {
    const char* name;
    int secureType;       // the account's SecureType
    const char* portKey;  // in servers.env
    bool machineListing;  // MLST gives exact seconds; LIST and SFTP listings whole minutes
    bool sftp;
};

inline const ServerKind kKinds[] = {
    {"FTP", 0, "VOLAN_FTP_PORT", true, false},
    {"ExplicitFTPS", 1, "VOLAN_FTP_PORT", true, false},
    {"ImplicitFTPS", 2, "VOLAN_FTPS_PORT", true, false},
    {"ListOnlyFTP", 0, "VOLAN_FTP_LIST_PORT", false, false},
    {"SFTP", 3, "VOLAN_SFTP_PORT", false, true},
    // The second server of each protocol: vsftpd (TLS required, LIST only), Pure-FTPd, ProFTPD mod_sftp.
    {"VsftpdFTPS", 1, "VOLAN_FTP2_PORT", false, false},
    {"PureFTPd", 1, "VOLAN_FTP3_PORT", true, false},
    {"ModSFTP", 3, "VOLAN_SFTP2_PORT", false, true},
};
// Pure-FTPd stores blanks at the start or end of a name as "_", so the cases of such names skip it.
inline bool keepsBlankEnds(const ServerKind& kind) { return std::string(kind.name) != "PureFTPd"; }
#define SKIP_UNLESS_BLANK_ENDS_KEPT(kind) \
    if (!testing_support::keepsBlankEnds(kind)) GTEST_SKIP() << kind.name << " changes blanks at a name's ends"
// Test names show the kind.
inline void PrintTo(const ServerKind& kind, std::ostream* out) { *out << kind.name; }

inline const char* const kSecureTypeNames[] = {"None", "After Connect", "Before Connect", "SSH"};

// Text for a calculation's string literal.
inline std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

inline std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    if (start < text.size()) parts.push_back(text.substr(start));
    return parts;
}

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Writes the file, making its folders first.
inline void writeFile(const fs::path& path, const std::string& data) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << data;
}

// Reproducible bytes for a seed.
inline std::string randomBytes(size_t size, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::string data(size, '\0');
    for (size_t i = 0; i < size; i += 8) {
        const uint64_t v = gen();
        for (size_t j = 0; j < 8 && i + j < size; ++j) data[i + j] = static_cast<char>(v >> (8 * j));
    }
    return data;
}

// A loopback port nobody listens on (at the moment of asking).
inline int freeLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

// A scripted server of the tests (a Python program beside this file, run with Debian's python3):
// started with its arguments, it prints the port it listens on as its first line; it is killed
// when the object goes. The pipe stays open while it runs, whatever it prints later.
class ScriptedServer {
public:
    ScriptedServer(const std::string& script, const std::vector<std::string>& arguments) {
        int out[2];
        if (pipe(out) != 0) return;
        const std::string path = (fs::path(__FILE__).parent_path() / script).string();
        mPid = fork();
        if (mPid == 0) {
            dup2(out[1], 1);
            close(out[0]);
            std::vector<char*> argv{const_cast<char*>("python3"), const_cast<char*>(path.c_str())};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv("/usr/bin/python3", argv.data());
            _exit(127);
        }
        close(out[1]);
        mOutput = fdopen(out[0], "r");
        char line[32] = {};
        if (mOutput && std::fgets(line, sizeof line, mOutput)) mPort = std::atoi(line);
    }
    ~ScriptedServer() {
        if (mPid > 0) {
            kill(mPid, SIGKILL);
            waitpid(mPid, nullptr, 0);
        }
        if (mOutput) std::fclose(mOutput);
    }
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;
    int port() const { return mPort; }

private:
    pid_t mPid = -1;
    int mPort = 0;
    FILE* mOutput = nullptr;
};

// A folder of links and awkward names: links to a file, to a folder inside the tree, to the tree
// from inside it, to the folder above, to a folder outside (`outside`, which links back to the
// tree), one that leads nowhere and two that lead to each other; names beginning or ending with
// a blank, and with `latin1` a name in Latin-1 bytes ("café.txt"). Made directly on disk, so the
// links are as a user of the server's machine makes them.
inline void makeLinkTree(const fs::path& folder, const fs::path& outside, bool latin1) {
    writeFile(folder / "f.txt", "file!\n");
    writeFile(folder / "sub" / "in.txt", "inner\n");
    writeFile(folder / " lead.txt", "lead\n");
    writeFile(folder / "trail.txt ", "trail!\n");
    if (latin1) writeFile(folder / "caf\xE9.txt", "latin\n");
    writeFile(outside / "o.txt", "outside\n");
    fs::create_symlink("f.txt", folder / "lf");
    fs::create_directory_symlink("sub", folder / "ld");
    fs::create_directory_symlink("..", folder / "sub" / "back");
    fs::create_directory_symlink("..", folder / "up");
    fs::create_directory_symlink(outside, folder / "out");
    fs::create_directory_symlink(folder, outside / "again");
    fs::create_symlink("nowhere", folder / "dang");
    fs::create_symlink("loop2", folder / "loop1");
    fs::create_symlink("loop1", folder / "loop2");
}

// What a transfer of that tree gives, as plain files and folders: links to files as the file,
// the folder outside once; with `recursive` unset only the top files.
inline void makeLinkTreeCopy(const fs::path& folder, bool latin1, bool recursive) {
    writeFile(folder / "f.txt", "file!\n");
    writeFile(folder / "lf", "file!\n");
    writeFile(folder / " lead.txt", "lead\n");
    writeFile(folder / "trail.txt ", "trail!\n");
    if (latin1) writeFile(folder / "café.txt", "latin\n");
    if (!recursive) return;
    writeFile(folder / "sub" / "in.txt", "inner\n");
    writeFile(folder / "out" / "o.txt", "outside\n");
}

class RemoteTest : public ::testing::Test {
protected:
    void SetUp() override {
        REQUIRE_TEST_SERVERS(servers);
        setenv("VOLAN_EXTRA_CA_FILE", servers["VOLAN_CA_FILE"].c_str(), 1);
        setenv("VOLAN_UI", "headless", 1);
        host = testing_support::loadPlugin();
        ASSERT_EQ(host->init(), 57);
        home = servers["VOLAN_TEST_HOME"];
    }
    void TearDown() override {
        if (host) host->unload();
        std::error_code ignored;
        for (const fs::path& folder : served) fs::remove_all(folder, ignored);
        // Later tests in this process choose their own user interface and trust.
        unsetenv("VOLAN_UI");
        unsetenv("VOLAN_EXTRA_CA_FILE");
    }

    std::string run(const std::string& expression) { return u8(host->evaluate(fmhost::utf16(expression)).text); }
    std::string call(const std::string& function, std::initializer_list<std::string> args = {}) {
        std::string expression = function;
        if (args.size()) {
            expression += "(";
            bool first = true;
            for (const std::string& a : args) {
                expression += (first ? "" : "; ") + quoted(a);
                first = false;
            }
            expression += ")";
        }
        return run(expression);
    }
    void addAccount(const std::string& name, const ServerKind& kind, const std::string& password,
                    const std::string& hostName = {}, int port = 0) {
        call("Volan_AddAccount", {name});
        call("Volan_SetAccountOption", {name, "Host", hostName.empty() ? servers["VOLAN_TEST_HOST"] : hostName});
        call("Volan_SetAccountOption", {name, "Port", port ? std::to_string(port) : servers[kind.portKey]});
        call("Volan_SetAccountOption", {name, "Username", servers["VOLAN_TEST_USER"]});
        call("Volan_SetAccountOption", {name, "Password", password});
        call("Volan_SetAccountOption", {name, "SecureType", kSecureTypeNames[kind.secureType]});
    }
    // An SFTP account for a volan-host child process, which reads it from the account file: this
    // test's own host is unloaded first. SFTP is slow enough on loopback to be caught mid-transfer.
    void addSFTPAccountForChild(const std::string& name) {
        addAccount(name, kKinds[4], servers["VOLAN_TEST_PASSWORD"]);
        ASSERT_TRUE(kKinds[4].sftp);
        host->unload();
        host.reset();
    }
    // A new folder in the served home that the servers' user may write to; removed after the test.
    fs::path servedFolder(const std::string& name) {
        const fs::path folder = home / (name + " " + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::all);
        served.push_back(folder);
        return folder;
    }
    fs::path prefsFolder() {
        for (const auto& e : fs::recursive_directory_iterator(std::getenv("XDG_DATA_HOME")))
            if (e.path().filename() == "curl-ca-bundle.crt") return e.path().parent_path();
        return {};
    }

    TestServers servers;
    std::unique_ptr<fmhost::PluginHost> host;
    fs::path home;
    std::vector<fs::path> served;
};

}  // namespace testing_support
