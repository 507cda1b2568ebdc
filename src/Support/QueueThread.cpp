#include "QueueThread.h"

#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "Support/PluginVariables.h"
#include "Support/QueuedTransfer.h"
#include "_Common/FMPlugin/Plugin_Scripts.h"
#include "_Common/Strings/Orb_StringList.h"
#include "remote/Transfers.h"

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

// Adds a transfer to the end of the session's queue, its script and parameter trimmed.
void addTransfer(PluginVariables& variables, QueuedTransfer&& transfer, const ucstring& completedScript,
                 const ucstring& parameter) {
    transfer.completedScript = stringTrim(completedScript);
    transfer.parameter = stringTrim(parameter);
    const bool folder = queuedKindIsFolder(transfer.kind);
    variables.queue.push_back(std::move(transfer));
    if (!folder) showRemaining(variables);  // a folder entry is not counted as one more transfer
}

QueuedTransfer newTransfer(QueuedKind kind, const ucstring& id) {
    QueuedTransfer transfer;
    transfer.kind = kind;
    transfer.id = id;
    return transfer;
}

// A file to move either way between the remote folder and name and the local ones.
QueuedTransfer fileTransfer(QueuedKind kind, const ucstring& id, const ucstring& remotePath, const ucstring& remoteFile,
                            const ucstring& localPath, const ucstring& localFile, bool append, bool asciiMode) {
    QueuedTransfer transfer = newTransfer(kind, id);
    transfer.remotePath = remotePath;
    transfer.remoteFile = remoteFile;
    transfer.localPath = localPath;
    transfer.localFile = localFile;
    transfer.append = append;
    transfer.asciiMode = asciiMode;
    return transfer;
}

