// Turns a static control into a hyperlink: coloured text, hand cursor over
// the text, a tooltip, a focus frame, activation by click, by the space or
// Enter key while focused, or by the access key in its text.
#pragma once

#include "ui/WndHandler.h"

#include <string>

class LinkHandler : public WndHandler {
public:
    LinkHandler();

    // The address opened on activation; empty: the parent gets WM_COMMAND
    // with the control's id instead.
    void SetTarget(const std::string& target, bool alsoTooltip);
    void SetTooltipText(const std::string& text);

    void OnAttached(HWND window) override;
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void Activate(HWND window);

private:
    void Paint(HWND window);
    void DrawLinkText(HDC dc, HWND window, const RECT& client, UINT format, const std::string& text);
    void DrawFocusFrame(HDC dc, const RECT& client, HBRUSH background) const;
    static LRESULT KeyboardCode(const MSG* message);
    void CreateTooltip(HWND window);
    void SendToTooltip(UINT message, WPARAM wParam, LPARAM lParam) const;
    void HideTooltip();
    void RelayToTooltip(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    bool UpdateHover(HWND window, LPARAM point);
    void OnMouseMove(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnLeftButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnLeftButtonUp(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    COLORREF m_normalColor = RGB(0, 0, 255);
    COLORREF m_hoverColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(0, 0, 255);
    bool m_hover = false;
    bool m_visited = false;
    bool m_pressed = false;
    bool m_focused = false;
    bool m_tooltipShown = false;
    bool m_attached = false;
    std::string m_target;
    std::string m_tooltipText;
    RECT m_textRect = {};
    HWND m_control = nullptr;
    // Owned by the control: the system destroys it with the control.
    HWND m_tooltip = nullptr;
    HCURSOR m_handCursor;
    HCURSOR m_arrowCursor;
};
