#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"
#include "ui/TestWindows.h"
#include "ui/WindowFont.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<BYTE> Bytes(const DialogTemplate& t) {
    return std::vector<BYTE>(t.data(), t.data() + t.size());
}

// Little-endian words, as the template stores them.
std::vector<BYTE> Words(std::initializer_list<unsigned> words) {
    std::vector<BYTE> bytes;
    for (unsigned w : words) {
        bytes.push_back(static_cast<BYTE>(w));
        bytes.push_back(static_cast<BYTE>(w >> 8));
    }
    return bytes;
}

std::vector<BYTE> operator+(std::vector<BYTE> a, const std::vector<BYTE>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// style 0x90CC0200 | DS_SETFONT asked for, extended style 0x80, no items,
// at 1, 2, 190 × 180: the font flag is taken out.
const std::vector<BYTE> Header = Words({0x0200, 0x90CC, 0x0080, 0x0000, 0, 1, 2, 190, 180});
const std::vector<BYTE> HeaderWithFont = Words({0x0240, 0x90CC, 0x0080, 0x0000, 0, 1, 2, 190, 180});

DialogTemplate NewTemplate() {
    return MakeDialogHeader(0x90CC0240, 0x80, 0, 1, 2, 190, 180);
}

TEST(DialogTemplate, HeaderHasEmptyMenuClassAndTitleAndNoFont) {
    EXPECT_EQ(Header + Words({0, 0, 0}), Bytes(NewTemplate()));
}

TEST(DialogTemplate, TitleAndFontAreWrittenAfterTheHeaderAndReplacedInPlace) {
    DialogTemplate t = NewTemplate();
    SetDialogTitle(t, "Ab");
    EXPECT_EQ(Header + Words({0, 0, 'A', 'b', 0}), Bytes(t));

    SetDialogFont(t, 12, "Arial");
    SetDialogFont(t, 8, "Xy");
    EXPECT_EQ(HeaderWithFont + Words({0, 0, 'A', 'b', 0, 8, 'X', 'y', 0}), Bytes(t))
        << "the second font replaces the first";

    SetDialogTitle(t, "Title");
    EXPECT_EQ(HeaderWithFont + Words({0, 0, 'T', 'i', 't', 'l', 'e', 0, 8, 'X', 'y', 0}), Bytes(t));
}

TEST(DialogTemplate, TitleIsFoundBehindMenuAndClassOfEitherForm) {
    // Menu as ordinal 0xFFFF 7, class as the string "K": built by hand.
    DialogTemplate t;
    std::vector<BYTE> fields = Header + Words({0xFFFF, 7, 'K', 0, 'o', 'l', 'd', 0});
    t.insert(t.end(), fields.data(), static_cast<std::ptrdiff_t>(fields.size()));
    SetDialogTitle(t, "new");
    EXPECT_EQ(Header + Words({0xFFFF, 7, 'K', 0, 'n', 'e', 'w', 0}), Bytes(t));
}

TEST(DialogTemplate, TitleInTheAnsiCodePageBecomesUtf16) {
    DialogTemplate t = NewTemplate();
    SetDialogTitle(t, "\xC4" "b");   // Ä in code page 1252
    EXPECT_EQ(Header + Words({0, 0, 0x00C4, 'b', 0}), Bytes(t));
}

TEST(DialogTemplate, MakesADialogOfItsSizeTitleAndFont) {
    DialogTemplate t = MakeDialogHeader(WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 0, 190, 120);
    SetDialogTitle(t, "Package Contents \xC4");
    SetDialogFont(t, 12, "Arial");
    SetDialogFont(t, 8, "MS Shell Dlg");
    TestWindow dialog(CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                                 reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr,
                                                 [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    ASSERT_TRUE(dialog);

    wchar_t title[64] = {};
    GetWindowTextW(dialog.get(), title, 64);
    EXPECT_STREQ(L"Package Contents \x00C4", title);

    LOGFONTA font = GetWindowLogFont(dialog.get());
    EXPECT_STREQ("MS Shell Dlg", font.lfFaceName);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
    ReleaseDC(nullptr, screen);

    RECT client;
    GetClientRect(dialog.get(), &client);
    EXPECT_EQ(DialogUnitsToPixelsX(dialog.get(), 190), client.right);
    EXPECT_EQ(DialogUnitsToPixelsY(dialog.get(), 120), client.bottom);
    EXPECT_GT(DialogUnitsToPixelsX(dialog.get(), 4), 0);
    EXPECT_EQ(0, DialogUnitsToPixelsX(dialog.get(), 0));
    EXPECT_EQ(0, DialogUnitsToPixelsY(dialog.get(), 0));
}

} // namespace
