#include "Plugin_Thread.h"

#include "Plugin_Config.h"

void startupPluginThread(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText) {
    pluginConfigInit(version, applicationType, versionText);
}

void shutdownPluginThread() { pluginConfigShutdown(); }
