#include "QueueThread.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/Strings/Orb_StringList.h"
#include "functions/Function__Common.h"
#include "functions/Function__DirTransfers.h"
#include "functions/Function__Session.h"
#include "functions/Function__Transfers.h"

#include <algorithm>
#include <chrono>
#include <new>

namespace {

QueueThread* gQueueThread = nullptr;  // the one queue thread; null when not started
bool gQueueThreadHasInitialized = false;

// A transfer that cannot be started is tried again on later idle calls, waiting longer each
// time, and given up after this many tries (its error stays in the last result).
constexpr int kMaxStartAttempts = 5;
constexpr int kFirstRetryDelayMs = 500;

int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs `use` with the status window when the configuration lock can be had within `waitMs`.
template <class F>
void withStatus(int waitMs, F use) {
    PluginConfigLock lock(waitMs);
    if (!lock.held()) return;
    StatusWindow* status = nullptr;
    if (lock.get(status).empty() && status) use(*status);
}

ucstring remainingText(size_t queued) {
    if (queued <= 1) return u"";
    const size_t remaining = queued - 1;
    return ucstringFromUTF8String(std::to_string(remaining)) +
           (remaining == 1 ? u" transfer remaining." : u" transfers remaining.");
}

void showRemaining(const PluginVariables& variables) { updateStatusMultiFile(remainingText(variables.queue.size())); }

void addItem(PluginVariables& variables, const ucstring& name, OrbVariableArray&& entries) {
    OrbVariable item(name);
    item.setArrayValue(entries);
    ucstring error;
    // Names are not checked: directory entries share one name.
    variables.queue.addVariable(error, item, true);
    showRemaining(variables);
}

OrbVariableArray newItem(const ucstring& type) {
    OrbVariableArray entries;
    ucstring error;
    entries.addStringVariable(error, u"Type", type);
    return entries;
}

void addCompletion(OrbVariableArray& entries, const ucstring& script, const ucstring& parameter) {
    ucstring error;
    entries.addStringVariable(error, u"CompletedScript", script);
    entries.addStringVariable(error, u"CSParameter", parameter);
}

ucstring entryString(const OrbVariableArray& entries, const ucstring& name) {
    const OrbVariable* v = nullptr;
    return entries.variableWithName(name, v) ? v->variableAsString(1) : ucstring();
}

bool entryBoolean(const OrbVariableArray& entries, const ucstring& name) {
    const OrbVariable* v = nullptr;
    return entries.variableWithName(name, v) && v->variableAsBoolean();
}

int64_t entryInteger(const OrbVariableArray& entries, const ucstring& name, int64_t defaultValue) {
    const OrbVariable* v = nullptr;
    return entries.variableWithName(name, v) ? v->variableAsInteger() : defaultValue;
}

ucstringlist entryList(const OrbVariableArray& entries, const ucstring& name) {
    const OrbVariable* v = nullptr;
    ucstringlist lines;
    if (entries.variableWithName(name, v)) v->copyVariableToList(lines);
    return lines;
}

// Hands the transfer described by `entries` to the queue thread; the error of handing it over.
// `known` is cleared for a type the queue does not know.
ucstring startTransfer(PluginVariables& variables, const OrbVariableArray& entries, const ucstring& type, bool& known) {
    known = true;
    const std::string remotePath =
        sessionWirePath(variables, entryString(entries, u"RemotePath") + entryString(entries, u"RemoteFile"));
    OrbFileRef localFile(entryString(entries, u"LocalPath"));
    const ucstring localName = entryString(entries, u"LocalFile");
    if (!localName.empty()) localFile.addItem(localName);
    const bool append = entryBoolean(entries, u"AppendToFile");
    const bool ascii = entryBoolean(entries, u"UseASCIIMode");
    if (type == u"DownloadFile") return queueThreadDownloadFile(variables, remotePath, localFile, append, ascii);
    if (type == u"DownloadText") return queueThreadDownloadText(variables, remotePath);
    if (type == u"UploadFile") return queueThreadUploadFile(variables, localFile, remotePath, append, ascii);
    if (type == u"UploadText")
        return queueThreadUploadText(variables, entryList(entries, u"Text"), remotePath, append,
                                     static_cast<int32_t>(entryInteger(entries, u"LineEndingType", 0)),
                                     static_cast<int16_t>(entryInteger(entries, u"CharSet", 1)),
                                     entryBoolean(entries, u"IncludeUnicodeBOM"));
    known = false;
    return u"";
}

// The success text of a finished transfer, by type.
ucstring resultText(const ucstring& type, const OrbVariableArray& entries) {
    const ucstring remote = entryString(entries, u"RemoteFile");
    const ucstring local = entryString(entries, u"LocalFile");
    if (type == u"DownloadFile")
        return local == remote ? u"Downloaded '" + local + u"'."
                               : u"Downloaded '" + local + u"' (originally '" + remote + u"').";
    if (type == u"UploadFile")
        return local == remote ? u"Uploaded '" + remote + u"'."
                               : u"Uploaded '" + remote + u"' (originally '" + local + u"').";
    if (type == u"UploadText") return u"Uploaded '" + remote + u"'.";
    return u"";
}

}  // namespace

