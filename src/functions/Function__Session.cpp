#include "Function__Session.h"

#include "Function__KnownHosts.h"
#include "Orb_Debug.h"
#include "Plugin_Config.h"
#include "Plugin_Status.h"
#include "Support/FTPAccount.h"
#include "Support/QueueThread.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FolderLock.h"
#include "_Common/FileAndStream/Orb_Stream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"
#include "_CommonEx/GUI/DW_Dialogs.h"

#include <platform/Files.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Sent as the password of an anonymous login that has none.
constexpr const char* kAnonymousPassword = "volan@example.com";
constexpr const char* kSystemCABundle = "/etc/ssl/certs/ca-certificates.crt";

enum HostKeyStatus : int32_t { kHostKeyUnchecked = 0, kHostKeyAccepted = 1, kHostKeyChanged = 2 };

// The callbacks run inside libcurl's C code: nothing may be thrown through it. A failure (memory
// running out, a limit reached) makes the callback answer with the value that stops the request.
template <class F, class R>
R contained(R onFailure, F&& body) {
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

size_t curlReceiveHeaderData(char* data, size_t size, size_t count, void* user) {
    auto* session = static_cast<PluginVariables*>(user);
    const size_t bytes = size * count;
    return contained(size_t{0}, [&] {
        session->replyBytes += bytes;
        if (session->replyBytes > kSessionReplyLimit) {
            session->requestStopped = u"The server's replies ran over 1 MB; the request was stopped.";
            return size_t{0};
        }
        session->serverResponse.push_back(stringTrimRight(std::string(data, bytes)));
        return bytes;
    });
}

size_t curlReceiveData(char* data, size_t size, size_t count, void* user) {
    auto* session = static_cast<PluginVariables*>(user);
    const size_t bytes = size * count;
    return contained(size_t{0}, [&] {
        if (session->transferStreamKind == 1) {
            if (!session->transferStream || !session->transferStream->writeBytes(data, static_cast<int64_t>(bytes)))
                return size_t{0};  // libcurl stops with a write error
            return bytes;
        }
        // Texts and listings are held in memory: up to a limit.
        session->heldBytes += bytes;
        if (session->heldBytes > kSessionHeldDataLimit) {
            session->requestStopped = session->transferStreamKind == 2
                                          ? u"The server's listing ran over 64 MB; it was stopped."
                                          : u"The text ran over 64 MB; the download was stopped.";
            return size_t{0};
        }
        stringlistAppendLines(session->transferStreamKind == 2 ? session->listingLines : session->receivedLines,
                              std::string_view(data, bytes));
        return bytes;
    });
}

size_t curlSendData(char* data, size_t size, size_t count, void* user) {
    auto* session = static_cast<PluginVariables*>(user);
    return contained(size_t{CURL_READFUNC_ABORT}, [&] {
        if (!session->transferStream) return size_t{0};
        int64_t actual = 0;
        if (!session->transferStream->readBytes(data, static_cast<int64_t>(size * count), actual))
            return size_t{CURL_READFUNC_ABORT};
        return static_cast<size_t>(actual);
    });
}

int curlProgress(void* user, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal,
                 curl_off_t uploaded) {
    return contained(1, [&] {
        // A queued transfer also stops when its session or the plug-in is going away.
        if (queueTransferStopRequested(*static_cast<const PluginVariables*>(user))) return 1;
        bool cancel = false;
        if (downloadTotal > 0)
            cancel = updateStatusProgress(downloaded, downloadTotal);
        else if (uploadTotal > 0)
            cancel = updateStatusProgress(uploaded, uploadTotal);
        return cancel ? 1 : 0;
    });
}

// Protocol traces go to the debug log only while a listing runs; the login never does.
int sessionDebugOutput(CURL* handle, curl_infotype type, char* data, size_t size, void* user) {
    auto* session = static_cast<PluginVariables*>(user);
    if (session->transferStreamKind != 2) return 0;
    return contained(0, [&] { return curlDebugOutput(handle, static_cast<int>(type), data, size, user); });
}

// SFTP host keys: a key seen for the first time is trusted and recorded; a key that differs from
// the recorded one refuses the connection.
int sessionHostKeyCheck(CURL* handle, const curl_khkey* known, const curl_khkey* found, curl_khmatch match, void* user);

int checkHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* user) {
    auto* session = static_cast<PluginVariables*>(user);
    switch (match) {
        case CURLKHMATCH_OK: session->hostKeyStatus = kHostKeyAccepted; return CURLKHSTAT_FINE;
        case CURLKHMATCH_MISMATCH:
            // A plain line names the host on port 22 (or was written by an older version): on
            // another port the key to compare with is that port's own, recorded when first seen.
            if (session->port == -1 || session->port == 22) {
                session->hostKeyStatus = kHostKeyChanged;
                DEBUG_OUT("SFTP host " + session->hostName +
                          " offered a key that differs from the known one; refused.");
                return CURLKHSTAT_REJECT;
            }
            [[fallthrough]];
        case CURLKHMATCH_MISSING: {
            // Recorded by us, not by libcurl: see Function__KnownHosts.h.
            std::string error;
            switch (knownHostsRecord(session->knownHostsPath, session->hostName, session->port,
                                     reinterpret_cast<const unsigned char*>(found->key), found->len, error)) {
                case KnownHostRecord::Added:
                    DEBUG_OUT("SFTP host " + session->hostName + " is not in the known hosts file; its key was added.");
                    break;
                case KnownHostRecord::AlreadyKnown: break;  // another process recorded it meanwhile
                case KnownHostRecord::OtherKey:
                    session->hostKeyStatus = kHostKeyChanged;
                    DEBUG_OUT("SFTP host " + session->hostName +
                              " was recorded meanwhile with a key that differs from the one offered; refused.");
                    return CURLKHSTAT_REJECT;
                case KnownHostRecord::Failed:
                    DEBUG_OUT("SFTP host " + session->hostName +
                              " is not in the known hosts file; its key could not be recorded: " + error);
                    break;
            }
            session->hostKeyStatus = kHostKeyAccepted;
            return CURLKHSTAT_FINE;
        }
        default: session->hostKeyStatus = kHostKeyChanged; return CURLKHSTAT_REJECT;
    }
}

