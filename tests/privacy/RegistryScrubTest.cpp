#include "CPersonalCleaner.h"
#include "CRegInfo.h"
#include "CleaningRun.h"
#include "PrivacyTestSupport.h"
#include "RegistryScrub.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <string>

namespace {

const std::string kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const std::string kIntelliForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms";
const std::string kRecentDocs = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const std::string kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const std::string kTestKey = "Software\\QuenzoLiteTest\\Overwrite";

RegValue Sz(const std::string& text) { return {REG_SZ, text}; }

}  // namespace

// Every value of the key, whatever its type, name or size, becomes the marker as REG_SZ under
// its own name; values of subkeys are not touched, and nothing is deleted.
TEST(OverwriteRegValues, EveryValueBecomesTheMarker)
{
    Sandbox sandbox;  // refuses to run outside the test environment
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuenzoLiteTest");
    const std::string longName(400, 'n');  // longer than any path buffer
    const std::string koreanName = "\xC1\xD6\xBC\xD2";  // "주소" in code page 949
    SetValue(kTestKey, "", REG_SZ, "default");
    SetValue(kTestKey, "url1", REG_SZ, "http://127.0.0.1/a");
    SetValue(kTestKey, "form", REG_BINARY, std::string("\x01\x00\xFF", 3));
    SetValue(kTestKey, "count", REG_DWORD, std::string("\x05\x00\x00\x00", 4));
    SetValue(kTestKey, longName, REG_SZ, "long name");
    SetValue(kTestKey, koreanName, REG_SZ, "korean");
    SetValue(kTestKey, "big", REG_BINARY, Canary(200000));
    SetValue(kTestKey + "\\child", "inner", REG_BINARY, "keep");

    EXPECT_EQ(OverwriteRegValues(kTestKey, "Norvane Vaultine Software"), 7);

    const RegValues after = ReadValues(kTestKey);
    ASSERT_EQ(after.size(), 7u);
    for (const std::string& name : {std::string(), std::string("url1"), std::string("form"), std::string("count"),
                                    longName, koreanName, std::string("big")}) {
        ASSERT_TRUE(after.count(name)) << name;
        EXPECT_EQ(after.at(name), Sz("Norvane Vaultine Software")) << name;
    }
    EXPECT_EQ(ReadValues(kTestKey + "\\child"), (RegValues{{"inner", {REG_BINARY, "keep"}}}));

    EXPECT_EQ(OverwriteRegValues("Software\\QuenzoLiteTest\\Missing", "marker"), 0);
    EXPECT_FALSE(KeyExists("Software\\QuenzoLiteTest\\Missing"));
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuenzoLiteTest");
}