// ---- The thread -------------------------------------------------------------------------------

QueueThread::~QueueThread() {
    if (thread().started()) shutdownThread();
}

void QueueThread::clear() {
    OrbThread::clear();
    setStopRequested(false);
}

void QueueThread::requestStop() { setStopRequested(true); }

void QueueThread::threadMain() {
    setThreadStateAndWake(kStateIdle);
    DEBUG_OUT("Starting QueueThread main loop");
    for (;;) {
        const int32_t command = waitForThreadCommandChange();
        if (command == kCommandShutdown || command < 0) break;
        if (command != kCommandRun) continue;
        ucstring error;
        PluginVariables* variables = pluginVars();
        switch (threadAction()) {
            case kActionInit: DEBUG_OUT("Action: Init"); break;
            case kActionShutdown: DEBUG_OUT("Action: Shutdown"); break;
            case kActionDownloadFile:
                DEBUG_OUT("Action: Download File");
                error = downloadFile(*variables, remotePath(), localPath(), append(), asciiMode());
                break;
            case kActionDownloadText:
                DEBUG_OUT("Action: Download Text");
                error = downloadText(*variables, remotePath(), mutableTransferText());
                break;
            case kActionUploadFile:
                DEBUG_OUT("Action: Upload File");
                error = uploadFile(*variables, localPath(), remotePath(), append(), asciiMode());
                break;
            case kActionUploadText:
                DEBUG_OUT("Action: Upload Text");
                error = uploadText(*variables, transferText(), remotePath(), append(), lineEndingType(), charSet(),
                                   includeUnicodeBOM());
                break;
            default: break;
        }
        mutableActionError() = error;
        if (variables && threadAction() >= kActionDownloadFile) {
            // The outcome goes with the session that queued it, so another session's next
            // transfer cannot overwrite it before this session's idle call reads it.
            variables->queueOutcomeError = error;
            variables->queueOutcomeText = transferText();
            variables->queueOutcomeReady = true;
        }
        setStopRequested(false);
        clearThreadCommand();
        setThreadStateAndWake(kStateIdle);
    }
    DEBUG_OUT("QueueThread main loop ended");
}

bool startupQueueThread() {
    if (gQueueThread) return true;
    auto* thread = new (std::nothrow) QueueThread();
    if (!thread) {
        DEBUG_OUT("Could not allocate memory for Queue Thread");
        return false;
    }
    const int result = thread->startThread();
    if (result != 0) {
        if (debugMode())
            debugOutput(__FILE__, __LINE__, "Could not start Queue Thread; Error Code: " + std::to_string(result));
        if (thread->shutdownThread()) delete thread;
        return false;
    }
    gQueueThread = thread;
    return true;
}

void shutdownQueueThread() {
    if (!gQueueThread) return;
    DEBUG_OUT("Shutting Down Queue Thread");
    // A running transfer is asked to stop; the wait for the thread is bounded.
    if (gQueueThread->shutdownThread()) delete gQueueThread;
    gQueueThread = nullptr;
    gQueueThreadHasInitialized = false;
}

