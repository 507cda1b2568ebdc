#include "RemoteProtocol.h"

#include "_Common/Strings/Orb_String.h"

#include <algorithm>
#include <ctime>

namespace {

// A moment (seconds since 1970) in UTC as `format` writes it (strftime).
std::string utcText(int64_t seconds, const char* format) {
    const time_t moment = static_cast<time_t>(seconds);
    tm parts{};
    gmtime_r(&moment, &parts);
    char text[64] = {};
    strftime(text, sizeof text, format, &parts);
    return text;
}

std::string withoutTrailingSlash(std::string path) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

// ---- FTP ---------------------------------------------------------------------------------------

// Commands go in the item's folder, which libcurl changes into first, and name the item alone.
class FtpProtocol final : public RemoteProtocol {
public:
    std::string url(const std::string& baseURL, const std::string& path) const override {
        // An FTP URL's path is relative to the login folder, so "//" starts an absolute one.
        return baseURL + "/" + remoteEncodePath(path);
    }
    RemoteCommands deleteFile(const std::string& path, const std::string&) const override {
        return inFolder(path, "DELE ");
    }
    RemoteCommands makeFolder(const std::string& path, const std::string&) const override {
        return inFolder(withoutTrailingSlash(path), "MKD ");
    }
    RemoteCommands removeFolder(const std::string& path, const std::string&) const override {
        return inFolder(withoutTrailingSlash(path), "RMD ");
    }
    RemoteCommands rename(const std::string& oldPath, const std::string& newName, const std::string&) const override {
        RemoteCommands out;
        std::string name;
        remoteSplitPath(withoutTrailingSlash(oldPath), out.directory, name);
        out.commands = {"RNFR " + name, "RNTO " + newName};
        return out;
    }
    RemoteCommands setModificationTime(const std::string& path, int64_t seconds, const std::string&,
                                       bool mdtmForm) const override {
        return inFolder(path, ((mdtmForm ? "MDTM " : "MFMT ") + utcText(seconds, "%Y%m%d%H%M%S") + " ").c_str());
    }
    RemoteCommands digest(const std::string& path, const std::string& verb) const override {
        return inFolder(path, (verb + " ").c_str());
    }
    std::string rawCommand(const std::string&, const std::string& command) const override { return command; }
    const char* listingCommand(bool machine) const override { return machine ? "MLSD" : "LIST -a"; }
    bool controlConnection() const override { return true; }

private:
    static RemoteCommands inFolder(const std::string& path, const char* verb) {
        RemoteCommands out;
        std::string name;
        remoteSplitPath(path, out.directory, name);
        out.commands = {verb + name};
        return out;
    }
};

// ---- SFTP --------------------------------------------------------------------------------------

// A path as one argument of libcurl's SFTP quote commands, which run from the login folder: made
// absolute from `directory` (the folder a relative path means), in double quotes with backslash and
// quote escaped. ("/~/" would stand for the home, but libcurl reads it so only outside quotes.)
std::string sftpArgument(const std::string& directory, const std::string& path) {
    std::string absolute = path;
    if (path.empty() || path[0] != '/')
        absolute = (directory.empty() || directory.back() != '/' ? directory + "/" : directory) + path;
    std::string quoted = "\"";
    for (char c : absolute) {
        if (c == '\\' || c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// One argument of an SFTP quote command as libcurl reads it: blanks before it skipped, then a text
// in single or double quotes (backslash escapes a quote or backslash) or a run of non-blanks. False
// when libcurl could not read one there.
bool readSFTPArgument(const std::string& command, size_t& at, std::string& value) {
    static const char kBlanks[] = " \t\r\n";
    at = command.find_first_not_of(kBlanks, at);
    if (at == std::string::npos) return false;
    value.clear();
    const char quote = command[at];
    if (quote != '"' && quote != '\'') {
        const size_t end = std::min(command.find_first_of(kBlanks, at), command.size());
        value = command.substr(at, end - at);
        at = end;
        return true;
    }
    for (size_t i = at + 1; i < command.size(); ++i) {
        char c = command[i];
        if (c == quote) {
            at = i + 1;
            return !value.empty();
        }
        if (c == '\\') {
            if (++i == command.size()) return false;
            c = command[i];
            if (c != '\\' && c != '"' && c != '\'') return false;
        }
        value += c;
    }
    return false;  // no closing quote
}

// The command with its relative path arguments made absolute from `directory`, so that it acts
// there, as an FTP command does after the changes into the folder. Which arguments are paths is
// libcurl's list; a symbolic link's target stays as given (a relative one is read from the link's
// folder). Anything libcurl would refuse is left as it is, for libcurl to report.
std::string sftpCommandInDirectory(const std::string& directory, const std::string& command) {
    static const struct {
        const char* verb;
        int arguments;   // read by libcurl
        unsigned paths;  // bit i: argument i is a path made absolute
    } kCommands[] = {
        {"chgrp", 2, 2},   {"chmod", 2, 2},  {"chown", 2, 2}, {"atime", 2, 2}, {"mtime", 2, 2}, {"ln", 2, 2},
        {"symlink", 2, 2}, {"rename", 2, 3}, {"mkdir", 1, 1}, {"rmdir", 1, 1}, {"rm", 1, 1},    {"statvfs", 1, 1},
    };
    const size_t start = !command.empty() && command[0] == '*' ? 1 : 0;  // "*": may fail
    const size_t blank = command.find(' ', start);
    if (blank == std::string::npos) return command;
    const std::string verb = stringLowerCase(command.substr(start, blank - start));
    for (const auto& known : kCommands) {
        if (verb != known.verb) continue;
        std::string rebuilt = command.substr(0, blank);
        size_t at = blank;
        for (int i = 0; i < known.arguments; ++i) {
            const size_t from = at;
            std::string value;
            if (!readSFTPArgument(command, at, value)) return command;
            const bool path = (known.paths >> i) & 1;
            rebuilt += path && value[0] != '/' ? " " + sftpArgument(directory, value) : command.substr(from, at - from);
        }
        return rebuilt + command.substr(at);
    }
    return command;
}

// libcurl's SFTP commands run from the login folder: every path goes absolute, and the command is
// sent in the folder of the item all the same, as FTP's is.
class SftpProtocol final : public RemoteProtocol {
public:
    std::string url(const std::string& baseURL, const std::string& path) const override {
        // An SFTP URL's path is absolute already; "/~/" starts one relative to the home folder.
        if (path.empty()) return baseURL + "/";
        return baseURL + (path[0] == '/' ? "" : "/~/") + remoteEncodePath(path);
    }
    RemoteCommands deleteFile(const std::string& path, const std::string& currentDirectory) const override {
        return inFolder(path, path, "rm ", currentDirectory);
    }
    RemoteCommands makeFolder(const std::string& path, const std::string& currentDirectory) const override {
        const std::string trimmed = withoutTrailingSlash(path);
        return inFolder(trimmed, trimmed, "mkdir ", currentDirectory);
    }
    RemoteCommands removeFolder(const std::string& path, const std::string& currentDirectory) const override {
        const std::string trimmed = withoutTrailingSlash(path);
        return inFolder(trimmed, trimmed, "rmdir ", currentDirectory);
    }
    RemoteCommands rename(const std::string& oldPath, const std::string& newName,
                          const std::string& currentDirectory) const override {
        const std::string trimmed = withoutTrailingSlash(oldPath);
        RemoteCommands out;
        std::string name;
        remoteSplitPath(trimmed, out.directory, name);
        const std::string target = !newName.empty() && newName[0] == '/' ? newName : out.directory + newName;
        out.commands = {"rename " + sftpArgument(currentDirectory, trimmed) + " " +
                        sftpArgument(currentDirectory, target)};
        return out;
    }
    RemoteCommands setModificationTime(const std::string& path, int64_t seconds, const std::string& currentDirectory,
                                       bool) const override {
        // libcurl reads the date with curl_getdate, which takes "YYYYMMDD HH:MM:SS GMT" among others
        // (month and day names would follow the locale).
        const std::string date = "\"" + utcText(seconds, "%Y%m%d %H:%M:%S GMT") + "\" ";
        return inFolder(path, path, ("mtime " + date).c_str(), currentDirectory);
    }
    RemoteCommands digest(const std::string&, const std::string&) const override { return {}; }
    std::string rawCommand(const std::string& directory, const std::string& command) const override {
        return sftpCommandInDirectory(directory, command);
    }
    const char* listingCommand(bool) const override { return nullptr; }
    bool controlConnection() const override { return false; }

private:
    static RemoteCommands inFolder(const std::string& path, const std::string& argument, const char* verb,
                                   const std::string& currentDirectory) {
        RemoteCommands out;
        std::string name;
        remoteSplitPath(path, out.directory, name);
        out.commands = {verb + sftpArgument(currentDirectory, argument)};
        return out;
    }
};

}  // namespace

std::unique_ptr<RemoteProtocol> makeRemoteProtocol(int32_t security) {
    if (security == kRemoteSFTP) return std::make_unique<SftpProtocol>();
    return std::make_unique<FtpProtocol>();
}

void remoteSplitPath(const std::string& path, std::string& directory, std::string& name) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        directory.clear();
        name = path;
    } else {
        directory = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
}

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

}  // namespace

std::string remoteEncodePath(const std::string& path) {
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
