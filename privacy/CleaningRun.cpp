#include "CleaningRun.h"

#include "CPersonalCleaner.h"
#include "CRegInfo.h"

#include <array>

namespace {

// One target of a run: the operations of its plain and of its secure form, in order (the second
// may be empty). `bit` is the cleaning-set bit that selects it; 0 where a run takes it always.
using CleaningOperation = void (CPersonalCleaner::*)();
struct CleaningStep {
    std::uint32_t bit;
    std::array<CleaningOperation, 2> plain;
    std::array<CleaningOperation, 2> secure;
};

using C = CPersonalCleaner;
constexpr std::uint32_t kAlways = 0;

// "모두 삭제": every target, network places included, the temporary folder third.
const std::array<CleaningStep, 8> kCleanAll = {{
    {kAlways, {&C::CleanInternetCache}, {&C::SecureCleanInternetCache}},
    {kAlways, {&C::CleanCookies}, {&C::SecureCleanCookies}},
    {kAlways, {&C::CleanTempFiles}, {&C::CleanTempFiles}},
    {kAlways, {&C::CleanRecentDocs, &C::ClearRunMru}, {&C::SecureCleanRecentDocs, &C::ClearRunMru}},
    {kAlways, {&C::CleanSavedPasswords, &C::DeleteIntelliForms},
     {&C::SecureCleanSavedPasswords, &C::SecureCleanIntelliForms}},
    {kAlways, {&C::CleanHistory}, {&C::SecureCleanHistory}},
    {kAlways, {&C::CleanNetHood}, {&C::SecureCleanNetHood}},
    {kAlways, {&C::CleanFavorites}, {&C::SecureCleanFavorites}},
}};

// "삭제": the selected targets, the history third and the temporary folder last.
const std::array<CleaningStep, 8> kCleanSelected = {{
    {CLEAN_INTERNET_CACHE, {&C::CleanInternetCache}, {&C::SecureCleanInternetCache}},
    {CLEAN_COOKIES, {&C::CleanCookies}, {&C::SecureCleanCookies}},
    {CLEAN_HISTORY, {&C::CleanHistory}, {&C::SecureCleanHistory}},
    {CLEAN_AUTOCOMPLETE, {&C::DeleteIntelliForms}, {&C::SecureCleanIntelliForms}},
    {CLEAN_SAVED_PASSWORDS, {&C::CleanSavedPasswords}, {&C::SecureCleanSavedPasswords}},
    {CLEAN_RECENT_DOCS, {&C::CleanRecentDocs, &C::ClearRunMru}, {&C::SecureCleanRecentDocs, &C::ClearRunMru}},
    {CLEAN_FAVORITES, {&C::CleanFavorites}, {&C::SecureCleanFavorites}},
    {CLEAN_TEMP_FILES, {&C::CleanTempFiles}, {&C::CleanTempFiles}},
}};

bool ReadSecureSetting(CRegInfo& settings)
{
    return IsSecureCleaningSetting(settings.ReadSetting(registry_layout::kPersnalValue));
}

void RunSteps(CPersonalCleaner& cleaner, const std::array<CleaningStep, 8>& steps, bool secure,
              std::uint32_t cleaningSet)
{
    for (const CleaningStep& step : steps) {
        if (step.bit != kAlways && !(cleaningSet & step.bit))
            continue;
        for (const CleaningOperation operation : secure ? step.secure : step.plain)
            if (operation)
                (cleaner.*operation)();
    }
}

}  // namespace

bool IsSecureCleaningSetting(const std::string& persnal) { return persnal == "1"; }

bool RunCleanAll(CPersonalCleaner& cleaner, CRegInfo& settings)
{
    const bool secure = ReadSecureSetting(settings);
    RunSteps(cleaner, kCleanAll, secure, 0);
    return secure;
}

bool RunCleaning(CPersonalCleaner& cleaner, CRegInfo& settings, std::uint32_t cleaningSet)
{
    const bool secure = ReadSecureSetting(settings);
    RunSteps(cleaner, kCleanSelected, secure, cleaningSet);
    return secure;
}