int sessionHostKeyCheck(CURL* handle, const curl_khkey* known, const curl_khkey* found, curl_khmatch match,
                        void* user) {
    return contained(static_cast<int>(CURLKHSTAT_REJECT),
                     [&] { return checkHostKey(handle, known, found, match, user); });
}

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// The host as a URL writes it: an IPv6 address (at least two colons; one is a "host:port" typed as
// the host) in brackets, whether it was given with them or not.
std::string urlHost(const std::string& host) {
    if (host.empty() || host.front() == '[' || std::count(host.begin(), host.end(), ':') < 2) return host;
    return "[" + host + "]";
}

void freeCommandList(PluginVariables& session) {
    if (session.commandList) curl_slist_free_all(session.commandList);
    session.commandList = nullptr;
}

void logCurlError(CURLcode code) {
    if (debugMode()) DEBUG_OUT("cURL error code: " + std::to_string(static_cast<int>(code)));
}

// A new multi handle holds no connections: the next request logs in afresh.
void dropConnection(PluginVariables& session) {
    if (CURLM* fresh = curl_multi_init()) {
        curl_multi_cleanup(session.curlMulti);
        session.curlMulti = fresh;
    }
}

// After some failures the FTP control connection is out of step with the server. Over TLS,
// libcurl 7.88 meets a refused STOR (the server resets the data connection during the data
// handshake) by switching to PASV and reading the STOR's refusal as the PASV reply; the real
// PASV reply then answers the next request, which fails. A request stopped midway (stalled, or
// over a limit) leaves a connection nobody can trust either, whatever the protocol.
void dropConnectionIfOutOfStep(PluginVariables& session, CURLcode code) {
    const bool stopped = code == CURLE_OPERATION_TIMEDOUT || !session.requestStopped.empty();
    const bool outOfStep =
        !sessionIsSFTP(session) && (code == CURLE_FTP_WEIRD_PASV_REPLY || code == CURLE_FTP_WEIRD_227_FORMAT ||
                                    code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_SSL_CONNECT_ERROR);
    if (!stopped && !outOfStep) return;
    dropConnection(session);
    DEBUG_OUT("Connection dropped after cURL error " + std::to_string(static_cast<int>(code)) +
              "; the next request connects again.");
}

// "421": the server is closing the connection (it was idle too long, or the server is going down).
bool isClosingReply(const std::string& line) { return line.rfind("421", 0) == 0; }

}  // namespace

