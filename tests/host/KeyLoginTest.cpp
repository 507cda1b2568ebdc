// SFTP login with keys, over the test sshd's port that takes public keys only: key files of both
// kinds with and without a passphrase, the running ssh-agent, and the text of each refusal.
#include "RemoteFixture.h"

#include <cstdlib>

using testing_support::readFile;
using testing_support::runVolanHost;
using testing_support::shell;
namespace fs = std::filesystem;

namespace {

constexpr const char* kFailed = "ERROR: Connect: Error connecting to FTP Server: ";

// What the debug logs under the test's home say, all files together.
std::string debugLogs() {
    std::string text;
    for (const auto& e : fs::recursive_directory_iterator(std::getenv("HOME")))
        if (e.is_regular_file() && e.path().parent_path().filename() == "Volan Pro Debug Logs")
            text += readFile(e.path());
    return text;
}

}  // namespace

class KeyLoginTest : public testing_support::RemoteTest {
protected:
    void SetUp() override {
        RemoteTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        if (servers["VOLAN_SFTP_KEYONLY_PORT"].empty()) {
            if (testing_support::TestServers::required()) FAIL() << "servers.env has no key-only SFTP port";
            GTEST_SKIP() << "the test servers predate the key-only SFTP port (scripts/servers/start)";
        }
        temp = fs::temp_directory_path() / ("volan-keys-" + std::to_string(getpid()));
        fs::create_directories(temp);
        other = (temp / "other").string();  // a key the server does not know
        ASSERT_EQ(shell("ssh-keygen -q -t ed25519 -N '' -f " + other), "");
        unsetenv("SSH_AUTH_SOCK");
    }
    void TearDown() override {
        // The agent is no child of this process: it is gone when signal 0 no longer reaches it.
        if (agent > 0 && kill(agent, SIGTERM) == 0)
            for (int i = 0; i < 5000 && kill(agent, 0) == 0; ++i) usleep(1000);
        unsetenv("SSH_AUTH_SOCK");
        std::error_code ignored;
        fs::remove_all(temp, ignored);
        RemoteTest::TearDown();
    }
    // Connect's result for a new account on the key-only port with these options; disconnected after.
    std::string connect(const std::vector<std::pair<std::string, std::string>>& options) {
        const std::string name = "key " + std::to_string(++accounts);
        call("Volan_RemoveAccount", {name});  // one of an earlier test in this process
        addAccount(name, testing_support::kKinds[4], "", {}, std::stoi(servers["VOLAN_SFTP_KEYONLY_PORT"]));
        for (const auto& [option, value] : options) call("Volan_SetAccountOption", {name, option, value});
        const std::string result = call("Volan_Connect", {name});
        call("Volan_Disconnect");
        return result;
    }
    // Starts an ssh-agent holding these keys, for the plug-in in this process.
    void startAgent(const std::vector<std::string>& keys) {
        const std::string socket = (temp / "agent.sock").string();
        const std::string out = shell("ssh-agent -s -a " + socket);
        const size_t at = out.find("SSH_AGENT_PID=");
        ASSERT_NE(at, std::string::npos) << out;
        agent = std::atoi(out.c_str() + at + 14);
        setenv("SSH_AUTH_SOCK", socket.c_str(), 1);
        for (const std::string& key : keys) ASSERT_NE(shell("ssh-add -q " + key + " 2>&1"), "FAILED") << key;
    }
    std::string connected(const std::string& account) const {
        return "Connected to Account: " + account + " (" + servers["VOLAN_TEST_HOST"] + ")";
    }

    fs::path temp;
    std::string other;
    pid_t agent = -1;
    int accounts = 0;
};

