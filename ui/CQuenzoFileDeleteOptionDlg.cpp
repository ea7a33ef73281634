#include "CQuenzoFileDeleteOptionDlg.h"

#include "CRegInfo.h"
#include "MessageBoxes.h"
#include "MethodCatalogue.h"
#include "resource.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

CQuenzoFileDeleteOptionDlg::CQuenzoFileDeleteOptionDlg() : CDialog(IDD_FILEDELETE_OPTION) {}

BOOL CQuenzoFileDeleteOptionDlg::OnInitDialog()
{
    const HWND trackBar = GetDlgItem(IDC_METHOD_TRACKBAR);
    SendMessageA(trackBar, TBM_SETRANGE, FALSE, MAKELPARAM(FIRST_METHOD, LAST_METHOD));
    m_selectedMethod = std::atoi(CRegInfo().ReadSetting(registry_layout::kMethodValue).c_str());
    SendMessageA(trackBar, TBM_SETPOS, TRUE, m_selectedMethod);
    if (FindMethod(m_selectedMethod))
        ShowMethod(m_selectedMethod);
    SetItemText(IDC_METHOD_NOTE, "참고 : 용량이 클 경우 느려질 수 있습니다.");
    return TRUE;
}

void CQuenzoFileDeleteOptionDlg::ShowMethod(int method)
{
    const WipeMethod* info = FindMethod(method);
    if (!info)
        return;
    SetItemText(IDC_METHOD_NAME, info->displayName);
    SetItemText(IDC_METHOD_SPEED, info->speedLabel);
    SetItemText(IDC_METHOD_PASSES, info->passCountLabel);
}

bool CQuenzoFileDeleteOptionDlg::OnCommand(WORD id, WORD /*code*/, HWND /*control*/)
{
    if (id != IDC_METHOD_SAVE)
        return false;
    SaveMethod();
    return true;
}

bool CQuenzoFileDeleteOptionDlg::StoreShownMethod() const
{
    using namespace registry_layout;
    return !FindMethod(m_selectedMethod) ||
           CRegInfo().WriteString(std::to_string(m_selectedMethod), kSettingsGroup, kSettingsSubkey, kMethodValue);
}

void CQuenzoFileDeleteOptionDlg::SaveMethod()
{
    using namespace registry_layout;
    if (CRegInfo().WriteString(std::to_string(m_selectedMethod), kSettingsGroup, kSettingsSubkey, kMethodValue))
        PlatformMessageBox("저장하였습니다.", "QuenzoLite", MB_TOPMOST | MB_ICONQUESTION);
    else
        PlatformMessageBox("저장하지 못했습니다.", "QuenzoLite", MB_TOPMOST | MB_ICONERROR);
}

bool CQuenzoFileDeleteOptionDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_VSCROLL && reinterpret_cast<HWND>(lParam) == GetDlgItem(IDC_METHOD_TRACKBAR)) {
        const int position = static_cast<int>(SendMessageA(GetDlgItem(IDC_METHOD_TRACKBAR), TBM_GETPOS, 0, 0));
        ShowMethod(position);
        m_selectedMethod = position;
        return false;  // default scroll processing follows
    }
    if (message == WM_CTLCOLORSTATIC) {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != IDC_METHOD_NOTE && id != IDC_METHOD_NAME)
            return false;
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, id == IDC_METHOD_NOTE ? RGB(255, 0, 0) : RGB(0, 0, 255));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
        return true;
    }
    return false;
}