// ---- State -------------------------------------------------------------------------------------

bool sessionIsConnected(const PluginVariables& session) { return session.curl && !session.currentAccountName.empty(); }

ucstring sessionCheckUsable(const PluginVariables& session) {
    if (!sessionIsConnected(session)) return u"Not connected.";
    if (queueThreadUsesSession(session)) return queueConnectionBusyError();
    return u"";
}

bool sessionIsSFTP(const PluginVariables& session) { return session.secureType == FTPAccount::kSecureSSH; }

void sessionRelease(PluginVariables& session) {
    cancelPreviousCURLMulti(session);
    freeCommandList(session);
    if (session.curlMulti) curl_multi_cleanup(session.curlMulti);
    if (session.curl) curl_easy_cleanup(session.curl);
    session.curlMulti = nullptr;
    session.curl = nullptr;
    std::memset(session.errorBuffer, 0, sizeof session.errorBuffer);
    session.currentAccountName.clear();
    session.currentRemoteDir.clear();
    session.baseURL.clear();
    session.hostName.clear();
    session.secureType = 0;
    session.serverResponse.clear();
    session.receivedLines.clear();
    session.listingLines.clear();
    session.serverFeatures.clear();
    session.transferStreamKind = 0;
    session.transferStream = nullptr;
    session.hostKeyStatus = kHostKeyUnchecked;
    session.remoteList.clear();
    session.remoteListCurrent = false;
    session.remoteListPosition = 0;
    session.machineListMode = -1;
    session.remoteRawNames.clear();
}

// ---- Options -----------------------------------------------------------------------------------

ucstring setCommonCURLOptions(PluginVariables& session, const ucstring& accountName, const std::string& host,
                              int32_t port, int32_t secureType, int32_t timeout, const std::string& userName,
                              const std::string& password, bool promptForPassword, const std::string& caPath,
                              const std::string& knownHostsPath) {
    CURL* curl = session.curl;
    if (!curl) return u"Could not initialize cURL.";
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, curlReceiveHeaderData);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &session);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, curlReceiveData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &session);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, curlSendData);
    curl_easy_setopt(curl, CURLOPT_READDATA, &session);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, session.errorBuffer);

    curl_easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, curlProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &session);

    session.secureType = secureType;
    session.hostName = host;
    session.port = port;
    session.knownHostsPath = knownHostsPath;
    const std::string address = urlHost(host);
    switch (secureType) {
        case FTPAccount::kSecureAfterConnect:
            session.baseURL = "ftp://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            break;
        case FTPAccount::kSecureBeforeConnect:
            session.baseURL = "ftps://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            break;
        case FTPAccount::kSecureSSH: session.baseURL = "sftp://" + address; break;
        default:
            session.baseURL = "ftp://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
            break;
    }
    curl_easy_setopt(curl, CURLOPT_URL, session.baseURL.c_str());
    if (port != -1) curl_easy_setopt(curl, CURLOPT_PORT, static_cast<long>(port));

    const std::string user = userName.empty() ? std::string("anonymous") : userName;
    std::string pass = password;
    if (promptForPassword) {
        ucstring answer;
        const ucstring prompt = accountName.empty()
                                    ? u"Please enter the password for '" + ucstringFromUTF8String(host) + u"':"
                                    : u"Please enter the password for the '" + accountName + u"' account:";
        if (inputDialog(prompt, answer, true, u"FTP Account Password") != kDialogOK)
            return u"User cancelled the account password dialog.";
        pass = ucstringToUTF8String(answer);
    }
    // Whatever a file, a URL or the user gave: a line break in a login field would be sent as
    // commands of its own.
    for (const auto& [label, value] : {std::pair{u"host name", &host}, std::pair{u"user name", &user},
                                       std::pair{u"password", static_cast<const std::string*>(&pass)}})
        if (!sessionCheckSendable(*value).empty())
            return ucstring(u"The ") + label +
                   u" cannot contain a carriage return, line feed or NUL character; nothing was sent.";
    if (stringNormalize(user) == "ANONYMOUS" && pass.empty()) pass = kAnonymousPassword;
    // libcurl copies the text; the local copy is wiped so the password does not linger.
    std::string userPassword = user + ":" + pass;
    curl_easy_setopt(curl, CURLOPT_USERPWD, userPassword.c_str());
    std::fill(userPassword.begin(), userPassword.end(), '\0');
    std::fill(pass.begin(), pass.end(), '\0');

    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, sessionDebugOutput);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &session);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
    curl_easy_setopt(curl, CURLOPT_TCP_NODELAY, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(timeout));
    // A transfer that moves no byte for as long as the account waits for a server has stalled.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    session.stallSeconds = timeout > 0 ? timeout : 15;
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(session.stallSeconds));

    if (!caPath.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, caPath.c_str());
        // The bundle is the one source of trust. Without the system's default CA folder beside
        // it, libcurl also keeps the parsed bundle for the multi handle instead of reading all of
        // it again for every FTPS data connection.
        curl_easy_setopt(curl, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);

    if (secureType == FTPAccount::kSecureSSH && !knownHostsPath.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, knownHostsPath.c_str());
        curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, sessionHostKeyCheck);
        curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, &session);
    }
    return {};
}

