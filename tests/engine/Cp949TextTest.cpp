#include "MethodCatalogue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Bytes(const char* text)
{
    std::vector<int> bytes;
    for (const char* p = text; *p; ++p)
        bytes.push_back(static_cast<unsigned char>(*p));
    return bytes;
}

}  // namespace

// A build that falls back to UTF-8 or EUC-KR would show every Korean text as garbage.
TEST(KoreanText, LiteralsAreCodePage949Bytes)
{
    EXPECT_EQ(Bytes("퀜조"), (std::vector<int>{0xB3, 0x90, 0xC1, 0xB6}));
    EXPECT_EQ(Bytes("보통"), (std::vector<int>{0xBA, 0xB8, 0xC5, 0xEB}));
    EXPECT_EQ(Bytes(FindMethod(1)->passCountLabel),
              (std::vector<int>{'3', '5', 0xB9, 0xF8, ' ', 0xB5, 0xA4, 0xBE, 0xEE, 0xBE, 0xBA, 0xBF, 0xF2}));
}
