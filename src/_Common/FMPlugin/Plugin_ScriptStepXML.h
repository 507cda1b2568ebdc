// The XML with which a script step describes its parameters to the host: a PluginStep element
// holding one Parameter element per parameter, attributes in the order ID, Label, Type, DataType,
// Default, ShowInline (each only when set), list choices as Value elements. Also how a step reads
// the choice of a list parameter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Every script step is registered with these compatibility flags.
constexpr uint32_t kPluginScriptStepFlags = 0xFF007E;

struct ScriptStepParameter {
    int id = -1;  // none for the target
    std::string label;
    std::string type;          // "calc", "target", "bool" or "list"
    std::string dataType;      // "text", "number", "timestamp", "container"; empty for none
    std::string defaultValue;  // empty for none
    bool showInline = true;
    std::vector<std::string> values;  // the choices of a list, ids 0, 1, ...
};

std::string scriptStepDefinition(const std::vector<ScriptStepParameter>& parameters);

class OrbVariable;
// The choice (0, 1, ...) a list parameter's value names: the host gives its id, a whole number
// (also as digits in a text); a script may give its shown text, in any letter case. -1 when the
// value names none of `choices`.
int scriptStepListChoice(const OrbVariable& value, const std::vector<std::string>& choices);
