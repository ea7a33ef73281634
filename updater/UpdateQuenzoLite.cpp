// UpdateQuenzoLite.exe: the main program starts it after closing itself. It checks the product
// web site for a newer version and starts that version's setup program; everything else is in
// the update library.
#include "UpdateManifest.h"
#include "Updater.h"
#include "Version.h"
#include "WebAddresses.h"

#include <windows.h>

#include <cstdio>
#include <exception>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        UpdateRequest request;
        request.requireHttps = QUENZO_REQUIRE_HTTPS;
        // The banners come over the site's plain address; the update only over its secure one.
        request.site = request.requireHttps ? HttpsAddressOf(web_addresses::kProductSite) : web_addresses::kProductSite;
        request.currentVersion = product_version::kText;
        const UpdateOutcome outcome = RunUpdate(request);
        return outcome == UpdateOutcome::UpToDate || outcome == UpdateOutcome::SetupStarted ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "UpdateQuenzoLite: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "UpdateQuenzoLite: unexpected error\n");
    }
    return 1;
}
