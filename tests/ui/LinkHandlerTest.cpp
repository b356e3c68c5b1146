#include "foundation/RefPtr.h"
#include "ui/LinkHandler.h"
#include "ui/TestWindows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

constexpr int LinkId = 101;
constexpr RECT LinkArea = {10, 10, 310, 30};   // much wider than its text

// A dialog with one hyperlink control showing "Link", painted once so that
// the link knows where its text is.
struct LinkFixture {
    TestWindow dialog = CreateTestDialog(250, 60);
    TestWindow control = CreateChild(dialog.get(), "static", "Link", SS_LEFT | WS_TABSTOP, LinkArea, LinkId);
    RefPtr<LinkHandler> link{new LinkHandler};

    explicit LinkFixture(const std::string& target = "") {
        link->SetTarget(target, true);
        Attach(control.get(), link.get());
        Repaint();
    }

    void Repaint() const {
        InvalidateRect(control.get(), nullptr, TRUE);
        UpdateWindow(control.get());
    }

    void Mouse(UINT message, int x) const {
        SendMessageA(control.get(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, 5));
    }
};

constexpr int OnText = 3;
constexpr int BesideText = 250;

struct ClickCase {
    const char* name;
    int downAt;
    int upAt;
    size_t commands;
};

TEST(LinkHandler, WithoutTargetAClickOnItsTextSendsItsIdToTheParent) {
    const ClickCase cases[] = {
        {"down and up on the text", OnText, OnText, 1},
        {"down and up beside the text", BesideText, BesideText, 0},
        {"down on the text, up beside it", OnText, BesideText, 0},
        {"down beside the text, up on it", BesideText, OnText, 0},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture fixture;
        fixture.Mouse(WM_MOUSEMOVE, c.downAt);
        fixture.Mouse(WM_LBUTTONDOWN, c.downAt);
        fixture.Mouse(WM_MOUSEMOVE, c.upAt);
        fixture.Mouse(WM_LBUTTONUP, c.upAt);
        ASSERT_EQ(c.commands, ReceivedCommands().size());
        if (c.commands) {
            EXPECT_EQ(MAKEWPARAM(LinkId, 0), ReceivedCommands()[0].wParam);
            EXPECT_EQ(reinterpret_cast<LPARAM>(fixture.control.get()), ReceivedCommands()[0].lParam);
        }
    }
}

TEST(LinkHandler, WithoutTargetTheSpaceKeySendsItsIdToTheParent) {
    LinkFixture fixture;
    SendMessageA(fixture.control.get(), WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(ReceivedCommands().empty());
    SendMessageA(fixture.control.get(), WM_KEYDOWN, VK_SPACE, 0);
    ASSERT_EQ(1u, ReceivedCommands().size());
    EXPECT_EQ(MAKEWPARAM(LinkId, 0), ReceivedCommands()[0].wParam);
}

TEST(LinkHandler, ShowsTheHandCursorOnlyOverItsText) {
    LinkFixture fixture;
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const std::pair<int, HCURSOR> cases[] = {{OnText, hand}, {BesideText, arrow}, {OnText, hand}};
    for (const auto& [x, expected] : cases) {
        fixture.Mouse(WM_MOUSEMOVE, x);
        SendMessageA(fixture.control.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(fixture.control.get()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(expected, GetCursor()) << "mouse at x " << x;
    }
}

TEST(LinkHandler, AttachingMakesTheControlNotifyAndGivesItATooltipWithTheTarget) {
    LinkFixture fixture("C:\\some\\target.txt");
    EXPECT_TRUE(GetWindowLongPtrA(fixture.control.get(), GWL_STYLE) & SS_NOTIFY);

    HWND tooltip = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND window, LPARAM found) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpiA(className, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(nullptr, tooltip);
    // Owned by the control, that is by its top-level window.
    EXPECT_EQ(fixture.dialog.get(), GetWindow(tooltip, GW_OWNER));
    EXPECT_TRUE(GetWindowLongPtrA(tooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    char text[128] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = fixture.control.get();
    tool.lpszText = text;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ("C:\\some\\target.txt", text);
}

// Pixels of one colour in the control as the screen shows it.
int CountPixels(HWND control, COLORREF colour) {
    RECT client;
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    int count = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == colour;
    ReleaseDC(control, dc);
    return count;
}

TEST(LinkHandler, PaintsItsTextInTheColourOfItsState) {
    const COLORREF normal = RGB(0, 0, 255), hover = RGB(255, 0, 0), visited = RGB(0, 128, 0);
    LinkFixture fixture;
    fixture.link->SetColors(normal, hover, visited);
    fixture.Repaint();
    EXPECT_GT(CountPixels(fixture.control.get(), normal), 0);
    EXPECT_EQ(0, CountPixels(fixture.control.get(), visited));

    fixture.Mouse(WM_MOUSEMOVE, OnText);
    UpdateWindow(fixture.control.get());
    EXPECT_GT(CountPixels(fixture.control.get(), hover), 0);
    EXPECT_EQ(0, CountPixels(fixture.control.get(), normal));

    SendMessageA(fixture.control.get(), WM_MOUSELEAVE, 0, 0);
    SendMessageA(fixture.control.get(), WM_KEYDOWN, VK_SPACE, 0);
    fixture.Repaint();
    EXPECT_GT(CountPixels(fixture.control.get(), visited), 0);
    EXPECT_EQ(0, CountPixels(fixture.control.get(), normal));

    EnableWindow(fixture.control.get(), FALSE);
    fixture.Repaint();
    EXPECT_EQ(0, CountPixels(fixture.control.get(), visited));
    EXPECT_GT(CountPixels(fixture.control.get(), GetSysColor(COLOR_BTNSHADOW)), 0) << "engraved text";
}

std::string TempDirectory() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

TEST(LinkHandler, WithATargetActivationOpensTheTargetInsteadOfNotifying) {
    const std::string marker = TempDirectory() + "link-opened.txt";
    const std::string script = TempDirectory() + "link-target.cmd";
    DeleteFileA(marker.c_str());
    std::ofstream(script) << "echo opened> \"" << marker << "\"\r\n";

    LinkFixture fixture(script);
    SendMessageA(fixture.control.get(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(ReceivedCommands().empty());
    bool opened = false;
    for (int i = 0; i < 200 && !opened; ++i, Sleep(50))
        opened = GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_TRUE(opened) << "the target was not opened";
    DeleteFileA(marker.c_str());
    DeleteFileA(script.c_str());
}

} // namespace
