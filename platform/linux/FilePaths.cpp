// The Windows view of the native file system: the drive table, the network root, names, paths and
// known folders. See Files.h for the mapping and README.md ("Local paths on Linux") for the
// environment variables.
#include <platform/Files.h>

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>

namespace platform {

namespace {

constexpr char16_t kBackslashInName = 0xF05C;
constexpr char16_t kRawByteBase = 0xF700;  // raw byte b (0x80..0xFF) is U+F700 + b
constexpr char16_t kRawByteFirst = 0xF780;
constexpr char16_t kRawByteLast = 0xF7FF;

// ---- UTF-8 ----------------------------------------------------------------------------------

// Decodes one well-formed UTF-8 sequence (no overlong forms, no surrogates, at most U+10FFFF);
// returns its length, or 0 when the bytes at `i` do not start one.
size_t utf8Sequence(std::string_view s, size_t i, char32_t& codePoint) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    size_t length;
    char32_t cp;
    char32_t minimum;
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return 0;
        cp = cp << 6 | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    codePoint = cp;
    return length;
}

void appendUTF8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | cp >> 6));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | cp >> 12));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | cp >> 18));
        out.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// ---- Native paths ---------------------------------------------------------------------------

// The components of an absolute native path, with "." dropped and ".." resolved lexically.
std::vector<std::string> nativeComponents(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.emplace_back(part);
        }
        start = end + 1;
    }
    return parts;
}

std::string joinNative(const std::vector<std::string>& parts) {
    if (parts.empty()) return "/";
    std::string out;
    for (const std::string& p : parts) out += "/" + p;
    return out;
}

std::string normalizeNative(std::string_view path) { return joinNative(nativeComponents(path)); }

// ---- Drive table ----------------------------------------------------------------------------

std::string trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

std::string lowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::optional<DriveKind> driveKindOfName(const std::string& name) {
    const std::string n = lowerAscii(name);
    if (n == "fixed") return DriveKind::Fixed;
    if (n == "removable") return DriveKind::Removable;
    if (n == "cdrom") return DriveKind::CdRom;
    if (n == "network") return DriveKind::Network;
    if (n == "ram" || n == "ramdisk") return DriveKind::RamDisk;
    if (n == "unknown") return DriveKind::Unknown;
    return std::nullopt;
}

