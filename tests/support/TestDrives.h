// A private file system for tests: a temporary folder that holds drive C (labelled "OS"), drive D
// ("Data") and the network root, with the home folder inside drive C. The environment the
// platform layer reads is set for the object's lifetime and restored afterwards.
#pragma once

#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

class TestDrives {
public:
    // extraDrives is appended to VOLAN_DRIVES (";X=/root:Label..."), with "@" standing for the
    // temporary folder.
    explicit TestDrives(const std::string& extraDrives = "") {
        char pattern[] = "/tmp/volan-files-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        mRoot = pattern;
        for (const char* folder : {"/c", "/c/home", "/c/home/me", "/c/tmp", "/d", "/net"}) makeFolder(mRoot + folder);
        std::string extra = extraDrives;
        for (size_t at = extra.find('@'); at != std::string::npos; at = extra.find('@', at + mRoot.size()))
            extra.replace(at, 1, mRoot);
        set("VOLAN_DRIVES", "C=" + mRoot + "/c:OS;D=" + mRoot + "/d:Data" + extra);
        set("VOLAN_NETWORK_ROOT", mRoot + "/net");
        set("HOME", mRoot + "/c/home/me");
        set("TMPDIR", mRoot + "/c/tmp");
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DESKTOP_DIR", "XDG_DOCUMENTS_DIR"})
            set(name, std::nullopt);
        OrbFileRef::resetVolumeCache();
    }

    ~TestDrives() {
        for (const auto& [name, value] : mSaved) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        OrbFileRef::resetVolumeCache();
        removeTree(mRoot);
    }

    TestDrives(const TestDrives&) = delete;
    TestDrives& operator=(const TestDrives&) = delete;

    const std::string& root() const { return mRoot; }
    std::string c(const std::string& rest = "") const { return mRoot + "/c" + rest; }
    std::string d(const std::string& rest = "") const { return mRoot + "/d" + rest; }
    std::string net(const std::string& rest = "") const { return mRoot + "/net" + rest; }

    // Sets (or with nullopt removes) an environment variable until the object goes away.
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (!mSaved.count(name)) {
            const char* old = std::getenv(name.c_str());
            mSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
        OrbFileRef::resetVolumeCache();
    }

    static void makeFolder(const std::string& path) { mkdir(path.c_str(), 0777); }

    static void writeFile(const std::string& path, const std::string& contents) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << contents;
    }

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    static bool exists(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0;
    }

    static void removeTree(const std::string& path) {
        nftw(
            path.c_str(), [](const char* p, const struct stat*, int, FTW*) { return ::remove(p) == 0 ? 0 : 0; }, 16,
            FTW_DEPTH | FTW_PHYS);
    }

private:
    std::string mRoot;
    std::map<std::string, std::optional<std::string>> mSaved;
};
