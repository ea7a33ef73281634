#include "WindowTest.h"

#include "Dialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <fstream>

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

void SaveScreenshot(HWND window, const std::string& name)
{
    const char* env = std::getenv("QUENZO_TEST_ENV");
    if (!env || !window)
        return;
    // Let the window finish painting, and the display catch up with it, before reading the screen.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        g_scriptHeld = true;
        PumpMessages(150);
        g_scriptHeld = false;
    } else {
        Sleep(150);
    }
    GdiFlush();
    RECT rect{};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    std::string unixFolder = std::string(env) + "/screenshots/";
    std::string path = "\\\\?\\unix" + unixFolder + name + ".bmp";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(stride * static_cast<DWORD>(height)));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}
