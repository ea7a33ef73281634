#include "DeletionList.h"
#include "Sandbox.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(DeletionList, SizeTextInKilobytesWithTwoDecimals)
{
    Sandbox sandbox;
    const struct {
        std::size_t bytes;
        const char* text;
    } cases[] = {{0, "0.00"}, {1, "0.00"}, {1024, "1.00"}, {1536, "1.50"}, {10239, "10.00"}, {1048576, "1024.00"}};
    for (const auto& c : cases) {
        const std::string name = "f" + std::to_string(c.bytes);
        sandbox.WriteFile(name, Repeat('x', c.bytes));
        EXPECT_EQ(SizeText(sandbox.Path(name)), c.text) << c.bytes;
    }
    sandbox.MakeFolder("folder");
    EXPECT_EQ(SizeText(sandbox.Path("folder")), "0.00");
    // A name that cannot be read used to show the all-ones size, 4194304.00.
    EXPECT_EQ(SizeText(sandbox.Path("missing")), "");
}

// The low 32-bit size word alone would show 5 GiB + 1 KiB as 1.00.
TEST(DeletionList, SizeTextOfFourGigabytesAndMoreIsWhole)
{
    Sandbox sandbox;
    sandbox.WriteFile("big", "");
    HANDLE file = CreateFileA(sandbox.Path("big").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 5LL * 1024 * 1024 * 1024 + 1024;
    ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));  // sparse on the Linux side: no 5 GiB are written
    CloseHandle(file);
    EXPECT_EQ(SizeText(sandbox.Path("big")), "5242881.00");
}

TEST(DeletionList, ChosenPathsFromThePickerBuffer)
{
    const char one[] = "C:\\docs\\a.txt\0";
    EXPECT_EQ(ChosenPaths(one, 8), (std::vector<std::string>{"C:\\docs\\a.txt"}));

    const char several[] = "C:\\docs\0a.txt\0b c.txt\0퀜조.txt\0";
    EXPECT_EQ(ChosenPaths(several, 8),
              (std::vector<std::string>{"C:\\docs\\a.txt", "C:\\docs\\b c.txt", "C:\\docs\\퀜조.txt"}));

    const char inRoot[] = "C:\\\0a\0b\0";
    EXPECT_EQ(ChosenPaths(inRoot, 4), (std::vector<std::string>{"C:\\a", "C:\\b"}));
    EXPECT_TRUE(ChosenPaths("", 0).empty());
}
