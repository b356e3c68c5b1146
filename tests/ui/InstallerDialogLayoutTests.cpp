#include "support/GuiDriver.h"
#include "support/ScreenCapture.h"
#include "ui/InstallerDialog.h"
#include "ui/RunningInstallerDialog.h"
#include "ui/WindowGeometry.h"

#include <gtest/gtest.h>

using namespace gui_test;

namespace {

constexpr int Wider = 200;
constexpr int Higher = 120;

void Resize(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE WindowSize(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEST(InstallerDialogLayout, WideningKeepsTheButtonsCentredAndStretchesTheRows) {
    DialogValues values;
    RunningInstallerDialog dialog(values);
    HWND window = dialog.Window();
    ASSERT_TRUE(window);
    const RECT packageLinkBefore = ItemRect(window, IDC_PACKAGE_LINK);
    const RECT actionBefore = ItemRect(window, IDOK);

    SIZE size = WindowSize(window);
    Resize(window, size.cx + Wider, size.cy + Higher);
    RECT client;
    GetClientRect(window, &client);
    const LONG W = client.right, H = client.bottom;
    auto x = [&](int units) { return DialogUnitsToPixelsX(window, units); };
    auto y = [&](int units) { return DialogUnitsToPixelsY(window, units); };

    RECT action = ItemRect(window, IDOK), cancel = ItemRect(window, IDCANCEL);
    EXPECT_NEAR(2 * x(3), cancel.left - action.right, 1) << "6 dialog units apart";
    EXPECT_NEAR(W / 2, (action.left + cancel.right) / 2, 1) << "centred";
    EXPECT_EQ(actionBefore.right - actionBefore.left, action.right - action.left);
    EXPECT_EQ(H - y(7), action.bottom);
    EXPECT_EQ(H - y(7), cancel.bottom);

    // Edges that follow the dialog's right and bottom edges: id, edge, distance.
    struct Edge {
        int id;
        LONG RECT::*edge;
        LONG expected;
    } const edges[] = {
        {IDC_WEB_LINK, &RECT::right, W - x(7)},
        {IDC_LICENCE_TEXT, &RECT::right, W - x(7)},
        {IDC_LICENCE_TEXT, &RECT::bottom, H - y(107)},
        {IDC_TOP_SEPARATOR, &RECT::right, W - x(1)},
        {IDC_MIDDLE_SEPARATOR, &RECT::right, W - x(1)},
        {IDC_BOTTOM_SEPARATOR, &RECT::right, W - x(1)},
        {IDC_INSTALL_FOLDER, &RECT::right, W - x(7)},
        {IDC_INSTALL_FOLDER, &RECT::bottom, H - y(66)},
        {IDC_ACCEPT, &RECT::bottom, H - y(92)},
        {IDC_RUN_WHEN_DONE, &RECT::bottom, H - y(36)},
        {IDC_PACKAGE_LINK, &RECT::right, packageLinkBefore.right},
    };
    for (const Edge& e : edges) {
        SCOPED_TRACE(testing::Message() << "control " << e.id);
        EXPECT_EQ(e.expected, ItemRect(window, e.id).*e.edge);
    }
    SaveWindowScreenshot(window, "installer-dialog-resized.png");
}

TEST(InstallerDialogLayout, SizingStopsAtTheMinimum) {
    DialogValues values;
    RunningInstallerDialog dialog(values);
    HWND window = dialog.Window();
    ASSERT_TRUE(window);

    // The system keeps every size request, the user's sizing included,
    // within the window's minimum tracking size.
    Resize(window, 1, 1);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(DialogUnitsToPixelsX(window, 240), client.right) << "room for the content and no more";
    EXPECT_EQ(DialogUnitsToPixelsY(window, 200), client.bottom);
    EXPECT_LT(ItemRect(window, IDC_PACKAGE_LINK).right, ItemRect(window, IDC_WEB_LINK).left)
        << "the links do not overlap";
    EXPECT_GT(ItemRect(window, IDC_LICENCE_TEXT).bottom, ItemRect(window, IDC_LICENCE_TEXT).top);
}

}  // namespace
