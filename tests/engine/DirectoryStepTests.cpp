// Parent directories of the directory step's chain.
#include "engine/DirectoryStep.h"

#include <gtest/gtest.h>

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
