// The lock of a folder of the user's plug-in files (the preferences, the accounts, the known hosts,
// the certificate bundle). Several processes of the user load the plug-in at once; each holds the
// lock while it re-reads, merges and rewrites a file of the folder, so that processes changing
// them at the same moment keep each other's changes. A lock file in the folder carries it, and the
// system drops it when a holder's process ends, however it ends. Reading needs no lock: files are
// only ever replaced whole.
#pragma once

#include "Orb_FileRef.h"

#include <platform/Files.h>

class OrbFolderLock {
public:
    // Waits up to waitMs (holders keep it for milliseconds).
    explicit OrbFolderLock(const OrbFileRef& folder, int waitMs = 10000);
    OrbFolderLock(const OrbFolderLock&) = delete;
    OrbFolderLock& operator=(const OrbFolderLock&) = delete;
    bool held() const { return mLock.held(); }
    // Why it is not held: "Could not lock the folder <path>: <reason>".
    const ucstring& error() const { return mError; }

    // The lock file's name; a dot file, which listings of the accounts folder leave out.
    static constexpr const char16_t* kFileName = u".volan.lock";

private:
    platform::FileLock mLock;
    ucstring mError;
};
