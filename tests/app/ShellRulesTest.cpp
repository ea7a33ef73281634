// The main window's rules apart from its window.
#include "Handover.h"
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

// What a start asks for: "/close" alone; "/add" with whole paths (others dropped, repeats once).
TEST(StartRequest, CloseAloneAndAddWithWholePaths)
{
    using Paths = std::vector<std::wstring>;
    const struct {
        Paths arguments;
        StartKind kind;
        Paths paths;
    } cases[] = {
        {{}, StartKind::Normal, {}},
        {{L"trayOn"}, StartKind::Normal, {}},
        {{L"/CLOSE"}, StartKind::Close, {}},
        {{L"/close", L"C:\\a"}, StartKind::Normal, {}},
        {{L"/add"}, StartKind::Normal, {}},
        {{L"/Add", L"C:\\한글 이름\\'q'.", L"relative", L"C:\\", L"C:\\a/b\\", L"C:\\한글 이름\\'q'."},
         StartKind::Add,
         {L"C:\\한글 이름\\'q'.", L"C:\\a\\b"}},
    };
    for (const auto& c : cases) {
        const StartRequest request = RequestOf(c.arguments);
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.paths, c.paths);
    }
}

// The block a second copy sends comes back as it went; anything else is refused whole.
TEST(StartRequest, HandedOverBlocksDecodeExactlyOrNotAtAll)
{
    const std::vector<std::wstring> paths = {L"C:\\a b\\파일.txt", L"\\\\server\\share\\x."};
    const std::wstring block = EncodePaths(paths);
    EXPECT_EQ(DecodePaths(block.data(), block.size() * sizeof(wchar_t)), paths);
    const std::wstring relative = std::wstring(L"name") + L'\0';
    const std::wstring emptyPath = std::wstring(L"C:\\a") + L'\0' + L'\0';
    EXPECT_EQ(DecodePaths(block.data(), block.size() * sizeof(wchar_t) - 1), std::nullopt);  // odd size
    EXPECT_EQ(DecodePaths(block.data(), (block.size() - 1) * sizeof(wchar_t)), std::nullopt);  // no final NUL
    EXPECT_EQ(DecodePaths(relative.data(), relative.size() * sizeof(wchar_t)), std::nullopt);
    EXPECT_EQ(DecodePaths(emptyPath.data(), emptyPath.size() * sizeof(wchar_t)), std::nullopt);
    EXPECT_EQ(DecodePaths(nullptr, 0), std::nullopt);
}
