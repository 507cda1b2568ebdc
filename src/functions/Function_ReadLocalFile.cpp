// Volan_ReadLocalFile ( File ; Start ; Amount ; ReadLines )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(ReadLocalFile) {
    (void)functionId;
    return runFunction("ReadLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File", u"Start", u"Amount", u"ReadLines"});
        const ucstring file = argumentString(call.arguments, u"File");
        const ucstring start = argumentString(call.arguments, u"Start");
        const ucstring amount = argumentString(call.arguments, u"Amount");
        const ucstring readLines = argumentString(call.arguments, u"ReadLines");
        if (file.empty()) return u"You must specify the file to read ('File' parameter).";
        return localRunOperation(
            call, File_ReadCallback,
            {localPath(u"File", file), {u"Start", start}, {u"Amount", amount}, {u"ReadLines", readLines}});
    });
}
