#include "Plugin_ScriptStepXML.h"

namespace {
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

void attribute(std::string& xml, const char* name, const std::string& value) {
    if (!value.empty()) xml += std::string(" ") + name + "=\"" + escaped(value) + "\"";
}
}  // namespace

std::string scriptStepDefinition(const std::vector<ScriptStepParameter>& parameters) {
    std::string xml = "<PluginStep>";
    for (const ScriptStepParameter& p : parameters) {
        xml += "<Parameter";
        if (p.id >= 0) attribute(xml, "ID", std::to_string(p.id));
        attribute(xml, "Label", p.label);
        attribute(xml, "Type", p.type);
        attribute(xml, "DataType", p.dataType);
        attribute(xml, "Default", p.defaultValue);
        attribute(xml, "ShowInline", p.showInline ? "kParam_ShowInline" : "kParam_DontShowInline");
        if (p.values.empty()) {
            xml += "/>";
            continue;
        }
        xml += ">";
        for (size_t i = 0; i < p.values.size(); ++i)
            xml += "<Value ID=\"" + std::to_string(i) + "\">" + escaped(p.values[i]) + "</Value>";
        xml += "</Parameter>";
    }
    return xml + "</PluginStep>";
}
