// A remote connection: one libcurl easy handle bound to one server, driven through its own multi
// handle. Everything that talks to a server (commands, listings, transfers, the queue) goes through
// a Connection; how FTP and SFTP differ is decided once, when it is opened (see RemoteProtocol.h).
// Paths are UTF-8 (or a listing's own bytes) and "/"-separated.
#pragma once

#include "RemoteProtocol.h"
#include "_Common/Strings/Orb_StringTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class OrbStream;
struct ConnectionState;  // libcurl's handles and the state of the current request (Connection_Private.h)

// What a caller decides on after a request. libcurl's own codes stay inside remote/.
enum class RemoteErrorKind {
    kNone,
    kNotFound,   // the server refused the item: not there, or not this user's to enter or read
    kCancelled,  // the progress check asked to stop (the user's Cancel, or the queue stopping)
    kStopped,    // stalled, or ran over what a request may hold: the text says which
    kHostKey,    // SFTP: the server's key differs from the recorded one
    kOther,
};

// The outcome of one request.
struct [[nodiscard]] RemoteResult {
    RemoteErrorKind kind = RemoteErrorKind::kNone;
    // kStopped and kHostKey: the text for the user. Otherwise libcurl's own description.
    ucstring text;
    bool ok() const { return kind == RemoteErrorKind::kNone; }
};

// Where a connection is, what it logs in with and what it trusts.
struct ConnectionSettings {
    ucstring accountName;  // for the password prompt; empty for a connection made from a URL
    std::string host;      // as the account gives it (an IPv6 address with or without brackets)
    int32_t port = -1;     // -1: the protocol's own
    int32_t security = kRemoteFTP;
    int32_t timeout = 15;  // seconds to connect; a transfer that moves nothing this long is stopped
    std::string userName;  // empty: "anonymous"
    std::string password;
    bool promptForPassword = false;  // ask the user (ConnectionHooks::askPassword) instead
    std::string caPath;              // the bundle TLS servers are verified with
    std::string knownHostsPath;      // SFTP: the file host keys are checked against; empty: none
    // SFTP key login: the key files as paths of this system (empty: none) and the key's passphrase;
    // with `useAgent` the running ssh-agent is asked first.
    std::string privateKeyFile;
    std::string publicKeyFile;
    std::string keyPassphrase;
    bool useAgent = false;
    // How transfers go (Transfers.h): interrupted ones continue, both ends are checked, the
    // modification time is carried over; folder transfers use up to this many logins at once.
    bool resume = false;
    bool verify = false;
    bool preserveTimestamps = false;
    int32_t maxConnections = 1;
};

// What a connection needs from the plug-in around it; an empty function does nothing.
struct ConnectionHooks {
    // The status window's text; with `progress` >= 0 its bar as well.
    std::function<void(const ucstring& text, int64_t progress)> status;
    // Called as data moves; true when the user cancelled.
    std::function<bool(int64_t done, int64_t total)> progress;
    // True when the request must stop now (a queued transfer whose session or plug-in goes away).
    std::function<bool()> stopRequested;
    // Asks for the password; false when the user cancelled.
    std::function<bool(const ucstring& prompt, ucstring& answer)> askPassword;
};