namespace {

// Waits for the thread to report idle, keeping windows live. A stale wake-up from an earlier
// transfer (whose end nobody waited for) is not an error: the state still says busy.
ucstring waitForQueueThread() {
    for (;;) {
        const int32_t state = gQueueThread->waitForThreadStateChange(150);
        if (state == OrbThread::kStateIdle) return u"";
        if (state == 2 || state == OrbThread::kStateBusy) {
            platform::pumpMessages();
            continue;
        }
        DEBUG_OUT("thread wait returned an error; aborting thread wait loop");
        return u"Queue thread wait loop aborted.";
    }
}

ucstring initializeQueueThread() {
    if (gQueueThreadHasInitialized) return u"";
    return runQueueThread(QueueThread::kActionInit);
}

// Starts one transfer without waiting for it.
template <class Setup>
ucstring startQueueThread(PluginVariables& variables, int32_t action, Setup setup) {
    if (!gQueueThread) return u"Queue Thread is NULL.";
    const ucstring error = initializeQueueThread();
    if (!error.empty()) return error;
    gQueueThread->setPluginVars(&variables);
    setup(*gQueueThread);
    gQueueThread->setThreadAction(action);
    gQueueThread->mutableActionError().clear();
    gQueueThread->setStopRequested(false);
    variables.queueOutcomeReady = false;
    gQueueThread->runThread();
    return u"";
}

}  // namespace

ucstring runQueueThread(int32_t action) {
    if (!gQueueThread) return u"Queue Thread is NULL.";
    if (!gQueueThreadHasInitialized) {
        gQueueThreadHasInitialized = true;
        if (action != QueueThread::kActionInit) {
            const ucstring error = runQueueThread(QueueThread::kActionInit);
            if (!error.empty()) {
                gQueueThreadHasInitialized = false;
                return error;
            }
        }
    }
    gQueueThread->setThreadAction(action);
    gQueueThread->mutableActionError().clear();
    gQueueThread->runThread();
    const ucstring error = waitForQueueThread();
    if (!error.empty()) {
        if (action == QueueThread::kActionInit) gQueueThreadHasInitialized = false;
        return error;
    }
    if (action == QueueThread::kActionShutdown) gQueueThreadHasInitialized = false;
    return gQueueThread->actionError();
}

ucstring queueThreadUploadFile(PluginVariables& variables, const OrbFileRef& localFile, const std::string& remotePath,
                               bool append, bool asciiMode) {
    return startQueueThread(variables, QueueThread::kActionUploadFile, [&](QueueThread& t) {
        t.mutableLocalPath() = localFile;
        t.mutableRemotePath() = remotePath;
        t.setAppend(append);
        t.setASCIIMode(asciiMode);
        t.mutableTransferText().clear();
    });
}

ucstring queueThreadDownloadFile(PluginVariables& variables, const std::string& remotePath, const OrbFileRef& localFile,
                                 bool append, bool asciiMode) {
    return startQueueThread(variables, QueueThread::kActionDownloadFile, [&](QueueThread& t) {
        t.mutableRemotePath() = remotePath;
        t.mutableLocalPath() = localFile;
        t.setAppend(append);
        t.setASCIIMode(asciiMode);
        t.mutableTransferText().clear();
    });
}

ucstring queueThreadUploadText(PluginVariables& variables, const ucstringlist& lines, const std::string& remotePath,
                               bool append, int32_t lineEnding, int16_t charSet, bool includeBOM) {
    return startQueueThread(variables, QueueThread::kActionUploadText, [&](QueueThread& t) {
        t.mutableTransferText() = lines;
        t.mutableRemotePath() = remotePath;
        t.setAppend(append);
        t.setLineEndingType(lineEnding);
        t.setCharSet(charSet);
        t.setIncludeUnicodeBOM(includeBOM);
    });
}

