// A session's remote connection (remote/Connection.h) bound to one account: connecting and
// disconnecting by account name, and what the session adds to the connection (its account, its
// current folder, the bytes of names its listings gave).
#pragma once

#include "Function__Common.h"

#include <string>

class FTPAccount;

// ---- State -------------------------------------------------------------------------------------

// An open connection and an account name.
bool sessionIsConnected(const PluginVariables& session);
// Empty when the session's connection may be used now; else "Not connected.", or the error of a
// connection a queued transfer is using (one libcurl handle is never driven by two threads).
[[nodiscard]] ucstring sessionCheckUsable(const PluginVariables& session);

// ---- Connect and disconnect --------------------------------------------------------------------

// Opens `account`'s connection on a session that has none: the handles, the login, the entry
// folder and FEAT. The session's account name becomes the account's (empty for a connection
// made from a URL). `displayName` is shown in the status window. An error text.
[[nodiscard]] ucstring sessionOpen(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                                   const std::string& knownHostsPath, const ucstring& displayName);
// The body of Volan_Connect: the result text, or an error text (then the session is not connected).
[[nodiscard]] ucstring sessionConnect(PluginVariables& session, const ucstring& accountName, ucstring& result);
[[nodiscard]] ucstring sessionDisconnect(PluginVariables& session, ucstring& result);
