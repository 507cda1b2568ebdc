// A session's remote connection: one libcurl easy handle bound to one account, driven through the
// session's own multi handle. Everything that talks to a server (commands, listings, transfers,
// the queue) prepares the handle, then calls sessionPerform, and builds its URLs with sessionURL.
#pragma once

#include "Function__Common.h"

#include <string>

class FTPAccount;
class OrbFileRef;

// ---- State -------------------------------------------------------------------------------------

// An easy handle and an account name.
bool sessionIsConnected(const PluginVariables& session);
// Empty when the session's connection may be used now; else "Not connected.", or the error of a
// connection a queued transfer is using (one libcurl handle is never driven by two threads).
ucstring sessionCheckUsable(const PluginVariables& session);
// The connected account uses SSH (SFTP) rather than FTP.
bool sessionIsSFTP(const PluginVariables& session);
// Frees the handles and forgets the connection, the listing cache, the queue and the last
// transfer; safe on a session that never connected.
void sessionRelease(PluginVariables& session);

// ---- Options -----------------------------------------------------------------------------------

// Sets the handle's callbacks, URL, login, TLS and SSH settings. `caPath` is the bundle used to
// verify servers; `knownHostsPath` the file SFTP host keys are checked against and added to (empty:
// no check). With `promptForPassword` the user is asked; cancelling returns "User cancelled the
// account password dialog.".
ucstring setCommonCURLOptions(PluginVariables& session, const ucstring& accountName, const std::string& host,
                              int32_t port, int32_t secureType, int32_t timeout, const std::string& userName,
                              const std::string& password, bool promptForPassword, const std::string& caPath,
                              const std::string& knownHostsPath = {});
ucstring setCommonCURLOptions(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                              const std::string& knownHostsPath = {});
// Passive, or active with "-" (any local port), ":start" or ":start-end".
void setDataConnSettings(PluginVariables& session, bool passive, int32_t rangeStart, int32_t rangeEnd);
// The FTPPORT text of active mode for a port range.
std::string dataPortSpec(int32_t rangeStart, int32_t rangeEnd);

// ---- Requests ----------------------------------------------------------------------------------

// What one request may hold in memory: the text of a text download or listing, and the server's
// replies on the control connection. A server that sends more is stopped with an error (in the
// session's requestStopped) instead of growing the process without end.
constexpr size_t kSessionHeldDataLimit = size_t{64} << 20;
constexpr size_t kSessionReplyLimit = size_t{1} << 20;

// Detaches the easy handle from the multi handle when a request left it attached.
void cancelPreviousCURLMulti(PluginVariables& session);
// Runs the request prepared on the session's handle to its end: through the multi handle, waking
// at least every 5 ms (libcurl otherwise sleeps on its own timers between FTP steps), so a cancel
// seen by the progress callback stops it promptly. Returns libcurl's result.
CURLcode sessionPerform(PluginVariables& session);
// Why a request that ended with `code` was stopped by the plug-in or by libcurl's stall limit
// rather than by the server: the text for the user, or empty.
ucstring sessionStoppedText(const PluginVariables& session, CURLcode code);
// Percent-encodes every segment of a "/"-separated path (UTF-8 bytes); the "/" stay.
std::string sessionEncodePath(const std::string& path);
// The bytes of a remote path for the server: UTF-8, but a part that a listing gave in bytes that
// are not UTF-8 goes back as those bytes (the session's remoteRawNames).
std::string sessionWirePath(const PluginVariables& session, const ucstring& path);
// The URL of a remote path: base URL + "/" + the encoded path (SFTP: an absolute path as it is,
// a relative one below "/~/").
std::string sessionURL(const PluginVariables& session, const std::string& path);
// What the server said in the last request, lines joined with carriage returns; when it said
// nothing (SFTP, or no connection at all) libcurl's own error text.
std::string sessionResponseText(const PluginVariables& session);
// Empty, or the error for a name, path or command with a line break in it (which would let a
// second command ride along on the control connection) or a NUL (which would cut it short).
ucstring sessionCheckSendable(const ucstring& text);
ucstring sessionCheckSendable(const std::string& text);

// Runs the control commands on the directory URL with no transfer (FTP: after changing into each
// directory of `directory`; SFTP: libcurl's own quote commands). Status `status` meanwhile.
CURLcode sessionRunCommands(PluginVariables& session, const std::string& directory, const stringlist& commands,
                            const ucstring& status);

// FEAT into the session's features; an error text.
ucstring sendFEATCommand(PluginVariables& session);
// QUIT (FTP only); an error text.
ucstring sendQUITCommand(PluginVariables& session);

// ---- Connect and disconnect --------------------------------------------------------------------

// Opens `account`'s connection on a session that has none: the handles, the login, the entry
// folder and FEAT. The session's account name becomes the account's (empty for a connection
// made from a URL). `displayName` is shown in the status window. An error text.
ucstring sessionOpen(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                     const std::string& knownHostsPath, const ucstring& displayName);
// The body of Volan_Connect: the result text, or an error text (then the session is not connected).
ucstring sessionConnect(PluginVariables& session, const ucstring& accountName, ucstring& result);
ucstring sessionDisconnect(PluginVariables& session, ucstring& result);

// ---- Files in the preferences folder -----------------------------------------------------------

// Writes the certificate bundle "curl-ca-bundle.crt" into `folder`: two header lines, the
// system's trusted roots, and the PEM file named by VOLAN_EXTRA_CA_FILE when set (a private CA
// to trust as well). `path` gets the bundle's native path; an error text.
ucstring exportCURLCAFile(const OrbFileRef& folder, ucstring& path);
// The native path of the SFTP known-hosts file in `folder`.
ucstring sessionKnownHostsPath(const OrbFileRef& folder);
