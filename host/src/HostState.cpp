// The host's registry of plug-in functions and steps, its databases and scripts, and the
// calculation-environment part of the interface (ExprEnv).
#include "Calc.h"
#include "Guard.h"

#include <unistd.h>

#include <climits>

namespace fmhost {

namespace {
bool sameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto up = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
        if (up(a[i]) != up(b[i])) return false;
    }
    return true;
}
}  // namespace

HostState& HostState::get() {
    static HostState state;
    return state;
}

const RegisteredFunction* HostState::findFunction(const std::u16string& name) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    for (const auto& f : functions)
        if (sameName(f.name, name)) return &f;
    return nullptr;
}

const RegisteredFunction* HostState::findFunction(int16_t id) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    for (const auto& f : functions)
        if (f.id == id) return &f;
    return nullptr;
}

const RegisteredStep* HostState::findStep(const std::u16string& name) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    for (const auto& s : steps)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const HostScript* HostState::findScript(const std::u16string& database, const std::u16string& name) {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    for (const auto& s : scripts)
        if (sameName(s.database, database) && s.name == name) return &s;
    return nullptr;
}

std::vector<std::u16string> HostState::databaseNames() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    std::vector<std::u16string> names{settings.fileName};
    for (const auto& s : scripts) {
        bool known = false;
        for (const auto& n : names) known = known || sameName(n, s.database);
        if (!known) names.push_back(s.database);
    }
    return names;
}

std::u16string HostState::filePath() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (!settings.filePath.empty()) return settings.filePath;
    // The front database sits in the current folder, named as the host's path style writes it.
    char cwd[PATH_MAX];
    std::string dir = getcwd(cwd, sizeof cwd) ? cwd : "/";
    if (dir.back() != '/') dir += '/';
    return u"file:/C:" + fromUTF8(dir) + settings.fileName + u".fmp12";
}

void HostState::reset() {
    std::lock_guard<std::recursive_mutex> lock(mutex);
    functions.clear();
    steps.clear();
    scripts.clear();
    startedScripts.clear();
    onScriptStarted = nullptr;
}

std::shared_ptr<fmx::ExprEnv> environmentFor(uint64_t session, uint64_t file) {
    auto* env = new ExprEnvImpl{session, file};
    return std::shared_ptr<fmx::ExprEnv>(view(env), [](fmx::ExprEnv* p) { delete impl(p); });
}

Evaluation evaluateExpression(const std::u16string& expression, uint64_t session) {
    return evaluate(expression, session, CalcContext{});
}

std::u16string utf16(const std::string& s) { return fromUTF8(s); }
std::string utf8(const std::u16string& s) { return toUTF8(s); }

}  // namespace fmhost

using namespace fmhost;
using fmx::_fmxcpt;

fmx::ExprEnv* FM_ExprEnv_Constructor1(_fmxcpt& _x) {
    return guarded(_x, static_cast<fmx::ExprEnv*>(nullptr), [] { return view(new ExprEnvImpl); });
}
void FM_ExprEnv_Delete(fmx::ExprEnv* self, _fmxcpt& _x) {
    guardedVoid(_x, [&] { delete impl(self); });
}
fmx::errcode FM_ExprEnv_Evaluate(const fmx::ExprEnv* self, const fmx::Text& expression, fmx::Data& result,
                                 _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        Evaluation ev = evaluate(impl(expression).s, impl(self)->sessionId, CalcContext{});
        if (ev.error) return ev.error;
        impl(result) = *impl(ev.value.get());
        return fmx::errcode(0);
    });
}
fmx::ptrtype FM_ExprEnv_SessionID(const fmx::ExprEnv* self, _fmxcpt& _x) {
    return guarded(_x, fmx::ptrtype(0), [&] { return static_cast<fmx::ptrtype>(impl(self)->sessionId); });
}
fmx::ptrtype FM_ExprEnv_FileID(const fmx::ExprEnv* self, _fmxcpt& _x) {
    return guarded(_x, fmx::ptrtype(0), [&] { return static_cast<fmx::ptrtype>(impl(self)->fileId); });
}

