#include "CQuenzoFileDeleteDlg.h"
#include "CQuenzoRealDeleteDlg.h"
#include "CRegInfo.h"
#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "NeverDestroy.h"
#include "Sandbox.h"
#include "SeamHelpers.h"
#include "WindowTest.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <utility>

namespace {

// The deletion list as the main window holds it: created once, the engine reading its method.
// Opened modeless here so the test can act on it as the user would.
class FileDeleteDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CRegInfo().RegisterAtStartup();
        SetMethod("13");
        m_pauses.emplace();
        m_pauses->onPause = [this](unsigned ms) {
            if (ms == 100 && onDisplayStep)
                onDisplayStep(++displaySteps);
        };
    }
    void TearDown() override { m_pauses.reset(); }
    std::optional<RecordedPauses> m_pauses;

    static void SetMethod(const std::string& method)
    {
        CRegInfo().WriteString(method, "Marrowick\\QuenzoLite", "Data", "Method");
    }

    void Open()
    {
        ASSERT_TRUE(list.Create(nullptr));
        ShowWindow(list.GetSafeHwnd(), SW_SHOW);
        list.SetEngine(&engine);
    }

    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list.GetEntryCount(); ++i)
            rows.push_back(list.GetEntryPath(i));
        return rows;
    }

    HWND Progress() const { return list.ProgressWindow() ? list.ProgressWindow()->GetSafeHwnd() : nullptr; }
    // From the worker: whether the interface thread, done with what it was doing (an answer), is
    // back handling messages, where alone it handles a sent one.
    bool InterfaceIsBack() const
    {
        DWORD_PTR ignored;
        return SendMessageTimeoutA(Progress(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored) != 0;
    }

    Sandbox sandbox;
    ScriptedPrompts prompts;
    CQuenzoFileDeleteDlg list;
    CSDEngine engine{[this] { return list.CurrentMethod(); }};
    int displaySteps = 0;
    std::function<void(int)> onDisplayStep;
};

}  // namespace

// Dropped names keep their exact form: two that show alike in code page 949 are two rows, and a
// "₩" stays itself rather than becoming a backslash; the rows show the 949 text.
TEST_F(FileDeleteDlgTest, DroppedNamesAreKeptExact)
{
    Open();
    const std::wstring names[] = {L"smile\U0001F600", L"grin\U0001F601", L"..\u20A9up"};
    std::vector<std::wstring> paths;
    for (const std::wstring& name : names) {
        sandbox.WriteFileW(name, "x");
        paths.push_back(sandbox.PathW(name));
    }
    DropFilesW(list.GetSafeHwnd(), paths);
    EXPECT_TRUE(prompts.Texts().empty());
    EXPECT_EQ(list.EntryPaths(), (std::vector<std::wstring>{paths[2], paths[1], paths[0]}));
    EXPECT_EQ(Rows()[2], Narrow949(paths[0]));
    EXPECT_EQ(list.GetEntrySizeText(2), "0.00");
}

// Every dropped path goes to the top, so a, b, c end up as c, b, a; a duplicate is reported and
// left out; the comparison minds letter case; folders show 0.00.
TEST_F(FileDeleteDlgTest, DropsAddAtTheTopAndLeaveOutDuplicates)
{
    Open();
    for (const char* name : {"a", "b", "c", "x", "y", "z", "Y"})
        sandbox.WriteFile(name, Repeat('.', 1536));
    sandbox.MakeFolder("folder");
    DropFiles(list.GetSafeHwnd(), {sandbox.Path("a"), sandbox.Path("b"), sandbox.Path("c")});
    EXPECT_EQ(Rows(), (std::vector<std::string>{sandbox.Path("c"), sandbox.Path("b"), sandbox.Path("a")}));
    EXPECT_EQ(list.GetEntrySizeText(0), "1.50");

    DropFiles(list.GetSafeHwnd(), {sandbox.Path("x"), sandbox.Path("b"), sandbox.Path("z")});
    EXPECT_EQ(Rows().size(), 5u);
    EXPECT_EQ(Rows()[0], sandbox.Path("z"));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{sandbox.Path("b") + "은 이미 추가돼 있습니다."}));
    EXPECT_EQ(prompts.Shown()[0].kind, seams::PromptKind::Framework);

    DropFiles(list.GetSafeHwnd(), {sandbox.Path("y"), sandbox.Path("Y"), sandbox.Path("folder")});
    EXPECT_EQ(Rows().size(), 8u);
    EXPECT_EQ(list.GetEntrySizeText(0), "0.00");
    SaveScreenshot(list.GetSafeHwnd(), "deletion-list");

    ClickButton(list.GetSafeHwnd(), IDC_RESET_LIST);
    EXPECT_EQ(list.GetEntryCount(), 0);
}

