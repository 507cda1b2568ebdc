// volan-host: loads the plug-in file, plays the host's part and evaluates calculation expressions.
// See the README and the manual page (doc/volan-host.1) for the command-line contract.
#include <fmhost/Host.h>

#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* kSynopsis =
    "usage: volan-host [--plugin PATH] [--api N] [--app N] [--host-version TEXT] [--session N]\n"
    "                  [--script DB::NAME[=BODY]]... [--idle SECONDS] [--strings]\n"
    "                  [--ui gui|terminal|headless] [--answer BUTTON[:TEXT]]... [--configure]\n"
    "                  [--list] [--step NAME [--param EXPR]...]... [--save-container FILE]\n"
    "                  [-e EXPR]... [FILE | -]\n";
// After a usage error.
const char* kAbout =
    "Loads the plug-in, sends init, evaluates each expression (or each line of FILE, or of standard\n"
    "input for -) and prints each result on its own line(s). See README.md.\n";
// --help: the manual page's synopsis and options in short.
const char* kHelp =
    "       volan-host -h | --help | --version\n"
    "Loads the Volan Pro plug-in, plays the FileMaker host's part and evaluates each -e EXPR, then each\n"
    "line of FILE (- reads standard input), printing each result on its own line(s).\n"
    "\n"
    "  --plugin PATH             the plug-in file (default: Volan_Pro_WIN.fmx64 beside volan-host,\n"
    "                            else in the installed folder " VOLAN_PLUGINDIR_FROM_BINDIR
    " from it)\n"
    "  --api N                   the host's extension version (default 57)\n"
    "  --app N                   the host's application type (default 1, FileMaker Pro)\n"
    "  --host-version TEXT       the host's version text (default \"Pro 16.0.1\")\n"
    "  --session N               the session expressions and steps run in (default 1)\n"
    "  --script DB::NAME[=BODY]  declare a host script; when the plug-in starts it, print\n"
    "                            SCRIPT DB::NAME PARAMETER and evaluate BODY\n"
    "  --idle SECONDS            at the end, keep sending idle calls for SECONDS\n"
    "  --strings                 print the plug-in's name, preferences text, options and help address\n"
    "  --ui gui|terminal|headless  how the plug-in shows its status window and dialogs\n"
    "  --answer BUTTON[:TEXT]    answer the plug-in's next dialog (terminal and headless)\n"
    "  --configure               press the plug-in's Configure button first\n"
    "  --list                    print the functions and script steps the plug-in registered\n"
    "  --step NAME               run a script step (by name or id) with the --param values after it\n"
    "  --param EXPR              a parameter of the --step before it, a calculation\n"
    "  --save-container FILE     write the file a container result holds to FILE\n"
    "  -e EXPR                   evaluate EXPR (repeatable)\n"
    "  -h, --help                print this help and exit\n"
    "  --version                 print the version and exit\n"
    "Exit status: 0, 1 when an expression or step failed, 2 for a usage error or a plug-in that\n"
    "cannot be loaded, 3 when the plug-in refused to start. See volan-host(1).\n";

// The plug-in file, found beside volan-host (a build folder) or in the installed plug-in folder.
const char* kPluginFile = "Volan_Pro_WIN.fmx64";

struct Options {
    std::string plugin;
    fmhost::HostSettings settings;
    uint64_t session = 1;
    std::vector<fmhost::HostScript> scripts;
    double idleSeconds = 0;
    bool strings = false;
    std::vector<std::string> expressions;
    std::string file;
    std::string ui;                    // empty: the plug-in chooses
    std::vector<std::string> answers;  // for the plug-in's dialogs
    bool configure = false;            // press the plug-in's Configure button
    bool list = false;                 // print what the plug-in registered
    // Script steps to run, each with its parameter expressions.
    std::vector<std::pair<std::string, std::vector<std::string>>> steps;
    std::string saveContainer;  // where a container result's file is written
};

[[noreturn]] void usage(const std::string& problem) {
    std::fprintf(stderr, "volan-host: %s\n%s%s", problem.c_str(), kSynopsis, kAbout);
    std::exit(2);
}

