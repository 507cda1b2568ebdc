// The process-wide configuration: the host facts recorded at load.
#pragma once

#include <FMWrapper/FMXClient.h>

#include <string>

// The host's extension version, application type and version text, as they came with init.
fmx::int16 constFMAPIVersion();
fmx::uint8 constFMProduct();
const std::u16string& constFMVersionStr();

// Records the host facts and builds the configuration store.
void pluginConfigInit(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText);
void pluginConfigShutdown();
