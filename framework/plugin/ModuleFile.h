// The full file names of the plug-in module itself and of the host program
// that loaded it, and the platform's folder separator. One implementation
// per platform.
#pragma once

#include <cstddef>

#ifdef _WIN32
const char PATH_SEPARATOR = '\\';
#else
const char PATH_SEPARATOR = '/';
#endif

// Writes the module's file name (terminated) into out; false, with out
// emptied, when it cannot be obtained or does not fit.
bool GetModuleFileNameOfPlugin(char* out, size_t size);

// The same for the program the process runs (the host).
bool GetFileNameOfProgram(char* out, size_t size);
