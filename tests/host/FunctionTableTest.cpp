// The functions the plug-in registers, as the host sees them.
#include "PluginFixture.h"

#include <set>

using testing_support::loadPlugin;
using testing_support::u8;

namespace {

struct Expected {
    int id;
    const char* name;
    int minArgs;
    int maxArgs;
};

// Written from the product's function reference, in registration order.
const Expected kExpected[] = {
    {10, "Volan_AddAccount", 1, 1},
    {20, "Volan_ChangeLocalDir", 1, 1},
    {40, "Volan_ChangeLocalDirUp", 0, 0},
    {30, "Volan_ChangeRemoteDir", 1, 1},
    {50, "Volan_ChangeRemoteDirUp", 0, 0},
    {60, "Volan_ConfigureAccount", 0, -1},
    {70, "Volan_Connect", 0, -1},
    {80, "Volan_CopyLocalFile", 2, 2},
    {90, "Volan_DeleteLocalFile", 1, 1},
    {100, "Volan_DeleteRemoteFile", 1, 1},
    {110, "Volan_Disconnect", 0, 0},
    {120, "Volan_DownloadDir", 0, -1},
    {130, "Volan_DownloadFile", 0, -1},
    {140, "Volan_DownloadText", 0, -1},
    {150, "Volan_ExportContainer", 0, -1},
    {155, "Volan_GetAccountNames", 0, 0},
    {160, "Volan_GetAccountOption", 2, 2},
    {170, "Volan_GetCurrentLocalDir", 0, 0},
    {180, "Volan_GetCurrentRemoteDir", 0, 0},
    {190, "Volan_GetLastResult", 0, -1},
    {200, "Volan_GetLocalFileSize", 1, 1},
    {205, "Volan_GetLocalFileTimestamp", 0, -1},
    {210, "Volan_GetLocalListCount", 0, -1},
    {220, "Volan_GetLocalListItem", 0, -1},
    {230, "Volan_GetLocalNamedPath", 1, 1},
    {240, "Volan_GetQueueList", 0, 0},
    {250, "Volan_GetRemoteFileSize", 1, 1},
    {255, "Volan_GetRemoteFileTimestamp", 1, 1},
    {260, "Volan_GetRemoteListCount", 0, -1},
    {270, "Volan_GetRemoteListItem", 0, -1},
    {280, "Volan_ImportContainer", 0, -1},
    {290, "Volan_IsConnected", 0, 0},
    {300, "Volan_LocalDirExists", 1, 1},
    {310, "Volan_LocalFileExists", 1, 1},
    {320, "Volan_MakeLocalDir", 1, 1},
    {330, "Volan_MakeRemoteDir", 1, 1},
    {340, "Volan_MoveLocalFile", 2, 2},
    {350, "Volan_QuickDownload", 0, -1},
    {360, "Volan_QuickUpload", 1, -1},
    {365, "Volan_ReadLocalFile", 0, -1},
    {370, "Volan_RemoteDirExists", 1, 1},
    {380, "Volan_RemoteFileExists", 1, 1},
    {390, "Volan_RemoveAccount", 1, 1},
    {400, "Volan_RemoveLocalDir", 0, -1},
    {410, "Volan_RemoveRemoteDir", 1, 1},
    {415, "Volan_RenameLocalDir", 2, 2},
    {420, "Volan_RenameLocalFile", 2, 2},
    {425, "Volan_RenameRemoteDir", 2, 2},
    {430, "Volan_RenameRemoteFile", 2, 2},
    {440, "Volan_SelectLocalDirWithDialog", 0, -1},
    {450, "Volan_SelectLocalFileWithDialog", 0, -1},
    {460, "Volan_SendRemoteCommand", 1, 1},
    {470, "Volan_SetAccountOption", 3, 3},
    {480, "Volan_StatusWindow", 0, -1},
    {490, "Volan_UploadDir", 0, -1},
    {500, "Volan_UploadFile", 0, -1},
    {510, "Volan_UploadText", 1, -1},
    {520, "Volan_WriteLocalFile", 1, -1},
    {1002, "Volan_Configure", 0, -1},
    {1000, "Volan_Version", 0, -1},
    {1003, "Volan_VersionAutoUpdate", 0, 0},
};

const fmhost::RegisteredFunction* find(const std::string& name) {
    return fmhost::HostState::get().findFunction(fmhost::utf16(name));
}

}  // namespace

