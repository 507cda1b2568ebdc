// The prototypes registered with and without the help comment.
#include "Plugin_FunctionTable.h"
#include "_Common/Strings/Orb_String.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
const PluginFunction& row(const char* name) {
    for (size_t i = 0; i < kPluginFunctionCount; ++i)
        if (std::strcmp(kPluginFunctions[i].name, name) == 0) return kPluginFunctions[i];
    throw std::runtime_error(name);
}
}  // namespace

TEST(FunctionPrototype, WithoutHelpItIsThePlainPrototype) {
    // The host accepts any number of arguments for Volan_Connect; the prototype still shows one.
    EXPECT_EQ(ucstringToUTF8String(pluginFunctionPrototype(row("Volan_Connect"), false)),
              "Volan_Connect ( AccountName )");
    EXPECT_EQ(row("Volan_Connect").maxArgs, -1);
    EXPECT_EQ(ucstringToUTF8String(pluginFunctionPrototype(row("Volan_Version"), false)), "Volan_Version");
}

TEST(FunctionPrototype, WithHelpDescriptionAndParameterLinesFollow) {
    EXPECT_EQ(ucstringToUTF8String(pluginFunctionPrototype(row("Volan_Version"), true)),
              "Volan_Version\r\n/* Returns the version of the plug-in. */");
    const std::string p = ucstringToUTF8String(pluginFunctionPrototype(row("Volan_GetLastResult"), true));
    EXPECT_EQ(p,
              "Volan_GetLastResult{( Attribute )}\r\n/* Returns the result of the last file transfer.\r\n"
              "    Attribute = The information to return; specify one of the following:\r\n"
              "        \"Filename\" = The name of the transferred file.\r\n"
              "        \"RemoteLocation\" = The path to the file on the FTP server.\r\n"
              "        \"LocalLocation\" = The path to the file on the local computer.\r\n"
              "        \"Type\" = The type of transfer.\r\n"
              "        \"Text\" = If this was a download text transfer, this will return the text that was "
              "downloaded. */");
}
