// The update program's rules on their own: versions, the manifest's text, setup addresses and
// the SHA-256 that decides whether a download may run.
#include "Sandbox.h"
#include "ScopedHandle.h"
#include "Sha256.h"
#include "UpdateManifest.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(UpdateManifest, VersionsCompareNumberByNumber)
{
    const struct {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"1.0.0.10", "1.0.0.9", 1},  // numbers, not text
        {"1.0.0.1", "1.0.0.1", 0},   {"1.0.0.1", "1.0.0.2", -1}, {"2.0", "1.9.9.9", 1},
        {"1.0", "1.0.0.0", 0},       {"1.0.1", "1.0.0.65535", 1}, {"0.9", "1", -1},
        {"1.00.0.1", "1.0.0.1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        const auto a = ParseVersion(c.a);
        const auto b = ParseVersion(c.b);
        ASSERT_TRUE(a && b);
        EXPECT_EQ(CompareVersions(*a, *b), c.order);
        EXPECT_EQ(CompareVersions(*b, *a), -c.order);
    }
    for (const char* bad : {"", "1.", ".1", "1..0", "1.0.0.0.1", "1.0.0.65536", "1.0.0.1a", "v1.0", " 1.0", "1,0",
                            "-1.0", "+1.0", "123456"})
        EXPECT_FALSE(ParseVersion(bad)) << '"' << bad << '"';
}

TEST(UpdateManifest, TextFollowsItsRules)
{
    const std::string sha = std::string(63, 'a') + "B";
    const auto withBlank = ParseManifest("\xEF\xBB\xBF# newest release\r\n\r\n version = 1.0.0.2 \r\nsetup=Setup 2.exe\r\n");
    EXPECT_FALSE(withBlank);  // a blank inside an address
    const auto manifest =
        ParseManifest("# newest release\r\n\r\n Version = 1.0.0.2 \r\nsetup=/files/Setup.exe\r\nsha256=" + sha +
                      "\r\nnotes=later versions may add keys\r\n");
    ASSERT_TRUE(manifest);
    EXPECT_EQ(manifest->versionText, "1.0.0.2");
    EXPECT_EQ(manifest->version, (ProductVersion{1, 0, 0, 2}));
    EXPECT_EQ(manifest->setup, "/files/Setup.exe");
    EXPECT_EQ(manifest->sha256, std::string(63, 'a') + "b");

    const auto versionOnly = ParseManifest("\xEF\xBB\xBFversion=1.0.0.1");
    ASSERT_TRUE(versionOnly);
    EXPECT_EQ(versionOnly->setup, "");
    EXPECT_EQ(versionOnly->sha256, "");

    for (const std::string& bad : {
             std::string(""),                                     // no version
             std::string("setup=a.exe\nsha256=" + sha),           // no version
             std::string("version=1.0.0.2\nversion=1.0.0.3"),     // twice
             std::string("version=1.0.0.2\nthis line has no equals sign"),
             std::string("version=latest"),
             std::string("version=1.0.0.2\nsha256=" + sha.substr(1)),  // 63 digits
             std::string("version=1.0.0.2\nsha256=" + std::string(63, 'a') + "g"),
             std::string("version=1.0.0.2\nsetup="),
             std::string("version=1.0.0.2\nsetup=\xC7\xD1.exe"),  // not ASCII
         })
        EXPECT_FALSE(ParseManifest(bad)) << bad;
}

TEST(UpdateManifest, SetupAddressesResolveAgainstTheManifest)
{
    const std::string manifest = "http://127.0.0.1:8080/QuenzoLight/update/manifest.txt";
    EXPECT_EQ(ManifestAddress("http://127.0.0.1:8080"), manifest);
    EXPECT_EQ(ManifestAddress("http://127.0.0.1:8080/"), manifest);
    const struct {
        const char* reference;
        std::optional<std::string> address;
    } cases[] = {
        {"Setup.exe", "http://127.0.0.1:8080/QuenzoLight/update/Setup.exe"},
        {"files/Setup.exe", "http://127.0.0.1:8080/QuenzoLight/update/files/Setup.exe"},
        {"/download/Setup.exe", "http://127.0.0.1:8080/download/Setup.exe"},
        {"//cdn.example/Setup.exe", "http://cdn.example/Setup.exe"},
        {"https://cdn.example/Setup.exe", "https://cdn.example/Setup.exe"},
        {"HTTP://cdn.example/Setup.exe", "HTTP://cdn.example/Setup.exe"},
        {"Setup.exe?v=2", "http://127.0.0.1:8080/QuenzoLight/update/Setup.exe?v=2"},
        {"file:///C:/Windows/notepad.exe", std::nullopt},
        {"ftp://cdn.example/Setup.exe", std::nullopt},
        {"C:\\Setup.exe", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveSetupAddress(manifest, c.reference), c.address) << c.reference;
    EXPECT_EQ(ResolveSetupAddress("http://host", "Setup.exe"), "http://host/Setup.exe");
    EXPECT_EQ(ResolveSetupAddress("http://host/dir/manifest.txt?x=a/b", "Setup.exe"), "http://host/dir/Setup.exe");

    EXPECT_TRUE(IsHttpsAddress("https://cdn.example/Setup.exe"));
    EXPECT_TRUE(IsHttpsAddress("HTTPS://cdn.example/Setup.exe"));
    EXPECT_FALSE(IsHttpsAddress("http://cdn.example/Setup.exe"));
    EXPECT_FALSE(IsHttpsAddress("//cdn.example/https://"));
    EXPECT_EQ(HttpsAddressOf("HTTP://www.site.example"), "https://www.site.example");
    EXPECT_EQ(HttpsAddressOf("https://www.site.example"), "https://www.site.example");
    EXPECT_EQ(HttpsAddressOf("ftp://www.site.example"), "ftp://www.site.example");
}

// The published test vectors, and a file read through its handle.
TEST(UpdateManifest, Sha256OfBytesAndFiles)
{
    EXPECT_EQ(Sha256Of(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Of("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');  // longer than one read of the hash loop
    EXPECT_EQ(Sha256Of(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");

    Sandbox sandbox;
    sandbox.WriteFile("million", million);
    ScopedHandle file(CreateFileA(sandbox.Path("million").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.IsValid());
    char first = 0;
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file.Get(), &first, 1, &got, nullptr));  // the hash starts from the beginning anyway
    EXPECT_EQ(Sha256OfFile(file.Get()), Sha256Of(million));
}
