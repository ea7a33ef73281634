#include "FreeSpaceWipe.h"

#include "CSDEngine.h"
#include "Cp949Text.h"
#include "ExactPath.h"
#include "LinkGuard.h"
#include "MethodCatalogue.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>

namespace {

// Large enough that a pass is one long sequential write; small enough that cancelling waits for
// one pass of one file at most, and that a FAT32 drive (files below 4 GiB) takes it.
constexpr ULONGLONG kFillFileBytes = 64ull << 20;
// A small file's data: resident in an NTFS file record (1 KiB, of which about 700 bytes hold
// data beside its names), so each one overwrites most of a free record.
constexpr DWORD kSmallFileBytes = 640;
// A bound for file systems whose file table grows without end (Linux ones under Wine).
constexpr std::size_t kMaxSmallFiles = 500000;
constexpr std::size_t kSmallFilesPerReport = 256;
// The fill folder where a file system refuses the name FillFolderName().
constexpr const wchar_t* kAsciiFillFolder = L"QuenzoLite free space";

// Our file names: a letter and seven digits, short names that FAT stores in one entry. Only
// names of this form are ever deleted from a leftover fill folder.
std::wstring OurName(wchar_t kind, std::size_t index)
{
    wchar_t name[16];
    std::swprintf(name, 16, L"%c%07u", kind, static_cast<unsigned>(index));
    return name;
}

bool IsOurName(std::wstring_view name)
{
    return name.size() == 8 && (name[0] == L'F' || name[0] == L'S') &&
           std::all_of(name.begin() + 1, name.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool IsNoRoom(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL || error == ERROR_CANNOT_MAKE;
}

DWORD ClusterBytesOf(const std::wstring& root)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters) ||
        sectorsPerCluster * bytesPerSector == 0)
        return 4096;
    return sectorsPerCluster * bytesPerSector;
}

// The engine's own pass writer, watched: every pass that lands is counted and reported, and a
// cancel is honoured before the next pass starts.
class FillEngine : public CSDEngine {
public:
    FillEngine(int method, FreeSpaceObserver& observer, FreeSpaceResult& result, FreeSpaceProgress& progress)
        : CSDEngine([method] { return method; }, 0), m_observer(observer), m_result(result), m_progress(progress)
    {
    }

    // Runs the whole schedule over one fill file of `size` bytes. Returns 0, ERROR_CANCELLED, or
    // the error of the pass that failed.
    DWORD Fill(const LocatedPath& file, ULONGLONG size, int method)
    {
        m_size = size;
        m_error = 0;
        if (RunSchedule(file, method))
            return 0;
        return m_error ? m_error : ERROR_WRITE_FAULT;
    }

    bool WritePass(const LocatedPath& file, const PatternBuffer& pattern) override
    {
        if (m_observer.Cancelled()) {
            m_error = ERROR_CANCELLED;
            return false;
        }
        if (!CSDEngine::WritePass(file, pattern)) {
            // A write cut short fails the pass without an error code (Wine hands on what Linux
            // wrote): the file system had no room for the rest.
            m_error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
            return false;
        }
        m_result.bytesWritten += m_size;
        m_progress.written = m_result.bytesWritten;
        m_progress.total = std::max(m_progress.total, m_progress.written);
        m_observer.Progress(m_progress);
        return true;
    }

private:
    FreeSpaceObserver& m_observer;
    FreeSpaceResult& m_result;
    FreeSpaceProgress& m_progress;
    ULONGLONG m_size = 0;
    DWORD m_error = 0;
};

// Gives the new, empty file at `path` a length of `size` bytes, with its clusters allocated where
// the file system allocates ahead (a file system that cannot leaves it sparse, and the first pass
// allocates it). Returns 0 or the platform's error.
DWORD SizeNewFile(const std::wstring& path, ULONGLONG size)
{
    ScopedHandle file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return GetLastError();
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(file.Get(), FileAllocationInfo, &allocation, sizeof(allocation)) &&
        IsNoRoom(GetLastError()))
        return GetLastError();
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get()))
        return GetLastError();
    return 0;
}

