#pragma once
#include "CQuenzoFileDeleteOptionDlg.h"
#include "CQuenzoPersnalDeleteOptionDlg.h"
#include "Dialog.h"
#include "Owned.h"

#include <commctrl.h>

#include <memory>

// The preferences window "환경설정": a list of two pages on the left, the selected page on the
// right. Its OK saves "Persnal"; the method page saves "Method" with its own button.
class CQuenzoOptionDlg : public CDialog {
public:
    CQuenzoOptionDlg();
    ~CQuenzoOptionDlg() override;

    CQuenzoFileDeleteOptionDlg* MethodPage() const { return m_methodPage.get(); }
    CQuenzoPersnalDeleteOptionDlg* PersnalPage() const { return m_persnalPage.get(); }

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(const NMHDR& header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateMessage(MSG& message) override;
    // Only 확인 and 취소 close this window: Enter and Escape do not.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void SetUpPageList();
    void SetUpSeparator();
    void ShowPage(int index);

    std::unique_ptr<CQuenzoFileDeleteOptionDlg> m_methodPage;
    std::unique_ptr<CQuenzoPersnalDeleteOptionDlg> m_persnalPage;
    ScopedFont m_separatorFont;
};
