// How remote paths become URLs and commands, without a server: escaping, resolving, splitting,
// active-mode port ranges and the line-break guard.
#include "functions/Function__Remote.h"
#include "functions/Function__Session.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteSession, EveryPathSegmentIsEscapedAndSlashesStay) {
    EXPECT_EQ(sessionEncodePath("/tmp/a b/c#d?e%f.txt"), "/tmp/a%20b/c%23d%3Fe%25f.txt");
    EXPECT_EQ(sessionEncodePath("Gr\xC3\xBC\xC3\x9F"
                                "e/\xF0\x9F\x98\x80"),
              "Gr%C3%BC%C3%9Fe/%F0%9F%98%80");
    EXPECT_EQ(sessionEncodePath("~/A-Z_a.z~"), "~/A-Z_a.z~");
    EXPECT_EQ(sessionEncodePath("semi;colon\r\n"), "semi%3Bcolon%0D%0A");

    PluginVariables session;
    session.baseURL = "ftp://127.0.0.1";
    EXPECT_EQ(sessionURL(session, "/home/x y/"), "ftp://127.0.0.1//home/x%20y/");
    EXPECT_EQ(sessionURL(session, ""), "ftp://127.0.0.1/");
}

TEST(RemoteSession, PathsResolveAgainstTheCurrentDirectoryAndSplitAtTheLastSlash) {
    PluginVariables session;
    session.currentRemoteDir = u"/";
    EXPECT_EQ(remoteResolvePath(session, u"sub"), u"/sub");
    session.currentRemoteDir = u"/a";
    EXPECT_EQ(remoteResolvePath(session, u"sub"), u"/a/sub");
    EXPECT_EQ(remoteResolvePath(session, u"/abs/x"), u"/abs/x");
    EXPECT_EQ(remoteResolvePath(session, u"../up"), u"/a/../up");

    std::string dir, name;
    remoteSplitPath("/a/b/c.txt", dir, name);
    EXPECT_EQ(dir, "/a/b/");
    EXPECT_EQ(name, "c.txt");
    remoteSplitPath("plain", dir, name);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(name, "plain");
}

TEST(RemoteSession, ActiveModePortRanges) {
    EXPECT_EQ(dataPortSpec(0, 0), "-");
    EXPECT_EQ(dataPortSpec(5000, 5000), ":5000");
    EXPECT_EQ(dataPortSpec(5000, 5010), ":5000-5010");
    EXPECT_EQ(dataPortSpec(6000, 5000), "-");
}

TEST(RemoteSession, LineBreaksAreRefusedAndUnconnectedSessionsStaySafe) {
    EXPECT_TRUE(sessionCheckSendable(u"name with spaces").empty());
    EXPECT_FALSE(sessionCheckSendable(u"a\rDELE b").empty());
    EXPECT_FALSE(sessionCheckSendable(u"a\nb").empty());

    PluginVariables session;
    EXPECT_FALSE(sessionIsConnected(session));
    EXPECT_EQ(sessionPerform(session), CURLE_FAILED_INIT);
    ucstring result;
    EXPECT_TRUE(sessionDisconnect(session, result).empty());
    EXPECT_EQ(result, u"Disconnected.");
    sessionRelease(session);  // twice is harmless
    EXPECT_EQ(session.machineListMode, -1);
}

}  // namespace
