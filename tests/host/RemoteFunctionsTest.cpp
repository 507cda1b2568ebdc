// The connection, remote command and remote listing functions against the real test servers of
// every kind, each result checked against what the served folder holds on disk.
#include "RemoteFixture.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;
using testing_support::kKinds;
using testing_support::quoted;
using testing_support::readFile;
using testing_support::RemoteTest;
using testing_support::runVolanHost;
using testing_support::ServerKind;
using testing_support::shell;
using testing_support::split;
using testing_support::TestServers;
using testing_support::u8;

namespace {

// A file's modification time as the host shows a timestamp, to the second or to the minute.
std::string hostTimestamp(const fs::path& file, bool wholeMinutes) {
    struct stat st {};
    stat(file.c_str(), &st);
    std::time_t t = st.st_mtime;
    if (wholeMinutes) t -= t % 60;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d %d:%02d:%02d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900, tm.tm_hour,
                  tm.tm_min, tm.tm_sec);
    return buf;
}

class RemoteKindTest : public RemoteTest, public ::testing::WithParamInterface<ServerKind> {};

// Everything a solution does on a server, in the order a solution does it.
TEST_P(RemoteKindTest, ConnectListChangeAndDisconnect) {
    const ServerKind& kind = GetParam();
    const std::string account = std::string("acct ") + kind.name;
    addAccount(account, kind, servers["VOLAN_TEST_PASSWORD"]);

    EXPECT_EQ(call("Volan_IsConnected"), "0");
    ASSERT_EQ(call("Volan_Connect", {account}),
              "Connected to Account: " + account + " (" + servers["VOLAN_TEST_HOST"] + ")");
    EXPECT_EQ(call("Volan_IsConnected"), "1");
    EXPECT_EQ(call("Volan_Connect", {account}), "ERROR: Connect: Already connected to account '" + account +
                                                    "'; Disconnect from that account before attempting a new "
                                                    "connection.");
    ASSERT_EQ(call("Volan_GetCurrentRemoteDir"), home.string());

    // A working folder of this test's own, made through the server.
    const std::string work = "proto " + std::string(kind.name) + " " + std::to_string(getpid());
    const fs::path workDir = home / work;
    ASSERT_EQ(call("Volan_MakeRemoteDir", {work + "/"}), "Created: " + (home / work).string() + "/");
    ASSERT_TRUE(fs::is_directory(workDir));
    EXPECT_EQ(call("Volan_ChangeRemoteDir", {work}), "Remote directory set to: " + workDir.string());
    EXPECT_EQ(
        call("Volan_ChangeRemoteDir", {"missing"}),
        "ERROR: ChangeRemoteDir: The specified remote directory does not exist: " + workDir.string() + "/missing");

    const std::vector<std::string> names = {"plain.txt",
                                            "with space.txt",
                                            "hash#1.txt",
                                            "per%20cent.TXT",
                                            "what?.dat",
                                            "Grüße.txt",
                                            "emoji \xF0\x9F\x98\x80.txt"};
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(servers.upload(work + "/" + names[i], std::string(10 + i * 7, 'x'))) << names[i];
    EXPECT_EQ(call("Volan_MakeRemoteDir", {"sub dir"}), "Created: " + (workDir / "sub dir").string());
    ASSERT_TRUE(fs::is_directory(workDir / "sub dir"));

    // The listing: every item on disk, plus "." and "..".
    EXPECT_EQ(call("Volan_GetRemoteListCount"), std::to_string(names.size() + 3));
    EXPECT_EQ(call("Volan_GetRemoteListCount", {"*.txt"}), "6");  // any case
    EXPECT_EQ(call("Volan_GetRemoteListCount", {"what?.*"}), "1");
    const std::vector<std::string> rows = split(call("Volan_GetRemoteListItem", {"All", "", "|", "\n"}), "\n");
    std::set<std::string> listed;
    for (const std::string& row : rows) {
        const std::vector<std::string> f = split(row, "|");
        ASSERT_EQ(f.size(), 6u) << row;
        EXPECT_EQ(f[0], "Remote");
        listed.insert(f[2]);
        if (f[1] == "file") {
            EXPECT_EQ(f[3], std::to_string(fs::file_size(workDir / f[2]))) << f[2];
        }
        if (f[2] == "sub dir") {
            EXPECT_EQ(f[1], "dir");
        }
    }
    std::set<std::string> onDisk = {".", ".."};
    for (const auto& e : fs::directory_iterator(workDir)) onDisk.insert(e.path().filename().string());
    EXPECT_EQ(listed, onDisk);

    // FIRST/NEXT walks the same list in the same order, then starts over; a number picks one.
    std::vector<std::string> walked;
    for (std::string item = call("Volan_GetRemoteListItem", {"First"}); !item.empty();
         item = call("Volan_GetRemoteListItem", {"next"})) {
        const std::vector<std::string> f = split(item, "\r");
        ASSERT_EQ(f.size(), 6u) << item;
        EXPECT_EQ(f[0], "Location=Remote");
        walked.push_back(f[2].substr(std::string("FileName=").size()));
        ASSERT_LE(walked.size(), rows.size());
    }
    ASSERT_EQ(walked.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(walked[i], split(rows[i], "|")[2]);
    EXPECT_NE(call("Volan_GetRemoteListItem", {"NEXT"}).find("FileName=" + walked[0]), std::string::npos);
    EXPECT_NE(call("Volan_GetRemoteListItem", {"3"}).find("FileName=" + walked[2] + "\r"), std::string::npos);
    EXPECT_EQ(call("Volan_GetRemoteListItem", {"99"}), "");

    // Existence, size and time of every name, as the disk has them.
    for (const std::string& name : names) {
        EXPECT_EQ(call("Volan_RemoteFileExists", {name}), "1") << name;
        EXPECT_EQ(call("Volan_RemoteDirExists", {name}), "0") << name;
        EXPECT_EQ(call("Volan_GetRemoteFileSize", {name}), std::to_string(fs::file_size(workDir / name))) << name;
        EXPECT_EQ(call("Volan_GetRemoteFileTimestamp", {name}), hostTimestamp(workDir / name, !kind.machineListing))
            << name;
    }
    EXPECT_EQ(call("Volan_RemoteDirExists", {"sub dir"}), "1");
    EXPECT_EQ(call("Volan_RemoteDirExists", {workDir.string() + "/sub dir/"}), "1");
    EXPECT_EQ(call("Volan_RemoteFileExists", {"sub dir"}), "0");
    EXPECT_EQ(call("Volan_RemoteFileExists", {"PLAIN.TXT"}), "0");
    EXPECT_EQ(
        call("Volan_GetRemoteFileSize", {"nothing here"}),
        "ERROR: GetRemoteFileSize: The specified remote file does not exist: " + workDir.string() + "/nothing here");

    // A line break cannot smuggle a second command onto the control connection.
    EXPECT_EQ(run("Volan_MakeRemoteDir(\"x¶DELE plain.txt\")"),
              "ERROR: MakeRemoteDir: Names and commands cannot contain carriage returns or line feeds.");
    EXPECT_EQ(run("Volan_SendRemoteCommand(\"NOOP¶DELE plain.txt\")"),
              "ERROR: SendRemoteCommand: Names and commands cannot contain carriage returns or line feeds.");
    EXPECT_TRUE(fs::exists(workDir / "plain.txt"));

    // Renames and deletes reach exactly the named items.
    EXPECT_EQ(call("Volan_RenameRemoteFile", {"with space.txt", "renamed #2%.txt"}),
              "Renamed: " + (workDir / "with space.txt").string() + " to: renamed #2%.txt");
    EXPECT_TRUE(fs::exists(workDir / "renamed #2%.txt"));
    EXPECT_FALSE(fs::exists(workDir / "with space.txt"));
    EXPECT_EQ(call("Volan_RenameRemoteDir", {"sub dir", "sub ü"}),
              "Renamed: " + (workDir / "sub dir").string() + " to: sub ü");
    EXPECT_TRUE(fs::is_directory(workDir / "sub ü"));
    EXPECT_EQ(call("Volan_RenameRemoteFile", {"gone.txt", "x"}),
              "ERROR: RenameRemoteFile: The specified old file does not exist: " + (workDir / "gone.txt").string());
    EXPECT_EQ(call("Volan_DeleteRemoteFile", {"sub ü"}),
              "ERROR: DeleteRemoteFile: The specified remote file does not exist: " + (workDir / "sub ü").string());
    EXPECT_EQ(call("Volan_GetRemoteListCount"), std::to_string(names.size() + 3));  // the cache was dropped
    for (const std::string& name :
         {std::string("hash#1.txt"), std::string("per%20cent.TXT"), std::string("what?.dat"), std::string("Grüße.txt"),
          std::string("emoji \xF0\x9F\x98\x80.txt"), std::string("renamed #2%.txt")}) {
        EXPECT_EQ(call("Volan_DeleteRemoteFile", {name}), "Deleted: " + (workDir / name).string());
        EXPECT_FALSE(fs::exists(workDir / name)) << name;
    }
    EXPECT_TRUE(fs::exists(workDir / "plain.txt"));

    // A raw command acts in the current remote directory.
    const std::string chmod =
        kind.sftp ? "chmod 600 " + quoted((workDir / "plain.txt").string()) : "SITE CHMOD 600 plain.txt";
    const std::string reply = call("Volan_SendRemoteCommand", {chmod});
    EXPECT_EQ(reply.rfind("ERROR", 0), std::string::npos) << reply;
    if (!kind.sftp) {
        EXPECT_NE(reply.find("200"), std::string::npos) << reply;
    }
    EXPECT_EQ(fs::status(workDir / "plain.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(call("Volan_SendRemoteCommand", {kind.sftp ? "bogus x" : "BOGUS x"})
                  .rfind("ERROR: SendRemoteCommand: Error sending custom command; Server response: \r", 0),
              0u);

    const std::string where = call("Volan_SendRemoteCommand", {kind.sftp ? "pwd" : "PWD"});
    EXPECT_EQ(where.rfind("257 \"" + workDir.string(), 0) == 0 ||
                  where.find("\r257 \"" + workDir.string()) != std::string::npos,
              true)
        << where;

    // Up and down, then tidy up through the server.
    EXPECT_EQ(call("Volan_ChangeRemoteDir", {"sub ü"}), "Remote directory set to: " + (workDir / "sub ü").string());
    EXPECT_EQ(call("Volan_GetRemoteListCount"), "2");
    EXPECT_EQ(call("Volan_ChangeRemoteDirUp"), "Remote directory set to: " + workDir.string());
    EXPECT_EQ(call("Volan_DeleteRemoteFile", {"plain.txt"}), "Deleted: " + (workDir / "plain.txt").string());
    EXPECT_EQ(call("Volan_RemoveRemoteDir", {"sub ü/"}), "Removed: " + (workDir / "sub ü").string() + "/");
    EXPECT_EQ(call("Volan_ChangeRemoteDirUp"), "Remote directory set to: " + home.string());
    EXPECT_EQ(call("Volan_RemoveRemoteDir", {work}), "Removed: " + workDir.string());
    EXPECT_FALSE(fs::exists(workDir));
    EXPECT_EQ(call("Volan_RemoveRemoteDir", {work})
                  .rfind("ERROR: RemoveRemoteDir: Error removing directory; Server response: \r", 0),
              0u);
    EXPECT_EQ(call("Volan_ChangeRemoteDir", {"/"}), "Remote directory set to: /");
    EXPECT_EQ(call("Volan_ChangeRemoteDirUp"), "Remote directory set to: /");
    EXPECT_EQ(call("Volan_RemoteDirExists", {home.string()}), "1");

    EXPECT_EQ(call("Volan_Disconnect"), "Disconnected from Account " + account + ".");
    EXPECT_EQ(call("Volan_IsConnected"), "0");
    EXPECT_EQ(call("Volan_GetCurrentRemoteDir"), "ERROR: GetCurrentRemoteDir: Not connected.");
    EXPECT_EQ(call("Volan_GetRemoteListCount"), "ERROR: GetRemoteListCount: Not connected.");
    EXPECT_EQ(call("Volan_Disconnect"), "Disconnected.");
}

// Links and awkward names in the remote functions: a linked folder is a folder to change into, a
// link to a file is that file, links that lead nowhere are neither, and deleting a link removes
// the link alone. Names keep their blanks, and a Latin-1 name works by the text its listing shows.
TEST_P(RemoteKindTest, LinksAndAwkwardNames) {
    const ServerKind& kind = GetParam();
    SKIP_UNLESS_BLANK_ENDS_KEPT(kind);
    // The LIST-only server sends a name that is not UTF-8 with "?" for the byte: no one can fetch it.
    const bool latin1 = std::string(kind.name) != "ListOnlyFTP";
    const std::string account = std::string("links ") + kind.name;
    addAccount(account, kind, servers["VOLAN_TEST_PASSWORD"]);
    ASSERT_EQ(call("Volan_Connect", {account}).rfind("Connected to Account: ", 0), 0u);
    const fs::path folder = servedFolder(account), outside = servedFolder(account + " outside");
    testing_support::makeLinkTree(folder, outside, latin1);
    const std::string dir = folder.string();
    const std::string missing = "ERROR: GetRemoteFileSize: The specified remote file does not exist: " + dir + "/";
    // MLSD leaves out the links that lead nowhere.
    const int listed = 13 + latin1 - (kind.machineListing ? 3 : 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"Volan_ChangeRemoteDir(" + quoted(dir) + ")", "Remote directory set to: " + dir},
        {"Volan_GetRemoteListCount", std::to_string(listed)},
        {"Volan_RemoteDirExists(\"ld\")", "1"},
        {"Volan_RemoteDirExists(\"up\")", "1"},
        {"Volan_RemoteDirExists(\"out\")", "1"},
        {"Volan_RemoteDirExists(\"lf\")", "0"},
        {"Volan_RemoteDirExists(\"dang\")", "0"},
        {"Volan_RemoteDirExists(\"loop1\")", "0"},
        {"Volan_RemoteFileExists(\"lf\")", "1"},
        {"Volan_RemoteFileExists(\"ld\")", "0"},
        {"Volan_RemoteFileExists(\"dang\")", "0"},
        {"Volan_GetRemoteFileSize(\"lf\")", "6"},
        {"Volan_DownloadText(\"lf\")", "file!\r"},
        {"Volan_GetRemoteFileSize(\" lead.txt\")", "5"},
        {"Volan_GetRemoteFileSize(\"lead.txt\")", missing + "lead.txt"},
        {"Volan_GetRemoteFileSize(\"trail.txt \")", "7"},
        {"Volan_GetRemoteFileSize(\"trail.txt\")", missing + "trail.txt"},
        {"Volan_DownloadText(\" lead.txt\")", "lead\r"},
        {"Volan_ChangeRemoteDir(\"ld\")", "Remote directory set to: " + dir + "/ld"},
        {"Volan_GetRemoteListCount", "4"},  // ".", "..", in.txt and back
        {"Volan_ChangeRemoteDir(" + quoted(dir) + ")", "Remote directory set to: " + dir},
        {"Volan_DeleteRemoteFile(\"lf\")", "Deleted: " + dir + "/lf"},
        {"Volan_DeleteRemoteFile(\"ld\")", "Deleted: " + dir + "/ld"},
        {"Volan_RenameRemoteFile(\" lead.txt\"; \" led.txt \")", "Renamed: " + dir + "/ lead.txt to:  led.txt "},
        {"Volan_DeleteRemoteFile(\" led.txt \")", "Deleted: " + dir + "/ led.txt "},
        {"Volan_DeleteRemoteFile(\"trail.txt \")", "Deleted: " + dir + "/trail.txt "},
    };
    if (latin1) {
        cases.insert(
            cases.begin() + 2,
            {{"Volan_GetRemoteFileSize(\"café.txt\")", "6"},
             {"Volan_DownloadText(\"café.txt\")", "latin\r"},
             {"Volan_RenameRemoteFile(\"café.txt\"; \"café 2.txt\")", "Renamed: " + dir + "/café.txt to: café 2.txt"},
             {"Volan_DeleteRemoteFile(\"café 2.txt\")", "Deleted: " + dir + "/café 2.txt"}});
    }
    for (const auto& [expression, answer] : cases) EXPECT_EQ(run(expression), answer) << expression;

    // What is left: the links went, never what they lead to.
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(folder)) left.insert(e.path().filename().string());
    EXPECT_EQ(left, (std::set<std::string>{"f.txt", "sub", "up", "out", "dang", "loop1", "loop2"}));
    EXPECT_TRUE(fs::exists(folder / "sub" / "in.txt"));
    EXPECT_TRUE(fs::exists(outside / "o.txt"));
    call("Volan_Disconnect");
}