// udev writes unusual bytes of a label as \xHH in the link names of /dev/disk/by-label.
std::string unescapeUdev(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 3]))) {
            out.push_back(static_cast<char>(std::stoi(s.substr(i + 2, 2), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// The label of the file system that holds `root`, when the system knows one.
std::u16string fileSystemLabel(const std::string& root) {
    struct stat rootStat {};
    if (stat(root.c_str(), &rootStat) != 0) return {};
    const char* folder = "/dev/disk/by-label";
    DIR* dir = opendir(folder);
    if (!dir) return {};
    std::u16string label;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        struct stat device {};
        const std::string path = std::string(folder) + "/" + entry->d_name;
        if (stat(path.c_str(), &device) == 0 && S_ISBLK(device.st_mode) && device.st_rdev == rootStat.st_dev) {
            label = fileNameFromNative(unescapeUdev(entry->d_name));
            break;
        }
    }
    closedir(dir);
    return label;
}

bool isFolder(const std::string& native) {
    struct stat st {};
    return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

struct Tables {
    std::vector<Drive> drives;
    std::string networkRoot;
};

std::mutex gTablesMutex;
std::optional<Tables> gTables;

// VOLAN_DRIVES: entries "L=root[:label[:kind]]" separated by ";". The root is a native folder
// (it may not hold ":"); kind is fixed (default), removable, cdrom, network or ram. Drive C is
// always present: "/" unless the variable gives it another root.
Tables readTables() {
    Tables t;
    std::vector<Drive> drives;
    if (const char* table = std::getenv("VOLAN_DRIVES")) {
        std::string_view rest(table);
        while (!rest.empty()) {
            const size_t semi = rest.find(';');
            const std::string entry = trim(rest.substr(0, semi));
            rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
            const size_t eq = entry.find('=');
            if (eq != 1 || !std::isalpha(static_cast<unsigned char>(entry[0]))) continue;
            Drive d;
            d.letter = static_cast<char16_t>(std::toupper(static_cast<unsigned char>(entry[0])));
            std::string value = entry.substr(2);
            std::string label;
            std::string kind;
            const size_t colon = value.find(':');
            if (colon != std::string::npos) {
                label = value.substr(colon + 1);
                value.resize(colon);
                const size_t colon2 = label.find(':');
                if (colon2 != std::string::npos) {
                    kind = trim(label.substr(colon2 + 1));
                    label.resize(colon2);
                }
            }
            value = trim(value);
            if (value.empty() || value[0] != '/') continue;
            d.root = normalizeNative(value);
            d.label = fileNameFromNative(trim(label));
            if (!kind.empty()) {
                const std::optional<DriveKind> k = driveKindOfName(kind);
                if (!k) continue;
                d.kind = *k;
            }
            drives.erase(std::remove_if(drives.begin(), drives.end(),
                                        [&](const Drive& other) { return other.letter == d.letter; }),
                         drives.end());
            drives.push_back(d);
        }
    }
    if (std::none_of(drives.begin(), drives.end(), [](const Drive& d) { return d.letter == u'C'; })) {
        Drive c;
        c.letter = u'C';
        c.root = "/";
        c.label = fileSystemLabel("/");
        drives.push_back(c);
    }
    for (Drive& d : drives) {
        const bool exists = isFolder(d.root);
        if (d.kind == DriveKind::Removable || d.kind == DriveKind::CdRom)
            d.ready = exists;
        else if (!exists)
            d.kind = DriveKind::NoRootFolder, d.ready = false;
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) { return a.letter < b.letter; });
    t.drives = std::move(drives);

    const char* net = std::getenv("VOLAN_NETWORK_ROOT");
    t.networkRoot = normalizeNative(net && net[0] == '/' ? net : "/net");
    return t;
}

const Tables& tables() {
    // Callers hold gTablesMutex.
    if (!gTables) gTables = readTables();
    return *gTables;
}

bool findDrive(char16_t letter, Drive& drive) {
    std::lock_guard<std::mutex> lock(gTablesMutex);
    if (letter >= u'a' && letter <= u'z') letter = static_cast<char16_t>(letter - u'a' + u'A');
    for (const Drive& d : tables().drives) {
        if (d.letter == letter) {
            drive = d;
            return true;
        }
    }
    return false;
}

// ---- Known folders --------------------------------------------------------------------------

std::string environmentFolder(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string homeFolder() {
    std::string home = environmentFolder("HOME");
    if (!home.empty()) return normalizeNative(home);
    struct passwd pw {};
    struct passwd* result = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &pw, buffer, sizeof buffer, &result) == 0 && result && result->pw_dir &&
        result->pw_dir[0] == '/')
        return normalizeNative(result->pw_dir);
    return "/";
}

std::string configHome() {
    const std::string v = environmentFolder("XDG_CONFIG_HOME");
    return v.empty() ? homeFolder() + "/.config" : v;
}

std::string dataHome() {
    const std::string v = environmentFolder("XDG_DATA_HOME");
    return v.empty() ? homeFolder() + "/.local/share" : v;
}

// A user folder of the XDG user-dirs convention: the environment variable, else its line in
// $XDG_CONFIG_HOME/user-dirs.dirs (XDG_DESKTOP_DIR="$HOME/Desktop"), else ~/fallback.
std::string userFolder(const char* variable, const char* fallback) {
    std::string v = environmentFolder(variable);
    if (!v.empty()) return v;
    std::ifstream dirs(configHome() + "/user-dirs.dirs");
    std::string line;
    const std::string key = std::string(variable) + "=";
    while (std::getline(dirs, line)) {
        line = trim(line);
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0) value = homeFolder() + value.substr(5);
        if (!value.empty() && value[0] == '/') return value;
    }
    return homeFolder() + "/" + fallback;
}

}  // namespace

// ---- Names ----------------------------------------------------------------------------------

