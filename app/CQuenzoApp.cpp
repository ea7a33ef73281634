#include "CQuenzoApp.h"

#include "Application.h"
#include "CQuenzoDlg.h"
#include "FreeSpaceWipe.h"
#include "MessageBoxes.h"
#include "resource.h"

#include <winsock2.h>

namespace {

constexpr DWORD kWindowWaitMs = 30000;
constexpr UINT kSendTimeoutMs = 30000;
constexpr DWORD kEndWaitMs = 30000;

bool CopyRuns()
{
    const HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, CQuenzoApp::kMutexName);
    // A copy started elevated (by the setup program) keeps its mutex from us: it still runs.
    if (!running)
        return GetLastError() == ERROR_ACCESS_DENIED;
    CloseHandle(running);
    return true;
}

void ShowRunningCopy()
{
    // A second look costs nothing and catches a copy whose window was just being created; a copy
    // still starting is waited for by WaitForMainWindow, not here.
    HWND window = FindWindowA(nullptr, CQuenzoApp::kMainWindowCaption);
    if (!window)
        window = FindWindowA(nullptr, CQuenzoApp::kMainWindowCaption);
    if (window)
        ShowWindow(window, SW_SHOW);
}

// The running copy's main window, waiting for it while that copy is still starting (its window
// comes after the mutex). Null when it does not come or the copy ends meanwhile.
HWND WaitForMainWindow()
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (const HWND window = FindWindowA(nullptr, CQuenzoApp::kMainWindowCaption))
            return window;
        if (!CopyRuns() || GetTickCount() - start > kWindowWaitMs)
            return nullptr;
        Sleep(50);
    }
}

// Sends one WM_COPYDATA to the running copy's main window; false when no window of ours took it.
bool SendToRunningCopy(HWND window, ULONG_PTR kind, const std::wstring& payload, LRESULT& answer)
{
    if (!window)
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    // The list it opens may come to the front: this process (started by Explorer) may grant that.
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT data{kind, static_cast<DWORD>(payload.size() * sizeof(wchar_t)),
                        payload.empty() ? nullptr : const_cast<wchar_t*>(payload.data())};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, kSendTimeoutMs,
                             &result))
        return false;
    answer = static_cast<LRESULT>(result);
    return answer != 0;
}

int HandOverPaths(const std::vector<std::wstring>& paths)
{
    LRESULT answer = 0;
    if (SendToRunningCopy(WaitForMainWindow(), kAddPathsData, EncodePaths(paths), answer))
        return 0;
    AfxMessageBox("실행 중인 QuenzoLite에 파일을 넘기지 못했습니다.", MB_ICONINFORMATION);
    return 1;
}

int CloseRunningCopy()
{
    if (!CopyRuns())
        return 0;
    const HWND window = WaitForMainWindow();
    DWORD processId = 0;
    if (window)
        GetWindowThreadProcessId(window, &processId);
    const HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    LRESULT answer = 0;
    const bool accepted = SendToRunningCopy(window, kCloseData, L"", answer) && answer == kCloseAccepted;
    if (accepted && process)
        WaitForSingleObject(process, kEndWaitMs);
    if (process)
        CloseHandle(process);
    return CopyRuns() ? 1 : 0;
}

std::string LoadText(UINT id)
{
    char text[256] = {};
    LoadStringA(CWinApplication::Instance(), id, text, sizeof(text));
    return text;
}

}  // namespace

int CQuenzoApp::Run(HINSTANCE instance, const std::string& commandLine, const StartRequest& request)
{
    CWinApplication::Initialize(instance);
    if (request.kind == StartKind::Close)
        return CloseRunningCopy();
    if (!CopyRuns()) {
        m_mutex = CreateMutexA(nullptr, FALSE, kMutexName);
        if (!m_mutex) {
            AfxMessageBox("프로그램 실행에 실패하였습니다.", MB_ICONINFORMATION);
            return 1;
        }
        // Another copy made it first in the meantime: the verb starts a copy for every chosen
        // item at once, and they must end up in one list.
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(m_mutex);
            m_mutex = nullptr;
        }
    }
    if (!m_mutex) {
        if (request.kind == StartKind::Add)
            return HandOverPaths(request.paths);
        ShowRunningCopy();
        return 0;
    }
    WSADATA sockets{};
    if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) {
        AfxMessageBox(LoadText(IDS_SOCKETS_FAILED), MB_OK);
        return 1;
    }
    // A free-space fill that a crash or a power cut interrupted holds its drive full: its files
    // go before anything else runs.
    for (const std::wstring& root : WipeableDrives())
        RemoveLeftoverFill(root);
    {
        // The objects first, in their order, and gone only after the window that uses them.
        ProgramObjects objects;
        CQuenzoDlg main(commandLine, objects);
        if (request.kind == StartKind::Add)
            main.RequestList(request.paths);
        main.DoModal();
    }
    WSACleanup();
    return 0;
}