ucstring queueThreadDownloadText(PluginVariables& variables, const std::string& remotePath) {
    return startQueueThread(variables, QueueThread::kActionDownloadText, [&](QueueThread& t) {
        t.mutableRemotePath() = remotePath;
        t.mutableTransferText().clear();
    });
}

bool queueThreadBusy() {
    return gQueueThread && gQueueThreadHasInitialized && gQueueThread->checkThreadState() == OrbThread::kStateBusy;
}

ucstring queueThreadLastError() { return gQueueThread ? gQueueThread->actionError() : ucstring(); }

const ucstringlist* queueThreadTransferText() { return gQueueThread ? &gQueueThread->transferText() : nullptr; }

bool queueThreadUsesSession(const PluginVariables& variables) {
    return queueThreadBusy() && gQueueThread->pluginVars() == &variables;
}

ucstring queueConnectionBusyError() {
    return u"The connection is busy with a queued transfer; try again when the queue has finished.";
}

bool queueTransferStopRequested(const PluginVariables& variables) {
    return gQueueThread && gQueueThread->pluginVars() == &variables && gQueueThread->stopRequested();
}

bool queueReleaseSession(PluginVariables& variables, int waitMs) {
    if (!queueThreadUsesSession(variables)) return true;
    gQueueThread->setStopRequested(true);
    const int64_t deadline = steadyMilliseconds() + waitMs;
    while (queueThreadUsesSession(variables) && steadyMilliseconds() < deadline) {
        platform::pumpMessages();
        platform::sleepMilliseconds(10);
    }
    return !queueThreadUsesSession(variables);
}

void queueWaitForSession(const PluginVariables& variables) {
    while (queueThreadUsesSession(variables)) {
        platform::pumpMessages();
        platform::sleepMilliseconds(10);
    }
}

// ---- Each session's queue ---------------------------------------------------------------------

void queueAddUploadFile(PluginVariables& variables, const ucstring& transferID, const ucstring& localPath,
                        const ucstring& localFile, const ucstring& remotePath, const ucstring& remoteFile, bool append,
                        bool asciiMode, const ucstring& completedScript, const ucstring& parameter) {
    OrbVariableArray entries = newItem(u"UploadFile");
    ucstring error;
    entries.addStringVariableAsIs(error, u"LocalPath", localPath);
    entries.addStringVariableAsIs(error, u"LocalFile", localFile);
    entries.addStringVariableAsIs(error, u"RemotePath", remotePath);
    entries.addStringVariableAsIs(error, u"RemoteFile", remoteFile);
    entries.addBooleanVariable(error, u"AppendToFile", append);
    entries.addBooleanVariable(error, u"UseASCIIMode", asciiMode);
    addCompletion(entries, completedScript, parameter);
    addItem(variables, transferID, std::move(entries));
}

void queueAddDownloadFile(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& localPath, const ucstring& localFile, bool append,
                          bool asciiMode, const ucstring& completedScript, const ucstring& parameter) {
    OrbVariableArray entries = newItem(u"DownloadFile");
    ucstring error;
    entries.addStringVariableAsIs(error, u"RemotePath", remotePath);
    entries.addStringVariableAsIs(error, u"RemoteFile", remoteFile);
    entries.addStringVariableAsIs(error, u"LocalPath", localPath);
    entries.addStringVariableAsIs(error, u"LocalFile", localFile);
    entries.addBooleanVariable(error, u"AppendToFile", append);
    entries.addBooleanVariable(error, u"UseASCIIMode", asciiMode);
    addCompletion(entries, completedScript, parameter);
    addItem(variables, transferID, std::move(entries));
}

void queueAddUploadText(PluginVariables& variables, const ucstring& transferID, const ucstringlist& lines,
                        const ucstring& remotePath, const ucstring& remoteFile, bool append, int32_t lineEnding,
                        int16_t charSet, bool includeBOM, const ucstring& completedScript, const ucstring& parameter) {
    OrbVariableArray entries = newItem(u"UploadText");
    ucstring error;
    entries.addListVariable(error, u"Text", lines);
    entries.addStringVariableAsIs(error, u"RemotePath", remotePath);
    entries.addStringVariableAsIs(error, u"RemoteFile", remoteFile);
    entries.addBooleanVariable(error, u"AppendToFile", append);
    entries.addIntegerVariable(error, u"LineEndingType", lineEnding);
    entries.addIntegerVariable(error, u"CharSet", charSet);
    entries.addBooleanVariable(error, u"IncludeUnicodeBOM", includeBOM);
    addCompletion(entries, completedScript, parameter);
    addItem(variables, transferID, std::move(entries));
}

