// UpdateQuenzoLite.exe: the main program starts it after closing itself. It checks the product
// web site for a newer version, asks, downloads it in its progress window and starts that
// version's setup program; everything else is in the update library.
#include "Application.h"
#include "CUpdateProgressDlg.h"
#include "UpdateManifest.h"
#include "Updater.h"
#include "Version.h"
#include "WebAddresses.h"

#include <windows.h>

#include <cstdio>
#include <exception>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    try {
        CWinApplication::Initialize(instance);
        CUpdateProgressDlg progress;
        UpdateRequest request;
        request.watcher = &progress;
        request.requireHttps = QUENZO_REQUIRE_HTTPS;
        // The banners come over the site's plain address; the update only over its secure one.
        request.site = request.requireHttps ? HttpsAddressOf(web_addresses::kProductSite) : web_addresses::kProductSite;
        request.currentVersion = product_version::kText;
        const UpdateOutcome outcome = RunUpdate(request);
        // The user's own "no" and "취소" are no failures.
        switch (outcome) {
        case UpdateOutcome::UpToDate:
        case UpdateOutcome::SetupStarted:
        case UpdateOutcome::Declined:
        case UpdateOutcome::Cancelled:
            return 0;
        default:
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "UpdateQuenzoLite: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "UpdateQuenzoLite: unexpected error\n");
    }
    return 1;
}
