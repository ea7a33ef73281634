#pragma once
// The registry keys the cleaner works on (all under HKEY_CURRENT_USER) and the marker texts
// written over their values before a secure deletion.
namespace cleaning_targets {

constexpr const char* kTypedUrlsKey = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr const char* kIntelliFormsKey = "Software\\Microsoft\\Internet Explorer\\IntelliForms";
constexpr const char* kRecentDocsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
constexpr const char* kRunMruKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

constexpr const char* kTypedUrlsMarker = "Norvane Vaultine Software";
constexpr const char* kRecentDocsMarker = "Norvane Vaultine Software";
constexpr const char* kIntelliFormsMarker = "Quenzo Light Marrowick Co., Ltd.";

// The Run dialog's list: one value per letter, plus the value that orders them.
constexpr const char* kRunMruLetters = "abcdefghijklmnopqrstuvwxyz";
constexpr const char* kRunMruOrderValue = "MRUList";

// Each overwritten value is written this many times before its key is deleted.
constexpr int kOverwriteCount = 7;

}  // namespace cleaning_targets
