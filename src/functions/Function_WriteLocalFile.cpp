// Volan_WriteLocalFile ( Data ; File ; FileExistsAction ; CharacterSet ; LineEndingType ; IncludeUnicodeBOM )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"

VOLAN_FUNCTION_CALLBACK(WriteLocalFile) {
    (void)functionId;
    return runFunction("WriteLocalFile", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Data", u"File", u"FileExistsAction", u"CharacterSet", u"LineEndingType",
                                       u"IncludeUnicodeBOM"});
        const ucstring data = argumentString(call.arguments, u"Data");
        const ucstring file = argumentString(call.arguments, u"File");
        const ucstring fileExistsAction = argumentString(call.arguments, u"FileExistsAction");
        const ucstring characterSet = argumentString(call.arguments, u"CharacterSet");
        const ucstring lineEndingType = argumentString(call.arguments, u"LineEndingType");
        const ucstring includeUnicodeBOM = argumentString(call.arguments, u"IncludeUnicodeBOM");
        if (file.empty()) return u"You must specify the file to write ('File' parameter).";
        return localRunOperation(call, File_WriteCallback,
                                 {{u"Data", data},
                                  localPath(u"File", file),
                                  {u"FileExistsAction", fileExistsAction},
                                  {u"CharacterSet", characterSet},
                                  {u"LineEndingType", lineEndingType},
                                  {u"IncludeUnicodeBOM", includeUnicodeBOM}});
    });
}