// A value whose name code page 949 cannot hold is overwritten under its own name: the narrow
// enumeration best-fitted "a₩b" into "a\b", wrote a new value of that name and left the real one.
TEST(OverwriteRegValues, NamesAreExact)
{
    Sandbox sandbox;
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuenzoLiteTest");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QuenzoLiteTest\\Overwrite", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring names[] = {L"a\u20A9b", L"a\\b", L"emoji\U0001F600"};
    for (const std::wstring& name : names)
        RegSetValueExW(key, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>("secret"), 6);

    int writes = 0;
    EXPECT_EQ(OverwriteRegValues(kTestKey, "marker", &writes), 3);
    EXPECT_EQ(writes, 3 * 7);  // seven times each, as claimed: the last write alone would look the same

    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    EXPECT_EQ(count, 3u);
    for (const std::wstring& name : names) {
        wchar_t data[32] = {};
        DWORD size = sizeof(data);
        DWORD type = 0;
        ASSERT_EQ(RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(std::wstring(data), L"marker");
    }
    RegCloseKey(key);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuenzoLiteTest");
}

// What each registry target leaves in its key just before deleting it: the secure forms the
// marker in every value (a binary form entry included), the plain forms the values untouched.
// The key goes with its subkeys either way.
TEST(RegistryTargets, SecureFormsOverwriteBeforeDeletingPlainFormsOnlyDelete)
{
    Sandbox sandbox;
    QuietSeams quiet;
    RecordingEngine engine{13};
    const std::string binary("\x10\x00\x00\x00\xAB\xCD", 6);
    const struct {
        const char* name;
        void (CPersonalCleaner::*operation)();
        std::string key;
        const char* marker;  // nullptr: the values are deleted as they are
    } cases[] = {
        {"secure history", &CPersonalCleaner::SecureCleanHistory, kTypedUrls, "Norvane Vaultine Software"},
        {"history", &CPersonalCleaner::CleanHistory, kTypedUrls, nullptr},
        {"secure recent", &CPersonalCleaner::SecureCleanRecentDocs, kRecentDocs, "Norvane Vaultine Software"},
        {"recent", &CPersonalCleaner::CleanRecentDocs, kRecentDocs, nullptr},
        {"secure auto-complete", &CPersonalCleaner::SecureCleanIntelliForms, kIntelliForms,
         "Quenzo Light Marrowick Co., Ltd."},
        {"auto-complete", &CPersonalCleaner::DeleteIntelliForms, kIntelliForms, nullptr},
    };
    for (const auto& c : cases) {
        const RegValues before = {
            {"url1", Sz("http://127.0.0.1/one")}, {"url2", Sz("http://127.0.0.1/two")}, {"url3", {REG_BINARY, binary}}};
        for (const auto& [name, value] : before)
            SetValue(c.key, name, value.type, value.data);
        SetValue(c.key + "\\sub", "x", REG_SZ, "y");
        SnapshotCleaner cleaner(engine);

        (cleaner.*c.operation)();

        ASSERT_EQ(cleaner.beforeDeletion.count(c.key), 1u) << c.name;
        const RegValues& seen = cleaner.beforeDeletion.at(c.key);
        if (c.marker)
            EXPECT_EQ(seen, (RegValues{{"url1", Sz(c.marker)}, {"url2", Sz(c.marker)}, {"url3", Sz(c.marker)}}))
                << c.name;
        else
            EXPECT_EQ(seen, before) << c.name;
        EXPECT_FALSE(KeyExists(c.key)) << c.name;
    }
}

// The plain auto-complete box of "삭제" deletes the key without overwriting it, read through the
// setting like every run.
TEST(RegistryTargets, PlainAutoCompleteRunDeletesWithoutOverwriting)
{
    Sandbox sandbox;
    QuietSeams quiet;
    RecordingEngine engine{13};
    CRegInfo settings;
    for (const char* persnal : {"0", "1"}) {
        SetPersnal(persnal);
        SetValue(kIntelliForms, "entry", REG_BINARY, "abc");
        SnapshotCleaner cleaner(engine);
        RunCleaning(cleaner, settings, CLEAN_AUTOCOMPLETE);
        const RegValue expected = persnal[0] == '1' ? Sz("Quenzo Light Marrowick Co., Ltd.") : RegValue{REG_BINARY, "abc"};
        EXPECT_EQ(cleaner.beforeDeletion[kIntelliForms], (RegValues{{"entry", expected}})) << persnal;
        EXPECT_FALSE(KeyExists(kIntelliForms)) << persnal;
    }
}

// Exactly the one-letter values and the order go; longer names, the unnamed value and the key
// stay. A missing key is not created.
TEST(ClearRunMru, RemovesTheLettersAndTheOrderOnly)
{
    Sandbox sandbox;
    QuietSeams quiet;
    RecordingEngine engine{13};
    CPersonalCleaner cleaner(engine);
    SHDeleteKeyA(HKEY_CURRENT_USER, kRunMru.c_str());
    cleaner.ClearRunMru();
    EXPECT_FALSE(KeyExists(kRunMru));

    for (char letter = 'a'; letter <= 'z'; ++letter)
        SetValue(kRunMru, std::string(1, letter), REG_SZ, std::string("cmd") + letter + "\\1");
    SetValue(kRunMru, "MRUList", REG_SZ, "zyxwvutsrqponmlkjihgfedcba");
    SetValue(kRunMru, "aa", REG_SZ, "kept");
    SetValue(kRunMru, "z1", REG_SZ, "kept");
    SetValue(kRunMru, "", REG_SZ, "kept");

    cleaner.ClearRunMru();

    EXPECT_EQ(ReadValues(kRunMru), (RegValues{{"", Sz("kept")}, {"aa", Sz("kept")}, {"z1", Sz("kept")}}));
    EXPECT_TRUE(ClearRunMruValues());
}
