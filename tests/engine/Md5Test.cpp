#include "Cmd5Capi.h"

#include <gtest/gtest.h>

#include <string>

// RFC 1321's test suite, and paths hashed over their code page 949 bytes.
TEST(Cmd5Capi, DigestsAreMd5InLowercaseHex)
{
    const struct {
        std::string text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"C:\\a\\b.txt", "4f78a1e8715448e3715b4c87edfd1994"},
        // Two bytes per syllable: B3 90 C1 B6 for 퀜조.
        {"C:\\퀜조\\문서 1.txt", "b3d4857e780575a2086a8c9071fafaab"},
    };
    Cmd5Capi md5;
    for (const auto& c : cases)
        EXPECT_EQ(md5.HashToHex(c.text), c.digest) << c.text;
}

TEST(Cmd5Capi, SamePathSameNameOtherFolderOtherName)
{
    Cmd5Capi md5;
    const std::string x = md5.HashToHex("C:\\x\\report.txt");
    const std::string y = md5.HashToHex("C:\\y\\report.txt");
    EXPECT_NE(x, y);
    EXPECT_EQ(md5.HashToHex("C:\\x\\report.txt"), x);
}
