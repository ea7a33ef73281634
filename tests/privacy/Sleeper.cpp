// Stands in for a browser process: it does nothing until it is terminated (or a minute passes).
#include <windows.h>

int main()
{
    Sleep(60000);
    return 0;
}