void queueAddDownloadText(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& completedScript, const ucstring& parameter) {
    OrbVariableArray entries = newItem(u"DownloadText");
    ucstring error;
    entries.addStringVariableAsIs(error, u"RemotePath", remotePath);
    entries.addStringVariableAsIs(error, u"RemoteFile", remoteFile);
    addCompletion(entries, completedScript, parameter);
    addItem(variables, transferID, std::move(entries));
}

namespace {

void addDirItem(PluginVariables& variables, const ucstring& type, const ucstring& key, const ucstring& dir,
                const ucstring& completedScript, const ucstring& parameter) {
    OrbVariableArray entries = newItem(type);
    ucstring error;
    entries.addStringVariableAsIs(error, key, dir);
    addCompletion(entries, completedScript, parameter);
    OrbVariable item(u"DownloadDir");  // both kinds share this name
    item.setArrayValue(entries);
    variables.queue.addVariable(error, item, true);
}

}  // namespace

void queueAddUploadDir(PluginVariables& variables, const ucstring& localDir, const ucstring& completedScript,
                       const ucstring& parameter) {
    addDirItem(variables, u"UploadDir", u"LocalDir", localDir, completedScript, parameter);
}

void queueAddDownloadDir(PluginVariables& variables, const ucstring& remoteDir, const ucstring& completedScript,
                         const ucstring& parameter) {
    addDirItem(variables, u"DownloadDir", u"RemoteDir", remoteDir, completedScript, parameter);
}

void queueTieFolder(PluginVariables& variables, size_t first) {
    static std::atomic<uint64_t> folders{0};
    const ucstring folder = ucstringFromUTF8String(std::to_string(++folders));
    int64_t files = 0;
    for (size_t i = first; i < variables.queue.size(); ++i) {
        OrbVariable* item = nullptr;
        if (!variables.queue.mutableVariableAtIndex(i, item) || item->type() != OrbVariable::kArray) continue;
        OrbVariableArray& entries = item->mutableArrayValue();
        ucstring error;
        entries.addStringVariable(error, u"Folder", folder);
        const ucstring type = entryString(entries, u"Type");
        if (type == u"UploadFile" || type == u"DownloadFile")
            entries.addIntegerVariable(error, u"FilesBefore", files++);
    }
}

void queueClear(PluginVariables& variables) {
    queueCancel(variables);
    variables.currentTransferID.clear();
    variables.currentTransfer.clear(true);
}

void queueCancel(PluginVariables& variables) {
    variables.queue.clear();
    variables.queueStartAttempts = 0;
    variables.queueNextStartMs = 0;
}