// A folder from the folder picker becomes the second row, or the only one; it is never refused.
TEST_F(FileDeleteDlgTest, PickedFolderLandsSecond)
{
    Open();
    list.AddFolder(W(sandbox.Path("first")));
    list.AddFiles({W(sandbox.Path("f1")), W(sandbox.Path("f2"))});
    list.AddFolder(W(sandbox.Path("dir")));
    list.AddFolder(W(sandbox.Path("dir")));
    EXPECT_EQ(Rows(), (std::vector<std::string>{sandbox.Path("f2"), sandbox.Path("dir"), sandbox.Path("dir"),
                                                sandbox.Path("f1"), sandbox.Path("first")}));
    EXPECT_EQ(list.GetEntrySizeText(1), "");
}

// Paths from Explorer's verb: those sent before the window opens are its first rows; repeats are
// left out without a word; those sent while a run is asked about wait until it is over, so the
// run takes only what the user saw when answering.
TEST_F(FileDeleteDlgTest, RequestedPathsWaitForTheOpeningAndForTheRun)
{
    for (const char* name : {"a", "b", "c"})
        sandbox.WriteFile(name, Canary(10));
    sandbox.MakeFolder("folder");
    list.AddRequested({W(sandbox.Path("a")), W(sandbox.Path("folder"))});
    Open();
    list.AddRequested({W(sandbox.Path("a")), W(sandbox.Path("b"))});
    EXPECT_EQ(Rows(), (std::vector<std::string>{sandbox.Path("b"), sandbox.Path("a"), sandbox.Path("folder")}));

    std::size_t rowsWhileAsked = 0;
    prompts.WhileShown([&](const seams::Prompt&) {
        list.AddRequested({W(sandbox.Path("c")), W(sandbox.Path("a"))});
        rowsWhileAsked = Rows().size();
    });
    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);  // answered "아니오"
    EXPECT_EQ(rowsWhileAsked, 3u);
    EXPECT_EQ(Rows().front(), sandbox.Path("c"));
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"보안 삭제를 하시겠습니까?"});
}

TEST_F(FileDeleteDlgTest, NothingHappensWithoutRowsOrWithoutYes)
{
    Open();
    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);
    ASSERT_EQ(prompts.Shown().size(), 1u);
    EXPECT_EQ(prompts.Shown()[0].text, "추가된 파일 또는 폴더가 없습니다.");
    EXPECT_EQ(prompts.Shown()[0].caption, "QuenzoLite");
    EXPECT_EQ(prompts.Shown()[0].flags, static_cast<unsigned>(MB_TOPMOST | MB_ICONQUESTION));

    sandbox.WriteFile("keep", Canary(100));
    list.AddFiles({W(sandbox.Path("keep"))});
    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);  // answered No
    EXPECT_EQ(prompts.Shown().back().text, "보안 삭제를 하시겠습니까?");
    EXPECT_EQ(prompts.Shown().back().flags, static_cast<unsigned>(MB_TOPMOST | MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(list.GetEntryCount(), 1);
    EXPECT_EQ(sandbox.ReadFile("keep"), Canary(100));
}

// The question's box has no owner and may fall behind the list under Wine: while it is up the list
// is disabled and a second click asks nothing; an answer that comes after the list was emptied
// runs nothing (it used to show a run that destroyed nothing and report "퀜조 하였습니다.").
TEST_F(FileDeleteDlgTest, TheListWaitsForItsQuestionAndAStaleYesRunsNothing)
{
    Open();
    sandbox.WriteFile("keep", Canary(100));
    list.AddFiles({W(sandbox.Path("keep"))});
    prompts.Answer("보안 삭제를", IDYES);
    bool enabledWhileAsked = true;
    prompts.WhileShown([&](const seams::Prompt& prompt) {
        if (prompt.text != "보안 삭제를 하시겠습니까?")
            return;
        enabledWhileAsked = IsWindowEnabled(list.GetSafeHwnd()) != FALSE;
        ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);
        ClickButton(list.GetSafeHwnd(), IDC_RESET_LIST);
    });

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    EXPECT_FALSE(enabledWhileAsked);
    EXPECT_TRUE(IsWindowEnabled(list.GetSafeHwnd()));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"보안 삭제를 하시겠습니까?", "추가된 파일 또는 폴더가 없습니다."}));
    EXPECT_EQ(sandbox.ReadFile("keep"), Canary(100));
}

