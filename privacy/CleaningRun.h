#pragma once
#include <cstdint>
#include <string>

class CPersonalCleaner;
class CRegInfo;

// The cleaning set: one bit per check box of the personal-information window.
enum CleaningBit : std::uint32_t {
    CLEAN_INTERNET_CACHE = 0x00000001,
    CLEAN_FAVORITES = 0x00000010,
    CLEAN_COOKIES = 0x00000100,
    CLEAN_HISTORY = 0x00001000,
    CLEAN_AUTOCOMPLETE = 0x00010000,
    CLEAN_SAVED_PASSWORDS = 0x00100000,
    CLEAN_RECENT_DOCS = 0x01000000,
    CLEAN_TEMP_FILES = 0x10000000,
};

// Whether the setting "Persnal" selects the secure forms: exactly the text "1".
bool IsSecureCleaningSetting(const std::string& persnal);

// Both runs read "Persnal" afresh through `settings` and run the plain or the secure form of
// each target, one after another on the calling thread. They return whether the secure forms
// ran. A file error of the engine never leaves them (it is caught per file); anything else that
// is thrown (memory) does, and the caller's message handler must catch it.
bool RunCleanAll(CPersonalCleaner& cleaner, CRegInfo& settings);
bool RunCleaning(CPersonalCleaner& cleaner, CRegInfo& settings, std::uint32_t cleaningSet);
