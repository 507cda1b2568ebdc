// Host-version predicates and the locations of the plug-in file and the host application.
#pragma once

#include <string>

bool envIsFM_8_5_Plus();
bool envIsFM_11_0_Plus();
bool envIsFM_12_0_Plus();
bool envIsFM_13_0_Plus();
bool envIsFM_14_0_Plus();
bool envIsFM_15_0_Plus();
bool envIsFM_16_0_Plus();

// Parses the host's version text ("Pro 16.0.1", or "Pro 12.0v3" before version 14).
void fmVersion(std::u16string& text, int& major, int& minor, int& patch);

// Full native paths (UTF-8) of the plug-in file and of the host application's executable.
std::string pluginLocation();
std::string fmAppLocation();