// While "취소하시겠습니까?" is up (its box handles messages, as a real one does), the worker waits
// at its next step: nothing more is destroyed until the answer; "아니오" lets it finish.
TEST_F(FileDeleteDlgTest, NothingIsDestroyedWhileTheCancelQuestionIsUp)
{
    Open();
    std::vector<std::wstring> rows;
    for (const char* name : {"1", "2", "3", "4", "5", "6"}) {
        sandbox.WriteFile(name, Canary(2000));
        rows.push_back(W(sandbox.Path(name)));
    }
    list.AddFiles(rows);
    prompts.Answer("보안 삭제를", IDYES);
    prompts.Answer("취소하시겠습니까?", IDNO);
    std::vector<std::string> whenAsked, whenAnswered;
    prompts.WhileShown([&](const seams::Prompt& prompt) {
        if (prompt.text != "취소하시겠습니까?")
            return;
        // The worker ends the step under way and then waits: the folder settles (bounded), and a
        // worker that went on would change it within the next 600 ms.
        whenAsked = sandbox.List();
        for (int still = 0, polls = 0; still < 3 && polls < 100; ++polls) {
            PumpMessages(100);
            const auto now = sandbox.List();
            still = now == whenAsked ? still + 1 : 0;
            whenAsked = now;
        }
        PumpMessages(600);
        whenAnswered = sandbox.List();
    });
    onDisplayStep = [&](int step) {
        if (step == 1)
            ClickButton(Progress(), IDC_CANCEL_DELETE, true);
    };

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    EXPECT_GE(whenAsked.size(), 4u);
    EXPECT_EQ(whenAnswered, whenAsked);
    EXPECT_EQ(prompts.Texts().back(), "퀜조 하였습니다.");
    EXPECT_TRUE(sandbox.List().empty());
}

// The whole road: confirm, the progress window runs the worker, the bars and texts follow the
// passes, "퀜조 하였습니다." ends it, and the list is empty.
TEST_F(FileDeleteDlgTest, SecureDeleteRunsToTheEnd)
{
    SetMethod("7");
    Open();
    sandbox.MakeFolder("four");
    for (const char* name : {"a", "b", "c", "d"})
        sandbox.WriteFile(std::string("four\\") + name, Canary(300));
    list.AddFolder(W(sandbox.Path("four")));
    prompts.Answer("보안 삭제를", IDYES);
    struct Seen {
        std::string passLine, filePercent, totalPercent;
        int fileMax, filePos, totalMax, totalPos;
    };
    std::vector<Seen> seen;
    onDisplayStep = [&](int step) {
        const HWND progress = Progress();
        const auto text = [&](int id) {
            char buffer[256] = {};
            GetDlgItemTextA(progress, id, buffer, sizeof(buffer));
            return std::string(buffer);
        };
        const auto bar = [&](int id, UINT message) {
            return static_cast<int>(SendDlgItemMessageA(progress, id, message, message == PBM_GETRANGE ? FALSE : 0, 0));
        };
        seen.push_back({text(IDC_PASS_LINE), text(IDC_FILE_PERCENT), text(IDC_TOTAL_PERCENT),
                        bar(IDC_FILE_PROGRESS, PBM_GETRANGE), bar(IDC_FILE_PROGRESS, PBM_GETPOS),
                        bar(IDC_TOTAL_PROGRESS, PBM_GETRANGE), bar(IDC_TOTAL_PROGRESS, PBM_GETPOS)});
        if (step == 5)
            SaveScreenshot(progress, "progress");
    };

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    ASSERT_EQ(seen.size(), 12u);
    EXPECT_EQ(seen[0].passLine, "총 3번째 중 1번째 삭제중");
    EXPECT_EQ(seen[4].passLine, "총 3번째 중 2번째 삭제중");
    EXPECT_EQ(seen[4].filePercent, "66%");
    EXPECT_EQ(seen[4].totalPercent, "41%");
    EXPECT_EQ(seen[4].fileMax, 3);
    EXPECT_EQ(seen[4].filePos, 2);
    EXPECT_EQ(seen[4].totalMax, 12);
    EXPECT_EQ(seen[4].totalPos, 5);
    EXPECT_EQ(seen[11].totalPercent, "100%");
    EXPECT_EQ(prompts.Texts().back(), "퀜조 하였습니다.");
    EXPECT_EQ(list.GetEntryCount(), 0);
    EXPECT_TRUE(sandbox.List().empty());
}

