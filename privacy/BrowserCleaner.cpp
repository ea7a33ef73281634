#include "BrowserCleaner.h"

#include "BrowserDatabase.h"
#include "CSADirRead.h"
#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FileError.h"
#include "FolderPurge.h"
#include "LinkGuard.h"
#include "ShellFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// The files a database keeps beside itself; a store that is a file takes them along.
constexpr const wchar_t* kCompanions[] = {L"", L"-journal", L"-wal", L"-shm"};
// The rebuilt database's name until it takes the old one's place.
constexpr const wchar_t* kRebuiltSuffix = L".quenzo-new";

long long SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(Extended(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The pages whose icons are kept; nothing when the bookmarks cannot be read.
std::optional<KeptPages> KeptPagesOf(const BrowserProfile& profile)
{
    if (InfoOf(profile.kind).family == BrowserFamily::Chromium)
        return ChromiumBookmarkUrls(JoinPath(profile.folder, L"Bookmarks"));
    const std::wstring places = JoinPath(profile.folder, L"places.sqlite");
    return PathExists(places) ? FirefoxBookmarkedUrls(places) : std::optional(KeptPages{});
}

// Calls `visit` with every store of `categories` that a profile of its family has, and its path.
template <typename Visit>
void ForEachStore(const BrowserProfile& profile, unsigned categories, Visit visit)
{
    const BrowserFamily family = InfoOf(profile.kind).family;
    for (const BrowserStore& store : BrowserStores()) {
        const std::wstring& base = store.inLocalFolder ? profile.localFolder : profile.folder;
        if (store.family != family || !(categories & store.category) || base.empty())
            continue;
        visit(store, JoinPath(base, store.path));
    }
}

// One profile's cleaning (or preview): the amounts, and the skipped and leftover lists it fills.
class ProfileRun {
public:
    ProfileRun(const BrowserProfile& profile, BrowserReport& report, CSDEngine* engine, bool secure)
        : m_profile(profile), m_report(report), m_engine(engine), m_secure(secure),
          m_amount{profile.kind, profile.name, 0, 0, 0}
    {
    }

    void Run(unsigned categories)
    {
        // The bookmarks are read only when a database is cleaned: opening one is not free of
        // traces (see PreviewRows).
        std::optional<std::optional<KeptPages>> kept;
        ForEachStore(m_profile, categories, [&](const BrowserStore& store, const std::wstring& path) {
            if (store.kind == StoreKind::Folder) {
                Folder(path);
            } else if (store.kind == StoreKind::File) {
                for (const wchar_t* companion : kCompanions)
                    File(path + companion);
            } else if (PathExists(path) && IsLink(path)) {
                Skip(path, SkipReason::Link);  // SQLite would write wherever it leads
            } else if (PathExists(path)) {
                if (!kept)
                    kept = KeptPagesOf(m_profile);
                if (*kept)
                    Database(path, store.rules, **kept);
                else
                    Skip(path, SkipReason::Unreadable);  // without the bookmarks, no row may go
            }
        });
        m_report.removed.push_back(m_amount);
    }

private:
    bool Previewing() const { return m_engine == nullptr; }
    void Skip(const std::wstring& what, SkipReason reason) { m_report.skipped.push_back({m_profile.kind, what, reason}); }

    void Folder(const std::wstring& path)
    {
        if (!IsFolderPath(path))
            return;
        if (IsLink(path))
            return Skip(path, SkipReason::Link);
        // Judged before anything is wiped: a folder too broad to empty loses nothing at all.
        if (IsTooBroadToEmpty(path))
            return Skip(path, SkipReason::NotCleaned);
        CSADirRead reader;
        reader.CollectFolders(path);
        reader.CollectFiles();
        if (!Previewing()) {
            if (m_secure) {
                CSDEngine::WipeRun run(*m_engine);
                for (const FoundFile& file : reader.Files())
                    Wipe(file, file.path);
                AddLeftovers(run.Finish());
            }
            if (!PurgeFolder(path, true, false))
                Skip(path, SkipReason::NotCleaned);
        }
        bool anyLeft = false;
        for (const FoundFile& file : reader.Files()) {
            if (!Previewing() && PathExists(file.path)) {
                anyLeft = true;
                continue;
            }
            ++m_amount.files;
            m_amount.bytes += static_cast<long long>(file.size);
        }
        if (anyLeft)
            Skip(path, SkipReason::NotCleaned);
    }

    void File(const std::wstring& path)
    {
        const long long size = SizeOf(path);
        if (size < 0)
            return;
        if (!Previewing() && !Remove(path))
            return Skip(path, SkipReason::NotCleaned);
        ++m_amount.files;
        m_amount.bytes += size;
    }

    void Database(const std::wstring& path, RowRules rules, const KeptPages& kept)
    {
        RowCount count;
        if (Previewing())
            count = PreviewRows(path, rules, kept);
        else if (!m_secure)
            count = DeleteRowsInPlace(path, rules, kept);
        else
            count = Rebuild(path, rules, kept);
        if (!count.ok)
            return Skip(path, count.failure);
        m_amount.rows += count.rows;
        m_amount.bytes += count.bytes;
    }

    // The secure form of a database: a rebuilt copy without the rows takes the place of the old
    // file, which is destroyed with its journals. If the old file cannot be destroyed, the copy
    // goes again and the database stays as it was (reported).
    RowCount Rebuild(const std::wstring& path, RowRules rules, const KeptPages& kept)
    {
        const std::wstring rebuilt = path + kRebuiltSuffix;
        // Only a rebuild of ours that was cut short has this name; it holds nothing removed.
        if (PathExists(rebuilt))
            DeletePlainly(rebuilt);
        RowCount count = RebuildWithoutRows(path, rebuilt, rules, kept);
        bool oldGone = count.ok;
        for (const wchar_t* companion : kCompanions)
            if (count.ok && PathExists(path + companion))
                oldGone = Remove(path + companion) && oldGone;
        if (!oldGone || !count.ok) {
            if (PathExists(rebuilt))
                DeletePlainly(rebuilt);
            return count.ok ? RowCount{false, SkipReason::NotCleaned, 0, 0} : count;
        }
        if (!MoveInto(rebuilt, path))
            return {false, SkipReason::NotCleaned, 0, 0};
        return count;
    }

    static bool MoveInto(const std::wstring& from, const std::wstring& to)
    {
        const auto located = Locate(from);
        if (!located)
            return false;
        const Opened opened = OpenLocated(*located, DELETE | SYNCHRONIZE);
        return opened.IsValid() && RenameByHandle(opened.handle.Get(), to) == 0;
    }

    static bool DeletePlainly(const std::wstring& path)
    {
        if (const auto located = Locate(path)) {
            Opened opened = OpenLocated(*located, DELETE);
            if (opened.IsValid() && !(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteByHandle(opened.handle.Get());
        }
        return !PathExists(path);
    }

    // One file gone: wiped in the secure form, deleted in the plain one. Whether it is gone.
    bool Remove(const std::wstring& path)
    {
        if (!m_secure)
            return DeletePlainly(path);
        const auto located = Locate(path);
        if (located)
            Wipe(*located, path);
        return !PathExists(path);
    }

    void Wipe(const LocatedPath& file, const std::wstring& path)
    {
        try {
            AddLeftovers(m_engine->WipeFile(file));
        } catch (const CFileException&) {
            // Another program holds it open; it stays, and the run goes on.
            m_report.leftovers.push_back({path, LeftReason::Rename});
        }
    }

    void AddLeftovers(const WipeResult& result)
    {
        m_report.leftovers.insert(m_report.leftovers.end(), result.leftovers.begin(), result.leftovers.end());
    }

    const BrowserProfile& m_profile;
    BrowserReport& m_report;
    CSDEngine* m_engine;
    bool m_secure;
    RemovedAmount m_amount;
};

std::string Amount(long long bytes)
{
    char text[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(text, sizeof(text), "%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024.0));
    else
        std::snprintf(text, sizeof(text), "%.1f KB", static_cast<double>(bytes) / 1024.0);
    return text;
}

}  // namespace

BrowserReport PreviewBrowserCleaning(const std::vector<BrowserProfile>& profiles, unsigned categories)
{
    BrowserReport report;
    for (const BrowserProfile& profile : profiles)
        ProfileRun(profile, report, nullptr, false).Run(categories);
    return report;
}

BrowserReport CleanBrowsers(CSDEngine& engine, const std::vector<BrowserProfile>& profiles, unsigned categories,
                            bool secure, const KeepWaitingForBrowser& keepWaiting, unsigned waitMs)
{
    BrowserReport report;
    std::vector<BrowserKind> running;
    for (const BrowserInfo& browser : KnownBrowsers()) {
        const bool chosen = std::any_of(profiles.begin(), profiles.end(),
                                        [&](const BrowserProfile& profile) { return profile.kind == browser.kind; });
        const auto ask = [&] { return keepWaiting && keepWaiting(browser.kind); };
        if (chosen && !CloseBrowserWindows(browser.executable, ask, waitMs))
            running.push_back(browser.kind);
    }
    for (const BrowserProfile& profile : profiles) {
        if (std::find(running.begin(), running.end(), profile.kind) != running.end())
            report.skipped.push_back({profile.kind, profile.name, SkipReason::Running});
        else if (!IsFolderPath(profile.folder) || IsLink(profile.folder) ||
                 (!profile.localFolder.empty() && IsLink(profile.localFolder)))
            report.skipped.push_back({profile.kind, profile.folder, SkipReason::Link});
        else
            ProfileRun(profile, report, &engine, secure).Run(categories);
    }
    return report;
}

std::string BrowserReportText(const BrowserReport& report, bool preview)
{
    std::string text = preview ? "다음 항목을 삭제합니다.\n" : "삭제한 항목:\n";
    for (const BrowserInfo& browser : KnownBrowsers()) {
        RemovedAmount total{browser.kind, L"", 0, 0, 0};
        int profiles = 0;
        for (const RemovedAmount& amount : report.removed)
            if (amount.kind == browser.kind) {
                ++profiles;
                total.files += amount.files;
                total.rows += amount.rows;
                total.bytes += amount.bytes;
            }
        if (profiles > 0)
            text += std::string("\n") + browser.name + " (프로필 " + std::to_string(profiles) + "개): 파일 " +
                    std::to_string(total.files) + "개, 기록 " + std::to_string(total.rows) + "건, " +
                    Amount(total.bytes);
    }
    if (!report.skipped.empty() || !report.leftovers.empty())
        text += preview ? "\n\n건너뛸 항목:" : "\n\n건너뛴 항목:";
    for (const SkippedItem& item : report.skipped)
        text += std::string("\n") + InfoOf(item.kind).name + ": " + Narrow949(item.what) + " - " +
                SkipReasonText(item.reason);
    if (!report.leftovers.empty())
        text += RemainingLines(report.leftovers);
    return text;
}
