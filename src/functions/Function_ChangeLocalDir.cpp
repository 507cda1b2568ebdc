// Volan_ChangeLocalDir ( Dir )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"

VOLAN_FUNCTION_CALLBACK(ChangeLocalDir) {
    (void)functionId;
    return runFunction("ChangeLocalDir", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Dir"});
        const ucstring dir = stringTrim(argumentString(call.arguments, u"Dir"));
        if (dir.empty()) return u"You must specify the directory to change to ('Dir' parameter).";
        localResetList(call.variables, true);
        OrbFileRef& folder = localCurrentFolder(call.variables);
        ucstring attempted = dir;
        bool parsed;
        if (isFullPath(dir)) {
            parsed = folder.set(dir);
        } else if (!folder.defined()) {
            return localNoCurrentFolderError(dir);
        } else {
            folder.pathAsString(attempted, kPathStyleSlash);
            attempted = OrbFileRef::addEndingPathDelimiter(attempted) + dir;
            parsed = folder.append(dir);
        }
        if (parsed) attempted = folder.pathAsString(kPathStyleWindows);
        if (!parsed || !folder.dirExists()) {
            const ucstring error = folder.errorString();
            folder.clear();
            return u"The specified local directory does not exist: " + attempted + u"; Error: " + error;
        }
        call.result.setStringValue(u"Local directory set to: " + folder.pathAsString(kPathStyleWindows));
        return {};
    });
}
