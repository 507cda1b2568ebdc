#include "Orb_FolderLock.h"

#include "_Common/Strings/Orb_String.h"

OrbFolderLock::OrbFolderLock(const OrbFileRef& folder, int waitMs) {
    OrbFileRef file(folder);
    file.addItem(kFileName);
    std::string why;
    bool timedOut = false;
    if (mLock.lock(file.pathAsString(kPathStyleWindows), waitMs, why, &timedOut)) return;
    mError = u"Could not lock the folder " + folder.pathAsString(kPathStyleWindows) + u": " +
             (timedOut ? ucstring(u"another process held it for too long.") : ucstringFromUTF8String(why));
}
