#include <platform/Module.h>

#include <dlfcn.h>
#include <limits.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace platform {

std::string modulePathOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || !info.dli_fname) return {};
    std::string path = info.dli_fname;
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved)) path = resolved;
    return path;
}

std::string executablePath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string systemVersionText() {
    struct utsname u {};
    if (uname(&u) != 0) return "Unknown system";
    return std::string(u.sysname) + " " + u.release + " " + u.version + " " + u.machine;
}

void* loadedLibrary(const char* name) { return dlopen(name, RTLD_NOW | RTLD_NOLOAD); }

void* librarySymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void releaseLibrary(void* library) {
    if (library) dlclose(library);
}

}  // namespace platform
