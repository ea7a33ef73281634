#pragma once
#include "Dialog.h"

// The method page of the preferences: a track bar over the thirteen methods, the chosen
// method's catalogue texts, and a button that saves it as "Method".
class CQuenzoFileDeleteOptionDlg : public CDialog {
public:
    CQuenzoFileDeleteOptionDlg();
    // Stores the method the page shows as "Method", quietly. A number outside the catalogue (the
    // setting was invalid and the track bar never moved) is not stored. False when the write failed.
    bool StoreShownMethod() const;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void ShowMethod(int method);
    void SaveMethod();

    int m_selectedMethod = 0;
};
