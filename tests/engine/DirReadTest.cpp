#include "CSADirRead.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

template <typename Entry>
std::vector<std::wstring> Paths(const std::vector<Entry>& entries)
{
    std::vector<std::wstring> paths;
    for (const Entry& entry : entries)
        paths.push_back(entry.path);
    return paths;
}

// Where `item` stands in `list`; the list's size when it is not there.
std::size_t IndexOf(const std::vector<std::wstring>& list, const std::wstring& item)
{
    return std::find(list.begin(), list.end(), item) - list.begin();
}

}  // namespace

// Folders deepest first and the root last; files folder by folder in that order. Hidden folders
// and names that begin with a dot are walked like any other.
TEST(CSADirRead, ListsTheTreeDeepestFirst)
{
    Sandbox sandbox;
    for (const char* folder : {"A", "A\\B", "A\\B\\C", "A\\.git", "A\\hid"})
        sandbox.MakeFolder(folder);
    ASSERT_TRUE(SetFileAttributesA(sandbox.Path("A\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN));
    for (const char* file : {"A\\a.txt", "A\\B\\b.txt", "A\\B\\C\\c.txt", "A\\.git\\HEAD", "A\\hid\\h.txt"})
        sandbox.WriteFile(file, std::string(10, 'x') + file);

    CSADirRead reader;
    reader.CollectFolders(W(sandbox.Path("A") + "\\"));
    ASSERT_TRUE(reader.CollectFiles());

    const auto folders = Paths(reader.Folders());
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(folders.back(), W(sandbox.Path("A")));
    const auto at = [&](const auto& list, const char* path) { return IndexOf(list, W(sandbox.Path(path))); };
    EXPECT_LT(at(folders, "A\\B\\C"), at(folders, "A\\B"));
    for (const char* folder : {"A\\.git", "A\\hid"})
        EXPECT_LT(at(folders, folder), 4u) << folder;

    const auto files = Paths(reader.Files());
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files.back(), W(sandbox.Path("A\\a.txt")));
    EXPECT_LT(at(files, "A\\B\\C\\c.txt"), at(files, "A\\B\\b.txt"));
    EXPECT_LT(at(files, "A\\.git\\HEAD"), files.size());
    EXPECT_LT(at(files, "A\\hid\\h.txt"), files.size());
    for (const FoundFile& file : reader.Files()) {
        EXPECT_FALSE(file.isFolder);
        EXPECT_EQ(file.size, 10 + file.path.size() - sandbox.Root().size() - 1) << Narrow949(file.path);
        // Where a handle must land: the root's final path and the names listed.
        EXPECT_EQ(file.landing, L"\\\\?\\" + file.path) << Narrow949(file.path);
    }
}

// A folder link, even one that loops back, is neither walked nor listed.
TEST(CSADirRead, DoesNotDescendIntoFolderLinks)
{
    Sandbox sandbox;
    sandbox.MakeFolder("outside");
    sandbox.WriteFile("outside\\canary.txt", Canary(10));
    sandbox.MakeFolder("chosen");
    sandbox.WriteFile("chosen\\own.txt", "own");
    sandbox.MakeSymlink("chosen\\away", "outside");
    sandbox.MakeSymlink("chosen\\loop", "chosen");

    CSADirRead reader;
    reader.CollectFolders(W(sandbox.Path("chosen")));
    ASSERT_TRUE(reader.CollectFiles());
    EXPECT_EQ(Paths(reader.Folders()), (std::vector<std::wstring>{W(sandbox.Path("chosen"))}));
    EXPECT_EQ(Paths(reader.Files()), (std::vector<std::wstring>{W(sandbox.Path("chosen\\own.txt"))}));
}

// Only a real folder is walked: a root that is a file, missing, a link to a folder or not a whole
// path lists nothing at all (a link's target used to be counted and wiped).
TEST(CSADirRead, OnlyARealFolderIsWalked)
{
    Sandbox sandbox;
    sandbox.WriteFile("plain.txt", "x");
    sandbox.MakeFolder("real");
    sandbox.WriteFile("real\\canary.txt", Canary(10));
    sandbox.MakeSymlink("link", "real");
    for (const std::wstring& root : {W(sandbox.Path("plain.txt")), W(sandbox.Path("missing")), W(sandbox.Path("link")),
                                     std::wstring(L"real"), std::wstring()}) {
        CSADirRead reader;
        reader.CollectFolders(root);
        ASSERT_TRUE(reader.CollectFiles());
        EXPECT_TRUE(reader.Folders().empty()) << Narrow949(root);
        EXPECT_TRUE(reader.Files().empty()) << Narrow949(root);
    }
}
