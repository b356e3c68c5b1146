// Deletion at reboot on the Windows NT family, checked in the registry
// value the system keeps the requests in; and the file system queries.
#include "support/PendingOperations.h"
#include "support/StepFixture.h"

#include "foundation/Win.h"
#include "system/FileSystemQueries.h"
#include "system/RebootDeletion.h"

namespace {

std::string Entry(const std::string& text) {
    return text + '\0';
}

class RebootDeletionTest : public EngineTest {
protected:
    void TearDown() override {
        WritePendingOperations("");
        EngineTest::TearDown();
    }
};

}  // namespace

TEST_F(RebootDeletionTest, ScheduleAppendsAndKeepsEveryOtherEntryByteForByte) {
    std::string target = At("held.dll");
    WriteFileBytes(target, "x");
    std::string before = Entry("\\??\\C:\\old\\a.tmp") + Entry("") +                 // deletion
                         Entry("\\??\\C:\\src.new") + Entry("!\\??\\C:\\dst.dll") +  // rename
                         Entry("\\??\\C:\\old\\b.tmp") + Entry("") + '\0';
    WritePendingOperations(before);

    ASSERT_TRUE(ScheduleDeleteOnReboot(target));

    std::string after = ReadPendingOperations();
    ASSERT_GT(after.size(), before.size());
    EXPECT_EQ(after.substr(0, before.size() - 1), before.substr(0, before.size() - 1));
    EXPECT_TRUE(PendingDeletionOf(target));
}

TEST_F(RebootDeletionTest, CancelRemovesOnlyDeletionPairsOfThatObject) {
    std::string target = At("Program Files Long Name.exe");
    std::string other = At("other.exe");
    WriteFileBytes(target, "x");
    WriteFileBytes(other, "y");
    std::string renameOfTarget = Entry("\\??\\" + target) + Entry("!\\??\\" + At("renamed.exe"));
    std::string deletionOfOther = Entry("\\??\\" + other) + Entry("");
    WritePendingOperations(Entry("\\??\\" + target) + Entry("") + renameOfTarget + deletionOfOther +
                           Entry("\\??\\" + ShortPath(target)) + Entry("") +  // the short form matches too
                           Entry("\\??\\C:\\leftover-single") + '\0');

    EXPECT_TRUE(CancelDeleteOnReboot(target));

    EXPECT_EQ(ReadPendingOperations(), renameOfTarget + deletionOfOther + Entry("\\??\\C:\\leftover-single") + '\0');
    // Nothing left to cancel now, and nothing for an object that is gone.
    EXPECT_FALSE(CancelDeleteOnReboot(target));
    EXPECT_FALSE(CancelDeleteOnReboot(At("missing.exe")));
}

TEST_F(RebootDeletionTest, CancelWithoutTheValueIsAQuietNo) {
    WritePendingOperations("");
    WriteFileBytes(At("a.txt"), "a");
    EXPECT_FALSE(CancelDeleteOnReboot(At("a.txt")));
    EXPECT_EQ(ReadPendingOperations(), "");
}

TEST_F(RebootDeletionTest, FileSystemQueries) {
    CreateDirectoryA(At("only-subdir").c_str(), nullptr);
    CreateDirectoryA(At("only-subdir\\empty").c_str(), nullptr);
    CreateDirectoryA(At("empty").c_str(), nullptr);
    WriteFileBytes(At("file.txt"), "x");

    struct Case {
        const char* name;
        bool exists;
        bool directory;
        bool empty;
    } cases[] = {
        {"only-subdir", true, true, false},
        {"empty", true, true, true},
        {"file.txt", true, false, true},  // a file cannot be listed as a directory
        {"missing", false, true, true},   // the error value has every bit set
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(At(c.name)), c.exists) << c.name;
        EXPECT_EQ(IsDirectory(At(c.name)), c.directory) << c.name;
        EXPECT_EQ(IsDirectoryEmpty(At(c.name)), c.empty) << c.name;
    }
}
