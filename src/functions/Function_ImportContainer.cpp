// Volan_ImportContainer ( File {; ByReference} )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"

VOLAN_FUNCTION_CALLBACK(ImportContainer) {
    (void)functionId;
    return runFunction("ImportContainer", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"File", u"ByReference"});
        const ucstring file = stringTrim(argumentString(call.arguments, u"File"));
        if (file.empty()) return u"You must specify the file to import ('File' parameter).";
        const bool byReference = argumentBoolean(call.arguments, u"ByReference", false);
        OrbFileRef ref;
        ucstring pathError;
        const ucstring completed = localCompletePath(call.variables, file, pathError);
        if (!pathError.empty()) return pathError;
        if (!ref.set(completed)) return ref.errorString();
        fmx::DataUniquePtr container;
        const ucstring error = importContainer(*container, ref, byReference);
        if (!error.empty()) return error;
        *call.hostResult = *container;
        call.resultWritten = true;
        return {};
    });
}