TEST_P(RemoteKindTest, WrongPasswordLeavesTheSessionUnconnected) {
    const ServerKind& kind = GetParam();
    addAccount("bad", kind, "not-the-password");
    const std::string result = call("Volan_Connect", {"bad"});
    EXPECT_EQ(result.rfind("ERROR: Connect: Error connecting to FTP Server: ", 0), 0u) << result;
    EXPECT_GT(result.size(), std::string("ERROR: Connect: Error connecting to FTP Server: ").size());
    EXPECT_EQ(call("Volan_IsConnected"), "0");
    EXPECT_EQ(call("Volan_RemoteFileExists", {"x"}), "ERROR: RemoteFileExists: Not connected.");
}

INSTANTIATE_TEST_SUITE_P(Servers, RemoteKindTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<ServerKind>& info) { return info.param.name; });

TEST_F(RemoteTest, UnreachableServersGiveAConnectError) {
    addAccount("nowhere", kKinds[0], "x", "no-such-host.invalid");
    addAccount("closed", kKinds[0], "x", "", testing_support::freeLoopbackPort());
    addAccount("closed ssh", kKinds[4], "x", "", testing_support::freeLoopbackPort());
    for (const char* name : {"nowhere", "closed", "closed ssh"}) {
        const std::string result = call("Volan_Connect", {name});
        EXPECT_EQ(result.rfind("ERROR: Connect: Error connecting to FTP Server: ", 0), 0u) << result;
        EXPECT_EQ(call("Volan_IsConnected"), "0");
    }
    EXPECT_EQ(call("Volan_Connect", {"unknown account"}),
              "ERROR: Connect: Could not find account named 'unknown account'.");
    EXPECT_EQ(call("Volan_Connect", {" "}),
              "ERROR: Connect: You must specify the account to connect to: ('AccountName' parameter).");
}