ucstring setCommonCURLOptions(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                              const std::string& knownHostsPath) {
    return setCommonCURLOptions(session, account.name(), account.host(), account.port(), account.secureType(),
                                account.timeout(), account.username(), account.password(), account.promptForPassword(),
                                caPath, knownHostsPath);
}

std::string dataPortSpec(int32_t rangeStart, int32_t rangeEnd) {
    // "-" lets libcurl pick the local address; with a port it must be left empty instead, since
    // libcurl would try to resolve "-" as a host name and fail every active transfer.
    if (rangeStart != 0 && rangeEnd > rangeStart)
        return ":" + std::to_string(rangeStart) + "-" + std::to_string(rangeEnd);
    if (rangeStart != 0 && rangeEnd == rangeStart) return ":" + std::to_string(rangeStart);
    return "-";
}

void setDataConnSettings(PluginVariables& session, bool passive, int32_t rangeStart, int32_t rangeEnd) {
    if (!session.curl) return;
    if (passive) {
        curl_easy_setopt(session.curl, CURLOPT_FTPPORT, static_cast<const char*>(nullptr));
        return;
    }
    const std::string portText = dataPortSpec(rangeStart, rangeEnd);
    curl_easy_setopt(session.curl, CURLOPT_FTPPORT, portText.c_str());
}

// ---- Requests ----------------------------------------------------------------------------------

void cancelPreviousCURLMulti(PluginVariables& session) {
    if (!session.multiAttached) return;
    const CURLMcode code = curl_multi_remove_handle(session.curlMulti, session.curl);
    if (code != CURLM_OK) DEBUG_OUT("curl_multi_remove_handle failed: " + std::to_string(static_cast<int>(code)));
    session.multiAttached = false;
    DEBUG_OUT("Cancel Previous CURL Multi");
}

