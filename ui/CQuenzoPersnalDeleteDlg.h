#pragma once
#include "Dialog.h"

#include <cstdint>

class CPersonalCleaner;

// The personal-information window "개인 정보 삭제": eight check boxes, "모두 삭제" (every target,
// network places too) and "삭제" (the checked ones), each after a confirmation and the browser's
// shutdown. The cleaning runs on this thread; the setting "Persnal" is read afresh for each run.
class CQuenzoPersnalDeleteDlg : public CDialog {
public:
    explicit CQuenzoPersnalDeleteDlg(CPersonalCleaner& cleaner);

    // The cleaning set of the fully checked boxes.
    std::uint32_t CleaningSet() const;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void OnCleanAll();
    void OnCleanSelected();
    // "다른 브라우저…": the modern browsers' window (CBrowserCleanDlg).
    void OnOtherBrowsers();
    void ReportCompletion();

    CPersonalCleaner& m_cleaner;
};
