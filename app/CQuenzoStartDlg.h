#pragma once
#include "Dialog.h"

class CQuenzoFileDeleteDlg;
class CQuenzoOptionDlg;

// The program's window until the main window exists: buttons that open the deletion list and the
// preferences (and, once it exists, the personal-information window).
class CQuenzoStartDlg : public CDialog {
public:
    CQuenzoStartDlg(CQuenzoFileDeleteDlg& fileDelete, CQuenzoOptionDlg& options);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CQuenzoFileDeleteDlg& m_fileDelete;
    CQuenzoOptionDlg& m_options;
};
