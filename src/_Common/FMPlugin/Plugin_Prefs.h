// The plug-in's preferences.
#pragma once

#include <string>

// What the host's Configure button runs: shows the configuration dialog opened to a tab.
// Returns an error text, empty on success.
std::u16string pluginAppPrefs(const std::u16string& initialTab);
