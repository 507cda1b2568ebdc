// Work on the server's file system over a session's connection: the control-command runners, the
// listing of a remote directory into items (with the session's listing cache), and the
// lookup of one remote item. Paths are UTF-8 and "/"-separated. The connection chooses the
// commands of its protocol (remote/Connection.h), so callers see the same results whatever it is.
#pragma once

#include "Function__Common.h"

#include <string>
#include <vector>

// ---- Paths -------------------------------------------------------------------------------------

// A path argument against the current remote directory: a full path ("/..." or "\...") as given,
// else the directory + "/" + path (no "." or ".." folding; the server reads those).
ucstring remoteResolvePath(const PluginVariables& session, const ucstring& path);

// ---- Command runners (an error text; empty on success) ------------------------------------------

ucstring sendDELECommand(PluginVariables& session, const std::string& path);
ucstring sendMKDCommand(PluginVariables& session, const std::string& path);
ucstring sendRMDCommand(PluginVariables& session, const std::string& path);
// Renames the item at `oldPath` to `newName` (relative to the item's directory, or a full path).
ucstring sendRNCommand(PluginVariables& session, const std::string& oldPath, const std::string& newName);
// Sends `command` as given while in `directory`; the server's reply lines go to `output`.
ucstring sendQUOTECommand(PluginVariables& session, const std::string& directory, const std::string& command,
                          stringlist* output);

// ---- Listings ----------------------------------------------------------------------------------

// Chooses MLSD/MLST (1) or LIST (0) once per connection, from the server's features.
int32_t remoteMachineListMode(PluginVariables& session);
// Lists `directory` into the session's remote list (it does not mark the list current).
ucstring sendLISTCommand(PluginVariables& session, const std::string& directory);
// Lists `directory` into `list`; `failurePrefix` starts the error text.
ucstring remoteListDirectory(PluginVariables& session, const std::string& directory, std::vector<RemoteItem>& list,
                             const ucstring& failurePrefix = u"Error getting list; Server response: ");
// Lists the current remote directory unless the cache already holds it.
ucstring maybeGetRemoteFileList(PluginVariables& session);
// Forgets the cached listing (contents or current directory changed); optionally the position.
void remoteInvalidateList(PluginVariables& session, bool resetPosition);

// ---- One item ----------------------------------------------------------------------------------

// The item at `path`, named by the last part of the path ("/" for the root); its size is -1 when
// there is no such item.
ucstring getRemoteItemInfo(PluginVariables& session, const std::string& path, RemoteItem& info);
ucstring remoteFileExists(PluginVariables& session, const std::string& path, bool& exists);
// The item information of an existing remote file named by a function's argument (connection
// checked, path resolved); "The specified remote file does not exist: ..." when it is not a file.
ucstring remoteExistingFileInfo(PluginVariables& session, const ucstring& path, RemoteItem& info);
ucstring remoteDirExists(PluginVariables& session, const std::string& path, bool& exists);
// A file, or a link whatever it leads to (even nowhere): an item that deleting removes as itself.
ucstring remoteFileOrLinkExists(PluginVariables& session, const std::string& path, bool& exists);

// ---- Links -------------------------------------------------------------------------------------

struct ListLinkAnswer;
// Where the link (or item whose listing names no type) at `path` leads: a folder (entered, or
// with `listFolder` listed, and then FTP also asks where the server keeps it), else a file (asked
// for without fetching it: its size comes along), else nowhere. An error text only when
// the server could not be asked.
ucstring remoteFollowLink(PluginVariables& session, const std::string& path, bool listFolder, ListLinkAnswer& answer);
// The folder's own path on the server with links followed (FTP's PWD in it); empty when the
// server does not say.
ucstring remoteFolderRealPath(PluginVariables& session, const std::string& path);

// ---- Arguments of the remote functions ----------------------------------------------------------

// Refuses a path with a line break, then resolves it: `resolved` for messages, `wire` (UTF-8) for
// the server.
ucstring remotePathArgument(const PluginVariables& session, const ucstring& path, ucstring& resolved,
                            std::string& wire);

struct ListRemoteHelperContext;
// Lists context.directory on the session's server and its subdirectories within the depth limit
// (for directory downloads); the session's cached listing is left alone.
void listRemoteHelper(PluginVariables& session, ListRemoteHelperContext& context);
