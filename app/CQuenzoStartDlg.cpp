#include "CQuenzoStartDlg.h"

#include "Application.h"
#include "CQuenzoFileDeleteDlg.h"
#include "CQuenzoOptionDlg.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "resource.h"

CQuenzoStartDlg::CQuenzoStartDlg(CQuenzoFileDeleteDlg& fileDelete, CQuenzoPersnalDeleteDlg& persnalDelete,
                                 CQuenzoOptionDlg& options)
    : CDialog(IDD_QUENZOSTART_DIALOG), m_fileDelete(fileDelete), m_persnalDelete(persnalDelete), m_options(options)
{
}

BOOL CQuenzoStartDlg::OnInitDialog()
{
    SetIcons(LoadIconA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    return TRUE;
}

bool CQuenzoStartDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    switch (id) {
    case IDC_START_FILE_DELETE:
        m_fileDelete.DoModal(m_hWnd);
        return true;
    case IDC_START_PERSNAL_DELETE:
        m_persnalDelete.DoModal(m_hWnd);
        return true;
    case IDC_START_OPTIONS:
        m_options.DoModal(m_hWnd);
        return true;
    default:
        return false;
    }
}
