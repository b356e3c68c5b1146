#include "support/GuiDriver.h"
#include "ui/RichEdit.h"
#include "ui/TestWindows.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

namespace {

TEST(RichEdit, StreamsRichTextFormattedAndPlainTextAsItIs) {
    const std::string rtf = "{\\rtf1\\ansi {\\b Terms} apply}";
    struct Case {
        const char* name;
        std::string text;
        int format;
        std::string shown;
        bool bold;
    } const cases[] = {
        {"rich text", rtf, SF_RTF, "Terms apply", true},
        {"rich text, recognised", rtf, 0, "Terms apply", true},
        {"short header, recognised and completed", "{\\r {\\b Terms} apply}", 0, "Terms apply", true},
        {"rich text streamed as plain text", rtf, SF_TEXT, rtf, false},
        {"plain text, recognised", "Terms {apply}", 0, "Terms {apply}", false},
    };
    LoadRichEdit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow dialog = CreateTestDialog(220, 100);
        TestWindow edit = CreateChild(dialog.get(), "RichEdit20A", "", ES_MULTILINE, {5, 5, 305, 105});
        // As the dialog manager does for a template's controls; the control's
        // own default is the bold system font.
        SendMessageA(edit.get(), WM_SETFONT, SendMessageA(dialog.get(), WM_GETFONT, 0, 0), FALSE);
        SetRichEditText(edit.get(), c.text, c.format);
        char shown[256] = {};
        GetWindowTextA(edit.get(), shown, sizeof shown);
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(c.bold, gui_test::IsBold(edit.get(), 0, 5));
    }
}

}  // namespace
