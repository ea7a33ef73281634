#pragma once
#include <windows.h>

#include <string>

// The program's registry layout under HKEY_CURRENT_USER, and the class through which the program
// reads and writes it. Every value the program writes is REG_SZ whose data is the text's code page
// 949 bytes without a terminating zero. The operations keep no state: any part may call them.
namespace registry_layout {
// Software\<kSettingsGroup>\<kSettingsSubkey>, spelled out for reading.
constexpr const char* kSettingsKey = "Software\\Marrowick\\QuenzoLite\\Data";
constexpr const char* kProductGroup = "Marrowick";
constexpr const char* kProductSubkey = "QuenzoLite";
constexpr const char* kSettingsGroup = "Marrowick\\QuenzoLite";
constexpr const char* kSettingsSubkey = "Data";
constexpr const char* kRunGroup = "Microsoft\\Windows\\CurrentVersion";
constexpr const char* kRunSubkey = "Run";
constexpr const char* kAutostartValue = "Quenzo Light";
// The path in quotes: unquoted, its blanks make Windows try C:\Program.exe first, and the
// program would not get "trayOn" as its whole argument text.
constexpr const char* kAutostartCommand = "\"C:\\Program Files\\Marrowick\\QuenzoLite\\QuenzoLite.exe\" trayOn";

// The settings, values of the settings key.
constexpr const char* kMethodValue = "Method";
constexpr const char* kPersnalValue = "Persnal";  // spelled so
constexpr const char* kTopValue = "Top";
// The categories last chosen in the other browsers' window (privacy/BrowserStores.h).
constexpr const char* kBrowserCategoriesValue = "BrowserCategories";
}  // namespace registry_layout

class CRegInfo {
public:
    virtual ~CRegInfo() = default;

    // Number of values of the open key; 0 when it has none or cannot be queried. Prints the
    // diagnostic line "\nNumber of values: %d\n" when there are some.
    int QueryValueCount(HKEY key);

    // Name of the value at `index` in the key's enumeration order, or "" when there is none there.
    std::string EnumValueName(HKEY key, int index);

    // Text of the settings value `name` (letter case counts): its bytes up to the first zero byte,
    // whatever the stored type and length. "" when the key or the value is missing.
    std::string ReadSetting(const std::string& name);

    // Stores `text` as REG_SZ value `valueName` of the existing key Software\group\subkey and
    // returns whether it was stored. A key that does not exist is not created, and a key that
    // cannot be opened for full access (one whose security refuses writes) is left as it was.
    bool WriteString(const std::string& text, const std::string& group, const std::string& subkey,
                     const std::string& valueName);

    // Creates the settings key with any missing parents and sets its unnamed value to ""; returns
    // whether both worked.
    bool CreateSettingsKey();

    // Run once at every start: autostart entry (written whole each time, so an earlier unquoted
    // one is repaired), product information (which finds its key only from the second start on),
    // settings key, and repair of invalid "Method", "Persnal", "Top".
    void RegisterAtStartup();
};

// Whether `text` is exactly one of "1" to "13".
bool IsValidMethodText(const std::string& text);
