// How remote paths become URLs and commands, without a server: escaping, resolving, splitting,
// active-mode port ranges and the line-break guard.
#include "functions/Function__Remote.h"
#include "functions/Function__Session.h"
#include "remote/Connection.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoteSession, EveryPathSegmentIsEscapedAndSlashesStay) {
    EXPECT_EQ(remoteEncodePath("/tmp/a b/c#d?e%f.txt"), "/tmp/a%20b/c%23d%3Fe%25f.txt");
    EXPECT_EQ(remoteEncodePath("Gr\xC3\xBC\xC3\x9F"
                               "e/\xF0\x9F\x98\x80"),
              "Gr%C3%BC%C3%9Fe/%F0%9F%98%80");
    EXPECT_EQ(remoteEncodePath("~/A-Z_a.z~"), "~/A-Z_a.z~");
    EXPECT_EQ(remoteEncodePath("semi;colon\r\n"), "semi%3Bcolon%0D%0A");
}

TEST(RemoteSession, EachProtocolBuildsItsOwnURLs) {
    const struct {
        int32_t security;
        const char* host;
        const char* path;
        const char* url;
    } kCases[] = {
        {kRemoteFTP, "127.0.0.1", "/home/x y/", "ftp://127.0.0.1//home/x%20y/"},
        {kRemoteFTP, "127.0.0.1", "", "ftp://127.0.0.1/"},
        {kRemoteFTPAuthTLS, "::1", "a.txt", "ftp://[::1]/a.txt"},
        {kRemoteFTPImplicitTLS, "[::1]", "/a", "ftps://[::1]//a"},
        {kRemoteSFTP, "host", "/abs/f", "sftp://host/abs/f"},
        {kRemoteSFTP, "host", "rel f", "sftp://host/~/rel%20f"},
        {kRemoteSFTP, "host", "", "sftp://host/"},
    };
    for (const auto& c : kCases) {
        Connection connection;  // opened without a word to the server
        ConnectionSettings settings;
        settings.host = c.host;
        settings.security = c.security;
        ASSERT_EQ(connection.open(settings), u"");
        EXPECT_EQ(connection.url(c.path), c.url) << c.host << " " << c.path;
    }
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
    EXPECT_EQ(remoteDataPortSpec(0, 0), "-");
    EXPECT_EQ(remoteDataPortSpec(5000, 5000), ":5000");
    EXPECT_EQ(remoteDataPortSpec(5000, 5010), ":5000-5010");
    EXPECT_EQ(remoteDataPortSpec(6000, 5000), "-");
}

TEST(RemoteSession, LineBreaksAreRefusedAndUnconnectedSessionsStaySafe) {
    EXPECT_TRUE(remoteCheckSendable(u"name with spaces").empty());
    EXPECT_FALSE(remoteCheckSendable(u"a\rDELE b").empty());
    EXPECT_FALSE(remoteCheckSendable(u"a\nb").empty());

    Connection unopened;
    EXPECT_EQ(unopened.list("", false, nullptr).kind, RemoteErrorKind::kOther);
    PluginVariables session;
    EXPECT_FALSE(sessionIsConnected(session));
    ucstring result;
    EXPECT_TRUE(sessionDisconnect(session, result).empty());
    EXPECT_EQ(result, u"Disconnected.");
    sessionRelease(session);  // twice is harmless
    EXPECT_EQ(session.machineListMode, -1);
}

}  // namespace
