#include "Connection_Private.h"

#include "KnownHosts.h"
#include "ListFormats.h"
#include "Orb_Debug.h"
#include "RemoteProtocol.h"
#include "Trace.h"
#include "_Common/FileAndStream/Orb_Stream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

// Sent as the password of an anonymous login that has none.
constexpr const char* kAnonymousPassword = "volan@example.com";

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

// The host as a URL writes it: an IPv6 address (at least two colons; one is a "host:port" typed as
// the host) in brackets, whether it was given with them or not.
std::string urlHost(const std::string& host) {
    if (host.empty() || host.front() == '[' || std::count(host.begin(), host.end(), ':') < 2) return host;
    return "[" + host + "]";
}

// "421": the server is closing the connection (it was idle too long, or the server is going down).
bool isClosingReply(const std::string& line) { return line.rfind("421", 0) == 0; }

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

}  // namespace

namespace {

size_t receiveHeaderData(char* data, size_t size, size_t count, void* user) {
    auto* s = static_cast<ConnectionState*>(user);
    const size_t bytes = size * count;
    return contained(size_t{0}, [&] {
        s->replyBytes += bytes;
        if (s->replyBytes > kRemoteReplyLimit) {
            s->requestStopped = u"The server's replies ran over 1 MB; the request was stopped.";
            return size_t{0};
        }
        s->serverResponse.push_back(stringTrimRight(std::string(data, bytes)));
        return bytes;
    });
}

size_t receiveData(char* data, size_t size, size_t count, void* user) {
    auto* s = static_cast<ConnectionState*>(user);
    const size_t bytes = size * count;
    return contained(size_t{0}, [&] {
        if (s->sink == Sink::kStream) {
            if (!s->stream || !s->stream->writeBytes(data, static_cast<int64_t>(bytes)))
                return size_t{0};  // libcurl stops with a write error
            return bytes;
        }
        // Texts and listings are held in memory: up to a limit.
        s->heldBytes += bytes;
        if (s->heldBytes > kRemoteHeldDataLimit) {
            s->requestStopped = s->sink == Sink::kListing ? u"The server's listing ran over 64 MB; it was stopped."
                                                          : u"The text ran over 64 MB; the download was stopped.";
            return size_t{0};
        }
        stringlistAppendLines(s->sink == Sink::kListing ? s->listingLines : s->receivedLines,
                              std::string_view(data, bytes));
        return bytes;
    });
}

size_t sendData(char* data, size_t size, size_t count, void* user) {
    auto* s = static_cast<ConnectionState*>(user);
    return contained(size_t{CURL_READFUNC_ABORT}, [&] {
        if (!s->stream) return size_t{0};
        int64_t actual = 0;
        if (!s->stream->readBytes(data, static_cast<int64_t>(size * count), actual)) return size_t{CURL_READFUNC_ABORT};
        return static_cast<size_t>(actual);
    });
}

int progress(void* user, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t uploadTotal, curl_off_t uploaded) {
    auto* s = static_cast<ConnectionState*>(user);
    if (downloadTotal <= 0 && s->listedTotal > 0) downloadTotal = std::max<curl_off_t>(s->listedTotal, downloaded);
    return contained(1, [&] {
        if (s->hooks.stopRequested && s->hooks.stopRequested()) return 1;
        // The direction that moves: a download's total, else an upload's (or the bytes alone).
        const bool down = downloadTotal > 0 || (uploadTotal <= 0 && downloaded > 0);
        const int64_t done = down ? downloaded : uploaded;
        const int64_t total = down ? downloadTotal : uploadTotal;
        if (ucstring text; s->meter.update(done, total, transferClockSeconds(), text)) s->status(text);
        if (!s->hooks.progress) return 0;
        bool cancel = false;
        if (downloadTotal > 0)
            cancel = s->hooks.progress(downloaded, downloadTotal);
        else if (uploadTotal > 0)
            cancel = s->hooks.progress(uploaded, uploadTotal);
        return cancel ? 1 : 0;
    });
}

// Protocol traces go to the debug log only while a listing runs; the login never does. A key login
// keeps libcurl's notes instead, to tell why the server refused it.
int traceOutput(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* s = static_cast<ConnectionState*>(user);
    if (s->loggingIn && type == CURLINFO_TEXT && s->loginNotes.size() < kRemoteReplyLimit)
        return contained(0, [&] {
            s->loginNotes.append(data, size);
            return 0;
        });
    if (s->sink != Sink::kListing) return 0;
    return contained(0, [&] {
        remoteTraceRecord(static_cast<int>(type), data, size);
        return 0;
    });
}

// SFTP host keys: a key seen for the first time is trusted and recorded; a key that differs from
// the recorded one refuses the connection.
int checkHostKey(const curl_khkey* found, curl_khmatch match, ConnectionState& s) {
    switch (match) {
        case CURLKHMATCH_OK: s.hostKeyStatus = HostKeyStatus::kAccepted; return CURLKHSTAT_FINE;
        case CURLKHMATCH_MISMATCH:
            // A plain line names the host on port 22 (or was written by an older version): on
            // another port the key to compare with is that port's own, recorded when first seen.
            if (s.port == -1 || s.port == 22) {
                s.hostKeyStatus = HostKeyStatus::kChanged;
                DEBUG_OUT("SFTP host " + s.hostName + " offered a key that differs from the known one; refused.");
                return CURLKHSTAT_REJECT;
            }
            [[fallthrough]];
        case CURLKHMATCH_MISSING: {
            // Recorded by us, not by libcurl: see KnownHosts.h.
            std::string error;
            switch (knownHostsRecord(s.knownHostsPath, s.hostName, s.port,
                                     reinterpret_cast<const unsigned char*>(found->key), found->len, error)) {
                case KnownHostRecord::Added:
                    DEBUG_OUT("SFTP host " + s.hostName + " is not in the known hosts file; its key was added.");
                    break;
                case KnownHostRecord::AlreadyKnown: break;  // another process recorded it meanwhile
                case KnownHostRecord::OtherKey:
                    s.hostKeyStatus = HostKeyStatus::kChanged;
                    DEBUG_OUT("SFTP host " + s.hostName +
                              " was recorded meanwhile with a key that differs from the one offered; refused.");
                    return CURLKHSTAT_REJECT;
                case KnownHostRecord::Failed:
                    DEBUG_OUT("SFTP host " + s.hostName +
                              " is not in the known hosts file; its key could not be recorded: " + error);
                    break;
            }
            s.hostKeyStatus = HostKeyStatus::kAccepted;
            return CURLKHSTAT_FINE;
        }
        default: s.hostKeyStatus = HostKeyStatus::kChanged; return CURLKHSTAT_REJECT;
    }
}

int hostKeyCheck(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* user) {
    return contained(static_cast<int>(CURLKHSTAT_REJECT),
                     [&] { return checkHostKey(found, match, *static_cast<ConnectionState*>(user)); });
}

}  // namespace

