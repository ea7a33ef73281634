#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

// What a mouse event on the tray icon does.
enum class TrayAction { None, ShowMenu, ShowWindow };
TrayAction TrayActionFor(UINT mouseMessage);

// The notification-area icon of the main window: a plain record with operations, not a window.
// The icon's mouse events come to the owner as the registered tray message (TrayMessage).
class CTrayIconRecord {
public:
    CTrayIconRecord() = default;
    // Removes the icon (the main window's end takes it out of the tray).
    ~CTrayIconRecord();
    CTrayIconRecord(const CTrayIconRecord&) = delete;
    CTrayIconRecord& operator=(const CTrayIconRecord&) = delete;

    // The message the icon's mouse events arrive as: the window message registered under
    // "Tray.{47BCDAC1-2E6F-4f9a-9A3F-68A3B97CE33E}", the mouse message in lParam.
    static UINT TrayMessage();

    // Adds the icon (id 1) for `owner`, without icon or tip yet. Returns whether the shell took it.
    bool AddIcon(HWND owner);
    // Gives the icon its picture and tip (the record keeps at most 127 bytes of the tip; the
    // shell shows at most its first 63 characters).
    bool SetIconAndTip(HICON icon, const std::string& tip);
    // A balloon over the icon, with the icon's behaviour version set to 3 for it and back to 0.
    bool ShowBalloon(const std::string& text, const std::string& title, DWORD infoFlags);
    // Adds the icon again with its last picture and tip: a restarted taskbar has lost it.
    bool Restore();

private:
    NOTIFYICONDATAA Record(DWORD size) const;

    HWND m_owner = nullptr;
    HICON m_icon = nullptr;
    std::string m_tip;
    bool m_added = false;
};
