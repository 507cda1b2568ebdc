// What the host told the plug-in about itself when it loaded it: its call record, extension
// version, application type and version text. Recorded once at init; read from any thread.
#pragma once

#include <FMWrapper/FMXExtern.h>
#include <FMWrapper/FMXTypes.h>

#include <string>

void setHostFacts(fmx::int16 version, fmx::uint8 applicationType, const std::u16string& versionText);
fmx::int16 constFMAPIVersion();
fmx::uint8 constFMProduct();
const std::u16string& constFMVersionStr();

// The host's call record, stored first thing on every entry and kept for the process's life.
extern FMX_ExternCallPtr gFMX_ExternCallPtr;
