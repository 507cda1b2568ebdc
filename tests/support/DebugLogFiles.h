// Reading the debug log back in tests: its files as rows of tab-separated columns.
#pragma once

#include "Orb_Debug.h"
#include "_Common/Strings/Orb_String.h"

#include <platform/Files.h>

#include <string>
#include <vector>

namespace debuglog {

using Row = std::vector<std::string>;

inline std::string nativePath(const std::u16string& windowsPath) {
    std::string native, error;
    platform::fileNativePath(windowsPath, native, error);
    return native;
}

// The lines of a log file (each ends with CR LF), split into columns.
inline std::vector<Row> rows(const std::string& text) {
    std::vector<Row> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        Row row;
        const std::string line = text.substr(start, end - start);
        size_t from = 0;
        for (size_t tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', from)) {
            row.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        row.push_back(line.substr(from));
        out.push_back(row);
        start = end + 2;
    }
    return out;
}

}  // namespace debuglog
