// The debug log. Each thread that writes a line gets a record in a process-wide table (guarded by
// the debug lock) with its own log file and scope depth; lines are written unbuffered and
// the file is closed after each line, so a log survives a crash up to its last line.
#include "Orb_Debug.h"

#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <FMWrapper/FMXCalcEngine.h>
#include <platform/Threads.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int kDebugLockWaitMs = 100;
constexpr int kMaxIndent = 50;
const char* const kIndentMarker = "<<INDENT>>";

struct DebugVariables {
    platform::ThreadId threadId = 0;
    bool writing = false;
    ucstring logFileName;  // Windows path of this thread's file; empty until the first line
    int8_t indentLevel = 0;
};

std::atomic<bool> gDebugMode{false};
std::atomic<bool> gExtraDebugInfo{false};
std::atomic<bool> gUseSystemLog{false};

// Where the lines go while debug mode is on.
std::atomic<DebugLineWriter> gWriter{nullptr};

OrbLock gDebugLock("Debug");
// Keeps the table whole also while the debug lock does not exist (before the worker thread makes
// it, or after it was abandoned).
platform::TimedMutex gTableMutex;
std::vector<std::shared_ptr<DebugVariables>> gDebugVariables;

// A line being written makes every line asked for meanwhile by the same thread (for example by
// the file code the log uses) a no-op.
thread_local bool tWriting = false;

// ---- The table of threads -----------------------------------------------------------------------

std::shared_ptr<DebugVariables> debugVariablesForThread() {
    std::unique_lock<platform::TimedMutex> local(gTableMutex, std::chrono::milliseconds(kDebugLockWaitMs));
    if (!local.owns_lock()) return nullptr;
    const bool guarded = orbMultiThreaded() && gDebugLock.created();
    if (guarded && !gDebugLock.lock(kDebugLockWaitMs).empty()) return nullptr;

    const platform::ThreadId id = platform::currentThreadId();
    std::shared_ptr<DebugVariables> found;
    for (const auto& v : gDebugVariables) {
        if (v->threadId == id) {
            found = v;
            break;
        }
    }
    if (!found) {
        // Records of threads that have ended are cleared and reused.
        for (auto& v : gDebugVariables) {
            if (!platform::threadIsAlive(v->threadId)) {
                v = std::make_shared<DebugVariables>();
                v->threadId = id;
                found = v;
                break;
            }
        }
    }
    if (!found) {
        found = std::make_shared<DebugVariables>();
        found->threadId = id;
        gDebugVariables.push_back(found);
    }
    if (guarded) gDebugLock.unlock();
    return found;
}

// ---- Formatting ---------------------------------------------------------------------------------

std::string baseName(const char* sourceFile) {
    if (!sourceFile) return {};
    std::string name(sourceFile);
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// Keeps a message on one line of the tab-separated file.
std::string escapeMessage(const std::string& message) {
    std::string out = message;
    for (char& c : out) {
        switch (c) {
            case '\t': c = '`'; break;
            case '\n': c = ' '; break;
            case '\r': c = '~'; break;
            case '\0': c = '.'; break;
            default: break;
        }
    }
    return out;
}

std::string sessionColumn() {
    if (!gFMX_ExternCallPtr || !gFMX_ExternCallPtr->cCurrentEnv) return "Undefined";
    try {
        fmx::ExprEnvUniquePtr env;
        if (gFMX_ExternCallPtr->cCurrentEnv(env.get()) != 0) return "Undefined";
        return std::to_string(static_cast<unsigned long long>(env->SessionID()));
    } catch (...) {
        return "Undefined";
    }
}

std::string timestamp() {
    ucstring text;
    OrbDateTime().dateTimeString(text, false);
    return ucstringToUTF8String(text);
}

struct WritingScope {
    DebugVariables& vars;
    explicit WritingScope(DebugVariables& v) : vars(v) { vars.writing = tWriting = true; }
    ~WritingScope() { vars.writing = tWriting = false; }
};

// The secrets a protocol trace can carry in one line.
void maskLine(std::string& line) {
    const auto startsWithWord = [&](const char* word) {
        const size_t n = std::char_traits<char>::length(word);
        if (line.size() < n || !stringStartsWith(line.substr(0, n), std::string(word), true)) return false;
        return line.size() == n || line[n] == ' ';
    };
    // FTP commands that carry the password (PASS) or account information (ACCT).
    if (startsWithWord("PASS") || startsWithWord("ACCT")) {
        line = line.substr(0, 4) + " ********";
        return;
    }
    // HTTP-style credentials: keep the scheme, hide the rest.
    for (const char* header : {"Authorization:", "Proxy-Authorization:"}) {
        if (!stringStartsWith(line, std::string(header), true)) continue;
        const size_t valueStart = line.find_first_not_of(' ', std::char_traits<char>::length(header));
        const size_t schemeEnd = valueStart == std::string::npos ? std::string::npos : line.find(' ', valueStart);
        line = (schemeEnd == std::string::npos ? line.substr(0, std::char_traits<char>::length(header))
                                               : line.substr(0, schemeEnd)) +
               " ********";
        return;
    }
    // user:password@ in a URL.
    for (size_t scheme = line.find("://"); scheme != std::string::npos; scheme = line.find("://", scheme + 3)) {
        const size_t start = scheme + 3;
        const size_t hostEnd = line.find_first_of("/ \t", start);
        const size_t at = line.rfind('@', hostEnd == std::string::npos ? std::string::npos : hostEnd);
        if (at == std::string::npos || at < start) continue;
        const size_t colon = line.find(':', start);
        if (colon == std::string::npos || colon > at) continue;
        line.replace(colon + 1, at - colon - 1, "********");
    }
}

}  // namespace

