// Routines for rich edit controls showing documents.
#pragma once

#include "foundation/Win.h"

#include <string>

bool IsRichEdit10(HWND window);
bool IsUnicodeRichEdit(HWND window);

void SetRichEditBackground(HWND window, COLORREF colour);

// Streams the text in and scrolls to the first line. format is SF_TEXT,
// SF_RTF, or 0 to let the text decide: rich text when it starts with
// "{\rtf" or "{\r " (the latter is rewritten to "{\rtf "). The text is in
// the ANSI code page; plain text goes to a Unicode control as UTF-16.
void SetRichEditText(HWND window, const std::string& text, int format);
