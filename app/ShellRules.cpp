#include "ShellRules.h"

#include <cstring>

namespace {
constexpr int kSnapDistance = 20;
}

POINT SnapToEdges(POINT proposed, SIZE window, SIZE screen)
{
    POINT result = proposed;
    if (result.x > 0 && result.x <= kSnapDistance)
        result.x = 0;
    if (result.y > 0 && result.y <= kSnapDistance)
        result.y = 0;
    const LONG right = proposed.x + window.cx;
    if (right >= screen.cx - kSnapDistance && right < screen.cx)
        result.x = screen.cx - window.cx;
    const LONG bottom = proposed.y + window.cy;
    if (bottom >= screen.cy - kSnapDistance && bottom < screen.cy)
        result.y = screen.cy - window.cy;
    return result;
}

bool IsTrayOnArgument(const char* commandLine) { return commandLine && std::strcmp(commandLine, "trayOn") == 0; }

TrayAction TrayActionFor(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_RBUTTONUP:
        return TrayAction::ShowMenu;
    case WM_LBUTTONDBLCLK:
        return TrayAction::ShowWindow;
    default:
        return TrayAction::None;
    }
}

const std::array<BannerFiles, 3>& Banners()
{
    static const std::array<BannerFiles, 3> banners = {{
        {"/QuenzoLight/banner/banner1.bmp", "C:\\Windows\\Temp\\banner1.bmp", "banner\\banner1.bmp"},
        {"/QuenzoLight/banner/banner2.bmp", "C:\\Windows\\Temp\\banner2.bmp", "banner\\banner2.bmp"},
        {"/QuenzoLight/banner/banner3.bmp", "C:\\Windows\\Temp\\banner3.bmp", "banner\\banner3.bmp"},
    }};
    return banners;
}

int BannerForTick(unsigned counter) { return static_cast<int>(counter % 3) + 1; }

std::vector<BYTE> FadeAlphas()
{
    std::vector<BYTE> alphas;
    for (unsigned v = 0; v < 25500; v += 255)
        alphas.push_back(static_cast<BYTE>(v / 100));
    return alphas;
}

std::string UpdaterPath()
{
    const char* variable = "%ProgramFiles%";
    const DWORD needed = ExpandEnvironmentStringsA(variable, nullptr, 0);
    std::string folder(needed ? needed : 1, '\0');
    const DWORD written = ExpandEnvironmentStringsA(variable, folder.data(), static_cast<DWORD>(folder.size()));
    folder.resize(written ? written - 1 : 0);
    return folder + "\\Marrowick\\QuenzoLite\\UpdateQuenzoLite.exe";
}
