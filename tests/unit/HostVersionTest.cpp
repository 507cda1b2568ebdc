// Reading the host's version text and the version predicates built on it.
#include "Plugin_Config.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"

#include <gtest/gtest.h>

namespace {

// Records the host facts; the store built alongside is torn down again (the facts stay).
void hostIs(fmx::int16 api, const std::u16string& versionText) {
    pluginConfigInit(api, 1, versionText);
    pluginConfigShutdown();
}

}  // namespace

TEST(HostVersion, ParsesDottedVersions) {
    hostIs(57, u"ProAdvanced 16.0.4");
    std::u16string text;
    int major = -1, minor = -1, patch = -1;
    fmVersion(text, major, minor, patch);
    EXPECT_EQ(major, 16);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(patch, 4);
    EXPECT_EQ(text, u"16.0.4");
}

TEST(HostVersion, ParsesOlderVersionsWithThePatchAfterV) {
    hostIs(53, u"Pro 12.0v3");
    std::u16string text;
    int major = -1, minor = -1, patch = -1;
    fmVersion(text, major, minor, patch);
    EXPECT_EQ(major, 12);
    EXPECT_EQ(minor, 0);
    EXPECT_EQ(patch, 3);
    EXPECT_EQ(text, u"12.0.3");
}

TEST(HostVersion, ProductNamesWithBlanksAreCutAway) {
    hostIs(50, u"FileMaker Pro Advanced 8.5v2");
    EXPECT_TRUE(envIsFM_8_5_Plus());
    hostIs(50, u"FileMaker Pro 8.0v3");
    EXPECT_FALSE(envIsFM_8_5_Plus());
}

TEST(HostVersion, PredicatesFollowTheExtensionVersion) {
    hostIs(55, u"Pro 14.0.1");
    EXPECT_TRUE(envIsFM_11_0_Plus());
    EXPECT_TRUE(envIsFM_14_0_Plus());
    EXPECT_FALSE(envIsFM_15_0_Plus());
    EXPECT_FALSE(envIsFM_16_0_Plus());
    hostIs(57, u"Pro 16.0.1");
    EXPECT_TRUE(envIsFM_15_0_Plus());
    EXPECT_TRUE(envIsFM_16_0_Plus());
    hostIs(51, u"Pro 10.0v1");
    EXPECT_FALSE(envIsFM_11_0_Plus());
}
