// Exceptions must not unwind through the system's message dispatching: a
// window procedure catches them here, ends the modal dialog, and the code
// that started the dialog throws them again once it has returned.
#pragma once

#include "foundation/Win.h"

#include <exception>

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
