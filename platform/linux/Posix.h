// What the Linux file code shares: failures as the system's texts, a descriptor closed on every
// path, and the whole-file copy. Internal to this backend.
#pragma once

#include <platform/Files.h>

#include <unistd.h>

#include <string>

namespace platform::posix {

inline bool fail(std::string& error, int errorNumber) {
    error = fileErrorMessage(errorNumber);
    return false;
}

// A device, FIFO or socket where a File must be: the system has no error number of its own for it.
inline bool failNotAFile(std::string& error) {
    error = "Not a regular file (a device, FIFO or socket)";
    return false;
}

struct Descriptor {
    int fd = -1;
    explicit Descriptor(int f) : fd(f) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
};

// Copies the whole of `from` (from where it stands) into `to`, in the kernel when it can.
bool copyContents(int from, int to, std::string& error);

}  // namespace platform::posix
