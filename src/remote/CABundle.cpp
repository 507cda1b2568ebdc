#include "CABundle.h"

#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FolderLock.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr const char* kSystemCABundle = "/etc/ssl/certs/ca-certificates.crt";

}  // namespace

ucstring exportCABundle(const OrbFileRef& folder, ucstring& path) {
    path.clear();
    const ucstring folderPath = folder.pathAsString(kPathStyleWindows);
    std::string nativeFolder, why;
    OrbFileRef checked(folder);
    if (!checked.defined() || !checked.dirExists() || !platform::fileNativePath(folderPath, nativeFolder, why))
        return u"Path does not exist: " + folderPath;
    std::ifstream system(kSystemCABundle, std::ios::binary);
    if (!system) return u"Could not read the system certificate bundle " + ucstringFromUTF8CStr(kSystemCABundle);
    std::ostringstream bundle;
    bundle << "## Installed by Volan Pro.\n## Any changes made to this file, will be overwritten on startup.\n";
    bundle << system.rdbuf();
    if (const char* extra = std::getenv("VOLAN_EXTRA_CA_FILE"); extra && *extra) {
        std::ifstream in(extra, std::ios::binary);
        if (!in) return u"Could not read VOLAN_EXTRA_CA_FILE: " + ucstringFromUTF8CStr(extra);
        bundle << "\n" << in.rdbuf();
    }
    const std::string file = nativeFolder + "/curl-ca-bundle.crt";
    // Other processes read the bundle whenever they verify a server: it is replaced whole, under
    // the folder's lock, and only when its contents change.
    const OrbFolderLock lock(folder);
    if (!lock.held()) return lock.error();
    const std::string contents = bundle.str();
    std::ifstream current(file, std::ios::binary);
    std::ostringstream currentContents;
    currentContents << current.rdbuf();
    OrbFileRef target(folder);
    target.addItem(u"curl-ca-bundle.crt");
    std::string error;
    if (currentContents.str() != contents &&
        !platform::fileWriteReplacing(target.pathAsString(kPathStyleWindows), contents, false, error))
        return u"Could not write " + ucstringFromUTF8String(file) + u": " + ucstringFromUTF8String(error);
    path = ucstringFromUTF8String(file);
    return {};
}