namespace {
fmx::errcode registerFunction(const fmx::QuadChar& pluginId, fmx::int16 id, const fmx::Text& name,
                              const fmx::Text& prototype, const fmx::Text* description, fmx::int16 minArgs,
                              fmx::int16 maxArgs, fmx::uint32 flags, fmx::ExtPluginType fn) {
    HostState& host = HostState::get();
    std::lock_guard<std::recursive_mutex> lock(host.mutex);
    RegisteredFunction f;
    f.pluginId = impl(pluginId).str();
    f.id = id;
    f.name = impl(name).s;
    f.prototype = impl(prototype).s;
    f.description = description ? impl(*description).s : std::u16string();
    f.minArgs = minArgs;
    f.maxArgs = maxArgs;
    f.flags = flags;
    f.callback = fn;
    f.extended = description != nullptr;
    if (!fn || f.name.empty()) return 1200;
    for (const auto& existing : host.functions)
        if (existing.pluginId == f.pluginId && existing.id == id) return 1210;  // already registered
    host.functions.push_back(std::move(f));
    return 0;
}
}  // namespace

fmx::errcode FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                 const fmx::Text& functionName, const fmx::Text& functionPrototype,
                                                 fmx::int16 minArgs, fmx::int16 maxArgs, fmx::uint32 compatibleOnFlags,
                                                 fmx::ExtPluginType funcPtr, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        return registerFunction(pluginId, functionId, functionName, functionPrototype, nullptr, minArgs, maxArgs,
                                compatibleOnFlags, funcPtr);
    });
}
fmx::errcode FM_ExprEnv_RegisterExternalFunctionEx(const fmx::QuadChar& pluginId, fmx::int16 functionId,
                                                   const fmx::Text& functionName, const fmx::Text& functionPrototype,
                                                   const fmx::Text& functionDescription, fmx::int16 minArgs,
                                                   fmx::int16 maxArgs, fmx::uint32 compatibleOnFlags,
                                                   fmx::ExtPluginType funcPtr, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        return registerFunction(pluginId, functionId, functionName, functionPrototype, &functionDescription, minArgs,
                                maxArgs, compatibleOnFlags, funcPtr);
    });
}
fmx::errcode FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar& pluginId, fmx::int16 functionId, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        HostState& host = HostState::get();
        std::lock_guard<std::recursive_mutex> lock(host.mutex);
        const std::string id = impl(pluginId).str();
        for (auto it = host.functions.begin(); it != host.functions.end(); ++it) {
            if (it->pluginId == id && it->id == functionId) {
                host.functions.erase(it);
                return fmx::errcode(0);
            }
        }
        return fmx::errcode(1200);
    });
}
fmx::errcode FM_ExprEnv_RegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId,
                                           const fmx::Text& scriptStepName, const fmx::Text& scriptStepDefinition,
                                           const fmx::Text& scriptStepDescription, fmx::uint32 compatibleOnFlags,
                                           fmx::ExtPluginType funcPtr, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        HostState& host = HostState::get();
        std::lock_guard<std::recursive_mutex> lock(host.mutex);
        RegisteredStep s;
        s.pluginId = impl(pluginId).str();
        s.id = scriptStepId;
        s.name = impl(scriptStepName).s;
        s.definition = impl(scriptStepDefinition).s;
        s.description = impl(scriptStepDescription).s;
        s.flags = compatibleOnFlags;
        s.callback = funcPtr;
        if (!funcPtr || s.name.empty()) return fmx::errcode(1200);
        for (const auto& existing : host.steps)
            if (existing.pluginId == s.pluginId && existing.id == s.id) return fmx::errcode(1210);
        host.steps.push_back(std::move(s));
        return fmx::errcode(0);
    });
}
fmx::errcode FM_ExprEnv_UnRegisterScriptStep(const fmx::QuadChar& pluginId, fmx::int16 scriptStepId, _fmxcpt& _x) {
    return guarded(_x, fmx::errcode(1200), [&] {
        HostState& host = HostState::get();
        std::lock_guard<std::recursive_mutex> lock(host.mutex);
        const std::string id = impl(pluginId).str();
        for (auto it = host.steps.begin(); it != host.steps.end(); ++it) {
            if (it->pluginId == id && it->id == scriptStepId) {
                host.steps.erase(it);
                return fmx::errcode(0);
            }
        }
        return fmx::errcode(1200);
    });
}
