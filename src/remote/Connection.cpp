#include "Connection.h"

#include "Connection_Private.h"
#include "KnownHosts.h"
#include "ListFormats.h"
#include "Orb_Debug.h"
#include "_Common/FileAndStream/Orb_Stream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <algorithm>
#include <cstring>

namespace {

// Where a continued upload starts: the stream moves there (a stream that cannot lets libcurl read
// up to it instead).
int seekStream(void* user, curl_off_t offset, int origin) {
    auto* s = static_cast<ConnectionState*>(user);
    if (origin != SEEK_SET || !s->stream) return CURL_SEEKFUNC_CANTSEEK;
    try {
        return s->stream->reposition(offset) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_CANTSEEK;
    } catch (...) {
        return CURL_SEEKFUNC_FAIL;
    }
}

}  // namespace

// ---- Connection --------------------------------------------------------------------------------

Connection::Connection() : mState(std::make_unique<ConnectionState>()) {}

Connection::~Connection() = default;

void Connection::setHooks(ConnectionHooks hooks) { mState->hooks = std::move(hooks); }

ucstring Connection::open(const ConnectionSettings& settings) {
    ConnectionState& s = *mState;
    close();
    s.curl = curl_easy_init();
    if (!s.curl) return u"Could not initialize cURL.";
    s.multi = curl_multi_init();
    if (!s.multi) {
        close();
        return u"Could not initialize cURL Multi.";
    }
    const ucstring error = s.setOptions(settings);
    if (!error.empty()) close();
    return error;
}

void Connection::setDataConnection(bool passive, int32_t rangeStart, int32_t rangeEnd) {
    if (!mState->curl) return;
    if (passive) {
        curl_easy_setopt(mState->curl, CURLOPT_FTPPORT, static_cast<const char*>(nullptr));
        return;
    }
    const std::string portText = remoteDataPortSpec(rangeStart, rangeEnd);
    curl_easy_setopt(mState->curl, CURLOPT_FTPPORT, portText.c_str());
}

RemoteResult Connection::login() {
    ConnectionState& s = *mState;
    // A key file that is not there stops the login before anything is sent.
    if (ucstring problem =
            s.sshMethods.empty() ? ucstring() : sshKeyFilesProblem(s.settings.privateKeyFile, s.settings.publicKeyFile);
        !problem.empty())
        return {RemoteErrorKind::kOther, std::move(problem)};
    ucstring refused;  // key login: why the server took none of the ways tried
    curl_easy_setopt(s.curl, CURLOPT_NOBODY, 1L);
    const CURLcode code = s.sshMethods.empty() ? s.perform() : s.performKeyLogin(refused);
    curl_easy_setopt(s.curl, CURLOPT_NOBODY, 0L);
    if (code == CURLE_OK) return {};
    connectionLogError(code);
    RemoteResult out = s.result(code);
    if (!refused.empty()) {
        out.text = refused;
        return out;
    }
    std::string why = s.errorBuffer[0] ? std::string(s.errorBuffer) : curl_easy_strerror(code);
    // libcurl offers the server only the key type recorded for the host: a server that has none of
    // that type fails the key exchange, which is a changed key too.
    const bool otherType = s.security == kRemoteSFTP &&
                           why.find("Unable to exchange encryption keys") != std::string::npos &&
                           !s.knownHostsPath.empty() && knownHostsNamesHost(s.knownHostsPath, s.hostName, s.port);
    if (s.hostKeyStatus == HostKeyStatus::kChanged || otherType) {
        out.kind = RemoteErrorKind::kHostKey;
        why = "The SSH host key of " + s.hostName + " does not match the one recorded for it in the known hosts file " +
              s.knownHostsPath +
              "; the connection was refused. If the server's key was changed on purpose, remove the host's line "
              "from that file.";
    }
    out.text = ucstringFromUTF8String(why);
    return out;
}

std::string Connection::entryPath() const {
    const char* path = nullptr;
    if (mState->curl) curl_easy_getinfo(mState->curl, CURLINFO_FTP_ENTRY_PATH, &path);
    return path ? std::string(path) : std::string();
}

void Connection::close() {
    ConnectionState& s = *mState;
    s.release();
    std::memset(s.errorBuffer, 0, sizeof s.errorBuffer);
    s.baseURL.clear();
    s.hostName.clear();
    s.security = kRemoteFTP;
    s.protocol = makeRemoteProtocol(kRemoteFTP);
    s.serverResponse.clear();
    s.receivedLines.clear();
    s.listingLines.clear();
    s.serverFeatures.clear();
    s.sink = Sink::kLines;
    s.stream = nullptr;
    s.hostKeyStatus = HostKeyStatus::kUnchecked;
    s.sshMethods.clear();
    std::fill(s.settings.password.begin(), s.settings.password.end(), '\0');
    std::fill(s.settings.keyPassphrase.begin(), s.settings.keyPassphrase.end(), '\0');
    s.settings = ConnectionSettings();
}

bool Connection::isOpen() const { return mState->curl != nullptr; }

