// Volan_ExportContainer ( Container {; DirOrFile} )
#include "Function__Local.h"
#include "Functions.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_Container.h"

VOLAN_FUNCTION_CALLBACK(ExportContainer) {
    (void)functionId;
    return runFunction("ExportContainer", environment, arguments, result, [](FunctionCall& call) -> ucstring {
        nameArguments(call.arguments, {u"Container", u"DirOrFile"});
        if (!call.hostArguments || call.hostArguments->Size() < 1 || call.hostArguments->At(0).IsEmpty())
            return u"Container is empty.";
        const fmx::Data& container = call.hostArguments->At(0);
        // The target: the current folder, replaced by an absolute DirOrFile or extended by a relative one.
        OrbFileRef target(localCurrentFolder(call.variables));
        const ucstring dirOrFile = stringTrim(argumentString(call.arguments, u"DirOrFile"));
        if (!dirOrFile.empty()) {
            // A relative path with no current folder names nothing (not a place at the root).
            if (!isFullPath(dirOrFile) && !target.defined()) return localNoCurrentFolderError(dirOrFile);
            const bool parsed = isFullPath(dirOrFile) ? target.set(dirOrFile) : target.append(dirOrFile);
            if (!parsed) return target.errorString();
        }
        if (!target.defined()) return u"Local directory is not valid, use ChangeLocalDir to set a valid directory.";
        ucstring fileName;
        OrbFileRef folder(target);
        if (!target.dirExists()) {
            fileName = target.getLastItem();
            folder.removeLastItem();
        }
        ucstring error;
        if (!exportContainer(error, container, folder, fileName, false)) return error;
        OrbFileRef written(folder);
        written.addItem(OrbFileRef::encodeSlashes(fileName));
        call.result.setStringValue(u"Exported container to: " + written.pathAsString(kPathStyleWindows));
        return {};
    });
}
