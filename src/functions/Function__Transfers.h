// The four transfer workers: one libcurl transfer on the session's connection each. They are
// shared by the transfer functions, the directory transfers and the queue thread, and return an
// error text (empty on success).
#pragma once

#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/Strings/Orb_String.h"

#include <string>

class PluginVariables;

// `remotePath` is UTF-8 and relative to the connection's base URL.
ucstring uploadFile(PluginVariables& variables, const OrbFileRef& localFile, const std::string& remotePath,
                    bool append, bool asciiMode);
ucstring downloadFile(PluginVariables& variables, const std::string& remotePath, const OrbFileRef& localFile,
                      bool append, bool asciiMode);
ucstring uploadText(PluginVariables& variables, const ucstringlist& lines, const std::string& remotePath, bool append,
                    int32_t lineEnding, int16_t charSet, bool includeBOM);
ucstring downloadText(PluginVariables& variables, const std::string& remotePath, ucstringlist& lines);

// The name a queued transfer is known by: date, time and a random number.
ucstring generateTransferID();