// ---- Settings -----------------------------------------------------------------------------------

void setDebugOutput(bool on, DebugLineWriter writer) {
    if (on) gWriter = writer;
    gDebugMode = on;
}

bool debugMode() { return gDebugMode; }

void setExtraDebugInfo(bool on) {
    gExtraDebugInfo = on;
    DEBUG_OUT(on ? "Extra Debug Info enabled." : "Extra Debug Info disabled.");
}

bool extraDebugInfo() { return gExtraDebugInfo; }

void setUseSystemLog(bool on) {
    if (gUseSystemLog.exchange(on) == on) return;
    DEBUG_OUT(on ? "Now also logging to the System Log." : "No longer logging to the System Log.");
}

bool useSystemLog() { return gUseSystemLog; }
// ---- Lines --------------------------------------------------------------------------------------

void debugOutput(const char* sourceFile, int lineNumber, const std::string& message, int indentChange) {
    if (!gDebugMode || tWriting) return;
    try {
        const std::shared_ptr<DebugVariables> vars = debugVariablesForThread();
        if (!vars || vars->writing) return;
        WritingScope writing(*vars);

        if (indentChange > 0 && vars->indentLevel < INT8_MAX) ++vars->indentLevel;
        if (indentChange < 0 && vars->indentLevel > 0) --vars->indentLevel;
        const std::string indent(static_cast<size_t>(std::min<int>(vars->indentLevel, kMaxIndent)), ' ');
        const std::string text = stringReplaceAll(escapeMessage(message), kIndentMarker, indent);

        const bool withSession = constFMAPIVersion() >= 56;  // FileMaker 15 and later
        std::string line = std::to_string(vars->threadId) + "\t";
        if (withSession) line += sessionColumn() + "\t";
        line += timestamp() + "\t" + baseName(sourceFile) + "\t" + std::to_string(lineNumber) + "\t" + text;
        if (const DebugLineWriter writer = gWriter) writer(vars->threadId, vars->logFileName, line, withSession);
    } catch (...) {
        // The log never fails its caller.
    }
}

void debugOutput(const char* sourceFile, int lineNumber, const std::u16string& message, int indentChange) {
    if (!gDebugMode || tWriting) return;
    debugOutput(sourceFile, lineNumber, ucstringToUTF8String(message), indentChange);
}

ucstring debugLogFileForThread() {
    if (const std::shared_ptr<DebugVariables> vars = debugVariablesForThread()) return vars->logFileName;
    return {};
}

// ---- Scopes -------------------------------------------------------------------------------------

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
    output(lineNumber, ucstringToUTF8String(message));
}

// ---- Lifecycle ----------------------------------------------------------------------------------

void createDebugLock() { gDebugLock.create(); }

void destroyDebugLock() { gDebugLock.destroy(); }

void cleanupDebugVarsCache() {
    std::lock_guard<platform::TimedMutex> local(gTableMutex);
    gDebugVariables.clear();
}

void logCallStack() {}

// ---- libcurl's trace ----------------------------------------------------------------------------

void debugMaskSecrets(std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        maskLine(line);
        out += line;
        const size_t next = text.find_first_not_of("\r\n", end);
        out += text.substr(end, (next == std::string::npos ? text.size() : next) - end);
        start = next == std::string::npos ? text.size() : next;
    }
    text = std::move(out);
}
