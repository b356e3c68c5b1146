// Finds and answers the message boxes of other processes of the test (there
// is no window manager under Xvfb; the boxes are found by caption).
#pragma once

#include "foundation/Win.h"

#include <string>

namespace uninstall_test {

// The box with this caption, waited for up to timeoutMs; null when none.
HWND WaitForMessageBox(const std::string& caption, DWORD timeoutMs = 20000);
// The box's message text.
std::string MessageBoxText(HWND box);
// The command id of the default button, 0 when there is none.
int DefaultButton(HWND box);
// Presses a button (IDYES, IDNO, IDOK) and waits until the box is gone.
void Answer(HWND box, int button);

}  // namespace uninstall_test