namespace {

// What one step of queueProcess ended with.
struct Outcome {
    ucstring type, script, parameter, error, result;
};

// A file of a folder transfer failed: the folder fails with it, as the transfer at once would (the
// file, and how many files went before it), and the folder's items still waiting go.
void failFolder(PluginVariables& variables, const OrbVariableArray& entries, Outcome& out) {
    const ucstring folder = entryString(entries, u"Folder");
    if (folder.empty()) return;
    const bool upload = out.type == u"UploadFile";
    ucstring path = entryString(entries, u"RemotePath") + entryString(entries, u"RemoteFile");
    if (upload) {
        OrbFileRef local(entryString(entries, u"LocalPath"));
        local.addItem(entryString(entries, u"LocalFile"));
        path = local.pathAsString(kPathStyleWindows);
    }
    out.error = dirTransferFailure(upload, dirTransferFileError(upload, path, out.error),
                                   static_cast<uint32_t>(entryInteger(entries, u"FilesBefore", 0)));
    out.type = upload ? u"UploadDir" : u"DownloadDir";
    for (size_t i = variables.queue.size(); i-- > 0;) {
        const OrbVariable* item = nullptr;
        if (variables.queue.variableAtIndex(i, item) && item->type() == OrbVariable::kArray &&
            entryString(item->arrayValue(), u"Folder") == folder)
            variables.queue.removeVariable(i);
    }
}

// A queued transfer has ended: records it and says what follows.
bool finishCurrent(PluginVariables& variables, Outcome& out) {
    const ucstring id = variables.currentTransferID;
    OrbVariable item = std::move(variables.currentTransfer);
    variables.currentTransferID.clear();
    variables.currentTransfer.clear(true);
    if (item.type() == OrbVariable::kEmpty) {
        DEBUG_OUT("queueProcess: Current Transfer Item wasn't found in the queue");
        return false;
    }
    if (item.type() != OrbVariable::kArray) {
        DEBUG_OUT("queueProcess: Current Tranfer Item isn't valid");
        return false;
    }
    // It heads the queue, unless Cancel emptied the queue while it ran.
    const OrbVariable* head = nullptr;
    if (variables.queue.variableAtIndex(0, head) && head->name() == id) variables.queue.removeVariable(size_t{0});
    variables.lastTransfer = std::move(item);
    const OrbVariableArray& entries = variables.lastTransfer.arrayValue();
    out.type = entryString(entries, u"Type");
    out.script = entryString(entries, u"CompletedScript");
    out.parameter = entryString(entries, u"CSParameter");
    out.error = variables.queueOutcomeReady ? variables.queueOutcomeError : queueThreadLastError();
    variables.queueOutcomeReady = false;
    if (!out.error.empty()) {
        failFolder(variables, entries, out);
        return true;
    }
    if (out.type == u"DownloadText") {
        const ucstringlist& lines = variables.queueOutcomeText;
        out.result = stringlistJoinWithLineEnding(lines, 1);
        ucstring error;
        variables.lastTransfer.mutableArrayValue().addListVariable(error, u"Text", lines);
        out.parameter.clear();
        DEBUG_OUT("queueProcess: Downloaded Text.");
    } else {
        out.result = resultText(out.type, entries);
        DEBUG_OUT(u"queueProcess: " + out.result);
    }
    return true;
}

// Starts the transfer at the head of the queue; false when there is nothing to record.
bool startNext(PluginVariables& variables, Outcome& out) {
    const OrbVariable* head = nullptr;
    if (!variables.queue.variableAtIndex(0, head)) return false;
    if (head->type() != OrbVariable::kArray) {
        DEBUG_OUT("queueProcess: Next Tranfer Item isn't valid; removing it");
        variables.queue.removeVariable(size_t{0});
        return false;
    }
    const OrbVariable item = *head;
    const ucstring& name = item.name();
    const OrbVariableArray& entries = item.arrayValue();
    out.type = entryString(entries, u"Type");
    out.script = entryString(entries, u"CompletedScript");
    out.parameter = entryString(entries, u"CSParameter");

    if (out.type == u"DownloadDir" || out.type == u"UploadDir") {
        out.result = out.type == u"DownloadDir" ? u"Downloaded '" + entryString(entries, u"RemoteDir") + u"'."
                                                : u"Uploaded '" + entryString(entries, u"LocalDir") + u"'.";
        variables.queue.removeVariable(size_t{0});
        return true;
    }
    if (variables.queueNextStartMs > steadyMilliseconds()) return false;  // waiting before a retry

    PluginConfigLock lock(1000);
    if (!lock.held()) {
        out.error = u"Could not get Plugin Config Lock: " + lock.error();
        return true;
    }
    StatusWindow* status = nullptr;
    if (lock.get(status).empty() && status && status->isOpen()) status->enableCancelButton();
    FTPAccounts* accounts = nullptr;
    ucstring error = lock.get(accounts);
    if (!error.empty()) {
        out.error = u"Could not get FTPAccounts Config Var: " + error;
        return true;
    }
    if (!accounts) {
        out.error = u"FTPAccounts Config Var is NULL.";
        return true;
    }
    FTPAccount* account = accounts->findAccount(variables.currentAccountName);
    if (!account) {
        variables.queue.removeVariable(size_t{0});
        out.error = u"Could not find current account.";
        return true;
    }
    setDataConnSettings(variables, account->passive(), account->dataPortRangeStart(), account->dataPortRangeEnd());

    bool known = true;
    error = startTransfer(variables, entries, out.type, known);
    if (!known) {
        DEBUG_OUT("queueProcess: Next Transfer Item has unknown type; removing it.");
        variables.queue.removeVariable(size_t{0});
        return false;
    }
    if (error.empty()) {
        variables.currentTransferID = name;
        variables.currentTransfer = item;
        variables.queueStartAttempts = 0;
        variables.queueNextStartMs = 0;
        return false;  // recorded when it ends
    }
    out.error = error;
    if (++variables.queueStartAttempts >= kMaxStartAttempts) {
        variables.queue.removeVariable(size_t{0});
        variables.queueStartAttempts = 0;
        variables.queueNextStartMs = 0;
    } else {
        variables.queueNextStartMs =
            steadyMilliseconds() + (int64_t{kFirstRetryDelayMs} << (variables.queueStartAttempts - 1));
    }
    return true;
}

void recordOutcome(PluginVariables& variables, const Outcome& out) {
    if (!out.error.empty()) {
        const ucstring text = u"ERROR: " + (out.type.empty() ? ucstring() : out.type + u": ") + out.error;
        DEBUG_OUT(u"queueProcess: " + text);
        variables.lastTransfer.clear(true);
        variables.lastTransfer.setStringValue(text);
        return;
    }
    if (out.result.empty() || out.script.empty()) return;
    const ucstring parameter = out.parameter.empty() ? out.result : out.parameter;
    DEBUG_OUT(u"queueProcess: result: " + out.result);
    DEBUG_OUT(u"queueProcess: script parameter: " + parameter);
    ucstring database, script;
    fmpScriptSplit(out.script, database, script);
    callFMPScript(database, script, &parameter, 3);
}

}  // namespace

