// Loading a plug-in file and sending it the host's calls.
#include "Calc.h"
#include "Guard.h"

#include <dlfcn.h>

namespace fmhost {

namespace {

// The host's start-script callback: the request is recorded, and a script that exists is queued
// to run once the plug-in's current call has returned.
fmx::errcode startScript(const fmx::Text* file, const fmx::Text* script, fmx::ScriptControl control,
                         const fmx::Data* parameter) {
    try {
        HostState& host = HostState::get();
        std::lock_guard<std::recursive_mutex> lock(host.mutex);
        StartedScript s;
        s.database = file ? impl(file)->s : std::u16string();
        s.script = script ? impl(script)->s : std::u16string();
        s.control = control;
        s.hasParameter = parameter != nullptr;
        if (parameter) s.parameter = dataToText(*impl(parameter));
        host.startedScripts.push_back(s);
        bool dbKnown = false;
        for (const auto& db : host.databaseNames()) dbKnown = dbKnown || db == s.database;
        if (!dbKnown) return 100;                                // File is missing
        if (!host.findScript(s.database, s.script)) return 104;  // Script is missing
        host.pendingScripts.push_back(s);
        return 0;
    } catch (...) {
        return 1200;
    }
}

// The host's current-environment callback: the session of the call in progress.
fmx::errcode currentEnv(fmx::ExprEnv* env) {
    if (!env) return 1200;
    HostState& host = HostState::get();
    ++host.currentEnvCalls;
    impl(env)->sessionId = host.currentSession;
    impl(env)->fileId = host.currentFile;
    return 0;
}

}  // namespace

PluginHost::PluginHost(HostSettings settings) : mSettings(std::move(settings)) {
    HostState::get().settings = mSettings;
}

PluginHost::~PluginHost() {
    if (loaded()) unload();
}

bool PluginHost::load(const std::string& path, std::string& error) {
    mHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mHandle) {
        const char* e = dlerror();
        error = e ? e : "dlopen failed";
        return false;
    }
    mEntry = reinterpret_cast<FMX_ExternCallProc>(dlsym(mHandle, "FMExternCallProc"));
    if (!mEntry) {
        error = "the file does not export FMExternCallProc: " + path;
        dlclose(mHandle);
        mHandle = nullptr;
        return false;
    }
    return true;
}

void PluginHost::send(uint8_t selector, uint8_t p1, uint64_t p2, uint64_t p3, uint64_t* result) {
    if (!mEntry) return;
    // The plug-in keeps the address of this block between calls (for the start-script and
    // current-environment callbacks), as hosts keep theirs for the plug-in's whole life.
    FMX_ExternCallStruct& pb = *mCall;
    pb = FMX_ExternCallStruct{};
    pb.extnVersion = mSettings.apiVersion;
    pb.whichCall = selector;
    pb.parm1 = p1;
    pb.parm2 = p2;
    pb.parm3 = p3;
    pb.result = result ? *result : 0;
    pb.cStartScript = startScript;
    pb.cCurrentEnv = currentEnv;
    mEntry(&pb);
    if (result) *result = pb.result;
}

int64_t PluginHost::init() {
    std::u16string version = mSettings.versionText;  // stays alive for the call
    uint64_t result = 0;
    send(fmx::kFMXT_Init, mSettings.appType, reinterpret_cast<uint64_t>(version.c_str()), 0, &result);
    return static_cast<int64_t>(result);
}

void PluginHost::idle(uint8_t level, uint64_t session) {
    HostState& host = HostState::get();
    const uint64_t previous = host.currentSession;
    host.currentSession = session;
    send(fmx::kFMXT_Idle, level, session, 0);
    host.currentSession = previous;
    runPendingScripts(session);
}

void PluginHost::appPrefs() { send(fmx::kFMXT_DoAppPreferences, 0, 0, 0); }

