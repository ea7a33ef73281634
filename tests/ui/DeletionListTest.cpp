#include "CQuenzoFileDeleteDlg.h"
#include "DeletionListModel.h"
#include "FileHelpers.h"
#include "Sandbox.h"

#include <gtest/gtest.h>

// Sizes of 4 GiB and more are whole: the low 32-bit size word alone showed 5 GiB + 1 KiB as 1048577.00.
TEST(DeletionList, SizeTextInKilobytesWithTwoDecimals)
{
    Sandbox sandbox;
    const struct {
        long long bytes;
        const char* text;
    } cases[] = {
        {0, "0.00"}, {1, "0.00"}, {1024, "1.00"}, {1536, "1.50"}, {10239, "10.00"}, {1048576, "1024.00"},
        {5LL * 1024 * 1024 * 1024 + 1024, "5242881.00"},  // sparse on the Linux side: no 5 GiB are written
    };
    for (const auto& c : cases) {
        const std::string name = "f" + std::to_string(c.bytes);
        MakeFileOfSize(sandbox.Path(name), c.bytes);
        EXPECT_EQ(SizeText(W(sandbox.Path(name))), c.text) << c.bytes;
    }
    sandbox.MakeFolder("folder");
    EXPECT_EQ(SizeText(W(sandbox.Path("folder"))), "0.00");
    // A name that cannot be read used to show the all-ones size, 4194304.00.
    EXPECT_EQ(SizeText(W(sandbox.Path("missing"))), "");
}

// The wide picker's names arrive exact: "₩" stays itself instead of becoming a backslash.
TEST(DeletionList, ChosenPathsFromThePickerBuffer)
{
    const wchar_t one[] = L"C:\\docs\\a.txt\0";
    EXPECT_EQ(ChosenPaths(one, 8), (std::vector<std::wstring>{L"C:\\docs\\a.txt"}));

    const wchar_t several[] = L"C:\\docs\0a.txt\0b c.txt\0퀜조.txt\0..\u20A9x\0";
    EXPECT_EQ(ChosenPaths(several, 8), (std::vector<std::wstring>{L"C:\\docs\\a.txt", L"C:\\docs\\b c.txt",
                                                                  L"C:\\docs\\퀜조.txt", L"C:\\docs\\..\u20A9x"}));

    const wchar_t inRoot[] = L"C:\\\0a\0b\0";
    EXPECT_EQ(ChosenPaths(inRoot, 4), (std::vector<std::wstring>{L"C:\\a", L"C:\\b"}));
    EXPECT_TRUE(ChosenPaths(L"", 0).empty());
}
