#include "CPersonalCleaner.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "CRegInfo.h"
#include "CleaningRun.h"
#include "PrivacyTestSupport.h"
#include "Seams.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class PersnalDeleteDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegInfo().RegisterAtStartup();
        ASSERT_TRUE(window.Create(nullptr));
        ShowWindow(window.GetSafeHwnd(), SW_SHOW);
    }
    void Check(int box) const { CheckDlgButton(window.GetSafeHwnd(), box, BST_CHECKED); }
    void Click(int id) const { ClickButton(window.GetSafeHwnd(), id); }

    Sandbox sandbox;
    ScriptedPrompts prompts;
    RecordingEngine engine{13};
    RecordingCleaner cleaner{engine};
    CQuenzoPersnalDeleteDlg window{cleaner};
};

}  // namespace

TEST_F(PersnalDeleteDlgTest, BoxesMakeTheCleaningSet)
{
    EXPECT_EQ(window.CleaningSet(), 0u);
    Check(IDC_CHECK_TEMP_FILES);
    Check(IDC_CHECK_RECENT_DOCS);
    Check(IDC_CHECK_FAVORITES);
    EXPECT_EQ(window.CleaningSet(), static_cast<std::uint32_t>(CLEAN_TEMP_FILES | CLEAN_RECENT_DOCS | CLEAN_FAVORITES));
    SaveScreenshot(window.GetSafeHwnd(), "personal-information");
}

// Without a box "삭제" only says so; a declined confirmation does nothing at all.
TEST_F(PersnalDeleteDlgTest, NothingRunsWithoutBoxesOrWithoutYes)
{
    std::vector<unsigned long> terminated;
    std::optional<seams::ScopedOutsideEffects> effects;
    effects.emplace(seams::OutsideEffects{[&](unsigned long id, unsigned) { terminated.push_back(id); return true; }, {}, {}});
    Click(IDC_CLEAN_SELECTED);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "하나 이상 체크를 하셔야 합니다.");
    EXPECT_EQ(prompts.Shown()[0].flags, static_cast<unsigned>(MB_TOPMOST | MB_ICONQUESTION));

    Check(IDC_CHECK_COOKIES);
    Click(IDC_CLEAN_SELECTED);
    Click(IDC_CLEAN_ALL);
    effects.reset();
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{
                                   "하나 이상 체크를 하셔야 합니다.", "모든 인터넷창을 닫습니다.",
                                   "모두 삭제하시겠습니까?\n\n모든 인터넷창을 닫습니다.\n파일이 많은 경우 오래 걸릴 수 있습니다."}));
    for (const auto& prompt : prompts.Shown())
        EXPECT_EQ(prompt.caption, "QuenzoLite");
    EXPECT_TRUE(cleaner.calls.empty());
    EXPECT_TRUE(terminated.empty());
}

// "삭제" runs the checked targets in its order, the secure forms when "Persnal" is exactly "1";
// "모두 삭제" runs everything, network places included, whatever is checked.
TEST_F(PersnalDeleteDlgTest, BothButtonsRunTheirOrderInTheChosenForm)
{
    prompts.Answer("모든 인터넷창을 닫습니다.", IDYES);
    prompts.Answer("모두 삭제하시겠습니까?", IDYES);
    Check(IDC_CHECK_TEMP_FILES);
    Check(IDC_CHECK_HISTORY);
    Check(IDC_CHECK_RECENT_DOCS);

    SetPersnal("1");
    Click(IDC_CLEAN_SELECTED);
    EXPECT_EQ(cleaner.calls,
              (std::vector<std::string>{"SecureCleanHistory", "SecureCleanRecentDocs", "ClearRunMru", "CleanTempFiles"}));

    cleaner.calls.clear();
    SetPersnal("1 ");
    Click(IDC_CLEAN_ALL);
    EXPECT_EQ(cleaner.calls, (std::vector<std::string>{"CleanInternetCache", "CleanCookies", "CleanTempFiles",
                                                       "CleanRecentDocs", "ClearRunMru", "CleanSavedPasswords",
                                                       "DeleteIntelliForms", "CleanHistory", "CleanNetHood",
                                                       "CleanFavorites"}));
    std::size_t completions = 0;
    for (const auto& prompt : prompts.Shown())
        if (prompt.text == "완료하였습니다.") {
            ++completions;
            EXPECT_EQ(prompt.kind, seams::PromptKind::Framework);
        }
    EXPECT_EQ(completions, 2u);
}

// The real cleaner behind the window: the temporary folder is emptied, in either form.
TEST_F(PersnalDeleteDlgTest, TemporaryFilesAreReallyRemoved)
{
    const std::string temp = PrefixTempFolder();
    ASSERT_FALSE(temp.empty());
    QuietSeams quiet;
    ScriptedPrompts answers;
    answers.Answer("모든 인터넷창을 닫습니다.", IDYES);
    CPersonalCleaner real(engine);
    CQuenzoPersnalDeleteDlg realWindow(real);
    ASSERT_TRUE(realWindow.Create(nullptr));
    CheckDlgButton(realWindow.GetSafeHwnd(), IDC_CHECK_TEMP_FILES, BST_CHECKED);
    for (const char* persnal : {"1", "0"}) {
        SetPersnal(persnal);
        WriteBytes(temp + "\\left-behind.tmp", "trace");
        ClickButton(realWindow.GetSafeHwnd(), IDC_CLEAN_SELECTED);
        EXPECT_FALSE(PathExists(temp + "\\left-behind.tmp")) << persnal;
    }
    EXPECT_EQ(answers.Texts().back(), "완료하였습니다.");

    // Pointed at the profile, the temporary folder is refused, and the window says so after
    // "완료하였습니다." instead of letting it pass for cleaned.
    char profile[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableA("USERPROFILE", profile, MAX_PATH));
    const std::string saved = temp;
    SetEnvironmentVariableA("TMP", profile);
    SetEnvironmentVariableA("TEMP", profile);
    ClickButton(realWindow.GetSafeHwnd(), IDC_CLEAN_SELECTED);
    SetEnvironmentVariableA("TMP", saved.c_str());
    SetEnvironmentVariableA("TEMP", saved.c_str());
    const auto texts = answers.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "완료하였습니다.");
    EXPECT_NE(texts.back().find(std::string(profile) + " (사용자 파일이 있는 폴더라 비우지 않음)"), std::string::npos)
        << texts.back();
}

// The introduction and the group box are drawn in blue.
TEST_F(PersnalDeleteDlgTest, IntroductionAndGroupAreBlue)
{
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id : {IDC_PERSNAL_INTRO, IDC_PERSNAL_GROUP, IDC_CHECK_COOKIES}) {
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageA(window.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(GetDlgItem(window.GetSafeHwnd(), id)));
        if (id == IDC_CHECK_COOKIES)
            EXPECT_NE(GetTextColor(dc), RGB(0, 0, 255));
        else
            EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255)) << id;
    }
    DeleteDC(dc);
}