// Enter and Escape do nothing in the progress window; the close box and Alt+F4 ask the cancel
// question, and No lets the run finish.
TEST_F(FileDeleteDlgTest, KeysDoNotCloseTheProgressWindow)
{
    Open();
    for (const char* name : {"1", "2"})
        sandbox.WriteFile(name, Canary(10));
    list.AddFiles({W(sandbox.Path("1")), W(sandbox.Path("2"))});
    prompts.Answer("보안 삭제를", IDYES);
    prompts.Answer("취소하시겠습니까?", IDNO);
    onDisplayStep = [&](int step) {
        if (step != 1)
            return;
        const HWND progress = Progress();
        const HWND button = GetDlgItem(progress, IDC_CANCEL_DELETE);
        PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(progress, WM_SYSKEYDOWN, VK_F4, 1 << 29);
        PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        // The run waits here until the interface thread has asked both questions.
        EXPECT_TRUE(prompts.WaitUntilAnswered(3));
        EXPECT_TRUE(InterfaceIsBack());
    };

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    std::size_t questions = 0;
    for (const auto& prompt : prompts.Shown())
        if (prompt.text == "취소하시겠습니까?") {
            ++questions;
            EXPECT_EQ(prompt.caption, "NorVaultine");
        }
    EXPECT_EQ(questions, 2u);
    EXPECT_EQ(prompts.Texts().back(), "퀜조 하였습니다.");
    EXPECT_TRUE(sandbox.List().empty());
}

// A confirmed cancel stops the worker before its next step; what it had not reached is intact,
// no completion is claimed, and the list is empty afterwards.
TEST_F(FileDeleteDlgTest, CancelMidRunLeavesTheRestUntouched)
{
    SetMethod("8");
    Open();
    for (const char* name : {"1", "2", "3"})
        sandbox.WriteFile(name, Canary(80));
    list.AddFiles({W(sandbox.Path("3")), W(sandbox.Path("2")), W(sandbox.Path("1"))});  // rows 1, 2, 3
    prompts.Answer("보안 삭제를", IDYES);
    prompts.Answer("취소하시겠습니까?", IDYES);
    onDisplayStep = [&](int step) {
        if (step == 2) {
            ClickButton(Progress(), IDC_CANCEL_DELETE, true);
            // The worker goes on only once the cancel is confirmed, as if it were that quick.
            EXPECT_TRUE(prompts.WaitUntilAnswered(2));
            EXPECT_TRUE(InterfaceIsBack());
        }
    };

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    EXPECT_EQ(displaySteps, 2);
    EXPECT_EQ(list.GetEntryCount(), 0);
    EXPECT_FALSE(sandbox.Exists("1"));
    EXPECT_EQ(sandbox.ReadFile("2"), Canary(80));
    EXPECT_EQ(sandbox.ReadFile("3"), Canary(80));
    for (const std::string& text : prompts.Texts())
        EXPECT_NE(text, "퀜조 하였습니다.");
}

// The run ends with one message, and a path that is not there is named as missing rather than
// shown as deleted and followed by "퀜조 하였습니다." (which used to come before any leftovers).
TEST_F(FileDeleteDlgTest, OneEndMessageNamesAMissingPath)
{
    Open();
    sandbox.WriteFile("free", Canary(10));
    list.AddFiles({W(sandbox.Path("free")), W(sandbox.Path("missing"))});
    prompts.Answer("보안 삭제를", IDYES);

    ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE);

    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"보안 삭제를 하시겠습니까?",
                                                         "2개 중 1개를 삭제했습니다. 다음 항목은 남아 있습니다.\n\n" +
                                                             sandbox.Path("missing") + " (찾을 수 없음)"}));
    EXPECT_TRUE(sandbox.List().empty());
}

