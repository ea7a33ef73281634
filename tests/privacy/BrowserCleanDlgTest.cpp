#include "BrowserFixtures.h"
#include "BrowserStores.h"
#include "CBrowserCleanDlg.h"
#include "CRegInfo.h"
#include "PrivacyTestSupport.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>

// The window lists the profiles found with the remembered (here the default) categories ticked;
// it shows what goes before anything goes, and a "No" there changes nothing; after a "Yes", one
// report. The categories are remembered, the passwords never.
TEST(BrowserCleanDlg, PreviewsThenCleansTheChosenProfiles)
{
    const BrowserSandbox box;
    ScriptedPrompts prompts;
    RecordingEngine engine{13};
    CRegInfo settings;
    settings.RegisterAtStartup();
    SetPersnal("0");
    CBrowserCleanDlg window(engine, settings, box.Roots());
    ASSERT_TRUE(window.Create(nullptr));
    const HWND dialog = window.GetSafeHwnd();
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_BROWSER_PROFILES, LB_GETSELCOUNT, 0, 0), 8);
    EXPECT_EQ(window.ChosenCategories(), kDefaultBrowserCategories);
    SaveScreenshot(dialog, "other-browsers");
    SendDlgItemMessageA(dialog, IDC_BROWSER_PROFILES, LB_SETSEL, FALSE, -1);
    const auto row = SendDlgItemMessageA(dialog, IDC_BROWSER_PROFILES, LB_FINDSTRINGEXACT, -1,
                                         reinterpret_cast<LPARAM>("Chrome - Default"));
    SendDlgItemMessageA(dialog, IDC_BROWSER_PROFILES, LB_SETSEL, TRUE, row);
    CheckDlgButton(dialog, IDC_BROWSER_FORMS, BST_CHECKED);
    CheckDlgButton(dialog, IDC_BROWSER_PASSWORDS, BST_CHECKED);
    const std::string visited = BrowserSandbox::Folder(BrowserKind::Chrome, "Default") + "\\Visited Links";

    ClickButton(dialog, IDC_BROWSER_CLEAN);
    EXPECT_TRUE(box.Box().Exists(visited));
    prompts.Answer("다음 항목을", IDYES);
    ClickButton(dialog, IDC_BROWSER_CLEAN);

    const auto texts = prompts.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].rfind("다음 항목을 삭제합니다.\n\nChrome (프로필 1개): 파일 7개, 기록 11건", 0), 0u) << texts[0];
    EXPECT_NE(texts[0].find("Profile 7 - 폴더가 없음"), std::string::npos);
    EXPECT_EQ(texts[1], texts[0]);
    EXPECT_EQ(texts[2].rfind("삭제한 항목:\n\nChrome (프로필 1개): 파일 7개, 기록 11건", 0), 0u) << texts[2];
    EXPECT_FALSE(box.Box().Exists(visited));
    EXPECT_EQ(settings.ReadSetting(registry_layout::kBrowserCategoriesValue),
              CategoriesSetting(kDefaultBrowserCategories | kBrowserForms));
}