void ConnectionState::release() {
    detach();
    freeCommandList();
    if (multi) curl_multi_cleanup(multi);
    if (curl) curl_easy_cleanup(curl);
    multi = nullptr;
    curl = nullptr;
}

ucstring ConnectionState::setOptions(const ConnectionSettings& settings) {
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, receiveHeaderData);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receiveData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, sendData);
    curl_easy_setopt(curl, CURLOPT_READDATA, this);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    curl_easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);

    const std::string& host = settings.host;
    security = settings.security;
    protocol = makeRemoteProtocol(security);
    hostName = host;
    port = settings.port;
    knownHostsPath = settings.knownHostsPath;
    const std::string address = urlHost(host);
    // FTPS data connections resume the control connection's TLS session, and servers such as
    // vsftpd refuse them otherwise ("522 SSL connection failed: session reuse required"). TLS 1.3
    // sessions are single-use tickets that libcurl only learns by reading a connection; after an
    // upload, which never reads its data connection, it offers a spent ticket. TLS 1.2 sessions
    // can be resumed again and again, so FTPS stops at 1.2.
    if (security == kRemoteFTPAuthTLS || security == kRemoteFTPImplicitTLS)
        curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_MAX_TLSv1_2));
    switch (security) {
        case kRemoteFTPAuthTLS:
            baseURL = "ftp://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            break;
        case kRemoteFTPImplicitTLS:
            baseURL = "ftps://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
            break;
        case kRemoteSFTP: baseURL = "sftp://" + address; break;
        default:
            baseURL = "ftp://" + address;
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_NONE));
            break;
    }
    curl_easy_setopt(curl, CURLOPT_URL, baseURL.c_str());
    if (port != -1) curl_easy_setopt(curl, CURLOPT_PORT, static_cast<long>(port));

    const std::string user = settings.userName.empty() ? std::string("anonymous") : settings.userName;
    std::string pass = settings.password;
    std::string passphrase = settings.keyPassphrase;
    // With a key file the prompt asks for its passphrase instead, when the key has one.
    const bool withKey = security == kRemoteSFTP && !settings.privateKeyFile.empty();
    const auto ask = [&](const ucstring& what, std::string& into) {
        ucstring answer;
        const ucstring prompt =
            settings.accountName.empty()
                ? u"Please enter the " + what + u" for '" + ucstringFromUTF8String(host) + u"':"
                : u"Please enter the " + what + u" for the '" + settings.accountName + u"' account:";
        if (!hooks.askPassword || !hooks.askPassword(prompt, answer)) return false;
        into = ucstringToUTF8String(answer);
        return true;
    };
    if (settings.promptForPassword && !withKey && !ask(u"password", pass))
        return u"User cancelled the account password dialog.";
    if (settings.promptForPassword && withKey && passphrase.empty() && sshKeyFileEncrypted(settings.privateKeyFile) &&
        !ask(u"key passphrase", passphrase))
        return u"User cancelled the key passphrase dialog.";
    // Whatever a file, a URL or the user gave: a line break in a login field would be sent as
    // commands of its own.
    for (const auto& [label, value] : {std::pair{u"host name", &host}, std::pair{u"user name", &user},
                                       std::pair{u"password", static_cast<const std::string*>(&pass)}})
        if (!remoteCheckSendable(*value).empty())
            return ucstring(u"The ") + label +
                   u" cannot contain a carriage return, line feed or NUL character; nothing was sent.";
    if (stringNormalize(user) == "ANONYMOUS" && pass.empty()) pass = kAnonymousPassword;
    this->settings = settings;
    this->settings.password = pass;
    this->settings.keyPassphrase = passphrase;
    sshMethods = security == kRemoteSFTP ? sshLoginMethods(settings.useAgent, settings.privateKeyFile, pass)
                                         : std::vector<SSHLoginMethod>();
    // libcurl copies the text; the local copy is wiped so the password does not linger.
    std::string userPassword = user + ":" + pass;
    curl_easy_setopt(curl, CURLOPT_USERPWD, userPassword.c_str());
    std::fill(userPassword.begin(), userPassword.end(), '\0');
    std::fill(pass.begin(), pass.end(), '\0');

    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, traceOutput);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

    curl_easy_setopt(curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
    curl_easy_setopt(curl, CURLOPT_TCP_NODELAY, 1L);
    // Probes on an idle control connection keep a NAT or firewall from dropping it during a long
    // transfer, and find a peer that is gone.
    curl_easy_setopt(curl, CURLOPT_TCP_KEEPALIVE, 1L);
    curl_easy_setopt(curl, CURLOPT_TCP_KEEPIDLE, 60L);
    curl_easy_setopt(curl, CURLOPT_TCP_KEEPINTVL, 30L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings.timeout));
    // A transfer that moves no byte for as long as the account waits for a server has stalled.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    stallSeconds = settings.timeout > 0 ? settings.timeout : 15;
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(stallSeconds));

    if (!settings.caPath.empty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, settings.caPath.c_str());
        // The bundle is the one source of trust. Without the system's default CA folder beside
        // it, libcurl also keeps the parsed bundle for the multi handle instead of reading all of
        // it again for every FTPS data connection.
        curl_easy_setopt(curl, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
    }
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);

    if (security == kRemoteSFTP && !knownHostsPath.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS, knownHostsPath.c_str());
        curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, hostKeyCheck);
        curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, this);
    }
    if (withKey) {
        curl_easy_setopt(curl, CURLOPT_SSH_PRIVATE_KEYFILE, settings.privateKeyFile.c_str());
        // Without a public key file libssh2 derives the public key from the private one.
        if (!settings.publicKeyFile.empty())
            curl_easy_setopt(curl, CURLOPT_SSH_PUBLIC_KEYFILE, settings.publicKeyFile.c_str());
        if (!passphrase.empty()) curl_easy_setopt(curl, CURLOPT_KEYPASSWD, passphrase.c_str());
    }
    std::fill(passphrase.begin(), passphrase.end(), '\0');
    return {};
}

