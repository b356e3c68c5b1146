#include "ui/CenterWindow.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>

namespace {

RECT WorkArea() {
    RECT area;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

POINT CentreOf(const RECT& r) {
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

POINT Cursor() {
    POINT at;
    GetCursorPos(&at);
    return at;
}

POINT TopLeftAround(POINT centre, int width, int height) {
    return {centre.x - width / 2, centre.y - height / 2};
}

POINT TopLeft(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.left, rect.top};
}

enum class OwnerState { None, Shown, Hidden, Minimised, Maximised };

struct CentringCase {
    const char* name;
    int mode;
    OwnerState owner;
    // The centre the window must be placed around.
    POINT (*centre)(HWND owner);
};

const RECT OwnerPlace = {100, 120, 500, 420};

POINT WorkAreaCentre(HWND) { return CentreOf(WorkArea()); }
POINT CursorCentre(HWND) { return Cursor(); }
POINT OwnerCentre(HWND) { return CentreOf(OwnerPlace); }
POINT ActualOwnerCentre(HWND owner) {
    RECT rect;
    GetWindowRect(owner, &rect);
    return CentreOf(rect);
}

const CentringCase Cases[] = {
    {"work area", 0, OwnerState::Shown, WorkAreaCentre},
    {"cursor", 1, OwnerState::Shown, CursorCentre},
    {"owner", 2, OwnerState::Shown, OwnerCentre},
    {"owner, hidden", 2, OwnerState::Hidden, OwnerCentre},
    {"owner, maximised", 2, OwnerState::Maximised, ActualOwnerCentre},
    {"owner missing", 2, OwnerState::None, WorkAreaCentre},
    {"shown owner", 3, OwnerState::Shown, OwnerCentre},
    {"shown owner, minimised", 3, OwnerState::Minimised, WorkAreaCentre},
    {"shown owner, hidden", 3, OwnerState::Hidden, WorkAreaCentre},
    {"shown owner, missing", 3, OwnerState::None, WorkAreaCentre},
    {"shown owner or cursor", 4, OwnerState::Shown, OwnerCentre},
    {"shown owner or cursor, minimised", 4, OwnerState::Minimised, CursorCentre},
    {"shown owner or cursor, missing", 4, OwnerState::None, CursorCentre},
};

TestWindow MakeOwner(OwnerState state) {
    if (state == OwnerState::None) return TestWindow();
    TestWindow owner = CreatePopup(nullptr, OwnerPlace.right - OwnerPlace.left, OwnerPlace.bottom - OwnerPlace.top);
    SetWindowPos(owner.get(), nullptr, OwnerPlace.left, OwnerPlace.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const int show[] = {SW_HIDE, SW_SHOWNOACTIVATE, SW_HIDE, SW_MINIMIZE, SW_MAXIMIZE};
    ShowWindow(owner.get(), show[static_cast<int>(state)]);
    return owner;
}

TEST(CenterWindow, CentresAroundThePointItsModeChooses) {
    SetCursorPos(600, 400);
    for (const CentringCase& c : Cases) {
        SCOPED_TRACE(c.name);
        TestWindow owner = MakeOwner(c.owner);
        TestWindow window = CreatePopup(owner.get(), 200, 100);
        ASSERT_TRUE(CenterWindow(window.get(), c.mode));
        POINT expected = TopLeftAround(c.centre(owner.get()), 200, 100);
        POINT actual = TopLeft(window.get());
        EXPECT_EQ(expected.x, actual.x);
        EXPECT_EQ(expected.y, actual.y);
    }
}

TEST(CenterWindow, KeepsTheWindowInsideTheWorkAreaLeftAndTopEdgesFirst) {
    const RECT area = WorkArea();
    const LONG areaWidth = area.right - area.left;
    const LONG areaHeight = area.bottom - area.top;
    struct Case {
        const char* name;
        POINT cursor;
        SIZE size;
        POINT expected;
    } const cases[] = {
        {"near the top left corner", {area.left + 5, area.top + 5}, {200, 100}, {area.left, area.top}},
        {"near the bottom right corner", {area.right - 5, area.bottom - 5}, {200, 100},
         {area.right - 200, area.bottom - 100}},
        {"wider and higher than the work area", {area.right - 5, area.bottom - 5},
         {areaWidth + 300, areaHeight + 200}, {area.left, area.top}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetCursorPos(c.cursor.x, c.cursor.y);
        TestWindow window = CreatePopup(nullptr, c.size.cx, c.size.cy);
        ASSERT_TRUE(CenterWindow(window.get(), 1));
        POINT actual = TopLeft(window.get());
        EXPECT_EQ(c.expected.x, actual.x);
        EXPECT_EQ(c.expected.y, actual.y);
    }
}

TEST(CenterWindow, FailsWithoutMovingAnything) {
    EXPECT_FALSE(CenterWindow(nullptr, 0));
    EXPECT_FALSE(CenterWindow(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654)), 0));
}

} // namespace
