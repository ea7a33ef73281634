#include "Dialog.h"

#include "Application.h"
#include "Unhandled.h"
#include "Window.h"

#include <vector>

CDialog::~CDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) {
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialog::DoModal(HWND owner)
{
    m_modal = true;
    m_endModal = false;
    m_result = -1;
    if (!CreateDialogParamA(CWinApplication::Instance(), MAKEINTRESOURCEA(m_templateId), owner, DialogProc,
                            reinterpret_cast<LPARAM>(this)))
        return -1;
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    if (!m_endModal)
        ShowWindow(m_hWnd, SW_SHOW);

    MSG message;
    // m_hWnd goes null when the window is destroyed, which ends the loop as EndDialog does.
    while (!m_endModal && m_hWnd) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // let the outer loop see it too
            break;
        }
        if (got < 0)
            break;
        if (IsOwnMessage(message) && PreTranslateMessage(message))
            continue;
        if (!IsDialogMessageA(m_hWnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    // The owner must be enabled before this window goes, or Windows activates some other window.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (owner)
        SetActiveWindow(owner);
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    m_modal = false;
    return m_result;
}

bool CDialog::Create(HWND parent)
{
    m_modal = false;
    return CreateDialogParamA(CWinApplication::Instance(), MAKEINTRESOURCEA(m_templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_result = result;
    if (m_modal) {
        m_endModal = true;
        // Wake the loop in case this came from another thread's message.
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd && m_hiddenWhenEnded) {
        ShowWindow(m_hWnd, SW_HIDE);
    } else if (m_hWnd) {
        DestroyWindow(m_hWnd);
    }
}

std::string CDialog::GetItemText(int id) const
{
    const HWND item = GetDlgItem(id);
    const int length = GetWindowTextLengthA(item);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    GetWindowTextA(item, text.data(), length + 1);
    return text.data();
}

void CDialog::SetItemText(int id, const std::string& text) const { SetDlgItemTextA(m_hWnd, id, text.c_str()); }

void CDialog::SetIcons(HICON icon)
{
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CDialog::UseIcon(UINT resourceId)
{
    m_icon = LoadIconA(CWinApplication::Instance(), MAKEINTRESOURCEA(resourceId));
    SetIcons(m_icon);
}

bool CDialog::PaintIconWhenMinimized(HICON icon)
{
    if (!IsIconic(m_hWnd))
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(m_hWnd, &paint);
    return true;
}

bool CDialog::IsOwnMessage(const MSG& message) const
{
    return message.hwnd && m_hWnd && (message.hwnd == m_hWnd || IsChild(m_hWnd, message.hwnd));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = window;
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!dialog)
        return FALSE;
    try {
        return dialog->Dispatch(message, wParam, lParam);
    } catch (...) {
        ReportUnhandled("a dialog");
    }
    return FALSE;
}

INT_PTR CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        const WORD id = LOWORD(wParam);
        if (OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam)))
            return TRUE;
        if (id == IDOK) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY:
        if (OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    case WM_TIMER:
        return OnTimer(wParam) ? TRUE : FALSE;
    case WM_PAINT:
        if (m_icon && PaintIconWhenMinimized(m_icon))
            return TRUE;
        break;
    case WM_DRAWITEM:
        // A control that draws itself is asked to, wherever the request arrives.
        if (CWindow* control = CWindow::FromHandle(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem)) {
            control->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_NCDESTROY:
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        return FALSE;
    default:
        break;
    }
    if (OnMessage(message, wParam, lParam, result)) {
        // Messages whose result is the dialog procedure's own return value.
        switch (message) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    return FALSE;
}
