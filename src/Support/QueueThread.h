// The transfer queue: one background thread that runs one queued transfer at a time for all
// sessions, and each session's queue of waiting transfers, advanced by the host's idle calls.
#pragma once

#include "Support/QueuedTransfer.h"
#include "_Common/CoreCode/Orb_Thread.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <atomic>
#include <mutex>
#include <string>

class PluginVariables;

class QueueThread : public OrbThread {
public:
    enum Action : int32_t { kActionInit = 1, kActionShutdown = 2, kActionTransfer = 3 };

    QueueThread() = default;
    ~QueueThread() override;
    void clear() override;
    void threadMain() override;
    void requestStop() override;

    int32_t threadAction() const { return mThreadAction; }
    void setThreadAction(int32_t action) { mThreadAction = action; }
    const ucstring& actionError() const { return mActionError; }
    ucstring& mutableActionError() { return mActionError; }
    PluginVariables* pluginVars() const { return mPluginVars; }

    // The transfer kActionTransfer runs on `variables`' connection: its remote path as the server
    // takes it, and its local file.
    void setTransfer(PluginVariables* variables, const QueuedTransfer& transfer, const std::string& wirePath,
                     const OrbFileRef& localFile) {
        mPluginVars = variables;
        mTransfer = transfer;
        mWirePath = wirePath;
        mLocalFile = localFile;
    }

    // Set while the running transfer should give up (shutdown, or its session going away); the
    // session's progress reports read it.
    bool stopRequested() const { return mStopRequested; }
    void setStopRequested(bool stop) { mStopRequested = stop; }

private:
    // Runs the transfer set with setTransfer; a downloaded text goes to `lines`. The error text.
    ucstring runTransfer(ucstringlist& lines);

    int32_t mThreadAction = 0;
    ucstring mActionError;
    PluginVariables* mPluginVars = nullptr;
    QueuedTransfer mTransfer;
    std::string mWirePath;
    OrbFileRef mLocalFile;
    std::atomic<bool> mStopRequested{false};
};

// ---- The thread -------------------------------------------------------------------------------

bool startupQueueThread();
void shutdownQueueThread();
// Gives the thread one action and waits for it, keeping windows live; the error text.
[[nodiscard]] ucstring runQueueThread(int32_t action);
// Hands the thread one transfer of `variables`' queue and returns at once; the error text of
// handing it over.
[[nodiscard]] ucstring queueThreadStart(PluginVariables& variables, const QueuedTransfer& transfer);
bool queueThreadBusy();
ucstring queueThreadLastError();

// True while the queue thread runs a transfer on this session's connection; everything else that
// would use that connection must refuse (queueConnectionBusyError) or wait (queueWaitForSession).
bool queueThreadUsesSession(const PluginVariables& variables);
ucstring queueConnectionBusyError();
// Asks a transfer running on this session's connection to stop and waits for it (bounded); used
// before the connection or the session's record goes away. True when the connection is free.
bool queueReleaseSession(PluginVariables& variables, int waitMs);
// Waits, keeping windows live, until no queued transfer runs on this session's connection. The
// next one starts only on a later idle call.
void queueWaitForSession(const PluginVariables& variables);
// True when the queue thread was asked to stop the transfer running on this connection.
bool queueTransferStopRequested(const PluginVariables& variables);

// ---- Each session's queue ---------------------------------------------------------------------

void queueAddUploadFile(PluginVariables& variables, const ucstring& transferID, const ucstring& localPath,
                        const ucstring& localFile, const ucstring& remotePath, const ucstring& remoteFile, bool append,
                        bool asciiMode, const ucstring& completedScript, const ucstring& parameter);
void queueAddDownloadFile(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& localPath, const ucstring& localFile, bool append,
                          bool asciiMode, const ucstring& completedScript, const ucstring& parameter);
void queueAddUploadText(PluginVariables& variables, const ucstring& transferID, const ucstringlist& lines,
                        const ucstring& remotePath, const ucstring& remoteFile, bool append, int32_t lineEnding,
                        int16_t charSet, bool includeBOM, const ucstring& completedScript, const ucstring& parameter);
void queueAddDownloadText(PluginVariables& variables, const ucstring& transferID, const ucstring& remotePath,
                          const ucstring& remoteFile, const ucstring& completedScript, const ucstring& parameter);
void queueAddUploadDir(PluginVariables& variables, const ucstring& localDir, const ucstring& completedScript,
                       const ucstring& parameter);
void queueAddDownloadDir(PluginVariables& variables, const ucstring& remoteDir, const ucstring& completedScript,
                         const ucstring& parameter);
// The items queued from index `first` on are one folder transfer's files and its entry: a file
// that fails fails the folder as the transfer at once would, drops the folder's files still
// waiting, and the folder's completed script does not run.
void queueTieFolder(PluginVariables& variables, size_t first);
// True when the session's queue, or its transfer in flight, already has this transfer ID.
bool queueUsesTransferID(const PluginVariables& variables, const ucstring& transferID);

// Advances the session's queue by one step (the host's idle call).
void queueProcess(PluginVariables& variables);
// The idle pass's work for a session: Cancel in the status window, then queueProcess.
void queueIdle(PluginVariables& variables);
// The session's queue as the lines of Volan_GetQueueList.
ucstringlist queueList(const PluginVariables& variables);
// Empties the session's queue (a new connection, a disconnection, a quick transfer). A transfer
// already running goes on; its outcome is dropped.
void queueClear(PluginVariables& variables);
// Empties the session's queue for the status window's Cancel, which also stops the transfer in
// flight: that one's end is still recorded ("User cancelled.").
void queueCancel(PluginVariables& variables);
