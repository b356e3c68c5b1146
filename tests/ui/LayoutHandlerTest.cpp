#include "foundation/RefPtr.h"
#include "ui/LayoutHandler.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>

namespace {

constexpr int ChildId = 201;
constexpr RECT ChildStart = {10, 20, 60, 40};   // 50 wide, 20 high
constexpr int Grow = 100;                        // pixels added to the client width and height

// Expected edges after the client area grew to width W and height H.
struct LayoutCase {
    const char* name;
    LayoutRule rule;
    RECT (*expected)(LONG W, LONG H);
};

const LayoutCase Cases[] = {
    {"anchors equal to the current place", {10, 20, -1, -1, -1}, [](LONG, LONG) { return RECT{10, 20, 60, 40}; }},
    {"left only: moves, keeps its width", {5, -1, -1, -1, -1}, [](LONG, LONG) { return RECT{5, 20, 55, 40}; }},
    {"top only: moves, keeps its height", {-1, 4, -1, -1, 0}, [](LONG, LONG) { return RECT{10, 4, 60, 24}; }},
    {"right only: follows the right edge", {-1, -1, 15, -1, 1}, [](LONG W, LONG) { return RECT{W - 65, 20, W - 15, 40}; }},
    {"bottom only: follows the bottom edge", {-1, -1, -1, 8, -1}, [](LONG, LONG H) { return RECT{10, H - 28, 60, H - 8}; }},
    {"left and right: stretches", {10, -1, 15, -1, -1}, [](LONG W, LONG) { return RECT{10, 20, W - 15, 40}; }},
    {"all four: fills", {0, 0, 0, 0, -1}, [](LONG W, LONG H) { return RECT{0, 0, W, H}; }},
    {"no anchor: left alone", {-1, -1, -1, -1, 1}, [](LONG, LONG) { return RECT{10, 20, 60, 40}; }},
};

void ExpectRect(const RECT& expected, const RECT& actual) {
    EXPECT_EQ(expected.left, actual.left);
    EXPECT_EQ(expected.top, actual.top);
    EXPECT_EQ(expected.right, actual.right);
    EXPECT_EQ(expected.bottom, actual.bottom);
}

void GrowWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + Grow, rect.bottom - rect.top + Grow,
                 SWP_NOMOVE | SWP_NOZORDER);
}

TEST(LayoutHandler, MovesAndStretchesChildrenByTheirRulesWhenTheParentIsResized) {
    for (bool byId : {false, true}) {
        for (const LayoutCase& c : Cases) {
            SCOPED_TRACE(std::string(c.name) + (byId ? ", keyed by id" : ", keyed by handle"));
            TestWindow dialog = CreateTestDialog(150, 100);
            TestWindow child = CreateChild(dialog.get(), "static", "", 0, ChildStart, ChildId);
            RefPtr<LayoutHandler> layout(new LayoutHandler);
            (byId ? layout->Rule(ChildId) : layout->Rule(child.get())) = c.rule;
            ASSERT_TRUE(Attach(dialog.get(), layout.get()));

            GrowWindow(dialog.get());
            RECT client;
            GetClientRect(dialog.get(), &client);
            ExpectRect(c.expected(client.right, client.bottom), ChildRect(child.get()));
        }
    }
}

TEST(LayoutHandler, LayoutAppliesTheRulesToTheCurrentClientArea) {
    TestWindow dialog = CreateTestDialog(150, 100);
    TestWindow child = CreateChild(dialog.get(), "static", "", 0, ChildStart, ChildId);
    RefPtr<LayoutHandler> layout(new LayoutHandler);
    layout->Rule(ChildId) = {-1, -1, 15, 8, -1};
    layout->Layout(dialog.get());

    RECT client;
    GetClientRect(dialog.get(), &client);
    ExpectRect({client.right - 65, client.bottom - 28, client.right - 15, client.bottom - 8},
               ChildRect(child.get()));
}

TEST(LayoutHandler, IgnoresMinimisingAndChildrenThatAreGone) {
    TestWindow dialog = CreateTestDialog(150, 100);
    TestWindow child = CreateChild(dialog.get(), "static", "", 0, ChildStart, ChildId);
    TestWindow gone = CreateChild(dialog.get(), "static", "", 0, ChildStart);
    RefPtr<LayoutHandler> layout(new LayoutHandler);
    layout->Rule(ChildId) = {0, 0, 0, 0, -1};
    layout->Rule(gone.get()) = {0, 0, 0, 0, -1};
    layout->Rule(ChildId + 1) = {0, 0, 0, 0, -1};   // no such control
    ASSERT_TRUE(Attach(dialog.get(), layout.get()));
    gone.reset();

    SendMessageA(dialog.get(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(30, 30));
    ExpectRect(ChildStart, ChildRect(child.get()));

    SendMessageA(dialog.get(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    ExpectRect({0, 0, 300, 200}, ChildRect(child.get()));
}

} // namespace