namespace {

CURLcode performOnce(PluginVariables& session) {
    cancelPreviousCURLMulti(session);
    session.errorBuffer[0] = 0;
    session.hostKeyStatus = kHostKeyUnchecked;
    session.heldBytes = 0;
    session.replyBytes = 0;
    session.requestStopped.clear();
    if (curl_multi_add_handle(session.curlMulti, session.curl) != CURLM_OK) return CURLE_FAILED_INIT;
    session.multiAttached = true;
    CURLcode result = CURLE_OK;
    for (bool done = false; !done;) {
        int running = 0;
        if (curl_multi_perform(session.curlMulti, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(session.curlMulti, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == session.curl) {
                result = message->data.result;
                done = true;
            }
        }
        if (!done && running == 0) break;
        if (!done) curl_multi_poll(session.curlMulti, nullptr, 0, 5, nullptr);
    }
    cancelPreviousCURLMulti(session);
    return result;
}

// A server closes a connection that was idle too long (FTP: "421", then the close). A request
// that found it gone before anything of it was done can simply be made again on a new one.
bool connectionWasGone(PluginVariables& session, CURLcode code, size_t firstReply) {
    if (code == CURLE_OK || code == CURLE_ABORTED_BY_CALLBACK) return false;
    long connects = 0;
    curl_off_t sent = 0, received = 0;
    curl_easy_getinfo(session.curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(session.curl, CURLINFO_SIZE_UPLOAD_T, &sent);
    curl_easy_getinfo(session.curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    if (connects != 0 || sent != 0 || received != 0) return false;  // a new connection, or data moved
    if (session.serverResponse.size() > firstReply) return isClosingReply(session.serverResponse[firstReply]);
    return code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
}

}  // namespace

CURLcode sessionPerform(PluginVariables& session) {
    if (!session.curl || !session.curlMulti) return CURLE_FAILED_INIT;
    const size_t firstReply = session.serverResponse.size();
    CURLcode result = performOnce(session);
    if (connectionWasGone(session, result, firstReply)) {
        DEBUG_OUT("The server had closed the connection; connecting again.");
        dropConnection(session);
        session.serverResponse.resize(firstReply);
        result = performOnce(session);
    }
    dropConnectionIfOutOfStep(session, result);
    return result;
}

ucstring sessionStoppedText(const PluginVariables& session, CURLcode code) {
    if (!session.requestStopped.empty()) return session.requestStopped;
    if (code != CURLE_OPERATION_TIMEDOUT) return {};
    // libcurl reports a server's "421" (closing) as a time-out too; that one speaks for itself.
    if (std::any_of(session.serverResponse.begin(), session.serverResponse.end(), isClosingReply)) return {};
    return u"The server stalled: nothing moved for " + ucstringFromString(std::to_string(session.stallSeconds)) +
           u" seconds, so the transfer was stopped.";
}

std::string sessionEncodePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size() * 3);
    for (unsigned char c : path) {
        if (c == '/' || isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
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

std::string sessionURL(const PluginVariables& session, const std::string& path) {
    // An FTP URL's path is relative to the login folder, so "//" starts an absolute one. An SFTP
    // URL's path is absolute already; "/~/" starts one relative to the home folder.
    if (sessionIsSFTP(session) && !path.empty())
        return session.baseURL + (path[0] == '/' ? "" : "/~/") + sessionEncodePath(path);
    return session.baseURL + "/" + sessionEncodePath(path);
}

std::string sessionResponseText(const PluginVariables& session) {
    if (!stringlistIsBlank(session.serverResponse)) return stringlistJoinWithLineEnding(session.serverResponse, 1);
    return session.errorBuffer;
}

ucstring sessionCheckSendable(const ucstring& text) {
    if (text.find_first_of(u"\r\n") != ucstring::npos)
        return u"Names and commands cannot contain carriage returns or line feeds.";
    if (text.find(u'\0') != ucstring::npos) return u"Names and commands cannot contain NUL characters.";
    return {};
}

ucstring sessionCheckSendable(const std::string& text) {
    return sessionCheckSendable(ucstring(text.begin(), text.end()));  // only the control bytes matter
}

CURLcode sessionRunCommands(PluginVariables& session, const std::string& directory, const stringlist& commands,
                            const ucstring& status) {
    freeCommandList(session);
    // Callers check their arguments; what would still put a second command on the wire stops here.
    ucstring refused = sessionCheckSendable(directory);
    for (const std::string& command : commands)
        if (refused.empty()) refused = sessionCheckSendable(command);
    if (!refused.empty()) {
        session.serverResponse.assign(1, ucstringToUTF8String(refused));
        return CURLE_BAD_FUNCTION_ARGUMENT;
    }
    for (const std::string& command : commands) {
        curl_slist* grown = curl_slist_append(session.commandList, command.c_str());
        if (!grown) {
            freeCommandList(session);
            return CURLE_OUT_OF_MEMORY;
        }
        session.commandList = grown;
    }
    session.serverResponse.clear();
    std::string url = sessionURL(session, directory);
    if (!directory.empty() && url.back() != '/') url += '/';
    updateStatusText(status);
    // FTP sends them after changing into the URL's directory. libcurl's SFTP commands run before
    // the (empty) transfer instead, while the URL's path is still known to "pwd".
    const CURLoption when = sessionIsSFTP(session) ? CURLOPT_QUOTE : CURLOPT_POSTQUOTE;
    curl_easy_setopt(session.curl, when, session.commandList);
    curl_easy_setopt(session.curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = sessionPerform(session);
    curl_easy_setopt(session.curl, when, static_cast<curl_slist*>(nullptr));
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 0L);
    updateStatusText(u"Idle.");
    freeCommandList(session);
    if (code != CURLE_OK) logCurlError(code);
    return code;
}

ucstring sendFEATCommand(PluginVariables& session) {
    session.serverFeatures.clear();
    if (sessionRunCommands(session, {}, {"FEAT"}, u"Retrieving features...") != CURLE_OK)
        return u"Error getting features; Server response: " + ucstringFromUTF8String(sessionResponseText(session));
    const stringlist& lines = session.serverResponse;
    if (lines.size() > 2) {
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            std::string feature = stringTrim(lines[i]);
            const size_t blank = feature.find(' ');
            if (blank == std::string::npos)
                feature += '=';
            else
                feature[blank] = '=';
            session.serverFeatures.push_back(feature);
        }
    }
    return {};
}

ucstring sendQUITCommand(PluginVariables& session) {
    // libcurl closes an SFTP session itself; FTP says goodbye with QUIT.
    if (sessionIsSFTP(session)) return {};
    if (sessionRunCommands(session, {}, {"QUIT"}, u"Disconnecting...") == CURLE_OK) return {};
    return u"Error disonnecting; Server response: " + ucstringFromUTF8String(sessionResponseText(session));
}

// ---- Connect and disconnect --------------------------------------------------------------------

ucstring sessionOpen(PluginVariables& session, const FTPAccount& account, const std::string& caPath,
                     const std::string& knownHostsPath, const ucstring& displayName) {
    session.curl = curl_easy_init();
    if (!session.curl) return u"Could not initialize cURL.";
    session.curlMulti = curl_multi_init();
    if (!session.curlMulti) {
        sessionRelease(session);
        return u"Could not initialize cURL Multi.";
    }
    ucstring error = setCommonCURLOptions(session, account, caPath, knownHostsPath);
    if (!error.empty()) {
        sessionRelease(session);
        return error;
    }
    setDataConnSettings(session, account.passive(), account.dataPortRangeStart(), account.dataPortRangeEnd());

    updateStatusText(u"Connecting to \"" + displayName + u"\"...");
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = sessionPerform(session);
    curl_easy_setopt(session.curl, CURLOPT_NOBODY, 0L);
    updateStatusText(u"Idle.");
    if (code != CURLE_OK) {
        logCurlError(code);
        std::string why = session.errorBuffer[0] ? std::string(session.errorBuffer) : curl_easy_strerror(code);
        // libcurl offers the server only the key type recorded for the host: a server that has
        // none of that type fails the key exchange, which is a changed key too.
        const bool otherType = session.secureType == FTPAccount::kSecureSSH &&
                               why.find("Unable to exchange encryption keys") != std::string::npos &&
                               !knownHostsPath.empty() &&
                               knownHostsNamesHost(knownHostsPath, account.host(), account.port());
        if (session.hostKeyStatus == kHostKeyChanged || otherType)
            why = "The SSH host key of " + account.host() +
                  " does not match the one recorded for it in the known hosts file " + knownHostsPath +
                  "; the connection was refused. If the server's key was changed on purpose, remove the host's "
                  "line from that file.";
        sessionRelease(session);
        return u"Error connecting to FTP Server: " + ucstringFromUTF8String(why);
    }

    const char* entryPath = nullptr;
    curl_easy_getinfo(session.curl, CURLINFO_FTP_ENTRY_PATH, &entryPath);
    const ucstring remoteDir = entryPath && *entryPath ? ucstringFromUTF8CStr(entryPath) : ucstring(u"/");

    if (account.secureType() != FTPAccount::kSecureSSH) {
        error = sendFEATCommand(session);
        if (!error.empty()) DEBUG_OUT(u"FEAT failed: " + error);
    }

    session.currentAccountName = account.name();
    queueClear(session);
    session.lastTransfer.clear(true);
    session.currentRemoteDir = remoteDir;
    session.remoteList.clear();
    session.remoteListCurrent = false;
    session.remoteListPosition = 0;
    session.machineListMode = -1;
    updateStatusTitle(u"Volan Pro - Connected to \"" + displayName + u"\"");
    return {};
}

ucstring sessionConnect(PluginVariables& session, const ucstring& accountName, ucstring& result) {
    DEBUG_SCOPE("sessionConnect");
    const ucstring name = stringTrim(accountName);
    // Connecting starts the session's queue afresh: a queued transfer running on the connection is
    // stopped first, as Disconnect does.
    if (!queueReleaseSession(session, 10000)) return queueConnectionBusyError();
    queueClear(session);
    if (session.curl)
        return u"Already connected to account '" + session.currentAccountName +
               u"'; Disconnect from that account before attempting a new connection.";
    if (name.empty()) return u"You must specify the account to connect to: ('AccountName' parameter).";

    FTPAccount account;
    std::string caPath, knownHostsPath;
    {
        PluginConfigLock lock(10000);
        if (!lock.held()) return u"Could not get Plugin Config Lock: " + lock.error();
        FTPAccounts* accounts = nullptr;
        ucstring error = lock.get(accounts);
        if (!error.empty()) return error;
        caPath = ucstringToUTF8String(lock.state()->caPath);
        knownHostsPath = ucstringToUTF8String(lock.state()->knownHostsPath);
        const FTPAccount* found = accounts->findAccount(name);
        if (!found) return u"Could not find account named '" + name + u"'.";
        account = *found;
    }

    const ucstring error = sessionOpen(session, account, caPath, knownHostsPath, account.name());
    if (!error.empty()) return error;
    result = u"Connected to Account: " + account.name() + u" (" + ucstringFromUTF8String(account.host()) + u")";
    return {};
}

ucstring sessionDisconnect(PluginVariables& session, ucstring& result) {
    DEBUG_SCOPE("sessionDisconnect");
    // A queued transfer on this connection is stopped first: the handle must be free.
    if (!queueReleaseSession(session, 10000)) return queueConnectionBusyError();
    queueClear(session);
    const ucstring name = sessionIsConnected(session) ? session.currentAccountName : ucstring();
    if (!name.empty()) {
        const ucstring error = sendQUITCommand(session);
        if (!error.empty()) DEBUG_OUT(u"Error sending QUIT command: " + error);
    }
    sessionRelease(session);
    session.lastTransfer.clear(true);
    {
        PluginConfigLock lock(250);
        StatusWindow* status = nullptr;
        if (lock.held() && lock.get(status).empty()) {
            status->disableCancelButton(false);
            status->setCustomTitle(u"");
        }
    }
    result = name.empty() ? ucstring(u"Disconnected.") : u"Disconnected from Account " + name + u".";
    return {};
}

// ---- Files in the preferences folder -----------------------------------------------------------

ucstring exportCURLCAFile(const OrbFileRef& folder, ucstring& path) {
    path.clear();
    const ucstring folderPath = folder.pathAsString(kPathStyleWindows);
    std::string nativeFolder, why;
    OrbFileRef checked(folder);
    if (!checked.defined() || !checked.dirExists() || !platform::fileNativePath(folderPath, nativeFolder, why))
        return u"Path does not exist: " + folderPath;
    std::ifstream system(kSystemCABundle, std::ios::binary);
    if (!system) return u"Could not read the system certificate bundle " + ucstringFromUTF8CStr(kSystemCABundle);
    std::ostringstream bundle;
    bundle << "## Installed by Volan Pro.\n## Any changes made to this file, will be overwritten on startup.\n";
    bundle << system.rdbuf();
    if (const char* extra = std::getenv("VOLAN_EXTRA_CA_FILE"); extra && *extra) {
        std::ifstream in(extra, std::ios::binary);
        if (!in) return u"Could not read VOLAN_EXTRA_CA_FILE: " + ucstringFromUTF8CStr(extra);
        bundle << "\n" << in.rdbuf();
    }
    const std::string file = nativeFolder + "/curl-ca-bundle.crt";
    // Other processes read the bundle whenever they verify a server: it is replaced whole, under
    // the folder's lock, and only when its contents change.
    const OrbFolderLock lock(folder);
    if (!lock.held()) return lock.error();
    const std::string contents = bundle.str();
    std::ifstream current(file, std::ios::binary);
    std::ostringstream currentContents;
    currentContents << current.rdbuf();
    OrbFileRef target(folder);
    target.addItem(u"curl-ca-bundle.crt");
    std::string error;
    if (currentContents.str() != contents &&
        !platform::fileWriteReplacing(target.pathAsString(kPathStyleWindows), contents, false, error))
        return u"Could not write " + ucstringFromUTF8String(file) + u": " + ucstringFromUTF8String(error);
    path = ucstringFromUTF8String(file);
    return {};
}

ucstring sessionKnownHostsPath(const OrbFileRef& folder) {
    std::string nativeFolder, why;
    if (!platform::fileNativePath(folder.pathAsString(kPathStyleWindows), nativeFolder, why)) return {};
    return ucstringFromUTF8String(nativeFolder + "/known_hosts");
}