// The bundle written at start: its header, the system's roots and the extra CA named in the
// environment, in the preferences folder beside the accounts.
TEST_F(RemoteTest, CertificateBundleIsWrittenAtStart) {
    std::stringstream bundle, ca;
    bundle << std::ifstream(prefsFolder() / "curl-ca-bundle.crt").rdbuf();
    ca << std::ifstream(servers["VOLAN_CA_FILE"]).rdbuf();
    const std::string text = bundle.str();
    EXPECT_EQ(text.rfind(
                  "## Installed by Volan Pro.\n## Any changes made to this file, will be overwritten on startup.\n", 0),
              0u);
    EXPECT_NE(text.find(ca.str()), std::string::npos);
    size_t certificates = 0;
    for (size_t at = 0; (at = text.find("-----BEGIN CERTIFICATE-----", at)) != std::string::npos; ++at) ++certificates;
    EXPECT_GT(certificates, 50u);  // the system's trusted roots
}

// Active-mode data connections from a port range, and a session that ends while connected.
TEST_F(RemoteTest, ActiveModeListingAndSessionEndWhileConnected) {
    addAccount("active", kKinds[0], servers["VOLAN_TEST_PASSWORD"]);
    call("Volan_SetAccountOption", {"active", "Passive", "0"});
    call("Volan_SetAccountOption", {"active", "DataPortRangeStart", "20450"});
    call("Volan_SetAccountOption", {"active", "DataPortRangeEnd", "20460"});
    ASSERT_EQ(call("Volan_Connect", {"active"}).rfind("Connected to Account: active", 0), 0u);
    std::set<std::string> names;
    for (const std::string& row : split(call("Volan_GetRemoteListItem", {"all", "", "|", "\n"}), "\n"))
        names.insert(split(row, "|").at(2));
    std::set<std::string> onDisk = {".", ".."};
    for (const auto& e : fs::directory_iterator(home)) onDisk.insert(e.path().filename().string());
    // Other tests may add or remove their own folders meanwhile; everything listed must exist.
    for (const std::string& name : names) EXPECT_TRUE(onDisk.count(name) || fs::exists(home / name)) << name;
    EXPECT_TRUE(names.count(".") && names.count(".."));
    EXPECT_EQ(call("Volan_GetRemoteListItem", {" "}),
              "ERROR: GetRemoteListItem: You must specify which list item to retrieve. ('Which' parameter).");
    EXPECT_EQ(call("Volan_GetRemoteListCount", {"a[b"})
                  .rfind("ERROR: GetRemoteListCount: Could not compile wildcard regular expression: ^A[B; Error: ", 0),
              0u);

    host->sessionShutdown(1);
    EXPECT_EQ(call("Volan_IsConnected"), "0");
    ASSERT_EQ(call("Volan_Connect", {"active"}).rfind("Connected to Account: active", 0), 0u);
}

