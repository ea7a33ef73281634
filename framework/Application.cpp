#include "Application.h"

#include <commctrl.h>

namespace {
HINSTANCE g_instance = nullptr;
}

void CWinApplication::Initialize(HINSTANCE instance)
{
    g_instance = instance;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

HINSTANCE CWinApplication::Instance() { return g_instance ? g_instance : GetModuleHandleA(nullptr); }
