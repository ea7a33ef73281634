#pragma once
#include "Dialog.h"

// The personal-information page of the preferences: whether cleaning wipes securely ("Persnal").
// The preferences window saves it on its own OK.
class CQuenzoPersnalDeleteOptionDlg : public CDialog {
public:
    CQuenzoPersnalDeleteOptionDlg();
    bool IsSecureChecked() const;

protected:
    BOOL OnInitDialog() override;
};
