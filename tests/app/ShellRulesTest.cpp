// The main window's rules apart from its window.
#include "ShellRules.h"

#include <gtest/gtest.h>

// Within 20 pixels of an edge the window snaps to it; at 21 it does not; a window already partly
// off the screen stays where it is. Screen 1024 x 768, window 363 x 300.
TEST(SnapToEdges, TwentyPixelsSnapTwentyOneDoNot)
{
    const SIZE window{363, 300};
    const SIZE screen{1024, 768};
    const struct {
        POINT proposed;
        POINT expected;
    } cases[] = {
        {{20, 20}, {0, 0}},         {{21, 21}, {21, 21}},     {{1, 100}, {0, 100}},
        {{0, 100}, {0, 100}},       {{-5, -5}, {-5, -5}},     {{641, 448}, {661, 468}},
        {{640, 447}, {640, 447}},   {{661, 468}, {661, 468}}, {{700, 500}, {700, 500}},
        {{300, 20}, {300, 0}},
    };
    for (const auto& c : cases) {
        const POINT snapped = SnapToEdges(c.proposed, window, screen);
        EXPECT_EQ(snapped.x, c.expected.x) << c.proposed.x << "," << c.proposed.y;
        EXPECT_EQ(snapped.y, c.expected.y) << c.proposed.x << "," << c.proposed.y;
    }
}

TEST(ShellRules, OnlyTheWholeArgumentTrayOnStartsInTheTray)
{
    EXPECT_TRUE(IsTrayOnArgument("trayOn"));
    for (const char* no : {"trayon", "TRAYON", "trayOn x", " trayOn", "trayOn ", "", "\"trayOn\""})
        EXPECT_FALSE(IsTrayOnArgument(no)) << no;
    EXPECT_FALSE(IsTrayOnArgument(nullptr));
}

TEST(ShellRules, TrayEventsBannersAndFade)
{
    EXPECT_EQ(TrayActionFor(WM_RBUTTONUP), TrayAction::ShowMenu);
    EXPECT_EQ(TrayActionFor(WM_LBUTTONDBLCLK), TrayAction::ShowWindow);
    for (UINT other : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        EXPECT_EQ(TrayActionFor(other), TrayAction::None) << other;

    // Banner 1 is shown at start; the rotation's ticks then show 2, 3, 1, 2, ...
    const int expected[] = {2, 3, 1, 2, 3, 1};
    for (unsigned tick = 1; tick <= 6; ++tick)
        EXPECT_EQ(BannerForTick(tick), expected[tick - 1]) << tick;

    const auto alphas = FadeAlphas();
    ASSERT_EQ(alphas.size(), 100u);
    EXPECT_EQ((std::vector<BYTE>(alphas.begin(), alphas.begin() + 5)), (std::vector<BYTE>{0, 2, 5, 7, 10}));
    EXPECT_EQ(alphas.back(), 252);

    // However long the folder's name, the updater's path is whole (a 200-byte buffer cut it).
    char saved[1024] = {};
    GetEnvironmentVariableA("ProgramFiles", saved, sizeof(saved));
    const std::string longFolder = "C:\\" + std::string(300, 'p');
    SetEnvironmentVariableA("ProgramFiles", longFolder.c_str());
    EXPECT_EQ(UpdaterPath(), longFolder + "\\Marrowick\\QuenzoLite\\UpdateQuenzoLite.exe");
    SetEnvironmentVariableA("ProgramFiles", saved);
}
