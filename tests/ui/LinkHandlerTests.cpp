#include "foundation/RefPtr.h"
#include "ui/TestWindows.h"
#include "ui/WndHandler.h"

#include <gtest/gtest.h>

namespace {

constexpr int LinkId = 101;
constexpr int OnText = 3;
constexpr int BesideText = 250;  // inside the control, right of its text

struct MouseCase {
    const char* name;
    int downAt;
    int upAt;
    size_t commands;
};

TEST(LinkHandler, WithoutTargetAClickOnItsTextOrTheSpaceKeySendsItsIdToTheParent) {
    const MouseCase cases[] = {
        {"down and up on the text", OnText, OnText, 1},
        {"down and up beside the text", BesideText, BesideText, 0},
        {"down on the text, up beside it", OnText, BesideText, 0},
    };
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow dialog = CreateTestDialog(250, 60);
        TestWindow control =
            CreateChild(dialog.get(), "static", "Link", SS_LEFT | WS_TABSTOP, {10, 10, 310, 30}, LinkId);
        ASSERT_TRUE(Attach(control.get(), new LinkHandler));
        UpdateWindow(control.get());  // the link learns where its text is by painting it
        auto mouse = [&](UINT message, int x) { SendMessageA(control.get(), message, 0, MAKELPARAM(x, 5)); };
        mouse(WM_MOUSEMOVE, c.downAt);
        mouse(WM_LBUTTONDOWN, c.downAt);
        mouse(WM_MOUSEMOVE, c.upAt);
        mouse(WM_LBUTTONUP, c.upAt);
        ASSERT_EQ(c.commands, ReceivedCommands().size());

        SendMessageA(control.get(), WM_KEYDOWN, 'A', 0);
        SendMessageA(control.get(), WM_KEYDOWN, VK_SPACE, 0);
        ASSERT_EQ(c.commands + 1, ReceivedCommands().size()) << "space, and only space, activates it";
        for (const CommandRecord& command : ReceivedCommands()) {
            EXPECT_EQ(MAKEWPARAM(LinkId, 0), command.wParam);
            EXPECT_EQ(reinterpret_cast<LPARAM>(control.get()), command.lParam);
        }
    }
}

}  // namespace
