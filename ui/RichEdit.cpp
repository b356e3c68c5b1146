#include "ui/RichEdit.h"

#include "foundation/Text.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

namespace {

std::string ClassName(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsRichEdit10Class(const std::string& name) {
    return lstrcmpiA(name.c_str(), "RICHEDIT") == 0;
}

// What the stream callback hands out, in pieces no larger than asked for.
struct StreamSource {
    const BYTE* data;
    size_t size;
    size_t position;
    size_t unit;  // 2 for UTF-16: pieces hold whole characters only
};

DWORD CALLBACK ReadPiece(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    size_t piece = std::min(static_cast<size_t>(wanted), source->size - source->position);
    piece -= piece % source->unit;
    std::memcpy(buffer, source->data + source->position, piece);
    source->position += piece;
    *given = static_cast<LONG>(piece);
    return 0;
}

void StreamIn(HWND window, const void* data, size_t size, size_t unit, int format) {
    StreamSource source = {static_cast<const BYTE*>(data), size, 0, unit};
    EDITSTREAM stream = {};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadPiece;
    SendMessageA(window, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
}

void ScrollToFirstLine(HWND window) {
    LRESULT first = SendMessageA(window, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(window, EM_LINESCROLL, 0, -first);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

}  // namespace

bool IsRichEdit10(HWND window) {
    return IsRichEdit10Class(ClassName(window));
}

bool IsUnicodeRichEdit(HWND window) {
    std::string name = ClassName(window);
    return !IsRichEdit10Class(name) && !name.empty() && (name.back() == 'W' || name.back() == 'w');
}

void SetRichEditBackground(HWND window, COLORREF colour) {
    SendMessageA(window, EM_SETBKGNDCOLOR, 0, colour);
}

void SetRichEditText(HWND window, const std::string& text, int format) {
    bool shortHeader = StartsWith(text, "{\\r ");
    if (format == 0) format = StartsWith(text, "{\\rtf") || shortHeader ? SF_RTF : SF_TEXT;

    if (format == SF_RTF && shortHeader) {
        std::string rewritten = "{\\rtf " + text.substr(4);
        StreamIn(window, rewritten.data(), rewritten.size(), 1, format);
    } else if (format == SF_TEXT && IsUnicodeRichEdit(window)) {
        std::wstring wide = MultiByteToWide(text);
        StreamIn(window, wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t), format | SF_UNICODE);
    } else {
        StreamIn(window, text.data(), text.size(), 1, format);
    }
    ScrollToFirstLine(window);
}

ReadOnlyTextHandler::ReadOnlyTextHandler()
    : m_arrowCursor(LoadCursorA(nullptr, IDC_ARROW)), m_handCursor(LoadCursorA(nullptr, IDC_HAND)) {}

LRESULT ReadOnlyTextHandler::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The control keeps the keyboard for scrolling but never learns that it
    // has the focus, so it shows no caret.
    if (message == WM_SETFOCUS) return 0;
    // Escape closes the window the text is shown in, as its close box does:
    // the installer dialog cancels, and the modeless package contents window,
    // whose keys no dialog manager sees, goes away.
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        PostMessageA(GetParent(window), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    LRESULT result = CallPrevious(window, message, wParam, lParam);
    if (message == WM_SETCURSOR) {
        HCURSOR current = GetCursor();
        if (current != m_arrowCursor && current != m_handCursor) SetCursor(m_arrowCursor);
    }
    return result;
}
