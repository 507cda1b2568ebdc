// volan-host's command-line contract.
#include "PluginFixture.h"

#include <cstdio>
#include <fstream>

using testing_support::runVolanHost;

TEST(VolanHost, PrintsThePluginStrings) {
    std::string out;
    ASSERT_EQ(runVolanHost("--strings", out), 0) << out;
    EXPECT_EQ(out.rfind("Volan Pro\nVolan Pro 3.0.1 (Orb Core Version 5.5.1) - An FTP Plug-in for FileMaker Pro.\n"
                        "Orb31YnYYYn\nhttps://",
                        0),
              0u)
        << out;
    ASSERT_EQ(runVolanHost("--api 55 --strings", out), 0);
    EXPECT_NE(out.find("\nOrb31YnYYnn\n"), std::string::npos);
}

TEST(VolanHost, RefusedInitExitsNonZeroWithAReason) {
    std::string out;
    EXPECT_EQ(runVolanHost("--api 49 --strings", out), 3);
    EXPECT_NE(out.find("refused"), std::string::npos);
    EXPECT_NE(out.find("extension version"), std::string::npos);
    EXPECT_EQ(out.find("Volan Pro\n"), std::string::npos);
    EXPECT_EQ(runVolanHost("--app 3 -e '\"x\"'", out), 3);
    EXPECT_NE(out.find("server-side"), std::string::npos);
}

TEST(VolanHost, EvaluatesExpressionsFromArgumentsFilesAndStdin) {
    std::string out;
    ASSERT_EQ(runVolanHost("-e '\"a\" & \"b\"' -e '\"\"' -e '\"x\" & \xC2\xB6 & \"y\"'", out), 0);
    EXPECT_EQ(out, "ab\n\nx\ny\n");  // an empty result is an empty line; CR printed as LF

    const std::string file = testing::TempDir() + "volan-host-exprs.txt";
    std::ofstream(file) << "# a comment\n\n1 + 1\n\"two\"\n";
    ASSERT_EQ(runVolanHost(file, out), 0);
    EXPECT_EQ(out, "2\ntwo\n");
    ASSERT_EQ(runVolanHost("- < " + file, out), 0);
    EXPECT_EQ(out, "2\ntwo\n");
    std::remove(file.c_str());
}

TEST(VolanHost, NamesAFunctionThatIsNotRegistered) {
    std::string out;
    EXPECT_EQ(runVolanHost("-e 'Volan_NoSuchThing' -e '\"after\"'", out), 1);
    EXPECT_NE(out.find("Volan_NoSuchThing"), std::string::npos);
    EXPECT_NE(out.find("after\n"), std::string::npos);  // later expressions still run
}
