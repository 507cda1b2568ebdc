// The files of an immediate folder transfer moved over several logins at once (the account's
// MaxConnections): the session's own connection and more opened like it, each driven by a thread
// of its own, while the calling thread keeps the status window's total and hears Cancel.
#pragma once

#include "Function__Common.h"

#include <cstdint>
#include <string>
#include <vector>

// One file the walk of a folder met: the single-file worker's arguments and the path its error
// names (the local path of an upload, the remote path of a download).
struct DirFileJob {
    OrbFileRef local;
    std::string remotePath;  // on the wire, as sessionWirePath gives it
    ucstring shownPath;
    int64_t size = 0;  // as the listing gave it, for the total
};

struct DirFileJobsOutcome {
    // Empty when every file moved; else the first failing file's error in the jobs' order
    // ("Error uploading '<path>': <text>"), which is what taking them one by one would report.
    ucstring error;
    uint32_t filesDone = 0;  // the files that really moved, whichever connection moved them
};

// Runs `jobs` over up to `connections` logins. Once a file fails (or the user cancels) no further
// file starts; those under way finish (on Cancel they stop). Extra logins that fail leave the
// work to fewer connections (a debug line says so). Called under the configuration lock, with the
// session's connection free; the workers never touch the status window.
DirFileJobsOutcome dirRunFileJobs(PluginVariables& session, const std::vector<DirFileJob>& jobs, bool upload,
                                  bool asciiMode, int32_t connections);
