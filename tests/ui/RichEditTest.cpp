#include "ui/ReadOnlyTextHandler.h"
#include "ui/RichEdit.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

namespace {

constexpr RECT EditArea = {5, 5, 305, 105};

struct RichEditFixture {
    TestWindow dialog = CreateTestDialog(220, 100);
    TestWindow edit;

    explicit RichEditFixture(const char* className = "RichEdit20A", DWORD style = ES_MULTILINE | WS_VSCROLL) {
        LoadRichEdit();
        edit = CreateChild(dialog.get(), className, "", style, EditArea);
        // As the dialog manager does for the controls of a template; the
        // control's own default is the bold system font.
        SendMessageA(edit.get(), WM_SETFONT, SendMessageA(dialog.get(), WM_GETFONT, 0, 0), FALSE);
    }

    std::wstring Text() const {
        wchar_t text[1024] = {};
        GetWindowTextW(edit.get(), text, 1024);
        return text;
    }

    bool IsBold(int first, int last) const {
        SendMessageA(edit.get(), EM_SETSEL, first, last);
        CHARFORMATA format = {};
        format.cbSize = sizeof format;
        SendMessageA(edit.get(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return (format.dwMask & CFM_BOLD) && (format.dwEffects & CFE_BOLD);
    }
};

struct StreamCase {
    const char* name;
    std::string text;
    int format;
    std::wstring shown;
    bool boldStart;
};

TEST(RichEdit, StreamsRichTextFormattedAndPlainTextAsItIs) {
    const std::string rtf = "{\\rtf1\\ansi {\\b Terms} apply}";
    const StreamCase cases[] = {
        {"rich text", rtf, SF_RTF, L"Terms apply", true},
        {"rich text, recognised", rtf, 0, L"Terms apply", true},
        {"short header, recognised and completed", "{\\r {\\b Terms} apply}", 0, L"Terms apply", true},
        {"rich text streamed as plain text", rtf, SF_TEXT, L"{\\rtf1\\ansi {\\b Terms} apply}", false},
        {"plain text, recognised", "Terms {apply}", 0, L"Terms {apply}", false},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        RichEditFixture fixture;
        SetRichEditText(fixture.edit.get(), c.text, c.format);
        EXPECT_EQ(c.shown, fixture.Text());
        EXPECT_EQ(c.boldStart, fixture.IsBold(0, 5));
    }
}

TEST(RichEdit, PlainTextReachesAUnicodeControlInTheAnsiCodePage) {
    for (const char* className : {"RichEdit20A", "RichEdit20W"}) {
        SCOPED_TRACE(className);
        RichEditFixture fixture(className);
        SetRichEditText(fixture.edit.get(), "caf\xE9 \xE4\xF6", SF_TEXT);   // code page 1252
        EXPECT_EQ(L"caf\x00E9 \x00E4\x00F6", fixture.Text());
    }
}

TEST(RichEdit, LongTextIsStreamedWholeAndShownFromItsFirstLine) {
    std::string text;
    for (int line = 0; line < 3000; ++line) text += "line " + std::to_string(line) + "\r\n";
    RichEditFixture fixture;
    SetRichEditText(fixture.edit.get(), "first\r\n", SF_TEXT);
    SendMessageA(fixture.edit.get(), EM_LINESCROLL, 0, 1);

    SetRichEditText(fixture.edit.get(), text, SF_TEXT);
    EXPECT_EQ(0, SendMessageA(fixture.edit.get(), EM_GETFIRSTVISIBLELINE, 0, 0));
    GETTEXTLENGTHEX length = {GTL_NUMCHARS, CP_ACP};
    EXPECT_EQ(static_cast<LRESULT>(text.size() - 3000),   // the control keeps CR only
              SendMessageA(fixture.edit.get(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

TEST(RichEdit, ClassTestsTellVersionOneAndUnicodeControls) {
    // Stand-ins registered under the names the tests look at.
    for (const char* name : {"RICHEDIT", "RichEditTestw"}) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    LoadRichEdit();
    struct Case {
        const char* className;
        bool version1;
        bool unicode;
    } const cases[] = {
        {"RichEdit20A", false, false},
        {"RichEdit20W", false, true},
        {"RICHEDIT", true, false},
        {"RichEditTestw", false, true},
        {"static", false, false},
    };
    TestWindow dialog = CreateTestDialog(100, 50);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        TestWindow window = CreateChild(dialog.get(), c.className, "", 0, {0, 0, 10, 10});
        ASSERT_TRUE(window);
        EXPECT_EQ(c.version1, IsRichEdit10(window.get()));
        EXPECT_EQ(c.unicode, IsUnicodeRichEdit(window.get()));
    }
}

TEST(RichEdit, BackgroundColourIsSet) {
    RichEditFixture fixture;
    SetRichEditBackground(fixture.edit.get(), RGB(1, 2, 3));
    LRESULT previous = SendMessageA(fixture.edit.get(), EM_SETBKGNDCOLOR, 0, RGB(9, 9, 9));
    EXPECT_EQ(RGB(1, 2, 3), static_cast<COLORREF>(previous));
}

TEST(ReadOnlyTextHandler, KeepsTheCaretAndTheTextCursorAway) {
    for (bool readOnlyText : {false, true}) {
        SCOPED_TRACE(readOnlyText ? "with the handler" : "without the handler");
        RichEditFixture fixture("RichEdit20A", ES_MULTILINE | ES_READONLY);
        SetRichEditText(fixture.edit.get(), "Some words to point at", SF_TEXT);
        if (readOnlyText) Attach(fixture.edit.get(), new ReadOnlyTextHandler);
        SetForegroundWindow(fixture.dialog.get());
        SetFocus(fixture.edit.get());
        EXPECT_EQ(fixture.edit.get(), GetFocus()) << "keeps the keyboard";

        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetCurrentThreadId(), &info);
        EXPECT_EQ(readOnlyText ? nullptr : fixture.edit.get(), info.hwndCaret);

        POINT onText = {10, 8};
        ClientToScreen(fixture.edit.get(), &onText);
        SetCursorPos(onText.x, onText.y);
        SendMessageA(fixture.edit.get(), WM_SETCURSOR, reinterpret_cast<WPARAM>(fixture.edit.get()),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(readOnlyText, GetCursor() == LoadCursorA(nullptr, IDC_ARROW));
    }
}

} // namespace
