#include "Plugin_Config.h"

#include <atomic>

namespace {
std::atomic<fmx::int16> gFMAPIVersion{0};
std::atomic<fmx::uint8> gFMProduct{0};
std::u16string gFMVersionStr;
}  // namespace

fmx::int16 constFMAPIVersion() { return gFMAPIVersion; }
fmx::uint8 constFMProduct() { return gFMProduct; }
const std::u16string& constFMVersionStr() { return gFMVersionStr; }

void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText) {
    gFMAPIVersion = version;
    gFMProduct = applicationType;
    gFMVersionStr = versionText;
}

void pluginConfigShutdown() {}
