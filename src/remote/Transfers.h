// The four transfers: one file or text moved over a Connection, with the status window's text and
// progress. They return an error text (empty on success). `remotePath` is UTF-8 and relative to the
// connection's base URL.
#pragma once

#include "_Common/Strings/Orb_StringTypes.h"

#include <cstdint>
#include <string>

class Connection;
class OrbFileRef;

[[nodiscard]] ucstring uploadFile(Connection& connection, const OrbFileRef& localFile, const std::string& remotePath,
                                  bool append, bool asciiMode);
// A replacing download goes to ".NAME.part" beside the target and takes its place when complete;
// an appending one is cut back to the old size when it fails. `listedSize`, when a listing gave
// the file's size (>= 0), spares asking the server for it; a file that arrives with another size
// is checked against the server's size then.
[[nodiscard]] ucstring downloadFile(Connection& connection, const std::string& remotePath, const OrbFileRef& localFile,
                                    bool append, bool asciiMode, int64_t listedSize = -1);
[[nodiscard]] ucstring uploadText(Connection& connection, const ucstringlist& lines, const std::string& remotePath,
                                  bool append, int32_t lineEnding, int16_t charSet, bool includeBOM);
[[nodiscard]] ucstring downloadText(Connection& connection, const std::string& remotePath, ucstringlist& lines);
