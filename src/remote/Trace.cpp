#include "Trace.h"

#include "Orb_Debug.h"

#include <string>

void remoteTraceRecord(int infoType, const char* data, size_t size) {
    if (!debugMode()) return;
    static const char* const kPrefixes[] = {
        "CURL: Info: ",     "CURL: Header In: ",   "CURL: Header Out: ",  "CURL: Data In: ",
        "CURL: Data Out: ", "CURL: SSL Data In: ", "CURL: SSL Data Out: "};
    std::string text = data ? std::string(data, size) : std::string();
    debugMaskSecrets(text);
    const char* prefix = infoType >= 0 && infoType < 7 ? kPrefixes[infoType] : "CURL: ";
    // The trace's lines have always been filed under this name; log readers look for it.
    debugOutput("Function__Common", __LINE__, prefix + text);
}