void queueProcess(PluginVariables& variables) {
    // One transfer runs at a time, of whichever session; the window state is that transfer's.
    if (queueThreadBusy()) return;
    if (variables.queue.empty() && variables.currentTransferID.empty()) {
        withStatus(250, [](StatusWindow& status) {
            if (!status.isOpen()) return;
            status.disableCancelButton(true);
            status.updateStatusMultiFile(u"");
        });
        return;
    }
    Outcome out;
    const bool record = variables.currentTransferID.empty() ? startNext(variables, out) : finishCurrent(variables, out);
    if (record) recordOutcome(variables, out);
    showRemaining(variables);
}

void queueIdle(PluginVariables& variables) {
    // Cancel in the status window empties the queue. A transfer still running keeps seeing
    // Cancel until it has stopped; after that the button is reset, so transfers queued later
    // are not cancelled too.
    withStatus(250, [&](StatusWindow& status) {
        if (!status.isOpen() || !status.cancelled()) return;
        queueCancel(variables);
        status.disableCancelButton(!queueThreadBusy());
        status.updateStatusMultiFile(u"");
    });
    queueProcess(variables);
}

ucstringlist queueList(const PluginVariables& variables) {
    ucstringlist lines;
    for (const OrbVariable& item : variables.queue) {
        if (item.type() != OrbVariable::kArray) continue;
        const OrbVariableArray& entries = item.arrayValue();
        const ucstring type = entryString(entries, u"Type");
        const ucstring local = entryString(entries, u"LocalFile");
        const ucstring remote = entryString(entries, u"RemoteFile");
        ucstring name;
        if (type == u"DownloadFile")
            name = local.empty() ? remote : local;
        else if (type == u"UploadFile")
            name = remote.empty() ? local : remote;
        else if (type == u"DownloadText" || type == u"UploadText")
            name = remote;
        else
            continue;
        lines.push_back(type + u": " + name);
    }
    return lines;
}
