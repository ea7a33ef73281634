// Stands in for a browser process: it does nothing until it is terminated (or a minute passes).
// Given an argument, it shows a window and ends once that window is asked to close, as a browser.
#include <windows.h>

int main(int argc, char**)
{
    const HWND window = argc > 1 ? CreateWindowA("STATIC", "browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                                 nullptr, nullptr, nullptr, nullptr)
                                 : nullptr;
    MSG message;
    while (window && IsWindow(window) && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    if (!window)
        Sleep(60000);
    return 0;
}
