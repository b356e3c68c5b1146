// Message handlers chained onto a window through ten property slots, so that
// several independent behaviours (hyperlink, layout, read-only text) can
// subclass one window without knowing of each other.
//
// Exceptions must not unwind through the system's message dispatching: a
// window procedure catches them, ends the modal dialog, and the code that
// started the dialog throws them again once it has returned.
#pragma once

#include "foundation/Win.h"

#include <cstdint>
#include <exception>
#include <map>
#include <string>

// Reference-counted: created with new, held through RefPtr.
class WndHandler {
public:
    WndHandler() = default;
    WndHandler(const WndHandler&) = delete;
    WndHandler& operator=(const WndHandler&) = delete;

    void AddRef() { ++m_references; }
    void Release() {
        if (--m_references == 0) delete this;
    }

    virtual void OnAttached(HWND window);
    // Passes what it does not consume to the previous procedure.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC PreviousProc() const { return m_previousProc; }
    void SetPreviousProc(WNDPROC previous) { m_previousProc = previous; }

protected:
    virtual ~WndHandler() = default;

    LRESULT CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    long m_references = 0;
    WNDPROC m_previousProc = nullptr;
};

// Puts the handler into the first free slot of the window ("VANTREL_SUBWND_0"
// first) and makes the slot's procedure the window's procedure. The slot
// holds a reference to the handler until the window's WM_NCDESTROY. Returns
// false with the last error set when it fails (84, ERROR_OUT_OF_STRUCTURES,
// when all ten slots are in use); the window then keeps its procedure and
// the slot takes no reference.
bool Attach(HWND window, WndHandler* handler);

// Keeps the exception being handled and ends the modal dialog with -1.
void RecordUiFailure(HWND modalDialog);

// Throws the recorded exception, if any, and forgets it.
void RethrowUiFailure();

// Runs the work of a window or dialog procedure; an exception is recorded
// (ending modalDialog) and the procedure returns failed instead.
template <typename Body>
LRESULT GuardedUiCall(HWND modalDialog, LRESULT failed, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        RecordUiFailure(modalDialog);
        return failed;
    }
}

template <typename Body>
INT_PTR GuardedDialogCall(HWND modalDialog, Body body) noexcept {
    return GuardedUiCall(modalDialog, TRUE, body);
}

// Anchors child windows to the edges of their parent's client area and
// moves them whenever the parent is resized.
// Distances in pixels from the client area's edges; a negative value leaves
// that edge free. redraw: negative for no extra repaint after the move, 0 to
// invalidate the child without erasing, greater than 0 to erase as well.
struct LayoutRule {
    std::int32_t left = -1;
    std::int32_t top = -1;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    std::int32_t redraw = -1;
};

class LayoutHandler : public WndHandler {
public:
    // The rule for a child, created free on all edges when there is none.
    LayoutRule& Rule(HWND child);
    LayoutRule& Rule(int controlId);

    // Lays the children out for the parent's current client area.
    void Layout(HWND parent);

    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void LayOut(HWND parent, int width, int height);

    std::map<HWND, LayoutRule> m_byWindow;
    std::map<int, LayoutRule> m_byId;
};

// Turns a static control into a hyperlink: coloured text, hand cursor over
// the text, a tooltip, a focus frame, activation by click, by the space or
// Enter key while focused, or by the access key in its text.
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
