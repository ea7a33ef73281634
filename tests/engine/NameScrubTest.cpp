// The scrub that overwrites a folder's freed name entries: it creates and deletes only names of its
// own, never one that exists or a link, stays in its folder, and says when it could not finish.
#include "Cp949Text.h"
#include "EngineTestSupport.h"
#include "ExactPath.h"
#include "NameScrub.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

constexpr std::uint32_t kSeed = 31337;
const std::wstring kDigestName(32, L'c');

// The scrub's real random names, recorded as they are drawn; `forced` names are handed out first.
class NameRecorder {
public:
    NameRecorder() : m_scope([this](const FreedName& shape) { return Draw(shape); }) {}

    std::deque<std::wstring> forced;
    std::vector<std::wstring> drawn;
    std::vector<FreedName> shapes;
    std::function<void()> onDraw;

private:
    std::wstring Draw(const FreedName& shape)
    {
        if (onDraw)
            onDraw();
        std::wstring name = forced.empty() ? RandomScrubName(shape) : forced.front();
        if (!forced.empty())
            forced.pop_front();
        drawn.push_back(name);
        shapes.push_back(shape);
        return name;
    }

    ScopedScrubNames m_scope;
};

std::vector<FreedName> FreedOf(std::initializer_list<std::wstring> names)
{
    std::vector<FreedName> freed;
    for (const std::wstring& name : names)
        freed.push_back(FreedNameOf(name));
    return freed;
}

}  // namespace