// The method is read when the object is made and again at every opening.
TEST_F(FileDeleteDlgTest, CurrentMethodFollowsTheSettingAtEveryOpening)
{
    SetMethod("4");
    CQuenzoFileDeleteDlg fresh;
    EXPECT_EQ(fresh.CurrentMethod(), 4);
    SetMethod("11");
    EXPECT_EQ(fresh.CurrentMethod(), 4);
    ASSERT_TRUE(fresh.Create(nullptr));
    EXPECT_EQ(fresh.CurrentMethod(), 11);
    SetMethod("x");
    CQuenzoFileDeleteDlg notANumber;
    EXPECT_EQ(notANumber.CurrentMethod(), 0);
}

// The picker's own window, driven as a user would: typing several quoted names and pressing OK.
// Three hundred names need far more than the 2,000 bytes a small selection buffer would offer, and
// a selection that does not fit used to add nothing at all.
TEST_F(FileDeleteDlgTest, FilePickerTakesHundredsOfFiles)
{
    Open();
    std::string typed;
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "file-%03d.txt", i);
        sandbox.WriteFile(name, "x");
        typed += std::string(i ? " " : "") + "\"" + name + "\"";
        expected.push_back(sandbox.Path(name));
    }
    ASSERT_GT(typed.size(), 2000u);
    const HWND owner = list.GetSafeHwnd();
    DriveSystemDialog(
        owner, [&] { ClickButton(owner, IDC_ADD_FILE); },
        [&](HWND picker) {  // in the sandbox, where the names are
            wchar_t folder[MAX_PATH] = {};
            DWORD_PTR length = 0;
            return SendMessageTimeoutW(picker, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder),
                                       SMTO_ABORTIFHUNG, 1000, &length) &&
                   W(sandbox.Path("")) == folder;
        },
        [&](HWND picker) {
            // The file-name box of the picker (cmb13 of the common dialog), then its OK.
            SetDlgItemTextA(picker, 0x47C, typed.c_str());
            PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        },
        "the file picker");

    auto rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, expected);
}

