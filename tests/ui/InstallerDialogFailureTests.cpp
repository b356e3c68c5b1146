#include "foundation/Errors.h"
#include "foundation/Win.h"
#include "ui/InstallerDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// This program carries the dialog template but not the documents: the
// licence cannot be loaded while the dialog starts.
TEST(InstallerDialogFailure, MissingLicenceIsReportedAsAnErrorNotAsACancel) {
    bool acceptEULA = false, allUsers = true, desktopIcon = true, launch = true;
    std::string folder = "C:\\Q", caption = "Install";
    InstallerDialogParams params{
        &acceptEULA, &folder, &allUsers, &desktopIcon, &launch, &caption, "Vantrel Quillmore 4.33", ""};
    try {
        ShowInstallerDialog(params);
        FAIL() << "no error";
    } catch (const InstallError& e) {
        EXPECT_EQ(0u, std::string(e.what()).find("FindResourceA() failed: Windows error 181")) << e.what();
    }
    EXPECT_EQ(nullptr, FindWindowA("#32770", "Vantrel Quillmore 4.33 Installer"));
    EXPECT_EQ("C:\\Q", folder);
}

}  // namespace
