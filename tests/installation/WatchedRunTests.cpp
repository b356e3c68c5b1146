// The watch that every end-to-end run goes through must see what it is
// there to see: a started program of the product's name, and a window.
#include "support/InstallationFixture.h"

#include <algorithm>

TEST(WatchedRun, SeesAProgramOfTheProductsNameAndAWindow) {
    // Any program under the product's file name will do: the installer's
    // help run ends at once, as the stand-in product does.
    MakeFolder("C:\\Watch");
    ASSERT_TRUE(CopyFileA(SiblingExecutable("QuillmoreInstaller.exe").c_str(), "C:\\Watch\\quillmore.exe", FALSE));
    WatchedOutcome product = RunWatched("C:\\Watch\\quillmore.exe", "-?");
    EXPECT_EQ(200u, product.process.exitCode);
    EXPECT_EQ(1, std::count(product.programs.begin(), product.programs.end(), "quillmore.exe"));
    EXPECT_TRUE(product.windows.empty());

    WatchedOutcome editor = RunWatched("C:\\windows\\notepad.exe", "", {}, 3000);
    EXPECT_TRUE(editor.timedOut);
    // The watch must see Notepad's window; how many more Notepad shows is its own affair.
    ASSERT_FALSE(editor.windows.empty());
    EXPECT_NE(editor.windows.end(),
              std::find(editor.windows.begin(), editor.windows.end(), "Notepad 'Untitled - Notepad'"))
        << editor.windows.front();
}
