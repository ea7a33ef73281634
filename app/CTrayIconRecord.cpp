#include "CTrayIconRecord.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace {
constexpr UINT kIconId = 1;
// The record's first version (88 bytes): the shell then uses the short tip; balloons need the
// full record.
constexpr DWORD kShortRecord = NOTIFYICONDATAA_V1_SIZE;

void CopyText(char* target, std::size_t size, const std::string& text)
{
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}
}  // namespace

CTrayIconRecord::~CTrayIconRecord()
{
    if (!m_added)
        return;
    NOTIFYICONDATAA record = Record(kShortRecord);
    Shell_NotifyIconA(NIM_DELETE, &record);
}

UINT CTrayIconRecord::TrayMessage()
{
    static const UINT message = RegisterWindowMessageA("Tray.{47BCDAC1-2E6F-4f9a-9A3F-68A3B97CE33E}");
    return message;
}

NOTIFYICONDATAA CTrayIconRecord::Record(DWORD size) const
{
    NOTIFYICONDATAA record{};
    record.cbSize = size;
    record.hWnd = m_owner;
    record.uID = kIconId;
    return record;
}

bool CTrayIconRecord::AddIcon(HWND owner)
{
    m_owner = owner;
    NOTIFYICONDATAA record = Record(kShortRecord);
    record.uFlags = NIF_MESSAGE;
    record.uCallbackMessage = TrayMessage();
    const bool added = Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
    m_added = m_added || added;
    return added;
}

bool CTrayIconRecord::SetIconAndTip(HICON icon, const std::string& tip)
{
    m_icon = icon;
    m_tip = tip.substr(0, 127);
    NOTIFYICONDATAA record = Record(kShortRecord);
    record.uFlags = NIF_ICON | NIF_TIP;
    record.hIcon = icon;
    CopyText(record.szTip, 64, m_tip);
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

bool CTrayIconRecord::ShowBalloon(const std::string& text, const std::string& title, DWORD infoFlags)
{
    NOTIFYICONDATAA version = Record(kShortRecord);
    version.uVersion = 3;
    Shell_NotifyIconA(NIM_SETVERSION, &version);
    NOTIFYICONDATAA record = Record(NOTIFYICONDATAA_V2_SIZE);
    record.uFlags = NIF_INFO;
    CopyText(record.szInfo, sizeof(record.szInfo), text);
    CopyText(record.szInfoTitle, sizeof(record.szInfoTitle), title);
    record.dwInfoFlags = infoFlags;
    const bool shown = Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
    version.uVersion = 0;
    Shell_NotifyIconA(NIM_SETVERSION, &version);
    return shown;
}

bool CTrayIconRecord::Restore()
{
    if (!m_owner)
        return false;
    return AddIcon(m_owner) && SetIconAndTip(m_icon, m_tip);
}

TrayAction TrayActionFor(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_RBUTTONUP:
        return TrayAction::ShowMenu;
    case WM_LBUTTONDBLCLK:
        return TrayAction::ShowWindow;
    default:
        return TrayAction::None;
    }
}
