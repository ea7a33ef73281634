#include "CSDEngine.h"

#include "CrtRandom.h"
#include "FileError.h"
#include "LinkGuard.h"
#include "ScopedHandle.h"
#include "Seams.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// Reads the file from its start to `size` in pattern-sized chunks, discarding what it reads.
bool ReadThrough(HANDLE file, ULONGLONG size)
{
    std::vector<unsigned char> scratch(PATTERN_BUFFER_SIZE);
    ULONGLONG total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file, scratch.data(), static_cast<DWORD>(scratch.size()), &got, nullptr))
            return false;
        if (got == 0)
            break;
        total += got;
    }
    return true;
}

// Writes the pattern again and again from the handle's current position until `size` bytes are out.
bool WriteRepeated(HANDLE file, const PatternBuffer& pattern, ULONGLONG size)
{
    ULONGLONG remaining = size;
    while (remaining > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<ULONGLONG>(remaining, pattern.size()));
        DWORD written = 0;
        if (!WriteFile(file, pattern.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        remaining -= chunk;
    }
    return true;
}

}  // namespace

CSDEngine::CSDEngine(MethodAccessor currentMethod) : m_currentMethod(std::move(currentMethod)) {}

bool CSDEngine::WipeFile(const std::string& path)
{
    if (IsLinkOrReparsePoint(path))
        return RemoveLinkItself(path);
    const int method = m_currentMethod();
    // The final step runs whatever the schedule achieved: it still destroys the name and the data.
    if (FindMethod(method))
        RunSchedule(path, method);
    return ScrambleAndDelete(path);
}

bool CSDEngine::RunSchedule(const std::string& path, int method)
{
    const WipeMethod* schedule = FindMethod(method);
    if (!schedule)
        return false;
    if (HasRandomPasses(*schedule))
        CrtRandom::Seed(seams::ClockSeconds());

    auto buffer = std::make_unique<PatternBuffer>();
    for (const Pass& pass : schedule->passes) {
        FillPassBuffer(pass, *buffer);
        if (!WritePass(path, *buffer))
            return false;
    }
    buffer->fill(0x00);
    seams::Pause(CLOSING_PASS_PAUSE_MS);
    return WritePass(path, *buffer);
}

bool CSDEngine::WritePass(const std::string& path, const PatternBuffer& pattern)
{
    const auto expected = ExpectedFinalPath(path);
    if (!expected)
        return false;

    // Reading the whole file first keeps partly overwritten pages from being read back one by one.
    ULONGLONG size = 0;
    {
        ScopedHandle reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER fileSize{};
        if (!reader.IsValid() || !HandleLandsAt(reader.Get(), *expected) || !GetFileSizeEx(reader.Get(), &fileSize))
            return false;
        size = static_cast<ULONGLONG>(fileSize.QuadPart);
        if (!ReadThrough(reader.Get(), size))
            return false;
    }

    ClearReadOnly(path);
    // Overwrite in place: a truncating open would let the file system hand the file fresh
    // clusters and keep the old contents on the disk.
    ScopedHandle writer(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (!writer.IsValid() || !HandleLandsAt(writer.Get(), *expected))
        return false;
    if (!WriteRepeated(writer.Get(), pattern, size))
        return false;
    // Without a flush the file cache would fold all the passes of a schedule into one write.
    return FlushFileBuffers(writer.Get()) != FALSE;
}

std::string CSDEngine::ScrambledFilePath(const std::string& path)
{
    const std::size_t slash = path.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + m_digest.HashToHex(path);
}

bool CSDEngine::ScrambleAndDelete(const std::string& path)
{
    if (IsLinkOrReparsePoint(path))
        return RemoveLinkItself(path);
    const std::string scrambled = ScrambledFilePath(path);
    if (!MoveFileA(path.c_str(), scrambled.c_str()))
        throw CFileException(GetLastError(), path);
    RunSchedule(scrambled, FINAL_STEP_METHOD);
    return DeleteFileA(scrambled.c_str()) != FALSE;
}
