#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The update manifest that the product web site serves at /QuenzoLight/update/manifest.txt, and
// the rules around it. No platform calls: everything here is text in, text out.
//
// The manifest is plain ASCII text, one "key=value" a line; blanks around keys and values, blank
// lines, lines starting with "#", a UTF-8 byte order mark and CR LF line ends are allowed. Keys:
//   version=1.0.0.2           the newest version, one to four decimal numbers (each 0 to 65535)
//   setup=QuenzoLiteSetup.exe its setup program: an http(s) address, or one relative to the
//                             manifest's own address ("name" beside it, "/path" on its host)
//   sha256=<64 hex digits>    the setup program's SHA-256
// setup and sha256 are needed only when the version is newer than the running one. Unknown keys
// are ignored, so that later versions can add some; a key given twice makes the manifest invalid.

// Missing trailing numbers count as 0 (1.0 equals 1.0.0.0).
using ProductVersion = std::vector<unsigned>;

std::optional<ProductVersion> ParseVersion(std::string_view text);
// Negative, zero or positive as `a` is older than, equal to or newer than `b`, number by number
// (1.0.0.10 is newer than 1.0.0.9).
int CompareVersions(const ProductVersion& a, const ProductVersion& b);

struct UpdateManifest {
    std::string versionText;
    ProductVersion version;
    std::string setup;   // as written; empty when not given
    std::string sha256;  // lowercase; empty when not given
};

// Nothing when the text breaks the rules above.
std::optional<UpdateManifest> ParseManifest(std::string_view text);

// The address of the manifest under the product web site's address (a trailing "/" of `site` is
// dropped).
std::string ManifestAddress(const std::string& site);

// The setup program's address: `reference` itself when it is an http or https address, else
// resolved against `manifestAddress`. Nothing for any other scheme ("file:", "ftp:") or an empty
// reference.
std::optional<std::string> ResolveSetupAddress(const std::string& manifestAddress, const std::string& reference);

bool IsHttpsAddress(std::string_view address);
// `address` with an http scheme made https; any other address unchanged.
std::string HttpsAddressOf(const std::string& address);
