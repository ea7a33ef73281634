#include "Handover.h"

#include <gtest/gtest.h>

// What a start asks for: "/close" alone; "/add" with whole paths (others dropped, repeats once).
TEST(StartRequest, CloseAloneAndAddWithWholePaths)
{
    using Paths = std::vector<std::wstring>;
    const struct {
        Paths arguments;
        StartKind kind;
        Paths paths;
    } cases[] = {
        {{}, StartKind::Normal, {}},
        {{L"trayOn"}, StartKind::Normal, {}},
        {{L"/CLOSE"}, StartKind::Close, {}},
        {{L"/close", L"C:\\a"}, StartKind::Normal, {}},
        {{L"/add"}, StartKind::Normal, {}},
        {{L"/Add", L"C:\\한글 이름\\'q'.", L"relative", L"C:\\", L"C:\\a/b\\", L"C:\\한글 이름\\'q'."},
         StartKind::Add,
         {L"C:\\한글 이름\\'q'.", L"C:\\a\\b"}},
    };
    for (const auto& c : cases) {
        const StartRequest request = RequestOf(c.arguments);
        EXPECT_EQ(request.kind, c.kind);
        EXPECT_EQ(request.paths, c.paths);
    }
}

// The block a second copy sends comes back as it went; anything else is refused whole.
TEST(StartRequest, HandedOverBlocksDecodeExactlyOrNotAtAll)
{
    const std::vector<std::wstring> paths = {L"C:\\a b\\파일.txt", L"\\\\server\\share\\x."};
    const std::wstring block = EncodePaths(paths);
    EXPECT_EQ(DecodePaths(block.data(), block.size() * sizeof(wchar_t)), paths);
    const std::wstring relative = std::wstring(L"name") + L'\0';
    const std::wstring emptyPath = std::wstring(L"C:\\a") + L'\0' + L'\0';
    EXPECT_EQ(DecodePaths(block.data(), block.size() * sizeof(wchar_t) - 1), std::nullopt);  // odd size
    EXPECT_EQ(DecodePaths(block.data(), (block.size() - 1) * sizeof(wchar_t)), std::nullopt);  // no final NUL
    EXPECT_EQ(DecodePaths(relative.data(), relative.size() * sizeof(wchar_t)), std::nullopt);
    EXPECT_EQ(DecodePaths(emptyPath.data(), emptyPath.size() * sizeof(wchar_t)), std::nullopt);
    EXPECT_EQ(DecodePaths(nullptr, 0), std::nullopt);
}
