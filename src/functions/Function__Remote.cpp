#include "Function__Remote.h"

#include "Function__RemoteList.h"
#include "Function__Session.h"
#include "Orb_Debug.h"
#include "Plugin_Status.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <vector>

namespace {

// A path as one argument of libcurl's SFTP quote commands, which run from the login folder: made
// absolute from `directory` (the folder a relative path means), in double quotes with backslash and
// quote escaped. ("/~/" would stand for the home, but libcurl reads it so only outside quotes.)
std::string sftpArgument(const std::string& directory, const std::string& path) {
    std::string absolute = path;
    if (path.empty() || path[0] != '/')
        absolute = (directory.empty() || directory.back() != '/' ? directory + "/" : directory) + path;
    std::string quoted = "\"";
    for (char c : absolute) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// One argument of an SFTP quote command as libcurl reads it: blanks before it skipped, then a text
// in single or double quotes (backslash escapes a quote or backslash) or a run of non-blanks. False
// when libcurl could not read one there.
bool readSFTPArgument(const std::string& command, size_t& at, std::string& value) {
    static const char kBlanks[] = " \t\r\n";
    at = command.find_first_not_of(kBlanks, at);
    if (at == std::string::npos) return false;
    value.clear();
    const char quote = command[at];
    if (quote != '"' && quote != '\'') {
        const size_t end = std::min(command.find_first_of(kBlanks, at), command.size());
        value = command.substr(at, end - at);
        at = end;
        return true;
    }
    for (size_t i = at + 1; i < command.size(); ++i) {
        char c = command[i];
        if (c == quote) {
            at = i + 1;
            return !value.empty();
        }
        if (c == '\\') {
            if (++i == command.size()) return false;
            c = command[i];
            if (c != '\\' && c != '"' && c != '\'') return false;
        }
        value += c;
    }
    return false;  // no closing quote
}

// The command with its relative path arguments made absolute from `directory`, so that it acts
// there, as an FTP command does after the changes into the folder. Which arguments are paths is
// libcurl's list; a symbolic link's target stays as given (a relative one is read from the link's
// folder). Anything libcurl would refuse is left as it is, for libcurl to report.
std::string sftpCommandInDirectory(const std::string& directory, const std::string& command) {
    static const struct {
        const char* verb;
        int arguments;   // read by libcurl
        unsigned paths;  // bit i: argument i is a path made absolute
    } kCommands[] = {
        {"chgrp", 2, 2},   {"chmod", 2, 2},  {"chown", 2, 2}, {"atime", 2, 2}, {"mtime", 2, 2}, {"ln", 2, 2},
        {"symlink", 2, 2}, {"rename", 2, 3}, {"mkdir", 1, 1}, {"rmdir", 1, 1}, {"rm", 1, 1},    {"statvfs", 1, 1},
    };
    const size_t start = !command.empty() && command[0] == '*' ? 1 : 0;  // "*": may fail
    const size_t blank = command.find(' ', start);
    if (blank == std::string::npos) return command;
    const std::string verb = stringLowerCase(command.substr(start, blank - start));
    for (const auto& known : kCommands) {
        if (verb != known.verb) continue;
        std::string rebuilt = command.substr(0, blank);
        size_t at = blank;
        for (int i = 0; i < known.arguments; ++i) {
            const size_t from = at;
            std::string value;
            if (!readSFTPArgument(command, at, value)) return command;
            const bool path = (known.paths >> i) & 1;
            rebuilt += path && value[0] != '/' ? " " + sftpArgument(directory, value) : command.substr(from, at - from);
        }
        return rebuilt + command.substr(at);
    }
    return command;
}

// The folder relative paths of the session mean.
std::string currentDirectory(const PluginVariables& session) { return ucstringToUTF8String(session.currentRemoteDir); }

std::string withoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

ucstring serverText(const PluginVariables& session) { return ucstringFromUTF8String(sessionResponseText(session)); }

// Runs one runner's commands in `directory`; on failure the prefix and what the server said.
ucstring runCommands(PluginVariables& session, const std::string& directory, const stringlist& commands,
                     const ucstring& status, const ucstring& failurePrefix) {
    if (sessionRunCommands(session, directory, commands, status) == CURLE_OK) return {};
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

void remoteSplitPath(const std::string& path, std::string& directory, std::string& name) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        directory.clear();
        name = path;
    } else {
        directory = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

// ---- Command runners ---------------------------------------------------------------------------

ucstring sendDELECommand(PluginVariables& session, const std::string& path) {
    std::string dir, name;
    remoteSplitPath(path, dir, name);
    const std::string command =
        sessionIsSFTP(session) ? "rm " + sftpArgument(currentDirectory(session), path) : "DELE " + name;
    return runCommands(session, dir, {command}, u"Removing remote file...",
                       u"Error removing file; Server response: \r");
}

ucstring sendMKDCommand(PluginVariables& session, const std::string& path) {
    const std::string trimmed = withoutTrailingSlash(path);
    std::string dir, name;
    remoteSplitPath(trimmed, dir, name);
    const std::string command =
        sessionIsSFTP(session) ? "mkdir " + sftpArgument(currentDirectory(session), trimmed) : "MKD " + name;
    return runCommands(session, dir, {command}, u"Creating remote directory...",
                       u"Error making directory; Server response: \r");
}

ucstring sendRMDCommand(PluginVariables& session, const std::string& path) {
    const std::string trimmed = withoutTrailingSlash(path);
    std::string dir, name;
    remoteSplitPath(trimmed, dir, name);
    const std::string command =
        sessionIsSFTP(session) ? "rmdir " + sftpArgument(currentDirectory(session), trimmed) : "RMD " + name;
    return runCommands(session, dir, {command}, u"Removing remote directory...",
                       u"Error removing directory; Server response: \r");
}

ucstring sendRNCommand(PluginVariables& session, const std::string& oldPath, const std::string& newName) {
    const std::string trimmed = withoutTrailingSlash(oldPath);
    std::string dir, name;
    remoteSplitPath(trimmed, dir, name);
    stringlist commands;
    if (sessionIsSFTP(session)) {
        const std::string target = !newName.empty() && newName[0] == '/' ? newName : dir + newName;
        const std::string directory = currentDirectory(session);
        commands.push_back("rename " + sftpArgument(directory, trimmed) + " " + sftpArgument(directory, target));
    } else {
        commands = {"RNFR " + name, "RNTO " + newName};
    }
    return runCommands(session, dir, commands, u"Renaming remote file...", u"Error renaming; Server response: \r");
}

ucstring sendQUOTECommand(PluginVariables& session, const std::string& directory, const std::string& command,
                          stringlist* output) {
    if (!output) return u"Output is NULL.";
    const std::string sent = sessionIsSFTP(session) ? sftpCommandInDirectory(directory, command) : command;
    const ucstring error = runCommands(session, directory, {sent}, u"Sending custom command...",
                                       u"Error sending custom command; Server response: \r");
    if (error.empty()) *output = session.serverResponse;
    return error;
}

// ---- Listings ----------------------------------------------------------------------------------

int32_t remoteMachineListMode(PluginVariables& session) {
    if (session.machineListMode != -1) return session.machineListMode;
    session.machineListMode = 0;
    for (const std::string& feature : session.serverFeatures) {
        const std::string name = stringUpperCase(feature.substr(0, feature.find('=')));
        if (name == "MLST" || name == "MLSD") session.machineListMode = 1;
    }
    return session.machineListMode;
}

namespace {

// What servers answer for an item that is not there, or that this user may not enter or read:
// the answer about the item, not a failure of the connection.
bool isRefusal(CURLcode code) {
    return code == CURLE_REMOTE_ACCESS_DENIED || code == CURLE_REMOTE_FILE_NOT_FOUND ||
           code == CURLE_FTP_COULDNT_RETR_FILE;
}

// A path the server sent, each part read as a listing reads names.
ucstring pathFromBytes(std::string_view bytes) {
    ucstring path;
    for (size_t start = 0;;) {
        const size_t slash = bytes.find('/', start);
        path +=
            listNameFromBytes(bytes.substr(start, slash == std::string_view::npos ? slash : slash - start), nullptr);
        if (slash == std::string_view::npos) return path;
        path += u'/';
        start = slash + 1;
    }
}

// The folder a PWD reply names ('257 "path" ...', quotes inside doubled), each part read as a
// listing reads names; empty when no reply says.
ucstring pathFromPWDReply(const stringlist& replies) {
    for (auto line = replies.rbegin(); line != replies.rend(); ++line) {
        if (!stringStartsWith(*line, "257")) continue;
        const size_t open = line->find('"');
        if (open == std::string::npos) continue;
        std::string bytes;
        for (size_t i = open + 1; i < line->size(); ++i) {
            if ((*line)[i] == '"') {
                if (i + 1 < line->size() && (*line)[i + 1] == '"') {
                    bytes += '"';
                    ++i;
                    continue;
                }
                break;
            }
            bytes += (*line)[i];
        }
        return pathFromBytes(bytes);
    }
    return {};
}

// Lists `directory` into the session's listing lines; FTP also asks PWD after the listing when
// `pwd` is given (the folder's own path, links followed, on most servers). libcurl's code.
CURLcode listingRequest(PluginVariables& session, const std::string& directory, ucstring* pwd) {
    const bool machine = remoteMachineListMode(session) == 1;
    session.serverResponse.clear();
    session.transferStreamKind = 2;
    session.listingLines.clear();
    std::string url = sessionURL(session, directory);
    if (url.back() != '/') url += '/';
    updateStatusText(u"Retrieving directory listing...");
    // libcurl lists an SFTP directory by itself; FTP needs the command.
    const char* request = sessionIsSFTP(session) ? nullptr : machine ? "MLSD" : "LIST -a";
    curl_slist* after = pwd && !sessionIsSFTP(session) ? curl_slist_append(nullptr, "PWD") : nullptr;
    curl_easy_setopt(session.curl, CURLOPT_CUSTOMREQUEST, request);
    curl_easy_setopt(session.curl, CURLOPT_POSTQUOTE, after);
    curl_easy_setopt(session.curl, CURLOPT_URL, url.c_str());
    const CURLcode code = sessionPerform(session);
    curl_easy_setopt(session.curl, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
    curl_easy_setopt(session.curl, CURLOPT_POSTQUOTE, static_cast<curl_slist*>(nullptr));
    if (after) curl_slist_free_all(after);
    session.transferStreamKind = 0;
    updateStatusText(u"Idle.");
    if (code != CURLE_OK && debugMode()) DEBUG_OUT("cURL error code: " + std::to_string(static_cast<int>(code)));
    if (code == CURLE_OK && pwd) *pwd = pathFromPWDReply(session.serverResponse);
    return code;
}

// The listing lines into records; names that are not UTF-8 are noted for the way back.
void parseListing(PluginVariables& session, OrbVariableArray& list) {
    if (remoteMachineListMode(session) == 1)
        parseMachineList(session.listingLines, list, &session.remoteRawNames);
    else
        parseStandardList(session.listingLines, list, OrbDateTime(), &session.remoteRawNames);
}

ucstring listingError(const PluginVariables& session, CURLcode code, const ucstring& failurePrefix) {
    if (const ucstring stopped = sessionStoppedText(session, code); !stopped.empty()) return stopped;
    return failurePrefix + serverText(session);
}

// Asks for the file at `path` without fetching it: its size comes along.
CURLcode fileRequest(PluginVariables& session, const std::string& path, ListLinkAnswer& answer) {
    session.serverResponse.clear();
    updateStatusText(u"Retrieving item info...");
    cancelPreviousCURLMulti(session);
    curl_easy_setopt(session.curl, CURLOPT_URL, sessionURL(session, path).c_str());
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(session.curl, CURLOPT_TRANSFERTEXT, 0L);  // servers refuse SIZE in ASCII mode
    const CURLcode code = sessionPerform(session);
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 0L);
    updateStatusText(u"Idle.");
    if (code != CURLE_OK) {
        if (debugMode()) DEBUG_OUT("cURL error code: " + std::to_string(static_cast<int>(code)));
        return code;
    }
    curl_off_t size = -1;
    curl_easy_getinfo(session.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &size);
    answer.size = size;
    return code;
}

}  // namespace

ucstring remoteListDirectory(PluginVariables& session, const std::string& directory, OrbVariableArray& list,
                             const ucstring& failurePrefix) {
    const CURLcode code = listingRequest(session, directory, nullptr);
    if (code != CURLE_OK) return listingError(session, code, failurePrefix);
    parseListing(session, list);
    return {};
}

ucstring remoteFollowLink(PluginVariables& session, const std::string& path, bool listFolder, ListLinkAnswer& answer) {
    answer = ListLinkAnswer();
    // A folder first: over SFTP a folder opens as a file too. FTP tells one by changing into it.
    CURLcode code = CURLE_OK;
    if (listFolder || sessionIsSFTP(session)) {
        code = listingRequest(session, path, listFolder ? &answer.realPath : nullptr);
        if (code == CURLE_OK && listFolder) parseListing(session, answer.items);
    } else {
        std::string folder = path;
        if (folder.empty() || folder.back() != '/') folder += '/';
        code = sessionRunCommands(session, folder, {}, u"Retrieving item info...");
    }
    if (code == CURLE_OK) {
        answer.kind = ListLinkAnswer::kFolder;
        return {};
    }
    if (!isRefusal(code)) return listingError(session, code, u"Error getting item info; Server response: \r");
    code = fileRequest(session, path, answer);
    if (code == CURLE_OK) {
        answer.kind = ListLinkAnswer::kFile;
        return {};
    }
    if (!isRefusal(code)) return listingError(session, code, u"Error getting item info; Server response: \r");
    return {};
}

ucstring remoteFolderRealPath(PluginVariables& session, const std::string& path) {
    if (sessionIsSFTP(session)) return {};  // libcurl's "pwd" only repeats the URL's path
    std::string folder = path;
    if (folder.empty() || folder.back() != '/') folder += '/';
    if (sessionRunCommands(session, folder, {"PWD"}, u"Retrieving item info...") != CURLE_OK) return {};
    return pathFromPWDReply(session.serverResponse);
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

ucstring getRemoteItemInfo(PluginVariables& session, const std::string& path, OrbVariableArray& info) {
    info.clear();
    ucstring error;
    const std::string trimmed = withoutTrailingSlash(path);
    std::string dir, name;
    remoteSplitPath(trimmed, dir, name);
    if (name.empty()) {
        // The root folder: always there, and listed by no parent.
        info.addStringVariable(error, u"Type", u"dir", true);
        info.addIntegerVariable(error, u"Size", 0, true);
        info.addTimestampVariable(error, u"ModDate", listDefaultModDate(), true);
        info.addStringVariable(error, u"Name", u"/", true);
        return {};
    }

    if (remoteMachineListMode(session) == 1) {
        const CURLcode code = sessionRunCommands(session, dir, {"MLST " + name}, u"Retrieving item info...");
        const stringlist& lines = session.serverResponse;
        if (code != CURLE_OK) {
            if (!lines.empty() && stringStartsWith(lines.back(), "550")) {
                info.addIntegerVariable(error, u"Size", -1, true);
                return {};
            }
            return u"Error getting item info; Server response: \r" + serverText(session);
        }
        if (lines.size() < 3) return u"Server did not return a valid response.";
        const std::string factLine = stringTrimLeft(lines[lines.size() - 2]);
        if (factLine.empty()) return u"Server response is blank.";
        listItemInfoFromFactLine(factLine, info);
        return {};
    }

    OrbVariableArray list;
    error = remoteListDirectory(session, dir, list, u"Error getting list for item info; Server response: ");
    if (!error.empty()) return error;
    // Read as the listing reads names, so that a name in other bytes than UTF-8 is found.
    const ucstring wanted = listNameFromBytes(name, nullptr);
    for (const OrbVariable& record : list) {
        if (record.name() != wanted) continue;  // names on the server are case-sensitive
        info = record.arrayValue();
        info.addStringVariableAsIs(error, u"Name", wanted, true);
        return {};
    }
    info.addIntegerVariable(error, u"Size", -1, true);
    return {};
}

namespace {

bool isLinkType(const ucstring& type) { return type == u"symlink" || type == u"unknown"; }

ucstring memberText(const OrbVariableArray& info, const char16_t* name) {
    const OrbVariable* member = nullptr;
    return info.variableWithName(name, member) ? member->stringValue() : ucstring();
}

bool itemMissing(const OrbVariableArray& info) {
    const OrbVariable* size = nullptr;
    return !info.variableWithName(u"Size", size) || size->integerValue() == -1;
}

// A link (or an item whose listing names no type) counts as what it leads to.
ucstring itemExists(PluginVariables& session, const std::string& path, const ucstring& type, bool& exists) {
    exists = false;
    OrbVariableArray info;
    ucstring error = getRemoteItemInfo(session, path, info);
    if (!error.empty() || itemMissing(info)) return error;
    const ucstring itemType = memberText(info, u"Type");
    if (!isLinkType(itemType)) {
        exists = itemType == type;
        return {};
    }
    ListLinkAnswer answer;
    error = remoteFollowLink(session, path, false, answer);
    exists = answer.kind == (type == u"dir" ? ListLinkAnswer::kFolder : ListLinkAnswer::kFile);
    return error;
}

}  // namespace

ucstring remoteFileExists(PluginVariables& session, const std::string& path, bool& exists) {
    return itemExists(session, path, u"file", exists);
}

ucstring remoteDirExists(PluginVariables& session, const std::string& path, bool& exists) {
    return itemExists(session, path, u"dir", exists);
}

ucstring remoteFileOrLinkExists(PluginVariables& session, const std::string& path, bool& exists) {
    exists = false;
    OrbVariableArray info;
    const ucstring error = getRemoteItemInfo(session, path, info);
    if (!error.empty() || itemMissing(info)) return error;
    const ucstring type = memberText(info, u"Type");
    exists = type == u"file" || isLinkType(type);
    return {};
}

// ---- Arguments of the remote functions ----------------------------------------------------------

ucstring remotePathArgument(const PluginVariables& session, const ucstring& path, ucstring& resolved,
                            std::string& wire) {
    const ucstring error = sessionCheckSendable(path);
    if (!error.empty()) return error;
    resolved = remoteResolvePath(session, path);
    wire = sessionWirePath(session, resolved);
    return {};
}

void listRemoteHelper(PluginVariables& session, ListRemoteHelperContext& context) {
    ListTreeServer server;
    server.listDirectory = [&session](const ucstring& directory, OrbVariableArray& list) {
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

ucstring remoteExistingFileInfo(PluginVariables& session, const ucstring& path, OrbVariableArray& info) {
    if (const ucstring unusable = sessionCheckUsable(session); !unusable.empty()) return unusable;
    ucstring resolved;
    std::string wire;
    ucstring error = remotePathArgument(session, path, resolved, wire);
    if (!error.empty()) return error;
    error = getRemoteItemInfo(session, wire, info);
    if (!error.empty()) return u"Could not get file info: " + error;
    const OrbVariable* size = nullptr;
    const OrbVariable* type = nullptr;
    if (info.variableWithName(u"Size", size) && size->integerValue() == -1)
        return u"The specified remote file does not exist: " + resolved;
    if (!info.variableWithName(u"Type", type) || !isLinkType(type->stringValue())) {
        if (type && type->stringValue() != u"file") return u"The specified remote file does not exist: " + resolved;
        return {};
    }
    // A link to a file: the size of the file it leads to, as a download gets it.
    ListLinkAnswer answer;
    error = remoteFollowLink(session, wire, false, answer);
    if (!error.empty()) return u"Could not get file info: " + error;
    if (answer.kind != ListLinkAnswer::kFile) return u"The specified remote file does not exist: " + resolved;
    OrbVariable* sizeMember = nullptr;
    if (answer.size >= 0 && info.mutableVariableWithName(u"Size", sizeMember)) sizeMember->setIntegerValue(answer.size);
    return {};
}
