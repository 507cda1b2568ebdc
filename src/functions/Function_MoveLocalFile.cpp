// Volan_MoveLocalFile ( SourceFile ; DestinationDirOrFile )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(MoveLocalFile) {
    (void)functionId;
    return runFunction("MoveLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"SourceFile", u"DestinationDirOrFile"});
        const ucstring sourceFile = stringTrim(argumentString(call.arguments, u"SourceFile"));
        const ucstring destinationDirOrFile = stringTrim(argumentString(call.arguments, u"DestinationDirOrFile"));
        if (sourceFile.empty()) return u"You must specify the file to move ('SourceFile' parameter).";
        if (destinationDirOrFile.empty())
            return u"You must specify the path to move to ('DestinationDirOrFile' parameter).";
        localResetList(call.variables, false);
        return localRunOperation(call, File_MoveCallback,
                                 {localPath(u"Source", sourceFile), localPath(u"Destination", destinationDirOrFile)});
    });
}
