#include "PluginVariables.h"

#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

PluginVariables::~PluginVariables() {
    sessionRelease(*this);
    removeTemporaryFiles();
}

void PluginVariables::removeTemporaryFiles() {
    std::string ignored;
    for (const ucstring& path : temporaryFiles) platform::fileRemove(path, ignored);
    temporaryFiles.clear();
}

void PluginVariables::clear() {
    sessionRelease(*this);
    removeTemporaryFiles();
    sessionId = 0;
    threadId = 0;
    initializedByWorker = false;
    lastTransfer.clear(true);
    localList.clear();
    remoteList.clear();
    queue.clear();
    currentTransfer.reset();
    queueOutcomeError.clear();
    queueOutcomeText.clear();
    queueOutcomeReady = false;
    queueStartAttempts = 0;
    queueNextStartMs = 0;
    localFolder.clear();
    localFolderSet = false;
    localListValid = false;
    localListPosition = 0;
}

void sessionRelease(PluginVariables& session) {
    session.connection.close();
    session.currentAccountName.clear();
    session.currentRemoteDir.clear();
    session.remoteList.clear();
    session.remoteListCurrent = false;
    session.remoteListPosition = 0;
    session.machineListMode = -1;
    session.remoteRawNames.clear();
}

std::string sessionWirePath(const PluginVariables& session, const ucstring& path) {
    const std::map<ucstring, std::string>& raw = session.remoteRawNames;
    if (raw.empty()) return ucstringToUTF8String(path);
    std::string wire;
    wire.reserve(path.size());
    for (size_t start = 0;;) {
        const size_t slash = path.find(u'/', start);
        const ucstring part = path.substr(start, slash == ucstring::npos ? ucstring::npos : slash - start);
        const auto found = raw.find(part);
        wire += found == raw.end() ? ucstringToUTF8String(part) : found->second;
        if (slash == ucstring::npos) return wire;
        wire += '/';
        start = slash + 1;
    }
}
