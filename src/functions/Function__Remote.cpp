#include "Function__Remote.h"

#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

namespace {

// The folder relative paths of the session mean.
std::string currentDirectory(const PluginVariables& session) { return ucstringToUTF8String(session.currentRemoteDir); }

std::string withoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

ucstring serverText(const PluginVariables& session) {
    return ucstringFromUTF8String(session.connection.responseText());
}

// A runner's outcome: on failure the prefix and what the server said.
ucstring commandOutcome(const PluginVariables& session, const RemoteResult& result, const ucstring& failurePrefix) {
    if (result.ok()) return {};
    return failurePrefix + serverText(session);
}

}  // namespace

// ---- Paths -------------------------------------------------------------------------------------

ucstring remoteResolvePath(const PluginVariables& session, const ucstring& path) {
    if (isFullPath(path)) return path;
    const ucstring& dir = session.currentRemoteDir;
    if (!dir.empty() && dir.back() == u'/') return dir + path;
    return dir + u"/" + path;
}

// ---- Command runners ---------------------------------------------------------------------------

ucstring sendDELECommand(PluginVariables& session, const std::string& path) {
    return commandOutcome(session, session.connection.deleteFile(path, currentDirectory(session)),
                          u"Error removing file; Server response: \r");
}

ucstring sendMKDCommand(PluginVariables& session, const std::string& path) {
    return commandOutcome(session, session.connection.makeFolder(path, currentDirectory(session)),
                          u"Error making directory; Server response: \r");
}

ucstring sendRMDCommand(PluginVariables& session, const std::string& path) {
    return commandOutcome(session, session.connection.removeFolder(path, currentDirectory(session)),
                          u"Error removing directory; Server response: \r");
}

ucstring sendRNCommand(PluginVariables& session, const std::string& oldPath, const std::string& newName) {
    return commandOutcome(session, session.connection.rename(oldPath, newName, currentDirectory(session)),
                          u"Error renaming; Server response: \r");
}

ucstring sendQUOTECommand(PluginVariables& session, const std::string& directory, const std::string& command,
                          stringlist* output) {
    if (!output) return u"Output is NULL.";
    const ucstring error = commandOutcome(session, session.connection.sendRaw(directory, command),
                                          u"Error sending custom command; Server response: \r");
    if (error.empty()) *output = session.connection.replies();
    return error;
}

// ---- Listings ----------------------------------------------------------------------------------

int32_t remoteMachineListMode(PluginVariables& session) {
    if (session.machineListMode != -1) return session.machineListMode;
    session.machineListMode = 0;
    for (const std::string& feature : session.connection.features()) {
        const std::string name = stringUpperCase(feature.substr(0, feature.find('=')));
        if (name == "MLST" || name == "MLSD") session.machineListMode = 1;
    }
    return session.machineListMode;
}

namespace {

// The listing lines into items; names that are not UTF-8 are noted for the way back.
void parseListing(PluginVariables& session, std::vector<RemoteItem>& list) {
    const stringlist& lines = session.connection.listingLines();
    if (remoteMachineListMode(session) == 1)
        parseMachineList(lines, list, &session.remoteRawNames);
    else
        parseStandardList(lines, list, OrbDateTime(), &session.remoteRawNames);
}

ucstring listingError(const PluginVariables& session, const RemoteResult& result, const ucstring& failurePrefix) {
    if (result.kind == RemoteErrorKind::kStopped) return result.text;
    return failurePrefix + serverText(session);
}

RemoteResult listingRequest(PluginVariables& session, const std::string& directory, ucstring* realPath) {
    return session.connection.list(directory, remoteMachineListMode(session) == 1, realPath);
}

}  // namespace

ucstring remoteListDirectory(PluginVariables& session, const std::string& directory, std::vector<RemoteItem>& list,
                             const ucstring& failurePrefix) {
    const RemoteResult result = listingRequest(session, directory, nullptr);
    if (!result.ok()) return listingError(session, result, failurePrefix);
    parseListing(session, list);
    return {};
}

ucstring remoteFollowLink(PluginVariables& session, const std::string& path, bool listFolder, ListLinkAnswer& answer) {
    answer = ListLinkAnswer();
    // A folder first (entered, or listed when its items are wanted), then a file.
    RemoteResult result =
        listFolder ? listingRequest(session, path, &answer.realPath) : session.connection.enterFolder(path);
    if (result.ok()) {
        if (listFolder) parseListing(session, answer.items);
        answer.kind = ListLinkAnswer::kFolder;
        return {};
    }
    if (result.kind != RemoteErrorKind::kNotFound)
        return listingError(session, result, u"Error getting item info; Server response: \r");
    result = session.connection.fileSize(path, answer.size);
    if (result.ok()) {
        answer.kind = ListLinkAnswer::kFile;
        return {};
    }
    if (result.kind != RemoteErrorKind::kNotFound)
        return listingError(session, result, u"Error getting item info; Server response: \r");
    return {};
}

ucstring remoteFolderRealPath(PluginVariables& session, const std::string& path) {
    return session.connection.folderRealPath(path);
}

ucstring sendLISTCommand(PluginVariables& session, const std::string& directory) {
    return remoteListDirectory(session, directory, session.remoteList);
}

ucstring maybeGetRemoteFileList(PluginVariables& session) {
    if (session.currentRemoteDir.empty())
        return u"Remote directory is not valid, use ChangeRemoteDir to set a valid directory.";
    if (session.remoteListCurrent) return {};
    const ucstring error = sendLISTCommand(session, sessionWirePath(session, session.currentRemoteDir));
    if (error.empty()) session.remoteListCurrent = true;
    return error;
}

