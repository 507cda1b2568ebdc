// What the local file functions share: the session's current local folder, relative paths
// completed against it, its cached listing, and the call of a file operation.
#pragma once

#include "Function__Common.h"

// The session's current local folder (the default volume's root in a new session).
OrbFileRef& localCurrentFolder(PluginVariables& variables);
// An absolute path as it stands; a relative one after the current folder (slash style). Without a
// valid current folder a relative path names nothing: the result is empty and `error` says why.
ucstring localCompletePath(PluginVariables& variables, const ucstring& path, ucstring& error);
// The folder or file a path argument names: the current folder for an empty path, else the path
// completed; the error of a relative path without a current folder.
[[nodiscard]] ucstring localPathOrCurrentFolder(PluginVariables& variables, const ucstring& path, OrbFileRef& ref);
// Why a relative path cannot be completed while there is no valid current folder.
ucstring localNoCurrentFolderError(const ucstring& relativePath);
// Forgets the cached listing (and, with resetPosition, where Next continues).
void localResetList(PluginVariables& variables, bool resetPosition);
// Builds the cached listing of the current folder when it is not valid: "." and ".." first.
[[nodiscard]] ucstring maybeGetLocalFileList(PluginVariables& variables);

using LocalOperation = ucstring (*)(const OrbVariableArray& parameters, OrbVariable& result);
// A named parameter of an operation; a local path (made with localPath) is completed against the
// current folder first.
struct LocalParameter {
    const char16_t* name;
    ucstring value;
    bool isLocalPath = false;
};
inline LocalParameter localPath(const char16_t* name, const ucstring& path) { return {name, path, true}; }
// Runs an operation with named parameters; its error (or result) becomes the function's. A local
// path that cannot be completed is the error, and the operation is not run.
[[nodiscard]] ucstring localRunOperation(FunctionCall& call, LocalOperation operation,
                                         std::initializer_list<LocalParameter> parameters);