TEST(NameScrub, NewNamesMirrorTheFreedOnes)
{
    const struct {
        std::wstring name;
        bool shortForm;
        std::size_t base, extension;
    } cases[] = {
        {L"report.txt", true, 6, 3}, {L"README", true, 6, 0},    {L"Report.txt", false, 0, 0},
        {L"보고서.txt", false, 0, 0}, {L"a.tar.gz", false, 0, 0}, {L".git", false, 0, 0},
        {L"a.html", false, 0, 0},     {L"longname9", false, 0, 0}, {kDigestName, false, 0, 0},
    };
    for (const auto& c : cases) {
        const FreedName freed = FreedNameOf(c.name);
        EXPECT_EQ(freed.length, c.name.size()) << Narrow949(c.name);
        EXPECT_EQ(freed.shortForm, c.shortForm) << Narrow949(c.name);
        EXPECT_EQ(freed.baseLength + freed.extensionLength, c.base + c.extension) << Narrow949(c.name);
    }

    std::vector<std::size_t> lengths;
    for (const FreedName& shape : PlanScrub(FreedOf({L"report.txt", kDigestName})))
        lengths.push_back(shape.length);
    EXPECT_EQ(lengths, (std::vector<std::size_t>{47, 25, 32, 10, 12, 12, 64, 64}));
    EXPECT_TRUE(PlanScrub({}).empty());
    EXPECT_EQ(PlanScrub(std::vector<FreedName>(600, FreedNameOf(kDigestName))).size(), kMaxNames);

    // Random names have the shape asked for, mixed case where FAT must give them a long entry.
    const std::wstring first = RandomScrubName(FreedNameOf(std::wstring(64, L'x')));
    const std::wstring second = RandomScrubName(FreedNameOf(std::wstring(64, L'x')));
    EXPECT_EQ(first.size(), 64u);
    EXPECT_NE(first, second);
    EXPECT_NE(first.find_first_of(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::wstring::npos);
    EXPECT_NE(first.find_first_of(L"abcdefghijklmnopqrstuvwxyz"), std::wstring::npos);
    EXPECT_TRUE(FreedNameOf(RandomScrubName(FreedNameOf(L"report.txt"))).shortForm);
}

// Names that exist (in another letter case too) and a link are drawn past, never opened; the
// folder's other entries and the canary beside it stay byte for byte.
TEST(NameScrub, CreatesAndRemovesOnlyItsOwnNames)
{
    Sandbox sandbox;
    sandbox.WriteFile("canary.txt", Canary(700));
    sandbox.MakeFolder("dir");
    sandbox.MakeFolder("dir\\sub");
    sandbox.WriteFile("dir\\sub\\inner", Canary(50));
    sandbox.WriteFile("dir\\keep.txt", Canary(500));
    sandbox.WriteFile("dir\\taken", Canary(40));
    sandbox.MakeSymlink("dir\\link", "canary.txt");
    NameRecorder names;
    names.forced = {L"taken", L"link", L"TAKEN", L"sub"};
    const auto freed = FreedOf({L"report.txt", kDigestName});

    const WipeResult result = ScrubNames(At(sandbox.Path("dir")), PlanScrub(freed));

    EXPECT_EQ(result.leftovers, std::vector<Leftover>{});
    EXPECT_EQ(names.drawn.size(), PlanScrub(freed).size() + 4);
    EXPECT_EQ(sandbox.List(), (std::vector<std::string>{"canary.txt", "dir"}));
    EXPECT_EQ(sandbox.List("dir"), (std::vector<std::string>{"keep.txt", "link", "sub", "taken"}));
    EXPECT_TRUE(IsLink(W(sandbox.Path("dir\\link"))));
    EXPECT_EQ(sandbox.ReadFile("canary.txt"), Canary(700));
    EXPECT_EQ(sandbox.ReadFile("dir\\keep.txt"), Canary(500));
    EXPECT_EQ(sandbox.ReadFile("dir\\taken"), Canary(40));
    EXPECT_EQ(sandbox.ReadFile("dir\\sub\\inner"), Canary(50));
}

// A scrub that cannot finish says so on the folder's path, and leaves nothing of its own.
TEST(NameScrub, FailuresAreReportedOnTheFolder)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.WriteFile("outside\\o.txt", Canary(300));
    for (const char* folder : {"full", "refusing", "swapped", "gone"})
        sandbox.MakeFolder(folder);
    sandbox.WriteFile("full\\taken", Canary(20));
    const auto freed = FreedOf({L"x.txt"});
    const auto kept = [&](const char* folder) {
        return std::vector<Leftover>{{W(sandbox.Path(folder)), LeftReason::NamesKept}};
    };
    {
        NameRecorder names;  // every name it draws exists
        names.forced.assign(100, L"taken");
        EXPECT_EQ(ScrubNames(At(sandbox.Path("full")), PlanScrub(freed)).leftovers, kept("full"));
        EXPECT_EQ(sandbox.List("full"), std::vector<std::string>{"taken"});
        EXPECT_EQ(sandbox.ReadFile("full\\taken"), Canary(20));
    }
    {
        NameRecorder names;  // the folder refuses every name
        names.forced.assign(100, L"bad:name");
        EXPECT_EQ(ScrubNames(At(sandbox.Path("refusing")), PlanScrub(freed)).leftovers, kept("refusing"));
        EXPECT_TRUE(sandbox.List("refusing").empty());
    }
    {
        // Swapped for a link once the scrub has begun: what it creates lands outside, is removed.
        NameRecorder names;
        names.onDraw = [&] {
            if (!names.drawn.empty())
                return;
            ASSERT_TRUE(MoveFileA(sandbox.Path("swapped").c_str(), sandbox.Path("moved").c_str()));
            sandbox.MakeSymlink("swapped", "outside");
        };
        EXPECT_EQ(ScrubNames(At(sandbox.Path("swapped")), PlanScrub(freed)).leftovers, kept("swapped"));
        EXPECT_EQ(names.drawn.size(), 1u);
        EXPECT_EQ(sandbox.List("outside"), std::vector<std::string>{"o.txt"});
        EXPECT_EQ(sandbox.ReadFile("outside\\o.txt"), Canary(300));
    }
    const LocatedPath gone = At(sandbox.Path("gone"));
    ASSERT_TRUE(RemoveDirectoryA(sandbox.Path("gone").c_str()));
    EXPECT_EQ(ScrubNames(gone, PlanScrub(freed)).leftovers, kept("gone"));
}

