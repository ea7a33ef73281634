#include "CSADirRead.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> Paths(const std::vector<FoundFile>& files)
{
    std::vector<std::string> paths;
    for (const FoundFile& file : files)
        paths.push_back(file.path);
    return paths;
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

TEST(CSADirRead, NormalizeFolderPathTrimsBlanksAndSeparators)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"C:\\data\\ ", "C:\\data"},     {"C:\\", "C:"},           {"C:\\data\\\\\t", "C:\\data"},
        {"C:/x/y/", "C:/x/y"},           {"data", "data"},         {"C:\\a b ", "C:\\a b"},
        {"C:\\dir\\/", "C:\\dir\\/"},  // a backslash comes first, and it is not the last character
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string path = c.in;
        CSADirRead::NormalizeFolderPath(path);
        EXPECT_EQ(path, c.out) << '"' << c.in << '"';
    }
}

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
    reader.CollectFolders(sandbox.Path("A") + "\\ ");
    ASSERT_TRUE(reader.CollectFiles());

    const auto& folders = reader.Folders();
    ASSERT_EQ(folders.size(), 5u);
    EXPECT_EQ(reader.Root(), sandbox.Path("A"));
    EXPECT_EQ(folders.back(), sandbox.Path("A"));
    const auto at = [&](const char* folder) {
        return std::find(folders.begin(), folders.end(), sandbox.Path(folder)) - folders.begin();
    };
    EXPECT_LT(at("A\\B\\C"), at("A\\B"));
    for (const char* folder : {"A\\.git", "A\\hid"})
        EXPECT_LT(at(folder), 4) << folder;

    const auto files = Paths(reader.Files());
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files.back(), sandbox.Path("A\\a.txt"));
    const auto fileAt = [&](const char* file) {
        return std::find(files.begin(), files.end(), sandbox.Path(file)) - files.begin();
    };
    EXPECT_LT(fileAt("A\\B\\C\\c.txt"), fileAt("A\\B\\b.txt"));
    EXPECT_TRUE(Contains(files, sandbox.Path("A\\.git\\HEAD")));
    EXPECT_TRUE(Contains(files, sandbox.Path("A\\hid\\h.txt")));
    for (const FoundFile& file : reader.Files()) {
        EXPECT_FALSE(file.isFolder);
        EXPECT_EQ(file.size, 10 + file.path.size() - sandbox.Root().size() - 1) << file.path;
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
    reader.CollectFolders(sandbox.Path("chosen"));
    ASSERT_TRUE(reader.CollectFiles());
    EXPECT_EQ(reader.Folders(), (std::vector<std::string>{sandbox.Path("chosen")}));
    EXPECT_EQ(Paths(reader.Files()), (std::vector<std::string>{sandbox.Path("chosen\\own.txt")}));
}

TEST(CSADirRead, AFileOrAMissingPathIsItsOwnOnlyFolder)
{
    Sandbox sandbox;
    sandbox.WriteFile("plain.txt", "x");
    for (const char* name : {"plain.txt", "missing"}) {
        CSADirRead reader;
        reader.CollectFolders(sandbox.Path(name));
        ASSERT_TRUE(reader.CollectFiles());
        EXPECT_EQ(reader.Folders(), (std::vector<std::string>{sandbox.Path(name)}));
        EXPECT_TRUE(reader.Files().empty());
    }
}
