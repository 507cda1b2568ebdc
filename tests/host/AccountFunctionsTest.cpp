// The account functions through volan-host, as a FileMaker developer calls them.
#include "PluginFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using testing_support::runVolanHost;

TEST(AccountFunctions, AddSetGetAndSeenByASecondProcess) {
    std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb");
    std::string out;
    ASSERT_EQ(runVolanHost("-e 'Volan_AddAccount(\"My Site\")' -e 'Volan_SetAccountOption(\"my site\"; \"Port\"; "
                           "\"70000\")' -e 'Volan_GetAccountOption(\"MY SITE \"; \"port\")' -e 'Volan_GetAccountNames'",
                           out),
              0)
        << out;
    EXPECT_EQ(out, "Account 'My Site' added.\nPort set to: 65535\n65535\nMy Site\n");

    ASSERT_EQ(runVolanHost("-e 'Volan_GetAccountNames' -e 'Volan_AddAccount(\"my site\")' "
                           "-e 'Volan_AddAccount(\"\")' -e 'Volan_GetAccountOption(\"nobody\";\"host\")' "
                           "-e 'Volan_SetAccountOption(\"my site\";\"secure type\";\"tls\")'",
                           out),
              0)
        << out;
    EXPECT_EQ(out,
              "My Site\n"
              "ERROR: AddAccount: There is already an account with the name 'my site'.\n"
              "ERROR: AddAccount: You must specify a name for the account ('AccountName' parameter).\n"
              "ERROR: GetAccountOption: Could not find account named 'nobody'.\n"
              "ERROR: SetAccountOption: Unknown secure type: tls\n");

    std::ifstream in(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb/Volan Pro/3.0/Accounts/My Site",
                     std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    EXPECT_EQ(file.str(),
              "Name=My Site\r\nHost=\r\nPort=65535\r\nTimeout=15\r\nUsername=\r\nPromptForPassword=0\r\nAccount=\r\n"
              "DataPortRangeStart=0\r\nDataPortRangeEnd=0\r\nDefaultCompletedScript=\r\nPassive=1\r\nPassword=\r\n"
              "SecureType=None\r\nDefaultMode=Binary");

    ASSERT_EQ(runVolanHost("-e 'Volan_RemoveAccount(\"MY SITE\")' -e 'Volan_GetAccountNames' "
                           "-e 'Volan_RemoveAccount(\"My Site\")'",
                           out),
              0);
    EXPECT_EQ(out, "Account 'MY SITE' removed.\n\nERROR: RemoveAccount: No account named 'My Site' found.\n");
}

TEST(AccountFunctions, ConfigureAccountThroughScriptedDialogs) {
    std::filesystem::remove_all(std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Orb");
    std::string out;
    // The selector's "+" asks for the name; Close then ends the dialog.
    ASSERT_EQ(runVolanHost("--ui headless --answer + --answer 'OK:Night Backup' --answer Close "
                           "-e 'Volan_ConfigureAccount' -e 'Volan_GetAccountNames' "
                           "-e 'Volan_ConfigureAccount(\"night backup\")' -e 'Volan_ConfigureAccount(\"Day\")'",
                           out),
              0)
        << out;
    EXPECT_EQ(out,
              "FTP accounts configured.\nNight Backup\nnight backup configured.\n"
              "ERROR: ConfigureAccount: Could not find account named 'Day'.\n");
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(std::getenv("XDG_DATA_HOME")) /
                                        "Orb/Volan Pro/3.0/Accounts/Night Backup"));
}
