// The debug log's files: each thread writes its own tab-separated file, in the folder the user chose
// or else the first of the fallbacks (Desktop, local application data, temporary folder) that can
// be made private to the user.
#pragma once

#include <string>

// Switches debug mode on or off; switching it on writes the header lines (product, versions, host).
void setDebugMode(bool on, const std::u16string& applicationName, const std::u16string& applicationVersion,
                  const std::u16string& coreVersion);
const std::u16string& debugLogFolderName();
std::u16string& mutableDebugLogFolderName();
