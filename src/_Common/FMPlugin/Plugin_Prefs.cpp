#include "Plugin_Prefs.h"

std::u16string pluginAppPrefs(const std::u16string&) { return u"The configuration dialog is not available yet."; }
