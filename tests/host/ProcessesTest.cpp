// Several volan-host processes at once, as shell scripts, cron jobs and two users run them: each
// loads and works at once, whatever the others do, and they share the user's plug-in files without
// losing each other's changes.
#include "RemoteFixture.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testing_support::quoted;
using testing_support::readFile;
using testing_support::runVolanHost;
using testing_support::writeFile;
namespace fs = std::filesystem;

// A command run by the shell in the background, in the shell's own process (so a kill reaches it); its
// output goes to a file.
class Background {
public:
    explicit Background(const std::string& command) {
        mOutput = fs::temp_directory_path() / ("volan-bg-" + std::to_string(getpid()) + "-" + std::to_string(++sCount));
        mPid = fork();
        if (mPid == 0) {
            execl("/bin/sh", "sh", "-c", ("exec " + command + " > " + mOutput.string() + " 2>&1").c_str(), nullptr);
            _exit(127);
        }
    }
    ~Background() {
        killHard();
        fs::remove(mOutput);
    }
    bool running() {
        if (mDone) return false;
        int status = 0;
        if (waitpid(mPid, &status, WNOHANG) == 0) return true;
        mDone = true;
        mStatus = status;
        return false;
    }
    // Waits for the end; the output.
    std::string finish() {
        if (!mDone && mPid > 0) {
            waitpid(mPid, &mStatus, 0);
            mDone = true;
        }
        return readFile(mOutput);
    }
    // What it printed so far.
    std::string output() const { return readFile(mOutput); }
    void killHard() {
        if (running()) kill(mPid, SIGKILL);
        finish();
    }
    pid_t pid() const { return mPid; }

private:
    static inline int sCount = 0;
    pid_t mPid = -1;
    bool mDone = false;
    int mStatus = 0;
    fs::path mOutput;
};

std::string volanHost(const std::string& arguments) { return std::string(VOLAN_HOST_PATH) + " " + arguments; }

fs::path pluginFolder() { return fs::path(std::getenv("XDG_DATA_HOME")) / "Orb" / "Volan Pro" / "3.0"; }

// What a shell command prints (standard output and error).
std::string shellOutput(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    pclose(p);
    return out;
}

}  // namespace

// A transfer that takes a while (through a proxy that lets 100 KB/s through) holds nothing another
// process waits for: a second process started meanwhile loads, answers and makes its own
// transfer while the first is still at work.
using ProcessesWithServers = testing_support::RemoteTest;

