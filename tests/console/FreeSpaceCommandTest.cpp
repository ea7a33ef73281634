// QuenzoWipe /F: its exit codes and refusals, on the small test drives.
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FreeSpaceWipe.h"
#include "NeverDestroy.h"
#include "RecordingConsole.h"
#include "SmallDrives.h"
#include "WipeCommand.h"

#include <gtest/gtest.h>

// 0 only when the whole free space was written; the same refusals as the window; 2 for words the
// command does not take. A refused or declined command writes nothing at all.
TEST(FreeSpaceCommand, ExitCodesTellWhetherTheWholeFreeSpaceWasWritten)
{
    const std::wstring root = SmallDrive();
    const struct {
        std::vector<std::wstring> arguments;
        bool answer;
        int code;
        const char* says;
    } cases[] = {
        {{L"/F", L"s:", L"/Q", L"/M:13"}, false, kExitAllGone, "드라이브 끝까지 채웠습니다"},
        {{L"/f", L"S:\\", L"/M:12"}, true, kExitAllGone, "2번"},
        {{L"/F", L"S:"}, false, kExitSomethingLeft, "아무것도 쓰지 않았습니다"},
        {{L"/F", L"R:", L"/Q"}, false, kExitSomethingLeft, "읽기 전용이거나"},
        {{L"/F", L"S:\\probe", L"/Q"}, false, kExitSomethingLeft, "드라이브 문자"},
        {{L"/F", L"\\\\server\\share", L"/Q"}, false, kExitSomethingLeft, "드라이브 문자"},
        {{L"/F", L"S:", L"R:"}, false, kExitUsage, "드라이브 하나"},
        {{L"/F", L"/Q"}, false, kExitUsage, "드라이브 하나"},
        {{L"/F", L"S:", L"/M:14"}, false, kExitUsage, "드라이브 하나"},
    };
    const ULONGLONG freeBefore = FreeBytesOf(root);
    for (const auto& c : cases) {
        RecordingConsole console(c.answer);
        EXPECT_EQ(RunWipeCommand(c.arguments, L"C:\\", NeverDestroyPolicy::OfThisMachine(), 12, console), c.code)
            << console.text;
        EXPECT_NE(console.text.find(c.says), std::string::npos) << console.text;
        EXPECT_FALSE(PathExists(root + FillFolderName()));
        EXPECT_EQ(FreeBytesOf(root), freeBefore);
    }
}
