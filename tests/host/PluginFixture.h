// Loads the plug-in file into a test host, as FileMaker would, for one test.
#pragma once

#include <fmhost/Host.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace testing_support {

inline std::unique_ptr<fmhost::PluginHost> loadPlugin(fmhost::HostSettings settings = {}) {
    auto host = std::make_unique<fmhost::PluginHost>(settings);
    std::string error;
    EXPECT_TRUE(host->load(VOLAN_PLUGIN_PATH, error)) << error;
    return host;
}

inline std::string u8(const std::u16string& s) { return fmhost::utf8(s); }

// Runs volan-host with arguments; returns its exit status and fills its standard output.
inline int runVolanHost(const std::string& args, std::string& out) {
    const std::string cmd = std::string(VOLAN_HOST_PATH) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    out.clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A shell command's standard output, or "FAILED" when it failed.
inline std::string shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    char buffer[512];
    for (size_t n; p && (n = fread(buffer, 1, sizeof buffer, p)) > 0;) out.append(buffer, n);
    return p && pclose(p) == 0 ? out : "FAILED";
}

}  // namespace testing_support