TEST_F(ProcessesWithServers, ASecondProcessWorksWhileAFirstTransfers) {
    const testing_support::ScriptedServer proxy("throttle_proxy.py", {servers["VOLAN_SFTP_PORT"], "100000"});
    ASSERT_GT(proxy.port(), 0);
    addAccount("slow", testing_support::kKinds[4], servers["VOLAN_TEST_PASSWORD"], "", proxy.port());
    addAccount("direct", testing_support::kKinds[4], servers["VOLAN_TEST_PASSWORD"]);
    host->unload();
    host.reset();
    const fs::path remote = servedFolder("processes");
    const fs::path local = fs::temp_directory_path() / ("volan-processes-" + std::to_string(getpid()));
    writeFile(local / "big.bin", testing_support::randomBytes(500000, 7));
    writeFile(local / "small.txt", "small");

    Background first(volanHost("-e 'Volan_Connect(\"slow\")' -e 'Volan_UploadFile(" +
                               quoted((local / "big.bin").string()) + "; \"\"; " +
                               quoted((remote / "big.bin").string()) + ")'"));
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!(fs::exists(remote / "big.bin") && fs::file_size(remote / "big.bin") > 0) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(fs::exists(remote / "big.bin")) << first.finish();  // the transfer is under way

    const auto started = std::chrono::steady_clock::now();
    std::string out;
    EXPECT_EQ(runVolanHost("-e 'Volan_Version' -e 'Volan_Configure(\"Set\";\"Seen\";\"yes\")' "
                           "-e 'Volan_Connect(\"direct\")' -e 'Volan_UploadFile(" +
                               quoted((local / "small.txt").string()) + "; \"\"; " +
                               quoted((remote / "small.txt").string()) + ")'",
                           out),
              0)
        << out;
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_TRUE(first.running()) << "the second process should be done before the first";
    EXPECT_EQ(out.rfind("Volan Pro v.3.0.1", 0), 0u) << out;
    EXPECT_NE(out.find("Preference set.\nConnected to Account: direct"), std::string::npos) << out;
    EXPECT_NE(out.find("Uploaded 'small.txt'."), std::string::npos) << out;
    EXPECT_LT(took, 5s);
    std::printf("second process took %lld ms beside a running transfer\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

    const std::string firstOut = first.finish();
    EXPECT_NE(firstOut.find("Uploaded 'big.bin'"), std::string::npos) << firstOut;
    EXPECT_EQ(readFile(remote / "big.bin"), readFile(local / "big.bin"));
    fs::remove_all(local);
    fs::remove_all(remote);
}

// Processes that change different preferences and accounts at the same moment keep every change.
TEST(Processes, SimultaneousSavesKeepEveryChange) {
    fs::remove_all(fs::path(std::getenv("XDG_DATA_HOME")) / "Orb");
    std::string out;
    ASSERT_EQ(runVolanHost("-e 'Volan_AddAccount(\"Common\")'", out), 0) << out;
    const char* const options[] = {"Host", "Username", "Account", "DefaultCompletedScript"};
    const int kProcesses = 4, kSaves = 15;
    std::vector<std::unique_ptr<Background>> children;
    for (int p = 0; p < kProcesses; ++p) {
        std::string arguments = "-e 'Volan_AddAccount(\"Own " + std::to_string(p) + "\")' -e 'Volan_SetAccountOption(" +
                                "\"Common\";\"" + options[p] + "\";\"value " + std::to_string(p) + "\")'";
        for (int i = 0; i < kSaves; ++i)
            arguments += " -e 'Volan_Configure(\"Set\";\"P" + std::to_string(p) + "_" + std::to_string(i) + "\";\"" +
                         std::to_string(i) + "\")'";
        children.push_back(std::make_unique<Background>(volanHost(arguments)));
    }
    for (auto& c : children) {
        const std::string output = c->finish();
        EXPECT_EQ(output.find("ERROR"), std::string::npos) << output;
    }

    std::string check = "-e 'Volan_GetAccountNames'";
    for (int p = 0; p < kProcesses; ++p)
        check += " -e 'Volan_GetAccountOption(\"Common\";\"" + std::string(options[p]) + "\")'";
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kSaves; ++i)
            check += " -e 'Volan_Configure(\"Get\";\"P" + std::to_string(p) + "_" + std::to_string(i) + "\";\"lost\")'";
    ASSERT_EQ(runVolanHost(check, out), 0) << out;
    std::string expected = "Common\nOwn 0\nOwn 1\nOwn 2\nOwn 3\n";  // in the order the folder lists them
    for (int p = 0; p < kProcesses; ++p) expected += "value " + std::to_string(p) + "\n";
    for (int p = 0; p < kProcesses; ++p)
        for (int i = 0; i < kSaves; ++i) expected += std::to_string(i) + "\n";
    EXPECT_EQ(out, expected);
}

// A process killed in the middle of its saves leaves every file whole, and a process that runs
// meanwhile goes on working.
TEST(Processes, AKilledProcessLeavesEveryFileWholeAndTheOthersWorking) {
    fs::remove_all(fs::path(std::getenv("XDG_DATA_HOME")) / "Orb");
    std::string out;
    ASSERT_EQ(runVolanHost("-e 'Volan_AddAccount(\"Kept\")' -e 'Volan_SetAccountOption(\"Kept\";\"Port\";\"2121\")' "
                           "-e 'Volan_Configure(\"Set\";\"Base\";\"kept\")'",
                           out),
              0)
        << out;
    const fs::path script = fs::temp_directory_path() / ("volan-saves-" + std::to_string(getpid()));
    {
        std::ofstream lines(script);
        for (int i = 0; i < 400; ++i)
            lines << "Volan_Configure(\"Set\";\"Busy" << i % 20 << "\";\"" << i << "\")\n"
                  << "Volan_SetAccountOption(\"Kept\";\"Host\";\"host" << i << ".example\")\n";
    }
    // The other process reads its expressions from a pipe, one round at a time.
    const fs::path pipePath = fs::temp_directory_path() / ("volan-feed-" + std::to_string(getpid()));
    ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
    Background other(volanHost("- < " + pipePath.string()));
    std::ofstream feed(pipePath);
    std::string expected;
    std::mt19937 random(42);
    for (int round = 0; round < 12; ++round) {
        Background busy(volanHost(script.string()));
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + random() % 150));
        busy.killHard();
        const std::string n = std::to_string(round);
        feed << "Volan_Configure(\"Set\";\"Round\";\"" << n << "\")\nVolan_GetAccountOption(\"Kept\";\"Port\")\n"
             << std::flush;
        expected += "Preference set.\n2121\n";
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (other.output() != expected && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        ASSERT_EQ(other.output(), expected) << "round " << round;
        ASSERT_EQ(runVolanHost("-e 'Volan_Configure(\"Get\";\"Base\")' -e 'Volan_Configure(\"Get\";\"Round\")' "
                               "-e 'Volan_GetAccountOption(\"Kept\";\"Port\")'",
                               out),
                  0)
            << out;
        ASSERT_EQ(out, "kept\n" + n + "\n2121\n") << "round " << round;
    }
    feed.close();
    other.finish();
    // Nothing half written took a file's place.
    const std::string account = readFile(pluginFolder() / "Accounts" / "Kept");
    EXPECT_EQ(account.rfind("Name=Kept\r\n", 0), 0u) << account;
    EXPECT_NE(account.find("DefaultMode=Binary"), std::string::npos) << account;
    fs::remove(script);
    fs::remove(pipePath);
}