TEST(FunctionTable, AllSixtyOneRegisteredInOrderWithIdsAndArgumentCounts) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    const auto& registered = fmhost::HostState::get().functions;
    ASSERT_EQ(registered.size(), std::size(kExpected));
    for (size_t i = 0; i < std::size(kExpected); ++i) {
        const auto& f = registered[i];
        const Expected& e = kExpected[i];
        EXPECT_EQ(u8(f.name), e.name);
        EXPECT_EQ(f.id, e.id) << e.name;
        EXPECT_EQ(f.minArgs, e.minArgs) << e.name;
        EXPECT_EQ(f.maxArgs, e.maxArgs) << e.name;
        EXPECT_EQ(f.pluginId, "Orb3") << e.name;
        EXPECT_EQ(f.flags, 0xFF01u) << e.name;
        EXPECT_TRUE(f.extended) << e.name << " should be registered with a description on a version-15+ host";
    }
    host->unload();
    EXPECT_TRUE(fmhost::HostState::get().functions.empty());
}

TEST(FunctionTable, PrototypesCarryTheHelpComment) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    EXPECT_EQ(u8(find("Volan_Version")->prototype), "Volan_Version\r\n/* Returns the version of the plug-in. */");
    EXPECT_EQ(u8(find("Volan_Connect")->prototype),
              "Volan_Connect ( AccountName )\r\n/* Connects to the specified account.\r\n"
              "    AccountName = The account to connect to. */");
    EXPECT_EQ(u8(find("Volan_GetQueueList")->description),
              "Get Queue List gql Volan Volan Pro|Returns the list of queued file transfers.");
    const std::string configure = u8(find("Volan_Configure")->prototype);
    EXPECT_NE(configure.find("\r\n             Specify \"Get\" with the PrefName parameter"), std::string::npos);
    host->unload();
}

TEST(FunctionTable, OlderHostsGetNoDescriptions) {
    fmhost::HostSettings s;
    s.apiVersion = 55;
    s.versionText = u"Pro 14.0.6";
    auto host = loadPlugin(s);
    ASSERT_EQ(host->init(), 57);
    ASSERT_EQ(fmhost::HostState::get().functions.size(), std::size(kExpected));
    for (const auto& f : fmhost::HostState::get().functions) {
        EXPECT_FALSE(f.extended) << u8(f.name);
        EXPECT_TRUE(f.description.empty()) << u8(f.name);
    }
    host->unload();
}

TEST(FunctionTable, VersionFunctionsAnswerThroughVolanHost) {
    std::string out;
    ASSERT_EQ(
        testing_support::runVolanHost("-e 'Volan_Version' -e 'Volan_VersionAutoUpdate' -e 'Volan_GetLastResult'", out),
        0)
        << out;
    EXPECT_EQ(out, "Volan Pro v.3.0.1 (Orb Core v.5.5.1)\n03000100\nNo transfers have occurred.\n");
}

TEST(FunctionTable, EveryFunctionAnswersForItself) {
    auto host = loadPlugin();
    ASSERT_EQ(host->init(), 57);
    // The last of the functions to be written: no stub answers any more.
    fmhost::Evaluation ev = host->evaluate(u"Volan_UploadDir");
    EXPECT_EQ(u8(ev.text), "ERROR: UploadDir: Not connected.");
    ev = host->evaluate(u"Volan_Version(\"auto update\")");
    EXPECT_EQ(u8(ev.text), "03000100");
    ev = host->evaluate(u"Volan_Version(\"anything\")");
    EXPECT_EQ(u8(ev.text), "Volan Pro v.3.0.1 (Orb Core v.5.5.1)");
    host->unload();
}
