#include "CSDEngine.h"
#include "DeletionRun.h"
#include "ExactPath.h"
#include "FileError.h"
#include "FileHelpers.h"
#include "NeverDestroy.h"
#include "Sandbox.h"
#include "SeamHelpers.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>

namespace {

// Records what the worker shows, as lines, and halts when told.
class RecordingDisplay : public DeletionDisplay {
public:
    void SetTotalRange(std::int64_t maximum) override { events.push_back("total range " + std::to_string(maximum)); }
    void SetFileRange(int passCount) override { events.push_back("file range " + std::to_string(passCount)); }
    void ShowPath(const std::string& path) override { events.push_back("path " + path); }
    void ShowStep(int passCount, int pass, const std::string& filePercent, const std::string& totalPercent,
                  std::int64_t stepsDone) override
    {
        steps.push_back(std::to_string(pass) + "/" + std::to_string(passCount) + " " + filePercent + " " +
                        totalPercent + " " + std::to_string(stepsDone));
        if (onStep)
            onStep(steps.size());
    }
    bool IsHalted() const override { return halted; }

    std::vector<std::string> events;
    std::vector<std::string> steps;
    std::function<void(std::size_t)> onStep;
    bool halted = false;
};

// A sandbox, a display that records, and pauses that return at once and are recorded.
class DeletionRun : public ::testing::Test {
protected:
    // Runs the sandbox's `entries` with the engine on `method` and the display stepping through
    // `passCount` passes per file.
    DeletionOutcome Run(const std::vector<std::string>& entries, int method, int passCount,
                        const NeverDestroyPolicy* policy = nullptr)
    {
        CSDEngine engine([method] { return method; });
        return RunDeletion(engine, Paths(entries), passCount, display, policy);
    }
    std::vector<std::wstring> Paths(const std::vector<std::string>& entries) const
    {
        std::vector<std::wstring> paths;
        for (const std::string& entry : entries)
            paths.push_back(W(sandbox.Path(entry)));
        return paths;
    }

    Sandbox sandbox;
    RecordingDisplay display;
    RecordedPauses pauses;
};

}  // namespace

TEST_F(DeletionRun, OneFileWithTheFastestMethod)
{
    sandbox.WriteFile("one.txt", Canary(100));

    const auto outcome = Run({"one.txt"}, 13, 1);

    EXPECT_FALSE(outcome.halted);
    EXPECT_TRUE(outcome.remaining.empty());
    EXPECT_EQ(display.events, (std::vector<std::string>{"total range 1", "file range 1", "path " + sandbox.Path("one.txt")}));
    EXPECT_EQ(display.steps, (std::vector<std::string>{"1/1 100% 100% 1"}));
    // The engine's two closing-pass pauses, then the display's: 100 ms per pass, 500 ms per file.
    EXPECT_EQ(pauses.pauses, (std::vector<unsigned>{500, 500, 100, 500}));
    EXPECT_TRUE(sandbox.List().empty());
}

// Four files of three passes: the file bar runs 33, 66, 100 four times, the total 8, 16, 25 ... 100.
TEST_F(DeletionRun, FolderOfFourFilesWithThreePasses)
{
    sandbox.MakeFolder("four");
    for (const char* name : {"a", "b", "c", "d"})
        sandbox.WriteFile(std::string("four\\") + name, Canary(50));

    const auto outcome = Run({"four"}, 7, 3);

    EXPECT_TRUE(outcome.remaining.empty());
    EXPECT_EQ(display.events.front(), "total range 12");
    ASSERT_EQ(display.steps.size(), 12u);
    const char* const expected[] = {"1/3 33% 8% 1",    "2/3 66% 16% 2",   "3/3 100% 25% 3",  "1/3 33% 33% 4",
                                    "2/3 66% 41% 5",   "3/3 100% 50% 6",  "1/3 33% 58% 7",   "2/3 66% 66% 8",
                                    "3/3 100% 75% 9",  "1/3 33% 83% 10",  "2/3 66% 91% 11",  "3/3 100% 100% 12"};
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_EQ(display.steps[i], expected[i]);
    EXPECT_TRUE(sandbox.List().empty());
}

