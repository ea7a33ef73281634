#include "Startup.h"

#include "Application.h"
#include "CPersonalCleaner.h"
#include "CQuenzoFileDeleteDlg.h"
#include "CQuenzoOptionDlg.h"
#include "CQuenzoPersnalDeleteDlg.h"
#include "CQuenzoStartDlg.h"
#include "CRegInfo.h"
#include "CSDEngine.h"

// The long-lived objects are created once, in the order the main window will create them, and
// live until the program ends.
int RunQuenzoLite(HINSTANCE instance, const char* /*commandLine*/)
{
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
}
