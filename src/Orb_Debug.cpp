// The debug log. Each thread that writes a line gets a record in a process-wide table (guarded by
// the debug lock) with its own log file and scope depth; lines are written unbuffered and
// the file is closed after each line, so a log survives a crash up to its last line.
#include "Orb_Debug.h"

#include "Plugin_Config.h"
#include "Plugin_Glue.h"
#include "Plugin_Version.h"
#include "_Common/CoreCode/Orb_Config.h"
#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/CoreCode/Orb_Lock.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <FMWrapper/FMXCalcEngine.h>
#include <platform/Files.h>
#include <platform/Module.h>
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
const char16_t* const kLogsFolderSuffix = u" Debug Logs";
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

// The folder and the application name change rarely but are read by every writing thread.
std::mutex gSettingsMutex;
ucstring gDebugLogFolderName;
ucstring gApplicationName = u"" PLUGIN_NAME;

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

// ---- The folder and the file --------------------------------------------------------------------

// The folder `parent` + `name` when it exists or can be made; only the last level is made unless
// makeParents is set. The logs hold what the plug-in did with which files and servers: the folder
// is the user's alone, or it is not used.
bool tryFolder(OrbFileRef folder, const ucstringlist& names, bool makeParents, ucstring& chosen) {
    if (!folder.defined()) return false;
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        if (!makeParents && last && !folder.dirExists()) return false;
        if (!last && makeParents && !folder.dirExists()) folder.createDir();
        folder.addItem(OrbFileRef::encodeSlashes(names[i]));
    }
    std::string ignored;
    if (!platform::fileMakePrivateFolder(folder.pathAsString(kPathStyleWindows), ignored)) return false;
    chosen = folder.pathAsString(kPathStyleWindows);
    return true;
}

// The user's folder when it still exists, else the first of the fallbacks that exists or can be
// made. Empty when none can. The file system is asked without holding the settings lock, since
// asking it may log (on other threads) and take the Orb config lock.
ucstring logFolder() {
    ucstring current, application;
    {
        std::lock_guard<std::mutex> lock(gSettingsMutex);
        current = gDebugLogFolderName;
        application = gApplicationName;
    }
    if (!current.empty() && OrbFileRef(current).dirExists()) return current;
    const ucstring logs = application + kLogsFolderSuffix;
    ucstring folder;
    OrbFileRef ref;
    // The Desktop when there is one, then the local application data; the plug-in's own folder and
    // the root of the default volume are system folders here, no place for a user's logs.
    if (ref.setToSystemFolder(kSystemFolderDesktop) && tryFolder(ref, {logs}, false, folder)) {
    } else if (ref.setToSystemFolder(kSystemFolderLocalAppData) &&
               tryFolder(ref, {u"Orb", u"" PLUGIN_NAME, u"3.0", logs}, true, folder)) {
    } else if (ref.setToSystemFolder(kSystemFolderTemporary) && tryFolder(ref, {logs}, false, folder)) {
    }
    std::lock_guard<std::mutex> lock(gSettingsMutex);
    gDebugLogFolderName = folder;
    return folder;
}

std::string headerLine(bool withSession) {
    return withSession ? "ThreadID\tFMSessionID\tTimestamp\tFile\tLineNumber\tMessage"
                       : "ThreadID\tTimestamp\tFile\tLineNumber\tMessage";
}

// "2024_03_05-14_07_09-<thread>.txt", or "...-<thread>-<n>.txt" for the nth try.
ucstring newLogFileName(platform::ThreadId thread, int attempt) {
    OrbDateTimeComponents c;
    OrbDateTime().decodeDateTime(c);
    char name[64];
    std::snprintf(name, sizeof name, "%04u_%02u_%02u-%02u_%02u_%02u", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    std::string text = std::string(name) + "-" + std::to_string(thread);
    if (attempt > 1) text += "-" + std::to_string(attempt);
    return ucstringFromString(text + ".txt");
}

// A new file of the thread's own. Other processes write into the same folder, and a thread id can
// come again: the file is made only where nothing is yet.
bool createLogFile(const ucstring& folder, platform::ThreadId thread, OrbFileRef& file) {
    for (int attempt = 1; attempt <= 100; ++attempt) {
        file.set(folder);
        file.addItem(OrbFileRef::encodeSlashes(newLogFileName(thread, attempt)));
        if (file.createFile()) {
            std::string ignored;
            platform::fileMakePrivate(file.pathAsString(kPathStyleWindows), ignored);  // before a line is in it
            return true;
        }
        if (!file.fileExists()) return false;
    }
    return false;
}

void writeLine(DebugVariables& vars, const std::string& line, bool withSession) {
    const ucstring folder = logFolder();
    if (folder.empty()) return;
    OrbFileRef file;
    bool isNew = vars.logFileName.empty();
    if (!isNew) {
        file.set(vars.logFileName);
        // A file that was removed (or a folder that changed) starts over with a new file.
        isNew = !file.fileExists() || file.pathAsString(kPathStyleWindows, false) != OrbFileRef(folder).pathAsString();
    }
    if (isNew) {
        if (!createLogFile(folder, vars.threadId, file)) return;
        vars.logFileName = file.pathAsString(kPathStyleWindows);
    }
    OrbFileStream stream(0);
    if (!stream.attachToFile(file, kFileStreamWrite)) return;
    if (isNew) {
        if (!stream.writeLine(headerLine(withSession), kLineEndingCRLF)) return;
    } else if (!stream.reposition(stream.size())) {
        return;
    }
    stream.writeLine(line, kLineEndingCRLF);
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

void setDebugMode(bool on, const std::u16string& applicationName, const std::u16string& applicationVersion,
                  const std::u16string& coreVersion) {
    {
        std::lock_guard<std::mutex> lock(gSettingsMutex);
        if (!applicationName.empty()) gApplicationName = applicationName;
    }
    gDebugMode = on;
    if (!on) return;
    const char* source = "Orb_Debug";
    debugOutput(source, __LINE__, applicationName + u" v." + applicationVersion);
    debugOutput(source, __LINE__, u"Orb Core v." + coreVersion);
    OrbFileRef plugin;
    OrbDateTime stamp;
    ucstring stampText;
    if (pluginLocation(plugin) && plugin.modificationDate(stamp)) stamp.dateTimeString(stampText, false);
    debugOutput(source, __LINE__, u"File DateTime Stamp: " + stampText);
    debugOutput(source, __LINE__, platform::systemVersionText());
    debugOutput(source, __LINE__, "FileMaker API Version: " + std::to_string(constFMAPIVersion()));
    debugOutput(source, __LINE__, "FileMaker Product: " + std::to_string(constFMProduct()));
    debugOutput(source, __LINE__, u"FileMaker Version Str: " + constFMVersionStr());
    debugOutput(source, __LINE__, "Architecture: 64-bit");
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
const std::u16string& debugLogFolderName() { return gDebugLogFolderName; }
std::u16string& mutableDebugLogFolderName() { return gDebugLogFolderName; }

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
        writeLine(*vars, line, withSession);
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