// Every connection sends TCP keep-alive probes, so a NAT or firewall keeps an idle control
// connection during a long transfer: the kernel shows the keep-alive timer on the socket.
TEST_F(RemoteTest, ConnectionsKeepAlive) {
    for (const ServerKind& kind : {kKinds[0], kKinds[4]}) {
        addAccount(std::string("alive ") + kind.name, kind, servers["VOLAN_TEST_PASSWORD"]);
        ASSERT_EQ(call("Volan_Connect", {std::string("alive ") + kind.name}).rfind("Connected to Account: ", 0), 0u);
        const std::string sockets =
            shell("ss -tnoH state established '( dport = :" + servers[kind.portKey] + " ) and src 127.0.0.1' 2>&1");
        EXPECT_NE(sockets.find("keepalive"), std::string::npos) << kind.name << ":\n" << sockets;
        call("Volan_Disconnect");
    }
}

// SFTP host keys are trusted on first use and recorded, as OpenSSH does: "[host]:port" for a port
// other than 22, the new line first. A different key later, or a key of a type the server does not
// offer, is refused with the same text; a plain line is port 22's, or an older version's.
TEST_F(RemoteTest, SFTPHostKeysAreRecordedAndCheckedByPort) {
    addAccount("ssh", kKinds[4], servers["VOLAN_TEST_PASSWORD"]);
    const fs::path knownHosts = prefsFolder() / "known_hosts";
    const std::string host = servers["VOLAN_TEST_HOST"], port = servers["VOLAN_SFTP_PORT"];
    const std::string ours = "[" + host + "]:" + port + " ssh-ed25519 " + servers["VOLAN_SFTP_HOST_KEY"] + "\n";
    const auto connect = [&] {
        const std::string answer = call("Volan_Connect", {"ssh"});
        call("Volan_Disconnect");
        return answer;
    };
    const auto file = [&] {
        std::stringstream content;
        content << std::ifstream(knownHosts).rdbuf();
        return content.str();
    };
    fs::remove(knownHosts);
    ASSERT_EQ(connect().rfind("Connected to Account: ssh", 0), 0u);
    EXPECT_EQ(file(), ours);

    // Another ed25519 key (the user's), and an ECDSA key made for the test.
    std::string otherKey, ecdsaKey;
    std::ifstream(servers["VOLAN_SFTP_PUBKEY"]) >> otherKey >> otherKey;
    const fs::path ecdsa = fs::temp_directory_path() / ("volan-ecdsa-" + std::to_string(getpid()));
    ASSERT_EQ(std::system(("ssh-keygen -q -t ecdsa -N '' -f " + ecdsa.string()).c_str()), 0);
    std::ifstream(ecdsa.string() + ".pub") >> ecdsaKey >> ecdsaKey;
    fs::remove(ecdsa);
    fs::remove(ecdsa.string() + ".pub");
    const std::string refused = "ERROR: Connect: Error connecting to FTP Server: The SSH host key of " + host +
                                " does not match the one recorded for it in the known hosts file ";
    const struct {
        std::string recorded;
        bool connects;
        std::string after;  // the file afterwards
    } cases[] = {
        {"[" + host + "]:" + port + " ssh-ed25519 " + otherKey + "\n", false, ""},
        {"[" + host + "]:" + port + " ecdsa-sha2-nistp256 " + ecdsaKey + "\n", false, ""},
        {host + " ssh-ed25519 " + otherKey + "\n", true, ours + host + " ssh-ed25519 " + otherKey + "\n"},
        {host + " ssh-ed25519 " + servers["VOLAN_SFTP_HOST_KEY"] + "\n", true, ""},
    };
    for (const auto& c : cases) {
        std::ofstream(knownHosts, std::ios::trunc) << c.recorded;
        const std::string answer = connect();
        if (c.connects) {
            EXPECT_EQ(answer.rfind("Connected to Account: ssh", 0), 0u) << c.recorded << answer;
        } else {
            EXPECT_EQ(answer.substr(0, refused.size()), refused) << c.recorded;
        }
        EXPECT_EQ(file(), c.after.empty() ? c.recorded : c.after);
    }

    // Forgetting the host (deleting its line, here the whole file) lets it be trusted anew.
    fs::remove(knownHosts);
    EXPECT_EQ(connect().rfind("Connected to Account: ssh", 0), 0u);
}

