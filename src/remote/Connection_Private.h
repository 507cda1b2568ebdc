// The inside of a Connection: libcurl's handles and settings, the callbacks libcurl calls, the
// request loop, and how libcurl's results become RemoteResults. Only remote/Connection*.cpp see it.
#pragma once

#include "Connection.h"
#include "KeyLogin.h"
#include "RemoteProtocol.h"
#include "TransferMeter.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <curl/curl.h>

#include <memory>
#include <string>
#include <vector>

class OrbStream;

// libcurl's own buffers: larger ones cut the calls per byte on fast links. Over SFTP they also set
// how much is in flight: libssh2 asks ahead for four times the receive buffer, and writes as much
// as the send buffer before it waits for the server's acknowledgements. SFTP's is libcurl's
// largest, as much as OpenSSH's sftp keeps in flight, so a distant server is not waited on for
// every piece; over FTP the kernel keeps the stream going, and a larger one only costs.
constexpr long kReceiveBufferSize = 512 * 1024;
constexpr long kSendBufferSize = 512 * 1024;
constexpr long kSFTPSendBufferSize = 2 * 1024 * 1024;

enum class HostKeyStatus { kUnchecked, kAccepted, kChanged };

// Where received data goes.
enum class Sink { kLines, kStream, kListing };

struct ConnectionState {
    ~ConnectionState() { release(); }

    CURL* curl = nullptr;
    CURLM* multi = nullptr;
    bool multiAttached = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    std::unique_ptr<RemoteProtocol> protocol = makeRemoteProtocol(kRemoteFTP);
    ConnectionHooks hooks;
    ConnectionSettings settings;  // as opened, with the password it logs in with
    TransferMeter meter;          // the running transfer's rate and time left, for the status text
    int64_t listedTotal = -1;     // a download's size as a listing gave it, when libcurl does not ask
    std::string baseURL;          // scheme + host; every request URL starts with it
    int32_t security = kRemoteFTP;
    std::string hostName;       // as the settings give it, for messages
    int32_t port = -1;          // -1 the protocol's own
    int32_t stallSeconds = 15;  // a transfer that moves nothing this long is stopped
    std::string knownHostsPath;
    stringlist serverResponse;  // control-channel lines of the current request
    stringlist receivedLines;   // data of Sink::kLines
    stringlist listingLines;    // data of Sink::kListing
    stringlist serverFeatures;  // FEAT reply: "NAME=parameters"
    Sink sink = Sink::kLines;
    OrbStream* stream = nullptr;  // not owned; Sink::kStream
    curl_slist* commandList = nullptr;
    HostKeyStatus hostKeyStatus = HostKeyStatus::kUnchecked;
    // SFTP key login (KeyLogin.h): the ways to try, and libcurl's notes of the login under way.
    std::vector<SSHLoginMethod> sshMethods;
    bool loggingIn = false;
    std::string loginNotes;
    // What the current request holds in memory, and why it was stopped when that grew past its
    // limit; reset by every request.
    size_t heldBytes = 0;
    size_t replyBytes = 0;
    ucstring requestStopped;

    void status(const ucstring& text, int64_t progress = -1) const {
        if (hooks.status) hooks.status(text, progress);
    }
    bool controlConnection() const { return protocol->controlConnection(); }
    void freeCommandList() {
        if (commandList) curl_slist_free_all(commandList);
        commandList = nullptr;
    }
    void release();
    ucstring setOptions(const ConnectionSettings& settings);
    void detach();
    CURLcode performOnce();
    bool connectionWasGone(CURLcode code, size_t firstReply) const;
    void dropConnection();
    void dropConnectionIfOutOfStep(CURLcode code);
    CURLcode perform();
    CURLcode performKeyLogin(ucstring& refused);
    ucstring stoppedText(CURLcode code) const;
    RemoteResult result(CURLcode code) const;
    RemoteResult runCommands(const std::string& directory, const stringlist& commands, const ucstring& status);
    RemoteResult run(const RemoteCommands& commands, const ucstring& status) {
        return runCommands(commands.directory, commands.commands, status);
    }
    void setTextMode(bool asciiMode) {
        // ASCII mode is FTP's: the wire carries CR LF line ends, which libcurl makes from and back
        // into this system's LF. SFTP has no such mode; the bytes go as they are.
        curl_easy_setopt(curl, CURLOPT_TRANSFERTEXT, asciiMode && controlConnection() ? 1L : 0L);
    }
    RemoteResult transfer(const std::string& remotePath);
    // The file's size, and with `withTime` its modification time, without fetching it.
    RemoteResult askFile(const std::string& path, int64_t& size, int64_t& modified, bool withTime);
};

// Points the data callbacks at a stream, the received lines or the listing lines, and back at
// the received lines when the request is over.
class SinkBinding {
public:
    SinkBinding(ConnectionState& s, Sink sink, OrbStream* stream) : mS(s) {
        s.serverResponse.clear();
        s.sink = sink;
        s.stream = stream;
    }
    ~SinkBinding() {
        mS.sink = Sink::kLines;
        mS.stream = nullptr;
    }
    SinkBinding(const SinkBinding&) = delete;
    SinkBinding& operator=(const SinkBinding&) = delete;

private:
    ConnectionState& mS;
};

// Logs libcurl's code of a failed request.
void connectionLogError(CURLcode code);
// The folder a PWD reply names ('257 "path" ...', quotes inside doubled), each part read as a
// listing reads names; empty when no reply says.
ucstring pathFromPWDReply(const stringlist& replies);
// `path` with one "/" at its end.
std::string asFolder(const std::string& path);
