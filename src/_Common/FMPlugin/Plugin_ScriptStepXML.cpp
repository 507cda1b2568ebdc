#include "Plugin_ScriptStepXML.h"

#include "_Common/CoreCode/Orb_Variable.h"
#include "_Common/Strings/Orb_String.h"

#include <cmath>

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

int scriptStepListChoice(const OrbVariable& value, const std::vector<std::string>& choices) {
    const auto choice = [&](double number) {
        return number >= 0 && number < static_cast<double>(choices.size()) ? static_cast<int>(number) : -1;
    };
    switch (value.type()) {
        case OrbVariable::kEmpty: return -1;
        case OrbVariable::kInteger: return choice(static_cast<double>(value.integerValue()));
        case OrbVariable::kFloat: {
            const double number = value.floatValue();
            return std::fabs(number) < 1e15 && number == std::floor(number) ? choice(number) : -1;
        }
        default: break;
    }
    const ucstring given = stringTrim(value.variableAsString(1));
    if (given.empty()) return -1;
    if (given.find_first_not_of(u"0123456789") == ucstring::npos)
        return given.size() <= 4 ? choice(static_cast<double>(stringToInteger(given, 10))) : -1;
    const ucstring upper = stringUpperCase(given);
    for (size_t i = 0; i < choices.size(); ++i)
        if (stringUpperCase(ucstringFromUTF8String(choices[i])) == upper) return static_cast<int>(i);
    return -1;
}
