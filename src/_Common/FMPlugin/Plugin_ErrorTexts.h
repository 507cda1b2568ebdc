// Readable texts for the error codes the host returns from its calls (scripts, SQL, container data).
#pragma once

#include <FMWrapper/FMXTypes.h>

#include <string>

// The host's description of the code, a blank and the code in parentheses: "User canceled action (1)".
// Codes the host does not document give "Unknown Error (code)".
std::u16string ucstringFromFMError(fmx::errcode code);
