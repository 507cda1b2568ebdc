// Volan_QuickUpload ( FileOrContainer ; URL {; ShowStatusWindow } ): one file to its URL, without
// a connection of the session's own.
#include "Function__Common.h"
#include "Function__QuickTransfer.h"
#include "Function__Transfers.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(QuickUpload) {
    (void)functionId;
    return runFunction("QuickUpload", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        nameArguments(call.arguments, {u"FileOrContainer", u"URL", u"ShowStatusWindow"});
        const OrbVariable* source = argument(call.arguments, u"FileOrContainer");
        // An empty text, or an empty container, names no file either.
        if (!source || source->variableAsString(1).empty())
            return u"You must specify the file to upload ('FileOrContainer' parameter).";
        OrbFileRef file;
        ucstring storedName;
        // "dos" is the product's own spelling.
        ucstring error = transferUploadSource(call, file, storedName, u"File dos not exist: ");
        if (!error.empty()) return error;
        const TransferExportedFile exported(v, file);
        const ucstring urlText = stringTrim(argumentString(call.arguments, u"URL"));
        if (urlText.empty()) return u"You must specify the URL ('URL' parameter).";
        QuickURL url;
        error = quickParseURL(urlText, url, u"Could not complile FTP URL regular expression; Error: ");
        if (!error.empty()) return error;
        const ucstring localName = file.getLastItem();
        if (url.path.back() == u'/') {
            url.name = storedName.empty() ? localName : storedName;
            url.path += url.name;
        }
        error = quickTransfer(v, url, argumentBoolean(call.arguments, u"ShowStatusWindow", false),
                              [&] { return uploadFile(v, file, ucstringToUTF8String(url.path), false, false); });
        if (!error.empty()) return error;
        call.result.setStringValue(u"Uploaded " + transferNames(url.name, localName) + u".");
        return {};
    });
}
