#include "Orb_DebugFiles.h"

#include "Orb_Debug.h"
#include "Plugin_Version.h"
#include "_Common/CoreCode/Orb_DateTime.h"
#include "_Common/FMPlugin/Plugin_HostFacts.h"
#include "_Common/FMPlugin/Plugin_Utilities.h"
#include "_Common/FileAndStream/Orb_FileRef.h"
#include "_Common/FileAndStream/Orb_FileStream.h"
#include "_Common/Strings/Orb_String.h"
#include "_Common/Strings/Orb_StringList.h"

#include <platform/Files.h>
#include <platform/Module.h>
#include <platform/Threads.h>

#include <cstdio>
#include <mutex>

namespace {

const char16_t* const kLogsFolderSuffix = u" Debug Logs";

// The folder and the application name change rarely but are read by every writing thread.
std::mutex gSettingsMutex;
ucstring gDebugLogFolderName;
ucstring gApplicationName = u"" PLUGIN_NAME;

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

void writeLine(uint64_t thread, ucstring& logFileName, const std::string& line, bool withSession) {
    const ucstring folder = logFolder();
    if (folder.empty()) return;
    OrbFileRef file;
    bool isNew = logFileName.empty();
    if (!isNew) {
        file.set(logFileName);
        // A file that was removed (or a folder that changed) starts over with a new file.
        isNew = !file.fileExists() || file.pathAsString(kPathStyleWindows, false) != OrbFileRef(folder).pathAsString();
    }
    if (isNew) {
        if (!createLogFile(folder, thread, file)) return;
        logFileName = file.pathAsString(kPathStyleWindows);
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

}  // namespace

void setDebugMode(bool on, const std::u16string& applicationName, const std::u16string& applicationVersion,
                  const std::u16string& coreVersion) {
    {
        std::lock_guard<std::mutex> lock(gSettingsMutex);
        if (!applicationName.empty()) gApplicationName = applicationName;
    }
    setDebugOutput(on, writeLine);
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

const std::u16string& debugLogFolderName() { return gDebugLogFolderName; }
std::u16string& mutableDebugLogFolderName() { return gDebugLogFolderName; }
