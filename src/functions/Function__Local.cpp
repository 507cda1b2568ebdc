#include "Function__Local.h"

#include "Function__RemoteList.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FMPlugin/Plugin_FileMain.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

OrbFileRef& localCurrentFolder(PluginVariables& variables) {
    if (!variables.localFolderSet) {
        variables.localFolder.set(u"/");
        variables.localFolderSet = true;
    }
    return variables.localFolder;
}

ucstring localCompletePath(PluginVariables& variables, const ucstring& path) {
    if (path.empty() || isFullPath(path)) return path;
    const OrbFileRef& folder = localCurrentFolder(variables);
    ucstring base;
    folder.pathAsString(base, kPathStyleSlash);
    return OrbFileRef::addEndingPathDelimiter(base) + path;
}

void localResetList(PluginVariables& variables, bool resetPosition) {
    variables.localList.clear();
    variables.localListValid = false;
    if (resetPosition) variables.localListPosition = 0;
}

ucstring maybeGetLocalFileList(PluginVariables& variables) {
    if (variables.localListValid) return {};
    OrbFileRefEx folder(localCurrentFolder(variables));
    if (!folder.defined() || !folder.dirExists())
        return u"Local directory is not valid, use ChangeLocalDir to set a valid directory.";
    OrbVariableArray items;
    if (!folder.listItems(&items, kListItemsType | kListItemsSize | kListItemsModDate)) return folder.errorString();
    variables.localList.clear();
    listAddItemRecord(variables.localList, u".", u"dir", 0, listDefaultModDate());
    listAddItemRecord(variables.localList, u"..", u"dir", 0, listDefaultModDate());
    ucstring error;
    for (size_t i = 0; i < items.size(); ++i) {
        const OrbVariable* item = nullptr;
        if (items.variableAtIndex(i, item)) variables.localList.addVariable(error, *item, true);
    }
    variables.localListValid = true;
    return {};
}

ucstring localRunOperation(FunctionCall& call, LocalOperation operation,
                           std::initializer_list<std::pair<const char16_t*, ucstring>> parameters) {
    const OrbVariableArray named = fileOperationParameters(parameters);
    return operation(named, call.result);
}