TEST_F(KeyLoginTest, KeyFilesLogInOrSayWhyNot) {
    const std::string pass = servers["VOLAN_SFTP_KEY_PASSPHRASE"], encrypted = servers["VOLAN_SFTP_KEY_ED25519_PASS"];
    const std::string missing = (temp / "missing").string();
    const fs::path sshDir = fs::path(servers["VOLAN_SFTP_KEY"]).parent_path();
    call("Volan_ChangeLocalDir", {sshDir.string()});
    // A key kept in a folder whose name has blanks and a non-ASCII letter.
    const fs::path spaced = temp / "my keys \xC3\xA9" / "id ed25519";
    fs::create_directories(spaced.parent_path());
    fs::copy_file(servers["VOLAN_SFTP_KEY"], spaced);
    fs::permissions(spaced, fs::perms::owner_read | fs::perms::owner_write);
    const struct {
        std::vector<std::pair<std::string, std::string>> options;
        std::string error;  // empty: connected
    } cases[] = {
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY"]}}, ""},
        {{{"PrivateKeyFile", "id_ed25519"}}, ""},  // after the current local folder
        {{{"PrivateKeyFile", spaced.string()}}, ""},
        {{{"PrivateKeyFile", encrypted}, {"KeyPassphrase", pass}}, ""},
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY_RSA"]}}, ""},
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY_RSA_PASS"]}, {"KeyPassphrase", pass}}, ""},
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY"]}, {"PublicKeyFile", servers["VOLAN_SFTP_PUBKEY"]}}, ""},
        {{{"PrivateKeyFile", missing}}, "Private key file not found: " + missing},
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY"]}, {"PublicKeyFile", missing}},
         "Public key file not found: " + missing},
        {{{"PrivateKeyFile", encrypted}, {"KeyPassphrase", "wrong"}},
         "Could not read the private key '" + encrypted + "': wrong passphrase or not a key."},
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY_RSA_PASS"]}},
         "Could not read the private key '" + servers["VOLAN_SFTP_KEY_RSA_PASS"] + "': wrong passphrase or not a key."},
        {{{"PrivateKeyFile", other}}, "The server refused the key '" + other + "'."},
        {{{"PrivateKeyFile", other}, {"Password", servers["VOLAN_TEST_PASSWORD"]}},
         "The server refused the key '" + other + "'. The server does not accept password login."},
        {{{"Password", servers["VOLAN_TEST_PASSWORD"]}}, "Authentication failure"},  // as without keys
        // On the port that takes passwords too, the password follows the refused key.
        {{{"PrivateKeyFile", other},
          {"Password", servers["VOLAN_TEST_PASSWORD"]},
          {"Port", servers["VOLAN_SFTP_PORT"]}},
         ""},
        {{{"UseAgent", "1"}}, "UseAgent is on, but no ssh-agent is running (SSH_AUTH_SOCK is not set)."},
        // The port without ssh-rsa allowed, as OpenSSH 8.8 and later are: the RSA key is authorized,
        // but its SHA-1 signature is not taken.
        {{{"PrivateKeyFile", servers["VOLAN_SFTP_KEY_RSA"]}, {"Port", servers["VOLAN_SFTP_PORT"]}},
         "The server refused the key '" + servers["VOLAN_SFTP_KEY_RSA"] +
             "'. RSA keys are signed with SHA-1 here, which OpenSSH 8.8 and later refuse unless the server allows "
             "ssh-rsa; an ed25519 or ECDSA key avoids this."},
    };
    for (const auto& c : cases) {
        const std::string result = connect(c.options);
        const std::string account = "key " + std::to_string(accounts);
        EXPECT_EQ(result, c.error.empty() ? connected(account) : kFailed + c.error) << c.options[0].second;
    }
}

TEST_F(KeyLoginTest, TheAgentIsAskedFirst) {
    startAgent({other});
    EXPECT_EQ(connect({{"UseAgent", "1"}}), kFailed + std::string("The server accepted none of the ssh-agent's keys."));
    // The agent's key is refused, then the key file's is taken.
    call("Volan_Configure", {"Set", "Debug Mode", "On"});
    EXPECT_EQ(connect({{"UseAgent", "1"}, {"PrivateKeyFile", servers["VOLAN_SFTP_KEY"]}}), connected("key 2"));
    call("Volan_Configure", {"Set", "Debug Mode", "Off"});
    EXPECT_NE(debugLogs().find("SFTP login refused: The server accepted none of the ssh-agent's keys."),
              std::string::npos);
    ASSERT_EQ(shell("ssh-add -q " + servers["VOLAN_SFTP_KEY_RSA"] + " 2>&1"), "");
    EXPECT_EQ(connect({{"UseAgent", "1"}}), connected("key 3"));
}

// The passphrase is asked for only when the key has one, and never reaches the debug log.
TEST_F(KeyLoginTest, ThePassphrasePromptAndTheDebugLog) {
    const std::string pass = servers["VOLAN_SFTP_KEY_PASSPHRASE"];
    host->unload();
    host.reset();
    std::string setup = "-e 'Volan_Configure(\"Set\";\"Debug Mode\";\"On\")' ";
    for (const auto& [name, key] :
         {std::pair{"e", servers["VOLAN_SFTP_KEY_ED25519_PASS"]}, std::pair{"p", servers["VOLAN_SFTP_KEY"]}}) {
        setup += "-e 'Volan_AddAccount(\"" + std::string(name) + "\")' ";
        for (const auto& [option, value] : {std::pair<std::string, std::string>{"Host", servers["VOLAN_TEST_HOST"]},
                                            {"Port", servers["VOLAN_SFTP_KEYONLY_PORT"]},
                                            {"Username", servers["VOLAN_TEST_USER"]},
                                            {"SecureType", "SSH"},
                                            {"PromptForPassword", "1"},
                                            {"PrivateKeyFile", key}})
            setup += "-e 'Volan_SetAccountOption(\"" + std::string(name) + "\";\"" + option + "\";\"" + value + "\")' ";
    }
    std::string out;
    ASSERT_EQ(runVolanHost("--ui headless --answer OK:" + pass + " --answer Cancel " + setup +
                               "-e 'Volan_Connect(\"e\")' -e 'Volan_Disconnect' -e 'Volan_Connect(\"e\")' "
                               "-e 'Volan_Connect(\"p\")'",
                           out),
              0)
        << out;
    const std::string host = servers["VOLAN_TEST_HOST"];
    EXPECT_NE(out.find("Connected to Account: e (" + host + ")\n"), std::string::npos) << out;
    EXPECT_NE(out.find("ERROR: Connect: User cancelled the key passphrase dialog.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Connected to Account: p (" + host + ")\n"), std::string::npos) << out;  // no prompt
    const std::string logs = debugLogs();
    EXPECT_NE(logs.find("sessionConnect"), std::string::npos);
    EXPECT_EQ(logs.find(pass), std::string::npos);
}
