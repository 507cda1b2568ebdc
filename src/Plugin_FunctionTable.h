// The table of external functions registered with the host.
#pragma once

#include <FMWrapper/FMXClient.h>

#include <cstddef>

struct PluginFunction {
    fmx::int16 id;
    const char* name;
    const char* prototype;
    const char* description;
    const char* keywords;  // placed in front of the description on hosts that show one
    const char* help;      // parameter help, lines joined with CR LF; empty when there is none
    fmx::int16 minArgs;
    fmx::int16 maxArgs;  // -1: no upper limit
    fmx::ExtPluginType callback;
};

extern const PluginFunction kPluginFunctions[];
extern const size_t kPluginFunctionCount;

// Every function shares the plug-in id and these flags (may run on the server, shown everywhere).
constexpr fmx::uint32 kPluginFunctionFlags = 0xFF01;

#include <string>

// The prototype the host shows: with "AddHelp" on, followed by the description and parameter
// help as a comment block.
std::u16string pluginFunctionPrototype(const PluginFunction& function, bool addHelp);
