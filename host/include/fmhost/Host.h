// The embeddable test host: the FileMaker side of the plug-in interface, for volan-host and the
// tests. It loads a plug-in file, sends it the host's calls (init, idle, string requests, session
// and file ends, unload), keeps what the plug-in registers, evaluates calculation expressions
// (a small subset of the host's calculation language) and runs host scripts.
#pragma once

#include <FMWrapper/FMXClient.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace fmhost {

struct RegisteredFunction {
    std::string pluginId;
    int16_t id = 0;
    std::u16string name;
    std::u16string prototype;
    std::u16string description;  // only through RegisterExternalFunctionEx
    int16_t minArgs = 0;
    int16_t maxArgs = 0;  // -1: no upper limit
    uint32_t flags = 0;
    fmx::ExtPluginType callback = nullptr;
    bool extended = false;  // registered with RegisterExternalFunctionEx
};

struct RegisteredStep {
    std::string pluginId;
    int16_t id = 0;
    std::u16string name;
    std::u16string definition;
    std::u16string description;
    uint32_t flags = 0;
    fmx::ExtPluginType callback = nullptr;
};

// A host script: it exists in a database and, when it runs, evaluates its body (may be empty).
struct HostScript {
    std::u16string database;
    std::u16string name;
    std::u16string body;
};

// One start-script request the plug-in made.
struct StartedScript {
    std::u16string database;
    std::u16string script;
    int control = 0;
    bool hasParameter = false;
    std::u16string parameter;
};

// What the host says about itself.
struct HostSettings {
    int16_t apiVersion = 57;  // extension version of a version-16 host
    uint8_t appType = 1;      // 0 developer, 1 pro, 2 runtime, 3+ server-side
    std::u16string versionText = u"Pro 16.0.1";
    std::u16string fileName = u"Volan";  // the front database, without extension
    std::u16string filePath;             // Get(FilePath); empty means the current folder + fileName
};

// The state the host library keeps for the one host in this process.
class HostState {
public:
    static HostState& get();

    HostSettings settings;
    std::vector<RegisteredFunction> functions;
    std::vector<RegisteredStep> steps;
    std::vector<HostScript> scripts;
    std::vector<StartedScript> startedScripts;                  // every request, in order
    std::vector<StartedScript> pendingScripts;                  // accepted requests not yet run
    std::function<void(const StartedScript&)> onScriptStarted;  // told of each script that runs
    uint64_t currentSession = 1;
    uint64_t currentFile = 1;
    uint64_t currentEnvCalls = 0;  // how often the plug-in asked for the current environment
    std::recursive_mutex mutex;

    const RegisteredFunction* findFunction(const std::u16string& name);
    const RegisteredFunction* findFunction(int16_t id);
    const RegisteredStep* findStep(const std::u16string& name);
    const HostScript* findScript(const std::u16string& database, const std::u16string& name);
    std::vector<std::u16string> databaseNames();
    std::u16string filePath();
    void reset();  // forget registrations, scripts and requests

private:
    HostState() = default;
};

using DataPtrs = std::vector<const fmx::Data*>;

// Outcome of evaluating an expression or calling a function or step.
struct Evaluation {
    fmx::errcode error = 0;            // host error code; 0 = the expression ran
    std::u16string message;            // why it did not run
    std::u16string text;               // the result's text form
    std::shared_ptr<fmx::Data> value;  // the result itself
};

class PluginHost {
public:
    explicit PluginHost(HostSettings settings = {});
    ~PluginHost();  // unloads when still loaded
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // dlopen the plug-in and find its entry point.
    bool load(const std::string& path, std::string& error);
    bool loaded() const { return mEntry != nullptr; }
    void* handle() const { return mHandle; }

    // The host's calls. init returns the plug-in's answer (57 = enabled, -1, -2 = refused).
    int64_t init();
    void idle(uint8_t level, uint64_t session);
    void appPrefs();
    std::u16string getString(uint8_t id, uint32_t bufferSize = 1024);
    void sessionShutdown(uint64_t session);
    void fileShutdown(uint64_t session, uint64_t file);
    void unload();  // shutdown call, then dlclose

    // Calculations in a session; function calls reach the plug-in's registered callbacks.
    Evaluation evaluate(const std::u16string& expression, uint64_t session = 1);
    Evaluation call(const std::u16string& function, const std::vector<const fmx::Data*>& args, uint64_t session = 1);
    // Runs a registered script step (by name, or by id as digits) with its parameter values, as a
    // script would; the result is the step's target value, and `error` the host error it returned.
    Evaluation runStep(const std::u16string& step, const std::vector<const fmx::Data*>& parameters,
                       uint64_t session = 1);
    // Runs the scripts the plug-in asked for since the last call (the host runs them after the
    // plug-in's call returns).
    void runPendingScripts(uint64_t session = 1);

    const HostSettings& settings() const { return mSettings; }

private:
    void send(uint8_t selector, uint8_t p1, uint64_t p2, uint64_t p3, uint64_t* result = nullptr);

    HostSettings mSettings;
    void* mHandle = nullptr;
    FMX_ExternCallProc mEntry = nullptr;
    std::unique_ptr<FMX_ExternCallStruct> mCall = std::make_unique<FMX_ExternCallStruct>();
};

// An environment of a given session and file, as the host hands one to a plug-in's callbacks.
std::shared_ptr<fmx::ExprEnv> environmentFor(uint64_t session, uint64_t file = 1);

// Evaluate an expression in the host's calculation language (used by ExprEnv::Evaluate too).
Evaluation evaluateExpression(const std::u16string& expression, uint64_t session);

std::u16string utf16(const std::string& utf8);
std::string utf8(const std::u16string& text);

}  // namespace fmhost