std::u16string PluginHost::getString(uint8_t id, uint32_t bufferSize) {
    std::u16string buffer(bufferSize + 1, u'\0');
    uint64_t result = reinterpret_cast<uint64_t>(buffer.data());
    send(fmx::kFMXT_GetString, id, 0 /* language */, bufferSize, &result);
    buffer.resize(std::char_traits<char16_t>::length(buffer.c_str()));
    return buffer;
}

void PluginHost::sessionShutdown(uint64_t session) { send(fmx::kFMXT_SessionShutdown, 0, session, 0); }

void PluginHost::fileShutdown(uint64_t session, uint64_t file) { send(fmx::kFMXT_FileShutdown, 0, session, file); }

void PluginHost::unload() {
    if (!mEntry) return;
    send(fmx::kFMXT_Shutdown, 0, 0, 0);
    mEntry = nullptr;
    dlclose(mHandle);
    mHandle = nullptr;
    HostState& host = HostState::get();
    std::lock_guard<std::recursive_mutex> lock(host.mutex);
    host.functions.clear();  // a host forgets what an unloaded plug-in left registered
    host.steps.clear();
}

Evaluation PluginHost::evaluate(const std::u16string& expression, uint64_t session) {
    Evaluation ev = fmhost::evaluate(expression, session, CalcContext{});
    runPendingScripts(session);
    return ev;
}

Evaluation PluginHost::call(const std::u16string& function, const std::vector<const fmx::Data*>& args,
                            uint64_t session) {
    Evaluation ev;
    const RegisteredFunction* f = HostState::get().findFunction(function);
    if (!f) {
        ev.error = 1208;
        ev.message = u"The function \"" + function + u"\" is not registered.";
        return ev;
    }
    std::vector<DataImpl> values;
    for (const fmx::Data* a : args) values.push_back(*impl(a));
    const RegisteredFunction copy = *f;
    ev = callFunction(copy, values, session);
    runPendingScripts(session);
    return ev;
}

Evaluation PluginHost::runStep(const std::u16string& step, const std::vector<const fmx::Data*>& parameters,
                               uint64_t session) {
    Evaluation ev;
    HostState& host = HostState::get();
    RegisteredStep found;
    {
        std::lock_guard<std::recursive_mutex> lock(host.mutex);
        const RegisteredStep* s = host.findStep(step);
        if (!s && !step.empty() && step.find_first_not_of(u"0123456789") == std::u16string::npos)
            for (const RegisteredStep& candidate : host.steps)
                if (numberToText(candidate.id) == step) s = &candidate;
        if (!s) {
            ev.error = 1208;
            ev.message = u"The script step \"" + step + u"\" is not registered.";
            return ev;
        }
        found = *s;
    }
    DataVectImpl vect;
    for (const fmx::Data* p : parameters) vect.items.push_back(std::make_unique<DataImpl>(*impl(p)));
    ExprEnvImpl env{session, host.currentFile};
    const uint64_t previous = host.currentSession;
    host.currentSession = session;
    auto* result = new DataImpl;
    ev.value = std::shared_ptr<fmx::Data>(view(result), [](fmx::Data* d) { delete impl(d); });
    try {
        ev.error = found.callback(found.id, view(env), view(vect), view(*result));
    } catch (...) {
        ev.error = 1200;
        ev.message = u"The plug-in step " + found.name + u" let an exception escape.";
    }
    host.currentSession = previous;
    ev.text = dataToText(*result);
    runPendingScripts(session);
    return ev;
}

void PluginHost::runPendingScripts(uint64_t session) {
    HostState& host = HostState::get();
    for (;;) {
        StartedScript s;
        HostScript script;
        {
            std::lock_guard<std::recursive_mutex> lock(host.mutex);
            if (host.pendingScripts.empty()) return;
            s = host.pendingScripts.front();
            host.pendingScripts.erase(host.pendingScripts.begin());
            const HostScript* found = host.findScript(s.database, s.script);
            if (!found) continue;
            script = *found;
        }
        if (host.onScriptStarted) host.onScriptStarted(s);
        if (!script.body.empty()) fmhost::evaluate(script.body, session, CalcContext{script.name, s.parameter});
    }
}

}  // namespace fmhost
