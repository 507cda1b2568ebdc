// The SFTP known-hosts file in the preferences folder, in OpenSSH's format. libcurl checks a server's
// key against it; a key first seen is recorded here rather than by libcurl, which would rewrite the
// whole file from the copy it read at connect time, losing what other processes of the user added
// meanwhile and truncating the file under their readers.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstddef>
#include <string>

class OrbFileRef;

// The native path of the known-hosts file in `folder`; empty when the folder has none.
ucstring knownHostsFilePath(const OrbFileRef& folder);

enum class KnownHostRecord { Added, AlreadyKnown, OtherKey, Failed };

// The host as the file names it: "host" on port 22 (or -1, the default), else "[host]:port".
std::string knownHostsHostField(const std::string& host, int port);

// Records `key` (the server's key blob as it came in the SSH handshake) for the host, under the
// folder's lock. Another process may have recorded the host since this connection read the file:
// the same key is AlreadyKnown, a different key of the same type is OtherKey (refuse the
// connection). Failed with `error` when the file could not be written.
//
// The new line goes first in the file: libcurl offers the server only the key type of the first
// line that names the host, plain or with this port, and a line of this port is the one to follow.
[[nodiscard]] KnownHostRecord knownHostsRecord(const std::string& nativePath, const std::string& host, int port,
                                               const unsigned char* key, size_t keyLength, std::string& error);

// Whether a line of the file names the host, as the file names it for this port or plainly (a line
// of an older version, or of port 22).
bool knownHostsNamesHost(const std::string& nativePath, const std::string& host, int port);
