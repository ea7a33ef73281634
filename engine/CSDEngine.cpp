#include "CSDEngine.h"

#include "Cp949Text.h"
#include "CrtRandom.h"
#include "ExactPath.h"
#include "FileError.h"
#include "HandleOps.h"
#include "Seams.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {


// Reads the file from its start to `size` in calls as large as `buffer`, discarding what it reads.
bool ReadThrough(HANDLE file, ULONGLONG size, std::vector<unsigned char>& buffer)
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    ULONGLONG total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return false;
        if (got == 0)
            break;
        total += got;
    }
    return true;
}

// Writes the pattern again and again from the file's start until `size` bytes are out, in calls of
// up to a whole number of patterns: every call starts at a multiple of the pattern's length, so
// each byte is the one a pattern-sized call would have written at that offset.
bool WriteRepeated(HANDLE file, const PatternBuffer& pattern, ULONGLONG size, std::vector<unsigned char>& buffer)
{
    const ULONGLONG patterns = std::max<ULONGLONG>(1, (size + pattern.size() - 1) / pattern.size());
    const std::size_t span = static_cast<std::size_t>(std::min<ULONGLONG>(patterns, CSDEngine::PATTERNS_PER_CALL)) *
                             pattern.size();
    for (std::size_t at = 0; at < span; at += pattern.size())
        std::copy(pattern.begin(), pattern.end(), buffer.begin() + static_cast<std::ptrdiff_t>(at));
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    ULONGLONG remaining = size;
    while (remaining > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(remaining, span));
        DWORD written = 0;
        if (!WriteFile(file, buffer.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        remaining -= chunk;
    }
    return true;
}

// A file that stays keeps the read-only bit it came with; the passes had to clear it.
void RestoreReadOnly(const LocatedPath& file, DWORD originalAttributes)
{
    if (!(originalAttributes & FILE_ATTRIBUTE_READONLY))
        return;
    const Opened opened = OpenLocated(file, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (opened.IsValid())
        SetAttributesByHandle(opened.handle.Get(), opened.facts.attributes | FILE_ATTRIBUTE_READONLY);
}

}  // namespace

WipeResult CSDEngine::NotLocated(const std::wstring& path)
{
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return WipeResult::Gone();
    return WipeResult::Left(path, error == ERROR_INVALID_NAME ? LeftReason::InvalidPath : LeftReason::InUse);
}

WipeResult CSDEngine::NotOpened(const LocatedPath& entry, OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::Missing:
        return WipeResult::Gone();
    case OpenFailure::Elsewhere:
        return RemoveLinkItself(entry.path) ? WipeResult::Gone() : WipeResult::Left(entry.path, LeftReason::Link);
    default:
        return WipeResult::Left(entry.path, LeftReason::InUse);
    }
}

Opened CSDEngine::OpenWipeable(const LocatedPath& file, DWORD access, DWORD share, WipeResult& refusal)
{
    Opened opened = OpenLocated(file, access | FILE_READ_ATTRIBUTES, share);
    if (!opened.IsValid())
        refusal = NotOpened(file, opened.failure);
    else if (opened.facts.attributes & FILE_ATTRIBUTE_DIRECTORY)
        refusal = WipeResult::Left(file.path, LeftReason::WrongKind);
    else if (opened.facts.links > 1)
        refusal = WipeResult::Left(file.path, LeftReason::HardLinks);
    else
        return opened;
    opened.handle.Close();
    return opened;
}

std::optional<DWORD> CSDEngine::CheckedAttributes(const LocatedPath& file, WipeResult& refusal)
{
    const Opened opened = OpenWipeable(file, 0, kShareAll, refusal);
    if (!opened.IsValid())
        return std::nullopt;
    return opened.facts.attributes;
}

CSDEngine::CSDEngine(MethodAccessor currentMethod, unsigned closingPassPauseMs)
    : m_currentMethod(std::move(currentMethod)), m_closingPassPauseMs(closingPassPauseMs)
{
}