// ---- Performing a request ----------------------------------------------------------------------

// Detaches the easy handle from the multi handle when a request left it attached.
void ConnectionState::detach() {
    if (!multiAttached) return;
    const CURLMcode code = curl_multi_remove_handle(multi, curl);
    if (code != CURLM_OK) DEBUG_OUT("curl_multi_remove_handle failed: " + std::to_string(static_cast<int>(code)));
    multiAttached = false;
    DEBUG_OUT("Cancel Previous CURL Multi");
}

// Runs the prepared request to its end through the multi handle, waking at least every 5 ms
// (libcurl otherwise sleeps on its own timers between FTP steps), so a cancel seen by the progress
// callback stops it promptly. After a reply libcurl 7.88 may take its next step without watching
// a socket or setting a timer for it (FTP: it connects the data connection after EPSV only on a
// call about a millisecond later), so for a few milliseconds after each reply the loop does not
// sleep at all: otherwise every file of a folder would wait out a whole sleep.
CURLcode ConnectionState::performOnce() {
    using Clock = std::chrono::steady_clock;
    constexpr auto kBusyAfterReply = std::chrono::milliseconds(3);
    detach();
    errorBuffer[0] = 0;
    hostKeyStatus = HostKeyStatus::kUnchecked;
    heldBytes = 0;
    replyBytes = 0;
    requestStopped.clear();
    if (curl_multi_add_handle(multi, curl) != CURLM_OK) return CURLE_FAILED_INIT;
    multiAttached = true;
    CURLcode code = CURLE_OK;
    size_t repliesSeen = serverResponse.size();
    Clock::time_point lastReply = Clock::now();
    for (bool done = false; !done;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl) {
                code = message->data.result;
                done = true;
            }
        }
        if (done) break;
        if (running == 0) break;
        if (serverResponse.size() != repliesSeen) {
            repliesSeen = serverResponse.size();
            lastReply = Clock::now();
            continue;
        }
        const bool justReplied = Clock::now() - lastReply < kBusyAfterReply;
        curl_multi_poll(multi, nullptr, 0, justReplied ? 0 : 5, nullptr);
    }
    detach();
    return code;
}

