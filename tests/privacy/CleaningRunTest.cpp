#include "CPersonalCleaner.h"
#include "CRegInfo.h"
#include "CleaningRun.h"
#include "PrivacyTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

constexpr std::uint32_t kEveryBox = CLEAN_INTERNET_CACHE | CLEAN_FAVORITES | CLEAN_COOKIES | CLEAN_HISTORY |
                                    CLEAN_AUTOCOMPLETE | CLEAN_SAVED_PASSWORDS | CLEAN_RECENT_DOCS | CLEAN_TEMP_FILES;

class CleaningRunTest : public ::testing::Test {
protected:
    Calls Run(const char* persnal, bool all, std::uint32_t set = 0)
    {
        SetPersnal(persnal);
        RecordingCleaner cleaner(m_engine);
        if (all)
            RunCleanAll(cleaner, m_settings);
        else
            RunCleaning(cleaner, m_settings, set);
        return cleaner.calls;
    }

    Sandbox m_sandbox;
    RecordingEngine m_engine{13};
    CRegInfo m_settings;
};

}  // namespace

// Each box alone cleans its own target; bits outside the eight, and an empty set, clean nothing. The
// two buttons clean in different orders: delete-all (`all`) takes the temporary folder third, the
// history after the saved passwords and network places, which no box selects; delete-selected takes
// the history third and the temporary folder last.
TEST_F(CleaningRunTest, EachBoxRunsItsOwnTargetAndBothButtonsKeepTheirOrder)
{
    const struct {
        std::uint32_t set;
        Calls plain;
        Calls secure;
        bool all = false;
    } cases[] = {
        {CLEAN_INTERNET_CACHE, {"CleanInternetCache"}, {"SecureCleanInternetCache"}},
        {CLEAN_FAVORITES, {"CleanFavorites"}, {"SecureCleanFavorites"}},
        {CLEAN_COOKIES, {"CleanCookies"}, {"SecureCleanCookies"}},
        {CLEAN_HISTORY, {"CleanHistory"}, {"SecureCleanHistory"}},
        {CLEAN_AUTOCOMPLETE, {"DeleteIntelliForms"}, {"SecureCleanIntelliForms"}},
        {CLEAN_SAVED_PASSWORDS, {"CleanSavedPasswords"}, {"SecureCleanSavedPasswords"}},
        {CLEAN_RECENT_DOCS, {"CleanRecentDocs", "ClearRunMru"}, {"SecureCleanRecentDocs", "ClearRunMru"}},
        {CLEAN_TEMP_FILES, {"CleanTempFiles"}, {"CleanTempFiles"}},
        {CLEAN_FAVORITES | CLEAN_INTERNET_CACHE, {"CleanInternetCache", "CleanFavorites"},
         {"SecureCleanInternetCache", "SecureCleanFavorites"}},
        {0, {}, {}},
        {~kEveryBox, {}, {}},
        {kEveryBox,
         {"CleanInternetCache", "CleanCookies", "CleanHistory", "DeleteIntelliForms", "CleanSavedPasswords",
          "CleanRecentDocs", "ClearRunMru", "CleanFavorites", "CleanTempFiles"},
         {"SecureCleanInternetCache", "SecureCleanCookies", "SecureCleanHistory", "SecureCleanIntelliForms",
          "SecureCleanSavedPasswords", "SecureCleanRecentDocs", "ClearRunMru", "SecureCleanFavorites",
          "CleanTempFiles"}},
        {0,
         {"CleanInternetCache", "CleanCookies", "CleanTempFiles", "CleanRecentDocs", "ClearRunMru",
          "CleanSavedPasswords", "DeleteIntelliForms", "CleanHistory", "CleanNetHood", "CleanFavorites"},
         {"SecureCleanInternetCache", "SecureCleanCookies", "CleanTempFiles", "SecureCleanRecentDocs", "ClearRunMru",
          "SecureCleanSavedPasswords", "SecureCleanIntelliForms", "SecureCleanHistory", "SecureCleanNetHood",
          "SecureCleanFavorites"},
         true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run("0", c.all, c.set), c.plain) << std::hex << c.set << (c.all ? " all" : "");
        EXPECT_EQ(Run("1", c.all, c.set), c.secure) << std::hex << c.set << (c.all ? " all" : "");
    }
}

// Only the text "1" selects the secure forms, and the setting is read afresh for every run.
TEST_F(CleaningRunTest, PersnalExactlyOneSelectsTheSecureForms)
{
    const struct {
        const char* persnal;
        bool secure;
    } cases[] = {
        {"1", true}, {"0", false}, {"", false}, {"1 ", false}, {" 1", false}, {"01", false}, {"2", false}, {nullptr, false},
    };
    for (const auto& c : cases) {
        const char* shown = c.persnal ? c.persnal : "(missing)";
        EXPECT_EQ(Run(c.persnal, false, CLEAN_COOKIES), Calls{c.secure ? "SecureCleanCookies" : "CleanCookies"}) << shown;
        EXPECT_EQ(Run(c.persnal, true).front(), c.secure ? "SecureCleanInternetCache" : "CleanInternetCache") << shown;
    }
    SetValue("Software\\Marrowick\\QuenzoLite\\Data", "Persnal", REG_DWORD, std::string("\x01\x00\x00\x00", 4));
    RecordingCleaner cleaner(m_engine);
    EXPECT_FALSE(RunCleaning(cleaner, m_settings, CLEAN_COOKIES));
    EXPECT_EQ(cleaner.calls, Calls{"CleanCookies"});
}
