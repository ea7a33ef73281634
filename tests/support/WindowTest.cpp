#include "WindowTest.h"

#include "Dialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>
#include <thread>
#include <utility>

ScriptedPrompts::ScriptedPrompts()
    : m_scope([this](const seams::Prompt& prompt) {
        m_shown.push_back(prompt);
        if (m_whileShown)
            m_whileShown(prompt);
        int answer = (prompt.flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
        for (const auto& [start, button] : m_answers)
            if (prompt.text.rfind(start, 0) == 0) {
                answer = button;
                break;
            }
        ++m_answered;
        return answer;
    })
{
}

void ScriptedPrompts::Answer(const std::string& textStart, int button)
{
    // The latest answer for a text wins: a test may change its mind between two questions.
    m_answers.emplace(m_answers.begin(), textStart, button);
}

std::vector<std::string> ScriptedPrompts::Texts() const
{
    std::vector<std::string> texts;
    for (const auto& prompt : m_shown)
        texts.push_back(prompt.text);
    return texts;
}

bool ScriptedPrompts::WaitUntilAnswered(std::size_t count) const
{
    for (int waited = 0; waited < 10000; waited += 10) {
        if (m_answered >= count)
            return true;
        Sleep(10);
    }
    return false;
}

namespace {

struct Script {
    CDialog* dialog = nullptr;
    std::deque<std::function<void()>> steps;
    int idleTicks = 0;
};
Script* g_script = nullptr;
// A screenshot pumps messages to let the window paint: the script must not take its next step
// meanwhile, or the window may be gone before it is captured.
bool g_scriptHeld = false;

void CALLBACK OnScriptTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!g_script || g_scriptHeld)
        return;
    if (!g_script->steps.empty()) {
        auto step = std::move(g_script->steps.front());
        g_script->steps.pop_front();
        step();
    } else if (++g_script->idleTicks > 100 && g_script->dialog->GetSafeHwnd()) {
        ADD_FAILURE() << "the dialog did not close after its script";
        g_script->dialog->EndDialog(-2);
    }
}

}  // namespace

INT_PTR RunModalScript(CDialog& dialog, HWND owner, std::vector<std::function<void()>> steps)
{
    Script script;
    script.dialog = &dialog;
    script.steps.assign(steps.begin(), steps.end());
    Script* outer = g_script;
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, OnScriptTick);
    const INT_PTR result = dialog.DoModal(owner);
    KillTimer(nullptr, timer);
    g_script = outer;
    return result;
}

namespace {

struct Waiting {
    std::function<bool()> ready;
    const char* what;
    DWORD since = 0;

    void operator()()
    {
        if (!since)
            since = GetTickCount();
        if (ready())
            return;
        if (GetTickCount() - since > 30000) {
            ADD_FAILURE() << "waited in vain: " << what;
            return;
        }
        if (g_script)
            g_script->steps.push_front(*this);
    }
};

}  // namespace

std::function<void()> Until(std::function<bool()> ready, const char* what)
{
    return Waiting{std::move(ready), what};
}

namespace {

// The shown dialog owned by `owner`, or by a dialog it owns (a message box over a dialog).
HWND ShownDialogOf(HWND owner)
{
    HWND found = nullptr;
    for (HWND dialog = nullptr; (dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr));)
        if (IsWindowVisible(dialog) && GetWindow(dialog, GW_OWNER) == owner)
            found = dialog;
    HWND above = found ? ShownDialogOf(found) : nullptr;
    return above ? above : found;
}

}  // namespace

void DriveSystemDialog(HWND owner, const std::function<void()>& open, const std::function<bool(HWND)>& ready,
                       const std::function<void(HWND)>& act, const char* what, DWORD limit)
{
    const HANDLE closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int acts = 0;
    bool overdue = false;
    std::thread user([&] {
        const DWORD start = GetTickCount();
        DWORD lastAct = 0;
        while (WaitForSingleObject(closed, 20) == WAIT_TIMEOUT) {
            const DWORD now = GetTickCount();
            const HWND dialog = ShownDialogOf(owner);
            if (now - start > limit) {
                // The topmost first: a message box keeps its dialog from handling the cancel.
                overdue = true;
                if (dialog)
                    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                WaitForSingleObject(closed, 500);
            } else if (dialog && GetWindow(dialog, GW_OWNER) == owner && (!acts || now - lastAct > 2000) &&
                       ready(dialog)) {
                act(dialog);
                ++acts;
                lastAct = now;
            }
        }
    });
    open();
    SetEvent(closed);
    user.join();
    CloseHandle(closed);
    if (overdue)
        ADD_FAILURE() << what << (acts ? ": still open " : ": not shown and ready ") << limit / 1000
                      << " s after it was opened (acted on " << acts << " times); cancelled";
}

void PumpMessages(unsigned milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

void DropFiles(HWND window, const std::vector<std::string>& paths)
{
    std::string names;
    for (const std::string& path : paths)
        names += path + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

void DropFilesW(HWND window, const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    names += L'\0';
    const std::size_t bytes = names.size() * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), bytes);
    GlobalUnlock(block);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

void ClickButton(HWND dialog, int id, bool post)
{
    const WPARAM command = MAKEWPARAM(id, BN_CLICKED);
    const LPARAM control = reinterpret_cast<LPARAM>(GetDlgItem(dialog, id));
    if (post)
        PostMessageA(dialog, WM_COMMAND, command, control);
    else
        SendMessageA(dialog, WM_COMMAND, command, control);
}

namespace {

// What the screen shows in `rect`, as the rows of a 24-bit bottom-up bitmap of `info`'s size.
std::string ScreenBits(const RECT& rect, const BITMAPINFO& info)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(info.bmiHeader.biWidth) * 3 + 3) / 4) * 4;
    std::string rows(static_cast<const char*>(bits), stride * static_cast<DWORD>(info.bmiHeader.biHeight));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return rows;
}

}  // namespace

void SaveScreenshot(HWND window, const std::string& name)
{
    const char* env = std::getenv("QUENZO_TEST_ENV");
    if (!env || !window)
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT rect{};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = rect.right - rect.left;
    info.bmiHeader.biHeight = rect.bottom - rect.top;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    // The display shows a window's painting a moment after it is done (Wine hands it over from
    // the message loop of the window's thread): the screen is read until three reads 50 ms apart
    // agree, for at most two seconds. A window of this thread is served meanwhile; the script
    // holds its next step, or the window could be gone before it is captured.
    const bool ownThread = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    if (ownThread)
        g_scriptHeld = true;
    std::string bits, previous;
    for (int reads = 0, same = 0; reads < 40 && same < 2; ++reads) {
        if (ownThread)
            PumpMessages(50);
        else
            Sleep(50);  // between two reads of the screen, in the bounded loop above
        previous = std::exchange(bits, ScreenBits(rect, info));
        // All black is a window not yet on the screen, however often it reads the same.
        const bool blank = bits.find_first_not_of('\0') == std::string::npos;
        same = bits == previous && !blank ? same + 1 : 0;
    }
    if (ownThread)
        g_scriptHeld = false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::string unixFolder = std::string(env) + "/screenshots/";
    std::string path = "\\\\?\\unix" + unixFolder + name + ".bmp";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
}