// What the list shows when "보안 삭제" is confirmed is exactly what is destroyed. Rows closed away
// with the window used to be destroyed by the next run, a duplicate dropped the rest of its drop,
// and a hand-over during a run raised the list over the progress window. Names are files of the
// story's folder unless they have a drive; no run starts while a row lies outside the folder.
TEST_F(FileDeleteDlgTest, WhatTheListShowsIsWhatIsDestroyed)
{
    enum class Do { Open, Esc, CloseBox, Drop, HandOver, PickFolder, DeleteKey, MenuRemove, Confirm };
    struct Act { Do what; std::vector<std::string> names = {}; };
    const std::string win = "C:\\windows", sys = "C:\\windows\\system32", kept = sandbox.Path("refused") + "\\";
    const std::string refused = "다음 항목은 지울 수 없어 추가하지 않았습니다.\n\n", why = std::string(": ") + RefusalText(Refusal::Windows);
    const struct {
        const char* story;
        std::vector<Act> acts;  // each story ends with the list open
        std::vector<std::string> shown;  // the rows at each confirmation, top to bottom
        std::vector<std::string> messages;
    } cases[] = {
        {"closed", {{Do::Open}, {Do::Drop, {"a", "b", "c", "d"}}, {Do::Esc}, {Do::Open}, {Do::Drop, {"e", "a"}}, {Do::Confirm}}, {"a", "e"}, {}},
        {"handed over", {{Do::Open}, {Do::HandOver, {"a"}}, {Do::HandOver, {"b", "c"}}, {Do::CloseBox}, {Do::HandOver, {"d"}}, {Do::Open}, {Do::Confirm}}, {"d"}, {}},
        {"in a run", {{Do::Open}, {Do::Drop, {"a"}}, {Do::Confirm, {"b", "c"}}, {Do::Confirm}}, {"a", "c", "b"}, {}},
        {"refused", {{Do::Open}, {Do::Drop, {win, "a", "b"}}, {Do::Drop, {"a", "b", "c", sys}}, {Do::PickFolder, {win}}, {Do::HandOver, {sys}}, {Do::Confirm}}, {"c", "b", "a"},
         {refused + win + why, refused + sys + why + "\n\n다음 항목은 이미 추가돼 있습니다.\n\n" + kept + "a\n" + kept + "b", refused + win + why, refused + sys + why}},
        {"removed", {{Do::Open}, {Do::Drop, {"a", "b", "c", "d"}}, {Do::DeleteKey, {"b", "d"}}, {Do::MenuRemove, {"a"}}, {Do::Confirm}}, {"c"}, {}},
    };
    list.SetEngine(&engine);
    const auto control = [this] { return list.GetDlgItem(IDC_DELETE_LIST); };
    const HANDLE release = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    std::atomic<bool> running{false};
    onDisplayStep = [&](int) {
        running = true;
        EXPECT_EQ(WaitForSingleObject(release, 10000), WAIT_OBJECT_0) << "the run was never let go on from its first step";
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        const std::string folder = sandbox.Path(c.story) + "\\";
        sandbox.MakeFolder(c.story);
        for (const char* name : {"a", "b", "c", "d", "e"})
            sandbox.WriteFile(c.story + std::string("\\") + name, Canary(10));
        const auto named = [&](const std::string& row) { return row.rfind(folder, 0) ? row : row.substr(folder.size()); };
        std::vector<std::string> shown, messages;
        prompts.WhileShown([&](const seams::Prompt& prompt) {
            const bool question = prompt.text == "보안 삭제를 하시겠습니까?";
            if (!question && !Progress())  // the run's own report is for other tests
                messages.push_back(prompt.text);
            for (const std::string& row : question ? Rows() : std::vector<std::string>{})
                shown.push_back(named(row));
            const auto all = list.EntryPaths();
            const bool inside = std::all_of(all.begin(), all.end(), [&](auto& e) { return named(Narrow949(e)) != Narrow949(e); });
            prompts.Answer("보안 삭제를", inside ? IDYES : IDNO);
        });
        std::vector<std::function<void()>> opening;
        bool open = false;
        const auto act = [&](std::function<void()> step) { open ? opening.push_back(step) : step(); };
        const auto close = [&](UINT message, WPARAM key) {
            act([=, this] { PostMessageA(list.GetSafeHwnd(), message, key, 0); });
            RunModalScript(list, nullptr, std::exchange(opening, {}));
            open = false;
        };
        for (const Act& a : c.acts) {
            std::vector<std::wstring> wide;
            for (const std::string& name : a.names)
                wide.push_back(W(name[1] == ':' ? name : folder + name));
            const auto select = [=, this] {
                for (int i = 0; i < list.GetEntryCount(); ++i)
                    ListView_SetItemState(control(), i, std::count(wide.begin(), wide.end(), W(Rows()[i])) ? LVIS_SELECTED : 0, LVIS_SELECTED);
            };
            switch (a.what) {
            case Do::Open: open = true; break;
            case Do::Esc: close(WM_KEYDOWN, VK_ESCAPE); break;
            case Do::CloseBox: close(WM_SYSCOMMAND, SC_CLOSE); break;
            case Do::Drop: act([=, this] { DropFilesW(list.GetSafeHwnd(), wide); }); break;
            case Do::HandOver: act([=, this] { list.AddRequested(wide); }); break;
            case Do::PickFolder: act([=, this] { list.AddFolder(wide[0]); }); break;
            case Do::DeleteKey: act([=] { select(); PostMessageA(control(), WM_KEYDOWN, VK_DELETE, 0); }); break;
            case Do::MenuRemove:  // opened as the menu key opens it; then its only item
                act([=] { select(); PostMessageA(control(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control()), -1); });
                act(Until([] { return IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE; }, "the list's menu"));
                act([] { for (WPARAM key : {VK_DOWN, VK_RETURN}) PostMessageA(FindWindowA("#32768", nullptr), WM_KEYDOWN, key, 0); });
                break;
            case Do::Confirm:  // its names are handed over while the run waits at its first step
                act([&] { running = false; ResetEvent(release); ClickButton(list.GetSafeHwnd(), IDC_SECURE_DELETE, true); });
                act(Until([&] { return running || !Progress(); }, "the run's first step"));
                act([&, wide] {
                    list.AddRequested(wide);
                    EXPECT_TRUE(!Progress() || GetForegroundWindow() == Progress()) << "the list came over the progress window";
                    SetEvent(release);
                });
                act(Until([this] { return !Progress(); }, "the run's end"));
                break;
            }
        }
        close(WM_KEYDOWN, VK_ESCAPE);
        EXPECT_EQ(messages, c.messages);
        EXPECT_EQ(shown, c.shown);
        for (const char* name : {"a", "b", "c", "d", "e"})
            EXPECT_EQ(sandbox.Exists(c.story + std::string("\\") + name), !std::count(shown.begin(), shown.end(), name)) << name;
    }
    onDisplayStep = nullptr;
    CloseHandle(release);
}
