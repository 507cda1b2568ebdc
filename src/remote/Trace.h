// libcurl's protocol trace in the debug log.
#pragma once

#include <cstddef>

// Writes one trace record as a debug-log line: "CURL: " and the kind of record (libcurl's
// curl_infotype number: 0 info, 1 header in, 2 header out, 3 data in, 4 data out, 5 and 6 TLS
// data), then the text with any login secret masked. Nothing when debug mode is off.
void remoteTraceRecord(int infoType, const char* data, size_t size);
