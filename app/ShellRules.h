#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

// The main window's rules, apart from its window: tested on their own.

// Where a window dragged to `proposed` comes to rest: within 20 pixels of a screen edge it snaps
// to that edge; a window already partly off the screen is left where it is.
POINT SnapToEdges(POINT proposed, SIZE window, SIZE screen);

// Whether the program was started by its autostart entry: the whole argument text is exactly
// "trayOn" (letter case counting; no other word, no blank).
bool IsTrayOnArgument(const char* commandLine);

// What a mouse event on the tray icon does.
enum class TrayAction { None, ShowMenu, ShowWindow };
TrayAction TrayActionFor(UINT mouseMessage);

// The three banners: where each lives on the product web site, where it is downloaded to, and
// the copy beside the current directory that the rotation shows.
struct BannerFiles {
    const char* webPath;
    const char* downloadFile;
    const char* localFile;
};
const std::array<BannerFiles, 3>& Banners();

// The banner the rotation shows at tick `counter` (counting from 1 at start): 2, 3, 1, 2, ...
int BannerForTick(unsigned counter);

// The alphas of the about window's one-second fade-in: v / 100 for v = 0, 255, 510, ... below
// 25500, that is 0, 2, 5, 7, ... 252 (it ends at 252, not 255).
std::vector<BYTE> FadeAlphas();

// The updater: the program files folder (expanded "%ProgramFiles%", any length) followed by
// "\Marrowick\QuenzoLite\UpdateQuenzoLite.exe".
std::string UpdaterPath();