std::u16string fileNameFromNative(std::string_view nativeName) {
    std::u16string out;
    out.reserve(nativeName.size());
    size_t i = 0;
    while (i < nativeName.size()) {
        char32_t cp = 0;
        const size_t length = utf8Sequence(nativeName, i, cp);
        const bool reserved = cp == kBackslashInName || (cp >= kRawByteFirst && cp <= kRawByteLast);
        if (length == 0 || reserved) {
            // Invalid bytes, and the bytes of a character that would read back as an escape.
            const size_t count = length == 0 ? 1 : length;
            for (size_t k = 0; k < count; ++k)
                out.push_back(static_cast<char16_t>(kRawByteBase + static_cast<unsigned char>(nativeName[i + k])));
            i += count;
            continue;
        }
        if (cp == U'\\') {
            out.push_back(kBackslashInName);
        } else if (cp >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += length;
    }
    return out;
}

std::string fileNameToNative(std::u16string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t u = name[i];
        if (u >= kRawByteFirst && u <= kRawByteLast) {
            out.push_back(static_cast<char>(u - kRawByteBase));
        } else if (u == kBackslashInName) {
            out.push_back('\\');
        } else if (u == u'/') {
            out.push_back(':');
        } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
                   name[i + 1] <= 0xDFFF) {
            appendUTF8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (name[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUTF8(out, 0xFFFD);  // a lone surrogate has no UTF-8 form
        } else {
            appendUTF8(out, u);
        }
    }
    return out;
}

// ---- Tables ---------------------------------------------------------------------------------

std::vector<Drive> fileDrives() {
    std::lock_guard<std::mutex> lock(gTablesMutex);
    return tables().drives;
}

std::string fileNetworkRoot() {
    std::lock_guard<std::mutex> lock(gTablesMutex);
    return tables().networkRoot;
}

void fileResetTables() {
    std::lock_guard<std::mutex> lock(gTablesMutex);
    gTables.reset();
}

int fileConnectShare(std::u16string_view server, std::u16string_view share) {
    if (server.empty() || share.empty()) return EINVAL;
    const std::string folder = fileNetworkRoot() + "/" + fileNameToNative(server) + "/" + fileNameToNative(share);
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

// ---- Paths ----------------------------------------------------------------------------------

bool fileNativePath(std::u16string_view windowsPath, std::string& nativePath, std::string& error) {
    nativePath.clear();
    std::string base;
    size_t fixedParts = 0;  // leading components ".." may not remove (server and share)
    std::u16string_view rest;
    if (windowsPath.size() >= 2 && windowsPath[0] == u'\\' && windowsPath[1] == u'\\') {
        base = fileNetworkRoot();
        rest = windowsPath.substr(2);
        fixedParts = 2;
    } else if (windowsPath.size() >= 2 && windowsPath[1] == u':' && windowsPath[0] < 0x80 &&
               std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        Drive drive;
        if (!findDrive(windowsPath[0], drive)) {
            error = fileErrorMessage(ENOENT);
            return false;
        }
        base = drive.root;
        rest = windowsPath.substr(2);
    } else {
        error = fileErrorMessage(EINVAL);
        return false;
    }

    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(u'\\', start);
        if (end == std::u16string_view::npos) end = rest.size();
        const std::u16string_view part = rest.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == u".") continue;
        if (part == u"..") {
            if (parts.size() > fixedParts) parts.pop_back();
            continue;
        }
        std::string native = fileNameToNative(part);
        if (native.find('\0') != std::string::npos) {
            error = fileErrorMessage(EINVAL);
            return false;
        }
        parts.push_back(std::move(native));
    }
    if (parts.size() < fixedParts) {
        error = fileErrorMessage(ENOENT);
        return false;
    }
    nativePath = base == "/" ? std::string() : base;
    for (const std::string& p : parts) nativePath += "/" + p;
    if (nativePath.empty()) nativePath = "/";
    return true;
}

bool fileWindowsPath(std::string_view nativePath, std::u16string& windowsPath) {
    windowsPath.clear();
    if (nativePath.empty() || nativePath[0] != '/') return false;
    const std::vector<std::string> parts = nativeComponents(nativePath);
    const auto isPrefix = [&](const std::vector<std::string>& root) {
        return root.size() <= parts.size() && std::equal(root.begin(), root.end(), parts.begin());
    };

    std::vector<Drive> drives;
    std::string networkRoot;
    {
        std::lock_guard<std::mutex> lock(gTablesMutex);
        drives = tables().drives;
        networkRoot = tables().networkRoot;
    }
    const Drive* best = nullptr;
    size_t bestLength = 0;
    for (const Drive& d : drives) {
        const std::vector<std::string> root = nativeComponents(d.root);
        if (isPrefix(root) && (!best || root.size() > bestLength)) best = &d, bestLength = root.size();
    }
    const std::vector<std::string> net = nativeComponents(networkRoot);
    const bool onShare = isPrefix(net) && parts.size() >= net.size() + 2 && (!best || net.size() > bestLength);

    size_t first;
    if (onShare) {
        windowsPath = u"\\\\";
        first = net.size();
    } else if (best) {
        windowsPath = std::u16string(1, best->letter) + u":\\";
        first = bestLength;
    } else {
        return false;
    }
    for (size_t i = first; i < parts.size(); ++i) {
        if (i > first) windowsPath += u'\\';
        windowsPath += fileNameFromNative(parts[i]);
    }
    return true;
}

// ---- Known folders --------------------------------------------------------------------------

std::string fileTemporaryRoot() {
    const std::string folder = environmentFolder("TMPDIR");
    return folder.empty() ? "/tmp" : folder;
}

bool fileKnownFolder(KnownFolder folder, std::u16string& windowsPath, std::string& error) {
    std::string native;
    switch (folder) {
        case KnownFolder::System: native = "/usr/lib"; break;
        case KnownFolder::Desktop: native = userFolder("XDG_DESKTOP_DIR", "Desktop"); break;
        case KnownFolder::CommonDesktop: native = "/usr/share/applications"; break;
        case KnownFolder::RecycleBin: native = dataHome() + "/Trash"; break;
        case KnownFolder::Startup: native = configHome() + "/autostart"; break;
        case KnownFolder::LocalAppData: native = dataHome(); break;
        case KnownFolder::Temporary: native = fileTemporaryRoot(); break;
        case KnownFolder::ProgramFiles: native = "/opt"; break;
        case KnownFolder::Documents: native = userFolder("XDG_DOCUMENTS_DIR", "Documents"); break;
        case KnownFolder::Home: native = homeFolder(); break;
    }
    if (!fileWindowsPath(native, windowsPath)) {
        error = "The folder " + normalizeNative(native) + " lies outside every drive.";
        return false;
    }
    return true;
}

std::string fileErrorMessage(int errorNumber) {
    char buffer[256];
    return strerror_r(errorNumber, buffer, sizeof buffer);
}

}  // namespace platform
