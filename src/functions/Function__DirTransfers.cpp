#include "Function__DirTransfers.h"

#include "Function__Remote.h"
#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "Function__Transfers.h"
#include "Orb_Debug.h"
#include "Support/QueueThread.h"
#include "Support/QueuedTransfer.h"

#include <string>

namespace {

const OrbVariable* entryMember(const OrbVariable& entry, const char16_t* name) {
    const OrbVariable* found = nullptr;
    entry.arrayValue().variableWithName(name, found);
    return found;
}

bool entryIsDir(const OrbVariable& entry) {
    const OrbVariable* type = entryMember(entry, u"Type");
    return type && type->stringValue() == u"dir";
}

// "/" is the root, not a folder named "": no doubled slash.
ucstring remoteJoin(const ucstring& directory, const ucstring& name) {
    if (!directory.empty() && directory.back() == u'/') return directory + name;
    return directory + u"/" + name;
}

// True when a file entry passes the wildcard (or none is in use).
bool wantedFile(DirHelperContext& context, const ucstring& name) {
    return !context.useWildcard || !context.wildcardExpression ||
           listWildcardMatches(*context.wildcardExpression, name);
}

// Runs `level` one directory further down with the context's level fields (`levelItems` is
// context.items or context.remoteItems) saved and restored.
template <class Items, class Level>
void descend(DirHelperContext& context, const ucstring& subPath, const OrbFileRef& localDirectory,
             const Items*& levelItems, const Items* items, Level level) {
    const ucstring savedSubPath = context.subPath;
    const OrbFileRef savedLocal = context.localDirectory;
    const Items* savedItems = levelItems;
    context.subPath = subPath;
    context.localDirectory = localDirectory;
    levelItems = items;
    level();
    context.subPath = savedSubPath;
    context.localDirectory = savedLocal;
    levelItems = savedItems;
}

const OrbVariableArray* subItems(const OrbVariable& entry) {
    const OrbVariable* items = entryMember(entry, u"Items");
    return items && items->type() == OrbVariable::kArray ? &items->arrayValue() : nullptr;
}

ucstring countText(uint32_t count, const char16_t* one, const char16_t* many) {
    return ucstringFromString(std::to_string(count)) + (count == 1 ? one : many);
}

}  // namespace

ucstring dirTransferErrorWithCount(const DirHelperContext& context, bool queued) {
    return dirTransferWithCount(context.error, context.filesDone, queued);
}

ucstring dirTransferSkippedText(const DirHelperContext& context) {
    ucstring text;
    if (context.linksNowhere)
        text =
            countText(context.linksNowhere, u" link skipped that leads nowhere", u" links skipped that lead nowhere");
    if (context.foldersRepeated)
        text += (text.empty() ? u"" : u"; ") + countText(context.foldersRepeated,
                                                         u" linked folder skipped that leads back into the download",
                                                         u" linked folders skipped that lead back into the download");
    return text.empty() ? text : u" (" + text + u".)";
}

void uploadDirHelper(PluginVariables& session, uploadDirHelperContext& context) {
    DEBUG_SCOPE("uploadDirHelper");
    if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) return;
    ++context.currentDepth;

    // The top level is the current remote directory itself and is never made.
    const ucstring remoteDir =
        context.subPath.empty() ? session.currentRemoteDir : remoteJoin(session.currentRemoteDir, context.subPath);
    if (!context.subPath.empty()) {
        bool exists = false;
        const ucstring error = remoteDirExists(session, sessionWirePath(session, remoteDir), exists);
        if (!error.empty()) {
            context.error = u"Error checking for '" + remoteDir + u"' directory: " + error;
        } else if (!exists) {
            const ucstring made = sendMKDCommand(session, sessionWirePath(session, remoteDir));
            if (!made.empty()) context.error = u"Could not make '" + remoteDir + u"' directory: " + made;
        }
    }

    if (context.error.empty() && context.items) {
        for (const OrbVariable& entry : *context.items) {
            if (entry.type() != OrbVariable::kArray) continue;
            // A link may lead out of the folder (or back up it), and a device, FIFO or socket holds
            // no file: neither is sent.
            if (entryMember(entry, u"Link") || entryMember(entry, u"Special")) continue;
            const ucstring& name = entry.name();
            if (name == u"." || name == u"..") continue;
            if (const ucstring refused = remoteCheckSendable(name); !refused.empty()) {
                OrbFileRef local(context.localDirectory);
                local.addItem(name);
                context.error = u"Cannot upload '" + local.pathAsString(kPathStyleWindows) + u"': " + refused;
                break;
            }
            OrbFileRef local(context.localDirectory);
            local.addItem(name);
            if (entryIsDir(entry)) {
                if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) continue;
                const ucstring sub = context.subPath.empty() ? name : context.subPath + u"/" + name;
                descend(context, sub, local, context.items, subItems(entry),
                        [&] { uploadDirHelper(session, context); });
            } else {
                if (!wantedFile(context, name)) continue;
                const ucstring remoteFolder = remoteJoin(remoteDir, u"");
                if (context.queue) {
                    queueAddUploadFile(session, transferNewID(session),
                                       context.localDirectory.pathAsString(kPathStyleWindows), name, remoteFolder, name,
                                       false, context.asciiMode, u"", u"");
                } else if (context.jobs) {
                    const OrbVariable* size = entryMember(entry, u"Size");
                    context.jobs->push_back({local, sessionWirePath(session, remoteFolder + name),
                                             local.pathAsString(kPathStyleWindows), size ? size->integerValue() : 0});
                    continue;
                } else {
                    const ucstring error = uploadFile(session, local, sessionWirePath(session, remoteFolder + name),
                                                      false, context.asciiMode);
                    if (!error.empty())
                        context.error = dirTransferFileError(true, local.pathAsString(kPathStyleWindows), error);
                }
                if (context.error.empty()) ++context.filesDone;
            }
            if (!context.error.empty()) break;
        }
    }

    --context.currentDepth;
    if (context.currentDepth == 0 && context.queue && context.error.empty())
        queueAddUploadDir(session, context.localDirectory.pathAsString(kPathStyleWindows), context.completedScript,
                          context.completedScriptParameter);
}

