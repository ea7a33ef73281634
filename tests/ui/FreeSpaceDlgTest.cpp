// The window "빈 공간 지우기" on the small test drive, clicked through as a user would.
#include "CFreeSpaceDlg.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "SmallDrives.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <commctrl.h>

// The window offers S:, names the method and its free space; 시작 fills it on the worker, the bar
// reaches its end, and the one message says the fill reached the drive's end; 닫기 closes it.
TEST(FreeSpaceDlg, FillsTheChosenDriveAndTellsTheEnd)
{
    const std::wstring root = SmallDrive();
    const std::string freeText = BytesText(FreeBytesOf(root));
    ScriptedPrompts prompts;
    CFreeSpaceDlg dialog([] { return 12; });
    const auto window = [&] { return dialog.GetSafeHwnd(); };
    RunModalScript(dialog, nullptr,
                   {[&] {
                        const HWND combo = GetDlgItem(window(), IDC_FREE_DRIVE);
                        const LRESULT s = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                       reinterpret_cast<LPARAM>("S:"));
                        ASSERT_GE(s, 0);
                        SendMessageA(combo, CB_SETCURSEL, s, 0);
                        SendMessageA(window(), WM_COMMAND, MAKEWPARAM(IDC_FREE_DRIVE, CBN_SELCHANGE),
                                     reinterpret_cast<LPARAM>(combo));
                    },
                    [&] {
                        EXPECT_EQ(dialog.GetItemText(IDC_FREE_METHOD), "HMG_IS15_BaseLine + Marrowick Algorithm");
                        EXPECT_EQ(dialog.GetItemText(IDC_FREE_AMOUNT), freeText);
                        SaveScreenshot(window(), "free-space");
                        // Only ever the small drive: the other choices are real disks.
                        char chosen[8] = {};
                        GetDlgItemTextA(window(), IDC_FREE_DRIVE, chosen, sizeof(chosen));
                        if (std::string(chosen) == "S:" && dialog.GetItemText(IDC_FREE_AMOUNT) == freeText)
                            ClickButton(window(), IDC_FREE_START, true);
                    },
                    Until([&] { return prompts.Shown().size() == 1; }, "the end message"),
                    [&] {
                        EXPECT_EQ(SendDlgItemMessageA(window(), IDC_FREE_PROGRESS, PBM_GETPOS, 0, 0), 1000);
                        EXPECT_EQ(dialog.GetItemText(IDC_FREE_CANCEL), "닫기");
                        SaveScreenshot(window(), "free-space-done");
                        ClickButton(window(), IDC_FREE_CANCEL, true);
                    }});
    ASSERT_TRUE(dialog.LastResult());
    EXPECT_TRUE(dialog.LastResult()->Complete());
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_NE(prompts.Shown()[0].text.find("드라이브 끝까지 채웠습니다"), std::string::npos) << prompts.Shown()[0].text;
    EXPECT_FALSE(PathExists(root + FillFolderName()));
}

// The tray menu offers the window, under its own key.
TEST(FreeSpaceDlg, TheTrayMenuOffersIt)
{
    const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    char text[64] = {};
    GetMenuStringA(GetSubMenu(menu, 0), ID_TRAY_FREE_SPACE, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "빈 공간 지우기(&W)…");
    DestroyMenu(menu);
}