// Cuts a fill file that a pass could not write to its end down to `size` bytes.
bool Shorten(const LocatedPath& file, ULONGLONG size)
{
    const Opened opened = OpenLocated(file, GENERIC_WRITE, 0);
    if (!opened.IsValid())
        return false;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(opened.handle.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(opened.handle.Get());
}

// Deletes one file of ours through a handle that was checked to land where we made it, so that a
// link put in its place is never followed. True when it is gone.
bool DeleteOurs(const LocatedPath& file)
{
    {
        Opened opened = OpenLocated(file, DELETE | GENERIC_WRITE);
        if (!opened.IsValid())
            return opened.failure == OpenFailure::Missing;
        if (opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY)
            return false;
        // Its clusters go first: on a full drive a file system may need room to remove a name
        // (ntfs-3g fails the removal itself, silently, when the handle closes).
        LARGE_INTEGER start{};
        if (opened.facts.size > 0 && SetFilePointerEx(opened.handle.Get(), start, nullptr, FILE_BEGIN))
            SetEndOfFile(opened.handle.Get());
        if (!DeleteByHandle(opened.handle.Get()))
            return false;
    }
    return !PathExists(file.path);
}

// Deletes every file of ours in the located fill folder, then the folder. True when it is gone.
bool ReleaseFolder(const LocatedPath& folder)
{
    std::vector<std::wstring> names;
    ForEachEntry(folder.path, [&](const WIN32_FIND_DATAW& found) {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            IsOurName(found.cFileName))
            names.push_back(found.cFileName);
    });
    // A delete that failed on the full drive is tried again once the others have given back
    // their room.
    for (int round = 0; round < 3 && !names.empty(); ++round)
        std::erase_if(names, [&](const std::wstring& name) { return DeleteOurs(Child(folder, name)); });
    bool holdsSomething = false;
    ForEachEntry(folder.path, [&](const WIN32_FIND_DATAW&) { holdsSomething = true; });
    const Opened opened = OpenLocated(folder, DELETE);
    if (!opened.IsValid())
        return opened.failure == OpenFailure::Missing;
    if (!(opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY) || holdsSomething)
        return false;
    return DeleteByHandle(opened.handle.Get()) || !PathExists(folder.path);
}

// Makes small files in the folder until the drive takes no more (or the bound), each with data
// that stays inside its file record, flushed so that the data reaches the disk before the delete.
void MakeSmallFiles(const LocatedPath& folder, FreeSpaceObserver& observer, FreeSpaceResult& result,
                    FreeSpaceProgress& progress)
{
    const std::vector<unsigned char> zeros(kSmallFileBytes, 0x00);
    for (std::size_t index = 1; index <= kMaxSmallFiles; ++index) {
        if (observer.Cancelled()) {
            result.cancelled = true;
            return;
        }
        const std::wstring path = Child(folder, OurName(L'S', index)).path;
        ScopedHandle file(CreateFileW(Extended(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) {
            result.recordsExhausted = IsNoRoom(GetLastError());
            return;
        }
        ++result.smallFiles;
        // With no cluster free, data that does not fit the record cannot be written; the record
        // itself is taken all the same.
        DWORD written = 0;
        if (WriteFile(file.Get(), zeros.data(), kSmallFileBytes, &written, nullptr))
            FlushFileBuffers(file.Get());
        if (index % kSmallFilesPerReport == 0) {
            progress.smallFiles = result.smallFiles;
            observer.Progress(progress);
        }
    }
}

// Fills the free space, file after file, each file given the whole schedule before the next.
void FillDrive(const std::wstring& root, const LocatedPath& folder, int method, FreeSpaceObserver& observer,
               FreeSpaceResult& result, FreeSpaceProgress& progress)
{
    const ULONGLONG cluster = ClusterBytesOf(root);
    FillEngine engine(method, observer, result, progress);
    for (std::size_t index = 1;; ++index) {
        if (observer.Cancelled()) {
            result.cancelled = true;
            return;
        }
        // The end is where the drive refuses room, not where it says it has none: a driver may
        // report nothing free (fusefat) or keep room it does not report. A drive that says it is
        // full is asked for a whole fill file all the same, halved down to a cluster.
        const ULONGLONG free = FreeBytesOf(root);
        ULONGLONG size = free < cluster ? kFillFileBytes : std::min(kFillFileBytes, free - free % cluster);
        const LocatedPath file = Child(folder, OurName(L'F', index));
        DWORD error = SizeNewFile(file.path, size);
        if (IsNoRoom(error) && !PathExists(file.path)) {
            result.reachedEnd = true;  // not even an entry for one more file
            return;
        }
        // The file's own records may take a cluster or two of what was free: ask for less. Any
        // refusal counts, as fusefat refuses a length beyond its room with "access denied"; one
        // that holds down to a single cluster is a real error.
        while (error && size > cluster && PathExists(file.path)) {
            size = std::max(cluster, (size / 2) - (size / 2) % cluster);
            error = Shorten(file, size) ? 0 : GetLastError();
        }
        for (;;) {
            // fusefat refuses room with "access denied" and reports nothing free at any time: with
            // nothing free reported, its refusal of one cluster is taken for the end.
            const bool noRoom = IsNoRoom(error) || (error == ERROR_ACCESS_DENIED && FreeBytesOf(root) < cluster);
            if (noRoom && size <= cluster) {
                result.reachedEnd = true;
                return;
            }
            if (error) {
                result.error = error;
                return;
            }
            error = engine.Fill(file, size, method);
            if (error == ERROR_CANCELLED) {
                result.cancelled = true;
                return;
            }
            if (!IsNoRoom(error))
                break;
            // A file system that allocates only as it writes ran out inside the pass.
            if (size <= cluster)
                continue;
            size = std::max(cluster, (size / 2) - (size / 2) % cluster);
            error = Shorten(file, size) ? 0 : GetLastError();
        }
        if (error) {
            result.error = error;
            return;
        }
        result.filled += size;
    }
}

}  // namespace

std::wstring FillFolderName() { return Widen949("QuenzoLite 빈 공간"); }

std::optional<std::wstring> DriveRootOf(const std::wstring& given)
{
    if (given.size() < 2 || given.size() > 3 || !std::iswalpha(given[0]) || given[0] > L'z' || given[1] != L':')
        return std::nullopt;
    if (given.size() == 3 && given[2] != L'\\' && given[2] != L'/')
        return std::nullopt;
    return std::wstring(1, static_cast<wchar_t>(std::towupper(given[0]))) + L":\\";
}

FreeSpaceRefusal JudgeFreeSpaceDrive(const std::wstring& root)
{
    if (DriveRootOf(root) != root)
        return FreeSpaceRefusal::NotADriveRoot;
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_FIXED:
    case DRIVE_REMOVABLE:
    case DRIVE_RAMDISK:
        break;
    case DRIVE_REMOTE:
        return FreeSpaceRefusal::NotLocal;
    default:
        return FreeSpaceRefusal::NotWritable;
    }
    DWORD flags = 0;
    if (GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        (flags & FILE_READ_ONLY_VOLUME))
        return FreeSpaceRefusal::ReadOnly;
    return FreeSpaceRefusal::None;
}

