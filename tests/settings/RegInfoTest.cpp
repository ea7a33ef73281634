#include "CRegInfo.h"
#include "InstallPaths.h"
#include "RefusedWrites.h"
#include "Sandbox.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const char* const kProductKey = "Software\\Marrowick\\QuenzoLite";
const char* const kSettingsKey = "Software\\Marrowick\\QuenzoLite\\Data";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Quoted, or Windows would try C:\Program.exe first.
const std::string kQuotedAutostart = "\"C:\\Program Files\\Marrowick\\QuenzoLite\\QuenzoLite.exe\" trayOn";

struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::string data;  // the stored bytes, but for a text's terminating zero
};

// Wine's registry keeps every REG_SZ terminated, whatever length was written, so a terminating
// zero here says nothing about the writer and is dropped; anything else stored is kept.
RawValue ReadRaw(const char* keyPath, const char* name)
{
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.data.data()), &size);
        value.data.resize(size);
        if (value.type == REG_SZ && !value.data.empty() && value.data.back() == '\0')
            value.data.pop_back();
        value.present = true;
    }
    RegCloseKey(key);
    return value;
}

void SetRaw(const char* keyPath, const char* name, DWORD type, const std::string& bytes)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const char* keyPath)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Every case starts from a profile in which the program never ran (in the throwaway prefix).
class RegInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Marrowick");
        HKEY run;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, "Quenzo Light");
            RegCloseKey(run);
        }
        ASSERT_FALSE(KeyExists("Software\\Marrowick"));
    }

    Sandbox m_sandbox;  // refuses to run outside the test environment
    CRegInfo m_reg;
};

}  // namespace

