#include "Plugin_Utilities.h"

#include "Orb_Debug.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>
#include <platform/Module.h>

void fmVersion(std::u16string& text, int& major, int& minor, int& patch) {
    std::u16string v = constFMVersionStr();
    const size_t firstDot = v.find(u'.');
    const size_t blank = firstDot == std::u16string::npos ? v.rfind(u' ') : v.rfind(u' ', firstDot);
    if (blank != std::u16string::npos) v = v.substr(blank + 1);

    const size_t dot = v.find(u'.');
    major = static_cast<int>(stringToInteger(v.substr(0, dot), 10));
    std::u16string rest = dot == std::u16string::npos ? std::u16string() : v.substr(dot + 1);
    const size_t end = rest.find(major >= 14 ? u'.' : u'v');
    minor = static_cast<int>(stringToInteger(rest.substr(0, end), 10));
    patch = end == std::u16string::npos ? 0 : static_cast<int>(stringToInteger(rest.substr(end + 1), 10));

    text = ucstringFromString(std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch));
}

bool envIsFM_8_5_Plus() {
    std::u16string text;
    int major = 0, minor = 0, patch = 0;
    fmVersion(text, major, minor, patch);
    return major > 8 || (major == 8 && minor >= 5);
}
bool envIsFM_11_0_Plus() { return constFMAPIVersion() >= 52; }
bool envIsFM_12_0_Plus() { return constFMAPIVersion() >= 53; }
bool envIsFM_13_0_Plus() { return constFMAPIVersion() >= 54; }
bool envIsFM_14_0_Plus() { return constFMAPIVersion() >= 55; }
bool envIsFM_15_0_Plus() { return constFMAPIVersion() >= 56; }
bool envIsFM_16_0_Plus() { return constFMAPIVersion() >= 57; }

namespace {
bool locationOf(const std::string& nativePath, const char16_t* what, OrbFileRef& location) {
    location.clear();
    std::u16string path;
    if (nativePath.empty() || !platform::fileWindowsPath(nativePath, path)) return false;
    if (debugMode()) debugOutput(__FILE__, __LINE__, what + path);
    return location.set(path);
}
}  // namespace

bool pluginLocation(OrbFileRef& location) {
    return locationOf(platform::modulePathOf(reinterpret_cast<const void*>(&pluginLocation)), u"pluginLocation: ",
                      location);
}

bool fmAppLocation(OrbFileRef& location) {
    return locationOf(platform::executablePath(), u"fmAppLocation: ", location);
}