// A server closes a connection that was idle too long (FTP: "421", then the close). A request
// that found it gone before anything of it was done can simply be made again on a new one.
bool ConnectionState::connectionWasGone(CURLcode code, size_t firstReply) const {
    if (code == CURLE_OK || code == CURLE_ABORTED_BY_CALLBACK) return false;
    long connects = 0;
    curl_off_t sent = 0, received = 0;
    curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(curl, CURLINFO_SIZE_UPLOAD_T, &sent);
    curl_easy_getinfo(curl, CURLINFO_SIZE_DOWNLOAD_T, &received);
    if (connects != 0 || sent != 0 || received != 0) return false;  // a new connection, or data moved
    if (serverResponse.size() > firstReply) return isClosingReply(serverResponse[firstReply]);
    return code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR || code == CURLE_GOT_NOTHING;
}

// A new multi handle holds no connections: the next request logs in afresh.
void ConnectionState::dropConnection() {
    if (CURLM* fresh = curl_multi_init()) {
        curl_multi_cleanup(multi);
        multi = fresh;
    }
}

// After some failures the FTP control connection is out of step with the server. Over TLS,
// libcurl 7.88 meets a refused STOR (the server resets the data connection during the data
// handshake) by switching to PASV and reading the STOR's refusal as the PASV reply; the real
// PASV reply then answers the next request, which fails. A request stopped midway (stalled, or
// over a limit) leaves a connection nobody can trust either, whatever the protocol.
void ConnectionState::dropConnectionIfOutOfStep(CURLcode code) {
    const bool stopped = code == CURLE_OPERATION_TIMEDOUT || !requestStopped.empty();
    const bool outOfStep =
        controlConnection() && (code == CURLE_FTP_WEIRD_PASV_REPLY || code == CURLE_FTP_WEIRD_227_FORMAT ||
                                code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_SSL_CONNECT_ERROR);
    if (!stopped && !outOfStep) return;
    dropConnection();
    DEBUG_OUT("Connection dropped after cURL error " + std::to_string(static_cast<int>(code)) +
              "; the next request connects again.");
}