CSDEngine::~CSDEngine()
{
    if (m_runDepth > 0) {
        m_runDepth = 1;
        m_occupant = GetCurrentThreadId();
        FinishRun();
    }
}

bool CSDEngine::Enter()
{
    const DWORD self = GetCurrentThreadId();
    DWORD none = 0;
    if (m_occupant.load() != self && !m_occupant.compare_exchange_strong(none, self))
        return false;
    ++m_entries;
    return true;
}

void CSDEngine::Leave()
{
    if (--m_entries == 0)
        m_occupant = 0;
}

bool CSDEngine::BeginRun()
{
    if (!Enter())
        return false;
    ++m_runDepth;
    return true;
}

WipeResult CSDEngine::FinishRun()
{
    if (m_runDepth == 0 || m_occupant.load() != GetCurrentThreadId())
        return WipeResult::Gone();
    struct LeaveAtEnd {
        CSDEngine& engine;
        ~LeaveAtEnd() { engine.Leave(); }
    } leave{*this};
    if (--m_runDepth > 0)
        return WipeResult::Gone();
    WipeResult result = WipeResult::Gone();
    for (const DeferredScrub& deferred : std::exchange(m_deferred, {})) {
        std::vector<FreedName> plan = m_scrubs.Plan(deferred.folder.path, deferred.freed);
        WipeResult scrub = ScrubNames(deferred.folder, plan);
        // The names of several files lay side by side, so their entries make long free runs. The
        // plan, longest first, may fill such a run short of its end, and the last entries keep a
        // piece of a name (exFAT: a name entry or two). The same names again, shortest first, fill
        // every run to another end.
        if (deferred.freed.size() > 2 && scrub.leftovers.empty()) {
            std::stable_sort(plan.begin(), plan.end(),
                             [](const FreedName& a, const FreedName& b) { return a.length < b.length; });
            scrub = ScrubNames(deferred.folder, plan);
        }
        result.leftovers.insert(result.leftovers.end(), scrub.leftovers.begin(), scrub.leftovers.end());
    }
    return result;
}

WipeResult CSDEngine::ScrubOrDefer(const LocatedPath& folder, const std::vector<FreedName>& freed)
{
    if (freed.empty())
        return WipeResult::Gone();
    if (m_runDepth == 0)
        return ScrubNames(folder, m_scrubs.Plan(folder.path, freed));
    auto deferred = std::find_if(m_deferred.begin(), m_deferred.end(), [&](const DeferredScrub& earlier) {
        return SamePathText(earlier.folder.landing, folder.landing);
    });
    if (deferred == m_deferred.end())
        deferred = m_deferred.insert(m_deferred.end(), {folder, {}});
    deferred->freed.insert(deferred->freed.end(), freed.begin(), freed.end());
    return WipeResult::Gone();
}

void CSDEngine::TakeDeferred(const LocatedPath& folder, std::vector<FreedName>& freed)
{
    const auto deferred = std::find_if(m_deferred.begin(), m_deferred.end(), [&](const DeferredScrub& earlier) {
        return SamePathText(earlier.folder.landing, folder.landing);
    });
    if (deferred == m_deferred.end())
        return;
    freed.insert(freed.begin(), deferred->freed.begin(), deferred->freed.end());
    m_deferred.erase(deferred);
}

WipeResult CSDEngine::WipeFile(const std::wstring& path)
{
    const auto file = Locate(path);
    return file ? WipeFile(*file) : NotLocated(path);
}

WipeResult CSDEngine::WipeFile(const LocatedPath& file)
{
    const Inside inside(*this);
    if (!inside)
        return WipeResult::Left(file.path, LeftReason::Busy);
    std::vector<FreedName> freed;
    WipeResult result = WipeFileKeepingSlots(file, freed);
    return ScrubAfterFile(file, std::move(result), freed);
}

