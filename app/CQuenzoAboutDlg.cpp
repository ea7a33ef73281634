#include "CQuenzoAboutDlg.h"

#include "Application.h"
#include "Gdi.h"
#include "Seams.h"
#include "resource.h"

namespace {

constexpr unsigned kFadeStepMs = 10;

// Looked up at every call rather than linked: a platform without layered windows fails here
// alone, and the program still starts.
void SetLayeredAlpha(HWND window, BYTE alpha)
{
    const HMODULE user32 = LoadLibraryA("USER32.DLL");
    if (!user32)
        return;
    using SetAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const auto set = reinterpret_cast<SetAttributes>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (set) {
        SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
        set(window, 0, alpha, LWA_ALPHA);
    }
    FreeLibrary(user32);
}

}  // namespace

CQuenzoAboutDlg::CQuenzoAboutDlg() : CDialog(IDD_QUENZOABOUT_DIALOG), m_white(CreateSolidBrush(RGB(255, 255, 255)))
{
    // It lives for the program's life: its end (a click) only hides it.
    SetHiddenWhenEnded(true);
}

CQuenzoAboutDlg::~CQuenzoAboutDlg() = default;

BOOL CQuenzoAboutDlg::OnInitDialog()
{
    m_picture.Reset(static_cast<HBITMAP>(
        LoadImageA(CWinApplication::Instance(), MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info{};
    if (m_picture.IsValid() && GetObjectA(m_picture.Get(), sizeof(info), &info))
        m_pictureSize = {info.bmWidth, info.bmHeight};
    GetWindowRect(m_hWnd, &m_windowRect);
    SetWindowLongA(m_hWnd, GWL_STYLE, GetWindowLongA(m_hWnd, GWL_STYLE) & ~WS_SYSMENU);
    // Centred on the desktop, wherever the main window is (or while it hides in the tray).
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int width = m_windowRect.right - m_windowRect.left;
    const int height = m_windowRect.bottom - m_windowRect.top;
    SetWindowPos(m_hWnd, nullptr, desktop.left + (desktop.right - desktop.left - width) / 2,
                 desktop.top + (desktop.bottom - desktop.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CQuenzoAboutDlg::SetTransparency(int percent, HWND window)
{
    SetLayeredAlpha(window, static_cast<BYTE>(percent * 255 / 100));
}

void CQuenzoAboutDlg::FadeIn()
{
    ShowWindow(m_hWnd, SW_SHOW);
    for (const BYTE alpha : FadeAlphas()) {
        SetLayeredAlpha(m_hWnd, alpha);
        seams::Pause(kFadeStepMs);
    }
}

void CQuenzoAboutDlg::Paint()
{
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(m_hWnd, &paint);
    DrawBitmapAtOrigin(dc, m_picture.Get(), m_pictureSize);
    EndPaint(m_hWnd, &paint);
}

bool CQuenzoAboutDlg::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& result)
{
    switch (message) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<LRESULT>(m_white.Get());
        return true;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        // Any style bit outside the caption's, which this popup always has: the frame is never
        // painted, the window turns fully transparent instead and stays shown.
        if (GetWindowLongA(m_hWnd, GWL_STYLE) & 0xFF3FFFFF) {
            SetTransparency(0, m_hWnd);
            result = TRUE;
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
        OnOK();
        return false;
    default:
        return false;
    }
}

std::vector<BYTE> FadeAlphas()
{
    std::vector<BYTE> alphas;
    for (unsigned v = 0; v < 25500; v += 255)
        alphas.push_back(static_cast<BYTE>(v / 100));
    return alphas;
}
