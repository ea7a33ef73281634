#pragma once
#include "BrowserProfiles.h"
#include "Dialog.h"

#include <optional>
#include <vector>

class CRegInfo;
class CSDEngine;

// "다른 브라우저 정리": the browsers' profiles found for the current user (or below `roots`), the
// categories to remove (remembered in the settings, passwords never), then a preview of what goes
// per browser before anything goes, and one report after. The work is privacy/BrowserCleaner's;
// the cleaning runs on this thread in the form the setting "Persnal" chooses.
class CBrowserCleanDlg : public CDialog {
public:
    CBrowserCleanDlg(CSDEngine& engine, CRegInfo& settings, std::optional<BrowserRoots> roots = std::nullopt);

    // The profiles selected in the list and the categories ticked.
    std::vector<BrowserProfile> ChosenProfiles() const;
    unsigned ChosenCategories() const;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnClean();

    CSDEngine& m_engine;
    CRegInfo& m_settings;
    std::optional<BrowserRoots> m_roots;
    FoundProfiles m_found;
};
