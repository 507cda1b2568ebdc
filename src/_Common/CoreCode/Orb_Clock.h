// The clock that the once-a-minute checks of the preferences and account files read. Tests put
// their own in its place, so they need not wait.
#pragma once

#include <cstdint>
#include <functional>

// Seconds since 1970 (the system clock, or the test's).
int64_t orbClockSeconds();
// An empty function gives the system clock back.
void setOrbClockForTesting(std::function<int64_t()> clock);
