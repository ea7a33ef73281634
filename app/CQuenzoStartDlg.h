#pragma once
#include "Dialog.h"

class CQuenzoFileDeleteDlg;
class CQuenzoOptionDlg;
class CQuenzoPersnalDeleteDlg;

// The program's window until the main window exists: buttons that open the deletion list, the
// personal-information window and the preferences.
class CQuenzoStartDlg : public CDialog {
public:
    CQuenzoStartDlg(CQuenzoFileDeleteDlg& fileDelete, CQuenzoPersnalDeleteDlg& persnalDelete,
                    CQuenzoOptionDlg& options);

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CQuenzoFileDeleteDlg& m_fileDelete;
    CQuenzoPersnalDeleteDlg& m_persnalDelete;
    CQuenzoOptionDlg& m_options;
};
