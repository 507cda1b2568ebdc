// Handing things to the user's desktop.
#pragma once

#include <string>

namespace platform {

// Opens a web address in the user's browser without waiting for it; false when that cannot start.
bool openURL(const std::string& url);

}  // namespace platform
