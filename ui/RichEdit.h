// Rich edit controls showing documents: class tests, background colour,
// streaming plain or rich text in, and read-only behaviour.
#pragma once

#include "foundation/Win.h"
#include "ui/WndHandler.h"

#include <string>

bool IsRichEdit10(HWND window);
bool IsUnicodeRichEdit(HWND window);

void SetRichEditBackground(HWND window, COLORREF colour);

// Streams the text in and scrolls to the first line. format is SF_TEXT,
// SF_RTF, or 0 to let the text decide: rich text when it starts with
// "{\rtf" or "{\r " (the latter is rewritten to "{\rtf "). The text is in
// the ANSI code page; plain text goes to a Unicode control as UTF-16.
void SetRichEditText(HWND window, const std::string& text, int format);

// Makes a rich edit control that shows a document behave as read-only text:
// no caret, the arrow cursor instead of the text beam, and Escape closing
// the window it is shown in.
class ReadOnlyTextHandler : public WndHandler {
public:
    ReadOnlyTextHandler();

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HCURSOR m_arrowCursor;
    HCURSOR m_handCursor;
};
