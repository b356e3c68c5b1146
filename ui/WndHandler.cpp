#include "ui/WndHandler.h"

#include "foundation/RefPtr.h"

#include <memory>

namespace {

std::exception_ptr& PendingFailure() {
    static std::exception_ptr failure;
    return failure;
}

constexpr int kSlotCount = 10;

const char* const kSlotNames[kSlotCount] = {
    "VANTREL_SUBWND_0", "VANTREL_SUBWND_1", "VANTREL_SUBWND_2", "VANTREL_SUBWND_3", "VANTREL_SUBWND_4",
    "VANTREL_SUBWND_5", "VANTREL_SUBWND_6", "VANTREL_SUBWND_7", "VANTREL_SUBWND_8", "VANTREL_SUBWND_9",
};

// What a slot property points to: the slot's reference to the handler.
using Holder = RefPtr<WndHandler>;

template <int Slot>
LRESULT CALLBACK SlotProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* holder = static_cast<Holder*>(GetPropA(window, kSlotNames[Slot]));
    if (!holder) return 0;
    if (message == WM_NCDESTROY) {
        WNDPROC previous = (*holder)->PreviousProc();
        delete holder;
        RemovePropA(window, kSlotNames[Slot]);
        return CallWindowProcA(previous, window, message, wParam, lParam);
    }
    // A handler may cause its own window's destruction while it runs (a
    // dialog procedure further down the chain destroying the window); this
    // reference keeps it alive until it returns. Its exceptions must not
    // unwind through the system's message dispatching (32-bit unwinding
    // cannot cross its frames): they end the modal dialog that the window
    // belongs to and are thrown again once that has returned.
    Holder running = *holder;
    return GuardedUiCall(GetAncestor(window, GA_ROOTOWNER), 0,
                         [&] { return running->OnMessage(window, message, wParam, lParam); });
}

const WNDPROC kSlotProcs[kSlotCount] = {
    SlotProc<0>, SlotProc<1>, SlotProc<2>, SlotProc<3>, SlotProc<4>,
    SlotProc<5>, SlotProc<6>, SlotProc<7>, SlotProc<8>, SlotProc<9>,
};

}  // namespace

void WndHandler::OnAttached(HWND) {}

LRESULT WndHandler::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPrevious(window, message, wParam, lParam);
}

LRESULT WndHandler::CallPrevious(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    return CallWindowProcA(m_previousProc, window, message, wParam, lParam);
}

bool Attach(HWND window, WndHandler* handler) {
    // A handler that nobody else holds is destroyed when attaching fails.
    Holder candidate(handler);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (GetPropA(window, kSlotNames[slot])) continue;

        auto holder = std::make_unique<Holder>(candidate);
        if (!SetPropA(window, kSlotNames[slot], holder.get())) return false;
        LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kSlotProcs[slot]));
        if (previous == 0) {
            DWORD error = GetLastError();
            RemovePropA(window, kSlotNames[slot]);
            SetLastError(error);
            return false;
        }
        handler->SetPreviousProc(reinterpret_cast<WNDPROC>(previous));
        holder.release();  // the slot's reference from now on
        handler->OnAttached(window);
        return true;
    }
    SetLastError(ERROR_OUT_OF_STRUCTURES);
    return false;
}

void RecordUiFailure(HWND modalDialog) {
    if (!PendingFailure()) PendingFailure() = std::current_exception();
    EndDialog(modalDialog, -1);
}

void RethrowUiFailure() {
    std::exception_ptr failure = PendingFailure();
    PendingFailure() = nullptr;
    if (failure) std::rethrow_exception(failure);
}
