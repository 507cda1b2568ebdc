// How FTP and SFTP differ for the Connection: which commands do a file operation, how a URL names
// a path, how a folder is listed. The Connection chooses one when it is opened and asks it; nothing
// outside remote/ sees which.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <memory>
#include <string>

// The protocols, numbered as accounts store them.
enum RemoteSecurity : int32_t {
    kRemoteFTP = 0,             // plain FTP
    kRemoteFTPAuthTLS = 1,      // FTP, TLS required after connecting (AUTH TLS)
    kRemoteFTPImplicitTLS = 2,  // FTPS: TLS from the start
    kRemoteSFTP = 3,            // SSH
};

// Control commands and the folder they are sent in ("" the login folder).
struct RemoteCommands {
    std::string directory;
    stringlist commands;
};

class RemoteProtocol {
public:
    virtual ~RemoteProtocol() = default;

    // The URL of `path` below `baseURL` (scheme and host).
    virtual std::string url(const std::string& baseURL, const std::string& path) const = 0;
    // The file operations; `currentDirectory` is the folder a relative path means.
    virtual RemoteCommands deleteFile(const std::string& path, const std::string& currentDirectory) const = 0;
    virtual RemoteCommands makeFolder(const std::string& path, const std::string& currentDirectory) const = 0;
    virtual RemoteCommands removeFolder(const std::string& path, const std::string& currentDirectory) const = 0;
    virtual RemoteCommands rename(const std::string& oldPath, const std::string& newName,
                                  const std::string& currentDirectory) const = 0;
    // Sets the file's modification time (seconds since 1970, UTC): FTP's MFMT (where FEAT lists it),
    // SFTP's mtime.
    // FTP: MFMT, or with `mdtmForm` the "MDTM time name" that servers without MFMT (vsftpd) take.
    virtual RemoteCommands setModificationTime(const std::string& path, int64_t seconds,
                                               const std::string& currentDirectory, bool mdtmForm) const = 0;
    // Asks for the file's digest with `verb` (HASH, XSHA256, ...): FTP only, SFTP has no commands.
    virtual RemoteCommands digest(const std::string& path, const std::string& verb) const = 0;
    // A command typed by the user, to be sent while in `directory`.
    virtual std::string rawCommand(const std::string& directory, const std::string& command) const = 0;
    // The listing request; nullptr when libcurl lists a folder by itself.
    virtual const char* listingCommand(bool machine) const = 0;

    // FTP: commands and replies go over a control connection, so there are FEAT, QUIT, PWD and
    // ASCII mode, commands run after changing into the URL's folder, a folder is checked by
    // entering it, and a reply out of step with the requests means reconnecting. SFTP has none of
    // that: libcurl runs its commands before the (empty) transfer and a folder is checked by
    // listing it.
    virtual bool controlConnection() const = 0;
};

// The protocol of an account's security setting (see RemoteSecurity in Connection.h).
std::unique_ptr<RemoteProtocol> makeRemoteProtocol(int32_t security);

// Splits at the last "/": the directory part keeps that "/"; without one it is empty.
void remoteSplitPath(const std::string& path, std::string& directory, std::string& name);
// Percent-encodes every segment of a "/"-separated path (UTF-8 bytes); the "/" stay.
std::string remoteEncodePath(const std::string& path);