// Through volan-host in a world of its own: a password typed into the prompt, a cancelled prompt,
// and a server whose certificate the bundle does not trust.
TEST(RemoteHostTest, PasswordPromptAndUntrustedCertificate) {
    TestServers servers;
    REQUIRE_TEST_SERVERS(servers);
    const fs::path world = fs::temp_directory_path() / ("volan-remote-" + std::to_string(getpid()));
    fs::create_directories(world);
    const std::string savedData = std::getenv("XDG_DATA_HOME");
    setenv("XDG_DATA_HOME", world.c_str(), 1);
    unsetenv("VOLAN_EXTRA_CA_FILE");
    const std::string setup = "-e 'Volan_AddAccount(\"p\")' -e 'Volan_SetAccountOption(\"p\";\"Host\";\"" +
                              servers["VOLAN_TEST_HOST"] + "\")' -e 'Volan_SetAccountOption(\"p\";\"Port\";\"" +
                              servers["VOLAN_FTP_PORT"] + "\")' -e 'Volan_SetAccountOption(\"p\";\"Username\";\"" +
                              servers["VOLAN_TEST_USER"] +
                              "\")' -e 'Volan_SetAccountOption(\"p\";\"PromptForPassword\";\"1\")' ";
    std::string out;
    ASSERT_EQ(runVolanHost("--ui headless --answer OK:" + servers["VOLAN_TEST_PASSWORD"] + " " + setup +
                               "-e 'Volan_Connect(\"p\")'",
                           out),
              0)
        << out;
    EXPECT_NE(out.find("Connected to Account: p (" + servers["VOLAN_TEST_HOST"] + ")"), std::string::npos) << out;

    ASSERT_EQ(runVolanHost("--ui headless --answer Cancel -e 'Volan_Connect(\"p\")' "
                           "-e 'Volan_IsConnected'",
                           out),
              0)
        << out;
    EXPECT_EQ(out, "ERROR: Connect: User cancelled the account password dialog.\n0\n");

    // Explicit TLS without the test CA in the bundle: verification fails, and is not skipped.
    ASSERT_EQ(runVolanHost("--ui headless --answer OK:" + servers["VOLAN_TEST_PASSWORD"] +
                               " -e 'Volan_SetAccountOption(\"p\";\"SecureType\";\"AUTH TLS\")' "
                               "-e 'Volan_Connect(\"p\")' -e 'Volan_IsConnected'",
                           out),
              0)
        << out;
    EXPECT_NE(out.find("ERROR: Connect: Error connecting to FTP Server: "), std::string::npos) << out;
    EXPECT_NE(out.find("certificate"), std::string::npos) << out;
    EXPECT_EQ(out.substr(out.size() - 2), "0\n");
    setenv("XDG_DATA_HOME", savedData.c_str(), 1);
    fs::remove_all(world);
}

