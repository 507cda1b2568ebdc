// The plug-in's worker thread, which owns the configuration store.
#pragma once

#include <FMWrapper/FMXClient.h>

#include <string>

void startupPluginThread(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText);
void shutdownPluginThread();
