#include "Plugin_HostFacts.h"

#include <atomic>

FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;

namespace {

std::atomic<fmx::int16> gFMAPIVersion{0};
std::atomic<fmx::uint8> gFMProduct{0};
std::u16string gFMVersionStr;

}  // namespace

void setHostFacts(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText) {
    gFMAPIVersion = version;
    gFMProduct = applicationType;
    gFMVersionStr = versionText;
}

fmx::int16 constFMAPIVersion() { return gFMAPIVersion; }
fmx::uint8 constFMProduct() { return gFMProduct; }
const std::u16string& constFMVersionStr() { return gFMVersionStr; }