WipeResult CSDEngine::ScrubAfterFile(const LocatedPath& file, WipeResult result, const std::vector<FreedName>& freed)
{
    const LocatedPath folder{ParentOf(file.path), ParentOf(file.landing)};
    const WipeResult scrub = ScrubOrDefer(folder, freed);
    result.leftovers.insert(result.leftovers.end(), scrub.leftovers.begin(), scrub.leftovers.end());
    return result;
}

WipeResult CSDEngine::WipeFileKeepingSlots(const LocatedPath& file, std::vector<FreedName>& freed)
{
    WipeResult refusal;
    const auto attributes = CheckedAttributes(file, refusal);
    if (!attributes)
        return refusal;
    const int method = m_currentMethod();
    if (FindMethod(method) && !RunSchedule(file, method)) {
        RestoreReadOnly(file, *attributes);
        return WipeResult::Left(file.path, LeftReason::Overwrite);
    }
    return FinishFile(file, *attributes, freed);
}

bool CSDEngine::RunSchedule(const LocatedPath& file, int method)
{
    const Inside inside(*this);
    const WipeMethod* schedule = FindMethod(method);
    if (!inside || !schedule)
        return false;
    if (HasRandomPasses(*schedule))
        CrtRandom::Seed(seams::ClockSeconds());

    // The first pass opens and checks the file; the later ones write through that same handle.
    HeldFile held{file, ScopedHandle()};
    m_held = &held;
    struct Release {
        HeldFile*& slot;
        ~Release() { slot = nullptr; }
    } release{m_held};

    auto buffer = std::make_unique<PatternBuffer>();
    for (const Pass& pass : schedule->passes) {
        FillPassBuffer(pass, *buffer);
        if (!WritePass(file, *buffer))
            return false;
    }
    buffer->fill(0x00);
    if (m_closingPassPauseMs > 0)
        seams::Pause(m_closingPassPauseMs);
    return WritePass(file, *buffer);
}

bool CSDEngine::WritePass(const LocatedPath& file, const PatternBuffer& pattern)
{
    // Within a schedule every pass after the first writes through the first one's handle: nothing
    // can be swapped in under a handle, nobody else can open the file in between, and a pass saves
    // an open, a check of where it lands and a close, which under Wine cost more than the pass's
    // own reading and writing of a small file.
    const bool heldBySchedule = m_held && m_held->file.path == file.path && m_held->file.landing == file.landing;
    ScopedHandle ownHandle;
    ScopedHandle& handle = heldBySchedule ? m_held->handle : ownHandle;
    if (!handle.IsValid())
        handle = OpenForPasses(file);
    if (!handle.IsValid())
        return false;
    // Asked again before every pass: a name given to the data meanwhile would share it.
    const auto facts = FactsOf(handle.Get());
    if (!facts || (facts->attributes & FILE_ATTRIBUTE_DIRECTORY) || facts->links > 1)
        return false;
    if ((facts->attributes & FILE_ATTRIBUTE_READONLY) &&
        !SetAttributesByHandle(handle.Get(), facts->attributes & ~FILE_ATTRIBUTE_READONLY))
        return false;
    if (m_ioBuffer.empty())
        m_ioBuffer.resize(PATTERNS_PER_CALL * PATTERN_BUFFER_SIZE);
    // Reading the whole file first keeps partly overwritten pages from being read back one by one.
    if (!ReadThrough(handle.Get(), facts->size, m_ioBuffer) ||
        !WriteRepeated(handle.Get(), pattern, facts->size, m_ioBuffer))
        return false;
    // Without a flush the file cache would fold all the passes of a schedule into one write.
    return FlushFileBuffers(handle.Get()) != FALSE;
}