// ---- IPv6 hosts; relative paths of SFTP commands ------------------------------------------------

// An IPv6 address is a host with or without brackets in an account, and in brackets (as URLs write
// it) in a quick transfer's URL; listings and transfers go over it too.
TEST_F(RemoteTest, IPv6HostsWithOrWithoutBrackets) {
    const std::string address = servers["VOLAN_TEST_HOST6"];
    if (address.empty()) GTEST_SKIP() << "servers.env names no IPv6 address";
    const fs::path dir = servedFolder("ipv6");
    ASSERT_TRUE(servers.upload(dir.filename().string() + "/v6.txt", "over IPv6"));
    for (const ServerKind& kind : kKinds) {
        for (const std::string& host : {address, "[" + address + "]"}) {
            const std::string account = std::string("v6 ") + kind.name + (host[0] == '[' ? " brackets" : "");
            addAccount(account, kind, servers["VOLAN_TEST_PASSWORD"], host);
            EXPECT_EQ(call("Volan_Connect", {account}), "Connected to Account: " + account + " (" + host + ")");
            EXPECT_EQ(call("Volan_GetRemoteFileSize", {(dir / "v6.txt").string()}), "9") << account;
            call("Volan_Disconnect");
        }
    }
    const fs::path local = fs::temp_directory_path() / ("volan-v6-" + std::to_string(getpid()) + ".txt");
    std::string path = (dir / "v6.txt").string();
    path.replace(path.find(' '), 1, "%20");
    for (const auto& [scheme, portKey] : {std::pair{"ftp", "VOLAN_FTP_PORT"}, std::pair{"sftp", "VOLAN_SFTP_PORT"}}) {
        const std::string url = std::string(scheme) + "://" + servers["VOLAN_TEST_USER"] + ":" +
                                servers["VOLAN_TEST_PASSWORD"] + "@[" + address + "]:" + servers[portKey] + path;
        EXPECT_EQ(call("Volan_QuickDownload", {url, local.string()}),
                  "Downloaded '" + local.filename().string() + "' (originally 'v6.txt').");
        EXPECT_EQ(readFile(local), "over IPv6") << scheme;
        fs::remove(local);
    }
    fs::remove_all(dir);
}