// The success text of a finished transfer, by kind.
ucstring resultText(const QueuedTransfer& transfer) {
    const ucstring& remote = transfer.remoteFile;
    const ucstring& local = transfer.localFile;
    switch (transfer.kind) {
        case QueuedKind::DownloadFile:
            return local == remote ? u"Downloaded '" + local + u"'."
                                   : u"Downloaded '" + local + u"' (originally '" + remote + u"').";
        case QueuedKind::UploadFile:
            return local == remote ? u"Uploaded '" + remote + u"'."
                                   : u"Uploaded '" + remote + u"' (originally '" + local + u"').";
        case QueuedKind::UploadText: return u"Uploaded '" + remote + u"'.";
        default: return u"";
    }
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

ucstring QueueThread::runTransfer(ucstringlist& lines) {
    Connection& connection = mPluginVars->connection;
    const QueuedTransfer& t = mTransfer;
    switch (t.kind) {
        case QueuedKind::DownloadFile:
            DEBUG_OUT("Action: Download File");
            return downloadFile(connection, mWirePath, mLocalFile, t.append, t.asciiMode);
        case QueuedKind::DownloadText:
            DEBUG_OUT("Action: Download Text");
            return downloadText(connection, mWirePath, lines);
        case QueuedKind::UploadFile:
            DEBUG_OUT("Action: Upload File");
            return uploadFile(connection, mLocalFile, mWirePath, t.append, t.asciiMode);
        case QueuedKind::UploadText:
            DEBUG_OUT("Action: Upload Text");
            return uploadText(connection, t.lines, mWirePath, t.append, t.lineEnding, t.charSet, t.includeBOM);
        case QueuedKind::DownloadFolder:
        case QueuedKind::UploadFolder: break;  // the folder's files are transfers of their own
    }
    return u"";
}

void QueueThread::threadMain() {
    setThreadStateAndWake(kStateIdle);
    DEBUG_OUT("Starting QueueThread main loop");
    for (;;) {
        const int32_t command = waitForThreadCommandChange();
        if (command == kCommandShutdown || command < 0) break;
        if (command != kCommandRun) continue;
        ucstring error;
        ucstringlist lines;
        PluginVariables* variables = pluginVars();
        switch (threadAction()) {
            case kActionInit: DEBUG_OUT("Action: Init"); break;
            case kActionShutdown: DEBUG_OUT("Action: Shutdown"); break;
            case kActionTransfer: error = runTransfer(lines); break;
            default: break;
        }
        mutableActionError() = error;
        if (variables && threadAction() == kActionTransfer) {
            // The outcome goes with the session that queued it, so another session's next
            // transfer cannot overwrite it before this session's idle call reads it.
            variables->queueOutcomeError = error;
            variables->queueOutcomeText = std::move(lines);
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

ucstring queueThreadStart(PluginVariables& variables, const QueuedTransfer& transfer) {
    if (queuedKindIsFolder(transfer.kind)) return u"";  // nothing to move: the entry stands for its files
    if (!gQueueThread) return u"Queue Thread is NULL.";
    const ucstring error = initializeQueueThread();
    if (!error.empty()) return error;
    OrbFileRef localFile(transfer.localPath);
    if (!transfer.localFile.empty()) localFile.addItem(transfer.localFile);
    gQueueThread->setTransfer(&variables, transfer,
                              sessionWirePath(variables, transfer.remotePath + transfer.remoteFile), localFile);
    gQueueThread->setThreadAction(QueueThread::kActionTransfer);
    gQueueThread->mutableActionError().clear();
    gQueueThread->setStopRequested(false);
    variables.queueOutcomeReady = false;
    gQueueThread->runThread();
    return u"";
}

bool queueThreadBusy() {
    return gQueueThread && gQueueThreadHasInitialized && gQueueThread->checkThreadState() == OrbThread::kStateBusy;
}

ucstring queueThreadLastError() { return gQueueThread ? gQueueThread->actionError() : ucstring(); }

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
    addTransfer(variables,
                fileTransfer(QueuedKind::UploadFile, transferID, remotePath, remoteFile, localPath, localFile, append,
                             asciiMode),
                completedScript, parameter);
}

void queueAddDownloadFile(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& localPath, const ucstring& localFile, bool append,
                          bool asciiMode, const ucstring& completedScript, const ucstring& parameter) {
    addTransfer(variables,
                fileTransfer(QueuedKind::DownloadFile, transferID, remotePath, remoteFile, localPath, localFile, append,
                             asciiMode),
                completedScript, parameter);
}

void queueAddUploadText(PluginVariables& variables, const ucstring& transferID, const ucstringlist& lines,
                        const ucstring& remotePath, const ucstring& remoteFile, bool append, int32_t lineEnding,
                        int16_t charSet, bool includeBOM, const ucstring& completedScript, const ucstring& parameter) {
    QueuedTransfer transfer = newTransfer(QueuedKind::UploadText, transferID);
    transfer.lines = lines;
    transfer.remotePath = remotePath;
    transfer.remoteFile = remoteFile;
    transfer.append = append;
    transfer.lineEnding = lineEnding;
    transfer.charSet = charSet;
    transfer.includeBOM = includeBOM;
    addTransfer(variables, std::move(transfer), completedScript, parameter);
}

void queueAddDownloadText(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& completedScript, const ucstring& parameter) {
    QueuedTransfer transfer = newTransfer(QueuedKind::DownloadText, transferID);
    transfer.remotePath = remotePath;
    transfer.remoteFile = remoteFile;
    addTransfer(variables, std::move(transfer), completedScript, parameter);
}

void queueAddUploadDir(PluginVariables& variables, const ucstring& localDir, const ucstring& completedScript,
                       const ucstring& parameter) {
    QueuedTransfer transfer = newTransfer(QueuedKind::UploadFolder, u"");
    transfer.dir = localDir;
    addTransfer(variables, std::move(transfer), completedScript, parameter);
}

void queueAddDownloadDir(PluginVariables& variables, const ucstring& remoteDir, const ucstring& completedScript,
                         const ucstring& parameter) {
    QueuedTransfer transfer = newTransfer(QueuedKind::DownloadFolder, u"");
    transfer.dir = remoteDir;
    addTransfer(variables, std::move(transfer), completedScript, parameter);
}

void queueTieFolder(PluginVariables& variables, size_t first) {
    static std::atomic<uint64_t> folders{0};
    const uint64_t folder = ++folders;
    int64_t files = 0;
    for (size_t i = first; i < variables.queue.size(); ++i) {
        QueuedTransfer& transfer = variables.queue[i];
        transfer.folder = folder;
        if (queuedKindIsFile(transfer.kind)) transfer.filesBefore = files++;
    }
}

bool queueUsesTransferID(const PluginVariables& variables, const ucstring& transferID) {
    if (variables.currentTransfer && variables.currentTransfer->id == transferID) return true;
    return std::any_of(variables.queue.begin(), variables.queue.end(),
                       [&](const QueuedTransfer& transfer) { return transfer.id == transferID; });
}

void queueClear(PluginVariables& variables) {
    queueCancel(variables);
    variables.currentTransfer.reset();
}

void queueCancel(PluginVariables& variables) {
    variables.queue.clear();
    variables.queueStartAttempts = 0;
    variables.queueNextStartMs = 0;
}

namespace {

// What one step of queueProcess ended with.
struct Outcome {
    QueuedKind kind = QueuedKind::DownloadFile;
    ucstring script, parameter, error, result;
};

// A file of a folder transfer failed: the folder fails with it, as the transfer at once would (the
// file, and how many files went before it), and the folder's items still waiting go.
void failFolder(PluginVariables& variables, const QueuedTransfer& transfer, Outcome& out) {
    if (transfer.folder == 0) return;
    const bool upload = transfer.kind == QueuedKind::UploadFile;
    ucstring path = transfer.remotePath + transfer.remoteFile;
    if (upload) {
        OrbFileRef local(transfer.localPath);
        local.addItem(transfer.localFile);
        path = local.pathAsString(kPathStyleWindows);
    }
    out.error = dirTransferFailure(upload, dirTransferFileError(upload, path, out.error),
                                   static_cast<uint32_t>(transfer.filesBefore));
    out.kind = upload ? QueuedKind::UploadFolder : QueuedKind::DownloadFolder;
    std::erase_if(variables.queue, [&](const QueuedTransfer& item) { return item.folder == transfer.folder; });
}

// The queued transfer in flight has ended: records it and says what follows.
bool finishCurrent(PluginVariables& variables, Outcome& out) {
    const QueuedTransfer transfer = std::move(*variables.currentTransfer);
    variables.currentTransfer.reset();
    // It heads the queue, unless Cancel emptied the queue while it ran.
    if (!variables.queue.empty() && variables.queue.front().id == transfer.id) variables.queue.pop_front();
    variables.lastTransfer = queuedRecord(transfer);
    out.kind = transfer.kind;
    out.script = transfer.completedScript;
    out.parameter = transfer.parameter;
    out.error = variables.queueOutcomeReady ? variables.queueOutcomeError : queueThreadLastError();
    variables.queueOutcomeReady = false;
    if (!out.error.empty()) {
        failFolder(variables, transfer, out);
        return true;
    }
    if (out.kind == QueuedKind::DownloadText) {
        const ucstringlist& lines = variables.queueOutcomeText;
        out.result = stringlistJoinWithLineEnding(lines, 1);
        ucstring error;
        variables.lastTransfer.mutableArrayValue().addListVariable(error, u"Text", lines);
        out.parameter.clear();
        DEBUG_OUT("queueProcess: Downloaded Text.");
    } else {
        out.result = resultText(transfer);
        DEBUG_OUT(u"queueProcess: " + out.result);
    }
    return true;
}

// Starts the transfer at the head of the queue; false when there is nothing to record.
bool startNext(PluginVariables& variables, Outcome& out) {
    if (variables.queue.empty()) return false;
    QueuedTransfer transfer = variables.queue.front();
    out.kind = transfer.kind;
    out.script = transfer.completedScript;
    out.parameter = transfer.parameter;

    if (queuedKindIsFolder(transfer.kind)) {
        out.result = transfer.kind == QueuedKind::DownloadFolder ? u"Downloaded '" + transfer.dir + u"'."
                                                                 : u"Uploaded '" + transfer.dir + u"'.";
        variables.queue.pop_front();
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
        variables.queue.pop_front();
        out.error = u"Could not find current account.";
        return true;
    }
    variables.connection.setDataConnection(account->passive(), account->dataPortRangeStart(),
                                           account->dataPortRangeEnd());

    error = queueThreadStart(variables, transfer);
    if (error.empty()) {
        variables.currentTransfer = std::move(transfer);
        variables.queueStartAttempts = 0;
        variables.queueNextStartMs = 0;
        return false;  // recorded when it ends
    }
    out.error = error;
    if (++variables.queueStartAttempts >= kMaxStartAttempts) {
        variables.queue.pop_front();
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
        const ucstring text = u"ERROR: " + queuedKindName(out.kind) + u": " + out.error;
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
    if (variables.queue.empty() && !variables.currentTransfer) {
        withStatus(250, [](StatusWindow& status) {
            if (!status.isOpen()) return;
            status.disableCancelButton(true);
            status.updateStatusMultiFile(u"");
        });
        return;
    }
    Outcome out;
    const bool record = variables.currentTransfer ? finishCurrent(variables, out) : startNext(variables, out);
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
    for (const QueuedTransfer& transfer : variables.queue)
        if (ucstring line = queuedListLine(transfer); !line.empty()) lines.push_back(std::move(line));
    return lines;
}
