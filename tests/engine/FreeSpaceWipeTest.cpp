// The free-space wipe on a small drive of its own: what it writes, what it leaves, what it refuses.
#include "Cp949Text.h"
#include "ExactPath.h"
#include "FreeSpaceWipe.h"
#include "Sandbox.h"
#include "SmallDrives.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Records what a caller sees: how full the drive got while the fill ran, and the last report.
struct Watch : FreeSpaceObserver {
    std::function<bool(const Watch&)> cancelWhen = [](const Watch&) { return false; };
    ULONGLONG leastFree = ~0ull;
    int reports = 0;
    FreeSpaceProgress last;
    void Progress(const FreeSpaceProgress& progress) override
    {
        ++reports;
        last = progress;
        leastFree = std::min(leastFree, FreeBytesOf(SmallDrive()));
    }
    bool Cancelled() override { return cancelWhen(*this); }
};

std::wstring FillFolder() { return SmallDrive() + FillFolderName(); }

}  // namespace

// Files that were there keep every byte; the drive is full while the fill runs and as free as
// before afterwards, with every pass counted.
TEST(FreeSpaceWipe, FillsTheWholeDriveAndLeavesItsFilesAsTheyWere)
{
    const std::wstring root = SmallDrive();
    CreateDirectoryW((root + L"keep").c_str(), nullptr);
    const std::string big = Canary(300000), small = "five.";
    WriteBytes(Narrow949(root) + "keep\\큰 파일.bin", big);
    WriteBytes(Narrow949(root) + "small.txt", small);
    const ULONGLONG freeBefore = FreeBytesOf(root);
    Watch watch;
    const FreeSpaceResult result = WipeFreeSpace(root, 12, watch);
    EXPECT_TRUE(result.Complete()) << FreeSpaceReport(result);
    EXPECT_EQ(result.passes, 2);
    EXPECT_EQ(result.freeAtStart, freeBefore);
    EXPECT_EQ(result.filled, freeBefore);
    EXPECT_EQ(result.bytesWritten, 2 * freeBefore);
    EXPECT_EQ(watch.last.written, watch.last.total);
    EXPECT_EQ(watch.leastFree, 0u);
    EXPECT_GT(result.smallFiles, 0u);
    EXPECT_TRUE(result.recordsExhausted);
    EXPECT_EQ(ReadAll(Narrow949(root) + "keep\\큰 파일.bin"), big);
    EXPECT_EQ(ReadAll(Narrow949(root) + "small.txt"), small);
    EXPECT_FALSE(PathExists(FillFolder()));
    EXPECT_EQ(FreeBytesOf(root), freeBefore);
}

// A cancel during the first file's passes deletes the fill before the call returns.
TEST(FreeSpaceWipe, CancelReleasesTheSpaceAtOnce)
{
    const std::wstring root = SmallDrive();
    const ULONGLONG freeBefore = FreeBytesOf(root);
    Watch watch;
    watch.cancelWhen = [](const Watch& w) { return w.reports > 0; };
    const FreeSpaceResult result = WipeFreeSpace(root, 1, watch);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.reachedEnd);
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(result.bytesWritten, result.freeAtStart);  // the one pass that landed before the cancel
    EXPECT_TRUE(result.released);
    EXPECT_FALSE(PathExists(FillFolder()));
    EXPECT_EQ(FreeBytesOf(root), freeBefore);
}

// A drive that is full already has nothing to overwrite, and its full file stays whole.
TEST(FreeSpaceWipe, ADriveFullAtTheStartIsDoneWithoutTouchingItsFiles)
{
    const std::wstring root = SmallDrive();
    const std::wstring full = root + L"full.bin";
    const HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string chunk = Canary(4096);
    DWORD written = 0;
    std::string content;
    while (WriteFile(file, chunk.data(), 4096, &written, nullptr) && written == 4096)
        content += chunk;
    CloseHandle(file);
    ASSERT_EQ(FreeBytesOf(root), 0u);
    Watch watch;
    const FreeSpaceResult result = WipeFreeSpace(root, 12, watch);
    EXPECT_TRUE(result.Complete()) << FreeSpaceReport(result);
    EXPECT_EQ(result.bytesWritten, 0u);
    EXPECT_EQ(ReadAll(Narrow949(full)), content);
    EXPECT_FALSE(PathExists(FillFolder()));
    EXPECT_TRUE(DeleteFileW(full.c_str()));
}

// What is not a local, writable drive root is refused before anything is written.
TEST(FreeSpaceWipe, RefusesWhatIsNotALocalWritableDrive)
{
    const std::wstring root = SmallDrive();
    const struct {
        std::wstring given;
        FreeSpaceRefusal refusal;
    } cases[] = {
        {L"R:", FreeSpaceRefusal::ReadOnly},
        {root + L"keep", FreeSpaceRefusal::NotADriveRoot},
        {L"\\\\server\\share", FreeSpaceRefusal::NotADriveRoot},
        {L"\\\\?\\S:\\", FreeSpaceRefusal::NotADriveRoot},
        {L"Q:", FreeSpaceRefusal::NotWritable},  // no such drive
    };
    for (const auto& c : cases) {
        Watch watch;
        const FreeSpaceResult result = WipeFreeSpace(DriveRootOf(c.given).value_or(c.given), 12, watch);
        EXPECT_EQ(result.refusal, c.refusal) << Narrow949(c.given);
        EXPECT_EQ(result.bytesWritten, 0u);
        EXPECT_EQ(watch.reports, 0);
    }
    EXPECT_EQ(ReadAll("R:\\probe"), "probe\n");
    EXPECT_FALSE(PathExists(L"R:\\" + FillFolderName()));
}

// A fill folder left by a crash goes with its files of ours; a file of someone else's keeps it.
TEST(FreeSpaceWipe, ALeftoverFillFolderIsRemovedButNotAStrangersFile)
{
    const std::wstring root = SmallDrive();
    ASSERT_TRUE(CreateDirectoryW(FillFolder().c_str(), nullptr));
    WriteBytes(Narrow949(FillFolder()) + "\\F0000001", Canary(100000));
    WriteBytes(Narrow949(FillFolder()) + "\\S0000002", "x");
    WriteBytes(Narrow949(FillFolder()) + "\\mine.txt", "mine");
    Watch watch;
    EXPECT_EQ(WipeFreeSpace(root, 12, watch).refusal, FreeSpaceRefusal::FolderInUse);
    EXPECT_EQ(ReadAll(Narrow949(FillFolder()) + "\\mine.txt"), "mine");
    EXPECT_FALSE(PathExists(FillFolder() + L"\\F0000001"));
    ASSERT_TRUE(DeleteFileW((FillFolder() + L"\\mine.txt").c_str()));
    WriteBytes(Narrow949(FillFolder()) + "\\F0000003", Canary(100000));
    EXPECT_TRUE(WipeFreeSpace(root, 12, watch).Complete());
    EXPECT_FALSE(PathExists(FillFolder()));
}
