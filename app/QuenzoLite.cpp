// QuenzoLite's entry point. The long-lived objects are created once, in the order the main window
// will create them, and live until the program ends.
#include "Application.h"
#include "CQuenzoFileDeleteDlg.h"
#include "CPersonalCleaner.h"
#include "CQuenzoOptionDlg.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "CQuenzoStartDlg.h"
#include "CRegInfo.h"
#include "CSDEngine.h"

#include <windows.h>

#include <cstdio>
#include <exception>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try {
        CWinApplication::Initialize(instance);
        CRegInfo().RegisterAtStartup();
        CQuenzoFileDeleteDlg fileDelete;
        CQuenzoOptionDlg options;
        CSDEngine engine([&fileDelete] { return fileDelete.CurrentMethod(); });
        fileDelete.SetEngine(&engine);
        CPersonalCleaner cleaner(engine);
        CQuenzoPersnalDeleteDlg persnalDelete(cleaner);
        CQuenzoStartDlg start(fileDelete, persnalDelete, options);
        start.DoModal();
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "QuenzoLite: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "QuenzoLite: unexpected error\n");
    }
    return 1;
}
