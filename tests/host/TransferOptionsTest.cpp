// The accounts' transfer options (Resume, PreserveTimestamps, Verify) against the real servers of
// every kind, and against scripted ones that cut a transfer off, stall it or lie about a digest.
#include "RemoteFixture.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using testing_support::kKinds;
using testing_support::quoted;
using testing_support::randomBytes;
using testing_support::readFile;
using testing_support::RemoteTest;
using testing_support::ScriptedServer;
using testing_support::ServerKind;
using testing_support::writeFile;

namespace {

constexpr time_t kRemoteTime = 1577934245;  // 2020-01-02 03:04:05 UTC
constexpr time_t kLocalTime = 1614834367;   // 2021-03-04 05:06:07 UTC

time_t modified(const fs::path& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

void setModified(const fs::path& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

class TransferOptionsBase : public RemoteTest {
protected:
    void SetUp() override {
        RemoteTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        local = fs::temp_directory_path() / ("volan-options-" + std::to_string(getpid()));
        fs::remove_all(local);
        fs::create_directories(local);
    }
    void TearDown() override {
        RemoteTest::TearDown();
        fs::remove_all(local);
    }
    // An account with the options given ("Resume", ...) turned on, connected.
    void connect(const std::string& name, const ServerKind& kind, std::initializer_list<const char*> options,
                 int port = 0, const std::string& password = {}) {
        call("Volan_Disconnect");
        addAccount(name, kind, password.empty() ? servers["VOLAN_TEST_PASSWORD"] : password, "127.0.0.1", port);
        call("Volan_SetAccountOption", {name, "Timeout", "2"});
        for (const char* option : options) call("Volan_SetAccountOption", {name, option, "1"});
        ASSERT_EQ(call("Volan_Connect", {name}).rfind("Connected to Account: ", 0), 0u);
    }
    std::string upload(const fs::path& file, const std::string& remote) {
        return run("Volan_UploadFile(" + quoted(file.string()) + "; \"\"; " + quoted(remote) + ")");
    }
    std::string download(const std::string& remote, const fs::path& file) {
        return run("Volan_DownloadFile(" + quoted(remote) + "; \"\"; " + quoted(file.string()) + ")");
    }
    // The names in the local folder.
    std::vector<std::string> localNames() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(local)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path local;
};

class TransferOptionsTest : public TransferOptionsBase, public ::testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override {
        TransferOptionsBase::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        remote = servedFolder(std::string("options ") + GetParam().name);
    }
    void connectWith(std::initializer_list<const char*> options) {
        connect(std::string("options ") + GetParam().name, GetParam(), options);
        ASSERT_EQ(call("Volan_ChangeRemoteDir", {remote.string()}).rfind("Remote directory set to: ", 0), 0u);
    }
    fs::path remote;
};

}  // namespace

// A ".NAME.part" continues when it is shorter than the remote file and dated as the remote file is
// (the mark an interrupted download leaves); else the download starts over. The .part here does
// not hold the remote file's first bytes, so the result tells which happened.
TEST_P(TransferOptionsTest, ResumeContinuesAPartOnlyWhileTheRemoteFileIsUnchanged) {
    const std::string data = randomBytes(200000, 1);
    writeFile(remote / "big.bin", data);
    setModified(remote / "big.bin", kRemoteTime);
    connectWith({"Resume"});
    const std::string other = randomBytes(200000, 2);
    const struct {
        size_t partSize;
        time_t partTime;
        bool continued;
    } cases[] = {{50000, kRemoteTime, true}, {50000, kRemoteTime + 3600, false}, {200000, kRemoteTime, false}};
    for (const auto& c : cases) {
        writeFile(local / "big.bin", "the old file");
        writeFile(local / ".big.bin.part", other.substr(0, c.partSize));
        setModified(local / ".big.bin.part", c.partTime);
        ASSERT_EQ(download("big.bin", local / "big.bin"), "Downloaded 'big.bin'.") << c.partTime;
        const std::string expected = c.continued ? other.substr(0, c.partSize) + data.substr(c.partSize) : data;
        EXPECT_TRUE(readFile(local / "big.bin") == expected) << c.partSize << " " << c.partTime;
        EXPECT_EQ(localNames(), std::vector<std::string>{"big.bin"});
    }
    // An upload continues a shorter remote file and replaces a longer one.
    writeFile(local / "up.bin", data);
    for (const std::string& there : {other.substr(0, 70000), other + "more"}) {
        writeFile(remote / "up.bin", there);
        fs::permissions(remote / "up.bin", fs::perms::all);
        ASSERT_EQ(upload(local / "up.bin", "up.bin"), "Uploaded 'up.bin'.");
        EXPECT_TRUE(readFile(remote / "up.bin") ==
                    (there.size() < data.size() ? there + data.substr(there.size()) : data));
    }
}

// Downloads take the remote file's modification time, uploads give the server the local one's;
// folder transfers too.
TEST_P(TransferOptionsTest, PreserveTimestampsCarriesTheModificationTimeBothWays) {
    writeFile(local / "up.txt", "up");
    setModified(local / "up.txt", kLocalTime);
    writeFile(remote / "down.txt", "down");
    writeFile(remote / "tree" / "in.txt", "in");
    for (const char* file : {"down.txt", "tree/in.txt"}) setModified(remote / file, kRemoteTime);
    connectWith({"PreserveTimestamps"});
    ASSERT_EQ(upload(local / "up.txt", "up.txt"), "Uploaded 'up.txt'.");
    EXPECT_EQ(modified(remote / "up.txt"), kLocalTime);
    ASSERT_EQ(download("down.txt", local / "down.txt"), "Downloaded 'down.txt'.");
    EXPECT_EQ(modified(local / "down.txt"), kRemoteTime);
    fs::create_directories(local / "tree");
    call("Volan_ChangeLocalDir", {(local / "tree").string()});
    ASSERT_EQ(run("Volan_DownloadDir(" + quoted((remote / "tree").string()) + "; 1)").rfind("Downloaded '", 0), 0u);
    EXPECT_EQ(modified(local / "tree" / "in.txt"), kRemoteTime);
}

// Verify checks the sizes at both ends, and the server's digest where it offers one (ProFTPD
// with mod_digest: HASH).
TEST_P(TransferOptionsTest, VerifyPassesGoodTransfers) {
    const std::string data = randomBytes(300000, 3);
    writeFile(local / "v.bin", data);
    connectWith({"Verify"});
    ASSERT_EQ(upload(local / "v.bin", "v.bin"), "Uploaded 'v.bin'.");
    ASSERT_EQ(download("v.bin", local / "back.bin"), "Downloaded 'back.bin' (originally 'v.bin').");
    EXPECT_TRUE(readFile(local / "back.bin") == data);
    if (const std::string port = GetParam().portKey;
        port == "VOLAN_FTP_PORT" || port == "VOLAN_FTPS_PORT") {  // ProFTPD
        EXPECT_NE(call("Volan_SendRemoteCommand", {"FEAT"}).find("HASH"), std::string::npos)
            << "the test servers' ProFTPD runs without mod_digest: start them again (scripts/servers/start)";
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransferOptionsTest, ::testing::ValuesIn(kKinds),
                         [](const ::testing::TestParamInfo<ServerKind>& info) { return std::string(info.param.name); });

namespace {

class InterruptedTransferTest : public TransferOptionsBase {};

}  // namespace

// Real interruptions: a scripted FTP server cuts "cut.bin" off at its middle unless asked for the
// rest (REST), and an SFTP server behind a proxy stalls after some bytes. The .part (and the
// partial remote file of an upload) stays; the next attempt continues it to the exact bytes.
TEST_F(InterruptedTransferTest, AnInterruptedTransferContinuesToTheExactBytes) {
    const std::string data = randomBytes(1 << 20, 4);
    const fs::path ftpRoot = local / "served";
    writeFile(ftpRoot / "cut.bin", data);
    setModified(ftpRoot / "cut.bin", kRemoteTime);
    const fs::path sftpRoot = servedFolder("interrupted");
    writeFile(sftpRoot / "cut.bin", data);
    setModified(sftpRoot / "cut.bin", kRemoteTime);
    const fs::path target = local / "got" / "cut.bin", part = local / "got" / ".cut.bin.part";
    writeFile(target, "the old file");

    // FTP: the first attempt is cut off; the second goes on with REST, which alone gets it whole.
    ScriptedServer hostile("hostile_ftpd.py", {ftpRoot.string(), servers["VOLAN_TEST_USER"], "secret", "/none"});
    ASSERT_GT(hostile.port(), 0);
    connect("cut", kKinds[0], {"Resume"}, hostile.port(), "secret");
    EXPECT_EQ(download("cut.bin", target).rfind("ERROR: DownloadFile: Error downloading file; ", 0), 0u);
    EXPECT_EQ(readFile(target), "the old file");
    EXPECT_EQ(fs::file_size(part), data.size() / 2);
    EXPECT_EQ(modified(part), kRemoteTime);
    EXPECT_EQ(download("cut.bin", target), "Downloaded 'cut.bin'.");
    EXPECT_TRUE(readFile(target) == data);
    EXPECT_FALSE(fs::exists(part));

    // SFTP: the proxy stalls the first attempts; the next ones, direct, continue them. A byte of
    // each partial file is changed meanwhile: it stays so in the result only when continued.
    // libcurl 7.88 gives up closing an SFTP connection whose server stalls after a second, and
    // leaks its SSH session then: what is allocated for that connection is not counted as a leak.
    struct IgnoreLeaks {
#if defined(__SANITIZE_ADDRESS__)
        IgnoreLeaks() { __lsan_disable(); }
        ~IgnoreLeaks() { __lsan_enable(); }
#endif
    };
    std::optional<IgnoreLeaks> ignoreLeaks(std::in_place);
    ScriptedServer proxy("throttle_proxy.py", {servers["VOLAN_SFTP_PORT"], "4000000", "400000"});
    ASSERT_GT(proxy.port(), 0);
    connect("stalled", kKinds[4], {"Resume"}, proxy.port());
    writeFile(target, "the old file");
    EXPECT_EQ(download((sftpRoot / "cut.bin").string(), target).rfind("ERROR: DownloadFile: The server stalled", 0),
              0u);
    writeFile(local / "up.bin", data);
    EXPECT_EQ(
        upload(local / "up.bin", (sftpRoot / "up.bin").string()).rfind("ERROR: UploadFile: The server stalled", 0), 0u);
    EXPECT_EQ(readFile(target), "the old file");
    ASSERT_GT(fs::file_size(part), 0u);
    ASSERT_LT(fs::file_size(part), data.size());
    ASSERT_GT(fs::file_size(sftpRoot / "up.bin"), 0u);
    ASSERT_LT(fs::file_size(sftpRoot / "up.bin"), data.size());
    for (const fs::path& partial : {part, sftpRoot / "up.bin"}) {
        std::fstream f(partial, std::ios::in | std::ios::out | std::ios::binary);
        f.put(static_cast<char>(~data[0]));
    }
    setModified(part, kRemoteTime);
    std::string changed = data;
    changed[0] = static_cast<char>(~data[0]);
    call("Volan_Disconnect");
    ignoreLeaks.reset();
    connect("direct", kKinds[4], {"Resume"});
    EXPECT_EQ(download((sftpRoot / "cut.bin").string(), target), "Downloaded 'cut.bin'.");
    EXPECT_TRUE(readFile(target) == changed);
    EXPECT_EQ(upload(local / "up.bin", (sftpRoot / "up.bin").string()), "Uploaded 'up.bin'.");
    EXPECT_TRUE(readFile(sftpRoot / "up.bin") == changed);
}

// A server whose digest differs from the bytes received: the download fails and the old file stays.
TEST_F(InterruptedTransferTest, VerifyRefusesADownloadWhoseDigestDiffers) {
    const fs::path root = local / "served";
    writeFile(root / "lying.bin", randomBytes(5000, 5));
    writeFile(root / "good.bin", randomBytes(5000, 6));
    ScriptedServer hostile("hostile_ftpd.py", {root.string(), servers["VOLAN_TEST_USER"], "secret", "/none"});
    ASSERT_GT(hostile.port(), 0);
    connect("lying", kKinds[0], {"Verify"}, hostile.port(), "secret");
    writeFile(local / "got" / "lying.bin", "the old file");
    EXPECT_EQ(download("lying.bin", local / "got" / "lying.bin"),
              "ERROR: DownloadFile: Error verifying 'lying.bin': the server's SHA-256 digest differs from the local "
              "file's.");
    EXPECT_EQ(readFile(local / "got" / "lying.bin"), "the old file");
    EXPECT_EQ(download("good.bin", local / "got" / "good.bin"), "Downloaded 'good.bin'.");
    EXPECT_TRUE(readFile(local / "got" / "good.bin") == readFile(root / "good.bin"));
    EXPECT_EQ(std::distance(fs::directory_iterator(local / "got"), fs::directory_iterator()), 2);
}
