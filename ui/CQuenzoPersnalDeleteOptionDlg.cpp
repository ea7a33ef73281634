#include "CQuenzoPersnalDeleteOptionDlg.h"

#include "CRegInfo.h"
#include "resource.h"

#include <cstdlib>

CQuenzoPersnalDeleteOptionDlg::CQuenzoPersnalDeleteOptionDlg() : CDialog(IDD_PERSNALDELETE_OPTION) {}

BOOL CQuenzoPersnalDeleteOptionDlg::OnInitDialog()
{
    if (std::atoi(CRegInfo().ReadSetting(registry_layout::kPersnalValue).c_str()) == 1)
        CheckDlgButton(m_hWnd, IDC_PERSNAL_SECURE, BST_CHECKED);
    return TRUE;
}

bool CQuenzoPersnalDeleteOptionDlg::IsSecureChecked() const
{
    return IsDlgButtonChecked(m_hWnd, IDC_PERSNAL_SECURE) == BST_CHECKED;
}
