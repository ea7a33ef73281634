#include "Updater.h"

#include "HttpFetch.h"
#include "ScopedHandle.h"
#include "Seams.h"
#include "Sha256.h"
#include "UpdateManifest.h"

#include <windows.h>

#include <optional>

namespace {

constexpr char kCaption[] = "Quenzo Light";
constexpr std::uint64_t kManifestLimit = 64 * 1024;
constexpr std::uint64_t kSetupLimit = 256ull * 1024 * 1024;
constexpr int kNameTries = 100;
constexpr char kOwnFolder[] = "QuenzoLiteUpdate";
// The names this program gives its files in its folder: the partial download and the setup.
constexpr const char* kOwnFilePatterns[] = {"QuenzoLiteUpdate-*.part", "QuenzoLiteSetup-*.exe"};

struct OutcomeText {
    UpdateOutcome outcome;
    const char* text;
    unsigned icon;
};
constexpr OutcomeText kOutcomeTexts[] = {
    {UpdateOutcome::UpToDate, "최신 버전입니다.", MB_ICONINFORMATION},
    {UpdateOutcome::SetupStarted, "", 0},
    {UpdateOutcome::Declined, "", 0},
    {UpdateOutcome::Cancelled, "", 0},
    {UpdateOutcome::Unreachable, "업데이트 서버에 연결할 수 없습니다. 인터넷 연결을 확인해 주십시오.", MB_ICONERROR},
    {UpdateOutcome::ManifestUnreadable, "업데이트 정보를 읽을 수 없습니다. 잠시 후 다시 시도해 주십시오.", MB_ICONERROR},
    {UpdateOutcome::NotSecure, "보안 연결(https)이 아닌 주소의 업데이트 파일은 받지 않습니다.", MB_ICONERROR},
    {UpdateOutcome::DownloadFailed, "업데이트 파일을 내려받지 못했습니다. 잠시 후 다시 시도해 주십시오.", MB_ICONERROR},
    {UpdateOutcome::ChecksumMismatch, "내려받은 업데이트 파일이 손상되어 설치하지 않았습니다.", MB_ICONERROR},
    {UpdateOutcome::CannotSave, "업데이트 파일을 임시 폴더에 저장할 수 없습니다.", MB_ICONERROR},
    {UpdateOutcome::CannotStart, "설치 프로그램을 실행할 수 없습니다.", MB_ICONERROR},
};

const OutcomeText& TextOf(UpdateOutcome outcome)
{
    for (const OutcomeText& entry : kOutcomeTexts)
        if (entry.outcome == outcome)
            return entry;
    return kOutcomeTexts[0];
}

UpdateOutcome Tell(UpdateOutcome outcome)
{
    const OutcomeText& entry = TextOf(outcome);
    if (*entry.text)
        seams::ShowPrompt(seams::PromptKind::Platform, entry.text, kCaption, MB_OK | entry.icon | MB_TOPMOST);
    return outcome;
}

// Code page 949 text of a wide name, or nothing when a character would be best-fitted.
std::optional<std::string> ExactNarrow(const std::wstring& wide)
{
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(949, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (size <= 0 || lossy)
        return std::nullopt;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(949, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow.data(), size, nullptr, &lossy);
    narrow.resize(static_cast<std::size_t>(size) - 1);
    return lossy ? std::nullopt : std::optional<std::string>(narrow);
}

// The Windows temporary folder, with a trailing backslash, in a form the narrow functions reach
// exactly: the short name where the long one holds characters that code page 949 lacks.
std::optional<std::string> TemporaryFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    if (length == 0 || length > MAX_PATH)
        return std::nullopt;
    if (auto narrow = ExactNarrow(path))
        return narrow;
    wchar_t shortPath[MAX_PATH + 1] = {};
    const DWORD shortLength = GetShortPathNameW(path, shortPath, MAX_PATH + 1);
    if (shortLength == 0 || shortLength > MAX_PATH)
        return std::nullopt;
    return ExactNarrow(shortPath);
}

// The update program's folder, with a trailing backslash; nothing when the temporary folder has
// no name the narrow functions reach.
std::optional<std::string> DownloadFolder(const UpdateRequest& request)
{
    std::optional<std::string> folder = request.downloadFolder;
    if (request.downloadFolder.empty()) {
        folder = TemporaryFolder();
        if (folder)
            *folder += kOwnFolder;
    }
    if (folder && folder->back() != '\\')
        *folder += '\\';
    return folder;
}

// Deletes what an earlier run left in `folder`: its setup (which the setup program, still
// running then, could not have deleted itself) and a partial download. A file that is in use (a
// setup still running) stays until a later run.
void RemoveEarlierDownloads(const std::string& folder)
{
    for (const char* pattern : kOwnFilePatterns) {
        WIN32_FIND_DATAA found;
        const HANDLE find = FindFirstFileA((folder + pattern).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + found.cFileName).c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
}

// A file of a new name in `folder`, created empty for writing: nothing that was there is opened.
std::optional<std::pair<std::string, ScopedHandle>> CreateFreshFile(const std::string& folder)
{
    for (int n = 0; n < kNameTries; ++n) {
        const std::string name = folder + "QuenzoLiteUpdate-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount()) + "-" + std::to_string(n) + ".part";
        ScopedHandle file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (file.IsValid())
            return std::make_pair(name, std::move(file));
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

// Renames the finished download to an .exe name of its own beside it, never over an existing
// file; nothing when no name is free or the rename fails (the download stays where it was).
std::optional<std::string> MoveToSetupName(const std::string& download, const std::string& folder,
                                           const std::string& version)
{
    for (int n = 1; n <= kNameTries; ++n) {
        const std::string name = folder + "QuenzoLiteSetup-" + version + (n == 1 ? "" : " (" + std::to_string(n) + ")") +
                                 ".exe";
        if (MoveFileExA(download.c_str(), name.c_str(), 0))
            return name;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

UpdateOutcome OutcomeOfSetupFetch(FetchStatus status)
{
    switch (status) {
    case FetchStatus::Ok:
        return UpdateOutcome::SetupStarted;
    case FetchStatus::Unreachable:
        return UpdateOutcome::Unreachable;
    case FetchStatus::NotSecure:
        return UpdateOutcome::NotSecure;
    case FetchStatus::Refused:
        return UpdateOutcome::CannotSave;
    case FetchStatus::Cancelled:
        return UpdateOutcome::Cancelled;
    case FetchStatus::NotFound:
    case FetchStatus::Incomplete:
    case FetchStatus::TooLarge:
        break;
    }
    return UpdateOutcome::DownloadFailed;
}

// Downloads (in the watcher's window, when there is one), checks and starts the setup program;
// the file is deleted on every failure but a failed start of a file that stays locked by another
// program.
UpdateOutcome InstallSetup(const UpdateRequest& request, const std::string& folder, const UpdateManifest& manifest,
                           const std::string& address)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    auto fresh = CreateFreshFile(folder);
    if (!fresh)
        return UpdateOutcome::CannotSave;
    auto& [download, out] = *fresh;
    FetchOptions options{kSetupLimit, request.requireHttps, {}};
    if (request.watcher)
        options.progress = [watcher = request.watcher](std::uint64_t received, std::uint64_t announced) {
            return watcher->Report(received, announced);
        };
    FetchStatus status = FetchStatus::Unreachable;
    const auto fetch = [&] {
        status = Fetch(address, options, [&out](const char* bytes, std::size_t count) {
            DWORD written = 0;
            return WriteFile(out.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
        });
    };
    if (request.watcher)
        request.watcher->Watch(manifest.versionText, fetch);
    else
        fetch();
    // A stop asked for while the transfer was stuck counts, however the transfer then ended.
    if (request.watcher && request.watcher->CancelRequested())
        status = FetchStatus::Cancelled;
    const bool flushed = status == FetchStatus::Ok && FlushFileBuffers(out.Get());
    out.Close();
    if (status != FetchStatus::Ok || !flushed) {
        DeleteFileA(download.c_str());
        return status != FetchStatus::Ok ? OutcomeOfSetupFetch(status) : UpdateOutcome::CannotSave;
    }

    const std::optional<std::string> setup = MoveToSetupName(download, folder, manifest.versionText);
    if (!setup) {
        DeleteFileA(download.c_str());
        return UpdateOutcome::CannotSave;
    }
    // Held open without write sharing from the check to the start: what runs is what was checked.
    ScopedHandle held(CreateFileA(setup->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::optional<std::string> digest = held.IsValid() ? Sha256OfFile(held.Get()) : std::nullopt;
    if (!digest || *digest != manifest.sha256) {
        held.Close();
        DeleteFileA(setup->c_str());
        return digest ? UpdateOutcome::ChecksumMismatch : UpdateOutcome::CannotSave;
    }
    const bool started = seams::StartProgram(*setup, "");
    held.Close();
    if (!started) {
        DeleteFileA(setup->c_str());
        return UpdateOutcome::CannotStart;
    }
    return UpdateOutcome::SetupStarted;
}

// The question before a newer version is downloaded, which names it.
std::string NewVersionQuestion(const std::string& version)
{
    return "새 버전 " + version + "가 있습니다. 지금 설치하시겠습니까?";
}

UpdateOutcome CheckAndInstall(const UpdateRequest& request, const std::optional<std::string>& folder)
{
    const std::string manifestAddress = ManifestAddress(request.site);
    // The manifest names the setup and its checksum: whoever could change it in transit could name
    // a setup of their own with a matching checksum, so where https is required it holds here too.
    if (request.requireHttps && !IsHttpsAddress(manifestAddress))
        return UpdateOutcome::NotSecure;
    std::string text;
    const FetchStatus status = FetchText(manifestAddress, {kManifestLimit, request.requireHttps, {}}, text);
    if (status == FetchStatus::Unreachable)
        return UpdateOutcome::Unreachable;
    if (status == FetchStatus::NotSecure)
        return UpdateOutcome::NotSecure;
    const std::optional<UpdateManifest> manifest = status == FetchStatus::Ok ? ParseManifest(text) : std::nullopt;
    const std::optional<ProductVersion> current = ParseVersion(request.currentVersion);
    if (!manifest || !current)
        return UpdateOutcome::ManifestUnreadable;
    if (CompareVersions(manifest->version, *current) <= 0)
        return UpdateOutcome::UpToDate;
    if (manifest->setup.empty() || manifest->sha256.empty())
        return UpdateOutcome::ManifestUnreadable;
    const std::optional<std::string> address = ResolveSetupAddress(manifestAddress, manifest->setup);
    if (!address)
        return UpdateOutcome::ManifestUnreadable;
    if (request.requireHttps && !IsHttpsAddress(*address))
        return UpdateOutcome::NotSecure;
    if (seams::ShowPrompt(seams::PromptKind::Platform, NewVersionQuestion(manifest->versionText), kCaption,
                          MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) != IDYES)
        return UpdateOutcome::Declined;
    if (!folder)
        return UpdateOutcome::CannotSave;
    return InstallSetup(request, *folder, *manifest, *address);
}

}  // namespace

const char* OutcomeMessage(UpdateOutcome outcome)
{
    return TextOf(outcome).text;
}

UpdateOutcome RunUpdate(const UpdateRequest& request)
{
    const std::optional<std::string> folder = DownloadFolder(request);
    if (folder)
        RemoveEarlierDownloads(*folder);
    const UpdateOutcome outcome = CheckAndInstall(request, folder);
    if (folder && outcome != UpdateOutcome::SetupStarted)
        RemoveDirectoryA(folder->c_str());
    return Tell(outcome);
}
