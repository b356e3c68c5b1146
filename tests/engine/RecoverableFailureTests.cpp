// The ask/warn/abort decision, through the overwrite question: the real
// message box is answered from another thread in interactive mode.
#include "support/StepFixture.h"

#include "engine/FileRules.h"
#include "foundation/InstallError.h"
#include "foundation/Win.h"
#include "system/InstallOptions.h"

#include <thread>

namespace {

// Answers the first message box with the caption, and reports its text.
std::thread AnswerMessageBox(const char* caption, WPARAM answer, std::string& text) {
    return std::thread([caption, answer, &text] {
        for (int tries = 0; tries < 500; ++tries) {
            if (HWND box = FindWindowA("#32770", caption)) {
                char buffer[1024] = {};
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                text = buffer;
                PostMessageA(box, WM_COMMAND, answer, 0);
                return;
            }
            Sleep(20);
        }
    });
}

int ExitCodeOfConfirmOverwrite(const std::string& path) {
    try {
        ConfirmOverwrite(path);
    } catch (const SilentExit& e) {
        return e.exitCode();
    }
    return 0;
}

class RecoverableFailureTest : public EngineTest {};

}  // namespace

TEST_F(RecoverableFailureTest, OverwriteQuestionYesGoesOnNoStopsWith104) {
    Options().interactive = true;
    const std::string path = At("quillmore.exe");
    for (WPARAM answer : {WPARAM(IDYES), WPARAM(IDNO)}) {
        std::string text;
        std::thread answering = AnswerMessageBox("Target File Exists", answer, text);
        int exitCode = ExitCodeOfConfirmOverwrite(path);
        answering.join();
        EXPECT_EQ(exitCode, answer == IDYES ? 0 : 104);
        EXPECT_EQ(text, "Warning: '" + path + "' already exists.\nDo you want it to be overwritten?\n"
                        "Clicking 'Yes' will overwrite the file, clicking 'No' will abort the installation.");
    }
}
