// The record of one host session: its plug-in variables, its connection, its queue, its caches and
// its current folders. The function frame finds it by the session; the queue thread runs the
// session's transfers on its connection.
#pragma once

#include "Support/QueuedTransfer.h"
#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/FMPlugin/Plugin_Values.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "remote/Connection.h"
#include "remote/RemoteItem.h"

#include <platform/Threads.h>

#include <deque>
#include <map>
#include <optional>
#include <string>

// The state of one host session, kept from its first call until the session ends or the
// plug-in unloads. Everything here is reset by clear().
class PluginVariables {
public:
    PluginVariables() = default;
    PluginVariables(const PluginVariables&) = delete;
    PluginVariables& operator=(const PluginVariables&) = delete;
    virtual ~PluginVariables();
    void clear();

    uint64_t sessionId = 0;            // host session id (hosts of version 15 and later); 0 = free record
    platform::ThreadId threadId = 0;   // on older hosts the host thread stands in for the session
    bool initializedByWorker = false;  // set when the worker thread made this record
    PluginParameter parameter;
    OrbVariable lastTransfer;            // empty, an error text, or the record of the last transfer
    OrbVariableArray localList;          // cached local listing
    std::vector<RemoteItem> remoteList;  // cached remote listing
    // The queued transfers, in order.
    std::deque<QueuedTransfer> queue;
    // The queued transfer in flight, kept apart: its end is recorded even after Cancel emptied the queue.
    std::optional<QueuedTransfer> currentTransfer;
    // Written by the queue thread when this session's transfer ends, read by its next idle call.
    ucstring queueOutcomeError;
    ucstringlist queueOutcomeText;
    bool queueOutcomeReady = false;
    int queueStartAttempts = 0;    // failed starts of the transfer at the head of the queue
    int64_t queueNextStartMs = 0;  // no new start before this (steady clock)

    // The remote connection (remote/Connection.h); connected = open and an account name.
    Connection connection;
    ucstring currentAccountName;
    ucstring currentRemoteDir;

    // The remote listing cache (see Function__RemoteList.h).
    bool remoteListCurrent = false;
    int32_t remoteListPosition = 0;
    int32_t machineListMode = -1;  // -1 unknown, 0 LIST, 1 MLSD/MLST
    // Names the server's listings gave in bytes that are not UTF-8: the text shown for each (its
    // bytes read as Latin-1), and the bytes that reach that item again (see sessionWirePath).
    std::map<ucstring, std::string> remoteRawNames;
    // The current local folder: the base of relative local paths. Starts as the default volume's
    // root (set on first use, see Function__Local.h); undefined after a failed change.
    OrbFileRef localFolder;
    bool localFolderSet = false;
    bool localListValid = false;    // localList holds localFolder's listing
    int32_t localListPosition = 0;  // 1-based index of the local item last returned
    // Container files exported for uploads; deleted when the record is cleared or goes away.
    ucstringlist temporaryFiles;
    void removeTemporaryFiles();
};

// Closes the connection and forgets it, the listing cache, the queue and the last transfer; safe
// on a session that never connected.
void sessionRelease(PluginVariables& session);
// The bytes of a remote path for the server: UTF-8, but a part that a listing gave in bytes that
// are not UTF-8 goes back as those bytes (the session's remoteRawNames).
std::string sessionWirePath(const PluginVariables& session, const ucstring& path);