void remoteInvalidateList(PluginVariables& session, bool resetPosition) {
    session.remoteList.clear();
    session.remoteListCurrent = false;
    if (resetPosition) session.remoteListPosition = 0;
}

// ---- One item ----------------------------------------------------------------------------------

ucstring getRemoteItemInfo(PluginVariables& session, const std::string& path, RemoteItem& info) {
    info = RemoteItem();
    const std::string trimmed = withoutTrailingSlash(path);
    std::string dir, name;
    remoteSplitPath(trimmed, dir, name);
    if (name.empty()) {
        // The root folder: always there, and listed by no parent.
        info.name = u"/";
        info.type = RemoteItemType::kFolder;
        return {};
    }

    if (remoteMachineListMode(session) == 1) {
        const RemoteResult result = session.connection.runCommands(dir, {"MLST " + name}, u"Retrieving item info...");
        const stringlist& lines = session.connection.replies();
        if (!result.ok()) {
            if (!lines.empty() && stringStartsWith(lines.back(), "550")) {
                info.size = -1;
                return {};
            }
            return u"Error getting item info; Server response: \r" + serverText(session);
        }
        if (lines.size() < 3) return u"Server did not return a valid response.";
        const std::string factLine = stringTrimLeft(lines[lines.size() - 2]);
        if (factLine.empty()) return u"Server response is blank.";
        info = listItemInfoFromFactLine(factLine);
        return {};
    }

    std::vector<RemoteItem> list;
    const ucstring error =
        remoteListDirectory(session, dir, list, u"Error getting list for item info; Server response: ");
    if (!error.empty()) return error;
    // Read as the listing reads names, so that a name in other bytes than UTF-8 is found.
    const ucstring wanted = listNameFromBytes(name, nullptr);
    for (RemoteItem& item : list) {
        if (item.name != wanted) continue;  // names on the server are case-sensitive
        info = std::move(item);
        return {};
    }
    info.size = -1;
    return {};
}

namespace {

bool isLinkType(RemoteItemType type) { return type == RemoteItemType::kSymlink || type == RemoteItemType::kUnknown; }

// A link (or an item whose listing names no type) counts as what it leads to.
ucstring itemExists(PluginVariables& session, const std::string& path, RemoteItemType type, bool& exists) {
    exists = false;
    RemoteItem info;
    ucstring error = getRemoteItemInfo(session, path, info);
    if (!error.empty() || info.size == -1) return error;
    if (!isLinkType(info.type)) {
        exists = info.type == type;
        return {};
    }
    ListLinkAnswer answer;
    error = remoteFollowLink(session, path, false, answer);
    exists = answer.kind == (type == RemoteItemType::kFolder ? ListLinkAnswer::kFolder : ListLinkAnswer::kFile);
    return error;
}

}  // namespace

ucstring remoteFileExists(PluginVariables& session, const std::string& path, bool& exists) {
    return itemExists(session, path, RemoteItemType::kFile, exists);
}

ucstring remoteDirExists(PluginVariables& session, const std::string& path, bool& exists) {
    return itemExists(session, path, RemoteItemType::kFolder, exists);
}

ucstring remoteFileOrLinkExists(PluginVariables& session, const std::string& path, bool& exists) {
    exists = false;
    RemoteItem info;
    const ucstring error = getRemoteItemInfo(session, path, info);
    if (!error.empty() || info.size == -1) return error;
    exists = info.type == RemoteItemType::kFile || isLinkType(info.type);
    return {};
}

// ---- Arguments of the remote functions ----------------------------------------------------------

ucstring remotePathArgument(const PluginVariables& session, const ucstring& path, ucstring& resolved,
                            std::string& wire) {
    const ucstring error = remoteCheckSendable(path);
    if (!error.empty()) return error;
    resolved = remoteResolvePath(session, path);
    wire = sessionWirePath(session, resolved);
    return {};
}

void listRemoteHelper(PluginVariables& session, ListRemoteHelperContext& context) {
    ListTreeServer server;
    server.listDirectory = [&session](const ucstring& directory, std::vector<RemoteItem>& list) {
        return remoteListDirectory(session, sessionWirePath(session, directory), list);
    };
    server.followLink = [&session](const ucstring& path, bool listFolder, ListLinkAnswer& answer) {
        return remoteFollowLink(session, sessionWirePath(session, path), listFolder, answer);
    };
    server.realPath = [&session](const ucstring& path) {
        return remoteFolderRealPath(session, sessionWirePath(session, path));
    };
    listRemoteHelper(context, server);
}

ucstring remoteExistingFileInfo(PluginVariables& session, const ucstring& path, RemoteItem& info) {
    if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
    ucstring resolved;
    std::string wire;
    ucstring error = remotePathArgument(session, path, resolved, wire);
    if (!error.empty()) return error;
    error = getRemoteItemInfo(session, wire, info);
    if (!error.empty()) return u"Could not get file info: " + error;
    if (info.size == -1) return u"The specified remote file does not exist: " + resolved;
    if (!isLinkType(info.type)) {
        if (info.type != RemoteItemType::kFile) return u"The specified remote file does not exist: " + resolved;
        return {};
    }
    // A link to a file: the size of the file it leads to, as a download gets it.
    ListLinkAnswer answer;
    error = remoteFollowLink(session, wire, false, answer);
    if (!error.empty()) return u"Could not get file info: " + error;
    if (answer.kind != ListLinkAnswer::kFile) return u"The specified remote file does not exist: " + resolved;
    if (answer.size >= 0) info.size = answer.size;
    return {};
}