std::vector<std::wstring> WipeableDrives()
{
    // Every letter is asked: Wine leaves a drive made after the start out of GetLogicalDrives. An
    // empty removable drive must fail quietly, not ask for a disk.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
    std::vector<std::wstring> roots;
    for (int i = 0; i < 26; ++i) {
        const std::wstring root = std::wstring(1, static_cast<wchar_t>(L'A' + i)) + L":\\";
        if (JudgeFreeSpaceDrive(root) == FreeSpaceRefusal::None)
            roots.push_back(root);
    }
    SetThreadErrorMode(previousMode, nullptr);
    return roots;
}

ULONGLONG FreeBytesOf(const std::wstring& root)
{
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free))
        return 0;
    return available.QuadPart;
}

bool RemoveLeftoverFill(const std::wstring& root)
{
    bool gone = true;
    for (const std::wstring& name : {FillFolderName(), std::wstring(kAsciiFillFolder)}) {
        const std::wstring path = JoinPath(root, name);
        if (!PathExists(path))
            continue;
        const auto folder = Locate(path);
        gone = folder && !IsLink(path) && ReleaseFolder(*folder) && gone;
    }
    return gone;
}

FreeSpaceResult WipeFreeSpace(const std::wstring& root, int method, FreeSpaceObserver& observer)
{
    FreeSpaceResult result;
    result.refusal = JudgeFreeSpaceDrive(root);
    if (result.refusal != FreeSpaceRefusal::None)
        return result;
    if (!RemoveLeftoverFill(root)) {
        result.refusal = FreeSpaceRefusal::FolderInUse;
        return result;
    }
    result.passes = ListedPassCount(method) + 1;
    result.freeAtStart = FreeBytesOf(root);
    std::wstring path = JoinPath(root, FillFolderName());
    bool made = CreateDirectoryW(Extended(path).c_str(), nullptr) != FALSE;
    if (!made && GetLastError() == ERROR_ACCESS_DENIED) {
        // A driver that takes ASCII names only (Linux's fusefat) refuses the Korean one.
        path = JoinPath(root, kAsciiFillFolder);
        made = CreateDirectoryW(Extended(path).c_str(), nullptr) != FALSE;
    }
    if (!made) {
        const DWORD error = GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT)
            result.refusal = FreeSpaceRefusal::ReadOnly;
        else if (IsNoRoom(error) && FreeBytesOf(root) < ClusterBytesOf(root))
            result.reachedEnd = true;  // not a cluster free: there is nothing to overwrite
        else
            result.error = error;
        return result;
    }
    const auto folder = Locate(path);
    if (!folder) {
        result.error = GetLastError();
        result.released = !PathExists(path);
        return result;
    }
    FreeSpaceProgress progress;
    progress.total = result.freeAtStart * static_cast<ULONGLONG>(result.passes);
    FillDrive(root, *folder, method, observer, result, progress);
    if (result.reachedEnd && !result.cancelled)
        MakeSmallFiles(*folder, observer, result, progress);
    result.released = ReleaseFolder(*folder);
    return result;
}