long number(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) usage(option + " needs a number, not \"" + text + "\"");
    return v;
}

// The folder volan-host's real file is in (links resolved), with a final "/"; empty when unknown.
std::string executableFolder() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    std::string dir(self, static_cast<size_t>(n));
    return dir.substr(0, dir.rfind('/') + 1);
}

// The plug-in beside volan-host, else the installed one; when neither is there, the one beside it
// (so the error names it).
std::string defaultPlugin() {
    const std::string beside = executableFolder() + kPluginFile;
    if (access(beside.c_str(), F_OK) == 0) return beside;
    const std::string installed = executableFolder() + VOLAN_PLUGINDIR_FROM_BINDIR "/" + kPluginFile;
    return access(installed.c_str(), F_OK) == 0 ? installed : beside;
}

Options parse(int argc, char** argv) {
    Options o;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) usage(std::string(argv[i]) + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--plugin")
            o.plugin = value(i);
        else if (a == "--api")
            o.settings.apiVersion = static_cast<int16_t>(number(a, value(i)));
        else if (a == "--app")
            o.settings.appType = static_cast<uint8_t>(number(a, value(i)));
        else if (a == "--host-version")
            o.settings.versionText = fmhost::utf16(value(i));
        else if (a == "--session")
            o.session = static_cast<uint64_t>(number(a, value(i)));
        else if (a == "--idle")
            o.idleSeconds = std::atof(value(i).c_str());
        else if (a == "--strings")
            o.strings = true;
        else if (a == "--ui") {
            o.ui = value(i);
            if (o.ui != "gui" && o.ui != "terminal" && o.ui != "headless")
                usage("--ui needs gui, terminal or headless, not \"" + o.ui + "\"");
        } else if (a == "--answer")
            o.answers.push_back(value(i));
        else if (a == "--configure")
            o.configure = true;
        else if (a == "--list")
            o.list = true;
        else if (a == "--save-container")
            o.saveContainer = value(i);
        else if (a == "--step")
            o.steps.push_back({value(i), {}});
        else if (a == "--param") {
            if (o.steps.empty()) usage("--param belongs to a --step given before it");
            o.steps.back().second.push_back(value(i));
        } else if (a == "-e")
            o.expressions.push_back(value(i));
        else if (a == "--script") {
            const std::string declared = value(i);
            const size_t sep = declared.find("::");
            if (sep == std::string::npos) usage("--script needs DB::NAME");
            const size_t eq = declared.find('=', sep);
            fmhost::HostScript s;
            s.database = fmhost::utf16(declared.substr(0, sep));
            s.name =
                fmhost::utf16(declared.substr(sep + 2, eq == std::string::npos ? std::string::npos : eq - sep - 2));
            if (eq != std::string::npos) s.body = fmhost::utf16(declared.substr(eq + 1));
            o.scripts.push_back(s);
        } else if (a == "-h" || a == "--help") {
            std::fputs(kSynopsis, stdout);
            std::fputs(kHelp, stdout);
            std::exit(0);
        } else if (a == "--version") {
            std::puts("volan-host (Volan Pro) " VOLAN_VERSION);
            std::exit(0);
        } else if (a == "-" || a[0] != '-') {
            if (!o.file.empty()) usage("only one FILE may be given");
            o.file = a;
        } else {
            usage("unknown option " + a);
        }
    }
    if (o.plugin.empty()) o.plugin = defaultPlugin();
    return o;
}

