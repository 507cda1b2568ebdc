// Directory transfers: one recursive walker per direction over a listing tree built beforehand
// (the local one by OrbFileRefEx::listItems, the remote one by listRemoteHelper). Each file goes
// through the single-file workers at once (over several connections: Function__ParallelTransfers.h),
// or becomes one queued transfer.
#pragma once

#include "Function__Common.h"
#include "Function__ParallelTransfers.h"
#include "_Common/Strings/Orb_StringRegEx.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// One context serves a whole walk; the walkers restore `items` (or `remoteItems`), `subPath` and
// `localDirectory` after each level.
struct DirHelperContext {
    ucstring error;                           // the first error met; empty while all is well
    ucstring subPath;                         // upload: relative to the current remote dir; download: full path
    ucstring completedScript;                 // queue mode only
    ucstring completedScriptParameter;        // queue mode only
    const OrbVariableArray* items = nullptr;  // upload: the local listing of the current level
    OrbFileRef localDirectory;                // the local directory of the current level
    bool useWildcard = false;
    bool asciiMode = false;
    bool queue = false;
    ucStringRegEx* wildcardExpression = nullptr;
    uint16_t maxDepth = 0;  // 0: no limit
    uint16_t currentDepth = 0;
    uint32_t filesDone = 0;  // files transferred (or queued) so far, for the error text
    // Remote links left out, for a download's result: those that lead to nothing that can be read
    // (dangling, a loop of links), and linked folders the download holds already or that hold it.
    uint32_t linksNowhere = 0;
    uint32_t foldersRepeated = 0;
    // Download: the remote listing of the current level.
    const std::vector<RemoteItem>* remoteItems = nullptr;
    // Set: the walk makes the folders and collects the files here instead of moving them.
    std::vector<DirFileJob>* jobs = nullptr;
};
using uploadDirHelperContext = DirHelperContext;
using downloadDirHelperContext = DirHelperContext;

void uploadDirHelper(PluginVariables& session, uploadDirHelperContext& context);
void downloadDirHelper(PluginVariables& session, downloadDirHelperContext& context);
// The walk of a folder transfer. At once, with the account's MaxConnections above 1, the folders
// are made first (in the walk's order) and the files then move over that many logins
// (dirRunFileJobs); otherwise, and always when queued, the walk takes each file as it meets it.
void dirTransferRun(PluginVariables& session, DirHelperContext& context, bool upload);

// The walk's error followed by how many files made it before the failure.
ucstring dirTransferErrorWithCount(const DirHelperContext& context, bool queued);
// What the walk left out, to follow its result: empty when it left out no link, else for example
// " (2 links skipped that lead nowhere; 1 linked folder skipped that leads back into the download.)".
ucstring dirTransferSkippedText(const DirHelperContext& context);
