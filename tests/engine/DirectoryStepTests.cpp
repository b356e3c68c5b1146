// The directory step: parents of its chain, and directories that exist.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Errors.h"
#include "foundation/Win.h"

TEST(DirectoryStepParent, ParentIsThePathBeforeTheLastBackslash) {
    struct Case {
        const char* path;
        const char* parent;
    } cases[] = {
        {"C:\\A\\B\\C", "C:\\A\\B"},
        {"C:\\A\\B\\C\\", "C:\\A\\B"},  // a trailing backslash is set aside
        {"C:\\A", "C:"},
        {"\\\\server\\share\\dir", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server"},
        {"relative", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ParentDirectoryOf(c.path), c.parent) << c.path;
}

class DirectoryStepTest : public EngineTest {};

TEST_F(DirectoryStepTest, ExistingDirectoryIsKeptAlsoWhenNamedWithTrailingBackslash) {
    CreateDirectoryA(At("existing").c_str(), nullptr);
    for (const std::string& path : {At("existing"), At("existing\\")}) {
        Options().uninstallCommands.clear();
        {
            DirectoryStep step(path, true);  // destroyed uncommitted: a rollback
        }
        EXPECT_TRUE(FileExists(At("existing"))) << path;
        EXPECT_EQ(Options().uninstallCommands, " \"-delDir=" + path + "\"");
    }
}

TEST_F(DirectoryStepTest, FailedCreationEndsTheRunAndRemovesTheParentsItMade) {
    CreateDirectoryA(At("a").c_str(), nullptr);
    EXPECT_EQ(102, ExitCodeOf([&] { DirectoryStep step(At("a\\new\\deeper\\bad|name"), true); }))
        << "a directory with an invalid name was made";
    EXPECT_FALSE(FileExists(At("a\\new")));
    EXPECT_TRUE(FileExists(At("a")));
    EXPECT_EQ(Options().uninstallCommands, " \"-delDir=" + At("a\\new\\deeper\\bad|name") + "\" \"-delDir=" +
                                               At("a\\new\\deeper") + "\" \"-delDir=" + At("a\\new") + "\"");

    // A file in the way of the chain: the "not a directory" end.
    WriteFileBytes(At("a\\file"), "x");
    EXPECT_EQ(101, ExitCodeOf([&] { DirectoryStep step(At("a\\file\\sub"), true); }))
        << "a directory was made below a file";
    EXPECT_EQ(ReadFileBytes(At("a\\file")), "x");
}