void downloadDirHelper(PluginVariables& session, downloadDirHelperContext& context) {
    DEBUG_SCOPE("downloadDirHelper");
    if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) return;
    ++context.currentDepth;

    if (!context.localDirectory.dirExists()) {
        context.localDirectory.createDir();
        if (!context.localDirectory.dirExists())
            context.error = u"Could not create '" + context.localDirectory.pathAsString(kPathStyleWindows) +
                            u"' local dir; Error: " + context.localDirectory.errorString();
    }

    if (context.error.empty() && context.remoteItems) {
        for (const RemoteItem& item : *context.remoteItems) {
            const ucstring& name = item.name;
            if (name == u"." || name == u"..") continue;
            // The names come from the server: one that would lead out of the local folder (or
            // into a folder of its own making) is never written.
            if (!transferLocalNameIsSafe(name)) {
                DEBUG_OUT(u"Skipping remote item with an unsafe name: '" + name + u"'");
                continue;
            }
            if (item.resolved == RemoteItemResolved::kNowhere) {
                if (wantedFile(context, name)) ++context.linksNowhere;
                continue;
            }
            if (item.resolved == RemoteItemResolved::kRepeat) {
                ++context.foldersRepeated;
                continue;
            }
            if (item.resolved == RemoteItemResolved::kNotAsked ? item.type == RemoteItemType::kFolder
                                                               : item.resolved == RemoteItemResolved::kFolder) {
                if (context.maxDepth != 0 && context.currentDepth >= context.maxDepth) continue;
                OrbFileRef local(context.localDirectory);
                local.addItem(name);
                descend(context, remoteJoin(context.subPath, name), local, context.remoteItems, &item.items,
                        [&] { downloadDirHelper(session, context); });
            } else {
                if (!wantedFile(context, name)) continue;
                const ucstring remoteFolder = remoteJoin(context.subPath, u"");
                if (context.queue) {
                    queueAddDownloadFile(session, transferNewID(session), remoteFolder, name,
                                         context.localDirectory.pathAsString(kPathStyleWindows), name, false,
                                         context.asciiMode, u"", u"");
                } else if (context.jobs) {
                    OrbFileRef local(context.localDirectory);
                    local.addItem(name);
                    context.jobs->push_back(
                        {local, sessionWirePath(session, remoteFolder + name), remoteFolder + name, item.size});
                    continue;
                } else {
                    OrbFileRef local(context.localDirectory);
                    local.addItem(name);
                    const ucstring error = downloadFile(session, sessionWirePath(session, remoteFolder + name), local,
                                                        false, context.asciiMode, item.size);
                    if (!error.empty()) context.error = dirTransferFileError(false, remoteFolder + name, error);
                }
                if (context.error.empty()) ++context.filesDone;
            }
            if (!context.error.empty()) break;
        }
    }

    --context.currentDepth;
    if (context.currentDepth == 0 && context.queue && context.error.empty())
        queueAddDownloadDir(session, context.subPath, context.completedScript, context.completedScriptParameter);
}

void dirTransferRun(PluginVariables& session, DirHelperContext& context, bool upload) {
    const int32_t connections = session.connection.settings().maxConnections;
    // Queued, the files go one at a time on the queue thread, each a transfer of its own. Over
    // several connections the walk makes the folders and collects the files; then they move. A
    // walk that stopped part way moves the files it met before the stop, as one taking them on the
    // way would have.
    const bool parallel = !context.queue && connections > 1;
    std::vector<DirFileJob> jobs;
    context.jobs = parallel ? &jobs : nullptr;
    if (upload)
        uploadDirHelper(session, context);
    else
        downloadDirHelper(session, context);
    context.jobs = nullptr;
    if (!parallel) return;
    const DirFileJobsOutcome moved = dirRunFileJobs(session, jobs, upload, context.asciiMode, connections);
    context.filesDone = moved.filesDone;
    // A file that failed came before the walk's own stop.
    if (!moved.error.empty()) context.error = moved.error;
}
