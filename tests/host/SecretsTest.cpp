// What the plug-in writes about a user stays the user's: passwords never reach the debug log, the
// logs and the files exported for an upload are readable by their owner alone, and none of them
// lands in a folder another user made or in a system folder.
#include "RemoteFixture.h"

#include <sys/stat.h>

using testing_support::readFile;
using testing_support::runVolanHost;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 0777;
}

// Checks every log file in the folder; how many there were.
int checkLogs(const fs::path& folder, const std::vector<std::string>& secrets, bool& censored) {
    EXPECT_EQ(modeOf(folder), 0700u) << folder;
    int files = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        ++files;
        EXPECT_EQ(modeOf(e.path()), 0600u) << e.path();
        const std::string text = readFile(e.path());
        for (const std::string& secret : secrets) EXPECT_EQ(text.find(secret), std::string::npos) << e.path();
        censored = censored || text.find("Result: [CENSORED]") != std::string::npos;
    }
    return files;
}

}  // namespace

TEST(Secrets, PasswordsNeverReachTheDebugLogAndLogsAreTheUsers) {
    const fs::path home = std::getenv("HOME");
    const fs::path data = std::getenv("XDG_DATA_HOME");
    fs::remove_all(data / "Orb");
    const std::string session =
        "-e 'Volan_Configure(\"Set\";\"Debug Mode\";\"On\")' -e 'Volan_AddAccount(\"s\")' "
        "-e 'Volan_SetAccountOption(\"s\";\"Password\";\"Sesame-123\")' -e 'Volan_GetAccountOption(\"s\";\"pass "
        "word\")' -e 'Volan_SetAccountOption(\"s\";\"KeyPassphrase\";\"Phrase-789\")' "
        "-e 'Volan_GetAccountOption(\"s\";\"KeyPassphrase\")' "
        "-e 'Volan_Configure(\"Set\";\"My Password\";\"Other-456\")' -e 'Volan_Configure(\"Get\";\"my password\")' "
        "-e 'Volan_Configure(\"Set\";\"Debug Mode\";\"Off\")'";
    std::string out;
    ASSERT_EQ(runVolanHost(session, out), 0) << out;
    // The caller gets them, the log does not.
    EXPECT_NE(out.find("Sesame-123\nKeyPassphrase set.\nPhrase-789\n"), std::string::npos) << out;
    bool censored = false;
    EXPECT_GT(checkLogs(home / "Desktop" / "Volan Pro Debug Logs", {"Sesame-123", "Other-456", "Phrase-789"}, censored),
              0);
    EXPECT_TRUE(censored);

    // Without a Desktop the logs go to the local application data, never beside the plug-in.
    fs::rename(home / "Desktop", home / "Desk");
    ASSERT_EQ(runVolanHost(session, out), 0) << out;
    EXPECT_GT(checkLogs(data / "Orb" / "Volan Pro" / "3.0" / "Volan Pro Debug Logs", {"Sesame-123"}, censored), 0);
    EXPECT_FALSE(fs::exists(fs::path(VOLAN_PLUGIN_PATH).parent_path() / "Volan Pro Debug Logs"));
    fs::rename(home / "Desk", home / "Desktop");
}

// A container is exported for its upload into a folder of the user's own: not one another user
// made in the shared temporary folder; the file is the owner's alone and gone after the upload.
using SecretsWithServers = testing_support::RemoteTest;

TEST_F(SecretsWithServers, AContainerIsExportedPrivatelyAndRemovedAfterItsUpload) {
    const fs::path temp = fs::temp_directory_path() / ("volan-secrets-" + std::to_string(getpid()));
    fs::create_directories(temp / "Volan Temp");
    fs::permissions(temp, fs::perms::all);
    const bool otherOwner = geteuid() == 0 && chown((temp / "Volan Temp").c_str(), 65534, 65534) == 0;
    fs::permissions(temp / "Volan Temp", fs::perms::all);
    testing_support::writeFile(temp / "source" / "photo.txt", "private data");
    setenv("TMPDIR", temp.c_str(), 1);

    addAccount("secrets", testing_support::kKinds[0], servers["VOLAN_TEST_PASSWORD"]);
    ASSERT_EQ(call("Volan_Connect", {"secrets"}).rfind("Connected to Account: ", 0), 0u);
    const fs::path remote = servedFolder("secrets");
    EXPECT_EQ(run("Volan_UploadFile(Container(" + testing_support::quoted((temp / "source" / "photo.txt").string()) +
                  "); \"\"; " + testing_support::quoted(remote.string() + "/") + ")"),
              "Uploaded 'photo.txt'.");
    EXPECT_EQ(readFile(remote / "photo.txt"), "private data");
    call("Volan_Disconnect");
    unsetenv("TMPDIR");

    if (otherOwner) {
        EXPECT_TRUE(fs::is_empty(temp / "Volan Temp")) << "the other user's folder was used";
        const fs::path own = fs::path(std::getenv("XDG_DATA_HOME")) / "Orb" / "Volan Pro" / "3.0" / "Volan Temp";
        EXPECT_EQ(modeOf(own), 0700u);
        EXPECT_TRUE(fs::is_empty(own)) << "the exported file stays after the upload";
    } else {
        EXPECT_EQ(modeOf(temp / "Volan Temp"), 0700u);
        EXPECT_TRUE(fs::is_empty(temp / "Volan Temp")) << "the exported file stays after the upload";
    }
    fs::remove_all(temp);
    fs::remove_all(remote);
}
