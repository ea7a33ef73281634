#include "CQuenzoApp.h"

#include "Application.h"
#include "CQuenzoDlg.h"
#include "MessageBoxes.h"
#include "resource.h"

#include <winsock2.h>

namespace {

// Not atomic with the creation below, as the product has it: two copies started at the same
// instant may both run.
bool ShowRunningCopy()
{
    const HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, CQuenzoApp::kMutexName);
    if (!running)
        return false;
    CloseHandle(running);
    HWND window = FindWindowA(nullptr, CQuenzoApp::kMainWindowCaption);
    if (!window)
        window = FindWindowA(nullptr, CQuenzoApp::kMainWindowCaption);
    if (window)
        ShowWindow(window, SW_SHOW);
    return true;
}

std::string LoadText(UINT id)
{
    char text[256] = {};
    LoadStringA(CWinApplication::Instance(), id, text, sizeof(text));
    return text;
}

}  // namespace

int CQuenzoApp::Run(HINSTANCE instance, const std::string& commandLine)
{
    CWinApplication::Initialize(instance);
    if (ShowRunningCopy())
        return 0;
    m_mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    if (!m_mutex) {
        AfxMessageBox("프로그램 실행에 실패하였습니다.", MB_ICONINFORMATION);
        return 1;
    }
    WSADATA sockets{};
    if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
        AfxMessageBox(LoadText(IDS_SOCKETS_FAILED), MB_OK);
        return 1;
    }
    {
        CQuenzoDlg main(commandLine);
        main.DoModal();
    }
    WSACleanup();
    return 0;
}