ScopedHandle CSDEngine::OpenForPasses(const LocatedPath& file)
{
    // Checked to land where the walk listed the file, and shared with nobody: a file that another
    // program has open is left alone, and nobody else can open it until its passes are done.
    // Opened in place: a truncating open would let the file system hand the file fresh clusters
    // and keep the old contents on the disk.
    constexpr DWORD kAccess = GENERIC_READ | GENERIC_WRITE | FILE_WRITE_ATTRIBUTES;
    WipeResult refusal;
    if (Opened opened = OpenWipeable(file, kAccess, 0, refusal); opened.IsValid())
        return std::move(opened.handle);
    // Windows opens a read-only file for reading only: its bit goes first, through a handle that
    // asks for the attributes alone.
    const Opened attributes = OpenLocated(file, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (!attributes.IsValid() || !(attributes.facts.attributes & FILE_ATTRIBUTE_READONLY) ||
        !SetAttributesByHandle(attributes.handle.Get(), attributes.facts.attributes & ~FILE_ATTRIBUTE_READONLY))
        return ScopedHandle();
    return std::move(OpenWipeable(file, kAccess, 0, refusal).handle);
}

std::optional<std::string> CSDEngine::ReadScheduledFile()
{
    if (!m_held || !m_held->handle.IsValid())
        return std::nullopt;
    const auto facts = FactsOf(m_held->handle.Get());
    LARGE_INTEGER start{};
    if (!facts || !SetFilePointerEx(m_held->handle.Get(), start, nullptr, FILE_BEGIN))
        return std::nullopt;
    std::string contents(static_cast<std::size_t>(facts->size), '\0');
    DWORD got = 0;
    if (!ReadFile(m_held->handle.Get(), contents.data(), static_cast<DWORD>(contents.size()), &got, nullptr))
        return std::nullopt;
    contents.resize(got);
    return contents;
}

std::wstring CSDEngine::ScrambledPath(const std::wstring& path)
{
    const std::string& digest = m_digest.HashToHex(DigestInput(path));
    return JoinPath(ParentOf(path), std::wstring(digest.begin(), digest.end()));
}

WipeResult CSDEngine::ScrambleAndDelete(const LocatedPath& file)
{
    const Inside inside(*this);
    if (!inside)
        return WipeResult::Left(file.path, LeftReason::Busy);
    WipeResult refusal;
    const auto attributes = CheckedAttributes(file, refusal);
    if (!attributes)
        return refusal;
    std::vector<FreedName> freed;
    WipeResult result = FinishFile(file, *attributes, freed);
    return ScrubAfterFile(file, std::move(result), freed);
}

WipeResult CSDEngine::FinishFile(const LocatedPath& file, DWORD originalAttributes, std::vector<FreedName>& freed)
{
    const std::wstring scrambledPath = ScrambledPath(file.path);
    const LocatedPath scrambled{scrambledPath, JoinPath(ParentOf(file.landing), NameOf(scrambledPath))};
    {
        // The rename goes through the handle that was checked, so a link swapped in meanwhile
        // cannot be what moves.
        WipeResult refusal;
        const Opened opened = OpenWipeable(file, DELETE, kShareAll, refusal);
        if (!opened.IsValid())
            return refusal;
        if (const DWORD error = RenameByHandle(opened.handle.Get(), scrambled.path))
            throw CFileException(error, Narrow949(file.path));
    }
    freed.push_back(FreedNameOf(NameOf(file.path)));
    if (!RunSchedule(scrambled, FINAL_STEP_METHOD)) {
        RestoreReadOnly(scrambled, originalAttributes);
        return WipeResult::Left(scrambled.path, LeftReason::Overwrite);
    }
    WipeResult refusal;
    ScopedHandle handle = std::move(OpenWipeable(scrambled, DELETE, kShareAll, refusal).handle);
    if (!handle.IsValid()) {
        if (refusal.leftovers.empty())
            return refusal;
        return WipeResult::Left(scrambled.path, refusal.leftovers.front().reason);
    }
    if (!DeleteByHandle(handle.Get()))
        return WipeResult::Left(scrambled.path, LeftReason::Delete);
    handle.Close();
    freed.push_back(FreedNameOf(NameOf(scrambled.path)));
    return WipeResult::Gone();
}
