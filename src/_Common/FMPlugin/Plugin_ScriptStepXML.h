// The XML with which a script step describes its parameters to the host: a PluginStep element
// holding one Parameter element per parameter, attributes in the order ID, Label, Type, DataType,
// Default, ShowInline (each only when set), list choices as Value elements.
#pragma once

#include <string>
#include <vector>

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