const ConnectionSettings& Connection::settings() const { return mState->settings; }

RemoteResult Connection::runCommands(const std::string& directory, const stringlist& commands, const ucstring& status) {
    return mState->runCommands(directory, commands, status);
}

RemoteResult Connection::deleteFile(const std::string& path, const std::string& currentDirectory) {
    return mState->run(mState->protocol->deleteFile(path, currentDirectory), u"Removing remote file...");
}

RemoteResult Connection::makeFolder(const std::string& path, const std::string& currentDirectory) {
    return mState->run(mState->protocol->makeFolder(path, currentDirectory), u"Creating remote directory...");
}

RemoteResult Connection::removeFolder(const std::string& path, const std::string& currentDirectory) {
    return mState->run(mState->protocol->removeFolder(path, currentDirectory), u"Removing remote directory...");
}

RemoteResult Connection::rename(const std::string& oldPath, const std::string& newName,
                                const std::string& currentDirectory) {
    return mState->run(mState->protocol->rename(oldPath, newName, currentDirectory), u"Renaming remote file...");
}

RemoteResult Connection::sendRaw(const std::string& directory, const std::string& command) {
    return mState->runCommands(directory, {mState->protocol->rawCommand(directory, command)},
                               u"Sending custom command...");
}

RemoteResult Connection::readFeatures() {
    ConnectionState& s = *mState;
    s.serverFeatures.clear();
    if (!s.controlConnection()) return {};
    RemoteResult out = s.runCommands({}, {"FEAT"}, u"Retrieving features...");
    if (!out.ok()) return out;
    const stringlist& lines = s.serverResponse;
    if (lines.size() > 2) {
        for (size_t i = 1; i + 1 < lines.size(); ++i) {
            std::string feature = stringTrim(lines[i]);
            const size_t blank = feature.find(' ');
            if (blank == std::string::npos)
                feature += '=';
            else
                feature[blank] = '=';
            s.serverFeatures.push_back(feature);
        }
    }
    return out;
}

RemoteResult Connection::quit() {
    if (!mState->controlConnection()) return {};
    return mState->runCommands({}, {"QUIT"}, u"Disconnecting...");
}