// A result's carriage returns become line feeds; every result ends with a line feed.
void printResult(const std::u16string& text) {
    std::string out = fmhost::utf8(text);
    for (char& c : out)
        if (c == '\r') c = '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Lists the plug-in's functions and script steps, as the host's calculation and script editors show them.
void listRegistrations() {
    fmhost::HostState& state = fmhost::HostState::get();
    for (const auto& f : state.functions) std::printf("FUNCTION %d %s\n", f.id, fmhost::utf8(f.name).c_str());
    for (const auto& s : state.steps) std::printf("STEP %d %s\n", s.id, fmhost::utf8(s.name).c_str());
    std::fflush(stdout);
}

// Runs a script step; its parameters are calculations evaluated first. Prints the step's target
// value, or "? " and the error and host error code the step returned.
int runStep(fmhost::PluginHost& host, const Options& o, const std::string& step,
            const std::vector<std::string>& parameters) {
    std::vector<fmhost::Evaluation> values;
    std::vector<const fmx::Data*> data;
    for (const std::string& p : parameters) {
        values.push_back(host.evaluate(fmhost::utf16(p), o.session));
        if (values.back().error) {
            std::printf("? parameter %s: %s (host error %d)\n", p.c_str(), fmhost::utf8(values.back().message).c_str(),
                        values.back().error);
            return 1;
        }
        data.push_back(values.back().value.get());
    }
    fmhost::Evaluation ev = host.runStep(fmhost::utf16(step), data, o.session);
    host.idle(fmx::kFMXT_UserIdle, o.session);
    if (ev.error) {
        const std::u16string text = ev.message.empty() ? ev.text : ev.message;
        std::printf("? %s (host error %d)\n", fmhost::utf8(text).c_str(), ev.error);
        std::fflush(stdout);
        return 1;
    }
    printResult(ev.text);
    return 0;
}

// Writes the file a container result holds (its MAIN stream, else the first stream of file data) to
// `path`. False when the value is no container or the file cannot be written.
bool saveContainer(const fmx::Data& value, const std::string& path) {
    if (value.GetNativeType() != fmx::kDTBinary) return false;
    const fmx::BinaryData& binary = value.GetBinaryData();
    fmx::int32 index = -1;
    const fmx::int32 mainIndex = binary.GetIndex(*fmx::QuadCharUniquePtr('M', 'A', 'I', 'N'));
    if (mainIndex >= 0 && binary.GetSize(mainIndex) == 4) {
        char code[4];
        binary.GetData(mainIndex, 0, 4, code);
        index = binary.GetIndex(*fmx::QuadCharUniquePtr(code[0], code[1], code[2], code[3]));
    }
    for (fmx::int32 i = 0; index < 0 && i < binary.GetCount(); ++i) {
        fmx::QuadCharUniquePtr type;
        binary.GetType(i, *type);
        const std::string code{char((*type)[0]), char((*type)[1]), char((*type)[2]), char((*type)[3])};
        if (code != "FNAM" && code != "MAIN" && code != "SIZE") index = i;
    }
    if (index < 0) return false;
    std::vector<char> bytes(binary.GetSize(index));
    if (!bytes.empty() && binary.GetData(index, 0, static_cast<fmx::uint32>(bytes.size()), bytes.data()) != 0)
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

int runExpression(fmhost::PluginHost& host, const Options& o, const std::string& expr) {
    fmhost::Evaluation ev = host.evaluate(fmhost::utf16(expr), o.session);
    host.idle(fmx::kFMXT_UserIdle, o.session);
    if (ev.error) {
        // As the host shows a calculation it cannot run: a question mark, here with the reason.
        std::printf("? %s (host error %d)\n", fmhost::utf8(ev.message).c_str(), ev.error);
        std::fflush(stdout);
        return 1;
    }
    printResult(ev.text);
    if (!o.saveContainer.empty() && ev.value && ev.value->GetNativeType() == fmx::kDTBinary) {
        if (!saveContainer(*ev.value, o.saveContainer)) {
            std::printf("? could not save the container to %s\n", o.saveContainer.c_str());
            std::fflush(stdout);
            return 1;
        }
    }
    return 0;
}

// The plug-in is a module of its own: the window backend and the dialogs' answers reach it through
// its environment (VOLAN_UI, and VOLAN_UI_ANSWERS with one answer per line, "\n" and "\\" escaped).
void passUserInterfaceChoices(const Options& o) {
    if (!o.ui.empty()) setenv("VOLAN_UI", o.ui.c_str(), 1);
    if (o.answers.empty()) return;
    std::string all;
    for (const std::string& answer : o.answers) {
        if (!all.empty()) all += '\n';
        const size_t colon = answer.find(':');
        all += answer.substr(0, colon);
        if (colon == std::string::npos) continue;
        all += ':';
        for (char c : answer.substr(colon + 1)) {
            if (c == '\\')
                all += "\\\\";
            else if (c == '\n')
                all += "\\n";
            else
                all += c;
        }
    }
    setenv("VOLAN_UI_ANSWERS", all.c_str(), 1);
}

// Waits for a line typed at the terminal, sending idle calls meanwhile as the host does while its
// user thinks, so the plug-in's windows stay live.
bool readInteractiveLine(fmhost::PluginHost& host, const Options& o, std::string& line) {
    for (;;) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        const int ready = poll(&p, 1, 100);
        if (ready > 0) return static_cast<bool>(std::getline(std::cin, line));
        if (ready < 0 && errno != EINTR) return static_cast<bool>(std::getline(std::cin, line));
        host.idle(fmx::kFMXT_UserIdle, o.session);
    }
}

bool ignorable(const std::string& line) {
    const size_t first = line.find_first_not_of(" \t\r");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
    fmhost::PluginHost host(o.settings);
    fmhost::HostState& state = fmhost::HostState::get();
    state.scripts = o.scripts;
    state.onScriptStarted = [](const fmhost::StartedScript& s) {
        std::printf("SCRIPT %s::%s %s\n", fmhost::utf8(s.database).c_str(), fmhost::utf8(s.script).c_str(),
                    fmhost::utf8(s.parameter).c_str());
        std::fflush(stdout);
    };

    passUserInterfaceChoices(o);
    std::string error;
    if (!host.load(o.plugin, error)) {
        std::fprintf(stderr, "volan-host: cannot load the plug-in: %s\n", error.c_str());
        return 2;
    }
    const int64_t accepted = host.init();
    if (accepted != 57) {
        const char* why = accepted == -1   ? "the host's extension version is not supported"
                          : accepted == -2 ? "the plug-in declined this host (server-side host or failed start-up)"
                                           : "unexpected answer";
        std::fprintf(stderr,
                     "volan-host: the plug-in refused to load (%lld): %s (extension version %d, application %d)\n",
                     static_cast<long long>(accepted), why, o.settings.apiVersion, o.settings.appType);
        host.unload();
        return 3;
    }

    int failures = 0;
    if (o.strings) {
        for (uint8_t id : {fmx::kFMXT_NameStr, fmx::kFMXT_AppConfigStr, fmx::kFMXT_OptionsStr, fmx::kFMXT_HelpURLStr})
            printResult(host.getString(id));
    }
    if (o.configure) host.appPrefs();
    if (o.list) listRegistrations();
    for (const auto& [step, parameters] : o.steps) failures += runStep(host, o, step, parameters);
    for (const std::string& e : o.expressions) failures += runExpression(host, o, e);

    if (o.file == "-") {
        const bool interactive = isatty(STDIN_FILENO);
        std::string line;
        for (;;) {
            if (interactive) {
                std::fputs("volan> ", stderr);
                std::fflush(stderr);
            }
            if (!(interactive ? readInteractiveLine(host, o, line) : static_cast<bool>(std::getline(std::cin, line))))
                break;
            if (!ignorable(line)) failures += runExpression(host, o, line);
        }
    } else if (!o.file.empty()) {
        std::ifstream in(o.file);
        if (!in) {
            std::fprintf(stderr, "volan-host: cannot read %s\n", o.file.c_str());
            host.unload();
            return 2;
        }
        std::string line;
        while (std::getline(in, line))
            if (!ignorable(line)) failures += runExpression(host, o, line);
    }

    if (o.idleSeconds > 0) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(o.idleSeconds);
        while (std::chrono::steady_clock::now() < until) {
            host.idle(fmx::kFMXT_UserIdle, o.session);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    host.unload();
    return failures ? 1 : 0;
}
