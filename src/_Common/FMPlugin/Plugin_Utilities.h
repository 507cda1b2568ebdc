// Host-version predicates and the locations of the plug-in file and the host application.
#pragma once

#include <string>

class OrbFileRef;

bool envIsFM_8_5_Plus();
bool envIsFM_11_0_Plus();
bool envIsFM_12_0_Plus();
bool envIsFM_13_0_Plus();
bool envIsFM_14_0_Plus();
bool envIsFM_15_0_Plus();
bool envIsFM_16_0_Plus();

// Parses the host's version text ("Pro 16.0.1", or "Pro 12.0v3" before version 14).
void fmVersion(std::u16string& text, int& major, int& minor, int& patch);

// The plug-in file and the host application's executable; false when the system cannot say or
// the file lies outside every drive.
bool pluginLocation(OrbFileRef& location);
bool fmAppLocation(OrbFileRef& location);
