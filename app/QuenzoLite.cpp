// QuenzoLite's entry point: everything else is in the application library.
#include "Startup.h"
#include "Unhandled.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    try {
        return RunQuenzoLite(instance, commandLine);
    } catch (...) {
        ReportUnhandled("WinMain");
    }
    return 1;
}