// An empty folder has no steps but goes; a method outside 1..13 shows no steps but still destroys.
TEST_F(DeletionRun, EmptyFolderAndNoPasses)
{
    sandbox.MakeFolder("empty");
    sandbox.WriteFile("file", Canary(10));

    const auto outcome = Run({"empty", "file"}, 0, 0);

    EXPECT_TRUE(outcome.remaining.empty());
    EXPECT_EQ(display.events.front(), "total range 0");
    EXPECT_TRUE(display.steps.empty());
    EXPECT_TRUE(sandbox.List().empty());
}

// What cannot be destroyed is reported where it is, each once; the rest goes.
TEST_F(DeletionRun, ReportsWhatRemains)
{
    sandbox.MakeFolder("dir");
    sandbox.WriteFile("dir\\locked", Canary(10));
    sandbox.WriteFile("dir\\free", Canary(10));
    sandbox.WriteFile("alone", Canary(10));

    FileHold hold(sandbox.Path("dir\\locked"));
    ASSERT_TRUE(hold.IsHeld());
    const auto outcome = Run({"dir", "alone"}, 13, 1);
    hold.Release();

    EXPECT_EQ(outcome.remaining, (std::vector<Leftover>{{W(sandbox.Path("dir\\locked")), LeftReason::Overwrite},
                                                        {W(sandbox.Path("dir")), LeftReason::NotEmpty}}));
    EXPECT_FALSE(sandbox.Exists("alone"));
    EXPECT_EQ(display.steps.size(), 3u);  // the failed file is shown and counted like the others
}

// Halting stops at the next step boundary: entries not yet reached stay untouched.
TEST_F(DeletionRun, HaltStopsBeforeTheNextStep)
{
    for (const char* name : {"1", "2", "3"})
        sandbox.WriteFile(name, Canary(64));
    display.onStep = [&](std::size_t steps) { display.halted = steps == 2; };

    const auto outcome = Run({"1", "2", "3"}, 8, 3);

    EXPECT_TRUE(outcome.halted);
    EXPECT_EQ(display.steps.size(), 2u);
    EXPECT_FALSE(sandbox.Exists("1"));
    EXPECT_EQ(sandbox.ReadFile("2"), Canary(64));
    EXPECT_EQ(sandbox.ReadFile("3"), Canary(64));
}