// The product information finds its key only from the second start on: it is written before the
// settings key (and with it the whole path) is created.
TEST_F(RegInfoTest, FirstAndSecondStart)
{
    m_reg.RegisterAtStartup();

    const RawValue autostart = ReadRaw(kRunKey, "Quenzo Light");
    EXPECT_EQ(autostart.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(autostart.data, kQuotedAutostart);  // no terminating zero stored
    EXPECT_FALSE(ReadRaw(kProductKey, "Company").present);
    for (const char* name : {"Method", "Persnal", "Top"}) {
        const RawValue value = ReadRaw(kSettingsKey, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.data, "1") << name;
    }
    const RawValue unnamed = ReadRaw(kSettingsKey, nullptr);
    EXPECT_TRUE(unnamed.present);
    EXPECT_EQ(unnamed.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(unnamed.data, "");

    m_reg.RegisterAtStartup();
    const std::pair<const char*, std::string> product[] = {
        {"Company", "Marrowick Co., Ltd."}, {"AppName", "Quenzo Lite"}, {"AppExecFileName", "QuenzoLite.exe"},
        {"AppUpdateFileName", "UpdateQuenzoLite.exe"}, {"AppVersion", "1.0.0.1"},
    };
    for (const auto& [name, data] : product) {
        const RawValue value = ReadRaw(kProductKey, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value.data, data) << name;
    }
    for (const char* name : {"Company Homepage", "Quenzo Homepage"})
        EXPECT_EQ(ReadRaw(kProductKey, name).data.rfind("http://", 0), 0u) << name;
}

// Whatever an earlier version or anyone else left as the autostart entry, a start leaves the
// quoted command; an unquoted one (as earlier versions wrote it) is repaired.
TEST_F(RegInfoTest, AutostartEntryIsQuotedAndRepaired)
{
    const std::string earlier[] = {"", "C:\\Program Files\\Marrowick\\QuenzoLite\\QuenzoLite.exe trayOn",
                                   kQuotedAutostart, "C:\\Program.exe trayOn"};
    for (const std::string& before : earlier) {
        if (!before.empty())
            SetRaw(kRunKey, "Quenzo Light", REG_SZ, before);
        m_reg.RegisterAtStartup();
        EXPECT_EQ(ReadRaw(kRunKey, "Quenzo Light").data, kQuotedAutostart) << before;
    }
}

TEST_F(RegInfoTest, InvalidSettingsAreRepairedValidOnesKept)
{
    const struct {
        const char* name;
        std::string stored;
        std::string after;
    } cases[] = {
        {"Method", "01", "1"}, {"Method", " 1", "1"}, {"Method", "14", "1"}, {"Method", "0", "1"},
        {"Method", "", "1"},   {"Method", "1 ", "1"}, {"Method", "13", "13"}, {"Method", "7", "7"},
        {"Persnal", "2", "1"}, {"Persnal", "yes", "1"}, {"Persnal", "", "1"}, {"Persnal", "0", "0"},
        {"Top", "2", "1"},     {"Top", "아니오", "1"},    {"Top", "0", "0"},     {"Top", "1", "1"},
    };
    m_reg.RegisterAtStartup();
    for (const auto& c : cases) {
        SetRaw(kSettingsKey, c.name, REG_SZ, c.stored);
        m_reg.RegisterAtStartup();
        EXPECT_EQ(ReadRaw(kSettingsKey, c.name).data, c.after) << c.name << " \"" << c.stored << '"';
    }
}

// The name match is by bytes, letter case included; the registry itself ignores case, so writing
// the default lands in the differently spelled value, which stays unreadable and is reset every start.
TEST_F(RegInfoTest, NameMatchIsCaseSensitive)
{
    SetRaw(kSettingsKey, "method", REG_SZ, "5");
    EXPECT_EQ(m_reg.ReadSetting("Method"), "");
    EXPECT_EQ(m_reg.ReadSetting("method"), "5");
    m_reg.RegisterAtStartup();
    EXPECT_EQ(ReadRaw(kSettingsKey, "Method").data, "1");
    EXPECT_EQ(m_reg.ReadSetting("Method"), "");
}

// Whatever the stored type, the bytes up to the first zero are the text.
TEST_F(RegInfoTest, NonTextValueIsReadAsItsBytesAndReplaced)
{
    const DWORD five = 5;
    SetRaw(kSettingsKey, "Top", REG_DWORD, std::string(reinterpret_cast<const char*>(&five), sizeof(five)));
    EXPECT_EQ(m_reg.ReadSetting("Top"), "\x05");
    m_reg.RegisterAtStartup();
    const RawValue top = ReadRaw(kSettingsKey, "Top");
    EXPECT_EQ(top.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(top.data, "1");
}

// Data without a terminating zero reads back exactly; data of 256 bytes and more is read whole
// (a fixed 256-byte buffer used to make such reads return garbage).
TEST_F(RegInfoTest, ReadsBackExactlyWhatWasWrittenWhateverItsLength)
{
    m_reg.CreateSettingsKey();
    for (std::size_t length : {1u, 2u, 254u, 255u, 256u, 257u, 300u, 5000u}) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i)
            text += static_cast<char>('a' + i % 26);
        m_reg.WriteString(text, "Marrowick\\QuenzoLite", "Data", "Method");
        EXPECT_EQ(ReadRaw(kSettingsKey, "Method").data.size(), length);
        EXPECT_EQ(m_reg.ReadSetting("Method"), text) << length;
    }
    m_reg.WriteString("퀜조", "Marrowick\\QuenzoLite", "Data", "Persnal");
    EXPECT_EQ(ReadRaw(kSettingsKey, "Persnal").data, "\xB3\x90\xC1\xB6");
    EXPECT_EQ(m_reg.ReadSetting("Persnal"), "퀜조");
    SetRaw(kSettingsKey, "Top", REG_SZ, std::string("1\0garbage", 9));
    EXPECT_EQ(m_reg.ReadSetting("Top"), "1");
}

TEST_F(RegInfoTest, MissingKeysReadEmptyAndAreNeverCreatedByWrites)
{
    EXPECT_EQ(m_reg.ReadSetting("Method"), "");
    EXPECT_FALSE(m_reg.WriteString("1", "Marrowick\\QuenzoLite", "Data", "Method"));
    EXPECT_FALSE(KeyExists("Software\\Marrowick"));
}

// A write says whether it stored the value: one to a key whose security refuses writes, as a key
// locked by policy does, stores nothing and says so.
TEST_F(RegInfoTest, WriteSaysWhetherTheValueWasStored)
{
    m_reg.CreateSettingsKey();
    const struct {
        bool locked;
        bool stored;
        std::string after;
    } cases[] = {{false, true, "new"}, {true, false, "old"}, {false, true, "new"}};
    for (const auto& c : cases) {
        SetRaw(kSettingsKey, "Method", REG_SZ, "old");
        std::optional<RefusedWrites> lock;
        if (c.locked) {
            lock.emplace(kSettingsKey);
            ASSERT_TRUE(lock->Refuses());
        }
        EXPECT_EQ(m_reg.WriteString("new", "Marrowick\\QuenzoLite", "Data", "Method"), c.stored) << c.locked;
        lock.reset();
        EXPECT_EQ(ReadRaw(kSettingsKey, "Method").data, c.after) << c.locked;
    }
}

TEST_F(RegInfoTest, EnumeratesValueNamesRegardlessOfSubkeys)
{
    const auto names = [&](const char* keyPath) {
        HKEY key;
        std::vector<std::string> result;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
        const int count = m_reg.QueryValueCount(key);
        for (int i = -1; i <= count; ++i)
            result.push_back(m_reg.EnumValueName(key, i));
        RegCloseKey(key);
        return result;
    };
    for (const char* keyPath : {"Software\\Marrowick\\Plain", "Software\\Marrowick\\Nested"})
        for (const char* name : {"first", "두번째", "third"})
            SetRaw(keyPath, name, REG_SZ, "x");
    SetRaw("Software\\Marrowick\\Nested\\Child1", "inner", REG_SZ, "y");
    SetRaw("Software\\Marrowick\\Nested\\Child2", "inner", REG_SZ, "y");

    const auto plain = names("Software\\Marrowick\\Plain");
    ASSERT_EQ(plain.size(), 5u);
    EXPECT_EQ(plain.front(), "");  // index -1
    EXPECT_EQ(plain.back(), "");   // index == count
    std::vector<std::string> found(plain.begin() + 1, plain.end() - 1);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"first", "third", "두번째"}));
    EXPECT_EQ(names("Software\\Marrowick\\Nested"), plain);

    SetRaw("Software\\Marrowick\\Empty\\Sub", "v", REG_SZ, "z");
    HKEY empty;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Marrowick\\Empty", 0, KEY_READ, &empty), ERROR_SUCCESS);
    EXPECT_EQ(m_reg.QueryValueCount(empty), 0);
    EXPECT_EQ(m_reg.EnumValueName(empty, 0), "");
    RegCloseKey(empty);
}

