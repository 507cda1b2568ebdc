// A named system mutex shared by every process of the user that opens the same name, with the
// three outcomes of a timed wait: acquired, timed out, and abandoned (the owner ended while holding
// it). The owning thread may take it again (it is re-entrant). Like a named mutex of the system
// it stands in for, it lives while any process has it open: the first process to open a name after
// all others closed it gets a fresh, unowned mutex.
#pragma once

#include <string>

namespace platform {

class NamedMutex {
public:
    enum class Lock { Acquired, TimedOut, Abandoned, Failed };

    NamedMutex() = default;
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Opens (creating when needed) the mutex of that name. False with a reason on failure.
    bool open(const std::string& name, std::string& error);
    bool isOpen() const { return mShared != nullptr; }
    void close();

    // Waits up to timeoutMs (negative: without limit). After Abandoned the caller does not hold the
    // mutex; it has been made usable again for others. `errorCode` is set for Failed.
    Lock lock(int timeoutMs, int* errorCode = nullptr);
    void unlock();

    // Removes the name from the system (tests use private names and clean them up).
    static void remove(const std::string& name);

private:
    struct Shared;
    Shared* mShared = nullptr;
    int mFd = -1;
};

}  // namespace platform