// What one request may hold in memory: the text of a text download or listing, and the server's
// replies on the control connection. A server that sends more is stopped (kStopped) instead of
// growing the process without end.
constexpr size_t kRemoteHeldDataLimit = size_t{64} << 20;
constexpr size_t kRemoteReplyLimit = size_t{1} << 20;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setHooks(ConnectionHooks hooks);

    // ---- Open and close ------------------------------------------------------------------------

    // Makes the handles and sets the callbacks, URL, login, TLS and SSH settings (nothing is sent
    // yet). An error text: "Could not initialize cURL.", "Could not initialize cURL Multi.", "User
    // cancelled the account password dialog.", or a login field that cannot be sent.
    [[nodiscard]] ucstring open(const ConnectionSettings& settings);
    // Passive, or active with "-" (any local port), ":start" or ":start-end".
    void setDataConnection(bool passive, int32_t rangeStart, int32_t rangeEnd);
    // Connects and logs in, without a transfer. kHostKey's text explains the refused key;
    // otherwise the text is libcurl's.
    [[nodiscard]] RemoteResult login();
    // The folder the login entered, as the server named it (FTP's PWD); empty when unknown.
    std::string entryPath() const;
    // Frees the handles and forgets everything of the connection; harmless when not open.
    void close();
    bool isOpen() const;
    // What the connection was opened with; the password is the one it logs in with (the user's
    // answer when it was asked for), so a second login to the same place needs no second prompt.
    const ConnectionSettings& settings() const;

    // ---- Requests: each runs to its end (see perform in Connection.cpp) ----------------------

    // Sends the commands with no transfer (FTP: after changing into each folder of `directory`;
    // SFTP: libcurl's own commands), showing `status` meanwhile.
    [[nodiscard]] RemoteResult runCommands(const std::string& directory, const stringlist& commands,
                                           const ucstring& status);
    // The file operations. `currentDirectory` is the folder relative paths mean (SFTP runs its
    // commands from the login folder). FTP: DELE, MKD, RMD, RNFR + RNTO, in the item's folder;
    // SFTP: rm, mkdir, rmdir, rename with absolute paths.
    [[nodiscard]] RemoteResult deleteFile(const std::string& path, const std::string& currentDirectory);
    [[nodiscard]] RemoteResult makeFolder(const std::string& path, const std::string& currentDirectory);
    [[nodiscard]] RemoteResult removeFolder(const std::string& path, const std::string& currentDirectory);
    // Renames the item at `oldPath` to `newName` (relative to the item's folder, or a full path).
    [[nodiscard]] RemoteResult rename(const std::string& oldPath, const std::string& newName,
                                      const std::string& currentDirectory);
    // Sends `command` as given while in `directory` (SFTP: its relative paths made absolute there);
    // the reply lines are in replies().
    [[nodiscard]] RemoteResult sendRaw(const std::string& directory, const std::string& command);
    // FEAT into features() (FTP; SFTP has none to ask for).
    [[nodiscard]] RemoteResult readFeatures();
    // QUIT (FTP; libcurl closes an SFTP session itself).
    [[nodiscard]] RemoteResult quit();

    // Lists `directory` into listingLines(): FTP "MLSD" when `machine`, else "LIST -a"; SFTP
    // libcurl's own listing. With `realPath` FTP also asks PWD after the listing and gives the
    // folder's own path (links followed, on most servers); SFTP leaves it alone.
    [[nodiscard]] RemoteResult list(const std::string& directory, bool machine, ucstring* realPath);
    // Whether `path` is a folder this user may enter: FTP changes into it, SFTP lists it.
    [[nodiscard]] RemoteResult enterFolder(const std::string& path);
    // The folder's own path on the server with links followed (FTP's PWD in it); empty when the
    // server does not say (always over SFTP, whose "pwd" only repeats the path).
    ucstring folderRealPath(const std::string& path);
    // Asks for the file at `path` without fetching it; `size` gets its size, -1 when not told.
    [[nodiscard]] RemoteResult fileSize(const std::string& path, int64_t& size);
    // The same, with the modification time in seconds since 1970 (UTC) as well (FTP's MDTM,
    // SFTP's stat); -1 when not told.
    [[nodiscard]] RemoteResult fileSizeAndTime(const std::string& path, int64_t& size, int64_t& modified);
    // Sets the file's modification time (seconds since 1970, UTC): FTP's MFMT, SFTP's mtime.
    [[nodiscard]] RemoteResult setFileTime(const std::string& path, int64_t modified, bool mdtmForm = false);
    // FTP: sends `select` (when not empty), then `command` + " " + the file's name, in the file's
    // folder; the replies are in replies(). SFTP has no such commands: kOther.
    [[nodiscard]] RemoteResult fileDigest(const std::string& path, const std::string& command,
                                          const std::string& select);

    // Sends `size` bytes of `stream` to `remotePath`, appending or replacing; FTP's ASCII mode
    // when asked. From `resumeFrom` on, the file of that name on the server is continued with the
    // stream's bytes from there (FTP: APPE; SFTP: a write at the end).
    // Then downloads into `stream`, or into lines held in memory; a download from `resumeFrom`
    // on (FTP: REST) gets the rest of the file, and `modified` the file's modification time
    // (seconds since 1970, UTC; -1 when not told). A download whose size a listing already gave
    // (`listedSize` >= 0) does not ask the server for it again (FTP: no SIZE per file); the
    // caller checks the bytes that arrived against it.
    [[nodiscard]] RemoteResult upload(OrbStream& stream, int64_t size, const std::string& remotePath, bool append,
                                      bool asciiMode, int64_t resumeFrom = 0);
    [[nodiscard]] RemoteResult download(OrbStream& stream, const std::string& remotePath, bool asciiMode,
                                        int64_t resumeFrom = 0, int64_t* modified = nullptr, int64_t listedSize = -1);
    [[nodiscard]] RemoteResult downloadLines(const std::string& remotePath, stringlist& lines);

    // ---- What the last request left ------------------------------------------------------------

    // The control-channel lines of the last request.
    const stringlist& replies() const;
    // The lines of the last listing.
    const stringlist& listingLines() const;
    // The FEAT reply: "NAME=parameters".
    const stringlist& features() const;
    // What the server said in the last request, lines joined with carriage returns; when it said
    // nothing (SFTP, or no connection at all) libcurl's own error text.
    std::string responseText() const;
    // The URL of a remote path: base URL + "/" + the encoded path (SFTP: an absolute path as it
    // is, a relative one below "/~/").
    std::string url(const std::string& path) const;

    // The status hook, for the callers' own steps.
    void showStatus(const ucstring& text, int64_t progress = -1) const;
    // While a transfer runs, the status text also tells its bytes, rate and time left after
    // `label` ("Uploading 'NAME'"); stopped when the transfer is over.
    void startTransferMeter(const ucstring& label);
    void stopTransferMeter();

private:
    std::unique_ptr<ConnectionState> mState;
};

// The FTPPORT text of active mode for a port range.
std::string remoteDataPortSpec(int32_t rangeStart, int32_t rangeEnd);
// Empty, or the error for a name, path or command with a line break in it (which would let a
// second command ride along on the control connection) or a NUL (which would cut it short).
ucstring remoteCheckSendable(const ucstring& text);
ucstring remoteCheckSendable(const std::string& text);
