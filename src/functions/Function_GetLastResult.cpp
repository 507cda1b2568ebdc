// Volan_GetLastResult ( {Attribute} ): what the session's last transfer did.
#include "Function__Common.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"

namespace {

ucstring field(const OrbVariableArray& record, const char16_t* name) {
    const OrbVariable* v = nullptr;
    return record.variableWithName(name, v) ? v->variableAsString(1) : ucstring();
}

const ucstring kUnknownAttribute = u"Unknown attribute or this transfer type does not support this attribute.";

ucstring describe(const OrbVariableArray& record, const ucstring& attribute, OrbVariable& result) {
    const ucstring type = field(record, u"Type");
    if (attribute == u"TYPE") {
        result.setStringValue(type);
        return {};
    }
    const ucstring localFile = field(record, u"LocalFile"), remoteFile = field(record, u"RemoteFile");
    if (type == u"DownloadFile" || type == u"UploadFile") {
        const bool download = type == u"DownloadFile";
        // The name on the receiving side comes first.
        const ucstring& near = download ? localFile : remoteFile;
        const ucstring& far = download ? remoteFile : localFile;
        if (attribute.empty()) {
            const ucstring verb = download ? u"Downloaded '" : u"Uploaded '";
            result.setStringValue(near.empty() ? verb + far + u"'." : verb + near + u"' (originally '" + far + u"').");
        } else if (attribute == u"FILENAME") {
            result.setStringValue(near.empty() ? far : near);
        } else if (attribute == u"LOCALLOCATION") {
            result.setStringValue(field(record, u"LocalPath"));
        } else if (attribute == u"REMOTELOCATION") {
            result.setStringValue(field(record, u"RemotePath"));
        } else {
            return kUnknownAttribute;
        }
        return {};
    }
    if (type == u"DownloadText") {
        if (attribute.empty() || attribute == u"TEXT") {
            const OrbVariable* text = nullptr;
            if (!record.variableWithName(u"Text", text) || text->type() != OrbVariable::kList)
                return u"Could not get text from transfer variable.";
            result.setListValue(text->listValue());
        } else if (attribute == u"FILENAME") {
            result.setStringValue(remoteFile);
        } else if (attribute == u"REMOTELOCATION") {
            result.setStringValue(field(record, u"RemotePath"));
        } else {
            return kUnknownAttribute;
        }
        return {};
    }
    if (type == u"UploadText") {
        if (attribute.empty())
            result.setStringValue(u"Uploaded '" + remoteFile + u"'.");
        else if (attribute == u"FILENAME")
            result.setStringValue(remoteFile);
        else if (attribute == u"REMOTELOCATION")
            result.setStringValue(field(record, u"RemotePath"));
        else
            return kUnknownAttribute;
        return {};
    }
    return u"Transfer type is unknown or invalid.";
}

}  // namespace

VOLAN_FUNCTION_CALLBACK(GetLastResult) {
    (void)functionId;
    return runFunction("GetLastResult", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Attribute"});
        const ucstring attribute = stringNormalize(argumentString(call.arguments, u"Attribute"));
        const OrbVariable& last = call.variables.lastTransfer;
        switch (last.type()) {
            case OrbVariable::kEmpty: call.result.setStringValue(u"No transfers have occurred."); return {};
            case OrbVariable::kString: call.result.setStringValue(last.stringValue()); return {};
            case OrbVariable::kArray: return describe(last.arrayValue(), attribute, call.result);
            default: return u"Last transfer variable is invalid.";
        }
    });
}
