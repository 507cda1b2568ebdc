// Every test program runs in a world of its own: its own home folder, so preferences, accounts and
// debug logs never touch the developer's, and test programs running side by side never share them.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
struct PrivateWorld {
    std::filesystem::path home =
        std::filesystem::temp_directory_path() / ("volan-test-home-" + std::to_string(getpid()));

    PrivateWorld() {
        std::filesystem::create_directories(home / "Desktop");
        std::filesystem::create_directories(home / "Documents");
        setenv("HOME", home.c_str(), 1);
        setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
        setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
        unsetenv("XDG_DESKTOP_DIR");
        unsetenv("XDG_DOCUMENTS_DIR");
    }
    ~PrivateWorld() {
        std::error_code ignored;
        std::filesystem::remove_all(home, ignored);
    }
} gPrivateWorld;
}  // namespace
