// Volan_QuickDownload ( URL {; LocalDirOrFile {; ShowStatusWindow }} ): one file by its URL,
// without a connection of the session's own.
#include "Function__Common.h"
#include "Function__Local.h"
#include "Function__QuickTransfer.h"
#include "Function__Transfers.h"
#include "Functions.h"

VOLAN_FUNCTION_CALLBACK(QuickDownload) {
    (void)functionId;
    return runFunction("QuickDownload", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        PluginVariables& v = call.variables;
        nameArguments(call.arguments, {u"URL", u"LocalDirOrFile", u"ShowStatusWindow"});
        const ucstring urlText = stringTrim(argumentString(call.arguments, u"URL"));
        if (urlText.empty()) return u"You must specify the URL ('URL' parameter).";
        const ucstring localFile = argumentString(call.arguments, u"LocalDirOrFile");
        QuickURL url;
        ucstring error = quickParseURL(urlText, url, u"Could not compile FTP URL regular expression; Error: ");
        if (!error.empty()) return error;
        OrbFileRef target;
        error = transferDownloadTarget(v, localFile, url.name, u"The local dir or file is invalid: ", target);
        if (!error.empty()) return error;
        const ucstring localName = target.getLastItem();
        error = quickTransfer(v, url, argumentBoolean(call.arguments, u"ShowStatusWindow", false),
                              [&] { return downloadFile(v, ucstringToUTF8String(url.path), target, false, false); });
        if (!error.empty()) return error;
        localResetList(v, false);
        call.result.setStringValue(u"Downloaded " + transferNames(localName, url.name) + u".");
        return {};
    });
}