RemoteResult Connection::list(const std::string& directory, bool machine, ucstring* realPath) {
    ConnectionState& s = *mState;
    CURLcode code = CURLE_OK;
    {
        const SinkBinding binding(s, Sink::kListing, nullptr);
        s.listingLines.clear();
        std::string url = s.protocol->url(s.baseURL, directory);
        if (url.back() != '/') url += '/';
        s.status(u"Retrieving directory listing...");
        const char* request = s.protocol->listingCommand(machine);
        curl_slist* after = realPath && s.controlConnection() ? curl_slist_append(nullptr, "PWD") : nullptr;
        curl_easy_setopt(s.curl, CURLOPT_CUSTOMREQUEST, request);
        curl_easy_setopt(s.curl, CURLOPT_POSTQUOTE, after);
        curl_easy_setopt(s.curl, CURLOPT_URL, url.c_str());
        code = s.perform();
        curl_easy_setopt(s.curl, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
        curl_easy_setopt(s.curl, CURLOPT_POSTQUOTE, static_cast<curl_slist*>(nullptr));
        if (after) curl_slist_free_all(after);
    }
    s.status(u"Idle.");
    if (code != CURLE_OK) connectionLogError(code);
    if (code == CURLE_OK && realPath) *realPath = pathFromPWDReply(s.serverResponse);
    return s.result(code);
}

RemoteResult Connection::enterFolder(const std::string& path) {
    // Over SFTP a folder opens as a file too: only listing it tells.
    if (!mState->controlConnection()) return list(path, false, nullptr);
    return mState->runCommands(asFolder(path), {}, u"Retrieving item info...");
}

ucstring Connection::folderRealPath(const std::string& path) {
    if (!mState->controlConnection()) return {};  // libcurl's "pwd" only repeats the URL's path
    if (!mState->runCommands(asFolder(path), {"PWD"}, u"Retrieving item info...").ok()) return {};
    return pathFromPWDReply(mState->serverResponse);
}

RemoteResult Connection::fileSize(const std::string& path, int64_t& size) {
    int64_t modified = -1;
    return mState->askFile(path, size, modified, false);
}

RemoteResult Connection::fileSizeAndTime(const std::string& path, int64_t& size, int64_t& modified) {
    return mState->askFile(path, size, modified, true);
}

RemoteResult Connection::setFileTime(const std::string& path, int64_t modified, bool mdtmForm) {
    // A relative SFTP path is one below the login folder.
    return mState->run(mState->protocol->setModificationTime(path, modified, entryPath(), mdtmForm),
                       u"Setting the modification time...");
}

RemoteResult Connection::fileDigest(const std::string& path, const std::string& command, const std::string& select) {
    RemoteCommands commands = mState->protocol->digest(path, command);
    if (commands.commands.empty()) return {RemoteErrorKind::kOther, u"The server offers no digest."};
    if (!select.empty()) commands.commands.insert(commands.commands.begin(), select);
    return mState->run(commands, u"Verifying...");
}

RemoteResult Connection::upload(OrbStream& stream, int64_t size, const std::string& remotePath, bool append,
                                bool asciiMode, int64_t resumeFrom) {
    ConnectionState& s = *mState;
    const SinkBinding binding(s, Sink::kStream, &stream);
    s.detach();
    curl_easy_setopt(s.curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(s.curl, CURLOPT_APPEND, append ? 1L : 0L);
    curl_easy_setopt(s.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    if (resumeFrom > 0) {
        curl_easy_setopt(s.curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
        curl_easy_setopt(s.curl, CURLOPT_SEEKFUNCTION, seekStream);
        curl_easy_setopt(s.curl, CURLOPT_SEEKDATA, &s);
    }
    s.setTextMode(asciiMode);
    curl_easy_setopt(s.curl, CURLOPT_UPLOAD_BUFFERSIZE, s.controlConnection() ? kSendBufferSize : kSFTPSendBufferSize);
    RemoteResult out = s.transfer(remotePath);
    curl_easy_setopt(s.curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(s.curl, CURLOPT_APPEND, 0L);
    curl_easy_setopt(s.curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(s.curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(s.curl, CURLOPT_SEEKFUNCTION, static_cast<curl_seek_callback>(nullptr));
    return out;
}

RemoteResult Connection::download(OrbStream& stream, const std::string& remotePath, bool asciiMode, int64_t resumeFrom,
                                  int64_t* modified, int64_t listedSize) {
    ConnectionState& s = *mState;
    const SinkBinding binding(s, Sink::kStream, &stream);
    s.detach();
    s.setTextMode(asciiMode);
    curl_easy_setopt(s.curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(s.curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(resumeFrom));
    if (modified) curl_easy_setopt(s.curl, CURLOPT_FILETIME, 1L);
    // libcurl then skips FTP's SIZE; the listed size stands in for the progress total.
    const bool sizeKnown = listedSize >= 0 && resumeFrom == 0;
    if (sizeKnown) curl_easy_setopt(s.curl, CURLOPT_IGNORE_CONTENT_LENGTH, 1L);
    s.listedTotal = sizeKnown ? listedSize : -1;
    RemoteResult out = s.transfer(remotePath);
    s.listedTotal = -1;
    curl_easy_setopt(s.curl, CURLOPT_IGNORE_CONTENT_LENGTH, 0L);
    curl_easy_setopt(s.curl, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(0));
    if (modified) {
        curl_off_t time = -1;
        curl_easy_getinfo(s.curl, CURLINFO_FILETIME_T, &time);
        *modified = time;
        curl_easy_setopt(s.curl, CURLOPT_FILETIME, 0L);
    }
    return out;
}

RemoteResult Connection::downloadLines(const std::string& remotePath, stringlist& lines) {
    ConnectionState& s = *mState;
    RemoteResult out;
    {
        const SinkBinding binding(s, Sink::kLines, nullptr);
        s.receivedLines.clear();
        s.detach();
        s.setTextMode(true);
        out = s.transfer(remotePath);
    }
    if (out.ok()) lines = s.receivedLines;
    return out;
}

const stringlist& Connection::replies() const { return mState->serverResponse; }

const stringlist& Connection::listingLines() const { return mState->listingLines; }

const stringlist& Connection::features() const { return mState->serverFeatures; }

std::string Connection::responseText() const {
    if (!stringlistIsBlank(mState->serverResponse)) return stringlistJoinWithLineEnding(mState->serverResponse, 1);
    return mState->errorBuffer;
}

std::string Connection::url(const std::string& path) const { return mState->protocol->url(mState->baseURL, path); }

void Connection::showStatus(const ucstring& text, int64_t progress) const { mState->status(text, progress); }

void Connection::startTransferMeter(const ucstring& label) { mState->meter.start(label, transferClockSeconds()); }

void Connection::stopTransferMeter() { mState->meter.stop(); }

// ---- Paths and commands ------------------------------------------------------------------------

std::string remoteDataPortSpec(int32_t rangeStart, int32_t rangeEnd) {
    // "-" lets libcurl pick the local address; with a port it must be left empty instead, since
    // libcurl would try to resolve "-" as a host name and fail every active transfer.
    if (rangeStart != 0 && rangeEnd > rangeStart)
        return ":" + std::to_string(rangeStart) + "-" + std::to_string(rangeEnd);
    if (rangeStart != 0 && rangeEnd == rangeStart) return ":" + std::to_string(rangeStart);
    return "-";
}

ucstring remoteCheckSendable(const ucstring& text) {
    if (text.find_first_of(u"\r\n") != ucstring::npos)
        return u"Names and commands cannot contain carriage returns or line feeds.";
    if (text.find(u'\0') != ucstring::npos) return u"Names and commands cannot contain NUL characters.";
    return {};
}

ucstring remoteCheckSendable(const std::string& text) {
    return remoteCheckSendable(ucstring(text.begin(), text.end()));  // only the control bytes matter
}
