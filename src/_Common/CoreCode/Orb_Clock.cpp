#include "Orb_Clock.h"

#include <ctime>
#include <mutex>

namespace {
std::mutex gMutex;
std::function<int64_t()> gClock;
}  // namespace

int64_t orbClockSeconds() {
    std::lock_guard<std::mutex> lock(gMutex);
    return gClock ? gClock() : static_cast<int64_t>(std::time(nullptr));
}

void setOrbClockForTesting(std::function<int64_t()> clock) {
    std::lock_guard<std::mutex> lock(gMutex);
    gClock = std::move(clock);
}
