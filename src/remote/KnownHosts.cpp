#include "KnownHosts.h"

#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FolderLock.h"
#include "_Common/Strings/Orb_String.h"

#include <openssl/evp.h>
#include <platform/Files.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

// The key type named at the head of an SSH key blob ("ssh-ed25519", "ecdsa-sha2-nistp256", ...).
std::string keyTypeOf(const unsigned char* key, size_t length) {
    if (length < 4) return {};
    const size_t n = (size_t{key[0]} << 24) | (size_t{key[1]} << 16) | (size_t{key[2]} << 8) | key[3];
    if (n == 0 || n > 64 || n > length - 4) return {};
    return std::string(reinterpret_cast<const char*>(key + 4), n);
}

std::string base64(const unsigned char* data, size_t length) {
    std::string out(4 * ((length + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data, static_cast<int>(length));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string f; in >> f;) out.push_back(f);
    return out;
}

bool namesHost(const std::string& hostList, const std::string& hostField) {
    std::istringstream in(hostList);
    for (std::string name; std::getline(in, name, ',');)
        if (stringNormalize(name) == stringNormalize(hostField)) return true;
    return false;
}

}  // namespace

ucstring knownHostsFilePath(const OrbFileRef& folder) {
    std::string nativeFolder, why;
    if (!platform::fileNativePath(folder.pathAsString(kPathStyleWindows), nativeFolder, why)) return {};
    return ucstringFromUTF8String(nativeFolder + "/known_hosts");
}

std::string knownHostsHostField(const std::string& host, int port) {
    std::string name = host;
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
    return port == -1 || port == 22 ? name : "[" + name + "]:" + std::to_string(port);
}

KnownHostRecord knownHostsRecord(const std::string& nativePath, const std::string& host, int port,
                                 const unsigned char* key, size_t keyLength, std::string& error) {
    const std::string type = keyTypeOf(key, keyLength);
    if (type.empty()) {
        error = "the server's key is not in a form that can be recorded";
        return KnownHostRecord::Failed;
    }
    std::u16string path;
    if (!platform::fileWindowsPath(nativePath, path)) {
        error = "no drive holds " + nativePath;
        return KnownHostRecord::Failed;
    }
    OrbFileRef folder(path);
    folder.removeLastItem();
    const OrbFolderLock lock(folder);
    if (!lock.held()) {
        error = ucstringToUTF8String(lock.error());
        return KnownHostRecord::Failed;
    }
    std::string contents;
    {
        std::ifstream in(nativePath, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        contents = all.str();
    }
    const std::string hostField = knownHostsHostField(host, port);
    const std::string encoded = base64(key, keyLength);
    std::istringstream lines(contents);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> f = fields(line);
        // Comments, markers (@cert-authority, @revoked) and hashed names are left to libcurl's check.
        if (f.size() < 3 || f[0][0] == '#' || f[0][0] == '@' || !namesHost(f[0], hostField) || f[1] != type) continue;
        return f[2] == encoded ? KnownHostRecord::AlreadyKnown : KnownHostRecord::OtherKey;
    }
    if (!contents.empty() && contents.back() != '\n') contents += '\n';
    contents.insert(0, hostField + " " + type + " " + encoded + "\n");
    if (!platform::fileWriteReplacing(path, contents, true, error)) return KnownHostRecord::Failed;
    return KnownHostRecord::Added;
}

bool knownHostsNamesHost(const std::string& nativePath, const std::string& host, int port) {
    std::ifstream in(nativePath);
    const std::string hostField = knownHostsHostField(host, port), plain = knownHostsHostField(host, -1);
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> f = fields(line);
        if (f.size() >= 3 && f[0][0] != '#' && f[0][0] != '@' && (namesHost(f[0], hostField) || namesHost(f[0], plain)))
            return true;
    }
    return false;
}