// The two diagnostic lines go to standard output (which a windowed program does not have).
TEST_F(RegInfoTest, PrintsItsDiagnosticLines)
{
    SetRaw("Software\\Marrowick\\Diag", "alpha", REG_SZ, "1");
    SetRaw("Software\\Marrowick\\Diag", "beta", REG_SZ, "2");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Marrowick\\Diag", 0, KEY_READ, &key), ERROR_SUCCESS);
    ::testing::internal::CaptureStdout();
    const int count = m_reg.QueryValueCount(key);
    const std::string second = m_reg.EnumValueName(key, 1);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    RegCloseKey(key);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(printed, "\nNumber of values: 2\n\nNumber of values: 2\n(2) " + second + "\n");
}

// However long the folder's name, the updater's path is whole (a 200-byte buffer cut it).
TEST(InstallPaths, UpdaterPathIsWholeWhateverTheProgramFolder)
{
    char saved[1024] = {};
    GetEnvironmentVariableA("ProgramFiles", saved, sizeof(saved));
    const std::string longFolder = "C:\\" + std::string(300, 'p');
    SetEnvironmentVariableA("ProgramFiles", longFolder.c_str());
    EXPECT_EQ(UpdaterPath(), longFolder + "\\Marrowick\\QuenzoLite\\UpdateQuenzoLite.exe");
    SetEnvironmentVariableA("ProgramFiles", saved);
}