// The file wipe scrubs its folder after the file and its scrambled name are gone, for both names.
TEST(NameScrub, FileWipeScrubsItsFolderOnceTheFileIsGone)
{
    Sandbox sandbox;
    sandbox.MakeFolder("dir");
    sandbox.WriteFile("dir\\secret.txt", Canary(3000));
    sandbox.WriteFile("dir\\keep.txt", Canary(100));
    CSDEngine engine([] { return 13; });
    FastPinnedSeams seams(kSeed);
    NameRecorder names;
    std::vector<std::string> atFirstDraw;
    names.onDraw = [&] {
        if (names.drawn.empty())
            atFirstDraw = sandbox.List("dir");
    };

    const WipeResult result = engine.WipeFile(W(sandbox.Path("dir\\secret.txt")));

    EXPECT_TRUE(result);
    EXPECT_EQ(result.leftovers, std::vector<Leftover>{});
    EXPECT_EQ(atFirstDraw, std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(names.drawn.size(), PlanScrub(FreedOf({L"secret.txt", kDigestName})).size());
    EXPECT_EQ(sandbox.List("dir"), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(sandbox.ReadFile("dir\\keep.txt"), Canary(100));

    // The next file's scrub first fills again the runs the last one left free, shape by shape.
    const std::size_t first = names.drawn.size();
    sandbox.WriteFile("dir\\second.txt", Canary(10));
    EXPECT_TRUE(engine.WipeFile(W(sandbox.Path("dir\\second.txt"))));
    ASSERT_EQ(names.shapes.size(), 3 * first);
    EXPECT_EQ(std::vector<FreedName>(names.shapes.begin() + first, names.shapes.begin() + 2 * first),
              std::vector<FreedName>(names.shapes.begin(), names.shapes.begin() + first));
    EXPECT_EQ(sandbox.List("dir"), std::vector<std::string>{"keep.txt"});
}

// The folder wipe scrubs each folder once, after its files and before it moves, and the chosen
// folder's parent last. A scrub that fails is reported and the tree still goes.
TEST(NameScrub, FolderWipeScrubsEachFolderAndTheParent)
{
    for (const bool refusing : {false, true}) {
        SCOPED_TRACE(refusing ? "refusing" : "scrubbing");
        Sandbox sandbox;
        sandbox.WriteFile("neighbour.txt", Canary(900));
        sandbox.MakeFolder("A");
        sandbox.MakeFolder("A\\B");
        for (const char* file : {"A\\a1.txt", "A\\a2.txt", "A\\B\\b1.txt"})
            sandbox.WriteFile(file, Canary(2000));
        CSDEngine engine([] { return 13; });
        FastPinnedSeams seams(kSeed);
        NameRecorder names;
        std::vector<bool> chosenThere;
        // A folder: a scrub may draw the name "a" for a file of its own in the parent.
        names.onDraw = [&] {
            const DWORD attributes = GetFileAttributesA(sandbox.Path("A").c_str());
            chosenThere.push_back(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
            if (refusing)
                names.forced = {L"bad:name"};
        };

        const WipeResult result = engine.WipeFolder(W(sandbox.Path("A")));

        EXPECT_TRUE(result);
        EXPECT_EQ(sandbox.List(), std::vector<std::string>{"neighbour.txt"});
        EXPECT_EQ(sandbox.ReadFile("neighbour.txt"), Canary(900));
        if (refusing) {
            EXPECT_EQ(result.leftovers, (std::vector<Leftover>{{W(sandbox.Path("A\\B")), LeftReason::NamesKept},
                                                               {W(sandbox.Path("A")), LeftReason::NamesKept},
                                                               {W(sandbox.Root()), LeftReason::NamesKept}}));
            continue;
        }
        EXPECT_EQ(result.leftovers, std::vector<Leftover>{});
        // B: b1.txt and its scrambled name (8 names); A: two files and B, each with a scrambled
        // name (20); the parent: A and its scrambled name (8).
        std::vector<bool> expected(36, true);
        std::fill(expected.begin() + 28, expected.end(), false);
        EXPECT_EQ(chosenThere, expected);
    }
}
