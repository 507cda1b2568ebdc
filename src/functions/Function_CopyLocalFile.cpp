// Volan_CopyLocalFile ( SourceFile ; DestinationDirOrFile )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(CopyLocalFile) {
    (void)functionId;
    return runFunction("CopyLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"SourceFile", u"DestinationDirOrFile"});
        const ucstring sourceFile = stringTrim(argumentString(call.arguments, u"SourceFile"));
        const ucstring destinationDirOrFile = stringTrim(argumentString(call.arguments, u"DestinationDirOrFile"));
        if (sourceFile.empty()) return u"You must specify the file to copy ('SourceFile' parameter).";
        if (destinationDirOrFile.empty())
            return u"You must specify the path to copy to ('DestinationDirOrFile' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, File_CopyCallback,
                                 {localPath(u"Source", sourceFile), localPath(u"Destination", destinationDirOrFile)});
    });
}