// Two users on one machine: nothing of one user's plug-in stands in the other's way.
TEST(Processes, ASecondUserWorksBesideTheFirst) {
    if (geteuid() != 0 || std::system("command -v runuser >/dev/null") != 0)
        GTEST_SKIP() << "needs root to run a process as another user";
    if (std::system(("runuser -u nobody -- test -x " + std::string(VOLAN_HOST_PATH)).c_str()) != 0)
        GTEST_SKIP() << "the user nobody cannot run " << VOLAN_HOST_PATH;
    Background mine(volanHost("-e 'Volan_Configure(\"Set\";\"Mine\";\"1\")' --idle 5"));
    std::this_thread::sleep_for(300ms);
    const fs::path theirHome = fs::temp_directory_path() / ("volan-nobody-" + std::to_string(getpid()));
    fs::create_directories(theirHome);
    ASSERT_EQ(std::system(("chown nobody " + theirHome.string()).c_str()), 0);
    const std::string out =
        shellOutput("cd / && runuser -u nobody -- env -i HOME=" + theirHome.string() + " VOLAN_UI=headless " +
                    volanHost("-e 'Volan_Configure(\"Set\";\"Theirs\";\"2\")' -e 'Volan_AddAccount(\"Theirs\")' "
                              "-e 'Volan_Configure(\"Get\";\"Theirs\")' -e 'Volan_GetAccountNames'"));
    EXPECT_EQ(out, "Preference set.\nAccount 'Theirs' added.\n2\nTheirs\n");
    EXPECT_TRUE(fs::exists(theirHome / ".local/share/Orb/Volan Pro/3.0/Accounts/Theirs"));
    EXPECT_TRUE(mine.running());
    mine.killHard();
    fs::remove_all(theirHome);
}

// The disk under the plug-in's folder fills up, then turns read-only: every change is refused with
// its error, and what was saved before stays whole and readable.
TEST(Processes, AFullOrReadOnlyDiskKeepsWhatWasSaved) {
    if (geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const fs::path data = fs::temp_directory_path() / ("volan-full-" + std::to_string(getpid()));
    fs::create_directories(data);
    if (std::system(("mount -t tmpfs -o size=256k volan-test '" + data.string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "this machine does not let the test mount a small file system";
    struct Unmount {
        fs::path folder;
        ~Unmount() {
            std::system(("umount '" + folder.string() + "'").c_str());
            fs::remove_all(folder);
        }
    } unmount{data};
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    std::string out;
    ASSERT_EQ(runVolanHost("-e 'Volan_Configure(\"Set\";\"Kept\";\"yes\")' -e 'Volan_AddAccount(\"Kept\")'", out), 0);
    ASSERT_EQ(out, "Preference set.\nAccount 'Kept' added.\n");
    std::system(("dd if=/dev/zero of='" + (data / "filler").string() + "' bs=4k 2>/dev/null").c_str());

    const std::string changes =
        "-e 'Volan_Configure(\"Set\";\"Lost\";\"no\")' -e 'Volan_AddAccount(\"Lost\")' "
        "-e 'Volan_SetAccountOption(\"Kept\";\"Host\";\"lost.example\")' "
        "-e 'Volan_Configure(\"Get\";\"Kept\")' -e 'Volan_GetAccountNames' "
        "-e 'Volan_GetAccountOption(\"Kept\";\"Host\")'";
    for (const char* disk : {"full", "read-only"}) {
        if (std::string(disk) == "read-only") {
            ASSERT_EQ(std::system(("mount -o remount,ro '" + data.string() + "'").c_str()), 0);
        }
        ASSERT_EQ(runVolanHost(changes, out), 0) << out;
        const std::vector<std::string> lines = testing_support::split(out, "\n");
        ASSERT_EQ(lines.size(), 6u) << out;
        EXPECT_EQ(lines[0].rfind("ERROR: Configure: Could not Save Prefs: ", 0), 0u) << disk << ": " << lines[0];
        EXPECT_EQ(lines[1].rfind("ERROR: AddAccount: ", 0), 0u) << disk << ": " << lines[1];
        EXPECT_EQ(lines[2].rfind("ERROR: SetAccountOption: ", 0), 0u) << disk << ": " << lines[2];
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()),
                  (std::vector<std::string>{"yes", "Kept", ""}))
            << disk;
    }
}
