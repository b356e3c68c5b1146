#include "ui/Drawing.h"
#include "ui/InstallerDialog.h"
#include "ui/TestWindows.h"
#include "ui/WindowGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Little-endian words, as the template stores them.
std::vector<BYTE> Words(std::initializer_list<unsigned> words) {
    std::vector<BYTE> bytes;
    for (unsigned w : words) bytes.insert(bytes.end(), {static_cast<BYTE>(w), static_cast<BYTE>(w >> 8)});
    return bytes;
}

TEST(DialogTemplate, TitleAndFontFollowTheHeaderAndASecondFontReplacesTheFirst) {
    DialogTemplate t = MakeDialogHeader(0x90CC0240, 0x80, 0, 1, 2, 190, 180);
    SetDialogTitle(t, "Ab");
    SetDialogFont(t, 12, "Arial");
    SetDialogFont(t, 8, "Xy");
    SetDialogTitle(t, "\xC4");  // Ä in code page 1252

    // DS_SETFONT, asked for in the header, is set by the font alone.
    std::vector<BYTE> expected = Words({0x0240, 0x90CC, 0x0080, 0, 0, 1, 2, 190, 180, 0, 0, 0x00C4, 0, 8, 'X', 'y', 0});
    EXPECT_EQ(expected, std::vector<BYTE>(t.data(), t.data() + t.size()));
}

// A lambda would not do: on i686 the system calls dialog procedures with
// the stdcall convention.
INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(DialogTemplate, MakesADialogOfItsSizeTitleAndFontMeasuredInDialogUnits) {
    DialogTemplate t = MakeDialogHeader(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 0, 190, 120);
    SetDialogTitle(t, "Package Contents");
    SetDialogFont(t, 12, "Arial");
    SetDialogFont(t, 8, "MS Shell Dlg");
    TestWindow dialog(CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()),
                                                 nullptr, PlainDialogProc, 0));
    ASSERT_TRUE(dialog);

    char title[64] = {};
    GetWindowTextA(dialog.get(), title, sizeof title);
    EXPECT_STREQ("Package Contents", title);
    LOGFONTA font = GetWindowLogFont(dialog.get());
    EXPECT_STREQ("MS Shell Dlg", font.lfFaceName);

    RECT client;
    GetClientRect(dialog.get(), &client);
    EXPECT_EQ(DialogUnitsToPixelsX(dialog.get(), 190), client.right);
    EXPECT_EQ(DialogUnitsToPixelsY(dialog.get(), 120), client.bottom);
    EXPECT_EQ(0, DialogUnitsToPixelsX(dialog.get(), 0));
    EXPECT_EQ(0, DialogUnitsToPixelsY(dialog.get(), 0));
}

}  // namespace
