// What the local file functions share: the session's current local folder, relative paths
// completed against it, its cached listing, and the call of a file operation.
#pragma once

#include "Function__Common.h"

// The session's current local folder (the default volume's root in a new session).
OrbFileRef& localCurrentFolder(PluginVariables& variables);
// An absolute path as it stands; a relative one after the current folder (slash style).
ucstring localCompletePath(PluginVariables& variables, const ucstring& path);
// Forgets the cached listing (and, with resetPosition, where Next continues).
void localResetList(PluginVariables& variables, bool resetPosition);
// Builds the cached listing of the current folder when it is not valid: "." and ".." first.
ucstring maybeGetLocalFileList(PluginVariables& variables);

using LocalOperation = ucstring (*)(const OrbVariableArray& parameters, OrbVariable& result);
// Runs an operation with named parameters; its error (or result) becomes the function's.
ucstring localRunOperation(FunctionCall& call, LocalOperation operation,
                           std::initializer_list<std::pair<const char16_t*, ucstring>> parameters);