// The one end message, judged on the disk: the success text only when every chosen entry is gone (a
// row inside a folder destroyed before it went with it); a missing path is no longer shown and passed
// off as destroyed; a cancel names the folder it stopped in and what it never reached. '@': the
// case's own folder in the sandbox.
TEST_F(DeletionRun, EndReportSaysWhatWasDestroyedAndWhatRemains)
{
    // `range`: the files the total bar counts, never a missing or a refused entry's. `refused`: an
    // entry the run judges protected, though it was not when it was added; it stays untouched.
    const struct {
        std::vector<std::string> entries;
        const char* locked;
        std::size_t haltAtStep, steps, range;
        std::string report;
        const char* refused = nullptr;
    } cases[] = {
        {{"1", "dir", "dir\\a"}, "spare", 0, 4, 5, "퀜조 하였습니다."},
        {{"1", "gone"}, "spare", 0, 1, 1, "2개 중 1개를 삭제했습니다. 다음 항목은 남아 있습니다.\n\n@\\gone (찾을 수 없음)"},
        {{"1", "2"}, "2", 0, 2, 2, "2개 중 1개를 삭제했습니다. 다음 항목은 남아 있습니다.\n\n@\\2 (덮어쓰지 못함)"},
        {{"1", "dir", "2"}, "spare", 2, 2, 5,
         "삭제를 취소했습니다. 3개 중 1개를 삭제했습니다. 다음 항목은 남아 있습니다.\n\n"
         "@\\dir (취소되어 일부만 삭제함, 남은 파일 2개)\n@\\2 (취소되어 삭제하지 않음)"},
        {{"dir", "1"}, "spare", 0, 1, 1, "2개 중 1개를 삭제했습니다. 다음 항목은 남아 있습니다.\n\n@\\dir (보호된 폴더라 지우지 않음)",
         "dir"},
    };
    int number = 0;
    for (const auto& c : cases) {
        const std::string folder = "case" + std::to_string(++number);
        sandbox.MakeFolder(folder);
        sandbox.MakeFolder(folder + "\\dir");
        for (const char* name : {"1", "2", "spare", "dir\\a", "dir\\b", "dir\\c"})
            sandbox.WriteFile(folder + "\\" + name, Canary(10));
        std::vector<std::string> entries;
        for (const std::string& entry : c.entries)
            entries.push_back(folder + "\\" + entry);
        std::optional<NeverDestroyPolicy> policy;
        if (c.refused)
            policy.emplace(std::vector<NeverDestroyPolicy::Protected>{
                {W(sandbox.Path(folder + "\\" + c.refused)), NeverDestroyPolicy::Reach::ItAndAbove, Refusal::Windows}});
        display = RecordingDisplay();
        display.onStep = [&](std::size_t steps) { display.halted = steps == c.haltAtStep; };
        FileHold hold(sandbox.Path(folder + "\\" + c.locked));
        ASSERT_TRUE(hold.IsHeld());
        const auto outcome = Run(entries, 13, 1, policy ? &*policy : nullptr);
        hold.Release();

        std::string report = c.report;
        for (std::size_t at; (at = report.find('@')) != std::string::npos;)
            report.replace(at, 1, sandbox.Path(folder));
        EXPECT_EQ(EndReport(outcome, entries.size()), report);
        EXPECT_EQ(display.steps.size(), c.steps) << report;
        EXPECT_EQ(display.events.front(), "total range " + std::to_string(c.range)) << report;
        EXPECT_TRUE(!c.refused || sandbox.ReadFile(folder + "\\" + c.refused + "\\a") == Canary(10)) << report;
    }
}

TEST_F(DeletionRun, PercentagesAndMessages)
{
    // 100 x steps overflows 32 bits long before a big run ends.
    EXPECT_EQ(PercentText(100LL * 3000000000LL, 4000000000LL), "75%");
    EXPECT_EQ(PercentText(5, 0), "0%");

    std::vector<Leftover> remaining;
    for (int i = 0; i < 12; ++i)
        remaining.push_back({L"C:\\f" + std::to_wstring(i), LeftReason::InUse});
    const std::string message = RemainingMessage(remaining);
    EXPECT_NE(message.find("C:\\f9 (열 수 없음)"), std::string::npos);
    EXPECT_EQ(message.find("C:\\f10"), std::string::npos);
    EXPECT_NE(message.find("외 2개"), std::string::npos);
    EXPECT_EQ(RemainingMessage({{L"C:\\x", LeftReason::Link}}), "다음 항목은 삭제하지 못했습니다.\n\nC:\\x (링크)");
}

// A row that is a link to a folder: nothing behind it is counted or wiped (the run used to walk
// it before the folder wipe refused it); under Wine the link itself stays and is reported.
TEST_F(DeletionRun, FolderRowThatIsALinkTouchesNothingBehindIt)
{
    sandbox.MakeFolder("target");
    sandbox.WriteFile("target\\canary", Canary(300));
    sandbox.MakeSymlink("row", "target");

    const auto outcome = Run({"row"}, 13, 1);

    EXPECT_EQ(outcome.remaining, (std::vector<Leftover>{{W(sandbox.Path("row")), LeftReason::Link}}));
    EXPECT_EQ(display.events.front(), "total range 0");
    EXPECT_EQ(sandbox.ReadFile("target\\canary"), Canary(300));
}
