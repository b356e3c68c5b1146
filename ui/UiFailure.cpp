#include "ui/UiFailure.h"

namespace {

std::exception_ptr& PendingFailure() {
    static std::exception_ptr failure;
    return failure;
}

}  // namespace

void RecordUiFailure(HWND modalDialog) {
    if (!PendingFailure()) PendingFailure() = std::current_exception();
    EndDialog(modalDialog, -1);
}

void RethrowUiFailure() {
    std::exception_ptr failure = PendingFailure();
    PendingFailure() = nullptr;
    if (failure) std::rethrow_exception(failure);
}
