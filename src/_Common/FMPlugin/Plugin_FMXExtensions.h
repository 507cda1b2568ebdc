// Host interface functions that only newer hosts have are looked up at run time; the plug-in
// exports forwarders under their names, so the rest of the program calls them as usual. A
// forwarder whose function the host lacks calls nothing and returns 1223 (for functions that
// return a host error code) or 0.
#pragma once

void loadFMXAPIExtensions();

// The error a forwarder returns when the host lacks the function.
constexpr short kFMXExtensionMissing = 1223;