CURLcode ConnectionState::perform() {
    if (!curl || !multi) return CURLE_FAILED_INIT;
    const size_t firstReply = serverResponse.size();
    CURLcode code = performOnce();
    if (connectionWasGone(code, firstReply)) {
        DEBUG_OUT("The server had closed the connection; connecting again.");
        dropConnection();
        serverResponse.resize(firstReply);
        code = performOnce();
    }
    dropConnectionIfOutOfStep(code);
    return code;
}

// Each way is a login of its own: libcurl tries the ways it is given in its own order, and tells
// only that all of them failed. A refusal moves on to the next way; any other failure (no server,
// a changed host key) ends the login as it is. What succeeded stays set, so a connection made again
// later logs in the same way.
CURLcode ConnectionState::performKeyLogin(ucstring& refused) {
    ucstringlist reasons;
    CURLcode code = CURLE_LOGIN_DENIED;
    for (const SSHLoginMethod method : sshMethods) {
        if (method == SSHLoginMethod::kAgent && !sshAgentMissing().empty()) {
            reasons.push_back(sshAgentMissing());
            continue;
        }
        curl_easy_setopt(curl, CURLOPT_SSH_AUTH_TYPES, sshAuthTypes(method));
        loginNotes.clear();
        loggingIn = true;
        code = perform();
        loggingIn = false;
        if (code != CURLE_LOGIN_DENIED) return code;
        reasons.push_back(sshLoginRefusal(method, settings.privateKeyFile, loginNotes));
        DEBUG_OUT(u"SFTP login refused: " + reasons.back());
    }
    for (const ucstring& reason : reasons) refused += (refused.empty() ? u"" : u" ") + reason;
    return code;
}

// Why a request that ended with `code` was stopped by the plug-in or by libcurl's stall limit
// rather than by the server: the text for the user, or empty.
ucstring ConnectionState::stoppedText(CURLcode code) const {
    if (!requestStopped.empty()) return requestStopped;
    if (code != CURLE_OPERATION_TIMEDOUT) return {};
    // libcurl reports a server's "421" (closing) as a time-out too; that one speaks for itself.
    if (std::any_of(serverResponse.begin(), serverResponse.end(), isClosingReply)) return {};
    return u"The server stalled: nothing moved for " + ucstringFromString(std::to_string(stallSeconds)) +
           u" seconds, so the transfer was stopped.";
}