// Over SFTP a raw command's relative paths mean the current remote directory, as over FTP; the
// same names in the login folder are left alone, and blanks, quotes and backslashes keep their
// quoting.
TEST_F(RemoteTest, SFTPCommandsActInTheCurrentRemoteDirectory) {
    addAccount("sftp here", kKinds[4], servers["VOLAN_TEST_PASSWORD"]);
    const fs::path dir = servedFolder("sftp here");
    const std::string pid = std::to_string(getpid());
    const std::string name = "probe " + pid + ".txt", sub = "say \"hi\" " + pid, moved = "moved \\ it.txt";
    ASSERT_TRUE(servers.upload(name, "login folder"));
    ASSERT_TRUE(servers.upload(dir.filename().string() + "/" + name, "current folder"));
    ASSERT_EQ(call("Volan_Connect", {"sftp here"}).rfind("Connected to Account: ", 0), 0u);
    ASSERT_EQ(call("Volan_ChangeRemoteDir", {dir.filename().string()}), "Remote directory set to: " + dir.string());

    const std::string movedPath = sub + "/" + moved;
    const struct {
        std::string command;
        std::string made, gone;  // in the current folder afterwards
    } steps[] = {
        {"mkdir '" + sub + "'", sub, ""},
        {"rename " + quoted(name) + " " + quoted(movedPath), movedPath, name},
        {"chmod 600 " + quoted(movedPath), "", ""},
        {"*RM missing.txt", "", ""},
        {"rm '" + sub + "/moved \\\\ it.txt'", "", movedPath},
        {"rmdir   '" + sub + "'", "", sub},
    };
    for (const auto& step : steps) {
        const std::string reply = call("Volan_SendRemoteCommand", {step.command});
        EXPECT_EQ(reply.rfind("ERROR", 0), std::string::npos) << step.command << reply;
        if (!step.made.empty()) {
            EXPECT_TRUE(fs::exists(dir / step.made)) << step.command;
            EXPECT_FALSE(fs::exists(home / step.made)) << step.command;
        }
        if (!step.gone.empty()) {
            EXPECT_FALSE(fs::exists(dir / step.gone)) << step.command;
        }
        if (step.command.rfind("chmod", 0) == 0) {
            EXPECT_EQ(fs::status(dir / sub / moved).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::owner_write);
        }
    }
    EXPECT_EQ(readFile(home / name), "login folder");
    call("Volan_Disconnect");
    fs::remove(home / name);
    fs::remove_all(home / sub);
    fs::remove_all(dir);
}

}  // namespace
