// Loaded modules and the running program (the system's module services).
#pragma once

#include <string>

namespace platform {

// Full path of the loaded module (shared object) that contains `address`; empty when unknown.
std::string modulePathOf(const void* address);

// Full path of the running program's executable.
std::string executablePath();

// The system's name, release and machine ("Linux 6.1.0-18-amd64 #1 SMP ... x86_64").
std::string systemVersionText();

// Handle of a library that is already loaded in the process, or null; never loads it.
void* loadedLibrary(const char* name);

// Address of an exported function of a library handle, or null.
void* librarySymbol(void* library, const char* name);

// Gives back a handle from loadedLibrary (the library itself stays loaded).
void releaseLibrary(void* library);

}  // namespace platform