std::string BytesText(ULONGLONG bytes)
{
    static const char* const units[] = {"바이트", "KB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024.0 && unit < 4) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    if (unit == 0)
        std::snprintf(text, sizeof(text), "%llu %s", bytes, units[0]);
    else
        std::snprintf(text, sizeof(text), "%.1f %s", value, units[unit]);
    return text;
}

std::string WrittenText(const FreeSpaceProgress& progress)
{
    if (progress.smallFiles > 0)
        return "작은 파일 " + std::to_string(progress.smallFiles) + "개를 만들었습니다";
    const unsigned percent = progress.total ? static_cast<unsigned>(progress.written * 100 / progress.total) : 0;
    return BytesText(progress.written) + " / " + BytesText(progress.total) + " (" + std::to_string(percent) + "%)";
}

std::string TimeLeftText(const FreeSpaceProgress& progress, ULONGLONG elapsedMs)
{
    if (progress.written == 0 || elapsedMs < 1000 || progress.written >= progress.total)
        return "";
    const ULONGLONG seconds =
        static_cast<ULONGLONG>(static_cast<double>(elapsedMs) / 1000.0 *
                               static_cast<double>(progress.total - progress.written) / static_cast<double>(progress.written));
    std::string text = "남은 시간 ";
    if (seconds >= 3600)
        text += std::to_string(seconds / 3600) + "시간 ";
    if (seconds >= 60)
        text += std::to_string(seconds / 60 % 60) + "분 ";
    return text + std::to_string(seconds % 60) + "초";
}

std::string FreeSpaceReport(const FreeSpaceResult& result)
{
    switch (result.refusal) {
    case FreeSpaceRefusal::NotADriveRoot:
        return "드라이브 문자(예: D:)를 지정하십시오. 폴더나 공유는 지울 수 없습니다.";
    case FreeSpaceRefusal::NotLocal:
        return "네트워크 드라이브의 빈 공간은 지울 수 없습니다.";
    case FreeSpaceRefusal::NotWritable:
        return "이 드라이브에는 쓸 수 없습니다.";
    case FreeSpaceRefusal::ReadOnly:
        return "읽기 전용이거나 쓰기가 허용되지 않는 드라이브입니다. 아무것도 쓰지 않았습니다.";
    case FreeSpaceRefusal::FolderInUse:
        return "이전 작업의 폴더(" + Narrow949(FillFolderName()) + ")를 지울 수 없습니다.";
    case FreeSpaceRefusal::None:
        break;
    }
    std::string text = "빈 공간 " + BytesText(result.filled) + "에 " + std::to_string(result.passes) + "번, 모두 " +
                       BytesText(result.bytesWritten) + "를 썼습니다.\n";
    if (result.cancelled)
        text += "취소되었습니다: 드라이브 끝까지 채우지 못했습니다.\n";
    else if (result.reachedEnd)
        text += "드라이브 끝까지 채웠습니다. 작은 파일 " + std::to_string(result.smallFiles) + "개" +
                (result.recordsExhausted ? "로 파일 목록의 빈 자리까지 채웠습니다.\n" : "를 만들었습니다.\n");
    else
        text += "드라이브 끝까지 채우지 못했습니다.\n";
    if (result.error)
        text += "오류 " + std::to_string(result.error) + "로 멈췄습니다.\n";
    text += result.released ? "만든 파일은 모두 지웠습니다." : "만든 파일이 남아 있습니다. 다음 시작 때 지웁니다.";
    return text;
}
