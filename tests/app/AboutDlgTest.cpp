#include "CQuenzoAboutDlg.h"
#include "Sandbox.h"
#include "Seams.h"
#include "WindowTest.h"

#include <gtest/gtest.h>

namespace {

BYTE AlphaOf(HWND window)
{
    BYTE alpha = 255;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
        return 255;
    return alpha;
}

}  // namespace

// The fade runs through the described alphas, 10 ms apart, and starts from 0 again each time; the
// window sits centred on the desktop; activating another window turns it fully transparent while
// it stays shown; a click hides it for good.
TEST(AboutWindow, FadesInCentredTurnsTransparentAndHidesOnAClick)
{
    Sandbox sandbox;
    CQuenzoAboutDlg about;
    ASSERT_TRUE(about.Create(nullptr));
    const HWND window = about.GetSafeHwnd();
    EXPECT_FALSE(IsWindowVisible(window));
    std::vector<BYTE> seen;
    std::vector<unsigned> waits;
    const seams::ScopedPauses pauses([&](unsigned ms) {
        waits.push_back(ms);
        seen.push_back(AlphaOf(window));
    });

    // 0, 2, 5, 7, ... 252 in 100 steps: it ends at 252, not 255.
    const auto alphas = FadeAlphas();
    ASSERT_EQ(alphas.size(), 100u);
    EXPECT_EQ((std::vector<BYTE>(alphas.begin(), alphas.begin() + 5)), (std::vector<BYTE>{0, 2, 5, 7, 10}));
    EXPECT_EQ(alphas.back(), 252);
    for (int run = 0; run < 2; ++run) {
        seen.clear();
        waits.clear();
        about.FadeIn();
        EXPECT_EQ(seen, FadeAlphas()) << run;
        EXPECT_EQ(waits, std::vector<unsigned>(100, 10)) << run;
        EXPECT_TRUE(IsWindowVisible(window));
    }
    SaveScreenshot(window, "about");

    RECT place;
    GetWindowRect(window, &place);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_NEAR((place.left + place.right) / 2, (desktop.left + desktop.right) / 2, 1);
    EXPECT_NEAR((place.top + place.bottom) / 2, (desktop.top + desktop.bottom) / 2, 1);

    SendMessageA(window, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(AlphaOf(window), 0);
    EXPECT_TRUE(IsWindowVisible(window));

    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
}
