// Makes a rich edit control that shows a document behave as read-only text:
// no caret, the arrow cursor instead of the text beam, and Escape closing
// the window it is shown in.
#pragma once

#include "ui/WndHandler.h"

class ReadOnlyTextHandler : public WndHandler {
public:
    ReadOnlyTextHandler();

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HCURSOR m_arrowCursor;
    HCURSOR m_handCursor;
};
