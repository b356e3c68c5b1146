// Message handlers chained onto a window through ten property slots, so that
// several independent behaviours (hyperlink, layout, read-only text) can
// subclass one window without knowing of each other.
//
// Exceptions must not unwind through the system's message dispatching: a
// window procedure catches them, ends the modal dialog, and the code that
// started the dialog throws them again once it has returned.
#pragma once

#include "foundation/Win.h"

#include <exception>

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
