// Debug log settings. Writing the log files arrives with the file and stream layer; until then
// lines are dropped, which is what the log does whenever it cannot write.
#include "Orb_Debug.h"

#include <atomic>

namespace {
std::atomic<bool> gDebugMode{false};
std::atomic<bool> gExtraDebugInfo{false};
std::atomic<bool> gUseSystemLog{false};
std::u16string gDebugLogFolderName;
}  // namespace

void setDebugMode(bool on, const std::u16string&, const std::u16string&, const std::u16string&) { gDebugMode = on; }
bool debugMode() { return gDebugMode; }
void setExtraDebugInfo(bool on) { gExtraDebugInfo = on; }
bool extraDebugInfo() { return gExtraDebugInfo; }
void setUseSystemLog(bool on) { gUseSystemLog = on; }
bool useSystemLog() { return gUseSystemLog; }
const std::u16string& debugLogFolderName() { return gDebugLogFolderName; }
std::u16string& mutableDebugLogFolderName() { return gDebugLogFolderName; }

void debugOutput(const char*, int, const std::string&, int) {}
void debugOutput(const char*, int, const std::u16string&, int) {}

FunctionDebug::FunctionDebug(const char* functionName, int lineNumber, const char* sourceFile)
    : mFileName(sourceFile ? sourceFile : ""), mFunctionName(functionName ? functionName : "") {
    debugOutput(mFileName.c_str(), lineNumber, mFunctionName + ":<<INDENT>>==>>", 1);
}
std::string& FunctionDebug::mutableFileName() { return mFileName; }
const std::string& FunctionDebug::fileName() const { return mFileName; }
std::string& FunctionDebug::mutableFunctionName() { return mFunctionName; }
const std::string& FunctionDebug::functionName() const { return mFunctionName; }
FunctionDebug::~FunctionDebug() { debugOutput(mFileName.c_str(), 0, mFunctionName + ": <<INDENT>><<==", -1); }
void FunctionDebug::output(int lineNumber, const std::string& message) const {
    debugOutput(mFileName.c_str(), lineNumber, mFunctionName + ": <<INDENT>>" + message, 0);
}
void FunctionDebug::output(int lineNumber, const std::u16string& message) const {
    debugOutput(mFileName.c_str(), lineNumber,
                std::u16string(mFunctionName.begin(), mFunctionName.end()) + u": <<INDENT>>" + message, 0);
}

void createDebugLock() {}
void destroyDebugLock() {}
void cleanupDebugVarsCache() {}
void logCallStack() {}
int curlDebugOutput(void*, int, char*, size_t, void*) { return 0; }
