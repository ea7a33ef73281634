#pragma once
#include <windows.h>

// The program from its start to its end, apart from the entry point so that tests can link it.
// Returns the process's exit code.
int RunQuenzoLite(HINSTANCE instance, const char* commandLine);
