// A dialog template built in memory: the DLGTEMPLATE header, the menu, class
// and title fields, and optionally the font.
#pragma once

#include "foundation/Win.h"
#include "foundation/datavect.h"

#include <string>

using DialogTemplate = datavect<BYTE>;

// A header with empty menu, class and title fields (24 bytes). DS_SETFONT is
// taken out of the style: a template gets a font only through SetDialogFont.
DialogTemplate MakeDialogHeader(DWORD style, DWORD extendedStyle, WORD itemCount, short x, short y, short cx, short cy);

// Replaces the title field; the text is in the ANSI code page.
void SetDialogTitle(DialogTemplate& dialogTemplate, const std::string& text);

// Sets the font fields after the title, replacing a font already there.
void SetDialogFont(DialogTemplate& dialogTemplate, WORD pointSize, const std::string& faceName);
