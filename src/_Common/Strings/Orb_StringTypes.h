// The two text forms the plug-in holds: wide text (UTF-16 units, exchanged with the host) and
// 8-bit text (UTF-8 or raw bytes: protocol text, file contents, paths on the wire).
#pragma once

#include <string>
#include <vector>

using ucstring = std::u16string;
using ucstringlist = std::vector<ucstring>;
using stringlist = std::vector<std::string>;
