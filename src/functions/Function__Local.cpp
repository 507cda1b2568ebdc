#include "Function__Local.h"

#include "Function__RemoteList.h"
#include "_Common/Strings/Orb_String.h"
#include "_CommonEx/FileAndStream/Orb_FileRefEx.h"

namespace {
constexpr const char16_t* kNoCurrentFolder =
    u"Local directory is not valid, use ChangeLocalDir to set a valid directory.";
}  // namespace

OrbFileRef& localCurrentFolder(PluginVariables& variables) {
    if (!variables.localFolderSet) {
        variables.localFolder.set(u"/");
        variables.localFolderSet = true;
    }
    return variables.localFolder;
}

ucstring localNoCurrentFolderError(const ucstring& relativePath) {
    return u"Cannot complete the relative path '" + relativePath + u"': " + kNoCurrentFolder;
}

ucstring localCompletePath(PluginVariables& variables, const ucstring& path, ucstring& error) {
    error.clear();
    if (path.empty() || isFullPath(path)) return path;
    // Taken on the root of the drive instead, the path would name another file than the user meant.
    OrbFileRef& folder = localCurrentFolder(variables);
    if (!folder.defined() || !folder.dirExists()) {
        error = localNoCurrentFolderError(path);
        return {};
    }
    ucstring base;
    folder.pathAsString(base, kPathStyleSlash);
    return OrbFileRef::joinRelativePath(base, path);
}

ucstring localPathOrCurrentFolder(PluginVariables& variables, const ucstring& path, OrbFileRef& ref) {
    if (path.empty()) {
        ref = localCurrentFolder(variables);
        return {};
    }
    ucstring error;
    const ucstring completed = localCompletePath(variables, path, error);
    if (error.empty()) ref = OrbFileRef(completed);
    return error;
}

void localResetList(PluginVariables& variables, bool resetPosition) {
    variables.localList.clear();
    variables.localListValid = false;
    if (resetPosition) variables.localListPosition = 0;
}

ucstring maybeGetLocalFileList(PluginVariables& variables) {
    if (variables.localListValid) return {};
    OrbFileRefEx folder(localCurrentFolder(variables));
    if (!folder.defined() || !folder.dirExists()) return kNoCurrentFolder;
    OrbVariableArray items;
    if (!folder.listItems(&items, kListItemsType | kListItemsSize | kListItemsModDate)) return folder.errorString();
    variables.localList.clear();
    listAddItemRecord(variables.localList, u".", u"dir", 0, listDefaultModDate());
    listAddItemRecord(variables.localList, u"..", u"dir", 0, listDefaultModDate());
    // Moved as they are: adding a variable would trim its name, and "  a.txt" is another file.
    for (OrbVariable& item : items.mutableVariableArray())
        variables.localList.mutableVariableArray().push_back(std::move(item));
    variables.localListValid = true;
    return {};
}

ucstring localRunOperation(FunctionCall& call, LocalOperation operation,
                           std::initializer_list<LocalParameter> parameters) {
    OrbVariableArray named;
    ucstring error, ignored;
    for (const LocalParameter& p : parameters) {
        const ucstring value = p.isLocalPath ? localCompletePath(call.variables, p.value, error) : p.value;
        if (!error.empty()) return error;
        // Handed over as given (the data of a file keeps its blanks); a string variable made by
        // name would be trimmed.
        OrbVariable parameter(p.name);
        parameter.setStringValue(value);
        named.addVariable(ignored, parameter, true);
    }
    return operation(named, call.result);
}
