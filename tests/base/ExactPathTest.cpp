#include "Cp949Text.h"
#include "ExactPath.h"

#include <gtest/gtest.h>

// Trailing blanks and dots are part of a name ("data " is not "data"): only separators go.
TEST(ExactPath, TrimTrailingSeparatorsTrimsSeparatorsOnly)
{
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:\\data\\", L"C:\\data"}, {L"C:\\", L"C:\\"},     {L"C:\\data\\\\/", L"C:\\data"},
        {L"C:\\data\\ ", L"C:\\data\\ "}, {L"C:\\a b.", L"C:\\a b."}, {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring path = c.in;
        TrimTrailingSeparators(path);
        EXPECT_EQ(path, c.out) << Narrow949(c.in);
    }
}
