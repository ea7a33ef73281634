// QuenzoLite's entry point: everything else is in the application library.
#include "Startup.h"

#include <windows.h>

#include <cstdio>
#include <exception>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    try {
        return RunQuenzoLite(instance, commandLine);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "QuenzoLite: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "QuenzoLite: unexpected error\n");
    }
    return 1;
}
