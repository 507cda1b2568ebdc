// The local file and folder operations, written once for the calculation functions and the
// script steps. Each takes its parameters by name (a missing one counts as empty), sets `result`
// on success and returns an error text (empty on success). Paths in results are Windows style.
#pragma once

#include "_Common/CoreCode/Orb_Variable.h"

// Files.
[[nodiscard]] ucstring File_CopyCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_MoveCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_DeleteCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_RenameCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_ExistsCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_SizeCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_TimestampCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_ReadCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_WriteCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring File_SelectWithDialogCallback(const OrbVariableArray& parameters, OrbVariable& result);

// Folders.
[[nodiscard]] ucstring Folder_CreateCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_DeleteCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_RenameCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_ExistsCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_GetPathCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_ListCallback(const OrbVariableArray& parameters, OrbVariable& result);
[[nodiscard]] ucstring Folder_SelectWithDialogCallback(const OrbVariableArray& parameters, OrbVariable& result);

// Builds the named parameters of an operation from name/value pairs (tests and front ends).
OrbVariableArray fileOperationParameters(std::initializer_list<std::pair<const char16_t*, ucstring>> values);
