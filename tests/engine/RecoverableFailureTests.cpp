// The ask/warn/abort decision, through the overwrite question: the real
// message box is answered from another thread in interactive mode.
#include "support/StepFixture.h"

#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "foundation/Win.h"

class RecoverableFailureTest : public EngineTest {};

TEST_F(RecoverableFailureTest, OverwriteQuestionYesGoesOnNoStopsWith104) {
    Options().interactive = true;
    const std::string path = At("quillmore.exe");
    for (int answer : {IDYES, IDNO}) {
        BoxAnswerer box("Target File Exists", answer);
        EXPECT_EQ(ExitCodeOf([&] { ConfirmOverwrite(path); }), answer == IDYES ? 0 : 104);
        EXPECT_EQ(box.Text(), "Warning: '" + path +
                                  "' already exists.\nDo you want it to be overwritten?\n"
                                  "Clicking 'Yes' will overwrite the file, clicking 'No' will abort the installation.");
    }
}