// libcurl's result translated: the one place a CURLcode becomes what callers decide on.
RemoteResult ConnectionState::result(CURLcode code) const {
    RemoteResult out;
    if (code == CURLE_OK) return out;
    out.text = stoppedText(code);
    if (!out.text.empty()) {
        out.kind = RemoteErrorKind::kStopped;
        return out;
    }
    // An SFTP server may answer a folder listing of something that is no folder with a bare
    // failure (ProFTPD's mod_sftp does; OpenSSH says "no such file"): an answer about the item too.
    const bool notAFolder = code == CURLE_SSH && security == kRemoteSFTP &&
                            std::string_view(errorBuffer).starts_with("Could not open directory for reading");
    out.kind = code == CURLE_ABORTED_BY_CALLBACK ? RemoteErrorKind::kCancelled
               : isRefusal(code) || notAFolder   ? RemoteErrorKind::kNotFound
                                                 : RemoteErrorKind::kOther;
    out.text = ucstringFromUTF8String(errorBuffer[0] ? std::string(errorBuffer) : curl_easy_strerror(code));
    return out;
}

RemoteResult ConnectionState::runCommands(const std::string& directory, const stringlist& commands,
                                          const ucstring& statusText) {
    freeCommandList();
    // Callers check their arguments; what would still put a second command on the wire stops here.
    ucstring refused = remoteCheckSendable(directory);
    for (const std::string& command : commands)
        if (refused.empty()) refused = remoteCheckSendable(command);
    if (!refused.empty()) {
        serverResponse.assign(1, ucstringToUTF8String(refused));
        return {RemoteErrorKind::kOther, refused};
    }
    for (const std::string& command : commands) {
        curl_slist* grown = curl_slist_append(commandList, command.c_str());
        if (!grown) {
            freeCommandList();
            return {RemoteErrorKind::kOther, ucstringFromUTF8CStr(curl_easy_strerror(CURLE_OUT_OF_MEMORY))};
        }
        commandList = grown;
    }
    serverResponse.clear();
    std::string url = protocol->url(baseURL, directory);
    if (!directory.empty() && url.back() != '/') url += '/';
    status(statusText);
    // FTP sends them after changing into the URL's directory. libcurl's SFTP commands run before
    // the (empty) transfer instead, while the URL's path is still known to "pwd".
    const CURLoption when = controlConnection() ? CURLOPT_POSTQUOTE : CURLOPT_QUOTE;
    curl_easy_setopt(curl, when, commandList);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = perform();
    curl_easy_setopt(curl, when, static_cast<curl_slist*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    status(u"Idle.");
    freeCommandList();
    if (code != CURLE_OK) connectionLogError(code);
    return result(code);
}

// A prepared transfer of `remotePath`; the error code is logged unless the user or the plug-in
// stopped it.
RemoteResult ConnectionState::transfer(const std::string& remotePath) {
    curl_easy_setopt(curl, CURLOPT_URL, protocol->url(baseURL, remotePath).c_str());
    const CURLcode code = perform();
    RemoteResult out = result(code);
    if (out.kind != RemoteErrorKind::kNone && out.kind != RemoteErrorKind::kCancelled &&
        out.kind != RemoteErrorKind::kStopped)
        connectionLogError(code);
    return out;
}

RemoteResult ConnectionState::askFile(const std::string& path, int64_t& size, int64_t& modified, bool withTime) {
    size = -1;
    modified = -1;
    serverResponse.clear();
    status(u"Retrieving item info...");
    detach();
    curl_easy_setopt(curl, CURLOPT_URL, protocol->url(baseURL, path).c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, 0L);  // servers refuse SIZE in ASCII mode
    if (withTime) curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
    const CURLcode code = perform();
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_FILETIME, 0L);
    status(u"Idle.");
    if (code != CURLE_OK) {
        connectionLogError(code);
        return result(code);
    }
    curl_off_t length = -1, time = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (withTime) curl_easy_getinfo(curl, CURLINFO_FILETIME_T, &time);
    size = length;
    modified = time;
    return {};
}

void connectionLogError(CURLcode code) {
    if (debugMode()) DEBUG_OUT("cURL error code: " + std::to_string(static_cast<int>(code)));
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

std::string asFolder(const std::string& path) { return path.empty() || path.back() != '/' ? path + "/" : path; }
