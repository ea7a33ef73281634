#pragma once
#include <windows.h>

// The process-wide facts every window needs: the module its resources come from. Initialise
// once at start (common controls included) before the first window is created.
class CWinApplication {
public:
    static void Initialize(HINSTANCE instance);
    static HINSTANCE Instance();
};
