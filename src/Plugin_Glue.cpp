#include "Plugin_Glue.h"

#include "Orb_Debug.h"
#include "Plugin_CfgDlg.h"
#include "Plugin_Main.h"
#include "Plugin_Version.h"
#include "_Common/FMPlugin/Plugin_Prefs.h"
#include "_Common/Strings/Orb_String.h"

#include <string>

namespace {

// Nothing may escape into the host.
template <class F>
void contained(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

}  // namespace

extern "C" void FMExternCallProc(FMX_ExternCallPtr pb) {
    gFMX_ExternCallPtr = pb;
    switch (pb->whichCall) {
        case fmx::kFMXT_Init:
            try {
                pb->result = glueInit(pb->extnVersion, pb->parm1, reinterpret_cast<const fmx::unichar16*>(pb->parm2));
            } catch (...) {
                pb->result = fmx::kDoNotEnable;
            }
            break;
        case fmx::kFMXT_Idle: contained([&] { glueIdle(pb->parm1, pb->parm2); }); break;
        case fmx::kFMXT_Shutdown: contained([] { glueShutdown(); }); break;
        case fmx::kFMXT_DoAppPreferences: contained([] { glueAppPrefs(); }); break;
        case fmx::kFMXT_GetString:
            contained([&] {
                glueGetString(pb->extnVersion, pb->parm1, pb->parm2, pb->parm3,
                              reinterpret_cast<fmx::unichar16*>(pb->result));
            });
            break;
        case fmx::kFMXT_SessionShutdown: contained([&] { glueSessionShutdown(pb->parm2); }); break;
        case fmx::kFMXT_FileShutdown: contained([&] { glueFileShutdown(pb->parm2, pb->parm3); }); break;
        default: break;
    }
}

fmx::ptrtype glueInit(fmx::int16 version, fmx::uint8 applicationType, const fmx::unichar16* versionText) {
    DEBUG_SCOPE("glueInit");
    if (static_cast<fmx::uint16>(version - 50) > 205) {
        DEBUG_OUT("Cannot load: Wrong API version.");
        return fmx::kBadExtnVersion;
    }
    if (applicationType > fmx::kFMXT_Runtime) {
        DEBUG_OUT("Cannot load: Wrong FM Application. (Client-side plug-in attempting to be loaded on server.)");
        return fmx::kDoNotEnable;
    }
    DEBUG_OUT("Plugin Init");
    const fmx::errcode err = pluginInit(version, applicationType, versionText ? versionText : u"");
    const fmx::ptrtype result = err == 0 ? PLUGIN_API_VERSION : fmx::kDoNotEnable;
    DEBUG_OUT(std::to_string(static_cast<long long>(static_cast<fmx::int64>(result))));
    return result;
}

void glueIdle(fmx::uint8 idleLevel, fmx::ptrtype sessionId) { pluginFMIdle(idleLevel, sessionId); }

void glueShutdown() {
    {
        DEBUG_SCOPE("glueShutdown");
        DEBUG_OUT("Plugin Shutdown");
        pluginShutdown();
    }
    cleanupDebugVarsCache();
    destroyDebugLock();
}

void glueAppPrefs() {
    // The host's Configure button has no result to show: the dialog is its answer.
    (void)pluginAppPrefs(u"");
}

void glueGetString(fmx::int16 version, fmx::uint8 stringId, fmx::ptrtype, fmx::ptrtype bufferSize,
                   fmx::unichar16* buffer) {
    std::u16string text;
    switch (stringId) {
        case fmx::kFMXT_NameStr:
            DEBUG_OUT("Name String");
            text = ucstringFromString(PLUGIN_NAME);
            break;
        case fmx::kFMXT_AppConfigStr:
            DEBUG_OUT("App Config String");
            text = ucstringFromString(PLUGIN_NAME " " PLUGIN_VERSION " (Orb Core Version " ORB_CORE_VERSION
                                                  ") - An FTP Plug-in for FileMaker Pro.");
            break;
        case fmx::kFMXT_OptionsStr:
            DEBUG_OUT("Options String");
            // id, then: fixed "1", Configure entry, fixed "n", idle calls, session/file shut-down
            // calls, the version-dependent character, fixed "n".
            text = ucstringFromString(PLUGIN_ID "1YnYYnn");
            if (version >= 56) text[9] = u'Y';
            break;
        case fmx::kFMXT_HelpURLStr:
            DEBUG_OUT("Help URL Str");
            text = ucstringFromString(PLUGIN_MAKER_SITE "/reference/?product=Volan_Pro&id=");
            break;
        default: DEBUG_OUT("Unknown ID: " + std::to_string(stringId)); return;
    }
    if (!buffer) return;
    if (text.size() > bufferSize) text.resize(static_cast<size_t>(bufferSize));
    if (text.empty()) return;
    fmx::TextUniquePtr hostText;
    hostText->AssignUnicodeWithLength(text.data(), static_cast<fmx::uint32>(text.size()));
    hostText->GetUnicode(buffer, 0, static_cast<fmx::uint32>(text.size()));
    if (text.size() < bufferSize) buffer[text.size()] = 0;
}

void glueSessionShutdown(fmx::ptrtype sessionId) { pluginFMSessionShutdown(sessionId); }

void glueFileShutdown(fmx::ptrtype sessionId, fmx::ptrtype fileId) { pluginFMFileShutdown(sessionId, fileId); }
